#include "imaging/JpgImg.h"
#include "imaging/rdbmp.h"
#include "platform/Streams.h"
#include "tests/support/BmpTestFiles.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TestBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

// The file with its table and pixels filled in: 8-bit files get a grey table of
// colorsUsed entries (256 when 0; three bytes each in an OS/2 file), and pixel
// (x, y) is x + 10 * y in every channel, plus the channel number in 24-bit files.
std::string MakeBmp(BmpTestFile f) {
  if (f.bits == 8) {
    const std::uint32_t entries = f.headerSize == 12 || f.colorsUsed == 0 ? 256 : std::min<std::uint32_t>(f.colorsUsed, 256);
    for (std::uint32_t i = 0; i < entries; ++i) {
      f.table += std::string(3, static_cast<char>(255 - i));
      if (f.headerSize != 12) f.table += '\0';
    }
  }
  const int bytesPerPixel = static_cast<int>(f.bits) / 8;
  for (int y = f.height - 1; y >= 0; --y) {
    const std::size_t rowStart = f.pixels.size();
    for (int x = 0; x < f.width; ++x)
      for (int k = 0; k < bytesPerPixel; ++k) f.pixels += static_cast<char>(x + 10 * y + (bytesPerPixel == 3 ? k : 0));
    while ((f.pixels.size() - rowStart) % 4 != 0) f.pixels += '\0';
  }
  return f.Build();
}

// A reader over its own copy of the file bytes.
struct Reader {
  explicit Reader(std::string bytes)
      : file(std::move(bytes)), stream(file.data(), static_cast<std::int64_t>(file.size())), reader(stream) {}
  std::string file;
  TReadOnlyMemoryStream stream;
  TBmpStreamReader reader;
};

std::string ReadMessage(const std::string& file) {
  return ErrorText<EJPEGException>([&] { Reader r(file); });
}

}  // namespace

TEST(BmpStreamReaderRows, TwentyFourBitRowsComeTopFirstAsRgb) {
  Reader r(MakeBmp({.width = 3}));
  EXPECT_EQ(std::pair(r.reader.Width(), r.reader.Height()), std::pair(3, 2));
  std::vector<std::uint8_t> rgb(9);
  // Pixel (x, y) is stored as blue x + 10y, green x + 10y + 1, red x + 10y + 2.
  ASSERT_TRUE(r.reader.GetPixelRow(rgb.data()));
  EXPECT_EQ(rgb, (std::vector<std::uint8_t>{2, 1, 0, 3, 2, 1, 4, 3, 2}));
  ASSERT_TRUE(r.reader.GetPixelRow(rgb.data()));
  EXPECT_EQ(rgb, (std::vector<std::uint8_t>{12, 11, 10, 13, 12, 11, 14, 13, 12}));
  EXPECT_FALSE(r.reader.GetPixelRow(rgb.data()));
}

TEST(BmpStreamReaderRows, EightBitIndicesGoThroughThePalette) {
  std::uint8_t rgb[6];
  // Bytes up to the data offset are skipped.
  Reader r(MakeBmp({.height = 1, .bits = 8, .gap = std::string(6, '\xEE')}));
  ASSERT_TRUE(r.reader.GetPixelRow(rgb));
  EXPECT_EQ(rgb[0], 255);  // index 0
  EXPECT_EQ(rgb[3], 254);  // index 1
  // OS/2 headers have three-byte entries.
  Reader os2(MakeBmp({.headerSize = 12, .height = 1, .bits = 8}));
  ASSERT_TRUE(os2.reader.GetPixelRow(rgb));
  EXPECT_EQ(rgb[4], 254);
}

TEST(BmpStreamReaderRows, ResolutionsBecomeDotsPerCentimetre) {
  Reader r(MakeBmp({.headerSize = 64, .xRes = 2835, .yRes = 3000}));
  EXPECT_EQ(std::tuple(r.reader.DensityUnit(), r.reader.XDensity(), r.reader.YDensity()), std::tuple(2, 28, 30));
  EXPECT_EQ(Reader(MakeBmp({.headerSize = 64, .xRes = 2835})).reader.DensityUnit(), 0);
}

TEST(BmpStreamReaderErrors, TextsOfTheBridge) {
  std::string notBmp = MakeBmp({});
  notBmp[0] = 'X';
  EXPECT_EQ(ReadMessage(notBmp), "Not a BMP file - does not start with BM");
  EXPECT_EQ(ReadMessage(MakeBmp({.headerSize = 52})), "Invalid BMP file: bad header length");
  EXPECT_EQ(ReadMessage(MakeBmp({.compression = 1})), "Sorry, compressed BMPs not yet supported");
  EXPECT_EQ(ReadMessage(MakeBmp({.bits = 16})), "Only 8- and 24-bit BMP files are supported");
  EXPECT_EQ(ReadMessage(MakeBmp({.planes = 2})), "Invalid BMP file: biPlanes not equal to 1");
  EXPECT_EQ(ReadMessage(MakeBmp({.bits = 8, .colorsUsed = 300})), "Unsupported BMP colormap format");
  EXPECT_EQ(ReadMessage(MakeBmp({.bits = 8, .offsetShift = -4})), "Invalid BMP file: bad header length");  // inside the table
  EXPECT_EQ(ReadMessage(MakeBmp({.height = 0})), "Empty BMP image");
  EXPECT_EQ(ReadMessage(MakeBmp({.height = -2})), "Empty BMP image");
}

TEST(BmpStreamReaderErrors, TruncatedAnywhereIsPrematureEnd) {
  const std::string file = MakeBmp({.width = 5, .height = 3, .bits = 8});
  for (std::size_t cut = 0; cut < file.size(); cut += 7)
    EXPECT_EQ(ReadMessage(file.substr(0, cut)), "Premature end of input file") << cut;
}

TEST(BmpStreamReaderErrors, HugeStatedSizesAreRefusedBeforeAllocating) {
  std::string file = MakeBmp({});  // a small file whose header claims a huge image
  file.replace(18, 8, Le32(60000) + Le32(60000));
  EXPECT_EQ(ReadMessage(file), SJpegImageTooLarge);
  file.replace(22, 4, Le32(100));
  EXPECT_EQ(ReadMessage(file), "Premature end of input file");
}
