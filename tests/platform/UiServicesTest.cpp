#include "platform/UiServices.h"
#include "platform/qtui/QtUiServices.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

TEST(MessageBoxDefaults, FollowTheDefaultButtonFlag) {
  EXPECT_EQ(DefaultMessageBoxResult(MB_OK | MB_ICONERROR), IDOK);
  EXPECT_EQ(DefaultMessageBoxResult(MB_YESNO), IDYES);
  EXPECT_EQ(DefaultMessageBoxResult(MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(DefaultMessageBoxResult(MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
  EXPECT_EQ(DefaultMessageBoxResult(MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
}

TEST(ScriptedServices, RecordMessagesAndAnswerFromTheScript) {
  ScriptedUiServices ui;
  ui.messageAnswers.push_back(IDNO);
  EXPECT_EQ(Ui().MessageBox(0, "Save?", "Gleamcraft", MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(Ui().MessageBox(0, "Again?", "Gleamcraft", MB_YESNO | MB_DEFBUTTON2), IDNO);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "Save?");
  EXPECT_EQ(ui.messages[1].flags, unsigned{MB_YESNO | MB_DEFBUTTON2});
}

TEST(ScriptedServices, BusyCursorIsRestoredOnEveryExit) {
  ScriptedUiServices ui;
  try {
    TBusyCursor busy;
    throw 1;
  } catch (int) {
  }
  EXPECT_EQ(ui.cursors, (std::vector<TCursor>{crHourGlass, crDefault}));
}

TEST(QtFileFilters, TurnTheEditorsFiltersIntoQtFilters) {
  EXPECT_EQ(QtFileFilter("3D Animation (*.GLM)|*.GLM|All Files (*.*)|*.*"),
            "3D Animation (*.GLM *.glm);;All Files (*.*)");
  EXPECT_EQ(QtFileFilter("GIF - CompuServe Bitmap|*.gif"), "GIF - CompuServe Bitmap (*.gif *.GIF)");
  EXPECT_EQ(QtFileFilter("Pictures|*.bmp;*.jpg"), "Pictures (*.bmp *.BMP *.jpg *.JPG)");
}

TEST(QtFileFilters, DisplayTextBreaksLinesAtCarriageReturns) {
  EXPECT_EQ(DisplayText("one\rtwo\r\nthree \xE9"), QString::fromUtf8("one\ntwo\nthree é"));
}
