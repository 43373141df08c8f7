#include "app/core/WindowPlacement.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

std::int64_t OverlapArea(const TRect& a, const TRect& b) {
  TRect overlap;
  if (!IntersectRect(overlap, a, b)) return 0;
  return std::int64_t{overlap.Width()} * overlap.Height();
}

bool FitsIn(const TRect& box, TSize workspace) {
  return box.Left >= 0 && box.Top >= 0 && box.Right <= workspace.cx && box.Bottom <= workspace.cy;
}

}  // namespace

TSize FitToWorkspace(TSize size, TSize workspace) {
  return {std::max(0, std::min(size.cx, workspace.cx)), std::max(0, std::min(size.cy, workspace.cy))};
}

TPoint PlaceNewWindow(TSize size, TSize workspace, const std::vector<TRect>& others) {
  // The workspace's corners, and beside and below each other window (also
  // against the workspace's far edges).
  const int farLeft = workspace.cx - size.cx, farTop = workspace.cy - size.cy;
  std::vector<TPoint> candidates{{0, 0}, {farLeft, 0}, {0, farTop}, {farLeft, farTop}};
  for (const TRect& other : others) {
    for (const int top : {other.Top, 0, farTop}) candidates.push_back({other.Right, top});
    for (const int left : {other.Left, 0, farLeft}) candidates.push_back({left, other.Bottom});
  }
  std::optional<TPoint> best;
  std::int64_t bestCover = 0;
  for (const TPoint& at : candidates) {
    const TRect box = Bounds(at.X, at.Y, size.cx, size.cy);
    if (!FitsIn(box, workspace)) continue;
    std::int64_t cover = 0;
    for (const TRect& other : others) cover += OverlapArea(box, other);
    const bool better = !best || cover < bestCover ||
                        (cover == bestCover && (at.Y < best->Y || (at.Y == best->Y && at.X < best->X)));
    if (better) {
      best = at;
      bestCover = cover;
    }
  }
  return best.value_or(TPoint{0, 0});
}

std::vector<TRect> CascadeWindows(const std::vector<TSize>& sizes, TSize workspace, int step) {
  std::vector<TRect> boxes;
  int offset = 0;
  for (const TSize& wanted : sizes) {
    const TSize size = FitToWorkspace(wanted, workspace);
    // Past half the workspace the diagonal starts again at the corner.
    if (2 * offset > workspace.cx || 2 * offset > workspace.cy) offset = 0;
    const TSize room{workspace.cx - offset, workspace.cy - offset};
    const TSize placed = FitToWorkspace(size, room);
    boxes.push_back(Bounds(offset, offset, placed.cx, placed.cy));
    offset += std::max(1, step);
  }
  return boxes;
}

std::vector<TRect> TileWindows(const std::vector<TSize>& sizes, TSize workspace, bool horizontal) {
  std::vector<TRect> boxes;
  const auto n = static_cast<std::int64_t>(sizes.size());
  const int room = horizontal ? workspace.cy : workspace.cx;
  for (std::int64_t i = 0; i < n; ++i) {
    const TSize size = FitToWorkspace(sizes[static_cast<std::size_t>(i)], workspace);
    const auto start = static_cast<int>(i * room / n);
    const auto share = static_cast<int>((i + 1) * room / n) - start;
    const int length = std::max(share, horizontal ? size.cy : size.cx);
    // A grown share overlaps its neighbours evenly, from the first edge to
    // the last, so that every title bar stays in sight where it can.
    const int placed = length <= share || n < 2 ? start : static_cast<int>(i * (room - length) / (n - 1));
    boxes.push_back(horizontal ? Bounds(0, std::max(0, placed), workspace.cx, length)
                               : Bounds(std::max(0, placed), 0, length, workspace.cy));
  }
  return boxes;
}

