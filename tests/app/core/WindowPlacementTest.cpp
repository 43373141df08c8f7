// Where document windows go: a new window at the least covered free place,
// cascading and tiling that keep each window at its canvas size where the
// workspace has the room.
#include "app/core/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

TEST(DocumentWindowPlacement, ANewWindowGoesWhereItCoversTheOthersLeastAndStaysInside) {
  const TSize room{800, 500};
  // Beside the first window when it fits there, else below it.
  EXPECT_EQ(PlaceNewWindow({300, 200}, room, {Bounds(0, 0, 400, 150)}), Point(400, 0));
  EXPECT_EQ(PlaceNewWindow({500, 200}, room, {Bounds(0, 0, 400, 150)}), Point(0, 150));
  // Nowhere free: the place that covers least, never outside the workspace.
  EXPECT_EQ(PlaceNewWindow({600, 400}, room, {Bounds(0, 0, 800, 300)}), Point(0, 100));
  EXPECT_EQ(PlaceNewWindow({800, 500}, room, {Bounds(10, 10, 100, 100)}), Point(0, 0));
  EXPECT_EQ(FitToWorkspace({900, 300}, room), (TSize{800, 300}));
}

TEST(DocumentWindowPlacement, CascadeKeepsEachSizeWhereTheWorkspaceAllowsAndStartsAgainPastItsMiddle) {
  const std::vector<TRect> boxes = CascadeWindows({{540, 150}, {270, 190}, {900, 700}, {300, 100}}, {800, 500}, 25);
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0], Bounds(0, 0, 540, 150));
  EXPECT_EQ(boxes[1], Bounds(25, 25, 270, 190));
  EXPECT_EQ(boxes[2], Bounds(50, 50, 750, 450)) << "the workspace less the offset";
  EXPECT_EQ(boxes[3], Bounds(75, 75, 300, 100));
  const std::vector<TRect> deep = CascadeWindows({{100, 100}, {100, 100}, {100, 100}}, {800, 500}, 200);
  EXPECT_EQ(deep, (std::vector<TRect>{Bounds(0, 0, 100, 100), Bounds(200, 200, 100, 100), Bounds(0, 0, 100, 100)}));
}

TEST(DocumentWindowPlacement, TilingGrowsAShareBelowTheCanvasSizeAndKeepsItInside) {
  const TSize room{600, 400};
  EXPECT_EQ(TileWindows({{100, 100}, {100, 100}}, room, true),
            (std::vector<TRect>{Bounds(0, 0, 600, 200), Bounds(0, 200, 600, 200)}));
  // A 300-high canvas in a 200-high row: the row grows and moves up into the workspace.
  EXPECT_EQ(TileWindows({{100, 100}, {100, 300}}, room, true),
            (std::vector<TRect>{Bounds(0, 0, 600, 200), Bounds(0, 100, 600, 300)}));
  EXPECT_EQ(TileWindows({{100, 900}}, room, true), std::vector<TRect>{Bounds(0, 0, 600, 400)});
  // Three 300-high canvases overlap evenly, each title bar 50 pixels below the last.
  EXPECT_EQ(TileWindows({{100, 300}, {100, 300}, {100, 300}}, room, true),
            (std::vector<TRect>{Bounds(0, 0, 600, 300), Bounds(0, 50, 600, 300), Bounds(0, 100, 600, 300)}));
}

}  // namespace
