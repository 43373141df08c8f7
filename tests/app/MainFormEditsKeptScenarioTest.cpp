// Edits through the real main window are kept whatever the clock (object ids
// are a random number plus its low 32 bits): a rectangle, a line, a plain and
// a 3D text added, edited on their pages and saved; a sprite dragged on the
// canvas and saved at once with Ctrl+S; a command and a timer tick that fail
// are shown and the document stays editable. The clock starts past bit 31
// (every id negative), below it, at the 32-bit wrap and small.
#include "tests/app/MainFormShapesFixture.h"
#include "tests/support/FindChild.h"

#include "platform/SysUtils.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"

#include <QDialog>
#include <QLineEdit>
#include <QWindow>

namespace {

class MainFormEditsKeptScenario : public MainFormShapesTest, public testing::WithParamInterface<std::uint64_t> {
 protected:
  MainFormEditsKeptScenario() { system_.micros = GetParam(); }
  std::string LastUndo() { return UndoCaptions(*Editor(Form()).ActiveAnimationWindow()->Undo()).back(); }
};

TEST_P(MainFormEditsKeptScenario, PageAndCanvasEditsAreShownUndoableAndSavedAndFailuresStopAtTheirEntry) {
  TMainForm& form = StartShown();
  TAnimationWindow* document = Editor(form).ActiveAnimationWindow();
  TAnimatedScene& scene = *document->Scene();
  for (QAction* add : {Command(form, "Scene_Add_Rectangle"), Command(form, "Scene_Add_Line"), Command(form, "Scene_Add_3DText"), Command(form, "Scene_Add_3DText")}) {
    add->trigger();
    Settle();
  }
  ASSERT_EQ(scene.SpriteCount(), 4);
  if ((GetParam() >> 31 & 1) != 0 && static_cast<std::uint32_t>(GetParam()) < 0xFFF00000u) {
    EXPECT_LT(scene.Sprite(0).Frame(0).Id, 0);
  }

  ClickNode(Node({"Sprite 1", "Rectangle"}));
  ChooseColor(Child<TBitmapButton>(form, "FillingFrom_Button"), clRed);
  Type(Child<TSpinEdit>(form, "RectWidth_Spin"), "80");
  Editor(form).Shapes().TimerRedrawShapeTimer();
  Settle();
  EXPECT_EQ(LastUndo(), "Change Shape");
  EXPECT_EQ(scene.Sprite(0).Frame(0).Shape.FillColor1, static_cast<std::int32_t>(clRed));
  EXPECT_EQ(scene.Sprite(0).DrawnRect.Right - scene.Sprite(0).DrawnRect.Left, 80);
  ClickNode(Node({"Sprite 2", "Line"}));
  Type(Child<TSpinEdit>(form, "LineWidthSpin"), "5");
  Editor(form).Shapes().TimerRedrawLineTimer();
  EXPECT_EQ(LastUndo(), "Change Line");
  ClickNode(Node({"Sprite 3", "\"Text\""}));
  Click(Item(Child<QGroupBox>(form, "RadioGroup_3DorSimpleText"), 1));
  Child<QLineEdit>(form, "TextEdit")->selectAll();
  QTest::keyClicks(Child<QLineEdit>(form, "TextEdit"), "Hi");
  EXPECT_EQ(LastUndo(), "Change Text");
  ClickNode(Node({"Sprite 4", "\"Text\""}));
  form.findChild<QLineEdit*>("EditNewText")->selectAll();
  QTest::keyClicks(form.findChild<QLineEdit*>("EditNewText"), "Glow");
  Editor(form).Text3DEditor().Timer_3D_ChangedTimer();
  Settle();
  EXPECT_EQ(LastUndo(), "Change 3D Text");
  EXPECT_EQ(scene.Sprite(3).Frame(0).EndState.Text, "Glow");

  const std::string path = data_.File("kept.GLM");
  ui_.fileAnswers.push_back(FileDialogResult{path, 1, {path}});
  Command(form, "File_Save")->trigger();
  Settle();
  EXPECT_FALSE(Command(form, "File_Save")->isEnabled());
  const auto expectSaved = [&](TAnimatedScene& copy) {
    EXPECT_EQ(copy.Sprite(0).Frame(0).ImageWidth, 80);
    EXPECT_EQ(copy.Sprite(0).Frame(0).Shape.FillColor1, static_cast<std::int32_t>(clRed));
    EXPECT_EQ(copy.Sprite(1).Frame(0).Shape.BorderWidth, 5);
    EXPECT_EQ(copy.Sprite(2).Frame(0).Text, "Hi");
    EXPECT_EQ(copy.Sprite(3).Frame(0).StartState.Text, "Glow");
    EXPECT_EQ(double(copy.Sprite(0).Motion().Step(0).StartX), double(scene.Sprite(0).Motion().Step(0).StartX));
  };
  expectSaved(*OpenThroughCommand(path)->Scene());
  Editor(form).ActiveAnimationWindow()->close();
  Settle();

  // The rectangle dragged clear of the texts on top of it, then Ctrl+S at once.
  ClickNode(Node({"Sprite 1"}));
  TSelectionBox& box = *document->SpriteSelectionBox;
  // The box takes the sprite's place when the posted recompute arrives; on a
  // busy machine that may take more than one round of events.
  for (QRect last; last != box.geometry();) {
    last = box.geometry();
    QTest::qWait(10);
    Settle();
  }
  const TRect before = scene.Sprite(0).DrawnRect;
  const QPoint grip = box.mapTo(&form, QPoint(box.BoxLeft() - box.Left() + 10, box.BoxTop() - box.Top() + 10));
  QTest::mouseMove(form.windowHandle(), grip);
  QTest::mousePress(form.windowHandle(), Qt::LeftButton, {}, grip);
  QTest::mouseMove(form.windowHandle(), grip + QPoint(300, 0));
  QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, {}, grip + QPoint(300, 0));
  Settle();
  EXPECT_EQ(LastUndo(), "Change Motion");
  EXPECT_TRUE(Command(form, "File_Save")->isEnabled());
  const TRect moved = scene.Sprite(0).DrawnRect;
  EXPECT_EQ(moved.Left, before.Left + 300) << "box at " << box.BoxLeft() << ", grip " << grip.x();
  EXPECT_EQ(document->PictureBackground->Bitmap().Pixel(moved.Left + 40, moved.Top + 25) & 0xFFFFFF, clRed);
  CtrlKey(Qt::Key_S);
  EXPECT_EQ(document->windowTitle(), QString("kept.GLM"));
  expectSaved(*OpenThroughCommand(path)->Scene());
  Editor(form).ActiveAnimationWindow()->close();
  Settle();

  // A command, then the deferred start's tick from the event loop, fail with
  // a page's guard left set.
  Editor(form).Commands().SetCommandHandler(Command(form, "Help_About"), [&form] {
    Editor(form).Shapes().LoadingFramePage() = true;
    throw Exception("The about box cannot be shown.");
  });
  Command(form, "Help_About")->trigger();
  Editor(form).UserSettings().ShowWizardAtStartup = true;
  forms_.Expect("TemplateForm").Do([&form](QDialog&) {
    Editor(form).Shapes().LoadingFramePage() = true;
    throw Exception("The templates cannot be listed.");
  });
  form.TimerStart.SetInterval(1);
  form.TimerStart.SetEnabled(true);
  for (int i = 0; i < 200 && ui_.messages.size() < 2; ++i) QTest::qWait(5);
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[0].text, "The about box cannot be shown.");
  EXPECT_EQ(ui_.messages[1].text, "The templates cannot be listed.");
  EXPECT_EQ(ui_.messages[1].caption, "Error");
  ClickNode(Node({"Sprite 1", "Rectangle"}));
  Type(Child<TSpinEdit>(form, "RectWidth_Spin"), "70");
  Editor(form).Shapes().TimerRedrawShapeTimer();
  EXPECT_EQ(scene.Sprite(0).Frame(0).ImageWidth, 70);
}

INSTANTIATE_TEST_SUITE_P(ClockStarts, MainFormEditsKeptScenario,
                         testing::Values(std::uint64_t{0x80000010}, std::uint64_t{0x7FFFFF00},
                                         std::uint64_t{0xFFFFFF00}, std::uint64_t{5'000'000}));

}  // namespace
