#include "controls/UTimelineSlider.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "tests/controls/ControlTestSupport.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

namespace {

// A 200-pixel slider (span 180, Max 100) at (20, 40) of a shown window,
// bound to a sprite with the intervals 20..40 and 60..80: the first bar
// runs from x 46 to x 82, the second from 118 to 154.
class TimelineSliderTest : public testing::Test {
 protected:
  TimelineSliderTest() {
    int index = 0;
    sprite = scene.AddSprite(index);
    sprite->AddInterval(20, 40);
    sprite->AddInterval(60, 80);
    slider->SetBounds(20, 40, 200, 25);
    slider->SetTimeLineCollection(sprite);
    slider->HintForStartStep = "Start";
    slider->HintForFinishStep = "End";
    slider->OnChange = log.Recorder("Change");
    slider->OnChanged = log.Recorder("Changed");
    slider->OnTimelineListChange = [this](QObject*, int index) { log.names.push_back("ListChange " + std::to_string(index)); };
    slider->OnTimelineListChanged = [this](QObject*, int index) { log.names.push_back("ListChanged " + std::to_string(index)); };
    slider->SetHint("Current step");  // kept by the first paint
    window.Open();
    undo.records.clear();
  }
  QPoint At(int x) const { return {slider->Left() + x, slider->Top() + 12}; }
  const TStartAndFinish& First() const { return sprite->Interval(0); }

  TAnimatedScene scene;
  TSprite* sprite = nullptr;
  TestWindow window;
  TTimelineSlider* slider = new TTimelineSlider(&window);
  RecordingUndo undo;
  EventLog log;
};

// The x of every tick: black pixels on the lowest row of the ticks, inside the border.
std::vector<int> TickXs(const TBitmap& picture) {
  std::vector<int> xs;
  const int y = picture.Height() / 2 + 5;
  for (int x = 1; x < picture.Width() - 1; ++x)
    if (picture.Pixel(x, y) == clBlack) xs.push_back(x);
  return xs;
}

}  // namespace

TEST(TimelineSlider, StartsWithItsDefaults) {
  QWidget parent;
  TTimelineSlider slider(&parent);
  EXPECT_EQ(slider.BoundsRect(), Bounds(0, 0, 200, 25));
  EXPECT_EQ(slider.Max(), 100);
  EXPECT_EQ(slider.Position(), 1);
  EXPECT_EQ(slider.Frequency(), 10);
  EXPECT_TRUE(slider.Border());
  EXPECT_EQ(slider.Color(), clBlue);
  EXPECT_EQ(slider.ColorOfScale(), clYellow);
  EXPECT_EQ(slider.ColorOfDuration(), clNavy);
  EXPECT_EQ(slider.ColorOfSlider(), clSilver);
  EXPECT_EQ(slider.SliderWidth(), 15);
  EXPECT_EQ(slider.SliderHeight(), 20);
  EXPECT_EQ(slider.TimeLineCollection(), nullptr);
  EXPECT_EQ(slider.Span(), 180);
  EXPECT_EQ(slider.StepToX(50), 100);
}

TEST(TimelineSlider, MaxAndFrequencyNeverGoBelowOneAndPositionStaysWithinTheScale) {
  QWidget parent;
  TTimelineSlider slider(&parent);
  slider.SetMax(0);
  EXPECT_EQ(slider.Max(), 1);
  slider.SetFrequency(-5);
  EXPECT_EQ(slider.Frequency(), 1);
  slider.SetMax(100);
  slider.SetPosition(150);
  EXPECT_EQ(slider.Position(), 100);
  slider.SetPosition(-3);
  EXPECT_EQ(slider.Position(), 0);
  slider.SetPosition(80);
  slider.SetMax(50);
  EXPECT_EQ(slider.Position(), 80) << "not re-clamped when Max shrinks";
}

// ---- Painting ------------------------------------------------------------------------------------------

TEST(TimelineSliderPaint, TicksEveryFrequencyStepsAtLeastFourPixelsApart) {
  QWidget parent;
  TTimelineSlider slider(&parent);
  slider.SetSliderHeight(4);  // a flat slider stays above the tick row
  // Max 100 on 200 pixels: a tick every 18 pixels, 9 ticks.
  std::vector<int> expected;
  for (int i = 1; i <= 9; ++i) expected.push_back(10 + 18 * i);
  EXPECT_EQ(TickXs(slider.PaintPicture(clBtnFace)), expected);
  // Their scale-coloured shadow lies one pixel right.
  EXPECT_EQ(slider.Picture().Pixel(29, 17), clYellow);

  // Max 1000, Frequency 100, 190 pixels: 10 intervals of 17 pixels.
  slider.SetWidth(190);
  slider.SetMax(1000);
  slider.SetFrequency(100);
  expected.clear();
  for (int i = 1; i <= 9; ++i) expected.push_back(10 + 17 * i);
  EXPECT_EQ(TickXs(slider.PaintPicture(clBtnFace)), expected);

  // Ticks that would be closer than 4 pixels are 4 apart and stop before Width - 10.
  slider.SetWidth(200);
  slider.SetFrequency(1);
  const std::vector<int> dense = TickXs(slider.PaintPicture(clBtnFace));
  ASSERT_FALSE(dense.empty());
  EXPECT_EQ(dense.front(), 14);
  EXPECT_EQ(dense.back(), 186);
  EXPECT_EQ(dense.size(), 44u);
  // A huge scale draws as quickly.
  slider.SetMax(2147483647);
  EXPECT_EQ(TickXs(slider.PaintPicture(clBtnFace)).size(), 44u);
}

TEST_F(TimelineSliderTest, BarsRunFromTheStartStepToTheEndStep) {
  const TBitmap& picture = slider->PaintPicture(clBtnFace);
  EXPECT_EQ(picture.Pixel(45, 5), clBlue);
  EXPECT_EQ(picture.Pixel(46, 5), clWhite) << "the start line";
  EXPECT_EQ(picture.Pixel(47, 5), clNavy);
  EXPECT_EQ(picture.Pixel(81, 5), clNavy);
  EXPECT_EQ(picture.Pixel(82, 5), clWhite) << "the end line";
  EXPECT_EQ(picture.Pixel(83, 5), clBlue);
  EXPECT_EQ(picture.Pixel(100, 5), clBlue) << "between the bars";
  EXPECT_EQ(picture.Pixel(130, 5), clNavy);
  EXPECT_EQ(picture.Pixel(0, 0), clBlack) << "the border";
}

TEST_F(TimelineSliderTest, ASpriteWithoutIntervalsShowsOneFullBarAndNoSpriteNone) {
  sprite->DeleteAppearance(1);
  sprite->DeleteAppearance(0);
  slider->Repaint();
  EXPECT_EQ(slider->PaintPicture(clBtnFace).Pixel(100, 5), clNavy);
  slider->SetTimeLineCollection(nullptr);
  EXPECT_EQ(slider->PaintPicture(clBtnFace).Pixel(100, 5), clBlue);
}

TEST_F(TimelineSliderTest, APositionChangeRedrawsOnlyTheSliderOverTheCachedBackground) {
  slider->PaintPicture(clBtnFace);
  sprite->Interval(0).StartStep = 30;  // changed behind the slider's back
  slider->SetPosition(50);
  const TBitmap& moved = slider->PaintPicture(clBtnFace);
  EXPECT_EQ(moved.Pixel(47, 5), clNavy) << "the cached bars";
  EXPECT_EQ(moved.Pixel(100, 12), clSilver) << "the slider at step 50";
  slider->Repaint();
  EXPECT_EQ(slider->PaintPicture(clBtnFace).Pixel(47, 5), clBlue) << "a full repaint shows the change";
}

// ---- Hover and hit test --------------------------------------------------------------------------------

TEST_F(TimelineSliderTest, TheHitTestTellsBarsGripsAndTheSliderApart) {
  EXPECT_EQ(slider->HitTest(12), (TTimelineHit{tlpSlider, -1}));
  EXPECT_EQ(slider->HitTest(43), TTimelineHit{});
  EXPECT_EQ(slider->HitTest(44), (TTimelineHit{tlpStartGrip, 0}));
  EXPECT_EQ(slider->HitTest(49), (TTimelineHit{tlpStartGrip, 0}));
  EXPECT_EQ(slider->HitTest(50), (TTimelineHit{tlpBody, 0}));
  EXPECT_EQ(slider->HitTest(78), (TTimelineHit{tlpBody, 0}));
  EXPECT_EQ(slider->HitTest(79), (TTimelineHit{tlpEndGrip, 0}));
  EXPECT_EQ(slider->HitTest(84), (TTimelineHit{tlpEndGrip, 0}));
  EXPECT_EQ(slider->HitTest(85), TTimelineHit{});
  EXPECT_EQ(slider->HitTest(130), (TTimelineHit{tlpBody, 1}));
}

TEST_F(TimelineSliderTest, StepsFarBeyondTheScaleStayOffIt) {
  sprite->AddInterval(5, 2147483647);  // as a damaged file may hold
  EXPECT_EQ(slider->StepToX(2147483647), 2147483647);
  EXPECT_EQ(slider->HitTest(190), (TTimelineHit{tlpBody, 2}));
  slider->Repaint();
  EXPECT_EQ(slider->PaintPicture(clBtnFace).Pixel(195, 5), clNavy);
}

TEST_F(TimelineSliderTest, HoveringABarShowsItsCursorAndHint) {
  window.Move(At(60));
  EXPECT_EQ(slider->HoverState(), tlpBody);
  EXPECT_EQ(slider->Cursor(), crMoveDuration);
  EXPECT_EQ(slider->Hint(), "Duration 20 steps, Start 20");
  window.Move(At(46));
  EXPECT_EQ(slider->Cursor(), crMoveDurationLeft);
  EXPECT_EQ(slider->Hint(), "Start 20");
  window.Move(At(82));
  EXPECT_EQ(slider->Cursor(), crMoveDurationRight);
  EXPECT_EQ(slider->Hint(), "End 40");
  window.Move(At(100));
  EXPECT_EQ(slider->HoverState(), tlpNothing);
  EXPECT_EQ(slider->Cursor(), crDefault);
  EXPECT_EQ(slider->Hint(), "Current step");
}

// ---- Dragging bars ----------------------------------------------------------------------------------------

TEST_F(TimelineSliderTest, DraggingABodyEighteenPixelsMovesItTenSteps) {
  window.Drag(At(60), At(78));
  EXPECT_EQ(First().StartStep, 30);
  EXPECT_EQ(First().EndStep, 50);
  EXPECT_EQ(undo.Captions(), (std::vector<std::string>{"Change Start Step", "Change End Step"}));
  EXPECT_EQ(log.names, (std::vector<std::string>{"ListChange 0", "ListChanged 0"}));
  EXPECT_EQ(slider->PaintPicture(clBtnFace).Pixel(65, 5), clNavy) << "the bar is redrawn where it went";
  EXPECT_EQ(slider->Picture().Pixel(50, 5), clBlue);
}

TEST_F(TimelineSliderTest, GripsMoveOneEndAndRefuseToCrossTheOther) {
  window.Drag(At(82), At(100));  // the end grip: 40 -> 50
  EXPECT_EQ(First().EndStep, 50);
  EXPECT_EQ(First().StartStep, 20);
  window.Drag(At(46), At(64));  // the start grip: 20 -> 30
  EXPECT_EQ(First().StartStep, 30);
  // Onto the end step: refused for that step, the reference moves on anyway.
  window.Move(At(64));
  window.Press(At(64));
  window.Move(At(100));  // 30 + 20 = 50: not below the end
  EXPECT_EQ(First().StartStep, 30);
  window.Move(At(91));  // 30 - 5 = 25
  EXPECT_EQ(First().StartStep, 25);
  window.Release(At(91));
}

TEST_F(TimelineSliderTest, ABodyDragBeyondTheScaleIsRefusedAsAWhole) {
  window.Drag(At(130), At(130 + 45));  // 60..80 + 25 -> 85..105: past Max
  EXPECT_EQ(sprite->Interval(1).StartStep, 60);
  EXPECT_EQ(sprite->Interval(1).EndStep, 80);
  window.Drag(At(60), At(60 - 36));  // 20..40 - 20 -> 0..20: step 0 is not on the scale
  EXPECT_EQ(First().StartStep, 20);
  EXPECT_EQ(First().EndStep, 40);
  EXPECT_TRUE(undo.records.empty());
  EXPECT_EQ(log.Count("ListChanged 0") + log.Count("ListChanged 1"), 0);
}

TEST_F(TimelineSliderTest, AnIntervalDeletedDuringTheDragIsLeftAlone) {
  ScriptedUiServices ui;  // would show an escaped error
  window.Move(At(130));
  window.Press(At(130));
  sprite->DeleteAppearance(1);
  window.Move(At(150));
  window.Release(At(150));
  ASSERT_EQ(sprite->IntervalCount(), 1);
  EXPECT_EQ(First().StartStep, 20);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TimelineSliderTest, WithoutAScaleDragsChangeNothing) {
  for (int width : {20, 12}) {
    slider->SetWidth(width);
    slider->MouseDown(mbLeft, {}, slider->SliderCenter(), 12);
    slider->MouseMove(TShiftState{ssLeft}, 0, 12);
    slider->MouseUp(mbLeft, {}, 0, 12);
    EXPECT_EQ(slider->Position(), 1) << width;
    slider->MouseDown(mbLeft, {}, slider->StepToX(30), 12);
    slider->MouseMove(TShiftState{ssLeft}, slider->StepToX(30) + 5, 12);
    slider->MouseUp(mbLeft, {}, 0, 12);
  }
  EXPECT_EQ(First().StartStep, 20);
  EXPECT_EQ(First().EndStep, 40);
  EXPECT_TRUE(log.names.empty());
}

// ---- Dragging the slider --------------------------------------------------------------------------------

TEST_F(TimelineSliderTest, DraggingTheSliderSeeksWithOneChangedAtTheRelease) {
  window.Move(At(12));
  window.Press(At(12));
  window.Move(At(100));
  EXPECT_EQ(slider->Position(), 50);
  window.Move(At(0));
  EXPECT_EQ(slider->Position(), 0);
  window.Release(At(0));
  EXPECT_EQ(log.names, (std::vector<std::string>{"Change", "Change", "Changed"}));
  // A press on the scale outside the slider and the bars does not move it.
  window.Click(At(100));
  EXPECT_EQ(slider->Position(), 0);
  EXPECT_EQ(log.Count("Changed"), 1);
  // A change by code counts at the next release.
  slider->SetPosition(7);
  window.Click(At(100));
  EXPECT_EQ(log.Count("Changed"), 2);
}
