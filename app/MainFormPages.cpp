// The sprite, frame and background pages of the main window, and the making
// of every page of this area (playback and the scene page are in
// MainFormPlayback.cpp, the motion and appearance pages in MainFormMotion.cpp).
#include "app/MainFormU.h"

void TMainForm::FormCreatePages() {
  CreatePlaybackAndScenePage();
  CreateSpriteFrameBackgroundPages();
  CreateMotionAndAppearancePages();
}

void TMainForm::CreateSpriteFrameBackgroundPages() {}

void TMainForm::LoadSpritePage() {}

void TMainForm::LoadFramePage() {}

void TMainForm::LoadBackgroundPage() {}
