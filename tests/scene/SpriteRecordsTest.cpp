#include "imaging/utils.h"
#include "scene/RecordReading.h"
#include "tests/scene/ProjectTestSupport.h"
#include "tests/support/FakeSystemValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class FrameRecord : public testing::Test {
 protected:
  FrameRecord() : sprite(&scene) {
    scene.Width = 100;
    scene.Height = 60;
  }
  ~FrameRecord() override {
    SaveVersion = kNewestFormatVersion;
    ReadVersion = kNewestFormatVersion;
    UndoMode = 0;
  }

  // A 4 x 3 picture frame: white with a red top-left square.
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

  std::string Write(TFrame& frame, int version) {
    SaveVersion = version;
    TMemoryStream stream;
    frame.SaveToStream(stream);
    return StreamBytes(stream);
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

  static std::string Bmp(const TBitmap& bitmap) {
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    return StreamBytes(stream);
  }

  static Bytes& TextFields(Bytes& b) {
    b.sstr("").u8(0).i32(0).i32(0).sstr("").u8(0).u8(0);
    b.i32(0xFFFFFF);
    for (int i = 0; i < 7; ++i) b.i32(0);
    return b;
  }

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

  TAnimatedScene scene;
  TSprite sprite;
};

// ---- Layouts written byte by byte ------------------------------------------------------------------

TEST_F(FrameRecord, Version16PictureFrameLayout) {
  TFrame& frame = PictureFrame();
  const std::string picture = Bmp(frame.Picture);
  Bytes b;
  b.u8(0).i32(0);  // no kept source
  b.i32(static_cast<std::int64_t>(picture.size())).raw(picture);
  b.sstr("a.bmp").i32(3).u8(0).i32(0);
  b.i32(0);  // an opaque frame stores no mask
  b.i32(fkPicture);
  TextFields(b);
  b.i32(0).i32(0);  // pick point
  DefaultState(b);
  DefaultState(b);
  b.i32(0).u8(0).u8(0);
  for (int i = 0; i < 12; ++i) b.i32(0);
  b.i32(0).i32(0).i32(0).i32(0);
  b.i32(4).i32(3);
  EXPECT_EQ(Write(frame, 16), b.str());
}

TEST_F(FrameRecord, TheStateRecordIs431BytesWithEmptyStrings) {
  Bytes state;
  DefaultState(state);
  EXPECT_EQ(state.size(), 431u);
}

TEST_F(FrameRecord, Version8HasNoPickPointNoStatesAndTakesTheColourAtThePickPoint) {
  TFrame& frame = PictureFrame();
  frame.StoreTransparency(false, clBlue);
  const std::string picture = Bmp(frame.Picture);
  Bytes b;
  b.i32(static_cast<std::int64_t>(picture.size())).raw(picture);
  // The pick point is (0, 0): the colour written is the picture's red there.
  b.sstr("a.bmp").i32(3).u8(0).i32(0x0000FF);
  b.i32(0);
  b.i32(fkPicture);
  TextFields(b);
  EXPECT_EQ(Write(frame, 8), b.str());
}

TEST_F(FrameRecord, Version4AlwaysStoresTheOldMaskAtFourBitsPerPixel) {
  TFrame& frame = PictureFrame();
  const std::string bytes = Write(frame, 4);
  TMemoryStream stream;
  LoadBytes(stream, bytes);
  SkipRecordBytes(stream, stream.ReadInt32());
  EXPECT_EQ(stream.ReadShortString(), "a.bmp");
  stream.ReadInt32();
  stream.ReadByte();
  stream.ReadInt32();
  const std::int32_t maskSize = stream.ReadInt32();
  ASSERT_GT(maskSize, 0);
  TBitmap mask;
  TRecordBlock block(stream, maskSize);
  mask.LoadFromStream(block.Stream());
  EXPECT_EQ(mask.PixelFormat(), pf4bit);
  ASSERT_EQ(mask.Width(), 4);
  // White where the picture shows the pick point's colour (red at 0, 0), black elsewhere.
  EXPECT_EQ(mask.Pixel(0, 0), clWhite);
  EXPECT_EQ(mask.Pixel(1, 0), clBlack);
  EXPECT_EQ(mask.Pixel(3, 2), clBlack);
  EXPECT_EQ(stream.ReadInt32(), fkPicture);
}

TEST_F(FrameRecord, Version9StoresAOnePixelMaskForTransparentFramesOnly) {
  TFrame& opaque = PictureFrame();
  TFrame& transparent = PictureFrame(true, clWhite);
  auto maskSizeOf = [&](TFrame& frame) {
    TMemoryStream stream;
    LoadBytes(stream, Write(frame, 9));
    SkipRecordBytes(stream, stream.ReadInt32());
    stream.ReadShortString();
    stream.ReadInt32();
    stream.ReadByte();
    stream.ReadInt32();
    const std::int32_t size = stream.ReadInt32();
    if (size == 0) return std::pair{0, 0};
    TBitmap mask;
    TRecordBlock block(stream, size);
    mask.LoadFromStream(block.Stream());
    return std::pair{mask.Width(), mask.Height()};
  };
  EXPECT_EQ(maskSizeOf(opaque), std::pair(0, 0));
  EXPECT_EQ(maskSizeOf(transparent), std::pair(1, 1));
}

TEST_F(FrameRecord, TheGatesSizeEveryVersionsRecord) {
  TFrame& frame = PictureFrame();
  const std::int64_t picture = static_cast<std::int64_t>(Bmp(frame.Picture).size()) + 4;
  const std::int64_t base = picture + 6 + 4 + 1 + 4 + 4 + 4 + 1 + 1 + 8 + 1 + 2 + 32;
  const std::int64_t states = 2 * 431 + 4 + 1 + 1 + 48 + 16;
  EXPECT_EQ(static_cast<std::int64_t>(Write(frame, 8).size()), base);
  EXPECT_EQ(static_cast<std::int64_t>(Write(frame, 9).size()), base + 8);
  EXPECT_EQ(static_cast<std::int64_t>(Write(frame, 12).size()), base + 8 + 1212);
  EXPECT_EQ(static_cast<std::int64_t>(Write(frame, 13).size()), base + 8 + states);
  EXPECT_EQ(static_cast<std::int64_t>(Write(frame, 14).size()), base + 8 + states + 8);
  EXPECT_EQ(static_cast<std::int64_t>(Write(frame, 15).size()), 5 + base + 8 + states + 8);
  UndoMode = 1;
  EXPECT_EQ(static_cast<std::int64_t>(Write(frame, 16).size()), 5 + base + 8 + states + 8 + 4);
}

TEST_F(FrameRecord, EveryVersionReadsBackWhatItWrote) {
  TFrame& frame = PictureFrame(true, clWhite);
  frame.Text = "words";
  frame.TextParams = SampleText();
  frame.Shape = SampleShape();
  frame.LineStart = {1, 2};
  frame.LineEnd = {3, 4};
  frame.StartState = Sample3DState("one", 1);
  frame.EndState = Sample3DState("two", 2);
  frame.SubFrameCount = 5;
  frame.Loop = 1;
  for (int version = 1; version <= 16; ++version) {
    TFrame& copy = Read(Write(frame, version), version);
    EXPECT_EQ(copy.FileName, "a.bmp");
    EXPECT_EQ(copy.Duration(), 3);
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.Text, "words");
    EXPECT_EQ(copy.TextParams, SampleText());
    EXPECT_EQ(copy.Picture.Pixel(0, 0), clRed);
    EXPECT_EQ(copy.ImageWidth, 4);
    EXPECT_EQ(copy.Shape == SampleShape(), version > 12) << version;
    EXPECT_EQ(copy.StartState.Text == "one", version >= 12) << version;
    EXPECT_EQ(copy.EndState.Text == "two", version > 12) << version;
    EXPECT_EQ(copy.SubFrameCount == 5, version > 12) << version;
  }
}

TEST_F(FrameRecord, StatesSurviveTheNewestRecordWhole) {
  TFrame& frame = PictureFrame();
  frame.StartState = Sample3DState("start", 1.5);
  frame.EndState = Sample3DState("end", 7.25);
  TFrame& copy = Read(Write(frame, 16), 16);
  EXPECT_EQ(copy.StartState, frame.StartState);
  EXPECT_EQ(copy.EndState, frame.EndState);
}

TEST_F(FrameRecord, Version12KeepsOneStateAtFixedOffsets) {
  TFrame& frame = PictureFrame();
  frame.StartState = Sample3DState("old text", 2.5);
  const std::string bytes = Write(frame, 12);
  ASSERT_GE(bytes.size(), 1212u);
  const std::string state = bytes.substr(bytes.size() - 1212);
  EXPECT_EQ(state[0], 8);
  EXPECT_EQ(state.substr(1, 8), "old text");
  EXPECT_EQ(state[9], '\0');
  EXPECT_EQ(state[256], 5);
  EXPECT_EQ(state.substr(257, 5), "Arial");
  EXPECT_EQ(static_cast<std::uint8_t>(state[512]), 3);  // font style
  EXPECT_EQ(state.substr(513, 3), std::string(3, '\0'));
  auto doubleAt = [&](std::size_t at) {
    double d;
    std::memcpy(&d, state.data() + at, 8);
    return d;
  };
  auto intAt = [&](std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, state.data() + at, 4);
    return v;
  };
  EXPECT_EQ(intAt(516), 1);
  EXPECT_DOUBLE_EQ(doubleAt(520), 2.5);
  EXPECT_EQ(intAt(632), 1);   // light 1's kind
  EXPECT_DOUBLE_EQ(doubleAt(700), 0.0);  // light 2 is off
  EXPECT_EQ(intAt(708), 2);
  EXPECT_DOUBLE_EQ(doubleAt(776), 1.0);
  EXPECT_EQ(intAt(784), 3);
  EXPECT_DOUBLE_EQ(doubleAt(852), 1.0);  // material on
  EXPECT_EQ(state.substr(885, 8), "wood.bmp");
  EXPECT_DOUBLE_EQ(doubleAt(1140), 4.0);
  EXPECT_EQ(intAt(1188), 40);
  EXPECT_EQ(intAt(1192), 20);
  EXPECT_EQ(static_cast<std::uint8_t>(state[1196]), 1);

  frame.StartState.Lights[0].Enabled = 0;
  TFrame& copy = Read(Write(frame, 12), 12);
  T3DTextState expected = frame.StartState;
  expected.Lights[0].Enabled = 1;  // light 1 of this layout is always on
  EXPECT_EQ(copy.StartState, expected);
}

TEST_F(FrameRecord, AStateDoubleThatIsNotFiniteReadsAsZero) {
  TFrame& frame = PictureFrame();
  frame.StartState.Depth = std::numeric_limits<double>::quiet_NaN();
  frame.StartState.ViewAngle = std::numeric_limits<double>::infinity();
  frame.StartState.Lights[2].Color = -std::numeric_limits<double>::infinity();
  TFrame& copy = Read(Write(frame, 16), 16);
  EXPECT_EQ(copy.StartState.Depth, 0.0);
  EXPECT_EQ(copy.StartState.ViewAngle, 0.0);
  EXPECT_EQ(copy.StartState.Lights[2].Color, 0.0);
}

// ---- Writer rules ------------------------------------------------------------------------------------

TEST_F(FrameRecord, ATransparentFrameWithoutPickPointWritesTheFirstMatchColumnByColumn) {
  TFrame& frame = PictureFrame(true, clWhite);
  TBitmap picture;
  MakeSolid(picture, 4, 3, clRed);
  picture.SetPixel(2, 0, clLime);
  picture.SetPixel(1, 2, clLime);
  frame.SetPicture(picture, false, 0, -1, -1);
  frame.StoreTransparency(true, clLime);
  frame.PickPoint = {-1, -1};
  TFrame& copy = Read(Write(frame, 16), 16);
  EXPECT_EQ(copy.PickPoint, (TPoint{1, 2}));
  frame.StoreTransparency(true, clBlue);
  TFrame& none = Read(Write(frame, 16), 16);
  EXPECT_EQ(none.PickPoint, (TPoint{-1, -1}));
}

TEST_F(FrameRecord, AKeptGifIsWrittenInsteadOfThePictureAndReadBackComposed) {
  TFrame& frame = *sprite.AddFrame();
  frame.LoadGifSource(SampleGif(), false, 0);
  frame.Kind = fkPicture;
  const std::string bytes = Write(frame, 16);
  TMemoryStream stream;
  LoadBytes(stream, bytes);
  EXPECT_EQ(stream.ReadByte(), 1);
  EXPECT_EQ(stream.ReadInt32(), fskGif);
  const std::int32_t gifSize = stream.ReadInt32();
  EXPECT_EQ(stream.ReadBytes(6), "GIF89a");
  stream.Seek(gifSize - 6, TSeekOrigin::soCurrent);
  EXPECT_EQ(stream.ReadInt32(), 0) << "the picture is not stored beside its source";

  TFrame& copy = Read(bytes, 16);
  ASSERT_NE(copy.GifSource(), nullptr);
  EXPECT_EQ(copy.GifSource()->ImageCount(), 3);
  EXPECT_EQ(copy.Picture.Pixel(1, 1), clRed);
  EXPECT_EQ(copy.ImageWidth, 6);
}

TEST_F(FrameRecord, KeptJpegBytesAreStoredAsTheyStand) {
  TJPEGImage jpeg;
  MakeSolid(jpeg.Bitmap(), 8, 8, clGray);
  TMemoryStream encoded;
  jpeg.SaveToStream(encoded);
  TJPEGImage source;
  source.LoadFromMemoryStream(&encoded);
  TFrame& frame = *sprite.AddFrame();
  frame.LoadJpegSource(source, false, 0);
  const std::string bytes = Write(frame, 16);
  EXPECT_EQ(bytes.substr(9, static_cast<std::size_t>(encoded.Size())), StreamBytes(encoded));
  TFrame& copy = Read(bytes, 16);
  EXPECT_EQ(copy.SourceKept, 1);
  EXPECT_EQ(StreamBytes(copy.KeptStream), StreamBytes(encoded));
  EXPECT_EQ(copy.ImageWidth, 8);
}

TEST_F(FrameRecord, WithSavePicturesOffAGeneratedFrameIsRebuiltFromItsParameters) {
  sprite.AddShape(fkRectangle, 30, 20, SampleShape(), false, 0);
  TFrame& frame = sprite.Frame(0);
  frame.SavePictures = 0;
  const std::string bytes = Write(frame, 16);
  EXPECT_EQ(bytes.substr(5, 4), std::string(4, '\0'));
  TFrame& copy = Read(bytes, 16);
  EXPECT_EQ(copy.Picture.Width(), 30);
  EXPECT_EQ(copy.Picture.Height(), 20);
  RestoreFrameImage(frame.Picture);
  for (int y = 0; y < 20; y += 3)
    for (int x = 0; x < 30; x += 3) ASSERT_EQ(copy.Picture.Pixel(x, y), frame.Picture.Pixel(x, y)) << x << "," << y;
}

TEST_F(FrameRecord, ATextFrameWithoutPictureIsDrawnAgain) {
  TFrame& frame = *sprite.AddFrame();
  TBitmap image;
  DrawText2D(image, "Hi", SampleText());
  sprite.ChangeText(0, "Hi", SampleText(), image, true, 0xFFFFFF);
  frame.PickPoint = {0, 0};
  frame.SavePictures = 0;
  TFrame& copy = Read(Write(frame, 16), 16);
  EXPECT_EQ(copy.Picture.Width(), image.Width());
  EXPECT_EQ(copy.Picture.Height(), image.Height());
  // The pick point's pixel of the rebuilt image is the colour as drawn.
  EXPECT_EQ(copy.ResolvedColorKnown, 1);
  EXPECT_EQ(copy.ResolvedColor, 0xFFFFFFu);
}

TEST_F(FrameRecord, ALineFrameWithoutPictureIsDrawnAgainFromItsPoints) {
  sprite.AddLine({2, 1}, {12, 6}, clWhite, 2, clRed, true);
  TFrame& frame = sprite.Frame(0);
  frame.SavePictures = 0;
  TFrame& copy = Read(Write(frame, 16), 16);
  EXPECT_EQ(copy.Picture.Width(), frame.Picture.Width());
  EXPECT_EQ(copy.Picture.Height(), frame.Picture.Height());
}

TEST_F(FrameRecord, ImpossibleSizesAndShapesAreReadErrors) {
  TFrame& frame = PictureFrame();
  frame.ImageWidth = 70000;
  EXPECT_THROW(Read(Write(frame, 16), 16), EReadError);
  frame.ImageWidth = 10000, frame.ImageHeight = 10000;
  EXPECT_THROW(Read(Write(frame, 16), 16), EReadError);
  frame.ImageWidth = 4, frame.ImageHeight = 3;
  frame.Shape.BorderWidth = INT32_MIN;
  EXPECT_THROW(Read(Write(frame, 16), 16), EReadError);
  frame.Shape.BorderWidth = 0;
  frame.StartState.ImageWidth = -1;
  EXPECT_THROW(Read(Write(frame, 16), 16), EReadError);
}

TEST_F(FrameRecord, AHugeTextOrLineIsNotDrawnButStillRead) {
  TFrame& text = *sprite.AddFrame();
  text.Kind = fkText;
  text.Text = std::string(200, 'W');
  text.TextParams = SampleText();
  text.TextParams.FontHeight = 4000;
  text.SavePictures = 0;
  TFrame& copy = Read(Write(text, 16), 16);
  EXPECT_EQ(copy.Picture.Width(), 29) << "the placeholder stays";
  TFrame& line = *sprite.AddFrame();
  line.Kind = fkLine;
  line.LineEnd = {2000000000, 5};
  line.Shape.BorderWidth = 1;
  line.SavePictures = 0;
  EXPECT_EQ(Read(Write(line, 16), 16).Picture.Width(), 29);
}

TEST_F(FrameRecord, ALightReadSkipsEveryImage) {
  TFrame& frame = *sprite.AddFrame();
  frame.LoadGifSource(SampleGif(), false, 0);
  TFrame& copy = Read(Write(frame, 16), 16, false);
  EXPECT_EQ(copy.GifSource(), nullptr);
  EXPECT_EQ(copy.Picture.Width(), 29);
  TFrame& picture = PictureFrame();
  TFrame& old = Read(Write(picture, 13), 13, false);
  EXPECT_EQ(old.ImageWidth, 1);
  EXPECT_EQ(old.ImageHeight, 1);
}

TEST_F(FrameRecord, AFrameIsDroppedWhenResourcesAreTooLowToDecodeIt) {
  FakeSystemValues system;
  system.hasResourceMeter = true;
  system.probe = [](int) { return 10; };
  ResetFreeResourcesCache();
  TFrame& frame = PictureFrame();
  TFrame& copy = Read(Write(frame, 16), 16);
  EXPECT_EQ(copy.Dropped, 1);
  ResetFreeResourcesCache();
}

// ---- Sprite records ---------------------------------------------------------------------------------------

class SpriteRecord : public FrameRecord {
 protected:
  std::string WriteSprite(TSprite& s, int version) {
    SaveVersion = version;
    TMemoryStream stream;
    s.SaveToStream(stream);
    return StreamBytes(stream);
  }
  std::unique_ptr<TSprite> ReadSprite(const std::string& bytes, int version) {
    ReadVersion = version;
    TMemoryStream stream;
    LoadBytes(stream, bytes);
    auto s = std::make_unique<TSprite>(&scene);
    s->LoadFromStream(stream);
    EXPECT_EQ(stream.Remaining(), 0);
    return s;
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
  b.i32(1).i32(2).i32(9);
  b.i32(0);
  b.i32(1);
  // The default step: 152 bytes.
  b.i32(3).r48(0).r48(0).r48(40).r48(40).r48(0).r48(0).i32(30).r48(1).r48(1).r48(1).r48(1).r48(1).r48(1);
  b.i32(9).i32(1).r48(100).i32(270).u8(0).i32(10).i32(100).i32(100).u8(0);
  b.i32(3).i32(3).i32(50).i32(50).i32(3).i32(3).i32(3).i32(3).i32(0).i32(0);
  ASSERT_EQ(b.size(), 4u + 8 + 4 + 4 + 152);
  b.i32(-1).u8(1).u8(1).u8(1).i32(0).i32(0).u8(0).u8(0);
  b.u8(1).u8(1).sstr("Ball");
  EXPECT_EQ(WriteSprite(s, 16), b.str());

  Bytes v3;
  v3.i32(1).i32(2).i32(9).i32(0).i32(1);
  v3.i32(3).r48(0).r48(0).r48(40).r48(40).r48(0).r48(0).i32(30).r48(1).r48(1).r48(1).r48(1);
  v3.i32(9).i32(1).r48(100);
  v3.i32(-1).u8(1).u8(1).u8(1);
  EXPECT_EQ(WriteSprite(s, 3), v3.str());
}

TEST_F(SpriteRecord, UndoModeEndsTheRecordsWithTheirIds) {
  TSprite s(&scene);
  s.AddInterval(1, 3);
  TFrame& frame = *s.AddFrame();
  UndoMode = 1;
  auto copy = ReadSprite(WriteSprite(s, 16), 16);
  EXPECT_EQ(copy->Id, s.Id);
  EXPECT_EQ(copy->Interval(0).Id, s.Interval(0).Id);
  EXPECT_EQ(copy->Frame(0).Id, frame.Id);
  EXPECT_EQ(copy->Motion().Id, s.Motion().Id);
}

TEST_F(SpriteRecord, AnUnnamedSpriteTakesItsNameFromItsFirstPictureOrTextFrame) {
  TSprite s(&scene);
  s.AddShape(fkRectangle, 5, 5, SampleShape(), false, 0);
  TFrame& picture = *s.AddFrame();
  picture.Kind = fkPicture;
  picture.SetFileName("C:\\Some Folder\\logo.gif");
  EXPECT_EQ(ReadSprite(WriteSprite(s, 16), 16)->Name, "logo");
  picture.Kind = fkText;
  picture.Text = "Title";
  EXPECT_EQ(ReadSprite(WriteSprite(s, 16), 16)->Name, "Title");
  s.Name = "Kept";
  EXPECT_EQ(ReadSprite(WriteSprite(s, 16), 16)->Name, "Kept");
  // Version 13 stores no name.
  EXPECT_EQ(ReadSprite(WriteSprite(s, 13), 13)->Name, "Title");
}

TEST_F(SpriteRecord, OmittedGeneratedImagesLeavePicturesOutOfTheRecordOnlyFromVersion14) {
  TSprite s(&scene);
  s.AddShape(fkRectangle, 30, 20, SampleShape(), false, 0);
  TFrame& picture = *s.AddFrame();
  TBitmap bitmap;
  MakeSolid(bitmap, 5, 5, clRed);
  picture.SetPicture(bitmap, false, 0, -1, -1);
  picture.Kind = fkPicture;
  scene.OmitGeneratedImages = 1;
  auto pictureSizes = [&](int version) {
    TMemoryStream stream;
    LoadBytes(stream, WriteSprite(s, version));
    stream.ReadInt32();
    stream.ReadInt32();
    std::vector<std::int32_t> sizes;
    ReadVersion = version;
    for (int i = 0; i < 2; ++i) {
      const std::int64_t start = stream.Position();
      if (version > 14) stream.Seek(5, TSeekOrigin::soCurrent);
      sizes.push_back(stream.ReadInt32());
      stream.SetPosition(start);
      TFrame scratch(&s);
      scratch.LoadFromStream(stream, false);
    }
    return sizes;
  };
  EXPECT_EQ(pictureSizes(16)[0], 0);
  EXPECT_GT(pictureSizes(16)[1], 0);
  EXPECT_GT(pictureSizes(13)[0], 0) << "a version that cannot rebuild keeps the image";
  EXPECT_EQ(s.Frame(0).SavePictures, 1);
  auto copy = ReadSprite(WriteSprite(s, 16), 16);
  EXPECT_EQ(copy->Frame(0).Picture.Width(), 30);
}

TEST_F(SpriteRecord, AnUndoSnapshotStopsAtTheMemoryLimitWithACountThatMatches) {
  FakeSystemValues system;
  system.physicalMemory = 64 * 1024;  // limit: 8 KiB
  TSprite s(&scene);
  for (int i = 0; i < 20; ++i) {
    TFrame& frame = *s.AddFrame();
    TBitmap bitmap;
    MakeSolid(bitmap, 20, 20, clRed);
    frame.SetPicture(bitmap, false, 0, -1, -1);
  }
  UndoMode = 1;
  auto copy = ReadSprite(WriteSprite(s, 16), 16);
  EXPECT_GT(copy->FrameCount(), 0);
  EXPECT_LT(copy->FrameCount(), 20);
  EXPECT_EQ(copy->Id, s.Id);
}

TEST_F(SpriteRecord, APreviewLoadDecodesTheFirstTwoFramesOfSpritesThatShowEarly) {
  TSprite early(&scene);
  early.AddInterval(3, 10);
  TSprite late(&scene);
  late.AddInterval(7, 10);
  for (TSprite* s : {&early, &late})
    for (int i = 0; i < 3; ++i) {
      TFrame& frame = *s->AddFrame();
      TBitmap bitmap;
      MakeSolid(bitmap, 8, 8, clRed);
      frame.SetPicture(bitmap, false, 0, -1, -1);
    }
  scene.PreviewOnlyLoad = 1;
  auto earlyCopy = ReadSprite(WriteSprite(early, 16), 16);
  auto lateCopy = ReadSprite(WriteSprite(late, 16), 16);
  EXPECT_EQ(earlyCopy->Frame(0).Picture.Width(), 8);
  EXPECT_EQ(earlyCopy->Frame(1).Picture.Width(), 8);
  EXPECT_EQ(earlyCopy->Frame(2).Picture.Width(), 29);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(lateCopy->Frame(i).Picture.Width(), 29);
}

TEST_F(SpriteRecord, AFrameDroppedForLowResourcesLeavesTheSpriteAndIsCounted) {
  TSprite s(&scene);
  for (int i = 0; i < 2; ++i) {
    TFrame& frame = *s.AddFrame();
    TBitmap bitmap;
    MakeSolid(bitmap, 8, 8, clRed);
    frame.SetPicture(bitmap, false, 0, -1, -1);
  }
  const std::string bytes = WriteSprite(s, 16);
  FakeSystemValues system;
  system.hasResourceMeter = true;
  system.probe = [](int) { return 10; };
  ResetFreeResourcesCache();
  auto copy = ReadSprite(bytes, 16);
  ResetFreeResourcesCache();
  EXPECT_EQ(copy->FrameCount(), 0);
  EXPECT_EQ(copy->DroppedFrame, 1);
}

TEST_F(SpriteRecord, PathsBeyondAnySceneAreReadErrors) {
  auto withStep = [&](auto change) {
    TSprite s(&scene);
    TMovingStepValues v;
    change(v);
    s.Motion().AddStepWith(v, &s);
    return WriteSprite(s, 16);
  };
  EXPECT_NO_THROW(ReadSprite(withStep([](TMovingStepValues& v) { v.X2 = 16000000; }), 16));
  EXPECT_THROW(ReadSprite(withStep([](TMovingStepValues& v) { v.StartX = 1e30; }), 16), EReadError);
  EXPECT_THROW(ReadSprite(withStep([](TMovingStepValues& v) { v.SpeedEnd = -1e9; }), 16), EReadError);
  EXPECT_THROW(ReadSprite(withStep([](TMovingStepValues& v) { v.ZoomYStart = 5000; }), 16), EReadError);
  EXPECT_THROW(ReadSprite(withStep([](TMovingStepValues& v) { v.OpacityEnd = INT32_MIN; }), 16), EReadError);
  TSprite s(&scene);
  s.Motion().HotSpotX = 5000;  // per cent
  EXPECT_THROW(ReadSprite(WriteSprite(s, 16), 16), EReadError);
  s.Motion().HotSpotInPercent = 0;  // pixels
  EXPECT_NO_THROW(ReadSprite(WriteSprite(s, 16), 16));
}

TEST_F(SpriteRecord, CountsBeyondTheRemainingBytesAreReadErrors) {
  for (std::int64_t count : {std::int64_t{-1}, std::int64_t{1000}, std::int64_t{INT32_MAX}}) {
    Bytes intervals;
    intervals.i32(count);
    EXPECT_THROW(ReadSprite(intervals.str(), 16), EReadError);
    Bytes frames;
    frames.i32(0).i32(count).zeros(64);
    EXPECT_THROW(ReadSprite(frames.str(), 16), EReadError);
  }
}

}  // namespace
