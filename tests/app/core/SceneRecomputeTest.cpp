// The full recompute of the current step after a model change.
#include "app/core/SceneRecompute.h"

#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "tests/scene/SceneTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct OneSpriteScene {
  OneSpriteScene() {
    scene.Width = 60;
    scene.Height = 40;
    scene.StepCount = 10;
    scene.SetBackground(false, bgmFillAndPicture, "", clWhite, clWhite, ppCentered, nullptr);
    output.SetPixelFormat(pf24bit);
    output.SetSize(60, 40);
    scene.OutputBitmap = &output;
    int index = 0;
    sprite = scene.AddSprite(index);
    TBitmap picture;
    MakeSolid(picture, 10, 8, clRed);
    TFrame& frame = *sprite->AddFrame();
    frame.SetPicture(picture, false, clWhite, -1, -1);
    frame.Kind = fkPicture;
    sprite->Motion().AddStepWith(HoldAt(20, 10), sprite);
  }
  TAnimatedScene scene;
  TBitmap output;
  TSprite* sprite = nullptr;
};

}  // namespace

TEST(SceneRecompute, ComposesTheCurrentStepWithoutAdvancing) {
  OneSpriteScene s;
  s.scene.GotoFrame(4);
  const std::int32_t step = s.scene.CurrentStep;
  RecomputeCurrentStep(s.scene);
  EXPECT_EQ(s.scene.CurrentStep, step);
  EXPECT_EQ(s.output.Canvas().Pixel(25, 14), clRed);
  EXPECT_EQ(s.output.Canvas().Pixel(5, 5), clWhite);
  EXPECT_EQ(s.sprite->DrawnRect, Rect(20, 10, 30, 18));
}

TEST(SceneRecompute, AMovedSpriteLeavesNothingBehind) {
  OneSpriteScene s;
  RecomputeCurrentStep(s.scene);
  s.sprite->Motion().ChangeStep(0, HoldAt(40, 20), s.sprite);
  RecomputeCurrentStep(s.scene);
  EXPECT_EQ(s.output.Canvas().Pixel(25, 14), clWhite);
  EXPECT_EQ(s.output.Canvas().Pixel(45, 24), clRed);
}

TEST(SceneRecompute, TheSceneFlagsComeBackAsTheyWere) {
  OneSpriteScene s;
  s.scene.ResampledStretching = 1;
  RecomputeCurrentStep(s.scene);
  EXPECT_EQ(s.scene.ResampledStretching, 1);
  EXPECT_EQ(s.scene.SkipPainting, 0);
  EXPECT_EQ(s.scene.RepaintOnly, 0);
}
