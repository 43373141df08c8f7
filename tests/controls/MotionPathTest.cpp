#include "controls/MyCntrl.h"
#include "tests/controls/ControlTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A path from (110, 150) to (200, 60) over a moveable box at (80, 40), 200 x 150.
class MotionPathTest : public testing::Test {
 protected:
  MotionPathTest() {
    box->SetRotateable(false);
    box->SetBounds(80, 40, 200, 150);
    path->SetBeginPointX(110);
    path->SetBeginPointY(150);
    path->SetEndPointX(200);
    path->SetEndPointY(60);
    path->SetBottomControl(box);
    path->raise();
    path->OnMoved = log.Recorder("PathMoved");
    path->BeginPointClick = log.Recorder("BeginClick");
    path->EndPointClick = log.Recorder("EndClick");
    box->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int x, int y) {
      log.names.push_back("BoxDown");
      boxPress = {x, y};
    };
    box->OnMoved = log.Recorder("BoxMoved");
    window.Open();
    // The placing above counts as a move of each: one release each takes it.
    window.Click({90, 180});
    window.Click(At(4, 94));
    log.names.clear();
  }
  // A point of the path in window coordinates.
  QPoint At(int x, int y) const { return {path->Left() + x, path->Top() + y}; }

  TestWindow window;
  TSelectionBox* box = new TSelectionBox(&window);
  TMotionPath* path = new TMotionPath(&window);
  EventLog log;
  QPoint boxPress;
};

}  // namespace

TEST(MotionPath, StartsAsADiagonalHuggedByItsBounds) {
  QWidget parent;
  TMotionPath path(&parent);
  EXPECT_EQ(path.BoundsRect(), Bounds(6, 6, 98, 98));
  EXPECT_EQ(path.BeginPointX(), 10);
  EXPECT_EQ(path.BeginPointY(), 100);
  EXPECT_EQ(path.EndPointX(), 100);
  EXPECT_EQ(path.EndPointY(), 10);
  EXPECT_EQ(path.BeginHandle(), Point(0, 90));
  EXPECT_EQ(path.EndHandle(), Point(90, 0));
  EXPECT_EQ(path.CircleSize(), 8);
  EXPECT_EQ(path.CircleType(), ctCircle);
  EXPECT_EQ(path.ColorOfBeginPoint(), clRed);
  EXPECT_EQ(path.ColorOfEndPoint(), clLime);
  EXPECT_EQ(path.ColorOfVector(), clBlack);
  EXPECT_EQ(path.HoverState(), 0);
}

TEST(MotionPath, EachPointSetterReboundsItsOwnAxis) {
  QWidget parent;
  TMotionPath path(&parent);
  path.SetBeginPointX(150);
  EXPECT_EQ(path.BoundsRect(), Bounds(96, 6, 58, 98));
  EXPECT_EQ(path.BeginHandle(), Point(50, 90)) << "the begin handle moved to the right edge";
  EXPECT_EQ(path.EndHandle(), Point(0, 0));
  path.SetEndPointY(100);
  EXPECT_EQ(path.BoundsRect(), Bounds(96, 96, 58, 8));
  EXPECT_EQ(path.BeginHandle().Y, 0) << "on a shared coordinate both handles sit at 0";
  EXPECT_EQ(path.EndHandle().Y, 0);
  // The handle size alone does not re-bound; the next point change does.
  path.SetCircleSize(6);
  EXPECT_EQ(path.BoundsRect(), Bounds(96, 96, 58, 8));
  EXPECT_EQ(path.BeginHandle(), Point(52, 0));
  path.SetEndPointX(90);
  EXPECT_EQ(path.BoundsRect(), Bounds(87, 96, 66, 8));
}

TEST(MotionPath, HandlesAreHitStrictlyInsideAndTheLineByItsSlope) {
  QWidget parent;
  TMotionPath path(&parent);
  path.HintAtBeginPoint = "First Motion Point";
  path.HintAtEndPoint = "Last Motion Point";
  int moves = 0;
  path.OnMouseMove = [&](QObject*, TShiftState, int, int) { ++moves; };
  struct Case {
    int x, y, state;
    TCursor cursor;
    std::string hint;
  };
  const Case cases[] = {{1, 91, 1, crCross, "First Motion Point"},
                        {7, 97, 1, crCross, "First Motion Point"},
                        {0, 94, 0, crDefault, ""},  // the handle's edge is not the handle
                        {94, 4, 2, crCross, "Last Motion Point"},
                        {50, 48, 3, crMove, ""},
                        {50, 20, 0, crDefault, ""},
                        {20, 90, 0, crDefault, ""}};
  int expectedMoves = 0;
  for (const Case& c : cases) {
    path.MouseMove({}, c.x, c.y);
    expectedMoves += c.state != 0 ? 1 : 0;
    EXPECT_EQ(path.HoverState(), c.state) << c.x << "," << c.y;
    EXPECT_EQ(path.Cursor(), c.cursor) << c.x << "," << c.y;
    EXPECT_EQ(path.Hint(), c.hint) << c.x << "," << c.y;
  }
  EXPECT_EQ(moves, expectedMoves) << "OnMouseMove only over a handle or the line";
  // Two points on one vertical line: the whole control is the line.
  path.SetEndPointX(10);
  path.MouseMove({}, 3, 50);
  EXPECT_EQ(path.HoverState(), 3);
}

TEST_F(MotionPathTest, APressOnAHandleClicksItAndDragsItPastTheOtherEnd) {
  const QPoint begin = At(4, 94);
  window.Move(begin);
  window.Press(begin);
  EXPECT_EQ(log.names, std::vector<std::string>{"BeginClick"});
  EXPECT_TRUE(path->Dragging());
  window.Move(begin + QPoint(140, 0));
  window.Release(begin + QPoint(140, 0));
  EXPECT_EQ(path->BeginPointX(), 250);
  EXPECT_EQ(path->BeginPointY(), 150);
  EXPECT_EQ(path->EndPointX(), 200);
  EXPECT_EQ(path->BoundsRect(), Bounds(196, 56, 58, 98));
  EXPECT_EQ(path->BeginHandle(), Point(50, 90)) << "the begin handle now sits at the right edge";
  EXPECT_EQ(path->EndHandle(), Point(0, 0));
  EXPECT_EQ(log.names, (std::vector<std::string>{"BeginClick", "PathMoved"}));
}

TEST_F(MotionPathTest, TheEndHandleAndTheLineFollowTheMouse) {
  window.Drag(At(94, 4), At(94, 4) + QPoint(-20, 30));
  EXPECT_EQ(path->EndPointX(), 180);
  EXPECT_EQ(path->EndPointY(), 90);
  EXPECT_EQ(log.names, (std::vector<std::string>{"EndClick", "PathMoved"}));
  // The line carries both points along.
  const QPoint onLine = At(path->Width() / 2, path->Height() / 2);
  window.Drag(onLine, onLine + QPoint(5, -7));
  EXPECT_EQ(path->BeginPointX(), 115);
  EXPECT_EQ(path->BeginPointY(), 143);
  EXPECT_EQ(path->EndPointX(), 185);
  EXPECT_EQ(path->EndPointY(), 83);
}

TEST_F(MotionPathTest, APressOnNothingGoesToTheBottomControlAndStaysOnNothing) {
  // (60, 20) lies in the path's bounds, off the line, inside the box.
  const QPoint empty = At(60, 20);
  window.Move(empty);
  window.Press(empty);
  EXPECT_EQ(log.names, std::vector<std::string>{"BoxDown"});
  EXPECT_EQ(boxPress, QPoint(60 + 106 - 80, 20 + 56 - 40));
  // Moving over the begin handle while the press lasts moves no handle.
  window.Move(At(4, 94));
  window.Move(At(30, 60));
  window.Release(At(30, 60));
  EXPECT_EQ(path->BeginPointX(), 110);
  EXPECT_EQ(path->BeginPointY(), 150);
  EXPECT_EQ(path->EndPointX(), 200);
  EXPECT_EQ(path->EndPointY(), 60);
}

TEST_F(MotionPathTest, TheBottomControlFinishesTheDragItTookOver) {
  const QPoint empty = At(60, 20);
  window.Move(empty);
  window.Press(empty);
  ASSERT_TRUE(box->Dragging()) << "a press inside the box's frame starts moving it";
  window.Move(empty + QPoint(15, 10));
  window.Release(empty + QPoint(15, 10));
  EXPECT_FALSE(box->Dragging());
  EXPECT_EQ(box->BoundsRect(), Bounds(95, 50, 200, 150));
  EXPECT_EQ(log.Count("BoxMoved"), 1);
  EXPECT_EQ(log.Count("PathMoved"), 0);
}

TEST_F(MotionPathTest, OnlyPressesInsideTheBottomControlGoThereEdgesIncluded) {
  box->SetBounds(80, 40, 80, 150);  // the box's right edge is at x 160, path x 54
  path->MouseDown(mbLeft, {}, 54, 20);
  path->MouseUp(mbLeft, {}, 54, 20);
  EXPECT_EQ(log.Count("BoxDown"), 1);
  EXPECT_EQ(boxPress, QPoint(80, 36));
  path->MouseDown(mbLeft, {}, 55, 20);
  path->MouseUp(mbLeft, {}, 55, 20);
  EXPECT_EQ(log.Count("BoxDown"), 1);
}

TEST_F(MotionPathTest, AnInvisiblePathIgnoresTheMouse) {
  int downs = 0;
  path->OnMouseDown = [&](QObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  path->SetVisible(false);
  path->MouseDown(mbLeft, {}, 4, 94);
  path->MouseMove(TShiftState{ssLeft}, 30, 60);
  path->MouseUp(mbLeft, {}, 30, 60);
  EXPECT_EQ(downs, 0);
  EXPECT_TRUE(log.names.empty());
  EXPECT_EQ(path->BeginPointX(), 110);
}

TEST_F(MotionPathTest, ABoxAndAPathNamingEachOtherHandleEachPressOnce) {
  box->SetMotionPath(path);  // and the path names the box as its bottom control
  int pathDowns = 0;
  path->OnMouseDown = [&](QObject*, TMouseButton, TShiftState, int, int) { ++pathDowns; };
  // A press on the path's empty area: the path hands it to the box, which does not hand it back.
  path->MouseDown(mbLeft, {}, 60, 20);
  path->MouseUp(mbLeft, {}, 60, 20);
  EXPECT_EQ(log.Count("BoxDown"), 1);
  EXPECT_EQ(pathDowns, 1);
  // A press on the box: handed to the path first, which does not hand it back.
  box->MouseDown(mbLeft, {}, 30, 140);
  box->MouseUp(mbLeft, {}, 30, 140);
  EXPECT_EQ(log.Count("BoxDown"), 2);
  EXPECT_EQ(pathDowns, 2);
  // Over a handle of the path, the box leaves the press to the path.
  box->MouseDown(mbLeft, {}, 110 - 80, 150 - 40);
  EXPECT_EQ(log.Count("BoxDown"), 2);
  EXPECT_EQ(log.Count("BeginClick"), 1);
  EXPECT_EQ(box->Cursor(), crCross);
  box->MouseUp(mbLeft, {}, 110 - 80, 150 - 40);
}

TEST(MotionPathPaint, DrawsBothHandlesOverTheDashedVector) {
  QWidget parent;
  TMotionPath path(&parent);
  path.SetCircleType(ctRectangle);
  path.SetColorOfBeginPoint(clWhite);
  path.SetColorOfEndPoint(clYellow);
  path.SetColorOfVector(clBlue);
  const TBitmap& picture = path.PaintPicture(clBlack);
  EXPECT_EQ(picture.Pixel(0, 90), clBlack) << "the begin handle's border";
  EXPECT_EQ(picture.Pixel(3, 93), clWhite);
  EXPECT_EQ(picture.Pixel(7, 97), clBlack);
  EXPECT_EQ(picture.Pixel(93, 3), clYellow);
  int blue = 0;
  for (int i = 10; i < 88; ++i) blue += picture.Pixel(i, 98 - i) == clBlue ? 1 : 0;
  EXPECT_GT(blue, 20) << "the vector's dashes";
  EXPECT_LT(blue, 78) << "with gaps between them";
  EXPECT_EQ(picture.Pixel(80, 80), clBlack) << "nothing else is drawn";
}
