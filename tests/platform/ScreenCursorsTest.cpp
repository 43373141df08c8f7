#include "platform/qtui/ScreenCursors.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace {

constexpr TCursor kOwnCursors[] = {crHandCursor, crMove,    crMoveDuration, crMoveDurationLeft, crMoveDurationRight,
                                   crAirDrop,    crZoomCursor, crLightMoving, crRotate};

bool IsOpaque(const QImage& image, QPoint p) { return qAlpha(image.pixel(p)) == 255; }

}  // namespace

TEST(CursorNumbers, KeepTheClassLibraryAndTheEditorsOwnValues) {
  EXPECT_EQ(crCross, -3);
  EXPECT_EQ(crSizeNESW, -6);
  EXPECT_EQ(crSizeNS, -7);
  EXPECT_EQ(crSizeNWSE, -8);
  EXPECT_EQ(crSizeWE, -9);
  EXPECT_EQ(crHourGlass, -11);
  EXPECT_EQ(crSizeAll, -22);
  EXPECT_EQ(crMove, 6);
  EXPECT_EQ(crMoveDurationRight, 9);
  EXPECT_EQ(crAirDrop, 101);
  EXPECT_EQ(crRotate, 105);
  EXPECT_TRUE(IsStandardCursor(crSizeWE));
  EXPECT_FALSE(IsStandardCursor(crMove));
  for (TCursor own : kOwnCursors) EXPECT_TRUE(IsOwnCursor(own)) << own;
  EXPECT_FALSE(IsOwnCursor(static_cast<TCursor>(102)));
  EXPECT_FALSE(IsOwnCursor(static_cast<TCursor>(10)));
}

TEST(ScreenCursorTable, StandardNumbersGiveTheirShapes) {
  EXPECT_EQ(ScreenCursor(crSizeNWSE).shape(), Qt::SizeFDiagCursor);
  EXPECT_EQ(ScreenCursor(crSizeNESW).shape(), Qt::SizeBDiagCursor);
  EXPECT_EQ(ScreenCursor(crSizeNS).shape(), Qt::SizeVerCursor);
  EXPECT_EQ(ScreenCursor(crSizeWE).shape(), Qt::SizeHorCursor);
  EXPECT_EQ(ScreenCursor(crCross).shape(), Qt::CrossCursor);
  EXPECT_EQ(ScreenCursor(crHourGlass).shape(), Qt::WaitCursor);
  EXPECT_EQ(ScreenCursor(crHandPoint).shape(), Qt::PointingHandCursor);
  // Unknown numbers and the default give the arrow, as the class library's table does.
  EXPECT_EQ(ScreenCursor(crDefault).shape(), Qt::ArrowCursor);
  EXPECT_EQ(ScreenCursor(static_cast<TCursor>(102)).shape(), Qt::ArrowCursor);
  EXPECT_TRUE(CursorPicture(crSizeWE).isNull());
}

TEST(ScreenCursorTable, OwnCursorsAreDrawnPicturesWithTheirHotSpots) {
  for (TCursor id : kOwnCursors) {
    const QImage picture = CursorPicture(id);
    ASSERT_EQ(picture.size(), QSize(32, 32)) << id;
    const QPoint hot = CursorHotSpot(id);
    EXPECT_TRUE(IsOpaque(picture, hot)) << "the hot spot of cursor " << id << " lies on the drawing";
    int black = 0, white = 0, clear = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const QRgb p = picture.pixel(x, y);
        if (qAlpha(p) == 0) ++clear;
        else if (p == 0xFF000000u) ++black;
        else if (p == 0xFFFFFFFFu) ++white;
      }
    EXPECT_GT(black, 20) << id;
    EXPECT_GT(white, 20) << id;
    EXPECT_GT(clear, 300) << id;

    const QCursor cursor = ScreenCursor(id);
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor) << id;
    EXPECT_EQ(cursor.hotSpot(), hot) << id;
  }
  // The interval cursors tell body, start and end apart.
  EXPECT_NE(CursorPicture(crMoveDuration), CursorPicture(crMoveDurationLeft));
  EXPECT_NE(CursorPicture(crMoveDurationLeft), CursorPicture(crMoveDurationRight));
}

TEST(ScreenCursorTable, TheDefaultCursorLeavesTheWidgetToItsParent) {
  QWidget parent;
  QWidget widget(&parent);
  ApplyCursor(widget, crMove);
  EXPECT_TRUE(widget.testAttribute(Qt::WA_SetCursor));
  EXPECT_EQ(widget.cursor().hotSpot(), QPoint(15, 15));
  ApplyCursor(widget, crSizeWE);
  EXPECT_EQ(widget.cursor().shape(), Qt::SizeHorCursor);
  ApplyCursor(widget, crDefault);
  EXPECT_FALSE(widget.testAttribute(Qt::WA_SetCursor));
}
