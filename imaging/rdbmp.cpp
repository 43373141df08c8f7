#include "imaging/rdbmp.h"

#include "imaging/JpgImg.h"
#include "imaging/wrbmp.h"
#include "platform/Streams.h"

#include <cstring>

namespace {

std::uint32_t Word(const std::uint8_t* p) { return p[0] | (static_cast<std::uint32_t>(p[1]) << 8); }
std::uint32_t Long(const std::uint8_t* p) { return Word(p) | (Word(p + 2) << 16); }

}  // namespace

void TBmpStreamReader::ReadExactly(void* buffer, std::int64_t count) {
  if (count <= 0) return;
  if (source_.Read(buffer, count) != count) throw EJPEGException(SJpegInputEOF);
}

TBmpStreamReader::TBmpStreamReader(TStream& source) : source_(source) {
  std::uint8_t fileHeader[14];
  ReadExactly(fileHeader, 14);
  if (fileHeader[0] != 'B' || fileHeader[1] != 'M') throw EJPEGException(SJpegBmpNotBmp);
  const std::int64_t dataOffset = Long(fileHeader + 10);

  std::uint8_t info[64];
  ReadExactly(info, 4);
  const std::uint32_t headerSize = Long(info);
  if (headerSize != 12 && headerSize != 40 && headerSize != 64) throw EJPEGException(SJpegBmpBadHeader);
  ReadExactly(info + 4, headerSize - 4);

  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint32_t planes = 0;
  std::uint32_t colorsUsed = 0;
  int entrySize = 0;
  if (headerSize == 12) {
    // OS/2 1.x: 16-bit fields and 3-byte colour-table entries.
    width = Word(info + 4);
    height = Word(info + 6);
    planes = Word(info + 8);
    bits_ = static_cast<int>(Word(info + 10));
    entrySize = 3;
  } else {
    width = static_cast<std::int32_t>(Long(info + 4));
    height = static_cast<std::int32_t>(Long(info + 8));
    planes = Word(info + 12);
    bits_ = static_cast<int>(Word(info + 14));
    const std::uint32_t compression = Long(info + 16);
    const auto xPelsPerMeter = static_cast<std::int32_t>(Long(info + 24));
    const auto yPelsPerMeter = static_cast<std::int32_t>(Long(info + 28));
    colorsUsed = Long(info + 32);
    entrySize = 4;
    if (compression != 0) throw EJPEGException(SJpegBmpCompressed);
    if (xPelsPerMeter > 0 && yPelsPerMeter > 0) {
      densityUnit_ = 2;  // dots per centimetre
      xDensity_ = xPelsPerMeter / 100;
      yDensity_ = yPelsPerMeter / 100;
    }
  }
  if (bits_ != 8 && bits_ != 24) throw EJPEGException(SJpegBmpBadDepth);
  if (planes != 1) throw EJPEGException(SJpegBmpBadPlanes);
  if (width <= 0 || height <= 0) throw EJPEGException(SJpegBmpEmpty);
  if (width * height > kMaxBmpBridgePixels) throw EJPEGException(SJpegImageTooLarge);
  width_ = static_cast<std::int32_t>(width);
  height_ = static_cast<std::int32_t>(height);

  std::int64_t paletteBytes = 0;
  if (bits_ == 8) {
    if (headerSize == 12 || colorsUsed == 0) colorsUsed = 256;
    if (colorsUsed > 256) throw EJPEGException(SJpegBmpColormap);
    paletteBytes = static_cast<std::int64_t>(colorsUsed) * entrySize;
    std::vector<std::uint8_t> table(static_cast<std::size_t>(paletteBytes));
    ReadExactly(table.data(), paletteBytes);
    palette_.assign(256, {0, 0, 0});  // indices past the table read as black
    for (std::uint32_t i = 0; i < colorsUsed; ++i) {
      const std::uint8_t* e = table.data() + static_cast<std::size_t>(i) * entrySize;
      palette_[i] = {e[2], e[1], e[0]};
    }
  }
  const std::int64_t padding = dataOffset - (14 + headerSize + paletteBytes);
  if (padding < 0) throw EJPEGException(SJpegBmpBadHeader);
  if (padding > source_.Remaining()) throw EJPEGException(SJpegInputEOF);
  source_.Seek(padding, TSeekOrigin::soCurrent);

  rowBytes_ = (width * (bits_ / 8) + 3) & ~std::int64_t{3};
  // Checked against what remains before anything of that size is allocated.
  if (rowBytes_ * height > source_.Remaining()) throw EJPEGException(SJpegInputEOF);
  rows_.resize(static_cast<std::size_t>(rowBytes_ * height));
  ReadExactly(rows_.data(), rowBytes_ * height);
}

bool TBmpStreamReader::GetPixelRow(std::uint8_t* rgb) {
  if (nextRow_ >= height_) return false;
  // The file stores the bottom row first.
  const std::uint8_t* row = rows_.data() + static_cast<std::int64_t>(height_ - 1 - nextRow_) * rowBytes_;
  ++nextRow_;
  if (bits_ == 8) {
    for (std::int32_t x = 0; x < width_; ++x) {
      const auto& c = palette_[row[x]];
      rgb[3 * x] = c[0];
      rgb[3 * x + 1] = c[1];
      rgb[3 * x + 2] = c[2];
    }
  } else {
    for (std::int32_t x = 0; x < width_; ++x) {
      rgb[3 * x] = row[3 * x + 2];
      rgb[3 * x + 1] = row[3 * x + 1];
      rgb[3 * x + 2] = row[3 * x];
    }
  }
  return true;
}
