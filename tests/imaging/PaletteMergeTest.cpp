// The adaptive merge skips whole blocks of candidates; it must still choose
// exactly as the plain candidate-by-candidate search does.
#include "imaging/CreatePaletteU.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TColor Average(TColor a, TColor b) {
  const auto mean = [](int x, int y) { return static_cast<std::uint8_t>(std::nearbyint((x + y) / 2.0)); };
  return RGB(mean(GetRValue(a), GetRValue(b)), mean(GetGValue(a), GetGValue(b)), mean(GetBValue(a), GetBValue(b)));
}

// The merge as written: every living cell in order, the first candidate taken
// while the best distance is 0, then only closer ones.
void PlainMerge(std::vector<TColorCount>& cells, int wanted) {
  int remaining = 0;
  for (const auto& c : cells) remaining += c.Count > 0;
  while (remaining > wanted) {
    bool merged = false;
    for (std::size_t i = 0; i < cells.size() && remaining > wanted; ++i) {
      if (cells[i].Count <= 0) continue;
      std::int64_t best = 0;
      std::size_t nearest = cells.size();
      for (std::size_t j = 0; j < cells.size(); ++j) {
        if (j == i || cells[j].Count <= 0 || cells[j].Count > cells[i].Count) continue;
        const std::int64_t dr = 30 * (GetRValue(cells[i].Color) - GetRValue(cells[j].Color));
        const std::int64_t dg = 59 * (GetGValue(cells[i].Color) - GetGValue(cells[j].Color));
        const std::int64_t db = 11 * (GetBValue(cells[i].Color) - GetBValue(cells[j].Color));
        const std::int64_t distance = dr * dr + dg * dg + db * db;
        if (distance < best || best == 0) {
          best = distance;
          nearest = j;
        }
      }
      if (nearest == cells.size()) continue;
      if (cells[nearest].Count == cells[i].Count) cells[i].Color = Average(cells[i].Color, cells[nearest].Color);
      cells[nearest].Count = 0;
      --remaining;
      merged = true;
    }
    if (!merged) break;
  }
}

}  // namespace

TEST(AdaptiveMerge, ChoosesExactlyAsThePlainSearch) {
  std::mt19937 gen(17);
  for (int round = 0; round < 40; ++round) {
    // Coarse channels make twins and equal distances; few counts make ties.
    const int levels = round % 2 ? 6 : 256;
    const int size = 50 + static_cast<int>(gen() % 700);
    std::vector<TColorCount> cells(static_cast<std::size_t>(size));
    for (auto& c : cells) {
      const auto v = [&] { return static_cast<std::uint8_t>((gen() % levels) * 255 / (levels - 1)); };
      c.Color = RGB(v(), v(), v());
      c.Count = 1 + static_cast<std::int32_t>(gen() % 4);
    }
    std::vector<TColorCount> expected = cells;
    const int wanted = static_cast<int>(gen() % 64);
    PlainMerge(expected, wanted);
    MergeListCounts(cells, wanted);
    for (std::size_t i = 0; i < cells.size(); ++i) {
      ASSERT_EQ(cells[i].Count, expected[i].Count) << round << " cell " << i;
      ASSERT_EQ(cells[i].Color, expected[i].Color) << round << " cell " << i;
    }
  }
}
