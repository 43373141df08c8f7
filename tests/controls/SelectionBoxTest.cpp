#include "controls/MyCntrl.h"
#include "tests/controls/ControlTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A box laid over a shown window at (100, 50), 100 x 50, not rotateable (the
// frame 4 pixels inside the bounds): corners at (4, 4), (96, 4), (96, 46), (4, 46).
class SelectionBoxTest : public testing::Test {
 protected:
  SelectionBoxTest() {
    box->SetRotateable(false);
    box->SetBounds(100, 50, 100, 50);
    box->OnMoved = log.Recorder("Moved");
    box->OnResized = log.Recorder("Resized");
    window.Open();
    // The placing above counts as a move and a resize: one release takes them.
    window.Click(At(50, 25));
    log.names.clear();
  }
  // A point of the box in window coordinates.
  QPoint At(int x, int y) const { return {box->Left() + x, box->Top() + y}; }

  TestWindow window;
  TSelectionBox* box = new TSelectionBox(&window);
  EventLog log;
};

}  // namespace

// ---- Creation and geometry -------------------------------------------------------------------

TEST(SelectionBox, StartsRotateableWith105PixelBoundsAndItsDefaultColours) {
  QWidget parent;
  TSelectionBox box(&parent);
  EXPECT_EQ(box.BoundsRect(), Bounds(0, 0, 105, 105));
  EXPECT_TRUE(box.Rotateable());
  EXPECT_TRUE(box.HasProportionalResize());
  EXPECT_TRUE(box.HasVertHorResize());
  EXPECT_TRUE(box.Moveable());
  EXPECT_EQ(box.BoxDeltaX(), 17);
  EXPECT_EQ(box.BoxShift(), 3);
  EXPECT_EQ(box.BoxWidth(), 105 - 34 - 6);
  EXPECT_EQ(box.ColorOfHorizontalResizeBox(), 0x0000FFFFu);
  EXPECT_EQ(box.ColorOfRotationPoint(), 0x0000FF00u);
  EXPECT_EQ(box.ColorOfProportionalResizeBox(), 0x00FFFFFFu);
  EXPECT_EQ(box.ShadowColor(), 0u);
  EXPECT_EQ(box.Cursor(), crDefault);
  EXPECT_EQ(box.Gliph().Width(), 1);
  EXPECT_EQ(box.MotionPath(), nullptr);
  EXPECT_EQ(box.focusPolicy(), Qt::StrongFocus) << "the box takes the keys itself";
}

TEST(SelectionBox, TheFrameInsetFollowsRotateableWithoutAPaint) {
  QWidget parent;  // never shown, so never painted
  TSelectionBox box(&parent);
  box.SetRotateable(false);
  box.SetBounds(230, 32, 100, 100);
  EXPECT_EQ(box.BoxDeltaX(), 4);
  EXPECT_EQ(box.BoxLeft(), 237);
  EXPECT_EQ(box.BoxTop(), 39);
  EXPECT_EQ(box.BoxWidth(), 86);
  EXPECT_EQ(box.BoxHeight(), 86);
  // Sizing the box of a canvas before the window shows gives the canvas size.
  box.SetBoxWidth(468);
  box.SetBoxHeight(60);
  box.SetBoxLeft(20);
  box.SetBoxTop(30);
  EXPECT_EQ(box.BoundsRect(), Bounds(13, 23, 482, 74));
  box.SetRotateable(true);
  EXPECT_EQ(box.BoxLeft(), 13 + 17 + 3);
}

// ---- Hover -----------------------------------------------------------------------------------------

TEST_F(SelectionBoxTest, NineHoverStatesWithTheirCursors) {
  struct Case {
    int x, y, state;
    TCursor cursor;
  };
  const Case cases[] = {{50, 25, sdsMove, crMove},           {4, 4, sdsTopLeft, crSizeNWSE},
                        {50, 4, sdsTop, crSizeNS},           {96, 4, sdsTopRight, crSizeNESW},
                        {96, 25, sdsRight, crSizeWE},        {96, 46, sdsBottomRight, crSizeNWSE},
                        {50, 46, sdsBottom, crSizeNS},       {4, 46, sdsBottomLeft, crSizeNESW},
                        {4, 25, sdsLeft, crSizeWE},          {7, 7, sdsTopLeft, crSizeNWSE}};
  for (const Case& c : cases) {
    window.Move(At(c.x, c.y));
    EXPECT_EQ(box->DragState(), c.state) << c.x << "," << c.y;
    EXPECT_EQ(box->Cursor(), c.cursor) << c.x << "," << c.y;
  }
  // Nothing hit: the default cursor, and the state stays as it was.
  window.Move(At(30, 1));
  EXPECT_EQ(box->Cursor(), crDefault);
  EXPECT_EQ(box->DragState(), sdsTopLeft);
  // A handle is hit only within 3 pixels of its centre.
  window.Move(At(8, 8));
  EXPECT_EQ(box->DragState(), sdsMove);
}

TEST_F(SelectionBoxTest, WhereHandleAreasOverlapTheLaterTestWins) {
  box->SetBounds(100, 50, 14, 40);  // the top edge box (x 7) lies within 3 pixels of the corner (x 4)
  window.Move(At(5, 4));
  EXPECT_EQ(box->DragState(), sdsTop);
  EXPECT_EQ(box->Cursor(), crSizeNS);
}

TEST_F(SelectionBoxTest, WithoutHandlesOrMovingNoDragStarts) {
  box->SetHasProportionalResize(false);
  box->SetHasVertHorResize(false);
  box->SetMoveable(false);
  for (QPoint p : {At(4, 4), At(50, 25), At(96, 25)}) {
    window.Move(p);
    EXPECT_EQ(box->Cursor(), crDefault);
    window.Press(p);
    EXPECT_FALSE(box->Dragging());
    window.Move(p + QPoint(10, 10));
    window.Release(p + QPoint(10, 10));
  }
  EXPECT_EQ(box->BoundsRect(), Bounds(100, 50, 100, 50));
}

TEST_F(SelectionBoxTest, OnMouseMoveFiresOnlyWhileNoDragIsUnderWay) {
  int moves = 0;
  box->OnMouseMove = [&](QObject*, TShiftState, int, int) { ++moves; };
  window.Move(At(51, 25));
  EXPECT_EQ(moves, 1);
  window.Press(At(51, 25));
  window.Move(At(55, 25));
  window.Move(At(60, 25));
  EXPECT_EQ(moves, 1);
  window.Release(At(60, 25));
}

TEST_F(SelectionBoxTest, TheHintCapturedFirstComesBackAtEveryMove) {
  QWidget parent;
  TSelectionBox fresh(&parent);
  fresh.SetHint("Use arrow keys to drag the sprite");
  fresh.PaintPicture(clWhite);  // the first paint captures the hint
  fresh.SetHint("later");
  fresh.MouseMove({}, 50, 50);
  EXPECT_EQ(fresh.Hint(), "Use arrow keys to drag the sprite");
}

// ---- Drags -------------------------------------------------------------------------------------------

TEST_F(SelectionBoxTest, MovingFiresOnMovedOnceAtTheRelease) {
  int resizes = 0;
  box->OnResize = [&](QObject*) { ++resizes; };
  window.Move(At(50, 25));
  window.Press(At(50, 25));
  window.Move(At(50, 25) + QPoint(10, 5));
  window.Move(At(50, 25) + QPoint(3, -2));
  EXPECT_TRUE(log.names.empty()) << "nothing before the release";
  window.Release(At(50, 25));
  EXPECT_EQ(box->BoundsRect(), Bounds(113, 53, 100, 50));
  EXPECT_EQ(log.names, std::vector<std::string>{"Moved"});
  EXPECT_EQ(resizes, 4) << "OnResize at every change of the bounds";
}

TEST_F(SelectionBoxTest, CornerDragsKeepTheRatioOfTheWholeControl) {
  // Bottom-right: the new width follows the mouse, the height the 2 : 1 ratio.
  window.Drag(At(96, 46), At(116, 46));
  EXPECT_EQ(box->BoundsRect(), Bounds(100, 50, 120, 60));
  EXPECT_EQ(log.names, std::vector<std::string>{"Resized"});
  // Top-left: 10 pixels up take 20 pixels of width along.
  log.names.clear();
  window.Drag(At(4, 4), At(4, -6));
  EXPECT_EQ(box->BoundsRect(), Bounds(80, 40, 140, 70));
  EXPECT_EQ(log.names, (std::vector<std::string>{"Moved", "Resized"}));
  // Top-right: the top moves up by the height gained.
  window.Drag(At(136, 4), At(150, 4));
  EXPECT_EQ(box->Width(), 154);
  EXPECT_EQ(box->Height(), 77);
  EXPECT_EQ(box->Top(), 33);
  // Bottom-left: the left edge moves out by the width gained.
  window.Drag(At(4, 73), At(4, 83));
  EXPECT_EQ(box->Height(), 87);
  EXPECT_EQ(box->Width(), 174);
  EXPECT_EQ(box->Left(), 60);
}

TEST_F(SelectionBoxTest, EdgeDragsChangeOneDimension) {
  window.Drag(At(96, 25), At(126, 40));
  EXPECT_EQ(box->BoundsRect(), Bounds(100, 50, 130, 50));
  window.Drag(At(65, 46), At(80, 56));
  EXPECT_EQ(box->BoundsRect(), Bounds(100, 50, 130, 60));
  window.Drag(At(4, 30), At(14, 0));
  EXPECT_EQ(box->BoundsRect(), Bounds(110, 50, 120, 60));
  window.Drag(At(60, 4), At(0, -6));
  EXPECT_EQ(box->BoundsRect(), Bounds(110, 40, 120, 70));
}

TEST_F(SelectionBoxTest, AStepBelowTheMinimumIsDroppedAsAWhole) {
  // m = 2 x 4 + 10 = 18: the control never gets narrower than 19 pixels.
  window.Move(At(96, 25));
  window.Press(At(96, 25));
  window.Move(At(14, 25));  // w = 14 + 4 = 18: refused
  EXPECT_EQ(box->Width(), 100);
  window.Move(At(15, 25));  // w = 19
  EXPECT_EQ(box->Width(), 19);
  window.Release(At(15, 25));
  // A corner step whose other side would fall below the minimum is refused as a whole.
  box->SetBounds(100, 50, 100, 20);
  window.Click(At(50, 10));
  window.Drag(At(96, 16), At(50, 16));  // w = 54, h = round(20 / 100 x 54) = 11
  EXPECT_EQ(box->BoundsRect(), Bounds(100, 50, 100, 20));
}

TEST_F(SelectionBoxTest, APressAndReleaseWithoutMovementFiresNothing) {
  window.Click(At(50, 25));
  window.Click(At(96, 46));
  EXPECT_TRUE(log.names.empty());
  // Placing the box through its Box setters is no move either.
  box->SetBoxLeft(300);
  box->SetBoxWidth(50);
  window.Click(At(30, 25));
  EXPECT_TRUE(log.names.empty());
  // Bounds changed by code since the last release count.
  box->SetLeft(120);
  box->SetHeight(80);
  window.Click(At(30, 25));
  EXPECT_EQ(log.names, (std::vector<std::string>{"Moved", "Resized"}));
}

TEST_F(SelectionBoxTest, CornerDragsOfAZeroSizedControlChangeNothing) {
  for (const auto& [corner, state] : {std::pair{QPoint(96, 46), sdsBottomRight}, std::pair{QPoint(4, 46), sdsBottomLeft}}) {
    box->SetBounds(100, 50, 100, 50);
    window.Move(At(corner.x(), corner.y()));
    window.Press(At(corner.x(), corner.y()));
    ASSERT_EQ(box->DragState(), state);
    box->SetWidth(0);  // code shrinks the box while it is dragged
    box->MouseMove(TShiftState{ssLeft}, 60, 60);
    EXPECT_EQ(box->Width(), 0);
    EXPECT_EQ(box->Height(), 50) << "no division by the zero width";
    box->SetBounds(100, 50, 100, 0);
    box->MouseMove(TShiftState{ssLeft}, 60, 60);
    EXPECT_EQ(box->Width(), 100);
    window.Release(At(corner.x(), corner.y()));
  }
}

TEST_F(SelectionBoxTest, ADoubleClickEndsTheDrag) {
  int doubleClicks = 0;
  box->OnDblClick = [&](QObject*) { ++doubleClicks; };
  window.Move(At(50, 25));
  QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, At(50, 25));
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_FALSE(box->Dragging());
}

// ---- Keys ----------------------------------------------------------------------------------------------

TEST_F(SelectionBoxTest, AClickGivesTheBoxTheKeysWithItselfAsSender) {
  std::vector<std::pair<WORD, TShiftState>> keys;
  box->OnKeyDown = [&](QObject* sender, WORD& key, TShiftState shift) {
    EXPECT_EQ(sender, box);
    if (key != VK_SHIFT) keys.push_back({key, shift});
    key = 0;
  };
  window.Click(At(50, 25));
  EXPECT_TRUE(box->hasFocus());
  window.Key(Qt::Key_Left);
  window.Key(Qt::Key_Down, Qt::ShiftModifier);
  window.Key(Qt::Key_Delete);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0], std::make_pair(WORD(VK_LEFT), TShiftState{}));
  EXPECT_EQ(keys[1], std::make_pair(WORD(VK_DOWN), TShiftState{ssShift}));
  EXPECT_EQ(keys[2].first, VK_DELETE);
}

// ---- Painting ------------------------------------------------------------------------------------------

TEST(SelectionBoxPaint, DrawsTheDottedFrameAndHandlesLeavingTheInsideClear) {
  QWidget parent;
  TSelectionBox box(&parent);
  box.SetRotateable(false);
  box.SetBounds(0, 0, 30, 30);
  TBitmap overWhite;
  overWhite.Assign(&box.PaintPicture(clWhite));
  const TBitmap& overBlack = box.PaintPicture(clBlack);
  // Corner square (1, 1)-(7, 7): red border, white inside.
  EXPECT_EQ(overBlack.Pixel(1, 1), clRed);
  EXPECT_EQ(overBlack.Pixel(4, 4), clWhite);
  EXPECT_EQ(overBlack.Pixel(6, 6), clRed);
  EXPECT_EQ(overBlack.Pixel(7, 7), clBlack) << "right and bottom edges are exclusive";
  // Left edge box (2, 12)-(7, 19): black border, yellow inside.
  EXPECT_EQ(overBlack.Pixel(2, 12), clBlack);
  EXPECT_EQ(overBlack.Pixel(4, 15), clYellow);
  // The dotted frame: black dots with white between them.
  int black = 0, white = 0;
  for (int x = 7; x < 12; ++x) (overBlack.Pixel(x, 4) == clBlack ? black : white) += 1;
  EXPECT_GT(black, 0);
  EXPECT_GT(white, 0);
  // The inside is not filled.
  EXPECT_EQ(overBlack.Pixel(15, 20), clBlack);
  EXPECT_EQ(overWhite.Pixel(15, 20), clWhite);
}

TEST(SelectionBoxPaint, RotateableBoxesShowKnobsAndAGlyph) {
  QWidget parent;
  TSelectionBox box(&parent);
  box.SetBounds(0, 0, 80, 80);
  TBitmap glyph;
  glyph.SetSize(10, 10);
  glyph.Canvas().Brush().Color = clBlue;
  glyph.Canvas().FillRect(Rect(0, 0, 10, 10));
  box.SetGliph(glyph);
  const TBitmap& picture = box.PaintPicture(clBlack);
  EXPECT_EQ(picture.Pixel(4, 40), clLime) << "the left knob";
  EXPECT_EQ(picture.Pixel(40, 3), clLime) << "the top knob";
  EXPECT_EQ(picture.Pixel(12, 40), clBlack) << "the stalk";
  EXPECT_EQ(picture.Pixel(17 + 5, 17 + 5), clBlue) << "the glyph at the frame's corner";
}

// ---- The linked motion path ------------------------------------------------------------------------------

TEST(SelectionBoxLink, MotionPathVisibleNeedsAPath) {
  QWidget parent;
  TSelectionBox box(&parent);
  box.SetMotionPathVisible(true);
  EXPECT_FALSE(box.MotionPathVisible());
  TMotionPath path(&parent);
  box.SetMotionPath(&path);
  box.SetMotionPathVisible(false);
  EXPECT_FALSE(path.Visible());
  box.SetMotionPathVisible(true);
  EXPECT_TRUE(path.Visible());
  EXPECT_TRUE(box.MotionPathVisible());
}
