#include "platform/SystemValues.h"
#include "tests/support/FakeSystemValues.h"

#include <gtest/gtest.h>

#include <set>

TEST(RandomGenerator, ASeedAlwaysGivesTheSameSequence) {
  RandSeed = 12345;
  std::vector<int> first;
  for (int i = 0; i < 20; ++i) first.push_back(Random(1000));
  RandSeed = 12345;
  for (int i = 0; i < 20; ++i) EXPECT_EQ(Random(1000), first[i]);
}

TEST(RandomGenerator, StaysInRange) {
  RandSeed = 7;
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    const int r = Random(10);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 10);
    seen.insert(r);
    const double x = RandomReal();
    ASSERT_GE(x, 0.0);
    ASSERT_LT(x, 1.0);
  }
  EXPECT_EQ(seen.size(), 10u);
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-3), 0);
}

TEST(RandomGenerator, RandomizeSeedsFromTheClock) {
  FakeSystemValues values;
  values.micros = 777;
  Randomize();
  EXPECT_EQ(RandSeed, 777);
}

TEST(InjectedSystemValues, ReplaceAndRestore) {
  {
    FakeSystemValues values;
    values.physicalMemory = std::uint64_t{16} << 30;
    EXPECT_EQ(PhysicalMemoryCapped(), std::uint64_t{4} << 30);
    values.physicalMemory = 1000;
    EXPECT_EQ(PhysicalMemoryCapped(), 1000u);
    EXPECT_EQ(System().ScreenSize(), (TSize{1024, 768}));
  }
  EXPECT_FALSE(System().HasResourceMeter());
  EXPECT_EQ(System().FreeResourcesProbe(0), 100);
  EXPECT_GT(System().PhysicalMemory(), 0u);
}
