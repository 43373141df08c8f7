#include "platform/Processes.h"

#include <gtest/gtest.h>

TEST(CommandLines, SplitAtBlanksOutsideDoubleQuotes) {
  using Args = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine("1 -q  \"C:/Program Files/x\"\tlast"), (Args{"1", "-q", "C:/Program Files/x", "last"}));
  EXPECT_EQ(SplitCommandLine("a\"b c\"d"), (Args{"ab cd"}));
  EXPECT_EQ(SplitCommandLine("\"\" x"), (Args{"", "x"}));
  EXPECT_EQ(SplitCommandLine("   "), Args{});
  EXPECT_EQ(SplitCommandLine("\"unclosed quote"), (Args{"unclosed quote"}));
}
