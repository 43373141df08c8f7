#include "platform/SilentUi.h"
#include "platform/UiServices.h"
#include "platform/qtui/QtUiServices.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

TEST(MessageBoxDefaults, FollowTheDefaultButtonFlag) {
  const std::pair<unsigned, int> cases[] = {{MB_OK | MB_ICONERROR, IDOK},
                                            {MB_YESNO, IDYES},
                                            {MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, IDNO},
                                            {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
                                            {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL}};
  for (const auto& [flags, result] : cases) EXPECT_EQ(DefaultMessageBoxResult(flags), result) << std::hex << flags;
}

TEST(BusyCursor, IsRestoredOnEveryExit) {
  ScriptedUiServices ui;
  try {
    TBusyCursor busy;
    throw 1;
  } catch (int) {
  }
  EXPECT_EQ(ui.cursors, (std::vector<TCursor>{crHourGlass, crDefault}));
}

TEST(QtTexts, FileFiltersListBothCasesAndCarriageReturnsBreakLines) {
  EXPECT_EQ(QtFileFilter("3D Animation (*.GLM)|*.GLM|All Files (*.*)|*.*"), "3D Animation (*.GLM *.glm);;All Files (*.*)");
  EXPECT_EQ(QtFileFilter("GIF - CompuServe Bitmap|*.gif"), "GIF - CompuServe Bitmap (*.gif *.GIF)");
  EXPECT_EQ(QtFileFilter("Pictures|*.bmp;*.jpg"), "Pictures (*.bmp *.BMP *.jpg *.JPG)");
  EXPECT_EQ(DisplayText("one\rtwo\r\nthree \xE9"), QString::fromUtf8("one\ntwo\nthree é"));
}

TEST(SilentUi, KeepsMessagesFromTheUserAndPutsTheServicesBack) {
  ScriptedUiServices ui;
  ui.messageAnswers = {IDNO};
  {
    TSilentUi silent;
    EXPECT_EQ(Ui().MessageBox(0, "Cannot read data from file.", "Error", MB_YESNO), IDYES) << "the default answer";
    EXPECT_FALSE(Ui().ChooseOpenFile(FileDialogRequest{}).has_value());
    {
      TSilentUi nested;
    }
    Ui().MessageBox(0, "still quiet", "Error", MB_OK);
  }
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(ui.fileRequests.empty());
  EXPECT_EQ(Ui().MessageBox(0, "heard", "Error", MB_YESNO), IDNO);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "heard");
}

TEST(ScriptedFileChooser, RunsThePanelsShowStepAndCloseAroundTheAnswer) {
  ScriptedUiServices ui;
  std::vector<std::string> calls;
  FileChooserPanel panel;
  panel.onShow = [&] { calls.push_back("show"); };
  panel.onSelectionChange = [&](const std::string& file) { calls.push_back("select " + file); };
  panel.onClose = [&] { calls.push_back("close"); };
  ui.fileChooserSteps.push_back([](const FileDialogRequest& request) {
    request.panel->onSelectionChange("/a.gif");
    request.panel->onSelectionChange("/b.bmp");
  });
  ui.fileAnswers.push_back(FileDialogResult{.fileName = "/b.bmp", .filterIndex = 3, .fileNames = {}});
  FileDialogRequest request;
  request.panel = &panel;
  const auto chosen = Ui().ChooseOpenFile(request);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->fileNames, (std::vector<std::string>{"/b.bmp"}));
  EXPECT_EQ(calls, (std::vector<std::string>{"show", "select /a.gif", "select /b.bmp", "close"}));
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].panel, &panel);
}
