// Galleries, presets, templates and the remaining scene commands of the
// main window.
#include "app/MainFormU.h"

void TMainForm::FormCreateScene() {}

void TMainForm::File_NewFromTemplateExecute() {}

void TMainForm::Checknewversion1Click() {}

void TMainForm::OpenRecent(int) {}

void TMainForm::InsertPreset(QAction*) {}

