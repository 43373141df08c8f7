#include "imaging/GifDecl.h"

#include <algorithm>
#include <cstring>

// ---- TByteBuffer -------------------------------------------------------------------------------

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

}  // namespace

std::int64_t LzwDecode(const std::uint8_t* data, std::int64_t size, int minCodeSize, std::uint8_t* out,
                       std::int64_t count) {
  if (minCodeSize < 2 || minCodeSize > 9) throw EGifException("Bad code Size");
  const std::uint32_t clearCode = 1u << minCodeSize;
  const std::uint32_t endCode = clearCode + 1;
  // Where each table entry's string stands in the output, and its length: an
  // entry is the previous string plus the next one's first pixel, and those
  // lie one after another in the output.
  std::array<std::uint32_t, TCodeTable::kMaxCodes> offsets;
  std::array<std::uint16_t, TCodeTable::kMaxCodes> lengths;

  const std::uint64_t bitLimit = static_cast<std::uint64_t>(size) * 8;
  std::uint64_t bitPos = 0;
  int width = minCodeSize + 1;
  std::uint32_t nextFree = endCode + 1;
  std::uint32_t limit = 1u << width;
  bool full = false;
  bool havePrevious = false;  // false right after a clear code (and at the start)
  std::int64_t previousPos = 0;
  std::uint32_t previousLength = 0;
  std::int64_t pos = 0;

  while (pos < count) {
    if (bitPos + static_cast<std::uint64_t>(width) > bitLimit) break;  // the data ends early
    const std::uint64_t byteIndex = bitPos >> 3;
    std::uint64_t window;
    if (byteIndex + 8 <= static_cast<std::uint64_t>(size)) {
      std::memcpy(&window, data + byteIndex, 8);
    } else {
      window = 0;
      for (std::uint64_t b = byteIndex; b < static_cast<std::uint64_t>(size); ++b)
        window |= static_cast<std::uint64_t>(data[b]) << (8 * (b - byteIndex));
    }
    std::uint32_t code = static_cast<std::uint32_t>((window >> (bitPos & 7)) & ((1u << width) - 1));
    bitPos += static_cast<std::uint64_t>(width);

    if (code == endCode) break;
    if (code == clearCode) {
      width = minCodeSize + 1;
      nextFree = endCode + 1;
      limit = 1u << width;
      full = false;
      havePrevious = false;
      continue;
    }

    std::uint32_t length;
    const std::int64_t room = count - pos;
    if (!havePrevious) {
      // The first code after a clear code is a single pixel.
      if (code >= nextFree) code = 0;
      out[pos] = static_cast<std::uint8_t>(code);
      length = 1;
    } else if (code < clearCode) {
      out[pos] = static_cast<std::uint8_t>(code);
      length = 1;
    } else if (code < nextFree) {
      length = lengths[code];
      const std::uint8_t* src = out + offsets[code];
      if (static_cast<std::int64_t>(length) + 8 <= room) {
        CopyForward(out + pos, src, length);
      } else {
        std::memmove(out + pos, src, static_cast<std::size_t>(std::min<std::int64_t>(length, room)));
      }
    } else if (code == nextFree && !full) {
      // The entry being defined: the previous string and its own first pixel.
      length = previousLength + 1;
      const std::uint8_t* src = out + previousPos;
      const std::uint8_t first = *src;
      if (static_cast<std::int64_t>(length) + 8 <= room) {
        CopyForward(out + pos, src, previousLength);
        out[pos + previousLength] = first;
      } else {
        const std::int64_t n = std::min<std::int64_t>(length, room);
        for (std::int64_t k = 0; k < n; ++k) out[pos + k] = k < previousLength ? src[k] : first;
      }
    } else {
      throw EGifException("Bad code");
    }

    if (havePrevious && !full) {
      offsets[nextFree] = static_cast<std::uint32_t>(previousPos);
      lengths[nextFree] = static_cast<std::uint16_t>(previousLength + 1);
      ++nextFree;
      if (nextFree == limit) {
        if (width < 12) {
          ++width;
          limit <<= 1;
        } else {
          // The table is full: codes are read at 12 bits without new entries
          // until a clear code comes (a deferred clear code is legal).
          full = true;
        }
      }
    }
    havePrevious = true;
    previousPos = pos;
    previousLength = length;
    pos += length;
  }
  // The last copy may have run up to 7 bytes past the last pixel: those
  // pixels are not covered by the data and go back to 0.
  if (pos < count) std::memset(out + pos, 0, static_cast<std::size_t>(std::min<std::int64_t>(8, count - pos)));
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
