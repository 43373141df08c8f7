// Points and rectangles with the Windows semantics that the editor's geometry
// relies on: right and bottom are exclusive, a rectangle is empty when
// right <= left or bottom <= top, touching rectangles do not intersect, and a
// union ignores an empty operand.
#pragma once

#include <cstdint>

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;

  std::int32_t Width() const { return Right - Left; }
  std::int32_t Height() const { return Bottom - Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(std::int32_t x, std::int32_t y) { return {x, y}; }
inline TRect Rect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  return {left, top, right, bottom};
}
// A rectangle from its top-left corner and size.
inline TRect Bounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  return {left, top, left + width, top + height};
}

bool IsRectEmpty(const TRect& r);
bool EqualRect(const TRect& a, const TRect& b);
// True when p lies inside r (left/top inclusive, right/bottom exclusive).
bool PtInRect(const TRect& r, const TPoint& p);
// Sets dst to the overlap of a and b; an empty overlap gives (0,0,0,0) and false.
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b);
// Sets dst to the smallest rectangle holding a and b, ignoring an empty operand;
// both empty give (0,0,0,0) and false.
bool UnionRect(TRect& dst, const TRect& a, const TRect& b);
void OffsetRect(TRect& r, std::int32_t dx, std::int32_t dy);
void InflateRect(TRect& r, std::int32_t dx, std::int32_t dy);
void SetRectEmpty(TRect& r);
