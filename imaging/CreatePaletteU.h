// Palette creation and colour reduction for GIF export: builds a palette of
// a chosen kind for the export frames (one for all frames, or one per frame),
// redraws every frame into an 8-bit bitmap with that palette and re-finds each
// frame's transparent colour. Also the reader of plain-text palette files.
#pragma once

#include "platform/Colors.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class TByteStore;
class TMinGDIBitmap;
class TStream;

// A logical palette of 256 entries in the layout the export wizard and the
// palette editor keep (a version word, an entry count word, 256 entries).
struct TMaxLogPalette {
  std::uint16_t palVersion = 0x300;
  std::uint16_t palNumEntries = 0;
  std::array<TPaletteEntry, 256> palPalEntry{};
};

// One frame of an export.
class TSetOfBitmapsItem {
 public:
  TSetOfBitmapsItem();
  ~TSetOfBitmapsItem();

  std::unique_ptr<TMinGDIBitmap> Bitmap;  // replaced by the reduced bitmap
  std::int32_t Delay = 10;                // 1/100 s
  // Where the transparent colour was found in the reduced bitmap.
  std::int32_t TransparentX = -1;
  std::int32_t TransparentY = -1;
  // The palette index of the transparent colour (filled when the GIF is built).
  std::int32_t TransparentIndex = -1;
  std::uint8_t Transparent = 0;
  std::int32_t Left = 0;  // the frame's position in the animation
  std::int32_t Top = 0;
  std::uint8_t Disposal = 0;

  std::uint8_t Interlaced() const { return interlaced_; }
  // Stored only when the bitmap is taller than 8 rows (an interlaced GIF
  // image needs at least 5); otherwise the flag keeps its value.
  void SetInterlaced(std::uint8_t value);

 private:
  std::uint8_t interlaced_ = 0;
};

using TSetOfBitmaps = std::vector<std::unique_ptr<TSetOfBitmapsItem>>;

// One colour to be kept in a palette.
struct TColorEntry {
  TColor Color = 0;
};

// Palette kinds.
enum TPaletteKind : int {
  pkBrowser1 = 1,
  pkBrowser = 2,          // 7 x 6 x 6 colour cube
  pkStandardVGA = 3,
  pkGrayscale = 4,
  pkOptimized = 5,        // bins over all frames
  pkAdaptive = 6,         // colour list over all frames
  pkCustom = 7,
  pkOptimizedPerFrame = 8,
  pkAdaptivePerFrame = 9,
};

// The window that receives the progress messages (WM_IMAGEPROGRESS) of palette
// creation; 0 for none. The export wizard sets it before a call.
extern HWND PaletteProgressWindow;

// Builds the palette of the kind, with at most `colors` colours for the reduced
// kinds, and replaces every frame's bitmap by an 8-bit one drawn with it. Kind
// 7 uses custom (its version becomes $300 and its count 256) when given.
// Returns true when every frame was converted, false when the cancel flag
// stopped the conversion (the remaining frames keep their old bitmaps).
bool CreatePaletteForBitmaps(int kind, TSetOfBitmaps& frames, int colors, TMaxLogPalette* custom);

// Fills palette from a palette text file (the whole stream, from its start): on each line the first three runs
// of decimal digits are red, green and blue (their low 8 bits); lines with
// fewer are ignored, and at most 256 entries are read.
void LoadPaletteFile(TStream& stream, TMaxLogPalette& palette);

// ---- The counting and reduction steps ----------------------------------------------

// Number of colour cells: 32 x 32 x 32 bins, or a list of as many colours.
constexpr int kColorCells = 32768;

struct TColorCount {
  TColor Color = 0;
  std::int32_t Count = 0;
};

// Colour counts used as bins (optimized kinds: cell r*1024 + g*32 + b holds
// the colour (8r, 8g, 8b)) or as a list (adaptive kinds: distinct colours in
// order of first appearance).
class TColorCounts {
 public:
  TColorCounts();
  // Bins with their colours and counts of 0.
  void SeedBins();
  // An empty list.
  void ClearList();
  bool IsBins() const { return bins_; }

  // Counts the samples of a frame: the frame drawn stretched over 100 x 100.
  void CountColors(const TBitmap& frame);
  // Counts one sample colour.
  void Add(TColor color);

  std::vector<TColorCount>& Cells() { return cells_; }
  const std::vector<TColorCount>& Cells() const { return cells_; }

 private:
  // The list's index, colour -> cell, by linear probing; the slots written
  // are remembered so that emptying the list costs only them.
  int CellOf(TColor color) const;
  void Index(TColor color, int cell);
  void Unindex(TColor color);
  void ClearIndex();

  bool bins_ = true;
  std::vector<TColorCount> cells_;
  int listLength_ = 0;
  std::vector<std::uint32_t> indexKeys_;  // colour + $1000000; 0 for none
  std::vector<std::int32_t> indexCells_;
  std::vector<std::uint32_t> indexWritten_;
};

// Optimized reduction: leaves the counts of the bins that repeated passes
// decrementing every non-zero count by one would leave, stopping as soon as
// at most `wanted` remain (the most frequent survive; among equally rare
// ones, lower cells go first), and zeroes the others. Computed directly.
void ReduceBinCounts(std::vector<TColorCount>& cells, int wanted);
// Adaptive reduction: passes that merge each colour's nearest equally or less
// frequent colour into it until at most `wanted` remain. afterPass is called
// with the number of remaining colours after every pass.
void MergeListCounts(std::vector<TColorCount>& cells, int wanted, const std::function<void(int)>& afterPass = {});
// The palette of the surviving cells (in cell order, at most 255) over a grey
// ramp, then the kept colours, then black and white when missing; its count
// is the number of entries in use but at least 10.
TMaxLogPalette PaletteFromCounts(const std::vector<TColorCount>& cells, const std::vector<TColorEntry>& keep);
// ReduceBinCounts or MergeListCounts, then PaletteFromCounts, with progress
// messages to PaletteProgressWindow when reportProgress is set.
TMaxLogPalette ReducePalette(TColorCounts& counts, int wanted, const std::vector<TColorEntry>& keep,
                             bool reportProgress);

// The fixed palettes (256 entries each).
TMaxLogPalette BrowserPalette();
TMaxLogPalette StandardVGAPalette();
TMaxLogPalette GrayscalePalette();

// The palette index of each 24-bit colour as the nearest-colour search finds
// it, kept for good: every distinct colour costs one search. An entry may be
// left out of the search (it then stands for no colour).
class TColorIndexCache {
 public:
  // The palette's first count entries; except (when 0..count-1) is never found.
  TColorIndexCache(const TPaletteEntry* entries, int count, int except = -1);
  ~TColorIndexCache();
  // The index of the pixel's colour (bytes blue, green, red).
  std::uint8_t IndexOf(const std::uint8_t* pixel);

 private:
  static constexpr std::uint32_t kNoKey = 0xFFFFFFFFu;
  std::uint8_t Insert(std::size_t slot, std::uint32_t key);
  void Grow();
  std::size_t Slot(std::uint32_t key) const;

  std::unique_ptr<TNearestColorFinder> finder_;
  std::array<std::uint8_t, 256> remap_{};
  std::vector<std::uint32_t> keys_;
  std::vector<std::uint8_t> indices_;
  int bits_ = 12;
  std::size_t used_ = 0;
};

// ---- Frames mapped as the viewer shows them -----------------------------------------

// Maps reduced export frames (24-bit) to 8-bit pictures with the export's
// palette, as the viewer will show them. Pixels a frame leaves transparent
// (its keyed pixels) take a palette entry of their own that no shown pixel
// takes, so that the transparent index stands for them alone. A frame's own
// palette (the per-frame kinds) is made from the pixels it shows, never from
// its keyed ones. With a fixed or custom palette, a frame keeps its keyed
// pixels only when its picture codes smaller with them than without.
class TFrameColorMapper {
 public:
  // Kind, colours and custom palette as CreatePaletteForBitmaps takes them;
  // keying: whether frames may come with keyed pixels (a fixed palette then
  // gives up a duplicate entry, or its least needed one, for the key).
  TFrameColorMapper(int kind, int colors, TMaxLogPalette* custom, bool keying);
  ~TFrameColorMapper();
  TFrameColorMapper(const TFrameColorMapper&) = delete;
  TFrameColorMapper& operator=(const TFrameColorMapper&) = delete;

  // The palette all frames share (the optimized and adaptive kinds), made
  // from the frames' colours before any is mapped.
  void SetSharedPalette(const TMaxLogPalette& palette);
  // Replaces the frame's 24-bit bitmap by its 8-bit picture. keyed, when
  // given, holds one byte per pixel of the frame (rows from the top), not 0
  // for a pixel to leave transparent. A frame that comes transparent (the
  // scene's transparent colour) keeps its colour, found again in its picture.
  void Map(TSetOfBitmapsItem& item, const std::vector<std::uint8_t>* keyed);
  // True when the palette all frames share is known and shows the wanted
  // pixel in exactly the colour shown (bytes blue, green, red); always false
  // for the per-frame kinds, whose palette is made from the frame.
  bool ShowsAlready(const std::uint8_t* wanted, const std::uint8_t* shown);
  // The palette the frames share (with its key entry); none for the per-frame kinds.
  const std::optional<TMaxLogPalette>& SharedPalette() const { return shared_; }

 private:
  struct TTarget;
  std::unique_ptr<TTarget> TargetOf(TMaxLogPalette palette, bool withKey, bool keyFromSpare) const;
  void CountShownPixels(const TMinGDIBitmap& bitmap, const std::vector<std::uint8_t>& keyed);

  int kind_;
  int colors_;
  bool keying_;
  std::optional<TMaxLogPalette> shared_;
  std::unique_ptr<TTarget> sharedTarget_;
  // The wanted colour ShowsAlready looked up last and its entry: changed
  // pixels come in runs of one colour.
  std::uint32_t lastWanted_ = 0xFFFFFFFFu;
  const TPaletteEntry* lastShown_ = nullptr;
  TColorCounts counts_;
};

// ---- Frames one at a time ---------------------------------------------------------

// Palette creation for frames that come one at a time, as an export makes
// them, with the results of CreatePaletteForBitmaps. A fixed palette or a
// frame's own palette reduces each frame at once. A palette shared by all
// frames (the optimized and adaptive kinds) counts each frame's colours and
// holds the frame until Finish has made the palette; a held frame keeps its
// pixels packed in runs of equal pixels (banners repeat most pixels along
// their rows), and each run is matched to the palette once.
class TPaletteReduction {
 public:
  // Kind, colours and custom palette as CreatePaletteForBitmaps takes them.
  TPaletteReduction(int kind, int colors, TMaxLogPalette* custom);
  ~TPaletteReduction();
  TPaletteReduction(const TPaletteReduction&) = delete;
  TPaletteReduction& operator=(const TPaletteReduction&) = delete;

  // True for the kinds whose palette is made from the colours of every frame.
  bool SharedByAllFrames() const;
  // Takes the next frame (24-bit). counted, when given, is the picture whose
  // colours count for the frame (a held frame may keep only a part of it).
  void Add(std::unique_ptr<TSetOfBitmapsItem> item, const TBitmap* counted = nullptr);
  // Makes the shared palette (progress to PaletteProgressWindow as
  // CreatePaletteForBitmaps reports it), reduces the held frames and appends
  // every frame to frames in the order they came. False when the cancel flag
  // stopped the reduction: the frames not reduced are appended as they came.
  bool Finish(TSetOfBitmaps& frames);
  // Appends every frame as it came, without reducing the held ones (an export
  // cancelled before its palette).
  void GiveBack(TSetOfBitmaps& frames);
  // Bytes the held frames keep.
  std::int64_t HeldBytes() const;
  // Frames taken and not yet handed back.
  std::size_t HeldCount() const;

  // The palette shared by all frames, from the colours of every frame taken
  // (progress as Finish reports it); the held frames stay as they came.
  TMaxLogPalette MakeSharedPalette();
  // Hands the held frames on in the order they came, each a 24-bit bitmap
  // again; stops when the cancel flag is set, keeping the frames not handed
  // on for GiveBack. False when it stopped.
  bool HandOnHeld(const std::function<void(std::unique_ptr<TSetOfBitmapsItem>)>& take);

 private:
  struct TEntry;
  void ReduceHeld(TEntry& entry, TColorIndexCache& indices);

  int kind_;
  int colors_;
  TMaxLogPalette* custom_;
  std::optional<TMaxLogPalette> shared_;
  TColorCounts counts_;
  std::vector<TColorEntry> keep_;
  std::vector<TEntry> entries_;
  std::unique_ptr<TByteStore> store_;
  std::vector<std::uint8_t> packing_;  // a held frame while it is packed
};
