// The canvas: fills, blits, shapes and lines drawn straight into the bitmap's
// rows with GDI's edge rules. Text lives in CanvasText.cpp.
#include "platform/PixelSpans.h"

#include "platform/BitmapAccess.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

// ---- Pixel spans ------------------------------------------------------------------------

namespace {

constexpr TColor kRgbMask = 0x00FFFFFF;

}  // namespace

TColor ResolvedColor(TColor color) { return ColorToRGB(color) & kRgbMask; }

TSpanReader::TSpanReader(const TBitmap& bitmap) : bitmap_(bitmap), bits_(bitmap.BitCount()) {
  if (bits_ <= 8) {
    const TPalette& palette = TBitmapPixels::Palette(bitmap);
    // Indices beyond the palette read as black, as ReadPixel does.
    for (int i = 0; i < 256; ++i) colors_[static_cast<std::size_t>(i)] = i < palette.Count() ? ColorOf(palette.Entry(i)) : clBlack;
  }
}

void TSpanReader::Read(int y, int x0, int n, TColor* out) const {
  const std::uint8_t* row = TBitmapPixels::Row(bitmap_, y);
  switch (bits_) {
    case 24: {
      const std::uint8_t* p = row + 3 * static_cast<std::int64_t>(x0);
      for (int i = 0; i < n; ++i, p += 3) out[i] = RGB(p[2], p[1], p[0]);
      break;
    }
    case 32: {
      const std::uint8_t* p = row + 4 * static_cast<std::int64_t>(x0);
      for (int i = 0; i < n; ++i, p += 4) out[i] = RGB(p[2], p[1], p[0]);
      break;
    }
    case 8:
      for (int i = 0; i < n; ++i) out[i] = colors_[row[x0 + i]];
      break;
    default:
      for (int i = 0; i < n; ++i) out[i] = colors_[static_cast<std::size_t>(ReadIndex(row, x0 + i, bits_))];
      break;
  }
}

TSpanWriter::TSpanWriter(TBitmap& bitmap)
    : bitmap_(bitmap), bits_(bitmap.BitCount()), palette_(TBitmapPixels::Palette(bitmap)) {}

int TSpanWriter::IndexOf(TColor color) {
  // Nearest-colour searches are slow; a small direct-mapped cache serves the
  // few colours a drawing operation uses.
  if (cacheKeys_.empty()) {
    cacheKeys_.assign(kCacheSize, 0xFFFFFFFFu);
    cacheIndices_.assign(kCacheSize, 0);
  }
  const std::size_t slot = ((color * 2654435761u) >> 20) & (kCacheSize - 1);
  if (cacheKeys_[slot] != color) {
    cacheKeys_[slot] = color;
    if (!finder_) finder_.emplace(palette_);
    cacheIndices_[slot] = static_cast<std::uint8_t>(std::max(0, finder_->Find(color)));
  }
  return cacheIndices_[slot];
}

void TSpanWriter::Write(int y, int x0, int n, const TColor* colors) {
  std::uint8_t* row = TBitmapPixels::Row(bitmap_, y);
  switch (bits_) {
    case 24: {
      std::uint8_t* p = row + 3 * static_cast<std::int64_t>(x0);
      for (int i = 0; i < n; ++i, p += 3) {
        p[0] = GetBValue(colors[i]);
        p[1] = GetGValue(colors[i]);
        p[2] = GetRValue(colors[i]);
      }
      break;
    }
    case 32: {
      std::uint8_t* p = row + 4 * static_cast<std::int64_t>(x0);
      for (int i = 0; i < n; ++i, p += 4) {
        p[0] = GetBValue(colors[i]);
        p[1] = GetGValue(colors[i]);
        p[2] = GetRValue(colors[i]);
        p[3] = 0;
      }
      break;
    }
    default:
      for (int i = 0; i < n; ++i) WriteIndex(row, x0 + i, bits_, IndexOf(colors[i]));
      break;
  }
}

void TSpanWriter::Fill(int y, int x0, int n, TColor color) {
  if (n <= 0) return;
  std::uint8_t* row = TBitmapPixels::Row(bitmap_, y);
  switch (bits_) {
    case 24: {
      std::uint8_t* p = row + 3 * static_cast<std::int64_t>(x0);
      const std::uint8_t b = GetBValue(color), g = GetGValue(color), r = GetRValue(color);
      for (int i = 0; i < n; ++i, p += 3) {
        p[0] = b;
        p[1] = g;
        p[2] = r;
      }
      break;
    }
    case 32: {
      std::uint8_t* p = row + 4 * static_cast<std::int64_t>(x0);
      const std::uint8_t quad[4] = {GetBValue(color), GetGValue(color), GetRValue(color), 0};
      for (int i = 0; i < n; ++i, p += 4) std::memcpy(p, quad, 4);
      break;
    }
    case 8: std::memset(row + x0, IndexOf(color), static_cast<std::size_t>(n)); break;
    default: {
      const int index = IndexOf(color);
      for (int i = 0; i < n; ++i) WriteIndex(row, x0 + i, bits_, index);
      break;
    }
  }
}

void TSpanWriter::PutIndexAt(int y, int x, int index) { WriteIndex(TBitmapPixels::Row(bitmap_, y), x, bits_, index); }

// ---- Raster operations --------------------------------------------------------------------

namespace {

std::uint8_t RopCode(std::uint32_t rop) { return static_cast<std::uint8_t>(rop >> 16); }

}  // namespace

bool RopUsesSource(std::uint32_t rop) {
  const std::uint8_t c = RopCode(rop);
  return ((c >> 2) & 0x33) != (c & 0x33);
}

bool RopUsesDest(std::uint32_t rop) {
  const std::uint8_t c = RopCode(rop);
  return ((c >> 1) & 0x55) != (c & 0x55);
}

TColor ApplyRop3(std::uint32_t rop, TColor pattern, TColor source, TColor dest) {
  const std::uint8_t code = RopCode(rop);
  const TColor p = pattern, s = source, d = dest;
  switch (code) {
    case 0xCC: return s;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0x66: return s ^ d;
    case 0x33: return ~s & kRgbMask;
    case 0x44: return s & ~d & kRgbMask;
    case 0x11: return ~(s | d) & kRgbMask;
    case 0xBB: return (~s | d) & kRgbMask;
    case 0xC0: return p & s;
    case 0xF0: return p;
    case 0x5A: return p ^ d;
    case 0x55: return ~d & kRgbMask;
    case 0x00: return 0;
    case 0xFF: return kRgbMask;
    default: break;
  }
  // Any other code: the truth table over (pattern, source, destination) bits.
  TColor result = 0;
  for (int term = 0; term < 8; ++term) {
    if (!(code & (1 << term))) continue;
    result |= ((term & 4) ? p : ~p) & ((term & 2) ? s : ~s) & ((term & 1) ? d : ~d);
  }
  return result & kRgbMask;
}

TColor ApplyPenMode(TPenMode mode, TColor pen, TColor dest) {
  const TColor p = pen, d = dest;
  TColor r = p;
  switch (mode) {
    case pmBlack: r = 0; break;
    case pmWhite: r = kRgbMask; break;
    case pmNop: r = d; break;
    case pmNot: r = ~d; break;
    case pmCopy: r = p; break;
    case pmNotCopy: r = ~p; break;
    case pmMergePenNot: r = p | ~d; break;
    case pmMaskPenNot: r = p & ~d; break;
    case pmMergeNotPen: r = ~p | d; break;
    case pmMaskNotPen: r = ~p & d; break;
    case pmMerge: r = p | d; break;
    case pmNotMerge: r = ~(p | d); break;
    case pmMask: r = p & d; break;
    case pmNotMask: r = ~(p & d); break;
    case pmXor: r = p ^ d; break;
    case pmNotXor: r = ~(p ^ d); break;
  }
  return r & kRgbMask;
}

// ---- Regions ----------------------------------------------------------------------------------

TRegion CreateRectRgn(int left, int top, int right, int bottom) {
  return {TRegion::Rectangle, Rect(left, top, right, bottom), 0, 0};
}
TRegion CreateRoundRectRgn(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
  return {TRegion::RoundRectangle, Rect(left, top, right, bottom), cornerWidth, cornerHeight};
}
TRegion CreateEllipticRgn(int left, int top, int right, int bottom) {
  return {TRegion::Ellipse, Rect(left, top, right, bottom), 0, 0};
}

namespace {

struct CurveShape {
  double rx = 0, ry = 0;  // radii of the ellipse or of the corner ellipses
};

// The pixels a region covers. Elliptic and rounded regions, as GDI makes
// them, leave out the last column and row of their bounds: a region from
// (0, 0, w + 1, h + 1) covers a w x h image exactly.
TRect CoveredBounds(const TRegion& region) {
  const TRect& b = region.bounds;
  if (region.kind == TRegion::Rectangle) return b;
  return Rect(b.Left, b.Top, b.Right - 1, b.Bottom - 1);
}

CurveShape ShapeOf(const TRegion& region) {
  const TRect r = CoveredBounds(region);
  if (region.kind == TRegion::Ellipse) return {r.Width() / 2.0, r.Height() / 2.0};
  return {std::min(region.cornerWidth, r.Width()) / 2.0, std::min(region.cornerHeight, r.Height()) / 2.0};
}

}  // namespace

bool RegionContains(const TRegion& region, int x, int y) {
  const TRect r = CoveredBounds(region);
  if (!PtInRect(r, Point(x, y))) return false;
  if (region.kind == TRegion::Rectangle) return true;
  // Distance test against the ellipse (or the corner ellipses) through pixel centres.
  const CurveShape shape = ShapeOf(region);
  const double rx = shape.rx, ry = shape.ry;
  if (rx <= 0 || ry <= 0) return true;
  const double px = x + 0.5, py = y + 0.5;
  double cx = px, cy = py;
  if (region.kind == TRegion::Ellipse) {
    cx = r.Left + rx;
    cy = r.Top + ry;
  } else {
    if (px < r.Left + rx) cx = r.Left + rx;
    else if (px > r.Right - rx) cx = r.Right - rx;
    if (py < r.Top + ry) cy = r.Top + ry;
    else if (py > r.Bottom - ry) cy = r.Bottom - ry;
    if (cx == px || cy == py) return true;  // not in a corner
  }
  const double dx = (px - cx) / rx, dy = (py - cy) / ry;
  return dx * dx + dy * dy <= 1.0;
}

bool RegionRowSpan(const TRegion& region, int y, int& x0, int& x1) {
  const TRect r = CoveredBounds(region);
  if (r.IsEmpty() || y < r.Top || y >= r.Bottom) return false;
  x0 = r.Left;
  x1 = r.Right;
  if (region.kind == TRegion::Rectangle) return true;
  const CurveShape shape = ShapeOf(region);
  if (shape.rx > 0 && shape.ry > 0) {
    // A first guess from the curve, corrected against RegionContains so that
    // spans and single-pixel tests always agree. Every row of these convex
    // shapes is one interval.
    const double py = y + 0.5;
    double cy = py;
    if (region.kind == TRegion::Ellipse) {
      cy = r.Top + shape.ry;
    } else if (py < r.Top + shape.ry) {
      cy = r.Top + shape.ry;
    } else if (py > r.Bottom - shape.ry) {
      cy = r.Bottom - shape.ry;
    }
    const double dy = (py - cy) / shape.ry;
    const double half = dy * dy >= 1.0 ? 0.0 : shape.rx * std::sqrt(1.0 - dy * dy);
    const double leftCentre = r.Left + shape.rx;
    const double rightCentre = region.kind == TRegion::Ellipse ? leftCentre : r.Right - shape.rx;
    x0 = std::clamp(static_cast<int>(std::ceil(leftCentre - half - 0.5)), r.Left, r.Right);
    x1 = std::clamp(static_cast<int>(std::floor(rightCentre + half - 0.5)) + 1, r.Left, r.Right);
    while (x0 < x1 && !RegionContains(region, x0, y)) ++x0;
    while (x0 > r.Left && RegionContains(region, x0 - 1, y)) --x0;
    while (x1 > x0 && !RegionContains(region, x1 - 1, y)) --x1;
    while (x1 < r.Right && x1 > x0 && RegionContains(region, x1, y)) ++x1;
  }
  return x0 < x1;
}

// ---- Canvas basics ----------------------------------------------------------------------------

TCanvas::TCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}

TRect TCanvas::ClipRect() const {
  TRect all = Rect(0, 0, bitmap_.Width(), bitmap_.Height());
  if (clip_) IntersectRect(all, all, clip_->bounds);
  return all;
}

void TCanvas::SetClipRegion(const std::optional<TRegion>& region) { clip_ = region; }

bool TCanvas::InClip(int x, int y) const {
  if (x < 0 || y < 0 || x >= bitmap_.Width() || y >= bitmap_.Height()) return false;
  return !clip_ || RegionContains(*clip_, x, y);
}

bool TCanvas::VisibleSpan(int y, int& x0, int& x1) const {
  if (y < 0 || y >= bitmap_.Height()) return false;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, bitmap_.Width());
  if (clip_) {
    int c0 = 0, c1 = 0;
    if (!RegionRowSpan(*clip_, y, c0, c1)) return false;
    x0 = std::max(x0, c0);
    x1 = std::min(x1, c1);
  }
  return x0 < x1;
}

TColor TCanvas::Pixel(int x, int y) const {
  if (!InClip(x, y)) return 0xFFFFFFFFu;
  return bitmap_.Pixel(x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  if (InClip(x, y)) bitmap_.SetPixel(x, y, color);
}

void TCanvas::FillRect(const TRect& rect) {
  TRect area;
  if (brush_.Style == bsClear || !IntersectRect(area, rect, ClipRect())) return;
  Painter painter(*this);
  for (int y = area.Top; y < area.Bottom; ++y) painter.BrushSpan(y, area.Left, area.Right, false);
}

// ---- Blits ----------------------------------------------------------------------------------------

namespace {

// The source index of destination index k when n destination pixels sample
// m source pixels: nearest neighbour through pixel centres.
int Sample(std::int64_t k, std::int64_t n, std::int64_t m, bool mirror) {
  const auto j = static_cast<int>(((2 * k + 1) * m) / (2 * n));
  return mirror ? static_cast<int>(m) - 1 - j : j;
}

// Applies a raster operation to 24-bit pixels byte by byte: the operations
// are bitwise, so each channel byte combines with the same byte of the others.
template <typename Op>
void RopPixels24(const std::uint8_t* s, std::uint8_t* d, int n, const std::uint8_t pattern[3], Op op) {
  for (int i = 0; i < n; ++i, s += 3, d += 3) {
    d[0] = static_cast<std::uint8_t>(op(pattern[0], s[0], d[0]));
    d[1] = static_cast<std::uint8_t>(op(pattern[1], s[1], d[1]));
    d[2] = static_cast<std::uint8_t>(op(pattern[2], s[2], d[2]));
  }
}

void RopRow24(std::uint32_t rop, const std::uint8_t* s, std::uint8_t* d, int n, const std::uint8_t pattern[3]) {
  using B = std::uint8_t;
  switch (RopCode(rop)) {
    case 0x88: RopPixels24(s, d, n, pattern, [](B, B sv, B dv) { return sv & dv; }); break;
    case 0xEE: RopPixels24(s, d, n, pattern, [](B, B sv, B dv) { return sv | dv; }); break;
    case 0x66: RopPixels24(s, d, n, pattern, [](B, B sv, B dv) { return sv ^ dv; }); break;
    case 0x33: RopPixels24(s, d, n, pattern, [](B, B sv, B) { return ~sv; }); break;
    case 0x44: RopPixels24(s, d, n, pattern, [](B, B sv, B dv) { return sv & ~dv; }); break;
    case 0xBB: RopPixels24(s, d, n, pattern, [](B, B sv, B dv) { return ~sv | dv; }); break;
    default: {
      const B code = RopCode(rop);
      RopPixels24(s, d, n, pattern, [code](B pv, B sv, B dv) {
        unsigned result = 0;
        for (int term = 0; term < 8; ++term)
          if (code & (1 << term)) result |= ((term & 4) ? pv : ~pv) & ((term & 2) ? sv : ~sv) & ((term & 1) ? dv : ~dv);
        return result;
      });
      break;
    }
  }
}

}  // namespace

void TCanvas::Blit(const TRect& dest, const TBitmap& source, const TRect& sourceRect, std::uint32_t rop,
                   bool transparent, TColor transparentColor) {
  const bool usesSource = RopUsesSource(rop) || transparent;
  if (usesSource && &source == &bitmap_) {
    // Reading and writing the same rows: work from a copy.
    TBitmap copy;
    copy.Assign(&source);
    Blit(dest, copy, sourceRect, rop, transparent, transparentColor);
    return;
  }
  const bool mirrorX = (dest.Right < dest.Left) != (sourceRect.Right < sourceRect.Left);
  const bool mirrorY = (dest.Bottom < dest.Top) != (sourceRect.Bottom < sourceRect.Top);
  const TRect d = Rect(std::min(dest.Left, dest.Right), std::min(dest.Top, dest.Bottom),
                       std::max(dest.Left, dest.Right), std::max(dest.Top, dest.Bottom));
  const TRect s = Rect(std::min(sourceRect.Left, sourceRect.Right), std::min(sourceRect.Top, sourceRect.Bottom),
                       std::max(sourceRect.Left, sourceRect.Right), std::max(sourceRect.Top, sourceRect.Bottom));
  const std::int64_t dw = std::int64_t{d.Right} - d.Left, dh = std::int64_t{d.Bottom} - d.Top;
  const std::int64_t sw = std::int64_t{s.Right} - s.Left, sh = std::int64_t{s.Bottom} - s.Top;
  if (dw <= 0 || dh <= 0 || (usesSource && (sw <= 0 || sh <= 0))) return;
  TRect area;
  if (!IntersectRect(area, d, ClipRect())) return;
  Painter painter(*this);
  if (!painter.Ready()) return;
  if (usesSource) {
    TBitmapPixels::Prepare(source, false);
    if (source.Empty() || !TBitmapPixels::HasPixels(source)) return;
  }

  // Source column of every destination column of the area; -1 outside the source.
  const int areaWidth = area.Width();
  std::vector<int> columns(static_cast<std::size_t>(areaWidth), 0);
  int sourceMin = std::numeric_limits<int>::max(), sourceMax = -1;
  if (usesSource) {
    for (int i = 0; i < areaWidth; ++i) {
      const int sx = s.Left + Sample(area.Left + i - d.Left, dw, sw, mirrorX);
      const bool inside = sx >= 0 && sx < source.Width();
      columns[static_cast<std::size_t>(i)] = inside ? sx : -1;
      if (inside) {
        sourceMin = std::min(sourceMin, sx);
        sourceMax = std::max(sourceMax, sx);
      }
    }
    if (sourceMax < 0) return;
  }

  const int destBits = bitmap_.BitCount();
  const int sourceBits = usesSource ? source.BitCount() : 0;
  const bool copying = RopCode(rop) == 0xCC;
  const bool samePalette = usesSource && destBits <= 8 && sourceBits <= 8 &&
                           TBitmapPixels::Palette(source) == TBitmapPixels::Palette(bitmap_);
  const bool unscaled = dw == sw && !mirrorX;
  const bool rawRows = unscaled && sourceBits == destBits &&
                       ((!transparent && copying && (destBits == 24 || destBits == 32 || (destBits == 8 && samePalette))) ||
                        (usesSource && destBits == 24));
  const bool stretched24 = !rawRows && sourceBits == 24 && destBits == 24 && (copying || transparent);
  const TColor pattern = ResolvedColor(brush_.Color);
  const TColor keyColor = ResolvedColor(transparentColor);
  const TSpanReader sourceReader(source);
  std::vector<TColor> sourceRow(usesSource ? static_cast<std::size_t>(sourceMax - sourceMin + 1) : 0);
  std::vector<TColor> out(static_cast<std::size_t>(areaWidth));
  std::vector<TColor> destRow(static_cast<std::size_t>(areaWidth));
  std::vector<std::uint8_t> keep(static_cast<std::size_t>(areaWidth));
  int lastSourceY = -1;

  for (int y = area.Top; y < area.Bottom; ++y) {
    int sy = 0;
    if (usesSource) {
      sy = s.Top + Sample(y - d.Top, dh, sh, mirrorY);
      if (sy < 0 || sy >= source.Height()) continue;
    }
    int x0 = area.Left, x1 = area.Right;
    if (!VisibleSpan(y, x0, x1)) continue;
    const int n = x1 - x0;
    const int first = x0 - area.Left;

    if (rawRows) {
      // Whole rows of the same layout: copy the bytes that overlap the source.
      const int bytesPerPixel = destBits / 8;
      int a = first, b = first + n;
      while (a < b && columns[static_cast<std::size_t>(a)] < 0) ++a;
      while (b > a && columns[static_cast<std::size_t>(b - 1)] < 0) --b;
      if (a < b) {
        std::uint8_t* to = TBitmapPixels::Row(bitmap_, y) + static_cast<std::int64_t>(area.Left + a) * bytesPerPixel;
        const std::uint8_t* from =
            TBitmapPixels::Row(source, sy) + static_cast<std::int64_t>(columns[static_cast<std::size_t>(a)]) * bytesPerPixel;
        if (transparent) {
          // A transparent draw copies every pixel but those of the key colour.
          const std::uint8_t key[3] = {GetBValue(keyColor), GetGValue(keyColor), GetRValue(keyColor)};
          for (int i = a; i < b; ++i, to += 3, from += 3)
            if (from[0] != key[0] || from[1] != key[1] || from[2] != key[2]) std::memcpy(to, from, 3);
        } else if (copying) {
          std::memcpy(to, from, static_cast<std::size_t>(b - a) * static_cast<std::size_t>(bytesPerPixel));
        } else {
          const std::uint8_t patternBytes[3] = {GetBValue(pattern), GetGValue(pattern), GetRValue(pattern)};
          RopRow24(rop, from, to, b - a, patternBytes);
        }
        painter.MarkDrawn();
      }
      continue;
    }

    if (stretched24) {
      // 24-bit pixels picked through the column map, compared and copied as bytes.
      const std::uint8_t* from = TBitmapPixels::Row(source, sy);
      std::uint8_t* to = TBitmapPixels::Row(bitmap_, y);
      const std::uint8_t key[3] = {GetBValue(keyColor), GetGValue(keyColor), GetRValue(keyColor)};
      for (int i = first; i < first + n; ++i) {
        const int sx = columns[static_cast<std::size_t>(i)];
        if (sx < 0) continue;
        const std::uint8_t* p = from + 3 * static_cast<std::int64_t>(sx);
        if (transparent && p[0] == key[0] && p[1] == key[1] && p[2] == key[2]) continue;
        std::memcpy(to + 3 * static_cast<std::int64_t>(area.Left + i), p, 3);
      }
      painter.MarkDrawn();
      continue;
    }

    if (copying && samePalette) {
      // Same palette: copy indices, so that duplicate palette entries keep their index.
      const std::uint8_t* sourceBytes = TBitmapPixels::Row(source, sy);
      for (int i = first; i < first + n; ++i) {
        const int sx = columns[static_cast<std::size_t>(i)];
        if (sx < 0) continue;
        const int index = ReadIndex(sourceBytes, sx, sourceBits);
        if (transparent) {
          TColor c = 0;
          sourceReader.Read(sy, sx, 1, &c);
          if (c == keyColor) continue;
        }
        painter.Writer().PutIndexAt(y, area.Left + i, index);
      }
      painter.MarkDrawn();
      continue;
    }

    if (usesSource && sy != lastSourceY) {
      sourceReader.Read(sy, sourceMin, sourceMax - sourceMin + 1, sourceRow.data());
      lastSourceY = sy;
    }
    if (RopUsesDest(rop)) painter.Reader().Read(y, x0, n, destRow.data());
    for (int i = 0; i < n; ++i) {
      const auto column = static_cast<std::size_t>(first + i);
      keep[column] = 0;
      TColor sc = 0;
      if (usesSource) {
        const int sx = columns[column];
        if (sx < 0) continue;
        sc = sourceRow[static_cast<std::size_t>(sx - sourceMin)];
        if (transparent && sc == keyColor) continue;
      }
      // A transparent draw copies; otherwise the raster operation decides.
      out[column] = transparent ? sc : ApplyRop3(rop, pattern, sc, destRow[static_cast<std::size_t>(i)]);
      keep[column] = 1;
    }
    // Write the runs of kept pixels.
    int i = first;
    while (i < first + n) {
      if (!keep[static_cast<std::size_t>(i)]) {
        ++i;
        continue;
      }
      int j = i;
      while (j < first + n && keep[static_cast<std::size_t>(j)]) ++j;
      painter.Writer().Write(y, area.Left + i, j - i, out.data() + i);
      i = j;
    }
    painter.MarkDrawn();
  }
}

void TCanvas::Draw(int x, int y, const TBitmap& graphic) {
  if (graphic.Empty()) return;
  StretchDraw(Rect(x, y, x + graphic.Width(), y + graphic.Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& rect, const TBitmap& graphic) {
  if (graphic.Empty()) return;
  const bool transparent = graphic.Transparent();
  const TColor key = transparent ? graphic.TransparentColor() : clBlack;
  Blit(rect, graphic, Rect(0, 0, graphic.Width(), graphic.Height()), copyMode_, transparent, key);
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect) {
  Blit(dest, source.bitmap_, sourceRect, copyMode_, false, clBlack);
}

bool BitBlt(TCanvas& dest, int destX, int destY, int width, int height, const TCanvas& source, int sourceX,
            int sourceY, std::uint32_t rop) {
  if (width <= 0 || height <= 0) return true;
  dest.Blit(Bounds(destX, destY, width, height), source.bitmap_, Bounds(sourceX, sourceY, width, height), rop, false,
            clBlack);
  return true;
}

// ---- Shapes and lines -----------------------------------------------------------------------------

namespace {

// Pixels of a shape as sorted, merged spans [x0, x1) per row, so that a
// shape made of overlapping pieces is painted once (which matters for XOR).
class SpanSet {
 public:
  // Spans are kept only within limits (the bitmap), so that shapes far larger
  // than the bitmap cost no more than the bitmap.
  explicit SpanSet(const TRect& limits) : limits_(limits) {}
  const TRect& Limits() const { return limits_; }
  void Add(int y, int x0, int x1) {
    if (y < limits_.Top || y >= limits_.Bottom) return;
    x0 = std::max(x0, limits_.Left);
    x1 = std::min(x1, limits_.Right);
    if (x0 < x1) rows_[y].emplace_back(x0, x1);
  }
  // Calls paint(y, x0, x1) for every merged span.
  template <typename Paint>
  void ForEach(Paint paint) {
    for (auto& [y, spans] : rows_) {
      std::sort(spans.begin(), spans.end());
      int a = spans.front().first, b = spans.front().second;
      for (std::size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].first <= b) {
          b = std::max(b, spans[i].second);
        } else {
          paint(y, a, b);
          a = spans[i].first;
          b = spans[i].second;
        }
      }
      paint(y, a, b);
    }
  }

 private:
  TRect limits_;
  std::map<int, std::vector<std::pair<int, int>>> rows_;
};

// Adds the pixels of a region minus an inner region (a ring); inner may be empty.
void AddRing(SpanSet& set, const TRegion& outer, const std::optional<TRegion>& inner) {
  const int top = std::max(outer.bounds.Top, set.Limits().Top);
  const int bottom = std::min(outer.bounds.Bottom, set.Limits().Bottom);
  for (int y = top; y < bottom; ++y) {
    int a = 0, b = 0;
    if (!RegionRowSpan(outer, y, a, b)) continue;
    int c = 0, d = 0;
    if (!inner || !RegionRowSpan(*inner, y, c, d)) {
      set.Add(y, a, b);
      continue;
    }
    set.Add(y, a, std::min(b, c));
    set.Add(y, std::max(a, d), b);
  }
}

// Adds the pixels whose centres lie within width / 2 of the segment p0-p1:
// a line with round caps. Odd widths are centred on the pixel centres of
// the end points, even widths on their top-left corners, so that a width of
// w covers exactly w rows or columns.
void AddCapsule(SpanSet& set, TPoint p0, TPoint p1, int width) {
  const double c = (width % 2) ? 0.5 : 0.0;
  const double ax = p0.X + c, ay = p0.Y + c, bx = p1.X + c, by = p1.Y + c;
  const double r = width / 2.0 + 1e-9;
  const double dx = bx - ax, dy = by - ay, length2 = dx * dx + dy * dy, length = std::sqrt(length2);
  const TRect& limits = set.Limits();
  const int yFirst = static_cast<int>(std::max<double>(std::floor(std::min(ay, by) - r), limits.Top));
  const int yLast = static_cast<int>(std::min<double>(std::ceil(std::max(ay, by) + r), limits.Bottom));
  for (int py = yFirst; py <= yLast; ++py) {
    const double Y = py + 0.5;
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    auto unite = [&](double a, double b) {
      if (a > b) std::swap(a, b);
      lo = std::min(lo, a);
      hi = std::max(hi, b);
    };
    for (const auto& [cx, cy] : {std::pair{ax, ay}, std::pair{bx, by}}) {
      const double v = Y - cy;
      if (std::abs(v) <= r) {
        const double h = std::sqrt(r * r - v * v);
        unite(cx - h, cx + h);
      }
    }
    if (length2 > 0) {
      const double v = Y - ay;
      double bandLo = -HUGE_VAL, bandHi = HUGE_VAL;
      auto clip = [&](double a, double b) {
        if (a > b) std::swap(a, b);
        bandLo = std::max(bandLo, a);
        bandHi = std::min(bandHi, b);
      };
      // Distance from the line through the segment.
      if (dy == 0) {
        if (std::abs(v) > r) bandLo = HUGE_VAL;
      } else {
        clip(ax + (v * dx - r * length) / dy, ax + (v * dx + r * length) / dy);
      }
      // Projection onto the segment between its ends.
      if (dx == 0) {
        if (v * dy < 0 || v * dy > length2) bandLo = HUGE_VAL;
      } else {
        clip(ax + (-v * dy) / dx, ax + (length2 - v * dy) / dx);
      }
      if (bandLo <= bandHi) unite(bandLo, bandHi);
    }
    if (lo > hi) continue;
    lo = std::max<double>(lo, limits.Left - 1);
    hi = std::min<double>(hi, limits.Right + 1);
    if (lo > hi) continue;
    const int x0 = static_cast<int>(std::ceil(lo - 0.5));
    const int x1 = static_cast<int>(std::floor(hi - 0.5)) + 1;
    set.Add(py, x0, x1);
  }
}

// Cosmetic dash patterns (on, off, on, off, ...) in pixels.
const std::vector<int>& DashPattern(TPenStyle style) {
  static const std::vector<int> dash = {18, 6}, dot = {3, 3}, dashDot = {9, 6, 3, 6},
                                dashDotDot = {9, 3, 3, 3, 3, 3}, solid;
  switch (style) {
    case psDash: return dash;
    case psDot: return dot;
    case psDashDot: return dashDot;
    case psDashDotDot: return dashDotDot;
    default: return solid;
  }
}

// The smallest integer at or above a / b, clamped to the range of int.
std::int64_t CeilDiv(__int128 a, std::int64_t b) {
  __int128 q = a / b;
  if ((a % b != 0) && ((a < 0) == (b < 0))) ++q;
  return static_cast<std::int64_t>(std::clamp<__int128>(q, INT32_MIN, INT32_MAX));
}

}  // namespace

// Strokes a path with the pen: 1-pixel lines leave out their last pixel and
// follow the pen's dash pattern (gaps take the brush colour unless the brush
// is clear); wider pens draw round-capped solid lines.
void TCanvas::StrokePath(Painter& painter, const std::vector<TPoint>& points, bool closed) {
  if (pen_.Style == psClear || points.empty()) return;
  const TColor color = ResolvedColor(pen_.Color);
  std::vector<TPoint> path = points;
  if (closed && path.size() > 1) path.push_back(path.front());
  if (pen_.Width > 1) {
    SpanSet set(Rect(0, 0, bitmap_.Width(), bitmap_.Height()));
    if (path.size() == 1) AddCapsule(set, path[0], path[0], pen_.Width);
    for (std::size_t i = 1; i < path.size(); ++i) AddCapsule(set, path[i - 1], path[i], pen_.Width);
    set.ForEach([&](int y, int x0, int x1) { painter.FillSpan(y, x0, x1, color, true); });
    return;
  }
  const std::vector<int>& pattern = DashPattern(pen_.Style);
  int period = 0;
  for (int length : pattern) period += length;
  const bool gapsFilled = brush_.Style == bsSolid;
  const TColor gapColor = ResolvedColor(brush_.Color);
  // Whether the pixel at a distance along the whole path falls on a dash.
  auto onDash = [&](std::int64_t position) {
    if (period == 0) return true;
    int offset = static_cast<int>(position % period);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
      if (offset < pattern[i]) return i % 2 == 0;
      offset -= pattern[i];
    }
    return true;
  };
  const int width = bitmap_.Width(), height = bitmap_.Height();
  std::int64_t travelled = 0;
  for (std::size_t i = 1; i < path.size(); ++i) {
    // Bresenham from the start point up to, not including, the end point.
    // Step n of the major axis moves the minor axis
    // floor((2 * minor * n + major - 1) / (2 * major)) times, so only the
    // steps that can fall inside the bitmap are visited.
    const std::int64_t x0 = path[i - 1].X, y0 = path[i - 1].Y;
    const std::int64_t dx = std::abs(std::int64_t{path[i].X} - x0), dy = std::abs(std::int64_t{path[i].Y} - y0);
    const int sx = path[i].X >= x0 ? 1 : -1, sy = path[i].Y >= y0 ? 1 : -1;
    const bool xMajor = dx >= dy;
    const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    const std::int64_t start = xMajor ? x0 : y0;
    const int step = xMajor ? sx : sy;
    const int extent = xMajor ? width : height;
    // Steps n with start + step * n in [0, extent).
    std::int64_t first = step > 0 ? -start : start - extent + 1;
    std::int64_t last = step > 0 ? extent - start : start + 1;
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, major);
    for (std::int64_t n = first; n < last; ++n) {
      const auto moved = static_cast<std::int64_t>(
          (static_cast<__int128>(2) * minor * n + major - 1) / (static_cast<__int128>(2) * major));
      const std::int64_t x = xMajor ? x0 + sx * n : x0 + sx * moved;
      const std::int64_t y = xMajor ? y0 + sy * moved : y0 + sy * n;
      if (x < 0 || y < 0 || x >= width || y >= height) continue;
      if (onDash(travelled + n)) {
        painter.Plot(static_cast<int>(x), static_cast<int>(y), color);
      } else if (gapsFilled) {
        painter.Plot(static_cast<int>(x), static_cast<int>(y), gapColor);
      }
    }
    travelled += major;
  }
}

void TCanvas::MoveTo(int x, int y) { penPos_ = Point(x, y); }

void TCanvas::LineTo(int x, int y) {
  {
    Painter painter(*this);
    if (painter.Ready()) StrokePath(painter, {penPos_, Point(x, y)}, false);
  }
  penPos_ = Point(x, y);
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.size() < 2) return;
  Painter painter(*this);
  if (painter.Ready()) StrokePath(painter, points, false);
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (points.size() < 2) return;
  Painter painter(*this);
  if (!painter.Ready()) return;
  if (brush_.Style != bsClear && points.size() >= 3) {
    // Alternate fill: on row y a pixel x is inside when an odd number of
    // edges cross the row at or left of x (edges own their top row, not their bottom one).
    int top = points[0].Y, bottom = points[0].Y;
    for (const TPoint& p : points) {
      top = std::min(top, p.Y);
      bottom = std::max(bottom, p.Y);
    }
    top = std::max(top, 0);
    bottom = std::min(bottom, bitmap_.Height());
    std::vector<std::int64_t> crossings;
    for (int y = top; y < bottom; ++y) {
      crossings.clear();
      for (std::size_t i = 0; i < points.size(); ++i) {
        const TPoint& a = points[i];
        const TPoint& b = points[(i + 1) % points.size()];
        if (a.Y == b.Y || y < std::min(a.Y, b.Y) || y >= std::max(a.Y, b.Y)) continue;
        const __int128 numerator = static_cast<__int128>(a.X) * (std::int64_t{b.Y} - a.Y) +
                                   static_cast<__int128>(std::int64_t{y} - a.Y) * (std::int64_t{b.X} - a.X);
        crossings.push_back(CeilDiv(numerator, std::int64_t{b.Y} - a.Y));
      }
      std::sort(crossings.begin(), crossings.end());
      for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
        const auto x0 = static_cast<int>(std::clamp<std::int64_t>(crossings[i], -1, bitmap_.Width() + 1));
        const auto x1 = static_cast<int>(std::clamp<std::int64_t>(crossings[i + 1], -1, bitmap_.Width() + 1));
        painter.BrushSpan(y, x0, x1, true);
      }
    }
  }
  StrokePath(painter, points, true);
}

void TCanvas::FrameRect(const TRect& rect) {
  if (rect.IsEmpty() || brush_.Style == bsClear) return;
  Painter painter(*this);
  const int top = std::max(rect.Top, 0), bottom = std::min(rect.Bottom, bitmap_.Height());
  for (int y = top; y < bottom; ++y) {
    if (y == rect.Top || y == rect.Bottom - 1) {
      painter.BrushSpan(y, rect.Left, rect.Right, false);
    } else {
      painter.BrushSpan(y, rect.Left, rect.Left + 1, false);
      painter.BrushSpan(y, rect.Right - 1, rect.Right, false);
    }
  }
}

namespace {

TRect Normalized(int left, int top, int right, int bottom) {
  return Rect(std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom));
}

}  // namespace

// Draws a closed figure of a region kind: the pen's outline as a ring inside
// the bounds (grown by half a wide pen unless the pen is psInsideFrame) and
// the brush inside it. Without a pen the figure is one pixel narrower and
// lower, as GDI draws it.
void TCanvas::DrawFigure(TRegion::Kind kind, const TRect& bounds, int cornerWidth, int cornerHeight) {
  Painter painter(*this);
  if (!painter.Ready()) return;
  // Figures cover their bounds (right and bottom exclusive), one more column
  // and row than a region of the same bounds.
  auto region = [&](const TRect& r, int shrink) {
    const TRect covered = kind == TRegion::Rectangle ? r : Rect(r.Left, r.Top, r.Right + 1, r.Bottom + 1);
    return TRegion{kind, covered, std::max(0, cornerWidth - 2 * shrink), std::max(0, cornerHeight - 2 * shrink)};
  };
  const TRect limits = Rect(0, 0, bitmap_.Width(), bitmap_.Height());
  SpanSet fill(limits);
  if (pen_.Style == psClear) {
    const TRect r = Rect(bounds.Left, bounds.Top, bounds.Right - 1, bounds.Bottom - 1);
    if (brush_.Style != bsClear) AddRing(fill, region(r, 0), std::nullopt);
    fill.ForEach([&](int y, int x0, int x1) { painter.BrushSpan(y, x0, x1, true); });
    return;
  }
  const int w = std::max(1, pen_.Width);
  TRect outer = bounds;
  if (pen_.Style != psInsideFrame && w > 1) outer = Rect(bounds.Left - w / 2, bounds.Top - w / 2,
                                                         bounds.Right + (w - 1) / 2, bounds.Bottom + (w - 1) / 2);
  const TRect innerRect = Rect(outer.Left + w, outer.Top + w, outer.Right - w, outer.Bottom - w);
  const std::optional<TRegion> inner =
      innerRect.IsEmpty() ? std::nullopt : std::optional<TRegion>(region(innerRect, w));
  if (brush_.Style != bsClear && inner) AddRing(fill, *inner, std::nullopt);
  fill.ForEach([&](int y, int x0, int x1) { painter.BrushSpan(y, x0, x1, true); });
  const bool dashed = !DashPattern(pen_.Style).empty() && w == 1 && kind == TRegion::Rectangle;
  if (dashed) {
    StrokePath(painter,
               {Point(outer.Left, outer.Top), Point(outer.Right - 1, outer.Top),
                Point(outer.Right - 1, outer.Bottom - 1), Point(outer.Left, outer.Bottom - 1)},
               true);
    return;
  }
  SpanSet ring(limits);
  AddRing(ring, region(outer, 0), inner);
  const TColor color = ResolvedColor(pen_.Color);
  ring.ForEach([&](int y, int x0, int x1) { painter.FillSpan(y, x0, x1, color, true); });
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  DrawFigure(TRegion::Rectangle, Normalized(left, top, right, bottom), 0, 0);
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
  DrawFigure(TRegion::RoundRectangle, Normalized(left, top, right, bottom), cornerWidth, cornerHeight);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  DrawFigure(TRegion::Ellipse, Normalized(left, top, right, bottom), 0, 0);
}

// ---- Arcs, pies and the focus rectangle ------------------------------------------------------------

namespace {

constexpr double kTwoPi = 6.283185307179586;

double NormalizedAngle(double angle) {
  angle = std::fmod(angle, kTwoPi);
  return angle < 0 ? angle + kTwoPi : angle;
}

// The part of an ellipse between two rays from its centre, going
// counter-clockwise on the screen (y grows downwards) from the first ray to
// the second. Coordinates are pixel indices; the centre of bounds (l, t, r, b)
// lies between its pixels when a side is even.
class Sector {
 public:
  Sector(const TRect& bounds, TPoint startRay, TPoint endRay)
      : cx_((bounds.Left + static_cast<double>(bounds.Right) - 1) / 2),
        cy_((bounds.Top + static_cast<double>(bounds.Bottom) - 1) / 2),
        rx_((static_cast<double>(bounds.Right) - bounds.Left - 1) / 2),
        ry_((static_cast<double>(bounds.Bottom) - bounds.Top - 1) / 2) {
    start_ = AngleOf(startRay.X, startRay.Y);
    const double end = AngleOf(endRay.X, endRay.Y);
    sweep_ = NormalizedAngle(end - start_);
    // Rays of one direction: the whole ellipse.
    if (sweep_ == 0) sweep_ = kTwoPi;
  }

  bool Contains(int x, int y) const { return NormalizedAngle(AngleOf(x, y) - start_) <= sweep_ + 1e-9; }
  TPoint Centre() const { return Point(static_cast<int>(std::nearbyint(cx_)), static_cast<int>(std::nearbyint(cy_))); }
  // Where the outline's middle meets the first and the last ray.
  TPoint StartPoint() const { return PointAt(start_); }
  TPoint EndPoint() const { return PointAt(start_ + sweep_); }

 private:
  double AngleOf(double x, double y) const {
    const double dx = x - cx_, dy = cy_ - y;
    return dx == 0 && dy == 0 ? 0.0 : std::atan2(dy, dx);
  }
  TPoint PointAt(double angle) const {
    if (rx_ <= 0 || ry_ <= 0) return Centre();
    const double c = std::cos(angle), s = std::sin(angle);
    const double t = 1.0 / std::sqrt((c / rx_) * (c / rx_) + (s / ry_) * (s / ry_));
    return Point(static_cast<int>(std::nearbyint(cx_ + t * c)), static_cast<int>(std::nearbyint(cy_ - t * s)));
  }

  double cx_, cy_, rx_, ry_;
  double start_ = 0, sweep_ = kTwoPi;
};

// Adds the pixels of a ring (see AddRing) that lie in the sector.
void AddRingInSector(SpanSet& set, const TRegion& outer, const std::optional<TRegion>& inner, const Sector& sector) {
  SpanSet ring(set.Limits());
  AddRing(ring, outer, inner);
  ring.ForEach([&](int y, int x0, int x1) {
    int run = -1;
    for (int x = x0; x <= x1; ++x) {
      const bool inside = x < x1 && sector.Contains(x, y);
      if (inside && run < 0) run = x;
      if (!inside && run >= 0) {
        set.Add(y, run, x);
        run = -1;
      }
    }
  });
}

// Adds a 1-pixel line with both of its end points (a side of a closed
// figure), visiting only the steps of its major axis that fall within the
// set's limits.
void AddThinLine(SpanSet& set, TPoint p0, TPoint p1) {
  const std::int64_t dx = std::abs(std::int64_t{p1.X} - p0.X), dy = std::abs(std::int64_t{p1.Y} - p0.Y);
  const int sx = p1.X >= p0.X ? 1 : -1, sy = p1.Y >= p0.Y ? 1 : -1;
  const bool xMajor = dx >= dy;
  const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  const std::int64_t start = xMajor ? p0.X : p0.Y;
  const int step = xMajor ? sx : sy;
  const TRect& limits = set.Limits();
  const std::int64_t low = xMajor ? limits.Left : limits.Top, high = xMajor ? limits.Right : limits.Bottom;
  // Steps n with low <= start + step * n < high.
  std::int64_t first = step > 0 ? low - start : start - high + 1;
  std::int64_t last = step > 0 ? high - 1 - start : start - low;
  first = std::max<std::int64_t>(first, 0);
  last = std::min(last, major);
  for (std::int64_t n = first; n <= last; ++n) {
    const std::int64_t along = major == 0 ? 0 : (2 * minor * n + major) / (2 * major);
    const std::int64_t x = p0.X + sx * (xMajor ? n : along);
    const std::int64_t y = p0.Y + sy * (xMajor ? along : n);
    if (y >= limits.Top && y < limits.Bottom)
      set.Add(static_cast<int>(y), static_cast<int>(x), static_cast<int>(x) + 1);
  }
}

TRegion EllipseCovering(const TRect& r) { return {TRegion::Ellipse, Rect(r.Left, r.Top, r.Right + 1, r.Bottom + 1), 0, 0}; }

}  // namespace

// Arcs and pies follow Ellipse's rules for the outline and the fill, keeping
// the pixels of the sector; a pie adds its two radii to the outline.
void TCanvas::DrawArcFigure(const TRect& bounds, TPoint startRay, TPoint endRay, bool closed) {
  // Bounds whose extent or pen margin would leave the range of int draw
  // nothing; no figure on a bitmap comes near them.
  constexpr std::int64_t kMaxExtent = std::int64_t{1} << 30;
  const std::int64_t margin = std::int64_t{std::max(1, pen_.Width)} + 2;
  if (bounds.IsEmpty() || std::int64_t{bounds.Right} - bounds.Left > kMaxExtent ||
      std::int64_t{bounds.Bottom} - bounds.Top > kMaxExtent || bounds.Left < INT32_MIN + margin ||
      bounds.Top < INT32_MIN + margin || bounds.Right > INT32_MAX - margin || bounds.Bottom > INT32_MAX - margin)
    return;
  Painter painter(*this);
  if (!painter.Ready()) return;
  const Sector sector(bounds, startRay, endRay);
  const TRect limits = Rect(0, 0, bitmap_.Width(), bitmap_.Height());
  if (pen_.Style == psClear) {
    if (!closed || brush_.Style == bsClear) return;
    SpanSet fill(limits);
    AddRingInSector(fill, EllipseCovering(Rect(bounds.Left, bounds.Top, bounds.Right - 1, bounds.Bottom - 1)),
                    std::nullopt, sector);
    fill.ForEach([&](int y, int x0, int x1) { painter.BrushSpan(y, x0, x1, true); });
    return;
  }
  const int w = std::max(1, pen_.Width);
  TRect outer = bounds;
  if (pen_.Style != psInsideFrame && w > 1)
    outer = Rect(bounds.Left - w / 2, bounds.Top - w / 2, bounds.Right + (w - 1) / 2, bounds.Bottom + (w - 1) / 2);
  const TRect innerRect = Rect(outer.Left + w, outer.Top + w, outer.Right - w, outer.Bottom - w);
  const std::optional<TRegion> inner =
      innerRect.IsEmpty() ? std::nullopt : std::optional<TRegion>(EllipseCovering(innerRect));
  if (closed && brush_.Style != bsClear && inner) {
    SpanSet fill(limits);
    AddRingInSector(fill, *inner, std::nullopt, sector);
    fill.ForEach([&](int y, int x0, int x1) { painter.BrushSpan(y, x0, x1, true); });
  }
  SpanSet outline(limits);
  AddRingInSector(outline, EllipseCovering(outer), inner, sector);
  if (closed) {
    for (const TPoint end : {sector.StartPoint(), sector.EndPoint()}) {
      if (w > 1) {
        AddCapsule(outline, sector.Centre(), end, w);
      } else {
        AddThinLine(outline, sector.Centre(), end);
      }
    }
  }
  const TColor color = ResolvedColor(pen_.Color);
  outline.ForEach([&](int y, int x0, int x1) { painter.FillSpan(y, x0, x1, color, true); });
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  DrawArcFigure(Normalized(x1, y1, x2, y2), Point(x3, y3), Point(x4, y4), false);
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  DrawArcFigure(Normalized(x1, y1, x2, y2), Point(x3, y3), Point(x4, y4), true);
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  if (rect.IsEmpty()) return;
  Painter painter(*this);
  if (!painter.Ready()) return;
  // Inverting is the pen mode pmNot applied to the frame's dots.
  const TPenMode mode = pen_.Mode;
  pen_.Mode = pmNot;
  auto dot = [&](int x, int y) {
    if (((std::int64_t{x} + y) & 1) == 0) painter.Plot(x, y, clBlack);
  };
  const int right = rect.Right - 1, bottom = rect.Bottom - 1;
  for (int x = std::max(rect.Left, 0); x < std::min(rect.Right, bitmap_.Width()); ++x) {
    dot(x, rect.Top);
    if (bottom != rect.Top) dot(x, bottom);
  }
  for (int y = std::max(rect.Top + 1, 0); y < std::min(bottom, bitmap_.Height()); ++y) {
    dot(rect.Left, y);
    if (right != rect.Left) dot(right, y);
  }
  pen_.Mode = mode;
}
