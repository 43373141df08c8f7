#include "app/core/PropertyPageRules.h"

#include "scene/Moving.h"

#include <gtest/gtest.h>

namespace {

TEST(SliderStepText, ShowsTheStepBeforeTheSliderAndNeverLessThanOne) {
  EXPECT_EQ(SliderStepText(8), " 00007");
  EXPECT_EQ(SliderStepText(1), " 00001");
  EXPECT_EQ(SliderStepText(0), " 00001");
  EXPECT_EQ(SliderStepText(-5), " 00001");
  EXPECT_EQ(SliderStepText(100001), " 100000");
}

TEST(LoopCountFromText, ForeverInAnyCaseAndBoundedWholeNumbers) {
  EXPECT_EQ(LoopCountFromText("Forever"), -1);
  EXPECT_EQ(LoopCountFromText("forever"), -1);
  EXPECT_EQ(LoopCountFromText("FOREVER"), -1);
  EXPECT_EQ(LoopCountFromText("0"), 0);
  EXPECT_EQ(LoopCountFromText("10"), 10);
  EXPECT_EQ(LoopCountFromText("+7"), 7);
  EXPECT_EQ(LoopCountFromText("-3"), -1);
  EXPECT_EQ(LoopCountFromText("-0"), 0);
  EXPECT_EQ(LoopCountFromText("65536"), 65535);
  EXPECT_EQ(LoopCountFromText("99999999999999999999"), 65535);
  EXPECT_EQ(LoopCountFromText("000012"), 12);
  EXPECT_EQ(LoopCountFromText(""), std::nullopt);
  EXPECT_EQ(LoopCountFromText("-"), std::nullopt);
  EXPECT_EQ(LoopCountFromText("3 times"), std::nullopt);
  EXPECT_EQ(LoopCountFromText("Forever!"), std::nullopt);
  EXPECT_EQ(LoopCountText(-1), "Forever");
  EXPECT_EQ(LoopCountText(5), "5");
}

TEST(StepIntervals, SpeedsAndIntervalsConvertByRounding) {
  EXPECT_EQ(StepIntervalOf(20), 50);
  EXPECT_EQ(StepIntervalOf(15), 67);
  EXPECT_EQ(StepIntervalOf(0), 1000);
  EXPECT_EQ(StepsPerSecondOf(67), 15);
  EXPECT_EQ(StepsPerSecondOf(0), 1);
}

TEST(SeekTargets, AreBoundedForHostileStepCounts) {
  EXPECT_EQ(LastStepSeekTarget(40), 41);
  EXPECT_EQ(LastStepSeekTarget(2147483647), 100001);
  EXPECT_EQ(LastStepSeekTarget(-5), 2);
  EXPECT_EQ(SeekStepLimit(0), 1);
}

class MotionRows : public testing::Test {
 protected:
  TMoving path{nullptr};
  TMovingStep step{&path};
};

TEST_F(MotionRows, LinearRowsShowRoundedPointsAndTheFinishOppositeTheStart) {
  step.Kind = mskLine;
  step.StartX = 10.4;
  step.StartY = 19.6;
  step.X1 = 10.4;
  step.Y1 = 19.6;
  step.X2 = 100;
  step.Y2 = 40;
  step.SpeedStart = 2;
  step.SpeedEnd = 3;
  EXPECT_EQ(MotionRowTexts(step, true), (std::array<std::string, 5>{"Linear", "10, 20", "100, 40", "2", "3"}));
  step.StartX = 150;  // beyond x1: the finish is x1
  EXPECT_EQ(MotionRowTexts(step, true)[2], "10, 40");
}

TEST_F(MotionRows, FixedAndEffectRowsShowDashes) {
  step.Kind = mskHold;
  step.StartX = 5;
  step.StartY = 6;
  EXPECT_EQ(MotionRowTexts(step, true), (std::array<std::string, 5>{"Fixed Position", "5, 6", "-----", "-----", "-----"}));
  step.Kind = mskRandomPoints;
  step.X1 = 0;
  step.Y1 = 1;
  step.X2 = 2.5;
  step.Y2 = 3;
  EXPECT_EQ(MotionRowTexts(step, false),
            (std::array<std::string, 5>{"Random", "-----",
                                        "Bounds: Left:0.00% , Right:2.50% , Top:1.00% , Bottom:3.00% ", "-----",
                                        "-----"}));
  step.Kind = mskDirectional;
  EXPECT_EQ(MotionRowTexts(step, false)[0], "Rain");
  step.Kind = mskBurst;
  EXPECT_EQ(MotionRowTexts(step, false)[0], "Stars");
}

TEST_F(MotionRows, BounceRowsShowPixelBoundsOrTheRandomFirstPoint) {
  step.Kind = mskBounce;
  step.StartX = 1;
  step.StartY = 2;
  step.X1 = 0;
  step.Y1 = 0;
  step.X2 = 400;
  step.Y2 = 60;
  step.SpeedStart = 4;
  step.SpeedEnd = 4;
  EXPECT_EQ(MotionRowTexts(step, true),
            (std::array<std::string, 5>{"Bounce", "X:1.00 pxs , Y:2.00 pxs ",
                                        "Moving bounds: Left:0.00 pxs , Right:400.00 pxs , Top:0.00 pxs , Bottom:60.00 pxs ",
                                        "4", "4"}));
  step.RandomStart = 1;
  EXPECT_EQ(MotionRowTexts(step, true)[1], "Random first point");
}

TEST(MotionFieldText, KeepsUpToTwoDecimals) {
  EXPECT_EQ(MotionFieldText(0.5), "0.5");
  EXPECT_EQ(MotionFieldText(10), "10");
  EXPECT_EQ(MotionFieldText(12.25), "12.25");
  EXPECT_EQ(MotionFieldText(-0.001), "0");
}

}  // namespace
