#include "dialogs/About.h"

#include "controls/MyCntrlMovie.h"
#include "controls/URL.h"
#include "dialogs/FirstFlashFormU.h"
#include "imaging/utils.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

TEST(AboutBox, ShowsNameVersionAndTheMakersAddress) {
  ProgramName = "Gleamcraft";
  TAboutBox about;
  about.show();
  EXPECT_EQ(about.windowTitle(), "About");
  EXPECT_EQ(about.Version->text(), "Version 2.21");
  EXPECT_EQ(about.SupportLabel->text(), "Support:");
  EXPECT_EQ(about.OkBtn->text(), "&Close");
  EXPECT_EQ(about.WWWAddress->text(), "https://example.com/gleamcraft/");
  EXPECT_TRUE(about.WWWAddress->font().underline());
  EXPECT_EQ(about.WWWAddress->palette().color(QPalette::Text), QColor(0, 0, 255));
  EXPECT_GT(about.ProductName->NumFrames(), 1);
  EXPECT_TRUE(about.ProductName->MovieEnabled());
}

TEST(AboutBox, AnyKeyClosesIt) {
  TAboutBox about;
  about.show();
  QTest::keyClick(&about, Qt::Key_Q);
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST(AboutBox, TheAddressTellsItsOwnerWhenClicked) {
  TAboutBox about;
  int clicks = 0;
  about.OnWebAddressClick = [&] { ++clicks; };
  about.WWWAddress->Click();
  EXPECT_EQ(clicks, 1);
}

TEST(AboutBox, TheNameMovieHasItsFramesSideBySide) {
  TBitmap strip;
  MakeProductNameStrip("Gleamcraft", 100, 30, 6, strip);
  EXPECT_EQ(strip.Width(), 600);
  EXPECT_EQ(strip.Height(), 30);
  // Black around the letters, gold in them.
  EXPECT_EQ(strip.Pixel(0, 0), 0u);
  bool gold = false;
  for (int x = 0; x < 100 && !gold; ++x)
    for (int y = 0; y < 30 && !gold; ++y) gold = GetRValue(strip.Pixel(x, y)) > 200 && GetBValue(strip.Pixel(x, y)) < 180;
  EXPECT_TRUE(gold);
}

TEST(SplashForm, VersionAndLoadingLine) {
  TFirstFlashForm splash;
  EXPECT_EQ(splash.Version->text(), "Version 2.21");
  EXPECT_EQ(splash.LoadingCaption->text(), "Loading ...");
  splash.SetLoadingText("Initialize preset - \"Star\"");
  EXPECT_EQ(splash.LoadingText(), "Initialize preset - \"Star\"");
  EXPECT_TRUE(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(splash.Image1->pixmap().isNull());
}

}  // namespace
