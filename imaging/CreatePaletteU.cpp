#include "imaging/CreatePaletteU.h"

#include "imaging/ColorTbl.h"
#include "imaging/MinGDIBitmapU.h"
#include "imaging/utils.h"
#include "platform/Numeric.h"
#include "platform/Streams.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>
#include <optional>
#include <string>

HWND PaletteProgressWindow = 0;

// ---- Frame items -------------------------------------------------------------------------

TSetOfBitmapsItem::TSetOfBitmapsItem() : Bitmap(std::make_unique<TMinGDIBitmap>()) {}
TSetOfBitmapsItem::~TSetOfBitmapsItem() = default;

void TSetOfBitmapsItem::SetInterlaced(std::uint8_t value) {
  if (Bitmap && Bitmap->Height() > 8) interlaced_ = value;
}

// ---- Fixed palettes ----------------------------------------------------------------------

namespace {

TPaletteEntry Entry(int r, int g, int b) {
  return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b), 0};
}

TMaxLogPalette FullPalette() {
  TMaxLogPalette p;
  p.palVersion = 0x300;
  p.palNumEntries = 256;
  return p;
}

void Progress(int position, int total) {
  if (PaletteProgressWindow != 0)
    SendMessage(PaletteProgressWindow, WM_IMAGEPROGRESS, static_cast<WPARAM>(position), static_cast<LPARAM>(total));
}

}  // namespace

TMaxLogPalette BrowserPalette() {
  TMaxLogPalette p = FullPalette();  // entries 252-255 stay black
  int i = 0;
  for (int r = 0; r <= 6; ++r)
    for (int g = 0; g <= 5; ++g)
      for (int b = 0; b <= 5; ++b) p.palPalEntry[i++] = Entry(42 * r, 51 * g, 51 * b);
  return p;
}

TMaxLogPalette StandardVGAPalette() {
  TMaxLogPalette p = FullPalette();  // entries 16-255 stay black
  const TColorTable table(16);
  for (int i = 0; i < 16; ++i) p.palPalEntry[i] = PaletteEntryOf(table.ColorOf(i));
  return p;
}

TMaxLogPalette GrayscalePalette() {
  TMaxLogPalette p = FullPalette();
  for (int i = 0; i < 256; ++i) p.palPalEntry[i] = Entry(i, i, i);
  return p;
}

// ---- Colour counts -----------------------------------------------------------------------

TColorCounts::TColorCounts() : cells_(kColorCells + 1) { SeedBins(); }

void TColorCounts::SeedBins() {
  bins_ = true;
  std::fill(cells_.begin(), cells_.end(), TColorCount{});
  for (int r = 0; r < 32; ++r)
    for (int g = 0; g < 32; ++g)
      for (int b = 0; b < 32; ++b)
        cells_[r * 1024 + g * 32 + b].Color = RGB(static_cast<std::uint8_t>(8 * r), static_cast<std::uint8_t>(8 * g),
                                                  static_cast<std::uint8_t>(8 * b));
  listLength_ = 0;
  listIndex_.clear();
}

void TColorCounts::ClearList() {
  bins_ = false;
  std::fill(cells_.begin(), cells_.end(), TColorCount{});
  listLength_ = 0;
  listIndex_.clear();
}

namespace {

void Increment(std::int32_t& count) {
  if (count < std::numeric_limits<std::int32_t>::max()) ++count;
}

int Bin(std::uint8_t channel) { return std::min(Round(channel / 8.0), 31); }

}  // namespace

void TColorCounts::Add(TColor color) {
  color &= 0xFFFFFFu;
  if (bins_) {
    Increment(cells_[Bin(GetRValue(color)) * 1024 + Bin(GetGValue(color)) * 32 + Bin(GetBValue(color))].Count);
    return;
  }
  // The list is searched through an index of its colours: the same cell as a
  // linear search, without its cost.
  if (const auto hit = listIndex_.find(color); hit != listIndex_.end()) {
    Increment(cells_[hit->second].Count);
    return;
  }
  int cell = listLength_;
  if (listLength_ < kColorCells) {
    ++listLength_;
  } else {
    cell = kColorCells - 1;  // a full list overwrites its last cell
    listIndex_.erase(cells_[cell].Color);
  }
  cells_[cell] = {color, 1};
  listIndex_[color] = cell;
}

void TColorCounts::CountColors(const TBitmap& frame) {
  constexpr int kSampleSize = 100;
  TBitmap sample;
  sample.SetPixelFormat(pf24bit);
  sample.SetSize(kSampleSize, kSampleSize);
  sample.Canvas().StretchDraw(Rect(0, 0, kSampleSize, kSampleSize), frame);
  const TBitmap& samples = sample;
  for (int y = 0; y < kSampleSize; ++y) {
    const std::uint8_t* row = samples.ScanLine(y);
    for (int x = 0; x < kSampleSize; ++x) Add(RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
  }
}

// ---- Reduction ---------------------------------------------------------------------------

void ReduceBinCounts(std::vector<TColorCount>& cells, int wanted) {
  wanted = std::max(wanted, 0);
  const std::size_t n = std::min<std::size_t>(cells.size(), kColorCells);
  std::vector<std::int32_t> counts;
  for (std::size_t i = 0; i < n; ++i)
    if (cells[i].Count > 0) counts.push_back(cells[i].Count);
  if (static_cast<int>(counts.size()) <= wanted) return;

  // Pass p zeroes the cells whose count is p, in cell order, and the passes
  // stop as soon as at most `wanted` remain: p is the (wanted + 1)-th largest
  // count, every larger count survives, and of the cells counting exactly p
  // only the last few (in cell order) do.
  std::nth_element(counts.begin(), counts.begin() + wanted, counts.end(), std::greater<>());
  const std::int32_t p = counts[static_cast<std::size_t>(wanted)];
  const auto above = static_cast<int>(std::count_if(counts.begin(), counts.end(), [p](std::int32_t c) { return c > p; }));
  const auto atP = static_cast<int>(std::count(counts.begin(), counts.end(), p));
  int toRemove = atP - (wanted - above);

  // The last pass reached the last cell it zeroed; cells before it lost p,
  // cells after it p - 1.
  std::size_t stop = 0;
  for (std::size_t i = 0; i < n && toRemove > 0; ++i)
    if (cells[i].Count == p) {
      cells[i].Count = 0;
      stop = i;
      --toRemove;
    }
  for (std::size_t i = 0; i < n; ++i) {
    std::int32_t& c = cells[i].Count;
    if (c == 0) continue;
    if (c < p) c = 0;
    else c -= i < stop ? p : p - 1;
  }
}

namespace {

TColor Average(TColor a, TColor b) {
  const auto mean = [](int x, int y) { return static_cast<std::uint8_t>(Round((x + y) / 2.0)); };
  return RGB(mean(GetRValue(a), GetRValue(b)), mean(GetGValue(a), GetGValue(b)), mean(GetBValue(a), GetBValue(b)));
}

}  // namespace

namespace {

// The living cells of a pass, in cell order, as separate arrays of channels
// already weighted (30, 59, 11), so the distance loop is plain integer
// arithmetic over contiguous memory.
struct TLivingCells {
  std::vector<std::size_t> cell;
  std::vector<std::int32_t> r, g, b, count;

  void Collect(const std::vector<TColorCount>& cells, std::size_t n) {
    cell.clear(), r.clear(), g.clear(), b.clear(), count.clear();
    for (std::size_t i = 0; i < n; ++i)
      if (cells[i].Count > 0) {
        cell.push_back(i);
        r.push_back(30 * GetRValue(cells[i].Color));
        g.push_back(59 * GetGValue(cells[i].Color));
        b.push_back(11 * GetBValue(cells[i].Color));
        count.push_back(cells[i].Count);
      }
  }
  std::size_t Size() const { return cell.size(); }
};

constexpr std::int32_t kNotCandidate = std::numeric_limits<std::int32_t>::max();  // above any distance

// The nearest equally or less frequent colour to cell a, or Size() for none.
// Candidates are taken in order: one is taken when its distance is below the
// best or while the best is still 0, so the first of equal distances wins and
// an exact twin gives way to the next candidate. Distances are worked out a
// block at a time; a block none of whose candidates is below the best (while
// the best is not 0) cannot change the choice and is passed over whole.
// Built for AVX2 too, chosen at run time: the distance loop vectorises.
__attribute__((target_clones("avx2", "default"), optimize("tree-vectorize")))
std::size_t NearestMergeCandidate(const TLivingCells& alive, std::size_t a) {
  constexpr std::size_t kBlock = 64;
  const std::int32_t mr = alive.r[a], mg = alive.g[a], mb = alive.b[a], mc = alive.count[a];
  const std::size_t size = alive.Size();
  std::int32_t best = 0;
  std::size_t nearest = size;
  std::array<std::int32_t, kBlock> distances;
  for (std::size_t k0 = 0; k0 < size; k0 += kBlock) {
    const std::size_t n = std::min(kBlock, size - k0);
    const std::int32_t* r = alive.r.data() + k0;
    const std::int32_t* g = alive.g.data() + k0;
    const std::int32_t* b = alive.b.data() + k0;
    const std::int32_t* count = alive.count.data() + k0;
    std::int32_t* out = distances.data();
    for (std::size_t l = 0; l < n; ++l) {
      const std::int32_t dr = mr - r[l], dg = mg - g[l], db = mb - b[l];
      const std::int32_t distance = dr * dr + dg * dg + db * db;  // at most 292,615,650
      // A candidate has a count from 1 to the merging cell's own.
      const bool candidate = static_cast<std::uint32_t>(count[l] - 1) < static_cast<std::uint32_t>(mc);
      out[l] = candidate ? distance : kNotCandidate;
    }
    std::int32_t smallest = kNotCandidate;
    for (std::size_t l = 0; l < n; ++l) smallest = smallest < out[l] ? smallest : out[l];
    if (a >= k0 && a < k0 + n) distances[a - k0] = kNotCandidate;
    if (best != 0 && smallest >= best) continue;
    for (std::size_t l = 0; l < n; ++l) {
      if (distances[l] == kNotCandidate) continue;
      if (distances[l] < best || best == 0) {
        best = distances[l];
        nearest = k0 + l;
      }
    }
  }
  return nearest;
}

}  // namespace

void MergeListCounts(std::vector<TColorCount>& cells, int wanted, const std::function<void(int)>& afterPass) {
  wanted = std::max(wanted, 0);
  const std::size_t n = std::min<std::size_t>(cells.size(), kColorCells);
  int remaining = 0;
  for (std::size_t i = 0; i < n; ++i) remaining += cells[i].Count > 0 ? 1 : 0;

  TLivingCells alive;
  while (remaining > wanted) {
    alive.Collect(cells, n);
    bool merged = false;
    for (std::size_t a = 0; a < alive.Size() && remaining > wanted; ++a) {
      if (alive.count[a] == 0) continue;
      const std::size_t victim = NearestMergeCandidate(alive, a);
      if (victim == alive.Size()) continue;
      if (alive.count[victim] == alive.count[a]) {
        TColor& colour = cells[alive.cell[a]].Color;
        colour = Average(colour, cells[alive.cell[victim]].Color);
        alive.r[a] = 30 * GetRValue(colour);
        alive.g[a] = 59 * GetGValue(colour);
        alive.b[a] = 11 * GetBValue(colour);
      }
      alive.count[victim] = 0;
      cells[alive.cell[victim]].Count = 0;
      --remaining;
      merged = true;
    }
    if (afterPass) afterPass(remaining);
    if (!merged) break;  // a single colour has nothing to merge with
  }
}

TMaxLogPalette PaletteFromCounts(const std::vector<TColorCount>& cells, const std::vector<TColorEntry>& keep) {
  constexpr int kMaxUsed = 255;
  TMaxLogPalette p = GrayscalePalette();
  int used = 0;
  const auto append = [&](TColor c) { p.palPalEntry[used++] = PaletteEntryOf(c & 0xFFFFFFu); };
  const std::size_t n = std::min<std::size_t>(cells.size(), kColorCells);
  for (std::size_t i = 0; i < n && used < kMaxUsed; ++i)
    if (cells[i].Count > 0) append(cells[i].Color);

  std::vector<TColor> kept;
  for (const TColorEntry& e : keep) {
    const TColor c = ColorToRGB(e.Color) & 0xFFFFFFu;
    if (std::find(kept.begin(), kept.end(), c) == kept.end()) kept.push_back(c);
  }
  for (const TColor c : kept)
    if (used < kMaxUsed) append(c);

  const auto inUse = [&](TColor c) {
    for (int i = 0; i < used; ++i)
      if (ColorOf(p.palPalEntry[i]) == c) return true;
    return false;
  };
  if (used < kMaxUsed && !inUse(clBlack)) append(clBlack);
  if (used < kMaxUsed && !inUse(clWhite)) append(clWhite);
  p.palNumEntries = static_cast<std::uint16_t>(std::max(used, 10));
  return p;
}

TMaxLogPalette ReducePalette(TColorCounts& counts, int wanted, const std::vector<TColorEntry>& keep,
                             bool reportProgress) {
  std::vector<TColorCount>& cells = counts.Cells();
  if (reportProgress) Progress(0, kColorCells);
  const auto afterPass = [&](int remaining) {
    if (reportProgress) Progress(kColorCells - remaining, kColorCells);
  };
  if (counts.IsBins()) {
    int before = 0;
    for (int i = 0; i < kColorCells; ++i) before += cells[i].Count > 0 ? 1 : 0;
    ReduceBinCounts(cells, wanted);
    if (before > std::max(wanted, 0)) afterPass(std::max(wanted, 0));
  } else {
    MergeListCounts(cells, wanted, afterPass);
  }
  TMaxLogPalette palette = PaletteFromCounts(cells, keep);
  if (reportProgress) Progress(0, 0);
  return palette;
}

// ---- Conversion of the frames ------------------------------------------------------------

namespace {

TPalette ToPalette(const TMaxLogPalette& p) {
  const int count = std::min<int>(p.palNumEntries, 256);
  return CreatePalette(std::vector<TPaletteEntry>(p.palPalEntry.begin(), p.palPalEntry.begin() + count));
}

// The first pixel of colour (low 24 bits), scanning column by column.
std::optional<TPoint> FindFirstInColumns(const TBitmap& bitmap, TColor color) {
  color &= 0xFFFFFFu;
  const int bits = bitmap.BitCount();
  const TPalette& palette = bitmap.Palette();
  std::optional<TPoint> found;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* row = bitmap.ScanLine(y);
    const int limit = found ? found->X : bitmap.Width();  // only a column further left can win
    for (int x = 0; x < limit; ++x)
      if ((ReadPixel(row, x, bits, palette) & 0xFFFFFFu) == color) {
        found = Point(x, y);
        break;
      }
  }
  return found;
}

std::unique_ptr<TMinGDIBitmap> ReducedCopy(TMinGDIBitmap& old, const TMaxLogPalette* palette) {
  auto fresh = std::make_unique<TMinGDIBitmap>();
  fresh->SetPixelFormat(pf8bit);
  fresh->SetSize(old.Width(), old.Height());
  if (palette != nullptr) fresh->SetPalette(ToPalette(*palette));
  // Every pixel is drawn, the transparent colour too: it is re-found below.
  const TRect all = Rect(0, 0, old.Width(), old.Height());
  if (!old.Empty()) fresh->Canvas().CopyRect(all, old.Canvas(), all);
  return fresh;
}

}  // namespace

namespace {

// The palette of a fixed kind (custom only when given); none for the others.
std::optional<TMaxLogPalette> FixedPaletteOf(int kind, TMaxLogPalette* custom) {
  switch (kind) {
    case pkBrowser1:
    case pkBrowser: return BrowserPalette();
    case pkStandardVGA: return StandardVGAPalette();
    case pkGrayscale: return GrayscalePalette();
    case pkCustom:
      if (custom == nullptr) return std::nullopt;
      custom->palVersion = 0x300;
      custom->palNumEntries = 256;
      return *custom;
    default: return std::nullopt;
  }
}

bool SharedFromCounts(int kind) { return kind == pkOptimized || kind == pkAdaptive; }
bool PerFrame(int kind) { return kind == pkOptimizedPerFrame || kind == pkAdaptivePerFrame; }

// The frame's own palette (per-frame kinds), from its own colour counts.
TMaxLogPalette OwnPaletteOf(int kind, int colors, const TMinGDIBitmap& bitmap, bool transparent, TColorCounts& counts) {
  if (kind == pkOptimizedPerFrame) {
    counts.SeedBins();
  } else {
    counts.ClearList();
  }
  counts.CountColors(bitmap);
  std::vector<TColorEntry> keep;
  if (transparent) keep.push_back({bitmap.TransparentColor()});
  return ReducePalette(counts, colors, keep, false);
}

// The frame's transparent colour found again in its reduced bitmap, at the
// first place (column by column) the old bitmap has it.
void RefindTransparentColor(TSetOfBitmapsItem& item, std::optional<TPoint> at, TMinGDIBitmap& fresh) {
  if (!at) return;
  fresh.SetTransparentColor(fresh.Pixel(at->X, at->Y));
  item.TransparentX = at->X;
  item.TransparentY = at->Y;
}

// Replaces the frame's bitmap by its reduction to the palette (the default
// palette without one); every pixel is drawn, the transparent colour too.
void ReduceFrame(TSetOfBitmapsItem& item, const TMaxLogPalette* palette) {
  TMinGDIBitmap& old = *item.Bitmap;
  old.RestoreImage();
  std::unique_ptr<TMinGDIBitmap> fresh = ReducedCopy(old, palette);
  if (item.Transparent) RefindTransparentColor(item, FindFirstInColumns(old, old.TransparentColor()), *fresh);
  item.Bitmap = std::move(fresh);  // frees the old bitmap
  item.Bitmap->SetModified(true);
  item.Bitmap->SaveAndRelease();
}

}  // namespace

bool CreatePaletteForBitmaps(int kind, TSetOfBitmaps& frames, int colors, TMaxLogPalette* custom) {
  std::optional<TMaxLogPalette> shared = FixedPaletteOf(kind, custom);

  const int last = static_cast<int>(frames.size()) - 1;
  TColorCounts counts;
  if (SharedFromCounts(kind)) {
    if (kind == pkOptimized) counts.SeedBins();
    else counts.ClearList();
    Progress(0, last);
    std::vector<TColorEntry> keep;
    for (int i = 0; i <= last; ++i) {
      TSetOfBitmapsItem& item = *frames[static_cast<std::size_t>(i)];
      if (!item.Bitmap) continue;
      item.Bitmap->RestoreImage();
      counts.CountColors(*item.Bitmap);
      Progress(i, last);
      if (item.Transparent) keep.push_back({item.Bitmap->TransparentColor()});
      item.Bitmap->ReleaseImage();
    }
    shared = ReducePalette(counts, colors, keep, true);
  }

  Progress(0, last);
  for (int i = 0; i <= last; ++i) {
    TSetOfBitmapsItem& item = *frames[static_cast<std::size_t>(i)];
    if (!item.Bitmap) item.Bitmap = std::make_unique<TMinGDIBitmap>();
    std::optional<TMaxLogPalette> own;
    if (PerFrame(kind)) {
      item.Bitmap->RestoreImage();
      own = OwnPaletteOf(kind, colors, *item.Bitmap, item.Transparent != 0, counts);
    }
    ReduceFrame(item, own ? &*own : (shared ? &*shared : nullptr));
    Progress(i, last);
    if (CancelFlag != 0) return i == last;
  }
  return true;
}

// ---- Frames one at a time ----------------------------------------------------------------

// The distinct colours of the held frames, numbered in the order they were
// first seen; at most 65536 of them.
class TPaletteReduction::TColorNumbers {
 public:
  static constexpr std::size_t kMaxNumbers = 65536;

  TColorNumbers() : keys_(kSlots, kEmpty), numbers_(kSlots, 0) {}

  // The numbers of a 24-bit frame's pixels, row by row; false when the frame
  // has a colour that no longer gets a number.
  bool Number(const TBitmap& frame, std::vector<std::uint16_t>& out) {
    const int w = frame.Width(), h = frame.Height();
    out.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    std::uint16_t* to = out.data();
    std::uint32_t lastKey = kEmpty;
    std::uint16_t lastNumber = 0;
    for (int y = 0; y < h; ++y) {
      const std::uint8_t* p = frame.ScanLine(y);
      for (int x = 0; x < w; ++x, p += 3) {
        // Neighbours repeat themselves: the last colour is tried first.
        const std::uint32_t key = p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
        if (key != lastKey) {
          const int number = NumberOf(key);
          if (number < 0) return false;
          lastKey = key;
          lastNumber = static_cast<std::uint16_t>(number);
        }
        *to++ = lastNumber;
      }
    }
    return true;
  }

  // The number of a colour seen before, or -1.
  int Find(TColor color) const {
    const std::uint32_t key = GetBValue(color) | (std::uint32_t{GetGValue(color)} << 8) |
                              (std::uint32_t{GetRValue(color)} << 16);
    for (std::uint32_t slot = Slot(key);; slot = (slot + 1) & (kSlots - 1)) {
      if (keys_[slot] == key) return numbers_[slot];
      if (keys_[slot] == kEmpty) return -1;
    }
  }

  const std::vector<TColor>& Colors() const { return colors_; }

 private:
  static constexpr std::uint32_t kSlots = 1u << 17;  // twice the numbers, so probes stay short
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

  static std::uint32_t Slot(std::uint32_t key) { return (key * 2654435761u) >> (32 - 17); }

  // The number of the colour (bytes blue, green, red), given to it when it
  // is new; -1 when every number is taken.
  int NumberOf(std::uint32_t key) {
    std::uint32_t slot = Slot(key);
    for (;; slot = (slot + 1) & (kSlots - 1)) {
      if (keys_[slot] == key) return numbers_[slot];
      if (keys_[slot] == kEmpty) break;
    }
    if (colors_.size() >= kMaxNumbers) return -1;
    keys_[slot] = key;
    numbers_[slot] = static_cast<std::uint16_t>(colors_.size());
    colors_.push_back(RGB(static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 8),
                          static_cast<std::uint8_t>(key)));
    return numbers_[slot];
  }

  std::vector<std::uint32_t> keys_;
  std::vector<std::uint16_t> numbers_;
  std::vector<TColor> colors_;
};

// A frame in the order it came: reduced, or held for the shared palette.
struct TPaletteReduction::TEntry {
  std::unique_ptr<TSetOfBitmapsItem> item;
  bool held = false;
  // A held frame whose colours were numbered: its bitmap is emptied and its
  // pixels are these numbers; otherwise its bitmap stays as it came.
  std::vector<std::uint16_t> numbers;
  int width = 0, height = 0;
  TColor transparentColor = 0;  // the bitmap's transparent colour when it came

  // The held frame as it came: a 24-bit bitmap again.
  void Unpack(const std::vector<TColor>& colors) {
    if (numbers.empty()) return;
    TMinGDIBitmap& bitmap = *item->Bitmap;
    bitmap.SetSize(width, height);
    const std::uint16_t* from = numbers.data();
    for (int y = 0; y < height; ++y) {
      std::uint8_t* p = bitmap.ScanLine(y);
      for (int x = 0; x < width; ++x, p += 3) {
        const TColor c = colors[*from++];
        p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
      }
    }
    numbers = {};
  }
};

TPaletteReduction::TPaletteReduction(int kind, int colors, TMaxLogPalette* custom)
    : kind_(kind), colors_(colors), custom_(custom), shared_(FixedPaletteOf(kind, custom)) {
  if (kind == pkAdaptive) counts_.ClearList();
  if (SharedByAllFrames()) numbers_ = std::make_unique<TColorNumbers>();
}

TPaletteReduction::~TPaletteReduction() = default;

bool TPaletteReduction::SharedByAllFrames() const { return SharedFromCounts(kind_); }

void TPaletteReduction::Add(std::unique_ptr<TSetOfBitmapsItem> item) {
  if (!item->Bitmap) item->Bitmap = std::make_unique<TMinGDIBitmap>();
  TMinGDIBitmap& bitmap = *item->Bitmap;
  bitmap.RestoreImage();
  TEntry entry;
  if (!SharedByAllFrames()) {
    std::optional<TMaxLogPalette> own;
    if (PerFrame(kind_)) own = OwnPaletteOf(kind_, colors_, bitmap, item->Transparent != 0, counts_);
    ReduceFrame(*item, own ? &*own : (shared_ ? &*shared_ : nullptr));
  } else {
    counts_.CountColors(bitmap);
    if (item->Transparent) keep_.push_back({bitmap.TransparentColor()});
    entry.held = true;
    entry.width = bitmap.Width();
    entry.height = bitmap.Height();
    entry.transparentColor = bitmap.TransparentColor();
    if (bitmap.PixelFormat() == pf24bit && !bitmap.Empty() && numbers_->Number(bitmap, entry.numbers)) {
      bitmap.SetSize(0, 0);
    } else {
      entry.numbers = {};
    }
  }
  entry.item = std::move(item);
  entries_.push_back(std::move(entry));
}

std::int64_t TPaletteReduction::HeldBytes() const {
  std::int64_t bytes = 0;
  for (const TEntry& e : entries_)
    if (e.held) bytes += e.numbers.empty() ? e.item->Bitmap->RowBytes() * e.item->Bitmap->Height()
                                           : static_cast<std::int64_t>(e.numbers.size()) * 2;
  return bytes;
}

void TPaletteReduction::ReduceHeld(TEntry& entry, const std::vector<std::uint8_t>& indexOfNumber) {
  TSetOfBitmapsItem& item = *entry.item;
  entry.held = false;
  if (entry.numbers.empty()) {
    ReduceFrame(item, &*shared_);
    return;
  }
  // The same bitmap ReducedCopy draws, one distinct colour matched at a time.
  auto fresh = std::make_unique<TMinGDIBitmap>();
  fresh->SetPixelFormat(pf8bit);
  fresh->SetSize(entry.width, entry.height);
  fresh->SetPalette(ToPalette(*shared_));
  const std::uint16_t* from = entry.numbers.data();
  for (int y = 0; y < entry.height; ++y) {
    std::uint8_t* row = fresh->ScanLine(y);
    for (int x = 0; x < entry.width; ++x) row[x] = indexOfNumber[*from++];
  }
  if (item.Transparent) {
    // The first place, column by column, of the transparent colour.
    std::optional<TPoint> at;
    const int number = numbers_->Find(entry.transparentColor & 0xFFFFFFu);
    for (int x = 0; number >= 0 && x < entry.width && !at; ++x)
      for (int y = 0; y < entry.height; ++y)
        if (entry.numbers[static_cast<std::size_t>(y) * entry.width + x] == number) {
          at = Point(x, y);
          break;
        }
    RefindTransparentColor(item, at, *fresh);
  }
  entry.numbers = {};
  item.Bitmap = std::move(fresh);
  item.Bitmap->SetModified(true);
  item.Bitmap->SaveAndRelease();
}

bool TPaletteReduction::Finish(TSetOfBitmaps& frames) {
  if (!SharedByAllFrames()) {
    GiveBack(frames);
    return true;
  }
  shared_ = ReducePalette(counts_, colors_, keep_, true);
  // Each distinct colour is matched once, as the canvas matches it.
  const TPalette palette = ToPalette(*shared_);
  const TNearestColorFinder finder(palette);
  std::vector<std::uint8_t> indexOfNumber;
  indexOfNumber.reserve(numbers_->Colors().size());
  for (const TColor c : numbers_->Colors()) indexOfNumber.push_back(static_cast<std::uint8_t>(std::max(0, finder.Find(c))));

  const int last = static_cast<int>(entries_.size()) - 1;
  Progress(0, last);
  for (int i = 0; i <= last; ++i) {
    TEntry& entry = entries_[static_cast<std::size_t>(i)];
    ReduceHeld(entry, indexOfNumber);
    frames.push_back(std::move(entry.item));
    Progress(i, last);
    if (CancelFlag != 0 && i < last) {
      entries_.erase(entries_.begin(), entries_.begin() + i + 1);
      GiveBack(frames);
      return false;
    }
  }
  entries_.clear();
  return true;
}

void TPaletteReduction::GiveBack(TSetOfBitmaps& frames) {
  for (TEntry& entry : entries_) {
    if (numbers_) entry.Unpack(numbers_->Colors());
    frames.push_back(std::move(entry.item));
  }
  entries_.clear();
}

// ---- Palette files -----------------------------------------------------------------------

namespace {

// A palette file is a few kilobytes; more than this is not read.
constexpr std::int64_t kMaxPaletteFileBytes = std::int64_t{16} << 20;

std::string ReadAtMost(TStream& stream, std::int64_t limit) {
  std::string bytes;
  char chunk[65536];
  while (static_cast<std::int64_t>(bytes.size()) < limit) {
    const std::int64_t want = std::min<std::int64_t>(sizeof chunk, limit - static_cast<std::int64_t>(bytes.size()));
    const std::int64_t got = stream.Read(chunk, want);
    if (got <= 0) break;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
  return bytes;
}

// The first three runs of decimal digits of a line, each kept modulo 256.
bool ParsePaletteLine(const std::string& line, std::uint8_t (&values)[3]) {
  int runs = 0;
  std::size_t i = 0;
  while (runs < 3) {
    while (i < line.size() && !std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
    if (i == line.size()) return false;
    unsigned value = 0;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])))
      value = (value * 10 + static_cast<unsigned>(line[i++] - '0')) & 0xFFu;
    values[runs++] = static_cast<std::uint8_t>(value);
  }
  return true;
}

}  // namespace

void LoadPaletteFile(TStream& stream, TMaxLogPalette& palette) {
  stream.SetPosition(0);  // the whole stream, wherever it stood
  const std::string bytes = ReadAtMost(stream, kMaxPaletteFileBytes);
  palette.palNumEntries = 0;
  for (TPaletteEntry& e : palette.palPalEntry) e.peRed = e.peGreen = e.peBlue = 0;
  const auto* buffer = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const auto size = static_cast<std::int64_t>(bytes.size());
  std::int64_t position = 0;
  while (position < size && palette.palNumEntries < 256) {
    const std::string line = ReadBufLine(buffer, position, size);
    std::uint8_t rgb[3];
    if (!ParsePaletteLine(line, rgb)) continue;
    TPaletteEntry& e = palette.palPalEntry[palette.palNumEntries++];
    e.peRed = rgb[0];
    e.peGreen = rgb[1];
    e.peBlue = rgb[2];
  }
}
