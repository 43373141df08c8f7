#include "tests/uninstaller/UninstallerFixture.h"

#include <QCoreApplication>

namespace {

// A window over an uninstaller that has not run: product name and status set by hand.
class UninstallWindowTest : public UninstallerFixture {
 protected:
  void SetUp() override {
    Seed({{"Name", "Tool"}});
    ui_.messageAnswers = {IDNO};
    uninstaller_.RunUninstaller({"Vendor\\Tool"}, [](const TUninstaller&) { return nullptr; });
    window_ = std::make_unique<TUninstallWindow>(uninstaller_);
    SendMessage(window_->Handle(), WM_PAINT, 0, 0);
  }

  TUninstaller uninstaller_{store_};
  std::unique_ptr<TUninstallWindow> window_;
};

using ShownLines = std::vector<TUninstallWindow::TextLine>;

}  // namespace

TEST_F(UninstallWindowTest, TheWindowIsCentredWithItsCaptionSizeAndProgressBar) {
  // The offscreen screen is 800 x 800.
  EXPECT_EQ(window_->pos(), QPoint(400 - 224, 400 - 135));
  EXPECT_EQ(window_->size(), QSize(448, 270));
  EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
  EXPECT_EQ(window_->windowTitle(), "Uninstall Tool");
  EXPECT_EQ(window_->objectName(), "Tool");
  EXPECT_TRUE(window_->isVisible());
  QProgressBar* bar = window_->ProgressBar();
  EXPECT_EQ(bar->geometry(), QRect(10, 188, 426, 22));
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 100);
  EXPECT_EQ(bar->value(), 0);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->property("controlId").toInt(), 5);
}

TEST_F(UninstallWindowTest, TheTextsStandAtTheirPlacesWithoutAStatusLine) {
  EXPECT_EQ(window_->TextLines(), (ShownLines{{{10, 10}, "Uninstall program will remove Tool from your computer."},
                                         {{10, 30}, "Please wait while each of the following components is removed."},
                                         {{10, 50}, "* Shared program files."},
                                         {{10, 70}, "* Folder items."},
                                         {{10, 90}, "* Program folders."},
                                         {{10, 110}, "* Program directories."},
                                         {{10, 130}, "* Program registry entries."}}));
}

TEST_F(UninstallWindowTest, TheFaceIsFramedByTheDefaultPen) {
  const TBitmap& picture = window_->Picture();
  ASSERT_EQ(picture.Width(), 448);
  ASSERT_EQ(picture.Height(), 270);
  for (const auto& [x, y] : {std::pair{0, 0}, {447, 0}, {0, 269}, {447, 269}, {200, 0}, {0, 150}})
    EXPECT_EQ(picture.Pixel(x, y), clBlack) << x << "," << y;
  for (const auto& [x, y] : {std::pair{1, 1}, {446, 268}, {5, 150}, {440, 240}})
    EXPECT_EQ(picture.Pixel(x, y), ColorToRGB(clBtnFace)) << x << "," << y;
}

TEST_F(UninstallWindowTest, PaintingAsksForNoFurtherPaint) {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  const int painted = window_->PaintCount();
  EXPECT_GE(painted, 1);
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(window_->PaintCount(), painted);
  SendMessage(window_->Handle(), WM_PAINT, 0, 0);
  EXPECT_EQ(window_->PaintCount(), painted + 1);  // a paint message paints at once
}

TEST_F(UninstallWindowTest, CloseDestroysTheWindowAndEndsTheMessageLoop) {
  EXPECT_FALSE(window_->Destroyed());
  PostMessage(window_->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(window_->Destroyed());  // posted: handled by the event loop
  ProcessMessages();
  EXPECT_TRUE(window_->Destroyed());
  EXPECT_FALSE(window_->isVisible());
}
