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
    for (const Bytes& input : Samples())
      EXPECT_EQ(TunedExpand(TunedCompress(input), input.size()), input) << n << "/" << f << " " << input.size();
    EXPECT_EQ(TunedCompress({}), (Bytes{0, 0, 0, 0}));  // the length header alone
  }
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
  auto cut = [&](std::size_t length) { return Bytes(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(length)); };
  EXPECT_THROW(TunedExpand(cut(0), input.size()), ElzhException);
  EXPECT_THROW(TunedExpand(cut(3), input.size()), ElzhException);
  // Cut coded bits read as 0: the stated length is still produced.
  EXPECT_EQ(TunedExpand(cut(block.size() / 2), input.size()).size(), input.size());
  EXPECT_THROW(TunedExpand(block, input.size() - 1), ElzhException);
}

TEST_F(TunedBlockCoder, GarbageNeverWritesPastTheStatedLengthNorCompressionPastTheRoom) {
  Window(100, 30);  // positions beyond the window must still stay inside the ring
  ExpectGarbageStaysInside<ElzhException>(TunedExpandBlock, 3, 100, 300);
  Window(128, 64);
  ExpectOutputBounded<ElzhException>(TunedCompressBlock, 100);
}
