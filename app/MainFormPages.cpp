// Playback, the time line and the scene, sprite, frame, motion, appearance
// and background pages of the main window.
#include "app/MainFormU.h"

void TMainForm::FormCreatePages() {}

void TMainForm::SetStepTimerTimer() {}

void TMainForm::TimerRedrawTimer() {}

void TMainForm::Movie_StopExecute() {}

void TMainForm::MarkCurrentAppearance() {}

void TMainForm::MarkCurrentMotionStep() {}

void TMainForm::Movie_FirstStepExecute() {}

bool TMainForm::MotionTimerRunning() const { return TimerRedraw.IsTicking(); }

bool TMainForm::FinishEqualsStart() const { return false; }

void TMainForm::PrepareMotionPageReload() {}

void TMainForm::RefreshMotionPage() {}

void TMainForm::ShowStepCount(int) {}

void TMainForm::ShowLoopCount(int) {}

void TMainForm::ShowSceneSize(int, int) {}
