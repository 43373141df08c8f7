#include "dialogs/core/ColorTable.h"

#include "imaging/GifUnit.h"
#include "imaging/MinGDIBitmapU.h"
#include "platform/Streams.h"

#include <algorithm>

namespace {

int EntriesWithin(int count) { return std::clamp(count, 0, 256); }

}  // namespace

TMaxLogPalette ColorTableFromPalette(const TPalette& palette) {
  TMaxLogPalette table;
  table.palNumEntries = static_cast<std::uint16_t>(GetPaletteEntries(palette, 0, 256, table.palPalEntry.data()));
  return table;
}

TPalette PaletteFromColorTable(const TMaxLogPalette& table, int count) {
  const auto first = table.palPalEntry.begin();
  return CreatePalette(std::vector<TPaletteEntry>(first, first + EntriesWithin(count)));
}

int ColorTableCount(const TMaxLogPalette& table) {
  const TPaletteEntry& last = table.palPalEntry[255];
  for (int i = 254; i >= 0; --i)
    if (!(table.palPalEntry[static_cast<std::size_t>(i)] == last)) return i + 2;
  return 1;
}

std::string ColorTableCaption(int count) { return "Colors table [" + IntToStr(count) + " colors]"; }

void ReadColorTableText(TStream& stream, TMaxLogPalette& table) {
  table.palPalEntry.fill(TPaletteEntry{});
  LoadPaletteFile(stream, table);
}

std::string ColorTableText(const TMaxLogPalette& table, int count) {
  std::string text;
  for (int i = 0; i < EntriesWithin(count); ++i) {
    const TPaletteEntry& e = table.palPalEntry[static_cast<std::size_t>(i)];
    text += IntToStr(e.peRed) + " " + IntToStr(e.peGreen) + " " + IntToStr(e.peBlue) + "\r\n";
  }
  return text;
}

void SaveColorTableFile(const std::string& fileName, const TMaxLogPalette& table, int count) {
  const std::string text = ColorTableText(table, count);
  TReplacingFile file(fileName);
  file.Stream().WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  file.Commit();
}

std::unique_ptr<TMinGDIBitmap> WithTableColors(const TBitmap& bitmap, const std::vector<TColor>& colors) {
  TGifFile gif;
  gif.AddGraphic(bitmap);
  TColorTable& table = gif.GlobalTable();
  const int n = std::min<int>(table.Count(), static_cast<int>(colors.size()));
  for (int i = 0; i < n; ++i) {
    const TColor c = colors[static_cast<std::size_t>(i)];
    table.SetTriple(i, GetRValue(c), GetGValue(c), GetBValue(c));
  }
  table.TriplesToColors();
  TMemoryStream bmp;
  gif.GetSubImage(1)->SaveAsBMP(bmp);
  auto fresh = std::make_unique<TMinGDIBitmap>();
  fresh->LoadFromStream(bmp);
  fresh->SetTransparentColor(bitmap.TransparentColor());
  return fresh;
}
