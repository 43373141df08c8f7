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
