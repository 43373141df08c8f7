// The stream records of sprites and frames (and of the 3D text states a
// frame keeps): the sprite list of project files, the snapshots of the undo
// log and the clipboard blobs. Every field is gated on the format version of
// the stream being written (SaveVersion) or read (ReadVersion); in undo mode
// both records end with the object's id.
#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "imaging/utils.h"
#include "platform/Numeric.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "platform/SystemValues.h"
#include "scene/Frame.h"
#include "scene/RecordReading.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

// ---- 3D text states ----------------------------------------------------------------------------

// The 14 doubles of a state's first group, in their stored order.
std::array<double*, 14> FirstGroup(T3DTextState& s) {
  return {&s.Depth,           &s.TextPositionX,   &s.TextPositionY,   &s.TextPositionZ,   &s.TextRotationX,
          &s.TextRotationY,   &s.TextRotationZ,   &s.CameraPositionX, &s.CameraPositionY, &s.CameraPositionZ,
          &s.CameraRotationX, &s.CameraRotationY, &s.CameraRotationZ, &s.ViewAngle};
}

std::array<double*, 8> LightValues(T3DLightState& l) {
  return {&l.Color, &l.DirectionX, &l.DirectionY, &l.DirectionZ, &l.CutOff, &l.PositionX, &l.PositionY, &l.PositionZ};
}

std::array<double*, 4> MaterialValues(T3DTextState& s) {
  return {&s.MaterialOn, &s.MaterialColor, &s.Shininess, &s.TextureOn};
}

std::array<double*, 6> TextureValues(T3DTextState& s) {
  return {&s.TextureRotationX, &s.TextureRotationY, &s.TextureRotationZ,
          &s.TextureScaleX,    &s.TextureScaleY,    &s.BackgroundColor};
}

template <std::size_t N>
void WriteDoubles(TStream& stream, const std::array<double*, N>& values) {
  for (const double* v : values) stream.WriteDouble(*v);
}

template <std::size_t N>
void ReadDoubles(TStream& stream, const std::array<double*, N>& values) {
  for (double* v : values) *v = ReadFiniteDouble(stream);
}

void Write3DState(TStream& stream, const T3DTextState& state) {
  T3DTextState& s = const_cast<T3DTextState&>(state);  // the value lists take pointers; nothing changes
  stream.WriteShortString(s.Text);
  stream.WriteShortString(s.FontName);
  stream.WriteShortString(s.TextureFileName);
  stream.WriteByte(s.FontStyle);
  stream.WriteInt32(s.Charset);
  WriteDoubles(stream, FirstGroup(s));
  for (T3DLightState& light : s.Lights) {
    stream.WriteByte(light.Enabled);
    stream.WriteInt32(light.Kind);
    WriteDoubles(stream, LightValues(light));
  }
  WriteDoubles(stream, MaterialValues(s));
  WriteDoubles(stream, TextureValues(s));
  stream.WriteInt32(s.ImageWidth);
  stream.WriteInt32(s.ImageHeight);
  stream.WriteBuffer(s.Reserved.data(), static_cast<std::int64_t>(s.Reserved.size()));
}

void Read3DState(TStream& stream, T3DTextState& s) {
  s.Text = stream.ReadShortString();
  s.FontName = stream.ReadShortString();
  s.TextureFileName = stream.ReadShortString();
  s.FontStyle = stream.ReadByte();
  s.Charset = stream.ReadInt32();
  ReadDoubles(stream, FirstGroup(s));
  for (T3DLightState& light : s.Lights) {
    light.Enabled = stream.ReadByte();
    light.Kind = stream.ReadInt32();
    ReadDoubles(stream, LightValues(light));
  }
  ReadDoubles(stream, MaterialValues(s));
  ReadDoubles(stream, TextureValues(s));
  s.ImageWidth = stream.ReadInt32();
  s.ImageHeight = stream.ReadInt32();
  RequireRecordImageSize(s.ImageWidth, s.ImageHeight, 0);
  stream.ReadBuffer(s.Reserved.data(), static_cast<std::int64_t>(s.Reserved.size()));
}

// The one state of version-12 files, at fixed offsets.
constexpr std::int64_t kOldStateSize = 1212;
namespace old_state {
constexpr std::int64_t Text = 0, FontName = 256, FontStyle = 512, Charset = 516, FirstDoubles = 520;
constexpr std::int64_t Light1Kind = 632, Light1Values = 636;
constexpr std::int64_t Light2Enabled = 700, Light2Kind = 708, Light2Values = 712;
constexpr std::int64_t Light3Enabled = 776, Light3Kind = 784, Light3Values = 788;
constexpr std::int64_t Material = 852, TextureFileName = 884, Texture = 1140;
constexpr std::int64_t ImageWidth = 1188, ImageHeight = 1192, Reserved = 1196;
}  // namespace old_state

// A 256-byte short-string buffer: the length byte, the text, zeros.
void PutShortStringBuffer(TMemoryStream& buffer, std::int64_t at, const std::string& text) {
  const std::size_t length = std::min<std::size_t>(text.size(), 255);
  buffer.SetPosition(at);
  buffer.WriteByte(static_cast<std::uint8_t>(length));
  buffer.WriteBuffer(text.data(), static_cast<std::int64_t>(length));
}

std::string GetShortStringBuffer(TStream& buffer, std::int64_t at) {
  buffer.SetPosition(at);
  return buffer.ReadShortString();
}

void WriteOld3DState(TStream& stream, const T3DTextState& state) {
  T3DTextState& s = const_cast<T3DTextState&>(state);
  using namespace old_state;
  TMemoryStream buffer;
  buffer.SetSize(kOldStateSize);
  std::memset(buffer.Memory(), 0, static_cast<std::size_t>(kOldStateSize));
  PutShortStringBuffer(buffer, Text, s.Text);
  PutShortStringBuffer(buffer, FontName, s.FontName);
  buffer.SetPosition(FontStyle);
  buffer.WriteByte(s.FontStyle);
  buffer.SetPosition(Charset);
  buffer.WriteInt32(s.Charset);
  WriteDoubles(buffer, FirstGroup(s));
  buffer.SetPosition(Light1Kind);
  buffer.WriteInt32(s.Lights[0].Kind);
  WriteDoubles(buffer, LightValues(s.Lights[0]));
  buffer.SetPosition(Light2Enabled);
  buffer.WriteDouble(s.Lights[1].Enabled);
  buffer.WriteInt32(s.Lights[1].Kind);
  WriteDoubles(buffer, LightValues(s.Lights[1]));
  buffer.SetPosition(Light3Enabled);
  buffer.WriteDouble(s.Lights[2].Enabled);
  buffer.WriteInt32(s.Lights[2].Kind);
  WriteDoubles(buffer, LightValues(s.Lights[2]));
  buffer.SetPosition(Material);
  WriteDoubles(buffer, MaterialValues(s));
  PutShortStringBuffer(buffer, TextureFileName, s.TextureFileName);
  buffer.SetPosition(Texture);
  WriteDoubles(buffer, TextureValues(s));
  buffer.SetPosition(ImageWidth);
  buffer.WriteInt32(s.ImageWidth);
  buffer.SetPosition(ImageHeight);
  buffer.WriteInt32(s.ImageHeight);
  buffer.SetPosition(Reserved);
  buffer.WriteBuffer(s.Reserved.data(), static_cast<std::int64_t>(s.Reserved.size()));
  stream.WriteBuffer(buffer.Memory(), kOldStateSize);
}

std::uint8_t EnabledFromDouble(double value) { return static_cast<std::uint8_t>(EnsureRange(Round(value), 0, 255)); }

void ReadOld3DState(TStream& stream, T3DTextState& s) {
  using namespace old_state;
  TRecordBlock block(stream, kOldStateSize);
  TStream& b = block.Stream();
  s.Text = GetShortStringBuffer(b, Text);
  s.FontName = GetShortStringBuffer(b, FontName);
  b.SetPosition(FontStyle);
  s.FontStyle = b.ReadByte();
  b.SetPosition(Charset);
  s.Charset = b.ReadInt32();
  ReadDoubles(b, FirstGroup(s));
  // Light 1 has no enabled value in this layout: it is always on.
  s.Lights[0].Enabled = 1;
  b.SetPosition(Light1Kind);
  s.Lights[0].Kind = b.ReadInt32();
  ReadDoubles(b, LightValues(s.Lights[0]));
  b.SetPosition(Light2Enabled);
  s.Lights[1].Enabled = EnabledFromDouble(ReadFiniteDouble(b));
  s.Lights[1].Kind = b.ReadInt32();
  ReadDoubles(b, LightValues(s.Lights[1]));
  b.SetPosition(Light3Enabled);
  s.Lights[2].Enabled = EnabledFromDouble(ReadFiniteDouble(b));
  s.Lights[2].Kind = b.ReadInt32();
  ReadDoubles(b, LightValues(s.Lights[2]));
  b.SetPosition(Material);
  ReadDoubles(b, MaterialValues(s));
  s.TextureFileName = GetShortStringBuffer(b, TextureFileName);
  b.SetPosition(Texture);
  ReadDoubles(b, TextureValues(s));
  b.SetPosition(ImageWidth);
  s.ImageWidth = b.ReadInt32();
  s.ImageHeight = b.ReadInt32();
  RequireRecordImageSize(s.ImageWidth, s.ImageHeight, 0);
  b.SetPosition(Reserved);
  b.ReadBuffer(s.Reserved.data(), static_cast<std::int64_t>(s.Reserved.size()));
}

// ---- Parts of a frame record ------------------------------------------------------------------

void WriteTextParams(TStream& stream, const std::string& text, const TText2DParams& p) {
  stream.WriteShortString(text);
  stream.WriteByte(p.Charset);
  stream.WriteInt32(p.TextColor);
  stream.WriteInt32(p.FontHeight);
  stream.WriteShortString(p.FontName);
  stream.WriteByte(p.Pitch);
  stream.WriteByte(p.Style);
  for (std::int32_t v : {p.BackgroundColor, p.Mode, p.ShadowDistance, p.ShadowPosition, p.ShadowColor, p.Depth,
                         p.ExtrusionAngle, p.ExtrusionColor})
    stream.WriteInt32(v);
}

void ReadTextParams(TStream& stream, std::string& text, TText2DParams& p) {
  text = stream.ReadShortString();
  p.Charset = stream.ReadByte();
  p.TextColor = stream.ReadInt32();
  p.FontHeight = stream.ReadInt32();
  p.FontName = stream.ReadShortString();
  p.Pitch = stream.ReadByte();
  p.Style = stream.ReadByte();
  for (std::int32_t* v : {&p.BackgroundColor, &p.Mode, &p.ShadowDistance, &p.ShadowPosition, &p.ShadowColor,
                          &p.Depth, &p.ExtrusionAngle, &p.ExtrusionColor})
    *v = stream.ReadInt32();
}

std::array<std::int32_t*, 12> ShapeValues(TShapeParams& s) {
  return {&s.GradientStyle, &s.FillColor1,  &s.FillColor2,  &s.BackgroundColor, &s.GradientAngle, &s.BevelStyle,
          &s.BevelWidth,    &s.BevelColor1, &s.BevelColor2, &s.BorderWidth,     &s.BorderColor,   &s.CornerSize};
}

// Widths and angles far beyond any image would overflow the painters' arithmetic.
constexpr std::int32_t kMaxShapeMeasure = 1 << 20;

bool ShapeMeasuresPlausible(const TShapeParams& s) {
  for (std::int32_t v : {s.GradientAngle, s.BevelWidth, s.BorderWidth, s.CornerSize})
    if (v < -kMaxShapeMeasure || v > kMaxShapeMeasure) return false;
  return true;
}

void WritePoint(TStream& stream, TPoint p) {
  stream.WriteInt32(p.X);
  stream.WriteInt32(p.Y);
}

TPoint ReadPoint(TStream& stream) {
  const std::int32_t x = stream.ReadInt32();
  const std::int32_t y = stream.ReadInt32();
  return {x, y};
}

void WriteBitmapBlock(TStream& stream, const TBitmap& bitmap) {
  WriteSizedRecordBlock(stream, [&] { bitmap.SaveToStream(stream); });
}

bool InsideImage(const TBitmap& image, TPoint p) {
  return p.X >= 0 && p.Y >= 0 && p.X < image.Width() && p.Y < image.Height();
}

// The mask of files before version 9: a copy of the picture in which, unless
// the picture has 8 bits per pixel, the pixels of the key colour are white
// and all others black, at 4 bits per pixel.
void MakeOldMask(const TBitmap& picture, TColor key, TBitmap& mask) {
  mask.Assign(&picture);
  if (picture.BitCount() == 8) return;
  mask.SetPixelFormat(pf24bit);
  for (int y = 0; y < mask.Height(); ++y) {
    std::uint8_t* row = mask.ScanLine(y);
    for (int x = 0; x < mask.Width(); ++x, row += 3) {
      const TColor c = RGB(row[2], row[1], row[0]);
      const std::uint8_t level = c == key ? 255 : 0;
      row[0] = row[1] = row[2] = level;
    }
  }
  mask.SetPixelFormat(pf4bit);
}

// The smallest frame record at a version (field by field, strings empty).
std::int64_t MinFrameRecordSize(std::int32_t version) {
  std::int64_t size = 4 + 1 + 4 + 1 + 4 + 4 + 4 + 1 + 1 + 8 + 1 + 2 + 32;
  if (version > 14) size += 5;
  if (version > 8) size += 8;
  if (version == 12) size += kOldStateSize;
  if (version > 12) size += 2 * 431 + 4 + 1 + 1 + 48 + 16;
  if (version > 13) size += 8;
  if (UndoMode != 0) size += 4;
  return size;
}

// Interval count, frame count and an empty path at least.
constexpr std::int64_t kMinSpriteRecordSize = 16;

// Whether a text image of the parameters can be drawn within the limits of
// a record image: the text is measured as the painter measures it.
bool TextImageFits(const std::string& text, const TText2DParams& p) {
  constexpr std::int32_t kMaxTextMeasure = 4096;
  for (std::int32_t v : {p.FontHeight, p.ShadowDistance, p.Depth})
    if (v < -kMaxTextMeasure || v > kMaxTextMeasure) return false;
  TBitmap probe;
  TCanvas& canvas = probe.Canvas();
  TFont& font = canvas.Font();
  font.Charset = p.Charset;
  font.SetHeight(p.FontHeight);
  font.Name = p.FontName;
  font.Style = p.Style;
  const TSize size = canvas.TextExtent(text + "000");
  const std::int64_t margin = 2 * std::max(std::abs(p.ShadowDistance), std::abs(p.Depth)) + 8;
  return RecordImageSizeFits(size.cx + margin, size.cy + margin, 0);
}

bool LineImageFits(TPoint start, TPoint end, std::int32_t width) {
  constexpr std::int64_t kMaxCoordinate = 1 << 20;
  for (std::int64_t v : {start.X, start.Y, end.X, end.Y})
    if (v < -kMaxCoordinate || v > kMaxCoordinate) return false;
  if (width < 0 || width > kMaxRecordImageSide) return false;
  const std::int64_t w = std::max<std::int64_t>(std::abs(std::int64_t{start.X} - end.X) + width, width + 1);
  const std::int64_t h = std::max<std::int64_t>(std::abs(std::int64_t{start.Y} - end.Y) + width, width + 1);
  return RecordImageSizeFits(w, h, 1);
}

// Keeps the cancel flag clear while a kept GIF is written into a record, so
// that a pending cancel cannot cut the embedded file short.
class TCancelFlagHold {
 public:
  TCancelFlagHold() : saved_(CancelFlag) { CancelFlag = 0; }
  ~TCancelFlagHold() { CancelFlag = saved_; }
  TCancelFlagHold(const TCancelFlagHold&) = delete;
  TCancelFlagHold& operator=(const TCancelFlagHold&) = delete;

 private:
  std::uint8_t saved_;
};

}  // namespace

// ---- TFrame: writing --------------------------------------------------------------------------

void TFrame::SaveToStream(TStream& stream) {
  const std::int32_t version = SaveVersion;
  if (version > 14) {
    stream.WriteByte(SourceKept);
    stream.WriteInt32(SourceKind);
    if (SourceKept != 0) {
      if (SavePictures == 0) {
        stream.WriteInt32(0);
      } else if (SourceKind == fskJpeg) {
        stream.WriteInt32(static_cast<std::int32_t>(KeptStream.Size()));
        if (KeptStream.Size() > 0) stream.WriteBuffer(KeptStream.Memory(), KeptStream.Size());
      } else if (SourceKind == fskGif && gifSource_ != nullptr) {
        TCancelFlagHold hold;
        WriteSizedRecordBlock(stream, [&] { gifSource_->SaveToStream(stream); });
      } else if (SourceKind == fskAvi && aviSource_ != nullptr) {
        // The size is that of the clip record as written, which is its streamed size.
        WriteSizedRecordBlock(stream, [&] { aviSource_->SaveToStream(stream); });
      } else {
        stream.WriteInt32(0);
      }
    }
  }

  RestoreFrameImage(Picture);
  if (SavePictures == 0 || (version > 14 && SourceKept != 0)) {
    stream.WriteInt32(0);
  } else {
    WriteBitmapBlock(stream, Picture);
  }

  stream.WriteShortString(FileName);
  stream.WriteInt32(duration_);
  stream.WriteByte(transparent_);
  // Before version 9 the colour is the picture's at the pick point.
  const TColor pickColor =
      InsideImage(Picture, PickPoint) ? (Picture.Pixel(PickPoint.X, PickPoint.Y) & 0xFFFFFF) : transparentColor_;
  stream.WriteInt32(static_cast<std::int32_t>(version < 9 ? pickColor : transparentColor_));

  const bool maskBytes = transparent_ != 0 || version <= 5;
  if (!maskBytes) {
    stream.WriteInt32(0);
  } else if (version < 9) {
    TBitmap mask;
    MakeOldMask(Picture, pickColor, mask);
    WriteBitmapBlock(stream, mask);
  } else {
    Mask.SetSize(1, 1);
    WriteBitmapBlock(stream, Mask);
  }

  stream.WriteInt32(Kind);
  WriteTextParams(stream, Text, TextParams);

  if (version > 8) {
    TPoint pick = PickPoint;
    if (transparent_ != 0 && (pick.X < 0 || pick.Y < 0)) {
      RestoreFrameImage(DisplayImage);
      pick = FindColorColumnwise(DisplayImage, transparentColor_ & 0xFFFFFF).value_or(TPoint{-1, -1});
    }
    WritePoint(stream, pick);
  }
  if (version == 12) WriteOld3DState(stream, StartState);
  if (version > 12) {
    Write3DState(stream, StartState);
    Write3DState(stream, EndState);
    stream.WriteInt32(SubFrameCount);
    stream.WriteByte(Loop);
    stream.WriteByte(Animation3D);
    for (std::int32_t* v : ShapeValues(Shape)) stream.WriteInt32(*v);
    WritePoint(stream, LineStart);
    WritePoint(stream, LineEnd);
  }
  if (version > 13) {
    stream.WriteInt32(ImageWidth);
    stream.WriteInt32(ImageHeight);
  }
  if (UndoMode != 0) stream.WriteInt32(Id);
  ReleaseFrameImage(Mask);
  ReleaseFrameImage(Picture);
  ReleaseFrameImage(DisplayImage);
}

// ---- TFrame: reading ----------------------------------------------------------------------------

namespace {

// Decodes kept source bytes into a frame; false when they could not be decoded.
bool LoadKeptSource(TFrame& frame, std::int32_t kind, TRecordBlock& block) {
  try {
    if (kind == fskJpeg) {
      TMemoryStream bytes;
      bytes.WriteBuffer(block.Data(), block.Size());
      TJPEGImage jpeg;
      jpeg.LoadFromMemoryStream(&bytes);
      frame.LoadJpegSource(jpeg, false, 0);
    } else if (kind == fskGif) {
      TGifFilePtr gif(new TGifFile());
      gif->LoadFromStream(block.Stream());
      frame.LoadGifSource(std::move(gif), false, 0);
    } else if (kind == fskAvi) {
      TAVIImagePtr clip(new TAVIImage());
      // A clip restored from a record never starts a sound.
      clip->SetSoundFlag(false);
      clip->LoadFromStream(block.Stream());
      frame.LoadAviSource(std::move(clip), false, 0);
    }
  } catch (const std::exception&) {
    frame.DropSource();
  }
  return frame.SourceKept != 0;
}

}  // namespace

void TFrame::LoadFromStream(TStream& stream, bool fullRead) {
  const std::int32_t version = ReadVersion;
  bool pictureLoaded = false;
  Dropped = 0;
  DropSource();

  if (version > 14) {
    const std::uint8_t kept = stream.ReadByte();
    const std::int32_t kind = stream.ReadInt32();
    SourceKind = kind;
    if (kept != 0) {
      const std::int32_t size = ReadRecordSize(stream);
      if (!fullRead || size == 0) {
        SkipRecordBytes(stream, size);
      } else {
        TRecordBlock block(stream, size);
        pictureLoaded = LoadKeptSource(*this, kind, block);
        SourceKind = kind;
        ImageWidth = Picture.Width();
        ImageHeight = Picture.Height();
      }
    }
  }

  const std::int32_t pictureSize = ReadRecordSize(stream);
  if (!fullRead) {
    SkipRecordBytes(stream, pictureSize);
    ImageWidth = 1;
    ImageHeight = 1;
  } else if (pictureSize > 0) {
    TRecordBlock block(stream, pictureSize);
    if (FreeResourcesPct(0) < 11) {
      Dropped = 1;
    } else {
      Picture.LoadFromStream(block.Stream());
      ImageWidth = Picture.Width();
      ImageHeight = Picture.Height();
      pictureLoaded = true;
    }
  }

  FileName = stream.ReadShortString();
  duration_ = stream.ReadInt32();
  transparent_ = stream.ReadByte();
  transparentColor_ = static_cast<TColor>(stream.ReadInt32());
  ResolvedColorKnown = 0;
  // The mask is kept for old files only; the transparency comes from the colour.
  SkipRecordBytes(stream, ReadRecordSize(stream));

  Kind = stream.ReadInt32();
  ReadTextParams(stream, Text, TextParams);
  PickPoint = version > 8 ? ReadPoint(stream) : TPoint{0, 0};

  if (version == 12) ReadOld3DState(stream, StartState);
  if (version > 12) {
    Read3DState(stream, StartState);
    Read3DState(stream, EndState);
    SubFrameCount = stream.ReadInt32();
    Loop = stream.ReadByte();
    Animation3D = stream.ReadByte();
  }
  if (Kind == fkText3D) Text = StartState.Text;
  if (version > 12) {
    for (std::int32_t* v : ShapeValues(Shape)) *v = stream.ReadInt32();
    if (!ShapeMeasuresPlausible(Shape)) throw EReadError("A frame record states an impossible shape");
    LineStart = ReadPoint(stream);
    LineEnd = ReadPoint(stream);
  }
  if (version > 13) {
    ImageWidth = stream.ReadInt32();
    ImageHeight = stream.ReadInt32();
    RequireRecordImageSize(ImageWidth, ImageHeight, 0);
  }
  if (UndoMode != 0) Id = stream.ReadInt32();

  if (fullRead) FinishFullRead(pictureLoaded);
}

bool TFrame::RebuildPictureFromParameters() {
  try {
    switch (Kind) {
      case fkText:
        if (!TextImageFits(Text, TextParams)) return true;
        DrawTextImage();
        break;
      case fkText3D:
        if (RecordImageSizeFits(ImageWidth, ImageHeight, 1)) RenderFirstSubFrameIntoPicture();
        break;
      case fkRectangle:
      case fkEllipse:
        if (RecordImageSizeFits(ImageWidth, ImageHeight, 1)) RebuildImage();
        break;
      case fkLine:
        if (LineImageFits(LineStart, LineEnd, Shape.BorderWidth))
          DrawLineImage(Picture, LineStart, LineEnd, static_cast<TColor>(Shape.BackgroundColor), Shape.BorderWidth,
                        static_cast<TColor>(Shape.BorderColor));
        break;
      default:
        return false;
    }
  } catch (const std::exception&) {
    // The frame keeps whatever picture it has.
  }
  return true;
}

void TFrame::RenderFirstSubFrameIntoPicture() {
  const std::uint8_t animation = Animation3D;
  const std::int32_t subFrames = SubFrameCount;
  // A stored count below 1 still renders the one sub-frame the picture needs.
  if (SubFrameCount < 1) SubFrameCount = 1;
  SubFrameCounter = 0;
  Countdown = duration_ + 1;
  Animation3D = 1;
  struct Restore {
    TFrame& f;
    std::uint8_t animation;
    std::int32_t subFrames;
    ~Restore() {
      f.Animation3D = animation;
      f.SubFrameCount = subFrames;
    }
  } restore{*this, animation, subFrames};
  RestoreFrameImage(DisplayImage);
  DisplayImage.SetPixelFormat(pf24bit);
  DisplayImage.Canvas().Brush().Color = transparentColor_;
  DisplayImage.Canvas().Brush().Style = bsSolid;
  DisplayImage.SetSize(ImageWidth, ImageHeight);
  DisplayImage.Canvas().FillRect(Rect(0, 0, ImageWidth, ImageHeight));
  RenderNext3D();
  RestoreFrameImage(Picture);
  Picture.Assign(&DisplayImage);
}

void TFrame::FinishFullRead(bool pictureLoaded) {
  RestoreFrameImage(DisplayImage);
  DisplayImage.SetPixelFormat(pf24bit);
  const bool rebuilt = !pictureLoaded && RebuildPictureFromParameters();
  UpdateDisplayImage();
  if (rebuilt && PickPoint.X >= 0 && PickPoint.Y >= 0) {
    RestoreFrameImage(DisplayImage);
    if (InsideImage(DisplayImage, PickPoint)) {
      ResolvedColor = DisplayImage.Pixel(PickPoint.X, PickPoint.Y) & 0xFFFFFF;
      ResolvedColorKnown = 1;
    }
  }
  Mask.SetSize(1, 1);
  ReleaseFrameImage(Mask);
  ReleaseFrameImage(Picture);
  ReleaseFrameImage(DisplayImage);
}

// ---- TSprite ----------------------------------------------------------------------------------------

void TSprite::InsertFrame(int index, std::unique_ptr<TFrame> frame) {
  index = std::clamp(index, 0, FrameCount());
  frames_->insert(frames_->begin() + index, std::move(frame));
}

void TSprite::SaveToStream(TStream& stream) {
  const std::int32_t version = SaveVersion;
  stream.WriteInt32(IntervalCount());
  for (const auto& interval : *intervals_) interval->SaveToStream(stream);

  const std::int64_t countAt = stream.Position();
  stream.WriteInt32(FrameCount());
  // Versions up to 13 cannot rebuild generated frames, so their images are always kept.
  const bool omitGenerated = scene_ != nullptr && scene_->OmitGeneratedImages != 0 && version > 13;
  const std::int64_t limit = static_cast<std::int64_t>(PhysicalMemoryCapped() / 8);
  for (int i = 0; i < FrameCount(); ++i) {
    TFrame& frame = Frame(i);
    const bool omit = omitGenerated && frame.Kind != 0 && frame.Kind != fkPicture;
    if (omit) frame.SavePictures = 0;
    try {
      frame.SaveToStream(stream);
    } catch (...) {
      if (omit) frame.SavePictures = 1;
      throw;
    }
    if (omit) frame.SavePictures = 1;
    // An undo snapshot stops at the memory limit; the count states the frames written.
    if (UndoMode != 0 && stream.Size() > limit) {
      const std::int64_t end = stream.Position();
      stream.SetPosition(countAt);
      stream.WriteInt32(i + 1);
      stream.SetPosition(end);
      break;
    }
  }

  motion_->SaveToStream(stream);
  if (version > 2) stream.WriteByte(continueMoving_);
  if (version > 3) stream.WriteByte(AppearanceFlag);
  if (version > 13) stream.WriteShortString(Name);
  if (UndoMode != 0) stream.WriteInt32(Id);
}

void TSprite::LoadFromStream(TStream& stream) {
  const std::int32_t version = ReadVersion;
  intervals_->clear();
  const std::int32_t intervalCount = ReadRecordCount(stream, TStartAndFinish::RecordSize());
  for (std::int32_t i = 0; i < intervalCount; ++i) {
    intervals_->push_back(std::make_unique<TStartAndFinish>(this));
    intervals_->back()->LoadFromStream(stream);
  }

  // A preview-only load decodes the images of sprites that show early only.
  const bool previewOnly = scene_ != nullptr && scene_->PreviewOnlyLoad != 0;
  const bool showsEarly =
      intervals_->empty() ||
      std::any_of(intervals_->begin(), intervals_->end(), [](const auto& interval) { return interval->StartStep < 5; });

  frames_->clear();
  FrameIndex = 0;
  const std::int32_t frameCount = ReadRecordCount(stream, MinFrameRecordSize(version));
  for (std::int32_t i = 0; i < frameCount; ++i) {
    TFrame* frame = AddFrame();
    const bool fullRead = !previewOnly || (showsEarly && i < 2);
    frame->LoadFromStream(stream, fullRead);
    if (frame->Dropped != 0) {
      frames_->pop_back();
      DroppedFrame = 1;
    }
  }

  motion_->LoadFromStream(stream, this);
  if (version > 2) continueMoving_ = stream.ReadByte();
  if (version > 3) AppearanceFlag = stream.ReadByte();
  if (version > 13) Name = stream.ReadShortString();
  if (Name.empty()) Name = NameFromFrames();
  if (UndoMode != 0) Id = stream.ReadInt32();
}

std::string TSprite::NameFromFrames() const {
  for (const auto& frame : *frames_) {
    if (frame->Kind == fkPicture) return StripExtension(ExtractFileName(frame->FileName));
    if (frame->Kind == fkText || frame->Kind == fkText3D) return frame->Text;
  }
  return {};
}

std::int64_t TSprite::MinRecordSize() { return kMinSpriteRecordSize; }
