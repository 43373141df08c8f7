#include "imaging/GifDecl.h"

#include <algorithm>
#include <cstring>

// ---- TByteBuffer -------------------------------------------------------------------------------

namespace {

// Room for more items; the capacity at least doubles, so that data appended
// piece by piece is copied a bounded number of times.
template <typename T>
void GrowFor(std::vector<T>& items, std::size_t more) {
  const std::size_t needed = items.size() + more;
  if (needed > items.capacity()) items.reserve(std::max(needed, 2 * items.capacity()));
}

}  // namespace

void TByteBuffer::AddByte(std::uint8_t value) {
  if (currentLength_ == 255) Close();
  bytes_.push_back(value);
  ++currentLength_;
}

void TByteBuffer::Close() {
  if (currentLength_ == 0) return;  // an empty sub-block would end the data early
  blockLengths_.push_back(static_cast<std::uint8_t>(currentLength_));
  currentLength_ = 0;
}

void TByteBuffer::AddBlock(const std::uint8_t* data, int length) {
  Close();
  if (length <= 0) return;
  length = std::min(length, 255);
  bytes_.insert(bytes_.end(), data, data + length);
  blockLengths_.push_back(static_cast<std::uint8_t>(length));
}

std::size_t TByteBuffer::AddSubBlocks(const std::uint8_t* raw, std::size_t size, bool& terminated) {
  Close();
  terminated = false;
  // First the lengths alone, so that the data goes over in one copy into
  // memory reserved once.
  std::size_t taken = 0;
  std::size_t dataBytes = 0;
  std::size_t blocks = 0;
  while (taken < size) {
    const std::size_t length = raw[taken];
    if (length == 0) {
      terminated = true;
      break;
    }
    if (length >= size - taken) break;  // the block does not stand whole in raw
    taken += 1 + length;
    dataBytes += length;
    ++blocks;
  }
  GrowFor(bytes_, dataBytes);
  GrowFor(blockLengths_, blocks);
  for (std::size_t from = 0; from < taken;) {
    const std::uint8_t length = raw[from];
    bytes_.insert(bytes_.end(), raw + from + 1, raw + from + 1 + length);
    blockLengths_.push_back(length);
    from += 1 + std::size_t{length};
  }
  return terminated ? taken + 1 : taken;
}

void TByteBuffer::Assign(std::vector<std::uint8_t> bytes) {
  bytes_ = std::move(bytes);
  blockLengths_.assign(bytes_.size() / 255, 255);
  if (bytes_.size() % 255 != 0) blockLengths_.push_back(static_cast<std::uint8_t>(bytes_.size() % 255));
  currentLength_ = 0;
}

std::vector<std::uint8_t> TByteBuffer::ReleaseStorage() {
  std::vector<std::uint8_t> storage = std::move(bytes_);
  storage.clear();
  Clear();
  return storage;
}

void TByteBuffer::Clear() {
  bytes_.clear();
  blockLengths_.clear();
  currentLength_ = 0;
}

// ---- TCodeTable -------------------------------------------------------------------------------

TCodeTable::TCodeTable() : slots_(kSlotCount, kEmpty), recent_(kMaxCodes, 0) {}

void TCodeTable::Reset(int width) {
  std::fill(slots_.begin(), slots_.end(), kEmpty);
  std::fill(recent_.begin(), recent_.end(), 0);
  width_ = width;
  firstFree_ = (1 << (width - 1)) + 2;
  nextFree_ = firstFree_;
  full_ = false;
}

// ---- TEncodedBytes ------------------------------------------------------------------------------

void TEncodedBytes::Finish(std::uint32_t endCode, int width, TByteBuffer& target) {
  Put(endCode, width);
  while (bitCount_ > 0) {
    if (size_ + 1 > bytes_.size()) bytes_.resize(bytes_.size() * 2);
    bytes_[size_++] = static_cast<std::uint8_t>(accumulator_);
    accumulator_ >>= 8;
    bitCount_ -= 8;
  }
  bitCount_ = 0;
  bytes_.resize(size_);
  target.Assign(std::move(bytes_));
  bytes_ = {};
  size_ = 0;
}

// ---- Encoder ------------------------------------------------------------------------------------

void LzwEncode(const std::uint8_t* pixels, std::int64_t count, int minCodeSize, TByteBuffer& target) {
  const std::uint32_t clearCode = 1u << minCodeSize;
  const std::uint32_t endCode = clearCode + 1;
  const std::uint8_t mask = static_cast<std::uint8_t>(clearCode - 1);
  TCodeTable table;
  table.Reset(minCodeSize + 1);
  TEncodedBytes bits;
  // Roughly what LZW leaves of typical pictures, in the memory the target
  // held before (coding again needs no new memory); grows when needed.
  bits.Start(target.ReleaseStorage(), static_cast<std::size_t>(count / 2 + 64));
  bits.Put(clearCode, table.Width());
  if (count > 0) {
    int previous = pixels[0] & mask;
    bits.Put(static_cast<std::uint32_t>(previous), table.Width());
    std::int64_t i = 1;
    // Where the pair missed last would go: the next string's first entry is
    // exactly that pair.
    bool haveSlot = false;
    std::uint32_t slot = 0;
    while (i < count) {
      // A new string starts with the next pixel; the pair (previous string,
      // that pixel) becomes the next entry.
      int current = pixels[i++] & mask;
      if (haveSlot) {
        table.AddAt(slot, previous, current);
      } else {
        table.Add(previous, current);
      }
      haveSlot = false;
      while (i < count) {
        const int hit = table.FindSlot(current, pixels[i] & mask, slot);
        if (hit < 0) {
          haveSlot = true;
          break;
        }
        current = hit;
        ++i;
      }
      bits.Put(static_cast<std::uint32_t>(current), table.Width());
      previous = current;
      if (table.Full() && i < count) {
        bits.Put(clearCode, table.Width());
        table.Reset(minCodeSize + 1);
        haveSlot = false;
        previous = pixels[i++] & mask;
        bits.Put(static_cast<std::uint32_t>(previous), table.Width());
      }
    }
  }
  bits.Finish(endCode, table.Width(), target);
}

// ---- Decoder ---------------------------------------------------------------------------------------

namespace {

// Copies length bytes from an earlier place of the output in 8-byte steps.
// The destination starts at or after the end of the source, so the steps that
// run past the source's end only write bytes that later codes overwrite; the
// caller guarantees 8 bytes of room past the destination's end.
inline void CopyForward(std::uint8_t* dst, const std::uint8_t* src, std::uint32_t length) {
  std::uint32_t done = 0;
  do {
    std::uint64_t chunk;
    std::memcpy(&chunk, src + done, 8);
    std::memcpy(dst + done, &chunk, 8);
    done += 8;
  } while (done < length);
}

// The strings of the root codes: one pixel each, the code's low byte (a
// minimum code size of 9 has 512 root codes), with room for 8-byte copies.
constexpr std::array<std::uint8_t, 512 + 8> kRootStrings = [] {
  std::array<std::uint8_t, 512 + 8> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i & 0xFF);
  return bytes;
}();

// Codes least significant bit first, across the whole data.
class TCodeReader {
 public:
  TCodeReader(const std::uint8_t* data, std::int64_t size)
      : data_(data),
        size_(static_cast<std::uint64_t>(size)),
        bitLimit_(static_cast<std::uint64_t>(size) * 8),
        wholeWindowsEnd_(size >= 8 ? (static_cast<std::uint64_t>(size) - 8) * 8 + 1 : 0) {}

  // The next code of width bits; false when the data ends before it.
  bool Next(int width, std::uint32_t& code) {
    const std::uint64_t byteIndex = bitPos_ >> 3;
    std::uint64_t window;
    if (bitPos_ < wholeWindowsEnd_) {
      // 8 bytes stand from here on, more than any code needs.
      std::memcpy(&window, data_ + byteIndex, 8);
    } else {
      if (bitPos_ + static_cast<std::uint64_t>(width) > bitLimit_) return false;
      window = 0;
      for (std::uint64_t b = byteIndex; b < size_; ++b)
        window |= static_cast<std::uint64_t>(data_[b]) << (8 * (b - byteIndex));
    }
    code = static_cast<std::uint32_t>((window >> (bitPos_ & 7)) & ((1u << width) - 1));
    bitPos_ += static_cast<std::uint64_t>(width);
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::uint64_t size_;
  std::uint64_t bitLimit_;
  std::uint64_t wholeWindowsEnd_;  // below this bit position 8 bytes follow the code's first byte
  std::uint64_t bitPos_ = 0;
};

}  // namespace

std::int64_t LzwDecode(const std::uint8_t* data, std::int64_t size, int minCodeSize, std::uint8_t* out,
                       std::int64_t count) {
  if (minCodeSize < 2 || minCodeSize > 9) throw EGifException("Bad code Size");
  const std::uint32_t clearCode = 1u << minCodeSize;
  const std::uint32_t endCode = clearCode + 1;
  // Where each code's string stands, and its length. A root code's string is
  // its pixel in kRootStrings; a table entry is the previous string plus the
  // next one's first pixel, and those lie one after another in the output.
  // Roots and entries are copied alike: on pictures of little repetition the
  // two kinds alternate at random, and telling them apart costs a mispredicted
  // branch per code.
  std::array<const std::uint8_t*, TCodeTable::kMaxCodes> strings;
  std::array<std::uint16_t, TCodeTable::kMaxCodes> lengths;
  for (std::uint32_t c = 0; c < clearCode; ++c) {
    strings[c] = kRootStrings.data() + c;
    lengths[c] = 1;
  }

  TCodeReader codes(data, size);
  std::int64_t pos = 0;
  std::uint32_t code = 0;
  while (pos < count) {
    // At the start and after a clear code: an empty table, and a first code
    // that stands for a single pixel.
    int width = minCodeSize + 1;
    std::uint32_t nextFree = endCode + 1;
    std::uint32_t limit = 1u << width;
    bool full = false;
    do {
      if (!codes.Next(width, code)) goto finished;  // the data ends early
    } while (code == clearCode);
    if (code == endCode) break;
    if (code >= nextFree) code = 0;
    out[pos] = static_cast<std::uint8_t>(code);
    const std::uint8_t* previous = out + pos;
    std::uint32_t previousLength = 1;
    ++pos;

    // Each code that follows adds an entry until the table is full.
    while (pos < count) {
      if (!codes.Next(width, code)) goto finished;
      if ((code & ~1u) == clearCode) {
        if (code == endCode) goto finished;
        break;
      }
      std::uint32_t length;
      const std::int64_t room = count - pos;
      if (code < nextFree) {
        length = lengths[code];
        const std::uint8_t* src = strings[code];
        if (static_cast<std::int64_t>(length) + 8 <= room) {
          CopyForward(out + pos, src, length);
        } else {
          std::memmove(out + pos, src, static_cast<std::size_t>(std::min<std::int64_t>(length, room)));
        }
      } else if (code == nextFree && !full) {
        // The entry being defined: the previous string and its own first pixel.
        length = previousLength + 1;
        const std::uint8_t first = *previous;
        if (static_cast<std::int64_t>(length) + 8 <= room) {
          CopyForward(out + pos, previous, previousLength);
          out[pos + previousLength] = first;
        } else {
          const std::int64_t n = std::min<std::int64_t>(length, room);
          for (std::int64_t k = 0; k < n; ++k) out[pos + k] = k < previousLength ? previous[k] : first;
        }
      } else {
        throw EGifException("Bad code");
      }
      if (!full) {
        strings[nextFree] = previous;
        lengths[nextFree] = static_cast<std::uint16_t>(previousLength + 1);
        ++nextFree;
        if (nextFree == limit) {
          if (width < 12) {
            ++width;
            limit <<= 1;
          } else {
            // The table is full: codes are read at 12 bits without new
            // entries until a clear code comes (a deferred clear code is legal).
            full = true;
          }
        }
      }
      previous = out + pos;
      previousLength = length;
      pos += length;
    }
  }
finished:
  // Pixels that the data does not reach are 0 (the last copy may also have
  // run up to 7 bytes past the last pixel).
  if (pos < count) std::memset(out + pos, 0, static_cast<std::size_t>(count - pos));
  return std::min(pos, count);
}

// ---- Interlaced rows ---------------------------------------------------------------------------

std::vector<int> InterlacedRowOrder(int height) {
  std::vector<int> rows;
  if (height <= 0) return rows;
  rows.reserve(static_cast<std::size_t>(height));
  constexpr int kStart[4] = {0, 4, 2, 1};
  constexpr int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int row = kStart[pass]; row < height; row += kStep[pass]) rows.push_back(row);
  return rows;
}

// ---- Extensions ---------------------------------------------------------------------------------

TExtension::TExtension(TExtensionKind kind) : kind_(kind), fixed_(static_cast<std::size_t>(FixedLength(kind)), 0) {
  if (kind == ekGraphicControl) fixed_[0] = 4;
  if (kind == ekPlainText) fixed_[0] = 12;
  if (kind == ekApplication) fixed_[0] = 11;
}

std::uint8_t TExtension::Label() const {
  switch (kind_) {
    case ekGraphicControl: return 0xF9;
    case ekPlainText: return 0x01;
    case ekApplication: return 0xFF;
    default: return 0xFE;
  }
}

int TExtension::FixedLength(TExtensionKind kind) {
  switch (kind) {
    case ekGraphicControl: return 6;
    case ekPlainText: return 13;
    case ekApplication: return 12;
    default: return 0;
  }
}

bool TExtension::KindOfLabel(std::uint8_t label, TExtensionKind& kind) {
  switch (label) {
    case 0x01: kind = ekPlainText; return true;
    case 0xF9: kind = ekGraphicControl; return true;
    case 0xFE: kind = ekComment; return true;
    case 0xFF: kind = ekApplication; return true;
    default: return false;
  }
}
