// One folder of every kind of file the editor reads, written by our own
// writers: its previews, the picture open dialog run by a scripted user, and
// the gallery run by a scripted user.
#include "controls/AnimationPickerU.h"
#include "controls/OpenGraphDialogU.h"
#include "controls/core/PreviewPicture.h"

#include "scene/SceneGlobals.h"
#include "tests/controls/ControlTestHelpers.h"
#include "tests/controls/core/PreviewTestFiles.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <map>
#include <string>
#include <vector>

using namespace preview_files;

namespace {

struct Expected {
  std::int32_t frames;
  std::uint8_t code;
  std::string label;
};

class PictureAndGalleryScenario : public testing::Test {
 protected:
  PictureAndGalleryScenario() {
    system.screen = {800, 800};
    owner.setGeometry(100, 100, 300, 200);
    ActivateWindow(owner);
    files[Bmp24(temp, "true.bmp", 30, 20, clBlue)] = {0, 6, " (30x20),16 mil. col."};
    files[Bmp16(temp, "high.bmp")] = {0, 5, " (3x2),RGB col."};
    files[Gif(temp, "anim.gif", 12, 320, 200)] = {12, 3, " (320x200),12 fr.,256 col."};
    files[Project(temp, "a stored.glm", {.width = 60, .height = 40, .storedPreview = true})] = {
        1000, 0, " (60x40),1000 fr.,RGB col."};
    files[Project(temp, "b plain.glm", {.width = 60, .height = 40, .steps = 25, .storedPreview = false,
                                        .firstFrameFormat = pf8bit})] = {25, 3, " (60x40),25 fr.,256 col."};
    garbageAvi = temp.WriteFile("garbage.avi", std::string(400, '\x5A'));
    wrongChecksum = ProjectWithWrongChecksum(temp, "c wrong checksum.glm", {.width = 60, .height = 40});
    damaged = ProjectWithDamagedBody(temp, "d damaged.glm", {.width = 60, .height = 40, .storedPreview = true});
  }
  ~PictureAndGalleryScenario() override {
    SaveVersion = kNewestFormatVersion;
    ReadVersion = kNewestFormatVersion;
  }

  FakeSystemValues system;
  ScriptedUiServices ui;
  TempDir temp;
  QWidget owner;
  std::map<std::string, Expected> files;
  std::string garbageAvi, wrongChecksum, damaged;
};

}  // namespace

TEST_F(PictureAndGalleryScenario, PreviewsDialogAndGalleryOverOneFolder) {
  // The previews: codes and counts.
  for (const auto& [file, expected] : files) {
    TBitmap picture;
    std::int32_t frames = -1;
    std::uint8_t code = 0;
    ASSERT_TRUE(LoadPreviewPicture(file, picture, frames, code)) << file;
    EXPECT_EQ(frames, expected.frames) << file;
    EXPECT_EQ(code, expected.code) << file;
  }
  TBitmap untouched;
  std::int32_t frames = -1;
  std::uint8_t code = 6;
  EXPECT_TRUE(LoadPreviewPicture(garbageAvi, untouched, frames, code));
  EXPECT_EQ(frames, 0);
  EXPECT_TRUE(untouched.Empty());

  // The picture open dialog: the user moves through every file and takes the GIF.
  TOpenGraphicDialog dialog(&owner);
  std::map<std::string, std::string> shown;
  ui.fileChooserSteps.push_back([&](const FileDialogRequest& request) {
    for (const auto& [file, expected] : files) {
      request.panel->onSelectionChange(file);
      shown[file] = dialog.PictureLabel->text().toStdString();
    }
    request.panel->onSelectionChange(garbageAvi);
    shown[garbageAvi] = dialog.PictureLabel->text().toStdString();
    request.panel->onSelectionChange(temp.File("anim.gif"));
  });
  ui.fileAnswers.push_back(FileDialogResult{.fileName = temp.File("anim.gif"), .filterIndex = 1, .fileNames = {}});
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, temp.File("anim.gif"));
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_NE(ui.fileRequests[0].panel, nullptr) << "the request carries the preview";
  for (const auto& [file, expected] : files) EXPECT_EQ(shown[file], expected.label) << file;
  EXPECT_EQ(shown[garbageAvi], "Picture:");

  // The gallery: row 1 is selected and taken with Ok.
  TAnimationPicker picker(&owner);
  picker.Directory = temp.Path();
  std::vector<std::string> listed;
  QTimer::singleShot(0, &owner, [&] {
    for (int i = 0; i < picker.ItemCount(); ++i) listed.push_back(ExtractFileName(picker.Item(i).FileName()));
    for (int row : {2, 1}) {  // the damaged file plays first, then row 1
      const TRect cell = picker.Grid->CellRect(0, row);
      QTest::mouseClick(picker.Grid, Qt::LeftButton, {}, QPoint(cell.Left + 5, cell.Top + 5));
      picker.AnimationTimerTimer();
    }
    QTest::mouseClick(picker.OkButton, Qt::LeftButton);
  });
  const std::size_t messagesBefore = ui.messages.size();
  ASSERT_TRUE(picker.Execute(nullptr));
  EXPECT_EQ(listed, (std::vector<std::string>{"a stored.glm", "b plain.glm", "d damaged.glm"}));
  EXPECT_EQ(picker.ChosenFileName(), temp.File("b plain.glm"));
  EXPECT_EQ(ui.messages.size(), messagesBefore) << "the gallery shows no message";

  QTimer::singleShot(0, &owner, [&] { QTest::keyClick(picker.Form(), Qt::Key_Escape); });
  EXPECT_FALSE(picker.Execute(nullptr));
}
