#include "platform/BmpFiles.h"

#include "platform/Streams.h"

#include <cstring>

namespace {

constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM"
// Sides and pixel counts beyond these are refused instead of allocated.
constexpr std::int64_t kMaxSide = 65535;
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;

[[noreturn]] void Invalid(const std::string& why) { throw EInvalidGraphic("Invalid bitmap: " + why); }

TPixelFormat FormatForBits(int bits) {
  switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 32: return pf32bit;
    default: return pf24bit;
  }
}

}  // namespace

void ReadBmp(TStream& stream, TBitmap& bitmap) {
  const std::int64_t start = stream.Position();
  if (stream.Remaining() < kBmpFileHeaderSize + 12) Invalid("file too short");
  if (stream.ReadWord() != kBmpSignature) Invalid("not a BMP file");
  stream.ReadUInt32();  // file size: not trusted
  stream.ReadUInt32();  // reserved
  const std::uint32_t pixelOffset = stream.ReadUInt32();
  const std::uint32_t headerSize = stream.ReadUInt32();
  if (headerSize < kBmpInfoHeaderSize) Invalid("unsupported header");
  if (headerSize > stream.Remaining() + 4) Invalid("header past the end of the file");
  const std::int32_t width = stream.ReadInt32();
  const std::int32_t rawHeight = stream.ReadInt32();
  stream.ReadWord();  // planes
  const int bits = stream.ReadWord();
  const std::uint32_t compression = stream.ReadUInt32();
  stream.ReadUInt32();  // image size
  stream.ReadInt32();   // resolutions
  stream.ReadInt32();
  std::uint32_t colorsUsed = stream.ReadUInt32();
  stream.ReadUInt32();  // important colours
  if (compression != 0) Invalid("unsupported compression");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) Invalid("unsupported bit count");
  const bool topDown = rawHeight < 0;
  const std::int64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
  if (width < 0 || width > kMaxSide || height > kMaxSide || std::int64_t{width} * height > kMaxPixels)
    Invalid("bad dimensions");
  stream.SetPosition(start + kBmpFileHeaderSize + headerSize);

  std::vector<TPaletteEntry> colors;
  if (bits <= 8) {
    if (colorsUsed == 0 || colorsUsed > (1u << bits)) colorsUsed = 1u << bits;
    if (static_cast<std::int64_t>(colorsUsed) * 4 > stream.Remaining()) Invalid("colour table past the end");
    for (std::uint32_t i = 0; i < colorsUsed; ++i) {
      std::uint8_t quad[4];
      stream.ReadBuffer(quad, 4);
      colors.push_back({quad[2], quad[1], quad[0], 0});
    }
  }
  const std::int64_t rowBytes = BytesPerScanline(width, bits);
  if (pixelOffset != 0) stream.SetPosition(start + pixelOffset);
  if (rowBytes * height > stream.Remaining()) Invalid("pixel data past the end");

  bitmap.Assign(nullptr);
  bitmap.SetPixelFormat(FormatForBits(bits));
  if (bits <= 8) bitmap.SetPalette(TPalette(colors));
  bitmap.SetSize(width, static_cast<int>(height));
  std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes));
  for (std::int64_t i = 0; i < height; ++i) {
    stream.ReadBuffer(row.data(), rowBytes);
    const int y = static_cast<int>(topDown ? i : height - 1 - i);
    std::uint8_t* target = bitmap.ScanLine(y);
    std::memcpy(target, row.data(), static_cast<std::size_t>(rowBytes));
    if (bits <= 8) {
      // Indices beyond the colour table become 0.
      for (int x = 0; x < width; ++x) {
        const int index = bits == 8 ? target[x]
                          : bits == 4 ? ((x & 1) ? (target[x >> 1] & 0x0F) : (target[x >> 1] >> 4))
                                      : (target[x >> 3] >> (7 - (x & 7))) & 1;
        if (index >= static_cast<int>(colors.size())) WritePixel(target, x, bits, bitmap.Palette(), ColorOf(colors[0]));
      }
    }
  }
  bitmap.SetModified(false);
}

void WriteBmp(const TBitmap& bitmap, TStream& stream) {
  const int bits = bitmap.BitCount();
  const int width = bitmap.Width();
  const int height = bitmap.Height();
  const std::int64_t rowBytes = BytesPerScanline(width, bits);
  const int colors = bits <= 8 ? (1 << bits) : 0;
  const std::uint32_t tableBytes = static_cast<std::uint32_t>(colors) * 4;
  const auto imageBytes = static_cast<std::uint32_t>(rowBytes * height);
  const std::uint32_t offset = kBmpFileHeaderSize + kBmpInfoHeaderSize + tableBytes;

  stream.WriteWord(kBmpSignature);
  stream.WriteUInt32(offset + imageBytes);
  stream.WriteUInt32(0);
  stream.WriteUInt32(offset);
  stream.WriteUInt32(kBmpInfoHeaderSize);
  stream.WriteInt32(width);
  stream.WriteInt32(height);
  stream.WriteWord(1);
  stream.WriteWord(static_cast<std::uint16_t>(bits));
  stream.WriteUInt32(0);  // uncompressed
  stream.WriteUInt32(imageBytes);
  stream.WriteInt32(0);
  stream.WriteInt32(0);
  stream.WriteUInt32(static_cast<std::uint32_t>(colors));
  stream.WriteUInt32(0);
  const TPalette& palette = bitmap.Palette();
  for (int i = 0; i < colors; ++i) {
    const TPaletteEntry e = i < palette.Count() ? palette.Entry(i) : TPaletteEntry{};
    const std::uint8_t quad[4] = {e.peBlue, e.peGreen, e.peRed, 0};
    stream.WriteBuffer(quad, 4);
  }
  for (int y = height - 1; y >= 0; --y) stream.WriteBuffer(bitmap.ScanLine(y), rowBytes);
}

void TBitmap::LoadFromStream(TStream& stream) {
  BeforeAccess(true);
  ReadBmp(stream, *this);
}

void TBitmap::SaveToStream(TStream& stream) const {
  BeforeAccess(false);
  WriteBmp(*this, stream);
}
