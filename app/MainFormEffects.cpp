// The effect and transform commands and the clipboard commands of the main
// window.
#include "app/MainFormU.h"

void TMainForm::FormCreateEffects() {}
