#include "imaging/LzHuffman.h"

#include "imaging/utils.h"

#include <algorithm>
#include <array>

const char* const SLzhNoMemory = "LZH : Cannot get memory for dictionary tables";
const char* const SLzhBlockTooShort = "LZH : The compressed block is too short";
const char* const SLzhBlockTooLarge = "LZH : The compressed block is larger than the output buffer";
const char* const SLzhBlockCorrupt = "LZH : The compressed block is corrupt";
const char* const SLzhOutputFull = "LZH : The output buffer is too small";
const char* const SLzhBadWindow = "LZH : Invalid window size or look-ahead";
const char* const SLzhCancelled = "LZH : Cancelled";

namespace lzhuf {

namespace {

constexpr std::uint32_t MaxFreq = 0x8000;

// Code lengths and codes (left-aligned in 8 bits) of the upper 6 bits of a
// match position, as in the published LZHUF tables.
constexpr std::array<std::uint8_t, 64> PositionLength = {
    3, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 7, 7, 7, 7, 7, 7, 7, 7,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};
constexpr std::array<std::uint8_t, 64> PositionCode = {
    0x00, 0x20, 0x30, 0x40, 0x50, 0x58, 0x60, 0x68, 0x70, 0x78, 0x80, 0x88, 0x90, 0x94, 0x98, 0x9C,
    0xA0, 0xA4, 0xA8, 0xAC, 0xB0, 0xB4, 0xB8, 0xBC, 0xC0, 0xC2, 0xC4, 0xC6, 0xC8, 0xCA, 0xCC, 0xCE,
    0xD0, 0xD2, 0xD4, 0xD6, 0xD8, 0xDA, 0xDC, 0xDE, 0xE0, 0xE2, 0xE4, 0xE6, 0xE8, 0xEA, 0xEC, 0xEE,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};

// For decoding: the upper 6 bits and the code length of every 8-bit prefix.
struct TPositionDecodeTables {
  std::array<std::uint8_t, 256> upper{};
  std::array<std::uint8_t, 256> length{};
  constexpr TPositionDecodeTables() {
    for (int v = 0; v < 64; ++v) {
      const int len = PositionLength[v];
      const int first = PositionCode[v];
      const int span = 1 << (8 - len);
      for (int b = first; b < first + span; ++b) {
        upper[b] = static_cast<std::uint8_t>(v);
        length[b] = static_cast<std::uint8_t>(len);
      }
    }
  }
};
constexpr TPositionDecodeTables PositionDecode;

}  // namespace

bool ValidWindow(std::int32_t windowSize, std::int32_t lookAhead) {
  return lookAhead >= Threshold + 1 && lookAhead < windowSize && windowSize <= MaxWindowSize;
}

// ---- Adaptive Huffman tree -----------------------------------------------------------

TAdaptiveHuffman::TAdaptiveHuffman(int lookAhead)
    : nChar_(256 - Threshold + lookAhead), t_(2 * nChar_ - 1), r_(t_ - 1) {
  freq_.assign(t_ + 1, 0);
  prnt_.assign(t_ + nChar_, 0);
  son_.assign(t_, 0);
  for (int i = 0; i < nChar_; ++i) {
    freq_[i] = 1;
    son_[i] = i + t_;
    prnt_[i + t_] = i;
  }
  for (int i = 0, j = nChar_; j <= r_; i += 2, ++j) {
    freq_[j] = freq_[i] + freq_[i + 1];
    son_[j] = i;
    prnt_[i] = prnt_[i + 1] = j;
  }
  freq_[t_] = 0xFFFF;  // sentinel above every real frequency
  prnt_[r_] = 0;
}

void TAdaptiveHuffman::Reconstruct() {
  // Gather the leaves in the first half of the table, halving their counts.
  int j = 0;
  for (int i = 0; i < t_; ++i) {
    if (son_[i] >= t_) {
      freq_[j] = (freq_[i] + 1) / 2;
      son_[j] = son_[i];
      ++j;
    }
  }
  // Join pairs from the smallest, inserting each new node in frequency order.
  for (int i = 0, node = nChar_; node < t_; i += 2, ++node) {
    const std::uint32_t f = freq_[i] + freq_[i + 1];
    freq_[node] = f;
    int k = node - 1;
    while (f < freq_[k]) --k;
    ++k;
    std::move_backward(freq_.begin() + k, freq_.begin() + node, freq_.begin() + node + 1);
    freq_[k] = f;
    std::move_backward(son_.begin() + k, son_.begin() + node, son_.begin() + node + 1);
    son_[k] = i;
  }
  for (int i = 0; i < t_; ++i) {
    const int k = son_[i];
    if (k >= t_) {
      prnt_[k] = i;
    } else {
      prnt_[k] = prnt_[k + 1] = i;
    }
  }
}

void TAdaptiveHuffman::Update(int symbol) {
  if (freq_[r_] == MaxFreq) Reconstruct();
  int c = prnt_[symbol + t_];
  do {
    const std::uint32_t k = ++freq_[c];
    // When the order is disturbed, exchange the node with the last one of
    // smaller frequency. The frequencies are kept in non-decreasing order (the
    // sentinel ends them), so that node is found by binary search.
    if (k > freq_[c + 1]) {
      const int l = static_cast<int>(std::lower_bound(freq_.begin() + c + 2, freq_.end(), k) - freq_.begin()) - 1;
      freq_[c] = freq_[l];
      freq_[l] = k;

      const int i = son_[c];
      prnt_[i] = l;
      if (i < t_) prnt_[i + 1] = l;

      const int j = son_[l];
      son_[l] = i;
      prnt_[j] = c;
      if (j < t_) prnt_[j + 1] = c;
      son_[c] = j;

      c = l;
    }
    c = prnt_[c];
  } while (c != 0);
}

int TAdaptiveHuffman::Decode(TBitReader& bits) {
  int c = son_[r_];
  while (c < t_) {
    c += bits.GetBit();
    c = son_[c];
  }
  c -= t_;
  Update(c);
  return c;
}

void TAdaptiveHuffman::Encode(int symbol, TBitWriter& bits) {
  // Walk from the leaf to the root; the bit of the node nearest the root is
  // sent first. An odd node is the second child of its parent.
  std::uint64_t code = 0;
  int depth = 0;
  int k = prnt_[symbol + t_];
  do {
    code |= static_cast<std::uint64_t>(k & 1) << depth;
    ++depth;
    k = prnt_[k];
  } while (k != r_ && depth < 64);
  if (k != r_) throw ElzhException(SLzhBlockCorrupt);  // cannot happen: frequencies bound the depth
  if (depth > 32) {
    bits.Put(depth - 32, static_cast<std::uint32_t>(code >> 32));
    depth = 32;
  }
  bits.Put(depth, static_cast<std::uint32_t>(code));
  Update(symbol);
}

// ---- Positions ------------------------------------------------------------------------

void EncodePosition(std::uint32_t position, TBitWriter& bits) {
  const std::uint32_t upper = (position >> 6) & 63;
  const int len = PositionLength[upper];
  bits.Put(len, static_cast<std::uint32_t>(PositionCode[upper]) >> (8 - len));
  bits.Put(6, position & 63);
}

std::uint32_t DecodePosition(TBitReader& bits) {
  std::uint32_t i = static_cast<std::uint32_t>(bits.GetByte());
  const std::uint32_t upper = PositionDecode.upper[i];
  // The 8 bits read hold the code and the first 8 - length lower bits.
  for (int j = PositionDecode.length[i] - 2; j > 0; --j) i = (i << 1) | static_cast<std::uint32_t>(bits.GetBit());
  return (upper << 6) | (i & 63);
}

// ---- Blocks -----------------------------------------------------------------------------

std::uint32_t StatedLength(const std::uint8_t* input, std::int64_t inputLength) {
  if (input == nullptr || inputLength < HeaderSize) throw ElzhException(SLzhBlockTooShort);
  return static_cast<std::uint32_t>(input[0]) | (static_cast<std::uint32_t>(input[1]) << 8) |
         (static_cast<std::uint32_t>(input[2]) << 16) | (static_cast<std::uint32_t>(input[3]) << 24);
}

void WriteStatedLength(std::uint8_t* output, std::int64_t capacity, std::uint32_t length) {
  if (output == nullptr || capacity < HeaderSize) throw ElzhException(SLzhOutputFull);
  for (int i = 0; i < 4; ++i) output[i] = static_cast<std::uint8_t>(length >> (8 * i));
}

constexpr std::int64_t kToleratedBitsPastEnd = 64;

std::int32_t ExpandBlock(const std::uint8_t* input, std::int64_t inputLength, std::uint8_t* output,
                         std::int64_t outputCapacity, int windowSize, int lookAhead, bool pollCancel) {
  if (!ValidWindow(windowSize, lookAhead)) throw ElzhException(SLzhBadWindow);
  const std::uint32_t length = StatedLength(input, inputLength);
  if (length > static_cast<std::uint64_t>(std::max<std::int64_t>(outputCapacity, 0)) || length > 0x7FFFFFFFu)
    throw ElzhException(SLzhBlockTooLarge);
  if (length == 0) return 0;

  const int n = windowSize;
  TAdaptiveHuffman huffman(lookAhead);
  std::vector<std::uint8_t> ring(static_cast<std::size_t>(n), 0);
  std::fill(ring.begin(), ring.begin() + (n - lookAhead), ' ');
  int r = n - lookAhead;
  TBitReader bits(input + HeaderSize, inputLength - HeaderSize);

  std::uint32_t count = 0;
  while (count < length) {
    if (pollCancel && CancelFlag != 0) throw ElzhCancelled(SLzhCancelled);
    const int c = huffman.Decode(bits);
    if (c < 256) {
      output[count++] = static_cast<std::uint8_t>(c);
      ring[r] = static_cast<std::uint8_t>(c);
      if (++r == n) r = 0;
    } else {
      const int position = static_cast<int>(DecodePosition(bits));
      // A match reaching past the stated length stops at it, so the output
      // never grows beyond what the block says.
      const std::uint32_t matchLength =
          std::min<std::uint32_t>(static_cast<std::uint32_t>(c - 255 + Threshold), length - count);
      int source = (r - position - 1) % n;
      if (source < 0) source += n;
      for (std::uint32_t k = 0; k < matchLength; ++k) {
        const std::uint8_t b = ring[source];
        if (++source == n) source = 0;
        output[count++] = b;
        ring[r] = b;
        if (++r == n) r = 0;
      }
    }
    // An unflushed last code reads a few zero bits past the end; a block
    // whose bits ran out long before its stated length is corrupt, and must
    // not turn a few bytes of input into a large output of zeros.
    if (bits.BitsPastEnd() > kToleratedBitsPastEnd) throw ElzhException(SLzhBlockCorrupt);
  }
  return static_cast<std::int32_t>(length);
}

}  // namespace lzhuf
