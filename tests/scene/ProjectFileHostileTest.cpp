// Damaged project files: every truncation and a sweep of byte mutations over
// saved projects of several versions must read as a clean failure (the scene
// left as it was) or as a scene, never as a crash, a leak or unbounded memory.
#include "imaging/AVIFileU.h"
#include "scene/Sounds.h"
#include "tests/scene/ProjectTestSupport.h"
#include "tests/support/AviTestFiles.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

struct HostileCase {
  const char* name;
  int version;
  int compress;
  // The mutation sweep of a large file is split into shards that run as tests
  // of their own: shard k takes every shardCount-th damaged position from the
  // k-th on, so the shards together cover exactly the positions of one sweep.
  int shard = 0;
  int shardCount = 1;
};

// The long sweeps run only with GC_LONG_SWEEP=1 (ctest's entries labelled
// "long"); every run takes a quick fixed sample of the same damage.
bool LongSweepWanted() {
  const char* wanted = std::getenv("GC_LONG_SWEEP");
  return wanted != nullptr && std::string(wanted) == "1";
}

class DamagedProject : public testing::TestWithParam<HostileCase> {
 protected:
  DamagedProject() {
    FillRichScene(source);
    source.Sprite(2).Frame(0).Text = "Start";
    // A kept clip and an embedded sound as well.
    AviTestFile f;
    AviTestStream video;
    video.format = DibFormat(4, 2, 24);
    f.streams = {video};
    f.chunks = {{"00db", Rows24(4, 2, [](int, int) { return 0x00FF00u; })}};
    const std::string clip = dir.WriteFile("clip.avi", f.Build());
    TAVIImagePtr image(new TAVIImage());
    image->SetSoundFlag(false);
    image->OpenFile(clip);
    TFrame& frame = *source.Sprite(3).AddFrame();
    frame.LoadAviSource(std::move(image), false, 0);
    source.Sounds.push_back(std::make_unique<TAudioFile>(&source));
    source.Sounds[0]->FileName = dir.WriteFile("sound.wav", "RIFF0000WAVE");
    source.Sounds[0]->AddItem(1, 0, 0);

    ResetTarget();
  }

  void ResetTarget() {
    target.ClearSprites();
    target.Sounds.clear();
    int index;
    target.AddSprite(index)->AddShape(fkRectangle, 6, 4, SampleShape(), false, 0);
    target.Name = "Target", target.Width = 468, target.Height = 60;
    before = SceneSnapshot(target);
  }

  std::string Saved() {
    SaveVersion = GetParam().version;
    TMemoryStream stream;
    source.SaveToStream(stream, GetParam().compress, 1024);
    return StreamBytes(stream);
  }

  // Reads the bytes into the target; a failed read must leave it as it was.
  // Returns whether the read failed.
  bool ReadDamaged(const std::string& bytes, const std::string& what) {
    ReadScene(target, bytes);
    EXPECT_EQ(ReadVersion, 16);
    const bool failed = target.Failed != 0;
    if (failed && target.LoadErrorText.empty()) {
      EXPECT_EQ(SceneSnapshot(target), before) << what;
      EXPECT_EQ(ui.messages.empty() ? "" : ui.messages.back().text, "Cannot read data from file.") << what;
    } else if (!failed) {
      // What was read can be played: a few steps are composed.
      target.Play();
      for (int i = 0; i < 3; ++i) target.NextFrame();
      target.Stop();
      // A read that succeeded replaced the scene: start again from the original.
      ResetTarget();
    }
    ui.messages.clear();
    return failed;
  }

  FormatVersionsGuard guard;
  ScriptedUiServices ui;
  TempDir dir;
  TAnimatedScene source;
  TAnimatedScene target;
  std::string before;
};

TEST_P(DamagedProject, EveryTruncationFailsCleanly) {
  const std::string file = Saved();
  TAnimatedScene check;
  ReadScene(check, file);
  ASSERT_EQ(check.Failed, 0) << "the undamaged file reads";
  // Every cut in the first bytes and near the end, and a spread over the rest
  // (the long sweep cuts in the first 2 KiB, the last 600 bytes and at 600
  // places between).
  const bool longSweep = LongSweepWanted();
  const std::size_t head = longSweep ? 2048 : 384;
  const std::size_t tail = longSweep ? 600 : 96;
  const std::size_t step = std::max<std::size_t>(1, file.size() / (longSweep ? 600 : 120));
  for (std::size_t cut = 0; cut < file.size(); cut += (cut < head || cut + tail > file.size()) ? 1 : step) {
    EXPECT_TRUE(ReadDamaged(file.substr(0, cut), "cut at " + std::to_string(cut))) << "cut at " << cut;
    if (HasFailure()) return;
  }
}

// The mutation sweep has a fixture of its own so that its cases can be sharded.
class MutatedProject : public DamagedProject {};

// The positions a sweep damages. The quick sweep takes the signature and
// version fields and a fixed sample of the rest (the same on every run, so a
// failure repeats); the long sweep takes every position of the first 1500
// bytes and a spread over the rest.
std::vector<std::size_t> SweepPositions(std::size_t fileSize, bool longSweep) {
  std::vector<std::size_t> positions;
  if (longSweep) {
    const std::size_t step = std::max<std::size_t>(1, fileSize / 700);
    for (std::size_t at = 0; at < fileSize; at += (at < 1500 ? 1 : step)) positions.push_back(at);
    return positions;
  }
  constexpr std::size_t kHeaderBytes = 16;
  constexpr int kSampled = 28;
  for (std::size_t at = 0; at < std::min(kHeaderBytes, fileSize); ++at) positions.push_back(at);
  std::mt19937 random(20261210);
  std::uniform_int_distribution<std::size_t> anywhere(0, fileSize - 1);
  for (int i = 0; i < kSampled; ++i) positions.push_back(anywhere(random));
  return positions;
}

TEST_P(MutatedProject, MutatedBytesNeverCrashOrLeak) {
  const std::string file = Saved();
  const bool longSweep = LongSweepWanted();
  const int shardCount = GetParam().shardCount;
  const std::uint8_t bytes[] = {0x00, 0xFF, 0x80, 0x7F};
  std::size_t positionNumber = 0;
  for (std::size_t at : SweepPositions(file.size(), longSweep)) {
    if (static_cast<int>(positionNumber++ % static_cast<std::size_t>(shardCount)) != GetParam().shard) continue;
    for (std::uint8_t value : bytes) {
      std::string damaged = file;
      damaged[at] = static_cast<char>(value);
      ReadDamaged(damaged, "byte " + std::to_string(value) + " at " + std::to_string(at));
      if (HasFailure()) return;
    }
    // A whole 4-byte value made huge or negative.
    if (at + 4 <= file.size() && (!longSweep || at % 3 == 0)) {
      for (std::uint32_t value : {0x7FFFFFFFu, 0x80000000u, 0x00FFFFFFu}) {
        std::string damaged = file;
        for (int i = 0; i < 4; ++i) damaged[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
        ReadDamaged(damaged, "int at " + std::to_string(at));
        if (HasFailure()) return;
      }
    }
  }
}

// Test names and failure messages name the case, not its bytes.
void PrintTo(const HostileCase& c, std::ostream* out) {
  *out << c.name;
  if (c.shardCount > 1) *out << " shard " << c.shard << " of " << c.shardCount;
}

std::string CaseName(const testing::TestParamInfo<HostileCase>& info) {
  std::string name = info.param.name;
  if (info.param.shardCount > 1) name += "_Shard" + std::to_string(info.param.shard);
  return name;
}

INSTANTIATE_TEST_SUITE_P(Versions, DamagedProject,
                         testing::Values(HostileCase{"Version16", 16, 0}, HostileCase{"Version12", 12, 0},
                                         HostileCase{"Version8", 8, 0}, HostileCase{"Version4", 4, 0},
                                         HostileCase{"Version8Coded", 8, 1}, HostileCase{"Version6Coded", 6, 1}),
                         CaseName);

// The long mutation sweeps are the longest tests there are, the version-16
// one by far (its file is the largest, and every mutation that still reads is
// played for a few steps, which renders its 3D text). Each runs in shards,
// every shard a test of its own, so that no single test runs long; the quick
// sweep is one test per version.
std::vector<HostileCase> MutationCases() {
  struct Sweep {
    HostileCase version;
    int shards;
  };
  const Sweep sweeps[] = {{{"Version16", 16, 0}, 16},   {{"Version12", 12, 0}, 4},    {{"Version8", 8, 0}, 4},
                          {{"Version4", 4, 0}, 4},      {{"Version8Coded", 8, 1}, 2}, {{"Version6Coded", 6, 1}, 4}};
  const bool longSweep = LongSweepWanted();
  std::vector<HostileCase> cases;
  for (const Sweep& sweep : sweeps) {
    const int shards = longSweep ? sweep.shards : 1;
    for (int shard = 0; shard < shards; ++shard) {
      HostileCase one = sweep.version;
      one.shard = shard;
      one.shardCount = shards;
      cases.push_back(one);
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Versions, MutatedProject, testing::ValuesIn(MutationCases()), CaseName);

}  // namespace
