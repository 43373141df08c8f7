// Byte arrays of GIF images: a 1-based byte array of a fixed length in one
// heap block, and a width x height byte matrix (rows one after another) built
// on it. Both check every index.
#pragma once

#include "platform/SysUtils.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

class ENotEnoughMemory : public Exception {
 public:
  using Exception::Exception;
};

class EIndexOutOfBounds : public Exception {
 public:
  using Exception::Exception;
};

// The largest block one array may hold. GIF dimensions allow 4 GiB images;
// a file that declares more than this is refused instead of allocated.
constexpr std::int64_t kMaxBigByteArrayLength = std::int64_t{1} << 28;

// Raises ENotEnoughMemory with the text of a block of length bytes that cannot be had.
[[noreturn]] void RaiseNotEnoughMemory(std::int64_t length);

class TBigByteArray {
 public:
  // Raises ENotEnoughMemory when the block cannot be had (or is above the
  // limit); the bytes start at 0.
  explicit TBigByteArray(std::int64_t length);

  std::int64_t Length() const { return length_; }
  // 1-based; raises EIndexOutOfBounds "Dynamic array index out of bounds".
  std::uint8_t Get(std::int64_t index) const;
  void Set(std::int64_t index, std::uint8_t value);

  // The bytes for bulk work (index 1 is Data()[0]).
  std::uint8_t* Data() { return block_.get(); }
  const std::uint8_t* Data() const { return block_.get(); }

 private:
  struct FreeBlock {
    void operator()(std::uint8_t* p) const { std::free(p); }
  };
  void CheckIndex(std::int64_t index) const;

  std::int64_t length_;
  std::unique_ptr<std::uint8_t, FreeBlock> block_;
};

class TByteArray2D {
 public:
  // Raises ENotEnoughMemory when width * height bytes cannot be had.
  TByteArray2D(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }

  // 1-based x and y; raises EIndexOutOfBounds outside the matrix.
  std::uint8_t Get(int x, int y) const;
  void Set(int x, int y, std::uint8_t value);

  // A copy of row y (1-based) as a new array of width bytes.
  std::unique_ptr<TBigByteArray> CopyRow(int y) const;
  // Stores row as row y; a y outside 1..height stores into the last row.
  // Raises Exception "Row doesn't have equal number of elements as Matrix row"
  // when the row's length differs from the width.
  void StoreRow(const TBigByteArray& row, int y);

  // Row-major bytes, row 1 first.
  std::uint8_t* Data() { return cells_.Data(); }
  const std::uint8_t* Data() const { return cells_.Data(); }
  std::int64_t Size() const { return cells_.Length(); }

 private:
  std::int64_t Offset(int x, int y) const;

  int width_;
  int height_;
  TBigByteArray cells_;
};
