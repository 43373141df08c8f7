#include "scene/Sounds.h"

#include "scene/Undo.h"
#include "tests/scene/ProjectTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class SoundRecords : public testing::Test {
 protected:
  SoundRecords() {
    scene.Sounds.push_back(std::make_unique<TAudioFile>(&scene));
    sound = scene.Sounds[0].get();
  }

  std::string Write() {
    TMemoryStream stream;
    sound->SaveToStream(stream);
    return StreamBytes(stream);
  }

  FormatVersionsGuard guard;
  TempDir temp;
  TAnimatedScene scene;
  TAudioFile* sound;
};

TEST_F(SoundRecords, ANewSoundFileHasTheDefaultDeviceAndNoItems) {
  EXPECT_EQ(sound->DeviceType, 12);
  EXPECT_EQ(sound->ItemCount(), 0);
  EXPECT_EQ(sound->Index(), 0);
}

TEST_F(SoundRecords, TheRecordEmbedsTheWholeFile) {
  const std::string path = temp.WriteFile("clip.avi", "0123456789");
  sound->FileName = path;
  sound->DeviceType = 1;
  sound->AddItem(1, 0, 0);
  sound->AddItem(4, 9, 1);
  Bytes expected;
  expected.sstr(path).u8(1).i32(10).raw("0123456789").i32(2);
  expected.i32(1).i32(0).u8(0).i32(4).i32(9).u8(1);
  EXPECT_EQ(Write(), expected.str());
}

TEST_F(SoundRecords, AFileThatIsGoneIsWrittenWithSizeZeroAndStaysReadable) {
  sound->FileName = temp.File("deleted.avi");
  sound->AddItem(2, 3, 1);
  const std::string bytes = Write();
  Bytes expected;
  expected.sstr(sound->FileName).u8(12).i32(0).i32(1).i32(2).i32(3).u8(1);
  EXPECT_EQ(bytes, expected.str());
  TAudioFile copy(&scene);
  TMemoryStream stream;
  LoadBytes(stream, bytes);
  copy.LoadFromStream(stream);
  EXPECT_EQ(copy.FileName, sound->FileName);
  ASSERT_EQ(copy.ItemCount(), 1);
  EXPECT_EQ(copy.Item(0).StopStep, 3);
  EXPECT_EQ(copy.Item(0).StopFlag, 1);
}

TEST_F(SoundRecords, UndoModeEmbedsNothingAndCarriesTheIds) {
  const std::string path = temp.WriteFile("clip.avi", "bytes on disk");
  sound->FileName = path;
  TAudioItem& item = *sound->AddItem(1, 2, 0);
  UndoMode = 1;
  const std::string bytes = Write();
  Bytes expected;
  expected.sstr(path).u8(12).i32(0).i32(1).i32(1).i32(2).u8(0).i32(item.Id).i32(sound->Id);
  EXPECT_EQ(bytes, expected.str());
  TAudioFile copy(&scene);
  TMemoryStream stream;
  LoadBytes(stream, bytes);
  copy.LoadFromStream(stream);
  EXPECT_EQ(copy.Id, sound->Id);
  EXPECT_EQ(copy.Item(0).Id, item.Id);
  EXPECT_EQ(TempDir::ReadFile(path), "bytes on disk") << "the reader never touches the file";
}

TEST_F(SoundRecords, ReadingSkipsTheEmbeddedBytesAndChecksEveryCount) {
  Bytes record;
  record.sstr("x.avi").u8(1).i32(3).raw("abc").i32(1).i32(5).i32(6).u8(1);
  TMemoryStream stream;
  LoadBytes(stream, record.str() + "rest");
  sound->LoadFromStream(stream);
  EXPECT_EQ(stream.ReadBytes(4), "rest");
  EXPECT_EQ(sound->Item(0).StartStep, 5);
  for (const std::string& bad : {Bytes().sstr("x").u8(1).i32(100).str(), Bytes().sstr("x").u8(1).i32(-1).str(),
                                 Bytes().sstr("x").u8(1).i32(0).i32(1000).str()}) {
    LoadBytes(stream, bad);
    EXPECT_THROW(sound->LoadFromStream(stream), EReadError);
  }
}

TEST_F(SoundRecords, EditsRecordTheirUndoEntriesButReadingRecordsNothing) {
  RecordingUndo recorder;
  sound->SetFile("a.avi", 1);
  sound->AddItem(1, 0, 0);
  ASSERT_EQ(recorder.records.size(), 2u);
  EXPECT_EQ(recorder.records[0].caption, "Change Playing");
  EXPECT_EQ(recorder.records[1].caption, "Add Start/Stop position");
  for (const RecordedUndo& r : recorder.records) {
    EXPECT_EQ(r.recordKind, urkSound);
    EXPECT_TRUE(r.replace);
    EXPECT_EQ(r.index, 0);
    EXPECT_EQ(r.objectId, sound->Id);
    EXPECT_EQ(r.objectKind, uokSoundFile);
    EXPECT_TRUE(r.hasWriter);
  }
  const std::string bytes = Write();
  TMemoryStream stream;
  LoadBytes(stream, bytes);
  TAudioFile copy(&scene);
  copy.LoadFromStream(stream);
  EXPECT_EQ(recorder.records.size(), 2u);
  EXPECT_EQ(CurrentUndo, &recorder);
}

TEST_F(SoundRecords, ReadingPausesATUndoLogAndResumesIt) {
  TUndo undo;
  CurrentUndo = &undo;
  const std::string bytes = Bytes().sstr("a").u8(1).i32(0).i32(2).i32(1).i32(2).u8(0).i32(3).i32(4).u8(0).str();
  TMemoryStream stream;
  LoadBytes(stream, bytes);
  sound->LoadFromStream(stream);
  EXPECT_TRUE(undo.Empty());
  EXPECT_EQ(undo.RecordingAllowed, 1);
  sound->AddItem(1, 1, 1);
  EXPECT_FALSE(undo.Empty());
  CurrentUndo = nullptr;
}

}  // namespace
