#include "app/core/AppearanceCommands.h"

#include "tests/app/core/AppCoreTestSupport.h"

#include <gtest/gtest.h>

namespace {

class AddingAppearance : public DocumentTest {
 protected:
  TSprite& Sprite() {
    const TUndoRecordingPause pause;
    int index = 0;
    return *scene.AddSprite(index);
  }
};

TEST_F(AddingAppearance, ItRunsFromTheCurrentStepToTheLastAndOneUndoRemovesIt) {
  TSprite& sprite = Sprite();
  sprite.AddInterval(2, 10);
  scene.StepCount = 50;
  scene.CurrentStep = 20;
  const std::string before = SpriteSnapshot(sprite);
  TStartAndFinish& added = AddAppearanceFromCurrentStep(sprite, scene);
  ASSERT_EQ(sprite.IntervalCount(), 2);
  EXPECT_EQ(&sprite.Interval(1), &added);
  EXPECT_EQ(added.StartStep, 20);
  EXPECT_EQ(added.EndStep, 50);
  EXPECT_EQ(RecordCount(), 1);
  EXPECT_EQ(undo.Caption(), "Add Appearance");
  undo.Undo();
  EXPECT_TRUE(undo.Empty());
  EXPECT_EQ(SpriteSnapshot(scene.Sprite(0)), before);
}

TEST_F(AddingAppearance, AStepPastTheLastStartsAtTheLast) {
  TSprite& sprite = Sprite();
  scene.StepCount = 30;
  scene.CurrentStep = 31;
  const TStartAndFinish& added = AddAppearanceFromCurrentStep(sprite, scene);
  EXPECT_EQ(added.StartStep, 30);
  EXPECT_EQ(added.EndStep, 30);
  EXPECT_EQ(RecordCount(), 1);
}

}  // namespace
