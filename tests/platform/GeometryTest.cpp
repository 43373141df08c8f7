#include "platform/Geometry.h"

#include <gtest/gtest.h>

TEST(RectSemantics, RightAndBottomAreExclusive) {
  const TRect r = Rect(0, 0, 10, 5);
  EXPECT_EQ(r.Width(), 10);
  EXPECT_EQ(r.Height(), 5);
  EXPECT_TRUE(PtInRect(r, Point(0, 0)));
  EXPECT_TRUE(PtInRect(r, Point(9, 4)));
  EXPECT_FALSE(PtInRect(r, Point(10, 4)));
  EXPECT_FALSE(PtInRect(r, Point(9, 5)));
  EXPECT_TRUE(IsRectEmpty(Rect(5, 0, 5, 10)));
  EXPECT_TRUE(IsRectEmpty(Rect(0, 5, 10, 5)));
  EXPECT_TRUE(IsRectEmpty(Rect(6, 0, 5, 10)));
  EXPECT_FALSE(IsRectEmpty(Rect(0, 0, 1, 1)));
}

TEST(RectSemantics, IntersectionAndUnionSkipEmptyOrTouchingRectangles) {
  TRect out = Rect(1, 2, 3, 4);
  EXPECT_FALSE(IntersectRect(out, Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));  // touching
  EXPECT_EQ(out, TRect{});
  EXPECT_TRUE(IntersectRect(out, Rect(0, 0, 10, 10), Rect(9, 9, 20, 20)));
  EXPECT_EQ(out, Rect(9, 9, 10, 10));
  EXPECT_FALSE(IntersectRect(out, Rect(0, 0, 10, 10), Rect(5, 5, 5, 8)));

  EXPECT_TRUE(UnionRect(out, Rect(100, 100, 100, 100), Rect(1, 2, 3, 4)));
  EXPECT_EQ(out, Rect(1, 2, 3, 4));
  EXPECT_TRUE(UnionRect(out, Rect(1, 2, 3, 4), TRect{}));
  EXPECT_EQ(out, Rect(1, 2, 3, 4));
  EXPECT_TRUE(UnionRect(out, Rect(0, 0, 2, 2), Rect(5, 5, 6, 7)));
  EXPECT_EQ(out, Rect(0, 0, 6, 7));
  EXPECT_FALSE(UnionRect(out, TRect{}, Rect(3, 3, 3, 9)));
  EXPECT_EQ(out, TRect{});
}
