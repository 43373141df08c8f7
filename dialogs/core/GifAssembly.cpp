#include "dialogs/core/GifAssembly.h"

#include "dialogs/core/ExportProgress.h"
#include "imaging/GifUnit.h"
#include "imaging/MinGDIBitmapU.h"
#include "imaging/utils.h"
#include "platform/UiServices.h"

#include <algorithm>
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

std::unique_ptr<TGifFile> CreateGifFile(TSetOfBitmaps& frames, const TGifAssemblyOptions& options,
                                        TExportProgress* progress) {
  if (frames.empty()) return nullptr;
  for (const auto& item : frames) {
    if (!item->Bitmap || item->Bitmap->PixelFormat() != pf8bit) {
      Ui().MessageBox(0, SGifNeeds256Colors, "Information", MB_ICONINFORMATION);
      return nullptr;
    }
  }
  auto gif = std::make_unique<TGifFile>();
  gif->SetDifferentPalettes(options.LocalColorTables);
  gif->SetProgressWindow(options.ProgressWindow);
  const int last = static_cast<int>(frames.size()) - 1;
  ReportProgress(progress, 0, last);
  for (int k = 0; k <= last; ++k) {
    TSetOfBitmapsItem& item = *frames[static_cast<std::size_t>(k)];
    gif->AddGraphic(*item.Bitmap);
    ReportProgress(progress, k, last);
    TGifSubImage& image = *gif->GetSubImage(gif->ImageCount());
    image.SetDelay(std::clamp(item.Delay, 0, kMaxWord));
    // Positions are 16-bit words in the file.
    image.SetLeft(std::clamp(item.Left, 0, kMaxWord));
    image.SetTop(std::clamp(item.Top, 0, kMaxWord));
    image.SetDisposal(item.Disposal);
    image.SetInterlaced(item.Interlaced() != 0);
    if (item.Transparent != 0) SetTransparentIndexOf(image, item.Bitmap->TransparentColor());
    item.Bitmap->SaveAndRelease();
    if (CancelFlag != 0) break;
  }
  if (gif->ImageCount() > 1 && options.LoopCount != 0) SetLoopBlock(*gif->GetSubImage(1), options.LoopCount);
  if (!options.CommentLines.empty()) gif->SetComments(GifCommentBlocks(options.CommentLines));
  return gif;
}
