// Device-independent bitmap helpers: the 40-byte info header of a bitmap at a
// chosen colour count, the sizes of header and image, and the rows themselves
// in DIB layout (bottom-up, padded to 4 bytes).
#pragma once

#include "platform/BmpFiles.h"
#include "platform/Graphics.h"

#include <array>
#include <cstddef>
#include <cstdint>

struct TRGBQuad {
  std::uint8_t rgbBlue = 0;
  std::uint8_t rgbGreen = 0;
  std::uint8_t rgbRed = 0;
  std::uint8_t rgbReserved = 0;
};

// A header followed by room for a full colour table.
struct TBitmapInfo {
  TBitmapInfoHeader bmiHeader;
  std::array<TRGBQuad, 256> bmiColors{};
};

// The bit count for a colour count: 0 the bitmap's own, 2 one bit, 16 four,
// 256 eight; 16 and 32 bits become 24.
int DIBBitCount(const TBitmap& bitmap, int colors);

// Fills a 40-byte header for the bitmap at the colour count; returns the image size.
std::int64_t FillBitmapInfoHeader(const TBitmap& bitmap, TBitmapInfoHeader& header, int colors);

// The size of the header with its colour table (40 for 24 bits, else
// 40 + 4 * 2^bits) and of the image.
void ComputeDIBSizes(const TBitmap& bitmap, int colors, std::int64_t& infoHeaderSize, std::int64_t& imageSize);

// Fills the header and colour table and writes all rows into bits (which
// holds bitsSize bytes). The colour table is the given palette when there is
// one, else the bitmap's own at its own bit count, else the default palette;
// pixels take the nearest entry. False when no rows were written (an empty
// bitmap, or bits too small for the image).
bool ReadDIBits(const TBitmap& bitmap, const TPalette* palette, TBitmapInfo& info, int colors, std::uint8_t* bits,
                std::size_t bitsSize);
