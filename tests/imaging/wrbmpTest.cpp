#include "imaging/JpgImg.h"
#include "imaging/wrbmp.h"
#include "platform/Streams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::uint32_t Long(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EJPEGException& e) {
    return e.Message();
  }
  return "(no exception)";
}

TBmpOutputInfo Rgb(int width, int height) {
  TBmpOutputInfo info;
  info.width = width;
  info.height = height;
  info.components = 3;
  info.colorSpace = TBmpOutputInfo::TColorSpace::RGB;
  return info;
}

}  // namespace

TEST(BmpStreamWriterLayout, Rgb24IsBottomUpBgrWithPaddedRows) {
  TMemoryStream out;
  out.WriteBuffer("previous longer content that must vanish.......................................", 80);
  TBmpOutputInfo info = Rgb(3, 2);
  info.densityUnit = 2;
  info.xDensity = 28;
  info.yDensity = 30;
  TBmpStreamWriter writer(out, info);
  const std::uint8_t top[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  const std::uint8_t bottom[9] = {11, 12, 13, 14, 15, 16, 17, 18, 19};
  const std::uint8_t* rows[2] = {top, bottom};
  writer.PutPixelRows(rows, 2);
  writer.FinishOutput();

  const auto& b = out.Bytes();
  ASSERT_EQ(b.size(), 54u + 2 * 12);  // rows of 9 bytes padded to 12
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(Long(b, 2), 78u);   // file size
  EXPECT_EQ(Long(b, 6), 0u);    // reserved
  EXPECT_EQ(Long(b, 10), 54u);  // data offset
  EXPECT_EQ(Long(b, 14), 40u);
  EXPECT_EQ(Long(b, 18), 3u);
  EXPECT_EQ(Long(b, 22), 2u);
  EXPECT_EQ(b[26] | (b[27] << 8), 1);   // planes
  EXPECT_EQ(b[28] | (b[29] << 8), 24);  // bits
  EXPECT_EQ(Long(b, 30), 0u);
  EXPECT_EQ(Long(b, 34), 0u);
  EXPECT_EQ(Long(b, 38), 2800u);  // density * 100 for dots per centimetre
  EXPECT_EQ(Long(b, 42), 3000u);
  EXPECT_EQ(Long(b, 46), 0u);  // no palette for 24 bits
  const std::vector<std::uint8_t> firstStored(b.begin() + 54, b.begin() + 66);
  EXPECT_EQ(firstStored, (std::vector<std::uint8_t>{13, 12, 11, 16, 15, 14, 19, 18, 17, 0, 0, 0}));
  EXPECT_EQ(b[66], 3);  // then the top row, blue first
  EXPECT_EQ(b[68], 1);
}

TEST(BmpStreamWriterLayout, GrayscaleHasA256StepRamp) {
  TMemoryStream out;
  TBmpOutputInfo info;
  info.width = 2;
  info.height = 1;
  info.components = 1;
  info.colorSpace = TBmpOutputInfo::TColorSpace::Grayscale;
  TBmpStreamWriter writer(out, info);
  const std::uint8_t row[2] = {0, 200};
  const std::uint8_t* rows[1] = {row};
  writer.PutPixelRows(rows, 1);
  writer.FinishOutput();
  const auto& b = out.Bytes();
  ASSERT_EQ(b.size(), 54u + 1024 + 4);
  EXPECT_EQ(Long(b, 10), 54u + 1024);
  EXPECT_EQ(b[28], 8);
  EXPECT_EQ(Long(b, 46), 256u);  // colours used
  EXPECT_EQ(Long(b, 38), 0u);    // no density unit: resolutions 0
  for (int i = 0; i < 256; i += 51) {
    EXPECT_EQ(b[54 + 4 * i], i);
    EXPECT_EQ(b[54 + 4 * i + 1], i);
    EXPECT_EQ(b[54 + 4 * i + 2], i);
    EXPECT_EQ(b[54 + 4 * i + 3], 0);
  }
  EXPECT_EQ(b[54 + 1024 + 1], 200);
}

TEST(BmpStreamWriterLayout, ColourMapEntriesBeyondTheMapAreZero) {
  TMemoryStream out;
  TBmpOutputInfo info;
  info.width = 1;
  info.height = 1;
  info.components = 1;
  info.colorMapped = true;
  info.colorMap = {{255, 0, 0}, {0, 0, 255}};
  TBmpStreamWriter writer(out, info);
  const std::uint8_t row[1] = {1};
  const std::uint8_t* rows[1] = {row};
  writer.PutPixelRows(rows, 1);
  writer.FinishOutput();
  const auto& b = out.Bytes();
  EXPECT_EQ(Long(b, 46), 256u);
  EXPECT_EQ(Long(b, 54), 0x00FF0000u);  // red as blue, green, red, 0
  EXPECT_EQ(Long(b, 58), 0x000000FFu);
  EXPECT_EQ(Long(b, 62), 0u);
}

TEST(BmpStreamWriterErrors, TextsOfTheBridge) {
  TMemoryStream out;
  TBmpOutputInfo cmyk = Rgb(1, 1);
  cmyk.colorSpace = TBmpOutputInfo::TColorSpace::Other;
  EXPECT_EQ(MessageOf([&] { TBmpStreamWriter w(out, cmyk); }), "BMP output must be grayscale or RGB");

  TBmpOutputInfo big;
  big.width = 1;
  big.height = 1;
  big.components = 1;
  big.colorMapped = true;
  big.colorMap.resize(300);
  EXPECT_EQ(MessageOf([&] { TBmpStreamWriter w(out, big); }), "Output file format cannot handle 300 colormap entries");

  TBmpOutputInfo huge = Rgb(70000, 70000);
  EXPECT_EQ(MessageOf([&] { TBmpStreamWriter w(out, huge); }), SJpegImageTooLarge);

  std::uint8_t nothing[1] = {0};
  TReadOnlyMemoryStream readOnly(nothing, 1);
  EXPECT_EQ(MessageOf([&] {
              TBmpStreamWriter w(readOnly, Rgb(1, 1));
              w.FinishOutput();
            }),
            "Output file write error --- out of disk space?");
}
