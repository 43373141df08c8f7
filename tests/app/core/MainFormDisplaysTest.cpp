#include "app/core/MainFormDisplays.h"

#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ProgressDisplay, PercentOfDoneAndItsText) {
  EXPECT_EQ(ProgressPercentOf(0, 4), 0);
  EXPECT_EQ(ProgressPercentOf(2, 4), 50);
  EXPECT_EQ(ProgressPercentOf(1, 3), 33);
  EXPECT_EQ(ProgressPercentOf(2, 3), 67);
  EXPECT_EQ(ProgressPercentOf(4, 4), 100);
  EXPECT_EQ(ProgressPercentOf(3, 0), 0);
  EXPECT_EQ(ProgressText(0), "0% done");
  EXPECT_EQ(ProgressText(50), "50% done");
}

TEST(StepDisplay, ShowsTheStepBeforeTheScenesCurrentStep) {
  EXPECT_EQ(StepDisplayText(1), " 00001");
  EXPECT_EQ(StepDisplayText(2), " 00001");
  EXPECT_EQ(StepDisplayText(3), " 00002");
  EXPECT_EQ(StepDisplayText(100000), " 99999");
}

TEST(StepSpeed, AMeasurementEndsAfterHalfASecond) {
  TStepSpeedMeter meter;
  EXPECT_FALSE(meter.StepShown(1000));
  EXPECT_EQ(meter.StepClockStart, 1000);
  EXPECT_FALSE(meter.StepShown(300000));
  EXPECT_FALSE(meter.StepShown(501000));  // exactly half a second is not more
  EXPECT_EQ(meter.StepShown(601000), "  6.7");  // 4 steps in 0.6 s
  EXPECT_EQ(meter.StepCounter, 0);
  EXPECT_EQ(meter.StepClockStart, 601000);
  EXPECT_FALSE(meter.StepShown(700000));
  EXPECT_EQ(meter.StepShown(1101001), "  4.0");  // 2 steps in 0.500001 s
}

TEST(StepSpeed, AWrapOfTheMicrosecondClockCountsTheTimeThatPassed) {
  TStepSpeedMeter meter;
  const std::int32_t start = static_cast<std::int32_t>(0xFFFF0000u);  // shortly before the wrap
  EXPECT_FALSE(meter.StepShown(start));
  const std::int32_t later = static_cast<std::int32_t>(0xFFFF0000u + 1000000u);  // one second on, wrapped
  EXPECT_EQ(meter.StepShown(later), "  2.0");
}

TEST(StepSpeed, NoElapsedTimeGivesNoSpeed) {
  TStepSpeedMeter meter;
  meter.StepShown(5000);
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(meter.StepShown(5000));
  EXPECT_EQ(meter.StepCounter, 11);
}

TEST(Text3DLists, DepthAndSizeItems) {
  const std::vector<std::string> depths = DepthListItems();
  ASSERT_EQ(depths.size(), 40u);
  EXPECT_EQ(depths[0], "0");
  EXPECT_EQ(depths[1], "0.01");
  EXPECT_EQ(depths[3], "0.03");
  EXPECT_EQ(depths[9], "0.09");
  EXPECT_EQ(depths[10], "0.1");
  EXPECT_EQ(depths[12], "0.3");
  EXPECT_EQ(depths[16], "0.7");
  EXPECT_EQ(depths[38], "2.9");
  EXPECT_EQ(depths[39], "3");
  const std::vector<std::string> sizes = SizeListItems();
  ASSERT_EQ(sizes.size(), 70u);
  EXPECT_EQ(sizes.front(), "1");
  EXPECT_EQ(sizes.back(), "70");
}

TEST(PresetMask, TheFirstMultipleOfFifteenNoPixelHas) {
  TBitmap picture;
  picture.SetSize(3, 1);
  picture.SetPixel(0, 0, 0);
  picture.SetPixel(1, 0, 0);
  picture.SetPixel(2, 0, 0);
  EXPECT_EQ(PresetMaskColor(picture), 15u);
  picture.SetPixel(0, 0, 15);
  picture.SetPixel(1, 0, 45);
  EXPECT_EQ(PresetMaskColor(picture), 30u);
  picture.SetPixel(2, 0, 30);
  EXPECT_EQ(PresetMaskColor(picture), 60u);
}

TEST(PresetMask, APictureThatUsesEveryCandidateGetsOneBeyondTheColours) {
  // Every multiple of 15 below $1000000: 1,118,481 colours.
  constexpr std::uint32_t kCandidates = 0xFFFFFF / 15;
  TBitmap picture;
  picture.SetSize(1024, static_cast<int>(kCandidates / 1024 + 1));
  for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(picture.Width() * picture.Height()); ++i) {
    const TColor color = i < kCandidates ? (i + 1) * 15 : 0;
    std::uint8_t* pixel = picture.ScanLine(static_cast<int>(i / 1024)) + (i % 1024) * 3;
    pixel[0] = static_cast<std::uint8_t>(color >> 16);  // blue
    pixel[1] = static_cast<std::uint8_t>(color >> 8);
    pixel[2] = static_cast<std::uint8_t>(color);  // red
  }
  EXPECT_GE(PresetMaskColor(picture), 0x1000000u);
  EXPECT_EQ(PresetMaskColor(picture), 15u * (kCandidates + 1));
}

std::string Block(std::int32_t size, std::int32_t kind, std::size_t length) {
  std::string block(length, '\0');
  std::memcpy(block.data(), &size, std::min<std::size_t>(4, length));
  if (length >= 8) std::memcpy(block.data() + 4, &kind, 4);
  return block;
}

TEST(PasteStates, FollowWhatTheClipboardHolds) {
  EXPECT_EQ(PasteStatesOf(false, std::nullopt), (TPasteStates{false, false, false}));
  EXPECT_EQ(PasteStatesOf(true, std::nullopt), (TPasteStates{true, true, true}));
  EXPECT_EQ(PasteStatesOf(false, Block(20, 1, 20)), (TPasteStates{true, false, false}));
  EXPECT_EQ(PasteStatesOf(false, Block(20, 2, 20)), (TPasteStates{true, false, true}));
  EXPECT_EQ(PasteStatesOf(false, Block(20, 3, 20)), (TPasteStates{true, false, false}));
  EXPECT_EQ(PasteStatesOf(true, Block(20, 3, 20)), (TPasteStates{true, true, true}));
}

TEST(PasteStates, ABlockShorterThanEightBytesIsNoObject) {
  EXPECT_EQ(PasteStatesOf(false, Block(4, 0, 4)), (TPasteStates{false, false, false}));
  EXPECT_EQ(PasteStatesOf(false, Block(7, 2, 7)), (TPasteStates{false, false, false}));
  EXPECT_EQ(PasteStatesOf(false, std::string()), (TPasteStates{false, false, false}));
}

}  // namespace
