#include "dialogs/core/ColorTable.h"

#include "platform/Streams.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TMaxLogPalette TableOf(std::initializer_list<TColor> colors) {
  TMaxLogPalette table;
  int i = 0;
  for (TColor c : colors) table.palPalEntry[static_cast<std::size_t>(i++)] = PaletteEntryOf(c);
  table.palNumEntries = static_cast<std::uint16_t>(i);
  return table;
}

TMaxLogPalette ReadText(const std::string& text) {
  TMaxLogPalette table = TableOf({clRed, clLime});
  table.palPalEntry[200].peFlags = 4;
  TMemoryStream stream;
  stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  ReadColorTableText(stream, table);
  return table;
}

TPaletteEntry Entry(int r, int g, int b) {
  return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b), 0};
}

}  // namespace

// ---- The count of colours in use --------------------------------------------------------------

TEST(ColorTableCount, SixteenDistinctColoursPaddedWithBlackCountSeventeen) {
  TMaxLogPalette table;
  for (int i = 0; i < 16; ++i) table.palPalEntry[static_cast<std::size_t>(i)] = Entry(10 + i, 20, 30);
  EXPECT_EQ(ColorTableCount(table), 17);
  EXPECT_EQ(ColorTableCaption(17), "Colors table [17 colors]");
}

TEST(ColorTableCount, ARunEqualToTheLastEntryCountsOnce) {
  TMaxLogPalette table;
  EXPECT_EQ(ColorTableCount(table), 1);  // all entries alike
  table.palPalEntry.fill(Entry(255, 255, 255));
  table.palPalEntry[3] = Entry(1, 2, 3);
  EXPECT_EQ(ColorTableCount(table), 5);
  table.palPalEntry[255] = Entry(9, 9, 9);
  EXPECT_EQ(ColorTableCount(table), 256);
}

TEST(ColorTableCount, TheFlagsByteMakesAnEntryDiffer) {
  TMaxLogPalette table;
  table.palPalEntry[40].peFlags = 1;
  EXPECT_EQ(ColorTableCount(table), 42);
}

// ---- Palettes and tables ----------------------------------------------------------------------

TEST(ColorTablePalette, ATableCopiesThePaletteAndLeavesTheRestBlack) {
  const TPalette palette = CreatePalette({Entry(1, 2, 3), Entry(4, 5, 6)});
  const TMaxLogPalette table = ColorTableFromPalette(palette);
  EXPECT_EQ(table.palNumEntries, 2);
  EXPECT_EQ(table.palPalEntry[1], Entry(4, 5, 6));
  EXPECT_EQ(table.palPalEntry[2], Entry(0, 0, 0));
  EXPECT_EQ(ColorTableFromPalette(TPalette()).palNumEntries, 0);
  const TPalette back = PaletteFromColorTable(table, 2);
  EXPECT_EQ(back, palette);
  EXPECT_EQ(PaletteFromColorTable(table, 999).Count(), 256);
  EXPECT_TRUE(PaletteFromColorTable(table, -5).IsNone());
}

// ---- Palette text files -----------------------------------------------------------------------

TEST(ColorTableText, CommasFourNumbersAndShortLinesFollowTheFileRule) {
  const TMaxLogPalette table = ReadText("10,20,30\r\n  10 20 30 40\r\n10 20\r\n\r\nred=300 g=7 b=8\n");
  EXPECT_EQ(table.palNumEntries, 3);
  EXPECT_EQ(table.palPalEntry[0], Entry(10, 20, 30));
  EXPECT_EQ(table.palPalEntry[1], Entry(10, 20, 30));
  EXPECT_EQ(table.palPalEntry[2], Entry(44, 7, 8));  // 300 keeps its low 8 bits
  EXPECT_EQ(table.palPalEntry[3], Entry(0, 0, 0));
  EXPECT_EQ(table.palPalEntry[200].peFlags, 0) << "every byte of every entry is cleared";
}

TEST(ColorTableText, AtMost256EntriesAreRead) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += std::to_string(i % 256) + " 1 2\n";
  const TMaxLogPalette table = ReadText(text);
  EXPECT_EQ(table.palNumEntries, 256);
  EXPECT_EQ(table.palPalEntry[255], Entry(255, 1, 2));
}

TEST(ColorTableText, HostileBytesGiveAnEmptyOrPartialTableNeverMore) {
  EXPECT_EQ(ReadText("").palNumEntries, 0);
  std::string junk;
  for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 37) % 256 == '\n' ? 'x' : (i * 37) % 256);
  const TMaxLogPalette fromJunk = ReadText(junk);
  EXPECT_LE(fromJunk.palNumEntries, 256);
  // A digit run far longer than any number wraps into a byte.
  const TMaxLogPalette longRun = ReadText(std::string(100000, '9') + " 1 2\n");
  EXPECT_LE(longRun.palNumEntries, 256);
  EXPECT_EQ(ReadText(std::string("1\0 2\0 3", 7)).palPalEntry[0], Entry(1, 2, 3));
}

TEST(ColorTableText, WrittenLinesAreRedGreenBlueWithCarriageReturns) {
  const TMaxLogPalette table = TableOf({RGB(1, 2, 3), RGB(255, 0, 128)});
  EXPECT_EQ(ColorTableText(table, 2), "1 2 3\r\n255 0 128\r\n");
  EXPECT_EQ(ColorTableText(table, 0), "");
  EXPECT_EQ(ColorTableText(table, 400).size(), ColorTableText(table, 256).size());
}

TEST(ColorTableFile, ASavedTableReadsBackEntryForEntry) {
  TempDir dir;
  TMaxLogPalette table;
  for (int i = 0; i < 256; ++i) table.palPalEntry[static_cast<std::size_t>(i)] = Entry(i, 255 - i, i / 2);
  SaveColorTableFile(dir.File("all.pal"), table, 256);
  TFileStream file(dir.File("all.pal"), fmOpenRead);
  TMaxLogPalette back;
  ReadColorTableText(file, back);
  EXPECT_EQ(back.palNumEntries, 256);
  EXPECT_EQ(back.palPalEntry, table.palPalEntry);
}

TEST(ColorTableFile, ASaveThatCannotCreateItsFileRaisesAndWritesNothing) {
  TempDir dir;
  const std::string target = dir.File("missing/new.pal");
  EXPECT_EQ(ErrorText([&] { SaveColorTableFile(target, TableOf({clRed}), 1); }), "Cannot create file " + target);
}
