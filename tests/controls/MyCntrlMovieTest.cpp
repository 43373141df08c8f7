// The frame-strip movie: cells, centring, timing, the colour key and the
// mouse-driven cycle.
#include "controls/MyCntrlMovie.h"

#include <gtest/gtest.h>

#include <QTest>

#include <memory>

namespace {

// A strip of frames, each w x h and filled with its own colour.
std::unique_ptr<TBitmap> Strip(int frames, int w, int h) {
  auto strip = std::make_unique<TBitmap>();
  strip->SetSize(frames * w, h);
  for (int f = 0; f < frames; ++f) {
    strip->Canvas().Brush().Color = RGB(static_cast<std::uint8_t>(10 * f + 5), 100, 200);
    strip->Canvas().FillRect(Bounds(f * w, 0, w, h));
  }
  return strip;
}
TColor FrameColour(int frame) { return RGB(static_cast<std::uint8_t>(10 * (frame - 1) + 5), 100, 200); }

class MovieTest : public testing::Test {
 protected:
  MovieTest() {
    movie.SetBounds(0, 0, 100, 60);
    movie.SetPicture(*Strip(10, 40, 40));
    movie.SetNumFrames(10);
    movie.SetMovieEnabled(false);
  }
  TMovie movie;
};

}  // namespace

TEST_F(MovieTest, StartsWithOneFrameAndARunningTimerOf50Milliseconds) {
  TMovie fresh;
  EXPECT_EQ(fresh.NumFrames(), 1);
  EXPECT_TRUE(fresh.MovieEnabled());
  EXPECT_EQ(fresh.FrameTimer().Interval(), 50);
  EXPECT_EQ(fresh.FramesPerSecond(), 20);
  EXPECT_FALSE(fresh.AnimateWhenMouseMove());
  EXPECT_FALSE(fresh.Transparent());
  EXPECT_EQ(fresh.CurrentFrame(), 1);
}

TEST_F(MovieTest, AStripOf400By40InTenFramesShowsCellsOf40By40) {
  EXPECT_EQ(movie.FrameWidth(), 40);
  EXPECT_EQ(movie.FrameRect(), Rect(0, 0, 40, 40));
  const TBitmap& first = movie.PaintPicture(clWhite);
  EXPECT_EQ(first.Pixel(0, 0), FrameColour(1));
  EXPECT_EQ(first.Pixel(39, 39), FrameColour(1));
  EXPECT_EQ(first.Pixel(40, 0), clWhite) << "only the frame is painted";
  movie.FrameTimerTimer();
  EXPECT_EQ(movie.CurrentFrame(), 2);
  EXPECT_EQ(movie.PaintPicture(clWhite).Pixel(20, 20), FrameColour(2));
  movie.SetCenter(true);
  EXPECT_EQ(movie.FrameRect(), Rect(30, 10, 70, 50));
  const TBitmap& centred = movie.PaintPicture(clWhite);
  EXPECT_EQ(centred.Pixel(30, 10), FrameColour(2));
  EXPECT_EQ(centred.Pixel(29, 10), clWhite);
}

TEST_F(MovieTest, FramesPerSecondSetsTheInterval) {
  movie.SetFramesPerSecond(20);
  EXPECT_EQ(movie.FrameTimer().Interval(), 50) << "ten frames in half a second";
  movie.SetFramesPerSecond(3);
  EXPECT_EQ(movie.FrameTimer().Interval(), 333);
  EXPECT_EQ(movie.FramesPerSecond(), 3);
  movie.SetFramesPerSecond(0);
  EXPECT_EQ(movie.FrameTimer().Interval(), 50);
  movie.SetFramesPerSecond(-4);
  EXPECT_EQ(movie.FrameTimer().Interval(), 50);
  movie.SetFramesPerSecond(5000);
  EXPECT_EQ(movie.FrameTimer().Interval(), 1) << "never 0, which would stop the movie";
}

TEST_F(MovieTest, TheFramesRunInACycleAndSettingsRestartAtTheFirst) {
  for (int tick = 0; tick < 9; ++tick) movie.FrameTimerTimer();
  EXPECT_EQ(movie.CurrentFrame(), 10);
  movie.FrameTimerTimer();
  EXPECT_EQ(movie.CurrentFrame(), 1);
  movie.FrameTimerTimer();
  movie.SetNumFrames(5);
  EXPECT_EQ(movie.CurrentFrame(), 1);
  EXPECT_EQ(movie.FrameWidth(), 80);
  movie.FrameTimerTimer();
  movie.SetMovieEnabled(true);
  EXPECT_EQ(movie.CurrentFrame(), 1);
  EXPECT_TRUE(movie.FrameTimer().IsTicking());
  movie.SetNumFrames(0);
  EXPECT_EQ(movie.NumFrames(), 1) << "at least one frame";
  EXPECT_EQ(movie.FrameWidth(), 400);
}

TEST_F(MovieTest, AKeyedStripShowsColorWhereItsTopLeftColourIs) {
  const std::unique_ptr<TBitmap> strip = Strip(2, 4, 4);
  strip->SetPixel(0, 0, clFuchsia);
  strip->SetPixel(2, 2, clFuchsia);
  strip->SetPixel(5, 1, clFuchsia);
  movie.SetPicture(*strip);
  movie.SetNumFrames(2);
  movie.SetColor(clYellow);
  EXPECT_EQ(movie.PaintPicture(clWhite).Pixel(2, 2), clFuchsia);
  movie.SetTransparent(true);
  const TBitmap& keyed = movie.PaintPicture(clWhite);
  EXPECT_EQ(keyed.Pixel(0, 0), clYellow);
  EXPECT_EQ(keyed.Pixel(2, 2), clYellow);
  EXPECT_EQ(keyed.Pixel(1, 1), FrameColour(1));
  movie.FrameTimerTimer();
  EXPECT_EQ(movie.PaintPicture(clWhite).Pixel(1, 1), clYellow) << "the key is the strip's, not the frame's";
}

TEST_F(MovieTest, WithAnimateWhenMouseMoveItPlaysOneCycleForEachMove) {
  QWidget window;
  auto* hover = new TMovie(&window);
  hover->SetBounds(0, 0, 40, 40);
  hover->SetPicture(*Strip(3, 40, 40));
  hover->SetNumFrames(3);
  hover->SetAnimateWhenMouseMove(true);
  hover->SetMovieEnabled(false);
  window.show();
  QTest::mouseMove(hover, QPoint(10, 10));
  EXPECT_TRUE(hover->MovieEnabled());
  EXPECT_EQ(hover->CurrentFrame(), 1);
  hover->FrameTimerTimer();
  hover->FrameTimerTimer();
  EXPECT_EQ(hover->CurrentFrame(), 3);
  QTest::mouseMove(hover, QPoint(12, 10));
  EXPECT_EQ(hover->CurrentFrame(), 1) << "each move starts again";
  hover->FrameTimerTimer();
  hover->FrameTimerTimer();
  hover->FrameTimerTimer();
  EXPECT_EQ(hover->CurrentFrame(), 1);
  EXPECT_FALSE(hover->MovieEnabled()) << "stopped on the first frame after one cycle";
}
