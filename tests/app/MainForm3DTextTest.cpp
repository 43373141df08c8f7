// The 3D text editor on the real main window: its page and controls, adding
// 3D text, edits that show at once and land in the frame after the pause
// with one undo entry, the animated states, texture, lights, dragging in the
// view and the animation preview.
#include "tests/app/MainFormFixture.h"
#include "tests/support/FindChild.h"

#include "app/AnimationWindowU.h"
#include "app/MainForm3DTextParts.h"
#include "app/core/Text3DEditorMath.h"
#include "controls/ColorPicker.h"
#include "controls/Image.h"
#include "controls/PopupWindow.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/My_SpinEdit.h"
#include "controls/QelViewHost.h"
#include "controls/RadioGroup.h"
#include "controls/TrackBar.h"
#include "controls/WPopOutFntCBox.h"
#include "platform/Clipboard.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/Undo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <set>

namespace {

class MainForm3DText : public MainFormTest {
 protected:
  TMainForm& StartWith3DText() {
    TMainForm& form = Start();
    ::Child<QStackedWidget>(form, "Notebook_Properties")->setCurrentIndex(ppFrame);
    ::Child<QStackedWidget>(form, "NotebookFramePreview")->setCurrentIndex(1);
    Command(form, "Scene_Add_3DText")->trigger();
    ::Child<QDockWidget>(form, "PanelProperties")->show();
    EXPECT_TRUE(Child<QWidget>("Panel_3DText")->isVisible());
    return form;
  }
  TText3DArea::T3DTextParts& Parts() { return Editor(Form()).Text3DEditor().Text3D(); }
  TAnimatedScene& Scene() { return *Editor(Form()).ActiveAnimationWindow()->Scene(); }
  TSprite& Sprite() { return Scene().Sprite(0); }
  TFrame& Frame(int index = 0) { return Sprite().Frame(index); }
  TWindowUndo& Undo() { return *Editor(Form()).ActiveAnimationWindow()->Undo(); }
  template <typename T>
  T* Child(const char* name) {
    T* child = Form().findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  // Replaces an edit's text by typing.
  static void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
  }
  // A click on a check box's or radio button's box (its left end).
  static void Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
  }
  void ShowTab(int index) { Child<QTabWidget>("PageControl_3DText")->setCurrentIndex(index); }
  void Tick() { Editor(Form()).Text3DEditor().Timer_3D_ChangedTimer(); }
  // The distinct colours of a picture.
  static std::size_t ColorCount(const TBitmap& picture) {
    std::set<TColor> colors;
    for (int y = 0; y < picture.Height(); y += 2) {
      for (int x = 0; x < picture.Width(); x += 2) colors.insert(picture.Pixel(x, y));
    }
    return colors.size();
  }
  static bool SamePicture(const TBitmap& a, const TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y) {
      for (int x = 0; x < a.Width(); ++x) {
        if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
      }
    }
    return true;
  }
  void Mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at) {
    QWidget* view = Parts().QelView1Host;
    QMouseEvent event(type, QPointF(at), view->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
  }
};

// ---- The page ----------------------------------------------------------------------------------------

TEST_F(MainForm3DText, PageStartsWithTheDesignsValues) {
  Start();
  EXPECT_EQ(Child<QLineEdit>("EditNewText")->text(), "Your Text Here");
  EXPECT_EQ(Child<TWPopOutFntCBox>("FontsList")->FontName(), "Arial");
  auto* depth = Child<QComboBox>("ComboBoxDepth");
  EXPECT_EQ(depth->count(), 40);
  auto* size = Child<QComboBox>("ComboBoxSize");
  ASSERT_EQ(size->count(), 70);
  EXPECT_EQ(size->itemText(0), "1");
  EXPECT_EQ(size->itemText(69), "70");
  EXPECT_EQ(size->currentText(), "40");
  auto* tabs = Child<QTabWidget>("PageControl_3DText");
  ASSERT_EQ(tabs->count(), 7);
  const QStringList names{"Text", "Lights", "Rotation", "Camera", "Material", "Texture", "3D Animation"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(tabs->tabText(i), names[i]);
  // The page lives on frame preview page 1.
  EXPECT_TRUE(::Child<QStackedWidget>(Form(), "NotebookFramePreview")->widget(1)->isAncestorOf(tabs));
  EXPECT_NE(Child<TQelViewHost>("QelView1"), nullptr);
}

TEST_F(MainForm3DText, BarsHaveTheDesignsRanges) {
  Start();
  const auto range = [this](const char* name, int min, int max) {
    auto* bar = Child<QScrollBar>(name);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->minimum(), min) << name;
    EXPECT_EQ(bar->maximum(), max) << name;
  };
  range("ScrollBarTextRotX", -180, 180);
  range("ScrollBarTextRotY", -180, 180);
  range("ScrollBarTextRotZ", -180, 180);
  range("ScrollBarCameraX", -1200, 1200);
  range("ScrollBarCameraY", -1200, 1200);
  range("ScrollBarMaterialShininess", 0, 100);
  range("ScrollBarTextureRotZ", -180, 180);
  range("ScrollBarTextureScaleX", 1, 2000);
  range("ScrollBarTextureScaleY", 1, 2000);
  range("Light_Rot_X", 0, 360);
  range("Light_Rot_Y", 0, 360);
  range("LightX", -1000, 1000);
  range("LightY", -1000, 1000);
  range("LightZ", -1000, 1000);
  auto* fov = Child<TTrackBar>("CameraFOVSpin");
  EXPECT_EQ(fov->Min(), 2);
  EXPECT_EQ(fov->Max(), 90);
  EXPECT_EQ(fov->Position(), 20);
  auto* frames = Child<TSpinEdit>("SpinEdit_3D_NumbOfFrames");
  EXPECT_EQ(frames->MinValue(), 1);
  EXPECT_EQ(frames->MaxValue(), 10000);
  EXPECT_EQ(frames->Value(), 15);
  EXPECT_EQ(Child<QCheckBox>("CheckBoxTexture")->text(), "&Texture Enabled");
  EXPECT_EQ(Child<QCheckBox>("CheckBoxAnimation")->text(), "&Animation Enabled");
  EXPECT_EQ(Child<QCheckBox>("CheckBox_3D_Looping")->text(), "&Looping");
  EXPECT_EQ(Child<TRadioGroup>("LightType")->Button(2)->text(), "&Off");
  EXPECT_EQ(Child<TRadioGroup>("RadioGroup_3D_Animation_Changes")->Button(1)->text(), "La&st Position");
}

TEST_F(MainForm3DText, TabsSetTheViewsCursorAndHint) {
  StartWith3DText();
  auto* view = Parts().QelView1Host;
  EXPECT_EQ(view->toolTip(),
            "To increase text size - press left mouse button. To shrink text - press right mouse button.");
  ShowTab(2);
  EXPECT_EQ(view->toolTip(),
            "To rotate around X or Y axises - drag with left mouse button. To rotate around Z axis - drag with right "
            "mouse button.");
  ShowTab(3);
  EXPECT_EQ(view->toolTip(), "Drag text to a desired position with left mouse button.");
  ShowTab(4);
  EXPECT_EQ(view->toolTip(), "");
}

// ---- Adding 3D text --------------------------------------------------------------------------------

TEST_F(MainForm3DText, NewSpriteHoldsARendered3DTextFrameThatOneUndoRemoves) {
  TMainForm& form = StartWith3DText();
  ASSERT_EQ(Scene().SpriteCount(), 1);
  ASSERT_EQ(Sprite().FrameCount(), 1);
  TFrame& frame = Frame();
  EXPECT_EQ(frame.Kind, fkText3D);
  EXPECT_EQ(frame.Picture.Width(), 230);
  EXPECT_EQ(frame.Picture.Height(), 80);
  EXPECT_GT(ColorCount(frame.Picture), 1u);
  EXPECT_EQ(frame.StartState.Text, "Text");
  EXPECT_EQ(frame.EndState, frame.StartState);
  // The editor shows the new frame: camera Z 3.0 as size 67, and loading
  // changes nothing and starts no pause.
  EXPECT_EQ(Child<QLineEdit>("EditNewText")->text(), "Text");
  EXPECT_EQ(Child<QComboBox>("ComboBoxSize")->currentText(), "67");
  EXPECT_EQ(Child<QComboBox>("ComboBoxDepth")->currentText(), "0.2");
  EXPECT_FALSE(Editor(form).Text3DEditor().Timer_3D_Changed().Enabled());
  EXPECT_FALSE(Editor(form).Text3DEditor().Text3DChangePending());
  EXPECT_EQ(frame.StartState.CameraPositionZ, 3.0);
  EXPECT_EQ(frame.StartState.Shininess, 25.0);
  EXPECT_EQ(Undo().Caption(), "Add Sprite");
  Undo().Undo();
  EXPECT_EQ(Scene().SpriteCount(), 0);
  EXPECT_TRUE(Undo().Empty());
}

TEST_F(MainForm3DText, FrameAddedToASpriteIsUndoneAlone) {
  TMainForm& form = StartWith3DText();
  EXPECT_EQ(Editor(form).Text3DEditor().Add3DTextFrameTo(Sprite()), 1);
  ASSERT_EQ(Sprite().FrameCount(), 2);
  EXPECT_GT(ColorCount(Frame(1).Picture), 1u);
  EXPECT_EQ(Editor(form).Text3DEditor().Text3DFrame(), &Frame(1));
  EXPECT_EQ(Undo().Caption(), "Add Text Frame");
  Undo().Undo();
  EXPECT_EQ(Sprite().FrameCount(), 1);
  EXPECT_EQ(Undo().Caption(), "Add Sprite");
}

TEST_F(MainForm3DText, NewSpriteCommandWithoutADocumentDoesNothing) {
  TMainForm& form = Start();
  Editor(form).ActiveAnimationWindow()->close();
  QApplication::processEvents();
  if (Editor(form).ActiveAnimationWindow() != nullptr) GTEST_SKIP() << "the document stays open";
  Editor(form).Text3DEditor().Scene_Add_3DTextExecute();
  EXPECT_EQ(Editor(form).CurrentScene()->SpriteCount(), 0);
}

// ---- Edits, the pause and undo ---------------------------------------------------------------------

TEST_F(MainForm3DText, TypingGivesOneChangeAfterThePauseAndUndoRestoresStateAndPicture) {
  TMainForm& form = StartWith3DText();
  TBitmap before;
  before.Assign(&Frame().Picture);
  const T3DTextState stateBefore = Frame().StartState;
  Type(Child<QLineEdit>("EditNewText"), "Hello");
  // The view shows it at once, the frame's states hold it, the picture waits.
  EXPECT_EQ(Parts().QelText1.Text(), "Hello");
  EXPECT_EQ(Frame().StartState.Text, "Hello");
  EXPECT_EQ(Frame().EndState.Text, "Hello");
  EXPECT_TRUE(Editor(form).Text3DEditor().Timer_3D_Changed().Enabled());
  EXPECT_EQ(Undo().Caption(), "Add Sprite");
  EXPECT_TRUE(SamePicture(Frame().Picture, before));

  Tick();
  EXPECT_FALSE(Editor(form).Text3DEditor().Timer_3D_Changed().Enabled());
  EXPECT_EQ(Undo().Caption(), "Change 3D Text");
  EXPECT_FALSE(SamePicture(Frame().Picture, before));
  // Values the controls show rounded stay exact.
  EXPECT_EQ(Frame().StartState.Shininess, 25.0);
  EXPECT_EQ(Frame().StartState.CameraPositionZ, 3.0);
  EXPECT_EQ(Frame().StartState.Lights[0].DirectionX, 0.2);
  EXPECT_EQ(Frame().StartState.Lights[0].DirectionZ, 1.0);

  Undo().Undo();
  EXPECT_EQ(Undo().Caption(), "Add Sprite");
  EXPECT_EQ(Frame().StartState, stateBefore);
  EXPECT_EQ(Frame().EndState.Text, "Text");
  EXPECT_TRUE(SamePicture(Frame().Picture, before));
}

TEST_F(MainForm3DText, ATickWithoutEditsRecordsNothing) {
  StartWith3DText();
  Type(Child<QLineEdit>("EditNewText"), "Hi");
  Tick();
  Tick();
  EXPECT_EQ(Undo().Caption(), "Change 3D Text");
  Undo().Undo();
  EXPECT_EQ(Undo().Caption(), "Add Sprite");
}

TEST_F(MainForm3DText, SizeSetsTheCameraAndOtherTextIsReplaced) {
  TMainForm& form = StartWith3DText();
  Child<QComboBox>("ComboBoxSize")->setFocus();
  Child<QComboBox>("ComboBoxSize")->lineEdit()->selectAll();
  QTest::keyClicks(Child<QComboBox>("ComboBoxSize")->lineEdit(), "70");
  EXPECT_DOUBLE_EQ(Editor(form).Text3DEditor().Text3DEditorState().CameraPositionZ, 70.001 - 70);
  EXPECT_NEAR(Parts().QelCamera1.Position().Z(), 0.001, 1e-6);
  Child<QComboBox>("ComboBoxSize")->setEditText("71");
  EXPECT_EQ(Child<QComboBox>("ComboBoxSize")->currentText(), "70");
  EXPECT_DOUBLE_EQ(Frame().StartState.CameraPositionZ, 70.001 - 70);
}

TEST_F(MainForm3DText, ConversionsOfTheBars) {
  TMainForm& form = StartWith3DText();
  ShowTab(4);
  Type(Child<QLineEdit>("EditMaterialShininess"), "50");
  EXPECT_EQ(Child<QScrollBar>("ScrollBarMaterialShininess")->value(), 50);
  EXPECT_EQ(Editor(form).Text3DEditor().Text3DEditorState().Shininess, 64.0);
  ShowTab(5);
  Click(Child<QCheckBox>("CheckBoxTexture"));
  ASSERT_TRUE(Child<QCheckBox>("CheckBoxTexture")->isChecked());
  Type(Child<QLineEdit>("EditTextureScaleX"), "250");
  EXPECT_DOUBLE_EQ(Editor(form).Text3DEditor().Text3DEditorState().TextureScaleX, 2.5);
  ShowTab(3);
  Type(Child<QLineEdit>("EditCameraX"), "-150");
  EXPECT_DOUBLE_EQ(Editor(form).Text3DEditor().Text3DEditorState().CameraPositionX, -1.5);
  // Other fields keep their exact values.
  EXPECT_EQ(Frame().StartState.CameraPositionZ, 3.0);
  EXPECT_EQ(Frame().StartState.ViewAngle, 20.0);
}

TEST_F(MainForm3DText, DepthParsesStrictly) {
  TMainForm& form = StartWith3DText();
  for (const char* text : {"abc", "nan", "inf", "1.5x"}) {
    Child<QComboBox>("ComboBoxDepth")->setEditText("1.5");
    EXPECT_DOUBLE_EQ(Editor(form).Text3DEditor().Text3DEditorState().Depth, 1.5);
    Child<QComboBox>("ComboBoxDepth")->setEditText(text);
    EXPECT_DOUBLE_EQ(Editor(form).Text3DEditor().Text3DEditorState().Depth, 0.1) << text;
    EXPECT_EQ(Child<QComboBox>("ComboBoxDepth")->currentText(), text);
  }
}

TEST_F(MainForm3DText, LongTextIsCutTo255Bytes) {
  TMainForm& form = StartWith3DText();
  Child<QLineEdit>("EditNewText")->setText(QString(300, 'x'));
  EXPECT_EQ(Editor(form).Text3DEditor().Text3DEditorState().Text.size(), 255u);
  EXPECT_EQ(Frame().StartState.Text.size(), 255u);
}

// ---- Animated states ----------------------------------------------------------------------------------

TEST_F(MainForm3DText, LastPositionRotationChangesOnlyTheEndStateAndTextBoth) {
  TMainForm& form = StartWith3DText();
  ShowTab(6);
  Click(Child<QCheckBox>("CheckBoxAnimation"));
  EXPECT_EQ(Frame().Animation3D, 1);
  EXPECT_EQ(Undo().Caption(), "Change 3D Text");
  Click(Child<TRadioGroup>("RadioGroup_3D_Animation_Changes")->Button(1));
  EXPECT_FALSE(Editor(form).Text3DEditor().Timer_3D_Changed().Enabled()) << "switching states records nothing";
  ShowTab(2);
  Type(Child<QLineEdit>("EditTextRotX"), "30");
  EXPECT_EQ(Child<QScrollBar>("ScrollBarTextRotX")->value(), 30);
  Tick();
  EXPECT_EQ(Frame().EndState.TextRotationX, 30.0);
  EXPECT_EQ(Frame().StartState.TextRotationX, 0.0);
  ShowTab(0);
  Type(Child<QLineEdit>("EditNewText"), "Both");
  Tick();
  EXPECT_EQ(Frame().StartState.Text, "Both");
  EXPECT_EQ(Frame().EndState.Text, "Both");
  EXPECT_EQ(Frame().EndState.TextRotationX, 30.0);
  EXPECT_EQ(Frame().StartState.TextRotationX, 0.0);
  // Back to the first position: its state shows, nothing is recorded.
  Undo().Undo();
  Undo().Undo();
  const std::string caption = Undo().Caption();
  Click(Child<TRadioGroup>("RadioGroup_3D_Animation_Changes")->Button(0));
  Click(Child<TRadioGroup>("RadioGroup_3D_Animation_Changes")->Button(1));
  EXPECT_EQ(Undo().Caption(), caption);
  EXPECT_FALSE(Editor(form).Text3DEditor().Timer_3D_Changed().Enabled());
}

TEST_F(MainForm3DText, PreviewOfFifteenSubFramesEndsOnTheLast) {
  TMainForm& form = StartWith3DText();
  ShowTab(6);
  Child<TSpinEdit>("SpinEdit_3D_NumbOfFrames")->SetValue(14);
  Child<TSpinEdit>("SpinEdit_3D_NumbOfFrames")->SetValue(15);
  EXPECT_EQ(Frame().SubFrameCount, 15);
  EXPECT_EQ(Frame().Animation3D, 1);
  Command(form, "Text3D_Animation_First")->trigger();
  EXPECT_EQ(Child<TDigitalDisplay>("DigitalDisplay_3D_Animation_Frame")->Caption(), "001");
  Command(form, "Text3D_Animation_Play")->trigger();
  EXPECT_TRUE(Editor(form).Text3DEditor().Timer3DAnimation().Enabled());
  EXPECT_TRUE(Command(form, "Text3D_Animation_Stop")->isEnabled());
  for (int i = 0; i < 20 && Editor(form).Text3DEditor().Timer3DAnimation().Enabled(); ++i)
    Editor(form).Text3DEditor().Timer3DAnimationTimer();
  EXPECT_FALSE(Editor(form).Text3DEditor().Timer3DAnimation().Enabled());
  EXPECT_EQ(Child<TDigitalDisplay>("DigitalDisplay_3D_Animation_Frame")->Caption(), "015");
  EXPECT_EQ(Child<TRadioGroup>("RadioGroup_3D_Animation_Changes")->ItemIndex(), 1);
  EXPECT_FALSE(Command(form, "Text3D_Animation_Stop")->isEnabled());
}

TEST_F(MainForm3DText, LoopingPreviewNeverGoesPastTheEndState) {
  TMainForm& form = StartWith3DText();
  ShowTab(6);
  Click(Child<QCheckBox>("CheckBox_3D_Looping"));
  Child<TSpinEdit>("SpinEdit_3D_NumbOfFrames")->SetValue(3);
  Frame().EndState.TextRotationX = 90;
  Command(form, "Text3D_Animation_First")->trigger();
  for (int i = 0; i < 7; ++i) {
    Editor(form).Text3DEditor().Timer3DAnimationTimer();
    EXPECT_LE(Parts().QelText1.Rotation().X(), 90.0f);
    EXPECT_GE(Parts().QelText1.Rotation().X(), 0.0f);
  }
  const std::string shown = Child<TDigitalDisplay>("DigitalDisplay_3D_Animation_Frame")->Caption();
  EXPECT_TRUE(shown == "001" || shown == "002" || shown == "003") << shown;
}

// ---- Texture -----------------------------------------------------------------------------------------

TEST_F(MainForm3DText, TextureFileBecomesAPowerOfTwoTexture) {
  TMainForm& form = StartWith3DText();
  TBitmap picture;
  picture.SetSize(300, 100);
  picture.Canvas().Brush().Color = 0x0000FF;
  picture.Canvas().FillRect(TRect(0, 0, 300, 100));
  const std::string file = data_.File("wood.bmp");
  picture.SaveToFile(file);
  ShowTab(5);
  FileDialogResult chosen;
  chosen.fileName = file;
  chosen.fileNames = {file};
  ui_.fileAnswers.push_back(chosen);
  Command(form, "Texture_Open")->trigger();
  EXPECT_EQ(Child<QLineEdit>("EditTextureFileName")->text().toStdString(), file);
  EXPECT_TRUE(Child<QCheckBox>("CheckBoxTexture")->isChecked());
  EXPECT_EQ(Parts().QelTexture1.Bitmap().Width(), 256);
  EXPECT_EQ(Parts().QelTexture1.Bitmap().Height(), 64);
  EXPECT_EQ(Frame().StartState.TextureFileName, file);
  EXPECT_EQ(Frame().StartState.TextureOn, 1.0);
  // Larger than its thumbnail: a click shows it in the preview window.
  forms_.Expect("PreviewForm").Answer(mrCancel);
  QTest::mouseClick(Child<TImage>("ImageTexture"), Qt::LeftButton);
  ASSERT_EQ(forms_.shown.size(), 1u);
  EXPECT_EQ(forms_.shown[0].caption.toStdString(), file);
  Tick();
  EXPECT_EQ(Undo().Caption(), "Change 3D Text");
  Undo().Undo();
  EXPECT_EQ(Frame().StartState.TextureOn, 0.0);
  EXPECT_EQ(Frame().StartState.TextureFileName, "");
}

TEST_F(MainForm3DText, PastedTextureHasNoFileNameAndIsCutToPowersOfTwo) {
  TMainForm& form = StartWith3DText();
  TBitmap picture;
  picture.SetSize(70, 33);
  Clipboard().SetBitmap(picture);
  ShowTab(5);
  Child<QLineEdit>("EditTextureFileName")->setText("old.bmp");
  Command(form, "Texture_Paste")->trigger();
  EXPECT_EQ(Child<QLineEdit>("EditTextureFileName")->text(), "");
  EXPECT_TRUE(Child<QCheckBox>("CheckBoxTexture")->isChecked());
  EXPECT_EQ(Parts().QelTexture1.Bitmap().Width(), 64);
  EXPECT_EQ(Parts().QelTexture1.Bitmap().Height(), 32);
  EXPECT_EQ(Frame().StartState.TextureFileName, "");
  EXPECT_EQ(Frame().StartState.TextureOn, 1.0);
}

// ---- Font and colours ----------------------------------------------------------------------------------

TEST_F(MainForm3DText, FontDialogSetsFontAndStyleOfBothStates) {
  TMainForm& form = StartWith3DText();
  FontDescription chosen;
  chosen.name = "Courier New";
  chosen.bold = true;
  chosen.charset = 0;
  ui_.fontAnswers.push_back(chosen);
  Command(form, "Font_FontDialog")->trigger();
  EXPECT_EQ(Frame().StartState.FontName, "Courier New");
  EXPECT_EQ(Frame().EndState.FontName, "Courier New");
  EXPECT_EQ(Frame().StartState.FontStyle & fsBold, fsBold);
  EXPECT_TRUE(Child<QToolButton>("Bold_TextButton")->isChecked());
  EXPECT_EQ(Parts().QelText1.Font().Name, "Courier New");
  Tick();
  EXPECT_EQ(Undo().Caption(), "Change 3D Text");
}

TEST_F(MainForm3DText, ChosenColoursGoToMaterialBackgroundAndLight) {
  TMainForm& form = StartWith3DText();
  ShowTab(4);
  QTest::mouseClick(Child<QPushButton>("Button_3DTextColor"), Qt::LeftButton);
  ASSERT_TRUE(Parts().ColorPicker->PopupVisible());
  Parts().ColorPicker->SetColor(0x00112233);
  Parts().ColorPicker->ClosePanel();
  EXPECT_EQ(StateColor(Frame().StartState.MaterialColor), TColor(0x00112233));
  EXPECT_EQ(ButtonColor(*Child<QPushButton>("LightMaterialColorButton")), TColor(0x00112233));
  QTest::mouseClick(Child<QPushButton>("Button_3DBackground"), Qt::LeftButton);
  Parts().ColorPicker->SetColor(0x00FFFFFF);
  Parts().ColorPicker->ClosePanel();
  EXPECT_EQ(StateColor(Frame().StartState.BackgroundColor), TColor(0x00FFFFFF));
  EXPECT_EQ(Parts().QelView1.BackgroundColor(), TColor(0x00FFFFFF));
  ShowTab(1);
  QTest::mouseClick(Child<QPushButton>("LightColorButton"), Qt::LeftButton);
  Parts().ColorPicker->SetColor(0x000000FF);
  Parts().ColorPicker->ClosePanel();
  EXPECT_EQ(StateColor(Frame().StartState.Lights[0].Color), TColor(0x000000FF));
  Tick();
  EXPECT_EQ(Undo().Caption(), "Change 3D Text");
  Undo().Undo();
  EXPECT_EQ(StateColor(Frame().StartState.MaterialColor), TColor(0x00CE6700));
  EXPECT_EQ(StateColor(Frame().StartState.Lights[0].Color), TColor(0x00808000));
  (void)form;
}

// ---- Saving ------------------------------------------------------------------------------------------

TEST_F(MainForm3DText, SavedAndReopenedProjectKeepsBothStates) {
  TMainForm& form = StartWith3DText();
  ShowTab(6);
  Click(Child<QCheckBox>("CheckBoxAnimation"));
  Click(Child<TRadioGroup>("RadioGroup_3D_Animation_Changes")->Button(1));
  ShowTab(2);
  Type(Child<QLineEdit>("EditTextRotY"), "-45");
  ShowTab(0);
  Type(Child<QLineEdit>("EditNewText"), "Saved");
  Tick();
  const T3DTextState start = Frame().StartState;
  const T3DTextState end = Frame().EndState;
  ASSERT_NE(start, end);
  const std::string path = data_.File("saved.GLM");
  FileDialogResult name;
  name.fileName = path;
  name.fileNames = {path};
  ui_.fileAnswers.push_back(name);
  TAnimationWindow* window = Editor(form).ActiveAnimationWindow();
  ASSERT_TRUE(window->Save());
  window->LoadFromFile(path);
  TFrame& reopened = window->Scene()->Sprite(0).Frame(0);
  EXPECT_EQ(reopened.StartState, start);
  EXPECT_EQ(reopened.EndState, end);
  EXPECT_EQ(reopened.Animation3D, 1);
}

// ---- Lights --------------------------------------------------------------------------------------------

TEST_F(MainForm3DText, LightBarsGiveTheDirection) {
  TMainForm& form = StartWith3DText();
  ShowTab(1);
  // Light 1's direction (0.2, 0.2, 1.0) shows as the rounded angles.
  EXPECT_EQ(Child<QScrollBar>("Light_Rot_X")->value(), 158);
  EXPECT_EQ(Child<QScrollBar>("Light_Rot_Y")->value(), 160);
  const auto direction = [&] { return Editor(form).Text3DEditor().Text3DEditorState().Lights[0]; };
  Type(Child<QLineEdit>("LightRotEditX"), "0");
  Type(Child<QLineEdit>("LightRotEditY"), "0");
  EXPECT_NEAR(direction().DirectionX, 0, 1e-9);
  EXPECT_NEAR(direction().DirectionY, 0, 1e-9);
  EXPECT_NEAR(direction().DirectionZ, 1, 1e-9);
  Type(Child<QLineEdit>("LightRotEditX"), "90");
  EXPECT_NEAR(direction().DirectionY, -0.5, 1e-9);
  EXPECT_NEAR(direction().DirectionZ, 0.5, 1e-9);
  Type(Child<QLineEdit>("LightRotEditX"), "0");
  Type(Child<QLineEdit>("LightRotEditY"), "90");
  EXPECT_NEAR(direction().DirectionX, 0.5, 1e-9);
  EXPECT_NEAR(direction().DirectionY, 0, 1e-9);
  EXPECT_NEAR(direction().DirectionZ, 0.5, 1e-9);
  EXPECT_NEAR(Frame().StartState.Lights[0].DirectionX, 0.5, 1e-9);
}

TEST_F(MainForm3DText, LightSwitchedOffAndBackToDirectIsStoredOn) {
  TMainForm& form = StartWith3DText();
  ShowTab(1);
  Click(Child<TRadioGroup>("LightType")->Button(ltOff));
  EXPECT_EQ(Frame().StartState.Lights[0].Enabled, 0);
  EXPECT_FALSE(Child<QPushButton>("LightColorButton")->isVisibleTo(Child<QWidget>("Panel_3DText")));
  Click(Child<TRadioGroup>("LightType")->Button(ltDirect));
  EXPECT_EQ(Frame().StartState.Lights[0].Enabled, 1);
  EXPECT_EQ(Frame().StartState.Lights[0].Kind, 1);
  EXPECT_EQ(Frame().EndState.Lights[0].Enabled, 1);
  Tick();
  EXPECT_EQ(Undo().Caption(), "Change 3D Text");
  EXPECT_TRUE(Parts().Lights[0].Enabled());
  (void)form;
}

TEST_F(MainForm3DText, SecondLightPageShowsItsOwnLight) {
  TMainForm& form = StartWith3DText();
  ShowTab(1);
  Child<QTabBar>("PageControl_Lights")->setCurrentIndex(1);
  EXPECT_EQ(Child<TRadioGroup>("LightType")->ItemIndex(), ltOff);
  Click(Child<TRadioGroup>("LightType")->Button(ltOmni));
  EXPECT_EQ(Frame().StartState.Lights[1].Enabled, 1);
  EXPECT_EQ(Frame().StartState.Lights[1].Kind, 0);
  Type(Child<QLineEdit>("LightEditX"), "-40");
  EXPECT_DOUBLE_EQ(Frame().StartState.Lights[1].PositionX, -0.4);
  // Light 1 was not touched.
  EXPECT_NEAR(Frame().StartState.Lights[0].DirectionX, 0.2, 1e-12);
  (void)form;
}

// ---- Dragging -------------------------------------------------------------------------------------------

TEST_F(MainForm3DText, DragOnTheRotationTabTurnsTheText) {
  TMainForm& form = StartWith3DText();
  ShowTab(2);
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {50, 30});
  Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {60, 35});
  EXPECT_EQ(Child<QScrollBar>("ScrollBarTextRotX")->value(), 5);
  EXPECT_EQ(Child<QScrollBar>("ScrollBarTextRotY")->value(), 10);
  EXPECT_EQ(Parts().QelText1.Rotation().X(), 5.0f);
  Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::RightButton, {60, 45});
  EXPECT_EQ(Child<QScrollBar>("ScrollBarTextRotZ")->value(), 0) << "two buttons held turn nothing";
  EXPECT_EQ(Child<QScrollBar>("ScrollBarTextRotX")->value(), 5);
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {60, 35});
  EXPECT_EQ(Frame().StartState.TextRotationX, 5.0);
  EXPECT_EQ(Frame().StartState.TextRotationY, 10.0);
  EXPECT_TRUE(Editor(form).Text3DEditor().Timer_3D_Changed().Enabled());
  Tick();
  EXPECT_EQ(Undo().Caption(), "Change 3D Text");
}

TEST_F(MainForm3DText, HoldingTheLeftButtonOnTheTextTabGrowsTheText) {
  TMainForm& form = StartWith3DText();
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {50, 30});
  EXPECT_TRUE(Editor(form).Text3DEditor().ZoomTimer().Enabled());
  Editor(form).Text3DEditor().ZoomTimerTimer();
  EXPECT_EQ(Child<QComboBox>("ComboBoxSize")->currentText(), "68");
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {50, 30});
  EXPECT_FALSE(Editor(form).Text3DEditor().ZoomTimer().Enabled());
  EXPECT_DOUBLE_EQ(Frame().StartState.CameraPositionZ, 70.001 - 68);
}

TEST_F(MainForm3DText, DragOnTheCameraTabMovesTheCamera) {
  TMainForm& form = StartWith3DText();
  ShowTab(3);
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {50, 30});
  Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {60, 35});
  EXPECT_EQ(Child<QScrollBar>("ScrollBarCameraX")->value(), -10);
  EXPECT_EQ(Child<QScrollBar>("ScrollBarCameraY")->value(), 5);
  EXPECT_EQ(Child<QLineEdit>("EditCameraX")->text(), "-10");
  EXPECT_NEAR(Parts().QelCamera1.Position().X(), -0.1, 1e-6);
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {60, 35});
  EXPECT_DOUBLE_EQ(Frame().StartState.CameraPositionX, -0.1);
  EXPECT_DOUBLE_EQ(Frame().StartState.CameraPositionY, 0.05);
  (void)form;
}

TEST_F(MainForm3DText, DraggingADirectionalLightTurnsIt) {
  TMainForm& form = StartWith3DText();
  ShowTab(1);
  const T3DLightState before = Frame().StartState.Lights[0];
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {50, 30});
  Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {70, 30});
  EXPECT_TRUE(Editor(form).Text3DEditor().TimerLightsRedraw().Enabled());
  Editor(form).Text3DEditor().TimerLightsRedrawTimer();
  EXPECT_FALSE(Editor(form).Text3DEditor().TimerLightsRedraw().Enabled());
  EXPECT_NE(Editor(form).Text3DEditor().Text3DEditorState().Lights[0].DirectionX, before.DirectionX);
  // Nothing is stored while the button is held.
  EXPECT_EQ(Frame().StartState.Lights[0], before);
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {70, 30});
  EXPECT_EQ(Frame().StartState.Lights[0].DirectionX, Editor(form).Text3DEditor().Text3DEditorState().Lights[0].DirectionX);
  EXPECT_EQ(Parts().Markers[0].Rotation.X, Child<QScrollBar>("Light_Rot_X")->value());
}

TEST_F(MainForm3DText, DraggingAPointLightMovesItAndItsMarkers) {
  TMainForm& form = StartWith3DText();
  ShowTab(1);
  Click(Child<TRadioGroup>("LightType")->Button(ltOmni));
  ASSERT_EQ(Frame().StartState.Lights[0].Kind, 0);
  EXPECT_TRUE(Parts().Markers[0].PointShown);
  const int height = Parts().QelView1Host->height();
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {10, 10});
  Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {10 + height / 2, 10});
  EXPECT_NEAR(Parts().Markers[0].Positions[0].X, (height / 2) / double(height) * 1.7, 1e-9);
  // Light 1 stands at (0, 0, -0.5): the marker below it follows.
  EXPECT_NEAR(Parts().Markers[0].Positions[1].Y, -0.1, 1e-9);
  EXPECT_NEAR(Parts().Markers[0].Positions[0].Z, -0.5, 1e-9);
  Editor(form).Text3DEditor().TimerLightsRedrawTimer();
  EXPECT_EQ(Child<QScrollBar>("LightX")->value(), Round(Parts().Markers[0].Positions[0].X * 100));
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {10 + height / 2, 10});
  EXPECT_DOUBLE_EQ(Frame().StartState.Lights[0].PositionX, Child<QScrollBar>("LightX")->value() / 100.0);
}

// ---- A pending change belongs to its frame ---------------------------------------------------------------

TEST_F(MainForm3DText, PendingChangeGoesToItsOwnFrame) {
  TMainForm& form = StartWith3DText();
  Editor(form).Text3DEditor().Add3DTextFrameTo(Sprite());
  Editor(form).Text3DEditor().Load3DTextFrame(Sprite(), 0);
  Type(Child<QLineEdit>("EditNewText"), "First");
  ASSERT_TRUE(Editor(form).Text3DEditor().Text3DChangePending());
  Editor(form).Text3DEditor().Load3DTextFrame(Sprite(), 1);
  EXPECT_FALSE(Editor(form).Text3DEditor().Text3DChangePending());
  EXPECT_EQ(Frame(0).StartState.Text, "First");
  EXPECT_EQ(Frame(1).StartState.Text, "Text");
  EXPECT_EQ(Undo().Caption(), "Change 3D Text");
  Tick();
  EXPECT_EQ(Frame(1).Kind, fkText3D);
  EXPECT_EQ(Child<QLineEdit>("EditNewText")->text(), "Text");
}

TEST_F(MainForm3DText, PendingChangeOfAnotherDocumentGoesToItsOwnLog) {
  TMainForm& form = StartWith3DText();
  TAnimationWindow* first = Editor(form).ActiveAnimationWindow();
  Type(Child<QLineEdit>("EditNewText"), "Mine");
  Editor(form).Files().File_NewExecute();
  QApplication::processEvents();
  TAnimationWindow* second = Editor(form).ActiveAnimationWindow();
  ASSERT_NE(second, first);
  // The editor no longer edits: the other document's frames are out of reach.
  EXPECT_EQ(Editor(form).Text3DEditor().Text3DFrame(), nullptr);
  Tick();
  EXPECT_EQ(first->Undo()->Caption(), "Change 3D Text");
  EXPECT_TRUE(second->Undo()->Empty());
  EXPECT_EQ(first->Scene()->Sprite(0).Frame(0).StartState.Text, "Mine");
  EXPECT_EQ(second->Scene()->SpriteCount(), 0);
}

TEST_F(MainForm3DText, SkipFlagSwallowsOneTick) {
  TMainForm& form = StartWith3DText();
  Type(Child<QLineEdit>("EditNewText"), "Skip");
  Editor(form).Text3DEditor().SetSkipNext3DRender(true);
  Tick();
  EXPECT_FALSE(Editor(form).Text3DEditor().SkipNext3DRender());
  EXPECT_EQ(Undo().Caption(), "Add Sprite");
  Editor(form).Text3DEditor().Timer_3D_Changed().SetEnabled(true);
  Tick();
  EXPECT_EQ(Undo().Caption(), "Change 3D Text");
  Undo().Undo();
  EXPECT_EQ(Frame().StartState.Text, "Text");
}

}  // namespace
