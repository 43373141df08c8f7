#include "controls/TrackBar.h"

#include "tests/controls/ControlTestHelpers.h"

#include <gtest/gtest.h>

#include <QTest>

#include <vector>

namespace {

// The colour picker's bars: 116 x 21, 0-255, ticks every 64, thumb length 12.
class TrackBarTest : public testing::Test {
 protected:
  TrackBarTest() {
    window.resize(200, 100);
    bar->SetBounds(15, 20, 116, 21);
    bar->SetMax(255);
    bar->SetFrequency(64);
    bar->SetPageSize(64);
    bar->SetThumbLength(12);
    bar->OnChange = [this](QObject* sender) {
      EXPECT_EQ(sender, bar);
      changes.push_back(bar->Position());
    };
  }
  QWidget window;
  TTrackBar* bar = new TTrackBar(&window);
  std::vector<int> changes;
};

}  // namespace

TEST_F(TrackBarTest, GeometryOfTheThumbsTravel) {
  EXPECT_EQ(bar->ThumbWidth(), 7);
  EXPECT_EQ(bar->ChannelStart(), 5);
  EXPECT_EQ(bar->ChannelEnd(), 110);
  EXPECT_EQ(bar->PositionX(0), 5);
  EXPECT_EQ(bar->PositionX(255), 110);
  EXPECT_EQ(bar->PositionX(128), 58);
  EXPECT_EQ(bar->ValueAtX(5), 0);
  EXPECT_EQ(bar->ValueAtX(110), 255);
  EXPECT_EQ(bar->ValueAtX(-50), 0);
  EXPECT_EQ(bar->ValueAtX(500), 255);
  for (int x = 5; x <= 110; ++x) EXPECT_EQ(bar->PositionX(bar->ValueAtX(x)), x) << "x " << x;
  bar->SetPosition(255);
  EXPECT_EQ(bar->ThumbRect(), Rect(107, 2, 114, 14));
}

TEST_F(TrackBarTest, EveryPositionChangeFiresOnceAndStaysInTheRange) {
  bar->SetPosition(100);
  bar->SetPosition(100);
  bar->SetPosition(300);
  bar->SetPosition(-4);
  EXPECT_EQ(changes, (std::vector<int>{100, 255, 0}));
  bar->SetPosition(200);
  bar->SetMax(150);
  EXPECT_EQ(bar->Position(), 150) << "a smaller range moves the position";
  bar->SetMin(160);
  EXPECT_EQ(bar->Min(), 0) << "a minimum above the maximum is refused";
  bar->SetMax(-1);
  EXPECT_EQ(bar->Max(), 150) << "a maximum below the minimum is refused";
  bar->SetMin(120);
  bar->SetPosition(0);
  EXPECT_EQ(bar->Position(), 120);
}

TEST_F(TrackBarTest, KeysMoveByLineAndPage) {
  bar->SetPosition(100);
  changes.clear();
  WORD key = VK_RIGHT;
  bar->KeyDown(key, {});
  EXPECT_EQ(key, 0) << "the bar takes its keys";
  key = VK_UP;
  bar->KeyDown(key, {});
  key = VK_NEXT;
  bar->KeyDown(key, {});
  key = VK_PRIOR;
  bar->KeyDown(key, {});
  key = VK_END;
  bar->KeyDown(key, {});
  key = VK_HOME;
  bar->KeyDown(key, {});
  EXPECT_EQ(changes, (std::vector<int>{101, 100, 164, 100, 255, 0}));
  key = VK_ESCAPE;
  bar->KeyDown(key, {});
  EXPECT_EQ(key, VK_ESCAPE) << "other keys go on";
}

TEST_F(TrackBarTest, DraggingTheThumbReportsEveryPosition) {
  window.show();
  const int y = 6;
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->PositionX(0) + 1, y));
  for (int x = 6; x <= 60; x += 9) QTest::mouseMove(bar, QPoint(x + 1, y));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(61, y));
  ASSERT_GE(changes.size(), 5u);
  for (std::size_t i = 1; i < changes.size(); ++i) EXPECT_GT(changes[i], changes[i - 1]);
  EXPECT_EQ(bar->Position(), bar->ValueAtX(60)) << "the grab point stays under the mouse";
  const std::size_t count = changes.size();
  QTest::mouseMove(bar, QPoint(100, y));
  EXPECT_EQ(changes.size(), count) << "the drag ended with the release";
}

TEST_F(TrackBarTest, APressBesideTheThumbPages) {
  window.show();
  bar->SetPosition(128);
  changes.clear();
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(100, 6));
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(6, 6));
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(6, 6));
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(6, 6));
  EXPECT_EQ(changes, (std::vector<int>{192, 128, 64, 0}));
}

TEST_F(TrackBarTest, SelectionRangeIsHighlightedInTheChannel) {
  bar->SetPosition(255);
  bar->SetSelStart(0);
  bar->SetSelEnd(128);
  const TBitmap& picture = bar->PaintPicture(clBtnFace);
  // Channel rows 4..7, inside 5..6; the range from x 5 to x 58.
  for (int x = 5; x <= 58; ++x) {
    EXPECT_EQ(picture.Pixel(x, 5), ColorToRGB(clHighlight)) << x;
    EXPECT_EQ(picture.Pixel(x, 6), ColorToRGB(clHighlight)) << x;
  }
  EXPECT_EQ(picture.Pixel(59, 5), ColorToRGB(clWindow));
  EXPECT_EQ(picture.Pixel(3, 5), ColorToRGB(clWindow));
  EXPECT_EQ(picture.Pixel(30, 4), ColorToRGB(clBtnShadow)) << "the sunken edge";
  EXPECT_EQ(picture.Pixel(30, 7), ColorToRGB(clBtnHighlight));

  bar->SetSelEnd(0);
  EXPECT_EQ(CountPixels(bar->PaintPicture(clBtnFace), clHighlight), 0) << "an empty range is not drawn";
}

TEST_F(TrackBarTest, TicksEveryFrequencyAndAtTheEnd) {
  bar->SetPosition(128);
  const TBitmap& picture = bar->PaintPicture(clBtnFace);
  const TColor tick = ColorToRGB(clBtnText);
  for (int value : {0, 64, 192, 255})
    for (int y = 15; y <= 17; ++y) EXPECT_EQ(picture.Pixel(bar->PositionX(value), y), tick) << value;
  EXPECT_NE(picture.Pixel(bar->PositionX(32), 16), tick);
  EXPECT_NE(picture.Pixel(bar->PositionX(0), 18), tick);
  // The thumb at 128 points down to x 58.
  EXPECT_EQ(picture.Pixel(58, 6), ColorToRGB(clBtnFace));
  EXPECT_EQ(picture.Pixel(55, 2), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(picture.Pixel(61, 6), ColorToRGB(cl3DDkShadow));
  bar->SetTickStyle(tsNone);
  EXPECT_NE(bar->PaintPicture(clBtnFace).Pixel(bar->PositionX(0), 16), tick);
}
