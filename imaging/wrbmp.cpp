#include "imaging/wrbmp.h"

#include "imaging/JpgImg.h"
#include "platform/Streams.h"

#include <cstring>

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

void PutWord(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutLong(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutWord(out, v & 0xFFFF);
  PutWord(out, v >> 16);
}

}  // namespace

TBmpStreamWriter::TBmpStreamWriter(TStream& target, const TBmpOutputInfo& info) : target_(target), info_(info) {
  using Space = TBmpOutputInfo::TColorSpace;
  if (info_.colorSpace != Space::Grayscale && info_.colorSpace != Space::RGB)
    throw EJPEGException(SJpegBmpColorSpace);
  if (info_.colorMapped || info_.colorSpace == Space::Grayscale) {
    bitsPerPixel_ = 8;
    paletteEntries_ = 256;
    if (info_.colorMap.size() > 256)
      throw EJPEGException(FormatStr(SJpegBmpColormapSize, static_cast<int>(info_.colorMap.size())));
  } else {
    bitsPerPixel_ = 24;
    paletteEntries_ = 0;
  }
  const int expectedComponents = bitsPerPixel_ == 8 ? 1 : 3;
  if (info_.components != expectedComponents) throw EJPEGException(SJpegBmpColorSpace);
  const std::int64_t pixels = static_cast<std::int64_t>(info_.width) * info_.height;
  if (info_.width <= 0 || info_.height <= 0 || pixels > kMaxBmpBridgePixels) throw EJPEGException(SJpegImageTooLarge);
  rowBytes_ = (static_cast<std::int64_t>(info_.width) * info_.components + 3) & ~std::int64_t{3};
  fileSize_ = kFileHeaderSize + kInfoHeaderSize + 4 * paletteEntries_ + rowBytes_ * info_.height;
}

void TBmpStreamWriter::PutPixelRows(const std::uint8_t* const* rows, int count) {
  const std::int64_t samples = static_cast<std::int64_t>(info_.width) * info_.components;
  for (int i = 0; i < count && rowsTaken_ < info_.height; ++i, ++rowsTaken_) {
    if (rowsTaken_ % kBlockRows == 0) blocks_.emplace_back(static_cast<std::size_t>(rowBytes_ * kBlockRows), 0);
    std::uint8_t* out = blocks_.back().data() + (rowsTaken_ % kBlockRows) * rowBytes_;
    const std::uint8_t* in = rows[i];
    if (bitsPerPixel_ == 24) {
      // Stored blue, green, red.
      for (std::int64_t x = 0; x < samples; x += 3) {
        out[x] = in[x + 2];
        out[x + 1] = in[x + 1];
        out[x + 2] = in[x];
      }
    } else {
      std::memcpy(out, in, static_cast<std::size_t>(samples));
    }
  }
}

void TBmpStreamWriter::WriteHeaders(std::vector<std::uint8_t>& out) const {
  const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize + 4 * paletteEntries_;
  out.push_back('B');
  out.push_back('M');
  PutLong(out, static_cast<std::uint32_t>(fileSize_));
  PutLong(out, 0);  // reserved
  PutLong(out, offset);
  const bool perCentimetre = info_.densityUnit == 2;
  PutLong(out, kInfoHeaderSize);
  PutLong(out, static_cast<std::uint32_t>(info_.width));
  PutLong(out, static_cast<std::uint32_t>(info_.height));
  PutWord(out, 1);  // planes
  PutWord(out, static_cast<std::uint32_t>(bitsPerPixel_));
  PutLong(out, 0);  // compression
  PutLong(out, 0);  // image size
  PutLong(out, perCentimetre ? static_cast<std::uint32_t>(info_.xDensity * 100) : 0);
  PutLong(out, perCentimetre ? static_cast<std::uint32_t>(info_.yDensity * 100) : 0);
  PutLong(out, static_cast<std::uint32_t>(paletteEntries_));
  PutLong(out, 0);  // important colours
  if (paletteEntries_ == 0) return;
  for (int i = 0; i < paletteEntries_; ++i) {
    std::array<std::uint8_t, 3> rgb{0, 0, 0};
    if (info_.colorMapped) {
      if (i < static_cast<int>(info_.colorMap.size())) rgb = info_.colorMap[static_cast<std::size_t>(i)];
    } else {
      const auto grey = static_cast<std::uint8_t>(i);  // grayscale without a map: a ramp
      rgb = {grey, grey, grey};
    }
    out.push_back(rgb[2]);
    out.push_back(rgb[1]);
    out.push_back(rgb[0]);
    out.push_back(0);
  }
}

void TBmpStreamWriter::FinishOutput() {
  std::vector<std::uint8_t> headers;
  WriteHeaders(headers);
  if (auto* memory = dynamic_cast<TMemoryStream*>(&target_)) {
    memory->SetSize(fileSize_);
    memory->SetPosition(0);
  }
  auto write = [this](const std::uint8_t* data, std::int64_t count) {
    if (target_.Write(data, count) != count) throw EJPEGException(SJpegFileWrite);
  };
  write(headers.data(), static_cast<std::int64_t>(headers.size()));
  // Rows never handed over are written as zeros.
  const std::vector<std::uint8_t> blank(static_cast<std::size_t>(rowBytes_), 0);
  for (std::int64_t y = info_.height - 1; y >= 0; --y) {
    const std::uint8_t* row = y < rowsTaken_ ? blocks_[static_cast<std::size_t>(y / kBlockRows)].data() +
                                                   (y % kBlockRows) * rowBytes_
                                             : blank.data();
    write(row, rowBytes_);
  }
}
