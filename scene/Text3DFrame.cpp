#include "scene/Text3DFrame.h"

#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "platform/Numeric.h"
#include "platform/SysUtils.h"
#include "qel3d/qelcam.h"
#include "qel3d/qellight.h"
#include "qel3d/qelmat.h"
#include "qel3d/qeltex.h"
#include "qel3d/qeltext.h"
#include "scene/Frame.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

std::int32_t BlendChannel(std::uint8_t a, std::uint8_t b, double t) {
  return a + Round(t * (static_cast<int>(b) - static_cast<int>(a)));
}

constexpr std::uint8_t kFontStyleBits = fsBold | fsItalic | fsUnderline | fsStrikeOut;
constexpr std::uint8_t kDefaultCharset = 1;

// The 3D objects take single-precision values; a double beyond their range
// would not convert, and NaN would make every setter see a change.
float ToSingle(double value) {
  if (std::isnan(value)) return 0.0f;
  return static_cast<float>(std::clamp(value, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

float Lerp(double s, double e, double t) { return ToSingle(InterpolateStateValue(s, e, t)); }

// Two state colours blended at t. System colours are resolved first: their
// low bytes are a table index, not red, green and blue.
TColor LerpColor(double s, double e, double t) {
  return InterpolateColor(ColorToRGB(StateColor(s)), ColorToRGB(StateColor(e)), t);
}

TQelLightKind LightKindOf(std::int32_t kind) {
  return kind == lkDirection || kind == lkSpot ? static_cast<TQelLightKind>(kind) : lkPoint;
}

void SetLight(TQelLight& light, const T3DLightState& s, const T3DLightState& e, double t) {
  light.SetEnabled(s.Enabled != 0);
  light.SetKind(LightKindOf(s.Kind));
  const TColor color = LerpColor(s.Color, e.Color, t);
  light.ColorSpecular().SetColor(color);
  light.ColorDiffuse().SetColor(color);
  light.Direction().SetXYZ(Lerp(s.DirectionX, e.DirectionX, t), Lerp(s.DirectionY, e.DirectionY, t),
                           Lerp(s.DirectionZ, e.DirectionZ, t));
  light.SetCutOff(Lerp(s.CutOff, e.CutOff, t));
  light.Translation().SetXYZ(Lerp(s.PositionX, e.PositionX, t), Lerp(s.PositionY, e.PositionY, t),
                             Lerp(s.PositionZ, e.PositionZ, t));
}

// Closes what an AVI read opened, also when reading raises.
class TAviReadScope {
 public:
  explicit TAviReadScope(TAVIObject& avi) : avi_(avi) {}
  ~TAviReadScope() {
    if (stream_ != 0) avi_.CloseVideoStream(stream_);
    if (file_ != 0) avi_.CloseAVIFile(file_);
  }
  TAviReadScope(const TAviReadScope&) = delete;
  TAviReadScope& operator=(const TAviReadScope&) = delete;
  PAVIFILE file_ = 0;
  PAVISTREAM stream_ = 0;

 private:
  TAVIObject& avi_;
};

// The picture of a texture file by its extension; empty when the file has
// none that can be read.
void ReadTexturePicture(const std::string& fileName, TBitmap& picture) {
  const std::string extension = UpperCaseAscii(ExtractFileExt(fileName));
  if (extension == ".BMP") {
    picture.LoadFromFile(fileName);
  } else if (extension == ".GIF") {
    TGifFile gif;
    gif.LoadFromFile(fileName);
    for (int i = 1; i <= gif.ImageCount(); ++i) {
      if (TBitmap* image = gif.GetSubImage(i)->GetBitmap()) {
        picture.Assign(image);
        break;
      }
    }
  } else if (extension == ".JPG") {
    TJPEGImage jpeg;
    jpeg.SetFileName(fileName);
    picture.Assign(&jpeg.Bitmap());
  } else if (extension == ".AVI") {
    TAVIObject avi;
    TAviReadScope scope(avi);
    scope.file_ = avi.OpenAVIFile(fileName);
    scope.stream_ = avi.OpenVideoStream(scope.file_);
    if (scope.stream_ == 0) return;
    std::unique_ptr<TBitmap> frame = avi.GetFrameBitmap(0);
    if (!avi.ErrorFlag()) picture.Assign(frame.get());
  }
}

}  // namespace

int TextureSide(int size) {
  int side = size;
  for (std::int64_t p = 2; p < side;) {
    if (side < 2 * p) {
      side = static_cast<int>(p);
    } else {
      p *= 2;
    }
  }
  return side;
}

void MakeTextureBitmap(const TBitmap& picture, TBitmap& texture) {
  texture.SetPixelFormat(pf24bit);
  texture.SetSize(TextureSide(picture.Width()), TextureSide(picture.Height()));
  texture.Canvas().StretchDraw(Rect(0, 0, texture.Width(), texture.Height()), picture);
}

TColor InterpolateColor(TColor c1, TColor c2, double t) {
  const std::int32_t r = BlendChannel(GetRValue(c1), GetRValue(c2), t);
  const std::int32_t g = BlendChannel(GetGValue(c1), GetGValue(c2), t);
  const std::int32_t b = BlendChannel(GetBValue(c1), GetBValue(c2), t);
  // Outside 0..1 a channel may leave its byte; the colour keeps each one's low 8 bits.
  return RGB(static_cast<std::uint8_t>(r & 0xFF), static_cast<std::uint8_t>(g & 0xFF),
             static_cast<std::uint8_t>(b & 0xFF));
}

TColor StateColor(double value) {
  return static_cast<TColor>(static_cast<std::uint64_t>(Round64(value)) & 0xFFFFFFFFu);
}

std::uint8_t StateFontStyle(const T3DTextState& state) { return state.FontStyle & kFontStyleBits; }

std::uint8_t StateFontCharset(const T3DTextState& state) {
  return state.Charset >= 0 && state.Charset <= 255 ? static_cast<std::uint8_t>(state.Charset) : kDefaultCharset;
}

double InterpolateStateValue(double s, double e, double t) {
  // s + 1 x (e - s) need not give e back in floating point; the ends are the states themselves.
  if (!(t > 0.0)) return s;
  if (t >= 1.0) return e;
  return s + t * (e - s);
}

// ---- Setting the 3D objects from two states -------------------------------------------------------

void TFrame::Render3D(const T3DTextState& start, const T3DTextState& end, double t, TQelText& text,
                      TQelCamera& camera, TQelLight& light1, TQelLight& light2, TQelLight& light3,
                      TQelMaterial& material, TQelTexture& texture) {
  text.SetText(start.Text);
  TFont font = text.Font();
  font.Name = start.FontName;
  font.Charset = StateFontCharset(start);
  font.Style = StateFontStyle(start);
  text.SetFont(font);
  text.SetDepth(Lerp(start.Depth, end.Depth, t));
  text.Translation().SetXYZ(Lerp(start.TextPositionX, end.TextPositionX, t),
                            Lerp(start.TextPositionY, end.TextPositionY, t),
                            Lerp(start.TextPositionZ, end.TextPositionZ, t));
  text.Rotation().SetXYZ(Lerp(start.TextRotationX, end.TextRotationX, t),
                         Lerp(start.TextRotationY, end.TextRotationY, t),
                         Lerp(start.TextRotationZ, end.TextRotationZ, t));

  camera.Position().SetXYZ(Lerp(start.CameraPositionX, end.CameraPositionX, t),
                           Lerp(start.CameraPositionY, end.CameraPositionY, t),
                           Lerp(start.CameraPositionZ, end.CameraPositionZ, t));
  camera.Rotation().SetXYZ(Lerp(start.CameraRotationX, end.CameraRotationX, t),
                           Lerp(start.CameraRotationY, end.CameraRotationY, t),
                           Lerp(start.CameraRotationZ, end.CameraRotationZ, t));
  camera.SetViewAngle(Lerp(start.ViewAngle, end.ViewAngle, t));

  TQelLight* lights[] = {&light1, &light2, &light3};
  for (std::size_t i = 0; i < 3; ++i) SetLight(*lights[i], start.Lights[i], end.Lights[i], t);

  material.SetEnabled(start.MaterialOn >= 1);
  material.ColorEmission().SetColor(LerpColor(start.MaterialColor, end.MaterialColor, t));
  material.SetShininess(Round(InterpolateStateValue(start.Shininess, end.Shininess, t)));

  const bool textured = start.TextureOn >= 1;
  texture.SetEnabled(textured);
  texture.Rotation().SetXYZ(Lerp(start.TextureRotationX, end.TextureRotationX, t),
                            Lerp(start.TextureRotationY, end.TextureRotationY, t),
                            Lerp(start.TextureRotationZ, end.TextureRotationZ, t));
  texture.Scale().SetX(Lerp(start.TextureScaleX, end.TextureScaleX, t));
  texture.Scale().SetY(Lerp(start.TextureScaleY, end.TextureScaleY, t));
  // The picture is read when a shown texture names another file than the one
  // it holds, not at every sub-frame; a file that cannot be read is not read
  // again until the name changes. A texture named by no file has no picture.
  if (textured && start.TextureFileName != texture.FileName()) {
    texture.SetFileName(start.TextureFileName);
    if (start.TextureFileName.empty()) {
      const TBitmap none;
      texture.SetBitmap(&none);
    } else {
      LoadTextureFile(start.TextureFileName, texture);
    }
  }
}

void TFrame::LoadTextureFile(const std::string& fileName, TQelTexture& texture) {
  if (fileName.empty()) return;
  TBitmap bitmap;
  try {
    TBitmap picture;
    ReadTexturePicture(fileName, picture);
    if (!picture.Empty()) MakeTextureBitmap(picture, bitmap);
  } catch (const std::exception&) {
    // A file that cannot be read gives the texture no picture.
    bitmap.Assign(nullptr);
  }
  texture.SetBitmap(&bitmap);
}
