// The export command of the main window and the export wizard it opens.
#include "app/MainFormU.h"

void TMainForm::FormCreateExport() {}

void TMainForm::ExportAnimation(const std::string&, int) {}
