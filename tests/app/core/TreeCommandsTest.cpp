#include "app/core/TreeCommands.h"

#include "scene/Frame.h"
#include "scene/Moving.h"
#include "tests/app/core/AppCoreTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

class TreeCommands : public DocumentTest {
 protected:
  TSprite& AddSprite(const char* name, int frames) {
    int index = 0;
    TSprite& sprite = *scene.AddSprite(index);
    sprite.Name = name;
    for (int i = 0; i < frames; ++i) sprite.AddFrame();
    return sprite;
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (int i = 0; i < scene.SpriteCount(); ++i) names.push_back(scene.Sprite(i).Name);
    return names;
  }
  static std::vector<std::int32_t> FrameIds(const TSprite& sprite) {
    std::vector<std::int32_t> ids;
    for (int i = 0; i < sprite.FrameCount(); ++i) ids.push_back(sprite.Frame(i).Id);
    return ids;
  }
};

TEST_F(TreeCommands, SpritesAndFramesMoveOnlyWhereANeighbourIsEachMoveIsOneEntryAndUndoGivesTheOrderBack) {
  TSprite& a = AddSprite("A", 3);
  AddSprite("B", 1);
  AddSprite("C", 1);
  undo.Clear();
  const std::string before = SceneSnapshot(scene);
  const std::vector<std::int32_t> f = FrameIds(a);

  // Nothing beyond the ends, and nothing recorded for it.
  EXPECT_FALSE(MoveSpriteUp(scene, 2));
  EXPECT_FALSE(MoveSpriteUp(scene, -1));
  EXPECT_FALSE(MoveSpriteDown(scene, 0));
  EXPECT_FALSE(MoveSpriteDown(scene, 3));
  EXPECT_FALSE(MoveFrameUp(a, 0));
  EXPECT_FALSE(MoveFrameDown(a, 2));
  EXPECT_FALSE(MoveFrameUp(a, 3));
  EXPECT_EQ(RecordCount(), 0);

  ASSERT_TRUE(MoveSpriteUp(scene, 0));
  EXPECT_EQ(Names(), (std::vector<std::string>{"B", "A", "C"}));
  EXPECT_EQ(undo.Caption(), "Move Sprite Up");
  ASSERT_TRUE(MoveSpriteDown(scene, 2));
  EXPECT_EQ(Names(), (std::vector<std::string>{"B", "C", "A"}));
  EXPECT_EQ(undo.Caption(), "Move Sprite Down");

  ASSERT_TRUE(MoveFrameUp(a, 2));
  EXPECT_EQ(FrameIds(a), (std::vector<std::int32_t>{f[0], f[2], f[1]}));
  EXPECT_EQ(undo.Caption(), "Move Frame Up");
  EXPECT_EQ(LastInt(TUndo::kObjectIdAt), f[2]);
  ASSERT_TRUE(MoveFrameDown(a, 0));
  EXPECT_EQ(FrameIds(a), (std::vector<std::int32_t>{f[2], f[0], f[1]}));
  EXPECT_EQ(undo.Caption(), "Move Frame Down");
  EXPECT_EQ(RecordCount(), 4);

  for (int i = 0; i < 4; ++i) undo.Undo();
  EXPECT_TRUE(SceneSnapshot(scene) == before);
}

TEST_F(TreeCommands, ClearingTheAppearanceIsOneEntryAndDeletingAFrameKeepsTheLastOne) {
  TSprite& sprite = AddSprite("A", 3);
  sprite.AddInterval(1, 5);
  sprite.AddInterval(8, 9);
  sprite.AddInterval(12, 20);
  TSprite& single = AddSprite("B", 1);
  undo.Clear();
  const std::string before = SceneSnapshot(scene);

  ClearAppearances(sprite);
  EXPECT_EQ(sprite.IntervalCount(), 0);
  EXPECT_EQ(RecordCount(), 1);
  EXPECT_EQ(undo.Caption(), "Delete Appearance");

  EXPECT_FALSE(DeleteFrameKeepingOne(single, 0));
  EXPECT_FALSE(DeleteFrameKeepingOne(sprite, 3));
  EXPECT_EQ(single.FrameCount(), 1);
  EXPECT_EQ(RecordCount(), 1);
  ASSERT_TRUE(DeleteFrameKeepingOne(sprite, 2));
  EXPECT_EQ(sprite.FrameCount(), 2);
  EXPECT_EQ(sprite.GetCurrentFrameIndex(), 1);  // the last one now
  ASSERT_TRUE(DeleteFrameKeepingOne(sprite, 0));
  EXPECT_EQ(sprite.GetCurrentFrameIndex(), 0);

  while (RecordCount() > 0) undo.Undo();
  EXPECT_TRUE(SceneSnapshot(scene) == before);
}

TEST_F(TreeCommands, ADroppedPictureIsOneSpriteHeldAtTheDropPointAndAFailedOneLeavesNothing) {
  AddSprite("A", 1);
  undo.Clear();
  const std::string before = SceneSnapshot(scene);
  int forgotten = 0;
  const auto forget = [&] {
    ++forgotten;
    EXPECT_EQ(scene.SpriteCount(), 2) << "forgotten while it exists";
  };

  // Reading fails: raising or answering false.
  TAddedItem added = AddDroppedPictureSprite(
      scene, TPoint{30, 40}, [](TSprite& s) -> bool { s.AddFrame(); throw std::runtime_error("unreadable"); }, forget);
  EXPECT_EQ(added.Sprite, nullptr);
  added = AddDroppedPictureSprite(scene, TPoint{30, 40}, [](TSprite&) { return false; }, forget);
  EXPECT_EQ(added.Sprite, nullptr);
  EXPECT_EQ(forgotten, 2);
  EXPECT_EQ(RecordCount(), 0);
  EXPECT_TRUE(SceneSnapshot(scene) == before);

  added = AddDroppedPictureSprite(
      scene, TPoint{-7, 123},
      [](TSprite& s) {
        s.AddFrame();
        s.AddFrame();
        return true;
      },
      forget);
  ASSERT_NE(added.Sprite, nullptr);
  EXPECT_EQ(forgotten, 2);
  EXPECT_EQ(added.SpriteIndex, 1);
  EXPECT_EQ(added.FrameIndex, 1);
  EXPECT_EQ(&scene.Sprite(1), added.Sprite);
  ASSERT_EQ(added.Sprite->Motion().StepCount(), 1);
  const TMovingStepValues step = added.Sprite->Motion().Step(0).Values();
  EXPECT_EQ(step.StartX, -7);
  EXPECT_EQ(step.X1, -7);
  EXPECT_EQ(step.StartY, 123);
  EXPECT_EQ(step.Y1, 123);
  EXPECT_EQ(RecordCount(), 1);
  EXPECT_EQ(undo.Caption(), "Add Sprite");
  EXPECT_EQ(LastInt(TUndo::kObjectIdAt), added.Sprite->Id);
  undo.Undo();
  EXPECT_TRUE(SceneSnapshot(scene) == before);
}

}  // namespace
