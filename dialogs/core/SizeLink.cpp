#include "dialogs/core/SizeLink.h"

#include "platform/Numeric.h"

int PercentAfterPixelsChange(int pixels, int percent, int base) {
  if (base < 1) return percent;
  if (Round(static_cast<double>(percent) * base / 100.0) == pixels) return percent;
  return Round(static_cast<double>(pixels) * 100.0 / base);
}

int PixelsAfterPercentChange(int pixels, int percent, int base) {
  if (base < 1) return pixels;
  if (Round(static_cast<double>(pixels) * 100.0 / base) == percent) return pixels;
  if (percent == 100) return base;
  return Round(static_cast<double>(percent) * base / 100.0);
}
