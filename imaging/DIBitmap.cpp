#include "imaging/DIBitmap.h"

#include <algorithm>
#include <unordered_map>

int DIBBitCount(const TBitmap& bitmap, int colors) {
  int bits = bitmap.BitCount();
  switch (colors) {
    case 2: bits = 1; break;
    case 16: bits = 4; break;
    case 256: bits = 8; break;
    default: break;
  }
  return bits == 16 || bits == 32 ? 24 : bits;
}

std::int64_t FillBitmapInfoHeader(const TBitmap& bitmap, TBitmapInfoHeader& header, int colors) {
  const int bits = DIBBitCount(bitmap, colors);
  header = TBitmapInfoHeader{};
  header.biSize = 40;
  header.biWidth = bitmap.Width();
  header.biHeight = bitmap.Height();
  header.biPlanes = 1;
  header.biBitCount = static_cast<std::uint16_t>(bits);
  header.biClrUsed = bits <= 8 ? static_cast<std::uint32_t>(colors) : 0;
  const std::int64_t imageSize = std::int64_t{bitmap.Height()} * BytesPerScanline(bitmap.Width(), bits);
  header.biSizeImage = static_cast<std::uint32_t>(imageSize);
  return imageSize;
}

void ComputeDIBSizes(const TBitmap& bitmap, int colors, std::int64_t& infoHeaderSize, std::int64_t& imageSize) {
  TBitmapInfoHeader header;
  imageSize = FillBitmapInfoHeader(bitmap, header, colors);
  infoHeaderSize = header.biBitCount > 8 ? 40 : 40 + 4 * (std::int64_t{1} << header.biBitCount);
}

bool ReadDIBits(const TBitmap& bitmap, const TPalette* palette, TBitmapInfo& info, int colors, std::uint8_t* bits,
                std::size_t bitsSize) {
  const std::int64_t imageSize = FillBitmapInfoHeader(bitmap, info.bmiHeader, colors);
  info.bmiColors.fill(TRGBQuad{});
  const int bitCount = info.bmiHeader.biBitCount;
  if (bitmap.Empty() || bits == nullptr || static_cast<std::uint64_t>(imageSize) > bitsSize) return false;

  TPalette table;
  if (bitCount <= 8) {
    if (palette != nullptr && !palette->IsNone()) {
      table = *palette;
    } else if (bitmap.BitCount() == bitCount && !bitmap.Palette().IsNone()) {
      table = bitmap.Palette();
    } else {
      table = DefaultPalette(bitCount);
    }
    const int count = std::min(table.Count(), 1 << bitCount);
    for (int i = 0; i < count; ++i) {
      const TPaletteEntry& e = table.Entry(i);
      info.bmiColors[static_cast<std::size_t>(i)] = {e.peBlue, e.peGreen, e.peRed, 0};
    }
    table = TPalette(std::vector<TPaletteEntry>(table.Entries().begin(), table.Entries().begin() + count));
  }
  // Same bit count and palette: indices are copied, so duplicate entries keep theirs.
  const bool sameIndices = bitCount <= 8 && bitmap.BitCount() == bitCount && table == bitmap.Palette();
  const std::int64_t rowBytes = BytesPerScanline(bitmap.Width(), bitCount);
  std::unordered_map<TColor, int> nearest;
  const TPalette& sourcePalette = bitmap.Palette();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* source = bitmap.ScanLine(y);
    std::uint8_t* target = bits + static_cast<std::int64_t>(bitmap.Height() - 1 - y) * rowBytes;
    if (sameIndices || (bitmap.BitCount() == bitCount && bitCount > 8)) {
      std::copy(source, source + rowBytes, target);
      continue;
    }
    std::fill(target, target + rowBytes, std::uint8_t{0});
    for (int x = 0; x < bitmap.Width(); ++x) {
      const TColor color = ReadPixel(source, x, bitmap.BitCount(), sourcePalette);
      if (bitCount > 8) {
        WritePixel(target, x, bitCount, table, color);
        continue;
      }
      auto found = nearest.find(color);
      if (found == nearest.end()) found = nearest.emplace(color, std::max(0, GetNearestPaletteIndex(table, color))).first;
      WriteIndex(target, x, bitCount, found->second);
    }
  }
  return true;
}
