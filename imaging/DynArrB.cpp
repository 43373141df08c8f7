#include "imaging/DynArrB.h"

#include <cstring>

namespace {

std::int64_t CheckedArea(int width, int height) {
  // Negative sizes are refused like any other block that cannot be had.
  if (width < 0 || height < 0) return -1;
  return static_cast<std::int64_t>(width) * height;
}

}  // namespace

TBigByteArray::TBigByteArray(std::int64_t length) : length_(length) {
  std::uint8_t* block = nullptr;
  if (length >= 0 && length <= kMaxBigByteArrayLength) {
    // calloc: zeroed memory that large blocks get lazily from the system.
    block = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(length > 0 ? length : 1), 1));
  }
  if (block == nullptr) RaiseNotEnoughMemory(length);
  block_.reset(block);
}

void RaiseNotEnoughMemory(std::int64_t length) {
  throw ENotEnoughMemory("error in TBigByteArray.create: Not enough contiguous memory available\r\n"
                         " requested memory block: " +
                         IntToStr(length) + " bytes");
}

void TBigByteArray::CheckIndex(std::int64_t index) const {
  if (index < 1 || index > length_) throw EIndexOutOfBounds("Dynamic array index out of bounds");
}

std::uint8_t TBigByteArray::Get(std::int64_t index) const {
  CheckIndex(index);
  return block_.get()[index - 1];
}

void TBigByteArray::Set(std::int64_t index, std::uint8_t value) {
  CheckIndex(index);
  block_.get()[index - 1] = value;
}

TByteArray2D::TByteArray2D(int width, int height)
    : width_(width < 0 ? 0 : width), height_(height < 0 ? 0 : height), cells_(CheckedArea(width, height)) {}

std::int64_t TByteArray2D::Offset(int x, int y) const {
  if (x < 1 || x > width_ || y < 1 || y > height_) throw EIndexOutOfBounds("Dynamic array index out of bounds");
  return static_cast<std::int64_t>(y - 1) * width_ + (x - 1);
}

std::uint8_t TByteArray2D::Get(int x, int y) const { return cells_.Data()[Offset(x, y)]; }

void TByteArray2D::Set(int x, int y, std::uint8_t value) { cells_.Data()[Offset(x, y)] = value; }

std::unique_ptr<TBigByteArray> TByteArray2D::CopyRow(int y) const {
  if (y < 1 || y > height_) throw EIndexOutOfBounds("Dynamic array index out of bounds");
  auto row = std::make_unique<TBigByteArray>(width_);
  if (width_ > 0)
    std::memcpy(row->Data(), cells_.Data() + static_cast<std::int64_t>(y - 1) * width_, static_cast<std::size_t>(width_));
  return row;
}

void TByteArray2D::StoreRow(const TBigByteArray& row, int y) {
  if (row.Length() != width_) throw Exception("Row doesn't have equal number of elements as Matrix row");
  if (height_ == 0) throw EIndexOutOfBounds("Dynamic array index out of bounds");
  if (y < 1 || y > height_) y = height_;
  if (width_ > 0)
    std::memcpy(cells_.Data() + static_cast<std::int64_t>(y - 1) * width_, row.Data(), static_cast<std::size_t>(width_));
}
