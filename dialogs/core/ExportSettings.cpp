#include "dialogs/core/ExportSettings.h"

#include "imaging/CreatePaletteU.h"
#include "imaging/utils.h"
#include "platform/Numeric.h"
#include "platform/SysUtils.h"

#include <cmath>
#include <cstdio>

void TExportSettings::SetReductionFlag(std::uint8_t flag, bool on) {
  ReductionFlags = static_cast<std::uint8_t>(on ? (ReductionFlags | flag) : (ReductionFlags & ~flag));
}

// ---- Names ---------------------------------------------------------------------------------

TExportFormat ExportFormatOfName(std::string& exportName) {
  const std::string extension = UpperCaseAscii(ExtractFileExt(exportName));
  if (extension.empty()) {
    exportName += ".gif";
    return efGif;
  }
  if (extension == ".BMP") return efBmp;
  if (extension == ".JPG") return efJpg;
  if (extension == ".AVI") return efAvi;
  return efGif;
}

std::string ExportBaseName(const std::string& exportName) {
  // Only the file name's own extension goes: a dot in a folder name stays.
  const std::string extension = ExtractFileExt(exportName);
  return exportName.substr(0, exportName.size() - extension.size());
}

std::string SeriesSuffix(int index, int count) {
  if (count == 1) return "";
  return "_" + PadLeftStr('0', 3, IntToShortStr(index + 1));
}

std::string SeriesFileName(const std::string& base, int index, int count, const std::string& extension) {
  return base + SeriesSuffix(index, count) + extension;
}

// ---- Numbers ---------------------------------------------------------------------------------

int JpegQualityOfFactor(int factor) { return 101 - factor; }

int GifDelayOfStepTime(int milliseconds) { return milliseconds / 10; }

int AviFrameRateOfStepTime(int milliseconds) {
  const int hundredths = milliseconds / 10;
  if (hundredths == 0) return 100;
  return Round(100.0 / hundredths);
}

int PaletteKindOfType(int paletteType) {
  switch (paletteType) {
    case ptBrowser: return pkBrowser;
    case ptOptimized: return pkOptimized;
    case ptAdaptive: return pkAdaptive;
    case ptStandardVGA: return pkStandardVGA;
    case ptGrayscale: return pkGrayscale;
    case ptCustom: return pkCustom;
    case ptDifferentOptimized: return pkOptimizedPerFrame;
    case ptDifferentAdaptive: return pkAdaptivePerFrame;
    default: return pkAdaptive;
  }
}

int PaletteColorsOfType(int paletteType, int numberOfColors) {
  if (paletteType == ptStandardVGA || paletteType == ptCustom) return 256;
  return numberOfColors;
}

bool UsesLocalColorTables(int paletteType) {
  return paletteType == ptDifferentOptimized || paletteType == ptDifferentAdaptive;
}

std::string FixedColorCountText(int paletteType) {
  switch (paletteType) {
    case ptBrowser:
    case ptGrayscale:
    case ptCustom: return "256";
    case ptStandardVGA: return "16";
    default: return "";
  }
}

// ---- Estimates -------------------------------------------------------------------------------

namespace {

constexpr double kModemBytesPerSecond = 2800.0;

// A non-negative number with one decimal, its whole part grouped by
// thousands with ","; without leadingZero a whole part of 0 is left out
// (as a "#" before the point formats it). Halves round away from zero.
std::string GroupedOneDecimal(double value, bool leadingZero) {
  const long long tenths = std::llround(std::fabs(value) * 10.0);
  const long long whole = tenths / 10;
  std::string digits = whole == 0 && !leadingZero ? "" : std::to_string(whole);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped + "." + std::to_string(tenths % 10);
}

}  // namespace

std::string GifSizeText(double bytes) { return GroupedOneDecimal(bytes / 1024.0, false) + " "; }

std::string JpegSizeText(double bytes) { return GroupedOneDecimal(bytes / 1024.0, true) + " "; }

std::string SizeChangeText(double bytes) {
  const double kilobytes = bytes / 1024.0;
  // A change that shows as 0.0 takes the zero section.
  if (std::llround(std::fabs(kilobytes) * 10.0) == 0) return "0 ";
  return (kilobytes < 0 ? "-" : "+") + GroupedOneDecimal(kilobytes, true);
}

std::string DownloadTimeText(double bytes) {
  const double seconds = bytes / kModemBytesPerSecond;
  if (seconds <= 1.0) return " less than 1 second";
  // Whole milliseconds, then hours (not wrapped at a day), minutes and seconds.
  const long long milliseconds = std::llround(seconds * 1000.0);
  const long long totalSeconds = milliseconds / 1000;
  const long long hours = totalSeconds / 3600;
  const long long minutes = totalSeconds / 60 % 60;
  const long long secs = totalSeconds % 60;
  return " " + std::to_string(hours) + " hour " + std::to_string(minutes) + " min " + std::to_string(secs) + " sec";
}
