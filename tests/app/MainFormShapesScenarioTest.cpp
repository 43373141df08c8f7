// A user's shapes, end to end through the real main window: a new document,
// a rectangle sprite and an ellipse frame added by the Insert commands, chosen
// in the tree, edited on the shape page by typing, an oversized picture
// refused, a text frame made plain text, everything undone with Ctrl+Z, and a
// rectangle saved and opened again.
#include "tests/app/MainFormShapesFixture.h"
#include "tests/support/FindChild.h"

#include "app/core/SizeLimits.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"

#include <QMdiArea>

namespace {

using MainFormShapesScenario = MainFormShapesTest;

TEST_F(MainFormShapesScenario, ShapesAddedEditedRefusedMadePlainUndoneSavedAndReopened) {
  // File > New beside the document the program starts with.
  TMainForm& form = StartShown();
  TAnimationWindow* startup = Editor(form).ActiveAnimationWindow();
  ASSERT_NE(startup, nullptr);
  Command(form, "File_New")->trigger();
  Settle();
  TAnimationWindow* document = Editor(form).ActiveAnimationWindow();
  ASSERT_NE(document, startup);
  EXPECT_EQ(Child<QMdiArea>(form, "MdiArea")->subWindowList().size(), 2);
  EXPECT_TRUE(document->Undo()->Empty());
  TAnimatedScene& scene = *document->Scene();
  const std::string empty = ProjectBytes(scene);

  // Insert > Rectangle: "Sprite 1" with its nodes and a green 50 x 50 frame.
  Command(form, "Scene_Add_Rectangle")->trigger();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 1);
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "Sprite 1"}));
  EXPECT_EQ(Captions(Node({"Sprite 1"})),
            (std::vector<std::string>{"Pos./Size/Speed", "Opacity", "Shadow", "Rectangle"}));
  TSprite& sprite = scene.Sprite(0);
  TFrame& rectangle = sprite.Frame(0);
  RestoreFrameImage(rectangle.Picture);
  EXPECT_EQ(rectangle.Picture.Width(), 50);
  EXPECT_EQ(rectangle.Picture.Height(), 50);
  EXPECT_EQ(rectangle.Picture.Pixel(25, 25) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(UndoCaption(), "Undo \"Add Sprite\"");

  // Insert > Frame with Ellipse.
  Command(form, "Sprite_Add_Ellipse")->trigger();
  Settle();
  ASSERT_EQ(sprite.FrameCount(), 2);
  TFrame& ellipse = sprite.Frame(1);
  EXPECT_EQ(ellipse.Kind, fkEllipse);
  EXPECT_EQ(UndoCaption(), "Undo \"Add Frame with Ellipse\"");
  const int ellipseWidth = ellipse.ImageWidth;
  const std::size_t records = UndoCaptions(*document->Undo()).size();

  // Choosing the rectangle fills the shape page and records nothing.
  ClickNode(Node({"Sprite 1", "Rectangle"}));
  EXPECT_EQ(Page(), ppFrame);
  EXPECT_EQ(Child<QStackedWidget>(form, "NotebookFramePreview")->currentIndex(), 2);
  EXPECT_EQ(Child<TSpinEdit>(form, "RectWidth_Spin")->Value(), 50);
  EXPECT_EQ(UndoCaptions(*document->Undo()).size(), records);

  // 80 then 90 typed before the redraw falls due: one change, a 90-pixel frame.
  Type(Child<TSpinEdit>(form, "RectWidth_Spin"), "80");
  Type(Child<TSpinEdit>(form, "RectWidth_Spin"), "90");
  EXPECT_TRUE(Editor(form).Shapes().TimerRedrawShape().Enabled());
  Editor(form).Shapes().TimerRedrawShapeTimer();
  Settle();
  EXPECT_EQ(rectangle.ImageWidth, 90);
  RestoreFrameImage(rectangle.Picture);
  EXPECT_EQ(rectangle.Picture.Width(), 90);
  EXPECT_EQ(UndoCaptions(*document->Undo()).size(), records + 1);
  EXPECT_EQ(UndoCaption(), "Undo \"Change Shape\"");

  // The ellipse chosen before the next redraw: the edit stays the rectangle's.
  Type(Child<TSpinEdit>(form, "RectHeight_Spin"), "40");
  ClickNode(Node({"Sprite 1", "Ellipse"}));
  Editor(form).Shapes().TimerRedrawShapeTimer();
  Settle();
  EXPECT_EQ(rectangle.ImageHeight, 40);
  EXPECT_EQ(ellipse.ImageWidth, ellipseWidth);
  EXPECT_EQ(ellipse.ImageHeight, 50);
  EXPECT_EQ(Child<TSpinEdit>(form, "RectWidth_Spin")->Value(), ellipseWidth);
  EXPECT_EQ(UndoCaptions(*document->Undo()).size(), records + 2);

  // 10000 x 10000 is refused with a message; the rectangle keeps its size.
  ClickNode(Node({"Sprite 1", "Rectangle"}));
  Type(Child<TSpinEdit>(form, "RectWidth_Spin"), "10000");
  Type(Child<TSpinEdit>(form, "RectHeight_Spin"), "10000");
  Editor(form).Shapes().TimerRedrawShapeTimer();
  Settle();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, SizeRefusedMessage(10000, 10000));
  EXPECT_EQ(rectangle.ImageWidth, 90);
  EXPECT_EQ(rectangle.ImageHeight, 40);
  EXPECT_EQ(UndoCaptions(*document->Undo()).size(), records + 2);

  // Insert > 3D Text, chosen in the tree and switched to "Simple text".
  Command(form, "Scene_Add_3DText")->trigger();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 2);
  ClickNode(Node({"Sprite 2", "\"Text\""}));
  EXPECT_EQ(Child<QStackedWidget>(form, "NotebookFramePreview")->currentIndex(), 1);
  Click(Item(Child<QGroupBox>(form, "RadioGroup_3DorSimpleText"), 1));
  Settle();
  EXPECT_EQ(scene.Sprite(1).Frame(0).Kind, 2);
  EXPECT_EQ(UndoCaption(), "Undo \"Change Text\"");

  // Ctrl+Z back to the empty scene.
  int undos = 0;
  while (Command(form, "Edit_Undo")->isEnabled() && undos < 20) {
    CtrlKey(Qt::Key_Z);
    ++undos;
  }
  EXPECT_EQ(undos, 6);
  EXPECT_EQ(scene.SpriteCount(), 0);
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background"}));
  EXPECT_EQ(ProjectBytes(scene), empty);
  EXPECT_EQ(Editor(form).ActiveAnimationWindow(), document);

  // A rectangle added and edited again, saved and opened: the same project.
  Command(form, "Scene_Add_Rectangle")->trigger();
  Settle();
  ClickNode(Node({"Sprite 1", "Rectangle"}));
  Type(Child<TSpinEdit>(form, "RectHeight_Spin"), "30");
  Editor(form).Shapes().TimerRedrawShapeTimer();
  Settle();
  const std::string path = data_.File("shapes.GLM");
  ui_.fileAnswers.push_back(FileDialogResult{path, 1, {path}});
  Command(form, "File_Save")->trigger();
  Settle();
  EXPECT_EQ(document->windowTitle(), QString("shapes.GLM"));
  const std::string saved = ProjectBytes(scene);
  TAnimationWindow* reopened = OpenThroughCommand(path);
  ASSERT_NE(reopened, nullptr);
  ASSERT_NE(reopened, document);
  ASSERT_EQ(reopened->Scene()->SpriteCount(), 1);
  EXPECT_EQ(reopened->Scene()->Sprite(0).Frame(0).ImageWidth, 50);
  EXPECT_EQ(reopened->Scene()->Sprite(0).Frame(0).ImageHeight, 30);
  EXPECT_EQ(Captions(Node({"Sprite 1"})),
            (std::vector<std::string>{"Pos./Size/Speed", "Opacity", "Shadow", "Rectangle"}));
  EXPECT_TRUE(ProjectBytes(*reopened->Scene()) == saved);
  // The document the program started with was never touched.
  EXPECT_TRUE(startup->Undo()->Empty());
}

}  // namespace
