#include "controls/GraphicControl.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include <string>
#include <vector>

namespace {

// A control that draws a red 4 x 3 block with a black border at (2, 1) and
// records the events it raises.
class BlockControl : public TGraphicControl {
 public:
  explicit BlockControl(QWidget* parent) : TGraphicControl(parent) {
    OnResize = [this](QObject* sender) { Log("Resize", sender); };
    OnClick = [this](QObject* sender) { Log("Click", sender); };
    OnDblClick = [this](QObject* sender) { Log("DblClick", sender); };
    OnMouseDown = [this](QObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
      Log("Down", sender, button, shift, x, y);
    };
    OnMouseUp = [this](QObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
      Log("Up", sender, button, shift, x, y);
    };
    OnMouseMove = [this](QObject* sender, TShiftState shift, int x, int y) { Log("Move", sender, mbLeft, shift, x, y); };
  }
  using TGraphicControl::SetTransparent;

  struct Entry {
    std::string what;
    QObject* sender;
    TMouseButton button;
    TShiftState shift;
    int x, y;
  };
  std::vector<Entry> log;
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const Entry& e : log) names.push_back(e.what);
    return names;
  }

 protected:
  void Paint() override {
    Canvas().Pen().Color = clBlack;
    Canvas().Brush().Color = clRed;
    Canvas().Rectangle(2, 1, 6, 4);
  }

 private:
  void Log(const char* what, QObject* sender, TMouseButton button = mbLeft, TShiftState shift = {}, int x = 0,
           int y = 0) {
    log.push_back({what, sender, button, shift, x, y});
  }
};

class GraphicControlTest : public testing::Test {
 protected:
  GraphicControlTest() { window.resize(200, 100); }
  void Show() {
    window.show();
    control->SetBounds(10, 20, 30, 15);
    control->log.clear();
  }
  QWidget window;
  BlockControl* control = new BlockControl(&window);
};

}  // namespace

TEST_F(GraphicControlTest, BoundsChangesRunTheBoundsLogicAtOnceEvenWhileHidden) {
  ASSERT_FALSE(window.isVisible());
  control->SetBounds(5, 6, 40, 30);
  EXPECT_EQ(control->Names(), std::vector<std::string>{"Resize"});
  EXPECT_EQ(control->log[0].sender, control);
  EXPECT_EQ(control->BoundsRect(), Bounds(5, 6, 40, 30));
  EXPECT_EQ(control->geometry(), QRect(5, 6, 40, 30));

  control->SetBounds(5, 6, 40, 30);
  EXPECT_EQ(control->log.size(), 1u) << "unchanged bounds run nothing";
  control->SetLeft(7);
  control->SetTop(8);
  control->SetWidth(41);
  control->SetHeight(31);
  EXPECT_EQ(control->log.size(), 5u);
  EXPECT_EQ(control->BoundsRect(), Bounds(7, 8, 41, 31));
}

TEST_F(GraphicControlTest, BoundsThatQtSetsBecomeTheControlsOwn) {
  window.show();
  control->SetBounds(0, 0, 10, 10);
  control->log.clear();
  control->setGeometry(3, 4, 50, 20);
  EXPECT_EQ(control->BoundsRect(), Bounds(3, 4, 50, 20));
  EXPECT_FALSE(control->log.empty());
}

TEST_F(GraphicControlTest, IsVisibleFromCreationThoughItsWindowIsNot) {
  EXPECT_TRUE(control->Visible());
  EXPECT_FALSE(control->isVisible());
  control->SetVisible(false);
  EXPECT_FALSE(control->Visible());
  window.show();
  EXPECT_FALSE(control->isVisible());
  control->SetVisible(true);
  EXPECT_TRUE(control->isVisible());
  control->hide();
  EXPECT_FALSE(control->Visible());
}

TEST_F(GraphicControlTest, HintsAndCursorsReachTheWidget) {
  control->SetHint("Move|Drag to move the sprite");
  EXPECT_EQ(control->Hint(), "Move|Drag to move the sprite");
  EXPECT_EQ(control->toolTip(), "Move");
  EXPECT_EQ(control->statusTip(), "Drag to move the sprite");
  control->SetShowHint(false);
  EXPECT_EQ(control->toolTip(), "");
  EXPECT_EQ(control->statusTip(), "Drag to move the sprite");

  EXPECT_EQ(control->Cursor(), crDefault);
  control->SetCursor(crSizeWE);
  EXPECT_EQ(control->cursor().shape(), Qt::SizeHorCursor);
  control->SetCursor(crMove);
  EXPECT_EQ(control->cursor().shape(), Qt::BitmapCursor);
  control->SetCursor(crDefault);
  EXPECT_FALSE(control->testAttribute(Qt::WA_SetCursor));
}

TEST_F(GraphicControlTest, APressAndReleaseInsideIsAClickBeforeTheMouseUp) {
  Show();
  QTest::mousePress(control, Qt::LeftButton, Qt::ShiftModifier, QPoint(4, 5));
  QTest::mouseRelease(control, Qt::LeftButton, Qt::ShiftModifier, QPoint(6, 7));
  EXPECT_EQ(control->Names(), (std::vector<std::string>{"Down", "Click", "Up"}));
  const auto& down = control->log[0];
  EXPECT_EQ(down.sender, control);
  EXPECT_EQ(down.button, mbLeft);
  EXPECT_EQ(down.shift, (TShiftState{ssShift, ssLeft}));
  EXPECT_EQ(down.x, 4);
  EXPECT_EQ(down.y, 5);
  const auto& up = control->log[2];
  EXPECT_EQ(up.shift, TShiftState{ssShift});
  EXPECT_EQ(up.x, 6);
  EXPECT_EQ(up.y, 7);
}

TEST_F(GraphicControlTest, AReleaseOutsideOrAnotherButtonIsNoClick) {
  Show();
  QTest::mousePress(control, Qt::LeftButton, {}, QPoint(4, 5));
  QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(40, 5));
  QTest::mouseClick(control, Qt::RightButton, {}, QPoint(4, 5));
  EXPECT_EQ(control->Names(), (std::vector<std::string>{"Down", "Up", "Down", "Up"}));
  EXPECT_EQ(control->log[2].button, mbRight);
}

TEST_F(GraphicControlTest, MovesReportThePointAndTheButtonsHeld) {
  Show();
  QTest::mouseMove(control, QPoint(8, 9));
  ASSERT_EQ(control->Names(), std::vector<std::string>{"Move"});
  EXPECT_EQ(control->log[0].x, 8);
  EXPECT_EQ(control->log[0].y, 9);
  EXPECT_TRUE(control->log[0].shift.Empty());
}

TEST_F(GraphicControlTest, ADoubleClickIsDblClickThenAPressWithDouble) {
  Show();
  QTest::mouseDClick(control, Qt::LeftButton, {}, QPoint(3, 3));
  const std::vector<std::string> names = control->Names();
  const auto dbl = std::find(names.begin(), names.end(), "DblClick");
  ASSERT_NE(dbl, names.end());
  ASSERT_NE(dbl + 1, names.end());
  EXPECT_EQ(*(dbl + 1), "Down");
  EXPECT_TRUE(control->log[static_cast<std::size_t>(dbl + 1 - names.begin())].shift.Contains(ssDouble));
}

TEST_F(GraphicControlTest, KeysReachTheKeyEventsAndUnconsumedOnesGoToTheParent) {
  struct KeyParent : QWidget {
    std::vector<int> keys;
    void keyPressEvent(QKeyEvent* e) override { keys.push_back(e->key()); }
  } parent;
  auto* keyed = new BlockControl(&parent);
  keyed->setFocusPolicy(Qt::StrongFocus);
  std::vector<std::pair<WORD, TShiftState>> downs;
  std::string typed;
  keyed->OnKeyDown = [&](QObject* sender, WORD& key, TShiftState shift) {
    EXPECT_EQ(sender, keyed);
    if (key == VK_SHIFT) {  // Qt Test presses Shift before a shifted key, as a keyboard does
      key = 0;
      return;
    }
    downs.push_back({key, shift});
    if (key == VK_LEFT || key == VK_RIGHT) key = 0;
  };
  keyed->OnKeyPress = [&](QObject*, char& key) { typed += key; };
  parent.show();
  keyed->setFocus();
  QTest::keyClick(keyed, Qt::Key_Left);
  QTest::keyClick(keyed, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(keyed, Qt::Key_Up);
  QTest::keyClick(keyed, Qt::Key_A);
  ASSERT_EQ(downs.size(), 4u);
  EXPECT_EQ(downs[0], std::make_pair(WORD(VK_LEFT), TShiftState{}));
  EXPECT_EQ(downs[1], std::make_pair(WORD(VK_RIGHT), TShiftState{ssShift}));
  EXPECT_EQ(downs[2].first, VK_UP);
  EXPECT_EQ(downs[3].first, 'A');
  EXPECT_EQ(typed, "a");
  EXPECT_EQ(parent.keys, (std::vector<int>{Qt::Key_Up, Qt::Key_A})) << "consumed keys stay with the control";
}

TEST_F(GraphicControlTest, PaintsThroughTheCanvasIntoItsPicture) {
  control->SetBounds(0, 0, 8, 6);
  const TBitmap& picture = control->PaintPicture(clWhite);
  ASSERT_EQ(picture.Width(), 8);
  ASSERT_EQ(picture.Height(), 6);
  EXPECT_EQ(picture.Pixel(0, 0), clWhite);
  EXPECT_EQ(picture.Pixel(2, 1), clBlack);
  EXPECT_EQ(picture.Pixel(3, 2), clRed);
  EXPECT_EQ(picture.Pixel(5, 3), clBlack);
  EXPECT_EQ(picture.Pixel(6, 3), clWhite) << "the right edge is exclusive";
}

TEST_F(GraphicControlTest, ATransparentControlShowsWhatLiesBelowWhereItDrawsNothing) {
  window.setAutoFillBackground(true);
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, QColor(0, 0, 255));
  window.setPalette(palette);
  control->SetTransparent(true);
  control->SetBounds(10, 10, 8, 6);
  window.show();
  const QImage shot = window.grab().toImage();
  EXPECT_EQ(shot.pixel(10, 10), qRgb(0, 0, 255)) << "below the control";
  EXPECT_EQ(shot.pixel(12, 11), qRgb(0, 0, 0));
  EXPECT_EQ(shot.pixel(13, 12), qRgb(255, 0, 0));

  control->SetTransparent(false);
  const QImage opaque = window.grab().toImage();
  EXPECT_NE(opaque.pixel(10, 10), qRgb(0, 0, 255)) << "an opaque control fills its rectangle";
}
