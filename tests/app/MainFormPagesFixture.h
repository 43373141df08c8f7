// The real main window with a started document, whose current sprite a test
// chooses through the scene tree.
#pragma once

#include "tests/app/MainFormFixture.h"

#include "app/AnimationWindowU.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/Undo.h"

class TPagesMainForm : public TMainForm {
 public:
  // Makes a sprite of the active scene current as a click on its node in the
  // scene tree does: its first frame's node, or its own node when it has no
  // frames; nullptr selects the root, so that no sprite is current.
  void ChooseSprite(TSprite* sprite) {
    TTreeArea& tree = Editor(*this).Tree();
    tree.RebuildAnimationTree();
    if (sprite == nullptr) {
      tree.SelectTreeNode(-1, 0);
      return;
    }
    TAnimatedScene* scene = Editor(*this).ActiveAnimationWindow()->Scene();
    int index = -1;
    for (int i = 0; i < scene->SpriteCount(); ++i)
      if (&scene->Sprite(i) == sprite) index = i;
    ASSERT_GE(index, 0);
    tree.SelectTreeNode(index, sprite->FrameCount() > 0 ? 2 : 1);
  }
};

class MainFormPagesTest : public MainFormTest {
 protected:
  TPagesMainForm& StartPages() {
    auto form = std::make_unique<TPagesMainForm>();
    TPagesMainForm& pages = *form;
    form_ = std::move(form);
    form_->show();
    form_->TimerStart.SetEnabled(false);  // as in Start()
    return pages;
  }
  TAnimationWindow& Document() { return *Editor(*form_).ActiveAnimationWindow(); }
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
    form.ChooseSprite(&sprite);
    return sprite;
  }
};
