#include "imaging/Lzw_old.h"

#include "imaging/utils.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

constexpr int HashBits = 15;
// Candidates tried per position; bounds the work on data with many equal
// three-byte keys and short matches.
constexpr int MaxChain = 256;

// Finds matches over the text as the expander sees it: N - F spaces, then the
// input. Positions with equal three-byte keys are chained newest first; the
// longest match wins, the nearest on equal length. A match may reach back a
// whole window (N bytes), which the expander's ring still holds.
class TChainMatcher {
 public:
  TChainMatcher(const std::uint8_t* input, std::int32_t inputLength, int windowSize, int lookAhead)
      : n_(windowSize), head_(std::size_t{1} << HashBits, -1), prev_(static_cast<std::size_t>(windowSize), -1) {
    text_.reserve(static_cast<std::size_t>(windowSize - lookAhead) + static_cast<std::size_t>(inputLength));
    text_.assign(static_cast<std::size_t>(windowSize - lookAhead), ' ');
    text_.insert(text_.end(), input, input + inputLength);
  }

  std::int64_t Size() const { return static_cast<std::int64_t>(text_.size()); }
  std::uint8_t At(std::int64_t position) const { return text_[static_cast<std::size_t>(position)]; }

  // Makes the string at position findable (needs three bytes from it).
  void Insert(std::int64_t position) {
    if (position + 2 >= Size()) return;
    const std::uint32_t h = Hash(position);
    prev_[static_cast<std::size_t>(position % n_)] = head_[h];
    head_[h] = position;
  }

  // The longest match for position of at most limit bytes (limit >= 3);
  // returns its length (0 when none reaches 3) and sets the distance.
  int Find(std::int64_t position, int limit, int& distance) const {
    const std::uint8_t* here = text_.data() + position;
    int best = 0;
    int chain = MaxChain;
    std::int64_t candidate = head_[Hash(position)];
    while (candidate >= 0 && position - candidate <= n_ && chain-- > 0) {
      const std::uint8_t* there = text_.data() + candidate;
      if (there[best] == here[best] && there[0] == here[0] && there[1] == here[1] && there[2] == here[2]) {
        int len = 3;
        while (len < limit && there[len] == here[len]) ++len;
        if (len > best) {
          best = len;
          distance = static_cast<int>(position - candidate);
          if (best >= limit) break;
        }
      }
      const std::int64_t older = prev_[static_cast<std::size_t>(candidate % n_)];
      if (older >= candidate) break;
      candidate = older;
    }
    return best >= lzhuf::Threshold + 1 ? best : 0;
  }

 private:
  std::uint32_t Hash(std::int64_t position) const {
    const std::uint8_t* p = text_.data() + position;
    const std::uint32_t key = (static_cast<std::uint32_t>(p[0]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
    return (key * 2654435761u) >> (32 - HashBits);
  }

  int n_;
  std::vector<std::uint8_t> text_;
  std::vector<std::int64_t> head_;
  std::vector<std::int64_t> prev_;  // by position modulo the window
};

void CheckCancel() {
  if (CancelFlag != 0) throw ElzhCancelled(SLzhCancelled);
}

void Compress(TChainMatcher& matcher, int windowSize, int lookAhead, lzhuf::TBitWriter& bits) {
  lzhuf::TAdaptiveHuffman huffman(lookAhead);
  const std::int64_t end = matcher.Size();
  std::int64_t position = windowSize - lookAhead;
  for (std::int64_t q = 0; q < position; ++q) matcher.Insert(q);
  while (position < end) {
    CheckCancel();
    const int limit = static_cast<int>(std::min<std::int64_t>(lookAhead, end - position));
    int distance = 0;
    int length = limit > lzhuf::Threshold ? matcher.Find(position, limit, distance) : 0;
    if (length > 0) {
      huffman.Encode(255 - lzhuf::Threshold + length, bits);
      lzhuf::EncodePosition(static_cast<std::uint32_t>(distance - 1), bits);
    } else {
      length = 1;
      huffman.Encode(matcher.At(position), bits);
    }
    for (int k = 0; k < length; ++k) matcher.Insert(position + k);
    position += length;
  }
}

void CheckWindow() {
  if (!lzhuf::ValidWindow(CompressorWindowSize, CompressorLookAhead)) throw ElzhException(SLzhBadWindow);
}

}  // namespace

std::int32_t TunedCompressBlock(const std::uint8_t* input, std::uint8_t* output, std::int32_t inputLength,
                                std::int32_t outputCapacity) {
  CheckWindow();
  if (inputLength < 0 || (inputLength > 0 && input == nullptr)) throw ElzhException(SLzhBlockTooShort);
  const int windowSize = CompressorWindowSize;
  const int lookAhead = CompressorLookAhead;
  lzhuf::WriteStatedLength(output, outputCapacity, static_cast<std::uint32_t>(inputLength));
  if (inputLength == 0) return lzhuf::HeaderSize;
  try {
    TChainMatcher matcher(input, inputLength, windowSize, lookAhead);
    lzhuf::TBitWriter bits(output, outputCapacity, lzhuf::HeaderSize);
    Compress(matcher, windowSize, lookAhead, bits);
    bits.Flush();
    return static_cast<std::int32_t>(bits.Position());
  } catch (const std::bad_alloc&) {
    throw ElzhException(SLzhNoMemory);
  }
}

std::int32_t TunedExpandBlock(const std::uint8_t* input, std::uint8_t* output, std::int32_t inputLength,
                              std::int32_t outputCapacity) {
  CheckWindow();
  try {
    return lzhuf::ExpandBlock(input, inputLength, output, outputCapacity, CompressorWindowSize, CompressorLookAhead,
                              true);
  } catch (const std::bad_alloc&) {
    throw ElzhException(SLzhNoMemory);
  }
}
