#include "dialogs/core/ExportFrameList.h"

#include "dialogs/core/ColorTable.h"
#include "dialogs/core/ExportProgress.h"
#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "imaging/MinGDIBitmapU.h"
#include "imaging/utils.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <utility>

const char* const SImageHasNoPalette = "The image has more than 256 colors and doesn't have palette.";

TExportFrameList::TExportFrameList(TSetOfBitmaps& frames, TExportComposition& composition)
    : frames_(frames), composition_(composition) {}

// ---- The grid ------------------------------------------------------------------------------------

namespace {

struct TFormatText {
  const char* colors;
  const char* depth;
};

TFormatText FormatTextOf(TPixelFormat format) {
  switch (format) {
    case pf1bit: return {"2", "1 bit"};
    case pf4bit: return {"16", "4 bit"};
    case pf8bit: return {"256", "8 bit"};
    case pf15bit: return {"32K", "15 bit"};
    case pf16bit: return {"64K", "16 bit"};
    case pf24bit: return {"16 million", "24 bit"};
    case pf32bit: return {"4 billion", "32 bit"};
    default: return {"RGB", ""};
  }
}

}  // namespace

std::string TExportFrameList::FrameHint(int index) const {
  if (!Contains(index) || !Frame(index).Bitmap) return "";
  const TBitmap& bitmap = *Frame(index).Bitmap;
  const TFormatText format = FormatTextOf(bitmap.PixelFormat());
  return "Image: " + IntToStr(bitmap.Width()) + "x" + IntToStr(bitmap.Height()) + " pxs,\rFormat: " + format.colors +
         " colors, (" + format.depth + ")\rTotal: " + IntToStr(Count()) + " Images.";
}

// ---- The player ----------------------------------------------------------------------------------

void TExportFrameList::SetCurrentFrame(int index) { current_ = Contains(index) ? index : 0; }

std::string TExportFrameList::FrameNumberText(int oneBasedNumber) {
  return PadLeftStr('0', 3, IntToShortStr(std::max(oneBasedNumber, 0)));
}

void TExportFrameList::ShowPlayerFrame(TBitmap& target) {
  if (frames_.empty()) return;
  SetCurrentFrame(current_);
  DrawExportFrame(target, false, kPlayerBackground, current_, frames_, composition_);
}

void TExportFrameList::ShowComposedFrame(TBitmap& target, int index) {
  if (frames_.empty()) return;
  DrawExportFrame(target, true, kPlayerBackground, 0, frames_, composition_);
  for (int k = 1; k < index && k < Count(); ++k) DrawExportFrame(target, false, kPlayerBackground, k, frames_, composition_);
  SetCurrentFrame(index);
  ShowPlayerFrame(target);
}

TRect TExportFrameList::OutlineRect(int index) const {
  if (!Contains(index) || !Frame(index).Bitmap) return Rect(0, 0, 0, 0);
  const TSetOfBitmapsItem& item = Frame(index);
  const int left = composition_.Origin.X + item.Left, top = composition_.Origin.Y + item.Top;
  return Rect(left - 1, top - 1, left + item.Bitmap->Width(), top + item.Bitmap->Height());
}

void TExportFrameList::ShowFirstFrame(TBitmap& target) {
  SetCurrentFrame(0);
  ShowPlayerFrame(target);
}

void TExportFrameList::ShowNextFrame(TBitmap& target) {
  if (frames_.empty()) return;
  SetCurrentFrame((current_ + 1) % Count());
  ShowPlayerFrame(target);
}

void TExportFrameList::ShowPreviousFrame(TBitmap& target) { ShowComposedFrame(target, std::max(current_ - 1, 0)); }

int TExportFrameList::TicksForDelay(int delay) { return std::max(1, (std::max(delay, 0) + 4) / 5); }

TExportFrameList::TTick TExportFrameList::Tick(int loopCount) {
  TTick tick;
  if (frames_.empty()) {
    tick.stop = true;
    return tick;
  }
  SetCurrentFrame(current_);
  if (++ticks_ < TicksForDelay(Frame(current_).Delay)) return tick;
  ticks_ = 0;
  current_ = (current_ + 1) % Count();
  tick.advanced = true;
  // An animation that plays once stops on its last frame.
  tick.stop = current_ == Count() - 1 && loopCount == 0;
  return tick;
}

// ---- Frame parameters ----------------------------------------------------------------------------

void TExportFrameList::SetDelay(int index, int delay) {
  if (Contains(index)) Frame(index).Delay = delay;
}

void TExportFrameList::SetLeft(int index, int left) {
  if (Contains(index)) Frame(index).Left = left;
}

void TExportFrameList::SetTop(int index, int top) {
  if (Contains(index)) Frame(index).Top = top;
}

void TExportFrameList::SetDisposal(int index, int disposal) {
  if (Contains(index)) Frame(index).Disposal = static_cast<std::uint8_t>(std::clamp(disposal, 0, 3));
}

void TExportFrameList::SetInterlaced(int index, bool interlaced) {
  if (Contains(index)) Frame(index).SetInterlaced(interlaced ? 1 : 0);
}

void TExportFrameList::SetDelayToAll(int delay) {
  for (int i = 0; i < Count(); ++i) SetDelay(i, delay);
}

void TExportFrameList::SetLeftToAll(int left) {
  for (int i = 0; i < Count(); ++i) SetLeft(i, left);
}

void TExportFrameList::SetTopToAll(int top) {
  for (int i = 0; i < Count(); ++i) SetTop(i, top);
}

void TExportFrameList::SetDisposalToAll(int disposal) {
  for (int i = 0; i < Count(); ++i) SetDisposal(i, disposal);
}

void TExportFrameList::SetInterlacedToAll(bool interlaced) {
  for (int i = 0; i < Count(); ++i) SetInterlaced(i, interlaced);
}

void TExportFrameList::SetFrameTransparency(int index, TColor color, bool transparent, int paletteIndex, int pickY,
                                            int pickX) {
  if (!Contains(index)) return;
  TSetOfBitmapsItem& item = Frame(index);
  item.Transparent = transparent ? 1 : 0;
  if (item.Bitmap) item.Bitmap->SetTransparentColor(color);
  if (paletteIndex != -2) item.TransparentIndex = paletteIndex;
  if (pickY != -2) item.TransparentY = pickY;
  if (pickX != -2) item.TransparentX = pickX;
}

void TExportFrameList::SetTransparencyToAll(TColor color, bool transparent) {
  for (int i = 0; i < Count(); ++i) SetFrameTransparency(i, color, transparent, -2, -2, -2);
}

bool TExportFrameList::InsideFrame(int index, TPoint point) const {
  if (!Contains(index) || !Frame(index).Bitmap) return false;
  const TSetOfBitmapsItem& item = Frame(index);
  const int left = composition_.Origin.X + item.Left, top = composition_.Origin.Y + item.Top;
  return point.X > left && point.X < left + item.Bitmap->Width() && point.Y > top &&
         point.Y < top + item.Bitmap->Height();
}

// ---- List editing ---------------------------------------------------------------------------------

void TExportFrameList::Delete(int index) {
  if (!Contains(index)) return;
  frames_.erase(frames_.begin() + index);
  SetCurrentFrame(std::min(current_, Count() - 1));
}

bool TExportFrameList::MoveUp(int index) {
  if (index < 1 || index >= Count()) return false;
  std::swap(frames_[static_cast<std::size_t>(index)], frames_[static_cast<std::size_t>(index - 1)]);
  return true;
}

bool TExportFrameList::MoveDown(int index) {
  if (index < 0 || index >= Count() - 1) return false;
  std::swap(frames_[static_cast<std::size_t>(index)], frames_[static_cast<std::size_t>(index + 1)]);
  return true;
}

void TExportFrameList::Append(std::unique_ptr<TSetOfBitmapsItem> item) {
  item->Bitmap->SaveAndRelease();
  frames_.push_back(std::move(item));
}

namespace {

// A new frame with the item defaults holding a copy of the picture.
std::unique_ptr<TSetOfBitmapsItem> FrameOf(const TBitmap& picture) {
  auto item = std::make_unique<TSetOfBitmapsItem>();
  item->Bitmap->Assign(&picture);
  item->Bitmap->SetTransparent(false);
  return item;
}

// Whether any pixel has the colour (low 24 bits).
bool HasColor(const TBitmap& picture, TColor color) {
  color &= 0xFFFFFFu;
  for (int x = 0; x < picture.Width(); ++x)
    for (int y = 0; y < picture.Height(); ++y)
      if ((picture.Pixel(x, y) & 0xFFFFFFu) == color) return true;
  return false;
}

}  // namespace

int TExportFrameList::InsertImageFile(const std::string& fileName, const TChooseVideoFrames& choose,
                                      TExportProgress* progress) {
  const std::string extension = UpperCaseAscii(ExtractFileExt(fileName));
  if (extension == ".BMP") {
    TBitmap picture;
    picture.LoadFromFile(fileName);
    Append(FrameOf(picture));
    return 1;
  }
  if (extension == ".JPG") {
    TJPEGImage jpeg;
    jpeg.SetFileName(fileName);
    Append(FrameOf(jpeg.Bitmap()));
    return 1;
  }
  if (extension == ".GIF") return InsertGif(fileName, progress);
  if (extension == ".AVI") return InsertVideo(fileName, choose, progress);
  return 0;
}

int TExportFrameList::InsertGif(const std::string& fileName, TExportProgress* progress) {
  TGifFile gif;
  gif.LoadFromFile(fileName);
  const int images = gif.ImageCount();
  TSetOfBitmapsItem* lastAdded = nullptr;
  int added = 0;
  for (int k = 1; k <= images; ++k) {
    TGifSubImage& image = *gif.GetSubImage(k);
    ReportProgress(progress, k - 1, images - 1);
    if (image.Pixels() == nullptr) continue;
    if (image.Width() <= 1 || image.Height() <= 1) {
      // A placeholder image only stretches the frame before it.
      if (lastAdded != nullptr) lastAdded->Delay += image.GetDelay();
      continue;
    }
    auto item = FrameOf(*image.GetBitmap());
    item->Delay = image.GetDelay();
    item->Left = image.Left();
    item->Top = image.Top();
    item->Disposal = static_cast<std::uint8_t>(image.Disposal());
    item->SetInterlaced(image.Interlaced() ? 1 : 0);
    const TColor key = image.GetTransparentColor();
    // A transparent colour that no pixel has leaves the frame opaque.
    if (image.Transparent() && key != kNoTransparentColor && HasColor(*item->Bitmap, key)) {
      item->Transparent = 1;
      item->Bitmap->SetTransparentColor(key & 0xFFFFFFu);
    }
    image.FreeBitmap();
    lastAdded = item.get();
    Append(std::move(item));
    ++added;
  }
  return added;
}

namespace {

// The video's stream and then its file are released however reading ends.
struct TOpenVideo {
  explicit TOpenVideo(const std::string& fileName) : file(avi.OpenAVIFile(fileName)), stream(avi.OpenVideoStream(file)) {}
  ~TOpenVideo() {
    avi.CloseVideoStream(stream);
    if (file != 0) avi.CloseAVIFile(file);
  }
  TOpenVideo(const TOpenVideo&) = delete;
  TOpenVideo& operator=(const TOpenVideo&) = delete;
  TAVIObject avi;
  PAVIFILE file;
  PAVISTREAM stream;
};

}  // namespace

int TExportFrameList::InsertVideo(const std::string& fileName, const TChooseVideoFrames& choose,
                                  TExportProgress* progress) {
  TOpenVideo video(fileName);
  const int frameCount = video.avi.FrameCount();
  if (video.stream == 0 || frameCount < 1 || !choose) return 0;
  int first = 1, count = frameCount;
  if (!choose(fileName, frameCount, first, count)) return 0;
  first = std::clamp(first, 1, frameCount);
  count = std::clamp(count, 0, frameCount - first + 1);
  const int last = count - 1;
  for (int k = 0; k <= last; ++k) {
    std::unique_ptr<TBitmap> picture = video.avi.GetFrameBitmap(first - 1 + k);
    Append(FrameOf(*picture));
    ReportProgress(progress, k, last);
  }
  return count;
}

// ---- Colour tables ----------------------------------------------------------------------------------

bool TExportFrameList::HasColorTable(int index) const {
  return Contains(index) && Frame(index).Bitmap && Frame(index).Bitmap->PixelFormat() == pf8bit;
}

void TExportFrameList::ApplyColorTableTo(TSetOfBitmapsItem& item, const std::vector<TColor>& colors) {
  if (!item.Bitmap || item.Bitmap->PixelFormat() != pf8bit) return;
  // The frame becomes a GIF image whose table takes the edited colours at
  // the same indices, and comes back as that image's picture.
  item.Bitmap = WithTableColors(*item.Bitmap, colors);
  item.Bitmap->SaveAndRelease();
}

void TExportFrameList::ApplyColorTable(int index, bool allFrames, const std::vector<TColor>& colors,
                                       TExportProgress* progress) {
  if (!Contains(index)) return;
  ReportProgress(progress, 0, 1);
  const int first = allFrames ? 0 : index;
  const int last = allFrames ? Count() - 1 : index;
  for (int k = first; k <= last; ++k) {
    ApplyColorTableTo(Frame(k), colors);
    ReportProgress(progress, k - first + 1, last - first + 1);
  }
}
