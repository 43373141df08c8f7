// A user adds a rectangle sprite, an ellipse frame and a text sprite through
// the real main window, edits them on their pages, is refused an oversized
// rectangle, saves and reopens the project and undoes everything.
#include "tests/app/MainFormFixture.h"

#include "app/AnimationWindowU.h"
#include "app/core/SizeLimits.h"
#include "controls/My_SpinEdit.h"
#include "tests/app/DocumentWindowFixture.h"

#include <QGroupBox>
#include <QMdiArea>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

namespace {

class MainFormShapesScenario : public MainFormTest {
 protected:
  static void Type(TSpinEdit* spin, const char* text) {
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, text);
  }
};

TEST_F(MainFormShapesScenario, AddEditRefuseSwitchSaveReopenAndUndoEverything) {
  TMainForm& form = Start();
  TAnimationWindow* document = form.ActiveAnimationWindow();
  ASSERT_NE(document, nullptr);
  TAnimatedScene& scene = *document->Scene();
  const std::string empty = ProjectBytes(scene);

  // Insert > Rectangle: "Sprite 1" with a green 50 x 50 frame.
  form.Scene_Add_Rectangle->trigger();
  ProcessMessages();
  ASSERT_EQ(scene.SpriteCount(), 1);
  TSprite& sprite = scene.Sprite(0);
  EXPECT_EQ(sprite.Name, "Sprite 1");
  TFrame& rectangle = sprite.Frame(0);
  RestoreFrameImage(rectangle.Picture);
  EXPECT_EQ(rectangle.Picture.Width(), 50);
  EXPECT_EQ(rectangle.Picture.Pixel(0, 0) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(form.Edit_Undo()->text(), QString("Undo \"Add Sprite\""));

  // A frame with an ellipse for the sprite.
  form.AddGeneratedFrame(sprite, nfkEllipse);
  ProcessMessages();
  TFrame& ellipse = sprite.Frame(1);
  EXPECT_EQ(form.Edit_Undo()->text(), QString("Undo \"Add Frame with Ellipse\""));

  // The rectangle's page: filling records nothing; 80 then 90 is one change.
  form.Notebook_Properties->setCurrentIndex(TMainForm::ppFrame);
  form.NotebookFramePreview->setCurrentIndex(2);
  form.FillShapePage(rectangle);
  EXPECT_EQ(form.Edit_Undo()->text(), QString("Undo \"Add Frame with Ellipse\""));
  Type(form.RectWidth_Spin, "80");
  Type(form.RectWidth_Spin, "90");
  // The ellipse is selected before the tick: the edit stays the rectangle's.
  form.FillShapePage(ellipse);
  form.TimerRedrawShapeTimer();
  EXPECT_EQ(rectangle.ImageWidth, 90);
  EXPECT_EQ(ellipse.ImageWidth, 100);
  EXPECT_EQ(form.Edit_Undo()->text(), QString("Undo \"Change Shape\""));
  RestoreFrameImage(rectangle.Picture);
  EXPECT_EQ(rectangle.Picture.Width(), 90);

  // 10000 x 10000 would save a project that cannot be read again.
  form.FillShapePage(rectangle);
  Type(form.RectWidth_Spin, "10000");
  Type(form.RectHeight_Spin, "10000");
  form.TimerRedrawShapeTimer();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, SizeRefusedMessage(10000, 10000));
  EXPECT_EQ(rectangle.ImageWidth, 90);
  EXPECT_EQ(rectangle.ImageHeight, 50);

  // A text frame switched to "Simple text" becomes plain text.
  const TAddedItem text = AddSpriteWithDefaultFrame(scene, nfkText3D);
  TFrame& textFrame = text.Sprite->Frame(0);
  form.NotebookFramePreview->setCurrentIndex(1);
  form.LoadSimpleTextPage(textFrame);
  QRadioButton* simple = form.RadioGroup_3DorSimpleText->findChildren<QRadioButton*>().at(1);
  QTest::mouseClick(simple, Qt::LeftButton, {}, QPoint(6, simple->height() / 2));
  EXPECT_EQ(textFrame.Kind, fkText);

  // Undo back to the empty scene.
  int undos = 0;
  while (!document->Undo()->Empty() && undos < 20) {
    document->Undo()->Undo();
    ++undos;
  }
  EXPECT_EQ(undos, 5);
  EXPECT_EQ(scene.SpriteCount(), 0);
  EXPECT_EQ(ProjectBytes(scene), empty);

  // A rectangle edited again, saved and reopened, is the same project.
  form.Scene_Add_Rectangle->trigger();
  ProcessMessages();
  form.NotebookFramePreview->setCurrentIndex(2);
  form.FillShapePage(scene.Sprite(0).Frame(0));
  Type(form.RectHeight_Spin, "30");
  form.TimerRedrawShapeTimer();
  const std::string path = data_.File("shapes.GLM");
  ui_.fileAnswers = {FileDialogResult{path, 1, {path}}};
  ASSERT_TRUE(document->Save());
  const std::string saved = ProjectBytes(scene);
  auto* reopened = new TAnimationWindow(form, form.MdiArea);
  reopened->LoadFromFile(path);
  ASSERT_EQ(reopened->Scene()->SpriteCount(), 1);
  EXPECT_EQ(reopened->Scene()->Sprite(0).Frame(0).ImageHeight, 30);
  EXPECT_TRUE(ProjectBytes(*reopened->Scene()) == saved);
}

}  // namespace
