#include "dialogs/core/FrameReduction.h"

#include "dialogs/core/ExportProgress.h"
#include "imaging/MinGDIBitmapU.h"
#include "imaging/utils.h"

#include <algorithm>
#include <array>
#include <bit>
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

TPreviousFrame::TPreviousFrame(const TSetOfBitmapsItem& item)
    : Left(item.Left),
      Top(item.Top),
      Width(item.Bitmap ? item.Bitmap->Width() : 0),
      Height(item.Bitmap ? item.Bitmap->Height() : 0),
      Disposal(item.Disposal),
      Transparent(item.Transparent) {}

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

// Copies a 24-bit picture onto a 24-bit target at (x, y), clipped, leaving
// out the pixels of the key colour when there is one.
void CopyOnto(TBitmap& target, int x, int y, const TBitmap& picture, std::optional<TColor> key) {
  const TRect area = Rect(std::max(x, 0), std::max(y, 0), std::min(x + picture.Width(), target.Width()),
                          std::min(y + picture.Height(), target.Height()));
  if (area.IsEmpty()) return;
  const auto n = static_cast<std::size_t>(area.Width());
  const std::uint8_t k[3] = {key ? GetBValue(*key) : std::uint8_t{0}, key ? GetGValue(*key) : std::uint8_t{0},
                             key ? GetRValue(*key) : std::uint8_t{0}};
  for (int row = area.Top; row < area.Bottom; ++row) {
    std::uint8_t* to = target.ScanLine(row) + 3 * static_cast<std::int64_t>(area.Left);
    const std::uint8_t* from = picture.ScanLine(row - y) + 3 * static_cast<std::int64_t>(area.Left - x);
    if (!key) {
      std::memcpy(to, from, 3 * n);
      continue;
    }
    for (std::size_t i = 0; i < n; ++i, to += 3, from += 3)
      if (from[0] != k[0] || from[1] != k[1] || from[2] != k[2]) std::memcpy(to, from, 3);
  }
  target.Changed();
}

// Draws picture at (x, y), leaving out the key colour when there is one.
void DrawKeyed(TBitmap& target, int x, int y, const TBitmap& picture, std::optional<TColor> key) {
  if (target.PixelFormat() == pf24bit && picture.PixelFormat() == pf24bit &&
      target.Canvas().CopyMode() == cmSrcCopy) {
    CopyOnto(target, x, y, picture, key);
    return;
  }
  TBitmap g;
  g.Assign(&picture);
  g.SetTransparent(false);
  if (key) {
    g.SetTransparentColor(*key);
    g.SetTransparent(true);
  }
  target.Canvas().Draw(x, y, g);
}

// The saved image: the frame drawn over a fill of bg (transparent frame) or white.
void SaveFrameImage(TExportComposition& composition, const TBitmap& picture, std::optional<TColor> key, bool transparent,
                    TColor bg, TPoint at) {
  TBitmap& saved = composition.SavedImage;
  saved.SetPixelFormat(pf24bit);
  if (saved.Width() != picture.Width() || saved.Height() != picture.Height()) saved.SetSize(picture.Width(), picture.Height());
  if (key || picture.PixelFormat() != pf24bit) FillArea(saved, Rect(0, 0, picture.Width(), picture.Height()), transparent ? bg : clWhite);
  DrawKeyed(saved, 0, 0, picture, key);
  composition.SavedPosition = at;
}

}  // namespace

namespace {

// The frame as a 24-bit picture: its own bitmap when it is one, else a converted copy.
const TBitmap& PictureOf(const TSetOfBitmapsItem& frame, TBitmap& converted) {
  const TBitmap* picture = frame.Bitmap.get();
  if (picture->PixelFormat() == pf24bit) return *picture;
  if (picture->PixelFormat() == pf8bit && !picture->Palette().IsNone()) {
    // Each index through its palette entry (an index past the entries reads as black).
    // Blue, green and red as the first three bytes of a little-endian word:
    // each pixel is stored as one word, whose fourth byte the next pixel
    // overwrites.
    static_assert(std::endian::native == std::endian::little);
    std::array<std::uint32_t, 256> colors{};
    const std::vector<TPaletteEntry>& entries = picture->Palette().Entries();
    for (std::size_t i = 0; i < std::min<std::size_t>(entries.size(), 256); ++i)
      colors[i] = entries[i].peBlue | (std::uint32_t{entries[i].peGreen} << 8) | (std::uint32_t{entries[i].peRed} << 16);
    const int width = picture->Width(), height = picture->Height();
    converted.SetPixelFormat(pf24bit);
    converted.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* from = picture->ScanLine(y);
      std::uint8_t* to = converted.ScanLine(y);
      int x = 0;
      for (; x + 1 < width; ++x, to += 3) std::memcpy(to, &colors[from[x]], 4);
      if (x < width) std::memcpy(to, &colors[from[x]], 3);
    }
    return converted;
  }
  converted.Assign(picture);
  converted.SetTransparent(false);
  converted.SetPixelFormat(pf24bit);
  return converted;
}

// Only pixels of exactly the transparent colour are left out; a transparent
// frame without such pixels is drawn whole.
std::optional<TColor> KeyOf(const TSetOfBitmapsItem& frame, const TBitmap& picture) {
  if (frame.Transparent == 0) return std::nullopt;
  return FindColorRowwise(picture, frame.Bitmap->TransparentColor() & 0xFFFFFF);
}

TPoint PlaceOf(const TSetOfBitmapsItem& frame, const TExportComposition& composition) {
  return {composition.Origin.X + frame.Left, composition.Origin.Y + frame.Top};
}

// DrawExportFrame, with the saved image following the frame or left as it was.
void DrawFrame(TBitmap& target, bool clear, TColor bg, const TSetOfBitmapsItem& frame, const TPreviousFrame& previous,
               bool first, TExportComposition& composition, bool saveImage) {
  if (!frame.Bitmap) return;
  TBitmap converted;
  const TBitmap& picture = PictureOf(frame, converted);

  if (clear) FillArea(target, Rect(0, 0, target.Width(), target.Height()), bg);

  // The previous frame's disposal, over exactly the rectangle a viewer clears.
  if (previous.Disposal == 1) {
    if (!first) target.Canvas().Draw(composition.SavedPosition.X, composition.SavedPosition.Y, composition.SavedImage);
    FillArea(target, FrameRect(frame, composition.Origin), frame.Transparent != 0 ? bg : clWhite);
  } else if (previous.Disposal == 2) {
    FillArea(target,
             Bounds(composition.Origin.X + previous.Left, composition.Origin.Y + previous.Top, previous.Width,
                    previous.Height),
             previous.Transparent != 0 ? bg : clWhite);
  }
  if (frame.Disposal == 3 && !clear)
    target.Canvas().Draw(composition.SavedPosition.X, composition.SavedPosition.Y, composition.SavedImage);

  const std::optional<TColor> key = KeyOf(frame, picture);
  const TPoint at = PlaceOf(frame, composition);
  DrawKeyed(target, at.X, at.Y, picture, key);

  if (saveImage && frame.Disposal != 3) SaveFrameImage(composition, picture, key, frame.Transparent != 0, bg, at);
}

// The saved image after the frame was drawn (nothing changes after a frame that restores the previous one).
void FollowWithSavedImage(const TSetOfBitmapsItem& frame, TColor bg, TExportComposition& composition) {
  if (!frame.Bitmap || frame.Disposal == 3) return;
  TBitmap converted;
  const TBitmap& picture = PictureOf(frame, converted);
  SaveFrameImage(composition, picture, KeyOf(frame, picture), frame.Transparent != 0, bg, PlaceOf(frame, composition));
}

}  // namespace

void DrawExportFrame(TBitmap& target, bool clear, TColor bg, const TSetOfBitmapsItem& frame,
                     const TPreviousFrame& previous, bool first, TExportComposition& composition) {
  DrawFrame(target, clear, bg, frame, previous, first, composition, true);
}

void DrawExportFrame(TBitmap& target, bool clear, TColor bg, int index, const TSetOfBitmaps& frames,
                     TExportComposition& composition) {
  if (index < 0 || index >= static_cast<int>(frames.size())) return;
  const TSetOfBitmapsItem& previous =
      *frames[static_cast<std::size_t>(index > 0 ? index - 1 : static_cast<int>(frames.size()) - 1)];
  DrawExportFrame(target, clear, bg, *frames[static_cast<std::size_t>(index)], TPreviousFrame(previous), index == 0,
                  composition);
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

// ---- Reduction pass --------------------------------------------------------------------------------

namespace {

// Rows of a 24-bit bitmap read through one access.
struct TRows {
  explicit TRows(const TBitmap& bitmap)
      : base(bitmap.Height() > 0 ? bitmap.ScanLine(0) : nullptr), stride(bitmap.RowBytes()) {}
  const std::uint8_t* Pixel(int x, int y) const { return base + y * stride + x * 3; }
  const std::uint8_t* base;
  std::int64_t stride;
};

// The part of the frame's rectangle that lies on the composition.
TRect VisiblePart(const TBitmap& composition, const TSetOfBitmapsItem& frame) {
  const int w = frame.Bitmap->Width(), h = frame.Bitmap->Height();
  return Rect(std::max(frame.Left, 0), std::max(frame.Top, 0), std::min(frame.Left + w, composition.Width()),
              std::min(frame.Top + h, composition.Height()));
}

// The rectangle (in frame coordinates) of the frame's pixels whose
// composition changed by more than the threshold; empty when none did.
// Whether the viewer's pixel must be drawn again to show the pixel wanted:
// it differs visibly, and (with a palette) the wanted pixel would not be
// shown in the very colour the viewer shows already.
struct TChangeTest {
  TFrameColorMapper* mapper = nullptr;
  bool operator()(const std::uint8_t* shown, const std::uint8_t* wanted) const {
    if (ColorDifference(shown, wanted) <= kChangedPixelDifference) return false;
    return mapper == nullptr || !mapper->ShowsAlready(wanted, shown);
  }
};

// Per composition row, the columns [first, last] in which the wanted picture
// differs from the one wanted before; none (first > last) for a row that is
// the same. Outside them nothing needs to be tested again.
using TSpans = std::vector<std::pair<int, int>>;

// The columns of a row to test: the visible part, narrowed to the span.
std::pair<int, int> ColumnsToTest(const TRect& visible, const TSpans* spans, int y) {
  if (spans == nullptr) return {visible.Left, visible.Right - 1};
  const auto& span = (*spans)[static_cast<std::size_t>(y)];
  return {std::max(visible.Left, span.first), std::min(visible.Right - 1, span.second)};
}

TRect ChangedRect(const TBitmap& before, const TBitmap& after, const TSetOfBitmapsItem& frame, TChangeTest changes,
                  const TSpans* spans) {
  const TRows b(before), a(after);
  const TRect visible = VisiblePart(before, frame);
  TRect changed{0, 0, 0, 0};
  if (visible.IsEmpty()) return changed;
  int left = visible.Right, right = visible.Left - 1, top = -1, bottom = -1;
  for (int y = visible.Top; y < visible.Bottom; ++y) {
    const auto [from, to] = ColumnsToTest(visible, spans, y);
    if (from > to) continue;
    // Only the row's first and last changed pixels count: it is searched
    // from both ends, and the pixels between them are not tested.
    const std::uint8_t* pb = b.Pixel(0, y);
    const std::uint8_t* pa = a.Pixel(0, y);
    int first = from;
    while (first <= to && !changes(pb + 3 * first, pa + 3 * first)) ++first;
    if (first > to) continue;
    int last = to;
    while (last > first && !changes(pb + 3 * last, pa + 3 * last)) --last;
    if (top < 0) top = y;
    bottom = y;
    left = std::min(left, first);
    right = std::max(right, last);
  }
  if (top < 0) return changed;
  return Rect(left - frame.Left, top - frame.Top, right + 1 - frame.Left, bottom + 1 - frame.Top);
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
  const TRect visible = VisiblePart(before, frame);
  if (visible.IsEmpty()) return false;
  const std::int64_t stride = bitmap.RowBytes();
  std::uint8_t* base = bitmap.ScanLine(0);
  bool keyed = false;
  for (int y = visible.Top; y < visible.Bottom; ++y) {
    const std::uint8_t* pb = b.Pixel(visible.Left, y);
    const std::uint8_t* pa = a.Pixel(visible.Left, y);
    std::uint8_t* pf = base + (y - frame.Top) * stride + (visible.Left - frame.Left) * 3;
    for (int x = visible.Left; x < visible.Right; ++x, pb += 3, pa += 3, pf += 3) {
      if (ColorDifference(pb, pa) >= kChangedPixelDifference) continue;
      if (std::memcmp(pb, k, 3) == 0) continue;
      std::memcpy(pf, k, 3);
      keyed = true;
    }
  }
  return keyed;
}

// One byte per pixel of the frame, 1 where the composition did not change
// visibly (those pixels may stay as the viewer shows them).
std::vector<std::uint8_t> UnchangedPixels(const TBitmap& before, const TBitmap& after, const TSetOfBitmapsItem& frame,
                                          TFrameColorMapper& mapper, const TSpans* spans) {
  const int w = frame.Bitmap->Width();
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(w) * static_cast<std::size_t>(frame.Bitmap->Height()), 0);
  const TRows b(before), a(after);
  const TRect visible = VisiblePart(before, frame);
  if (visible.IsEmpty()) return mask;
  for (int y = visible.Top; y < visible.Bottom; ++y) {
    std::uint8_t* row = mask.data() + static_cast<std::size_t>(y - frame.Top) * static_cast<std::size_t>(w);
    const auto [from, to] = ColumnsToTest(visible, spans, y);
    // Outside the span the pixel is what was wanted before, where the viewer
    // shows what it showed then.
    for (int x = visible.Left; x < visible.Right; ++x)
      if (x < from || x > to) row[x - frame.Left] = 1;
    if (from > to) continue;
    const std::uint8_t* pb = b.Pixel(from, y);
    const std::uint8_t* pa = a.Pixel(from, y);
    std::uint8_t* m = row + (from - frame.Left);
    for (int x = from; x <= to; ++x, pb += 3, pa += 3, ++m)
      *m = ColorDifference(pb, pa) < kChangedPixelDifference || mapper.ShowsAlready(pa, pb) ? 1 : 0;
  }
  return mask;
}

// The spans in which the picture differs from the one remembered, which
// then takes the picture's pixels.
TSpans FollowWanted(TBitmap& wanted, const TBitmap& picture) {
  const int w = picture.Width();
  TSpans spans(static_cast<std::size_t>(picture.Height()), {0, -1});
  for (int y = 0; y < picture.Height(); ++y) {
    const std::uint8_t* a = picture.ScanLine(y);
    std::uint8_t* b = wanted.ScanLine(y);
    const auto bytes = static_cast<std::size_t>(w) * 3;
    if (std::memcmp(a, b, bytes) == 0) continue;
    const int first = static_cast<int>(FirstDifferentByte(a, b, bytes) / 3);
    const int last = static_cast<int>(LastDifferentByte(a, b, bytes) / 3);
    spans[static_cast<std::size_t>(y)] = {first, last};
    std::memcpy(b + 3 * first, a + 3 * first, static_cast<std::size_t>(last - first + 1) * 3);
  }
  return spans;
}

void MakeComposition(TBitmap& bitmap, int width, int height) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, height);
}

}  // namespace

TFrameReducer::TFrameReducer(const TOptimizeOptions& options, TExportComposition& composition, int width, int height,
                             TSink sink)
    : options_(options), composition_(composition), sink_(std::move(sink)) {
  for (TBitmap& b : compositions_) MakeComposition(b, width, height);
  composition_.Origin = {0, 0};
}

TFrameReducer::~TFrameReducer() = default;

void TFrameReducer::Add(std::unique_ptr<TSetOfBitmapsItem> frame) {
  if (!frame->Bitmap) frame->Bitmap = std::make_unique<TMinGDIBitmap>();
  if (frame->Bitmap->PixelFormat() != pf24bit) frame->Bitmap->SetPixelFormat(pf24bit);
  const bool first = taken_++ == 0;
  if (first) {
    if (mapper_ != nullptr) {
      RememberWanted(*frame);
      mapper_->Map(*frame, nullptr);
    }
    // Drawn over the blank composition, after the predecessor's disposal.
    const TPreviousFrame predecessor = firstPredecessor_.value_or(TPreviousFrame(*frame));
    DrawExportFrame(*shown_, false, frame->Bitmap->TransparentColor(), *frame, predecessor, true, composition_);
    previous_ = std::move(frame);
    return;
  }
  bool dropped = false, reshaped = false;
  if (!frame->Bitmap->Empty()) Reduce(*frame, dropped, reshaped);
  if (dropped) return;
  ShowKept(*frame, reshaped);
  sink_(std::move(previous_));
  previous_ = std::move(frame);
}

void TFrameReducer::RememberWanted(const TSetOfBitmapsItem& frame) {
  // Only a frame that makes the whole picture is remembered as wanted.
  if (!CoversComposition(frame) || options_.SceneTransparent) return;
  MakeComposition(wanted_, shown_->Width(), shown_->Height());
  CopyPixels(wanted_, *frame.Bitmap);
}

bool TFrameReducer::CoversComposition(const TSetOfBitmapsItem& frame) const {
  const TBitmap& bitmap = *frame.Bitmap;
  return frame.Transparent == 0 && composition_.Origin.X + frame.Left == 0 && composition_.Origin.Y + frame.Top == 0 &&
         bitmap.PixelFormat() == pf24bit && bitmap.Width() == shown_->Width() && bitmap.Height() == shown_->Height();
}

void TFrameReducer::Reduce(TSetOfBitmapsItem& frame, bool& dropped, bool& reshaped) {
  TSetOfBitmapsItem& previous = *previous_;
  // The frame as rendered, over what the viewer shows; the saved image
  // follows only a frame that is kept. An opaque frame covering the whole
  // composition is that picture itself (while no pass keys its pixels).
  if (!options_.RemoveIdenticalPixels && CoversComposition(frame)) {
    after_ = frame.Bitmap.get();
  } else {
    CopyPixels(*trial_, *shown_);
    DrawFrame(*trial_, false, frame.Bitmap->TransparentColor(), frame, TPreviousFrame(previous), false, composition_,
              false);
    after_ = trial_;
  }
  const TBitmap& after = *after_;

  // With the palette's colours shown, a pixel wanted as it was wanted before
  // needs no test: what the viewer shows there passed it then. (Only where
  // nothing but the frame itself changes what is shown.)
  std::optional<TSpans> spans;
  if (mapper_ != nullptr && !options_.SceneTransparent && frame.Transparent == 0 && previous.Disposal == 0 &&
      frame.Disposal == 0 && wanted_.Width() == after.Width() && wanted_.Height() == after.Height())
    spans = FollowWanted(wanted_, after);
  else
    wanted_.SetSize(0, 0);

  TRect changed = ChangedRect(*shown_, after, frame, TChangeTest{mapper_}, spans ? &*spans : nullptr);
  const bool wasChanged = !changed.IsEmpty();
  const std::uint8_t disposals[2] = {previous.Disposal, frame.Disposal};

  if (options_.Shrink && wasChanged) {
    const int w = frame.Bitmap->Width(), h = frame.Bitmap->Height();
    WidenToTwo(changed.Left, changed.Right, w);
    WidenToTwo(changed.Top, changed.Bottom, h);
    if (options_.SceneTransparent) {
      // The previous crop is cleared to the background before this frame
      // shows, so this frame must cover it again.
      if (taken_ > 2) UnionRect(changed, changed, keptRect_);
      IntersectRect(changed, changed, Rect(0, 0, w, h));
      keptRect_ = changed;
    }
    if (changed != Rect(0, 0, w, h)) {
      CutToRect(*frame.Bitmap, changed);
      frame.Left += changed.Left;
      frame.Top += changed.Top;
      reshaped = true;
    }
    frame.Disposal = 0;
    previous.Disposal = 0;
  }

  std::vector<std::uint8_t> unchanged;
  if (mapper_ != nullptr && options_.RemoveIdenticalPixels && frame.Transparent == 0) {
    // The composition holds the palette's colours: a pixel is left as the
    // viewer shows it only when that is within the threshold of the pixel
    // wanted.
    unchanged = UnchangedPixels(*shown_, after, frame, *mapper_, spans ? &*spans : nullptr);
  } else if (options_.RemoveIdenticalPixels && frame.Transparent == 0) {
    if (const std::optional<TColor> key = ChooseKeyColor(*frame.Bitmap)) {
      if (KeyUnchangedPixels(*shown_, after, frame, *key)) {
        frame.Transparent = 1;
        frame.Bitmap->SetTransparentColor(*key);
        frame.Disposal = 0;
        previous.Disposal = 0;
        reshaped = true;
      }
    }
  }

  if (options_.RemoveIdenticalFrames && (!wasChanged || (frame.Transparent != 0 && SamePixels(after, *shown_)))) {
    previous.Delay += frame.Delay;
    dropped = true;
    return;
  }
  if (disposals[0] != previous.Disposal || disposals[1] != frame.Disposal) reshaped = true;
  if (mapper_ != nullptr) {
    const bool keyed = !unchanged.empty();
    mapper_->Map(frame, keyed ? &unchanged : nullptr);
    if (frame.Transparent != 0 && keyed) {
      frame.Disposal = 0;
      previous.Disposal = 0;
    }
    // The viewer shows the frame in the palette's colours.
    reshaped = true;
  }
}

void TFrameReducer::ShowKept(const TSetOfBitmapsItem& frame, bool reshaped) {
  const TColor bg = frame.Bitmap->TransparentColor();
  if (frame.Bitmap->Empty()) return;  // it shows nothing
  if (reshaped) {
    // The viewer shows the frame as it is kept, not as it was rendered.
    DrawFrame(*shown_, false, bg, frame, TPreviousFrame(*previous_), false, composition_, true);
    return;
  }
  // What was compared is exactly what the viewer shows; the saved image follows.
  if (after_ == trial_) {
    std::swap(shown_, trial_);
  } else {
    CopyPixels(*shown_, *after_);
  }
  FollowWithSavedImage(frame, bg, composition_);
}

void TFrameReducer::Finish() {
  if (previous_) sink_(std::move(previous_));
}

// ---- A pass over a list ---------------------------------------------------------------------------------

namespace {

// Releases every frame bitmap to its memory copy when the pass ends, however it ends.
struct TReleaseFramesAtEnd {
  TSetOfBitmaps& frames;
  ~TReleaseFramesAtEnd() {
    for (auto& item : frames)
      if (item->Bitmap) item->Bitmap->SaveAndRelease();
  }
};

}  // namespace

void OptimizeFrames(TSetOfBitmaps& frames, const TOptimizeOptions& options, TExportComposition& composition,
                    TExportProgress* progress, int* currentFrame) {
  TReleaseFramesAtEnd releaseAtEnd{frames};
  const TRect all = GetMaxFrameRect(frames);
  if (all.IsEmpty()) return;
  TSetOfBitmaps input = std::move(frames);
  frames.clear();
  TFrameReducer reducer(options, composition, all.Width(), all.Height(),
                        [&](std::unique_ptr<TSetOfBitmapsItem> item) { frames.push_back(std::move(item)); });
  reducer.SetFirstPredecessor(TPreviousFrame(*input.back()));
  const int count = static_cast<int>(input.size());
  std::size_t next = 0;
  try {
    for (; next < input.size() && CancelFlag == 0; ++next) {
      if (currentFrame != nullptr) *currentFrame = static_cast<int>(frames.size()) + (next > 0 ? 1 : 0);
      reducer.Add(std::move(input[next]));
      ReportProgress(progress, static_cast<int>(next), count - 1);
    }
  } catch (...) {
    // The frames already taken and those not reached stay in the list.
    reducer.Finish();
    for (; next < input.size(); ++next)
      if (input[next]) frames.push_back(std::move(input[next]));
    throw;
  }
  reducer.Finish();
  for (; next < input.size(); ++next) frames.push_back(std::move(input[next]));
  if (currentFrame != nullptr) *currentFrame = std::max(static_cast<int>(frames.size()) - 1, 0);
}

std::size_t FirstDifferentByte(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    // The lowest byte of a little-endian word is the first.
    if (x != y) return i + static_cast<std::size_t>(std::countr_zero(x ^ y)) / 8;
  }
  for (; i < n; ++i)
    if (a[i] != b[i]) return i;
  return n;
}

std::size_t LastDifferentByte(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
  std::size_t i = n;
  for (; i >= 8; i -= 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a + i - 8, 8);
    std::memcpy(&y, b + i - 8, 8);
    if (x != y) return i - 8 + static_cast<std::size_t>(63 - std::countl_zero(x ^ y)) / 8;
  }
  for (; i > 0; --i)
    if (a[i - 1] != b[i - 1]) return i - 1;
  return n;
}
