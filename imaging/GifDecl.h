// Helper classes of the GIF codec: the format exception, the LZW data of a
// frame (TByteBuffer), the encoder's string table (TCodeTable), the bit packer
// (TEncodedBytes), extension blocks, the interlaced row order and the LZW
// encoder and decoder themselves.
#pragma once

#include "platform/SysUtils.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class EGifException : public Exception {
 public:
  using Exception::Exception;
};

// ---- LZW data of one frame ---------------------------------------------------------

// Bytes held as the file's data sub-blocks (at most 255 bytes each), kept in
// one block of memory with the sub-block lengths beside it.
class TByteBuffer {
 public:
  // Appends a byte; a full current sub-block of 255 bytes is closed first.
  void AddByte(std::uint8_t value);
  // Closes the current sub-block.
  void Close();
  // Appends a sub-block as it was read (1..255 bytes; empty blocks are ignored).
  void AddBlock(const std::uint8_t* data, int length);
  // Appends the sub-blocks that stand whole at the start of raw (each a
  // length byte and that many bytes) in one copy. Stops after a length of 0,
  // the terminator (terminated is then set), or before a block that raw does
  // not hold whole. Returns the bytes of raw taken, the terminator included.
  std::size_t AddSubBlocks(const std::uint8_t* raw, std::size_t size, bool& terminated);
  // Replaces the content by bytes split into sub-blocks of 255 (the last
  // one shorter), as AddByte and Close would leave them.
  void Assign(std::vector<std::uint8_t> bytes);
  void Clear();
  // Hands the byte storage over, emptied but with its capacity, for coding
  // new data into the same memory.
  std::vector<std::uint8_t> ReleaseStorage();

  // All bytes appended (0: the frame has not been encoded).
  std::int64_t Count() const { return static_cast<std::int64_t>(bytes_.size()); }
  // Closed sub-blocks.
  int SubBlockCount() const { return static_cast<int>(blockLengths_.size()); }
  int SubBlockLength(int index) const { return blockLengths_.at(static_cast<std::size_t>(index)); }
  // The data bytes of every sub-block, one after another.
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::vector<std::uint8_t> blockLengths_;
  int currentLength_ = 0;  // bytes of the open sub-block
};

// ---- Encoder's string table -------------------------------------------------------------

// Codes from the first free code on are (prefix code, suffix pixel) pairs.
// Lookups go through a hash of the pairs; since LZW never adds a pair twice,
// the result is the one entry a scan of the table would find.
class TCodeTable {
 public:
  static constexpr int kMaxCodes = 4096;

  TCodeTable();
  // All entries gone; width w; first and next free code = 2^(w-1) + 2.
  void Reset(int width);
  // Stores (prefix, suffix) at the next free code. The table is full when the
  // next free code reaches 4096; otherwise the width grows when the next free
  // code exceeds 2^width.
  void Add(int prefix, int suffix) {
    std::uint32_t slot;
    if (FindSlot(prefix, suffix, slot) < 0) AddAt(slot, prefix, suffix);
  }
  // The code of (prefix, suffix), or -1.
  int Find(int prefix, int suffix) {
    std::uint32_t slot;
    return FindSlot(prefix, suffix, slot);
  }
  // Find that also tells where a missing pair would go, so that the encoder
  // can add the pair it just missed without searching again.
  int FindSlot(int prefix, int suffix, std::uint32_t& slot) {
    // Pictures repeat themselves: the pair last seen with this prefix is
    // the likely one, and one load finds it.
    const std::uint32_t tag = Tag(suffix);
    const std::uint32_t recent = recent_[static_cast<std::size_t>(prefix)];
    if ((recent >> 12) == tag) return static_cast<int>(recent & 0xFFF);
    const std::uint32_t key = Key(prefix, suffix);
    slot = Hash(key);
    for (;;) {
      const std::uint32_t entry = slots_[slot];
      // A hit is the likely case; the second test keeps the empty marker
      // from passing for the pair (4095, 255).
      if ((entry >> 12) == key && entry != kEmpty) {
        recent_[static_cast<std::size_t>(prefix)] = (tag << 12) | (entry & 0xFFF);
        return static_cast<int>(entry & 0xFFF);
      }
      if (entry == kEmpty) return -1;
      slot = (slot + 1) & kSlotMask;
    }
  }
  // Adds a pair at the slot FindSlot gave for it (with no add in between).
  void AddAt(std::uint32_t slot, int prefix, int suffix) {
    const auto code = static_cast<std::uint32_t>(nextFree_);
    slots_[slot] = (Key(prefix, suffix) << 12) | code;
    recent_[static_cast<std::size_t>(prefix)] = (Tag(suffix) << 12) | code;
    ++nextFree_;
    if (nextFree_ >= kMaxCodes) {
      full_ = true;
    } else if (nextFree_ > (1 << width_)) {
      ++width_;
    }
  }

  int Width() const { return width_; }
  bool Full() const { return full_; }
  int FirstFree() const { return firstFree_; }
  int NextFree() const { return nextFree_; }

 private:
  // 2 x the codes, so probes stay short.
  static constexpr std::uint32_t kSlotCount = 16384;
  static constexpr std::uint32_t kSlotMask = kSlotCount - 1;
  // A code never has itself as prefix, so no entry packs to all ones.
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

  // A suffix with a marker bit, so that a cleared entry (0) never matches.
  static std::uint32_t Tag(int suffix) { return 0x100u | static_cast<std::uint32_t>(suffix & 0xFF); }
  static std::uint32_t Key(int prefix, int suffix) {
    return (static_cast<std::uint32_t>(prefix) << 8) | static_cast<std::uint32_t>(suffix & 0xFF);
  }
  // Multiplicative hashing: codes are consecutive, and a plainer hash would
  // pile them up in runs that linear probing walks through.
  static std::uint32_t Hash(std::uint32_t key) { return (key * 2654435761u) >> (32 - 14); }

  std::vector<std::uint32_t> slots_;
  // Per prefix code: tag and code of the pair last added or found.
  std::vector<std::uint32_t> recent_;
  int width_ = 0;
  bool full_ = false;
  int firstFree_ = 0;
  int nextFree_ = 0;
};

// ---- Bit packer ------------------------------------------------------------------------------

// Packs codes least significant bit first into bytes.
class TEncodedBytes {
 public:
  // Codes into storage (emptied), with room for about this many bytes.
  void Start(std::vector<std::uint8_t> storage, std::size_t bytes) {
    bytes_ = std::move(storage);
    bytes_.resize(std::max<std::size_t>(bytes, 16));
    size_ = 0;
  }
  void Put(std::uint32_t code, int width) {
    accumulator_ |= static_cast<std::uint64_t>(code) << bitCount_;
    bitCount_ += width;
    if (bitCount_ >= 32) {
      if (size_ + 4 > bytes_.size()) bytes_.resize(bytes_.size() * 2);
      // Four whole bytes, low byte first.
      const auto low = static_cast<std::uint32_t>(accumulator_);
      std::memcpy(bytes_.data() + size_, &low, 4);
      size_ += 4;
      accumulator_ >>= 32;
      bitCount_ -= 32;
    }
  }
  // Puts the end code, appends the bits that remain (one byte more for a
  // partial byte) and hands the bytes over as sub-blocks.
  void Finish(std::uint32_t endCode, int width, TByteBuffer& target);

 private:
  std::uint64_t accumulator_ = 0;
  int bitCount_ = 0;
  std::vector<std::uint8_t> bytes_;  // the first size_ are coded
  std::size_t size_ = 0;
};

// ---- LZW coder -----------------------------------------------------------------------------------

// Encodes count pixels with the minimum code size m (2..8): the clear code,
// the codes, the end code. Pixel values are taken modulo 2^m so that every
// pixel stays a valid root code.
void LzwEncode(const std::uint8_t* pixels, std::int64_t count, int minCodeSize, TByteBuffer& target);

// Decodes the LZW data into out (count pixels, in the order of the data).
// Raises EGifException "Bad code Size" for a minimum code size outside 2..9
// and "Bad code" for a code beyond the next free one. Pixels that data ending
// early does not reach are set to 0; pixels past count are discarded.
// Returns the number of pixels decoded.
std::int64_t LzwDecode(const std::uint8_t* data, std::int64_t size, int minCodeSize, std::uint8_t* out,
                       std::int64_t count);

// The rows (0-based) in the order an interlaced image stores them: every 8th
// from 0, every 8th from 4, every 4th from 2, every 2nd from 1; a pass whose
// start row is at or past the height is skipped.
std::vector<int> InterlacedRowOrder(int height);

// ---- Extension blocks -----------------------------------------------------------------------

enum TExtensionKind : std::uint8_t {
  ekGraphicControl = 0,
  ekPlainText = 1,
  ekApplication = 2,
  ekComment = 3,
};

// One extension block: its kind, the fixed part as it stands in the file and,
// for plain text, application and comment blocks, the data sub-blocks.
class TExtension {
 public:
  explicit TExtension(TExtensionKind kind);

  TExtensionKind Kind() const { return kind_; }
  // $F9, $01, $FF or $FE.
  std::uint8_t Label() const;
  // Length of the fixed part kept for the kind: 6, 13, 12 or 0.
  static int FixedLength(TExtensionKind kind);
  // The kind of a file label; false for an unknown label.
  static bool KindOfLabel(std::uint8_t label, TExtensionKind& kind);

  std::vector<std::uint8_t>& Fixed() { return fixed_; }
  const std::vector<std::uint8_t>& Fixed() const { return fixed_; }
  std::vector<std::string>& Strings() { return strings_; }
  const std::vector<std::string>& Strings() const { return strings_; }

  // Graphic control fields (kind 0).
  std::uint8_t Packed() const { return fixed_[1]; }
  void SetPacked(std::uint8_t value) { fixed_[1] = value; }
  std::uint16_t Delay() const { return static_cast<std::uint16_t>(fixed_[2] | (fixed_[3] << 8)); }
  void SetDelay(std::uint16_t delay) {
    fixed_[2] = static_cast<std::uint8_t>(delay & 0xFF);
    fixed_[3] = static_cast<std::uint8_t>(delay >> 8);
  }
  std::uint8_t TransparentIndex() const { return fixed_[4]; }
  void SetTransparentIndex(std::uint8_t index) { fixed_[4] = index; }

 private:
  TExtensionKind kind_;
  std::vector<std::uint8_t> fixed_;
  std::vector<std::string> strings_;
};

// The extension blocks that precede a frame, owned.
using TExtensionList = std::vector<std::unique_ptr<TExtension>>;
