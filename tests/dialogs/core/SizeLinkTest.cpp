#include "dialogs/core/SizeLimits.h"
#include "dialogs/core/SizeLink.h"

#include <gtest/gtest.h>

// ---- Size link -------------------------------------------------------------------------------------------

TEST(SizeLink, PixelsGiveTheRoundedPercentAndHundredPercentRestoresTheExactBase) {
  EXPECT_EQ(PercentAfterPixelsChange(234, 100, 468), 50);
  EXPECT_EQ(PercentAfterPixelsChange(100, 33, 300), 33);  // already consistent: unchanged
  EXPECT_EQ(PercentAfterPixelsChange(101, 33, 300), 34);  // 33.67
  // 33 % of 301 is 99.33; back at 100 % it must be 301, not a rounding of 99.
  EXPECT_EQ(PixelsAfterPercentChange(301, 33, 301), 99);
  EXPECT_EQ(PixelsAfterPercentChange(99, 100, 301), 301);
  EXPECT_EQ(PixelsAfterPercentChange(0, 50, 5), 2);  // halves round to even
  EXPECT_EQ(PixelsAfterPercentChange(0, 50, 7), 4);
  EXPECT_EQ(PixelsAfterPercentChange(7, 50, 0), 7);  // no base: unchanged
}

TEST(SizeLink, TheLargestFieldsStayInRange) {
  EXPECT_EQ(PixelsAfterPercentChange(1, 10000, 65000), 6500000);
  EXPECT_EQ(PercentAfterPixelsChange(65000, 100, 1), 6500000);
}

// ---- Size limits ------------------------------------------------------------------------------------------

TEST(SizeLimits, ASizeTheProjectReaderCannotReopenIsRefusedWithItsMessage) {
  EXPECT_NO_THROW(RequireSavableImageSize(468, 60));
  EXPECT_NO_THROW(RequireSavableImageSize(65535, 1024));  // exactly 2^26 pixels
  EXPECT_NO_THROW(RequireSavableImageSize(8192, 8192));
  try {
    RequireSavableImageSize(8193, 8193);
    ADD_FAILURE() << "8193 x 8193 holds more than 2^26 pixels";
  } catch (const ESizeRefused& refused) {
    EXPECT_EQ(refused.Message(), SizeRefusedMessage(8193, 8193));
    EXPECT_NE(refused.Message().find("8193 x 8193"), std::string::npos);
  }
  EXPECT_NO_THROW(RequireSavableImageSize(65000, 10));
  EXPECT_THROW(RequireSavableImageSize(65000, 1100), ESizeRefused);  // the sides fit, the area does not
  EXPECT_THROW(RequireSavableImageSize(65536, 1), ESizeRefused);
  EXPECT_THROW(RequireSavableImageSize(0, 10), ESizeRefused);
}
