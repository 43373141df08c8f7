#include "platform/BmpFiles.h"
#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "tests/support/BmpTestFiles.h"
#include "tests/support/ErrorText.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Colors = std::vector<TColor>;

void Load(TBitmap& bitmap, const std::string& file) {
  TReadOnlyMemoryStream stream(file.data(), static_cast<std::int64_t>(file.size()));
  bitmap.LoadFromStream(stream);
}

std::string LoadError(const std::string& file) {
  TBitmap bitmap;
  return ErrorText<EInvalidGraphic>([&] { Load(bitmap, file); });
}

Colors Row(const TBitmap& b, int y) {
  Colors row;
  for (int x = 0; x < b.Width(); ++x) row.push_back(b.Pixel(x, y));
  return row;
}

}  // namespace

TEST(BmpReadVariants, OneFourAndEightBitsWithShortTablesBottomUpOrTopDown) {
  const TColor N = clNavy, Y = clYellow;
  struct Case {
    BmpTestFile file;
    TPixelFormat format;
    std::vector<Colors> rows;
  } const cases[] = {
      // Bottom row: pixels 0 and 9; top row: pixel 7.
      {{.width = 10, .bits = 1, .colorsUsed = 2, .table = Quads({N, Y}), .pixels = {'\x80', '\x40', 0, 0, 1, 0, 0, 0}},
       pf1bit, {{N, N, N, N, N, N, N, Y, N, N}, {Y, N, N, N, N, N, N, N, N, Y}}},
      {{.width = 3, .height = 1, .bits = 4, .colorsUsed = 3, .table = Quads({clBlack, clRed, clLime}), .pixels = {'\x21', 0, 0, 0}},
       pf4bit, {{clLime, clRed, clBlack}}},
      // Top-down: the top row comes first.
      {{.height = -2, .bits = 8, .colorsUsed = 2, .table = Quads({clBlack, clWhite}), .pixels = {1, 0, 0, 0, 0, 1, 0, 0}},
       pf8bit, {{clWhite, clBlack}, {clBlack, clWhite}}},
  };
  for (const Case& c : cases) {
    TBitmap b;
    Load(b, c.file.Build());
    ASSERT_EQ(b.PixelFormat(), c.format);
    ASSERT_EQ(b.Height(), static_cast<int>(c.rows.size()));
    for (int y = 0; y < b.Height(); ++y) EXPECT_EQ(Row(b, y), c.rows[y]) << c.file.bits << " row " << y;
    EXPECT_EQ(b.Palette().Count(), static_cast<int>(c.file.colorsUsed));
    EXPECT_FALSE(b.Modified());
  }
}

TEST(BmpReadVariants, SixteenAndThirtyTwoBitsPlainAndWithBitFields) {
  struct Case {
    BmpTestFile file;
    Colors row;
    TPixelFormat format;
  } const cases[] = {
      // 5-5-5 by default: red, blue, green 16 of 31.
      {{.width = 3, .height = 1, .bits = 16, .pixels = {0, '\x7C', '\x1F', 0, 0, 2, 0, 0}},
       {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 132, 0)}, pf24bit},
      // Fields after a 40-byte header: pure green in 6 bits, then white.
      {{.height = 1, .bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}, .pixels = {'\xE0', 7, '\x1F', '\xF8'}},
       {RGB(0, 255, 0), RGB(255, 0, 255)}, pf24bit},
      {{.width = 1, .height = 1, .bits = 32, .pixels = {1, 2, 3, '\xFF'}}, {RGB(3, 2, 1)}, pf32bit},
      // Fields in a version 4 header: red in the first byte.
      {{.headerSize = 108, .width = 1, .height = 1, .bits = 32, .compression = 3,
        .masks = {0x000000FF, 0x0000FF00, 0x00FF0000}, .pixels = {10, 20, 30, '\xFF'}},
       {RGB(10, 20, 30)}, pf32bit},
  };
  for (const Case& c : cases) {
    TBitmap b;
    Load(b, c.file.Build());
    EXPECT_EQ(b.PixelFormat(), c.format);
    EXPECT_EQ(Row(b, 0), c.row) << c.file.bits;
  }
}

TEST(BmpReadVariants, TwentyFourBitHeadersTablesAndGaps) {
  const std::string pixels = {1, 2, 3, 0};
  const BmpTestFile files[] = {
      {.width = 1, .height = 1, .pixels = pixels},
      {.headerSize = 124, .width = 1, .height = 1, .gap = "\xEE\xEE\xEE", .pixels = pixels},  // version 5
      // An optional table of a true-colour image, and no pixel offset.
      {.width = 1, .height = 1, .colorsUsed = 1, .table = Quads({clRed}), .pixels = pixels, .offsetZero = true},
  };
  for (const BmpTestFile& f : files) {
    TBitmap b;
    Load(b, f.Build());
    EXPECT_EQ(b.Pixel(0, 0), RGB(3, 2, 1)) << f.headerSize;
  }
  TBitmap b;
  Load(b, BmpTestFile{.width = 1, .pixels = {1, 2, 3, 0, 4, 5, 6, 0}}.Build());  // rows padded to four bytes
  EXPECT_EQ(b.Pixel(0, 0), RGB(6, 5, 4));
  EXPECT_EQ(b.Pixel(0, 1), RGB(3, 2, 1));
}

TEST(BmpReadVariants, OsTwoHeaderWithThreeByteEntries) {
  BmpTestFile f{.headerSize = 12, .height = 1, .bits = 8,
                .table = {0, 0, '\xFF', '\xFF', 0, 0},  // red, blue; the offset says there are only two
                .pixels = {1, 0, 0, 0}};
  TBitmap b;
  Load(b, f.Build());
  EXPECT_EQ(Row(b, 0), (Colors{clBlue, clRed}));
  EXPECT_EQ(b.Palette().Count(), 2);

  f.bits = 24;
  f.table.clear();
  f.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
  Load(b, f.Build());
  EXPECT_EQ(b.Pixel(1, 0), RGB(6, 5, 4));
}

TEST(BmpReadVariants, RunLengthEightAndFourBits) {
  TBitmap b;
  Load(b, BmpTestFile{.width = 6, .height = 3, .bits = 8, .compression = 1, .colorsUsed = 4,
                      .table = Quads({clBlack, clRed, clLime, clBlue}),
                      .pixels = {
                          3, 1,              // bottom row: three red
                          0, 3, 2, 3, 1, 0,  // absolute: lime, blue, red, pad byte
                          0, 0,              // end of line
                          0, 2, 2, 0,        // delta: two right, same row
                          2, 3,              // two blue at x 2, 3
                          0, 0,              // end of line
                          6, 2,              // top row: six lime
                          0, 1,              // end of bitmap
                      }}
              .Build());
  ASSERT_EQ(b.PixelFormat(), pf8bit);
  const TColor K = clBlack, R = clRed, L = clLime, B = clBlue;
  EXPECT_EQ(Row(b, 2), (Colors{R, R, R, L, B, R}));
  EXPECT_EQ(Row(b, 1), (Colors{K, K, B, B, K, K}));
  EXPECT_EQ(Row(b, 0), (Colors{L, L, L, L, L, L}));

  // A run of three alternating red and lime, an absolute run of three (two bytes, padded), the end.
  Load(b, BmpTestFile{.width = 6, .height = 1, .bits = 4, .compression = 2, .colorsUsed = 3,
                      .table = Quads({clBlack, clRed, clLime}), .pixels = {3, '\x12', 0, 3, '\x21', '\x20', 0, 1}}
              .Build());
  ASSERT_EQ(b.PixelFormat(), pf4bit);
  EXPECT_EQ(Row(b, 0), (Colors{R, L, R, L, R, L}));
}

TEST(BmpReadVariants, LeavesTheStreamAfterThePixels) {
  const std::string file = BmpTestFile{.width = 1, .height = 1, .pixels = {1, 2, 3, 0}}.Build() + "\x5A";
  TReadOnlyMemoryStream stream(file.data(), static_cast<std::int64_t>(file.size()));
  TBitmap b;
  b.LoadFromStream(stream);
  EXPECT_EQ(stream.ReadByte(), 0x5A);
}

TEST(BmpHostileHeaders, RefusedWithAClearText) {
  const BmpTestFile good{.bits = 8, .colorsUsed = 2, .table = Quads({clBlack, clWhite}), .pixels = std::string(8, '\0')};
  ASSERT_EQ(LoadError(good.Build()), "(no exception)");
  auto with = [&](auto change) {
    BmpTestFile f = good;
    change(f);
    return LoadError(f.Build());
  };
  EXPECT_EQ(with([](BmpTestFile& f) { f.width = -1; }), "Invalid bitmap: bad dimensions");
  EXPECT_EQ(with([](BmpTestFile& f) { f.width = 0x7FFFFFFF; }), "Invalid bitmap: bad dimensions");
  EXPECT_EQ(with([](BmpTestFile& f) { f.height = INT32_MIN; }), "Invalid bitmap: bad dimensions");
  EXPECT_EQ(with([](BmpTestFile& f) { f.width = 60000; f.height = 60000; }), "Invalid bitmap: bad dimensions");
  EXPECT_EQ(with([](BmpTestFile& f) { f.width = 1000; }), "Invalid bitmap: pixel data past the end");
  EXPECT_EQ(with([](BmpTestFile& f) { f.bits = 2; }), "Invalid bitmap: unsupported bit count");
  EXPECT_EQ(with([](BmpTestFile& f) { f.compression = 4; }), "Invalid bitmap: unsupported compression");
  EXPECT_EQ(with([](BmpTestFile& f) { f.compression = 2; }), "Invalid bitmap: run-length compression needs 4 bits per pixel");
  EXPECT_EQ(with([](BmpTestFile& f) { f.compression = 3; }), "Invalid bitmap: bit fields need 16 or 32 bits per pixel");
  EXPECT_EQ(with([](BmpTestFile& f) { f.headerSize = 20; }), "Invalid bitmap: unsupported header");
  std::string hugeHeader = good.Build();
  hugeHeader[17] = '\xFF';  // header size 0xFF000028
  EXPECT_EQ(LoadError(hugeHeader), "Invalid bitmap: header past the end of the file");
  EXPECT_EQ(with([](BmpTestFile& f) { f.pixels[1] = 2; }), "Invalid bitmap: colour index beyond the palette");
  EXPECT_EQ(with([](BmpTestFile& f) { f.colorsUsed = 0; f.offsetZero = true; f.pixels.clear(); }),
            "Invalid bitmap: colour table past the end");
  EXPECT_EQ(with([](BmpTestFile& f) { f.table.clear(); }), "Invalid bitmap: colour table missing");
  std::string file = BmpTestFile{.width = 1, .height = 1, .pixels = {1, 2, 3, 0}}.Build();
  file[10] = 20;
  EXPECT_EQ(LoadError(file), "Invalid bitmap: pixel data inside the header");
  file[10] = 0;
  file[12] = 1;  // 65536
  EXPECT_EQ(LoadError(file), "Invalid bitmap: pixel data past the end");
}

TEST(BmpHostileHeaders, RunLengthRunsPastTheRowOrImage) {
  BmpTestFile f{.width = 4, .bits = 8, .compression = 1, .colorsUsed = 2, .table = Quads({clBlack, clWhite})};
  auto error = [&](std::string data) {
    f.pixels = data;
    return LoadError(f.Build());
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
  EXPECT_EQ(error({2, 1}), "(no exception)");  // data that stops ends the image
  f.height = -2;
  EXPECT_EQ(error({0, 1}), "Invalid bitmap: top-down run-length image");
  f.height = 60000;
  f.width = 60000;
  EXPECT_EQ(error({0, 1}), "Invalid bitmap: bad dimensions");
}

TEST(BmpHostileHeaders, TruncatedAnywhereIsRefusedAndLeavesTheTarget) {
  for (std::uint32_t bits : {1, 8, 16, 24}) {
    BmpTestFile f{.width = 3, .bits = bits, .pixels = std::string(static_cast<std::size_t>(BytesPerScanline(3, bits) * 2), '\0')};
    if (bits <= 8) {
      f.colorsUsed = 2;
      f.table = Quads({clBlack, clWhite});
    }
    const std::string file = f.Build();
    for (std::size_t cut = 0; cut < file.size(); ++cut) {
      TBitmap b;
      b.SetSize(5, 5);
      b.SetPixel(1, 1, clRed);
      EXPECT_THROW(Load(b, file.substr(0, cut)), EInvalidGraphic) << bits << " " << cut;
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
  const std::string expected = BmpTestFile{.width = 1, .imageSize = 8, .pixels = {6, 5, 4, 0, 3, 2, 1, 0}}.Build();
  EXPECT_EQ(std::string(stream.Bytes().begin(), stream.Bytes().end()), expected);
}

TEST(BmpWrite, EveryWrittenFormatReadsBackWithItsPalette) {
  for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit}) {
    TBitmap a;
    a.SetPixelFormat(f);
    const bool indexed = BitsPerPixel(f) <= 8;
    if (indexed) a.SetPalette(TPalette({PaletteEntryOf(clRed), PaletteEntryOf(clBlue)}));
    a.SetSize(13, 5);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x) a.SetPixel(x, y, (x + y) % 3 == 0 ? clRed : clBlue);
    TMemoryStream stream;
    a.SaveToStream(stream);
    EXPECT_EQ(stream.Size(), 54 + (indexed ? 8 : 0) + a.RowBytes() * 5) << f;
    stream.SetPosition(0);
    TBitmap b;
    b.LoadFromStream(stream);
    ASSERT_EQ(b.PixelFormat(), f);
    EXPECT_EQ(b.Palette(), a.Palette());
    for (int y = 0; y < 5; ++y) EXPECT_EQ(Row(b, y), Row(a, y)) << f << " row " << y;
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

TEST(BmpHeaderProbe, StatesTheStoredBitCountWhichTheReaderWidens) {
  const BmpTestFile sixteen{.width = 1, .height = 1, .bits = 16, .pixels = {'\x1F', '\x00', 0, 0}};
  const std::string bytes = sixteen.Build();
  TReadOnlyMemoryStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
  EXPECT_EQ(ReadBmpBitCount(stream), 16);
  EXPECT_EQ(stream.Position(), 0) << "the stream is left where it was";
  TBitmap bitmap;
  bitmap.LoadFromStream(stream);
  EXPECT_EQ(bitmap.PixelFormat(), pf24bit) << "while the picture itself is widened";

  const BmpTestFile os2{.headerSize = 12, .width = 1, .height = 1, .bits = 8, .table = Quads({clRed}),
                        .pixels = {0, 0, 0, 0}};
  const std::string os2Bytes = os2.Build();
  TReadOnlyMemoryStream os2Stream(os2Bytes.data(), static_cast<std::int64_t>(os2Bytes.size()));
  EXPECT_EQ(ReadBmpBitCount(os2Stream), 8);
}

TEST(BmpHeaderProbe, RefusesWhatIsNoReadableHeader) {
  auto probe = [](const std::string& bytes) {
    return ErrorText<EInvalidGraphic>([&] {
      TReadOnlyMemoryStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
      ReadBmpBitCount(stream);
    });
  };
  EXPECT_EQ(probe("BM"), "Invalid bitmap: file too short");
  EXPECT_EQ(probe(std::string(40, 'x')), "Invalid bitmap: not a BMP file");
  const std::string whole = BmpTestFile{.bits = 24, .pixels = std::string(16, '\0')}.Build();
  EXPECT_EQ(probe(whole.substr(0, 30)), "Invalid bitmap: header past the end of the file");
  EXPECT_EQ(probe(BmpTestFile{.bits = 7}.Build()), "Invalid bitmap: unsupported bit count");
  EXPECT_NE(ErrorText([] { BmpFileBitCount("/nonexistent/picture.bmp"); }), "(no exception)");
}
