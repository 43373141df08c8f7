#include "controls/AnimationPickerU.h"

#include "imaging/utils.h"
#include "scene/SceneGlobals.h"
#include "scene/SpriteU.h"
#include "tests/controls/ControlTestHelpers.h"
#include "tests/controls/core/PreviewTestFiles.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

using namespace preview_files;

namespace {

// Stored previews are JPEG pictures: their colours come back close, not exact.
bool Near(TColor a, TColor b) {
  const auto close = [](int x, int y) { return x - y < 40 && y - x < 40; };
  return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) && close(GetBValue(a), GetBValue(b));
}

class AnimationPickerTest : public testing::Test {
 protected:
  AnimationPickerTest() {
    system.screen = {800, 800};
    owner.setGeometry(100, 100, 300, 200);
    ActivateWindow(owner);
    picker.Directory = temp.Path();
  }
  ~AnimationPickerTest() override {
    SaveVersion = kNewestFormatVersion;
    ReadVersion = kNewestFormatVersion;
    ResetFreeResourcesCache();
  }

  // Runs the action once the pop-up is shown and its list filled, from the event loop.
  void WhenOpen(std::function<void()> action) {
    QTimer::singleShot(0, &owner, [this, action] {
      if (picker.Form()->IsOpen()) action();
    });
  }
  // Opens the pop-up and fills the list without waiting in Execute.
  void Open() {
    picker.Form()->ShowAt(QPoint(10, 10));
    picker.FormShow();
  }
  std::vector<std::string> ListedNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < picker.ItemCount(); ++i) names.push_back(ExtractFileName(picker.Item(i).FileName()));
    return names;
  }
  void ClickRow(int row) {
    const TRect cell = picker.Grid->CellRect(0, row);
    QTest::mouseClick(picker.Grid, Qt::LeftButton, {}, QPoint(cell.Left + 5, cell.Top + 5));
  }

  FakeSystemValues system;
  ScriptedUiServices ui;
  TempDir temp;
  QWidget owner;
  TAnimationPicker picker{&owner};
};

}  // namespace

// ---- The pop-up ---------------------------------------------------------------------------------------

TEST_F(AnimationPickerTest, ThePopupHasItsSizePartsAndTexts) {
  TPopupWindow& form = *picker.Form();
  EXPECT_EQ(form.size(), QSize(135, 295));
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(picker.Panel->geometry(), QRect(0, 0, 135, 295));
  EXPECT_EQ(picker.Grid->BoundsRect(), Bounds(2, 4, 119, 255));
  EXPECT_EQ(picker.Grid->ColCount(), 1);
  EXPECT_EQ(picker.Grid->DefaultColWidth(), 100);
  EXPECT_EQ(picker.Grid->DefaultRowHeight(), 100);
  EXPECT_EQ(picker.Grid->GridLineWidth(), 3);
  EXPECT_EQ(picker.Grid->FixedColor(), clWindow);
  EXPECT_EQ(picker.AnimationPanel->geometry(), QRect(62, 54, 43, 35));
  EXPECT_TRUE(picker.AnimationPanel->isHidden());
  EXPECT_EQ(picker.OkButton->geometry(), QRect(72, 264, 55, 23));
  EXPECT_EQ(picker.OkButton->text(), "&Ok");
  EXPECT_TRUE(picker.OkButton->isDefault());
  EXPECT_EQ(picker.CancelButton->geometry(), QRect(14, 264, 55, 23));
  EXPECT_EQ(picker.CancelButton->text(), "&Cancel");
  EXPECT_FALSE(picker.AnimationTimer.Enabled());
  EXPECT_EQ(picker.AnimationTimer.Interval(), 67);
  EXPECT_EQ(picker.DataExtension, ".glm");
  EXPECT_EQ(picker.Color, clBtnFace);
  EXPECT_EQ(picker.ItemCount(), 0);
}

TEST_F(AnimationPickerTest, OpensAtTheControlsCentreOrInTheMiddleOfTheDesktop) {
  QWidget button(&owner);
  button.setGeometry(20, 10, 60, 20);
  button.show();
  QPoint shownAt;
  WhenOpen([&] {
    shownAt = picker.Form()->pos();
    picker.CancelButtonClick();
  });
  EXPECT_FALSE(picker.Execute(&button));
  EXPECT_EQ(shownAt, button.mapToGlobal(QPoint(30, 10)));

  WhenOpen([&] {
    shownAt = picker.Form()->pos();
    picker.CancelButtonClick();
  });
  EXPECT_FALSE(picker.Execute(nullptr));
  EXPECT_EQ(shownAt, QPoint((800 - 135) / 2, (800 - 295) / 2));
}

// ---- Listing ------------------------------------------------------------------------------------------

TEST_F(AnimationPickerTest, AnEmptyFolderShowsAnEmptyGridAndOkAnswersWithNoFile) {
  temp.WriteFile("readme.txt", "not a project");
  int listed = -1;
  WhenOpen([&] {
    listed = picker.ItemCount();
    QTest::mouseClick(picker.OkButton, Qt::LeftButton);
  });
  EXPECT_TRUE(picker.Execute(nullptr));
  EXPECT_EQ(listed, 0);
  EXPECT_EQ(picker.ChosenFileName(), "");
}

TEST_F(AnimationPickerTest, ListsChecksummedFilesOfAnyCaseAndSkipsTheRest) {
  ProjectWithWrongChecksum(temp, "0 first but bad.glm", {});
  Project(temp, "Spin.GLM", {.color = clRed});
  Project(temp, "unstamped.glm", {.stamped = false});
  Project(temp, "zoom.glm", {.color = clBlue});
  Project(temp, "other.gld", {});
  temp.WriteFile("junk.glm", std::string(64, '\x01'));
  StampFileChecksum(temp.File("junk.glm"));
  Open();
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"Spin.GLM", "zoom.glm"}))
      << "a rejected first file does not end the listing";
  EXPECT_EQ(picker.Grid->RowCount(), 2);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(picker.AnimationTimer.Enabled());
  EXPECT_EQ(picker.AnimationTimer.Interval(), 10);
  picker.CancelButtonClick();
  EXPECT_EQ(picker.ItemCount(), 0) << "the items go with the pop-up";
}

TEST_F(AnimationPickerTest, TheFirstFileSetsTheCellsAndTheGridWidth) {
  Project(temp, "a.glm", {.width = 60, .height = 40});
  Project(temp, "b.glm", {.width = 90, .height = 90});
  Open();
  EXPECT_EQ(picker.Grid->DefaultColWidth(), 60);
  EXPECT_EQ(picker.Grid->DefaultRowHeight(), 40);
  EXPECT_EQ(picker.Grid->Width(), 60 + 2 * 3 + TDrawGrid::ScrollBarWidth());
}

TEST_F(AnimationPickerTest, AFirstFileWithoutAStoredPreviewKeepsTheFirstCellSize) {
  // Its preview read stops at the empty preview, before the scene's size.
  Project(temp, "plain.glm", {.width = 70, .height = 30, .storedPreview = false});
  Project(temp, "stored.glm", {.width = 60, .height = 40});
  Open();
  ASSERT_EQ(picker.ItemCount(), 2);
  EXPECT_EQ(picker.Grid->DefaultColWidth(), 100);
  EXPECT_EQ(picker.Grid->DefaultRowHeight(), 100);
  picker.CancelButtonClick();
}

// ---- Cells --------------------------------------------------------------------------------------------

TEST_F(AnimationPickerTest, CellsShowTheStoredPreviewsOnTheSelectionColour) {
  Project(temp, "a.glm", {.width = 60, .height = 40, .color = clRed});
  Project(temp, "b.glm", {.width = 60, .height = 40, .color = clLime});
  Open();
  const TBitmap& painted = picker.Grid->PaintPicture(clBtnFace);
  // Row 0 is selected: its 3-pixel rim shows $00FF8000, the preview fills the inside.
  EXPECT_EQ(painted.Pixel(0, 0), 0x00FF8000u);
  EXPECT_EQ(painted.Pixel(59, 39), 0x00FF8000u);
  EXPECT_TRUE(Near(painted.Pixel(3, 3), clRed)) << "the sprite's picture at the preview's top left";
  // Row 1 is not: its rim has the grid's colour.
  EXPECT_EQ(painted.Pixel(0, 40), ColorToRGB(clWindow));
  EXPECT_TRUE(Near(painted.Pixel(3, 43), clLime));
  picker.CancelButtonClick();
}

// ---- Playback -----------------------------------------------------------------------------------------

TEST_F(AnimationPickerTest, TheSelectedRowPlaysInPlaceAndTheFileIsReadInFullOnce) {
  Project(temp, "a.glm", {.width = 60, .height = 40, .steps = 20, .color = clRed});
  Project(temp, "b \xC3\xA9t\xC3\xA9.glm", {.width = 60, .height = 40, .color = clLime});
  Open();
  EXPECT_FALSE(picker.Item(0).FullyLoaded());
  picker.AnimationTimerTimer();
  ASSERT_TRUE(picker.Item(0).FullyLoaded());
  EXPECT_EQ(picker.Item(0).Scene().SpriteCount(), 1);
  const TAnimatedScene* firstRead = &picker.Item(0).Scene();
  EXPECT_FALSE(picker.AnimationPanel->isHidden());
  EXPECT_EQ(picker.AnimationPanel->geometry(), QRect(2 + 3, 4 + 3, 54, 34)) << "over the cell, inset by the lines";
  EXPECT_EQ(picker.AnimationTimer.Interval(), picker.Item(0).Scene().StepTime);
  EXPECT_EQ(picker.AnimationImage->Hint(), "a");
  EXPECT_EQ(picker.AnimationImage->Bitmap().Pixel(5, 5), clRed) << "the composed step";

  ClickRow(1);
  EXPECT_EQ(picker.Grid->Row(), 1);
  EXPECT_EQ(picker.AnimationTimer.Interval(), 10);
  picker.AnimationTimerTimer();
  EXPECT_EQ(picker.AnimationImage->Hint(), "b \xE9t\xE9") << "the name in the model's code page";
  EXPECT_EQ(picker.AnimationImage->toolTip(), QString::fromUtf8("b \xC3\xA9t\xC3\xA9"));
  EXPECT_EQ(picker.AnimationPanel->geometry().top(), 4 + 40 + 3);
  ClickRow(0);
  picker.AnimationTimerTimer();
  EXPECT_EQ(&picker.Item(0).Scene(), firstRead) << "a later selection plays the scene read before";
  picker.CancelButtonClick();
}

TEST_F(AnimationPickerTest, TheSelectedRowsPlaybackHidesWhileItIsScrolledAway) {
  for (char c = 'a'; c <= 'h'; ++c) Project(temp, std::string(1, c) + ".glm", {.width = 60, .height = 40});
  Open();
  ASSERT_EQ(picker.ItemCount(), 8);
  picker.AnimationTimerTimer();
  EXPECT_FALSE(picker.AnimationPanel->isHidden());
  picker.Grid->SetTopRow(2);
  picker.AnimationTimerTimer();
  EXPECT_TRUE(picker.AnimationPanel->isHidden());
  picker.Grid->SetTopRow(0);
  picker.AnimationTimerTimer();
  EXPECT_FALSE(picker.AnimationPanel->isHidden());
  picker.CancelButtonClick();
}

TEST_F(AnimationPickerTest, ADamagedBodyIsReadSilentlyAndNotTriedAgain) {
  ProjectWithDamagedBody(temp, "damaged.glm", {.storedPreview = true});
  Open();
  ASSERT_EQ(ListedNames(), std::vector<std::string>{"damaged.glm"}) << "its stored preview is intact";
  picker.AnimationTimerTimer();
  EXPECT_TRUE(picker.Item(0).FullyLoaded());
  const TAnimatedScene* scene = &picker.Item(0).Scene();
  picker.AnimationTimerTimer();
  EXPECT_EQ(&picker.Item(0).Scene(), scene);
  EXPECT_TRUE(ui.messages.empty());
  picker.CancelButtonClick();
}

TEST_F(AnimationPickerTest, AClosingDuringAReadFreesTheItemsOnlyWhenTheTickReturns) {
  Project(temp, "a.glm", {});
  Open();
  // The full read asks for the free resources once per sprite; the close
  // comes from there, as a deactivation delivered during the read would.
  system.hasResourceMeter = true;
  ResetFreeResourcesCache();
  int closesDuringRead = 0;
  system.probe = [&](int) {
    if (picker.Form()->IsOpen()) {
      picker.CancelButtonClick();
      ++closesDuringRead;
    }
    return 100;
  };
  picker.AnimationTimerTimer();
  EXPECT_EQ(closesDuringRead, 1);
  EXPECT_EQ(picker.Result(), 2);
  EXPECT_EQ(picker.ItemCount(), 0);
  EXPECT_FALSE(picker.AnimationTimer.Enabled());
  EXPECT_TRUE(picker.AnimationPanel->isHidden()) << "nothing was composed after the close";
}

// ---- Closing ------------------------------------------------------------------------------------------

TEST_F(AnimationPickerTest, OkClosesOnce) {
  Project(temp, "a.glm", {});
  Open();
  picker.OkButtonClick();
  EXPECT_EQ(picker.Result(), 1);
  EXPECT_EQ(picker.ChosenFileName(), temp.File("a.glm"));
  picker.OkButtonClick();
  picker.CancelButtonClick();
  EXPECT_EQ(picker.Result(), 1) << "the closed pop-up takes no second answer";
}

TEST_F(AnimationPickerTest, EscCancels) {
  Project(temp, "a.glm", {});
  WhenOpen([&] { QTest::keyClick(picker.Form(), Qt::Key_Escape); });
  EXPECT_FALSE(picker.Execute(nullptr));
  EXPECT_EQ(picker.Result(), 2);
  EXPECT_EQ(picker.ChosenFileName(), "");
}

TEST_F(AnimationPickerTest, TheLossOfActivationCancels) {
  Project(temp, "a.glm", {});
  QWidget other;
  other.setGeometry(500, 500, 50, 50);
  WhenOpen([&] {
    QCoreApplication::processEvents();
    ActivateWindow(other);
  });
  EXPECT_FALSE(picker.Execute(nullptr));
  EXPECT_FALSE(picker.Form()->isVisible());
  EXPECT_EQ(picker.ItemCount(), 0);
}

TEST_F(AnimationPickerTest, EnterChoosesAndADoubleClickOnTheAnimationToo) {
  Project(temp, "a.glm", {});
  Project(temp, "b.glm", {});
  WhenOpen([&] {
    picker.Grid->SetRow(1);
    QTest::keyClick(picker.Form(), Qt::Key_Return);
  });
  EXPECT_TRUE(picker.Execute(nullptr));
  EXPECT_EQ(picker.ChosenFileName(), temp.File("b.glm"));

  WhenOpen([&] {
    picker.AnimationTimerTimer();
    QTest::mouseDClick(picker.AnimationImage, Qt::LeftButton, {}, QPoint(5, 5));
  });
  EXPECT_TRUE(picker.Execute(nullptr));
  EXPECT_EQ(picker.ChosenFileName(), temp.File("a.glm"));
}

// ---- The whole run ------------------------------------------------------------------------------------

TEST_F(AnimationPickerTest, AScriptedRunOverAFolderOfEveryKindReturnsTheSelectedFile) {
  Bmp24(temp, "true.bmp", 30, 20, clBlue);
  Bmp16(temp, "high.bmp");
  Gif(temp, "anim.gif", 12, 320, 200);
  temp.WriteFile("garbage.avi", std::string(300, '\x17'));
  Project(temp, "a stored.glm", {.width = 60, .height = 40, .storedPreview = true, .color = clRed});
  Project(temp, "b plain.GLM", {.width = 60, .height = 40, .storedPreview = false, .color = clLime});
  ProjectWithWrongChecksum(temp, "c wrong checksum.glm", {});
  ProjectWithDamagedBody(temp, "d damaged.glm", {.width = 60, .height = 40, .storedPreview = true});

  std::vector<std::string> listed;
  WhenOpen([&] {
    listed = ListedNames();
    ClickRow(2);
    picker.AnimationTimerTimer();  // the damaged file's first playback
    ClickRow(1);
    picker.AnimationTimerTimer();
    QTest::mouseClick(picker.OkButton, Qt::LeftButton);
  });
  ASSERT_TRUE(picker.Execute(nullptr));
  EXPECT_EQ(listed, (std::vector<std::string>{"a stored.glm", "b plain.GLM", "d damaged.glm"}));
  EXPECT_EQ(picker.ChosenFileName(), temp.File("b plain.GLM"));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(picker.ItemCount(), 0);

  WhenOpen([&] { QTest::keyClick(picker.Form(), Qt::Key_Escape); });
  EXPECT_FALSE(picker.Execute(nullptr));
}

TEST_F(AnimationPickerTest, ASecondShowingClosesOnTheLossOfActivationToo) {
  Project(temp, "a.glm", {});
  WhenOpen([&] { QTest::keyClick(picker.Form(), Qt::Key_Escape); });
  EXPECT_FALSE(picker.Execute(nullptr));
  QWidget other;
  other.setGeometry(500, 500, 50, 50);
  WhenOpen([&] { ActivateWindow(other); });
  EXPECT_FALSE(picker.Execute(nullptr));
  EXPECT_FALSE(picker.Form()->isVisible());
}
