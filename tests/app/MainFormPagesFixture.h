// The real main window with a started document, whose current sprite a test
// may choose: the scene tree that picks it is another part of the window.
#pragma once

#include "tests/app/MainFormFixture.h"

#include "app/AnimationWindowU.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/Undo.h"

class TPagesMainForm : public TMainForm {
 public:
  TSprite* ChosenSprite = nullptr;
  TSprite* CurrentSprite() override { return ChosenSprite != nullptr ? ChosenSprite : TMainForm::CurrentSprite(); }
  TFrame* CurrentFrame() override {
    if (ChosenSprite == nullptr) return TMainForm::CurrentFrame();
    return ChosenSprite->FrameCount() > 0 ? ChosenSprite->CurrentFrame() : nullptr;
  }
};

class MainFormPagesTest : public MainFormTest {
 protected:
  TPagesMainForm& StartPages() {
    auto form = std::make_unique<TPagesMainForm>();
    TPagesMainForm& pages = *form;
    form_ = std::move(form);
    form_->show();
    return pages;
  }
  TAnimationWindow& Document() { return *form_->ActiveAnimationWindow(); }
  TAnimatedScene& Scene() { return *Document().Scene(); }
  TWindowUndo& Log() { return *Document().Undo(); }
};
