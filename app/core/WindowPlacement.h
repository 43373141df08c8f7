// Where the document windows go in the main window's workspace: a new or
// just opened window at the free place that overlaps the others least, and
// the Window menu's Cascade and Tile, which keep every window at least as
// large as its canvas needs wherever the workspace has the room (a window
// squeezed below that shows its canvas through scroll bars).
#pragma once

#include "platform/Geometry.h"

#include <vector>

// The size capped to the workspace.
TSize FitToWorkspace(TSize size, TSize workspace);

// The top-left corner for a window of the size among the others: of the
// places at the workspace's corners and beside or below each other window,
// those where it fits whole, the one that covers the others least (ties: the
// highest, then the leftmost); the corner when it fits nowhere.
TPoint PlaceNewWindow(TSize size, TSize workspace, const std::vector<TRect>& others);

// Cascade: the windows (bottom-most first) go down a diagonal, each one step
// right of and below the one before, at their own sizes (capped to the
// workspace); a window that the diagonal would push out of the workspace
// gives up as much of its size as the offset takes, and once the offset is
// past half the workspace the diagonal starts again at the corner.
std::vector<TRect> CascadeWindows(const std::vector<TSize>& sizes, TSize workspace, int step);

// Tile: each window gets its share of the workspace, in rows one above the
// other (horizontal) or in columns side by side, across the whole other
// side; a share smaller than the window's own size grows to that size
// (capped to the workspace) and the grown windows are spread from the first
// edge to the last, overlapping their neighbours only where the workspace is
// too small for all of them.
std::vector<TRect> TileWindows(const std::vector<TSize>& sizes, TSize workspace, bool horizontal);
