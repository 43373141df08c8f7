#include "scene/Frame.h"

#include "imaging/OpacityU.h"
#include "imaging/resample.h"
#include "imaging/shadow.h"
#include "platform/Numeric.h"
#include "platform/UiServices.h"
#include "scene/Moving.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/UndoRecorder.h"

#include <algorithm>
#include <cstring>
#include <set>

void RestoreFrameImage(const TBitmap& image) {
  if (const auto* lean = dynamic_cast<const TMinGDIBitmap*>(&image)) lean->RestoreImage();
}

void ReleaseFrameImage(const TBitmap& image) {
  if (const auto* lean = dynamic_cast<const TMinGDIBitmap*>(&image)) lean->SaveAndRelease();
}

// ---- Failure messages ----------------------------------------------------------------

namespace {
std::set<std::string>& ShownFailures() {
  static std::set<std::string> shown;
  return shown;
}
int shownCount = 0;
}  // namespace

void ShowDrawingFailure(const std::string& text) {
  if (!ShownFailures().insert(text).second) return;
  ++shownCount;
  Ui().MessageBox(0, text, "Error", MB_ICONERROR);
}

int ShownDrawingFailureCount() { return shownCount; }

void ResetShownDrawingFailures() { ShownFailures().clear(); }

void TFrame::DrawingFailed(const std::string& text) {
  ShowDrawingFailure(text);
  TAnimatedScene* scene = Scene();
  if (scene != nullptr && scene->DrawFailure.empty()) scene->DrawFailure = text;
}

bool ImageShowsInScene(int x, int y, int w, int h, int sceneWidth, int sceneHeight) {
  if (sceneWidth >= 1 && x >= sceneWidth) return false;
  if (sceneHeight >= 1 && y >= sceneHeight) return false;
  if (x < 0 && -static_cast<std::int64_t>(x) >= w) return false;
  if (y < 0 && -static_cast<std::int64_t>(y) >= h) return false;
  std::int64_t right = static_cast<std::int64_t>(x) + w;
  std::int64_t bottom = static_cast<std::int64_t>(y) + h;
  if (sceneWidth >= 1) right = std::min<std::int64_t>(right, sceneWidth);
  if (sceneHeight >= 1) bottom = std::min<std::int64_t>(bottom, sceneHeight);
  return right - std::max(x, 0) > 0 && bottom - std::max(y, 0) > 0;
}

// ---- Life cycle ------------------------------------------------------------------------

TFrame::TFrame(TSprite* sprite) : Id(NewObjectId()), sprite_(sprite) {
  Objects3D = CreateFrame3DObjects(*this, Scene());
  DrawPlaceholder();
  SetPicture(Picture, transparent_ != 0, transparentColor_, -1, -1);
}

TFrame::~TFrame() = default;

void TFrame::DrawPlaceholder() {
  Picture.SetSize(29, 29);
  TCanvas& canvas = Picture.Canvas();
  canvas.Brush().Color = 0xC0C0C0;
  canvas.Brush().Style = bsSolid;
  canvas.Pen().Color = 0x808080;
  canvas.Pen().Width = 1;
  canvas.Rectangle(0, 0, 29, 29);
  canvas.Pen().Color = clBlack;
  canvas.MoveTo(1, 27);
  canvas.LineTo(1, 1);
  canvas.LineTo(27, 1);
  canvas.Pen().Color = clWhite;
  canvas.MoveTo(1, 27);
  canvas.LineTo(27, 27);
  canvas.LineTo(27, 1);
  canvas.Pen().Color = 0x000080;
  canvas.Pen().Width = 2;
  canvas.MoveTo(4, 4);
  canvas.LineTo(24, 24);
  canvas.MoveTo(24, 4);
  canvas.LineTo(4, 24);
  canvas.Pen().Width = 1;
}

TAnimatedScene* TFrame::Scene() const { return sprite_ != nullptr ? sprite_->Scene() : nullptr; }

int TFrame::Index() const {
  if (sprite_ == nullptr) return -1;
  for (int i = 0; i < sprite_->FrameCount(); ++i)
    if (&sprite_->Frame(i) == this) return i;
  return -1;
}

void TFrame::RestoreFromUndo(TStream& stream, int index, bool replace) {
  LoadFromStream(stream, true);
  if (sprite_ == nullptr) return;
  TSprite* sprite = sprite_;
  if (replace && index >= 0 && index < sprite->FrameCount() - 1) sprite->DeleteFrameSilently(index);
  // This frame may be freed no further than here: the sprite owns it.
  sprite->MoveFrame(Index(), std::clamp(index, 0, sprite->FrameCount() - 1));
}

// ---- Picture and display image ----------------------------------------------------------

void TFrame::SetPicture(const TBitmap& bitmap, bool transparent, TColor color, int x, int y) {
  if (&bitmap != &Picture) {
    Picture.Assign(&bitmap);
    Picture.SetTransparent(false);
    // A new picture replaces whatever source the frame played from.
    DropSource();
  }
  RestoreFrameImage(DisplayImage);
  DisplayImage.SetTransparent(false);
  DisplayImage.SetPixelFormat(pf24bit);
  UpdateDisplayImage();
  if (transparent) PickTransparentColor(color, x, y);
  transparent_ = transparent ? 1 : 0;
  ImageWidth = Picture.Width();
  ImageHeight = Picture.Height();
  Picture.SetModified(true);
  DisplayImage.SetModified(true);
  ReleaseFrameImage(Picture);
  ReleaseFrameImage(DisplayImage);
}

// The first pixel of the colour, searching column by column (x outer, y
// inner, both from 0); nullopt when none has it.
std::optional<TPoint> FindColorColumnwise(const TBitmap& image, TColor color) {
  std::optional<TPoint> found;
  for (int y = 0; y < image.Height(); ++y) {
    const int limit = found ? found->X : image.Width();
    for (int x = 0; x < limit; ++x) {
      if ((image.Pixel(x, y) & 0xFFFFFF) == color) {
        found = TPoint{x, y};
        break;
      }
    }
  }
  return found;
}

namespace {

// A mask of the image's size: white where the image shows its key colour
// (when keyed), black where it covers.
void MakeHardShadowMask(TBitmap& image, TBitmap& mask, bool keyed, TColor key) {
  image.SetPixelFormat(pf24bit);
  mask.SetPixelFormat(pf24bit);
  mask.SetSize(image.Width(), image.Height());
  const std::uint8_t kr = GetRValue(key), kg = GetGValue(key), kb = GetBValue(key);
  for (int row = 0; row < image.Height(); ++row) {
    const std::uint8_t* in = image.ScanLine(row);
    std::uint8_t* out = mask.ScanLine(row);
    for (int column = 0; column < image.Width(); ++column, in += 3, out += 3) {
      const bool clear = keyed && in[0] == kb && in[1] == kg && in[2] == kr;
      const std::uint8_t level = clear ? 255 : 0;
      out[0] = out[1] = out[2] = level;
    }
  }
}

// Whether two pictures draw alike: the same format, size, palette,
// transparency and pixels.
bool SameImage(const TBitmap& a, const TBitmap& b) {
  if (a.PixelFormat() != b.PixelFormat() || a.Width() != b.Width() || a.Height() != b.Height() ||
      a.Transparent() != b.Transparent() || a.TransparentColor() != b.TransparentColor() ||
      !(a.Palette() == b.Palette()))
    return false;
  if (a.Empty()) return true;
  const auto rowBytes = (static_cast<std::size_t>(a.Width()) * static_cast<std::size_t>(a.BitCount()) + 7) / 8;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.ScanLine(y), b.ScanLine(y), rowBytes) != 0) return false;
  return true;
}

bool InsideImage(const TBitmap& image, TPoint p) {
  return p.X >= 0 && p.Y >= 0 && p.X < image.Width() && p.Y < image.Height();
}

}  // namespace

void TFrame::PickTransparentColor(TColor color, int x, int y) {
  RestoreFrameImage(DisplayImage);
  transparentColor_ = ColorToRGB(color) & 0xFFFFFF;
  if (InsideImage(DisplayImage, {x, y})) {
    transparentColor_ = DisplayImage.Pixel(x, y) & 0xFFFFFF;
    PickPoint = {x, y};
  } else {
    // A point outside the image picks by colour; when no pixel has the colour
    // the frame keeps no pick point, so that the colour itself is used.
    const std::optional<TPoint> found = FindColorColumnwise(DisplayImage, transparentColor_);
    PickPoint = found ? *found : TPoint{-1, -1};
  }
  ResolvedColorKnown = 0;
}

void TFrame::UpdateDisplayImage() {
  RestoreFrameImage(DisplayImage);
  DisplayImage.Assign(&Picture);
  DisplayImage.SetTransparent(false);
  DisplayImage.SetPixelFormat(pf24bit);
  ReleaseFrameImage(DisplayImage);
}

void TFrame::DrawTextImage() {
  DropSource();
  DrawText2D(Picture, Text, TextParams);
}

void TFrame::RebuildImage() {
  if (Kind != fkRectangle && Kind != fkEllipse) return;
  DropSource();
  RestoreFrameImage(Picture);
  const TColor background = static_cast<TColor>(Shape.BackgroundColor);
  TCanvas& canvas = Picture.Canvas();
  canvas.Brush().Color = background;
  canvas.Brush().Style = bsSolid;
  canvas.Pen().Color = background;
  Picture.SetPixelFormat(pf24bit);
  Picture.SetSize(ImageWidth, ImageHeight);
  canvas.FillRect(Rect(0, 0, Picture.Width(), Picture.Height()));
  DrawShape(Kind, Picture, Shape);
  UpdateDisplayImage();
  if (transparent_ != 0) PickTransparentColor(transparentColor_, -1, -1);
  ReleaseFrameImage(Picture);
}

void TFrame::Assign(const TFrame& other) {
  duration_ = other.duration_;
  SavePictures = other.SavePictures;
  PickPoint = other.PickPoint;
  ResolvedColorKnown = 0;
  FileName = other.FileName;
  Picture.Assign(&other.Picture);
  DisplayImage.Assign(&other.DisplayImage);
  Mask.Assign(&other.Mask);
  ImageWidth = other.ImageWidth;
  ImageHeight = other.ImageHeight;
  Kind = other.Kind;
  SourceKept = 0;
  SourceKind = other.SourceKind;
  gifSource_.reset();
  aviSource_.reset();
  KeptStream.Clear();
  if (other.SourceKept != 0) CopySourceFrom(other);
  SubFrameCounter = other.SubFrameCounter;
  Text = other.Text;
  TextParams = other.TextParams;
  transparent_ = other.transparent_;
  transparentColor_ = other.transparentColor_;
  StartState = other.StartState;
  EndState = other.EndState;
  SubFrameCount = other.SubFrameCount;
  Loop = other.Loop;
  Animation3D = other.Animation3D;
  Countdown = other.Countdown;
  Shape = other.Shape;
  LineStart = other.LineStart;
  LineEnd = other.LineEnd;
}

// ---- Settings that record undo -------------------------------------------------------------

void TFrame::RecordFrameUndo(const char* caption) {
  RecordUndo(urkSpriteEdit, caption, false, Index(), Id, uokFrameInPlace,
             [this](TStream& stream) { SaveToStream(stream); });
}

void TFrame::SetDuration(std::int32_t value) {
  if (value == duration_) return;
  RecordFrameUndo("Change Duration");
  duration_ = value;
}

void TFrame::StoreTransparency(bool transparent, TColor color) {
  transparent_ = transparent ? 1 : 0;
  transparentColor_ = color;
  ResolvedColorKnown = 0;
}

void TFrame::SetTransparent(bool value) {
  if ((value ? 1 : 0) == transparent_) return;
  RecordFrameUndo("Change Transparency");
  ResolvedColorKnown = 0;
  transparent_ = value ? 1 : 0;
}

void TFrame::SetTransparentColor(TColor value) {
  if (value == transparentColor_) return;
  RecordFrameUndo("Change Transparent Color");
  ResolvedColorKnown = 0;
  transparentColor_ = value;
}

// ---- 3D text ---------------------------------------------------------------------------------

void TFrame::RenderNext3D() {
  // An animation of fewer than one sub-frame (a stored count of 0 or below)
  // shows its start state as one sub-frame.
  const std::int32_t count = std::max<std::int32_t>(SubFrameCount, 1);
  // A looping animation whose count was lowered below its counter starts
  // again instead of stopping for good.
  if (SubFrameCounter < 0 || (Loop != 0 && SubFrameCounter >= count)) SubFrameCounter = 0;
  if (Countdown < duration_ || Animation3D == 0 || SubFrameCounter >= count || !HasView() ||
      !Frame3DRenderingAvailable())
    return;
  RestoreFrameImage(DisplayImage);
  DisplayImage.SetTransparent(false);
  Countdown = 0;
  const double t = count > 1 ? static_cast<double>(SubFrameCounter) / (count - 1) : 0.0;
  try {
    RenderFrame3DSubFrame(*this, *Objects3D, t);
  } catch (const std::exception&) {
    // A sub-frame that cannot be rendered leaves the previous one shown.
  }
  SubFrameCounter = SubFrameCounter + 1;
  if (SubFrameCounter > count - 1 && Loop != 0) SubFrameCounter = 0;
  if (sprite_ != nullptr) sprite_->NeedsRedrawByte = 1;
}

// ---- Drawing -----------------------------------------------------------------------------------

namespace {

// Draws source onto target at (x, y), leaving out the pixels of the source's
// colour key. A palette target compares the key as it renders it, as the
// drawn colours are those the target can show.
void DrawKeyed(TBitmap& target, int x, int y, TBitmap& source, TColor key) {
  if (target.BitCount() <= 8) {
    TBitmap converted;
    converted.Assign(&source);
    converted.SetPalette(target.Palette());
    converted.SetPixelFormat(target.PixelFormat());
    TBitmap keyProbe;
    keyProbe.SetPixelFormat(target.PixelFormat());
    keyProbe.SetPalette(target.Palette());
    keyProbe.SetSize(1, 1);
    keyProbe.SetPixel(0, 0, key);
    converted.SetTransparentColor(keyProbe.Pixel(0, 0));
    converted.SetTransparent(true);
    target.Canvas().Draw(x, y, converted);
    return;
  }
  // The source keeps its transparency settings, as a frame's display image
  // does between draws; setting them only when they differ spares
  // memory-lean bitmaps a rewrite of their memory copy.
  if (source.TransparentMode() != tmFixed || source.TransparentColor() != key) source.SetTransparentColor(key);
  if (!source.Transparent()) source.SetTransparent(true);
  target.Canvas().Draw(x, y, source);
}

}  // namespace

TColor TFrame::SourceKeyColor() {
  if (InsideImage(DisplayImage, PickPoint)) return DisplayImage.Pixel(PickPoint.X, PickPoint.Y) & 0xFFFFFF;
  return transparentColor_ & 0xFFFFFF;
}

void TFrame::ResolveTransparentColor(const TBitmap& target) {
  const TPixelFormat format = target.PixelFormat();
  if (ResolvedColorKnown != 0 && format == resolvedFormat_) return;
  // The colour as the target's pixel format renders it.
  TBitmap work;
  work.SetPixelFormat(format);
  if (target.BitCount() <= 8) work.SetPalette(target.Palette());
  work.SetSize(1, 1);
  work.SetPixel(0, 0, SourceKeyColor());
  ResolvedColor = work.Pixel(0, 0) & 0xFFFFFF;
  resolvedFormat_ = format;
  ResolvedColorKnown = 1;
}

void TFrame::DrawTransparentUnscaled(TBitmap& target, int x, int y, int opacity) {
  try {
    const TColor key = SourceKeyColor();
    if (opacity >= 100) {
      DrawKeyed(target, x, y, DisplayImage, key);
    } else {
      DrawBitmapOpacity(DisplayImage, key, true, opacity, x, y, target);
    }
  } catch (const std::exception&) {
    DrawingFailed("Cannot wraw transparent non stretched image.");
  }
}

TBitmap& TFrame::ScaledPictureOf(int w, int h, TColor key, bool resampled) {
  if (scaledPicture_ && scaledPicture_->width == w && scaledPicture_->height == h && scaledPicture_->key == key &&
      scaledPicture_->resampled == resampled && SameImage(scaledPicture_->source, DisplayImage))
    return scaledPicture_->picture;
  scaledPicture_.reset();
  auto made = std::make_unique<TScaledPictureCache>();
  made->source.Assign(&DisplayImage);
  made->width = w;
  made->height = h;
  made->key = key;
  made->resampled = resampled;
  TBitmap& work = made->picture;
  work.SetPixelFormat(pf24bit);
  work.Canvas().Brush().Color = key;
  work.SetSize(w, h);
  if (resampled) {
    ResampleBitmapDefault(DisplayImage, work, true, key);
  } else {
    work.Canvas().StretchDraw(Rect(0, 0, w, h), DisplayImage);
  }
  scaledPicture_ = std::move(made);
  return scaledPicture_->picture;
}

void TFrame::DrawTransparentScaled(TBitmap& target, int x, int y, int w, int h, int opacity) {
  try {
    const TColor key = SourceKeyColor();
    TAnimatedScene* scene = Scene();
    TBitmap& work = ScaledPictureOf(w, h, key, scene != nullptr && scene->ResampledStretching != 0);
    if (opacity >= 100) {
      DrawKeyed(target, x, y, work, key);
    } else {
      DrawBitmapOpacity(work, key, true, opacity, x, y, target);
    }
  } catch (const std::exception&) {
    DrawingFailed("Cannot draw stretched transparent image.");
  }
}

void TFrame::DrawOpaque(TBitmap& target, int x, int y, int w, int h, int opacity, bool zoomed) {
  if (DisplayImage.Transparent()) DisplayImage.SetTransparent(false);
  if (zoomed) {
    try {
      TAnimatedScene* scene = Scene();
      const bool resampled = scene != nullptr && scene->ResampledStretching != 0;
      if (!resampled && opacity >= 100) {
        target.Canvas().StretchDraw(Rect(x, y, x + w, y + h), DisplayImage);
        return;
      }
      TBitmap work;
      work.SetPixelFormat(pf24bit);
      work.SetSize(w, h);
      if (resampled) {
        ResampleBitmapDefault(DisplayImage, work, false, 0xFFFFFF);
      } else {
        work.Canvas().StretchDraw(Rect(0, 0, w, h), DisplayImage);
      }
      if (opacity >= 100) {
        target.Canvas().Draw(x, y, work);
      } else {
        DrawBitmapOpacity(work, 0, false, opacity, x, y, target);
      }
    } catch (const std::exception&) {
      DrawingFailed("Cannot draw streatched non transparent image.");
    }
    return;
  }
  try {
    if (opacity >= 100) {
      target.Canvas().Draw(x, y, DisplayImage);
    } else {
      DrawBitmapOpacity(DisplayImage, 0, false, opacity, x, y, target);
    }
  } catch (const std::exception&) {
    DrawingFailed("Cannot draw non transparent non stretched image.");
  }
}

void TFrame::DrawImage(TBitmap& target, int x, int y, int w, int h, int opacity) {
  if (transparent_ != 0) {
    if (w == ImageWidth && h == ImageHeight) {
      DrawTransparentUnscaled(target, x, y, opacity);
    } else {
      DrawTransparentScaled(target, x, y, w, h, opacity);
    }
  } else {
    const bool zoomed = w != DisplayImage.Width() || h != DisplayImage.Height();
    DrawOpaque(target, x, y, w, h, opacity, zoomed);
  }
}

void TFrame::Draw(TBitmap& target, int x, double zoomX, double zoomY, int y, int sceneWidth, int sceneHeight,
                  double opacity) {
  const int percent = EnsureRange(Round(opacity), 0, 100);
  const int w = Round(zoomX * ImageWidth);
  const int h = Round(zoomY * ImageHeight);
  if (!ImageShowsInScene(x, y, w, h, sceneWidth, sceneHeight)) return;
  TAnimatedScene* scene = Scene();
  if (scene != nullptr && scene->SkipPainting != 0) return;
  try {
    RestoreFrameImage(DisplayImage);
    if (transparent_ != 0) ResolveTransparentColor(target);
    try {
      DrawImage(target, x, y, w, h, percent);
    } catch (const std::exception&) {
      DrawingFailed("Error 0");
    }
  } catch (const std::exception&) {
    DrawingFailed("Error 00");
  }
  ReleaseFrameImage(DisplayImage);
}

const TBitmap& TFrame::ShadowMaskOf(TBitmap& image, bool keyed, TColor key, int blur) {
  if (shadowMask_ && shadowMask_->keyed == keyed && shadowMask_->key == key && shadowMask_->blur == blur &&
      SameImage(shadowMask_->image, image))
    return shadowMask_->mask;
  shadowMask_.reset();
  auto made = std::make_unique<TShadowMaskCache>();
  // The picture as it came: making the hard mask converts it.
  made->image.Assign(&image);
  made->keyed = keyed;
  made->key = key;
  made->blur = blur;
  if (blur <= 0) {
    MakeHardShadowMask(image, made->mask, keyed, key);
  } else {
    MakeShadowMask(image, made->mask, keyed, key, clWhite, clBlack, blur);
    made->mask.SetPixelFormat(pf24bit);
  }
  shadowMask_ = std::move(made);
  return shadowMask_->mask;
}

void TFrame::DrawShadow(TBitmap& target, TBitmap& image, const TMoving& motion, int x, int y, int sceneWidth,
                        int sceneHeight) {
  // A negative blur draws as none; the mask grows by the blur on every side.
  const int blur = std::max(motion.ShadowBlur, 0);
  const int w = Round(motion.ZoomX * ImageWidth) + 2 * blur;
  const int h = Round(motion.ZoomY * ImageHeight) + 2 * blur;
  if (!ImageShowsInScene(x, y, w, h, sceneWidth, sceneHeight)) return;
  TAnimatedScene* scene = Scene();
  if (scene != nullptr && scene->SkipPainting != 0) return;
  try {
    const TColor key = DrawnTransparentColor() & 0xFFFFFF;
    const TBitmap& mask = ShadowMaskOf(image, transparent_ != 0, key, blur);
    DrawColorThroughMask(motion.ShadowColor, motion.ShadowOpacity, mask, x, y, target);
  } catch (const std::exception&) {
    DrawingFailed("Cannot draw shadow");
  }
}
