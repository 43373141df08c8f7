#include "platform/ProcessExit.h"
#include "tests/support/RecordedProcessExit.h"

#include <gtest/gtest.h>

TEST(ProcessExit, ATestRecordsTheCallAndGoesOn) {
  RecordedProcessExit outer;
  {
    RecordedProcessExit inner;
    TerminateProcess(0);
    EXPECT_EQ(inner.exitCodes, std::vector<std::uint32_t>{0});
  }
  TerminateProcess(7);
  EXPECT_EQ(outer.exitCodes, std::vector<std::uint32_t>{7});
}

TEST(ProcessExitDeathTest, TheDefaultEndsTheProcessAtOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(TerminateProcess(3), testing::ExitedWithCode(3), "");
}
