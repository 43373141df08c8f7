// Adding rectangle, ellipse and line sprites and frames through the real main
// window, and its shape, line and plain-text pages and the motion panel's
// size, opacity and shadow controls driven by real events.
#include "tests/app/MainFormShapesFixture.h"
#include "tests/support/FindChild.h"

#include "app/AnimationWindowU.h"
#include "app/core/SizeLimits.h"
#include "controls/Bitmpbtn.h"
#include "controls/ColorPicker.h"
#include "controls/My_SpinEdit.h"
#include "controls/PopupWindow.h"
#include "controls/TrackBar.h"
#include "controls/WPopOutFntCBox.h"
#include "controls/mKnob.h"
#include "tests/app/DocumentWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QMdiArea>
#include <QComboBox>
#include <QCursor>
#include <QMenu>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

namespace {

class MainFormShapes : public MainFormShapesTest {
 protected:
  void SetUp() override {
    Start();
    document = Editor(Form()).ActiveAnimationWindow();
    ASSERT_NE(document, nullptr);
    scene = document->Scene();
  }

  // Shows a frame preview page or a motion sub-page, so its controls are laid out for the mouse.
  void ShowFramePage(int page) {
    Child<QStackedWidget>(Form(), "Notebook_Properties")->setCurrentIndex(ppFrame);
    Child<QStackedWidget>(Form(), "NotebookFramePreview")->setCurrentIndex(page);
  }
  void ShowMotionPage(int page) {
    Child<QStackedWidget>(Form(), "Notebook_Properties")->setCurrentIndex(ppMotion);
    Child<QStackedWidget>(Form(), "Notebook_Size_Opacity")->setCurrentIndex(page);
  }

  TSprite& LastSprite() { return scene->Sprite(scene->SpriteCount() - 1); }
  // Selects a sprite's first frame in the scene tree, as a click on its node does.
  void SelectFirstFrameOf(TSprite& sprite) {
    Editor(Form()).Tree().RebuildAnimationTree();
    for (int i = 0; i < scene->SpriteCount(); ++i)
      if (&scene->Sprite(i) == &sprite) Editor(Form()).Tree().SelectTreeNode(i, 2);
    ProcessMessages();
  }
  // A new sprite with the kind's frame, added as the Insert command adds it.
  TFrame& AddSprite(TNewFrameKind kind) {
    EXPECT_TRUE(Editor(Form()).Shapes().AddSpriteWithGeneratedFrame(kind));
    ProcessMessages();
    return LastSprite().Frame(0);
  }
  std::vector<std::string> Captions() { return UndoCaptions(*document->Undo()); }
  using MainFormShapesTest::Captions;

  TAnimationWindow* document = nullptr;
  TAnimatedScene* scene = nullptr;
};

constexpr TColor kGreen = 0x0000FF00;

// ---- Adding sprites and frames -----------------------------------------------------------------

TEST_F(MainFormShapes, TheAddCommandsAreConnectedWithTheirCaptions) {
  TMainForm& form = Form();
  for (QAction* command : {Command(form, "Scene_Add_Rectangle"), Command(form, "Scene_Add_Ellipse"), Command(form, "Scene_Add_Line"),
                           Command(form, "Sprite_Add_Rectangle"), Command(form, "Sprite_Add_Ellipse"), Command(form, "Sprite_Add_Line")})
    EXPECT_TRUE(Editor(form).Commands().HasCommandHandler(command)) << command->objectName().toStdString();
  EXPECT_EQ(Command(form, "Scene_Add_Rectangle")->text(), "&Rectangle");
  EXPECT_EQ(Command(form, "Scene_Add_Ellipse")->statusTip(), "Add new sprite with ellipse to scene");
  EXPECT_EQ(Command(form, "Sprite_Add_Line")->text(), "Frame with &Line");
  EXPECT_EQ(Command(form, "Sprite_Add_Rectangle")->statusTip(), "Add new frame with rectangle to the sprite");
  EXPECT_EQ(Child<QToolButton>(form, "ToolButton_Add_Rect")->popupMode(), QToolButton::DelayedPopup);
}

TEST_F(MainFormShapes, TheAddingButtonsDropTheirMenusAtTheMouse) {
  TMainForm& form = Form();
  QTest::mouseClick(Child<QToolButton>(form, "ToolButton_Add_Line"), Qt::LeftButton);
  ASSERT_TRUE(Child<QMenu>(form, "PopupMenu_AddLine")->isVisible());
  EXPECT_EQ(Child<QMenu>(form, "PopupMenu_AddLine")->actions(), (QList<QAction*>{Command(form, "Scene_Add_Line"), Command(form, "Sprite_Add_Line")}));
  EXPECT_TRUE(Child<QMenu>(form, "PopupMenu_AddLine")->geometry().contains(QCursor::pos()) ||
              Child<QMenu>(form, "PopupMenu_AddLine")->pos() == QCursor::pos());
  Child<QMenu>(form, "PopupMenu_AddLine")->hide();
}

TEST_F(MainFormShapes, InsertRectangleMakesSprite1WithAGreenBoxAndOneAddSpriteRecord) {
  TMainForm& form = Form();
  Command(form, "Scene_Add_Rectangle")->trigger();
  // The add stays in progress until its message selects the new frame.
  EXPECT_TRUE(Editor(form).Shapes().AddInProgress());
  ProcessMessages();
  EXPECT_FALSE(Editor(form).Shapes().AddInProgress());

  ASSERT_EQ(scene->SpriteCount(), 1);
  TSprite& sprite = scene->Sprite(0);
  EXPECT_EQ(sprite.Name, "Sprite 1");
  ASSERT_EQ(sprite.FrameCount(), 1);
  TFrame& frame = sprite.Frame(0);
  EXPECT_EQ(frame.Kind, fkRectangle);
  EXPECT_EQ(frame.ImageWidth, 50);
  RestoreFrameImage(frame.Picture);
  EXPECT_EQ(frame.Picture.Pixel(25, 25) & 0xFFFFFF, 0x00FF00u);
  ASSERT_EQ(sprite.Motion().StepCount(), 1);
  EXPECT_EQ(sprite.Motion().Step(0).Duration, 9);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Add Sprite"});
  EXPECT_EQ(Command(form, "Edit_Undo")->text(), QString("Undo \"Add Sprite\""));

  document->Undo()->Undo();
  EXPECT_EQ(scene->SpriteCount(), 0);
  EXPECT_TRUE(document->Undo()->Empty());
}

TEST_F(MainFormShapes, InsertEllipseAndLineGiveTheirFramesInNewSprites) {
  TFrame& ellipse = AddSprite(nfkEllipse);
  EXPECT_EQ(ellipse.Kind, fkEllipse);
  EXPECT_TRUE(ellipse.Transparent());
  TFrame& line = AddSprite(nfkLine);
  EXPECT_EQ(line.Kind, fkLine);
  RestoreFrameImage(line.Picture);
  EXPECT_EQ(line.Picture.Width(), 42);
  EXPECT_EQ(line.Picture.Height(), 42);
  EXPECT_EQ(LastSprite().Name, "Sprite 2");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Add Sprite", "Add Sprite"}));
}

TEST_F(MainFormShapes, AFrameAddedToASpriteIsUndoneAloneAndKeepsItsSteps) {
  AddSprite(nfkRectangle);
  TSprite& sprite = LastSprite();
  sprite.Motion().AddStep();
  const int steps = sprite.Motion().StepCount();
  Editor(Form()).Shapes().AddGeneratedFrame(sprite, nfkEllipse);
  ProcessMessages();
  ASSERT_EQ(sprite.FrameCount(), 2);
  EXPECT_EQ(sprite.Frame(1).Kind, fkEllipse);
  EXPECT_EQ(sprite.Motion().StepCount(), steps);
  // The new frame, not the first one, is selected and shown.
  EXPECT_EQ(Editor(Form()).CurrentFrame(), &sprite.Frame(1));
  EXPECT_EQ(Command(Form(), "Edit_Undo")->text(), QString("Undo \"Add Frame with Ellipse\""));
  document->Undo()->Undo();
  EXPECT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(sprite.Frame(0).Kind, fkRectangle);
}

TEST_F(MainFormShapes, AFrameAddedToASpriteWithoutFramesOrStepsGetsOneStepAndItsOwnRecord) {
  int index = 0;
  TSprite* sprite = scene->AddSprite(index);
  Editor(Form()).Shapes().AddGeneratedFrame(*sprite, nfkRectangle);
  ProcessMessages();
  EXPECT_EQ(sprite->FrameCount(), 1);
  EXPECT_EQ(sprite->Motion().StepCount(), 1);
  // The sprite was not made by this command: the frame has its own record.
  EXPECT_EQ(Command(Form(), "Edit_Undo")->text(), QString("Undo \"Add Frame with Rectangle\""));
  document->Undo()->Undo();
  ASSERT_EQ(scene->SpriteCount(), 1);
  EXPECT_EQ(scene->Sprite(0).FrameCount(), 0);
  EXPECT_EQ(scene->Sprite(0).Motion().StepCount(), 0);
}

TEST_F(MainFormShapes, WithoutACurrentSpriteTheFrameCommandsDoNothing) {
  AddSprite(nfkRectangle);
  ASSERT_EQ(Editor(Form()).CurrentSprite(), &LastSprite());
  // Choosing the scene's root leaves no sprite current.
  Editor(Form()).Tree().SelectTreeNode(-1, 0);
  ProcessMessages();
  ASSERT_EQ(Editor(Form()).CurrentSprite(), nullptr);
  EXPECT_FALSE(Command(Form(), "Sprite_Add_Rectangle")->isEnabled());
  EXPECT_FALSE(Command(Form(), "Sprite_Add_Line")->isEnabled());
  const auto before = Captions();
  Command(Form(), "Sprite_Add_Rectangle")->trigger();
  Command(Form(), "Sprite_Add_Line")->trigger();
  ProcessMessages();
  EXPECT_EQ(LastSprite().FrameCount(), 1);
  EXPECT_EQ(Captions(), before);
  EXPECT_FALSE(Editor(Form()).Shapes().AddInProgress());
}

TEST_F(MainFormShapes, AnAddPutsOnlyTheNewNodesIntoTheTree) {
  AddSprite(nfkRectangle);
  // The nodes there before are kept as they are: marked here, they keep the mark.
  constexpr int kMark = Qt::UserRole + 100;
  for (QTreeWidgetItem* node : {Node({"Sprite 1"}), Node({"Sprite 1", "Rectangle"})}) {
    const QSignalBlocker quiet(Tree());
    node->setData(0, kMark, true);
  }
  AddSprite(nfkLine);
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "Sprite 2", "Sprite 1"}));
  EXPECT_TRUE(Node({"Sprite 1"})->data(0, kMark).toBool());
  Editor(Form()).Tree().SelectTreeNode(0, 2);
  Command(Form(), "Sprite_Add_Ellipse")->trigger();
  ProcessMessages();
  EXPECT_TRUE(Node({"Sprite 1", "Rectangle"})->data(0, kMark).toBool());
  EXPECT_EQ(Captions(Node({"Sprite 1"})),
            (std::vector<std::string>{"Pos./Size/Speed", "Opacity", "Shadow", "Rectangle", "Ellipse"}));
  EXPECT_EQ(Tree().currentItem(), Node({"Sprite 1", "Ellipse"}));

  // A sprite that gets its first step with the frame shows its motion too.
  scene->Sprite(0).Motion().DeleteStep(0);
  Command(Form(), "Sprite_Add_Line")->trigger();
  ProcessMessages();
  EXPECT_EQ(Captions(Node({"Sprite 1"})),
            (std::vector<std::string>{"Pos./Size/Speed", "Opacity", "Shadow", "Rectangle", "Ellipse", "Line"}));
  EXPECT_EQ(Tree().currentItem(), Node({"Sprite 1", "Line"}));
}

// A sprite whose shapes cannot be made (as when memory runs out).
class TFailingSprite : public TSprite {
 public:
  using TSprite::TSprite;
  int AddShape(std::int32_t, std::int32_t, std::int32_t, const TShapeParams&, bool, TColor) override {
    throw Exception("Out of memory");
  }
};

TEST_F(MainFormShapes, AFailingAddClearsTheAddFlagAndLeavesTheSpriteAsItWas) {
  TMainForm& form = Form();
  AddSprite(nfkLine);
  scene->InsertSprite(scene->SpriteCount(), std::make_unique<TFailingSprite>(scene));
  TSprite& sprite = LastSprite();
  const auto before = Captions();
  EXPECT_THROW(Editor(form).Shapes().AddGeneratedFrame(sprite, nfkRectangle), Exception);
  EXPECT_FALSE(Editor(form).Shapes().AddInProgress());
  EXPECT_EQ(sprite.FrameCount(), 0);
  EXPECT_EQ(sprite.Motion().StepCount(), 0);
  EXPECT_EQ(Captions(), before);
  // Later adds and edits work as ever.
  TFrame& rectangle = AddSprite(nfkRectangle);
  Editor(form).Shapes().FillShapePage(rectangle);
  Type(Child<TSpinEdit>(form, "RectWidth_Spin"), "60");
  Editor(form).Shapes().TimerRedrawShapeTimer();
  EXPECT_EQ(rectangle.ImageWidth, 60);
}

class MainFormShapesNoDocument : public MainFormTest {};

TEST_F(MainFormShapesNoDocument, WithoutADocumentTheSpriteCommandsDoNothing) {
  TMainForm& form = Create();
  ASSERT_EQ(Editor(form).ActiveAnimationWindow(), nullptr);
  EXPECT_FALSE(Editor(form).Shapes().AddSpriteWithGeneratedFrame(nfkRectangle));
  Command(form, "Scene_Add_Ellipse")->trigger();
  EXPECT_EQ(Editor(form).PlaceholderScene()->SpriteCount(), 0);
  EXPECT_FALSE(Editor(form).Shapes().AddInProgress());
}

// ---- Two documents -------------------------------------------------------------------------------

class MainFormShapesTwoDocuments : public MainFormShapesTest {
 protected:
  // The start-up document and a new one (the active one) with a rectangle
  // sprite whose frame is chosen in the tree.
  void SetUp() override {
    StartShown();
    first = Editor(Form()).ActiveAnimationWindow();
    Command(Form(), "File_New")->trigger();
    Settle();
    second = Editor(Form()).ActiveAnimationWindow();
    ASSERT_NE(first, second);
    Command(Form(), "Scene_Add_Rectangle")->trigger();
    Settle();
    ClickNode(Node({"Sprite 1", "Rectangle"}));
  }
  TAnimationWindow* first = nullptr;
  TAnimationWindow* second = nullptr;
};

TEST_F(MainFormShapesTwoDocuments, UndoWithTheFocusInAShapeSpinStaysInItsDocument) {
  TMainForm& form = Form();
  Child<TSpinEdit>(form, "RectWidth_Spin")->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), Child<TSpinEdit>(form, "RectWidth_Spin"));
  // The Undo switches to the scene's page, which hides the spin.
  CtrlKey(Qt::Key_Z);
  EXPECT_EQ(Editor(form).ActiveAnimationWindow(), second);
  EXPECT_EQ(Child<QMdiArea>(form, "MdiArea")->activeSubWindow(), second);
  EXPECT_EQ(second->Scene()->SpriteCount(), 0);
  EXPECT_TRUE(second->Undo()->Empty());
  EXPECT_TRUE(first->Undo()->Empty());
  EXPECT_FALSE(first->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(MainFormShapesTwoDocuments, APendingEditGoesToItsOwnDocumentWhenAnotherIsActivated) {
  TMainForm& form = Form();
  TFrame& rectangle = second->Scene()->Sprite(0).Frame(0);
  Type(Child<TSpinEdit>(form, "RectWidth_Spin"), "70");
  Child<QMdiArea>(form, "MdiArea")->setActiveSubWindow(first);
  Settle();
  ASSERT_EQ(Editor(form).ActiveAnimationWindow(), first);
  Editor(form).Shapes().TimerRedrawShapeTimer();
  EXPECT_EQ(rectangle.ImageWidth, 70);
  EXPECT_EQ(UndoCaptions(*second->Undo()), (std::vector<std::string>{"Add Sprite", "Change Shape"}));
  EXPECT_TRUE(first->Undo()->Empty());
  // The Undo command still tells of the active document.
  EXPECT_FALSE(Command(form, "Edit_Undo")->isEnabled());
}

// ---- Shape page -------------------------------------------------------------------------------------

TEST_F(MainFormShapes, TheShapePageHasTheDesignsRangesHintsAndItems) {
  TMainForm& form = Form();
  for (TSpinEdit* spin : {Child<TSpinEdit>(form, "RectWidth_Spin"), Child<TSpinEdit>(form, "RectHeight_Spin")}) {
    EXPECT_EQ(spin->MinValue(), 1);
    EXPECT_EQ(spin->MaxValue(), 10000);
  }
  for (TSpinEdit* spin : {Child<TSpinEdit>(form, "BevelDepth_Spin"), Child<TSpinEdit>(form, "OutlineWidth_Spin"),
                          Child<TSpinEdit>(form, "RoundedCorners_Spin")}) {
    EXPECT_EQ(spin->MinValue(), 0);
    EXPECT_EQ(spin->MaxValue(), 10000);
  }
  EXPECT_EQ(Child<TSpinEdit>(form, "FillingAngle")->MaxValue(), 360);
  EXPECT_EQ(Child<TmKnob>(form, "FillingAngle_Knob")->Max(), 360);
  EXPECT_EQ(Child<QToolButton>(form, "FontainFill_ToolButton")->toolTip(), "Fountain Fill");
  EXPECT_EQ(Child<QToolButton>(form, "FontainFill_ToolButton")->statusTip(),
            "Fountain fill causes two colors to flow into each other smoothly");
  EXPECT_EQ(Child<QToolButton>(form, "SolidBevel_Button")->toolTip(), "Solid bevel");
  EXPECT_EQ(Child<QToolButton>(form, "FountainBevel_Button")->toolTip(), "Fountain filled bevel");
  EXPECT_EQ(Child<QGroupBox>(form, "ShapeType_Radio")->title(), " Shape: ");
  EXPECT_EQ(Item(Child<QGroupBox>(form, "ShapeType_Radio"), 0)->text(), "&Rectangle");
  EXPECT_EQ(Item(Child<QGroupBox>(form, "ShapeType_Radio"), 1)->text(), "R&ounded Rectangle");
  EXPECT_EQ(Child<QCheckBox>(form, "RectangleSameFillColor_CheckBox")->text(), "Same");
  EXPECT_TRUE(Child<QStackedWidget>(form, "NotebookFramePreview")
                  ->widget(2)
                  ->isAncestorOf(Child<TSpinEdit>(form, "RectWidth_Spin")));
  EXPECT_TRUE(Child<QStackedWidget>(form, "NotebookFramePreview")
                  ->widget(3)
                  ->isAncestorOf(Child<TSpinEdit>(form, "LineWidthSpin")));
}

TEST_F(MainFormShapes, FillingTheShapePageRecordsAndRendersNothing) {
  TMainForm& form = Form();
  TFrame& frame = AddSprite(nfkRectangle);
  const auto before = Captions();
  Editor(form).Shapes().FillShapePage(frame);
  EXPECT_EQ(Child<TSpinEdit>(form, "RectWidth_Spin")->Value(), 50);
  EXPECT_EQ(Child<TSpinEdit>(form, "RectHeight_Spin")->Value(), 50);
  EXPECT_EQ(Child<TSpinEdit>(form, "FillingAngle")->Value(), 90);
  EXPECT_EQ(Child<TmKnob>(form, "FillingAngle_Knob")->Position(), 90);
  EXPECT_EQ(Child<TBitmapButton>(form, "FillingFrom_Button")->ButtonColor(), kGreen);
  EXPECT_EQ(Child<TBitmapButton>(form, "FillingBackground_Button")->ButtonColor(), clWhite);
  EXPECT_EQ(Child<TBitmapButton>(form, "BevelShadow_Button")->ButtonColor(), 0x00808080u);
  EXPECT_TRUE(Child<QToolButton>(form, "FontainFill_ToolButton")->isChecked());
  EXPECT_TRUE(Child<QToolButton>(form, "SolidBevel_Button")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>(form, "RectangleSameFillColor_CheckBox")->isChecked());
  EXPECT_FALSE(Child<TBitmapButton>(form, "FillingTo_Button")->isEnabled());
  EXPECT_EQ(Editor(form).Shapes().ShapeTypeIndex(), 0);
  EXPECT_FALSE(Child<QGroupBox>(form, "ShapeType_Radio")->isHidden());
  EXPECT_TRUE(Child<QWidget>(form, "Panel_WidthRoundedCorners")->isHidden());
  EXPECT_FALSE(Editor(form).Shapes().TimerRedrawShape().Enabled());
  EXPECT_EQ(Captions(), before);

  // An ellipse hides the rectangle's own controls.
  TFrame& ellipse = AddSprite(nfkEllipse);
  Editor(form).Shapes().FillShapePage(ellipse);
  EXPECT_TRUE(Child<QGroupBox>(form, "ShapeType_Radio")->isHidden());
  EXPECT_TRUE(Child<QWidget>(form, "ToolBar_BevelType")->isHidden());
  EXPECT_TRUE(Child<QToolButton>(form, "FountainBevel_Button")->isChecked());
  EXPECT_FALSE(Editor(form).Shapes().TimerRedrawShape().Enabled());
}

TEST_F(MainFormShapes, QuickEditsOfTheWidthGiveOneChangeShape) {
  TMainForm& form = Form();
  TFrame& frame = AddSprite(nfkRectangle);
  Editor(form).Shapes().FillShapePage(frame);
  Type(Child<TSpinEdit>(form, "RectWidth_Spin"), "80");
  Type(Child<TSpinEdit>(form, "RectWidth_Spin"), "90");
  EXPECT_TRUE(Editor(form).Shapes().TimerRedrawShape().Enabled());
  EXPECT_EQ(Editor(form).Shapes().TimerRedrawShape().Interval(), 200);
  Editor(form).Shapes().TimerRedrawShapeTimer();
  EXPECT_FALSE(Editor(form).Shapes().TimerRedrawShape().Enabled());
  EXPECT_EQ(frame.ImageWidth, 90);
  EXPECT_EQ(frame.ImageHeight, 50);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Add Sprite", "Change Shape"}));
  EXPECT_EQ(Command(form, "Edit_Undo")->text(), QString("Undo \"Change Shape\""));
  // The tick without a change records nothing.
  Editor(form).Shapes().TimerRedrawShapeTimer();
  EXPECT_EQ(Captions().size(), 2u);
}

TEST_F(MainFormShapes, APendingEditIsAppliedToItsOwnFrameBeforeAnotherFillsThePage) {
  TMainForm& form = Form();
  TFrame& rectangle = AddSprite(nfkRectangle);
  TFrame& ellipse = AddSprite(nfkEllipse);
  Editor(form).Shapes().FillShapePage(rectangle);
  Type(Child<TSpinEdit>(form, "RectWidth_Spin"), "70");
  Editor(form).Shapes().FillShapePage(ellipse);
  EXPECT_EQ(rectangle.ImageWidth, 70);
  EXPECT_EQ(ellipse.ImageWidth, 100);
  EXPECT_EQ(ellipse.Kind, fkEllipse);
  EXPECT_EQ(Child<TSpinEdit>(form, "RectWidth_Spin")->Value(), 100);
  EXPECT_FALSE(Editor(form).Shapes().TimerRedrawShape().Enabled());
  // A late tick changes nothing on the ellipse.
  Editor(form).Shapes().TimerRedrawShapeTimer();
  EXPECT_EQ(ellipse.ImageWidth, 100);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Add Sprite", "Add Sprite", "Change Shape"}));
}

TEST_F(MainFormShapes, APendingEditStaysWithItsFrameWhenAnotherIsAdded) {
  TMainForm& form = Form();
  TFrame& rectangle = AddSprite(nfkRectangle);
  Editor(form).Shapes().FillShapePage(rectangle);
  Type(Child<TSpinEdit>(form, "RectHeight_Spin"), "60");
  TFrame& line = AddSprite(nfkLine);
  EXPECT_EQ(rectangle.ImageHeight, 60);
  EXPECT_EQ(line.Kind, fkLine);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Add Sprite", "Change Shape", "Add Sprite"}));
}

TEST_F(MainFormShapes, RoundedRectangleSetsTheCornerTo20AndRectangleBackTo0) {
  TMainForm& form = Form();
  ShowFramePage(2);
  TFrame& frame = AddSprite(nfkRectangle);
  Editor(form).Shapes().FillShapePage(frame);
  Click(Item(Child<QGroupBox>(form, "ShapeType_Radio"), 1));
  EXPECT_EQ(Child<TSpinEdit>(form, "RoundedCorners_Spin")->Value(), 20);
  EXPECT_FALSE(Child<QWidget>(form, "Panel_WidthRoundedCorners")->isHidden());
  Editor(form).Shapes().TimerRedrawShapeTimer();
  EXPECT_EQ(frame.Shape.CornerSize, 20);
  Click(Item(Child<QGroupBox>(form, "ShapeType_Radio"), 0));
  EXPECT_EQ(Child<TSpinEdit>(form, "RoundedCorners_Spin")->Value(), 0);
  EXPECT_TRUE(Child<QWidget>(form, "Panel_WidthRoundedCorners")->isHidden());
  Editor(form).Shapes().TimerRedrawShapeTimer();
  EXPECT_EQ(frame.Shape.CornerSize, 0);
  // A frame with rounded corners fills the page with the second item.
  Editor(form).Shapes().TimerRedrawShape().SetEnabled(false);
  frame.Shape.CornerSize = 7;
  Editor(form).Shapes().FillShapePage(frame);
  EXPECT_EQ(Editor(form).Shapes().ShapeTypeIndex(), 1);
  EXPECT_EQ(Child<TSpinEdit>(form, "RoundedCorners_Spin")->Value(), 7);
}

TEST_F(MainFormShapes, SameCopiesTheFirstFillColour) {
  TMainForm& form = Form();
  ShowFramePage(2);
  TFrame& frame = AddSprite(nfkRectangle);
  Editor(form).Shapes().FillShapePage(frame);
  // With "Same" checked the new first colour is the second too.
  ChooseColor(Child<TBitmapButton>(form, "FillingFrom_Button"), clRed);
  EXPECT_EQ(Child<TBitmapButton>(form, "FillingTo_Button")->ButtonColor(), clRed);
  Editor(form).Shapes().TimerRedrawShapeTimer();
  EXPECT_EQ(frame.Shape.FillColor1, static_cast<std::int32_t>(clRed));
  EXPECT_EQ(frame.Shape.FillColor2, static_cast<std::int32_t>(clRed));

  Click(Child<QCheckBox>(form, "RectangleSameFillColor_CheckBox"));
  EXPECT_TRUE(Child<TBitmapButton>(form, "FillingTo_Button")->isEnabled());
  ChooseColor(Child<TBitmapButton>(form, "FillingFrom_Button"), clBlue);
  EXPECT_EQ(Child<TBitmapButton>(form, "FillingTo_Button")->ButtonColor(), clRed);
  Click(Child<QCheckBox>(form, "RectangleSameFillColor_CheckBox"));
  EXPECT_EQ(Child<TBitmapButton>(form, "FillingTo_Button")->ButtonColor(), clBlue);
  EXPECT_FALSE(Child<TBitmapButton>(form, "FillingTo_Button")->isEnabled());
  Editor(form).Shapes().TimerRedrawShapeTimer();
  EXPECT_EQ(frame.Shape.FillColor2, static_cast<std::int32_t>(clBlue));
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Add Sprite", "Change Shape", "Change Shape"}));
}

TEST_F(MainFormShapes, FillAndBevelButtonsApplyAtOnce) {
  TMainForm& form = Form();
  ShowFramePage(2);
  TFrame& frame = AddSprite(nfkRectangle);
  Editor(form).Shapes().FillShapePage(frame);
  QTest::mouseClick(Child<QToolButton>(form, "VelveteenFeel_ToolButton"), Qt::LeftButton);
  EXPECT_EQ(frame.Shape.GradientStyle, 1);
  QTest::mouseClick(Child<QToolButton>(form, "FountainBevel_Button"), Qt::LeftButton);
  EXPECT_EQ(frame.Shape.BevelStyle, 1);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Add Sprite", "Change Shape", "Change Shape"}));
}

TEST_F(MainFormShapes, TheKnobAndTheAngleSpinFollowEachOther) {
  TMainForm& form = Form();
  TFrame& frame = AddSprite(nfkRectangle);
  Editor(form).Shapes().FillShapePage(frame);
  Type(Child<TSpinEdit>(form, "FillingAngle"), "45");
  EXPECT_EQ(Child<TmKnob>(form, "FillingAngle_Knob")->Position(), 45);
  Child<TmKnob>(form, "FillingAngle_Knob")->SetPosition(180);
  EXPECT_EQ(Child<TSpinEdit>(form, "FillingAngle")->Value(), 180);
  Editor(form).Shapes().TimerRedrawShapeTimer();
  EXPECT_EQ(frame.Shape.GradientAngle, 180);
}

TEST_F(MainFormShapes, ASizeTheProjectReaderRefusesIsNotApplied) {
  TMainForm& form = Form();
  TFrame& frame = AddSprite(nfkRectangle);
  Editor(form).Shapes().FillShapePage(frame);
  Type(Child<TSpinEdit>(form, "RectWidth_Spin"), "10000");
  Type(Child<TSpinEdit>(form, "RectHeight_Spin"), "10000");
  Editor(form).Shapes().TimerRedrawShapeTimer();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, SizeRefusedMessage(10000, 10000));
  EXPECT_EQ(frame.ImageWidth, 50);
  EXPECT_EQ(Child<TSpinEdit>(form, "RectWidth_Spin")->Value(), 50);
  EXPECT_EQ(Child<TSpinEdit>(form, "RectHeight_Spin")->Value(), 50);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Add Sprite"});
  EXPECT_FALSE(Editor(form).Shapes().TimerRedrawShape().Enabled());
}

// ---- Line page ----------------------------------------------------------------------------------------

TEST_F(MainFormShapes, TheLinePageShowsTheLineAndItsHint) {
  TMainForm& form = Form();
  TFrame& line = AddSprite(nfkLine);
  Editor(form).Shapes().FillLinePage(line);
  EXPECT_EQ(Child<TBitmapButton>(form, "LineBackgroundColor_Button")->ButtonColor(), clWhite);
  EXPECT_EQ(Child<TSpinEdit>(form, "LineWidthSpin")->Value(), 2);
  EXPECT_EQ(Child<TBitmapButton>(form, "LineColor_Button")->ButtonColor(), kGreen);
  EXPECT_EQ(Child<TSpinEdit>(form, "LineWidthSpin")->MinValue(), 1);
  EXPECT_EQ(Child<TSpinEdit>(form, "LineWidthSpin")->MaxValue(), 10000);
  EXPECT_EQ(Child<TSpinEdit>(form, "LineWidthSpin")->statusTip(), "Set the Line Width in Pixels");
  EXPECT_FALSE(Editor(form).Shapes().TimerRedrawLine().Enabled());
  EXPECT_EQ(Captions(), std::vector<std::string>{"Add Sprite"});
}

TEST_F(MainFormShapes, AWiderLineIsOneChangeLine) {
  TMainForm& form = Form();
  TFrame& line = AddSprite(nfkLine);
  Editor(form).Shapes().FillLinePage(line);
  Type(Child<TSpinEdit>(form, "LineWidthSpin"), "4");
  EXPECT_TRUE(Editor(form).Shapes().TimerRedrawLine().Enabled());
  Editor(form).Shapes().TimerRedrawLineTimer();
  EXPECT_EQ(line.Shape.BorderWidth, 4);
  RestoreFrameImage(line.Picture);
  EXPECT_EQ(line.Picture.Width(), 44);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Add Sprite", "Change Line"}));
}

TEST_F(MainFormShapes, ALineOnItsOwnColourGetsABlackBackgroundThatTurnsTransparent) {
  TMainForm& form = Form();
  TFrame& line = AddSprite(nfkLine);
  Editor(form).Shapes().FillLinePage(line);
  ChooseColor(Child<TBitmapButton>(form, "LineColor_Button"), clWhite);
  Editor(form).Shapes().TimerRedrawLineTimer();
  EXPECT_EQ(Child<TBitmapButton>(form, "LineBackgroundColor_Button")->ButtonColor(), clBlack);
  EXPECT_EQ(line.Shape.BackgroundColor, static_cast<std::int32_t>(clBlack));
  EXPECT_EQ(line.Shape.BorderColor, static_cast<std::int32_t>(clWhite));
  EXPECT_EQ(line.TransparentColor(), clBlack);

  // A black line on black gets white.
  ChooseColor(Child<TBitmapButton>(form, "LineColor_Button"), clBlack);
  Editor(form).Shapes().TimerRedrawLineTimer();
  EXPECT_EQ(line.Shape.BackgroundColor, static_cast<std::int32_t>(clWhite));
  EXPECT_EQ(line.TransparentColor(), clWhite);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Add Sprite", "Change Line", "Change Line"}));
}

TEST_F(MainFormShapes, ALineWidthWhosePictureCannotBeReadAgainIsRefused) {
  TMainForm& form = Form();
  TFrame& line = AddSprite(nfkLine);
  Editor(form).Shapes().FillLinePage(line);
  Type(Child<TSpinEdit>(form, "LineWidthSpin"), "10000");
  Editor(form).Shapes().TimerRedrawLineTimer();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, SizeRefusedMessage(10040, 10040));
  EXPECT_EQ(line.Shape.BorderWidth, 2);
  EXPECT_EQ(Child<TSpinEdit>(form, "LineWidthSpin")->Value(), 2);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Add Sprite"});
}

TEST_F(MainFormShapes, ALineEditIsNeverAppliedToAShape) {
  TMainForm& form = Form();
  TFrame& line = AddSprite(nfkLine);
  TFrame& rectangle = AddSprite(nfkRectangle);
  Editor(form).Shapes().FillLinePage(line);
  Type(Child<TSpinEdit>(form, "LineWidthSpin"), "3");
  Editor(form).Shapes().FillShapePage(rectangle);
  Editor(form).Shapes().TimerRedrawLineTimer();
  EXPECT_EQ(rectangle.Kind, fkRectangle);
  EXPECT_EQ(line.Shape.BorderWidth, 3);
}

// ---- Plain text page ------------------------------------------------------------------------------------

TEST_F(MainFormShapes, ThePlainTextPageStartsWithItsDefaults) {
  TMainForm& form = Form();
  EXPECT_EQ(Child<QLineEdit>(form, "TextEdit")->text(), "Your Text Here");
  EXPECT_EQ(Child<TWPopOutFntCBox>(form, "FontsList2")->FontName(), "MS Sans Serif");
  EXPECT_EQ(Child<QComboBox>(form, "ComboBoxSize1")->currentText(), "8");
  EXPECT_EQ(Child<QComboBox>(form, "ComboBoxSize1")->itemText(0), "6");
  EXPECT_EQ(Item(Child<QGroupBox>(form, "RadioGroup_3DorSimpleText"), 0)->text(), "3D text");
  EXPECT_EQ(Item(Child<QGroupBox>(form, "RadioGroup_3DorSimpleText"), 1)->text(), "Simple text");
  EXPECT_EQ(Child<TBitmapButton>(form, "SetBgColor")->Caption(), "Background Color...");
  EXPECT_EQ(Child<QPushButton>(form, "TextFontBtn2")->text(), "Font...");
  EXPECT_EQ(Child<QStackedWidget>(form, "Notebook_3DorSimpleText")->count(), 2);
  EXPECT_TRUE(Child<QStackedWidget>(form, "NotebookFramePreview")
                  ->widget(1)
                  ->isAncestorOf(Child<TImage>(form, "SimpleText_Image")));
}

TEST_F(MainFormShapes, ATextFrameSwitchedToSimpleTextBecomesPlainText) {
  TMainForm& form = Form();
  ShowFramePage(1);
  const TAddedItem added = AddSpriteWithDefaultFrame(*scene, nfkText3D);
  TFrame& frame = added.Sprite->Frame(0);
  const auto before = Captions();
  // The frame is chosen in the scene tree, which fills the 3D text editor.
  SelectFirstFrameOf(*added.Sprite);
  ASSERT_EQ(Editor(form).CurrentFrame(), &frame);
  ASSERT_NE(form.findChild<QLineEdit*>("EditNewText"), nullptr);
  EXPECT_EQ(form.findChild<QLineEdit*>("EditNewText")->text(), "Text");
  EXPECT_EQ(Editor(form).Shapes().TextKindIndex(), 0);
  EXPECT_EQ(Captions(), before);
  EXPECT_EQ(frame.Kind, fkText3D);

  Click(Item(Child<QGroupBox>(form, "RadioGroup_3DorSimpleText"), 1));
  EXPECT_EQ(Child<QStackedWidget>(form, "Notebook_3DorSimpleText")->currentIndex(), 1);
  EXPECT_EQ(frame.Kind, fkText);
  EXPECT_EQ(frame.Text, "Text");
  EXPECT_EQ(frame.TextParams.Mode, tdmPlain);
  EXPECT_EQ(Command(form, "Edit_Undo")->text(), QString("Undo \"Change Text\""));
  RestoreFrameImage(frame.Picture);
  EXPECT_EQ(frame.Picture.Width(), Child<TImage>(form, "SimpleText_Image")->Bitmap().Width());

  // Typing changes the frame at once, once per change.
  Child<QLineEdit>(form, "TextEdit")->setFocus();
  Child<QLineEdit>(form, "TextEdit")->selectAll();
  QTest::keyClicks(Child<QLineEdit>(form, "TextEdit"), "Hi");
  EXPECT_EQ(frame.Text, "Hi");
  EXPECT_EQ(Tree().currentItem()->text(0), "\"Hi\"");
  EXPECT_EQ(Captions().size(), before.size() + 3);
  // Filling the page again from the plain frame records nothing.
  Editor(form).Shapes().LoadSimpleTextPage(frame);
  EXPECT_EQ(Captions().size(), before.size() + 3);
  EXPECT_EQ(Editor(form).Shapes().TextKindIndex(), 1);
}

TEST_F(MainFormShapes, TheSizeBoxTakesOnlyWholeSizesWhosePictureCanBeReadAgain) {
  TMainForm& form = Form();
  ShowFramePage(1);
  const TAddedItem added = AddSpriteWithDefaultFrame(*scene, nfkText3D);
  TFrame& frame = added.Sprite->Frame(0);
  Editor(form).Shapes().LoadSimpleTextPage(frame);
  Click(Item(Child<QGroupBox>(form, "RadioGroup_3DorSimpleText"), 1));
  const std::int32_t height = frame.TextParams.FontHeight;
  const auto typeSize = [&](const char* text) {
    Child<QComboBox>(form, "ComboBoxSize1")->lineEdit()->setFocus();
    Child<QComboBox>(form, "ComboBoxSize1")->lineEdit()->selectAll();
    QTest::keyClicks(Child<QComboBox>(form, "ComboBoxSize1")->lineEdit(), text);
    QTest::keyClick(Child<QComboBox>(form, "ComboBoxSize1")->lineEdit(), Qt::Key_Return);
  };
  typeSize("1.5");
  EXPECT_EQ(Child<QComboBox>(form, "ComboBoxSize1")->currentText(), "8");
  EXPECT_EQ(frame.TextParams.FontHeight, height);
  typeSize("60000");
  EXPECT_EQ(Child<QComboBox>(form, "ComboBoxSize1")->currentText(), "8");
  EXPECT_EQ(frame.TextParams.FontHeight, height);
  EXPECT_EQ(ui_.messages.size(), 1u);
  typeSize("20");
  EXPECT_EQ(Editor(form).Shapes().SimpleTextFont().Size(), 20);
  EXPECT_EQ(frame.TextParams.FontHeight, -27);
}

TEST_F(MainFormShapes, TheFontDialogSetsTheWholeFont) {
  TMainForm& form = Form();
  ShowFramePage(1);
  const TAddedItem added = AddSpriteWithDefaultFrame(*scene, nfkText3D);
  TFrame& frame = added.Sprite->Frame(0);
  Editor(form).Shapes().LoadSimpleTextPage(frame);
  Click(Item(Child<QGroupBox>(form, "RadioGroup_3DorSimpleText"), 1));
  FontDescription chosen;
  chosen.name = "Courier New";
  chosen.size = 12;
  chosen.bold = true;
  chosen.color = clRed;
  ui_.fontAnswers = {chosen};
  QTest::mouseClick(Child<QPushButton>(form, "TextFontBtn2"), Qt::LeftButton);
  EXPECT_EQ(Child<TWPopOutFntCBox>(form, "FontsList2")->FontName(), "Courier New");
  EXPECT_TRUE(Child<QToolButton>(form, "Bold_TextButton2")->isChecked());
  EXPECT_FALSE(Child<QToolButton>(form, "Italic_Font_Button2")->isChecked());
  EXPECT_EQ(Child<TBitmapButton>(form, "SetTextColorBtn")->ButtonColor(), clRed);
  EXPECT_EQ(Child<QComboBox>(form, "ComboBoxSize1")->currentText(), "12");
  EXPECT_EQ(frame.TextParams.FontName, "Courier New");
  EXPECT_EQ(frame.TextParams.Style, fsBold);
  EXPECT_EQ(frame.TextParams.TextColor, static_cast<std::int32_t>(clRed));
}

// ---- Motion panel twins -----------------------------------------------------------------------------------

TEST_F(MainFormShapes, TheTwinsHaveTheirRangesOnTheirPages) {
  TMainForm& form = Form();
  for (TSpinEdit* edit :
       {Child<TSpinEdit>(form, "Start_Pacity_Edit"), Child<TSpinEdit>(form, "Finish_Pacity_Edit"),
        Child<TSpinEdit>(form, "StartShadowOpacityEdit"), Child<TSpinEdit>(form, "FinishShadowOpacityEdit")}) {
    EXPECT_EQ(edit->MinValue(), 0);
    EXPECT_EQ(edit->MaxValue(), 100);
  }
  EXPECT_EQ(Child<TSpinEdit>(form, "StartShadowBlurEdit")->MaxValue(), 60);
  EXPECT_EQ(Child<TSpinEdit>(form, "FinishShadowBlurEdit")->MaxValue(), 60);
  for (TSpinEdit* edit :
       {Child<TSpinEdit>(form, "StartShadowOffsetXEdit"), Child<TSpinEdit>(form, "StartShadowOffsetYEdit"),
        Child<TSpinEdit>(form, "FinishShadowOffsetXEdit"), Child<TSpinEdit>(form, "FinishShadowOffsetYEdit")}) {
    EXPECT_EQ(edit->MinValue(), -50000);
    EXPECT_EQ(edit->MaxValue(), 50000);
  }
  EXPECT_TRUE(Child<QStackedWidget>(form, "Notebook_Size_Opacity")
                  ->widget(0)
                  ->isAncestorOf(Child<QToolButton>(form, "FinishEqualsStartButton")));
  EXPECT_TRUE(Child<QStackedWidget>(form, "Notebook_Size_Opacity")
                  ->widget(1)
                  ->isAncestorOf(Child<TTrackBar>(form, "StartOpacity_TrackBar")));
  EXPECT_TRUE(Child<QStackedWidget>(form, "Notebook_Size_Opacity")
                  ->widget(2)
                  ->isAncestorOf(Child<TBitmapButton>(form, "FinishShadowColor_Button")));
}

TEST_F(MainFormShapes, ABarAndItsSpinHoldTheSameValue) {
  TMainForm& form = Form();
  int changes = 0;
  Editor(form).Motion().Panel().MotionPanelChanged = [&] { ++changes; };
  Child<TTrackBar>(form, "StartOpacity_TrackBar")->SetPosition(40);
  EXPECT_EQ(Child<TSpinEdit>(form, "Start_Pacity_Edit")->Value(), 40);
  EXPECT_EQ(Child<TTrackBar>(form, "StartOpacity_TrackBar")->SelEnd(), 40);
  Type(Child<TSpinEdit>(form, "FinishShadowOpacityEdit"), "70");
  EXPECT_EQ(Child<TTrackBar>(form, "FinishShadowOpacityTrackBar")->Position(), 70);
  EXPECT_EQ(Child<TTrackBar>(form, "FinishShadowOpacityTrackBar")->SelEnd(), 70);
  EXPECT_GT(changes, 0);
}

TEST_F(MainFormShapes, AStepWithoutAFinishKeepsEveryFinishEqualToTheStart) {
  TMainForm& form = Form();
  Child<QGroupBox>(form, "FinishSizeGroupBox")->hide();
  Type(Child<TSpinEdit>(form, "Start_Pacity_Edit"), "30");
  Type(Child<TSpinEdit>(form, "StartShadowOpacityEdit"), "20");
  Type(Child<TSpinEdit>(form, "StartShadowBlurEdit"), "9");
  Type(Child<TSpinEdit>(form, "StartShadowOffsetXEdit"), "-4");
  Type(Child<TSpinEdit>(form, "StartShadowOffsetYEdit"), "12");
  Type(Child<TSpinEdit>(form, "StartSizeX"), "150");
  Type(Child<TSpinEdit>(form, "StartSizeY"), "75");
  EXPECT_EQ(Child<TSpinEdit>(form, "Finish_Pacity_Edit")->Value(), 30);
  EXPECT_EQ(Child<TTrackBar>(form, "FinishOpacity_TrackBar")->Position(), 30);
  EXPECT_EQ(Child<TSpinEdit>(form, "FinishShadowOpacityEdit")->Value(), 20);
  EXPECT_EQ(Child<TSpinEdit>(form, "FinishShadowBlurEdit")->Value(), 9);
  EXPECT_EQ(Child<TSpinEdit>(form, "FinishShadowOffsetXEdit")->Value(), -4);
  EXPECT_EQ(Child<TSpinEdit>(form, "FinishShadowOffsetYEdit")->Value(), 12);
  EXPECT_EQ(Child<TSpinEdit>(form, "FinishSizeX")->Value(), 150);
  EXPECT_EQ(Child<TSpinEdit>(form, "FinishSizeY")->Value(), 75);
}

TEST_F(MainFormShapes, WithAFinishOnlyFinishEqualsStartCopiesTheSize) {
  TMainForm& form = Form();
  ShowMotionPage(0);
  Type(Child<TSpinEdit>(form, "Start_Pacity_Edit"), "30");
  EXPECT_EQ(Child<TSpinEdit>(form, "Finish_Pacity_Edit")->Value(), 100);
  Type(Child<TSpinEdit>(form, "StartSizeX"), "150");
  EXPECT_EQ(Child<TSpinEdit>(form, "FinishSizeX")->Value(), 100);
  QTest::mouseClick(Child<QToolButton>(form, "FinishEqualsStartButton"), Qt::LeftButton);
  EXPECT_EQ(Child<TSpinEdit>(form, "FinishSizeX")->Value(), 150);
  EXPECT_FALSE(Child<TSpinEdit>(form, "FinishSizeX")->isEnabled());
  EXPECT_FALSE(Child<QLabel>(form, "Label_FinishWidth")->isEnabled());
  Type(Child<TSpinEdit>(form, "StartSizeY"), "80");
  EXPECT_EQ(Child<TSpinEdit>(form, "FinishSizeY")->Value(), 80);
  QTest::mouseClick(Child<QToolButton>(form, "FinishEqualsStartButton"), Qt::LeftButton);
  EXPECT_TRUE(Child<TSpinEdit>(form, "FinishSizeY")->isEnabled());

  // While the motion page fills the panel, the button copies nothing.
  Editor(form).Motion().Panel().FillingMotionPanel = true;
  Child<TSpinEdit>(form, "FinishSizeX")->SetValue(120);
  Child<QToolButton>(form, "FinishEqualsStartButton")->setChecked(true);
  Editor(form).Motion().Panel().FinishEqualsStartButtonClick();
  EXPECT_EQ(Child<TSpinEdit>(form, "FinishSizeX")->Value(), 120);
  Editor(form).Motion().Panel().FillingMotionPanel = false;
}

TEST_F(MainFormShapes, TheShadowBoxEnablesItsControlsAndSameColoursCopiesTheStart) {
  TMainForm& form = Form();
  ShowMotionPage(2);
  Click(Child<QCheckBox>(form, "ShadowEnabledCheckBox"));
  ASSERT_TRUE(Child<QCheckBox>(form, "ShadowEnabledCheckBox")->isChecked());
  EXPECT_TRUE(Child<TSpinEdit>(form, "StartShadowBlurEdit")->isEnabled());
  EXPECT_TRUE(Child<TBitmapButton>(form, "FinishShadowColor_Button")->isEnabled());
  ChooseColor(Child<TBitmapButton>(form, "StartShadowColor_Button"), clRed);
  EXPECT_EQ(Child<TBitmapButton>(form, "FinishShadowColor_Button")->ButtonColor(), clBlack);
  Click(Child<QCheckBox>(form, "ShadowSameColors_CheckBox"));
  EXPECT_EQ(Child<TBitmapButton>(form, "FinishShadowColor_Button")->ButtonColor(), clRed);
  EXPECT_FALSE(Child<TBitmapButton>(form, "FinishShadowColor_Button")->isEnabled());
  ChooseColor(Child<TBitmapButton>(form, "StartShadowColor_Button"), clBlue);
  EXPECT_EQ(Child<TBitmapButton>(form, "FinishShadowColor_Button")->ButtonColor(), clBlue);

  Click(Child<QCheckBox>(form, "ShadowEnabledCheckBox"));
  EXPECT_FALSE(Child<TSpinEdit>(form, "StartShadowBlurEdit")->isEnabled());
  EXPECT_FALSE(Child<TSpinEdit>(form, "FinishShadowOffsetYEdit")->isEnabled());
  EXPECT_FALSE(Child<TBitmapButton>(form, "FinishShadowColor_Button")->isEnabled());
}

}  // namespace
