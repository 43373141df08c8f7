#include "imaging/JpgImg.h"
#include "imaging/wrbmp.h"
#include "platform/Streams.h"
#include "tests/support/BmpTestFiles.h"
#include "tests/support/ErrorText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TBmpOutputInfo Info(int width, int height, int components = 3) {
  TBmpOutputInfo info;
  info.width = width;
  info.height = height;
  info.components = components;
  info.colorSpace = components == 3 ? TBmpOutputInfo::TColorSpace::RGB : TBmpOutputInfo::TColorSpace::Grayscale;
  return info;
}

// The bytes written for the rows (top row first) into a stream that held `before`.
std::string Written(const TBmpOutputInfo& info, const std::vector<std::vector<std::uint8_t>>& rows,
                    const std::string& before = "") {
  TMemoryStream out;
  out.WriteBytes(before);
  TBmpStreamWriter writer(out, info);
  std::vector<const std::uint8_t*> pointers;
  for (const auto& row : rows) pointers.push_back(row.data());
  writer.PutPixelRows(pointers.data(), static_cast<int>(pointers.size()));
  writer.FinishOutput();
  return std::string(out.Bytes().begin(), out.Bytes().end());
}

std::string MessageOf(const TBmpOutputInfo& info) {
  TMemoryStream out;
  return ErrorText<EJPEGException>([&] { TBmpStreamWriter w(out, info); });
}

}  // namespace

TEST(BmpStreamWriterLayout, Rgb24IsBottomUpBgrWithPaddedRowsAndTheDensity) {
  TBmpOutputInfo info = Info(3, 2);
  info.densityUnit = 2;  // dots per centimetre: resolutions are density * 100
  info.xDensity = 28;
  info.yDensity = 30;
  EXPECT_EQ(Written(info, {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {11, 12, 13, 14, 15, 16, 17, 18, 19}},
                    std::string(80, 'x')),  // earlier, longer content vanishes
            (BmpTestFile{.width = 3, .xRes = 2800, .yRes = 3000,
                         .pixels = {13, 12, 11, 16, 15, 14, 19, 18, 17, 0, 0, 0, 3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}}
                 .Build()));
}

TEST(BmpStreamWriterLayout, GrayscaleHasA256StepRampAndNoDensityUnitGivesZeroResolutions) {
  std::string ramp;
  for (int i = 0; i < 256; ++i) ramp += Quads({RGB(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i))});
  EXPECT_EQ(Written(Info(2, 1, 1), {{0, 200}}),
            (BmpTestFile{.height = 1, .bits = 8, .colorsUsed = 256, .table = ramp, .pixels = {0, '\xC8', 0, 0}}.Build()));
}

TEST(BmpStreamWriterLayout, ColourMapEntriesBeyondTheMapAreZero) {
  TBmpOutputInfo info = Info(1, 1, 1);
  info.colorMapped = true;
  info.colorMap = {{255, 0, 0}, {0, 0, 255}};
  EXPECT_EQ(Written(info, {{1}}), (BmpTestFile{.width = 1, .height = 1, .bits = 8, .colorsUsed = 256,
                                                .table = Quads({clRed, clBlue}) + std::string(254 * 4, '\0'),
                                                .pixels = {1, 0, 0, 0}}
                                       .Build()));
}

TEST(BmpStreamWriterErrors, TextsOfTheBridge) {
  TBmpOutputInfo cmyk = Info(1, 1);
  cmyk.colorSpace = TBmpOutputInfo::TColorSpace::Other;
  EXPECT_EQ(MessageOf(cmyk), "BMP output must be grayscale or RGB");
  TBmpOutputInfo big = Info(1, 1, 1);
  big.colorMapped = true;
  big.colorMap.resize(300);
  EXPECT_EQ(MessageOf(big), "Output file format cannot handle 300 colormap entries");
  EXPECT_EQ(MessageOf(Info(70000, 70000)), SJpegImageTooLarge);
  std::uint8_t nothing[1] = {0};
  TReadOnlyMemoryStream readOnly(nothing, 1);
  EXPECT_EQ(ErrorText<EJPEGException>([&] {
              TBmpStreamWriter w(readOnly, Info(1, 1));
              w.FinishOutput();
            }),
            "Output file write error --- out of disk space?");
}
