// The label base: its ground, its alignment and its disabled look.
#include "controls/CustomLabel.h"

#include <gtest/gtest.h>

namespace {

TRect BoxOf(const TBitmap& b, TColor colour) {
  TRect box = Rect(b.Width(), b.Height(), 0, 0);
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) == colour)
        box = Rect(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1));
  return box;
}

class CustomLabelTest : public testing::Test {
 protected:
  CustomLabelTest() {
    TFont font;
    font.Color = clBlack;
    font.SetSize(12);
    label.SetFont(font);
    label.SetColor(clWhite);
    label.SetAutoSize(false);
    label.SetBounds(0, 0, 120, 30);
    label.SetCaption("Steps");
  }
  TCustomLabel label;
};

}  // namespace

TEST_F(CustomLabelTest, StartsAutoSizedAndLeftJustified) {
  TCustomLabel fresh;
  EXPECT_EQ(fresh.BoundsRect(), Bounds(0, 0, 65, 17));
  EXPECT_TRUE(fresh.AutoSize());
  EXPECT_EQ(fresh.Alignment(), taLeftJustify);
  EXPECT_EQ(fresh.Color(), clBtnFace);
  EXPECT_EQ(fresh.TextFormat(), unsigned(DT_EXPANDTABS));
  fresh.SetWordWrap(true);
  fresh.SetAlignment(taCenter);
  fresh.SetShowAccelChar(false);
  EXPECT_EQ(fresh.TextFormat(), unsigned(DT_EXPANDTABS | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX));
}

TEST_F(CustomLabelTest, AlignmentMovesTheTextByTheSpareRoom) {
  const TRect left = BoxOf(label.PaintPicture(clBlue), clBlack);
  ASSERT_FALSE(left.IsEmpty());
  EXPECT_EQ(label.PaintPicture(clBlue).Pixel(119, 29), clWhite) << "the ground is the label's colour";
  TBitmap scratch;
  scratch.Canvas().Font() = label.Font();
  const int width = scratch.Canvas().TextWidth("Steps");
  label.SetAlignment(taRightJustify);
  TRect right = left;
  OffsetRect(right, 120 - width, 0);
  EXPECT_EQ(BoxOf(label.PaintPicture(clBlue), clBlack), right);
  label.SetAlignment(taCenter);
  TRect centred = left;
  OffsetRect(centred, (120 - width) / 2, 0);
  EXPECT_EQ(BoxOf(label.PaintPicture(clBlue), clBlack), centred);
}

TEST_F(CustomLabelTest, ADisabledLabelIsEmbossed) {
  label.SetColor(clYellow);  // not the highlight's white
  const TRect enabled = BoxOf(label.PaintPicture(clBlue), clBlack);
  label.SetEnabled(false);
  const TBitmap& picture = label.PaintPicture(clBlue);
  EXPECT_TRUE(BoxOf(picture, clBlack).IsEmpty());
  EXPECT_EQ(BoxOf(picture, ColorToRGB(clBtnShadow)), enabled) << "the shadow in the text's place";
  const TRect highlight = BoxOf(picture, ColorToRGB(clBtnHighlight));
  EXPECT_EQ(highlight.Right, enabled.Right + 1) << "the highlight one pixel down and right";
  EXPECT_EQ(highlight.Bottom, enabled.Bottom + 1);
}

TEST_F(CustomLabelTest, AutoSizeFollowsTheCaptionAndTheFont) {
  label.SetAutoSize(true);
  TBitmap scratch;
  scratch.Canvas().Font() = label.Font();
  EXPECT_EQ(label.Width(), scratch.Canvas().TextWidth("Steps"));
  label.SetCaption("Steps per second");
  EXPECT_EQ(label.Width(), scratch.Canvas().TextWidth("Steps per second"));
  TFont bigger = label.Font();
  bigger.SetSize(20);
  label.SetFont(bigger);
  scratch.Canvas().Font() = bigger;
  EXPECT_EQ(label.Height(), scratch.Canvas().TextHeight("Ag"));
}
