// The parts the two block coders share: the block header, the adaptive
// Huffman model of literals and match lengths, the fixed prefix code of match
// positions, bit input and output, and the expander. A block is the
// uncompressed length as 4 little-endian bytes followed by the coded bits,
// most significant bit first, the last byte padded with zero bits.
#pragma once

#include "platform/SysUtils.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// Failures of the block coders.
class ElzhException : public Exception {
 public:
  using Exception::Exception;
};

// A tunable coder run stopped by the program-wide cancel flag.
class ElzhCancelled : public ElzhException {
 public:
  using ElzhException::ElzhException;
};

extern const char* const SLzhNoMemory;         // "LZH : Cannot get memory for dictionary tables"
extern const char* const SLzhBlockTooShort;    // the block has no complete length header
extern const char* const SLzhBlockTooLarge;    // the stated length exceeds the output capacity
extern const char* const SLzhBlockCorrupt;     // the code tree is inconsistent, or the bits ran out
extern const char* const SLzhOutputFull;       // the compressed block does not fit the output
extern const char* const SLzhBadWindow;        // window size or look-ahead out of range
extern const char* const SLzhCancelled;        // a tunable run was cancelled

namespace lzhuf {

// Matches shorter than Threshold + 1 bytes are coded as literals.
constexpr int Threshold = 2;
// The largest window: a position must fit in 12 bits.
constexpr int MaxWindowSize = 4096;
// The bytes of the block header.
constexpr int HeaderSize = 4;

// True when 3 <= lookAhead < windowSize <= 4096.
bool ValidWindow(std::int32_t windowSize, std::int32_t lookAhead);

// Writes bits most significant first into a caller's buffer of fixed capacity.
class TBitWriter {
 public:
  TBitWriter(std::uint8_t* output, std::int64_t capacity, std::int64_t position)
      : output_(output), capacity_(capacity), position_(position) {}
  // Appends the low count bits of code (count <= 32).
  void Put(int count, std::uint32_t code) {
    pending_ = (pending_ << count) | (code & ((count == 32) ? 0xFFFFFFFFu : ((1u << count) - 1)));
    pendingBits_ += count;
    while (pendingBits_ >= 8) {
      pendingBits_ -= 8;
      EmitByte(static_cast<std::uint8_t>(pending_ >> pendingBits_));
    }
  }
  // Pads the last partial byte with zero bits and writes it.
  void Flush() {
    if (pendingBits_ > 0) EmitByte(static_cast<std::uint8_t>(pending_ << (8 - pendingBits_)));
    pendingBits_ = 0;
  }
  std::int64_t Position() const { return position_; }

 private:
  void EmitByte(std::uint8_t b) {
    if (position_ >= capacity_) throw ElzhException(SLzhOutputFull);
    output_[position_++] = b;
  }
  std::uint8_t* output_;
  std::int64_t capacity_;
  std::int64_t position_;
  std::uint64_t pending_ = 0;
  int pendingBits_ = 0;
};

// Reads bits most significant first; bits past the end read as 0 and are
// counted, so that the caller can tell a truncated block.
class TBitReader {
 public:
  TBitReader(const std::uint8_t* input, std::int64_t size) : input_(input), size_(size) {}
  int GetBit() {
    if (bufferBits_ == 0) Refill();
    --bufferBits_;
    ++consumed_;
    return static_cast<int>((buffer_ >> bufferBits_) & 1u);
  }
  int GetByte() {
    int value = 0;
    for (int i = 0; i < 8; ++i) value = (value << 1) | GetBit();
    return value;
  }
  // How many more bits were taken than the input holds.
  std::int64_t BitsPastEnd() const { return std::max<std::int64_t>(0, consumed_ - 8 * size_); }

 private:
  void Refill() {
    // Loads up to 7 bytes; past the end, zero bytes.
    buffer_ = 0;
    for (int i = 0; i < 7; ++i) {
      const std::uint8_t b = (next_ < size_) ? input_[next_] : 0;
      ++next_;
      buffer_ = (buffer_ << 8) | b;
    }
    bufferBits_ = 56;
  }
  const std::uint8_t* input_;
  std::int64_t size_;
  std::int64_t next_ = 0;
  std::uint64_t buffer_ = 0;
  int bufferBits_ = 0;
  std::int64_t consumed_ = 0;
};

// The adaptive Huffman tree of the LZHUF scheme over 256 - 2 + F symbols:
// 0..255 literals, k + 253 a match of k bytes. Every leaf starts at frequency
// 1; the tree is rebuilt with halved frequencies when the root reaches $8000.
// Encoder and decoder must update it identically, so the node order follows
// the published algorithm exactly.
class TAdaptiveHuffman {
 public:
  explicit TAdaptiveHuffman(int lookAhead);
  int SymbolCount() const { return nChar_; }
  int Decode(TBitReader& bits);
  void Encode(int symbol, TBitWriter& bits);

 private:
  void Update(int symbol);
  void Reconstruct();

  int nChar_;  // symbols
  int t_;      // nodes
  int r_;      // the root
  std::vector<std::uint32_t> freq_;  // t_ + 1 entries, the last a sentinel
  std::vector<std::int32_t> prnt_;   // parents; entries t_.. map symbols to leaves
  std::vector<std::int32_t> son_;    // first child (the second is son + 1); >= t_ marks a leaf
};

// The match position p (distance - 1, 0..4095): its upper 6 bits through the
// fixed prefix table, its lower 6 bits as they are.
void EncodePosition(std::uint32_t position, TBitWriter& bits);
std::uint32_t DecodePosition(TBitReader& bits);

// The uncompressed length a block states; raises when the header is incomplete.
std::uint32_t StatedLength(const std::uint8_t* input, std::int64_t inputLength);
void WriteStatedLength(std::uint8_t* output, std::int64_t capacity, std::uint32_t length);

// Expands a block coded with window size N and look-ahead F into output.
// Raises ElzhException when the stated length exceeds outputCapacity or the
// coded bits end before it, and ElzhCancelled when pollCancel is set and the
// program-wide cancel flag goes up. Returns the bytes written.
std::int32_t ExpandBlock(const std::uint8_t* input, std::int64_t inputLength, std::uint8_t* output,
                         std::int64_t outputCapacity, int windowSize, int lookAhead, bool pollCancel);

}  // namespace lzhuf
