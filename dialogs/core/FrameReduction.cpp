#include "dialogs/core/FrameReduction.h"

#include "dialogs/core/ExportProgress.h"
#include "imaging/MinGDIBitmapU.h"
#include "imaging/utils.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

TExportComposition::TExportComposition() { SavedImage.SetSize(10, 10); }

TRect GetMaxFrameRect(const TSetOfBitmaps& frames) {
  TRect r{0, 0, 0, 0};
  for (const auto& item : frames) {
    if (!item->Bitmap) continue;
    r.Right = std::max(r.Right, item->Bitmap->Width());
    r.Bottom = std::max(r.Bottom, item->Bitmap->Height());
  }
  return r;
}

// ---- Composition -------------------------------------------------------------------------------

namespace {

void FillArea(TBitmap& target, const TRect& area, TColor color) {
  TCanvas& canvas = target.Canvas();
  canvas.Brush().Color = color;
  canvas.Brush().Style = bsSolid;
  canvas.FillRect(area);
}

TRect FrameRect(const TSetOfBitmapsItem& item, TPoint origin) {
  const int w = item.Bitmap ? item.Bitmap->Width() : 0;
  const int h = item.Bitmap ? item.Bitmap->Height() : 0;
  return Bounds(origin.X + item.Left, origin.Y + item.Top, w, h);
}

// The first pixel of the colour (low 24 bits) in a 24-bit bitmap, row by row
// from the top, each row from the left.
std::optional<TColor> FindColorRowwise(const TBitmap& image, TColor color) {
  const std::uint8_t r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* p = image.ScanLine(y);
    for (int x = 0; x < image.Width(); ++x, p += 3)
      if (p[0] == b && p[1] == g && p[2] == r) return RGB(p[2], p[1], p[0]);
  }
  return std::nullopt;
}

}  // namespace

void DrawExportFrame(TBitmap& target, bool clear, TColor bg, int index, const TSetOfBitmaps& frames,
                     TExportComposition& composition) {
  if (index < 0 || index >= static_cast<int>(frames.size())) return;
  const TSetOfBitmapsItem& frame = *frames[static_cast<std::size_t>(index)];
  if (!frame.Bitmap) return;
  TBitmap g;
  g.Assign(frame.Bitmap.get());
  g.SetTransparent(false);
  g.SetPixelFormat(pf24bit);

  if (clear) FillArea(target, Rect(0, 0, target.Width(), target.Height()), bg);

  const TSetOfBitmapsItem& previous =
      *frames[static_cast<std::size_t>(index > 0 ? index - 1 : static_cast<int>(frames.size()) - 1)];
  // The previous frame's disposal, over exactly the rectangle a viewer clears.
  if (previous.Disposal == 1) {
    if (index > 0)
      target.Canvas().Draw(composition.SavedPosition.X, composition.SavedPosition.Y, composition.SavedImage);
    FillArea(target, FrameRect(frame, composition.Origin), frame.Transparent != 0 ? bg : clWhite);
  } else if (previous.Disposal == 2) {
    FillArea(target, FrameRect(previous, composition.Origin), previous.Transparent != 0 ? bg : clWhite);
  }
  if (frame.Disposal == 3 && !clear)
    target.Canvas().Draw(composition.SavedPosition.X, composition.SavedPosition.Y, composition.SavedImage);

  // Only pixels of exactly the transparent colour are left out; a frame
  // without such pixels is drawn whole.
  if (frame.Transparent != 0) {
    if (const std::optional<TColor> key = FindColorRowwise(g, frame.Bitmap->TransparentColor() & 0xFFFFFF)) {
      g.SetTransparentColor(*key);
      g.SetTransparent(true);
    }
  }
  const TPoint at{composition.Origin.X + frame.Left, composition.Origin.Y + frame.Top};
  target.Canvas().Draw(at.X, at.Y, g);

  if (frame.Disposal != 3) {
    TBitmap& saved = composition.SavedImage;
    saved.SetPixelFormat(pf24bit);
    saved.SetSize(g.Width(), g.Height());
    FillArea(saved, Rect(0, 0, g.Width(), g.Height()), frame.Transparent != 0 ? bg : clWhite);
    saved.Canvas().Draw(0, 0, g);
    composition.SavedPosition = at;
  }
}

// ---- Key colour ----------------------------------------------------------------------------------

namespace {

// The distinct colours of a 24-bit bitmap, bucketed by their top four bits
// per channel, so that a candidate is compared only with the colours of the
// buckets its key distance reaches.
class TColorBuckets {
 public:
  explicit TColorBuckets(const TBitmap& frame) : buckets_(16 * 16 * 16) {
    std::vector<std::uint8_t> seen((1u << 24) / 8, 0);
    for (int y = 0; y < frame.Height(); ++y) {
      const std::uint8_t* p = frame.ScanLine(y);
      for (int x = 0; x < frame.Width(); ++x, p += 3) {
        const std::uint32_t rgb = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
        std::uint8_t& bits = seen[rgb >> 3];
        const auto bit = static_cast<std::uint8_t>(1u << (rgb & 7));
        if (bits & bit) continue;
        bits |= bit;
        buckets_[Bucket(p[2] >> 4, p[1] >> 4, p[0] >> 4)].push_back({p[0], p[1], p[2]});
      }
    }
  }

  // True when some colour lies closer to the candidate than the key distance.
  bool TooClose(std::uint8_t r, std::uint8_t g, std::uint8_t b) const {
    // The distance is below the limit only within these channel ranges.
    constexpr int kRange[3] = {35, 17, 96};  // red, green, blue
    const std::uint8_t key[3] = {b, g, r};
    const int rLow = std::max(0, r - kRange[0]) >> 4, rHigh = std::min(255, r + kRange[0]) >> 4;
    const int gLow = std::max(0, g - kRange[1]) >> 4, gHigh = std::min(255, g + kRange[1]) >> 4;
    const int bLow = std::max(0, b - kRange[2]) >> 4, bHigh = std::min(255, b + kRange[2]) >> 4;
    for (int br = rLow; br <= rHigh; ++br)
      for (int bg = gLow; bg <= gHigh; ++bg)
        for (int bb = bLow; bb <= bHigh; ++bb)
          for (const auto& c : buckets_[Bucket(br, bg, bb)])
            if (ColorDifference(c.data(), key) < kKeyColorDifference) return true;
    return false;
  }

 private:
  static std::size_t Bucket(int r, int g, int b) { return static_cast<std::size_t>((r << 8) | (g << 4) | b); }
  std::vector<std::vector<std::array<std::uint8_t, 3>>> buckets_;  // blue, green, red
};

}  // namespace

std::optional<TColor> ChooseKeyColor(const TBitmap& frame) {
  const TColorBuckets colors(frame);
  for (TColor key = 255; key < 0x1000000u; key += 255)
    if (!colors.TooClose(GetRValue(key), GetGValue(key), GetBValue(key))) return key;
  return std::nullopt;
}

// ---- Optimisation pass ---------------------------------------------------------------------------

namespace {

// Releases every frame bitmap to its memory copy when the pass ends, however it ends.
struct TReleaseFramesAtEnd {
  TSetOfBitmaps& frames;
  ~TReleaseFramesAtEnd() {
    for (auto& item : frames)
      if (item->Bitmap) item->Bitmap->SaveAndRelease();
  }
};

// Rows of a 24-bit bitmap read through one access.
struct TRows {
  explicit TRows(const TBitmap& bitmap)
      : base(bitmap.Height() > 0 ? bitmap.ScanLine(0) : nullptr), stride(bitmap.RowBytes()) {}
  const std::uint8_t* Pixel(int x, int y) const { return base + y * stride + x * 3; }
  const std::uint8_t* base;
  std::int64_t stride;
};

// The rectangle (in frame coordinates) of the frame's pixels whose
// composition changed by more than the threshold; empty when none did.
TRect ChangedRect(const TBitmap& before, const TBitmap& after, const TSetOfBitmapsItem& frame) {
  const TRows b(before), a(after);
  const int w = frame.Bitmap->Width(), h = frame.Bitmap->Height();
  const int x0 = std::max(frame.Left, 0), x1 = std::min(frame.Left + w, before.Width());
  const int y0 = std::max(frame.Top, 0), y1 = std::min(frame.Top + h, before.Height());
  TRect changed{0, 0, 0, 0};
  if (x0 >= x1 || y0 >= y1) return changed;
  bool any = false;
  for (int y = y0; y < y1; ++y) {
    const std::uint8_t* pb = b.Pixel(x0, y);
    const std::uint8_t* pa = a.Pixel(x0, y);
    for (int x = x0; x < x1; ++x, pb += 3, pa += 3) {
      if (ColorDifference(pb, pa) <= kChangedPixelDifference) continue;
      const int fx = x - frame.Left, fy = y - frame.Top;
      if (!any) {
        changed = Rect(fx, fy, fx + 1, fy + 1);
        any = true;
      } else {
        changed.Left = std::min(changed.Left, fx);
        changed.Top = std::min(changed.Top, fy);
        changed.Right = std::max(changed.Right, fx + 1);
        changed.Bottom = std::max(changed.Bottom, fy + 1);
      }
    }
  }
  return changed;
}

// Widens one side of the changed rectangle to two pixels: forwards when they
// fit, else backwards, never beyond the frame.
void WidenToTwo(std::int32_t& low, std::int32_t& high, int extent) {
  if (high - low >= 2) return;
  if (low + 2 < extent) {
    high = low + 2;
  } else {
    low = std::max(high - 2, 0);
  }
}

// Cuts the frame's 24-bit bitmap to the rectangle (frame coordinates, inside it).
void CutToRect(TMinGDIBitmap& bitmap, const TRect& r) {
  const std::int64_t stride = bitmap.RowBytes();
  std::uint8_t* base = bitmap.ScanLine(0);
  for (int row = 0; row < r.Height(); ++row)
    std::memmove(base + row * stride, base + (row + r.Top) * stride + r.Left * 3,
                 static_cast<std::size_t>(r.Width()) * 3);
  bitmap.SetSize(r.Width(), r.Height());
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  const TRows ra(a), rb(b);
  const auto bytes = static_cast<std::size_t>(a.Width()) * 3;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(ra.Pixel(0, y), rb.Pixel(0, y), bytes) != 0) return false;
  return true;
}

void CopyPixels(TBitmap& target, const TBitmap& source) {
  const TRows from(source);
  const std::int64_t stride = target.RowBytes();
  std::uint8_t* base = target.ScanLine(0);
  for (int y = 0; y < source.Height(); ++y)
    std::memcpy(base + y * stride, from.Pixel(0, y), static_cast<std::size_t>(source.Width()) * 3);
}

// Replaces the frame's pixels whose composition did not change visibly by
// the key colour; true when at least one was replaced.
bool KeyUnchangedPixels(const TBitmap& before, const TBitmap& after, TSetOfBitmapsItem& frame, TColor key) {
  TMinGDIBitmap& bitmap = *frame.Bitmap;
  const std::uint8_t k[3] = {GetBValue(key), GetGValue(key), GetRValue(key)};
  const TRows b(before), a(after);
  const int w = bitmap.Width(), h = bitmap.Height();
  const int x0 = std::max(frame.Left, 0), x1 = std::min(frame.Left + w, before.Width());
  const int y0 = std::max(frame.Top, 0), y1 = std::min(frame.Top + h, before.Height());
  if (x0 >= x1 || y0 >= y1) return false;
  const std::int64_t stride = bitmap.RowBytes();
  std::uint8_t* base = bitmap.ScanLine(0);
  bool keyed = false;
  for (int y = y0; y < y1; ++y) {
    const std::uint8_t* pb = b.Pixel(x0, y);
    const std::uint8_t* pa = a.Pixel(x0, y);
    std::uint8_t* pf = base + (y - frame.Top) * stride + (x0 - frame.Left) * 3;
    for (int x = x0; x < x1; ++x, pb += 3, pa += 3, pf += 3) {
      if (ColorDifference(pb, pa) >= kChangedPixelDifference) continue;
      if (std::memcmp(pb, k, 3) == 0) continue;
      std::memcpy(pf, k, 3);
      keyed = true;
    }
  }
  return keyed;
}

}  // namespace

void OptimizeFrames(TSetOfBitmaps& frames, const TOptimizeOptions& options, TExportComposition& composition,
                    TExportProgress* progress, int* currentFrame) {
  TReleaseFramesAtEnd releaseAtEnd{frames};
  const TRect all = GetMaxFrameRect(frames);
  if (all.IsEmpty()) return;
  TBitmap before, after;
  for (TBitmap* b : {&before, &after}) {
    b->SetPixelFormat(pf24bit);
    b->SetSize(all.Width(), all.Height());
  }
  composition.Origin = {0, 0};
  TRect keptRect{0, 0, 0, 0};  // the previous crop of a transparent scene

  for (int i = 0; i < static_cast<int>(frames.size()) && CancelFlag == 0; ++i) {
    if (currentFrame != nullptr) *currentFrame = i;
    TSetOfBitmapsItem& frame = *frames[static_cast<std::size_t>(i)];
    if (!frame.Bitmap) frame.Bitmap = std::make_unique<TMinGDIBitmap>();
    if (frame.Bitmap->PixelFormat() != pf24bit) frame.Bitmap->SetPixelFormat(pf24bit);
    DrawExportFrame(after, false, frame.Bitmap->TransparentColor(), i, frames, composition);

    if (i > 0 && !frame.Bitmap->Empty()) {
      TSetOfBitmapsItem& previous = *frames[static_cast<std::size_t>(i - 1)];
      TRect changed = ChangedRect(before, after, frame);
      const bool wasChanged = !changed.IsEmpty();

      if (options.Shrink && wasChanged) {
        const int w = frame.Bitmap->Width(), h = frame.Bitmap->Height();
        WidenToTwo(changed.Left, changed.Right, w);
        WidenToTwo(changed.Top, changed.Bottom, h);
        if (options.SceneTransparent) {
          // The previous crop is cleared to the background before this frame
          // shows, so this frame must cover it again.
          if (i > 1) UnionRect(changed, changed, keptRect);
          IntersectRect(changed, changed, Rect(0, 0, w, h));
          keptRect = changed;
        }
        CutToRect(*frame.Bitmap, changed);
        frame.Left += changed.Left;
        frame.Top += changed.Top;
        frame.Disposal = 0;
        previous.Disposal = 0;
      }

      if (options.RemoveIdenticalPixels && frame.Transparent == 0) {
        if (const std::optional<TColor> key = ChooseKeyColor(*frame.Bitmap)) {
          if (KeyUnchangedPixels(before, after, frame, *key)) {
            frame.Transparent = 1;
            frame.Bitmap->SetTransparentColor(*key);
            frame.Disposal = 0;
            previous.Disposal = 0;
          }
        }
      }

      if (options.RemoveIdenticalFrames && (!wasChanged || (frame.Transparent != 0 && SamePixels(after, before)))) {
        previous.Delay += frame.Delay;
        frames.erase(frames.begin() + i);
        --i;
      }
    }

    if (currentFrame != nullptr) *currentFrame = std::clamp(i, 0, std::max(static_cast<int>(frames.size()) - 1, 0));
    CopyPixels(before, after);
    ReportProgress(progress, std::max(i, 0), static_cast<int>(frames.size()) - 1);
  }
}
