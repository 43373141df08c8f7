#include "platform/Colors.h"
#include "platform/SysUtils.h"

#include "tests/support/ErrorText.h"

#include <gtest/gtest.h>

TEST(ColorNames, NamedColoursGiveTheClassLibraryNames) {
  EXPECT_EQ(ColorToString(clBlack), "clBlack");
  EXPECT_EQ(ColorToString(clMaroon), "clMaroon");
  EXPECT_EQ(ColorToString(clWhite), "clWhite");
  EXPECT_EQ(ColorToString(clBtnText), "clBtnText");
  EXPECT_EQ(ColorToString(clWindowText), "clWindowText");
  EXPECT_EQ(ColorToString(cl3DDkShadow), "cl3DDkShadow");
  EXPECT_EQ(ColorToString(clInfoBk), "clInfoBk");
  EXPECT_EQ(ColorToString(clNone), "clNone");
  EXPECT_EQ(ColorToString(clDefault), "clDefault");
}

TEST(ColorNames, OtherColoursAreEightUpperCaseHexDigits) {
  EXPECT_EQ(ColorToString(0x00FF8000), "$00FF8000");
  EXPECT_EQ(ColorToString(0x00000001), "$00000001");
  EXPECT_EQ(ColorToString(clSystemColor | 25), "$80000019");  // a system colour without a name
  EXPECT_EQ(ColorToString(0xFFFFFFFF), "$FFFFFFFF");
}

TEST(ColorNames, EveryNameAndNumberReadsBack) {
  for (TColor color : {clBlack, clNavy, clAqua, clScrollBar, clHighlightText, clBtnFace, clInfoText, clNone,
                       clDefault, TColor{0x00123456}, TColor{0x80000019}, TColor{0xFFFFFFFF}})
    EXPECT_EQ(StringToColor(ColorToString(color)), color) << ColorToString(color);
}

TEST(ColorNames, NamesAreReadInAnyLetterCase) {
  EXPECT_EQ(StringToColor("CLBTNTEXT"), clBtnText);
  EXPECT_EQ(StringToColor("clwindowtext"), clWindowText);
}

TEST(ColorNames, NumbersInTheClassLibraryNotation) {
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_EQ(StringToColor("  16711680"), clBlue);
  EXPECT_EQ(StringToColor("$ff"), clRed);
  EXPECT_EQ(StringToColor("0x0000FF00"), clLime);
  EXPECT_EQ(StringToColor("-1"), 0xFFFFFFFFu);
  EXPECT_EQ(StringToColor("-2147483648"), 0x80000000u);
  EXPECT_EQ(StringToColor("2147483647"), 0x7FFFFFFFu);
}

TEST(ColorNames, TextThatIsNoColourIsAConversionError) {
  EXPECT_EQ(ErrorText<EConvertError>([] { StringToColor("clPink"); }), "'clPink' is not a valid integer value");
  EXPECT_EQ(ErrorText<EConvertError>([] { StringToColor(""); }), "'' is not a valid integer value");
  for (const char* bad : {"12 ", "$", "0x", "-", "2147483648", "$100000000", "1e3", "$FG", "clBlack "})
    EXPECT_FALSE(TryStringToColor(bad).has_value()) << bad;
}
