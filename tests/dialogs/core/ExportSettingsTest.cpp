#include "dialogs/core/ExportSettings.h"

#include "imaging/CreatePaletteU.h"

#include <gtest/gtest.h>

TEST(ExportSettingsDefaults, ANewSessionExportsTheWholeAnimationAdaptivelyAt256Colours) {
  TExportSettings s;
  EXPECT_EQ(s.WholeAnimation, 1);
  EXPECT_EQ(s.FirstStep, 1);
  EXPECT_EQ(s.NumberOfFrames, 0);
  EXPECT_EQ(s.ResampleKind, 0);
  EXPECT_EQ(s.PaletteType, ptAdaptive);
  EXPECT_EQ(s.NumberOfColors, 256);
  EXPECT_EQ(s.ReductionFlags, 5);
  EXPECT_TRUE(s.Shrink());
  EXPECT_FALSE(s.RemoveIdenticalPixels());
  EXPECT_TRUE(s.RemoveIdenticalFrames());
  EXPECT_EQ(s.JpegFactor, 25);
}

TEST(ExportSettingsDefaults, ReductionFlagsSwitchOneBitEach) {
  TExportSettings s;
  s.SetReductionFlag(rfRemoveIdenticalPixels, true);
  s.SetReductionFlag(rfShrinkToSmallestRectangle, false);
  EXPECT_EQ(s.ReductionFlags, 6);
}

// ---- Format and output names ---------------------------------------------------------------------

TEST(ExportFormatByExtension, EachKnownExtensionChoosesItsFormatWithoutCase) {
  std::string name = "/tmp/a/banner.BMP";
  EXPECT_EQ(ExportFormatOfName(name), efBmp);
  name = "banner.jpg";
  EXPECT_EQ(ExportFormatOfName(name), efJpg);
  name = "banner.Avi";
  EXPECT_EQ(ExportFormatOfName(name), efAvi);
  name = "banner.gif";
  EXPECT_EQ(ExportFormatOfName(name), efGif);
  EXPECT_EQ(name, "banner.gif");
}

TEST(ExportFormatByExtension, ANameWithoutExtensionGetsGifAppended) {
  std::string name = "/tmp/out.dir/banner";
  EXPECT_EQ(ExportFormatOfName(name), efGif);
  EXPECT_EQ(name, "/tmp/out.dir/banner.gif");
  EXPECT_EQ(ExportBaseName(name), "/tmp/out.dir/banner");
}

TEST(ExportFormatByExtension, AnUnknownExtensionExportsNameDotGif) {
  std::string name = "banner.xyz";
  EXPECT_EQ(ExportFormatOfName(name), efGif);
  EXPECT_EQ(ExportBaseName(name) + ".gif", "banner.gif");
}

TEST(ExportOutputNames, OneFrameHasNoSuffix) {
  EXPECT_EQ(SeriesFileName("out/name", 0, 1, ".bmp"), "out/name.bmp");
  EXPECT_EQ(SeriesFileName("out/name", 0, 1, ".jpg"), "out/name.jpg");
}

TEST(ExportOutputNames, SeveralFramesAreNumberedFrom001) {
  EXPECT_EQ(SeriesFileName("name", 0, 3, ".jpg"), "name_001.jpg");
  EXPECT_EQ(SeriesFileName("name", 1, 3, ".jpg"), "name_002.jpg");
  EXPECT_EQ(SeriesFileName("name", 2, 3, ".jpg"), "name_003.jpg");
  EXPECT_EQ(SeriesFileName("name", 98, 2000, ".bmp"), "name_099.bmp");
  EXPECT_EQ(SeriesFileName("name", 998, 2000, ".bmp"), "name_999.bmp");
  EXPECT_EQ(SeriesFileName("name", 999, 2000, ".bmp"), "name_1000.bmp");
}

TEST(ExportOutputNames, OnlyTheFileNamesOwnExtensionIsReplaced) {
  EXPECT_EQ(ExportBaseName("/tmp/v1.5/clip.avi"), "/tmp/v1.5/clip");
  EXPECT_EQ(ExportBaseName("/tmp/v1.5/clip"), "/tmp/v1.5/clip");
}

// ---- Numbers ---------------------------------------------------------------------------------------

TEST(JpegQualityMapping, FactorOneIsQuality100AndFactor76IsQuality25) {
  EXPECT_EQ(JpegQualityOfFactor(1), 100);
  EXPECT_EQ(JpegQualityOfFactor(25), 76);
  EXPECT_EQ(JpegQualityOfFactor(76), 25);
}

TEST(StepTimeConversion, A67MillisecondStepIsGifDelay6AndAvi17Fps) {
  EXPECT_EQ(GifDelayOfStepTime(67), 6);
  EXPECT_EQ(AviFrameRateOfStepTime(67), 17);
}

TEST(StepTimeConversion, StepsBelowTenMillisecondsGive100FramesPerSecond) {
  EXPECT_EQ(AviFrameRateOfStepTime(5), 100);
  EXPECT_EQ(GifDelayOfStepTime(5), 0);
  EXPECT_EQ(AviFrameRateOfStepTime(100), 10);
  EXPECT_EQ(AviFrameRateOfStepTime(250), 4);  // 100 / 25
}

TEST(PaletteChoice, EachChoiceMapsToItsPaletteKind) {
  EXPECT_EQ(PaletteKindOfType(ptBrowser), pkBrowser);
  EXPECT_EQ(PaletteKindOfType(ptOptimized), pkOptimized);
  EXPECT_EQ(PaletteKindOfType(ptAdaptive), pkAdaptive);
  EXPECT_EQ(PaletteKindOfType(ptStandardVGA), pkStandardVGA);
  EXPECT_EQ(PaletteKindOfType(ptGrayscale), pkGrayscale);
  EXPECT_EQ(PaletteKindOfType(ptCustom), pkCustom);
  EXPECT_EQ(PaletteKindOfType(ptDifferentOptimized), pkOptimizedPerFrame);
  EXPECT_EQ(PaletteKindOfType(ptDifferentAdaptive), pkAdaptivePerFrame);
  EXPECT_EQ(PaletteKindOfType(42), pkAdaptive);
}

TEST(PaletteChoice, VgaAndCustomTake256ColoursTheOthersTheChosenCount) {
  EXPECT_EQ(PaletteColorsOfType(ptStandardVGA, 32), 256);
  EXPECT_EQ(PaletteColorsOfType(ptCustom, 32), 256);
  EXPECT_EQ(PaletteColorsOfType(ptBrowser, 32), 32);
  EXPECT_EQ(PaletteColorsOfType(ptDifferentAdaptive, 32), 32);
  EXPECT_TRUE(UsesLocalColorTables(ptDifferentOptimized));
  EXPECT_TRUE(UsesLocalColorTables(ptDifferentAdaptive));
  EXPECT_FALSE(UsesLocalColorTables(ptAdaptive));
  EXPECT_EQ(FixedColorCountText(ptStandardVGA), "16");
  EXPECT_EQ(FixedColorCountText(ptGrayscale), "256");
  EXPECT_EQ(FixedColorCountText(ptOptimized), "");
}

// ---- Size link -------------------------------------------------------------------------------------------

TEST(SizeLink, PixelsGiveTheRoundedPercent) {
  EXPECT_EQ(PercentAfterPixelsChange(234, 100, 468), 50);
  EXPECT_EQ(PercentAfterPixelsChange(100, 33, 300), 33);  // already consistent: unchanged
  EXPECT_EQ(PercentAfterPixelsChange(101, 33, 300), 34);  // 33.67
}

TEST(SizeLink, HundredPercentRestoresTheExactBase) {
  // 33 % of 301 is 99.33: 99 pixels; back to 100 % must give 301, not a rounding of 99.
  const int pixels = PixelsAfterPercentChange(301, 33, 301);
  EXPECT_EQ(pixels, 99);
  EXPECT_EQ(PixelsAfterPercentChange(pixels, 100, 301), 301);
}

TEST(SizeLink, ConsistentValuesStayAndHalvesRoundToEven) {
  EXPECT_EQ(PixelsAfterPercentChange(50, 50, 100), 50);
  EXPECT_EQ(PixelsAfterPercentChange(0, 50, 5), 2);  // 2.5 -> 2
  EXPECT_EQ(PixelsAfterPercentChange(0, 50, 7), 4);  // 3.5 -> 4
  EXPECT_EQ(PixelsAfterPercentChange(7, 50, 0), 7);  // no base: unchanged
}

// ---- Estimate texts -------------------------------------------------------------------------------------

TEST(EstimateTexts, GifSizeHasNoLeadingZeroAndGroupsThousands) {
  EXPECT_EQ(GifSizeText(512), ".5 ");
  EXPECT_EQ(GifSizeText(0), ".0 ");
  EXPECT_EQ(GifSizeText(2048), "2.0 ");
  EXPECT_EQ(GifSizeText(1264000), "1,234.4 ");
  EXPECT_EQ(GifSizeText(1024.0 * 1234567), "1,234,567.0 ");
}

TEST(EstimateTexts, JpegSizeKeepsTheLeadingZero) {
  EXPECT_EQ(JpegSizeText(512), "0.5 ");
  EXPECT_EQ(JpegSizeText(10240), "10.0 ");
}

TEST(EstimateTexts, ChangesCarryTheirSignAndZeroIsPlain) {
  EXPECT_EQ(SizeChangeText(1536), "+1.5");
  EXPECT_EQ(SizeChangeText(-307), "-0.3");
  EXPECT_EQ(SizeChangeText(0), "0 ");
  EXPECT_EQ(SizeChangeText(40), "0 ");  // 0.04 shows as zero
  EXPECT_EQ(SizeChangeText(-2048000), "-2,000.0");
}

TEST(EstimateTexts, DownloadTimeAt28kShowsHoursMinutesSeconds) {
  EXPECT_EQ(DownloadTimeText(2800), " less than 1 second");
  EXPECT_EQ(DownloadTimeText(100), " less than 1 second");
  EXPECT_EQ(DownloadTimeText(2801), " 0 hour 0 min 1 sec");
  EXPECT_EQ(DownloadTimeText(2800.0 * 65), " 0 hour 1 min 5 sec");
  EXPECT_EQ(DownloadTimeText(2800.0 * (2 * 3600 + 3 * 60 + 4)), " 2 hour 3 min 4 sec");
  EXPECT_EQ(DownloadTimeText(2800.0 * 30 * 3600), " 30 hour 0 min 0 sec");
}
