// Helpers of the project file, record and undo tests: a byte builder for files
// written by hand, a rich scene using every kind of frame, step and setting,
// and whole-scene snapshots.
#pragma once

#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "imaging/utils.h"
#include "platform/Real48.h"
#include "platform/Streams.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/TestBytes.h"

#include <cstring>
#include <string>

// Little-endian values appended one by one, as the files store them.
class Bytes {
 public:
  Bytes& u8(int v) { return raw(std::string(1, static_cast<char>(v & 0xFF))); }
  Bytes& i32(std::int64_t v) { return raw(Le32(static_cast<std::uint32_t>(v))); }
  Bytes& f64(double v) { return raw(std::string(reinterpret_cast<const char*>(&v), 8)); }
  Bytes& r48(double v) {
    const Real48 real(v);
    for (std::uint8_t b : real.ToBytes()) u8(b);
    return *this;
  }
  Bytes& sstr(const std::string& text) { return u8(static_cast<int>(text.size())).raw(text); }
  Bytes& raw(const std::string& bytes) {
    s_ += bytes;
    return *this;
  }
  Bytes& zeros(std::size_t n) { return raw(std::string(n, '\0')); }
  const std::string& str() const { return s_; }
  std::size_t size() const { return s_.size(); }

 private:
  std::string s_;
};

inline void LoadBytes(TMemoryStream& stream, const std::string& bytes) {
  stream.Clear();
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
}

// What a record writes at the save version.
template <typename Record>
std::string Written(Record& record, int version = kNewestFormatVersion) {
  SaveVersion = version;
  TMemoryStream stream;
  record.SaveToStream(stream);
  return StreamBytes(stream);
}

inline void ReadScene(TAnimatedScene& scene, const std::string& bytes) {
  TMemoryStream stream;
  LoadBytes(stream, bytes);
  scene.LoadFromStream(stream);
}

// Everything the scene holds, object ids included, so that a scene left as it
// was compares equal to its earlier snapshot.
inline std::string SceneSnapshot(TAnimatedScene& scene) {
  const std::uint8_t preview = scene.WritePreview, mode = UndoMode;
  scene.WritePreview = 0;
  UndoMode = 1;
  SaveVersion = 16;
  TMemoryStream stream;
  scene.SaveToStream(stream, 0, 1024);
  UndoMode = mode;
  scene.WritePreview = preview;
  return StreamBytes(stream);
}

// Restores both format versions and the undo mode at the end of a test.
struct FormatVersionsGuard {
  ~FormatVersionsGuard() { UndoMode = 0; }
  TFormatVersionScope versions{TFormatVersionScope::kNewestAfterwards};
};

// A resource meter that reports the given free share on every query.
struct LowResources {
  explicit LowResources(int free) {
    system.hasResourceMeter = true;
    system.probe = [free](int) { return free; };
    ResetFreeResourcesCache();
  }
  ~LowResources() { ResetFreeResourcesCache(); }
  FakeSystemValues system;
};

// A 24-bit picture: a colour with a 3 x 3 square of a second colour at the top left.
inline void MakeTwoColour(TBitmap& bitmap, int w, int h, TColor color, TColor corner) {
  MakeSolid(bitmap, w, h, color);
  bitmap.Canvas().Brush().Color = corner;
  bitmap.Canvas().FillRect(Rect(0, 0, 3, 3));
}

inline T3DTextState Sample3DState(const std::string& text, double depth) {
  T3DTextState s;
  s.Text = text, s.FontName = "Arial", s.TextureFileName = "wood.bmp";
  s.FontStyle = 3, s.Charset = 1, s.Depth = depth;
  s.TextPositionX = 1.5, s.TextPositionY = -2.25, s.TextPositionZ = 3;
  s.TextRotationX = 10, s.TextRotationY = 20, s.TextRotationZ = 30;
  s.CameraPositionX = 0.5, s.CameraPositionY = 0.25, s.CameraPositionZ = -40;
  s.CameraRotationX = 1, s.CameraRotationY = 2, s.CameraRotationZ = 3;
  s.ViewAngle = 45;
  for (int i = 0; i < 3; ++i) {
    T3DLightState& l = s.Lights[static_cast<std::size_t>(i)];
    l.Enabled = i == 1 ? 0 : 1, l.Kind = i + 1, l.Color = 0xFF8040 + i, l.CutOff = 180;
    l.DirectionX = i, l.DirectionY = -i, l.DirectionZ = 0.5;
    l.PositionX = 5, l.PositionY = 6, l.PositionZ = 7 + i;
  }
  s.MaterialOn = 1, s.MaterialColor = 0x00C0FF, s.Shininess = 64, s.TextureOn = 0;
  s.TextureRotationX = 4, s.TextureRotationY = 5, s.TextureRotationZ = 6;
  s.TextureScaleX = 1.25, s.TextureScaleY = 0.75, s.BackgroundColor = 0xFFFFFF;
  s.ImageWidth = 40, s.ImageHeight = 20;
  for (std::size_t i = 0; i < s.Reserved.size(); ++i) s.Reserved[i] = static_cast<std::uint8_t>(i * 7 + 1);
  return s;
}

inline TShapeParams SampleShape() {
  TShapeParams s;
  s.GradientStyle = 0, s.FillColor1 = 0x0000FF, s.FillColor2 = 0x00FF00, s.BackgroundColor = 0xFFFFFF;
  s.GradientAngle = 45, s.BevelStyle = 0, s.BevelWidth = 2, s.BevelColor1 = 0xC0C0C0, s.BevelColor2 = 0x808080;
  s.BorderWidth = 1, s.BorderColor = 0, s.CornerSize = 0;
  return s;
}

inline TText2DParams SampleText() {
  TText2DParams p;
  p.Charset = 0, p.TextColor = 0x0000FF, p.FontHeight = -14, p.FontName = "DejaVu Sans", p.Pitch = 0, p.Style = 1;
  p.BackgroundColor = 0xFFFFFF, p.Mode = tdmShadow, p.ShadowDistance = 2, p.ShadowPosition = 3;
  p.ShadowColor = 0x808080, p.Depth = 0, p.ExtrusionAngle = 45, p.ExtrusionColor = 0;
  return p;
}

// Three 6 x 4 images in three colours.
inline TGifFilePtr SampleGif() { return MakeGif({clRed, clLime, clBlue}); }

// A scene that uses every setting the body carries and every kind of frame:
// sprite 0 pictures on a path, 1 text, rectangle, ellipse and line, 2 an
// animated 3D text, 3 a kept GIF and kept JPEG bytes.
inline void FillRichScene(TAnimatedScene& scene) {
  scene.Width = 160, scene.Height = 90, scene.StepCount = 40;
  scene.Timer().SetInterval(80);
  scene.LoopCount = 3, scene.ReservedA = 7, scene.Name = "Rich scene";
  scene.BackgroundMode = bgmFillAndPicture, scene.BackgroundFile = "/nowhere/back.bmp";
  scene.StartColor = 0x102030, scene.FinishColor = 0x405060, scene.PicturePlacement = ppTiled;
  MakeTwoColour(scene.BackgroundPicture, 12, 9, 0x336699, 0x996633);
  scene.TransparentBackground = 1, scene.TransparentColor = 0x00FF00;
  scene.VelvetFill = 1, scene.FillColor = 0xEEEEEE, scene.FillAngle = 30;
  scene.FountainBevel = 1, scene.BevelDepth = 3, scene.BevelHighlight = 0xDDDDDD, scene.BevelShadow = 0x222222;
  scene.OutlineWidth = 2, scene.OutlineColor = 0x111111, scene.CornerRadius = 5;
  scene.ReservedB1 = 1, scene.ReservedB2 = 31, scene.ReservedB3 = 2, scene.ReservedB4 = 3, scene.ReservedB5 = 99;
  scene.ReservedColors = {0x0000FF, 0x00FF00};
  scene.ReservedColorBytes = {1, 2, 3, 4};
  TReservedSettings& r = scene.ReservedSettings;
  for (std::size_t i = 0; i < r.Lists.size(); ++i) r.Lists[i] = {"line " + std::to_string(i), "second"};
  for (std::size_t i = 0; i < r.Bytes.size(); ++i) r.Bytes[i] = static_cast<std::uint8_t>(10 + i);
  for (std::size_t i = 0; i < r.Strings.size(); ++i) r.Strings[i] = "s" + std::to_string(i);
  for (std::size_t i = 0; i < r.Ints.size(); ++i) r.Ints[i] = static_cast<std::int32_t>(1000 + i);

  int index = 0;
  TSprite& pictures = *scene.AddSprite(index);
  pictures.Name = "Pictures";
  for (TColor color : {clRed, clBlue}) {
    TBitmap picture;
    MakeTwoColour(picture, 10 + static_cast<int>(color & 7), 8, color, clYellow);
    TFrame& frame = *pictures.AddFrame();
    frame.SetPicture(picture, color == clBlue, clYellow, -1, -1);
    frame.Kind = fkPicture;
    frame.SetFileName("/pictures/frame.bmp");
    frame.StoreDuration(3);
  }
  pictures.AddInterval(1, 10);
  pictures.AddInterval(15, 30);
  pictures.SetContinueMoving(1);
  pictures.AppearanceFlag = 1;
  TMovingStepValues line = LineFrom(0, 5, 100, 40, 2);
  line.SpeedEnd = 4;
  line.ZoomXStart = 1, line.ZoomXEnd = 1.5, line.ZoomYStart = 0.5, line.ZoomYEnd = 1;
  line.OpacityStart = 50, line.OpacityEnd = 100;
  pictures.Motion().AddStepWith(line, &pictures);
  const TMovingStepValues hold = HoldAt(20, 10, 5);
  pictures.Motion().AddStepWith(hold, &pictures);
  pictures.Motion().Step(1).ShadowOn = 1;
  pictures.Motion().LoopLimit = 2;
  pictures.Motion().HotSpotX = 10;

  TSprite& generated = *scene.AddSprite(index);
  generated.Name = "Generated";
  TBitmap textImage;
  DrawText2D(textImage, "Hello", SampleText());
  generated.AddFrame();
  generated.ChangeText(0, "Hello", SampleText(), textImage, true, 0xFFFFFF);
  generated.Frame(0).PickTransparentColor(0xFFFFFF, 0, 0);
  generated.AddShape(fkRectangle, 30, 20, SampleShape(), false, 0);
  generated.AddShape(fkEllipse, 24, 16, SampleShape(), true, 0xFFFFFF);
  generated.AddLine({0, 0}, {20, 10}, 0xFFFFFF, 3, 0xFF0000, true);
  generated.Motion().AddStepWith(hold, &generated);

  TSprite& text3D = *scene.AddSprite(index);
  text3D.Name = "3D";
  TBitmap rendered;
  MakeTwoColour(rendered, 40, 20, clWhite, clNavy);
  text3D.Add3DText(Sample3DState("Start", 2), rendered, true, clWhite);
  text3D.Set3DTextAnimation(0, Sample3DState("Start", 2), Sample3DState("End", 5), 6, 1);

  TSprite& sources = *scene.AddSprite(index);
  sources.Name = "Sources";
  TFrame& gifFrame = *sources.AddFrame();
  gifFrame.LoadGifSource(SampleGif(), false, 0);
  gifFrame.Kind = fkPicture;
  gifFrame.SetFileName("anim.gif");
  TJPEGImage jpeg, encoded;
  MakeTwoColour(jpeg.Bitmap(), 16, 16, clTeal, clMaroon);
  TMemoryStream jpegBytes;
  jpeg.SaveToStream(jpegBytes);
  encoded.LoadFromMemoryStream(&jpegBytes);
  TFrame& jpegFrame = *sources.AddFrame();
  jpegFrame.LoadJpegSource(encoded, false, 0);
  jpegFrame.Kind = fkPicture;
  jpegFrame.SetFileName("photo.jpg");
}
