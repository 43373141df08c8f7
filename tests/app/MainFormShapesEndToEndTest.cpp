// A user's rectangle sprite, end to end through the real main window: added by
// the Insert commands, chosen in the tree, edited on the shape page by typing,
// refused an oversized picture, undone to the empty scene, saved and reopened.
#include "tests/app/MainFormTreeFixture.h"

#include "app/core/SizeLimits.h"
#include "controls/My_SpinEdit.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"

namespace {

class MainFormShapesEndToEnd : public MainFormTreeTest {
 protected:
  static void Type(TSpinEdit* spin, const char* text) {
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, text);
  }
  // The Undo command as the user sees it: its caption without the
  // accelerator mark, and its hint.
  std::string UndoCaption() { return Form().Edit_Undo()->text().remove('&').toStdString(); }
  std::string UndoHint() { return Form().Edit_Undo()->toolTip().toStdString(); }
};

TEST_F(MainFormShapesEndToEnd, RectangleAddedEditedRefusedUndoneSavedAndReopened) {
  // The new, empty document the program starts with.
  TMainForm& form = StartShown();
  TAnimationWindow* document = form.ActiveAnimationWindow();
  ASSERT_NE(document, nullptr);
  ASSERT_EQ(form.MdiArea->subWindowList().size(), 1);
  EXPECT_TRUE(document->Undo()->Empty());
  TAnimatedScene& scene = *document->Scene();
  const std::string empty = ProjectBytes(scene);

  // Insert > Rectangle: "Sprite 1" with its nodes and a green 50 x 50 frame.
  form.Scene_Add_Rectangle->trigger();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 1);
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "Sprite 1"}));
  EXPECT_EQ(Captions(Node({"Sprite 1"})),
            (std::vector<std::string>{"Pos./Size/Speed", "Opacity", "Shadow", "Rectangle"}));
  TSprite& sprite = scene.Sprite(0);
  TFrame& rectangle = sprite.Frame(0);
  EXPECT_EQ(rectangle.ImageWidth, 50);
  EXPECT_EQ(rectangle.ImageHeight, 50);
  RestoreFrameImage(rectangle.Picture);
  EXPECT_EQ(rectangle.Picture.Width(), 50);
  EXPECT_EQ(rectangle.Picture.Height(), 50);
  EXPECT_EQ(rectangle.Picture.Pixel(0, 0) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(UndoCaption(), "Undo \"Add Sprite\"");
  EXPECT_EQ(UndoHint(), "Undo \"Add Sprite\"");

  // Insert > Ellipse frame for the sprite.
  form.Sprite_Add_Ellipse->trigger();
  Settle();
  ASSERT_EQ(sprite.FrameCount(), 2);
  TFrame& ellipse = sprite.Frame(1);
  EXPECT_EQ(ellipse.Kind, fkEllipse);
  EXPECT_EQ(Captions(Node({"Sprite 1"})),
            (std::vector<std::string>{"Pos./Size/Speed", "Opacity", "Shadow", "Rectangle", "Ellipse"}));
  EXPECT_EQ(UndoCaption(), "Undo \"Add Frame with Ellipse\"");
  EXPECT_EQ(UndoHint(), "Undo \"Add Frame with Ellipse\"");
  const int ellipseWidth = ellipse.ImageWidth;
  const int ellipseHeight = ellipse.ImageHeight;
  const std::size_t recordsBeforeEdits = UndoCaptions(*document->Undo()).size();

  // Choosing the rectangle fills the shape page and records nothing.
  ClickNode(Node({"Sprite 1", "Rectangle"}));
  EXPECT_EQ(Page(), TMainForm::ppFrame);
  EXPECT_EQ(form.NotebookFramePreview->currentIndex(), 2);
  EXPECT_EQ(form.RectWidth_Spin->Value(), 50);
  EXPECT_EQ(form.RectHeight_Spin->Value(), 50);
  EXPECT_EQ(UndoCaptions(*document->Undo()).size(), recordsBeforeEdits);
  EXPECT_EQ(UndoCaption(), "Undo \"Add Frame with Ellipse\"");

  // 80 then 90 typed before the redraw falls due: one change, a 90-pixel frame.
  Type(form.RectWidth_Spin, "80");
  Type(form.RectWidth_Spin, "90");
  EXPECT_TRUE(form.TimerRedrawShape.Enabled());
  // The ellipse chosen before the redraw: the edit stays the rectangle's.
  ClickNode(Node({"Sprite 1", "Ellipse"}));
  form.TimerRedrawShapeTimer();
  Settle();
  EXPECT_EQ(rectangle.ImageWidth, 90);
  EXPECT_EQ(rectangle.ImageHeight, 50);
  RestoreFrameImage(rectangle.Picture);
  EXPECT_EQ(rectangle.Picture.Width(), 90);
  EXPECT_EQ(ellipse.ImageWidth, ellipseWidth);
  EXPECT_EQ(ellipse.ImageHeight, ellipseHeight);
  EXPECT_EQ(UndoCaptions(*document->Undo()).size(), recordsBeforeEdits + 1);
  EXPECT_EQ(UndoCaption(), "Undo \"Change Shape\"");
  EXPECT_EQ(UndoHint(), "Undo \"Change Shape\"");
  // The page now shows the ellipse, not the rectangle's edit.
  EXPECT_EQ(form.RectWidth_Spin->Value(), ellipseWidth);

  // 10000 x 10000 is refused with a message; the rectangle keeps its size.
  ClickNode(Node({"Sprite 1", "Rectangle"}));
  Type(form.RectWidth_Spin, "10000");
  Type(form.RectHeight_Spin, "10000");
  form.TimerRedrawShapeTimer();
  Settle();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, SizeRefusedMessage(10000, 10000));
  EXPECT_EQ(rectangle.ImageWidth, 90);
  EXPECT_EQ(rectangle.ImageHeight, 50);
  EXPECT_EQ(UndoCaptions(*document->Undo()).size(), recordsBeforeEdits + 1);

  // Ctrl+Z back to the empty scene.
  int undos = 0;
  while (form.Edit_Undo()->isEnabled() && undos < 10) {
    CtrlKey(Qt::Key_Z);
    ++undos;
  }
  EXPECT_EQ(undos, 3);
  EXPECT_EQ(scene.SpriteCount(), 0);
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background"}));
  EXPECT_EQ(ProjectBytes(scene), empty);

  // A rectangle added and edited again, saved and reopened: the same project.
  ASSERT_EQ(form.ActiveAnimationWindow(), document);
  form.Scene_Add_Rectangle->trigger();
  Settle();
  ClickNode(Node({"Sprite 1", "Rectangle"}));
  Type(form.RectHeight_Spin, "30");
  form.TimerRedrawShapeTimer();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 1);
  EXPECT_EQ(scene.Sprite(0).Frame(0).ImageHeight, 30);
  const std::string path = data_.File("shapes.GLM");
  ui_.fileAnswers.push_back(FileDialogResult{path, 1, {path}});
  form.File_Save->trigger();
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
}

}  // namespace
