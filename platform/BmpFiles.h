// BMP files: the reader and writer behind TBitmap::LoadFromStream and
// TBitmap::SaveToStream.
#pragma once

#include "platform/Graphics.h"

class TStream;

// Reads a BMP file from the stream's position into the bitmap. Raises
// EInvalidGraphic with a clear text for anything it cannot read safely.
void ReadBmp(TStream& stream, TBitmap& bitmap);
// Writes the bitmap as a BMP file: a 14-byte file header, a 40-byte info
// header, the colour table for 8 bits or fewer, and rows from the bottom up.
void WriteBmp(const TBitmap& bitmap, TStream& stream);

// Sizes and limits shared by the BMP code and the DIB helpers.
constexpr int kBmpFileHeaderSize = 14;
constexpr int kBmpInfoHeaderSize = 40;
