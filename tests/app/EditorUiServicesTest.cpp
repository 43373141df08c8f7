#include "app/EditorUiServices.h"

#include "tests/support/ScriptedModalRunner.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>

namespace {

TEST(EditorUiServices, NotesShowTheMessageDialogWithItsNeverShowBox) {
  ScriptedModalRunner forms;
  forms.Expect("MsgDialog")
      .Do([](QDialog& dialog) { EXPECT_TRUE(dialog.findChild<QCheckBox*>("NeverAsk")->isVisible()); })
      .Fill("NeverAsk", true)
      .Answer(mrOk);
  forms.Expect("MsgDialog").Answer(mrOk);
  TEditorUiServices services;
  EXPECT_TRUE(services.ShowNote("Warning", "Your display\rsupports few colors."));
  EXPECT_FALSE(services.ShowNote("Warning", "Again"));
  ASSERT_EQ(forms.shown.size(), 2u);
  EXPECT_EQ(forms.shown[0].caption, "Warning");
}

}  // namespace
