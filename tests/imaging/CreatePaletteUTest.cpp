#include "imaging/CreatePaletteU.h"
#include "imaging/MinGDIBitmapU.h"
#include "imaging/utils.h"
#include "platform/Messages.h"
#include "platform/Streams.h"
#include "tests/imaging/PictureHelpers.h"
#include "tests/support/FakeSystemValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <utility>

namespace {

TSetOfBitmapsItem& AddFrame(TSetOfBitmaps& frames, int width, int height, const std::function<TColor(int, int)>& color) {
  frames.push_back(std::make_unique<TSetOfBitmapsItem>());
  MakePattern(*frames.back()->Bitmap, width, height, color);
  return *frames.back();
}

TPaletteEntry E(int r, int g, int b) {
  return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b), 0};
}

// The colours of the entries at the indices.
template <typename Entries>
std::vector<TColor> At(const Entries& entries, std::initializer_list<int> indices) {
  std::vector<TColor> colours;
  for (int i : indices) colours.push_back(ColorOf(entries[static_cast<std::size_t>(i)]));
  return colours;
}

TMaxLogPalette Load(const std::string& text) {
  TMemoryStream stream;
  stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  stream.SetPosition(0);
  TMaxLogPalette palette;
  palette.palNumEntries = 99;
  palette.palPalEntry.fill(E(7, 7, 7));
  LoadPaletteFile(stream, palette);
  return palette;
}

// The decrement passes as they are described: every pass lowers each
// non-zero count by one and stops as soon as at most `wanted` remain.
void ReferenceReduceBins(std::vector<TColorCount>& cells, int wanted) {
  int remaining = 0;
  for (int i = 0; i < kColorCells; ++i) remaining += cells[i].Count > 0 ? 1 : 0;
  while (remaining > wanted) {
    for (int i = 0; i < kColorCells && remaining > wanted; ++i) {
      if (cells[i].Count == 0) continue;
      if (--cells[i].Count == 0) --remaining;
    }
  }
}

TColor Average(TColor a, TColor b) {
  const auto mean = [](int x, int y) { return static_cast<std::uint8_t>(std::nearbyint((x + y) / 2.0)); };
  return RGB(mean(GetRValue(a), GetRValue(b)), mean(GetGValue(a), GetGValue(b)), mean(GetBValue(a), GetBValue(b)));
}

// The adaptive merge as written: every living cell in order, the first
// candidate taken while the best distance is 0, then only closer ones.
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

// Records the progress messages sent to a window.
struct ProgressRecorder {
  std::vector<std::pair<long, long>> messages;
  TWindowHandle window{[this](TMessage& m) {
    if (m.Msg == WM_IMAGEPROGRESS) messages.emplace_back(static_cast<long>(m.WParam), static_cast<long>(m.LParam));
  }};
  ProgressRecorder() { PaletteProgressWindow = window.Handle(); }
  ~ProgressRecorder() { PaletteProgressWindow = 0; }
};

struct CancelGuard {
  ~CancelGuard() { CancelFlag = 0; }
};

}  // namespace

// ---- Fixed palettes ----------------------------------------------------------------------

TEST(FixedPalettes, BrowserCubeHasRedOutermostAndBlackAtTheEnd) {
  TSetOfBitmaps frames;
  AddFrame(frames, 4, 4, [](int, int) { return RGB(40, 50, 60); });
  ASSERT_TRUE(CreatePaletteForBitmaps(pkBrowser, frames, 16, nullptr));
  const TBitmap& b = *frames[0]->Bitmap;
  EXPECT_EQ(b.PixelFormat(), pf8bit);
  ASSERT_EQ(b.Palette().Count(), 256);
  EXPECT_EQ(At(b.Palette().Entries(), {0, 1, 6, 36, 251, 252, 255}),
            (std::vector<TColor>{0, RGB(0, 0, 51), RGB(0, 51, 0), RGB(42, 0, 0), RGB(252, 255, 255), 0, 0}));
  EXPECT_EQ(b.Pixel(1, 1), RGB(42, 51, 51));
  // Unknown kinds still make eight-bit frames.
  TSetOfBitmaps other;
  AddFrame(other, 3, 3, [](int, int) { return clRed; });
  ASSERT_TRUE(CreatePaletteForBitmaps(0, other, 256, nullptr));
  EXPECT_EQ(std::pair(other[0]->Bitmap->PixelFormat(), other[0]->Bitmap->Pixel(2, 2)), std::pair(pf8bit, clRed));
}

TEST(FixedPalettes, CustomPaletteIsUsedWithFullCount) {
  TMaxLogPalette custom;
  custom.palVersion = 1;
  custom.palNumEntries = 2;
  custom.palPalEntry[0] = E(10, 20, 30);
  custom.palPalEntry[1] = E(200, 0, 0);
  TSetOfBitmaps frames;
  AddFrame(frames, 2, 1, [](int x, int) { return x == 0 ? RGB(12, 22, 28) : RGB(190, 5, 5); });
  ASSERT_TRUE(CreatePaletteForBitmaps(pkCustom, frames, 256, &custom));
  EXPECT_EQ(custom.palVersion, 0x300);
  EXPECT_EQ(custom.palNumEntries, 256);
  EXPECT_EQ(frames[0]->Bitmap->Palette().Count(), 256);
  EXPECT_EQ(std::pair(frames[0]->Bitmap->Pixel(0, 0), frames[0]->Bitmap->Pixel(1, 0)), std::pair(RGB(10, 20, 30), RGB(200, 0, 0)));
}

// ---- Palette files -----------------------------------------------------------------------

TEST(PaletteFile, RunsOfDigitsGiveTheColoursAndLinesWithFewerAreSkipped) {
  const TMaxLogPalette p = Load("10, 20, 30\r\n  10 20 30 40\r\n10,20\r\n\r\nrgb(1;2;3)x\n300 256 999999999999999999999\n");
  ASSERT_EQ(p.palNumEntries, 4);
  // The last line keeps the low 8 bits, however long the run; the rest is cleared.
  EXPECT_EQ(At(p.palPalEntry, {0, 1, 2, 3, 4, 255}),
            (std::vector<TColor>{RGB(10, 20, 30), RGB(10, 20, 30), RGB(1, 2, 3), RGB(44, 0, 255), 0, 0}));
  EXPECT_EQ(Load("").palNumEntries, 0);
  std::string junk(5000, '\0');
  for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>(i * 37);
  EXPECT_LE(Load(junk).palNumEntries, 256);
}

TEST(PaletteFile, AtMost256EntriesAreRead) {
  std::string text;
  for (int i = 0; i < 257; ++i) text += std::to_string(i % 256) + " 1 2\r\n";
  text.replace(text.rfind("0 1 2"), 5, "9 9 9");  // the 257th line
  const TMaxLogPalette p = Load(text);
  EXPECT_EQ(p.palNumEntries, 256);
  EXPECT_EQ(At(p.palPalEntry, {0, 255}), (std::vector<TColor>{RGB(0, 1, 2), RGB(255, 1, 2)}));
}

TEST(PaletteFile, TheWholeStreamIsReadWhereverItStands) {
  TMemoryStream stream;
  stream.WriteBytes("1 2 3\n4 5 6\n");  // left at its end
  TMaxLogPalette palette;
  LoadPaletteFile(stream, palette);
  EXPECT_EQ(std::pair(palette.palNumEntries, palette.palPalEntry[0]), std::pair(std::uint16_t{2}, E(1, 2, 3)));
}

// ---- Counting ----------------------------------------------------------------------------

TEST(ColorCounting, BinsRoundEachChannelToTheNearestEighth) {
  TColorCounts counts;
  counts.SeedBins();
  EXPECT_EQ(counts.Cells()[31 * 1024 + 2 * 32 + 1].Color, RGB(248, 16, 8));
  counts.Add(RGB(255, 12, 4));   // 31.9 -> 31 (at most), 1.5 -> 2, 0.5 -> 0 (halves to even)
  counts.Add(RGB(252, 20, 3));   // 31.5 -> 32 -> 31, 2.5 -> 2, 0.375 -> 0
  EXPECT_EQ(counts.Cells()[31 * 1024 + 2 * 32 + 0].Count, 2);
}

TEST(ColorCounting, FrameIsSampledAtOneHundredSquare) {
  TColorCounts counts;
  counts.ClearList();
  TBitmap frame;
  MakePattern(frame, 468, 60, [](int x, int) { return x < 234 ? clRed : clBlue; });
  counts.CountColors(frame);
  const auto& c = counts.Cells();
  EXPECT_EQ(std::tuple(c[0].Color, c[0].Count, c[1].Color, c[1].Count, c[2].Count), std::tuple(clRed, 5000, clBlue, 5000, 0));
}

TEST(ColorCounting, AFullListOverwritesItsLastCell) {
  TColorCounts counts;
  counts.ClearList();
  for (int i = 0; i < kColorCells; ++i) counts.Add(static_cast<TColor>(i));
  counts.Add(0xABCDEF);
  EXPECT_EQ(counts.Cells()[kColorCells - 1].Color, 0xABCDEFu);
  EXPECT_EQ(counts.Cells()[kColorCells - 1].Count, 1);
  counts.Add(kColorCells - 1);  // no longer in the list: overwrites again
  EXPECT_EQ(counts.Cells()[kColorCells - 1].Color, static_cast<TColor>(kColorCells - 1));
  counts.Add(kColorCells - 1);
  EXPECT_EQ(counts.Cells()[kColorCells - 1].Count, 2);
  counts.Add(5);
  EXPECT_EQ(counts.Cells()[5].Count, 2);
}

TEST(ColorCounting, TheListFindsEachColourAsALinearSearchWouldThroughManyOverwritesAndEmptyings) {
  std::mt19937 random(31);
  TColorCounts counts;
  for (int round = 0; round < 2; ++round) {
    counts.ClearList();  // the second round starts from an emptied index
    std::vector<TColorCount> expected(kColorCells + 1);
    std::map<TColor, int> cellOf;  // what a linear search of the list finds
    int length = 0;
    for (int sample = 0; sample < 120000; ++sample) {
      // New colours, with repeats of recent and of long-gone ones.
      const TColor color = random() % 3 == 0 ? static_cast<TColor>(random() % 70000) * 97 % 0xFFFFFF
                                             : static_cast<TColor>(sample) * 241 % 0xFFFFFF;
      counts.Add(color);
      if (const auto hit = cellOf.find(color); hit != cellOf.end()) {
        ++expected[static_cast<std::size_t>(hit->second)].Count;
        continue;
      }
      const int cell = length < kColorCells ? length++ : kColorCells - 1;
      if (cell == kColorCells - 1 && expected[static_cast<std::size_t>(cell)].Count > 0)
        cellOf.erase(expected[static_cast<std::size_t>(cell)].Color);
      expected[static_cast<std::size_t>(cell)] = {color, 1};
      cellOf[color] = cell;
    }
    for (int i = 0; i < kColorCells; ++i) {
      ASSERT_EQ(counts.Cells()[static_cast<std::size_t>(i)].Color, expected[static_cast<std::size_t>(i)].Color) << round << " " << i;
      ASSERT_EQ(counts.Cells()[static_cast<std::size_t>(i)].Count, expected[static_cast<std::size_t>(i)].Count) << round << " " << i;
    }
  }
}

// ---- Reduction ---------------------------------------------------------------------------

TEST(OptimizedReduction, MatchesTheDecrementPassesOnSmallInputs) {
  std::mt19937 random(42);
  for (int round = 0; round < 60; ++round) {
    std::vector<TColorCount> cells(kColorCells + 1);
    const int used = 1 + static_cast<int>(random() % 60);
    const int maxCount = 1 + static_cast<int>(random() % (round % 3 == 0 ? 3 : 40));
    for (int k = 0; k < used; ++k) {
      const int cell = static_cast<int>(random() % kColorCells);
      cells[cell] = {static_cast<TColor>(cell), 1 + static_cast<std::int32_t>(random() % maxCount)};
    }
    const int wanted = static_cast<int>(random() % 70);
    std::vector<TColorCount> expected = cells;
    ReferenceReduceBins(expected, wanted);
    ReduceBinCounts(cells, wanted);
    for (int i = 0; i < kColorCells; ++i)
      ASSERT_EQ(cells[i].Count, expected[i].Count) << "round " << round << " cell " << i << " wanted " << wanted;
  }
}

TEST(AdaptiveReduction, MergesTheNearestLessFrequentColourAwayAndEachPassReportsTheColoursLeft) {
  std::vector<TColorCount> cells(kColorCells + 1);
  cells[0] = {RGB(100, 100, 100), 5};
  cells[1] = {RGB(0, 0, 0), 3};
  cells[2] = {RGB(110, 100, 100), 3};
  std::vector<int> passes;
  MergeListCounts(cells, 2, [&](int remaining) { passes.push_back(remaining); });
  EXPECT_EQ(std::tuple(cells[0].Color, cells[0].Count, cells[1].Count, cells[2].Count, passes),
            std::tuple(RGB(100, 100, 100), 5, 3, 0, std::vector<int>{2}));
  // Equal counts average the colours, halves to even; the count is not added.
  std::vector<TColorCount> equal(kColorCells + 1);
  equal[0] = {RGB(10, 11, 0), 1};
  equal[1] = {RGB(21, 12, 255), 1};
  MergeListCounts(equal, 1);
  EXPECT_EQ(std::tuple(equal[0].Color, equal[0].Count, equal[1].Count), std::tuple(RGB(16, 12, 128), 1, 0));
  // A single colour ends the merging.
  std::vector<TColorCount> single(kColorCells + 1);
  single[7] = {clRed, 4};
  MergeListCounts(single, 0);
  EXPECT_EQ(single[7].Count, 4);
}

TEST(AdaptiveReduction, SkippingBlocksOfCandidatesChoosesExactlyAsThePlainSearch) {
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

TEST(AdaptiveReduction, TheGridSearchOfLargeListsChoosesExactlyAsThePlainSearch) {
  std::mt19937 gen(23);
  for (int round = 0; round < 6; ++round) {
    // Clusters, twins after averaging, and rare colours far from the rest.
    const int levels = round % 3 == 0 ? 9 : 256;
    const int size = 1100 + static_cast<int>(gen() % 1500);
    std::vector<TColorCount> cells(static_cast<std::size_t>(size));
    for (auto& c : cells) {
      const int centre = static_cast<int>(gen() % 4) * 60;
      const auto v = [&](int spread) {
        const int level = std::clamp(centre + static_cast<int>(gen() % static_cast<unsigned>(spread)), 0, 255);
        return static_cast<std::uint8_t>(level * (levels - 1) / 255 * 255 / (levels - 1));
      };
      c.Color = RGB(v(80), v(40), v(255));
      c.Count = gen() % 5 == 0 ? 1 + static_cast<std::int32_t>(gen() % 30) : 1;
    }
    std::vector<TColorCount> expected = cells;
    const int wanted = round == 5 ? 3 : 40 + static_cast<int>(gen() % 200);
    PlainMerge(expected, wanted);
    MergeListCounts(cells, wanted);
    for (std::size_t i = 0; i < cells.size(); ++i) {
      ASSERT_EQ(cells[i].Count, expected[i].Count) << round << " cell " << i;
      ASSERT_EQ(cells[i].Color, expected[i].Color) << round << " cell " << i;
    }
  }
}

TEST(PaletteAssembly, SurvivorsThenKeptColoursThenBlackAndWhiteOverAGreyRamp) {
  std::vector<TColorCount> cells(kColorCells + 1);
  cells[5] = {RGB(1, 2, 3), 9};
  cells[2] = {RGB(200, 0, 0), 1};
  const TMaxLogPalette p = PaletteFromCounts(cells, {{RGB(0, 9, 0)}, {RGB(0, 9, 0) | 0x02000000}, {clBlack}});
  EXPECT_EQ(p.palVersion, 0x300);
  EXPECT_EQ(p.palNumEntries, 10);
  // The kept black is not appended again.
  EXPECT_EQ(At(p.palPalEntry, {0, 1, 2, 3, 4, 5, 9}),
            (std::vector<TColor>{RGB(200, 0, 0), RGB(1, 2, 3), RGB(0, 9, 0), 0, clWhite, RGB(5, 5, 5), RGB(9, 9, 9)}));
}

TEST(PaletteAssembly, AtMost255EntriesAreUsed) {
  std::vector<TColorCount> cells(kColorCells + 1);
  for (int i = 0; i < 300; ++i) cells[i] = {static_cast<TColor>(i + 1), 1};
  const TMaxLogPalette p = PaletteFromCounts(cells, {{0x123456}});
  EXPECT_EQ(p.palNumEntries, 255);
  EXPECT_EQ(ColorOf(p.palPalEntry[254]), 255u);
  EXPECT_EQ(p.palPalEntry[255], E(255, 255, 255));  // the grey ramp's last entry
}

// ---- Whole conversions -------------------------------------------------------------------

TEST(PaletteCreation, OptimizedTwoColourFrameGetsTenEntries) {
  TSetOfBitmaps frames;
  AddFrame(frames, 20, 10, [](int x, int) { return x < 10 ? clRed : RGB(0, 0, 200); });
  ASSERT_TRUE(CreatePaletteForBitmaps(pkOptimized, frames, 16, nullptr));
  const TBitmap& b = *frames[0]->Bitmap;
  ASSERT_EQ(b.Palette().Count(), 10);
  EXPECT_EQ(At(b.Palette().Entries(), {0, 1, 2, 3, 4}),
            (std::vector<TColor>{RGB(0, 0, 200), RGB(248, 0, 0), 0, clWhite, RGB(4, 4, 4)}));
  EXPECT_EQ(std::pair(b.Pixel(0, 0), b.Pixel(19, 9)), std::pair(RGB(248, 0, 0), RGB(0, 0, 200)));
}

TEST(PaletteCreation, SharedTransparentColourIsAddedOnceAndFoundAgain) {
  TSetOfBitmaps frames;
  for (int f = 0; f < 2; ++f) {
    TSetOfBitmapsItem& item = AddFrame(frames, 10, 10, [f](int x, int y) {
      return x == 3 + f && y >= 4 ? RGB(1, 2, 3) : RGB(0, 0, 200);
    });
    item.Transparent = 1;
    item.Bitmap->SetTransparentColor(RGB(1, 2, 3));
  }
  ASSERT_TRUE(CreatePaletteForBitmaps(pkOptimized, frames, 16, nullptr));
  const TPalette& p = frames[0]->Bitmap->Palette();
  ASSERT_EQ(p.Count(), 10);
  EXPECT_EQ(At(p.Entries(), {2, 3}), (std::vector<TColor>{RGB(1, 2, 3), clWhite}));
  for (int f = 0; f < 2; ++f) {
    EXPECT_EQ(std::pair(frames[f]->TransparentX, frames[f]->TransparentY), std::pair(3 + f, 4));
    EXPECT_EQ(frames[f]->Bitmap->TransparentColor(), RGB(1, 2, 3));
    EXPECT_EQ(frames[f]->Bitmap->Pixel(3 + f, 9), RGB(1, 2, 3));
  }
  // A transparent colour missing from the frame changes nothing.
  TSetOfBitmaps other;
  TSetOfBitmapsItem& item = AddFrame(other, 4, 4, [](int, int) { return clRed; });
  item.Transparent = 1;
  item.Bitmap->SetTransparentColor(clLime);
  ASSERT_TRUE(CreatePaletteForBitmaps(pkGrayscale, other, 256, nullptr));
  EXPECT_EQ(std::pair(item.TransparentX, item.TransparentY), std::pair(-1, -1));
}

TEST(PaletteCreation, AdaptivePerFrameGivesEachFrameItsOwnPalette) {
  TSetOfBitmaps frames;
  AddFrame(frames, 8, 8, [](int x, int) { return x < 4 ? RGB(10, 20, 30) : RGB(200, 100, 50); });
  AddFrame(frames, 8, 8, [](int, int y) { return y < 4 ? RGB(7, 7, 70) : RGB(70, 7, 7); });
  ASSERT_TRUE(CreatePaletteForBitmaps(pkAdaptivePerFrame, frames, 16, nullptr));
  EXPECT_EQ(frames[0]->Bitmap->Palette().Entry(0), E(10, 20, 30));
  EXPECT_EQ(frames[1]->Bitmap->Palette().Entry(0), E(7, 7, 70));
  EXPECT_EQ(frames[1]->Bitmap->Pixel(0, 7), RGB(70, 7, 7));
}

TEST(PaletteCreation, AdaptiveReducesManyColoursToTheNumberWanted) {
  TSetOfBitmaps frames;
  AddFrame(frames, 100, 100, [](int x, int y) { return RGB(static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(y * 2), 90); });
  ASSERT_TRUE(CreatePaletteForBitmaps(pkAdaptive, frames, 32, nullptr));
  const TPalette& p = frames[0]->Bitmap->Palette();
  EXPECT_EQ(p.Count(), 34);  // 32 colours, then black and white
  EXPECT_EQ(At(p.Entries(), {32, 33}), (std::vector<TColor>{0, clWhite}));
}

TEST(PaletteCreation, ProgressIsReportedToTheRegisteredWindow) {
  ProgressRecorder recorder;
  TSetOfBitmaps frames;
  AddFrame(frames, 4, 4, [](int, int) { return clRed; });
  AddFrame(frames, 4, 4, [](int, int) { return clBlue; });
  ASSERT_TRUE(CreatePaletteForBitmaps(pkOptimized, frames, 1, nullptr));
  const std::vector<std::pair<long, long>> expected = {
      {0, 1}, {0, 1}, {1, 1},                    // counting
      {0, 32768}, {32767, 32768}, {0, 0},        // reduction to one colour
      {0, 1}, {0, 1}, {1, 1}};                   // conversion
  EXPECT_EQ(recorder.messages, expected);
}

TEST(PaletteCreation, CancelStopsAfterTheCurrentFrame) {
  CancelGuard guard;
  TSetOfBitmaps frames;
  AddFrame(frames, 4, 4, [](int, int) { return clRed; });
  AddFrame(frames, 4, 4, [](int, int) { return clBlue; });
  CancelFlag = 1;
  EXPECT_FALSE(CreatePaletteForBitmaps(pkBrowser, frames, 256, nullptr));
  EXPECT_EQ(frames[0]->Bitmap->PixelFormat(), pf8bit);
  EXPECT_EQ(frames[1]->Bitmap->PixelFormat(), pf24bit);
  TSetOfBitmaps one;
  AddFrame(one, 4, 4, [](int, int) { return clRed; });
  EXPECT_TRUE(CreatePaletteForBitmaps(pkBrowser, one, 256, nullptr));  // the last frame was done
}

TEST(PaletteCreation, ReleasedFramesAreRestoredAndReleasedAgain) {
  FakeSystemValues system;
  system.hasResourceMeter = true;
  system.probe = [](int) { return 5; };  // resources low: every release frees the image
  ResetFreeResourcesCache();
  TSetOfBitmaps frames;
  for (int f = 0; f < 3; ++f) {
    TSetOfBitmapsItem& item = AddFrame(frames, 6, 6, [f](int x, int) { return x < 3 ? clRed : RGB(0, 0, static_cast<std::uint8_t>(100 + f)); });
    item.Transparent = 1;
    item.Bitmap->SetTransparentColor(clRed);
    item.Bitmap->SaveAndRelease();
    ASSERT_FALSE(item.Bitmap->HasImage());
  }
  ASSERT_TRUE(CreatePaletteForBitmaps(pkAdaptive, frames, 16, nullptr));
  for (int f = 0; f < 3; ++f) {
    const TBitmap& b = *frames[f]->Bitmap;
    EXPECT_FALSE(b.HasImage());
    EXPECT_EQ(frames[f]->TransparentX, 0);
    EXPECT_EQ(std::tuple(b.Pixel(5, 5), b.TransparentColor(), b.PixelFormat()),
              std::tuple(RGB(0, 0, static_cast<std::uint8_t>(100 + f)), clRed, pf8bit));
  }
  ResetFreeResourcesCache();
}

// ---- Frames one at a time ------------------------------------------------------------------

namespace {

// Varied frames: gradients, noise, flat areas, some transparent, one of
// another size; seed chooses them.
void AddVariedFrames(TSetOfBitmaps& frames, unsigned seed) {
  std::mt19937 random(seed);
  for (int f = 0; f < 5; ++f) {
    const int w = f == 3 ? 7 : 30, h = f == 3 ? 5 : 20;
    const int shift = static_cast<int>(random() % 50);
    TSetOfBitmapsItem& item = AddFrame(frames, w, h, [&](int x, int y) {
      if (x < 4) return RGB(1, 2, 3);
      if (y < 5) return RGB(static_cast<std::uint8_t>(x * 8 + shift), static_cast<std::uint8_t>(y * 40), 200);
      return RGB(static_cast<std::uint8_t>(random() % 256), static_cast<std::uint8_t>(random() % 8),
                 static_cast<std::uint8_t>(random() % 256));
    });
    if (f % 2 == 1) {
      item.Transparent = 1;
      item.Bitmap->SetTransparentColor(RGB(1, 2, 3));
    }
    item.Delay = 10 + f;
  }
}

std::string PixelsAndPalette(const TBitmap& b) {
  std::string s = std::to_string(b.Width()) + "x" + std::to_string(b.Height()) + ":" + std::to_string(b.PixelFormat());
  for (const TPaletteEntry& e : b.Palette().Entries()) s += "," + std::to_string(ColorOf(e));
  for (int y = 0; y < b.Height(); ++y)
    s.append(reinterpret_cast<const char*>(b.ScanLine(y)), static_cast<std::size_t>(b.RowBytes()));
  return s;
}

}  // namespace

TEST(PaletteReductionOneAtATime, EveryKindGivesWhatTheWholeListConversionGives) {
  for (int kind : {pkBrowser, pkStandardVGA, pkGrayscale, pkOptimized, pkAdaptive, pkCustom, pkOptimizedPerFrame,
                   pkAdaptivePerFrame}) {
    SCOPED_TRACE("kind " + std::to_string(kind));
    TMaxLogPalette custom = GrayscalePalette();
    custom.palPalEntry[3] = E(1, 2, 3);
    TSetOfBitmaps expected, given, reduced;
    AddVariedFrames(expected, 5);
    AddVariedFrames(given, 5);
    ASSERT_TRUE(CreatePaletteForBitmaps(kind, expected, 24, &custom));
    TPaletteReduction reduction(kind, 24, &custom);
    EXPECT_EQ(reduction.SharedByAllFrames(), kind == pkOptimized || kind == pkAdaptive);
    for (auto& item : given) reduction.Add(std::move(item));
    if (reduction.SharedByAllFrames()) {
      // Noisy frames are held at about their own size.
      EXPECT_LE(reduction.HeldBytes(), (4 * 30 * 20 + 7 * 5) * 3 * 105 / 100);
    }
    ASSERT_TRUE(reduction.Finish(reduced));
    ASSERT_EQ(reduced.size(), expected.size());
    for (std::size_t f = 0; f < reduced.size(); ++f) {
      SCOPED_TRACE("frame " + std::to_string(f));
      const TSetOfBitmapsItem& a = *expected[f];
      const TSetOfBitmapsItem& b = *reduced[f];
      EXPECT_EQ(PixelsAndPalette(*b.Bitmap), PixelsAndPalette(*a.Bitmap));
      EXPECT_EQ(std::tuple(b.Transparent, b.TransparentX, b.TransparentY, b.Bitmap->TransparentColor(), b.Delay),
                std::tuple(a.Transparent, a.TransparentX, a.TransparentY, a.Bitmap->TransparentColor(), a.Delay));
    }
  }
}

TEST(PaletteReductionOneAtATime, HeldFramesTakeLittleForRunsAndComeBackAsTheyCame) {
  TSetOfBitmaps given, back;
  // Rows of one colour each, with a few single pixels: runs hold them in a few bytes.
  AddFrame(given, 200, 50, [](int x, int y) { return x == y ? clRed : RGB(static_cast<std::uint8_t>(y * 5), 7, 9); });
  AddVariedFrames(given, 9);
  AddFrame(given, 129, 3, [](int x, int y) { return (x + y) % 2 ? clBlack : clWhite; });  // no run at all
  std::vector<std::string> before;
  for (const auto& item : given) before.push_back(PixelsAndPalette(*item->Bitmap));
  TPaletteReduction banded(pkOptimized, 256, nullptr);
  banded.Add(std::move(given.front()));
  EXPECT_LT(banded.HeldBytes(), 50 * 16);
  TPaletteReduction reduction(pkAdaptive, 256, nullptr);
  for (std::size_t f = 1; f < given.size(); ++f) reduction.Add(std::move(given[f]));
  banded.GiveBack(back);
  reduction.GiveBack(back);
  ASSERT_EQ(back.size(), before.size());
  for (std::size_t f = 0; f < back.size(); ++f) EXPECT_EQ(PixelsAndPalette(*back[f]->Bitmap), before[f]) << f;
  EXPECT_EQ(back[2]->Bitmap->TransparentColor(), RGB(1, 2, 3));
  EXPECT_EQ(back[2]->Transparent, 1);
}

TEST(PaletteReductionOneAtATime, ACancelStopsAfterTheCurrentFrameAndGivesTheRestBackWhole) {
  CancelGuard guard;
  int messages = 0;
  TWindowHandle window([&](TMessage& m) {
    if (m.Msg != WM_IMAGEPROGRESS) return;
    ++messages;
    if (m.WParam == 1 && m.LParam == 4) CancelFlag = 1;
  });
  PaletteProgressWindow = window.Handle();
  TSetOfBitmaps given, out;
  AddVariedFrames(given, 3);
  const std::string third = PixelsAndPalette(*given[2]->Bitmap);
  TPaletteReduction reduction(pkOptimized, 64, nullptr);
  for (auto& item : given) reduction.Add(std::move(item));
  EXPECT_EQ(messages, 0);  // counting reports nothing while the frames come
  EXPECT_FALSE(reduction.Finish(out));
  PaletteProgressWindow = 0;
  ASSERT_EQ(out.size(), 5u);
  EXPECT_EQ(out[1]->Bitmap->PixelFormat(), pf8bit);
  EXPECT_EQ(PixelsAndPalette(*out[2]->Bitmap), third);
}

TEST(FrameItems, InterlacingOnlyAboveEightRows) {
  TSetOfBitmapsItem item;
  MakeFilled(*item.Bitmap, 5, 8, clRed);
  item.SetInterlaced(1);
  EXPECT_EQ(item.Interlaced(), 0);
  MakeFilled(*item.Bitmap, 5, 9, clRed);
  item.SetInterlaced(1);
  EXPECT_EQ(item.Interlaced(), 1);
}
