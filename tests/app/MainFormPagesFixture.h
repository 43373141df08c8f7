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
  // The tree's selection makes a sprite current, as the scene tree does.
  void SelectTreeNode(int spriteIndex, int nodeKind) override {
    TMainForm::SelectTreeNode(spriteIndex, nodeKind);
    TAnimatedScene* scene = ActiveAnimationWindow() != nullptr ? ActiveAnimationWindow()->Scene() : nullptr;
    ChosenSprite = spriteIndex >= 0 && scene != nullptr && spriteIndex < scene->SpriteCount()
                       ? &scene->Sprite(spriteIndex)
                       : nullptr;
  }
  void DetachCurrentSprite() override {
    TMainForm::DetachCurrentSprite();
    ChosenSprite = nullptr;
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
  // A 24-bit BMP file of w x h pixels, each (x, y) coloured colorAt(x, y).
  std::string WriteBmp(const std::string& name, int w, int h, TColor (*colorAt)(int, int)) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) bitmap.SetPixel(x, y, colorAt(x, y));
    const std::string fileName = data_.File(name);
    bitmap.SaveToFile(fileName);
    return fileName;
  }
  // A sprite of the document with a picture frame per file, made current, without undo records.
  TSprite& SpriteWithPictures(TPagesMainForm& form, const std::vector<std::string>& files) {
    const TUndoRecordingPause pause;
    int index = 0;
    TSprite& sprite = *Scene().AddSprite(index);
    for (const std::string& file : files) sprite.AddPictureFile(file, false, clWhite, -1, -1, false);
    sprite.SetCurrentFrameIndex(0);
    form.ChosenSprite = &sprite;
    return sprite;
  }
};
