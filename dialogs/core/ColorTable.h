// The colour table of the palette editor, without its window: a palette
// of up to 256 entries, how many of them count as used, and the palette
// text files the editor reads and writes (one line "red green blue" per
// colour, ended by CR LF, in entry order).
#pragma once

#include "imaging/CreatePaletteU.h"
#include "platform/Graphics.h"

#include <memory>
#include <string>
#include <vector>

class TMinGDIBitmap;
class TStream;

// The table of a palette: its entries copied (at most 256), the rest 0; the
// entry count is the number of entries the palette supplied.
TMaxLogPalette ColorTableFromPalette(const TPalette& palette);
// A palette of the table's first count entries (count is kept within 0..256).
TPalette PaletteFromColorTable(const TMaxLogPalette& table, int count);

// The number of colours in use: 2 + the highest index below 255 whose entry
// (all four bytes) differs from entry 255, or 1 when none differs, so that
// a run of entries equal to the last one counts once.
int ColorTableCount(const TMaxLogPalette& table);
// "Colors table [<count> colors]".
std::string ColorTableCaption(int count);

// Reads a palette text file (the whole stream) into the table: every entry
// is cleared (all four bytes) and the count set to 0; then each line whose
// first three runs of digits give red, green and blue adds an entry (the low
// 8 bits of each number), at most 256. The rule of the export's palette files.
void ReadColorTableText(TStream& stream, TMaxLogPalette& table);
// The file text of the table's first count entries (count kept within 0..256).
std::string ColorTableText(const TMaxLogPalette& table, int count);
// Writes the file text to fileName: a temporary file beside it is written
// and renamed over it, so a failed write never leaves a truncated palette.
// Raises the stream's exception when the file cannot be written.
void SaveColorTableFile(const std::string& fileName, const TMaxLogPalette& table, int count);

// The bitmap made an 8-bit image as a GIF image is made from it (its own
// colour table built from its colours), then entries 0 .. n - 1 of that
// table take the given colours (n = the smaller count): the colour indices
// stay, the colours change. The result keeps the bitmap's transparent colour.
std::unique_ptr<TMinGDIBitmap> WithTableColors(const TBitmap& bitmap, const std::vector<TColor>& colors);
