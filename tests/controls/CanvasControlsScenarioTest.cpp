// The canvas controls together, as the document window and the main window
// will hold them: a 468 x 60 scene composed into a picture, the canvas box
// around it, the sprite box on the sprite, a motion path over the canvas and
// the time line bound to the sprite, driven with the mouse and the keyboard.
#include "controls/MyCntrl.h"
#include "controls/UTimelineSlider.h"
#include "platform/BitmapImages.h"
#include "scene/Undo.h"
#include "tests/controls/ControlTestSupport.h"
#include "tests/scene/ProjectTestSupport.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPixmap>

namespace {

constexpr QPoint kCanvasAt{20, 30};

class CanvasControlsScenario : public testing::Test {
 protected:
  CanvasControlsScenario() {
    BuildScene();
    BuildControls();
    window.Open();
    CurrentUndo = &undo;
  }
  ~CanvasControlsScenario() override { CurrentUndo = nullptr; }

  void BuildScene() {
    scene.Width = 468;
    scene.Height = 60;
    scene.StepCount = 100;
    scene.SetBackground(false, bgmFillAndPicture, "", clWhite, clWhite, ppNone, nullptr);
    output.SetPixelFormat(pf24bit);
    output.SetSize(468, 60);
    scene.OutputBitmap = &output;
    int index = 0;
    sprite = scene.AddSprite(index);
    sprite->AddShape(fkRectangle, 100, 40, SampleShape(), false, 0);
    sprite->Motion().AddStepWith(HoldAt(150, 10), sprite);
    sprite->AddInterval(20, 40);
    sprite->AddInterval(60, 80);
    scene.GotoFrame(26);
    scene.NextFrame();
  }

  void BuildControls() {
    picture->setObjectName("PictureBackground");
    picture->setGeometry(kCanvasAt.x(), kCanvasAt.y(), 468, 60);
    picture->setPixmap(QPixmap::fromImage(BitmapToQImage(output)));

    PanelAnimation->setObjectName("PanelAnimation");
    PanelAnimation->SetMoveable(false);
    PanelAnimation->SetRotateable(false);
    PanelAnimation->SetBoxShift(3);
    PanelAnimation->SetColorOfProportionalResizeBox(clRed);
    PanelAnimation->SetBoxWidth(scene.Width);
    PanelAnimation->SetBoxHeight(scene.Height);
    PanelAnimation->SetBoxLeft(kCanvasAt.x());
    PanelAnimation->SetBoxTop(kCanvasAt.y());
    PanelAnimation->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int x, int y) {
      canvasPresses.push_back({x, y});
    };

    SpriteSelectionBox->setObjectName("SpriteSelectionBox");
    SpriteSelectionBox->SetRotateable(false);
    SpriteSelectionBox->SetBoxShift(0);
    SpriteSelectionBox->SetColorOfHorizontalResizeBox(clLime);
    const TRect drawn = sprite->GetDrawnRect();
    SpriteSelectionBox->SetBoxWidth(drawn.Width());
    SpriteSelectionBox->SetBoxHeight(drawn.Height());
    SpriteSelectionBox->SetBoxLeft(PanelAnimation->BoxLeft() + drawn.Left);
    SpriteSelectionBox->SetBoxTop(PanelAnimation->BoxTop() + drawn.Top);
    SpriteSelectionBox->OnMoved = log.Recorder("SpriteBoxMoved");
    SpriteSelectionBox->OnResized = log.Recorder("SpriteBoxResized");
    SpriteSelectionBox->OnKeyDown = [this](QObject* sender, WORD& key, TShiftState) {
      if (sender == SpriteSelectionBox && key != VK_SHIFT) keys.push_back(key);
      key = 0;
    };
    SpriteSelectionBox->raise();

    MotionPath1->setObjectName("MotionPath1");
    MotionPath1->SetBottomControl(PanelAnimation);
    MotionPath1->SetBeginPointX(40);
    MotionPath1->SetBeginPointY(35);
    MotionPath1->SetEndPointX(130);
    MotionPath1->SetEndPointY(85);
    MotionPath1->OnMoved = log.Recorder("PathMoved");
    MotionPath1->raise();

    StepsTrackBar->setObjectName("StepsTrackBar");
    StepsTrackBar->SetBounds(20, 150, 200, 25);
    StepsTrackBar->SetMax(100);
    StepsTrackBar->SetTimeLineCollection(sprite);
    StepsTrackBar->OnChanged = log.Recorder("StepsChanged");
  }

  // A point of a control, in window coordinates.
  static QPoint On(const TGraphicControl& control, int x, int y) { return {control.Left() + x, control.Top() + y}; }

  std::string SavedAndLoadedIntervals() {
    TMemoryStream stream;
    scene.SaveToStream(stream, 0, 1024);
    TAnimatedScene loaded;
    TUndoRecordingPause pause;
    ReadScene(loaded, StreamBytes(stream));
    std::string text;
    for (int i = 0; i < loaded.Sprite(0).IntervalCount(); ++i)
      text += std::to_string(loaded.Sprite(0).Interval(i).StartStep) + ".." +
              std::to_string(loaded.Sprite(0).Interval(i).EndStep) + " ";
    return text;
  }

  FormatVersionsGuard versions;
  ScriptedUiServices ui;
  TAnimatedScene scene;
  TBitmap output;
  TSprite* sprite = nullptr;
  TUndo undo{[this] { return &scene; }};
  TestWindow window{700, 260};
  QLabel* picture = new QLabel(&window);
  TSelectionBox* PanelAnimation = new TSelectionBox(&window);
  TSelectionBox* SpriteSelectionBox = new TSelectionBox(&window);
  TMotionPath* MotionPath1 = new TMotionPath(&window);
  TTimelineSlider* StepsTrackBar = new TTimelineSlider(&window);
  EventLog log;
  std::vector<QPoint> canvasPresses;
  std::vector<WORD> keys;
};

}  // namespace

TEST_F(CanvasControlsScenario, EditingOverTheCanvasAndOnTheTimeLine) {
  // The boxes start around the canvas and around the sprite's drawn rectangle.
  ASSERT_EQ(sprite->GetDrawnRect(), Rect(150, 10, 250, 50));
  EXPECT_EQ(PanelAnimation->BoundsRect(), Bounds(13, 23, 482, 74));
  EXPECT_EQ(SpriteSelectionBox->BoundsRect(), Bounds(166, 36, 108, 48));

  // The sprite box's bottom-right corner: the ratio is kept, OnResized fires once at the release.
  window.Drag(On(*SpriteSelectionBox, 104, 44), On(*SpriteSelectionBox, 124, 44));
  EXPECT_EQ(SpriteSelectionBox->BoundsRect(), Bounds(166, 36, 128, 57));
  EXPECT_EQ(log.names, std::vector<std::string>{"SpriteBoxResized"});

  // An arrow key after a click reaches the box's OnKeyDown.
  window.Click(On(*SpriteSelectionBox, 40, 20));
  window.Key(Qt::Key_Left);
  EXPECT_EQ(keys, std::vector<WORD>{VK_LEFT});
  EXPECT_EQ(log.names, std::vector<std::string>{"SpriteBoxResized"}) << "a click without movement fires nothing";

  // The path's begin handle dragged past the end: the handles swap, OnMoved fires once.
  window.Drag({40, 35}, {150, 35});
  EXPECT_EQ(MotionPath1->BeginPointX(), 150);
  EXPECT_EQ(MotionPath1->EndPointX(), 130);
  EXPECT_EQ(MotionPath1->BeginHandle().X, MotionPath1->Width() - MotionPath1->CircleSize());
  EXPECT_EQ(MotionPath1->EndHandle().X, 0);
  EXPECT_EQ(log.Count("PathMoved"), 1);

  // A press on the path's empty area reaches the canvas box, translated; the
  // following move moves no handle.
  const QPoint empty = On(*MotionPath1, 22, 50);
  window.Move(empty);
  window.Press(empty);
  ASSERT_EQ(canvasPresses.size(), 1u);
  EXPECT_EQ(canvasPresses[0], empty - QPoint(PanelAnimation->Left(), PanelAnimation->Top()));
  window.Move(On(*MotionPath1, 24, 4));
  window.Move(On(*MotionPath1, 40, 10));
  window.Release(On(*MotionPath1, 40, 10));
  EXPECT_EQ(MotionPath1->BeginPointX(), 150);
  EXPECT_EQ(MotionPath1->BeginPointY(), 35);
  EXPECT_EQ(MotionPath1->EndPointX(), 130);
  EXPECT_EQ(MotionPath1->EndPointY(), 85);
  EXPECT_EQ(log.Count("PathMoved"), 1);

  // The first bar's body dragged 18 pixels: 10 steps, each end recorded for undo.
  window.Drag(On(*StepsTrackBar, 60, 12), On(*StepsTrackBar, 78, 12));
  EXPECT_EQ(sprite->Interval(0).StartStep, 30);
  EXPECT_EQ(sprite->Interval(0).EndStep, 50);
  EXPECT_EQ(undo.Caption(), "Change End Step");
  EXPECT_EQ(SavedAndLoadedIntervals(), "30..50 60..80 ");
  undo.Undo();
  EXPECT_EQ(undo.Caption(), "Change Start Step");
  undo.Undo();
  EXPECT_TRUE(undo.Empty());
  EXPECT_EQ(sprite->Interval(0).StartStep, 20);
  EXPECT_EQ(sprite->Interval(0).EndStep, 40);
  EXPECT_EQ(SavedAndLoadedIntervals(), "20..40 60..80 ");

  // The slider dragged to the far left: step 0, one OnChanged.
  window.Drag(On(*StepsTrackBar, StepsTrackBar->SliderCenter(), 12), On(*StepsTrackBar, 0, 12));
  EXPECT_EQ(StepsTrackBar->Position(), 0);
  EXPECT_EQ(log.Count("StepsChanged"), 1);
  EXPECT_TRUE(ui.messages.empty());
}
