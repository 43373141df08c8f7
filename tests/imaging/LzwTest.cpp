#include "imaging/Lzw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Compress(const Bytes& input) {
  Bytes out(input.size() * 2 + 64);
  const std::int32_t n = LzhCompressBlock(input.data(), out.data(), static_cast<std::int32_t>(input.size()),
                                          static_cast<std::int32_t>(out.size()));
  out.resize(static_cast<std::size_t>(n));
  return out;
}

Bytes Expand(const Bytes& block, std::int32_t capacity) {
  Bytes out(static_cast<std::size_t>(capacity));
  const std::int32_t n = LzhExpandBlock(block.data(), out.data(), static_cast<std::int32_t>(block.size()), capacity);
  out.resize(static_cast<std::size_t>(n));
  return out;
}

Bytes RandomBytes(std::size_t count, unsigned seed) {
  std::mt19937 gen(seed);
  Bytes b(count);
  for (auto& x : b) x = static_cast<std::uint8_t>(gen());
  return b;
}

Bytes SampleText() {
  std::string text;
  for (int i = 0; i < 400; ++i)
    text += "Sprite " + std::to_string(i % 17) + " moves along its path; frame duration " + std::to_string(i % 5) +
            " steps.\r\n";
  return ToBytes(text);
}

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
  EXPECT_EQ(Hex(Compress(ToBytes("A"))), "01 00 00 00 E6 80 ");
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

TEST(LzhDamagedBlocks, HeaderShorterThanFourBytesIsRefused) {
  const Bytes block{1, 0, 0};
  Bytes out(16);
  EXPECT_THROW(LzhExpandBlock(block.data(), out.data(), 3, 16), ElzhException);
  EXPECT_THROW(LzhExpandBlock(nullptr, out.data(), 0, 16), ElzhException);
}

TEST(LzhDamagedBlocks, StatedLengthBeyondTheCapacityIsRefused) {
  const Bytes block = Compress(SampleText());
  Bytes out(100);
  try {
    LzhExpandBlock(block.data(), out.data(), static_cast<std::int32_t>(block.size()), 100);
    FAIL() << "expected ElzhException";
  } catch (const ElzhException& e) {
    EXPECT_EQ(e.Message(), SLzhBlockTooLarge);
  }
  const Bytes huge{0xFF, 0xFF, 0xFF, 0xFF, 0};
  EXPECT_THROW(LzhExpandBlock(huge.data(), out.data(), 5, 100), ElzhException);
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
    Bytes paddedOut(text.size());
    LzhExpandBlock(padded.data(), paddedOut.data(), static_cast<std::int32_t>(padded.size()),
                   static_cast<std::int32_t>(paddedOut.size()));
    EXPECT_TRUE(std::equal(paddedOut.begin(), paddedOut.end(), out.begin())) << cut;
  }
}

TEST(LzhDamagedBlocks, AHeaderAloneExpandsToItsStatedLength) {
  const Bytes header{5, 0, 0, 0};
  Bytes out(5);
  EXPECT_EQ(LzhExpandBlock(header.data(), out.data(), 4, 5), 5);
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
  Bytes out(5000 + 64, 0);
  out.resize(200);
  out.push_back(0xEE);
  try {
    LzhCompressBlock(random.data(), out.data(), 5000, 200);
    FAIL() << "expected ElzhException";
  } catch (const ElzhException& e) {
    EXPECT_EQ(e.Message(), SLzhOutputFull);
  }
  EXPECT_EQ(out[200], 0xEE);
  Bytes tiny(3);
  EXPECT_THROW(LzhCompressBlock(random.data(), tiny.data(), 0, 3), ElzhException);
}
