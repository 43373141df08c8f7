#include "platform/SystemValues.h"
#include "tests/support/FakeSystemValues.h"

#include <gtest/gtest.h>

#include <set>

TEST(RandomGenerator, ASeedRepeatsItsSequenceWithinTheRange) {
  RandSeed = 12345;
  std::vector<int> first;
  for (int i = 0; i < 20; ++i) first.push_back(Random(1000));
  RandSeed = 12345;
  for (int i = 0; i < 20; ++i) EXPECT_EQ(Random(1000), first[i]);
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    const int r = Random(10);
    ASSERT_TRUE(r >= 0 && r < 10) << r;
    seen.insert(r);
    const double x = RandomReal();
    ASSERT_TRUE(x >= 0.0 && x < 1.0) << x;
  }
  EXPECT_EQ(seen.size(), 10u);
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-3), 0);
}

TEST(InjectedSystemValues, ReplaceAndRestore) {
  {
    FakeSystemValues values;
    values.micros = 777;
    Randomize();  // seeds from the clock
    EXPECT_EQ(RandSeed, 777);
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
