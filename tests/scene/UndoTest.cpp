#include "scene/Undo.h"

#include "scene/Sounds.h"
#include "tests/scene/ProjectTestSupport.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

std::int32_t IntAt(const TMemoryStream& log, std::int64_t at) {
  std::int32_t v;
  std::memcpy(&v, log.Memory() + at, 4);
  return v;
}

class UndoLog : public testing::Test {
 protected:
  UndoLog() : undo([this] { return current; }) {
    CurrentUndo = &undo;
    FillRichScene(scene);
    scene.Sprite(2).Frame(0).Text = "Start";
    for (const std::string& file : {temp.WriteFile("sound.avi", "RIFF sound"), std::string("second.avi")}) {
      scene.Sounds.push_back(std::make_unique<TAudioFile>(&scene));
      scene.Sounds.back()->FileName = file;
    }
    scene.Sounds[0]->DeviceType = 1;
    undo.Clear();
  }
  ~UndoLog() override { CurrentUndo = nullptr; }

  // Runs the edit, checks that it recorded one record of the kind with the
  // caption, and that undoing it gives back the scene as it was.
  template <typename Edit>
  void ExpectUndone(const std::string& caption, std::int32_t objectKind, Edit edit) {
    const std::string before = SceneSnapshot(scene);
    const std::int64_t size = undo.Log().Size();
    edit();
    ASSERT_GT(undo.Log().Size(), size) << caption;
    EXPECT_EQ(undo.Caption(), caption);
    EXPECT_EQ(IntAt(undo.Log(), undo.LastRecordPosition() + TUndo::kObjectKindAt), objectKind) << caption;
    EXPECT_NE(SceneSnapshot(scene), before) << caption << " changed nothing";
    undo.Undo();
    EXPECT_EQ(UndoMode, 0);
    EXPECT_EQ(undo.Log().Size(), size) << caption;
    EXPECT_EQ(SceneSnapshot(scene), before) << caption;
  }

  // An edit the caller records itself before making it.
  template <typename Edit>
  void ExpectUndoneRecorded(std::int32_t recordKind, const char* caption, std::int32_t index, std::int32_t id,
                            std::int32_t objectKind, Edit edit) {
    ExpectUndone(caption, objectKind, [&] {
      undo.AddRecord(recordKind, caption, false, index, id, objectKind, nullptr);
      edit();
    });
  }

  FormatVersionsGuard guard;
  ScriptedUiServices ui;
  TempDir temp;
  TAnimatedScene scene;
  TAnimatedScene* current = &scene;
  TUndo undo;
};

// ---- The log's records ----------------------------------------------------------------------------------

TEST_F(UndoLog, EachRecordIsA281ByteHeaderAndItsSnapshot) {
  undo.AddRecord(3, "First", false, 5, 0, uokSceneSettings, [](TStream& s) { s.WriteBytes("ABC"); });
  ASSERT_EQ(undo.Log().Size(), 281 + 3);
  undo.AddRecord(1, "Change Duration", true, 7, 0x11223344, uokFrameInPlace, [](TStream& s) {
    EXPECT_EQ(UndoMode, 1);
    s.WriteBytes("XY");
  });
  EXPECT_EQ(UndoMode, 0);
  TMemoryStream& log = undo.Log();
  ASSERT_EQ(log.Size(), 284 + 281 + 2);
  const std::int64_t h = 284;
  const std::string header(reinterpret_cast<const char*>(log.Memory() + h), 283);
  EXPECT_EQ(undo.LastRecordPosition(), h);
  EXPECT_EQ(header.substr(0, 24), Bytes().i32(1).i32(0).sstr("Change Duration").str());  // previous record at 0
  EXPECT_EQ(header.substr(264), Bytes().i32(0).i32(uokFrameInPlace).i32(0x11223344).i32(7).u8(1).raw("XY").str());
  undo.AddRecord(1, "Third", false, 0, 0, uokAddedSprite, nullptr);
  EXPECT_EQ(IntAt(log, 284 + 283 + 4), 284);
}

TEST_F(UndoLog, AfterAnUndoTheCaptionIsThatOfTheRecordNowLastAndAnEmptyLogDoesNothing) {
  undo.AddRecord(1, "One", false, 0, 0, 999, nullptr);
  undo.AddRecord(1, "Two", false, 0, 0, 999, nullptr);
  EXPECT_EQ(undo.Caption(), "Two");
  undo.Undo();
  EXPECT_EQ(undo.Caption(), "One");
  EXPECT_EQ(undo.LastRecordPosition(), 0);
  undo.Undo();
  EXPECT_TRUE(undo.Empty());
  const std::string before = SceneSnapshot(scene);
  undo.Undo();
  EXPECT_TRUE(undo.Empty());
  EXPECT_EQ(SceneSnapshot(scene), before);
}

TEST_F(UndoLog, NothingIsRecordedWhileRecordingIsNotAllowedOrTheLogIsOff) {
  int index;
  undo.RecordingAllowed = 0;
  scene.AddSprite(index);
  EXPECT_TRUE(undo.Empty());
  undo.RecordingAllowed = 1;
  scene.AddSprite(index);
  EXPECT_FALSE(undo.Empty());
  undo.SetEnabled(0);
  EXPECT_TRUE(undo.Empty()) << "switching off clears the log";
  scene.AddSprite(index);
  EXPECT_TRUE(undo.Empty());
  undo.SetEnabled(1);
  scene.AddSprite(index);
  undo.SetEnabled(1);
  EXPECT_FALSE(undo.Empty());
}

TEST_F(UndoLog, ALogPastAnEighthOfTheMemoryStartsAgain) {
  FakeSystemValues system;
  system.physicalMemory = 16 * 1024;  // limit: 2 KiB
  undo.AddRecord(1, "Big", false, 0, 0, 999, [](TStream& s) { s.WriteBytes(std::string(1500, 'x')); });
  undo.AddRecord(1, "Next", false, 0, 0, 999, nullptr);
  EXPECT_EQ(undo.Log().Size(), 281 + 1500 + 281);
  undo.AddRecord(1, "After the limit", false, 0, 0, 999, nullptr);
  EXPECT_EQ(undo.Log().Size(), 281);
  EXPECT_EQ(undo.LastRecordPosition(), 0);
  EXPECT_EQ(undo.Caption(), "After the limit");
}

TEST_F(UndoLog, AWriterThatFailsTakesItsRecordBack) {
  undo.AddRecord(1, "Kept", false, 0, 0, 999, nullptr);
  const auto failing = [](TStream& s) {
    s.WriteBytes("partial");
    throw EWriteError("disk full");
  };
  EXPECT_THROW(undo.AddRecord(1, "Broken", false, 0, 0, 999, failing), EWriteError);
  EXPECT_EQ(UndoMode, 0);
  EXPECT_EQ(undo.Log().Size(), 281);
  EXPECT_EQ(undo.Caption(), "Kept");
  EXPECT_EQ(undo.LastRecordPosition(), 0);
}

TEST_F(UndoLog, ARestoreThatFailsKeepsItsRecordAndTheScene) {
  const std::string before = SceneSnapshot(scene);
  undo.AddRecord(2, "Delete Sprite", false, 1, 0, uokSprite,
                 [](TStream& s) { s.WriteBytes(std::string("\x01\x00\x00\x00\x05", 5)); });
  const std::int64_t size = undo.Log().Size();
  EXPECT_THROW(undo.Undo(), EReadError);
  EXPECT_EQ(UndoMode, 0);
  EXPECT_EQ(undo.Log().Size(), size);
  EXPECT_EQ(SceneSnapshot(scene), before);
  EXPECT_EQ(undo.RecordingAllowed, 1);
}

TEST_F(UndoLog, SnapshotsUseTheNewestFormatWhateverVersionIsInUse) {
  const std::string before = SceneSnapshot(scene);
  SaveVersion = 4;
  scene.DeleteSprite(1);
  EXPECT_EQ(SaveVersion, 4);
  ReadVersion = 8;
  undo.Undo();
  EXPECT_EQ(ReadVersion, 8);
  EXPECT_EQ(SceneSnapshot(scene), before);
}

// ---- Every kind of record, recorded and undone back to an identical scene ---------------------------------

TEST_F(UndoLog, SpriteEdits) {
  int index;
  ExpectUndone("Add Sprite", uokAddedSprite, [&] { scene.AddSprite(index); });
  ExpectUndone("Delete Sprite", uokSprite, [&] { scene.DeleteSprite(2); });
  ExpectUndone("Delete Sprite", uokSprite, [&] { scene.DeleteSprite(0); });
  ExpectUndoneRecorded(urkSpriteList, "Send Backward", 1, 0, uokSpriteMovedLater, [&] { scene.MoveSprite(2, 1); });
  ExpectUndoneRecorded(urkSpriteList, "Send to Back", 2, 0, uokSpriteFirstToIndex, [&] { scene.MoveSprite(2, 0); });
  ExpectUndoneRecorded(urkSpriteList, "Bring Forward", 2, 0, uokSpriteMovedEarlier, [&] { scene.MoveSprite(1, 2); });
  ExpectUndoneRecorded(urkSpriteList, "Bring to Front", 1, 0, uokSpriteLastToIndex, [&] { scene.MoveSprite(1, 3); });
  const std::string gif = temp.File("anim.gif");
  SampleGif()->SaveToFile(gif);
  TSprite& sprite = scene.Sprite(0);
  for (bool kept : {false, true})
    ExpectUndone("Add .GIF Frame", uokSpriteInPlace, [&] { sprite.AddPictureFile(gif, false, 0, 0, 0, kept); });
  EXPECT_EQ(&scene.Sprite(0), &sprite) << "a sprite restored in place stays the same object";
}

TEST_F(UndoLog, AnAddedSpriteIsFoundByItsIdAfterReorderingInTheSceneTheDocumentHasNow) {
  int index;
  const std::int32_t id = scene.AddSprite(index)->Id;
  const int recordedAt = index;
  undo.RecordingAllowed = 0;
  scene.MoveSprite(index, 0);
  scene.AddSprite(index);
  undo.RecordingAllowed = 1;
  TAnimatedScene replacement;
  replacement.InsertSprite(0, replacement.CreateSprite());
  replacement.Sprite(0).Id = id;
  current = &replacement;
  undo.Undo();
  EXPECT_EQ(replacement.SpriteCount(), 0);
  EXPECT_EQ(scene.SpriteCount(), 6);
  current = &scene;
  undo.AddRecord(urkSpriteList, "Add Sprite", false, recordedAt, id, uokAddedSprite, nullptr);
  undo.Undo();
  for (int i = 0; i < scene.SpriteCount(); ++i) EXPECT_NE(scene.Sprite(i).Id, id);
  EXPECT_EQ(scene.SpriteCount(), 5);
}

TEST_F(UndoLog, FrameEdits) {
  TSprite& generated = scene.Sprite(1);
  ExpectUndone("Delete Frame", uokFrame, [&] { generated.DeleteFrame(1); });
  ExpectUndone("Change Text", uokFrame, [&] {
    TBitmap image;
    DrawText2D(image, "Other", SampleText());
    generated.ChangeText(0, "Other", SampleText(), image, false, 0);
  });
  TShapeParams shape = SampleShape();
  shape.FillColor1 = 0x123456;
  ExpectUndone("Change Shape", uokFrame, [&] { generated.ChangeShape(2, fkRectangle, 18, 12, shape, false, 0); });
  ExpectUndone("Change Line", uokFrame,
               [&] { generated.ChangeLine(3, {0, 0}, {5, 30}, clWhite, 1, clBlack, true, clWhite); });
  ExpectUndoneRecorded(urkSpriteEdit, "Move Frame", 0, generated.Frame(0).Id, uokMovedFrame,
                       [&] { generated.MoveFrame(0, 3); });
  TSprite& text3D = scene.Sprite(2);
  TBitmap image;
  MakeSolid(image, 12, 12, clRed);
  ExpectUndone("Change 3D Text", uokFrame, [&] { text3D.Change3DText(0, Sample3DState("New", 9), 2, image, false, 0); });
  ExpectUndone("Change 3D Text", uokFrame,
               [&] { text3D.Set3DTextAnimation(0, Sample3DState("A", 1), Sample3DState("B", 2), 3, 0); });

  TFrame& frame = scene.Sprite(0).Frame(0);
  ExpectUndone("Change Duration", uokFrameInPlace, [&] { frame.SetDuration(9); });
  ExpectUndone("Change Transparency", uokFrameInPlace, [&] { frame.SetTransparent(true); });
  ExpectUndone("Change Transparent Color", uokFrameInPlace, [&] { frame.SetTransparentColor(clAqua); });
  EXPECT_EQ(&scene.Sprite(0).Frame(0), &frame) << "a frame restored in place stays the same object";

  ExpectUndone("Add Shape", uokAddedFrame, [&] { generated.AddShape(fkEllipse, 9, 9, SampleShape(), false, 0); });
  ExpectUndone("Add Line", uokAddedFrame, [&] { generated.AddLine({0, 0}, {4, 4}, clWhite, 1, clRed, false); });
  ExpectUndone("Add 3D Text", uokAddedFrame, [&] { generated.Add3DText(Sample3DState("x", 1), image, false, 0); });
  const std::string bmp = temp.File("picture.bmp");
  image.SaveToFile(bmp);
  ExpectUndone("Add .BMP picture", uokAddedFrame, [&] { generated.AddPictureFile(bmp, false, 0, 0, 0, false); });
}

TEST_F(UndoLog, UndoingAnAddedFrameKeepsASpritesOnlyFrame) {
  int index;
  TSprite& sprite = *scene.AddSprite(index);
  sprite.AddShape(fkRectangle, 8, 8, SampleShape(), false, 0);
  undo.Undo();
  EXPECT_EQ(sprite.FrameCount(), 1);
}

TEST_F(UndoLog, MotionAndIntervalEdits) {
  TSprite& sprite = scene.Sprite(0);
  TMoving& path = sprite.Motion();
  ExpectUndone("Add Motion", uokPath, [&] { path.AddStep(); });
  TMovingStepValues v;
  v.Kind = mskBounce;
  v.X2 = 90, v.Y2 = 50, v.StartX = 10, v.StartY = 10;
  ExpectUndone("Change Motion", uokPath, [&] { path.ChangeStep(1, v, &sprite); });
  ExpectUndone("Delete Motion", uokPath, [&] { path.DeleteStep(0); });
  ExpectUndone("Change Position Units", uokPath, [&] { path.SetPositionUnits(0); });
  ExpectUndone("Change Speed Units", uokPath, [&] { path.SetSpeedUnits(0); });
  ExpectUndone("Add Appearance", uokIntervals, [&] { sprite.AddAppearance(); });
  ExpectUndone("Delete Appearance", uokIntervals, [&] { sprite.DeleteAppearance(0); });
  ExpectUndone("Change Start Step", uokIntervals, [&] { sprite.Interval(1).SetStart(20); });
  ExpectUndone("Change End Step", uokIntervals, [&] { sprite.Interval(0).SetEnd(4); });
  ExpectUndone("Sprite's Moving when it appearances", uokIntervals, [&] { sprite.SetContinueMoving(0); });
}

TEST_F(UndoLog, SceneSnapshots) {
  ExpectUndone("Background", uokSceneSettings, [&] {
    undo.AddRecord(urkSceneSettings, "Background", true, 0, 0, uokSceneSettings,
                   [&](TStream& s) { scene.SaveSettings(s); });
    scene.SetBackground(false, bgmDesktop, "", clRed, clBlue, ppCentered, nullptr);
    scene.Name = "Renamed";
    scene.Width = 300;
  });
  ExpectUndone("Everything", uokWholeScene, [&] {
    undo.AddRecord(urkSceneSettings, "Everything", true, 0, 0, uokWholeScene,
                   [&](TStream& s) { scene.SaveUncompressed(s); });
    scene.ClearSprites();
    scene.StepCount = 3;
  });
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(UndoLog, SoundEdits) {
  TAudioFile& sound = *scene.Sounds[0];
  ExpectUndone("Change Playing", uokSoundFile, [&] { sound.SetFile("other.avi", 2); });
  ExpectUndone("Add Start/Stop position", uokSoundFile, [&] { sound.AddItem(5, 9, 1); });
  ExpectUndone("Add Sound", uokAddedSound, [&] {
    scene.Sounds.push_back(std::make_unique<TAudioFile>(&scene));
    undo.AddRecord(urkSound, "Add Sound", false, 2, scene.Sounds.back()->Id, uokAddedSound, nullptr);
  });
  ExpectUndone("Delete Sound", uokDeletedSound, [&] {
    undo.AddRecord(urkSound, "Delete Sound", false, 0, sound.Id, uokDeletedSound,
                   [&](TStream& s) { sound.SaveToStream(s); });
    scene.Sounds.erase(scene.Sounds.begin());
  });
  const std::int64_t size = undo.Log().Size();
  scene.Sounds[0]->AddItem(1, 2, 0);
  undo.Undo();
  EXPECT_EQ(undo.Log().Size(), size) << "restoring a sound records nothing";
}

TEST_F(UndoLog, IndicesOutsideTheListChangeNothing) {
  const std::string before = SceneSnapshot(scene);
  for (std::int32_t kind : {uokSpriteMovedLater, uokSpriteFirstToIndex, uokSpriteMovedEarlier, uokSpriteLastToIndex})
    for (std::int32_t index : {-1, 4, 1000, INT32_MIN}) {
      undo.AddRecord(urkSpriteList, "Odd", false, index, 0, kind, nullptr);
      undo.Undo();
    }
  undo.AddRecord(urkSpriteEdit, "Odd", false, 99, scene.Sprite(1).Frame(0).Id, uokMovedFrame, nullptr);
  undo.Undo();
  undo.AddRecord(urkSpriteEdit, "Unknown ids", false, 0, 12345, uokAddedSprite, nullptr);
  undo.Undo();
  EXPECT_EQ(SceneSnapshot(scene), before);
  EXPECT_TRUE(undo.Empty());
}

}  // namespace
