// The program-wide format versions around one piece of work: a snapshot
// writes in the newest format and leaves an older save's version as it was;
// a save that picks its own version leaves both at the newest, also when it
// fails.
#include "scene/SceneGlobals.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct VersionsReset {
  ~VersionsReset() { SaveVersion = ReadVersion = kNewestFormatVersion; }
};

TEST(FormatVersionScope, NewestForTheWorkThenTheVersionsInUseComeBack) {
  VersionsReset reset;
  SaveVersion = 8;
  ReadVersion = 12;
  {
    const TFormatVersionScope snapshot(TFormatVersionScope::kUseNewest);
    EXPECT_EQ(SaveVersion, kNewestFormatVersion);
    EXPECT_EQ(ReadVersion, kNewestFormatVersion);
    {
      // A snapshot inside a snapshot puts back the newest, not the save's version.
      const TFormatVersionScope inner(TFormatVersionScope::kUseNewest);
      SaveVersion = 4;
    }
    EXPECT_EQ(SaveVersion, kNewestFormatVersion);
  }
  EXPECT_EQ(SaveVersion, 8);
  EXPECT_EQ(ReadVersion, 12);
}

TEST(FormatVersionScope, AChosenVersionReturnsToTheNewestOnEveryWayOut) {
  VersionsReset reset;
  {
    const TFormatVersionScope save(TFormatVersionScope::kNewestAfterwards);
    EXPECT_EQ(SaveVersion, kNewestFormatVersion) << "nothing is changed at the start";
    SaveVersion = 6;
    ReadVersion = 6;
  }
  EXPECT_EQ(SaveVersion, kNewestFormatVersion);
  EXPECT_EQ(ReadVersion, kNewestFormatVersion);

  try {
    const TFormatVersionScope save(TFormatVersionScope::kNewestAfterwards);
    SaveVersion = 2;
    throw std::runtime_error("the write failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(SaveVersion, kNewestFormatVersion);
}

}  // namespace
