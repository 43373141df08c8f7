// The digit display: cells of the 7 x 13 pictures, characters from the font,
// and the recolouring of the pictures.
#include "controls/MyCntrlDigitalDisplay.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Whether the 7 x 13 cell at x of the picture shows exactly the given digit picture.
bool CellShows(const TBitmap& picture, int x, const TBitmap& digit) {
  for (int y = 0; y < TDigitalDisplay::kCellHeight; ++y)
    for (int i = 0; i < TDigitalDisplay::kCellWidth; ++i)
      if (picture.Pixel(x + i, y) != digit.Pixel(i, y)) return false;
  return true;
}

std::string Figure(const TBitmap& digit) {
  std::string s;
  for (int y = 0; y < digit.Height(); ++y) {
    for (int x = 0; x < digit.Width(); ++x) s += digit.Pixel(x, y) == clRed ? 'X' : '.';
    s += '|';
  }
  return s;
}

}  // namespace

TEST(DigitalDisplay, PicturesAreSevenByThirteenRedOnBlack) {
  for (int n = 0; n < TDigitalDisplay::kPictureCount; ++n) {
    const TBitmap& digit = TDigitalDisplay::DigitPicture(n);
    EXPECT_EQ(digit.Width(), 7);
    EXPECT_EQ(digit.Height(), 13);
    EXPECT_EQ(digit.PixelFormat(), pf4bit) << "16 colours";
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 7; ++x) {
        const TColor c = digit.Pixel(x, y);
        EXPECT_TRUE(c == clBlack || c == clRed) << n;
      }
  }
  EXPECT_EQ(Figure(TDigitalDisplay::DigitPicture(8)),
            ".......|..XXX..|.X...X.|.X...X.|.X...X.|.X...X.|..XXX..|.X...X.|.X...X.|.X...X.|.X...X.|..XXX..|.......|");
  EXPECT_EQ(Figure(TDigitalDisplay::DigitPicture(10)).find('X'), std::string::npos) << "D10 is blank";
  EXPECT_THROW(TDigitalDisplay::DigitPicture(14), EInvalidGraphicOperation);
  EXPECT_EQ(TDigitalDisplay::PictureOf(':'), 13);
  EXPECT_EQ(TDigitalDisplay::PictureOf(','), 11);
  EXPECT_EQ(TDigitalDisplay::PictureOf('.'), 12);
  EXPECT_EQ(TDigitalDisplay::PictureOf('-'), -1);
}

TEST(DigitalDisplay, StartsRedOnBlackWithoutAutoSize) {
  TDigitalDisplay display;
  EXPECT_FALSE(display.AutoSize());
  EXPECT_EQ(display.ColorOfText(), clRed);
  EXPECT_EQ(display.Font().Color, clRed);
  EXPECT_EQ(display.Color(), clBtnFace);
  for (int n = 0; n < TDigitalDisplay::kPictureCount; ++n)
    EXPECT_TRUE(CellShows(display.DisplayPicture(n), 0, TDigitalDisplay::DigitPicture(n)));
}

TEST(DigitalDisplay, DigitsAndAColonFillFiveCellsOfSevenPixels) {
  TDigitalDisplay display;
  display.SetBounds(0, 0, 40, 13);
  display.SetCaption("12:34");
  const TBitmap& picture = display.PaintPicture(clWhite);
  EXPECT_TRUE(CellShows(picture, 0, display.DisplayPicture(1)));
  EXPECT_TRUE(CellShows(picture, 7, display.DisplayPicture(2)));
  EXPECT_TRUE(CellShows(picture, 14, display.DisplayPicture(13))) << "the colon from D13";
  EXPECT_TRUE(CellShows(picture, 21, display.DisplayPicture(3)));
  EXPECT_TRUE(CellShows(picture, 28, display.DisplayPicture(4)));
  EXPECT_EQ(picture.Pixel(35, 0), ColorToRGB(clBtnFace)) << "past the caption: the control's colour";
  display.SetCaption("3,1.");
  const TBitmap& marks = display.PaintPicture(clWhite);
  EXPECT_TRUE(CellShows(marks, 7, display.DisplayPicture(11)));
  EXPECT_TRUE(CellShows(marks, 21, display.DisplayPicture(12)));
}

TEST(DigitalDisplay, OtherCharactersComeFromTheFontSqueezedIntoACell) {
  TDigitalDisplay display;
  display.SetBounds(0, 0, 20, 13);
  display.SetColor(clWhite);
  display.SetCaption("-3");
  const TBitmap& picture = display.PaintPicture(clBlack);
  int ink = 0;
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 7; ++x) {
      const TColor c = picture.Pixel(x, y);
      EXPECT_TRUE(c == clWhite || c == clRed) << "only the display's colours";
      ink += c == clRed;
    }
  EXPECT_GT(ink, 0) << "the minus is drawn";
  for (int n = 0; n < 10; ++n) EXPECT_FALSE(CellShows(picture, 0, display.DisplayPicture(n)));
  EXPECT_TRUE(CellShows(picture, 7, display.DisplayPicture(3)));
  EXPECT_EQ(picture.Pixel(14, 0), clWhite);
}

TEST(DigitalDisplay, ColorRecoloursTheDigitBackgroundsOnlyWhenItChangesThem) {
  TDigitalDisplay display;
  // The digits' background is black: setting black changes nothing, not even the control's colour.
  display.SetColor(clBlack);
  EXPECT_EQ(display.Color(), clBtnFace);
  EXPECT_EQ(display.DisplayPicture(8).Pixel(0, 0), clBlack);

  display.SetColor(clBtnFace);
  EXPECT_EQ(display.Color(), clBtnFace);
  EXPECT_EQ(display.DisplayPicture(8).Pixel(0, 0), ColorToRGB(clBtnFace)) << "black turned into clBtnFace's value";
  EXPECT_EQ(display.DisplayPicture(8).Pixel(2, 1), clRed) << "figures keep their colour";
}

TEST(DigitalDisplay, TextAndBackgroundColoursFollowTheSourcePictures) {
  TDigitalDisplay display;
  display.SetColorOfText(clBlack);
  EXPECT_EQ(display.Font().Color, clBlack);
  display.SetColor(clWhite);
  // A figure now as black as the old ground keeps its colour: recolouring reads the pictures.
  EXPECT_EQ(display.DisplayPicture(8).Pixel(2, 1), clBlack);
  EXPECT_EQ(display.DisplayPicture(8).Pixel(0, 0), clWhite);
  display.SetColorOfText(clLime);
  EXPECT_EQ(display.DisplayPicture(8).Pixel(2, 1), clLime);
  EXPECT_EQ(display.DisplayPicture(8).Pixel(0, 0), clWhite);
}

TEST(DigitalDisplay, AssigningAFontTakesItsColourAndPaintsTheGroundInTheControlsColour) {
  TDigitalDisplay display;
  TFont font;
  font.Color = clYellow;
  font.SetSize(12);
  display.SetFont(font);
  EXPECT_EQ(display.Font().Size(), 12);
  EXPECT_EQ(display.ColorOfText(), clYellow);
  EXPECT_EQ(display.DisplayPicture(1).Pixel(5, 3), clYellow);
  EXPECT_EQ(display.DisplayPicture(1).Pixel(0, 0), ColorToRGB(clBtnFace)) << "Color := Color recoloured the ground";
}

TEST(DigitalDisplay, ATransparentDisplayLeavesItsGroundAlone) {
  TDigitalDisplay display;
  display.SetBounds(0, 0, 20, 13);
  display.SetCaption("7");
  display.SetTransparent(true);
  const TBitmap& picture = display.PaintPicture(clWhite);
  EXPECT_EQ(picture.Pixel(15, 5), clWhite);
  EXPECT_EQ(picture.Pixel(0, 0), clBlack) << "the digit's own ground is drawn";
}
