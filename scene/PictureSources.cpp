// Picture files and kept sources: the GIF, JPEG and AVI pictures of frames
// and of the background, and the GIF animations and AVI clips that play
// inside a frame.
#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "imaging/utils.h"
#include "platform/Messages.h"
#include "platform/Numeric.h"
#include "platform/SystemValues.h"
#include "platform/UiServices.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/UndoRecorder.h"

void TGifFileDeleter::operator()(TGifFile* gif) const { delete gif; }
void TAVIImageDeleter::operator()(TAVIImage* clip) const { delete clip; }

namespace {

// An integer with thousands separators, as the "###,###" format shows it
// (nothing for 0).
std::string FormatThousands(std::int64_t value) {
  if (value == 0) return "";
  std::string digits = std::to_string(value < 0 ? -value : value);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return value < 0 ? "-" + out : out;
}

}  // namespace

// ---- Kept sources of a frame ------------------------------------------------------------

bool TFrame::HasSource() const { return SourceKept != 0; }

void TFrame::DropSource() {
  SourceKept = 0;
  KeptStream.Clear();
  gifSource_.reset();
  aviSource_.reset();
}

bool TFrame::PlaysKeptSource() const {
  if (SourceKept == 0) return false;
  return (gifSource_ != nullptr && gifSource_->ImageCount() > 1) || aviSource_ != nullptr;
}

bool TFrame::TakeSourceWrap() {
  if (gifSource_ != nullptr) return gifSource_->TakeLooped();
  if (aviSource_ != nullptr) return aviSource_->TakeLooped();
  return false;
}

void TFrame::RestartSourceAfterWrap() {
  if (gifSource_ != nullptr) gifSource_->SetFrameCounter(1);
  if (aviSource_ != nullptr) aviSource_->SetLooped(false);
}

void TFrame::ShowFirstClipFrame() {
  if (SourceKept == 0 || aviSource_ == nullptr) return;
  try {
    aviSource_->DrawFrame(1, DisplayImage);
  } catch (const std::exception&) {
    // The clip keeps showing what it showed.
  }
  aviSource_->SetLooped(false);
}

void TFrame::ReleaseImages() {
  ReleaseFrameImage(DisplayImage);
  ReleaseFrameImage(Picture);
  ReleaseFrameImage(Mask);
  shadowMask_.reset();
  scaledPicture_.reset();
  if (gifSource_ != nullptr) {
    for (int i = 1; i <= gifSource_->ImageCount(); ++i) {
      TGifSubImage* image = gifSource_->GetSubImage(i);
      if (image == nullptr || image->Pixels() == nullptr) continue;
      if (TBitmap* bitmap = image->GetBitmap()) ReleaseFrameImage(*bitmap);
    }
  }
}

void TFrame::AdvanceSource(int n) {
  ImageChanged = 0;
  if (SourceKept == 0) return;
  if (SourceKind == fskGif && gifSource_ != nullptr && gifSource_->ImageCount() > 1) {
    AdvanceGif(n);
  } else if (SourceKind == fskAvi && aviSource_ != nullptr) {
    AdvanceAvi(n);
  }
}

void TFrame::AdvanceGif(int n) {
  RestoreFrameImage(DisplayImage);
  TGifFile& gif = *gifSource_;
  auto drawNext = [&] {
    gif.DrawNextFrame(DisplayImage);
    ImageChanged = 1;
  };
  try {
    if (n != -1) {
      gif.GetFrameBitmap(n, DisplayImage);
      ImageChanged = 1;
      return;
    }
    const TGifSubImage* last = gif.GetSubImage(gif.LastComposedFrame());
    int delay = last != nullptr ? last->GetDelay() : 0;
    if (delay < 5) delay = 5;
    const TAnimatedScene* scene = Scene();
    const int interval = scene != nullptr ? const_cast<TAnimatedScene*>(scene)->Timer().Interval() : 0;
    if (interval <= 0) {
      drawNext();
      return;
    }
    // GIF images per scene step.
    const double rate = (100.0 / delay) / (1000.0 / interval);
    if (rate > 1) {
      drawNext();
    } else if (rate > 0) {
      SubFrameCounter = SubFrameCounter + 1;
      if (SubFrameCounter >= Round(1 / rate)) {
        drawNext();
        SubFrameCounter = 0;
      }
    } else {
      drawNext();
    }
  } catch (const std::exception&) {
    ReleaseFrameImage(DisplayImage);
  }
}

void TFrame::AdvanceAvi(int n) {
  RestoreFrameImage(DisplayImage);
  TAVIImage& clip = *aviSource_;
  clip.SetLooped(false);
  try {
    if (n != -1) {
      clip.DrawFrame(n, DisplayImage);
      ImageChanged = 1;
      clip.SetLooped(false);
    } else if (clip.FrameRate() > 0) {
      const std::uint32_t elapsed = System().TickCount() - clip.StartTick();
      const std::int32_t p = Round(elapsed / (1000.0 / clip.FrameRate()));
      if (p == clip.CurrentFrame()) {
        // The frame due now is the one shown.
      } else if (p <= 1) {
        clip.NextFrame(DisplayImage);
        ImageChanged = 1;
      } else if (p < clip.FrameCount()) {
        clip.DrawFrame(p, DisplayImage);
        ImageChanged = 1;
      } else if (clip.CurrentFrame() == 1) {
        clip.DrawFrame(1, DisplayImage);
      } else {
        // Past the end: the sprite moves on, or a lone frame starts the clip again.
        clip.SetLooped(true);
        if (sprite_ != nullptr && sprite_->FrameCount() <= 1) clip.DrawFrame(1, DisplayImage);
      }
    } else {
      clip.NextFrame(DisplayImage);
      ImageChanged = 1;
    }
  } catch (const std::exception&) {
    // The clip keeps showing what it showed.
  }
  DisplayImage.SetPixelFormat(pf24bit);
  ReleaseFrameImage(DisplayImage);
}

void TFrame::LoadJpegSource(TJPEGImage& jpeg, bool transparent, TColor color) {
  DropSource();
  try {
    const std::vector<std::uint8_t>& bytes = jpeg.JPEGBytes();
    KeptStream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    Picture.Assign(&jpeg.Bitmap());
    SetPicture(Picture, transparent, color, -1, -1);
    SourceKind = fskJpeg;
    SourceKept = 1;
  } catch (const std::exception&) {
    KeptStream.Clear();
    SourceKept = 0;
  }
}

void TFrame::LoadGifSource(TGifFilePtr gif, bool transparent, TColor color) {
  DropSource();
  try {
    gif->GetFrameBitmap(1, Picture);
    SetPicture(Picture, transparent, color, -1, -1);
    gifSource_ = std::move(gif);
    SourceKind = fskGif;
    SourceKept = 1;
  } catch (const std::exception&) {
    DropSource();
  }
}

void TFrame::LoadAviSource(TAVIImagePtr clip, bool transparent, TColor color) {
  DropSource();
  try {
    clip->DrawFrame(1, Picture);
    SetPicture(Picture, transparent, color, -1, -1);
    aviSource_ = std::move(clip);
    SourceKind = fskAvi;
    SourceKept = 1;
  } catch (const std::exception&) {
    DropSource();
  }
}

void TFrame::CopySourceFrom(const TFrame& other) {
  try {
    if (other.SourceKind == fskJpeg) {
      const std::vector<std::uint8_t>& bytes = other.KeptStream.Bytes();
      KeptStream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
      SourceKept = 1;
    } else if (other.SourceKind == fskGif && other.gifSource_ != nullptr) {
      TMemoryStream buffer;
      other.gifSource_->SaveToStream(buffer);
      buffer.SetPosition(0);
      TGifFilePtr gif(new TGifFile());
      gif->LoadFromStream(buffer);
      gifSource_ = std::move(gif);
      SourceKept = 1;
    }
    else if (other.SourceKind == fskAvi && other.aviSource_ != nullptr) {
      TMemoryStream buffer;
      other.aviSource_->SaveToStream(buffer);
      buffer.SetPosition(0);
      TAVIImagePtr clip(new TAVIImage());
      clip->LoadFromStream(buffer);
      aviSource_ = std::move(clip);
      SourceKept = 1;
    }
  } catch (const std::exception&) {
    // The copy shows its picture without the source.
    DropSource();
  }
}

// ---- Picture files of a sprite ---------------------------------------------------------------

int TSprite::AddGifFile(const std::string& fileName, bool /*transparent*/, TColor /*color*/, int first, int count,
                        bool keepSource) {
  RecordSpriteUndo("Add .GIF Frame", uokSpriteInPlace, false, 0);
  TGifFilePtr gif(new TGifFile());
  gif->LoadFromFile(fileName);
  if (gif->ImageCount() == 0) return -1;
  if (keepSource) {
    const TGifSubImage* image = gif->GetSubImage(1);
    const bool imageTransparent = image->Transparent();
    const TColor imageColor = image->GetTransparentColor();
    const int index = AppendFrame();
    TFrame& frame = Frame(index);
    frame.LoadGifSource(std::move(gif), imageTransparent, imageColor);
    frame.Kind = fkPicture;
    frame.SetFileName(fileName);
    return index;
  }
  if (first < 1) first = 1;
  const int imageCount = gif->ImageCount();
  if (first > imageCount) return -1;
  const int last = count < 1 ? imageCount : std::min<std::int64_t>(static_cast<std::int64_t>(first) + count - 1,
                                                                    imageCount);
  const TGifSubImage* firstImage = gif->GetSubImage(first);
  const bool imageTransparent = firstImage->Transparent();
  const TColor imageColor = firstImage->GetTransparentColor();
  const HWND notify = scene_ != nullptr ? scene_->NotifyWindow : 0;
  const int interval = scene_ != nullptr ? scene_->Timer().Interval() : 0;
  SendMessage(notify, WM_LOADPROGRESS, 0, 1);
  int result = -1;
  TBitmap composed;
  for (int i = first; i <= last; ++i) {
    if (CancelFlag != 0) break;
    // The first image is composed from the start of the animation, the others follow on.
    if (i == first) {
      gif->GetFrameBitmap(first, composed);
    } else {
      gif->DrawNextFrame(composed);
    }
    result = AppendFrame();
    TFrame& frame = Frame(result);
    frame.SetPicture(composed, imageTransparent, imageColor, -1, -1);
    frame.Kind = fkPicture;
    frame.SetFileName(fileName);
    if (interval != 0) {
      int duration = Round(gif->GetSubImage(i)->GetDelay() / static_cast<double>(interval) * 10);
      if (duration < 1) duration = 4;
      frame.StoreDuration(duration);
    }
    SendMessage(notify, WM_LOADPROGRESS, static_cast<WPARAM>(i), last);
  }
  SendMessage(notify, WM_LOADPROGRESS, 1, 1);
  return result;
}

int TSprite::AddJpegFile(const std::string& fileName, bool transparent, TColor color) {
  RecordSpriteUndo("Add .JPG Image", uokSpriteInPlace, false, 0);
  TJPEGImage jpeg;
  jpeg.SetFileName(fileName);
  const int index = AppendFrame();
  TFrame& frame = Frame(index);
  frame.LoadJpegSource(jpeg, transparent, color);
  frame.Kind = fkPicture;
  frame.SetFileName(fileName);
  return index;
}

int TSprite::AddAviFile(const std::string& fileName, bool transparent, TColor color, int first, int count,
                        bool keepSource) {
  RecordSpriteUndo("Add .AVI Frame", uokSpriteInPlace, false, 0);
  if (keepSource) {
    TAVIImagePtr clip(new TAVIImage());
    if (!clip->OpenFile(fileName)) return -1;
    const int index = AppendFrame();
    TFrame& frame = Frame(index);
    frame.LoadAviSource(std::move(clip), transparent, color);
    frame.Kind = fkPicture;
    frame.SetFileName(fileName);
    return index;
  }
  TAVIObject avi;
  const PAVIFILE file = avi.OpenAVIFile(fileName);
  const PAVISTREAM stream = avi.OpenVideoStream(file);
  int result = -1;
  if (stream != 0) {
    if (first == -1) first = 1;
    if (count == -1) count = 1;
    result = AddAviFrames(avi, fileName, transparent, color, first, count);
    avi.CloseVideoStream(stream);
  }
  avi.CloseAVIFile(file);
  return result;
}

int TSprite::AddAviFrames(TAVIObject& avi, const std::string& fileName, bool transparent, TColor color, int first,
                          int count) {
  // The memory all frames take as bitmaps, against the machine's memory.
  std::unique_ptr<TBitmap> sample = avi.GetFrameBitmap(first);
  const double frameBytes = static_cast<double>(sample->RowBytes()) * sample->Height() + 54;
  const double needed = frameBytes * (count - 1);
  if (needed > static_cast<double>(System().PhysicalMemory())) {
    const std::string text = "Unsufficient memory to load AVI file. You need at least " +
                             FormatThousands(Round64(needed / (1024.0 * 1024.0))) +
                             " MB of RAM to load whole file.\rPlease try to load the file partially or add some "
                             "physical memory into your computer.\rDo you want to proceed anyway?";
    const HWND owner = scene_ != nullptr ? scene_->OwnerWindow : 0;
    if (Ui().MessageBox(owner, text, "Warning", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) return -1;
  }
  const HWND notify = scene_ != nullptr ? scene_->NotifyWindow : 0;
  const int interval = scene_ != nullptr ? scene_->Timer().Interval() : 0;
  const int last = first + count - 1;
  SendMessage(notify, WM_LOADPROGRESS, 0, 1);
  int result = -1;
  for (int i = first; i <= last; ++i) {
    if (CancelFlag != 0) break;
    std::unique_ptr<TBitmap> picture = avi.GetFrameBitmap(i);
    result = AppendFrame();
    TFrame& frame = Frame(result);
    frame.SetPicture(*picture, transparent, color, -1, -1);
    frame.SetFileName(fileName);
    frame.Kind = fkPicture;
    if (interval != 0 && avi.FrameRate() != 0) frame.StoreDuration(Round(1000.0 / interval / avi.FrameRate()));
    SendMessage(notify, WM_LOADPROGRESS, static_cast<WPARAM>(i), last);
  }
  SendMessage(notify, WM_LOADPROGRESS, 1, 1);
  return result;
}

// ---- Background picture ------------------------------------------------------------------------

void TAnimatedScene::LoadBackgroundPicture(const std::string& fileName) {
  try {
    const std::string extension = UpperCaseAscii(ExtractFileExt(fileName));
    if (extension == ".BMP") {
      BackgroundPicture.LoadFromFile(fileName);
    } else if (extension == ".GIF") {
      TGifFile gif;
      gif.LoadFromFile(fileName);
      for (int i = 1; i <= gif.ImageCount(); ++i) {
        TGifSubImage* image = gif.GetSubImage(i);
        if (image->Pixels() == nullptr) continue;
        if (TBitmap* bitmap = image->GetBitmap()) {
          BackgroundPicture.Assign(bitmap);
          break;
        }
      }
    } else if (extension == ".JPG") {
      TJPEGImage jpeg;
      jpeg.SetFileName(fileName);
      BackgroundPicture.Assign(&jpeg.Bitmap());
    }
    else if (extension == ".AVI") {
      TAVIObject avi;
      const PAVIFILE file = avi.OpenAVIFile(fileName);
      const PAVISTREAM stream = avi.OpenVideoStream(file);
      if (stream != 0) {
        std::unique_ptr<TBitmap> frame = avi.GetFrameBitmap(0);
        BackgroundPicture.Assign(frame.get());
        avi.CloseVideoStream(stream);
      }
      avi.CloseAVIFile(file);
    }
  } catch (const std::exception&) {
    // The background keeps its previous picture.
  }
}
