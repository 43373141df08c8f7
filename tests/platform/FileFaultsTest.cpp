// The fault seam of file writes: the n-th call of a kind fails once with the
// chosen errno and does nothing else; disarmed, every call goes through.
#include "platform/FileFaults.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

TEST(FileFaults, TheNthCallOfItsKindFailsOnceAndAFailingCloseStillCloses) {
  TempDir dir;
  const std::string a = dir.WriteFile("a", "x"), b = dir.File("b"), c = dir.File("c");
  {
    const TFileFault secondRename(TFileCall::fcRename, 2, EXDEV);
    const TFileFault firstClose(TFileCall::fcClose, 1, EDQUOT);
    EXPECT_EQ(FileCalls::Link(a.c_str(), c.c_str()), 0) << "another kind is not counted";
    EXPECT_EQ(FileCalls::Rename(a.c_str(), b.c_str()), 0);
    EXPECT_FALSE(secondRename.Fired());
    errno = 0;
    EXPECT_EQ(FileCalls::Rename(b.c_str(), a.c_str()), -1);
    EXPECT_EQ(errno, EXDEV);
    EXPECT_TRUE(secondRename.Fired());
    EXPECT_TRUE(TempDir::ReadFile(b) == "x") << "the failed rename did nothing";
    EXPECT_EQ(FileCalls::Rename(b.c_str(), a.c_str()), 0) << "a fault fires once";

    const int fd = ::open(a.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(FileCalls::Close(fd), -1);
    EXPECT_EQ(errno, EDQUOT);
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1) << "the descriptor is closed all the same";
  }
  // Disarmed: the calls are the system's.
  EXPECT_EQ(FileCalls::Rename(a.c_str(), b.c_str()), 0);
}
