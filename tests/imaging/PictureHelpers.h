// Small pictures for the image-processing tests.
#pragma once

#include "platform/Graphics.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

// A width x height picture of the format, every pixel color.
inline void MakeFilled(TBitmap& b, int width, int height, TColor color, TPixelFormat format = pf24bit) {
  b.SetPixelFormat(format);
  b.Canvas().Brush().Color = color;
  b.SetSize(width, height);
  b.Canvas().FillRect(Rect(0, 0, width, height));
}

// A 24-bit picture whose pixel (x, y) is color(x, y).
inline void MakePattern(TBitmap& b, int width, int height, const std::function<TColor(int, int)>& color) {
  MakeFilled(b, width, height, clBlack);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.SetPixel(x, y, color(x, y));
}

// Whether two pictures have the same size and pixel colours.
inline bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  return true;
}

// The largest difference of the two colours in one channel.
inline int ChannelDistance(TColor a, TColor b) {
  return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                   std::abs(GetBValue(a) - GetBValue(b))});
}

// The colours of the pixels at the points.
inline std::vector<TColor> PixelsAt(const TBitmap& b, std::initializer_list<std::pair<int, int>> points) {
  std::vector<TColor> colours;
  for (auto [x, y] : points) colours.push_back(b.Pixel(x, y));
  return colours;
}
