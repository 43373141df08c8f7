#include "dialogs/core/ExportEngine.h"

#include "dialogs/core/ExportProgress.h"
#include "dialogs/core/GifAssembly.h"
#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "imaging/MinGDIBitmapU.h"
#include "imaging/resample.h"
#include "imaging/utils.h"
#include "platform/Numeric.h"
#include "platform/Streams.h"
#include "platform/UiServices.h"
#include "scene/Moving.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <algorithm>
#include <chrono>
#include <cstring>

const char* const SCannotCreateGifFile = "Cannot create GIF file";

namespace {

// Adds the seconds between its creation and its end to a stage time.
class TStageTimer {
 public:
  explicit TStageTimer(double& total) : total_(total), start_(std::chrono::steady_clock::now()) {}
  ~TStageTimer() { total_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }
  TStageTimer(const TStageTimer&) = delete;
  TStageTimer& operator=(const TStageTimer&) = delete;

 private:
  double& total_;
  std::chrono::steady_clock::time_point start_;
};

// Ends a long step's progress display however the step ends.
struct TProgressEnd {
  TExportProgress* progress;
  ~TProgressEnd() { ReportProgress(progress, 1, 1); }
};

bool Cancelled() { return CancelFlag != 0; }

// A scene that has played its last loop composes nothing; an export steps
// it all the same.
void AllowComposition(TAnimatedScene& scene) {
  if (scene.LoopsLeft == 0) scene.LoopsLeft = 1;
}

}  // namespace

// ---- The scene while it is exported --------------------------------------------------------------

// Puts a scene-sized work bitmap in place of the scene's output bitmap and
// stops its playback; at the end puts back the output bitmap, the flags, the
// playback state and the step shown, and redraws that step.
class TExportEngine::SceneSession {
 public:
  SceneSession(TAnimatedScene& scene, bool resampled, std::function<void()> afterRestore)
      : scene_(scene),
        afterRestore_(std::move(afterRestore)),
        resampled_(scene.ResampledStretching),
        output_(scene.OutputBitmap),
        step_(scene.CurrentStep),
        loopsLeft_(scene.LoopsLeft),
        loopsDone_(scene.LoopsDone),
        sound_(scene.SoundEnabled),
        notifyWindow_(scene.NotifyWindow),
        playing_(scene.Timer().Enabled()) {
    // A playing scene would step on while the export lets events run.
    scene.Timer().SetEnabled(false);
    scene.NotifyWindow = 0;
    scene.SoundEnabled = 0;
    scene.ResampledStretching = resampled ? 1 : 0;
    work_.SetPixelFormat(pf24bit);
    work_.SetSize(std::max(scene.Width, 1), std::max(scene.Height, 1));
    scene.OutputBitmap = &work_;
  }

  ~SceneSession() {
    scene_.ResampledStretching = resampled_;
    scene_.OutputBitmap = output_;
    scene_.NotifyWindow = notifyWindow_;
    try {
      scene_.GotoFrame(step_);
      scene_.BackgroundDrawn = 0;
      AllowComposition(scene_);
      scene_.NextFrame();
    } catch (const std::exception&) {
      // The step shown is redrawn at the next composition.
    }
    scene_.LoopsLeft = loopsLeft_;
    scene_.LoopsDone = loopsDone_;
    scene_.SoundEnabled = sound_;
    scene_.Timer().SetEnabled(playing_);
    if (afterRestore_) {
      try {
        afterRestore_();
      } catch (const std::exception&) {
      }
    }
  }
  SceneSession(const SceneSession&) = delete;
  SceneSession& operator=(const SceneSession&) = delete;

  TBitmap& Work() { return work_; }

 private:
  TAnimatedScene& scene_;
  std::function<void()> afterRestore_;
  std::uint8_t resampled_;
  TBitmap* output_;
  std::int32_t step_;
  std::int32_t loopsLeft_;
  std::int32_t loopsDone_;
  std::uint8_t sound_;
  HWND notifyWindow_;
  bool playing_;
  TBitmap work_;
};

// ---- Set-up ------------------------------------------------------------------------------------------

TExportEngine::TExportEngine(TAnimatedScene& scene, TExportSettings& settings)
    : OutputWidth(std::max(scene.Width, 1)), OutputHeight(std::max(scene.Height, 1)), scene_(scene), settings_(settings) {
  CustomPalette.palVersion = 0;
  CustomPalette.palNumEntries = 0;
}

TExportEngine::~TExportEngine() = default;

void TExportEngine::SetExportName(const std::string& name) {
  exportName_ = name;
  format_ = ExportFormatOfName(exportName_);
  if (format_ == efBmp || (format_ == efJpg && settings_.WholeAnimation != 0)) {
    SetWholeAnimation(false);
    settings_.NumberOfFrames = 1;
  }
}

void TExportEngine::SetWholeAnimation(bool whole) {
  settings_.WholeAnimation = whole ? 1 : 0;
  if (whole) {
    settings_.NumberOfFrames = std::max(scene_.StepCount, 1);
    settings_.FirstStep = 1;
  }
}

int TExportEngine::FirstStep() const {
  if (settings_.WholeAnimation != 0) return 1;
  return std::clamp(settings_.FirstStep, 1, std::max(scene_.StepCount, 1));
}

int TExportEngine::StepsToExport() const {
  const int steps = std::max(scene_.StepCount, 1);
  if (settings_.WholeAnimation != 0) return steps;
  return std::clamp(settings_.NumberOfFrames, 1, steps);
}

// ---- Rendering ---------------------------------------------------------------------------------------

void TExportEngine::PrepareFirstStep() {
  scene_.GotoFrame(1);
  scene_.BackgroundDrawn = 0;
  for (int i = 0; i < scene_.SpriteCount(); ++i) scene_.Sprite(i).Motion().PrepareSteps(&scene_.Sprite(i));
  // Showing step s takes GotoFrame (s + 1) and one composition.
  scene_.GotoFrame(FirstStep() + 1);
  scene_.BackgroundDrawn = 0;
  scene_.ClearSpriteRects();
}

void TExportEngine::RenderStep(bool first) {
  TStageTimer timer(Times.Render);
  if (first) {
    // Every sprite counts as changed, so that the first step is painted whole.
    for (int i = 0; i < scene_.SpriteCount(); ++i) {
      TSprite& sprite = scene_.Sprite(i);
      sprite.Hidden = 0;
      sprite.Motion().MarkMoved();
    }
  }
  AllowComposition(scene_);
  // A step that cannot be composed ends the export with its error: it is
  // never written half drawn.
  scene_.NextFrame();
  if (!scene_.DrawFailure.empty()) throw Exception(scene_.DrawFailure);
}

void TExportEngine::ScaleInto(const TBitmap& composed, TBitmap& scaled, double sx, double sy) {
  TStageTimer timer(Times.Resample);
  if (settings_.ResampleKind != 0 || (sx == 1.0 && sy == 1.0)) {
    scaled.Canvas().StretchDraw(Rect(0, 0, scaled.Width(), scaled.Height()), composed);
  } else {
    ResampleBitmapDefault(composed, scaled, false, 0);
  }
}

namespace {

double ScaleOf(int output, int scene) { return scene < 1 ? 1.0 : static_cast<double>(output) / scene; }

}  // namespace

TSize TExportEngine::FrameSize() const {
  const double sx = ScaleOf(std::max(OutputWidth, 1), scene_.Width);
  const double sy = ScaleOf(std::max(OutputHeight, 1), scene_.Height);
  return {std::max(Round(scene_.Width * sx), 1), std::max(Round(scene_.Height * sy), 1)};
}

void TExportEngine::RenderSteps(const std::function<void(std::unique_ptr<TSetOfBitmapsItem>)>& take) {
  SceneSession session(scene_, settings_.ResampleKind == 0, RequestSceneRecompute);
  PrepareFirstStep();
  ReportLabel(Progress, "Creating Frames...");
  ReportProgress(Progress, 0, 1);
  const double sx = ScaleOf(std::max(OutputWidth, 1), scene_.Width);
  const double sy = ScaleOf(std::max(OutputHeight, 1), scene_.Height);
  const TSize size = FrameSize();
  const int count = StepsToExport();
  const int delay = GifDelayOfStepTime(scene_.Timer().Interval());
  for (int i = 0; i < count && !Cancelled(); ++i) {
    RenderStep(i == 0);
    auto item = std::make_unique<TSetOfBitmapsItem>();
    if (size.cx == session.Work().Width() && size.cy == session.Work().Height()) {
      // At the scene's own size the frame is the composition as it stands.
      TStageTimer timer(Times.Resample);
      item->Bitmap->Assign(&session.Work());
      if (!item->Bitmap->Palette().IsNone()) item->Bitmap->SetPalette(TPalette());
    } else {
      item->Bitmap->SetPixelFormat(pf24bit);
      item->Bitmap->SetSize(size.cx, size.cy);
      ScaleInto(session.Work(), *item->Bitmap, sx, sy);
    }
    item->Delay = delay;
    item->Disposal = 0;
    take(std::move(item));
    ReportProgress(Progress, i, count - 1);
  }
}

void TExportEngine::CreateFrames() {
  CancelFlag = 0;
  frames_.clear();
  RenderSteps([this](std::unique_ptr<TSetOfBitmapsItem> item) {
    item->Bitmap->SaveAndRelease();
    frames_.push_back(std::move(item));
  });
}

void TExportEngine::PreviewStep(int step, TBitmap& picture) {
  TBusyCursor busy;
  // The preview composes as the export does, resampled sprites included.
  SceneSession session(scene_, settings_.ResampleKind == 0, nullptr);
  scene_.Rewind();
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(std::max(OutputWidth, 1), std::max(OutputHeight, 1));
  scene_.GotoFrame(step + 1);
  AllowComposition(scene_);
  scene_.RenderFrameToBitmap(settings_.ResampleKind != 0, picture);
}

// ---- GIF pipeline ------------------------------------------------------------------------------------

void TExportEngine::ApplySceneTransparency(TSetOfBitmapsItem& item) const {
  item.Transparent = 1;
  item.Bitmap->SetTransparentColor(ColorToRGB(scene_.TransparentColor) & 0xFFFFFF);
  item.Disposal = 2;
}

namespace {

// A stream that keeps nothing and counts what is written: the size of a GIF
// without the GIF.
class TByteCounter : public TStream {
 public:
  std::int64_t Read(void*, std::int64_t) override { return 0; }
  std::int64_t Write(const void*, std::int64_t count) override {
    position_ += count;
    size_ = std::max(size_, position_);
    return count;
  }
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
    const std::int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soEnd ? size_ : position_;
    position_ = std::max<std::int64_t>(0, base + offset);
    return position_;
  }

 private:
  std::int64_t position_ = 0;
  std::int64_t size_ = 0;
};

// The palette of a GIF image's picture as its BMP form reads back: the
// table's entries (all 256 when it has that many).
TPalette PaletteOfImage(const TGifSubImage& image) {
  const TColorTable& table = image.ActiveTable();
  const int used = table.Count() >= 1 && table.Count() < 256 ? table.Count() : 256;
  std::vector<TPaletteEntry> entries;
  entries.reserve(static_cast<std::size_t>(used));
  for (int i = 0; i < used; ++i) {
    const auto& t = table.Triple(i);
    entries.push_back({t[0], t[1], t[2], 0});
  }
  return TPalette(entries);
}

// The 8-bit picture of a GIF image: the image's indices with the table's
// colours and the image's transparent colour (without one, the bitmap's
// default, its bottom-left pixel).
std::unique_ptr<TCodedPicture> PictureOfImage(const TGifSubImage& image) {
  const TByteArray2D& pixels = *image.Pixels();
  auto picture = std::make_unique<TCodedPicture>();
  picture->SetPixelFormat(pf8bit);
  picture->SetPalette(PaletteOfImage(image));
  picture->SetSize(pixels.Width(), pixels.Height());
  for (int y = 0; y < pixels.Height(); ++y)
    std::memcpy(picture->ScanLine(y), pixels.Data() + static_cast<std::int64_t>(y) * pixels.Width(),
                static_cast<std::size_t>(pixels.Width()));
  picture->SetTransparent(false);
  const TColor key = image.GetTransparentColor();
  if (key != kNoTransparentColor) {
    picture->SetTransparentColor(key);
  } else {
    picture->SetTransparentMode(tmAuto);
  }
  picture->SetModified(false);
  return picture;
}

// Frees an image's coded data once it was written or taken: the file's data
// is kept once, by the frames and the cache of coded images.
void DropCodedData(TGifSubImage& image) {
  image.DropPixels();
  image.LzwData() = TByteBuffer();
}

}  // namespace

TGifAssemblyOptions TExportEngine::GifOptions() const {
  TGifAssemblyOptions options;
  options.LocalColorTables = UsesLocalColorTables(settings_.PaletteType);
  options.ProgressWindow = ProgressWindow;
  options.LoopCount = scene_.LoopCount;
  options.CommentLines = scene_.ReservedSettings.GifComment();
  return options;
}

void TExportEngine::TakeFrameFromGif(TSetOfBitmapsItem& item, TReadback& readback) {
  TStageTimer timer(Times.Readback);
  // Each frame becomes its image's decoded picture as soon as it is final;
  // the image is coded once, here, and so is the image that writing the
  // picture makes (mostly the same): the estimate and the file that
  // finishing writes take it as it is.
  if (!readback.assembler) {
    readback.assembler = std::make_unique<TGifAssembler>(GifOptions(), frames_);
    readback.planner = std::make_unique<TWrittenImagePlanner>(GifOptions());
  }
  TGifFile::TGraphicPlan made;
  TGifSubImage& image = readback.assembler->Add(item, &made);
  image.Encode();
  std::shared_ptr<const TCodedImage> coded = codedImages_.Remember(image);
  std::unique_ptr<TCodedPicture> picture = PictureOfImage(image);
  std::vector<TColor> palette;
  for (const TPaletteEntry& e : picture->Palette().Entries()) palette.push_back(ColorOf(e));
  picture->KeepWritten(readback.planner->Plan(image, made, palette, coded, picture->TransparentColor()));
  // The picture gives its pixels back until they are used.
  picture->KeepCoded(std::move(coded));
  item.Bitmap = std::move(picture);
  item.Transparent = image.Transparent() ? 1 : 0;
  DropCodedData(image);
}

bool TExportEngine::WriteGif(TStream& stream) {
  TStageTimer timer(Times.Encode);
  // Image by image: each is made, coded (or given the data the estimate
  // coded for the same pixels), written and dropped, so that no whole GIF
  // is ever kept.
  TGifAssembler assembler(GifOptions(), frames_);
  TGifFile& gif = assembler.Gif();
  const int last = static_cast<int>(frames_.size()) - 1;
  ReportProgress(Progress, 0, last);
  for (int k = 0; k <= last; ++k) {
    TSetOfBitmapsItem& item = *frames_[static_cast<std::size_t>(k)];
    // A frame as it was taken back is written as decided then.
    const TWrittenImage* written = assembler.WrittenImageOf(item);
    TGifSubImage& image = written != nullptr ? assembler.AddWritten(item, *written) : assembler.Add(item);
    ReportProgress(Progress, k, last);
    ReleaseFramePicture(item);
    if (k == 0) gif.WriteHeader(stream);
    const bool reused = written != nullptr || codedImages_.Reuse(image);
    gif.WriteSubImage(stream, k + 1);
    if (!reused) codedImages_.Remember(image);
    DropCodedData(image);
    if (ProgressWindow != 0)
      SendMessage(ProgressWindow, WM_IMAGEPROGRESS, static_cast<WPARAM>(k), static_cast<LPARAM>(last));
    if (Cancelled()) break;
  }
  if (!Cancelled() && assembler.AddComment() != nullptr) gif.WriteSubImage(stream, gif.ImageCount());
  // The trailer ends the file also when the write was cancelled.
  gif.WriteTrailer(stream);
  return !Cancelled();
}

TGifSizeEstimate TExportEngine::MeasureGif() {
  TGifSizeEstimate estimate;
  TByteCounter stream;
  // Images coded before (when the frames were taken back, or by an earlier
  // estimate) are not coded again; finishing writes them as they are.
  if (!WriteGif(stream)) {
    estimate.Outcome = TExportOutcome::Cancelled;
    return estimate;
  }
  const double size = static_cast<double>(stream.Size());
  const double change = PreviousGifSize > 0 ? size - PreviousGifSize : 0;
  PreviousGifSize = size;
  estimate.Bytes = stream.Size();
  estimate.SizeText = GifSizeText(size);
  estimate.ChangeText = SizeChangeText(change);
  estimate.TimeText = DownloadTimeText(size);
  return estimate;
}

namespace {

// The frames held for a palette shared by all frames keep only the
// rectangle in which they differ from the frame before (pixel for pixel),
// and are made whole again over the frames before them when handed on.
class TFrameDeltas {
 public:
  // The frame as rendered (the picture its colours count from), then cut to
  // what changed since the frame before; the first frame stays whole.
  const TBitmap& Cut(TSetOfBitmapsItem& item) {
    TMinGDIBitmap& bitmap = *item.Bitmap;
    if (last_.Empty() || last_.Width() != bitmap.Width() || last_.Height() != bitmap.Height()) {
      CopyWhole(last_, bitmap);
      return last_;
    }
    // Only the changed rectangle differs from the frame before.
    const TRect changed = ChangedRect(bitmap);
    const auto bytes = static_cast<std::size_t>(std::max(changed.Width(), 0)) * 3;
    for (int y = changed.Top; y < changed.Bottom; ++y)
      std::memcpy(last_.ScanLine(y) + 3 * static_cast<std::size_t>(changed.Left),
                  bitmap.ScanLine(y) + 3 * static_cast<std::size_t>(changed.Left), bytes);
    if (changed != Rect(0, 0, bitmap.Width(), bitmap.Height())) CutTo(bitmap, changed, item);
    return last_;
  }
  // The held frame drawn over the frames before it, whole again.
  void MakeWhole(TSetOfBitmapsItem& item) {
    TMinGDIBitmap& bitmap = *item.Bitmap;
    if (whole_.Empty()) {
      CopyWhole(whole_, bitmap);
      return;
    }
    const auto bytes = static_cast<std::size_t>(bitmap.Width()) * 3;
    for (int y = 0; y < bitmap.Height(); ++y)
      std::memcpy(whole_.ScanLine(item.Top + y) + 3 * static_cast<std::size_t>(item.Left), bitmap.ScanLine(y), bytes);
    item.Left = 0;
    item.Top = 0;
    CopyWhole(bitmap, whole_);
  }

 private:
  static void CopyWhole(TBitmap& target, const TBitmap& source) {
    target.SetPixelFormat(pf24bit);
    if (target.Width() != source.Width() || target.Height() != source.Height())
      target.SetSize(source.Width(), source.Height());
    const auto bytes = static_cast<std::size_t>(source.Width()) * 3;
    for (int y = 0; y < source.Height(); ++y) std::memcpy(target.ScanLine(y), source.ScanLine(y), bytes);
  }
  TRect ChangedRect(const TBitmap& bitmap) const {
    const int w = bitmap.Width();
    const auto bytes = static_cast<std::size_t>(w) * 3;
    int left = w, right = -1, top = -1, bottom = -1;
    for (int y = 0; y < bitmap.Height(); ++y) {
      const std::uint8_t* a = bitmap.ScanLine(y);
      const std::uint8_t* b = last_.ScanLine(y);
      if (std::memcmp(a, b, bytes) == 0) continue;
      if (top < 0) top = y;
      bottom = y;
      // The row differs: its first and last differing pixels, searched no
      // further than the columns already found.
      left = static_cast<int>(FirstDifferentByte(a, b, 3 * static_cast<std::size_t>(left)) / 3);
      const std::size_t from = 3 * static_cast<std::size_t>(right + 1);
      const std::size_t last = LastDifferentByte(a + from, b + from, bytes - from);
      if (last != bytes - from) right = static_cast<int>((from + last) / 3);
    }
    if (top < 0) return Rect(0, 0, 0, 0);
    return Rect(left, top, right + 1, bottom + 1);
  }
  static void CutTo(TMinGDIBitmap& bitmap, const TRect& r, TSetOfBitmapsItem& item) {
    const auto bytes = static_cast<std::size_t>(std::max(r.Width(), 0)) * 3;
    for (int row = 0; row < r.Height(); ++row)
      std::memmove(bitmap.ScanLine(row), bitmap.ScanLine(row + r.Top) + 3 * static_cast<std::size_t>(r.Left), bytes);
    bitmap.SetSize(std::max(r.Width(), 0), std::max(r.Height(), 0));
    item.Left = r.Left;
    item.Top = r.Top;
  }

  TBitmap last_;
  TBitmap whole_;
};

}  // namespace

bool TExportEngine::CreateReducedFrames() {
  frames_.clear();
  const bool sceneTransparent = scene_.TransparentBackground != 0;
  const int kind = PaletteKindOfType(settings_.PaletteType);
  const int colors = PaletteColorsOfType(settings_.PaletteType, settings_.NumberOfColors);
  TMaxLogPalette* custom = kind == pkCustom ? &CustomPalette : nullptr;
  // Every frame is mapped to the palette before the next one is compared
  // with what the viewer shows, so that the reductions decide on the
  // colours really shown: a pixel left as it is shows the palette's colour
  // drawn there before, never a colour only the rendered frames had.
  TFrameColorMapper mapper(kind, colors, custom, settings_.RemoveIdenticalPixels());
  TReadback readback;
  TFrameReducer::TSink kept = [&](std::unique_ptr<TSetOfBitmapsItem> item) {
    if (sceneTransparent && settings_.Shrink()) {
      item->Transparent = 1;
      item->Disposal = frames_.empty() ? 1 : 2;
    }
    // A transparent frame none of whose pixels has its colour shows no
    // transparent pixel, and no other colour may stand in for the key.
    if (item->Transparent != 0 && item->Bitmap->TransparentMode() != tmFixed) item->Transparent = 0;
    frames_.push_back(std::move(item));
    TakeFrameFromGif(*frames_.back(), readback);
  };
  TFrameReducer::TSink head = [&](std::unique_ptr<TSetOfBitmapsItem> item) {
    {
      TStageTimer timer(Times.Palette);
      mapper.Map(*item, nullptr);
    }
    kept(std::move(item));
  };
  const TSize size = FrameSize();
  std::unique_ptr<TFrameReducer> reducer;
  if (settings_.Shrink() || settings_.RemoveIdenticalFrames() || settings_.RemoveIdenticalPixels()) {
    TOptimizeOptions options;
    options.Shrink = settings_.Shrink();
    options.RemoveIdenticalFrames = settings_.RemoveIdenticalFrames();
    options.RemoveIdenticalPixels = settings_.RemoveIdenticalPixels();
    options.SceneTransparent = sceneTransparent;
    reducer = std::make_unique<TFrameReducer>(options, composition_, size.cx, size.cy, kept);
    reducer->SetMapper(&mapper);
    head = [&](std::unique_ptr<TSetOfBitmapsItem> item) {
      TStageTimer timer(Times.Optimize);
      reducer->Add(std::move(item));
    };
  }
  const auto finishReduction = [&] {
    TStageTimer timer(Times.Optimize);
    if (reducer) reducer->Finish();
  };

  // A palette shared by all frames weights each colour by what the viewer
  // sees over the whole animation: every frame is counted whole, as
  // rendered, and held until the palette is made; the reductions then run
  // over the held frames. Cropping changes the size of the file, never its
  // colours.
  TPaletteReduction holding(kind, colors, custom);
  const bool shared = holding.SharedByAllFrames();
  TFrameDeltas deltas;
  RenderSteps([&](std::unique_ptr<TSetOfBitmapsItem> item) {
    if (sceneTransparent) ApplySceneTransparency(*item);
    if (!shared) {
      head(std::move(item));
      return;
    }
    TStageTimer timer(Times.Palette);
    const TBitmap& rendered = deltas.Cut(*item);
    holding.Add(std::move(item), &rendered);
  });
  if (!shared) finishReduction();
  ReportProgress(Progress, 0, 1);
  ReportLabel(Progress, "Calculating Palette...");
  // Frames not reduced stay as they were rendered.
  const auto giveBack = [&] {
    TSetOfBitmaps rest;
    holding.GiveBack(rest);
    for (auto& item : rest) {
      deltas.MakeWhole(*item);
      frames_.push_back(std::move(item));
    }
  };
  if (Cancelled()) {
    giveBack();
    return false;
  }
  if (shared) {
    {
      TStageTimer timer(Times.Palette);
      mapper.SetSharedPalette(holding.MakeSharedPalette());
    }
    const int last = static_cast<int>(holding.HeldCount()) - 1;
    int done = 0;
    const bool complete = holding.HandOnHeld([&](std::unique_ptr<TSetOfBitmapsItem> item) {
      deltas.MakeWhole(*item);
      head(std::move(item));
      ReportProgress(Progress, done++, last);
    });
    finishReduction();
    if (!complete) {
      giveBack();
      return false;
    }
  }
  CurrentPlayerFrame = std::max(static_cast<int>(frames_.size()) - 1, 0);
  return true;
}

TGifSizeEstimate TExportEngine::BuildGifFrames(bool recalculateOnly) {
  PaletteProgressWindow = ProgressWindow;
  CancelFlag = 0;
  TProgressEnd end{Progress};
  TGifSizeEstimate cancelled;
  cancelled.Outcome = TExportOutcome::Cancelled;
  // New frames make new images; edited frames keep what still fits them.
  if (!recalculateOnly) codedImages_.Clear();

  // The frames are taken back from their GIF images as they are made.
  if (!recalculateOnly && !CreateReducedFrames()) return cancelled;

  ReportLabel(Progress, "Creating GIF image...");
  if (Cancelled()) return cancelled;
  const bool fit = !frames_.empty() && FramesFitGif(frames_);
  ReportProgress(Progress, 0, 1);
  if (Cancelled()) return cancelled;
  if (!fit) throw Exception(SCannotCreateGifFile);

  // The estimate is of the GIF that finishing writes: the one the frames
  // now make.
  ReportLabel(Progress, "Calculating result size...");
  return MeasureGif();
}

std::unique_ptr<TGifFile> TExportEngine::CreateGifFile() {
  TStageTimer timer(Times.Encode);
  return ::CreateGifFile(frames_, GifOptions(), Progress);
}

TMaxLogPalette TExportEngine::ReadPaletteFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
  TMaxLogPalette palette;
  LoadPaletteFile(stream, palette);
  palette.palVersion = 0x300;
  palette.palNumEntries = 256;
  return palette;
}

// ---- Writing ----------------------------------------------------------------------------------------------

TExportOutcome TExportEngine::Finish() {
  switch (format_) {
    case efBmp: return ExportBmpSeries();
    case efJpg: return ExportJpegSeries();
    case efAvi: return ExportAvi();
    case efGif:
    default: return SaveGif();
  }
}

TExportOutcome TExportEngine::SaveGif() {
  CancelFlag = 0;
  TProgressEnd end{Progress};
  ReportLabel(Progress, "Creating GIF image...");
  ReportProgress(Progress, 0, 1);
  if (frames_.empty() || !FramesFitGif(frames_)) return TExportOutcome::NothingWritten;
  ReportLabel(Progress, "Saving to the file...");
  ReportProgress(Progress, 0, 1);
  // The file takes the target's place only when the whole GIF is written: a
  // cancelled or failed write leaves the file that stood there.
  TReplacingFile file(Base() + ".gif");
  if (!WriteGif(file.Stream())) return TExportOutcome::Cancelled;
  file.Commit();
  return TExportOutcome::Done;
}

TExportOutcome TExportEngine::ExportBmpSeries() {
  CreateFrames();
  if (Cancelled()) return TExportOutcome::Cancelled;
  if (frames_.empty()) return TExportOutcome::NothingWritten;
  TProgressEnd end{Progress};
  const int count = static_cast<int>(frames_.size());
  const std::string base = Base();
  ReportProgress(Progress, 0, count - 1);
  for (int i = 0; i < count; ++i) {
    TBitmap picture;
    picture.Assign(frames_[static_cast<std::size_t>(i)]->Bitmap.get());
    frames_[static_cast<std::size_t>(i)]->Bitmap->SaveAndRelease();
    TReplacingFile file(SeriesFileName(base, i, count, ".bmp"));
    picture.SaveToStream(file.Stream());
    file.Commit();
    ReportProgress(Progress, i, count - 1);
    if (Cancelled()) return TExportOutcome::Cancelled;
  }
  return TExportOutcome::Done;
}

TExportOutcome TExportEngine::ExportJpegSeries() {
  CancelFlag = 0;
  if (frames_.empty()) return TExportOutcome::NothingWritten;
  TProgressEnd end{Progress};
  const int count = static_cast<int>(frames_.size());
  const std::string base = Base();
  TJPEGImage jpeg;
  jpeg.SetQuality(JpegQualityOfFactor(settings_.JpegFactor));
  ReportProgress(Progress, 0, count - 1);
  for (int i = 0; i < count; ++i) {
    jpeg.Bitmap().Assign(frames_[static_cast<std::size_t>(i)]->Bitmap.get());
    frames_[static_cast<std::size_t>(i)]->Bitmap->SaveAndRelease();
    TReplacingFile file(SeriesFileName(base, i, count, ".jpg"));
    jpeg.SaveToStream(file.Stream());
    file.Commit();
    ReportProgress(Progress, i, count - 1);
    if (Cancelled()) return TExportOutcome::Cancelled;
  }
  return TExportOutcome::Done;
}

namespace {

// Releases the stream and then closes the file, in every case. The video is
// written under a temporary name beside the target and takes its place only
// when every frame was written: a cancelled or failed export leaves the file
// that stood there.
class TAviWriting {
 public:
  TAviWriting(TAVIObject& avi, TReplacingFile& target) : avi_(avi), target_(target) { target_.CloseStream(); }
  ~TAviWriting() {
    if (finished_) return;
    try {
      Close();
    } catch (const std::exception&) {
    }
  }
  const std::string& Name() const { return target_.TemporaryName(); }
  // Closes; false when the file's headers or index could not be written.
  bool Close() {
    finished_ = true;
    avi_.ReleaseStream(stream);
    stream = 0;
    const bool closed = avi_.CloseAVIFile(file);
    file = 0;
    return closed;
  }

  PAVIFILE file = 0;
  PAVISTREAM stream = 0;

 private:
  TAVIObject& avi_;
  TReplacingFile& target_;
  bool finished_ = false;
};

// The file that will replace the target, or the AVI writer's message when the
// target's folder takes no file.
std::unique_ptr<TReplacingFile> AviTarget(const std::string& name) {
  try {
    return std::make_unique<TReplacingFile>(name);
  } catch (const EFCreateError&) {
    throw Exception(SAviFileBusy);
  }
}

}  // namespace

TExportOutcome TExportEngine::ExportAvi() {
  CancelFlag = 0;
  exportName_ = Base() + ".avi";
  TProgressEnd end{Progress};
  SceneSession session(scene_, settings_.ResampleKind == 0, RequestSceneRecompute);
  PrepareFirstStep();
  const double sx = ScaleOf(std::max(OutputWidth, 1), scene_.Width);
  const double sy = ScaleOf(std::max(OutputHeight, 1), scene_.Height);
  TBitmap scaled;
  scaled.SetPixelFormat(pf24bit);
  scaled.SetSize(std::max(Round(scene_.Width * sx), 1), std::max(Round(scene_.Height * sy), 1));

  TAVIObject avi;
  avi.SetOwnerWindow(ProgressWindow);
  const std::unique_ptr<TReplacingFile> target = AviTarget(exportName_);
  TAviWriting writing(avi, *target);
  writing.file = avi.CreateAVIFile(writing.Name(), AviFrameRateOfStepTime(scene_.Timer().Interval()));
  if (writing.file == 0) throw Exception(SAviWriteError);
  try {
    writing.stream = avi.CreateVideoStream(writing.file, scaled);
  } catch (const Exception& e) {
    if (e.Message() == SAviCompressionCanceled) return TExportOutcome::Cancelled;
    throw;
  }
  if (writing.stream == 0) throw Exception(SAviWriteError);

  ReportLabel(Progress, "Saving to the file...");
  TBusyCursor busy;
  const int count = StepsToExport();
  bool stopped = false;
  for (int i = 0; i < count; ++i) {
    RenderStep(i == 0);
    ScaleInto(session.Work(), scaled, sx, sy);
    {
      TStageTimer timer(Times.Encode);
      if (!avi.WriteFrame(writing.file, writing.stream, scaled, i, 16)) throw Exception(SAviWriteError);
    }
    if (Cancelled()) {
      stopped = true;
      break;
    }
    ReportProgress(Progress, i, count - 1);
  }
  if (!writing.Close()) throw Exception(SAviWriteError);
  if (stopped) return TExportOutcome::Cancelled;
  target->Commit();
  return TExportOutcome::Done;
}

std::optional<TJpegEstimate> TExportEngine::CalculateJpegSize() {
  if (frames_.empty() || !frames_.front()->Bitmap) return std::nullopt;
  TJPEGImage jpeg;
  jpeg.SetQuality(JpegQualityOfFactor(settings_.JpegFactor));
  jpeg.Bitmap().Assign(frames_.front()->Bitmap.get());
  frames_.front()->Bitmap->SaveAndRelease();
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  TJpegEstimate estimate;
  estimate.Bytes = stream.Size();
  estimate.SizeText = JpegSizeText(static_cast<double>(stream.Size()));
  estimate.TimeText = DownloadTimeText(static_cast<double>(stream.Size()));
  TJPEGImage decoded;
  decoded.LoadFromMemoryStream(&stream);
  estimate.Preview = std::make_unique<TBitmap>();
  estimate.Preview->Assign(&decoded.Bitmap());
  return estimate;
}
