// Helpers of the effect, transform and clipboard tests: the real main window
// with a project of one sprite "A" of two picture frames opened through File
// Open, and looks at its frames and undo log.
#pragma once

#include "tests/app/MainFormTreeFixture.h"

#include "imaging/utils.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/Sprite.h"

#include <cstring>
#include <string>
#include <vector>

class MainFormEffectsFixture : public MainFormTreeTest {
 protected:
  ~MainFormEffectsFixture() override { CancelFlag = 0; }

  // A project of one sprite "A" with two picture frames, "first" 40 x 20 red
  // with a blue pixel at (0, 0) (blue keyed out when transparent) and
  // "second" 10 x 10 green with a black pixel at (0, 0), and one motion step.
  std::string WriteTwoFrames(const std::string& name, bool transparent = false) {
    const TUndoRecordingPause pause;
    TAnimatedScene scene;
    scene.Width = 200;
    scene.Height = 100;
    scene.StepCount = 20;
    scene.Timer().SetInterval(70);
    scene.SetBackground(false, bgmFillAndPicture, "", clWhite, clWhite, ppCentered, nullptr);
    int index = 0;
    TSprite& a = *scene.AddSprite(index);
    a.Name = "A";
    TBitmap picture;
    MakeSolid(picture, 40, 20, clRed);
    picture.SetPixel(0, 0, clBlue);
    TFrame& first = *a.AddFrame();
    first.SetPicture(picture, transparent, clBlue, -1, -1);
    first.Kind = fkPicture;
    first.FileName = "first";
    TBitmap square;
    MakeSolid(square, 10, 10, clLime);
    square.SetPixel(0, 0, clBlack);
    TFrame& second = *a.AddFrame();
    second.SetPicture(square, false, clWhite, -1, -1);
    second.Kind = fkPicture;
    second.FileName = "second";
    a.Motion().AddStepWith(HoldAt(10, 10), &a);
    const std::string path = data_.File(name);
    {
      TFileStream file(path, fmCreate);
      scene.SaveToStream(file, 0, 1024);
    }
    EXPECT_TRUE(StampFileChecksum(path));
    return path;
  }

  TAnimationWindow* OpenTwoFrames(bool transparent = false) {
    StartShown();
    return OpenThroughCommand(WriteTwoFrames("two.GLM", transparent));
  }
  TSprite& SpriteA() { return Editor(Form()).CurrentScene()->Sprite(0); }
  std::vector<std::string> UndoOf(TAnimationWindow* window) { return UndoCaptions(*window->Undo()); }
  std::int32_t LastUndoInt(TAnimationWindow* window, std::int64_t field) {
    std::int32_t value = 0;
    std::memcpy(&value, window->Undo()->Log().Memory() + window->Undo()->LastRecordPosition() + field, 4);
    return value;
  }
  static TColor PixelOf(TFrame& frame, int x, int y) {
    RestoreFrameImage(frame.Picture);
    return frame.Picture.Pixel(x, y) & 0xFFFFFF;
  }
  static std::vector<std::string> FrameNames(TSprite& sprite) {
    std::vector<std::string> names;
    for (int i = 0; i < sprite.FrameCount(); ++i) names.push_back(sprite.Frame(i).FileName);
    return names;
  }
};
