#include "imaging/shadow.h"

#include "platform/Graphics.h"
#include "platform/Numeric.h"

#include <cstdint>
#include <vector>

namespace {

// Entry i = near + round((far - near) * i / 256) per channel.
TPalette MaskPalette(TColor farColor, TColor nearColor) {
  const TColor f = ColorToRGB(farColor), n = ColorToRGB(nearColor);
  auto channel = [](int nearValue, int farValue, int i) {
    return static_cast<std::uint8_t>(nearValue + Round((farValue - nearValue) * i / 256.0));
  };
  std::vector<TPaletteEntry> entries(256);
  for (int i = 0; i < 256; ++i) {
    entries[i] = {channel(GetRValue(n), GetRValue(f), i), channel(GetGValue(n), GetGValue(f), i),
                  channel(GetBValue(n), GetBValue(f), i), 0};
  }
  return TPalette(std::move(entries));
}

// The disc of radius r as the half-width of its span in each row dy = -r .. r:
// the offsets with (2dx)^2 + (2dy)^2 < (2r + 1)^2.
std::vector<int> DiscSpans(int r) {
  std::vector<int> spans;
  const int limit = (2 * r + 1) * (2 * r + 1);
  for (int dy = -r; dy <= r; ++dy) {
    int s = 0;
    while (s + 1 <= r && 4 * (s + 1) * (s + 1) + 4 * dy * dy < limit) ++s;
    spans.push_back(s);
  }
  return spans;
}

// Whether each source pixel is opaque, placed 2r from the left of a grid of
// (width + 4r) x height cells so that every disc position stays inside a row.
std::vector<std::uint8_t> CoverageGrid(const TBitmap& source, int width, int height, bool useKey, TColor keyColor,
                                       int r, int gridWidth) {
  std::vector<std::uint8_t> grid(static_cast<std::size_t>(gridWidth) * static_cast<std::size_t>(height));
  const TColor key = keyColor & 0xFFFFFFu;
  const int bits = source.BitCount();
  const TPalette& palette = source.Palette();
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = source.ScanLine(y);
    std::uint8_t* cells = &grid[static_cast<std::size_t>(gridWidth) * y + 2 * r];
    for (int x = 0; x < width; ++x)
      cells[x] = !useKey || (ReadPixel(row, x, bits, palette) & 0xFFFFFFu) != key ? 1 : 0;
  }
  return grid;
}

}  // namespace

int MakeShadowMask(const TBitmap& source, TBitmap& mask, bool useKey, TColor keyColor, TColor farColor,
                   TColor nearColor, int radius) {
  mask.SetPixelFormat(pf8bit);
  mask.SetPalette(MaskPalette(farColor, nearColor));
  if (radius < 0 || radius > kMaxShadowRadius) return kShadowRadiusOutOfRange;

  const int r = radius;
  const std::vector<int> spans = DiscSpans(r);
  int discSize = 0;
  for (int s : spans) discSize += 2 * s + 1;
  std::vector<std::uint8_t> level(static_cast<std::size_t>(discSize) + 1);
  for (int k = 0; k <= discSize; ++k)
    level[k] = static_cast<std::uint8_t>(Round(255.0 - k * 255.0 / (discSize + 1)));

  // An empty source (even one with a width or a height) has no opaque pixel.
  const int width = source.Empty() ? 0 : source.Width(), height = source.Empty() ? 0 : source.Height();
  const int gridWidth = width + 4 * r;
  const std::vector<std::uint8_t> grid = CoverageGrid(source, width, height, useKey, keyColor, r, gridWidth);

  const int maskWidth = width + 2 * r, maskHeight = height + 2 * r;
  mask.SetSize(maskWidth, maskHeight);
  if (mask.Empty()) return 0;
  for (int y = 0; y < maskHeight; ++y) {
    std::uint8_t* out = mask.ScanLine(y);
    // Source rows under the disc centred on source row y - r.
    const int centreRow = y - r;
    // The disc centred on source column x - r covers grid columns x + r - s .. x + r + s.
    int k = 0;
    for (int dy = -r; dy <= r; ++dy) {
      const int row = centreRow + dy;
      if (row < 0 || row >= height) continue;
      const std::uint8_t* cells = &grid[static_cast<std::size_t>(gridWidth) * row];
      const int s = spans[dy + r];
      for (int c = r - s; c <= r + s; ++c) k += cells[c];
    }
    out[0] = level[k];
    // Moving one pixel right: the cell entering at each span's right end is
    // added, the one leaving at its left end subtracted.
    for (int x = 1; x < maskWidth; ++x) {
      for (int dy = -r; dy <= r; ++dy) {
        const int row = centreRow + dy;
        if (row < 0 || row >= height) continue;
        const std::uint8_t* cells = &grid[static_cast<std::size_t>(gridWidth) * row];
        const int s = spans[dy + r];
        k += cells[x + r + s] - cells[x - 1 + r - s];
      }
      out[x] = level[k];
    }
  }
  return 0;
}
