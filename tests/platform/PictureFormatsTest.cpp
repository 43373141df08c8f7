#include "platform/Graphics.h"
#include "platform/PictureFormats.h"

#include <gtest/gtest.h>

TEST(PictureFormatRegistry, ExtensionsMatchWithOrWithoutDotInAnyCase) {
  int calls = 0;
  RegisterFileFormat(".TstFmt", "Test-Format", [&](const std::string& name, TBitmap& bitmap) {
    ++calls;
    EXPECT_EQ(name, "/x/picture.tstfmt");
    bitmap.SetSize(3, 2);
  });
  const TPictureFormat* format = FindFileFormat("tstfmt");
  ASSERT_NE(format, nullptr);
  EXPECT_EQ(format->Extension, "tstfmt");
  EXPECT_EQ(format->Description, "Test-Format");
  TBitmap bitmap;
  EXPECT_TRUE(LoadPictureFile("/x/picture.tstfmt", bitmap));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(bitmap.Width(), 3);
  RegisterFileFormat("TSTFMT", "Other", nullptr);  // replaces the entry
  EXPECT_EQ(FindFileFormat(".tstfmt")->Description, "Other");
  EXPECT_FALSE(LoadPictureFile("/x/picture.tstfmt", bitmap));
  UnregisterFileFormat(".tstfmt");
  EXPECT_EQ(FindFileFormat("tstfmt"), nullptr);
  EXPECT_FALSE(LoadPictureFile("/x/picture.tstfmt", bitmap));
  EXPECT_FALSE(LoadPictureFile("/x/no-extension", bitmap));
}
