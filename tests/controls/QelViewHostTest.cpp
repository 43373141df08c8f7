// The widget that shows a 3D view: the view takes its size, renders into its
// own picture as soon as the widget exists, and the mouse arrives as the
// controls' mouse events in client coordinates.
#include "controls/QelViewHost.h"

#include "qel3d/qelview.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct RecordedMouse {
  char kind;
  TMouseButton button;
  TShiftState shift;
  int x, y;
};

class QelViewHostTest : public testing::Test {
 protected:
  QelViewHostTest() {
    view_.SetBackgroundColor(0x0000FF);  // red
    host_.SetView(&view_);
    host_.OnMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) { mouse_.push_back({'d', b, s, x, y}); };
    host_.OnMouseMove = [this](TShiftState s, int x, int y) { mouse_.push_back({'m', mbLeft, s, x, y}); };
    host_.OnMouseUp = [this](TMouseButton b, TShiftState s, int x, int y) { mouse_.push_back({'u', b, s, x, y}); };
  }
  ~QelViewHostTest() override { host_.SetView(nullptr); }

  TQelView view_;
  TQelViewHost host_;
  std::vector<RecordedMouse> mouse_;
};

TEST_F(QelViewHostTest, ViewTakesTheClientSizeAndRendersWhileHidden) {
  host_.SetClientSize(40, 16);
  EXPECT_EQ(view_.ClientWidth(), 40);
  EXPECT_EQ(view_.ClientHeight(), 16);
  ASSERT_TRUE(view_.HasContext());
  view_.Redraw();
  const QImage image = view_.Image();
  ASSERT_EQ(image.size(), QSize(40, 16));
  EXPECT_EQ(QColor(image.pixel(20, 8)), QColor(255, 0, 0));
}

TEST_F(QelViewHostTest, PaintShowsTheViewsPicture) {
  host_.SetClientSize(24, 12);
  const QImage shown = host_.grab().toImage();
  ASSERT_EQ(shown.size(), QSize(24, 12));
  EXPECT_EQ(QColor(shown.pixel(3, 3)), QColor(255, 0, 0));
}

TEST_F(QelViewHostTest, MouseArrivesAsControlMouseEvents) {
  host_.SetClientSize(50, 50);
  QTest::mousePress(&host_, Qt::RightButton, Qt::ShiftModifier, QPoint(7, 9));
  QMouseEvent move(QEvent::MouseMove, QPointF(12, 4), host_.mapToGlobal(QPointF(12, 4)), Qt::NoButton, Qt::RightButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&host_, &move);
  QTest::mouseRelease(&host_, Qt::RightButton, Qt::NoModifier, QPoint(12, 4));
  ASSERT_EQ(mouse_.size(), 3u);
  EXPECT_EQ(mouse_[0].kind, 'd');
  EXPECT_EQ(mouse_[0].button, mbRight);
  EXPECT_TRUE(mouse_[0].shift.Contains(ssShift));
  EXPECT_EQ(mouse_[0].x, 7);
  EXPECT_EQ(mouse_[0].y, 9);
  EXPECT_EQ(mouse_[1].kind, 'm');
  EXPECT_EQ(mouse_[1].shift, TShiftState{ssRight});
  EXPECT_EQ(mouse_[1].x, 12);
  EXPECT_EQ(mouse_[2].kind, 'u');
  EXPECT_EQ(mouse_[2].button, mbRight);
}

TEST_F(QelViewHostTest, ViewLetGoHasNoContextAndNoRepaintHook) {
  host_.SetView(nullptr);
  EXPECT_FALSE(view_.HasContext());
  EXPECT_FALSE(static_cast<bool>(view_.OnInvalidate));
  EXPECT_EQ(host_.View(), nullptr);
}

}  // namespace
