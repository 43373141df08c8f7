// The 3D text editor of the main window's frame page: the editor and output
// views, the lights, dragging in the view and the 3D animation preview.
#include "app/MainFormU.h"

void TMainForm::FormCreate3DText() {}

void TMainForm::FormShow3DText() {}

void TMainForm::FitPropertiesPanelToTextPage() {}

void TMainForm::Timer_3D_ChangedTimer() {}

void TMainForm::TimerLightsRedrawTimer() {}

void TMainForm::ZoomTimerTimer() {}

void TMainForm::Timer3DAnimationTimer() {}
