#include "imaging/Lzw.h"
#include "imaging/Lzw_old.h"
#include "imaging/utils.h"
#include "tests/imaging/BlockCoderHelpers.h"
#include "tests/support/ErrorText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

// Sets the tunable coder's window for a test and restores the old settings.
class TunedBlockCoder : public ::testing::Test {
 protected:
  void SetUp() override {
    savedWindow_ = CompressorWindowSize;
    savedLookAhead_ = CompressorLookAhead;
    CancelFlag = 0;
  }
  void TearDown() override {
    CompressorWindowSize = savedWindow_;
    CompressorLookAhead = savedLookAhead_;
    CancelFlag = 0;
  }
  static void Window(int n, int f) {
    CompressorWindowSize = n;
    CompressorLookAhead = f;
  }

 private:
  std::int32_t savedWindow_ = 0;
  std::int32_t savedLookAhead_ = 0;
};

Bytes TunedCompress(const Bytes& input) { return Compressed(TunedCompressBlock, input); }
Bytes TunedExpand(const Bytes& block, std::size_t capacity) { return RunCoder(TunedExpandBlock, block, capacity); }
Bytes FixedCompress(const Bytes& input) { return Compressed(LzhCompressBlock, input); }
Bytes FixedExpand(const Bytes& block, std::size_t capacity) { return RunCoder(LzhExpandBlock, block, capacity); }

std::vector<Bytes> Samples() {
  return {Bytes{}, Bytes{'A'}, Bytes(4096, 'z'), RandomBytes(9000, 5), SampleText(), Bytes(1000, ' ')};
}

}  // namespace

// ---- Round trips over window settings --------------------------------------------------------------

TEST_F(TunedBlockCoder, RoundTripsAtTheUsualWindows) {
  const std::vector<std::pair<int, int>> windows = {{4096, 60}, {4096, 2048}, {128, 64}, {1000, 100}, {16, 3}, {4096, 4095}};
  for (auto [n, f] : windows) {
    Window(n, f);
    for (const Bytes& input : Samples()) {
      EXPECT_EQ(TunedExpand(TunedCompress(input), input.size()), input) << n << "/" << f << " " << input.size();
    }
  }
}

TEST_F(TunedBlockCoder, EmptyInputIsTheLengthHeaderAlone) {
  Window(128, 64);
  EXPECT_EQ(TunedCompress({}), (Bytes{0, 0, 0, 0}));
}

TEST_F(TunedBlockCoder, RepetitiveDataCompresses) {
  Window(128, 64);
  EXPECT_LT(TunedCompress(Bytes(4096, 'z')).size(), 200u);
  Window(4096, 2048);
  EXPECT_LT(TunedCompress(Bytes(4096, 'z')).size(), 40u);
  const Bytes text = SampleText();
  EXPECT_LT(TunedCompress(text).size(), text.size() / 3);
}

// ---- The same format as the fixed coder at 4096 / 60 ----------------------------------------------------

TEST_F(TunedBlockCoder, EitherCoderExpandsTheOthersBlocksAt4096And60) {
  Window(4096, 60);
  for (const Bytes& input : Samples()) {
    EXPECT_EQ(FixedExpand(TunedCompress(input), input.size()), input) << input.size();
    EXPECT_EQ(TunedExpand(FixedCompress(input), input.size()), input) << input.size();
  }
}

// ---- Window settings ------------------------------------------------------------------------------------

TEST_F(TunedBlockCoder, WindowSettingsOutOfRangeAreRefused) {
  const Bytes input = SampleText();
  const Bytes block = [&] {
    Window(128, 64);
    return TunedCompress(input);
  }();
  Bytes out(input.size() * 2 + 64);
  for (auto [n, f] : std::vector<std::pair<int, int>>{{4097, 60}, {128, 2}, {64, 64}, {64, 65}, {0, 0}, {-5, 3}}) {
    Window(n, f);
    EXPECT_EQ(ErrorText<ElzhException>([&] { TunedCompress(input); }), SLzhBadWindow) << n << "/" << f;
    EXPECT_THROW(TunedExpand(block, input.size()), ElzhException);
  }
}

// ---- Cancellation ---------------------------------------------------------------------------------------

TEST_F(TunedBlockCoder, ACancelledRunIsAFailureNotAShortBlock) {
  Window(128, 64);
  const Bytes input = SampleText();
  const Bytes block = TunedCompress(input);
  CancelFlag = 1;
  EXPECT_THROW(TunedCompress(input), ElzhCancelled);
  EXPECT_THROW(TunedExpand(block, input.size()), ElzhCancelled);
  // The fixed coder does not poll the flag.
  EXPECT_EQ(FixedExpand(FixedCompress(input), input.size()), input);
}

// ---- Damaged blocks ---------------------------------------------------------------------------------------

TEST_F(TunedBlockCoder, CutHeadersAndOversizedBlocksAreRefused) {
  Window(4096, 2048);
  const Bytes input = SampleText();
  const Bytes block = TunedCompress(input);
  for (std::size_t cut : {std::size_t{0}, std::size_t{3}})
    EXPECT_THROW(TunedExpand(Bytes(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(cut)), input.size()), ElzhException)
        << cut;
  // Cut coded bits read as 0: the stated length is still produced.
  EXPECT_EQ(TunedExpand(Bytes(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(block.size() / 2)), input.size()).size(),
            input.size());
  EXPECT_THROW(TunedExpand(block, input.size() - 1), ElzhException);
}

TEST_F(TunedBlockCoder, GarbageNeverWritesPastTheStatedLength) {
  Window(100, 30);  // positions beyond the window must still stay inside the ring
  std::mt19937 gen(3);
  for (int round = 0; round < 300; ++round) {
    Bytes block = RandomBytes(4 + gen() % 100, round + 100);
    const std::uint32_t stated = gen() % 300;
    for (int i = 0; i < 4; ++i) block[i] = static_cast<std::uint8_t>(stated >> (8 * i));
    Bytes out(stated + 1, 0xEE);
    try {
      TunedExpandBlock(block.data(), out.data(), static_cast<std::int32_t>(block.size()),
                       static_cast<std::int32_t>(stated));
    } catch (const ElzhException&) {
    }
    EXPECT_EQ(out[stated], 0xEE);
  }
}

TEST_F(TunedBlockCoder, CompressedOutputIsBounded) {
  Window(128, 64);
  const Bytes random = RandomBytes(3000, 9);
  Bytes out(101, 0xEE);
  EXPECT_THROW(TunedCompressBlock(random.data(), out.data(), 3000, 100), ElzhException);
  EXPECT_EQ(out[100], 0xEE);
}
