#include "imaging/JpgImg.h"
#include "imaging/rdbmp.h"
#include "platform/Streams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutWord(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutLong(Bytes& b, std::uint32_t v) {
  PutWord(b, v & 0xFFFF);
  PutWord(b, v >> 16);
}

struct BmpLayout {
  std::uint32_t headerSize = 40;
  std::int32_t width = 2;
  std::int32_t height = 2;
  std::uint32_t planes = 1;
  std::uint32_t bits = 24;
  std::uint32_t compression = 0;
  std::int32_t xRes = 0;
  std::int32_t yRes = 0;
  std::uint32_t colorsUsed = 0;
  std::int32_t offsetAdjust = 0;
};

// A BMP written byte by byte; 8-bit images get a grey palette of colorsUsed
// entries (256 when 0), pixels are (x + 10 * y) in every channel.
Bytes MakeBmp(const BmpLayout& s) {
  Bytes info;
  PutLong(info, s.headerSize);
  std::uint32_t entries = 0;
  int entrySize = 4;
  if (s.headerSize == 12) {
    PutWord(info, static_cast<std::uint32_t>(s.width));
    PutWord(info, static_cast<std::uint32_t>(s.height));
    PutWord(info, s.planes);
    PutWord(info, s.bits);
    entrySize = 3;
    if (s.bits == 8) entries = 256;
  } else {
    PutLong(info, static_cast<std::uint32_t>(s.width));
    PutLong(info, static_cast<std::uint32_t>(s.height));
    PutWord(info, s.planes);
    PutWord(info, s.bits);
    PutLong(info, s.compression);
    PutLong(info, 0);
    PutLong(info, static_cast<std::uint32_t>(s.xRes));
    PutLong(info, static_cast<std::uint32_t>(s.yRes));
    PutLong(info, s.colorsUsed);
    PutLong(info, 0);
    while (info.size() < s.headerSize) info.push_back(0);
    if (s.bits == 8) entries = s.colorsUsed == 0 ? 256 : std::min<std::uint32_t>(s.colorsUsed, 256);
  }
  Bytes palette;
  for (std::uint32_t i = 0; i < entries; ++i) {
    for (int k = 0; k < 3; ++k) palette.push_back(static_cast<std::uint8_t>(255 - i));
    if (entrySize == 4) palette.push_back(0);
  }
  Bytes pixels;
  const int bytesPerPixel = static_cast<int>(s.bits) / 8;
  for (int y = s.height - 1; y >= 0; --y) {
    std::size_t rowStart = pixels.size();
    for (int x = 0; x < s.width; ++x)
      for (int k = 0; k < bytesPerPixel; ++k)
        pixels.push_back(static_cast<std::uint8_t>(x + 10 * y + (bytesPerPixel == 3 ? k : 0)));
    while ((pixels.size() - rowStart) % 4 != 0) pixels.push_back(0);
  }
  const std::uint32_t offset = static_cast<std::uint32_t>(14 + info.size() + palette.size() + s.offsetAdjust);
  Bytes file{'B', 'M'};
  PutLong(file, static_cast<std::uint32_t>(offset + pixels.size()));
  PutLong(file, 0);
  PutLong(file, offset);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), palette.begin(), palette.end());
  if (s.offsetAdjust > 0) file.insert(file.end(), static_cast<std::size_t>(s.offsetAdjust), 0xEE);
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

std::string ReadMessage(const Bytes& file) {
  TReadOnlyMemoryStream stream(file.data(), static_cast<std::int64_t>(file.size()));
  try {
    TBmpStreamReader reader(stream);
  } catch (const EJPEGException& e) {
    return e.Message();
  }
  return "(no exception)";
}

}  // namespace

TEST(BmpStreamReaderRows, TwentyFourBitRowsComeTopFirstAsRgb) {
  BmpLayout layout;
  layout.width = 3;
  layout.height = 2;
  const Bytes file = MakeBmp(layout);
  TReadOnlyMemoryStream stream(file.data(), static_cast<std::int64_t>(file.size()));
  TBmpStreamReader reader(stream);
  EXPECT_EQ(reader.Width(), 3);
  EXPECT_EQ(reader.Height(), 2);
  std::uint8_t rgb[9];
  ASSERT_TRUE(reader.GetPixelRow(rgb));
  // Top row y = 0, pixel x = 1 stored as blue 1, green 2, red 3.
  EXPECT_EQ(rgb[3], 3);
  EXPECT_EQ(rgb[4], 2);
  EXPECT_EQ(rgb[5], 1);
  ASSERT_TRUE(reader.GetPixelRow(rgb));
  EXPECT_EQ(rgb[2], 10);  // y = 1, x = 0, blue channel last
  EXPECT_FALSE(reader.GetPixelRow(rgb));
}

TEST(BmpStreamReaderRows, EightBitIndicesGoThroughThePalette) {
  BmpLayout layout;
  layout.bits = 8;
  layout.width = 2;
  layout.height = 1;
  layout.offsetAdjust = 6;  // bytes up to the data offset are skipped
  const Bytes file = MakeBmp(layout);
  TReadOnlyMemoryStream stream(file.data(), static_cast<std::int64_t>(file.size()));
  TBmpStreamReader reader(stream);
  std::uint8_t rgb[6];
  ASSERT_TRUE(reader.GetPixelRow(rgb));
  EXPECT_EQ(rgb[0], 255);  // index 0
  EXPECT_EQ(rgb[3], 254);  // index 1
}

TEST(BmpStreamReaderRows, Os2HeadersHaveThreeByteEntries) {
  BmpLayout layout;
  layout.headerSize = 12;
  layout.bits = 8;
  layout.width = 2;
  layout.height = 1;
  const Bytes file = MakeBmp(layout);
  TReadOnlyMemoryStream stream(file.data(), static_cast<std::int64_t>(file.size()));
  TBmpStreamReader reader(stream);
  std::uint8_t rgb[6];
  ASSERT_TRUE(reader.GetPixelRow(rgb));
  EXPECT_EQ(rgb[4], 254);
}

TEST(BmpStreamReaderRows, ResolutionsBecomeDotsPerCentimetre) {
  BmpLayout layout;
  layout.headerSize = 64;
  layout.xRes = 2835;
  layout.yRes = 3000;
  const Bytes file = MakeBmp(layout);
  TReadOnlyMemoryStream stream(file.data(), static_cast<std::int64_t>(file.size()));
  TBmpStreamReader reader(stream);
  EXPECT_EQ(reader.DensityUnit(), 2);
  EXPECT_EQ(reader.XDensity(), 28);
  EXPECT_EQ(reader.YDensity(), 30);
  layout.yRes = 0;
  const Bytes oneZero = MakeBmp(layout);
  TReadOnlyMemoryStream stream2(oneZero.data(), static_cast<std::int64_t>(oneZero.size()));
  EXPECT_EQ(TBmpStreamReader(stream2).DensityUnit(), 0);
}

TEST(BmpStreamReaderErrors, TextsOfTheBridge) {
  Bytes notBmp = MakeBmp({});
  notBmp[0] = 'X';
  EXPECT_EQ(ReadMessage(notBmp), "Not a BMP file - does not start with BM");

  BmpLayout badHeader;
  badHeader.headerSize = 52;
  EXPECT_EQ(ReadMessage(MakeBmp(badHeader)), "Invalid BMP file: bad header length");

  BmpLayout compressed;
  compressed.compression = 1;
  EXPECT_EQ(ReadMessage(MakeBmp(compressed)), "Sorry, compressed BMPs not yet supported");

  BmpLayout sixteen;
  sixteen.bits = 16;
  EXPECT_EQ(ReadMessage(MakeBmp(sixteen)), "Only 8- and 24-bit BMP files are supported");

  BmpLayout planes;
  planes.planes = 2;
  EXPECT_EQ(ReadMessage(MakeBmp(planes)), "Invalid BMP file: biPlanes not equal to 1");

  BmpLayout colormap;
  colormap.bits = 8;
  colormap.colorsUsed = 300;
  EXPECT_EQ(ReadMessage(MakeBmp(colormap)), "Unsupported BMP colormap format");

  BmpLayout offsetInsidePalette;
  offsetInsidePalette.bits = 8;
  offsetInsidePalette.offsetAdjust = -4;
  EXPECT_EQ(ReadMessage(MakeBmp(offsetInsidePalette)), "Invalid BMP file: bad header length");

  BmpLayout empty;
  empty.height = 0;
  EXPECT_EQ(ReadMessage(MakeBmp(empty)), "Empty BMP image");
  BmpLayout topDown;
  topDown.height = -2;
  EXPECT_EQ(ReadMessage(MakeBmp(topDown)), "Empty BMP image");
}

TEST(BmpStreamReaderErrors, TruncatedAnywhereIsPrematureEnd) {
  BmpLayout layout;
  layout.bits = 8;
  layout.width = 5;
  layout.height = 3;
  const Bytes file = MakeBmp(layout);
  for (std::size_t cut = 0; cut < file.size(); cut += 7) {
    const Bytes part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
    const std::string message = ReadMessage(part);
    EXPECT_EQ(message, "Premature end of input file") << cut;
  }
}

TEST(BmpStreamReaderErrors, HugeStatedSizesAreRefusedBeforeAllocating) {
  BmpLayout layout;
  layout.width = 60000;
  layout.height = 60000;
  Bytes file = MakeBmp({});  // small file whose header claims a huge image
  for (int i = 0; i < 4; ++i) {
    file[18 + i] = static_cast<std::uint8_t>(layout.width >> (8 * i));
    file[22 + i] = static_cast<std::uint8_t>(layout.height >> (8 * i));
  }
  EXPECT_EQ(ReadMessage(file), SJpegImageTooLarge);
  for (int i = 0; i < 4; ++i) file[22 + i] = static_cast<std::uint8_t>(100 >> (8 * i));
  EXPECT_EQ(ReadMessage(file), "Premature end of input file");
}
