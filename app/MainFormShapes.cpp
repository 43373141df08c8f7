// Adding sprites and frames, and the shape, line and plain-text pages of
// the main window.
#include "app/MainFormU.h"

void TMainForm::FormCreateShapes() {}

void TMainForm::TimerRedrawShapeTimer() {}

void TMainForm::TimerRedrawLineTimer() {}

void TMainForm::WMItemAdded(WPARAM, LPARAM) {}

void TMainForm::RefreshShapePage() {}
