// The shadowed label and the label base it stands on: where the shadow
// goes, auto-sizing, and the measuring rules for empty captions.
#include "controls/Shadowlb.h"

#include <gtest/gtest.h>

namespace {

// The smallest rectangle holding the pixels of a colour.
TRect BoxOf(const TBitmap& b, TColor colour) {
  TRect box = Rect(b.Width(), b.Height(), 0, 0);
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) == colour)
        box = Rect(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1));
  return box;
}

int TextWidthIn(const TFont& font, const std::string& text) {
  TBitmap scratch;
  scratch.Canvas().Font() = font;
  return scratch.Canvas().TextWidth(text);
}
int TextHeightIn(const TFont& font) {
  TBitmap scratch;
  scratch.Canvas().Font() = font;
  return scratch.Canvas().TextHeight("Ag");
}

class ShadowLabelTest : public testing::Test {
 protected:
  ShadowLabelTest() {
    TFont font;
    font.Color = clBlack;
    font.SetSize(14);
    label.SetFont(font);
    label.SetColor(clWhite);
    label.SetColorOfShadow(clRed);
    label.SetAutoSize(false);
    label.SetBounds(0, 0, 80, 40);
    label.SetCaption("IHI");
  }
  TLabelWithShadow label;
};

}  // namespace

TEST_F(ShadowLabelTest, StartsWithAGreyShadowTwoPixelsAway) {
  TLabelWithShadow fresh;
  EXPECT_EQ(fresh.ColorOfShadow(), clBtnShadow);
  EXPECT_EQ(fresh.ShadowShift(), 2);
  EXPECT_TRUE(fresh.AutoSize());
  EXPECT_TRUE(fresh.ShowAccelChar());
}

TEST_F(ShadowLabelTest, TheShadowIsTheTextMovedByTheShift) {
  const TBitmap& picture = label.PaintPicture(clBlue);
  const TRect text = BoxOf(picture, clBlack);
  ASSERT_FALSE(text.IsEmpty());
  TRect shadow = BoxOf(picture, clRed);
  // The shadow's right and bottom edges are its own; its top left is under the text.
  EXPECT_EQ(shadow.Right, text.Right + 2);
  EXPECT_EQ(shadow.Bottom, text.Bottom + 2);
  EXPECT_EQ(picture.Pixel(70, 35), clWhite) << "the label's colour around";

  label.SetShadowShift(5);
  shadow = BoxOf(label.PaintPicture(clBlue), clRed);
  EXPECT_EQ(shadow.Right, text.Right + 5);
  EXPECT_EQ(shadow.Bottom, text.Bottom + 5);
  EXPECT_EQ(BoxOf(label.PaintPicture(clBlue), clBlack), text) << "the text stays in place";
}

TEST_F(ShadowLabelTest, AShiftOfZeroHidesTheShadowUnderTheText) {
  label.SetShadowShift(0);
  const TBitmap& picture = label.PaintPicture(clBlue);
  EXPECT_TRUE(BoxOf(picture, clRed).IsEmpty());
  EXPECT_FALSE(BoxOf(picture, clBlack).IsEmpty());
}

TEST_F(ShadowLabelTest, ADisabledLabelDrawsItsTextGreyOverTheShadow) {
  label.SetEnabled(false);
  const TBitmap& picture = label.PaintPicture(clBlue);
  EXPECT_TRUE(BoxOf(picture, clBlack).IsEmpty());
  EXPECT_FALSE(BoxOf(picture, ColorToRGB(clGrayText)).IsEmpty());
  EXPECT_FALSE(BoxOf(picture, clRed).IsEmpty());
}

TEST_F(ShadowLabelTest, ATransparentLabelLeavesItsGround) {
  label.SetTransparent(true);
  EXPECT_EQ(label.PaintPicture(clBlue).Pixel(70, 35), clBlue);
}

TEST_F(ShadowLabelTest, AutoSizeMeasuresTheTextWithoutItsShadow) {
  label.SetAutoSize(true);
  EXPECT_EQ(label.Width(), TextWidthIn(label.Font(), "IHI"));
  EXPECT_EQ(label.Height(), TextHeightIn(label.Font()));
  label.SetCaption("");
  EXPECT_EQ(label.Width(), TextWidthIn(label.Font(), " ")) << "an empty caption measures as a blank";
  EXPECT_EQ(label.Height(), TextHeightIn(label.Font()));
  label.SetCaption("&");
  EXPECT_EQ(label.Width(), TextWidthIn(label.Font(), " ")) << "a lone accelerator mark too";
  label.SetShowAccelChar(false);
  EXPECT_EQ(label.Width(), TextWidthIn(label.Font(), "&"));
  label.SetCaption("&Open");
  label.SetShowAccelChar(true);
  EXPECT_EQ(label.Width(), TextWidthIn(label.Font(), "Open"));
}

TEST_F(ShadowLabelTest, ARightJustifiedLabelKeepsItsRightEdge) {
  label.SetBounds(100, 10, 80, 40);
  label.SetAlignment(taRightJustify);
  label.SetAutoSize(true);
  EXPECT_EQ(label.Left() + label.Width(), 180);
  label.SetCaption("IHIHIH");
  EXPECT_EQ(label.Left() + label.Width(), 180);
  EXPECT_EQ(label.Width(), TextWidthIn(label.Font(), "IHIHIH"));
}

TEST_F(ShadowLabelTest, WordWrapBreaksTheCaptionToTheWidth) {
  label.SetCaption("IH IH IH");
  label.SetBounds(0, 0, TextWidthIn(label.Font(), "IH IH"), 10);
  label.SetWordWrap(true);
  label.SetAutoSize(true);
  EXPECT_EQ(label.Height(), 2 * TextHeightIn(label.Font()));
}
