#include "imaging/ColorTbl.h"

#include "platform/Graphics.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kStandardColors[16][3] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128},   {128, 128, 128}, {192, 192, 192}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

}  // namespace

TColorTable::TColorTable(int kind) {
  switch (kind) {
    case 16:
      for (int i = 0; i < 16; ++i) SetTriple(i, kStandardColors[i][0], kStandardColors[i][1], kStandardColors[i][2]);
      break;
    case 256:
      for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        SetTriple(i, v, v, v);
      }
      break;
    default:
      SetTriple(0, 0, 0, 0);
      SetTriple(1, 255, 255, 255);
      break;
  }
  SetCount(kind);
}

void TColorTable::SetCount(int count) { count_ = std::clamp(count, 0, 256); }

TColor TColorTable::ColorOf(int index) const {
  const auto& t = Triple(index);
  return RGB(t[0], t[1], t[2]);
}

void TColorTable::SetTriple(int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  triples_.at(static_cast<std::size_t>(index)) = {red, green, blue};
}

int TColorTable::IndexOf(TColor color) const {
  int i = count_ - 1;
  // Eight entries at a time without a branch per entry, down to the block
  // that holds the highest match.
  for (; i >= 7; i -= 8) {
    const TColor* c = colors_.data() + i - 7;
    const bool any = (c[0] == color) | (c[1] == color) | (c[2] == color) | (c[3] == color) | (c[4] == color) |
                     (c[5] == color) | (c[6] == color) | (c[7] == color);
    if (any) break;
  }
  for (; i >= 0; --i)
    if (colors_[static_cast<std::size_t>(i)] == color) return i;
  return -1;
}

int TColorTable::NearestIndex(TColor color) const {
  color &= 0xFFFFFF;
  const int exact = IndexOf(color);
  if (exact >= 0) return exact;
  // Only the table's own entries: an index past the count would point
  // outside the colours that the file stores.
  std::array<TPaletteEntry, 256> entries{};
  for (int i = 0; i < count_; ++i) entries[static_cast<std::size_t>(i)] = PaletteEntryOf(colors_[static_cast<std::size_t>(i)] & 0xFFFFFF);
  return std::max(0, NearestColorIndex(entries.data(), count_, color));
}

void TColorTable::RoundCount() {
  if (count_ == 0 || count_ >= 256) return;
  int rounded = 4;
  while (rounded < count_) rounded *= 2;
  count_ = rounded;
}

void TColorTable::ColorsToTriples() {
  for (int i = 0; i < count_; ++i) {
    const TColor c = colors_[static_cast<std::size_t>(i)];
    SetTriple(i, GetRValue(c), GetGValue(c), GetBValue(c));
  }
}

void TColorTable::TriplesToColors() {
  for (int i = 0; i < count_; ++i) colors_[static_cast<std::size_t>(i)] = ColorOf(i);
}

bool SameEntries(const TColorTable& a, const TColorTable& b) {
  if (a.Count() != b.Count()) return false;
  for (int i = 0; i < a.Count(); ++i)
    if (a.Color(i) != b.Color(i) || a.Triple(i) != b.Triple(i)) return false;
  return true;
}

void TColorIndexMap::Clear() { indices_.fill(-1); }

void TColorIndexMap::Insert(TColor color, int index) {
  for (std::size_t slot = SlotOf(color);; slot = (slot + 1) % kSlots) {
    if (indices_[slot] < 0) {
      colors_[slot] = color;
      indices_[slot] = static_cast<std::int16_t>(index);
      return;
    }
    if (colors_[slot] == color) return;
  }
}

int TColorIndexMap::Find(TColor color) const {
  for (std::size_t slot = SlotOf(color);; slot = (slot + 1) % kSlots) {
    if (indices_[slot] < 0) return -1;
    if (colors_[slot] == color) return indices_[slot];
  }
}
