#include "scene/RecordReading.h"
#include "tests/scene/ProjectTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class FrameRecord : public testing::Test {
 protected:
  FrameRecord() : sprite(&scene) { scene.Width = 100, scene.Height = 60; }

  // A 4 x 3 picture frame: white with a red top-left pixel.
  TFrame& PictureFrame(bool transparent = false, TColor key = clWhite) {
    TBitmap picture;
    MakeSolid(picture, 4, 3, clWhite);
    picture.SetPixel(0, 0, clRed);
    TFrame& frame = *sprite.AddFrame();
    frame.SetPicture(picture, transparent, key, -1, -1);
    frame.Kind = fkPicture;
    frame.SetFileName("a.bmp");
    frame.StoreDuration(3);
    return frame;
  }

  TFrame& Read(const std::string& bytes, int version, bool full = true) {
    ReadVersion = version;
    TMemoryStream stream;
    LoadBytes(stream, bytes);
    TFrame& frame = *sprite.AddFrame();
    frame.LoadFromStream(stream, full);
    EXPECT_EQ(stream.Remaining(), 0) << "version " << version;
    return frame;
  }

  static Bytes& TextFields(Bytes& b) {
    b.sstr("").u8(0).i32(0).i32(0).sstr("").u8(0).u8(0).i32(0xFFFFFF);
    for (int i = 0; i < 7; ++i) b.i32(0);
    return b;
  }

  // A 3D text state with empty strings: 431 bytes.
  static Bytes& DefaultState(Bytes& b) {
    b.sstr("").sstr("").sstr("").u8(0).i32(0);
    for (int i = 0; i < 14; ++i) b.f64(0);
    for (int l = 0; l < 3; ++l) {
      b.u8(0).i32(0);
      for (int i = 0; i < 8; ++i) b.f64(0);
    }
    for (int i = 0; i < 10; ++i) b.f64(0);
    return b.i32(0).i32(0).zeros(16);
  }

  FormatVersionsGuard guard;
  TAnimatedScene scene;
  TSprite sprite;
};

// ---- Layouts written byte by byte ------------------------------------------------------------------

TEST_F(FrameRecord, Version16PictureFrameLayout) {
  TFrame& frame = PictureFrame();
  const std::string picture = Written(frame.Picture);
  Bytes b;
  b.u8(0).i32(0);  // no kept source
  b.i32(static_cast<std::int64_t>(picture.size())).raw(picture);
  b.sstr("a.bmp").i32(3).u8(0).i32(0);
  b.i32(0);  // an opaque frame stores no mask
  TextFields(b.i32(fkPicture));
  b.i32(0).i32(0);  // pick point
  DefaultState(DefaultState(b));
  b.i32(0).u8(0).u8(0);
  for (int i = 0; i < 16; ++i) b.i32(0);
  b.i32(4).i32(3);
  EXPECT_EQ(Written(frame, 16), b.str());
}

TEST_F(FrameRecord, Version8HasNoPickPointNoStatesAndTakesTheColourAtThePickPoint) {
  TFrame& frame = PictureFrame();
  frame.StoreTransparency(false, clBlue);
  const std::string picture = Written(frame.Picture);
  Bytes b;
  b.i32(static_cast<std::int64_t>(picture.size())).raw(picture);
  b.sstr("a.bmp").i32(3).u8(0).i32(0x0000FF);  // the picture's red at the pick point (0, 0)
  TextFields(b.i32(0).i32(fkPicture));
  EXPECT_EQ(Written(frame, 8), b.str());
}

TEST_F(FrameRecord, Version4AlwaysStoresAFourBitMaskAndVersion9AOnePixelMaskForTransparentFramesOnly) {
  auto maskOf = [&](TFrame& frame, int version, TBitmap& mask) {
    TMemoryStream stream;
    LoadBytes(stream, Written(frame, version));
    SkipRecordBytes(stream, stream.ReadInt32());
    EXPECT_EQ(stream.ReadShortString(), "a.bmp");
    SkipRecordBytes(stream, 9);
    if (const std::int32_t size = stream.ReadInt32(); size > 0) {
      TRecordBlock block(stream, size);
      mask.LoadFromStream(block.Stream());
    }
    EXPECT_EQ(stream.ReadInt32(), fkPicture) << version;
  };
  TFrame& opaque = PictureFrame();
  TBitmap old, none, onePixel;
  maskOf(opaque, 4, old);
  EXPECT_EQ(old.PixelFormat(), pf4bit);
  ASSERT_EQ(old.Width(), 4);
  // White where the picture shows the pick point's colour (red at 0, 0), black elsewhere.
  EXPECT_EQ(old.Pixel(0, 0), clWhite);
  EXPECT_EQ(old.Pixel(1, 0), clBlack);
  EXPECT_EQ(old.Pixel(3, 2), clBlack);
  maskOf(opaque, 9, none);
  EXPECT_EQ(none.Width(), 0);
  maskOf(PictureFrame(true, clWhite), 9, onePixel);
  EXPECT_EQ(std::pair(onePixel.Width(), onePixel.Height()), std::pair(1, 1));
}

TEST_F(FrameRecord, TheGatesSizeEveryVersionsRecord) {
  TFrame& frame = PictureFrame();
  const std::size_t base = Written(frame.Picture).size() + 4 + 6 + 4 + 1 + 4 + 4 + 4 + 1 + 1 + 8 + 1 + 2 + 32;
  const std::size_t states = 2 * 431 + 4 + 1 + 1 + 48 + 16;
  const std::pair<int, std::size_t> sizes[] = {{8, base},
                                               {9, base + 8},
                                               {12, base + 8 + 1212},
                                               {13, base + 8 + states},
                                               {14, base + 8 + states + 8},
                                               {15, 5 + base + 8 + states + 8}};
  for (auto [version, size] : sizes) EXPECT_EQ(Written(frame, version).size(), size) << version;
  UndoMode = 1;
  EXPECT_EQ(Written(frame, 16).size(), 5 + base + 8 + states + 8 + 4);
}

TEST_F(FrameRecord, EveryVersionReadsBackWhatItWrote) {
  TFrame& frame = PictureFrame(true, clWhite);
  frame.Text = "words";
  frame.TextParams = SampleText();
  frame.Shape = SampleShape();
  frame.LineStart = {1, 2}, frame.LineEnd = {3, 4};
  frame.StartState = Sample3DState("one", 1.5);
  frame.EndState = Sample3DState("two", 7.25);
  frame.SubFrameCount = 5, frame.Loop = 1;
  for (int version = 1; version <= 16; ++version) {
    TFrame& copy = Read(Written(frame, version), version);
    EXPECT_EQ(copy.FileName, "a.bmp");
    EXPECT_EQ(copy.Duration(), 3);
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.Text, "words");
    EXPECT_EQ(copy.TextParams, SampleText());
    EXPECT_EQ(copy.Picture.Pixel(0, 0), clRed);
    EXPECT_EQ(copy.ImageWidth, 4);
    EXPECT_EQ(copy.Shape == SampleShape(), version > 12) << version;
    EXPECT_EQ(copy.StartState == frame.StartState, version >= 12) << version;
    EXPECT_EQ(copy.EndState == frame.EndState, version > 12) << version;
    EXPECT_EQ(copy.SubFrameCount == 5, version > 12) << version;
  }
}

TEST_F(FrameRecord, Version12KeepsOneStateAtFixedOffsets) {
  TFrame& frame = PictureFrame();
  frame.StartState = Sample3DState("old text", 2.5);
  const std::string bytes = Written(frame, 12);
  ASSERT_GE(bytes.size(), 1212u);
  const std::string state = bytes.substr(bytes.size() - 1212);
  auto doubleAt = [&](std::size_t at) {
    double d;
    std::memcpy(&d, state.data() + at, 8);
    return d;
  };
  EXPECT_EQ(state.substr(0, 10), std::string("\x08old text\0", 10));
  EXPECT_EQ(state.substr(256, 6), "\x05" "Arial");
  EXPECT_EQ(state.substr(512, 4), std::string("\x03\0\0\0", 4));  // font style
  EXPECT_EQ(Get32(state, 516), 1u);
  EXPECT_DOUBLE_EQ(doubleAt(520), 2.5);
  EXPECT_EQ(Get32(state, 632), 1u);       // light 1's kind
  EXPECT_DOUBLE_EQ(doubleAt(700), 0.0);  // light 2 is off
  EXPECT_EQ(Get32(state, 708), 2u);
  EXPECT_DOUBLE_EQ(doubleAt(776), 1.0);
  EXPECT_EQ(Get32(state, 784), 3u);
  EXPECT_DOUBLE_EQ(doubleAt(852), 1.0);  // material on
  EXPECT_EQ(state.substr(885, 8), "wood.bmp");
  EXPECT_DOUBLE_EQ(doubleAt(1140), 4.0);
  EXPECT_EQ(Get32(state, 1188), 40u);
  EXPECT_EQ(Get32(state, 1192), 20u);
  EXPECT_EQ(state[1196], 1);

  frame.StartState.Lights[0].Enabled = 0;
  T3DTextState expected = frame.StartState;
  expected.Lights[0].Enabled = 1;  // light 1 of this layout is always on
  EXPECT_EQ(Read(Written(frame, 12), 12).StartState, expected);
}

TEST_F(FrameRecord, AStateDoubleThatIsNotFiniteReadsAsZero) {
  TFrame& frame = PictureFrame();
  frame.StartState.Depth = std::numeric_limits<double>::quiet_NaN();
  frame.StartState.ViewAngle = std::numeric_limits<double>::infinity();
  frame.StartState.Lights[2].Color = -std::numeric_limits<double>::infinity();
  const T3DTextState& copy = Read(Written(frame, 16), 16).StartState;
  EXPECT_EQ(std::tuple(copy.Depth, copy.ViewAngle, copy.Lights[2].Color), std::tuple(0.0, 0.0, 0.0));
}

// ---- Writer rules ------------------------------------------------------------------------------------

TEST_F(FrameRecord, ATransparentFrameWithoutPickPointWritesTheFirstMatchColumnByColumn) {
  TFrame& frame = PictureFrame();
  TBitmap picture;
  MakeSolid(picture, 4, 3, clRed);
  picture.SetPixel(2, 0, clLime);
  picture.SetPixel(1, 2, clLime);
  frame.SetPicture(picture, false, 0, -1, -1);
  frame.StoreTransparency(true, clLime);
  frame.PickPoint = {-1, -1};
  EXPECT_EQ(Read(Written(frame, 16), 16).PickPoint, (TPoint{1, 2}));
  frame.StoreTransparency(true, clBlue);
  EXPECT_EQ(Read(Written(frame, 16), 16).PickPoint, (TPoint{-1, -1}));
}

TEST_F(FrameRecord, KeptGifAndJpegBytesAreWrittenInsteadOfThePicture) {
  TFrame& gif = *sprite.AddFrame();
  gif.LoadGifSource(SampleGif(), false, 0);
  gif.Kind = fkPicture;
  const std::string bytes = Written(gif, 16);
  EXPECT_EQ(bytes.substr(0, 5), Bytes().u8(1).i32(fskGif).str());
  const std::size_t gifSize = Get32(bytes, 5);
  EXPECT_EQ(bytes.substr(9, 6), "GIF89a");
  EXPECT_EQ(Get32(bytes, 9 + gifSize), 0u) << "the picture is not stored beside its source";
  TFrame& gifCopy = Read(bytes, 16);
  ASSERT_NE(gifCopy.GifSource(), nullptr);
  EXPECT_EQ(gifCopy.GifSource()->ImageCount(), 3);
  EXPECT_EQ(gifCopy.Picture.Pixel(1, 1), clRed);
  EXPECT_EQ(gifCopy.ImageWidth, 6);

  TJPEGImage jpeg, source;
  MakeSolid(jpeg.Bitmap(), 8, 8, clGray);
  TMemoryStream encoded;
  jpeg.SaveToStream(encoded);
  source.LoadFromMemoryStream(&encoded);
  TFrame& frame = *sprite.AddFrame();
  frame.LoadJpegSource(source, false, 0);
  const std::string jpegRecord = Written(frame, 16);
  EXPECT_EQ(jpegRecord.substr(9, static_cast<std::size_t>(encoded.Size())), StreamBytes(encoded));
  TFrame& copy = Read(jpegRecord, 16);
  EXPECT_EQ(copy.SourceKept, 1);
  EXPECT_EQ(StreamBytes(copy.KeptStream), StreamBytes(encoded));
  EXPECT_EQ(copy.ImageWidth, 8);
}

TEST_F(FrameRecord, GeneratedFramesWrittenWithoutPicturesAreDrawnAgainFromTheirParameters) {
  sprite.AddShape(fkRectangle, 30, 20, SampleShape(), false, 0);
  TBitmap text;
  DrawText2D(text, "Hi", SampleText());
  sprite.AddFrame();
  sprite.ChangeText(1, "Hi", SampleText(), text, true, 0xFFFFFF);
  sprite.Frame(1).PickPoint = {0, 0};
  sprite.AddLine({2, 1}, {12, 6}, clWhite, 2, clRed, true);
  std::vector<TFrame*> copies;
  for (int i = 0; i < 3; ++i) {
    sprite.Frame(i).SavePictures = 0;
    const std::string bytes = Written(sprite.Frame(i), 16);
    EXPECT_EQ(bytes.substr(5, 4), std::string(4, '\0')) << i;
    copies.push_back(&Read(bytes, 16));
    EXPECT_EQ(copies[i]->Picture.Width(), sprite.Frame(i).Picture.Width()) << i;
    EXPECT_EQ(copies[i]->Picture.Height(), sprite.Frame(i).Picture.Height()) << i;
  }
  TFrame& shape = sprite.Frame(0);
  RestoreFrameImage(shape.Picture);
  for (int y = 0; y < 20; y += 3)
    for (int x = 0; x < 30; x += 3) ASSERT_EQ(copies[0]->Picture.Pixel(x, y), shape.Picture.Pixel(x, y)) << x << "," << y;
  // The pick point's pixel of the text drawn again is the colour as drawn.
  EXPECT_EQ(copies[1]->ResolvedColorKnown, 1);
  EXPECT_EQ(copies[1]->ResolvedColor, 0xFFFFFFu);
}

// ---- Hostile and bounded reading ------------------------------------------------------------------

TEST_F(FrameRecord, ImpossibleSizesAndShapesAreReadErrors) {
  const std::function<void(TFrame&)> damage[] = {
      [](TFrame& f) { f.ImageWidth = 70000; },
      [](TFrame& f) { f.ImageWidth = 10000, f.ImageHeight = 10000; },
      [](TFrame& f) { f.Shape.BorderWidth = INT32_MIN; },
      [](TFrame& f) { f.StartState.ImageWidth = -1; },
  };
  for (const auto& change : damage) {
    TFrame& frame = PictureFrame();
    change(frame);
    EXPECT_THROW(Read(Written(frame, 16), 16), EReadError);
  }
}

TEST_F(FrameRecord, AHugeTextOrLineIsNotDrawnButStillRead) {
  TFrame& text = *sprite.AddFrame();
  text.Kind = fkText;
  text.Text = std::string(200, 'W');
  text.TextParams = SampleText();
  text.TextParams.FontHeight = 4000;
  TFrame& line = *sprite.AddFrame();
  line.Kind = fkLine;
  line.LineEnd = {2000000000, 5};
  line.Shape.BorderWidth = 1;
  for (TFrame* frame : {&text, &line}) {
    frame->SavePictures = 0;
    EXPECT_EQ(Read(Written(*frame, 16), 16).Picture.Width(), 29) << "the placeholder stays";
  }
}

// ---- Sprite records ---------------------------------------------------------------------------------------

class SpriteRecord : public FrameRecord {
 protected:
  std::unique_ptr<TSprite> ReadSprite(const std::string& bytes, int version) {
    ReadVersion = version;
    TMemoryStream stream;
    LoadBytes(stream, bytes);
    auto s = std::make_unique<TSprite>(&scene);
    s->LoadFromStream(stream);
    EXPECT_EQ(stream.Remaining(), 0);
    return s;
  }
  static void AddPictures(TSprite& s, int count, int size) {
    for (int i = 0; i < count; ++i) {
      TBitmap bitmap;
      MakeSolid(bitmap, size, size, clRed);
      TFrame& frame = *s.AddFrame();
      frame.SetPicture(bitmap, false, 0, -1, -1);
      frame.Kind = fkPicture;
    }
  }
};

TEST_F(SpriteRecord, ASpriteWithoutFramesAndOneDefaultStep) {
  TSprite s(&scene);
  s.AddInterval(2, 9);
  s.Motion().AddStep();
  s.SetContinueMoving(1);
  s.AppearanceFlag = 1;
  s.Name = "Ball";
  Bytes b;
  b.i32(1).i32(2).i32(9).i32(0).i32(1);
  // The default step: 152 bytes.
  b.i32(3).r48(0).r48(0).r48(40).r48(40).r48(0).r48(0).i32(30).r48(1).r48(1).r48(1).r48(1).r48(1).r48(1);
  b.i32(9).i32(1).r48(100).i32(270).u8(0).i32(10).i32(100).i32(100).u8(0);
  b.i32(3).i32(3).i32(50).i32(50).i32(3).i32(3).i32(3).i32(3).i32(0).i32(0);
  ASSERT_EQ(b.size(), 4u + 8 + 4 + 4 + 152);
  b.i32(-1).u8(1).u8(1).u8(1).i32(0).i32(0).u8(0).u8(0).u8(1).u8(1).sstr("Ball");
  EXPECT_EQ(Written(s, 16), b.str());

  Bytes v3;
  v3.i32(1).i32(2).i32(9).i32(0).i32(1);
  v3.i32(3).r48(0).r48(0).r48(40).r48(40).r48(0).r48(0).i32(30).r48(1).r48(1).r48(1).r48(1);
  v3.i32(9).i32(1).r48(100).i32(-1).u8(1).u8(1).u8(1);
  EXPECT_EQ(Written(s, 3), v3.str());
}

TEST_F(SpriteRecord, AnUnnamedSpriteTakesItsNameFromItsFirstPictureOrTextFrame) {
  TSprite s(&scene);
  s.AddShape(fkRectangle, 5, 5, SampleShape(), false, 0);
  TFrame& picture = *s.AddFrame();
  picture.Kind = fkPicture;
  picture.SetFileName("C:\\Some Folder\\logo.gif");
  EXPECT_EQ(ReadSprite(Written(s, 16), 16)->Name, "logo");
  picture.Kind = fkText;
  picture.Text = "Title";
  EXPECT_EQ(ReadSprite(Written(s, 16), 16)->Name, "Title");
  s.Name = "Kept";
  EXPECT_EQ(ReadSprite(Written(s, 16), 16)->Name, "Kept");
  EXPECT_EQ(ReadSprite(Written(s, 13), 13)->Name, "Title") << "version 13 stores no name";
}

TEST_F(SpriteRecord, OmittedGeneratedImagesAreIgnoredAtVersion13OrLower) {
  TSprite s(&scene);
  s.AddShape(fkRectangle, 30, 20, SampleShape(), false, 0);
  AddPictures(s, 1, 5);
  scene.OmitGeneratedImages = 1;
  // The picture sizes of both frame records.
  auto pictureSizes = [&](int version) {
    TMemoryStream stream;
    LoadBytes(stream, Written(s, version));
    SkipRecordBytes(stream, 8);
    std::vector<std::int32_t> sizes;
    ReadVersion = version;
    for (int i = 0; i < 2; ++i) {
      const std::int64_t start = stream.Position();
      if (version > 14) SkipRecordBytes(stream, 5);
      sizes.push_back(stream.ReadInt32());
      stream.SetPosition(start);
      TFrame(&s).LoadFromStream(stream, false);
    }
    return sizes;
  };
  EXPECT_EQ(pictureSizes(16)[0], 0);
  EXPECT_GT(pictureSizes(16)[1], 0);
  EXPECT_GT(pictureSizes(13)[0], 0);
  EXPECT_EQ(s.Frame(0).SavePictures, 1);
  EXPECT_EQ(ReadSprite(Written(s, 16), 16)->Frame(0).Picture.Width(), 30);
}

TEST_F(SpriteRecord, AnUndoSnapshotStopsAtTheMemoryLimitWithACountThatMatches) {
  FakeSystemValues system;
  system.physicalMemory = 64 * 1024;  // limit: 8 KiB
  TSprite s(&scene);
  AddPictures(s, 20, 20);
  UndoMode = 1;
  auto copy = ReadSprite(Written(s, 16), 16);
  EXPECT_GT(copy->FrameCount(), 0);
  EXPECT_LT(copy->FrameCount(), 20);
  EXPECT_EQ(copy->Id, s.Id);
}

TEST_F(SpriteRecord, LightAndPreviewReadsSkipImages) {
  TFrame& gif = *sprite.AddFrame();
  gif.LoadGifSource(SampleGif(), false, 0);
  TFrame& light = Read(Written(gif, 16), 16, false);
  EXPECT_EQ(light.GifSource(), nullptr);
  EXPECT_EQ(light.Picture.Width(), 29);
  TFrame& old = Read(Written(PictureFrame(), 13), 13, false);
  EXPECT_EQ(std::pair(old.ImageWidth, old.ImageHeight), std::pair(1, 1));

  // A preview decodes the first two frames of the sprites that show early.
  TSprite early(&scene), late(&scene);
  early.AddInterval(3, 10);
  late.AddInterval(7, 10);
  AddPictures(early, 3, 8);
  AddPictures(late, 3, 8);
  scene.PreviewOnlyLoad = 1;
  auto earlyCopy = ReadSprite(Written(early, 16), 16);
  auto lateCopy = ReadSprite(Written(late, 16), 16);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(earlyCopy->Frame(i).Picture.Width(), i < 2 ? 8 : 29) << i;
    EXPECT_EQ(lateCopy->Frame(i).Picture.Width(), 29) << i;
  }
}

TEST_F(SpriteRecord, PathsBeyondAnySceneAreReadErrors) {
  const std::pair<std::function<void(TMovingStepValues&)>, bool> steps[] = {
      {[](TMovingStepValues& v) { v.X2 = 16000000; }, false},  {[](TMovingStepValues& v) { v.StartX = 1e30; }, true},
      {[](TMovingStepValues& v) { v.SpeedEnd = -1e9; }, true}, {[](TMovingStepValues& v) { v.ZoomYStart = 5000; }, true},
      {[](TMovingStepValues& v) { v.OpacityEnd = INT32_MIN; }, true}};
  for (const auto& [change, refused] : steps) {
    TSprite s(&scene);
    TMovingStepValues v;
    change(v);
    s.Motion().AddStepWith(v, &s);
    const std::string bytes = Written(s, 16);
    if (refused) {
      EXPECT_THROW(ReadSprite(bytes, 16), EReadError);
    } else {
      EXPECT_NO_THROW(ReadSprite(bytes, 16));
    }
  }
  TSprite s(&scene);
  s.Motion().HotSpotX = 5000;  // per cent
  EXPECT_THROW(ReadSprite(Written(s, 16), 16), EReadError);
  s.Motion().HotSpotInPercent = 0;  // pixels
  EXPECT_NO_THROW(ReadSprite(Written(s, 16), 16));
}

TEST_F(SpriteRecord, CountsBeyondTheRemainingBytesAreReadErrors) {
  for (std::int64_t count : {std::int64_t{-1}, std::int64_t{1000}, std::int64_t{INT32_MAX}}) {
    EXPECT_THROW(ReadSprite(Bytes().i32(count).str(), 16), EReadError);
    EXPECT_THROW(ReadSprite(Bytes().i32(0).i32(count).zeros(64).str(), 16), EReadError);
  }
}

}  // namespace
