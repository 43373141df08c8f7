#include "app/core/SpriteTransforms.h"

#include "app/core/SizeLimits.h"
#include "dialogs/core/EffectFrames.h"
#include "imaging/utils.h"
#include "scene/Frame.h"
#include "tests/app/core/AppCoreTestSupport.h"

#include <gtest/gtest.h>

namespace {

class Transforms : public DocumentTest {
 protected:
  Transforms() {
    int index = 0;
    sprite = scene.AddSprite(index);
    undo.Clear();
  }
  ~Transforms() override { CancelFlag = 0; }

  // Appends a picture frame of w x h in colour with a 3 x 3 corner square at the top left.
  TFrame& AddPicture(int w, int h, TColor color, TColor corner, bool transparent = false, TColor key = clWhite) {
    TBitmap picture;
    MakeTwoColour(picture, w, h, color, corner);
    TFrame& frame = *sprite->AddFrame();
    frame.SetPicture(picture, transparent, key, -1, -1);
    frame.Kind = fkPicture;
    return frame;
  }
  TColor PixelOf(TFrame& frame, int x, int y) {
    RestoreFrameImage(frame.Picture);
    return frame.Picture.Pixel(x, y) & 0xFFFFFF;
  }
  // Checks the one record the command made and that Undo gives the sprite back.
  void ExpectOneSnapshotUndone(const std::string& before, const char* caption) {
    EXPECT_EQ(RecordCount(), 1);
    EXPECT_EQ(undo.Caption(), caption);
    EXPECT_EQ(LastInt(TUndo::kRecordKindAt), 1);
    EXPECT_EQ(LastInt(TUndo::kObjectKindAt), 201);
    EXPECT_EQ(LastInt(TUndo::kObjectIdAt), sprite->Id);
    undo.Undo();
    EXPECT_TRUE(SceneSnapshot(scene) == before) << caption;
  }

  TSprite* sprite = nullptr;
};

// ---- Flips ---------------------------------------------------------------------------------------------

TEST_F(Transforms, AHorizontalFlipMirrorsEveryFrameAndOneUndoRestoresThem) {
  AddPicture(10, 6, clRed, clBlue);
  AddPicture(8, 8, clGreen, clYellow);
  const std::string before = SceneSnapshot(scene);
  FlipSpriteFrames(*sprite, true);
  EXPECT_EQ(PixelOf(sprite->Frame(0), 9, 0), clBlue);
  EXPECT_EQ(PixelOf(sprite->Frame(0), 0, 0), clRed);
  EXPECT_EQ(PixelOf(sprite->Frame(1), 7, 2), clYellow);
  EXPECT_EQ(PixelOf(sprite->Frame(1), 2, 2), clGreen);
  ExpectOneSnapshotUndone(before, "Flip Horizontally");
}

TEST_F(Transforms, AVerticalFlipMirrorsTopToBottom) {
  AddPicture(10, 6, clRed, clBlue);
  const std::string before = SceneSnapshot(scene);
  FlipSpriteFrames(*sprite, false);
  EXPECT_EQ(PixelOf(sprite->Frame(0), 0, 5), clBlue);
  EXPECT_EQ(PixelOf(sprite->Frame(0), 0, 0), clRed);
  ExpectOneSnapshotUndone(before, "Flip Vertically");
}

TEST_F(Transforms, AFlipKeepsThePickedColourTransparent) {
  TFrame& frame = AddPicture(10, 6, clRed, clBlue);
  frame.SetPicture(frame.Picture, true, clWhite, 1, 1);  // picked on the blue corner
  ASSERT_EQ(frame.SourceKeyColor(), clBlue);
  FlipSpriteFrames(*sprite, true);
  EXPECT_TRUE(frame.Transparent());
  EXPECT_EQ(frame.SourceKeyColor(), clBlue);
  EXPECT_EQ(frame.TransparentColor(), clBlue);
}

TEST_F(Transforms, AFlipWithoutFramesDoesNothing) {
  FlipSpriteFrames(*sprite, true);
  EXPECT_TRUE(undo.Empty());
}

TEST_F(Transforms, CancelPartWayKeepsTheFramesDoneAndOneUndoRestoresAll) {
  for (int i = 0; i < 3; ++i) AddPicture(6, 4, clRed, clBlue);
  const std::string before = SceneSnapshot(scene);
  CancelFlag = 1;  // a flag left from an earlier operation is cleared first
  std::vector<std::pair<int, int>> reports;
  FlipSpriteFrames(*sprite, true, [&](int position, int total) {
    reports.emplace_back(position, total);
    if (position == 0 && total == 2) CancelFlag = 1;  // Esc after the first frame
  });
  EXPECT_EQ(PixelOf(sprite->Frame(0), 5, 0), clBlue) << "the first frame is flipped";
  EXPECT_EQ(PixelOf(sprite->Frame(1), 0, 0), clBlue) << "the second is left";
  EXPECT_EQ(reports.back(), std::make_pair(1, 1));
  ExpectOneSnapshotUndone(before, "Flip Horizontally");
}

// ---- Rotation ------------------------------------------------------------------------------------------

TEST_F(Transforms, A90DegreeTurnOf40By20Gives20By40) {
  AddPicture(40, 20, clRed, clBlue);
  const std::string before = SceneSnapshot(scene);
  RotateFrames(*sprite, 90);
  TFrame& frame = sprite->Frame(0);
  EXPECT_EQ(frame.ImageWidth, 20);
  EXPECT_EQ(frame.ImageHeight, 40);
  EXPECT_EQ(PixelOf(frame, 19, 0), clBlue) << "the top left corner turned to the top right";
  ExpectOneSnapshotUndone(before, "Rotation");
}

TEST_F(Transforms, MinusNinetyAnd180TurnTheOtherWays) {
  AddPicture(40, 20, clRed, clBlue);
  RotateFrames(*sprite, -90);
  EXPECT_EQ(PixelOf(sprite->Frame(0), 0, 39), clBlue);
  RotateFrames(*sprite, 180);
  EXPECT_EQ(PixelOf(sprite->Frame(0), 19, 0), clBlue);
}

TEST_F(Transforms, TheCornersOfACustomAngleTakeThePaperColour) {
  AddPicture(30, 30, clRed, clRed);
  RotateFrameByAngle(*sprite, false, 45, 0, clLime, {});
  TFrame& frame = sprite->Frame(0);
  EXPECT_GT(frame.ImageWidth, 30);
  EXPECT_EQ(PixelOf(frame, 0, 0), clLime);
  EXPECT_EQ(PixelOf(frame, frame.ImageWidth / 2, frame.ImageHeight / 2), clRed);
}

TEST_F(Transforms, TheDirectionNegatesTheAngleAndOnlyTheCurrentFrameTurnsWhenAsked) {
  AddPicture(40, 20, clRed, clBlue);
  AddPicture(40, 20, clRed, clBlue);
  sprite->SetCurrentFrameIndex(1);
  RotateFrameByAngle(*sprite, true, 90, 1, clWhite, {});
  EXPECT_EQ(sprite->Frame(0).ImageWidth, 40);
  EXPECT_EQ(sprite->Frame(1).ImageWidth, 20);
  EXPECT_EQ(PixelOf(sprite->Frame(1), 0, 39), clBlue) << "direction 1 turns counter-clockwise";
}

TEST_F(Transforms, ThePaperColourIsTheKeyOfATransparentFrameElseItsTopLeftPixel) {
  TFrame& opaque = AddPicture(10, 10, clRed, clBlue);
  EXPECT_EQ(RotationPaperColor(opaque), clBlue);
  TFrame& keyed = AddPicture(10, 10, clRed, clBlue, true, clRed);
  EXPECT_EQ(RotationPaperColor(keyed), clRed);
}

TEST_F(Transforms, ARotationTooLargeToReopenIsRefusedBeforeAnyChange) {
  TBitmap wide;
  wide.SetPixelFormat(pf8bit);
  wide.SetSize(12000, 1);
  sprite->AddFrame()->SetPicture(wide, false, clWhite, -1, -1);
  const std::string before = SceneSnapshot(scene);
  EXPECT_THROW(RotateFrameByAngle(*sprite, false, 45, 0, clWhite, {}), ESizeRefused);
  EXPECT_TRUE(SceneSnapshot(scene) == before);
  EXPECT_TRUE(undo.Empty());
}

// ---- Resize ---------------------------------------------------------------------------------------------

TEST_F(Transforms, ResizingGivesEveryFrameTheChosenSize) {
  AddPicture(40, 20, clRed, clBlue);
  AddPicture(10, 10, clGreen, clBlue, true, clGreen);
  for (int type : {0, 1}) {
    const std::string before = SceneSnapshot(scene);
    ResizeSpriteFrames(*sprite, 30, 30, type);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(sprite->Frame(i).ImageWidth, 30);
      EXPECT_EQ(sprite->Frame(i).ImageHeight, 30);
    }
    EXPECT_TRUE(sprite->Frame(1).Transparent());
    EXPECT_EQ(sprite->Frame(1).TransparentColor(), clGreen);
    ExpectOneSnapshotUndone(before, "Resize Frames");
  }
}

TEST_F(Transforms, ASizeBeyondTheReaderLimitsIsRefusedWithAMessage) {
  AddPicture(4, 4, clRed, clBlue);
  try {
    ResizeSpriteFrames(*sprite, 10000, 10000, 0);
    FAIL() << "no refusal";
  } catch (const ESizeRefused& refused) {
    EXPECT_NE(refused.Message().find("10000 x 10000"), std::string::npos) << refused.Message();
  }
  EXPECT_THROW(ResizeSpriteFrames(*sprite, 0, 10, 0), ESizeRefused);
  EXPECT_TRUE(undo.Empty());
}

// ---- Effects -------------------------------------------------------------------------------------------

TEST_F(Transforms, ABlendOfFiveFramesIsInsertedAfterTheFrameNamedBlend2On) {
  AddPicture(20, 10, clRed, clBlue);
  AddPicture(20, 10, clGreen, clBlue);
  const std::string before = SceneSnapshot(scene);
  TEffectParameters p;
  p.FrameCount = 4;  // a blend rate of 4 gives five frames
  EXPECT_EQ(ApplyEffect(*sprite, 0, ekBlend, p), 5);
  ASSERT_EQ(sprite->FrameCount(), 7);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(sprite->Frame(i).FileName, "Blend" + std::to_string(i + 1));
    EXPECT_EQ(sprite->Frame(i).Kind, fkPicture);
  }
  EXPECT_EQ(PixelOf(sprite->Frame(6), 10, 5), clGreen) << "the following frame comes after the inserted ones";
  ExpectOneSnapshotUndone(before, "Change Sprite");
  EXPECT_EQ(sprite->FrameCount(), 2);
}

TEST_F(Transforms, AnEffectOnTheLastFrameWorksWithoutANextFrame) {
  AddPicture(20, 10, clRed, clBlue);
  TEffectParameters p;
  p.FrameCount = 3;
  EXPECT_EQ(ApplyEffect(*sprite, 0, ekFade, p), 3);
  EXPECT_EQ(sprite->Frame(3).FileName, "Fade4");
}

TEST_F(Transforms, AFilterKeepsTheFrameCountAndTheFramesTransparency) {
  TFrame& frame = AddPicture(20, 10, clRed, clBlue, true, clRed);
  const std::string before = SceneSnapshot(scene);
  TEffectParameters p;
  p.Radius = 3;
  EXPECT_EQ(ApplyEffect(*sprite, 0, ekInvert, p), 0);
  EXPECT_EQ(sprite->FrameCount(), 1);
  EXPECT_TRUE(frame.Transparent());
  EXPECT_EQ(frame.TransparentColor(), clRed);
  EXPECT_EQ(PixelOf(frame, 10, 5), 0xFFFF00u) << "red inverted";
  ExpectOneSnapshotUndone(before, "Change Sprite");
}

TEST_F(Transforms, NoResultsRecordNothing) {
  AddPicture(20, 10, clRed, clBlue);
  EXPECT_EQ(ApplyEffectResults(*sprite, 0, ekBlend, {}, "Blend"), 0);
  EXPECT_TRUE(undo.Empty());
}

TEST(EffectListTexts, FollowTheDialogsList) {
  EXPECT_STREQ(EffectListText(ekAperture), "Aperture");
  EXPECT_STREQ(EffectListText(ekBlend), "Blend");
  EXPECT_STREQ(EffectListText(ekWipe), "Wipe");
  EXPECT_STREQ(EffectListText(ekInvert), "Invert");
  EXPECT_STREQ(EffectListText(ekGammaCorrection), "Gamma Correction");
  EXPECT_STREQ(EffectListText(0), "");
  EXPECT_STREQ(EffectListText(21), "");
}

}  // namespace
