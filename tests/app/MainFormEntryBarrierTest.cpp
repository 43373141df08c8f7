// No exception crosses Qt's event loop: one that escapes a command or a
// timer's tick is shown in the error box, and the window with its document
// goes on working, even when the handler failed with a page's guard set.
#include "tests/app/MainFormShapesFixture.h"

#include "platform/SysUtils.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"

#include <QDialog>
#include <QLineEdit>

namespace {

using MainFormEntryBarrier = MainFormShapesTest;

TEST_F(MainFormEntryBarrier, AFailingCommandAndAFailingTickAreShownAndTheDocumentStaysEditable) {
  TMainForm& form = StartShown();
  TAnimationWindow* document = form.ActiveAnimationWindow();
  ASSERT_NE(document, nullptr);
  TAnimatedScene& scene = *document->Scene();
  form.Scene_Add_Rectangle->trigger();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 1);

  // ---- A command that fails while it fills the shape page.
  form.SetCommandHandler(form.Help_About, [&form] {
    form.LoadingFramePage = true;
    throw Exception("The about box cannot be shown.");
  });
  form.Help_About->trigger();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].caption, "Error");
  EXPECT_EQ(ui_.messages[0].text, "The about box cannot be shown.");
  EXPECT_NE(ui_.messages[0].flags & MB_ICONERROR, 0u);
  // The shape page still edits its rectangle.
  ClickNode(Node({"Sprite 1", "Rectangle"}));
  Type(form.RectWidth_Spin, "70");
  form.TimerRedrawShapeTimer();
  Settle();
  EXPECT_EQ(scene.Sprite(0).Frame(0).ImageWidth, 70);
  EXPECT_EQ(UndoCaption(), "Undo \"Change Shape\"");
  EXPECT_TRUE(form.File_Save->isEnabled());

  // ---- The deferred start's tick, from the event loop, fails inside the
  // template wizard while the 3D editor is being filled.
  form.UserSettings.ShowWizardAtStartup = true;
  forms_.Expect("TemplateForm").Do([&form](QDialog&) {
    form.Text3DLoading = true;
    throw Exception("The templates cannot be listed.");
  });
  form.TimerStart.SetInterval(1);
  form.TimerStart.SetEnabled(true);
  for (int i = 0; i < 200 && ui_.messages.size() < 2; ++i) QTest::qWait(5);
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[1].caption, "Error");
  EXPECT_EQ(ui_.messages[1].text, "The templates cannot be listed.");
  EXPECT_FALSE(form.TimerStart.Enabled());
  EXPECT_EQ(form.ActiveAnimationWindow(), document);
  // A 3D text added and typed in is its own change.
  form.Scene_Add_3DText->trigger();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 2);
  ClickNode(Node({"Sprite 2", "\"Text\""}));
  auto* newText = form.findChild<QLineEdit*>("EditNewText");
  ASSERT_NE(newText, nullptr);
  newText->selectAll();
  QTest::keyClicks(newText, "Kept");
  ASSERT_TRUE(form.Timer_3D_Changed.Enabled());
  form.Timer_3D_ChangedTimer();
  Settle();
  EXPECT_EQ(scene.Sprite(1).Frame(0).StartState.Text, "Kept");
  EXPECT_EQ(UndoCaption(), "Undo \"Change 3D Text\"");
  EXPECT_EQ(ui_.messages.size(), 2u);
}

}  // namespace
