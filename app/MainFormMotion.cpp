// The motion and appearance pages of the main window.
#include "app/MainFormU.h"

#include "controls/My_SpinEdit.h"
#include "controls/TrackBar.h"
#include "scene/Moving.h"
#include "scene/Sprite.h"

#include <QLabel>
#include <QTreeWidget>

void TMainForm::CreateMotionAndAppearancePages() {}

void TMainForm::TimerRedrawTimer() {}

void TMainForm::MarkCurrentAppearance() {}

void TMainForm::MarkCurrentMotionStep() {}

bool TMainForm::MotionTimerRunning() const { return TimerRedraw.IsTicking(); }

bool TMainForm::FinishEqualsStart() const { return false; }

void TMainForm::PrepareMotionPageReload() {}

void TMainForm::RefreshMotionPage() {}

void TMainForm::LoadMotionPage() {}

void TMainForm::LoadAppearancePage() {}

void TMainForm::ShowSelectedAppearance() {}

void TMainForm::SetAppearanceStepMaxima(int) {}
