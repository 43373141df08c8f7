#include "scene/Sounds.h"

#include "scene/Undo.h"
#include "tests/scene/ProjectTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class SoundRecords : public testing::Test {
 protected:
  SoundRecords() {
    scene.Sounds.push_back(std::make_unique<TAudioFile>(&scene));
    sound = scene.Sounds[0].get();
  }

  void Read(TAudioFile& into, const std::string& bytes) {
    TMemoryStream stream;
    LoadBytes(stream, bytes);
    into.LoadFromStream(stream);
  }

  FormatVersionsGuard guard;
  TempDir temp;
  TAnimatedScene scene;
  TAudioFile* sound;
};

TEST_F(SoundRecords, TheRecordEmbedsTheWholeFile) {
  const std::string path = temp.WriteFile("clip.avi", "0123456789");
  sound->FileName = path;
  sound->DeviceType = 1;
  sound->AddItem(1, 0, 0);
  sound->AddItem(4, 9, 1);
  Bytes expected;
  expected.sstr(path).u8(1).i32(10).raw("0123456789").i32(2).i32(1).i32(0).u8(0).i32(4).i32(9).u8(1);
  EXPECT_EQ(Written(*sound), expected.str());
}

TEST_F(SoundRecords, AFileThatIsGoneOrOf2GiBIsWrittenWithSizeZeroAndStaysReadable) {
  const std::string big = temp.WriteFile("big.avi", "");
  std::filesystem::resize_file(big, std::uintmax_t{0x80000000});  // sparse: nothing is written
  sound->AddItem(2, 3, 1);
  for (const std::string& path : {temp.File("deleted.avi"), big}) {
    sound->FileName = path;
    const std::string bytes = Written(*sound);
    EXPECT_EQ(bytes, Bytes().sstr(path).u8(12).i32(0).i32(1).i32(2).i32(3).u8(1).str());
    TAudioFile copy(&scene);
    Read(copy, bytes);
    EXPECT_EQ(copy.FileName, path);
    ASSERT_EQ(copy.ItemCount(), 1);
    EXPECT_EQ(std::pair(copy.Item(0).StopStep, copy.Item(0).StopFlag), std::pair(3, std::uint8_t{1}));
  }
}

TEST_F(SoundRecords, UndoModeEmbedsNothingAndCarriesTheIds) {
  const std::string path = temp.WriteFile("clip.avi", "bytes on disk");
  sound->FileName = path;
  TAudioItem& item = *sound->AddItem(1, 2, 0);
  UndoMode = 1;
  const std::string bytes = Written(*sound);
  EXPECT_EQ(bytes, Bytes().sstr(path).u8(12).i32(0).i32(1).i32(1).i32(2).u8(0).i32(item.Id).i32(sound->Id).str());
  TAudioFile copy(&scene);
  Read(copy, bytes);
  EXPECT_EQ(copy.Id, sound->Id);
  EXPECT_EQ(copy.Item(0).Id, item.Id);
  EXPECT_EQ(TempDir::ReadFile(path), "bytes on disk") << "the reader never touches the file";
}

TEST_F(SoundRecords, ReadingSkipsTheEmbeddedBytesAndChecksEveryCount) {
  TMemoryStream stream;
  LoadBytes(stream, Bytes().sstr("x.avi").u8(1).i32(3).raw("abc").i32(1).i32(5).i32(6).u8(1).raw("rest").str());
  sound->LoadFromStream(stream);
  EXPECT_EQ(stream.ReadBytes(4), "rest");
  EXPECT_EQ(sound->Item(0).StartStep, 5);
  for (const std::string& bad : {Bytes().sstr("x").u8(1).i32(100).str(), Bytes().sstr("x").u8(1).i32(-1).str(),
                                 Bytes().sstr("x").u8(1).i32(0).i32(1000).str()}) {
    LoadBytes(stream, bad);
    EXPECT_THROW(sound->LoadFromStream(stream), EReadError);
  }
}

TEST_F(SoundRecords, ReadingRecordsNoUndoAndResumesTheLog) {
  TUndo undo;
  CurrentUndo = &undo;
  Read(*sound, Bytes().sstr("a").u8(1).i32(0).i32(2).i32(1).i32(2).u8(0).i32(3).i32(4).u8(0).str());
  EXPECT_TRUE(undo.Empty());
  EXPECT_EQ(undo.RecordingAllowed, 1);
  sound->AddItem(1, 1, 1);
  EXPECT_FALSE(undo.Empty());
  CurrentUndo = nullptr;
}

}  // namespace
