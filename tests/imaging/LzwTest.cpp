#include "imaging/Lzw.h"
#include "tests/imaging/BlockCoderHelpers.h"
#include "tests/support/ErrorText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

Bytes Compress(const Bytes& input) { return Compressed(LzhCompressBlock, input); }
Bytes Expand(const Bytes& block, std::size_t capacity) { return RunCoder(LzhExpandBlock, block, capacity); }

std::string Hex(const Bytes& b) {
  static const char* digits = "0123456789ABCDEF";
  std::string s;
  for (auto x : b) {
    s += digits[x >> 4];
    s += digits[x & 15];
    s += ' ';
  }
  return s;
}

}  // namespace

// ---- Block format ---------------------------------------------------------------------------

TEST(LzhBlockFormat, EmptyInputIsTheLengthHeaderAlone) {
  const Bytes block = Compress({});
  EXPECT_EQ(Hex(block), "00 00 00 00 ");
  EXPECT_TRUE(Expand(block, 0).empty());
}

TEST(LzhBlockFormat, OneLiteralFollowsThePublishedInitialTree) {
  // Symbol 65 in the untouched tree of 314 leaves is a 9-bit code, 111001101,
  // sent root first and padded with zero bits.
  EXPECT_EQ(Hex(Compress(Bytes{'A'})), "01 00 00 00 E6 80 ");
}

TEST(LzhBlockFormat, ThousandSpacesMatchTheSpaceFilledRing) {
  const Bytes block = Compress(Bytes(1000, ' '));
  EXPECT_LT(block.size(), 40u);
  EXPECT_EQ(Expand(block, 1000), Bytes(1000, ' '));
}

// ---- Round trips ------------------------------------------------------------------------------

TEST(LzhRoundTrip, SmallAndRepetitiveInputs) {
  for (const Bytes& input : {Bytes{0}, Bytes{255}, Bytes(4096, 'x'), Bytes(4096, 0), Bytes(4097, 0xAB)}) {
    const Bytes block = Compress(input);
    EXPECT_EQ(Expand(block, static_cast<std::int32_t>(input.size())), input) << input.size();
  }
  // 4,096 identical bytes take full-length matches of 60.
  EXPECT_LT(Compress(Bytes(4096, 'x')).size(), 120u);
}

TEST(LzhRoundTrip, RandomAndTextData) {
  const Bytes text = SampleText();
  const Bytes textBlock = Compress(text);
  EXPECT_LT(textBlock.size(), text.size() / 4);
  EXPECT_EQ(Expand(textBlock, static_cast<std::int32_t>(text.size())), text);
  for (unsigned seed = 1; seed <= 4; ++seed) {
    const Bytes random = RandomBytes(20000 + seed * 777, seed);
    EXPECT_EQ(Expand(Compress(random), static_cast<std::int32_t>(random.size())), random);
  }
}

TEST(LzhRoundTrip, ManyTreeRebuilds) {
  // A long skewed input drives the root frequency past $8000 many times.
  std::mt19937 gen(7);
  Bytes input(300000);
  for (auto& b : input) b = static_cast<std::uint8_t>((gen() % 7 == 0) ? gen() : 'a' + gen() % 3);
  EXPECT_EQ(Expand(Compress(input), static_cast<std::int32_t>(input.size())), input);
}

// ---- Hostile and damaged blocks ------------------------------------------------------------------

TEST(LzhDamagedBlocks, ShortHeadersAndStatedLengthsBeyondTheCapacityAreRefused) {
  EXPECT_THROW(Expand({1, 0, 0}, 16), ElzhException);
  EXPECT_THROW(Expand({}, 16), ElzhException);
  EXPECT_EQ(ErrorText<ElzhException>([&] { Expand(Compress(SampleText()), 100); }), SLzhBlockTooLarge);
  EXPECT_THROW(Expand({0xFF, 0xFF, 0xFF, 0xFF, 0}, 100), ElzhException);
  EXPECT_EQ(Expand({5, 0, 0, 0}, 5).size(), 5u);  // a header alone expands to its stated length
}

TEST(LzhDamagedBlocks, MissingBitsReadAsZeroAndTheStatedLengthIsProduced) {
  const Bytes text = SampleText();
  const Bytes block = Compress(text);
  for (std::size_t cut = 4; cut < block.size(); cut += (cut < block.size() - 40 ? 37 : 1)) {
    Bytes out(text.size() + 1, 0xEE);
    const std::int32_t n =
        LzhExpandBlock(block.data(), out.data(), static_cast<std::int32_t>(cut), static_cast<std::int32_t>(text.size()));
    EXPECT_EQ(n, static_cast<std::int32_t>(text.size())) << cut;
    EXPECT_EQ(out[text.size()], 0xEE) << cut;
    // A cut block reads exactly like the same block padded with zero bytes.
    Bytes padded(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(cut));
    padded.resize(block.size() + 64, 0);
    const Bytes paddedOut = Expand(padded, text.size());
    EXPECT_TRUE(std::equal(paddedOut.begin(), paddedOut.end(), out.begin())) << cut;
  }
}

TEST(LzhDamagedBlocks, GarbageNeverWritesPastTheStatedLength) {
  std::mt19937 gen(11);
  for (int round = 0; round < 300; ++round) {
    Bytes block = RandomBytes(4 + gen() % 200, round);
    const std::uint32_t stated = gen() % 500;
    for (int i = 0; i < 4; ++i) block[i] = static_cast<std::uint8_t>(stated >> (8 * i));
    Bytes out(stated + 1, 0xEE);
    try {
      const std::int32_t n = LzhExpandBlock(block.data(), out.data(), static_cast<std::int32_t>(block.size()),
                                            static_cast<std::int32_t>(stated));
      EXPECT_EQ(n, static_cast<std::int32_t>(stated));
    } catch (const ElzhException&) {
    }
    EXPECT_EQ(out[stated], 0xEE);  // the guard byte past the capacity is untouched
  }
}

TEST(LzhCompressOutput, IsBoundedByTheCapacity) {
  const Bytes random = RandomBytes(5000, 3);
  Bytes out(201, 0);
  out[200] = 0xEE;
  EXPECT_EQ(ErrorText<ElzhException>([&] { LzhCompressBlock(random.data(), out.data(), 5000, 200); }), SLzhOutputFull);
  EXPECT_EQ(out[200], 0xEE);
  Bytes tiny(3);
  EXPECT_THROW(LzhCompressBlock(random.data(), tiny.data(), 0, 3), ElzhException);
}
