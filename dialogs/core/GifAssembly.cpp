#include "dialogs/core/GifAssembly.h"

#include "dialogs/core/ExportProgress.h"
#include "imaging/GifUnit.h"
#include "imaging/MinGDIBitmapU.h"
#include "imaging/utils.h"
#include "platform/UiServices.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

const char* const SGifNeeds256Colors = "All images must be converted to 256 colors before saving as GIF.";

namespace {

constexpr int kMaxWord = 65535;

// The index of the transparent colour in the table the image is written
// with: the highest matching entry, which is the one its pixels of that
// colour use; the nearest entry when the colour is not in the table.
void SetTransparentIndexOf(TGifSubImage& image, TColor color) {
  const int index = image.ActiveTable().IndexOf(color & 0xFFFFFF);
  if (index >= 0) {
    image.SetTransparentIndex(index);
  } else {
    image.SetTransparentColor(color & 0xFFFFFF);
  }
}

// The loop block stands first on image 1, where viewers look for it.
void SetLoopBlock(TGifSubImage& first, std::int32_t loopCount) {
  first.SetLoopCount(loopCount < 1 ? 0 : std::min(loopCount, kMaxWord));
  TExtensionList& extensions = first.Extensions();
  std::stable_partition(extensions.begin(), extensions.end(),
                        [](const auto& e) { return e->Kind() == ekApplication; });
}

}  // namespace

std::vector<std::string> GifCommentBlocks(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  std::vector<std::string> blocks;
  for (std::size_t at = 0; at < text.size(); at += 255) blocks.push_back(text.substr(at, 255));
  return blocks;
}

bool FramesFitGif(const TSetOfBitmaps& frames) {
  for (const auto& item : frames) {
    // A picture kept as its coded data is 8-bit without being decoded.
    if (const auto* coded = dynamic_cast<const TCodedPicture*>(item->Bitmap.get()); coded != nullptr && coded->IsCoded())
      continue;
    if (!item->Bitmap || item->Bitmap->PixelFormat() != pf8bit) {
      Ui().MessageBox(0, SGifNeeds256Colors, "Information", MB_ICONINFORMATION);
      return false;
    }
  }
  return true;
}

TGifAssembler::TGifAssembler(const TGifAssemblyOptions& options, const TSetOfBitmaps& frames)
    : options_(options), frameCount_(static_cast<int>(frames.size())), gif_(std::make_unique<TGifFile>()) {
  gif_->SetDifferentPalettes(options.LocalColorTables);
  gif_->SetProgressWindow(options.ProgressWindow);
  // The screen is known before the first image is written.
  int width = 0, height = 0;
  for (const auto& item : frames) {
    if (!item->Bitmap) continue;
    width = std::max(width, item->Bitmap->Width());
    height = std::max(height, item->Bitmap->Height());
  }
  gif_->SetScreenWidth(width);
  gif_->SetScreenHeight(height);
}

TGifAssembler::~TGifAssembler() = default;

std::unique_ptr<TGifFile> TGifAssembler::Take() { return std::move(gif_); }

TGifSubImage& TGifAssembler::Add(const TSetOfBitmapsItem& item, TGifFile::TGraphicPlan* plan) {
  TGifFile::TGraphicPlan made = gif_->AddGraphic(*item.Bitmap);
  if (plan != nullptr) *plan = std::move(made);
  TGifSubImage& image = *gif_->GetSubImage(gif_->ImageCount());
  SetAttributes(image, item, item.Transparent != 0 ? item.Bitmap->TransparentColor() : 0);
  return image;
}

const TWrittenImage* TGifAssembler::WrittenImageOf(const TSetOfBitmapsItem& item) const {
  const auto* picture = dynamic_cast<const TCodedPicture*>(item.Bitmap.get());
  const TWrittenImage* written = picture != nullptr ? picture->Written() : nullptr;
  if (written == nullptr || written->Coded->Interlaced != (item.Interlaced() != 0) ||
      written->LocalColorTables != gif_->DifferentPalettes() || !SameEntries(*written->GlobalBefore, gif_->GlobalTable()))
    return nullptr;
  return written;
}

TGifSubImage& TGifAssembler::AddWritten(const TSetOfBitmapsItem& item, const TWrittenImage& written) {
  const TCodedImage& coded = *written.Coded;
  TGifSubImage& image = gif_->AddCodedGraphic(written.Plan, coded.Width, coded.Height, coded.Data);
  SetAttributes(image, item, written.TransparentColor);
  return image;
}

void TGifAssembler::SetAttributes(TGifSubImage& image, const TSetOfBitmapsItem& item, TColor transparentColor) {
  image.SetDelay(std::clamp(item.Delay, 0, kMaxWord));
  // Positions are 16-bit words in the file.
  image.SetLeft(std::clamp(item.Left, 0, kMaxWord));
  image.SetTop(std::clamp(item.Top, 0, kMaxWord));
  image.SetDisposal(item.Disposal);
  image.SetInterlaced(item.Interlaced() != 0);
  if (item.Transparent != 0) SetTransparentIndexOf(image, transparentColor);
  if (gif_->ImageCount() == 1 && frameCount_ > 1 && options_.LoopCount != 0) SetLoopBlock(image, options_.LoopCount);
}

TWrittenImagePlanner::TWrittenImagePlanner(const TGifAssemblyOptions& options) {
  gif_.SetDifferentPalettes(options.LocalColorTables);
}

std::shared_ptr<const TWrittenImage> TWrittenImagePlanner::Plan(const TGifSubImage& image,
                                                                const TGifFile::TGraphicPlan& made,
                                                                const std::vector<TColor>& palette,
                                                                std::shared_ptr<const TCodedImage> coded,
                                                                TColor transparentColor) {
  if (!coded || image.Pixels() == nullptr) return nullptr;
  // Frames after the first share the global table the first one settled.
  if (!global_ || !SameEntries(*global_, gif_.GlobalTable())) global_ = std::make_shared<const TColorTable>(gif_.GlobalTable());
  auto written = std::make_shared<TWrittenImage>();
  written->Plan = gif_.PlanGraphic(palette, made.order, gif_.GlobalTable());
  written->GlobalBefore = global_;
  written->LocalColorTables = gif_.DifferentPalettes();
  written->TransparentColor = transparentColor;
  TGifSubImage& planned = gif_.AddCodedGraphic(written->Plan, coded->Width, coded->Height, TByteBuffer());
  const bool same = std::all_of(made.order.begin(), made.order.end(),
                                [&](std::uint8_t index) { return written->Plan.final[index] == index; });
  if (same && planned.LzwMinCodeSize() == coded->MinCodeSize) {
    written->Coded = std::move(coded);
  } else {
    const TByteArray2D& pixels = *image.Pixels();
    auto matrix = std::make_unique<TByteArray2D>(pixels.Width(), pixels.Height());
    const std::uint8_t* from = pixels.Data();
    std::uint8_t* to = matrix->Data();
    for (std::int64_t i = 0; i < pixels.Size(); ++i) to[i] = written->Plan.final[from[i]];
    planned.SetPixels(std::move(matrix));
    planned.SetInterlaced(coded->Interlaced);
    planned.Encode();
    auto recoded = std::make_shared<TCodedImage>();
    recoded->Data = planned.LzwData();
    recoded->MinCodeSize = planned.LzwMinCodeSize();
    recoded->Width = pixels.Width();
    recoded->Height = pixels.Height();
    recoded->Interlaced = coded->Interlaced;
    written->Coded = std::move(recoded);
  }
  planned.DropPixels();
  return written;
}

TGifSubImage* TGifAssembler::AddComment() {
  if (options_.CommentLines.empty()) return nullptr;
  // A frame of its own after the images (images already written and dropped
  // hold no pixels, but they are no place for the comment).
  auto holder = std::make_unique<TGifSubImage>(gif_.get());
  holder->SetComments(GifCommentBlocks(options_.CommentLines));
  gif_->AddSubImage(std::move(holder));
  return gif_->GetSubImage(gif_->ImageCount());
}

std::unique_ptr<TGifFile> CreateGifFile(TSetOfBitmaps& frames, const TGifAssemblyOptions& options,
                                        TExportProgress* progress) {
  if (frames.empty() || !FramesFitGif(frames)) return nullptr;
  TGifAssembler assembler(options, frames);
  const int last = static_cast<int>(frames.size()) - 1;
  ReportProgress(progress, 0, last);
  for (int k = 0; k <= last; ++k) {
    TSetOfBitmapsItem& item = *frames[static_cast<std::size_t>(k)];
    assembler.Add(item);
    ReportProgress(progress, k, last);
    ReleaseFramePicture(item);
    if (CancelFlag != 0) break;
  }
  assembler.AddComment();
  return assembler.Take();
}

// ---- Coded images kept for the next write ---------------------------------------------------

namespace {

// Two independent 64-bit hashes of the bytes, folded word by word: a pair
// of different images sharing both is not to be expected.
void HashBytes(const std::uint8_t* data, std::size_t size, std::uint64_t& a, std::uint64_t& b) {
  constexpr std::uint64_t kMulA = 0x9E3779B97F4A7C15ull, kMulB = 0xC2B2AE3D27D4EB4Full;
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, data + i, 8);
    a = std::rotl((a ^ word) * kMulA, 31);
    b = (b + word) * kMulB;
    b ^= b >> 29;
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, data + i, size - i);
  a = std::rotl((a ^ tail ^ size) * kMulA, 31);
  b = ((b + tail) ^ size) * kMulB;
  a ^= a >> 32;
  b ^= b >> 32;
}

}  // namespace

TCodedImageCache::TKey TCodedImageCache::KeyOf(const TGifSubImage& image) {
  const TByteArray2D& pixels = *image.Pixels();
  TKey key;
  key.a = (static_cast<std::uint64_t>(pixels.Width()) << 32) | static_cast<std::uint32_t>(pixels.Height());
  key.b = (static_cast<std::uint64_t>(image.LzwMinCodeSize()) << 8) | (image.Interlaced() ? 1u : 0u);
  HashBytes(pixels.Data(), static_cast<std::size_t>(pixels.Size()), key.a, key.b);
  return key;
}

std::shared_ptr<const TCodedImage> TCodedImageCache::Remember(const TGifSubImage& image) {
  if (image.Pixels() == nullptr || image.LzwData().Count() == 0) return nullptr;
  std::shared_ptr<const TCodedImage>& kept = coded_[KeyOf(image)];
  if (!kept) {
    auto coded = std::make_shared<TCodedImage>();
    coded->Data = image.LzwData();
    coded->MinCodeSize = image.LzwMinCodeSize();
    coded->Width = image.Pixels()->Width();
    coded->Height = image.Pixels()->Height();
    coded->Interlaced = image.Interlaced();
    kept = std::move(coded);
  }
  return kept;
}

bool TCodedImageCache::Reuse(TGifSubImage& image) const {
  if (image.Pixels() == nullptr || image.LzwData().Count() != 0) return false;
  const auto hit = coded_.find(KeyOf(image));
  if (hit == coded_.end()) return false;
  image.LzwData() = hit->second->Data;
  return true;
}

// ---- Pictures kept as their coded data --------------------------------------------------------

void TCodedPicture::KeepCoded(std::shared_ptr<const TCodedImage> coded) {
  if (!coded || coded->Width != Width() || coded->Height != Height() || PixelFormat() != pf8bit) return;
  coded_ = std::move(coded);
  ReleaseToCode();
}

void TCodedPicture::ReleaseToCode() const {
  if (coded_ && HasImage() && !Empty()) const_cast<TCodedPicture*>(this)->FreeImage();
}

void TCodedPicture::BeforeAccess(bool mutating) const {
  if (decoding_) return;
  if (coded_ && !HasImage()) Decode();
  // A change leaves the coded data behind for good.
  if (mutating) {
    coded_.reset();
    written_.reset();
  }
  TMinGDIBitmap::BeforeAccess(mutating);
}

void TCodedPicture::Decode() const {
  auto* self = const_cast<TCodedPicture*>(this);
  decoding_ = true;
  try {
    const int width = coded_->Width, height = coded_->Height;
    const std::int64_t count = static_cast<std::int64_t>(width) * height;
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(count), 0);
    const std::vector<std::uint8_t>& data = coded_->Data.Bytes();
    LzwDecode(data.data(), static_cast<std::int64_t>(data.size()), coded_->MinCodeSize, indices.data(), count);
    self->SetSize(width, height);
    std::vector<int> rows;
    if (coded_->Interlaced) rows = InterlacedRowOrder(height);
    for (int k = 0; k < height; ++k) {
      const int y = coded_->Interlaced ? rows[static_cast<std::size_t>(k)] : k;
      std::memcpy(self->ScanLine(y), indices.data() + static_cast<std::int64_t>(k) * width, static_cast<std::size_t>(width));
    }
    self->SetModified(false);
  } catch (...) {
    decoding_ = false;
    throw;
  }
  decoding_ = false;
}

void ReleaseFramePicture(const TSetOfBitmapsItem& item) {
  if (!item.Bitmap) return;
  if (const auto* coded = dynamic_cast<const TCodedPicture*>(item.Bitmap.get()); coded != nullptr && coded->IsCoded()) {
    coded->ReleaseToCode();
    return;
  }
  item.Bitmap->SaveAndRelease();
}
