#include "imaging/MinGDIBitmapU.h"

#include "imaging/utils.h"
#include "tests/imaging/PictureHelpers.h"
#include "tests/support/FakeSystemValues.h"

#include <gtest/gtest.h>

namespace {

// A system with a resource meter whose reading the test sets.
class MemoryLeanBitmap : public ::testing::Test {
 protected:
  MemoryLeanBitmap() {
    values.hasResourceMeter = true;
    values.probe = [this](int) { return freeResources; };
    ResetFreeResourcesCache();
  }
  ~MemoryLeanBitmap() override { ResetFreeResourcesCache(); }

  // Lets the cached resource reading expire.
  void NextQuery() { values.AdvanceMilliseconds(1000); }

  FakeSystemValues values;
  int freeResources = 50;
};

void Fill(TMinGDIBitmap& b, TPixelFormat f, int w, int h) {
  b.SetPixelFormat(f);
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, (x + y) % 2 ? clRed : clNavy);
}

}  // namespace

TEST(MemoryLeanBitmapWithoutMeter, BehavesAsAPlainBitmap) {
  FakeSystemValues values;  // no resource meter
  ResetFreeResourcesCache();
  TMinGDIBitmap b;
  Fill(b, pf24bit, 4, 3);
  b.ForceRelease();
  EXPECT_TRUE(b.HasImage());
  EXPECT_EQ(b.MemoryCopySize(), 0);
  EXPECT_TRUE(b.Modified());  // nothing clears it without the mechanism
  TMemoryStream stream;
  b.SaveToStream(stream);
  stream.SetPosition(0);
  TMinGDIBitmap c;
  c.LoadFromStream(stream);
  EXPECT_EQ(c.MemoryCopySize(), 0);
  EXPECT_EQ(c.Pixel(1, 0), clRed);
}

TEST_F(MemoryLeanBitmap, AboveTheThresholdOnlyAForcedReleaseFreesAndTheCanvasRebuildsIdenticalPixels) {
  TMinGDIBitmap b;
  Fill(b, pf24bit, 5, 3);
  b.ReleaseImage();  // keeps the image but saves the copy
  EXPECT_TRUE(b.HasImage());
  EXPECT_FALSE(b.Modified());
  EXPECT_EQ(b.MemoryCopySize(), 54 + 16 * 3);
  b.ForceRelease();
  EXPECT_FALSE(b.HasImage());
  EXPECT_FALSE(b.ForcedRelease());
  EXPECT_EQ(b.Width(), 5);  // the size stays known while released
  b.Canvas();
  EXPECT_TRUE(b.HasImage());
  EXPECT_TRUE(b.Modified());  // the canvas may be drawn on
  TMinGDIBitmap expected;
  Fill(expected, pf24bit, 5, 3);
  EXPECT_TRUE(SamePixels(b, expected));
  // Reading pixels restores without counting as a change.
  b.ForceRelease();
  EXPECT_EQ(b.Pixel(0, 0), clNavy);
  EXPECT_TRUE(b.HasImage());
  EXPECT_FALSE(b.Modified());
  // Marking a released image modified keeps its copy.
  b.ForceRelease();
  b.SetModified(true);
  b.ForceRelease();
  EXPECT_EQ(b.Pixel(1, 0), clRed);
  // An empty bitmap is never released.
  TMinGDIBitmap empty;
  empty.ForceRelease();
  EXPECT_TRUE(empty.HasImage());
}

TEST_F(MemoryLeanBitmap, LowResourcesReleaseWithoutForcing) {
  freeResources = 18;
  TMinGDIBitmap b;
  Fill(b, pf24bit, 2, 2);
  b.SaveAndRelease();
  EXPECT_FALSE(b.HasImage());
  NextQuery();
  freeResources = 19;
  b.Canvas();
  b.SaveAndRelease();
  EXPECT_TRUE(b.HasImage());
  // Drawing while released, then saving and releasing again, keeps the drawing.
  freeResources = 5;
  NextQuery();
  Fill(b, pf24bit, 6, 6);
  b.SaveAndRelease();
  ASSERT_FALSE(b.HasImage());
  b.Canvas().Brush().Color = clLime;
  b.Canvas().FillRect(Rect(1, 1, 3, 3));
  b.SaveAndRelease();
  ASSERT_FALSE(b.HasImage());
  EXPECT_EQ(std::pair(b.Pixel(2, 2), b.Pixel(4, 4)), std::pair(clLime, clNavy));
}

TEST_F(MemoryLeanBitmap, RestoredPaletteOnlyForPaletteFormats) {
  TMinGDIBitmap wide;
  Fill(wide, pf24bit, 2, 2);
  wide.SetPalette(TPalette({PaletteEntryOf(clRed)}));
  wide.ForceRelease();
  EXPECT_TRUE(wide.Palette().IsNone());
  EXPECT_EQ(wide.Pixel(1, 0), clRed);

  for (TPixelFormat f : {pf8bit, pf4bit, pf1bit}) {
    TMinGDIBitmap narrow;
    narrow.SetPixelFormat(f);
    const TPalette palette({PaletteEntryOf(clBlack), PaletteEntryOf(clYellow)});
    narrow.SetPalette(palette);
    narrow.SetSize(3, 2);
    narrow.SetPixel(2, 1, clYellow);
    narrow.SetPixel(1, 1, clBlack);
    narrow.ForceRelease();
    ASSERT_FALSE(narrow.HasImage());
    EXPECT_EQ(narrow.Palette(), palette) << f;
    EXPECT_EQ(std::pair(narrow.Pixel(2, 1), narrow.Pixel(1, 1)), std::pair(clYellow, clBlack)) << f;
  }
}

TEST_F(MemoryLeanBitmap, ScanLineCanvasAndAssignChangesAreNeverDroppedByARelease) {
  TMinGDIBitmap b;
  Fill(b, pf24bit, 2, 1);
  b.ForceRelease();
  b.ScanLine(0)[0] = 77;  // restores and counts as a change
  b.ForceRelease();
  EXPECT_EQ(static_cast<const TMinGDIBitmap&>(b).ScanLine(0)[0], 77);
  // A canvas obtained before a release still draws into the rebuilt image.
  TCanvas& canvas = b.Canvas();
  b.ForceRelease();
  canvas.Pixel(0, 0);
  canvas.SetPixel(1, 0, clYellow);
  b.ForceRelease();
  EXPECT_EQ(b.Pixel(1, 0), clYellow);
  // Assigning restores the source and marks the target modified.
  TMinGDIBitmap source;
  Fill(source, pf24bit, 3, 1);
  source.ForceRelease();
  b.Assign(&source);
  EXPECT_EQ(std::tuple(source.HasImage(), b.Modified(), b.Width()), std::tuple(true, true, 3));
  b.ForceRelease();
  EXPECT_EQ(b.Pixel(1, 0), clRed);
}

TEST_F(MemoryLeanBitmap, LoadKeepsTheBytesFromThePositionToTheEndAndAFailedLoadKeepsThem) {
  TMinGDIBitmap source;
  Fill(source, pf8bit, 3, 2);
  TMemoryStream stream;
  stream.WriteUInt32(0xDEADBEEF);
  source.SaveToStream(stream);
  stream.WriteByte(9);  // trailing bytes belong to the copy too
  stream.SetPosition(4);
  TMinGDIBitmap b;
  b.LoadFromStream(stream);
  EXPECT_EQ(b.MemoryCopySize(), stream.Size() - 4);
  EXPECT_EQ(stream.Position(), stream.Size() - 1);
  EXPECT_FALSE(b.Modified());
  b.ForceRelease();
  EXPECT_EQ(std::pair(b.Pixel(1, 0), b.PixelFormat()), std::pair(clRed, pf8bit));
  // A failed load keeps image and copy.
  b.ForceRelease();
  const std::int64_t copySize = b.MemoryCopySize();
  const std::uint8_t junk[20] = {'B', 'M'};
  TReadOnlyMemoryStream bad(junk, sizeof junk);
  EXPECT_THROW(b.LoadFromStream(bad), EInvalidGraphic);
  EXPECT_EQ(b.MemoryCopySize(), copySize);
  b.ForceRelease();
  EXPECT_EQ(std::pair(b.Pixel(1, 0), b.PixelFormat()), std::pair(clRed, pf8bit));
}

TEST_F(MemoryLeanBitmap, TransparencyAndPixelFormatWhileReleased) {
  TMinGDIBitmap b;
  Fill(b, pf24bit, 3, 1);
  b.ReleaseImage();
  const std::int64_t before = b.MemoryCopySize();
  b.SetPixelFormat(pf8bit);
  EXPECT_TRUE(b.Modified());
  EXPECT_GT(b.MemoryCopySize(), before);  // now with a colour table
  b.SetTransparentColor(clRed);
  EXPECT_TRUE(b.Modified());
  b.ForceRelease();
  EXPECT_EQ(std::pair(b.PixelFormat(), b.TransparentColor()), std::pair(pf8bit, clRed));
  // Reading Transparent does not restore the image, but reading the colour does.
  Fill(b, pf24bit, 2, 2);
  b.SetTransparent(true);
  b.ForceRelease();
  EXPECT_TRUE(b.Transparent());
  EXPECT_FALSE(b.HasImage());
  EXPECT_EQ(b.TransparentColor(), clRed);  // bottom-left pixel
  EXPECT_TRUE(b.HasImage());
}
