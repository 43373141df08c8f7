#include "controls/OpenGraphDialogU.h"

#include "scene/SceneGlobals.h"
#include "tests/controls/core/PreviewTestFiles.h"
#include "tests/support/ScriptedModalRunner.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <string>
#include <vector>

using namespace preview_files;

namespace {

class OpenGraphicDialogTest : public testing::Test {
 protected:
  ~OpenGraphicDialogTest() override {
    SaveVersion = kNewestFormatVersion;
    ReadVersion = kNewestFormatVersion;
  }

  // The user moves to a file while the chooser is open.
  void Select(const std::string& file) {
    dialog.FileName = file;
    dialog.DoSelectionChange();
  }
  std::string Label() const { return dialog.PictureLabel->text().toStdString(); }
  bool ButtonEnabled() const { return dialog.PreviewButton->isEnabled(); }

  ScriptedUiServices ui;
  TempDir temp;
  TOpenGraphicDialog dialog;
};

// Whether the paint box shows anything but its own colour within the rectangle.
bool DrawsWithin(const TBitmap& painted, const TRect& r) {
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if (painted.Pixel(x, y) != ColorToRGB(clBtnFace)) return true;
  return false;
}

}  // namespace

// ---- Construction -------------------------------------------------------------------------------------

TEST_F(OpenGraphicDialogTest, OffersTheSupportedFormatsFilter) {
  EXPECT_EQ(dialog.Filter,
            "All Supported Formats|*.bmp;*.gif;*.jpg;*.avi|Windows Bitmap (*.bmp)|*.bmp|CompuServe Bitmap "
            "(*.gif)|*.gif|JPEG Bitmap (*.jpg)|*.jpg|Video for Windows (*.avi)|*.avi|All Files|*.*");
  EXPECT_TRUE(dialog.PreviewEnabled());
}

TEST_F(OpenGraphicDialogTest, ThePreviewAreaHoldsItsPartsAndLaysThemOut) {
  QWidget* panel = dialog.PicturePanel;
  EXPECT_EQ(panel->objectName(), "PicturePanel");
  EXPECT_EQ(panel->size(), QSize(169, 200));
  EXPECT_EQ(panel->findChild<QLabel*>("PictureLabel"), dialog.PictureLabel);
  EXPECT_EQ(panel->findChild<QToolButton*>("PreviewButton"), dialog.PreviewButton);
  EXPECT_EQ(panel->findChild<QFrame*>("PaintPanel"), dialog.PaintPanel);
  EXPECT_EQ(panel->findChild<TPaintBox*>("PaintBox"), dialog.PaintBox);
  EXPECT_EQ(dialog.PaintBox->parentWidget(), dialog.PaintPanel);
  EXPECT_EQ(panel->findChild<QCheckBox*>("PreviewBox"), dialog.PreviewBox);

  dialog.DoShow();
  EXPECT_EQ(dialog.PictureLabel->geometry(), QRect(6, 6, 157, 23));
  EXPECT_EQ(dialog.PreviewBox->geometry(), QRect(6, 179, 157, 15));
  EXPECT_EQ(dialog.PaintPanel->geometry(), QRect(6, 29, 157, 150));
  EXPECT_EQ(dialog.PaintBox->BoundsRect(), Bounds(2, 2, 153, 146));
  EXPECT_EQ(dialog.PreviewButton->geometry(), QRect(138, 1, 23, 22)) << "at the paint panel's right, 2 in";
  EXPECT_EQ(dialog.PreviewBox->text(), "&Preview");
  EXPECT_TRUE(dialog.PreviewBox->isChecked());
  EXPECT_FALSE(ButtonEnabled());
  EXPECT_EQ(dialog.PreviewButton->toolTip(), "Preview");

  // A wider area, as the chooser may give it, keeps the alignment.
  panel->resize(220, 260);
  dialog.PicturePanel->ArrangeChildren();
  EXPECT_EQ(dialog.PaintPanel->geometry(), QRect(6, 29, 208, 210));
  EXPECT_EQ(dialog.PreviewBox->geometry(), QRect(6, 239, 208, 15));
  EXPECT_EQ(dialog.PreviewButton->geometry().topLeft(), QPoint(189, 1));
}

TEST_F(OpenGraphicDialogTest, PreviewEnabledShowsOrHidesTheBoxAndTheButton) {
  dialog.SetPreviewEnabled(false);
  EXPECT_TRUE(dialog.PreviewBox->isHidden());
  EXPECT_TRUE(dialog.PreviewButton->isHidden());
  dialog.SetPreviewEnabled(true);
  EXPECT_FALSE(dialog.PreviewBox->isHidden());
  EXPECT_FALSE(dialog.PreviewButton->isHidden());
}

// ---- Selection changes --------------------------------------------------------------------------------

TEST_F(OpenGraphicDialogTest, AGifIsDescribedBySizeFramesAndColours) {
  Select(Gif(temp, "anim.gif", 12, 320, 200));
  EXPECT_EQ(Label(), " (320x200),12 fr.,256 col.");
  EXPECT_TRUE(ButtonEnabled());
  EXPECT_EQ(dialog.FrameCount(), 12);
  EXPECT_EQ(dialog.ColorCode(), 3);
}

TEST_F(OpenGraphicDialogTest, BitmapsJpegsAndProjectsNameTheirColours) {
  const std::pair<std::string, std::string> cases[] = {
      {Bmp24(temp, "true.bmp", 30, 20, clBlue), " (30x20),16 mil. col."},
      {Bmp16(temp, "high.bmp"), " (3x2),RGB col."},
      {Jpeg(temp, "photo.jpg", 40, 30, false), " (40x30),16 mil. col."},
      {Jpeg(temp, "grey.jpg", 40, 30, true), " (40x30),256 col."},
      {Avi8(temp, "clip.avi", 5, 16, 8), " (16x8),5 fr.,256 col."},
      {Project(temp, "eight.glm", {.steps = 20, .storedPreview = false, .firstFrameFormat = pf8bit}),
       " (60x40),20 fr.,256 col."},
      {Project(temp, "true.glm", {.steps = 20, .storedPreview = false, .firstFrameFormat = pf24bit}),
       " (60x40),20 fr.,RGB col."},
      // The stored preview sets no colour code; the code reset before the call shows as "RGB".
      {Project(temp, "stored.glm", {.storedPreview = true}), " (60x40),1000 fr.,RGB col."},
  };
  for (const auto& [file, text] : cases) {
    Select(Gif(temp, "before.gif", 1, 8, 8));  // a code of 3 that must not carry over
    Select(file);
    EXPECT_EQ(Label(), text) << file;
    EXPECT_TRUE(ButtonEnabled()) << file;
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OpenGraphicDialogTest, FilesWithoutAPreviewShowTheEmptyStateNotThePreviousPicture) {
  const std::string gif = Gif(temp, "anim.gif", 12, 320, 200);
  const std::string unknown = temp.WriteFile("notes.txt", "text");
  const std::string garbageAvi = temp.WriteFile("garbage.avi", std::string(300, '\x17'));
  const std::string unreadableProject = temp.WriteFile("junk.glm", std::string(64, '\x01'));
  const std::string brokenGif = temp.WriteFile("broken.gif", "GIF89a but nothing else");
  for (const std::string& file : {unknown, garbageAvi, unreadableProject, brokenGif, temp.File("missing.gif"),
                                  temp.Path()}) {
    Select(gif);
    ASSERT_EQ(Label(), " (320x200),12 fr.,256 col.");
    Select(file);
    EXPECT_EQ(Label(), "Picture:") << file;
    EXPECT_FALSE(ButtonEnabled()) << file;
    EXPECT_TRUE(dialog.PreviewPicture().Empty()) << file;
  }
  EXPECT_EQ(ui.messages.back().text, "Cannot read data from file.") << "the project reader tells the user";
}

TEST_F(OpenGraphicDialogTest, AReaderErrorLeavesTheDialogUsableWithTheNormalCursor) {
  ui.cursors.clear();
  Select(temp.WriteFile("broken.bmp", "BM and nothing"));
  EXPECT_EQ(Label(), "Picture:");
  EXPECT_EQ(ui.cursors, (std::vector<TCursor>{crHourGlass, crDefault}));
  Select(Bmp24(temp, "good.bmp", 30, 20, clBlue));
  EXPECT_EQ(Label(), " (30x20),16 mil. col.");
}

TEST_F(OpenGraphicDialogTest, UncheckingPreviewShowsPictureAndNone) {
  Select(Bmp24(temp, "first.bmp", 30, 20, clBlue));
  QTest::mouseClick(dialog.PreviewBox, Qt::LeftButton, {}, QPoint(4, 7));
  ASSERT_FALSE(dialog.PreviewBox->isChecked());
  Select(Bmp24(temp, "second.bmp", 30, 20, clRed));
  EXPECT_EQ(Label(), "Picture:");
  EXPECT_FALSE(ButtonEnabled());
  const TBitmap& painted = dialog.PaintBox->PaintPicture(clBtnFace);
  EXPECT_FALSE(DrawsWithin(painted, Rect(0, 0, 153, 50))) << "no picture";
  EXPECT_TRUE(DrawsWithin(painted, Rect(40, 60, 113, 86))) << "the text \"(None)\" in the middle";
}

// ---- Painting -----------------------------------------------------------------------------------------

TEST_F(OpenGraphicDialogTest, ASmallPictureIsDrawnUnscaledInTheMiddle) {
  dialog.DoShow();
  Select(Bmp24(temp, "small.bmp", 53, 40, clBlue));
  const TBitmap& painted = dialog.PaintBox->PaintPicture(clBtnFace);
  // (153 - 53) div 2 = 50 and (146 - 40) div 2 = 53.
  EXPECT_EQ(painted.Pixel(50, 53), clBlue);
  EXPECT_EQ(painted.Pixel(102, 92), clBlue);
  EXPECT_EQ(painted.Pixel(49, 53), ColorToRGB(clBtnFace));
  EXPECT_EQ(painted.Pixel(103, 92), ColorToRGB(clBtnFace));
  EXPECT_EQ(painted.Pixel(50, 93), ColorToRGB(clBtnFace));
}

TEST_F(OpenGraphicDialogTest, ALargePictureIsScaledIntoTheBoxFromItsTopLeft) {
  dialog.DoShow();
  Select(Bmp24(temp, "large.bmp", 306, 100, clRed));
  const TBitmap& painted = dialog.PaintBox->PaintPicture(clBtnFace);
  // 306 x 100 into 153 x 146: 153 x 50 at (0, 0).
  EXPECT_EQ(painted.Pixel(0, 0), clRed);
  EXPECT_EQ(painted.Pixel(152, 49), clRed);
  EXPECT_EQ(painted.Pixel(152, 50), ColorToRGB(clBtnFace));

  Select(Bmp24(temp, "square.bmp", 160, 155, clLime));
  const TBitmap& square = dialog.PaintBox->PaintPicture(clBtnFace);
  // Wider than tall, yet the height limits: 153 x 148 would pass the bottom,
  // 151 x 146 fits.
  EXPECT_EQ(square.Pixel(150, 145), clLime) << "the height fills the box";
  EXPECT_EQ(square.Pixel(151, 0), ColorToRGB(clBtnFace));
  EXPECT_EQ(square.Pixel(0, 145), clLime);
}

// ---- The full-size preview ----------------------------------------------------------------------------

TEST_F(OpenGraphicDialogTest, ThePreviewButtonShowsThePictureAtItsSizeAndEscClosesIt) {
  ScriptedModalRunner forms;
  Select(Bmp24(temp, "picture.bmp", 90, 60, clNavy));
  bool checked = false;
  forms.Expect("PreviewForm").Do([&](QDialog& form) {
    auto& preview = static_cast<TPreviewForm&>(form);
    EXPECT_EQ(form.windowTitle(), "Preview");
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(form.size(), QSize(102, 72)) << "the panel's inside is the picture plus 10 each way";
    EXPECT_EQ(preview.Panel->objectName(), "Panel");
    EXPECT_EQ(preview.Image->objectName(), "Image");
    EXPECT_EQ(preview.Image->geometry(), QRect(6, 6, 90, 60));
    EXPECT_TRUE(preview.Image->Stretch());
    EXPECT_EQ(preview.Image->PaintPicture(clBtnFace).Pixel(89, 59), clNavy);
    EXPECT_EQ(form.pos(), QPoint((800 - 102) / 2, (800 - 72) / 2)) << "centred on the screen";
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    checked = true;
  });
  QTest::mouseClick(dialog.PreviewButton, Qt::LeftButton);
  EXPECT_TRUE(checked);
  ASSERT_EQ(forms.shown.size(), 1u);
}

TEST_F(OpenGraphicDialogTest, ADoubleClickOnThePictureShowsItToo) {
  ScriptedModalRunner forms;
  forms.Expect("PreviewForm").Answer(mrCancel);
  dialog.PaintBox->MouseDoubleClick(mbLeft, {}, 10, 10);
  EXPECT_TRUE(forms.shown.empty()) << "no picture, nothing to show";
  Select(Bmp24(temp, "picture.bmp", 20, 10, clNavy));
  dialog.PaintBox->MouseDoubleClick(mbLeft, {}, 10, 10);
  EXPECT_EQ(forms.shown.size(), 1u);
  EXPECT_EQ(forms.Remaining(), 0u);
}

// ---- Execute ------------------------------------------------------------------------------------------

TEST_F(OpenGraphicDialogTest, ExecuteRunsAPreviewChooserAndReturnsTheChosenFile) {
  const std::string gif = Gif(temp, "anim.gif", 12, 320, 200);
  const std::string bmp = Bmp24(temp, "true.bmp", 30, 20, clBlue);
  std::vector<std::string> seen;
  ui.fileChooserSteps.push_back([&](const FileDialogRequest& request) {
    seen.push_back(Label());
    request.panel->onSelectionChange(bmp);
    seen.push_back(Label());
    request.panel->onSelectionChange(gif);
    seen.push_back(Label());
  });
  ui.fileAnswers.push_back(FileDialogResult{.fileName = gif, .filterIndex = 3, .fileNames = {}});
  dialog.Title = "Open Picture";
  dialog.InitialDir = temp.Path() + "/";
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, gif);
  EXPECT_EQ(dialog.Files(), std::vector<std::string>{gif});
  EXPECT_EQ(dialog.FilterIndex, 3);
  EXPECT_EQ(seen, (std::vector<std::string>{"", " (30x20),16 mil. col.", " (320x200),12 fr.,256 col."}));

  ASSERT_EQ(ui.fileRequests.size(), 1u);
  const FileDialogRequest& request = ui.fileRequests[0];
  EXPECT_EQ(request.title, "Open Picture");
  EXPECT_EQ(request.filter, SPictureDialogFilter);
  EXPECT_EQ(request.initialDir, temp.Path() + "/");
  EXPECT_FALSE(request.allowMultiSelect);
  ASSERT_NE(request.panel, nullptr);
  EXPECT_EQ(request.panel->widget, dialog.PicturePanel);
}

TEST_F(OpenGraphicDialogTest, ACancelledChooserKeepsTheFileNameAndANewRunStartsEmpty) {
  const std::string gif = Gif(temp, "anim.gif", 2, 20, 20);
  dialog.FileName = "start.gif";
  ui.fileChooserSteps.push_back([&](const FileDialogRequest& request) { request.panel->onSelectionChange(gif); });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "start.gif");

  bool emptyAtShow = false;
  ui.fileChooserSteps.push_back(
      [&](const FileDialogRequest&) { emptyAtShow = Label().empty() && dialog.PreviewPicture().Empty() && !ButtonEnabled(); });
  dialog.Options = ofAllowMultiSelect;
  ui.fileAnswers.push_back(FileDialogResult{.fileName = {}, .filterIndex = 1, .fileNames = {gif, gif + "2"}});
  ASSERT_TRUE(dialog.Execute());
  EXPECT_TRUE(emptyAtShow);
  EXPECT_TRUE(ui.fileRequests.back().allowMultiSelect);
  EXPECT_EQ(dialog.Files(), (std::vector<std::string>{gif, gif + "2"}));
  EXPECT_EQ(dialog.FileName, gif);
}
