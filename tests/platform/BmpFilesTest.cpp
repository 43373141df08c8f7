#include "platform/BmpFiles.h"
#include "platform/Graphics.h"
#include "platform/Streams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void U16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void U32(Bytes& b, std::uint32_t v) {
  U16(b, v & 0xFFFF);
  U16(b, v >> 16);
}
void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

// The parts of a BMP file, assembled byte by byte.
struct BmpParts {
  std::uint32_t headerSize = 40;
  std::int32_t width = 0;
  std::int32_t height = 0;
  int bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;
  std::uint32_t colorsUsed = 0;
  std::vector<std::uint32_t> masks;  // in the header (size >= 52) or after a 40-byte one
  Bytes table;                       // colour table bytes as stored
  Bytes gap;                         // bytes between the table and the pixels
  Bytes pixels;
  bool offsetZero = false;

  Bytes Build() const {
    Bytes info;
    if (headerSize == 12) {
      U16(info, static_cast<std::uint32_t>(width));
      U16(info, static_cast<std::uint32_t>(height));
      U16(info, 1);
      U16(info, static_cast<std::uint32_t>(bits));
    } else {
      U32(info, static_cast<std::uint32_t>(width));
      U32(info, static_cast<std::uint32_t>(height));
      U16(info, 1);
      U16(info, static_cast<std::uint32_t>(bits));
      U32(info, compression);
      U32(info, imageSize);
      U32(info, 2835);
      U32(info, 2835);
      U32(info, colorsUsed);
      U32(info, 0);
      if (headerSize >= 52)
        for (std::uint32_t m : masks) U32(info, m);
      while (info.size() < headerSize - 4) info.push_back(0);
      if (headerSize == 40)
        for (std::uint32_t m : masks) U32(info, m);
    }
    const auto offset = static_cast<std::uint32_t>(14 + 4 + info.size() + table.size() + gap.size());
    Bytes file;
    U16(file, 0x4D42);
    U32(file, static_cast<std::uint32_t>(offset + pixels.size()));
    U32(file, 0);
    U32(file, offsetZero ? 0 : offset);
    U32(file, headerSize);
    Append(file, info);
    Append(file, table);
    Append(file, gap);
    Append(file, pixels);
    return file;
  }
};

Bytes Quads(std::initializer_list<TColor> colors) {
  Bytes b;
  for (TColor c : colors) {
    b.push_back(GetBValue(c));
    b.push_back(GetGValue(c));
    b.push_back(GetRValue(c));
    b.push_back(0);
  }
  return b;
}

void Load(TBitmap& bitmap, const Bytes& file) {
  TReadOnlyMemoryStream stream(file.data(), static_cast<std::int64_t>(file.size()));
  bitmap.LoadFromStream(stream);
}

std::string LoadError(const Bytes& file) {
  TBitmap bitmap;
  try {
    Load(bitmap, file);
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  }
  return "(loaded)";
}

}  // namespace

TEST(BmpReadVariants, OneBitBottomUp) {
  BmpParts p;
  p.width = 10;
  p.height = 2;
  p.bits = 1;
  p.colorsUsed = 2;
  p.table = Quads({clNavy, clYellow});
  p.pixels = {0x80, 0x40, 0, 0,   // bottom row: pixels 0 and 9
              0x01, 0x00, 0, 0};  // top row: pixel 7
  TBitmap b;
  Load(b, p.Build());
  ASSERT_EQ(b.PixelFormat(), pf1bit);
  EXPECT_EQ(b.Width(), 10);
  EXPECT_EQ(b.Pixel(7, 0), clYellow);
  EXPECT_EQ(b.Pixel(0, 0), clNavy);
  EXPECT_EQ(b.Pixel(0, 1), clYellow);
  EXPECT_EQ(b.Pixel(9, 1), clYellow);
  EXPECT_EQ(b.Pixel(8, 1), clNavy);
  EXPECT_EQ(b.Palette().Count(), 2);
  EXPECT_FALSE(b.Modified());
}

TEST(BmpReadVariants, FourBitWithAShortColourTable) {
  BmpParts p;
  p.width = 3;
  p.height = 1;
  p.bits = 4;
  p.colorsUsed = 3;
  p.table = Quads({clBlack, clRed, clLime});
  p.pixels = {0x21, 0x00, 0, 0};
  TBitmap b;
  Load(b, p.Build());
  ASSERT_EQ(b.PixelFormat(), pf4bit);
  EXPECT_EQ(b.Pixel(0, 0), clLime);
  EXPECT_EQ(b.Pixel(1, 0), clRed);
  EXPECT_EQ(b.Pixel(2, 0), clBlack);
  EXPECT_EQ(b.Palette().Count(), 3);
}

TEST(BmpReadVariants, EightBitTopDown) {
  BmpParts p;
  p.width = 2;
  p.height = -2;
  p.bits = 8;
  p.colorsUsed = 2;
  p.table = Quads({clBlack, clWhite});
  p.pixels = {1, 0, 0, 0,   // top row
              0, 1, 0, 0};  // bottom row
  TBitmap b;
  Load(b, p.Build());
  ASSERT_EQ(b.Height(), 2);
  EXPECT_EQ(b.Pixel(0, 0), clWhite);
  EXPECT_EQ(b.Pixel(1, 1), clWhite);
  EXPECT_EQ(b.Pixel(0, 1), clBlack);
}

TEST(BmpReadVariants, SixteenBitFiveFiveFiveByDefault) {
  BmpParts p;
  p.width = 3;
  p.height = 1;
  p.bits = 16;
  p.pixels = {0x00, 0x7C, 0x1F, 0x00, 0x00, 0x02, 0, 0};  // red, blue, green 16 of 31
  TBitmap b;
  Load(b, p.Build());
  ASSERT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_EQ(b.Pixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(b.Pixel(1, 0), RGB(0, 0, 255));
  EXPECT_EQ(b.Pixel(2, 0), RGB(0, 132, 0));
}

TEST(BmpReadVariants, SixteenBitFieldsAfterAFortyByteHeader) {
  BmpParts p;
  p.width = 2;
  p.height = 1;
  p.bits = 16;
  p.compression = 3;
  p.masks = {0xF800, 0x07E0, 0x001F};
  p.pixels = {0xE0, 0x07, 0x1F, 0xF8};  // pure green (6 bits); white
  TBitmap b;
  Load(b, p.Build());
  EXPECT_EQ(b.Pixel(0, 0), RGB(0, 255, 0));
  EXPECT_EQ(b.Pixel(1, 0), RGB(255, 0, 255));
}

TEST(BmpReadVariants, TwentyFourBitsWithPaddedRows) {
  BmpParts p;
  p.width = 1;
  p.height = 2;
  p.pixels = {1, 2, 3, 0,   // bottom
              4, 5, 6, 0};  // top
  TBitmap b;
  Load(b, p.Build());
  EXPECT_EQ(b.Pixel(0, 0), RGB(6, 5, 4));
  EXPECT_EQ(b.Pixel(0, 1), RGB(3, 2, 1));
}

TEST(BmpReadVariants, ThirtyTwoBitsPlainAndWithFieldsInAVersionFourHeader) {
  BmpParts p;
  p.width = 1;
  p.height = 1;
  p.bits = 32;
  p.pixels = {1, 2, 3, 0xFF};
  TBitmap b;
  Load(b, p.Build());
  ASSERT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(b.Pixel(0, 0), RGB(3, 2, 1));

  p.headerSize = 108;
  p.compression = 3;
  p.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // red in the first byte
  p.pixels = {10, 20, 30, 0xFF};
  Load(b, p.Build());
  EXPECT_EQ(b.Pixel(0, 0), RGB(10, 20, 30));
}

TEST(BmpReadVariants, VersionFiveHeaderAndAGapBeforeThePixels) {
  BmpParts p;
  p.headerSize = 124;
  p.width = 1;
  p.height = 1;
  p.gap = {0xEE, 0xEE, 0xEE};
  p.pixels = {1, 2, 3, 0};
  TBitmap b;
  Load(b, p.Build());
  EXPECT_EQ(b.Pixel(0, 0), RGB(3, 2, 1));
}

TEST(BmpReadVariants, OptionalTableOfATrueColourImageWithoutAnOffset) {
  BmpParts p;
  p.width = 1;
  p.height = 1;
  p.colorsUsed = 1;
  p.table = Quads({clRed});
  p.pixels = {1, 2, 3, 0};
  p.offsetZero = true;
  TBitmap b;
  Load(b, p.Build());
  EXPECT_EQ(b.Pixel(0, 0), RGB(3, 2, 1));
}

TEST(BmpReadVariants, OsTwoHeaderWithThreeByteEntries) {
  BmpParts p;
  p.headerSize = 12;
  p.width = 2;
  p.height = 1;
  p.bits = 8;
  p.table = {0, 0, 255, 255, 0, 0};  // red, blue; the offset says there are only two
  p.pixels = {1, 0, 0, 0};
  TBitmap b;
  Load(b, p.Build());
  EXPECT_EQ(b.Pixel(0, 0), clBlue);
  EXPECT_EQ(b.Pixel(1, 0), clRed);
  EXPECT_EQ(b.Palette().Count(), 2);

  p.bits = 24;
  p.table.clear();
  p.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
  Load(b, p.Build());
  EXPECT_EQ(b.Pixel(1, 0), RGB(6, 5, 4));
}

TEST(BmpReadVariants, RunLengthEightBits) {
  BmpParts p;
  p.width = 6;
  p.height = 3;
  p.bits = 8;
  p.compression = 1;
  p.colorsUsed = 4;
  p.table = Quads({clBlack, clRed, clLime, clBlue});
  p.pixels = {
      3, 1,           // bottom row: three red
      0, 3, 2, 3, 1,  // absolute: lime, blue, red (+ pad byte)
      0,              // pad
      0, 0,           // end of line
      0, 2, 2, 0,     // delta: two right, same row
      2, 3,           // two blue at x 2, 3
      0, 0,           // end of line
      6, 2,           // top row: six lime
      0, 1,           // end of bitmap
  };
  TBitmap b;
  Load(b, p.Build());
  ASSERT_EQ(b.PixelFormat(), pf8bit);
  const TColor bottom[6] = {clRed, clRed, clRed, clLime, clBlue, clRed};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(b.Pixel(x, 2), bottom[x]) << x;
  const TColor middle[6] = {clBlack, clBlack, clBlue, clBlue, clBlack, clBlack};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(b.Pixel(x, 1), middle[x]) << x;
  for (int x = 0; x < 6; ++x) EXPECT_EQ(b.Pixel(x, 0), clLime) << x;
}

TEST(BmpReadVariants, RunLengthFourBits) {
  BmpParts p;
  p.width = 5;
  p.height = 1;
  p.bits = 4;
  p.compression = 2;
  p.colorsUsed = 3;
  p.table = Quads({clBlack, clRed, clLime});
  // A run of three alternating red and lime, then an absolute run of three
  // (two bytes, padded to four), then the end of the bitmap.
  p.width = 6;
  p.pixels = {3, 0x12, 0, 3, 0x21, 0x20, 0, 1};
  TBitmap b;
  Load(b, p.Build());
  ASSERT_EQ(b.PixelFormat(), pf4bit);
  const TColor row[6] = {clRed, clLime, clRed, clLime, clRed, clLime};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(b.Pixel(x, 0), row[x]) << x;
}

TEST(BmpReadVariants, LeavesTheStreamAfterThePixels) {
  BmpParts p;
  p.width = 1;
  p.height = 1;
  p.pixels = {1, 2, 3, 0};
  Bytes file = p.Build();
  file.push_back(0x5A);
  TReadOnlyMemoryStream stream(file.data(), static_cast<std::int64_t>(file.size()));
  TBitmap b;
  b.LoadFromStream(stream);
  EXPECT_EQ(stream.ReadByte(), 0x5A);
}

TEST(BmpHostileHeaders, RefusedWithAClearText) {
  BmpParts good;
  good.width = 2;
  good.height = 2;
  good.bits = 8;
  good.colorsUsed = 2;
  good.table = Quads({clBlack, clWhite});
  good.pixels = Bytes(8, 0);
  ASSERT_EQ(LoadError(good.Build()), "(loaded)");

  auto with = [&](auto change) {
    BmpParts p = good;
    change(p);
    return LoadError(p.Build());
  };
  EXPECT_EQ(with([](BmpParts& p) { p.width = -1; }), "Invalid bitmap: bad dimensions");
  EXPECT_EQ(with([](BmpParts& p) { p.width = 0x7FFFFFFF; }), "Invalid bitmap: bad dimensions");
  EXPECT_EQ(with([](BmpParts& p) { p.height = INT32_MIN; }), "Invalid bitmap: bad dimensions");
  EXPECT_EQ(with([](BmpParts& p) { p.width = 60000; p.height = 60000; }), "Invalid bitmap: bad dimensions");
  EXPECT_EQ(with([](BmpParts& p) { p.width = 1000; }), "Invalid bitmap: pixel data past the end");
  EXPECT_EQ(with([](BmpParts& p) { p.bits = 2; }), "Invalid bitmap: unsupported bit count");
  EXPECT_EQ(with([](BmpParts& p) { p.compression = 4; }), "Invalid bitmap: unsupported compression");
  EXPECT_EQ(with([](BmpParts& p) { p.compression = 2; }), "Invalid bitmap: run-length compression needs 4 bits per pixel");
  EXPECT_EQ(with([](BmpParts& p) { p.compression = 3; }), "Invalid bitmap: bit fields need 16 or 32 bits per pixel");
  EXPECT_EQ(with([](BmpParts& p) { p.headerSize = 20; }), "Invalid bitmap: unsupported header");
  Bytes hugeHeader = good.Build();
  hugeHeader[17] = 0xFF;  // header size 0xFF000028
  EXPECT_EQ(LoadError(hugeHeader), "Invalid bitmap: header past the end of the file");
  EXPECT_EQ(with([](BmpParts& p) { p.pixels[1] = 2; }), "Invalid bitmap: colour index beyond the palette");
  EXPECT_EQ(with([](BmpParts& p) { p.colorsUsed = 0; p.offsetZero = true; p.pixels.clear(); }),
            "Invalid bitmap: colour table past the end");
  EXPECT_EQ(with([](BmpParts& p) { p.table.clear(); }), "Invalid bitmap: colour table missing");
}

TEST(BmpHostileHeaders, OffsetsOutsideTheFile) {
  BmpParts p;
  p.width = 1;
  p.height = 1;
  p.pixels = {1, 2, 3, 0};
  Bytes file = p.Build();
  file[10] = 20;  // pixel offset inside the header
  EXPECT_EQ(LoadError(file), "Invalid bitmap: pixel data inside the header");
  file[10] = 0;
  file[12] = 1;  // 65536: past the end
  EXPECT_EQ(LoadError(file), "Invalid bitmap: pixel data past the end");
}

TEST(BmpHostileHeaders, RunLengthRunsPastTheRowOrImage) {
  BmpParts p;
  p.width = 4;
  p.height = 2;
  p.bits = 8;
  p.compression = 1;
  p.colorsUsed = 2;
  p.table = Quads({clBlack, clWhite});
  auto error = [&](Bytes data) {
    p.pixels = data;
    return LoadError(p.Build());
  };
  EXPECT_EQ(error({5, 1}), "Invalid bitmap: run-length run past the end of the row");
  EXPECT_EQ(error({2, 1, 3, 1}), "Invalid bitmap: run-length run past the end of the row");
  EXPECT_EQ(error({0, 5, 1, 1, 1, 1, 1, 0}), "Invalid bitmap: run-length run past the end of the row");
  EXPECT_EQ(error({0, 2, 5, 0}), "Invalid bitmap: run-length delta past the image");
  EXPECT_EQ(error({0, 2, 0, 3}), "Invalid bitmap: run-length delta past the image");
  EXPECT_EQ(error({0, 0, 0, 0, 1, 1}), "Invalid bitmap: run-length data past the last row");
  EXPECT_EQ(error({1, 7}), "Invalid bitmap: colour index beyond the palette");
  EXPECT_EQ(error({0, 3, 1, 1}), "Invalid bitmap: run-length data past the end");
  EXPECT_EQ(error({2, 1, 0}), "Invalid bitmap: run-length data past the end");
  EXPECT_EQ(error({2, 1}), "(loaded)");  // data that stops ends the image
  p.height = -2;
  EXPECT_EQ(error({0, 1}), "Invalid bitmap: top-down run-length image");
  p.height = 60000;
  p.width = 60000;
  EXPECT_EQ(error({0, 1}), "Invalid bitmap: bad dimensions");
}

TEST(BmpHostileHeaders, TruncatedAnywhereIsRefusedAndLeavesTheTarget) {
  for (int bits : {1, 8, 16, 24}) {
    BmpParts p;
    p.width = 3;
    p.height = 2;
    p.bits = bits;
    if (bits <= 8) {
      p.colorsUsed = 2;
      p.table = Quads({clBlack, clWhite});
    }
    p.pixels = Bytes(static_cast<std::size_t>(BytesPerScanline(3, bits) * 2), 0);
    const Bytes file = p.Build();
    for (std::size_t cut = 0; cut < file.size(); ++cut) {
      TBitmap b;
      b.SetSize(5, 5);
      b.SetPixel(1, 1, clRed);
      TReadOnlyMemoryStream stream(file.data(), static_cast<std::int64_t>(cut));
      EXPECT_THROW(b.LoadFromStream(stream), EInvalidGraphic) << bits << " " << cut;
      EXPECT_EQ(b.Width(), 5);
      EXPECT_EQ(b.Pixel(1, 1), clRed);
    }
  }
}

TEST(BmpWrite, HeadersAndRowsByteForByte) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(1, 2);
  b.SetPixel(0, 0, RGB(1, 2, 3));
  b.SetPixel(0, 1, RGB(4, 5, 6));
  TMemoryStream stream;
  b.SaveToStream(stream);
  BmpParts p;
  p.width = 1;
  p.height = 2;
  p.imageSize = 8;
  p.pixels = {6, 5, 4, 0, 3, 2, 1, 0};
  Bytes expected = p.Build();
  // Our writer leaves the resolutions 0.
  std::memset(expected.data() + 38, 0, 8);
  EXPECT_EQ(stream.Bytes(), expected);
}

TEST(BmpWrite, PaletteFormatsKeepTheirPaletteThroughARoundTrip) {
  for (TPixelFormat f : {pf1bit, pf4bit, pf8bit}) {
    TBitmap a;
    a.SetPixelFormat(f);
    a.SetPalette(TPalette({PaletteEntryOf(clRed), PaletteEntryOf(clBlue)}));
    a.SetSize(9, 3);
    a.SetPixel(8, 2, clBlue);
    TMemoryStream stream;
    a.SaveToStream(stream);
    EXPECT_EQ(stream.Size(), 54 + 8 + a.RowBytes() * 3);
    stream.SetPosition(0);
    TBitmap b;
    b.LoadFromStream(stream);
    EXPECT_EQ(b.PixelFormat(), f);
    EXPECT_EQ(b.Palette(), a.Palette());
    EXPECT_EQ(b.Pixel(8, 2), clBlue);
    EXPECT_EQ(b.Pixel(7, 2), clRed);
  }
}

TEST(BmpWrite, EmptyBitmapRoundTrips) {
  TBitmap a;
  TMemoryStream stream;
  a.SaveToStream(stream);
  EXPECT_EQ(stream.Size(), 54);
  stream.SetPosition(0);
  TBitmap b;
  b.SetSize(2, 2);
  b.LoadFromStream(stream);
  EXPECT_TRUE(b.Empty());
}
