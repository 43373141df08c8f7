// Every edit a user makes on the property pages and the canvas is kept,
// whatever the clock says when the objects are made: through the real main
// window a rectangle, a line, a plain text and a 3D text are added and each
// edited on its page (canvas, undo captions and the saved file checked),
// then a sprite is dragged on the canvas and saved with Ctrl+S at once. The
// ids are a random number plus the low 32 bits of the microsecond clock, so
// the scenario runs with the clock just past bit 31 (every id negative),
// just below it and at the 32-bit wrap (ids on both sides of zero), and
// with a small clock.
#include "tests/app/MainFormShapesFixture.h"

#include "scene/Frame.h"
#include "scene/Sprite.h"

#include <QLineEdit>
#include <QWindow>

#include <set>

namespace {

class MainFormEditsKeptScenario : public MainFormShapesTest, public testing::WithParamInterface<std::uint64_t> {
 protected:
  MainFormEditsKeptScenario() { system_.micros = GetParam(); }

  // The window system's mouse, in a widget's coordinates.
  void DragOnForm(QWidget* widget, QPoint from, QPoint offset) {
    QWindow* window = Form().windowHandle();
    const QPoint start = widget->mapTo(&Form(), from);
    QTest::mouseMove(window, start);
    QTest::mousePress(window, Qt::LeftButton, {}, start);
    QTest::mouseMove(window, start + offset);
    QTest::mouseRelease(window, Qt::LeftButton, {}, start + offset);
    Settle();
  }
  // The canvas of the document as last composed, at a point of the scene.
  static TColor CanvasPixel(TAnimationWindow& document, TPoint at) {
    return document.PictureBackground->Bitmap().Pixel(at.X, at.Y) & 0xFFFFFF;
  }
  static TPoint Middle(const TRect& rect) { return TPoint{(rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2}; }
  // The frame node of the sprite's node, of a caption.
  QTreeWidgetItem* FrameNode(TSprite& sprite, const char* caption) { return Node({sprite.Name.c_str(), caption}); }
  std::vector<std::string> Undos() { return UndoCaptions(*Form().ActiveAnimationWindow()->Undo()); }
};

TEST_P(MainFormEditsKeptScenario, PageAndCanvasEditsAreShownUndoableAndSaved) {
  TMainForm& form = StartShown();
  TAnimationWindow* document = form.ActiveAnimationWindow();
  ASSERT_NE(document, nullptr);
  TAnimatedScene& scene = *document->Scene();
  EXPECT_FALSE(form.File_Save->isEnabled());

  // ---- A rectangle: a red fill and a width of 80 typed on the shape page.
  form.Scene_Add_Rectangle->trigger();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 1);
  TSprite& boxSprite = scene.Sprite(0);
  EXPECT_TRUE(form.File_Save->isEnabled()) << "an add marks the document modified";
  ClickNode(FrameNode(boxSprite, "Rectangle"));
  ASSERT_EQ(form.NotebookFramePreview->currentIndex(), 2);
  ChooseColor(form.FillingFrom_Button, clRed);
  Type(form.RectWidth_Spin, "80");
  ASSERT_TRUE(form.TimerRedrawShape.Enabled());
  form.TimerRedrawShapeTimer();
  Settle();
  TFrame& box = boxSprite.Frame(0);
  EXPECT_EQ(box.ImageWidth, 80);
  EXPECT_EQ(box.Shape.FillColor1, static_cast<std::int32_t>(clRed));
  EXPECT_EQ(Undos(), (std::vector<std::string>{"Add Sprite", "Change Shape"}));
  EXPECT_EQ(UndoCaption(), "Undo \"Change Shape\"");
  const TRect boxRect = boxSprite.DrawnRect;
  EXPECT_EQ(boxRect.Right - boxRect.Left, 80);
  EXPECT_EQ(CanvasPixel(*document, Middle(boxRect)), clRed) << "the canvas shows the new fill";
  // The page shows what the frame holds.
  EXPECT_EQ(form.RectWidth_Spin->Value(), 80);
  EXPECT_EQ(form.FillingFrom_Button->ButtonColor(), clRed);

  // ---- A line: 5 pixels wide and blue, typed and chosen on the line page.
  form.Scene_Add_Line->trigger();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 2);
  TSprite& lineSprite = scene.Sprite(1);
  ClickNode(FrameNode(lineSprite, "Line"));
  ASSERT_EQ(form.NotebookFramePreview->currentIndex(), 3);
  Type(form.LineWidthSpin, "5");
  ChooseColor(form.LineColor_Button, clBlue);
  form.TimerRedrawLineTimer();
  Settle();
  TFrame& line = lineSprite.Frame(0);
  EXPECT_EQ(line.Shape.BorderWidth, 5);
  EXPECT_EQ(line.Shape.BorderColor, static_cast<std::int32_t>(clBlue));
  EXPECT_EQ(Undos().back(), "Change Line");
  std::set<TColor> lineColors;
  const TRect lineRect = lineSprite.DrawnRect;
  for (int y = lineRect.Top; y < lineRect.Bottom; ++y)
    for (int x = lineRect.Left; x < lineRect.Right; ++x) lineColors.insert(CanvasPixel(*document, TPoint{x, y}));
  EXPECT_TRUE(lineColors.count(clBlue) != 0) << "the canvas shows the blue line";

  // ---- A plain text: a 3D text made "Simple text", its text typed.
  form.Scene_Add_3DText->trigger();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 3);
  TSprite& plainSprite = scene.Sprite(2);
  ClickNode(FrameNode(plainSprite, "\"Text\""));
  Click(Item(form.RadioGroup_3DorSimpleText, 1));
  Settle();
  form.TextEdit->selectAll();
  QTest::keyClicks(form.TextEdit, "Hi");
  Settle();
  TFrame& plain = plainSprite.Frame(0);
  EXPECT_EQ(plain.Kind, fkText);
  EXPECT_EQ(plain.Text, "Hi");
  EXPECT_EQ(Undos().back(), "Change Text");

  // ---- A 3D text: its text typed in the 3D editor.
  form.Scene_Add_3DText->trigger();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 4);
  TSprite& solidSprite = scene.Sprite(3);
  ClickNode(FrameNode(solidSprite, "\"Text\""));
  auto* newText = form.findChild<QLineEdit*>("EditNewText");
  ASSERT_NE(newText, nullptr);
  newText->selectAll();
  QTest::keyClicks(newText, "Glow");
  ASSERT_TRUE(form.Timer_3D_Changed.Enabled());
  form.Timer_3D_ChangedTimer();
  Settle();
  TFrame& solid = solidSprite.Frame(0);
  EXPECT_EQ(solid.StartState.Text, "Glow");
  EXPECT_EQ(solid.EndState.Text, "Glow");
  EXPECT_EQ(Undos().back(), "Change 3D Text");
  EXPECT_EQ(FrameNode(solidSprite, "\"Glow\"") != nullptr, true);

  // Past bit 31 every id is negative; they all bind all the same.
  if (static_cast<std::uint32_t>(GetParam()) >= 0x80000000u && static_cast<std::uint32_t>(GetParam()) < 0xFFF00000u) {
    for (const TFrame* frame : {&box, &line, &plain, &solid}) EXPECT_LT(frame->Id, 0);
  }

  // ---- Saved and opened again: every edit is in the file.
  const std::string path = data_.File("kept.GLM");
  ui_.fileAnswers.push_back(FileDialogResult{path, 1, {path}});
  form.File_Save->trigger();
  Settle();
  EXPECT_EQ(document->windowTitle(), QString("kept.GLM"));
  EXPECT_FALSE(form.File_Save->isEnabled()) << "a saved document is not modified";
  TAnimationWindow* reopened = OpenThroughCommand(path);
  ASSERT_NE(reopened, document);
  TAnimatedScene& copy = *reopened->Scene();
  ASSERT_EQ(copy.SpriteCount(), 4);
  EXPECT_EQ(copy.Sprite(0).Frame(0).ImageWidth, 80);
  EXPECT_EQ(copy.Sprite(0).Frame(0).Shape.FillColor1, static_cast<std::int32_t>(clRed));
  EXPECT_EQ(copy.Sprite(1).Frame(0).Shape.BorderWidth, 5);
  EXPECT_EQ(copy.Sprite(1).Frame(0).Shape.BorderColor, static_cast<std::int32_t>(clBlue));
  EXPECT_EQ(copy.Sprite(2).Frame(0).Text, "Hi");
  EXPECT_EQ(copy.Sprite(3).Frame(0).StartState.Text, "Glow");
  reopened->close();
  Settle();
  ASSERT_EQ(form.ActiveAnimationWindow(), document);

  // ---- The rectangle dragged clear of the texts on the canvas: Ctrl+S saves it at once.
  ClickNode(Node({boxSprite.Name.c_str()}));
  TSelectionBox& selection = *document->SpriteSelectionBox;
  ASSERT_TRUE(selection.isVisible());
  const QPoint grip(selection.BoxLeft() - selection.Left() + 10, selection.BoxTop() - selection.Top() + 10);
  DragOnForm(&selection, grip, QPoint(300, 0));
  EXPECT_EQ(Undos().back(), "Change Motion");
  EXPECT_EQ(document->windowTitle(), QString("kept.GLM *"));
  EXPECT_TRUE(form.File_Save->isEnabled()) << "the drag marked the document modified";
  EXPECT_EQ(boxSprite.DrawnRect.Left, boxRect.Left + 300);
  EXPECT_EQ(CanvasPixel(*document, Middle(boxSprite.DrawnRect)), clRed);
  CtrlKey(Qt::Key_S);
  EXPECT_EQ(document->windowTitle(), QString("kept.GLM"));
  EXPECT_FALSE(form.File_Save->isEnabled());
  reopened = OpenThroughCommand(path);
  ASSERT_NE(reopened, document);
  EXPECT_EQ(double(reopened->Scene()->Sprite(0).Motion().Step(0).StartX),
            double(boxSprite.Motion().Step(0).StartX));
  EXPECT_EQ(double(boxSprite.Motion().Step(0).StartX), boxRect.Left + 300.0);
}

INSTANTIATE_TEST_SUITE_P(ClockStarts, MainFormEditsKeptScenario,
                         testing::Values(std::uint64_t{0x80000010}, std::uint64_t{0x7FFFFF00},
                                         std::uint64_t{0xFFFFFF00}, std::uint64_t{5'000'000}));

}  // namespace
