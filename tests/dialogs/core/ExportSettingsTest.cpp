#include "dialogs/core/ExportSettings.h"

#include "imaging/CreatePaletteU.h"

#include <gtest/gtest.h>

// ---- Format and output names ---------------------------------------------------------------------

TEST(ExportOutputNames, TheExtensionChoosesTheFormatWithoutCaseAndAnythingElseIsGif) {
  struct Case {
    std::string given;
    TExportFormat format;
    std::string name, base;
  };
  for (Case c : {Case{"/tmp/a/banner.BMP", efBmp, "/tmp/a/banner.BMP", "/tmp/a/banner"},
                 Case{"banner.jpg", efJpg, "banner.jpg", "banner"},
                 Case{"banner.Avi", efAvi, "banner.Avi", "banner"},
                 Case{"banner.gif", efGif, "banner.gif", "banner"},
                 Case{"/tmp/out.dir/banner", efGif, "/tmp/out.dir/banner.gif", "/tmp/out.dir/banner"},
                 Case{"banner.xyz", efGif, "banner.xyz", "banner"},
                 Case{"/tmp/v1.5/clip", efGif, "/tmp/v1.5/clip.gif", "/tmp/v1.5/clip"}}) {
    std::string name = c.given;
    EXPECT_EQ(ExportFormatOfName(name), c.format) << c.given;
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(ExportBaseName(name), c.base) << c.given;
  }
}

TEST(ExportOutputNames, OneFrameHasNoSuffixAndSeveralAreNumberedFrom001) {
  EXPECT_EQ(SeriesFileName("out/name", 0, 1, ".bmp"), "out/name.bmp");
  EXPECT_EQ(SeriesFileName("name", 0, 3, ".jpg"), "name_001.jpg");
  EXPECT_EQ(SeriesFileName("name", 2, 3, ".jpg"), "name_003.jpg");
  EXPECT_EQ(SeriesFileName("name", 998, 2000, ".bmp"), "name_999.bmp");
  EXPECT_EQ(SeriesFileName("name", 999, 2000, ".bmp"), "name_1000.bmp");
}

// ---- Numbers ---------------------------------------------------------------------------------------

TEST(ExportNumbers, JpegQualityIs101MinusTheFactor) {
  EXPECT_EQ(JpegQualityOfFactor(1), 100);
  EXPECT_EQ(JpegQualityOfFactor(25), 76);  // the factor a new session starts with
  EXPECT_EQ(JpegQualityOfFactor(76), 25);
  EXPECT_EQ(TExportSettings{}.JpegFactor, 25);
}

TEST(ExportNumbers, A67MillisecondStepIsGifDelay6AndAvi17FpsAndShortStepsCapAt100) {
  EXPECT_EQ(GifDelayOfStepTime(67), 6);
  EXPECT_EQ(AviFrameRateOfStepTime(67), 17);
  EXPECT_EQ(GifDelayOfStepTime(5), 0);
  EXPECT_EQ(AviFrameRateOfStepTime(5), 100);
  EXPECT_EQ(AviFrameRateOfStepTime(250), 4);
}

TEST(ExportNumbers, VgaAndCustomPalettesTake256ColoursAndAnUnknownChoiceIsAdaptive) {
  EXPECT_EQ(PaletteKindOfType(42), pkAdaptive);
  EXPECT_EQ(PaletteColorsOfType(ptStandardVGA, 32), 256);
  EXPECT_EQ(PaletteColorsOfType(ptCustom, 32), 256);
  EXPECT_EQ(PaletteColorsOfType(ptDifferentAdaptive, 32), 32);
  EXPECT_EQ(FixedColorCountText(ptStandardVGA), "16");
  EXPECT_EQ(FixedColorCountText(ptGrayscale), "256");
  EXPECT_EQ(FixedColorCountText(ptOptimized), "");
}

// ---- Estimate texts -------------------------------------------------------------------------------------

TEST(EstimateTexts, SizesAndChangesHaveTheirExactForms) {
  EXPECT_EQ(GifSizeText(512), ".5 ");  // no leading zero
  EXPECT_EQ(GifSizeText(0), ".0 ");
  EXPECT_EQ(GifSizeText(1264000), "1,234.4 ");
  EXPECT_EQ(GifSizeText(1024.0 * 1234567), "1,234,567.0 ");
  EXPECT_EQ(JpegSizeText(512), "0.5 ");
  EXPECT_EQ(JpegSizeText(10240), "10.0 ");
  EXPECT_EQ(SizeChangeText(1536), "+1.5");
  EXPECT_EQ(SizeChangeText(-307), "-0.3");
  EXPECT_EQ(SizeChangeText(0), "0 ");
  EXPECT_EQ(SizeChangeText(40), "0 ");  // 0.04 shows as zero
  EXPECT_EQ(SizeChangeText(-2048000), "-2,000.0");
}

TEST(EstimateTexts, DownloadTimeAt28kShowsHoursMinutesSeconds) {
  EXPECT_EQ(DownloadTimeText(2800), " less than 1 second");
  EXPECT_EQ(DownloadTimeText(2801), " 0 hour 0 min 1 sec");
  EXPECT_EQ(DownloadTimeText(2800.0 * 65), " 0 hour 1 min 5 sec");
  EXPECT_EQ(DownloadTimeText(2800.0 * (2 * 3600 + 3 * 60 + 4)), " 2 hour 3 min 4 sec");
  EXPECT_EQ(DownloadTimeText(2800.0 * 30 * 3600), " 30 hour 0 min 0 sec");
}
