// BMP files: the reader and writer behind TBitmap::LoadFromStream and
// TBitmap::SaveToStream.
#pragma once

#include "platform/Graphics.h"

#include <cstdint>
#include <string>

class TStream;

// Reads a BMP file from the stream's position into the bitmap. Raises
// EInvalidGraphic with a clear text for anything it cannot read safely.
void ReadBmp(TStream& stream, TBitmap& bitmap);
// Writes the bitmap as a BMP file: a 14-byte file header, a 40-byte info
// header, the colour table for 8 bits or fewer, and rows from the bottom up.
void WriteBmp(const TBitmap& bitmap, TStream& stream);

// The bit count a BMP file's header states (1, 4, 8, 16, 24 or 32), found
// without decoding the pixels: ReadBmp widens 16-bit images to 24 bits, and
// a caller that names the stored colour depth needs the header's word. The
// stream is left where it was. Raises EInvalidGraphic, as ReadBmp does, for
// bytes that are not a readable BMP header.
int ReadBmpBitCount(TStream& stream);
// The same for a file; a file that cannot be opened raises the stream's error.
int BmpFileBitCount(const std::string& fileName);

// The 40-byte header of a device-independent bitmap (BITMAPINFOHEADER), as
// BMP files, AVI streams and the DIB helpers carry it.
struct TBitmapInfoHeader {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;  // 0 = none, 1 = RLE8, 2 = RLE4, 3 = bit fields, or a four-character code
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

// Sizes and limits shared by the BMP code and the DIB helpers.
constexpr int kBmpFileHeaderSize = 14;
constexpr int kBmpInfoHeaderSize = 40;
