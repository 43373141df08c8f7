#include "platform/BmpFiles.h"

#include "platform/BitmapAccess.h"
#include "platform/Streams.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM"
constexpr std::uint32_t kCoreHeaderSize = 12;       // OS/2 1.x
// Sides and pixel counts beyond these are refused instead of allocated.
// Uncompressed data must also be present in full, so only run-length images,
// which can describe many pixels with few bytes, meet the tighter limit.
constexpr std::int64_t kMaxSide = 65535;
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;
constexpr std::int64_t kMaxRunLengthPixels = std::int64_t{1} << 24;

enum : std::uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6 };

[[noreturn]] void Invalid(const std::string& why) { throw EInvalidGraphic("Invalid bitmap: " + why); }

TPixelFormat FormatForBits(int bits) {
  switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 32: return pf32bit;
    default: return pf24bit;  // 16-bit pixels are widened to 24
  }
}

struct BmpHeader {
  std::int64_t width = 0;
  std::int64_t height = 0;  // always positive here
  bool topDown = false;
  int bits = 0;
  std::uint32_t compression = BI_RGB;
  std::uint32_t imageSize = 0;
  std::uint32_t colorsUsed = 0;
  bool core = false;  // OS/2 header: 3-byte colour table entries
  std::uint32_t masks[3] = {0, 0, 0};
};

// One channel of a bit-field pixel: its mask and how to scale it to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;
  explicit Channel(std::uint32_t m) : mask(m) {
    if (mask != 0) {
      shift = std::countr_zero(mask);
      max = mask >> shift;
    }
  }
  std::uint8_t Value(std::uint32_t pixel) const {
    if (max == 0) return 0;
    const std::uint64_t v = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
  }
};

BmpHeader ReadInfoHeader(TStream& stream, std::uint32_t headerSize) {
  BmpHeader h;
  if (headerSize == kCoreHeaderSize) {
    h.core = true;
    h.width = stream.ReadWord();
    h.height = stream.ReadWord();
    stream.ReadWord();  // planes
    h.bits = stream.ReadWord();
    return h;
  }
  if (headerSize < kBmpInfoHeaderSize) Invalid("unsupported header");
  h.width = stream.ReadInt32();
  const std::int64_t rawHeight = stream.ReadInt32();
  h.topDown = rawHeight < 0;
  h.height = h.topDown ? -rawHeight : rawHeight;
  stream.ReadWord();  // planes
  h.bits = stream.ReadWord();
  h.compression = stream.ReadUInt32();
  h.imageSize = stream.ReadUInt32();
  stream.ReadInt32();  // resolutions
  stream.ReadInt32();
  h.colorsUsed = stream.ReadUInt32();
  stream.ReadUInt32();  // important colours
  // Version 2 and later headers carry the bit-field masks themselves.
  if (headerSize >= kBmpInfoHeaderSize + 12)
    for (std::uint32_t& mask : h.masks) mask = stream.ReadUInt32();
  return h;
}

void CheckHeader(const BmpHeader& h) {
  switch (h.bits) {
    case 1: case 4: case 8: case 24: break;
    case 16: case 32:
      if (h.core) Invalid("unsupported bit count");
      break;
    default: Invalid("unsupported bit count");
  }
  switch (h.compression) {
    case BI_RGB: break;
    case BI_RLE8:
      if (h.bits != 8) Invalid("run-length compression needs 8 bits per pixel");
      break;
    case BI_RLE4:
      if (h.bits != 4) Invalid("run-length compression needs 4 bits per pixel");
      break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
      if (h.bits != 16 && h.bits != 32) Invalid("bit fields need 16 or 32 bits per pixel");
      break;
    default: Invalid("unsupported compression");
  }
  const bool runLength = h.compression == BI_RLE8 || h.compression == BI_RLE4;
  if (runLength && h.topDown) Invalid("top-down run-length image");
  if (h.width < 0 || h.width > kMaxSide || h.height > kMaxSide ||
      h.width * h.height > (runLength ? kMaxRunLengthPixels : kMaxPixels))
    Invalid("bad dimensions");
}

// Checks that every palette index of a decoded row lies within the colour table.
void CheckIndices(const std::uint8_t* row, std::int64_t width, int bits, std::size_t colors) {
  if (colors >= (std::size_t{1} << bits)) return;
  for (std::int64_t x = 0; x < width; ++x) {
    if (static_cast<std::size_t>(ReadIndex(row, static_cast<int>(x), bits)) >= colors)
      Invalid("colour index beyond the palette");
  }
}

// Decodes run-length data into the bitmap's rows (bottom-up, as stored).
// Pixels the data skips keep index 0.
void DecodeRunLength(const std::vector<std::uint8_t>& data, int bits, TBitmap& bitmap, std::size_t colors) {
  const int width = bitmap.Width(), height = bitmap.Height();
  std::size_t pos = 0;
  int x = 0, y = 0;  // y counts rows from the bottom
  auto next = [&]() -> std::uint8_t {
    if (pos >= data.size()) Invalid("run-length data past the end");
    return data[pos++];
  };
  auto put = [&](int index) {
    if (static_cast<std::size_t>(index) >= colors) Invalid("colour index beyond the palette");
    WriteIndex(TBitmapPixels::Row(bitmap, height - 1 - y), x, bits, index);
    ++x;
  };
  auto checkRun = [&](int count) {
    if (y >= height) Invalid("run-length data past the last row");
    if (x + count > width) Invalid("run-length run past the end of the row");
  };
  // Data that simply stops counts as the end of the bitmap.
  while (pos < data.size()) {
    const int count = next();
    const int value = next();
    if (count > 0) {
      checkRun(count);
      for (int i = 0; i < count; ++i) put(bits == 8 ? value : ((i & 1) ? value & 0x0F : value >> 4));
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // delta
      x += next();
      y += next();
      if (x > width || y > height) Invalid("run-length delta past the image");
    } else {  // absolute run of value pixels, padded to a 16-bit boundary
      checkRun(value);
      const int bytes = bits == 8 ? value : (value + 1) / 2;
      int pixel = 0;
      for (int i = 0; i < bytes; ++i) {
        const std::uint8_t b = next();
        if (bits == 8) {
          put(b);
        } else {
          put(b >> 4);
          if (++pixel < value) put(b & 0x0F);
        }
        ++pixel;
      }
      if (bytes & 1) next();
    }
  }
}

void ReadBitFieldRows(TStream& stream, const BmpHeader& h, TBitmap& bitmap) {
  std::uint32_t masks[3] = {h.masks[0], h.masks[1], h.masks[2]};
  if (h.compression == BI_RGB) {
    if (h.bits == 16) {
      masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else {
      masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    }
  }
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
  const std::int64_t rowBytes = BytesPerScanline(h.width, h.bits);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes));
  const int bytesPerPixel = h.bits / 8;
  const int outBytes = bitmap.BitCount() / 8;
  for (std::int64_t i = 0; i < h.height; ++i) {
    stream.ReadBuffer(row.data(), rowBytes);
    std::uint8_t* target = TBitmapPixels::Row(bitmap, static_cast<int>(h.topDown ? i : h.height - 1 - i));
    for (std::int64_t x = 0; x < h.width; ++x) {
      const std::uint8_t* p = row.data() + x * bytesPerPixel;
      const std::uint32_t pixel = h.bits == 16 ? static_cast<std::uint32_t>(p[0] | (p[1] << 8))
                                               : static_cast<std::uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16)) |
                                                     (static_cast<std::uint32_t>(p[3]) << 24);
      std::uint8_t* q = target + x * outBytes;
      q[0] = blue.Value(pixel);
      q[1] = green.Value(pixel);
      q[2] = red.Value(pixel);
    }
  }
}

}  // namespace

namespace {

// The file header and the checked info header, read from the stream's position.
struct BmpHeaders {
  std::uint32_t pixelOffset = 0;
  std::uint32_t headerSize = 0;
  BmpHeader info;
};

BmpHeaders ReadHeaders(TStream& stream) {
  BmpHeaders headers;
  if (stream.Remaining() < kBmpFileHeaderSize + 4) Invalid("file too short");
  if (stream.ReadWord() != kBmpSignature) Invalid("not a BMP file");
  stream.ReadUInt32();  // file size: not trusted
  stream.ReadUInt32();  // reserved
  headers.pixelOffset = stream.ReadUInt32();
  headers.headerSize = stream.ReadUInt32();
  if (headers.headerSize != kCoreHeaderSize && headers.headerSize < kBmpInfoHeaderSize) Invalid("unsupported header");
  if (headers.headerSize - 4 > static_cast<std::uint64_t>(stream.Remaining()))
    Invalid("header past the end of the file");
  headers.info = ReadInfoHeader(stream, headers.headerSize);
  CheckHeader(headers.info);
  return headers;
}

}  // namespace

int ReadBmpBitCount(TStream& stream) {
  const std::int64_t start = stream.Position();
  const int bits = ReadHeaders(stream).info.bits;
  stream.SetPosition(start);
  return bits;
}

int BmpFileBitCount(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
  return ReadBmpBitCount(file);
}

void ReadBmp(TStream& stream, TBitmap& bitmap) {
  const std::int64_t start = stream.Position();
  const BmpHeaders headers = ReadHeaders(stream);
  const std::uint32_t pixelOffset = headers.pixelOffset;
  const std::uint32_t headerSize = headers.headerSize;
  const BmpHeader& h = headers.info;
  const std::int64_t headerEnd = start + kBmpFileHeaderSize + headerSize;
  stream.SetPosition(headerEnd);
  const std::int64_t end = headerEnd + stream.Remaining();
  const std::int64_t pixelStart = pixelOffset != 0 ? start + pixelOffset : -1;
  if (pixelOffset != 0 && pixelStart < headerEnd) Invalid("pixel data inside the header");
  if (pixelStart > end) Invalid("pixel data past the end");

  // A 40-byte header with bit fields is followed by the masks.
  BmpHeader header = h;
  if (headerSize == kBmpInfoHeaderSize && (h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS)) {
    const int count = h.compression == BI_ALPHABITFIELDS ? 4 : 3;
    if (stream.Remaining() < 4 * count) Invalid("bit-field masks past the end");
    for (int i = 0; i < count; ++i) {
      const std::uint32_t mask = stream.ReadUInt32();
      if (i < 3) header.masks[i] = mask;
    }
  }

  std::vector<TPaletteEntry> colors;
  if (header.bits <= 8) {
    const int entrySize = header.core ? 3 : 4;
    std::int64_t count = header.colorsUsed == 0 || header.colorsUsed > (1u << header.bits) ? (1u << header.bits)
                                                                                          : header.colorsUsed;
    // The pixel offset is the truth when it leaves room for fewer entries.
    if (pixelStart >= 0) count = std::clamp<std::int64_t>((pixelStart - stream.Position()) / entrySize, 0, count);
    if (count * entrySize > stream.Remaining()) Invalid("colour table past the end");
    if (count == 0) Invalid("colour table missing");
    std::vector<std::uint8_t> table(static_cast<std::size_t>(count * entrySize));
    stream.ReadBuffer(table.data(), static_cast<std::int64_t>(table.size()));
    for (std::int64_t i = 0; i < count; ++i) {
      const std::uint8_t* e = table.data() + i * entrySize;
      colors.push_back({e[2], e[1], e[0], 0});
    }
  }
  if (pixelStart >= 0) {
    stream.SetPosition(pixelStart);
  } else if (header.bits > 8 && header.colorsUsed != 0) {
    // An optional colour table of a true-colour image comes before its pixels.
    if (std::int64_t{header.colorsUsed} * 4 > stream.Remaining()) Invalid("colour table past the end");
    stream.SetPosition(stream.Position() + std::int64_t{header.colorsUsed} * 4);
  }

  // Decode into a bitmap of our own, so that a failure leaves the target as it was.
  TBitmap image;
  image.SetPixelFormat(FormatForBits(header.bits));
  if (header.bits <= 8) image.SetPalette(TPalette(colors));
  image.SetSize(static_cast<int>(header.width), static_cast<int>(header.height));
  TBitmapPixels::Prepare(image, true);

  if (header.compression == BI_RLE8 || header.compression == BI_RLE4) {
    std::int64_t size = stream.Remaining();
    if (header.imageSize != 0 && header.imageSize < size) size = header.imageSize;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    stream.ReadBuffer(data.data(), size);
    if (!image.Empty()) {
      for (int y = 0; y < image.Height(); ++y)
        std::memset(TBitmapPixels::Row(image, y), 0, static_cast<std::size_t>(image.RowBytes()));
      DecodeRunLength(data, header.bits, image, colors.size());
    }
  } else {
    const std::int64_t rowBytes = BytesPerScanline(header.width, header.bits);
    if (rowBytes * header.height > stream.Remaining()) Invalid("pixel data past the end");
    if (header.bits == 16 || header.compression != BI_RGB) {
      ReadBitFieldRows(stream, header, image);
    } else {
      for (std::int64_t i = 0; i < header.height; ++i) {
        std::uint8_t* target = TBitmapPixels::Row(image, static_cast<int>(header.topDown ? i : header.height - 1 - i));
        stream.ReadBuffer(target, rowBytes);
        if (header.bits <= 8) CheckIndices(target, header.width, header.bits, colors.size());
      }
    }
  }
  TBitmapPixels::TakeImage(bitmap, image);
  bitmap.Changed();
  bitmap.SetModified(false);
}

void WriteBmp(const TBitmap& bitmap, TStream& stream) {
  const int bits = bitmap.BitCount();
  const int width = bitmap.Width();
  const int height = bitmap.Height();
  const std::int64_t rowBytes = BytesPerScanline(width, bits);
  const TPalette& palette = bitmap.Palette();
  // The colour table holds the palette's entries (all 2^bits when it has none).
  int colors = 0;
  if (bits <= 8) colors = palette.IsNone() ? (1 << bits) : std::min(palette.Count(), 1 << bits);
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
  stream.WriteUInt32(BI_RGB);
  stream.WriteUInt32(imageBytes);
  stream.WriteInt32(0);
  stream.WriteInt32(0);
  stream.WriteUInt32(static_cast<std::uint32_t>(colors));
  stream.WriteUInt32(0);
  for (int i = 0; i < colors; ++i) {
    const TPaletteEntry e = i < palette.Count() ? palette.Entry(i) : TPaletteEntry{};
    const std::uint8_t quad[4] = {e.peBlue, e.peGreen, e.peRed, 0};
    stream.WriteBuffer(quad, 4);
  }
  if (width > 0)
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
