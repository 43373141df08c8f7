#include "platform/Graphics.h"

#include "platform/Numeric.h"
#include "platform/Streams.h"

#include <algorithm>
#include <cstring>

// ---- Formats and palettes -------------------------------------------------------------

int BitsPerPixel(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf32bit: return 32;
    default: return 24;
  }
}

std::int64_t BytesPerScanline(std::int64_t width, int bitsPerPixel) {
  return ((width * bitsPerPixel + 31) / 32) * 4;
}

TPalette::TPalette(std::vector<TPaletteEntry> entries) : entries_(std::move(entries)) {
  if (entries_.size() > 256) entries_.resize(256);
}

int NearestColorIndex(const TPaletteEntry* entries, int count, TColor color) {
  const TColor c = ColorToRGB(color);
  const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  int best = -1;
  int bestDistance = 0;
  for (int i = 0; i < count; ++i) {
    const int dr = entries[i].peRed - r, dg = entries[i].peGreen - g, db = entries[i].peBlue - b;
    const int distance = dr * dr + dg * dg + db * db;
    if (best < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
      if (distance == 0) break;
    }
  }
  return best;
}

TNearestColorFinder::TNearestColorFinder(const TPaletteEntry* entries, int count) {
  byGreen_.reserve(static_cast<std::size_t>(std::max(0, count)));
  for (int i = 0; i < count; ++i)
    byGreen_.push_back({entries[i].peGreen, entries[i].peRed, entries[i].peBlue, i});
  std::stable_sort(byGreen_.begin(), byGreen_.end(),
                   [](const Candidate& a, const Candidate& b) { return a.green < b.green; });
}

int TNearestColorFinder::Find(TColor color) const {
  if (byGreen_.empty()) return -1;
  const TColor c = ColorToRGB(color);
  const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  int bestIndex = -1;
  int bestDistance = 0;
  const auto consider = [&](const Candidate& e) {
    const int dr = e.red - r, dg = e.green - g, db = e.blue - b;
    const int distance = dr * dr + dg * dg + db * db;
    if (bestIndex < 0 || distance < bestDistance || (distance == bestDistance && e.index < bestIndex)) {
      bestIndex = e.index;
      bestDistance = distance;
    }
  };
  // Entries whose green alone is farther than the best distance cannot win;
  // those exactly as far may still tie with a lower index, so they are tried.
  const auto reachable = [&](const Candidate& e) {
    const int dg = e.green - g;
    return bestIndex < 0 || dg * dg <= bestDistance;
  };
  const auto start = std::lower_bound(byGreen_.begin(), byGreen_.end(), g,
                                      [](const Candidate& e, int green) { return e.green < green; });
  auto up = start;
  auto down = start;
  while (up != byGreen_.end() || down != byGreen_.begin()) {
    bool progressed = false;
    if (up != byGreen_.end() && reachable(*up)) {
      consider(*up++);
      progressed = true;
    } else {
      up = byGreen_.end();
    }
    if (down != byGreen_.begin() && reachable(*(down - 1))) {
      consider(*--down);
      progressed = true;
    } else {
      down = byGreen_.begin();
    }
    if (!progressed) break;
  }
  return bestIndex;
}

TPalette CreatePalette(const std::vector<TPaletteEntry>& entries) { return TPalette(entries); }
TPalette CopyPalette(const TPalette& palette) { return palette; }

int GetNearestPaletteIndex(const TPalette& palette, TColor color) {
  return NearestColorIndex(palette.Entries().data(), palette.Count(), color);
}

int GetPaletteEntries(const TPalette& palette, int start, int count, TPaletteEntry* out) {
  if (start < 0 || count <= 0 || start >= palette.Count()) return 0;
  const int n = std::min(count, palette.Count() - start);
  for (int i = 0; i < n; ++i) out[i] = palette.Entry(start + i);
  return n;
}

int SetPaletteEntries(TPalette& palette, int start, int count, const TPaletteEntry* entries) {
  if (start < 0 || count <= 0 || start >= palette.Count()) return 0;
  const int n = std::min(count, palette.Count() - start);
  for (int i = 0; i < n; ++i) palette.SetEntry(start + i, entries[i]);
  return n;
}

namespace {

std::vector<TPaletteEntry> StandardSixteen() {
  const TColor colors[16] = {clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clSilver,
                             clGray,  clRed,    clLime,  clYellow, clBlue, clFuchsia, clAqua, clWhite};
  std::vector<TPaletteEntry> entries;
  for (TColor c : colors) entries.push_back(PaletteEntryOf(c));
  return entries;
}

TPalette MakeDefaultPalette(int bits) {
  if (bits == 1) return TPalette({PaletteEntryOf(clBlack), PaletteEntryOf(clWhite)});
  std::vector<TPaletteEntry> entries = StandardSixteen();
  if (bits == 4) return TPalette(entries);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        entries.push_back({static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                           static_cast<std::uint8_t>(b * 51), 0});
  for (int i = 1; i <= 24; ++i) {
    const auto v = static_cast<std::uint8_t>(i * 255 / 25);
    entries.push_back({v, v, v, 0});
  }
  return TPalette(entries);
}

}  // namespace

const TPalette& DefaultPalette(int bitsPerPixel) {
  static const TPalette one = MakeDefaultPalette(1);
  static const TPalette four = MakeDefaultPalette(4);
  static const TPalette eight = MakeDefaultPalette(8);
  if (bitsPerPixel <= 1) return one;
  if (bitsPerPixel <= 4) return four;
  return eight;
}

// ---- Pixels of a row ----------------------------------------------------------------------

TColor ReadPixel(const std::uint8_t* row, int x, int bitsPerPixel, const TPalette& palette) {
  if (bitsPerPixel == 24) return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
  if (bitsPerPixel == 32) return RGB(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
  const int index = ReadIndex(row, x, bitsPerPixel);
  // An index beyond the palette reads as black, as a device would show it.
  return index < palette.Count() ? ColorOf(palette.Entry(index)) : clBlack;
}

int ReadIndex(const std::uint8_t* row, int x, int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default: return row[x];
  }
}

void WriteIndex(std::uint8_t* row, int x, int bitsPerPixel, int index) {
  switch (bitsPerPixel) {
    case 1: {
      const auto mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<std::uint8_t>(index & 1 ? row[x >> 3] | mask : row[x >> 3] & ~mask);
      break;
    }
    case 4:
      row[x >> 1] = static_cast<std::uint8_t>((x & 1) ? (row[x >> 1] & 0xF0) | (index & 0x0F)
                                                       : (row[x >> 1] & 0x0F) | ((index & 0x0F) << 4));
      break;
    default: row[x] = static_cast<std::uint8_t>(index); break;
  }
}

void WritePixel(std::uint8_t* row, int x, int bitsPerPixel, const TPalette& palette, TColor color) {
  const TColor c = ColorToRGB(color);
  if (bitsPerPixel == 24) {
    row[3 * x] = GetBValue(c);
    row[3 * x + 1] = GetGValue(c);
    row[3 * x + 2] = GetRValue(c);
  } else if (bitsPerPixel == 32) {
    row[4 * x] = GetBValue(c);
    row[4 * x + 1] = GetGValue(c);
    row[4 * x + 2] = GetRValue(c);
    row[4 * x + 3] = 0;
  } else {
    WriteIndex(row, x, bitsPerPixel, std::max(0, GetNearestPaletteIndex(palette, c)));
  }
}

// ---- Fonts ------------------------------------------------------------------------------------

int TFont::Size() const { return -MulDiv(height_, 72, PixelsPerInch); }
void TFont::SetSize(int points) { height_ = -MulDiv(points, PixelsPerInch, 72); }

// ---- Bitmap -------------------------------------------------------------------------------------

namespace {
// Bitmaps above this many bytes of pixels are refused rather than allocated.
constexpr std::int64_t kMaxPixelBytes = std::int64_t{1} << 31;
}  // namespace

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

TColor TBitmap::NewAreaColor() const { return canvas_ ? canvas_->Brush().Color : clWhite; }

void TBitmap::Reallocate(int width, int height, TPixelFormat format, TColor fill) {
  width = std::max(0, width);
  height = std::max(0, height);
  const int bits = BitsPerPixel(format);
  const std::int64_t rowBytes = BytesPerScanline(width, bits);
  if (rowBytes * height > kMaxPixelBytes) throw EOutOfMemory("Out of memory for a bitmap of that size");
  // One row of the new-area colour (its padding zero). The palette index of
  // the colour is looked up once, not per pixel.
  std::vector<std::uint8_t> fillRow(static_cast<std::size_t>(rowBytes), 0);
  if (width > 0 && height > 0) {
    if (bits <= 8) {
      const int index = std::max(0, GetNearestPaletteIndex(palette_, fill));
      for (int x = 0; x < width; ++x) WriteIndex(fillRow.data(), x, bits, index);
    } else {
      for (int x = 0; x < width; ++x) WritePixel(fillRow.data(), x, bits, TPalette(), fill);
    }
  }
  // Keep the old content at the top left (same format only; conversions copy
  // pixel by pixel). Each byte is written once: large bitmaps are made often.
  const bool keep = format == format_ && !pixels_.empty();
  const std::int64_t oldRowBytes = RowBytes();
  const int rows = keep ? std::min(height, height_) : 0;
  const int columns = std::min(width, width_);
  const std::size_t kept = bits >= 8 ? static_cast<std::size_t>(columns) * static_cast<std::size_t>(bits / 8) : 0;
  std::vector<std::uint8_t> pixels;
  pixels.reserve(static_cast<std::size_t>(rowBytes * height));
  for (int y = 0; y < height; ++y) {
    if (y < rows && kept > 0) {
      const std::uint8_t* old = pixels_.data() + y * oldRowBytes;
      pixels.insert(pixels.end(), old, old + kept);
      pixels.insert(pixels.end(), fillRow.begin() + static_cast<std::ptrdiff_t>(kept), fillRow.end());
    } else {
      pixels.insert(pixels.end(), fillRow.begin(), fillRow.end());
    }
  }
  if (keep && bits < 8) {
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < columns; ++x)
        WriteIndex(pixels.data() + y * rowBytes, x, bits, ReadIndex(pixels_.data() + y * oldRowBytes, x, bits));
  }
  pixels_ = std::move(pixels);
  width_ = width;
  height_ = height;
  format_ = format;
}

void TBitmap::SetSize(int width, int height) {
  BeforeAccess(true);
  width = std::max(0, width);
  height = std::max(0, height);
  if (width == width_ && height == height_ && HasImage()) return;
  if (BitCount() <= 8 && palette_.IsNone()) palette_ = DefaultPalette(BitCount());
  Reallocate(width, height, format_, NewAreaColor());
  Changed();
}

TPixelFormat TBitmap::PixelFormat() const {
  BeforeAccess(false);
  return format_;
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  BeforeAccess(true);
  if (format == pfDevice || format == pf15bit || format == pf16bit || format == pfCustom) format = pf24bit;
  if (format == format_) return;
  const int oldBits = BitCount();
  const int newBits = BitsPerPixel(format);
  const TPalette oldPalette = palette_;
  if (newBits <= 8 && (palette_.IsNone() || palette_.Count() > (1 << newBits))) palette_ = DefaultPalette(newBits);
  const std::vector<std::uint8_t> oldPixels = std::move(pixels_);
  const std::int64_t oldRowBytes = RowBytes();
  pixels_.clear();
  // With the old pixels moved out, Reallocate only makes the new buffer.
  Reallocate(width_, height_, format, NewAreaColor());
  if (!oldPixels.empty()) {
    const std::int64_t newRowBytes = RowBytes();
    const bool sameIndices = oldBits <= 8 && newBits <= 8 && palette_ == oldPalette;
    for (int y = 0; y < height_; ++y) {
      const std::uint8_t* src = oldPixels.data() + y * oldRowBytes;
      std::uint8_t* dst = pixels_.data() + y * newRowBytes;
      for (int x = 0; x < width_; ++x) {
        if (sameIndices && newBits >= oldBits) {
          WriteIndex(dst, x, newBits, ReadIndex(src, x, oldBits));
        } else {
          WritePixel(dst, x, newBits, palette_, ReadPixel(src, x, oldBits, oldPalette));
        }
      }
    }
  }
  Changed();
}

std::uint8_t* TBitmap::ScanLine(int y) {
  BeforeAccess(true);
  if (y < 0 || y >= height_ || pixels_.empty()) throw EInvalidGraphicOperation("Scan line index out of range");
  Changed();
  return pixels_.data() + static_cast<std::int64_t>(y) * RowBytes();
}

const std::uint8_t* TBitmap::ScanLine(int y) const {
  BeforeAccess(false);
  if (y < 0 || y >= height_ || pixels_.empty()) throw EInvalidGraphicOperation("Scan line index out of range");
  return pixels_.data() + static_cast<std::int64_t>(y) * RowBytes();
}

TColor TBitmap::Pixel(int x, int y) const {
  BeforeAccess(false);
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty()) return 0xFFFFFFFFu;
  return ReadPixel(pixels_.data() + static_cast<std::int64_t>(y) * RowBytes(), x, BitCount(), palette_);
}

void TBitmap::SetPixel(int x, int y, TColor color) {
  BeforeAccess(true);
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty()) return;
  WritePixel(pixels_.data() + static_cast<std::int64_t>(y) * RowBytes(), x, BitCount(), palette_, color);
  Changed();
}

const TPalette& TBitmap::Palette() const {
  BeforeAccess(false);
  return palette_;
}

void TBitmap::SetPalette(const TPalette& palette) {
  BeforeAccess(true);
  palette_ = palette;
  paletteModified_ = true;
  Changed();
}

void TBitmap::SetTransparent(bool transparent) {
  BeforeAccess(true);
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Changed();
}

TColor TBitmap::TransparentColor() const {
  BeforeAccess(false);
  if (transparentMode_ == tmFixed) return transparentColor_;
  if (Empty()) return clDefault;
  return Pixel(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  BeforeAccess(true);
  transparentColor_ = color;
  transparentMode_ = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  if (mode == tmAuto) {
    transparentColor_ = clDefault;
  } else {
    transparentColor_ = TransparentColor();
  }
  transparentMode_ = mode;
  Changed();
}

TCanvas& TBitmap::Canvas() {
  BeforeAccess(true);
  if (!canvas_) canvas_ = std::make_unique<TCanvas>(*this);
  return *canvas_;
}

void TBitmap::Assign(const TBitmap* source) {
  BeforeAccess(true);
  if (source == this) return;
  if (source == nullptr) {
    pixels_.clear();
    width_ = height_ = 0;
    palette_ = TPalette();
  } else {
    source->BeforeAccess(false);
    width_ = source->width_;
    height_ = source->height_;
    format_ = source->format_;
    pixels_ = source->pixels_;
    palette_ = source->palette_;
    transparent_ = source->transparent_;
    transparentMode_ = source->transparentMode_;
    transparentColor_ = source->transparentColor_;
  }
  Changed();
}

void TBitmap::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TBitmap::SaveToFile(const std::string& fileName) const {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}

void TBitmap::SetModified(bool modified) {
  if (modified) {
    Changed();
  } else {
    modified_ = false;
  }
}

void TBitmap::FreeImage() {
  pixels_.clear();
  pixels_.shrink_to_fit();
}

void TBitmap::Changed() {
  modified_ = true;
  if (OnChange) OnChange(*this);
}
