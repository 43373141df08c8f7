#include "scene/ProjectFile.h"

#include "platform/Messages.h"
#include "scene/Sounds.h"
#include "tests/scene/ProjectTestSupport.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class ProjectFile : public testing::Test {
 protected:
  ProjectFile() {
    CancelFlag = 0;
    scene.Width = 468, scene.Height = 60;
  }
  ~ProjectFile() override { CancelFlag = 0; }

  static std::string Save(TAnimatedScene& s, int version, int compress = 0) {
    SaveVersion = version;
    TMemoryStream stream;
    EXPECT_EQ(s.SaveToStream(stream, compress, 1024), 16);
    return StreamBytes(stream);
  }

  static std::string Body(TAnimatedScene& s, int version) {
    SaveVersion = version;
    TMemoryStream stream;
    s.WriteData(stream);
    SaveVersion = kNewestFormatVersion;
    return StreamBytes(stream);
  }

  // A scene of n sprites of one empty frame each.
  void AddSprites(int n) {
    for (int i = 0, index; i < n; ++i) scene.AddSprite(index)->AddFrame();
  }

  // The body of a scene with every setting at its default, written by hand.
  static std::string DefaultBody(int version) {
    Bytes b;
    if (version <= 2) b.i32(0);
    b.i32(50).i32(0).i32(1000).i32(0).sstr("").i32(0).i32(0).i32(0).i32(0).sstr("");
    if (version > 1) {
      b.i32(2);
      b.i32(0).u8(0).sstr("").i32(0).sstr("").sstr("").i32(0).sstr("").sstr("").i32(0);
      b.u8(0).u8(0).u8(0).sstr("").i32(0).sstr("").i32(0).sstr("").sstr("").i32(0);
      b.u8(0).sstr("").i32(0);
      if (version > 3) b.u8(0);
      b.sstr("").i32(0).sstr("").sstr("").i32(0).u8(0).sstr("").sstr("").sstr("").i32(0).u8(0).u8(0);
    }
    if (version > 4) b.sstr("NONAME");
    if (version > 5) b.i32(468).i32(60);
    if (version > 9) b.u8(0).i32(30).i32(0).u8(0).i32(100);
    if (version > 2) b.i32(0x00FF0000).i32(0x00FFFF00).u8(0).u8(0).u8(0).u8(0);
    if (version > 10) b.i32(-1).u8(0);
    if (version > 13) {
      b.u8(0).i32(0);
      b.i32(0).i32(0xFFFFFF).i32(90).i32(0).i32(0).i32(0xC0C0C0).i32(0x808080).i32(0).i32(0).i32(0);
    }
    if (version == 14) b.i32(0);
    if (version > 2) b.i32(0);
    return b.str();
  }

  FormatVersionsGuard guard;
  ScriptedUiServices ui;
  TAnimatedScene scene;
};

// ---- Formats written byte by byte -------------------------------------------------------------------

TEST_F(ProjectFile, EveryVersionsEmptyBodyFollowsItsGatesAndVersion16Takes202Bytes) {
  scene.WritePreview = 0;
  for (int version = 1; version <= 16; ++version) EXPECT_EQ(Body(scene, version), DefaultBody(version)) << version;
  EXPECT_EQ(DefaultBody(16).size(), 202u);
}

TEST_F(ProjectFile, ContainersOfVersions16_8And4) {
  const std::string file = Save(scene, 16);
  const std::string head = Bytes().u8(0).sstr("Animated Scene v.5.2").sstr("Preview JPEG Image.").str();
  const std::string coder = Bytes().i32(CompressorWindowSize).i32(CompressorLookAhead).str();
  EXPECT_EQ(file.substr(0, head.size()), head);
  const std::size_t previewSize = Get32(file, head.size());
  EXPECT_EQ(file.substr(head.size() + 4, 2), "\xFF\xD8");
  EXPECT_EQ(file.substr(head.size() + 4 + previewSize), coder + DefaultBody(16));

  scene.WritePreview = 0;  // the marker is then followed by size 0
  EXPECT_EQ(Save(scene, 16), head + Le32(0) + coder + DefaultBody(16));
  EXPECT_EQ(Save(scene, 8), Bytes().u8(0).sstr("Animated Scene v.2.21").raw(coder).raw(DefaultBody(8)).str());
  EXPECT_EQ(Save(scene, 4), Bytes().u8(0).sstr("Animated Scene v.1.30").raw(DefaultBody(4)).str());
  EXPECT_EQ(SaveVersion, 16) << "the writer goes back to the newest version";
}

TEST_F(ProjectFile, ThePreviewIsAtMost400OnItsLongerSideAndVersion14KeepsItInsideTheBody) {
  for (auto [w, h, version, pw, ph] :
       {std::tuple{300, 200, 16, 300, 200}, std::tuple{800, 100, 16, 400, 50}, std::tuple{100, 800, 16, 50, 400},
        std::tuple{401, 401, 16, 400, 400}, std::tuple{5000, 2, 16, 400, 1}, std::tuple{468, 60, 14, 400, 51}}) {
    TAnimatedScene s, loaded;
    s.Width = w, s.Height = h;
    const std::string file = Save(s, version);
    EXPECT_EQ(file.find("Preview JPEG Image.") == std::string::npos, version == 14);
    ReadScene(loaded, file);
    EXPECT_EQ(loaded.LastReadVersion, version);
    ASSERT_NE(loaded.PreviewBitmap, nullptr);
    EXPECT_EQ(std::pair(loaded.PreviewBitmap->Width(), loaded.PreviewBitmap->Height()), std::pair(pw, ph)) << w;
  }
}

TEST_F(ProjectFile, ThePreviewShowsTheFirstStepAndLeavesTheSceneWhereItWas) {
  scene.Width = 40, scene.Height = 20;
  scene.SetBackground(false, bgmFillAndPicture, "", clWhite, clWhite, ppNone, nullptr);
  int index;
  TSprite& sprite = *scene.AddSprite(index);
  TBitmap red, output;
  MakeSolid(red, 10, 10, clRed);
  sprite.AddFrame()->SetPicture(red, false, 0, -1, -1);
  sprite.Motion().AddStepWith(HoldAt(5, 5), &sprite);
  scene.OutputBitmap = &output;
  scene.GotoFrame(8);
  ASSERT_EQ(scene.CurrentStep, 7);
  TAnimatedScene loaded;
  ReadScene(loaded, Save(scene, 16));
  ASSERT_NE(loaded.PreviewBitmap, nullptr);
  const TColor inside = loaded.PreviewBitmap->Pixel(10, 10), outside = loaded.PreviewBitmap->Pixel(1, 1);
  EXPECT_GT(GetRValue(inside), 200);
  EXPECT_LT(GetGValue(inside), 60);
  EXPECT_GT(GetGValue(outside), 240);
  EXPECT_GT(GetBValue(outside), 240);
  EXPECT_EQ(scene.CurrentStep, 7);
  EXPECT_EQ(scene.OutputBitmap, &output);
  EXPECT_EQ(scene.ResampledStretching, 0);
}

// ---- Reading -------------------------------------------------------------------------------------------

TEST_F(ProjectFile, ANewerSignatureAsksForAnUpgradeAndLeavesTheSceneAlone) {
  FillRichScene(scene);
  const std::string before = SceneSnapshot(scene);
  ReadScene(scene, Bytes().u8(0).sstr("Animated Scene v.6.1").i32(4096).i32(60).raw(DefaultBody(16)).str());
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text,
            " Data file has been created with Animated Scene v.6.1\rPlease upgrade your copy of " + ProgramName + ".");
  EXPECT_EQ(ui.messages[0].caption, "Error");
  EXPECT_EQ(ui.messages[0].flags, static_cast<unsigned>(MB_ICONERROR));
  EXPECT_EQ(ui.messages[1].text, "Cannot read data from file.");
  EXPECT_EQ(ui.messages[1].caption, "Error");
  EXPECT_EQ(scene.Failed, 1);
  EXPECT_EQ(scene.LastReadVersion, 0);
  EXPECT_EQ(ReadVersion, 16);
  EXPECT_EQ(SceneSnapshot(scene), before);
}

TEST_F(ProjectFile, APreviewOnlyReadStopsAfterThePreviewOrReadsAFileWithoutMarkerWhole) {
  std::string file = Save(scene, 16);
  file.replace(1, 21, std::string("\x15") + "Animated Scene v.9.99");  // any signature will do
  TAnimatedScene reader;
  reader.PreviewOnlyLoad = 1;
  ReadScene(reader, file);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(reader.Failed, 0);
  ASSERT_NE(reader.PreviewBitmap, nullptr);
  EXPECT_EQ(reader.PreviewBitmap->Width(), 400);
  EXPECT_EQ(reader.PreviewOnlyLoad, 0);

  AddSprites(1);
  TAnimatedScene old;
  old.PreviewOnlyLoad = 1;
  ReadScene(old, Save(scene, 8));
  EXPECT_EQ(old.Failed, 0);
  EXPECT_EQ(old.SpriteCount(), 1);
  EXPECT_EQ(old.PreviewBitmap, nullptr);
}

TEST_F(ProjectFile, TheBackgroundPictureIsStoredOnlyWithAFileNameAndTheFillIsAlwaysRebuilt) {
  MakeSolid(scene.BackgroundPicture, 7, 5, clRed);
  scene.StartColor = scene.FinishColor = clLime;
  scene.BackgroundMode = bgmFillAndPicture;
  EXPECT_EQ(Body(scene, 16).substr(4, 4), std::string(4, '\0'));
  TAnimatedScene kept;
  MakeSolid(kept.BackgroundPicture, 3, 3, clBlue);
  ReadScene(kept, Save(scene, 16));
  EXPECT_EQ(kept.BackgroundPicture.Width(), 3) << "without a stored picture the old one stays";
  EXPECT_EQ(kept.BackgroundBitmap.Width(), 468);
  EXPECT_EQ(kept.BackgroundBitmap.Pixel(200, 30), clLime);

  scene.BackgroundFile = "back.bmp";
  EXPECT_NE(Body(scene, 16).substr(4, 4), std::string(4, '\0'));
  TAnimatedScene loaded;
  ReadScene(loaded, Save(scene, 16));
  EXPECT_EQ(loaded.BackgroundPicture.Width(), 7);
  EXPECT_EQ(loaded.BackgroundPicture.Pixel(3, 3), clRed);
}

TEST_F(ProjectFile, SettingsSnapshotsCarryNoSpritesAndLeaveTheSpritesInPlace) {
  FillRichScene(scene);
  TMemoryStream settings;
  scene.SaveSettings(settings);
  EXPECT_EQ(scene.IncludeSprites + scene.WritePreview, 2) << "both flags are put back";
  // Marker, no preview, no background picture, no sprite list.
  EXPECT_NE(StreamBytes(settings).find(std::string("\x13") + "Preview JPEG Image." + std::string(4, '\0')),
            std::string::npos);
  TAnimatedScene other;
  int index;
  other.AddSprite(index)->Name = "Mine";
  settings.SetPosition(0);
  other.LoadSettings(settings);
  EXPECT_EQ(other.Failed, 0);
  EXPECT_EQ(other.IncludeSprites, 1);
  ASSERT_EQ(other.SpriteCount(), 1);
  EXPECT_EQ(other.Sprite(0).Name, "Mine");
  EXPECT_EQ(other.Name, "Rich scene");
  EXPECT_EQ(other.BackgroundPicture.Width(), 100) << "the picture is not stored without a file";
}

TEST_F(ProjectFile, SpritesAreReadWithProgressAndTheCancelFlagStopsAfterTheCurrentOne) {
  AddSprites(3);
  const std::string file = Save(scene, 16);
  using P = std::pair<WPARAM, LPARAM>;
  std::vector<P> progress;
  TWindowHandle window([&](TMessage& m) {
    if (m.Msg != WM_LOADPROGRESS) return;
    progress.emplace_back(m.WParam, m.LParam);
    if (m.WParam == 1 && m.LParam == 2) CancelFlag = 1;
  });
  TAnimatedScene reader;
  reader.NotifyWindow = window.Handle();
  int index;
  reader.AddSprite(index);
  ReadScene(reader, file);
  EXPECT_EQ(reader.Failed, 0);
  EXPECT_EQ(reader.SpriteCount(), 2) << "the sprites read before the cancel replace the old ones";
  EXPECT_EQ(progress, (std::vector<P>{P{0, 2}, P{1, 2}, P{1, 1}}));
}

TEST_F(ProjectFile, LowResourcesStopTheSpriteListWithTheirMessageOrFailTheReadWhenFramesAreDropped) {
  AddSprites(1);
  TBitmap red;
  MakeSolid(red, 4, 4, clRed);
  scene.Sprite(0).AddFrame()->SetPicture(red, false, 0, -1, -1);
  const std::string file = Save(scene, 16);
  LowResources low(12);
  TAnimatedScene reader;
  ReadScene(reader, file);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, SOutOfResources);
  EXPECT_EQ(reader.Failed, 0);
  EXPECT_EQ(reader.SpriteCount(), 0);

  // Enough resources for the sprite list, too few to decode the picture (every query is a fresh one).
  int calls = 0;
  low.system.probe = [&](int) {
    low.system.AdvanceMilliseconds(300);
    return ++calls == 1 ? 50 : 10;
  };
  ResetFreeResourcesCache();
  ReadScene(reader, file);
  EXPECT_EQ(reader.Failed, 1);
  EXPECT_EQ(reader.LoadErrorText, SOutOfResources);
  ASSERT_EQ(reader.SpriteCount(), 1);
  EXPECT_EQ(reader.Sprite(0).FrameCount(), 0);
  EXPECT_EQ(ui.messages.size(), 1u) << "no second message";
}

TEST_F(ProjectFile, AWriteErrorIsReportedAndSetsTheCancelFlag) {
  class FailingStream : public TStream {
   public:
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    std::int64_t Write(const void*, std::int64_t) override { return 0; }
    std::int64_t Seek(std::int64_t, TSeekOrigin) override { return 0; }
  } failing;
  SaveVersion = 8;
  EXPECT_EQ(scene.SaveToStream(failing, 0, 1024), 16);
  EXPECT_EQ(scene.Failed, 1);
  EXPECT_EQ(CancelFlag, 1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "An error occured during writing to the file.");
  EXPECT_EQ(ui.messages[0].caption, "Error");
  EXPECT_EQ(SaveVersion, 16);
}

TEST_F(ProjectFile, FilesAreReadToTheEndOfTheContainerAndAMissingOneIsReported) {
  TempDir dir;
  FillRichScene(scene);
  const std::string file = Save(scene, 16);
  TFileStream stream(dir.WriteFile("two.glm", file + "TRAILER"), fmOpenRead);
  TAnimatedScene loaded;
  loaded.LoadFromStream(stream);
  EXPECT_EQ(loaded.Failed, 0);
  EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(file.size()));
  loaded.LoadFromFile(dir.WriteFile("scene.glm", file));
  EXPECT_EQ(loaded.Failed, 0);
  EXPECT_EQ(loaded.SpriteCount(), 4);
  loaded.LoadFromFile(dir.File("missing.glm"));
  EXPECT_EQ(loaded.Failed, 1);
  EXPECT_EQ(ui.messages.back().text, "Cannot read data from file.");
  EXPECT_EQ(loaded.SpriteCount(), 4);
}

TEST_F(ProjectFile, SoundFilesAreEmbeddedAndALoadedSceneHasNone) {
  TempDir dir;
  const std::string path = dir.WriteFile("clip.avi", "RIFF-sound-bytes");
  scene.Sounds.push_back(std::make_unique<TAudioFile>(&scene));
  scene.Sounds[0]->FileName = path;
  scene.Sounds[0]->DeviceType = 1;
  scene.Sounds[0]->AddItem(1, 0, 0);
  int index;
  scene.AddSprite(index)->Name = "After the sounds";
  Bytes record;
  record.i32(1).sstr(path).u8(1).i32(16).raw("RIFF-sound-bytes").i32(1).i32(1).i32(0).u8(0);
  EXPECT_NE(Body(scene, 16).find(record.str()), std::string::npos);
  TAnimatedScene loaded;
  ReadScene(loaded, Save(scene, 16));
  EXPECT_EQ(loaded.Failed, 0);
  EXPECT_TRUE(loaded.Sounds.empty());
  ASSERT_EQ(loaded.SpriteCount(), 1);
  EXPECT_EQ(loaded.Sprite(0).Name, "After the sounds");
}

// ---- Coded bodies -------------------------------------------------------------------------------------------

TEST_F(ProjectFile, DamagedOrOversizedCodedBodiesAreReadErrors) {
  FakeSystemValues system;
  system.physicalMemory = 2 << 20;  // an expanded body may take 512 KiB
  ASSERT_EQ(MaxExpandedBodySize(), 512 << 10);
  Bytes header;
  header.u8(1).sstr("Animated Scene v.2.21").i32(4096).i32(60);
  Bytes tooLarge = header, tooMuch = header;
  tooLarge.i32(1).i32(130001).zeros(130001);  // a block larger than the coder's buffer
  tooMuch.i32(10);  // blocks stating 130,000 bytes each and holding nothing else
  for (int i = 0; i < 10; ++i) tooMuch.i32(4).i32(130000);
  std::string unknownCoding = Save(scene, 8);
  unknownCoding[0] = 2;
  for (const std::string& file : {tooLarge.str(), tooMuch.str(), unknownCoding}) {
    TAnimatedScene reader;
    ReadScene(reader, file);
    EXPECT_EQ(reader.Failed, 1);
    EXPECT_EQ(ui.messages.back().text, "Cannot read data from file.");
  }
}

// ---- Round trips ------------------------------------------------------------------------------------------

class ProjectRoundTrip : public ProjectFile {
 protected:
  ProjectRoundTrip() {
    FillRichScene(scene);
    scene.Sprite(2).Frame(0).Text = "Start";
    scene.SetBackground(true, 0, "", 0, 0, 0, nullptr);
  }
};

TEST_F(ProjectRoundTrip, Version16GivesBackTheSameFileAndEveryKindOfFrame) {
  const std::string first = Save(scene, 16);
  TAnimatedScene loaded;
  ReadScene(loaded, first);
  EXPECT_EQ(loaded.Failed, 0);
  EXPECT_EQ(Save(loaded, 16), first);
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(loaded.SpriteCount(), 4);
  EXPECT_EQ(std::tuple(loaded.Name, loaded.LoopCount, loaded.Timer().Interval(), loaded.CornerRadius),
            std::tuple(std::string("Rich scene"), 3, 80, 5));
  EXPECT_EQ(loaded.ReservedSettings.Lists, scene.ReservedSettings.Lists);
  const TSprite& generated = loaded.Sprite(1);
  ASSERT_EQ(generated.FrameCount(), 4);
  EXPECT_EQ(generated.Frame(0).Kind, fkText);
  EXPECT_EQ(generated.Frame(1).Shape, SampleShape());
  EXPECT_EQ(generated.Frame(3).LineEnd, (TPoint{20, 10}));
  EXPECT_EQ(loaded.Sprite(2).Frame(0).EndState, Sample3DState("End", 5));
  EXPECT_EQ(loaded.Sprite(2).Frame(0).SubFrameCount, 6);
  EXPECT_NE(loaded.Sprite(3).Frame(0).GifSource(), nullptr);
  EXPECT_EQ(loaded.Sprite(3).Frame(1).SourceKind, fskJpeg);
  EXPECT_EQ(loaded.Sprite(0).Motion().Step(0).OpacityStart, 50);
}

TEST_F(ProjectRoundTrip, Versions8And4KeepWhatTheyCarryAndReachAFixedPoint) {
  for (int version : {8, 4}) {
    TAnimatedScene once, twice;
    ReadScene(once, Save(scene, version));
    EXPECT_EQ(once.Failed, 0) << version;
    const std::string second = Save(once, version);
    ReadScene(twice, second);
    EXPECT_EQ(Save(twice, version), second) << version;
    ASSERT_EQ(once.SpriteCount(), 4);
    EXPECT_EQ(once.Sprite(0).FrameCount(), 2);
    EXPECT_EQ(once.Sprite(0).Frame(0).Picture.Pixel(0, 0), clYellow);
    EXPECT_EQ(once.Sprite(1).Frame(0).Text, "Hello");
    EXPECT_EQ(once.Sprite(0).IntervalCount(), 2);
    EXPECT_EQ(once.Sprite(0).ContinueMoving(), 1);
    EXPECT_EQ(once.Sprite(0).AppearanceFlag, 1);
    EXPECT_EQ(once.StepCount, 40);
    EXPECT_EQ(once.Name, version > 4 ? "Rich scene" : "NONAME");
    EXPECT_EQ(once.Width == 160, version > 5);
    // The loop count came with version 11, the fill with 14; kept sources became pictures.
    EXPECT_EQ(once.LoopCount, -1);
    EXPECT_EQ(once.CornerRadius, 0);
    EXPECT_EQ(once.Sprite(3).Frame(0).SourceKept, 0);
    EXPECT_EQ(once.Sprite(3).Frame(0).Picture.Width(), 6);
  }
}

TEST_F(ProjectRoundTrip, EveryVersionReadsItsOwnFilesPlainAndCoded) {
  for (int version = 1; version <= 16; ++version) {
    for (int compress : {0, 1}) {
      TAnimatedScene loaded;
      ReadScene(loaded, Save(scene, version, compress));
      ASSERT_EQ(loaded.Failed, 0) << version << " " << compress;
      EXPECT_EQ(loaded.LastReadVersion, version);
      ASSERT_EQ(loaded.SpriteCount(), 4) << version;
      EXPECT_EQ(loaded.Sprite(1).FrameCount(), 4) << version;
      EXPECT_EQ(loaded.Sprite(0).Motion().StepCount(), 2) << version;
      EXPECT_EQ(loaded.StepCount, 40) << version;
      EXPECT_EQ(loaded.ReservedSettings.GifComment() == scene.ReservedSettings.GifComment(), version > 1) << version;
    }
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ProjectRoundTrip, OldBodiesCodedWithOtherCoderParametersReadLikePlainOnes) {
  for (int version : {8, 6, 3}) {
    const std::int32_t window = CompressorWindowSize, lookAhead = CompressorLookAhead;
    CompressorWindowSize = 2048, CompressorLookAhead = 100;
    const std::string coded = Save(scene, version, 1);
    CompressorWindowSize = window, CompressorLookAhead = lookAhead;
    EXPECT_EQ(coded[0], 1);
    TAnimatedScene fromCoded, fromPlain;
    ReadScene(fromCoded, coded);
    ReadScene(fromPlain, Save(scene, version));
    ASSERT_EQ(fromCoded.Failed, 0) << version;
    EXPECT_EQ(Save(fromCoded, 16), Save(fromPlain, 16)) << version;
    EXPECT_EQ(CompressorWindowSize, window) << "the coder parameters are put back";
  }
}

}  // namespace
