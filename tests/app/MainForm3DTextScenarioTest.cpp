// A user adds 3D text through the real main window and shapes it: types a
// new text, undoes it, animates a rotation towards the last position,
// previews the animation, switches a light off and on again, loads a
// texture, switches between the two positions and saves and reopens the
// project.
#include "tests/app/MainFormTreeFixture.h"
#include "tests/support/FindChild.h"

#include "app/MainForm3DTextParts.h"
#include "app/core/Text3DEditorMath.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/My_SpinEdit.h"
#include "controls/QelViewHost.h"
#include "controls/RadioGroup.h"
#include "scene/Undo.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <set>

namespace {

class MainForm3DTextScenario : public MainFormTreeTest {
 protected:
  TText3DArea::T3DTextParts& Parts() { return Editor(Form()).Text3DEditor().Text3D(); }
  static void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
  }
  // A click on a radio button's or check box's box.
  static void Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
  }
  void ShowTab(int index) {
    QTabBar* tabs = ::Child<QTabWidget>(Form(), "PageControl_3DText")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(index).center());
    ASSERT_EQ(::Child<QTabWidget>(Form(), "PageControl_3DText")->currentIndex(), index);
  }
  // The pause after the last edit: the debounce timer is running and its tick fires.
  void Pause() {
    ASSERT_TRUE(Editor(Form()).Text3DEditor().Timer_3D_Changed().Enabled());
    EXPECT_EQ(Editor(Form()).Text3DEditor().Timer_3D_Changed().Interval(), 200);
    Editor(Form()).Text3DEditor().Timer_3D_ChangedTimer();
    Settle();
  }
  void Undo() {
    Command(Form(), "Edit_Undo")->trigger();
    Settle();
  }
  std::string UndoCaption() { return Editor(Form()).ActiveAnimationWindow()->Undo()->Caption(); }
  static std::size_t ColorCount(TBitmap& picture) {
    RestoreFrameImage(picture);
    std::set<TColor> colors;
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x) colors.insert(picture.Pixel(x, y));
    return colors.size();
  }
};

TEST_F(MainForm3DTextScenario, AddTypeUndoAnimateLightTextureSwitchSaveAndReopen) {
  TMainForm& form = StartShown();
  TAnimationWindow* document = Editor(form).ActiveAnimationWindow();
  ASSERT_NE(document, nullptr);
  TAnimatedScene& scene = *document->Scene();
  TText3DArea::T3DTextParts& parts = Parts();

  // Insert > 3D Text: a sprite with a kind-3, 230 x 80 frame whose picture
  // is rendered, selected in the tree as "Text"; one Undo removes it.
  Command(form, "Scene_Add_3DText")->trigger();
  Settle();
  EXPECT_FALSE(Editor(form).Shapes().AddInProgress());
  ASSERT_EQ(scene.SpriteCount(), 1);
  ASSERT_EQ(scene.Sprite(0).FrameCount(), 1);
  {
    TFrame& frame = scene.Sprite(0).Frame(0);
    EXPECT_EQ(frame.Kind, 3);
    EXPECT_EQ(frame.Picture.Width(), 230);
    EXPECT_EQ(frame.Picture.Height(), 80);
    EXPECT_GT(ColorCount(frame.Picture), 2u);
    ASSERT_NE(Tree().currentItem(), nullptr);
    EXPECT_EQ(Tree().currentItem()->text(0), "\"Text\"");
  }
  EXPECT_EQ(UndoCaption(), "Add Sprite");
  Undo();
  EXPECT_EQ(scene.SpriteCount(), 0);
  EXPECT_TRUE(document->Undo()->Empty());

  Command(form, "Scene_Add_3DText")->trigger();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 1);
  TFrame* frame = &scene.Sprite(0).Frame(0);
  // The view in its frame lies in the preview box, the tabs on the 3D page.
  EXPECT_TRUE(parts.QelView1Host->isVisible());
  EXPECT_EQ(parts.QelView1Host->size(), QSize(230, 80));
  EXPECT_EQ(parts.QelView1Host->parentWidget(), ::Child<QScrollArea>(form, "ScrollBox_3DText")->widget());
  EXPECT_TRUE(::Child<QTabWidget>(Form(), "PageControl_3DText")->isVisible());

  // "Hello" typed: the view shows it at once; one "Change 3D Text" after the
  // pause; Undo through the Edit command gives back "Text" and its picture.
  const std::string picture = PictureBytes(frame->Picture);
  Type(::Child<QLineEdit>(Form(), "EditNewText"), "Hello");
  EXPECT_EQ(parts.QelText1.Text(), "Hello");
  EXPECT_EQ(UndoCaption(), "Add Sprite");
  EXPECT_EQ(Tree().currentItem()->text(0), "\"Hello\"");
  Pause();
  frame = &scene.Sprite(0).Frame(0);
  EXPECT_EQ(UndoCaption(), "Change 3D Text");
  EXPECT_EQ(frame->StartState.Text, "Hello");
  EXPECT_NE(PictureBytes(frame->Picture), picture);
  Undo();
  frame = &scene.Sprite(0).Frame(0);
  EXPECT_EQ(UndoCaption(), "Add Sprite");
  EXPECT_EQ(frame->StartState.Text, "Text");
  EXPECT_EQ(frame->EndState.Text, "Text");
  EXPECT_EQ(PictureBytes(frame->Picture), picture);

  // The animation switched on; a rotation on "La&st Position" changes only
  // the end state.
  Tree().setCurrentItem(nullptr);
  Editor(Form()).Tree().SelectTreeNode(0, 2);
  Settle();
  ASSERT_EQ(Editor(form).Text3DEditor().Text3DFrame(), &scene.Sprite(0).Frame(0));
  ShowTab(6);
  EXPECT_FALSE(::Child<QToolButton>(Form(), "AnimationGalleryToolButton")->isEnabled());
  Click(::Child<QCheckBox>(Form(), "CheckBoxAnimation"));
  frame = &scene.Sprite(0).Frame(0);
  EXPECT_EQ(frame->Animation3D, 1);
  EXPECT_TRUE(::Child<QToolButton>(Form(), "AnimationGalleryToolButton")->isEnabled());
  Click(::Child<TRadioGroup>(Form(), "RadioGroup_3D_Animation_Changes")->Button(1));
  ShowTab(2);
  Type(::Child<QLineEdit>(Form(), "EditTextRotY"), "60");
  Pause();
  frame = &scene.Sprite(0).Frame(0);
  EXPECT_EQ(frame->EndState.TextRotationY, 60.0);
  EXPECT_EQ(frame->StartState.TextRotationY, 0.0);

  // The preview plays the 15 sub-frames and stops on the last position.
  ShowTab(6);
  ::Child<TSpinEdit>(Form(), "SpinEdit_3D_NumbOfFrames")->setFocus();
  ::Child<TSpinEdit>(Form(), "SpinEdit_3D_NumbOfFrames")->selectAll();
  QTest::keyClicks(::Child<TSpinEdit>(Form(), "SpinEdit_3D_NumbOfFrames"), "15");
  EXPECT_EQ(scene.Sprite(0).Frame(0).SubFrameCount, 15);
  Command(form, "Text3D_Animation_First")->trigger();
  Command(form, "Text3D_Animation_Play")->trigger();
  std::vector<float> turns;
  for (int i = 0; i < 30 && Editor(form).Text3DEditor().Timer3DAnimation().Enabled(); ++i) {
    Editor(form).Text3DEditor().Timer3DAnimationTimer();
    turns.push_back(parts.QelText1.Rotation().Y());
  }
  EXPECT_FALSE(Editor(form).Text3DEditor().Timer3DAnimation().Enabled());
  EXPECT_EQ(turns.size(), 14u);  // First showed sub-frame 1
  EXPECT_FLOAT_EQ(turns.back(), 60.0f);
  EXPECT_EQ(::Child<TDigitalDisplay>(Form(), "DigitalDisplay_3D_Animation_Frame")->Caption(), "015");
  EXPECT_EQ(::Child<TRadioGroup>(Form(), "RadioGroup_3D_Animation_Changes")->ItemIndex(), 1);

  // Light 1 switched off and back to "&Direct" is stored on; its lamp shows
  // on the Lights tab only.
  ShowTab(1);
  T3DLamp& lamp = parts.Lamps[0];
  EXPECT_TRUE(lamp.Body.Enabled());
  EXPECT_TRUE(lamp.Reflector.Enabled());
  EXPECT_FALSE(lamp.Bulb.Enabled());
  Click(::Child<TRadioGroup>(Form(), "LightType")->Button(ltOff));
  EXPECT_FALSE(lamp.Body.Enabled());
  Click(::Child<TRadioGroup>(Form(), "LightType")->Button(ltDirect));
  Pause();
  frame = &scene.Sprite(0).Frame(0);
  EXPECT_EQ(frame->StartState.Lights[0].Enabled, 1);
  EXPECT_EQ(frame->EndState.Lights[0].Enabled, 1);
  EXPECT_EQ(frame->EndState.Lights[0].Kind, 1);
  EXPECT_TRUE(lamp.Body.Enabled());
  // The tab hints: the Lights tab's hint under the pointer, none beside the tabs.
  QTabBar* tabs = ::Child<QTabWidget>(Form(), "PageControl_3DText")->tabBar();
  QMouseEvent move(QEvent::MouseMove, QPointF(tabs->tabRect(1).center()), QPointF(tabs->mapToGlobal(tabs->tabRect(1).center())),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(tabs, &move);
  std::string hint;
  TText3DArea::THintInfo info;
  info.HintControl = tabs;
  EXPECT_TRUE(Editor(form).Text3DEditor().AppShowHint(hint, info));
  EXPECT_EQ(hint, "Type, position and color of the three lights");
  EXPECT_EQ(info.HintMaxWidth, 200);
  EXPECT_EQ(info.ReshowTimeout, 500);
  ShowTab(2);
  EXPECT_FALSE(lamp.Body.Enabled());

  // A texture written by our BMP writer, chosen in the file chooser.
  TBitmap texture;
  texture.SetPixelFormat(pf24bit);
  texture.SetSize(300, 100);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 300; ++x) texture.SetPixel(x, y, (x / 10 + y / 10) % 2 ? clRed : clYellow);
  const std::string textureFile = data_.File("stripes.bmp");
  texture.SaveToFile(textureFile);
  ShowTab(5);
  ui_.fileAnswers.push_back(FileDialogResult{textureFile, 1, {textureFile}});
  Command(form, "Texture_Open")->trigger();
  EXPECT_EQ(parts.QelTexture1.Bitmap().Width(), 256);
  EXPECT_EQ(parts.QelTexture1.Bitmap().Height(), 64);
  EXPECT_TRUE(::Child<QCheckBox>(Form(), "CheckBoxTexture")->isChecked());
  Pause();
  frame = &scene.Sprite(0).Frame(0);
  EXPECT_EQ(frame->StartState.TextureFileName, textureFile);
  EXPECT_EQ(frame->EndState.TextureOn, 1.0);

  // Switching between the first and the last position records nothing.
  ShowTab(6);
  const std::string before = UndoCaption();
  const std::int64_t records = document->Undo()->Log().Size();
  Click(::Child<TRadioGroup>(Form(), "RadioGroup_3D_Animation_Changes")->Button(0));
  EXPECT_EQ(::Child<QScrollBar>(Form(), "ScrollBarTextRotY")->value(), 0);
  Click(::Child<TRadioGroup>(Form(), "RadioGroup_3D_Animation_Changes")->Button(1));
  EXPECT_EQ(::Child<QScrollBar>(Form(), "ScrollBarTextRotY")->value(), 60);
  EXPECT_FALSE(Editor(form).Text3DEditor().Timer_3D_Changed().Enabled());
  EXPECT_EQ(UndoCaption(), before);
  EXPECT_EQ(document->Undo()->Log().Size(), records);

  // Saved and reopened, the project keeps both states.
  const T3DTextState start = scene.Sprite(0).Frame(0).StartState;
  const T3DTextState end = scene.Sprite(0).Frame(0).EndState;
  const std::string path = data_.File("text3d.GLM");
  ui_.fileAnswers.push_back(FileDialogResult{path, 1, {path}});
  ASSERT_TRUE(document->Save());
  TAnimationWindow* reopened = OpenThroughCommand(path);
  ASSERT_NE(reopened, nullptr);
  ASSERT_NE(reopened, document);
  ASSERT_EQ(reopened->Scene()->SpriteCount(), 1);
  const TFrame& read = reopened->Scene()->Sprite(0).Frame(0);
  EXPECT_EQ(read.StartState, start);
  EXPECT_EQ(read.EndState, end);
  EXPECT_EQ(read.Animation3D, 1);
  EXPECT_EQ(read.SubFrameCount, 15);
}

}  // namespace
