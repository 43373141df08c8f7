// What the export wizard remembers between exports and the small rules it
// applies to them: the format chosen by the export name's extension, the
// output file names, the JPEG quality, the GIF delay and AVI frame rate of a
// step time, the palette kind of each palette choice, the pixel and per-cent
// size link (shared with the size dialogs) and the texts of the size and
// download-time estimates.
#pragma once

#include "dialogs/core/SizeLink.h"

#include <cstdint>
#include <string>

// The export settings the main window keeps while the program runs (they are
// not written to the registry). Each control of the wizard writes its own
// setting back when it changes.
struct TExportSettings {
  std::uint8_t WholeAnimation = 1;
  std::int32_t FirstStep = 1;
  std::int32_t NumberOfFrames = 0;
  std::uint8_t ResampleKind = 0;    // 0 anti-alias (resampled), 1 stretch/truncate
  std::int32_t PaletteType = 2;     // item of the palette choice (TPaletteType)
  std::int32_t NumberOfColors = 256;
  std::uint8_t ReductionFlags = 5;  // TReductionFlag bits
  std::int32_t JpegFactor = 25;     // 1..76; the JPEG quality is 101 - factor

  bool Shrink() const { return (ReductionFlags & 1) != 0; }
  bool RemoveIdenticalPixels() const { return (ReductionFlags & 2) != 0; }
  bool RemoveIdenticalFrames() const { return (ReductionFlags & 4) != 0; }
  void SetReductionFlag(std::uint8_t flag, bool on);
};

// Bits of TExportSettings::ReductionFlags.
enum TReductionFlag : std::uint8_t {
  rfShrinkToSmallestRectangle = 1,
  rfRemoveIdenticalPixels = 2,
  rfRemoveIdenticalFrames = 4,
};

enum TExportFormat : std::uint8_t { efGif = 0, efBmp = 1, efJpg = 2, efAvi = 3 };

// The items of the palette choice, in the order the wizard lists them.
enum TPaletteType : std::int32_t {
  ptBrowser = 0,
  ptOptimized = 1,
  ptAdaptive = 2,
  ptStandardVGA = 3,
  ptGrayscale = 4,
  ptCustom = 5,
  ptDifferentOptimized = 6,
  ptDifferentAdaptive = 7,
};

// ---- Names -----------------------------------------------------------------------------

// The format chosen by the export name's extension (compared without case):
// ".bmp", ".jpg", ".avi" and ".gif" choose theirs; a name without extension
// gets ".gif" appended and any other extension exports a GIF.
TExportFormat ExportFormatOfName(std::string& exportName);
// The export name without its extension: the base of every output name.
std::string ExportBaseName(const std::string& exportName);
// "" for a series of one file, else "_" and the 1-based number padded with
// zeros to three digits (_001 ... _999, _1000 ...).
std::string SeriesSuffix(int index, int count);
// base + suffix + extension (extension with its dot, as ".bmp").
std::string SeriesFileName(const std::string& base, int index, int count, const std::string& extension);

// ---- Numbers -----------------------------------------------------------------------------

// The JPEG quality of the wizard's quality factor: 101 - factor (1 gives 100, 76 gives 25).
int JpegQualityOfFactor(int factor);
// The GIF delay in hundredths of a second of a step time in milliseconds (its tenth, truncated).
int GifDelayOfStepTime(int milliseconds);
// AVI frames per second: 100 when the step time is below 10 ms, else
// round(100 / (step time div 10)).
int AviFrameRateOfStepTime(int milliseconds);
// The palette kind of CreatePaletteForBitmaps for a palette choice (any
// unknown choice gives the adaptive kind).
int PaletteKindOfType(int paletteType);
// The number of colours the palette engine gets: 256 for the standard VGA
// and custom kinds, the chosen number for every other one.
int PaletteColorsOfType(int paletteType, int numberOfColors);
// True for the two choices that give every frame its own colour table.
bool UsesLocalColorTables(int paletteType);
// What the wizard shows in place of the colour count for the fixed
// palettes ("256", or "16" for standard VGA); "" when the count is chosen.
std::string FixedColorCountText(int paletteType);

// ---- Estimates ---------------------------------------------------------------------------

// The GIF size in kilobytes as "###,###.0 " formats it (".5 ", "1,234.6 ").
std::string GifSizeText(double bytes);
// A size change in kilobytes as "+###,##0.0;-###,##0.0;0 " formats it
// ("+1.5", "-0.3", "0 " when it rounds to zero).
std::string SizeChangeText(double bytes);
// The JPEG size in kilobytes as "###,##0.0 " formats it ("0.5 ").
std::string JpegSizeText(double bytes);
// The download time at 2,800 bytes per second (a 28.8K modem): " less than 1
// second" up to one second, else " h hour m min s sec".
std::string DownloadTimeText(double bytes);
