#include "app/core/SpriteOrder.h"

#include "tests/app/core/AppCoreTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Three sprites A, B, C (drawn in that order) added before the test records anything.
class SpriteOrder : public DocumentTest {
 protected:
  SpriteOrder() {
    const TUndoRecordingPause pause;
    for (const char* name : {"A", "B", "C"}) {
      int index = -1;
      scene.AddSprite(index)->Name = name;
    }
  }
  std::string Order() {
    std::string order;
    for (int i = 0; i < scene.SpriteCount(); ++i) order += scene.Sprite(i).Name;
    return order;
  }
};

TEST_F(SpriteOrder, ToTheFrontAndToTheBackEachRecordOneEntryThatUndoTakesBack) {
  ASSERT_TRUE(MoveSpriteToFrontOfAll(scene, 0));
  EXPECT_EQ(Order(), "BCA");
  EXPECT_EQ(RecordCount(), 1);
  EXPECT_EQ(undo.Caption(), "Move to Front of all Sprites");
  EXPECT_EQ(LastInt(TUndo::kObjectKindAt), uokSpriteLastToIndex);
  EXPECT_EQ(LastInt(TUndo::kIndexAt), 0);
  undo.Undo();
  EXPECT_EQ(Order(), "ABC");

  ASSERT_TRUE(MoveSpriteToBackOfAll(scene, 1));
  EXPECT_EQ(Order(), "BAC");
  EXPECT_EQ(undo.Caption(), "Move to Back of all Sprites");
  EXPECT_EQ(LastInt(TUndo::kObjectKindAt), uokSpriteFirstToIndex);
  EXPECT_EQ(LastInt(TUndo::kIndexAt), 1);
  undo.Undo();
  EXPECT_EQ(Order(), "ABC");
  EXPECT_TRUE(undo.Empty());
}

TEST_F(SpriteOrder, ASpriteAlreadyThereOrNoSpriteAtAllMovesNothingAndRecordsNothing) {
  EXPECT_FALSE(MoveSpriteToFrontOfAll(scene, 2));
  EXPECT_FALSE(MoveSpriteToBackOfAll(scene, 0));
  for (const int index : {-1, 3}) {
    EXPECT_FALSE(MoveSpriteToFrontOfAll(scene, index)) << index;
    EXPECT_FALSE(MoveSpriteToBackOfAll(scene, index)) << index;
  }
  EXPECT_EQ(Order(), "ABC");
  EXPECT_TRUE(undo.Empty());
}

}  // namespace
