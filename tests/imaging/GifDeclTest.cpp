#include "imaging/GifDecl.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

using Codes = std::vector<std::pair<int, int>>;  // code, width

// Codes packed least significant bit first.
std::vector<std::uint8_t> Pack(const Codes& codes) {
  std::vector<std::uint8_t> bytes;
  std::uint64_t acc = 0;
  int bits = 0;
  for (auto [code, width] : codes) {
    acc |= static_cast<std::uint64_t>(code) << bits;
    for (bits += width; bits >= 8; bits -= 8, acc >>= 8) bytes.push_back(static_cast<std::uint8_t>(acc));
  }
  if (bits > 0) bytes.push_back(static_cast<std::uint8_t>(acc));
  return bytes;
}

// The encoder written the plain way, with a map of strings; the hashed encoder
// must produce exactly its codes. With deferClear it goes on with a full table
// at 12 bits and clears only at the very end, as GIF allows.
Codes ReferenceCodes(const std::vector<std::uint8_t>& pixels, int m, bool deferClear = false, bool* filled = nullptr) {
  const int clear = 1 << m;
  std::map<std::pair<int, int>, int> table;
  int next = 0, width = 0;
  bool full = false;
  Codes codes;
  auto reset = [&] { table.clear(), next = clear + 2, width = m + 1, full = false; };
  reset();
  codes.emplace_back(clear, width);
  std::size_t i = 0;
  int previous = pixels[i++];
  codes.emplace_back(previous, width);
  while (i < pixels.size()) {
    int cur = pixels[i++];
    if (!full) {
      table.try_emplace({previous, cur}, next);
      if (++next == 4096) full = true;
      else if (next > (1 << width)) ++width;
    }
    for (auto hit = table.end(); i < pixels.size() && (hit = table.find({cur, pixels[i]})) != table.end(); ++i)
      cur = hit->second;
    codes.emplace_back(cur, width);
    previous = cur;
    if (full && i < pixels.size() && !deferClear) {
      codes.emplace_back(clear, width);
      reset();
      previous = pixels[i++];
      codes.emplace_back(previous, width);
    }
  }
  if (filled) *filled = full;
  if (deferClear) codes.emplace_back(clear, width), width = m + 1;
  codes.emplace_back(clear + 1, width);
  return codes;
}

// Pixels with runs and noise, so that strings of every length occur.
std::vector<std::uint8_t> RandomPixels(std::mt19937& rng, std::size_t count, int colors, int runLength) {
  std::vector<std::uint8_t> pixels(count);
  std::uniform_int_distribution<int> color(0, colors - 1);
  std::uniform_int_distribution<int> run(1, runLength);
  for (std::size_t i = 0; i < count;) {
    const auto c = static_cast<std::uint8_t>(color(rng));
    for (int k = run(rng); k > 0 && i < count; --k) pixels[i++] = c;
  }
  return pixels;
}

std::vector<std::uint8_t> Decode(const TByteBuffer& data, int m, std::size_t count) {
  std::vector<std::uint8_t> out(count);
  LzwDecode(data.Bytes().data(), data.Count(), m, out.data(), static_cast<std::int64_t>(count));
  return out;
}

}  // namespace

TEST(LzwEncoderOutput, TinyImagesAreByteExact) {
  TByteBuffer data;
  const std::uint8_t pixel = 1;
  LzwEncode(&pixel, 1, 2, data);
  EXPECT_EQ(data.Bytes(), (std::vector<std::uint8_t>{0x4C, 0x01}));  // 3-bit codes 4, 1, 5
  EXPECT_EQ(data.SubBlockCount(), 1);
  TByteBuffer empty;
  LzwEncode(nullptr, 0, 2, empty);
  EXPECT_EQ(empty.Bytes(), (std::vector<std::uint8_t>{0x2C}));  // clear and end: 100, 101
  // Pixels that do not fit the code size stay valid roots.
  const std::vector<std::uint8_t> pixels = {1, 7, 2, 255};
  TByteBuffer wide;
  LzwEncode(pixels.data(), 4, 2, wide);
  EXPECT_EQ(Decode(wide, 2, 4), (std::vector<std::uint8_t>{1, 3, 2, 3}));
}

TEST(LzwEncoderOutput, MatchesThePlainEncoderByteForByteIn255ByteBlocks) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 60; ++round) {
    const int m = round == 0 ? 8 : 2 + round % 7;
    const int colors = std::min(1 << m, 1 + static_cast<int>(rng() % 256));
    std::size_t count = 1 + rng() % (round < 40 ? 3000 : 60000);
    const int runLength = 1 + static_cast<int>(rng() % 12);
    auto pixels = RandomPixels(rng, count, colors, runLength);
    if (round == 0) pixels = RandomPixels(rng, count = 200000, 256, 1);  // noise fills the table many times
    TByteBuffer data;
    LzwEncode(pixels.data(), static_cast<std::int64_t>(count), m, data);
    ASSERT_EQ(data.Bytes(), Pack(ReferenceCodes(pixels, m))) << "round " << round;
    ASSERT_EQ(data.SubBlockCount(), (data.Count() + 254) / 255);
    ASSERT_EQ(Decode(data, m, count), pixels) << "round " << round;
  }
}

TEST(ByteBufferBlocks, SixHundredBytesMakeBlocksOf255And255And90) {
  TByteBuffer buffer;
  for (int i = 0; i < 600; ++i) buffer.AddByte(static_cast<std::uint8_t>(i));
  buffer.Close();
  buffer.Close();  // closing twice adds no empty block
  TByteBuffer assigned;
  assigned.Assign(buffer.Bytes());
  for (const TByteBuffer* b : {&buffer, &assigned})
    EXPECT_EQ(std::tuple(b->Count(), b->SubBlockCount(), b->SubBlockLength(0), b->SubBlockLength(1), b->SubBlockLength(2)),
              std::tuple(600, 3, 255, 255, 90));
}

TEST(LzwDecoderInput, DataCutOffDecodesWhatIsThereAndLeavesTheRestZero) {
  std::mt19937 rng(3);
  const auto pixels = RandomPixels(rng, 5000, 16, 4);
  TByteBuffer data;
  LzwEncode(pixels.data(), 5000, 4, data);
  for (std::int64_t cut : {std::int64_t{0}, std::int64_t{1}, std::int64_t{2}, data.Count() / 3, data.Count() - 1}) {
    std::vector<std::uint8_t> out(5000, 0xAA);  // the decoder clears what the data does not reach
    const std::int64_t decoded = LzwDecode(data.Bytes().data(), cut, 4, out.data(), 5000);
    ASSERT_LT(decoded, cut < data.Count() / 2 ? 5000 : 5001) << cut;
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + decoded, pixels.begin())) << cut;
    EXPECT_TRUE(std::all_of(out.begin() + decoded, out.end(), [](std::uint8_t p) { return p == 0; })) << cut;
  }
}

TEST(LzwDecoderInput, PixelsPastTheEndOfTheImageAreDiscarded) {
  std::mt19937 rng(4);
  const auto pixels = RandomPixels(rng, 3000, 8, 6);
  TByteBuffer data;
  LzwEncode(pixels.data(), 3000, 3, data);
  for (std::int64_t count : {1, 2, 17, 1000, 2999}) {
    // Room for exactly count pixels: anything written past it would be caught by the sanitizers.
    std::vector<std::uint8_t> out(static_cast<std::size_t>(count));
    EXPECT_EQ(LzwDecode(data.Bytes().data(), data.Count(), 3, out.data(), count), count);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), pixels.begin()));
  }
}

TEST(LzwDecoderInput, HandMadeCodeSequences) {
  struct Case {
    const char* what;
    Codes codes;
    int m;
    std::vector<std::uint8_t> pixels;
  };
  const Case cases[] = {
      {"data without a leading clear code starts like after one", {{1, 3}, {2, 3}, {6, 3}, {5, 3}}, 2, {1, 2, 1, 2}},
      {"an end code right after a clear code ends the image", {{4, 3}, {5, 3}}, 2, {}},
      {"a first code above the roots counts as pixel zero", {{4, 3}, {7, 3}, {1, 3}, {5, 3}}, 2, {0, 1}},
      {"nine is taken: 10-bit codes hold 512 roots, stored as bytes", {{512, 10}, {300, 10}, {44, 10}, {513, 10}}, 9, {300 & 0xFF, 44}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto data = Pack(c.codes);
    std::vector<std::uint8_t> out(c.pixels.size() + 1, 0);
    EXPECT_EQ(LzwDecode(data.data(), static_cast<std::int64_t>(data.size()), c.m, out.data(), static_cast<std::int64_t>(out.size())),
              static_cast<std::int64_t>(c.pixels.size()));
    out.pop_back();
    EXPECT_EQ(out, c.pixels);
  }
}

TEST(LzwDecoderInput, AFullTableKeepsDecodingTwelveBitCodesUntilAClearCode) {
  std::mt19937 rng(11);
  const auto pixels = RandomPixels(rng, 30000, 256, 3);
  bool filled = false;
  const auto data = Pack(ReferenceCodes(pixels, 8, true, &filled));
  ASSERT_TRUE(filled);
  std::vector<std::uint8_t> out(pixels.size());
  EXPECT_EQ(LzwDecode(data.data(), static_cast<std::int64_t>(data.size()), 8, out.data(), static_cast<std::int64_t>(out.size())),
            static_cast<std::int64_t>(pixels.size()));
  EXPECT_EQ(out, pixels);
}

TEST(LzwDecoderInput, RandomBytesNeverReachPastTheImage) {
  std::mt19937 rng(99);
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::uint8_t> data(rng() % 400);
    for (auto& b : data) b = static_cast<std::uint8_t>(rng());
    const int m = 2 + static_cast<int>(rng() % 8);
    std::vector<std::uint8_t> out(1 + rng() % 3000);
    try {
      const auto n = LzwDecode(data.data(), static_cast<std::int64_t>(data.size()), m, out.data(),
                               static_cast<std::int64_t>(out.size()));
      ASSERT_LE(n, static_cast<std::int64_t>(out.size()));
    } catch (const EGifException& e) {
      ASSERT_EQ(e.Message(), "Bad code");
    }
  }
}

TEST(InterlacedRows, FourPassesAndShortImagesSkipPassesThatStartBelowThem) {
  const std::vector<std::vector<int>> orders = {{0}, {0, 1}, {0, 2, 1}, {0, 2, 1, 3}, {0, 4, 2, 1, 3}};
  for (std::size_t i = 0; i < orders.size(); ++i) EXPECT_EQ(InterlacedRowOrder(static_cast<int>(i + 1)), orders[i]);
  EXPECT_EQ(InterlacedRowOrder(10), (std::vector<int>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
  for (int h = 1; h <= 40; ++h) {
    auto rows = InterlacedRowOrder(h);
    std::sort(rows.begin(), rows.end());
    for (int r = 0; r < h; ++r) ASSERT_EQ(rows[static_cast<std::size_t>(r)], r) << h;
  }
}

TEST(ExtensionBlocks, LabelsKindsAndFixedParts) {
  // {label, kind, size of the fixed part}
  const std::tuple<std::uint8_t, TExtensionKind, std::size_t> kinds[] = {
      {0xF9, ekGraphicControl, 6}, {0x01, ekPlainText, 13}, {0xFF, ekApplication, 12}, {0xFE, ekComment, 0}};
  TExtensionKind kind;
  for (const auto& [label, expected, fixed] : kinds) {
    ASSERT_TRUE(TExtension::KindOfLabel(label, kind));
    EXPECT_EQ(kind, expected);
    EXPECT_EQ(TExtension(kind).Fixed().size(), fixed);
  }
  EXPECT_FALSE(TExtension::KindOfLabel(0xF8, kind));
  TExtension gce(ekGraphicControl);
  gce.SetDelay(300);
  EXPECT_EQ(gce.Fixed(), (std::vector<std::uint8_t>{4, 0, 44, 1, 0, 0}));
}
