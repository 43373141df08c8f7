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

}  // namespace

// ---- Block format ---------------------------------------------------------------------------

TEST(LzhBlockFormat, TheLengthHeaderThenCodesOfThePublishedInitialTree) {
  EXPECT_EQ(Compress({}), (Bytes{0, 0, 0, 0}));
  EXPECT_TRUE(Expand({0, 0, 0, 0}, 0).empty());
  // Symbol 65 in the untouched tree of 314 leaves is a 9-bit code, 111001101,
  // sent root first and padded with zero bits.
  EXPECT_EQ(Compress(Bytes{'A'}), (Bytes{1, 0, 0, 0, 0xE6, 0x80}));
  // Spaces match the space-filled ring from the start.
  EXPECT_LT(Compress(Bytes(1000, ' ')).size(), 40u);
}

// ---- Round trips ------------------------------------------------------------------------------

TEST(LzhRoundTrip, SmallAndRepetitiveInputs) {
  for (const Bytes& input : {Bytes{0}, Bytes{255}, Bytes(1000, ' '), Bytes(4096, 'x'), Bytes(4096, 0), Bytes(4097, 0xAB)})
    EXPECT_EQ(Expand(Compress(input), input.size()), input) << input.size();
  // 4,096 identical bytes take full-length matches of 60.
  EXPECT_LT(Compress(Bytes(4096, 'x')).size(), 120u);
}

TEST(LzhRoundTrip, RandomAndTextData) {
  const Bytes text = SampleText();
  const Bytes textBlock = Compress(text);
  EXPECT_LT(textBlock.size(), text.size() / 4);
  EXPECT_EQ(Expand(textBlock, text.size()), text);
  for (unsigned seed = 1; seed <= 4; ++seed) {
    const Bytes random = RandomBytes(20000 + seed * 777, seed);
    EXPECT_EQ(Expand(Compress(random), random.size()), random);
  }
  // A long skewed input drives the root frequency past $8000 many times: the tree is rebuilt.
  std::mt19937 gen(7);
  Bytes skewed(300000);
  for (auto& b : skewed) b = static_cast<std::uint8_t>((gen() % 7 == 0) ? gen() : 'a' + gen() % 3);
  EXPECT_EQ(Expand(Compress(skewed), skewed.size()), skewed);
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
  ExpectGarbageStaysInside<ElzhException>(LzhExpandBlock, 11, 200, 500);
}

TEST(LzhCompressOutput, IsBoundedByTheCapacity) {
  ExpectOutputBounded<ElzhException>(LzhCompressBlock, 200);
  const Bytes random = RandomBytes(5000, 3);
  Bytes out(200);
  EXPECT_EQ(ErrorText<ElzhException>([&] { LzhCompressBlock(random.data(), out.data(), 5000, 200); }), SLzhOutputFull);
  Bytes tiny(3);
  EXPECT_THROW(LzhCompressBlock(random.data(), tiny.data(), 0, 3), ElzhException);
}
