// The block coders of project files: the fixed LZHUF coder, and the tuned one
// whose window and look-ahead are settings and which at 4096 / 60 writes the
// same blocks.
#include "imaging/Lzw.h"
#include "imaging/Lzw_old.h"
#include "imaging/utils.h"
#include "tests/support/ErrorText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using BlockCoder = std::int32_t (*)(const std::uint8_t*, std::uint8_t*, std::int32_t, std::int32_t);

const std::pair<BlockCoder, BlockCoder> kCoders[] = {{LzhCompressBlock, LzhExpandBlock},
                                                     {TunedCompressBlock, TunedExpandBlock}};

// The coder's output for the input, in a buffer of the capacity.
Bytes Code(BlockCoder coder, const Bytes& input, std::size_t capacity) {
  Bytes out(capacity);
  out.resize(static_cast<std::size_t>(coder(input.data(), out.data(), static_cast<std::int32_t>(input.size()),
                                            static_cast<std::int32_t>(capacity))));
  return out;
}

// A compressor's block for the input, with room to spare.
Bytes Compress(BlockCoder compress, const Bytes& input) { return Code(compress, input, input.size() * 2 + 64); }

Bytes RandomBytes(std::size_t count, unsigned seed) {
  std::mt19937 gen(seed);
  Bytes b(count);
  for (auto& x : b) x = static_cast<std::uint8_t>(gen());
  return b;
}

// Lines of text like a project's, about 20 KB.
Bytes SampleText() {
  std::string text;
  for (int i = 0; i < 400; ++i)
    text += "Sprite " + std::to_string(i % 17) + " moves along its path; frame duration " + std::to_string(i % 5) +
            " steps.\r\n";
  return Bytes(text.begin(), text.end());
}

std::vector<Bytes> Samples() {
  return {Bytes{}, Bytes{'A'}, Bytes{255}, Bytes(4096, 'z'), Bytes(4097, 0xAB), RandomBytes(9000, 5), SampleText(),
          Bytes(1000, ' ')};
}

// Sets the tuned coder's window for a test and restores the old settings.
class BlockCoders : public ::testing::Test {
 protected:
  void SetUp() override { CancelFlag = 0; }
  void TearDown() override {
    Window(savedWindow_, savedLookAhead_);
    CancelFlag = 0;
  }
  static void Window(int n, int f) {
    CompressorWindowSize = n;
    CompressorLookAhead = f;
  }

 private:
  std::int32_t savedWindow_ = CompressorWindowSize;
  std::int32_t savedLookAhead_ = CompressorLookAhead;
};

}  // namespace

// ---- Block format and round trips ----------------------------------------------------------------

TEST_F(BlockCoders, TheLengthHeaderThenCodesOfThePublishedInitialTree) {
  Window(4096, 60);
  for (auto [compress, expand] : kCoders) {
    EXPECT_EQ(Compress(compress, {}), (Bytes{0, 0, 0, 0}));
    EXPECT_TRUE(Code(expand, {0, 0, 0, 0}, 0).empty());
    // Symbol 65 in the untouched tree of 314 leaves is a 9-bit code, 111001101,
    // sent root first and padded with zero bits.
    EXPECT_EQ(Compress(compress, Bytes{'A'}), (Bytes{1, 0, 0, 0, 0xE6, 0x80}));
  }
}

TEST_F(BlockCoders, EveryWindowRoundTripsAndAt4096And60EitherCoderExpandsTheOthersBlocks) {
  for (const Bytes& input : Samples())
    EXPECT_EQ(Code(LzhExpandBlock, Compress(LzhCompressBlock, input), input.size()), input) << input.size();
  for (auto [n, f] : {std::pair{4096, 60}, {4096, 2048}, {128, 64}, {1000, 100}, {16, 3}, {4096, 4095}}) {
    Window(n, f);
    for (const Bytes& input : Samples())
      EXPECT_EQ(Code(TunedExpandBlock, Compress(TunedCompressBlock, input), input.size()), input)
          << n << "/" << f << " " << input.size();
  }
  Window(4096, 60);
  for (const Bytes& input : Samples()) {
    EXPECT_EQ(Code(LzhExpandBlock, Compress(TunedCompressBlock, input), input.size()), input) << input.size();
    EXPECT_EQ(Code(TunedExpandBlock, Compress(LzhCompressBlock, input), input.size()), input) << input.size();
  }
  // A long skewed input drives the root frequency past $8000 many times: the tree is rebuilt.
  std::mt19937 gen(7);
  Bytes skewed(300000);
  for (auto& b : skewed) b = static_cast<std::uint8_t>((gen() % 7 == 0) ? gen() : 'a' + gen() % 3);
  EXPECT_EQ(Code(LzhExpandBlock, Compress(LzhCompressBlock, skewed), skewed.size()), skewed);
}

TEST_F(BlockCoders, RepetitiveDataAndTextCompress) {
  const Bytes text = SampleText();
  EXPECT_LT(Compress(LzhCompressBlock, Bytes(1000, ' ')).size(), 40u);  // spaces match the space-filled ring
  EXPECT_LT(Compress(LzhCompressBlock, Bytes(4096, 'x')).size(), 120u);  // full-length matches of 60
  EXPECT_LT(Compress(LzhCompressBlock, text).size(), text.size() / 4);
  Window(128, 64);
  EXPECT_LT(Compress(TunedCompressBlock, Bytes(4096, 'z')).size(), 200u);
  EXPECT_LT(Compress(TunedCompressBlock, text).size(), text.size() / 3);
  Window(4096, 2048);
  EXPECT_LT(Compress(TunedCompressBlock, Bytes(4096, 'z')).size(), 40u);
}

// ---- Settings and cancellation ---------------------------------------------------------------------

TEST_F(BlockCoders, WindowSettingsOutOfRangeAreRefused) {
  const Bytes input = SampleText();
  Window(128, 64);
  const Bytes block = Compress(TunedCompressBlock, input);
  for (auto [n, f] : {std::pair{4097, 60}, {128, 2}, {64, 64}, {64, 65}, {0, 0}, {-5, 3}}) {
    Window(n, f);
    EXPECT_EQ(ErrorText<ElzhException>([&] { Compress(TunedCompressBlock, input); }), SLzhBadWindow) << n << "/" << f;
    EXPECT_THROW(Code(TunedExpandBlock, block, input.size()), ElzhException);
  }
}

TEST_F(BlockCoders, ACancelledTunedRunIsAFailureNotAShortBlock) {
  Window(128, 64);
  const Bytes input = SampleText();
  const Bytes block = Compress(TunedCompressBlock, input);
  CancelFlag = 1;
  EXPECT_THROW(Compress(TunedCompressBlock, input), ElzhCancelled);
  EXPECT_THROW(Code(TunedExpandBlock, block, input.size()), ElzhCancelled);
  // The fixed coder does not poll the flag.
  EXPECT_EQ(Code(LzhExpandBlock, Compress(LzhCompressBlock, input), input.size()), input);
}

// ---- Hostile and damaged blocks --------------------------------------------------------------------

TEST_F(BlockCoders, ShortHeadersAndStatedLengthsBeyondTheCapacityAreRefused) {
  Window(4096, 2048);
  const Bytes text = SampleText();
  for (auto [compress, expand] : kCoders) {
    const Bytes block = Compress(compress, text);
    EXPECT_THROW(Code(expand, {}, 16), ElzhException);
    EXPECT_THROW(Code(expand, {1, 0, 0}, 16), ElzhException);
    EXPECT_EQ(ErrorText<ElzhException>([&] { Code(expand, block, text.size() - 1); }), SLzhBlockTooLarge);
    EXPECT_THROW(Code(expand, {0xFF, 0xFF, 0xFF, 0xFF, 0}, 100), ElzhException);
    EXPECT_EQ(Code(expand, {5, 0, 0, 0}, 5).size(), 5u);  // a header alone expands to its stated length
  }
}

TEST_F(BlockCoders, ABlockWhoseBitsRunOutIsCorruptButAFewMissingLastBitsReadAsZero) {
  Window(4096, 2048);
  const Bytes text = SampleText();
  for (auto [compress, expand] : kCoders) {
    const Bytes block = Compress(compress, text);
    // The last bytes cut off: the few missing bits read as 0, exactly like padding.
    for (std::size_t cut = block.size() - 4; cut < block.size(); ++cut) {
      Bytes out(text.size() + 1, 0xEE);
      EXPECT_EQ(expand(block.data(), out.data(), static_cast<std::int32_t>(cut), static_cast<std::int32_t>(text.size())),
                static_cast<std::int32_t>(text.size()))
          << cut;
      EXPECT_EQ(out[text.size()], 0xEE) << cut;
      Bytes padded(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(cut));
      padded.resize(block.size() + 64, 0);
      const Bytes paddedOut = Code(expand, padded, text.size());
      EXPECT_TRUE(std::equal(paddedOut.begin(), paddedOut.end(), out.begin())) << cut;
    }
    // Half a block, or a header stating 100,000 bytes with no data, is corrupt.
    const Bytes half(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(block.size() / 2));
    EXPECT_EQ(ErrorText<ElzhException>([&] { Code(expand, half, text.size()); }), SLzhBlockCorrupt);
    EXPECT_EQ(ErrorText<ElzhException>([&] { Code(expand, {0xA0, 0x86, 0x01, 0x00}, 100000); }), SLzhBlockCorrupt);
  }
}

TEST_F(BlockCoders, GarbageNeverWritesPastTheStatedLength) {
  Window(100, 30);  // positions beyond the window must still stay inside the ring
  std::mt19937 gen(11);
  for (auto [compress, expand] : kCoders)
    for (unsigned round = 0; round < 300; ++round) {
      Bytes block = RandomBytes(4 + gen() % 200, round);
      const std::uint32_t stated = gen() % 500;
      for (int i = 0; i < 4; ++i) block[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(stated >> (8 * i));
      Bytes out(stated + 1, 0xEE);
      try {
        EXPECT_EQ(expand(block.data(), out.data(), static_cast<std::int32_t>(block.size()), static_cast<std::int32_t>(stated)),
                  static_cast<std::int32_t>(stated));
      } catch (const ElzhException&) {
      }
      ASSERT_EQ(out[stated], 0xEE) << round;
    }
}

TEST_F(BlockCoders, CompressionIsBoundedByTheRoom) {
  Window(128, 64);
  const Bytes random = RandomBytes(5000, 3);
  for (auto [compress, expand] : kCoders) {
    Bytes out(201, 0xEE);
    EXPECT_EQ(ErrorText<ElzhException>([&] { compress(random.data(), out.data(), 5000, 200); }), SLzhOutputFull);
    EXPECT_EQ(out[200], 0xEE);
  }
  Bytes tiny(3);
  EXPECT_THROW(LzhCompressBlock(random.data(), tiny.data(), 0, 3), ElzhException);
}
