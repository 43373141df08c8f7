#include "imaging/CreatePaletteU.h"

#include "imaging/ColorTbl.h"
#include "imaging/GifDecl.h"
#include "imaging/MinGDIBitmapU.h"
#include "imaging/utils.h"
#include "platform/Numeric.h"
#include "platform/Streams.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cstdlib>
#include <cstring>
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
  ClearIndex();
}

void TColorCounts::ClearList() {
  bins_ = false;
  std::fill(cells_.begin(), cells_.end(), TColorCount{});
  listLength_ = 0;
  ClearIndex();
}

namespace {

constexpr std::uint32_t kIndexSlots = 1u << 16;  // twice the cells of a full list
constexpr std::uint32_t kIndexMarker = 0x1000000u;

std::uint32_t IndexSlot(std::uint32_t key) { return (key * 2654435761u) >> 16; }

}  // namespace

int TColorCounts::CellOf(TColor color) const {
  if (indexKeys_.empty()) return -1;
  const std::uint32_t key = color | kIndexMarker;
  for (std::uint32_t slot = IndexSlot(key);; slot = (slot + 1) & (kIndexSlots - 1)) {
    if (indexKeys_[slot] == key) return indexCells_[slot];
    if (indexKeys_[slot] == 0) return -1;
  }
}

void TColorCounts::Index(TColor color, int cell) {
  if (indexKeys_.empty()) {
    indexKeys_.assign(kIndexSlots, 0);
    indexCells_.assign(kIndexSlots, 0);
  }
  const std::uint32_t key = color | kIndexMarker;
  std::uint32_t slot = IndexSlot(key);
  while (indexKeys_[slot] != 0 && indexKeys_[slot] != key) slot = (slot + 1) & (kIndexSlots - 1);
  indexKeys_[slot] = key;
  indexCells_[slot] = cell;
  indexWritten_.push_back(slot);
}

void TColorCounts::Unindex(TColor color) {
  if (indexKeys_.empty()) return;
  const std::uint32_t key = color | kIndexMarker;
  std::uint32_t slot = IndexSlot(key);
  while (indexKeys_[slot] != key) {
    if (indexKeys_[slot] == 0) return;
    slot = (slot + 1) & (kIndexSlots - 1);
  }
  // Later keys of the probe run move back into the gap, so that no lookup
  // stops at it too early.
  std::uint32_t gap = slot;
  for (std::uint32_t next = (gap + 1) & (kIndexSlots - 1); indexKeys_[next] != 0; next = (next + 1) & (kIndexSlots - 1)) {
    const std::uint32_t home = IndexSlot(indexKeys_[next]);
    // The key may fill the gap when its home is not within (gap, next].
    const bool between = gap <= next ? (home > gap && home <= next) : (home > gap || home <= next);
    if (between) continue;
    indexKeys_[gap] = indexKeys_[next];
    indexCells_[gap] = indexCells_[next];
    indexWritten_.push_back(gap);
    gap = next;
  }
  indexKeys_[gap] = 0;
}

void TColorCounts::ClearIndex() {
  for (const std::uint32_t slot : indexWritten_) indexKeys_[slot] = 0;
  indexWritten_.clear();
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
  if (const int hit = CellOf(color); hit >= 0) {
    Increment(cells_[static_cast<std::size_t>(hit)].Count);
    return;
  }
  int cell = listLength_;
  if (listLength_ < kColorCells) {
    ++listLength_;
  } else {
    cell = kColorCells - 1;  // a full list overwrites its last cell
    Unindex(cells_[static_cast<std::size_t>(cell)].Color);
  }
  cells_[static_cast<std::size_t>(cell)] = {color, 1};
  Index(color, cell);
}

void TColorCounts::CountColors(const TBitmap& frame) {
  constexpr int kSampleSize = 100;
  TBitmap sample;
  sample.SetPixelFormat(pf24bit);
  sample.SetSize(kSampleSize, kSampleSize);
  sample.Canvas().StretchDraw(Rect(0, 0, kSampleSize, kSampleSize), frame);
  const TBitmap& samples = sample;
  // Runs of one colour are common: the cell of the colour counted last is
  // counted again without a lookup (it stays that colour's until the next
  // colour is added).
  TColor last = 0;
  int lastCell = -1;
  for (int y = 0; y < kSampleSize; ++y) {
    const std::uint8_t* row = samples.ScanLine(y);
    for (int x = 0; x < kSampleSize; ++x) {
      const TColor color = RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
      if (lastCell >= 0 && color == last) {
        Increment(cells_[static_cast<std::size_t>(lastCell)].Count);
        continue;
      }
      Add(color);
      last = color;
      lastCell = bins_ ? -1 : CellOf(color);
    }
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

// The living cells of a pass sorted into a grid over the weighted colour
// space, so that the nearest candidate is searched among the colours around a
// cell's own. A grid cell spans 8 red, 4 green and 22 blue levels: about 240,
// 236 and 242 weighted units. Merged-away cells and cells whose colour moved
// away are left in their old grid cells and passed over.
class TColorGrid {
 public:
  explicit TColorGrid(const TLivingCells& alive) : alive_(alive), cells_(kCells), home_(alive.Size()) {
    for (std::size_t k = 0; k < alive.Size(); ++k) Place(k);
    counts_.assign(alive.count.begin(), alive.count.end());
    std::sort(counts_.begin(), counts_.end());
    counts_.erase(std::unique(counts_.begin(), counts_.end()), counts_.end());
    living_.assign(counts_.size() + 1, 0);
    for (const std::int32_t count : alive.count) AddLiving(SlotOf(count), 1);
  }

  // A living cell of this count was merged away.
  void Removed(std::int32_t count) { AddLiving(SlotOf(count), -1); }

  // Puts the living cell k into the grid cell of its colour (after it changed).
  void Place(std::size_t k) {
    const std::uint32_t home = CellOf(Bins(alive_.r[k], alive_.g[k], alive_.b[k]));
    home_[k] = home;
    cells_[home].push_back(static_cast<std::uint32_t>(k));
  }

  // NearestMergeCandidate's choice: the nearest equally or less frequent
  // colour, the first of equal distances in cell order, where an exact twin
  // gives way to the next candidate after it.
  std::size_t Nearest(std::size_t a) const {
    const std::int32_t mr = alive_.r[a], mg = alive_.g[a], mb = alive_.b[a], mc = alive_.count[a];
    // Without another living colour as frequent or rarer there is nothing to
    // search for (the whole grid would be walked to find that out).
    const auto rank = std::upper_bound(counts_.begin(), counts_.end(), mc) - counts_.begin();
    if (LivingUpTo(static_cast<std::size_t>(rank)) <= 1) return alive_.Size();
    const std::array<int, 3> at = Bins(mr, mg, mb);
    const auto candidate = [&](std::uint32_t k, std::uint32_t cell) {
      return k != a && home_[k] == cell && static_cast<std::uint32_t>(alive_.count[k] - 1) < static_cast<std::uint32_t>(mc);
    };
    // Twins share the colour and so the grid cell: the last of them decides
    // where the search starts.
    const std::uint32_t own = CellOf(at);
    std::int64_t lastTwin = -1;
    for (const std::uint32_t k : cells_[own])
      if (candidate(k, own) && alive_.r[k] == mr && alive_.g[k] == mg && alive_.b[k] == mb)
        lastTwin = std::max<std::int64_t>(lastTwin, k);
    const std::uint32_t first = static_cast<std::uint32_t>(lastTwin + 1);

    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    std::size_t best = alive_.Size();
    for (int ring = 0;; ++ring) {
      bool inside = false;  // some grid cell of this ring lies within the grid
      // Only the ring's shell: inside a red and green face every blue
      // step, elsewhere its two blue faces (the choice does not depend on
      // the order in which the cells are visited).
      for (int dr = -ring; dr <= ring; ++dr)
        for (int dg = -ring; dg <= ring; ++dg) {
          const bool face = std::abs(dr) == ring || std::abs(dg) == ring;
          const int step = face ? 1 : 2 * ring;
          for (int db = -ring; db <= ring; db += step) {
            const std::array<int, 3> bins{at[0] + dr, at[1] + dg, at[2] + db};
            if (!Within(bins)) continue;
            inside = true;
            const std::uint32_t cell = CellOf(bins);
            for (const std::uint32_t k : cells_[cell]) {
              if (k < first || !candidate(k, cell)) continue;
              const std::int64_t r = mr - alive_.r[k], g = mg - alive_.g[k], b = mb - alive_.b[k];
              const std::int64_t distance = r * r + g * g + b * b;
              if (distance < bestDistance || (distance == bestDistance && k < best)) {
                bestDistance = distance;
                best = k;
              }
            }
          }
        }
      if (!inside) break;
      // Any colour beyond this ring is at least this far.
      if (best != alive_.Size() && BeyondRing(mr, mg, mb, at, ring) > bestDistance) break;
    }
    if (best != alive_.Size()) return best;
    return lastTwin >= 0 ? static_cast<std::size_t>(lastTwin) : alive_.Size();
  }

 private:
  static constexpr int kSpan[3] = {8, 4, 22};      // levels per grid cell: red, green, blue
  static constexpr int kBins[3] = {32, 64, 12};
  static constexpr int kWeight[3] = {30, 59, 11};
  static constexpr std::size_t kCells = 32 * 64 * 12;

  static std::array<int, 3> Bins(std::int32_t r, std::int32_t g, std::int32_t b) {
    return {r / kWeight[0] / kSpan[0], g / kWeight[1] / kSpan[1], b / kWeight[2] / kSpan[2]};
  }
  static bool Within(const std::array<int, 3>& bins) {
    for (int i = 0; i < 3; ++i)
      if (bins[static_cast<std::size_t>(i)] < 0 || bins[static_cast<std::size_t>(i)] >= kBins[i]) return false;
    return true;
  }
  static std::uint32_t CellOf(const std::array<int, 3>& bins) {
    return static_cast<std::uint32_t>((bins[0] * kBins[1] + bins[1]) * kBins[2] + bins[2]);
  }
  // The least squared distance from the colour to any colour outside the
  // grid cells within the ring around its own.
  static std::int64_t BeyondRing(std::int32_t r, std::int32_t g, std::int32_t b, const std::array<int, 3>& at, int ring) {
    const std::int32_t level[3] = {r / kWeight[0], g / kWeight[1], b / kWeight[2]};
    std::int64_t least = std::numeric_limits<std::int64_t>::max();
    for (int i = 0; i < 3; ++i) {
      const int low = at[static_cast<std::size_t>(i)] - ring, high = at[static_cast<std::size_t>(i)] + ring;
      if (low > 0) {
        const std::int64_t gap = static_cast<std::int64_t>(kWeight[i]) * (level[i] - low * kSpan[i] + 1);
        least = std::min(least, gap * gap);
      }
      if (high < kBins[i] - 1) {
        const std::int64_t gap = static_cast<std::int64_t>(kWeight[i]) * ((high + 1) * kSpan[i] - level[i]);
        least = std::min(least, gap * gap);
      }
    }
    return least;
  }

  // A Fenwick tree of the living cells by the rank of their counts.
  void AddLiving(std::size_t slot, int delta) {
    for (; slot < living_.size(); slot += slot & (~slot + 1)) living_[slot] += delta;
  }
  int LivingUpTo(std::size_t slot) const {
    int sum = 0;
    for (; slot > 0; slot -= slot & (~slot + 1)) sum += living_[slot];
    return sum;
  }
  // The tree's slot of a count of the pass.
  std::size_t SlotOf(std::int32_t count) const {
    return static_cast<std::size_t>(std::lower_bound(counts_.begin(), counts_.end(), count) - counts_.begin()) + 1;
  }

  const TLivingCells& alive_;
  std::vector<std::vector<std::uint32_t>> cells_;
  std::vector<std::uint32_t> home_;  // the grid cell each living cell is in now
  std::vector<std::int32_t> counts_;  // the distinct counts of the pass, sorted
  std::vector<int> living_;           // living cells by count
};

// Below this many colours a pass scans the candidates straight through.
constexpr std::size_t kGridFrom = 1024;

}  // namespace

void MergeListCounts(std::vector<TColorCount>& cells, int wanted, const std::function<void(int)>& afterPass) {
  wanted = std::max(wanted, 0);
  const std::size_t n = std::min<std::size_t>(cells.size(), kColorCells);
  int remaining = 0;
  for (std::size_t i = 0; i < n; ++i) remaining += cells[i].Count > 0 ? 1 : 0;

  TLivingCells alive;
  while (remaining > wanted) {
    alive.Collect(cells, n);
    std::optional<TColorGrid> grid;
    if (alive.Size() >= kGridFrom) grid.emplace(alive);
    bool merged = false;
    for (std::size_t a = 0; a < alive.Size() && remaining > wanted; ++a) {
      if (alive.count[a] == 0) continue;
      const std::size_t victim = grid ? grid->Nearest(a) : NearestMergeCandidate(alive, a);
      if (victim == alive.Size()) continue;
      if (alive.count[victim] == alive.count[a]) {
        TColor& colour = cells[alive.cell[a]].Color;
        colour = Average(colour, cells[alive.cell[victim]].Color);
        alive.r[a] = 30 * GetRValue(colour);
        alive.g[a] = 59 * GetGValue(colour);
        alive.b[a] = 11 * GetBValue(colour);
        if (grid) grid->Place(a);
      }
      if (grid) grid->Removed(alive.count[victim]);
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

// ---- Colour indices ----------------------------------------------------------------------

TColorIndexCache::TColorIndexCache(const TPaletteEntry* entries, int count, int except)
    : keys_(std::size_t{1} << 12, kNoKey), indices_(keys_.size(), 0) {
  for (int i = 0; i < 256; ++i) remap_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  count = std::clamp(count, 0, 256);
  std::vector<TPaletteEntry> search(entries, entries + count);
  if (except >= 0 && except < count && count > 1) {
    // The left-out entry becomes a copy of its nearest other entry, and a
    // colour found there is given that entry.
    std::vector<TPaletteEntry> others = search;
    others.erase(others.begin() + except);
    int nearest = NearestColorIndex(others.data(), static_cast<int>(others.size()), ColorOf(search[static_cast<std::size_t>(except)]));
    if (nearest >= except) ++nearest;
    search[static_cast<std::size_t>(except)] = search[static_cast<std::size_t>(nearest)];
    remap_[static_cast<std::size_t>(except)] = static_cast<std::uint8_t>(nearest);
  }
  finder_ = std::make_unique<TNearestColorFinder>(search.data(), count);
}

TColorIndexCache::~TColorIndexCache() = default;

std::size_t TColorIndexCache::Slot(std::uint32_t key) const {
  return static_cast<std::size_t>((key * 2654435761u) >> (32 - bits_));
}

std::uint8_t TColorIndexCache::IndexOf(const std::uint8_t* pixel) {
  const std::uint32_t key = pixel[0] | (std::uint32_t{pixel[1]} << 8) | (std::uint32_t{pixel[2]} << 16);
  std::size_t slot = Slot(key);
  while (keys_[slot] != key) {
    if (keys_[slot] == kNoKey) return Insert(slot, key);
    slot = (slot + 1) & (keys_.size() - 1);
  }
  return indices_[slot];
}

std::uint8_t TColorIndexCache::Insert(std::size_t slot, std::uint32_t key) {
  const int found = std::max(0, finder_->Find(RGB(static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 8),
                                                  static_cast<std::uint8_t>(key))));
  const std::uint8_t index = remap_[static_cast<std::size_t>(found & 0xFF)];
  keys_[slot] = key;
  indices_[slot] = index;
  // Half full at most, so that probes stay short.
  if (++used_ * 2 > keys_.size()) Grow();
  return index;
}

void TColorIndexCache::Grow() {
  std::vector<std::uint32_t> keys(keys_.size() * 2, kNoKey);
  std::vector<std::uint8_t> indices(keys.size(), 0);
  ++bits_;
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    if (keys_[i] == kNoKey) continue;
    std::size_t slot = Slot(keys_[i]);
    while (keys[slot] != kNoKey) slot = (slot + 1) & (keys.size() - 1);
    keys[slot] = keys_[i];
    indices[slot] = indices_[i];
  }
  keys_ = std::move(keys);
  indices_ = std::move(indices);
}

// ---- Frames one at a time ----------------------------------------------------------------

// Keeps the bytes of held frames in large blocks of their own, so that these
// long-lived bytes are not scattered among the frames that come and go (the
// memory those free is then taken again by the next ones, not fresh from the
// system).
class TByteStore {
 public:
  const std::uint8_t* Keep(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return nullptr;
    if (blocks_.empty() || used_ + bytes.size() > blockSize_) {
      blockSize_ = std::max(kBlockBytes, bytes.size());
      blocks_.push_back(std::make_unique<std::uint8_t[]>(blockSize_));
      blockSizes_.push_back(blockSize_);
      used_ = 0;
    }
    std::uint8_t* at = blocks_.back().get() + used_;
    std::memcpy(at, bytes.data(), bytes.size());
    used_ += bytes.size();
    return at;
  }
  // Frees the blocks kept before the one that holds the bytes at `at` (the
  // bytes are read back in the order they were kept).
  void ReleaseBlocksBefore(const std::uint8_t* at) {
    if (at == nullptr) return;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
      if (!blocks_[i]) continue;
      const std::uint8_t* start = blocks_[i].get();
      if (i + 1 == blocks_.size() || (at >= start && at < start + blockSizes_[i])) return;
      blocks_[i].reset();
    }
  }

 private:
  static constexpr std::size_t kBlockBytes = std::size_t{4} << 20;
  std::vector<std::unique_ptr<std::uint8_t[]>> blocks_;
  std::vector<std::size_t> blockSizes_;
  std::size_t blockSize_ = 0;
  std::size_t used_ = 0;
};

// A 24-bit picture packed row by row in runs: a byte below $80 is followed
// by that many plus one pixels as they are (3 bytes each); any other byte
// stands for ((byte and $7F) + 1) times the pixel after it. The bytes stay
// in a store.
class TPackedPixels {
 public:
  // Packs the picture through scratch into the store.
  void Pack(const TBitmap& picture, std::vector<std::uint8_t>& scratch, TByteStore& store) {
    width_ = picture.Width();
    height_ = picture.Height();
    scratch.clear();
    for (int y = 0; y < height_; ++y) PackRow(picture.ScanLine(y), width_, scratch);
    bytes_ = store.Keep(scratch);
    size_ = scratch.size();
  }
  // Calls row (y, pixels) for every row, its pixels unpacked (bytes blue, green, red).
  template <typename Row>
  void ForEachRow(Row&& row) const {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width_) * 3);
    std::size_t at = 0;
    for (int y = 0; y < height_; ++y) {
      std::size_t x = 0;
      while (x < pixels.size() && at < size_) {
        const std::uint8_t head = bytes_[at++];
        const std::size_t n = 3 * static_cast<std::size_t>((head & 0x7F) + 1);
        const std::size_t fits = std::min(n, pixels.size() - x);
        if (head & 0x80) {
          // The pixel, then what is filled so far copied after itself.
          std::uint8_t* run = pixels.data() + x;
          std::memcpy(run, bytes_ + at, 3);
          for (std::size_t filled = 3; filled < fits;) {
            const std::size_t more = std::min(filled, fits - filled);
            std::memcpy(run + filled, run, more);
            filled += more;
          }
          at += 3;
        } else {
          std::memcpy(pixels.data() + x, bytes_ + at, fits);
          at += n;
        }
        x += n;
      }
      row(y, pixels.data());
    }
  }
  // Writes each pixel's index (through indexOf, once per run and per change
  // of colour) into the rows of an 8-bit bitmap of the picture's size.
  template <typename IndexOf>
  void WriteIndices(TBitmap& target, IndexOf&& indexOf) const {
    std::size_t at = 0;
    for (int y = 0; y < height_; ++y) {
      std::uint8_t* row = target.ScanLine(y);
      int x = 0;
      std::uint32_t lastKey = 0xFFFFFFFFu;
      std::uint8_t lastIndex = 0;
      const auto index = [&](const std::uint8_t* p) {
        const std::uint32_t key = p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
        if (key != lastKey) {
          lastKey = key;
          lastIndex = indexOf(p);
        }
        return lastIndex;
      };
      while (x < width_ && at < size_) {
        const std::uint8_t head = bytes_[at++];
        const int n = std::min((head & 0x7F) + 1, width_ - x);
        if (head & 0x80) {
          std::memset(row + x, index(bytes_ + at), static_cast<std::size_t>(n));
          at += 3;
        } else {
          const std::uint8_t* p = bytes_ + at;
          for (int k = 0; k < n; ++k, p += 3) row[x + k] = index(p);
          at += 3 * static_cast<std::size_t>((head & 0x7F) + 1);
        }
        x += n;
      }
    }
  }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return size_ == 0; }
  const std::uint8_t* Data() const { return bytes_; }
  std::int64_t Bytes() const { return static_cast<std::int64_t>(size_); }
  // Forgets the bytes (the store frees them with itself).
  void Clear() {
    bytes_ = nullptr;
    size_ = 0;
  }

 private:
  static void PackRow(const std::uint8_t* p, int count, std::vector<std::uint8_t>& out) {
    const auto same = [&](int a, int b) { return std::memcmp(p + 3 * a, p + 3 * b, 3) == 0; };
    int i = 0;
    while (i < count) {
      int run = 1;
      while (i + run < count && run < 128 && same(i + run, i)) ++run;
      if (run >= 2) {
        out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
        out.insert(out.end(), p + 3 * i, p + 3 * i + 3);
        i += run;
        continue;
      }
      // Pixels as they are, up to the next pair of equal ones.
      int end = i + 1;
      while (end < count && end - i < 128 && !(end + 1 < count && same(end, end + 1))) ++end;
      out.push_back(static_cast<std::uint8_t>(end - i - 1));
      out.insert(out.end(), p + 3 * i, p + 3 * end);
      i = end;
    }
  }

  int width_ = 0, height_ = 0;
  const std::uint8_t* bytes_ = nullptr;
  std::size_t size_ = 0;
};

// A frame in the order it came: reduced, or held for the shared palette.
struct TPaletteReduction::TEntry {
  std::unique_ptr<TSetOfBitmapsItem> item;
  bool held = false;
  // A held 24-bit frame's pixels; its bitmap is emptied meanwhile. Frames of
  // other formats keep their bitmaps.
  TPackedPixels pixels;
  TColor transparentColor = 0;  // the bitmap's transparent colour when it came

  // The held frame as it came: a 24-bit bitmap again.
  void Unpack() {
    if (pixels.Empty()) return;
    TMinGDIBitmap& bitmap = *item->Bitmap;
    bitmap.SetSize(pixels.Width(), pixels.Height());
    const auto rowBytes = static_cast<std::size_t>(pixels.Width()) * 3;
    pixels.ForEachRow([&](int y, const std::uint8_t* row) { std::memcpy(bitmap.ScanLine(y), row, rowBytes); });
    pixels.Clear();
  }
};

TPaletteReduction::TPaletteReduction(int kind, int colors, TMaxLogPalette* custom)
    : kind_(kind),
      colors_(colors),
      custom_(custom),
      shared_(FixedPaletteOf(kind, custom)),
      store_(std::make_unique<TByteStore>()) {
  if (kind == pkAdaptive) counts_.ClearList();
}

TPaletteReduction::~TPaletteReduction() = default;

bool TPaletteReduction::SharedByAllFrames() const { return SharedFromCounts(kind_); }

void TPaletteReduction::Add(std::unique_ptr<TSetOfBitmapsItem> item, const TBitmap* counted) {
  if (!item->Bitmap) item->Bitmap = std::make_unique<TMinGDIBitmap>();
  TMinGDIBitmap& bitmap = *item->Bitmap;
  bitmap.RestoreImage();
  TEntry entry;
  if (!SharedByAllFrames()) {
    std::optional<TMaxLogPalette> own;
    if (PerFrame(kind_)) own = OwnPaletteOf(kind_, colors_, bitmap, item->Transparent != 0, counts_);
    ReduceFrame(*item, own ? &*own : (shared_ ? &*shared_ : nullptr));
  } else {
    counts_.CountColors(counted != nullptr ? *counted : bitmap);
    if (item->Transparent) keep_.push_back({bitmap.TransparentColor()});
    entry.held = true;
    entry.transparentColor = bitmap.TransparentColor();
    if (bitmap.PixelFormat() == pf24bit && !bitmap.Empty()) {
      entry.pixels.Pack(bitmap, packing_, *store_);
      bitmap.SetSize(0, 0);
    }
  }
  entry.item = std::move(item);
  entries_.push_back(std::move(entry));
}

std::int64_t TPaletteReduction::HeldBytes() const {
  std::int64_t bytes = 0;
  for (const TEntry& e : entries_)
    if (e.held) bytes += e.pixels.Empty() ? e.item->Bitmap->RowBytes() * e.item->Bitmap->Height() : e.pixels.Bytes();
  return bytes;
}

void TPaletteReduction::ReduceHeld(TEntry& entry, TColorIndexCache& indices) {
  TSetOfBitmapsItem& item = *entry.item;
  entry.held = false;
  if (entry.pixels.Empty()) {
    ReduceFrame(item, &*shared_);
    return;
  }
  // The same bitmap ReducedCopy draws.
  const int width = entry.pixels.Width(), height = entry.pixels.Height();
  auto fresh = std::make_unique<TMinGDIBitmap>();
  fresh->SetPixelFormat(pf8bit);
  fresh->SetSize(width, height);
  fresh->SetPalette(ToPalette(*shared_));
  entry.pixels.WriteIndices(*fresh, [&](const std::uint8_t* pixel) { return indices.IndexOf(pixel); });
  if (item.Transparent) {
    // The transparent colour's first place, column by column.
    const TColor key = entry.transparentColor & 0xFFFFFFu;
    const std::uint8_t keyBytes[3] = {GetBValue(key), GetGValue(key), GetRValue(key)};
    std::optional<TPoint> at;
    entry.pixels.ForEachRow([&](int y, const std::uint8_t* pixels) {
      const int limit = at ? at->X : width;  // only a column further left can win
      for (int x = 0; x < limit; ++x)
        if (std::memcmp(pixels + 3 * x, keyBytes, 3) == 0) {
          at = Point(x, y);
          break;
        }
    });
    RefindTransparentColor(item, at, *fresh);
  }
  entry.pixels.Clear();
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
  const TPalette palette = ToPalette(*shared_);
  TColorIndexCache indices(palette.Entries().data(), palette.Count());
  const int last = static_cast<int>(entries_.size()) - 1;
  Progress(0, last);
  for (int i = 0; i <= last; ++i) {
    TEntry& entry = entries_[static_cast<std::size_t>(i)];
    ReduceHeld(entry, indices);
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
    entry.Unpack();
    frames.push_back(std::move(entry.item));
  }
  entries_.clear();
}

std::size_t TPaletteReduction::HeldCount() const { return entries_.size(); }

TMaxLogPalette TPaletteReduction::MakeSharedPalette() {
  shared_ = ReducePalette(counts_, colors_, keep_, true);
  return *shared_;
}

bool TPaletteReduction::HandOnHeld(const std::function<void(std::unique_ptr<TSetOfBitmapsItem>)>& take) {
  std::size_t next = 0;
  for (; next < entries_.size(); ++next) {
    if (CancelFlag != 0) break;
    TEntry& entry = entries_[next];
    // The bytes of the frames handed on before are not read again.
    store_->ReleaseBlocksBefore(entry.pixels.Data());
    entry.Unpack();
    entry.held = false;
    take(std::move(entry.item));
  }
  entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(next));
  return entries_.empty();
}

// ---- Frames mapped as the viewer shows them ----------------------------------------------

namespace {

bool IsFixedKind(int kind) { return kind == pkBrowser1 || kind == pkBrowser || kind == pkStandardVGA || kind == pkGrayscale || kind == pkCustom; }

int EntryCount(const TMaxLogPalette& p) { return std::clamp<int>(p.palNumEntries, 0, 256); }

// The first colour of 255, 510, ... that no entry of the palette has.
TColor FreeKeyColor(const TMaxLogPalette& p, int count) {
  for (TColor key = 255;; key += 255) {
    bool used = false;
    for (int i = 0; i < count && !used; ++i) used = (ColorOf(p.palPalEntry[static_cast<std::size_t>(i)]) & 0xFFFFFFu) == key;
    if (!used) return key;
  }
}

std::int32_t EntryDistance(const TPaletteEntry& a, const TPaletteEntry& b) {
  const std::int32_t dr = 30 * (a.peRed - b.peRed), dg = 59 * (a.peGreen - b.peGreen), db = 11 * (a.peBlue - b.peBlue);
  return dr * dr + dg * dg + db * db;
}

// The entry of a full palette that the key can take at the least cost: the
// last duplicate of an earlier entry (no colour ever maps to it), else the
// first entry closest to another one, black and white spared.
int SpareEntryOf(const TMaxLogPalette& p, int count) {
  for (int i = count - 1; i > 0; --i)
    for (int j = 0; j < i; ++j)
      if (ColorOf(p.palPalEntry[static_cast<std::size_t>(i)]) == ColorOf(p.palPalEntry[static_cast<std::size_t>(j)])) return i;
  int best = -1;
  std::int32_t bestDistance = std::numeric_limits<std::int32_t>::max();
  for (int i = 0; i < count; ++i) {
    const TColor c = ColorOf(p.palPalEntry[static_cast<std::size_t>(i)]) & 0xFFFFFFu;
    if (c == clBlack || c == clWhite) continue;
    for (int j = 0; j < count; ++j) {
      if (j == i) continue;
      const std::int32_t d = EntryDistance(p.palPalEntry[static_cast<std::size_t>(i)], p.palPalEntry[static_cast<std::size_t>(j)]);
      if (d < bestDistance) {
        bestDistance = d;
        best = i;
      }
    }
  }
  return best;
}

// The first pixel (column by column) whose flag is set; flags hold one byte per pixel, rows of width.
std::optional<TPoint> FirstFlaggedInColumns(const std::vector<std::uint8_t>& flags, int width, int height) {
  for (int x = 0; x < width; ++x)
    for (int y = 0; y < height; ++y)
      if (flags[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] != 0)
        return Point(x, y);
  return std::nullopt;
}

// The LZW code size of a picture with count colours.
int CodeSizeOf(int count) {
  int bits = 2;
  while ((1 << bits) < count && bits < 8) ++bits;
  return bits;
}

std::int64_t CodedBytes(const std::vector<std::uint8_t>& indices, int codeSize) {
  TByteBuffer coded;
  LzwEncode(indices.data(), static_cast<std::int64_t>(indices.size()), codeSize, coded);
  return coded.Count();
}

}  // namespace

// A palette ready for mapping: its entries, the key's entry (or none) and
// the search that never finds the key's entry.
struct TFrameColorMapper::TTarget {
  TMaxLogPalette palette;
  int keyIndex = -1;
  std::unique_ptr<TColorIndexCache> indices;
};

std::unique_ptr<TFrameColorMapper::TTarget> TFrameColorMapper::TargetOf(TMaxLogPalette palette, bool withKey,
                                                                        bool keyFromSpare) const {
  auto target = std::make_unique<TTarget>();
  int count = EntryCount(palette);
  if (withKey) {
    if (!keyFromSpare && count < 256) {
      target->keyIndex = count++;
      palette.palNumEntries = static_cast<std::uint16_t>(count);
    } else {
      target->keyIndex = SpareEntryOf(palette, count);
    }
  }
  if (target->keyIndex >= 0) {
    // The search sees the entry as it was, so that it is never found.
    target->indices = std::make_unique<TColorIndexCache>(palette.palPalEntry.data(), count, target->keyIndex);
    palette.palPalEntry[static_cast<std::size_t>(target->keyIndex)] = PaletteEntryOf(FreeKeyColor(palette, count));
  } else {
    target->indices = std::make_unique<TColorIndexCache>(palette.palPalEntry.data(), count);
  }
  target->palette = palette;
  return target;
}

TFrameColorMapper::TFrameColorMapper(int kind, int colors, TMaxLogPalette* custom, bool keying)
    : kind_(kind), colors_(colors), keying_(keying), shared_(FixedPaletteOf(kind, custom)) {
  if (shared_) {
    sharedTarget_ = TargetOf(*shared_, keying_, true);
    lastWanted_ = 0xFFFFFFFFu;
    shared_ = sharedTarget_->palette;
  }
}

TFrameColorMapper::~TFrameColorMapper() = default;

void TFrameColorMapper::SetSharedPalette(const TMaxLogPalette& palette) {
  sharedTarget_ = TargetOf(palette, keying_, false);
  lastWanted_ = 0xFFFFFFFFu;
  shared_ = sharedTarget_->palette;
}

bool TFrameColorMapper::ShowsAlready(const std::uint8_t* wanted, const std::uint8_t* shown) {
  if (!sharedTarget_) return false;
  const std::uint32_t key = wanted[0] | (std::uint32_t{wanted[1]} << 8) | (std::uint32_t{wanted[2]} << 16);
  if (key != lastWanted_) {
    lastWanted_ = key;
    lastShown_ = &sharedTarget_->palette.palPalEntry[sharedTarget_->indices->IndexOf(wanted)];
  }
  const TPaletteEntry& e = *lastShown_;
  return e.peBlue == shown[0] && e.peGreen == shown[1] && e.peRed == shown[2];
}

void TFrameColorMapper::CountShownPixels(const TMinGDIBitmap& bitmap, const std::vector<std::uint8_t>& keyed) {
  // About as many samples as a frame's stretched sample gives, each a pixel
  // the frame shows.
  constexpr std::int64_t kSamples = 10000;
  const std::int64_t shown = std::count(keyed.begin(), keyed.end(), 0);
  const std::int64_t stride = std::max<std::int64_t>(1, (shown + kSamples - 1) / kSamples);
  std::int64_t seen = 0;
  const int width = bitmap.Width();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* row = bitmap.ScanLine(y);
    const std::uint8_t* flags = keyed.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (int x = 0; x < width; ++x)
      if (flags[x] == 0 && seen++ % stride == 0) counts_.Add(RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
  }
}

void TFrameColorMapper::Map(TSetOfBitmapsItem& item, const std::vector<std::uint8_t>* keyed) {
  if (!item.Bitmap) item.Bitmap = std::make_unique<TMinGDIBitmap>();
  TMinGDIBitmap& old = *item.Bitmap;
  old.RestoreImage();
  if (old.PixelFormat() != pf24bit) old.SetPixelFormat(pf24bit);
  const int width = old.Width(), height = old.Height();
  const auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  const bool keying = keying_ && keyed != nullptr && keyed->size() == pixels && item.Transparent == 0 &&
                      std::find_if(keyed->begin(), keyed->end(), [](std::uint8_t k) { return k != 0; }) != keyed->end();

  std::unique_ptr<TTarget> own;
  TTarget* target = sharedTarget_.get();
  if (PerFrame(kind_)) {
    if (kind_ == pkOptimizedPerFrame) counts_.SeedBins();
    else counts_.ClearList();
    if (keying) CountShownPixels(old, *keyed);
    else counts_.CountColors(old);
    std::vector<TColorEntry> keep;
    if (item.Transparent) keep.push_back({old.TransparentColor()});
    own = TargetOf(ReducePalette(counts_, colors_, keep, false), keying, false);
    target = own.get();
  }
  if (target == nullptr) {
    // No palette (a custom palette that was not given): the default one.
    ReduceFrame(item, nullptr);
    return;
  }

  std::vector<std::uint8_t> indices(pixels);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = old.ScanLine(y);
    std::uint8_t* out = indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    std::uint32_t lastKey = 0xFFFFFFFFu;
    std::uint8_t lastIndex = 0;
    for (int x = 0; x < width; ++x, row += 3) {
      // A pixel's three bytes in one (little-endian) load, but for the
      // row's last, whose fourth byte may lie past the row.
      static_assert(std::endian::native == std::endian::little);
      std::uint32_t key;
      if (x + 1 < width) {
        std::memcpy(&key, row, 4);
        key &= 0xFFFFFFu;
      } else {
        key = row[0] | (std::uint32_t{row[1]} << 8) | (std::uint32_t{row[2]} << 16);
      }
      if (key != lastKey) {
        lastKey = key;
        lastIndex = target->indices->IndexOf(row);
      }
      out[x] = lastIndex;
    }
  }
  bool keyedKept = false;
  if (keying && target->keyIndex >= 0) {
    std::vector<std::uint8_t> keyedIndices = indices;
    for (std::size_t i = 0; i < pixels; ++i)
      if ((*keyed)[i] != 0) keyedIndices[i] = static_cast<std::uint8_t>(target->keyIndex);
    // A fixed palette gains nothing from keying but runs of the key: the
    // keyed picture is kept only when it codes smaller.
    const int codeSize = CodeSizeOf(EntryCount(target->palette));
    keyedKept = !IsFixedKind(kind_) || CodedBytes(keyedIndices, codeSize) < CodedBytes(indices, codeSize);
    if (keyedKept) indices.swap(keyedIndices);
  }

  auto fresh = std::make_unique<TMinGDIBitmap>();
  fresh->SetPixelFormat(pf8bit);
  fresh->SetSize(width, height);
  fresh->SetPalette(ToPalette(target->palette));
  for (int y = 0; y < height; ++y)
    std::memcpy(fresh->ScanLine(y), indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                static_cast<std::size_t>(width));
  if (keyedKept) {
    item.Transparent = 1;
    fresh->SetTransparentColor(ColorOf(target->palette.palPalEntry[static_cast<std::size_t>(target->keyIndex)]));
    const std::optional<TPoint> at = FirstFlaggedInColumns(*keyed, width, height);
    item.TransparentX = at ? at->X : -1;
    item.TransparentY = at ? at->Y : -1;
  } else if (item.Transparent) {
    RefindTransparentColor(item, FindFirstInColumns(old, old.TransparentColor()), *fresh);
  }
  item.Bitmap = std::move(fresh);
  item.Bitmap->SetModified(true);
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
