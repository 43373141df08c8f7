#include "dialogs/core/EffectFrames.h"

#include "imaging/HarmFade.h"
#include "imaging/ImageEffects.h"
#include "imaging/RotateBitmapU.h"
#include "platform/Graphics.h"
#include "platform/Numeric.h"
#include "scene/Frame.h"

#include <algorithm>
#include <cmath>

// ---- Geometry -----------------------------------------------------------------------------------------

const char* EffectListText(int kind) {
  static constexpr const char* kTexts[] = {"Aperture", "Blend",   "Blind",      "Cross",    "Dissolve",
                                           "Fade",     "Fingers", "Grow",       "Rotation", "Sweep",
                                           "Wipe",     "Blur",    "Sharpen",    "Dilate",   "Erode",
                                           "Invert",   "Brightness", "Contrast", "Emboss",  "Gamma Correction"};
  if (kind < ekAperture || kind > ekGammaCorrection) return "";
  return kTexts[kind - ekAperture];
}

int UsableDirection(int direction) { return direction >= edRight && direction <= edBottom ? direction : edRight; }

TRect NormalizedRect(const TRect& r) {
  return Rect(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
              std::max(r.Top, r.Bottom));
}

namespace {

std::vector<TRect> ApertureRects(const TEffectParameters& p, int w, int h, int m) {
  const int n = p.FrameCount;
  if (!p.ApertureOut) {
    const int x = Round(w / 2.0 / n * m);
    const int y = Round(h / 2.0 / n * m);
    return {Rect(x, y, w - x, h - y)};
  }
  const int x = Round(w / 2.0 / n * (n - m + 1));
  const int y = Round(h / 2.0 / n * (n - m + 1));
  return {Rect(0, 0, x, h), Rect(w - x, 0, w, h), Rect(0, 0, w, y), Rect(0, h - y, w, h)};
}

std::vector<TRect> BlindRects(const TEffectParameters& p, int blinds, int w, int h, int m) {
  const int n = p.FrameCount;
  blinds = std::max(blinds, 1);
  const bool appearance = p.BlindAppearance;
  int bandX = 0, bandY = 0;    // band steps
  int extentX = 0, extentY = 0;
  switch (UsableDirection(p.Direction)) {
    case edRight:
    case edLeft: {
      bandX = Round(static_cast<double>(w) / blinds);
      const int s = Round(static_cast<double>(bandX) / n * m);
      const bool negative = (p.Direction == edLeft) != appearance;  // Right: -s for appearance
      extentX = negative ? -s : s;
      extentY = h;
      break;
    }
    default: {
      bandY = Round(static_cast<double>(h) / blinds);
      const int s = Round(static_cast<double>(bandY) / n * m);
      const bool negative = (UsableDirection(p.Direction) == edBottom) == appearance;  // Top: +s for appearance
      extentY = negative ? -s : s;
      extentX = w;
      break;
    }
  }
  std::vector<TRect> rects;
  for (int k = 0; k < blinds; ++k) {
    // A negative strip is measured back from the end of its band.
    const int band = extentX < 0 || extentY < 0 ? k + 1 : k;
    const int left = band * bandX, top = band * bandY;
    rects.push_back(Rect(left, top, left + extentX, top + extentY));
  }
  return rects;
}

std::vector<TRect> CrossRects(const TEffectParameters& p, int w, int h, int m) {
  const int x = Round(w / 2.0 / p.FrameCount * m);
  const int y = Round(h / 2.0 / p.FrameCount * m);
  return {Rect(0, 0, x, y), Rect(w - x, 0, w, y), Rect(w - x, h - y, w, h), Rect(0, h - y, x, h)};
}

std::vector<TRect> FingerRects(const TEffectParameters& p, int w, int h, int m) {
  const int n = p.FrameCount;
  const int fingers = std::max(p.FingerCount, 1);
  int direction = UsableDirection(p.Direction);
  // Appearance runs the other way round (its frames are listed backwards).
  if (p.FingersAppearance) direction ^= 1;
  const int eh = Trunc(static_cast<double>(h) / fingers) + 1;
  const int fw = Trunc(static_cast<double>(w) / fingers) + 1;
  const int half = n / 2;
  const bool firstHalf = m < half;
  const int run = firstHalf ? m : m - half;
  const int x = Round(static_cast<double>(w) / n * run * 2);
  const int y = Round(static_cast<double>(h) / n * run * 2);
  const int a = eh / 2, b = fw / 2;
  std::vector<TRect> rects;
  for (int k = 0; k < fingers; ++k) {
    switch (direction) {
      case edRight:
        if (firstHalf) {
          rects.push_back(Rect(0, k * eh, x, k * eh + a));
        } else {
          rects.push_back(Rect(0, k * eh, w, k * eh + a));
          rects.push_back(Rect(0, k * eh + a, x, (k + 1) * eh));
        }
        break;
      case edLeft:
        if (firstHalf) {
          rects.push_back(Rect(w - x, k * eh, w, k * eh + a));
        } else {
          rects.push_back(Rect(0, k * eh, w, k * eh + a));
          rects.push_back(Rect(w - x, k * eh + a, w, (k + 1) * eh));
        }
        break;
      case edTop:
        if (firstHalf) {
          rects.push_back(Rect(k * fw, h - y, k * fw + b, h));
        } else {
          rects.push_back(Rect(k * fw, 0, k * fw + b, h));
          rects.push_back(Rect(k * fw + b, h - y, (k + 1) * fw, h));
        }
        break;
      default:
        if (firstHalf) {
          rects.push_back(Rect(k * fw, 0, k * fw + b, y));
        } else {
          rects.push_back(Rect(k * fw, 0, k * fw + b, h));
          rects.push_back(Rect(k * fw + b, 0, (k + 1) * fw, y));
        }
        break;
    }
  }
  return rects;
}

std::vector<TRect> WipeRects(const TEffectParameters& p, int w, int h, int m) {
  const int n = p.FrameCount;
  if (!p.WipeToEdges) {
    const int d = Round(w / 2.0 / n * m);
    return {Rect(d, 0, w - d, h)};
  }
  const int d = Round(w / 2.0 / n * (n - m + 1));
  return {Rect(0, 0, d, h), Rect(w - d, 0, w, h)};
}

}  // namespace

std::vector<TRect> TransitionFillRects(int kind, const TEffectParameters& p, int w, int h, int m) {
  if (p.FrameCount < 1) return {};
  switch (kind) {
    case ekAperture: return ApertureRects(p, w, h, m);
    case ekBlind: return BlindRects(p, p.BlindCount, w, h, m);
    case ekFade: return BlindRects(p, 1, w, h, m);
    case ekCross: return CrossRects(p, w, h, m);
    case ekFingers: return FingerRects(p, w, h, m);
    case ekWipe: return WipeRects(p, w, h, m);
    default: return {};
  }
}

TRect GrowRect(const TEffectParameters& p, int w, int h, int m) {
  const int direction = UsableDirection(p.Direction);
  const bool horizontal = direction == edRight || direction == edLeft;
  const int full = horizontal ? w : h;
  const int grown = Round(static_cast<double>(full) / std::max(p.FrameCount, 1) * m);
  const int size = p.GrowAppearance ? grown : full - grown;
  const int width = horizontal ? size : w;
  const int height = horizontal ? h : size;
  const bool atTopLeft = p.GrowAppearance ? (direction == edRight || direction == edBottom)
                                          : (direction == edLeft || direction == edTop);
  const int x = atTopLeft ? 0 : w - width;
  const int y = atTopLeft ? 0 : h - height;
  return Rect(x, y, x + width, y + height);
}

TPoint SweepOffset(const TEffectParameters& p, int w, int h, int m) {
  const int n = std::max(p.FrameCount, 1);
  const int f = p.SweepAppearance ? w : 0;
  const int e = p.SweepAppearance ? h : 0;
  switch (UsableDirection(p.Direction)) {
    case edRight: return {Round(static_cast<double>(w) / n * m) - f, 0};
    case edLeft: return {Round(static_cast<double>(w) / n * (n - m + 1)) + f - w, 0};
    case edTop: return {0, Round(static_cast<double>(h) / n * (n - m + 1)) + e - h};
    default: return {0, Round(static_cast<double>(h) / n * m) - e};
  }
}

double RotationAngle(const TEffectParameters& p, int m) {
  const double sign = p.Clockwise ? 1.0 : -1.0;
  // A single frame shows the start angle.
  if (p.FrameCount <= 1) return p.StartAngle * sign;
  return (p.StartAngle + static_cast<double>(p.FinishAngle - p.StartAngle) * (m - 1) / (p.FrameCount - 1)) * sign;
}

int RotationSide(int w, int h) {
  const int side = Trunc(std::sqrt(static_cast<double>(w) * w / 2.0) + std::sqrt(static_cast<double>(h) * h / 2.0)) + 1;
  return std::max({side, w, h});
}

bool EmitsInReverse(int kind, const TEffectParameters& p) {
  switch (kind) {
    case ekBlend:
    case ekDissolve: return p.BlendDissolveAppearance;
    case ekBlind:
    case ekFade: return p.BlindAppearance;
    case ekCross: return p.CrossAppearance;
    case ekFingers: return p.FingersAppearance;
    default: return false;
  }
}

// ---- Generation ---------------------------------------------------------------------------------------

namespace {

// Shows a frame without its transparency while the effect draws it (or with
// the given one), and gives it back its own afterwards.
class TTransparencyOverride {
 public:
  TTransparencyOverride(TFrame* frame, bool transparent)
      : frame_(frame),
        transparent_(frame != nullptr && frame->Transparent()),
        color_(frame != nullptr ? frame->TransparentColor() : 0) {
    if (frame_ != nullptr) frame_->StoreTransparency(transparent, color_);
  }
  ~TTransparencyOverride() {
    if (frame_ != nullptr) frame_->StoreTransparency(transparent_, color_);
  }
  void Set(bool transparent) {
    if (frame_ != nullptr) frame_->StoreTransparency(transparent, color_);
  }
  TTransparencyOverride(const TTransparencyOverride&) = delete;
  TTransparencyOverride& operator=(const TTransparencyOverride&) = delete;

 private:
  TFrame* frame_;
  bool transparent_;
  TColor color_;
};

// The work bitmap of a frame: a copy of its picture (its format, and its
// palette when it is 8-bit), with the frame drawn into it at full size.
void PrepareWorkBitmap(TFrame& frame, TBitmap& work) {
  work.Assign(&frame.Picture);
  work.SetTransparent(false);
  if (work.BitCount() > 8) work.SetPalette(TPalette());
  work.SetSize(frame.ImageWidth, frame.ImageHeight);
  ReleaseFrameImage(frame.Picture);
}

void DrawFrameInto(TFrame& frame, TBitmap& work, int x, int y, double zoomX, double zoomY) {
  frame.Draw(work, x, zoomX, zoomY, y, 0, 0, 100);
}

void Fill(TBitmap& bitmap, const TRect& r, TColor color) {
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().Color = color;
  canvas.Brush().Style = bsSolid;
  canvas.FillRect(NormalizedRect(r));
}

class TEmitter {
 public:
  TEmitter(const TEffectParameters& p, TFrameList& results, bool reverse)
      : p_(p), results_(results), reverse_(reverse) {}
  void Emit(const TBitmap& bitmap) {
    auto frame = std::make_unique<TFrame>(nullptr);
    frame->SetPicture(bitmap, p_.Transparent, p_.BackgroundColor, -1, -1);
    frame->StoreDuration(p_.StepsPerFrame);
    if (reverse_) {
      results_.insert(results_.begin(), std::move(frame));
    } else {
      results_.push_back(std::move(frame));
    }
  }

 private:
  const TEffectParameters& p_;
  TFrameList& results_;
  bool reverse_;
};

void MakeFillTransition(int kind, const TEffectParameters& p, TFrame& source, TBitmap& a, TEmitter& emit) {
  const int w = source.ImageWidth, h = source.ImageHeight;
  for (int m = 1; m <= p.FrameCount; ++m) {
    DrawFrameInto(source, a, 0, 0, 1.0, 1.0);
    for (const TRect& r : TransitionFillRects(kind, p, w, h, m)) Fill(a, r, p.BackgroundColor);
    emit.Emit(a);
  }
}

void MakeHarmFade(int kind, const TEffectParameters& p, TFrame& source, const TBitmap* target, TBitmap& a,
                  TEmitter& emit) {
  THarmFade fade;
  fade.SetSourceBitmap(&a);
  fade.SetTargetBitmap(target);
  fade.SetWidth(source.ImageWidth);
  fade.SetHeight(source.ImageHeight);
  TEffectItemBitmaps items;
  if (kind == ekBlend) {
    fade.SetBackgroundColor(p.BlendColor);
    fade.SetBlendRate(p.FrameCount);
    items = fade.Blend();
  } else {
    fade.SetBackgroundColor(p.BackgroundColor);
    fade.SetDissolveRate(p.FrameCount);
    fade.SetRandomSeed(p.DissolveSeed);
    items = fade.Dissolve();
  }
  for (const auto& item : items) {
    a.Canvas().Draw(0, 0, item->Bitmap());
    emit.Emit(a);
  }
}

void MakeGrow(const TEffectParameters& p, TFrame& source, TBitmap& a, TEmitter& emit) {
  const int w = source.ImageWidth, h = source.ImageHeight;
  for (int m = 1; m <= p.FrameCount; ++m) {
    Fill(a, Rect(0, 0, a.Width(), a.Height()), p.BackgroundColor);
    const TRect r = GrowRect(p, w, h, m);
    DrawFrameInto(source, a, r.Left, r.Top, static_cast<double>(r.Width()) / w, static_cast<double>(r.Height()) / h);
    emit.Emit(a);
  }
}

void MakeRotation(const TEffectParameters& p, TBitmap& a, TEmitter& emit) {
  const int side = RotationSide(a.Width(), a.Height());
  for (int m = 1; m <= p.FrameCount; ++m) {
    TBitmap turned;
    RotateBitmap(a, turned, p.BackgroundColor, RotationAngle(p, m));
    TBitmap square;
    square.SetPixelFormat(pf24bit);
    square.Canvas().Brush().Color = p.BackgroundColor;
    square.SetSize(side, side);
    Fill(square, Rect(0, 0, side, side), p.BackgroundColor);
    square.Canvas().Draw((side - turned.Width()) / 2, (side - turned.Height()) / 2, turned);
    emit.Emit(square);
  }
}

void MakeSweep(const TEffectParameters& p, TFrame& source, TBitmap& a, TEmitter& emit) {
  const int w = source.ImageWidth, h = source.ImageHeight;
  for (int m = 1; m <= p.FrameCount; ++m) {
    Fill(a, Rect(0, 0, a.Width(), a.Height()), p.BackgroundColor);
    const TPoint at = SweepOffset(p, w, h, m);
    DrawFrameInto(source, a, at.X, at.Y, 1.0, 1.0);
    emit.Emit(a);
  }
}

void ApplyFilter(int kind, const TEffectParameters& p, TBitmap& a) {
  switch (kind) {
    case ekBlur: BlurBitmap(&a, p.Radius); break;
    case ekSharpen: SharpenBitmap(&a, p.Radius); break;
    case ekDilate: DilateBitmap(&a, p.Radius); break;
    case ekErode: ErodeBitmap(&a, p.Radius); break;
    case ekInvert: InvertBitmap(&a); break;
    case ekBrightness: BrightnessBitmap(&a, p.Brightness); break;
    case ekContrast: ContrastBitmap(&a, p.Brightness); break;
    case ekEmboss: EmbossBitmap(&a, p.EmbossDepth, p.EmbossColor, p.EmbossAngle); break;
    case ekGammaCorrection: AdjustColorChannels(&a, p.GammaRed, p.GammaGreen, p.GammaBlue); break;
    default: break;
  }
}

}  // namespace

void CreateEffectFrames(int kind, const TEffectParameters& p, TFrame& source, TFrame* next, bool sourceTransparent,
                        TFrameList& results) {
  results.clear();
  const int w = source.ImageWidth, h = source.ImageHeight;
  // A frame without pixels has nothing to transform.
  if (w < 1 || h < 1) return;
  if (IsTransitionKind(kind) && p.FrameCount < 1) return;

  TTransparencyOverride sourceLook(&source, false);
  TTransparencyOverride nextLook(next, false);
  TBitmap a;
  PrepareWorkBitmap(source, a);
  DrawFrameInto(source, a, 0, 0, 1.0, 1.0);
  TBitmap b;
  if (next != nullptr) {
    PrepareWorkBitmap(*next, b);
    DrawFrameInto(*next, b, 0, 0, 1.0, 1.0);
  }
  a.Canvas().Brush().Color = p.BackgroundColor;

  TEmitter emit(p, results, EmitsInReverse(kind, p));
  switch (kind) {
    case ekAperture:
    case ekBlind:
    case ekFade:
    case ekCross:
    case ekFingers:
    case ekWipe: MakeFillTransition(kind, p, source, a, emit); break;
    case ekBlend: MakeHarmFade(kind, p, source, p.BlendToNextFrame && next != nullptr ? &b : nullptr, a, emit); break;
    case ekDissolve:
      MakeHarmFade(kind, p, source, p.DissolveToNextFrame && next != nullptr ? &b : nullptr, a, emit);
      break;
    case ekGrow:
      // Grow shows the frame with its own transparency over the background.
      sourceLook.Set(sourceTransparent);
      MakeGrow(p, source, a, emit);
      break;
    case ekRotation: MakeRotation(p, a, emit); break;
    case ekSweep: MakeSweep(p, source, a, emit); break;
    default:
      if (IsFilterKind(kind)) {
        ApplyFilter(kind, p, a);
        auto frame = std::make_unique<TFrame>(nullptr);
        frame->SetPicture(a, false, p.BackgroundColor, -1, -1);
        frame->StoreTransparency(false, p.BackgroundColor);
        frame->StoreDuration(source.Duration());
        results.push_back(std::move(frame));
      }
      break;
  }
}

TFrameList CreateEffectFrames(int kind, const TEffectParameters& p, TFrame& source, TFrame* next,
                              bool sourceTransparent) {
  TFrameList results;
  CreateEffectFrames(kind, p, source, next, sourceTransparent, results);
  return results;
}

void ApplyResultTransparency(TFrameList& results, bool transparent, TColor color) {
  for (auto& frame : results) frame->SetPicture(frame->Picture, transparent, color, -1, -1);
}

void SetResultDurations(TFrameList& results, int steps) {
  for (auto& frame : results) frame->StoreDuration(steps);
}
