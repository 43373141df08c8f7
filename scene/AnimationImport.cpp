// Opening a GIF or AVI file as a scene: a GIF becomes one sprite per image,
// each shown during its own run of steps at the image's place, so that the
// scene replays the GIF; an AVI becomes one sprite of clip frames, and its
// audio the scene's sound.
#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/utils.h"
#include "platform/Messages.h"
#include "platform/Numeric.h"
#include "platform/SysUtils.h"
#include "platform/SystemValues.h"
#include "platform/UiServices.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/RecordReading.h"
#include "scene/Sounds.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/Undo.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const SImportFailed = "Cannot export animation.";

// A number rounded to a whole one with thousands separators, as the format
// "###,###" shows it (nothing for 0).
std::string FormatGrouped(double value) {
  const long long whole = std::llround(value);
  if (whole == 0) return "";
  const std::string digits = std::to_string(whole < 0 ? -whole : whole);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return whole < 0 ? "-" + out : out;
}

// The scene's size and the steps that the import covers so far.
struct TImportState {
  std::int64_t width = 0, height = 0;
  std::int32_t nextStart = 1;
  int sprites = 0;
};

// Sends the progress message; false (after (1, 1)) when the cancel flag asks to stop.
bool ReportImported(const TAnimatedScene& scene, int index, int last) {
  SendMessage(scene.NotifyWindow, WM_LOADPROGRESS, static_cast<WPARAM>(index), last);
  if (CancelFlag == 0) return true;
  SendMessage(scene.NotifyWindow, WM_LOADPROGRESS, 1, 1);
  return false;
}

TSprite& AppendSprite(TAnimatedScene& scene, std::unique_ptr<TSprite> sprite) {
  scene.InsertSprite(scene.SpriteCount(), std::move(sprite));
  TSprite& appended = scene.Sprite(scene.SpriteCount() - 1);
  appended.SetCurrentFrameIndex(0);
  return appended;
}

void ImportGifImage(TAnimatedScene& scene, TGifSubImage& image, const std::string& fileName, bool firstImage,
                    TImportState& state) {
  TBitmap* bitmap = image.GetBitmap();
  TSprite& sprite = AppendSprite(scene, scene.CreateSprite());
  ++state.sprites;
  TFrame& frame = *sprite.AddFrame();
  const TColor transparentColor = image.GetTransparentColor();
  frame.SetPicture(*bitmap, image.Transparent(), transparentColor, -1, -1);
  frame.SetFileName(fileName);
  frame.Kind = fkPicture;

  const int delay = std::max(image.GetDelay(), 5);
  const int interval = scene.Timer().Interval();
  if (interval != 0) {
    int duration = Round(delay / static_cast<double>(interval) * 10);
    if (duration < 1) duration = 4;
    frame.StoreDuration(duration);
  }
  const std::int32_t end = frame.Duration() + state.nextStart;
  // The scene covers every image at its place.
  state.width = std::max<std::int64_t>(state.width, image.Left() + frame.ImageWidth);
  state.height = std::max<std::int64_t>(state.height, image.Top() + frame.ImageHeight);

  TMoving& path = sprite.Motion();
  path.PositionUnits = 1;
  TMovingStepValues hold;
  hold.Kind = mskHold;
  hold.Duration = -1;
  hold.StartX = image.Left();
  hold.StartY = image.Top();
  hold.OpacityStart = hold.OpacityEnd = 100;
  path.AddStepWith(hold, &sprite);

  if (image.Transparent() && firstImage) {
    scene.StartColor = transparentColor;
    scene.FinishColor = transparentColor;
    scene.TransparentBackground = 1;
    scene.TransparentColor = transparentColor;
  }
  // An image that is not removed stays until step 1000.
  sprite.AddInterval(state.nextStart, image.Disposal() == 1 ? 1000 : end);
  state.nextStart = end + 1;
}

void ImportGif(TAnimatedScene& scene, const std::string& fileName, int first, int count, TImportState& state) {
  TGifFile gif;
  gif.LoadFromFile(fileName);
  const int images = gif.ImageCount();
  if (images == 0) throw Exception("The GIF file holds no image");
  if (first < 1) first = 1;
  if (count < 1) count = images - first;
  if (static_cast<std::int64_t>(first) + count > images - 1) count = images - first;
  SendMessage(scene.NotifyWindow, WM_LOADPROGRESS, 0, 1);
  const int last = count + first - 1;
  for (int i = first; i <= first + count; ++i) {
    TGifSubImage* image = gif.GetSubImage(i);
    if (image != nullptr && image->Pixels() != nullptr) ImportGifImage(scene, *image, fileName, i == first, state);
    if (!ReportImported(scene, i, last)) break;
  }
  if (state.sprites == 0) throw Exception("The GIF file holds no image to import");
}

// The memory check before a clip is taken whole; false when the user
// chooses not to go on.
bool EnoughMemoryForClip(TAnimatedScene& scene, TAVIObject& avi, int first, int count) {
  std::unique_ptr<TBitmap> sample = avi.GetFrameBitmap(first);
  avi.SetErrorFlag(false);
  TMemoryStream bmp;
  sample->SaveToStream(bmp);
  const double needed = static_cast<double>(bmp.Size()) * (count - 1);
  if (needed < 0 || needed <= static_cast<double>(System().PhysicalMemory())) return true;
  const std::string text = "Unsufficient memory to load AVI file. You need at least " +
                           FormatGrouped(needed / 1048576.0) +
                           " MB of RAM to load whole file.\rPlease try to load the file partially or add some "
                           "physical memory into your computer.\r\rDo you want to proceed anyway?";
  return Ui().MessageBox(scene.NotifyWindow, text, "Warning", MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION) == IDYES;
}

void ImportAviFrames(TAnimatedScene& scene, TAVIObject& avi, const std::string& fileName, int first, int count,
                     TImportState& state) {
  std::unique_ptr<TSprite> created = scene.CreateSprite();
  created->Motion().AddStep();
  TSprite& sprite = AppendSprite(scene, std::move(created));
  const int interval = scene.Timer().Interval();
  const int rate = avi.FrameRate();
  std::int32_t end = 1;
  const int last = count + first - 1;
  for (int i = first; i <= last; ++i) {
    TFrame& frame = *sprite.AddFrame();
    avi.SetErrorFlag(false);
    std::unique_ptr<TBitmap> picture = avi.GetFrameBitmap(i);
    // A clip frame that cannot be read leaves its frame empty.
    if (!avi.ErrorFlag()) {
      frame.StoreTransparency(false, 0xFFFFFF);
      frame.SetPicture(*picture, false, 0xFFFFFF, -1, -1);
      frame.SetFileName(fileName);
      state.width = std::max<std::int64_t>(state.width, picture->Width());
      state.height = std::max<std::int64_t>(state.height, picture->Height());
    }
    if (interval != 0 && rate != 0) frame.StoreDuration(Round(1000.0 / interval / rate));
    end += frame.Duration();
    frame.Kind = fkPicture;
    if (!ReportImported(scene, i, last)) break;
  }
  scene.Timer().SetInterval(rate < 1 ? 20 : Round(1000.0 / rate));
  state.nextStart = end + 1;
}

// False when the user declined the memory warning.
bool ImportAvi(TAnimatedScene& scene, const std::string& fileName, int first, int count, TImportState& state) {
  TAVIObject avi;
  const PAVIFILE file = avi.OpenAVIFile(fileName);
  struct CloseFile {
    TAVIObject& avi;
    PAVIFILE file;
    ~CloseFile() { avi.CloseAVIFile(file); }
  } closeFile{avi, file};
  const PAVISTREAM stream = avi.OpenVideoStream(file);
  if (stream == 0) throw Exception("The AVI file has no video stream");
  struct CloseStream {
    TAVIObject& avi;
    PAVISTREAM stream;
    ~CloseStream() { avi.CloseVideoStream(stream); }
  } closeStream{avi, stream};
  if (first == -1) first = 1;
  if (count == -1) count = 1;
  // Never more frames than the clip has from the first one on.
  const std::int64_t available = static_cast<std::int64_t>(avi.FirstFrame()) + avi.FrameCount() - first;
  count = static_cast<int>(std::clamp<std::int64_t>(std::min<std::int64_t>(count, available), 0, INT32_MAX));
  if (!EnoughMemoryForClip(scene, avi, first, count)) return false;
  SendMessage(scene.NotifyWindow, WM_LOADPROGRESS, 0, 1);
  ImportAviFrames(scene, avi, fileName, first, count, state);
  if (avi.AudioStreams() > 0) {
    const TUndoRecordingPause pause;
    scene.Sounds.push_back(std::make_unique<TAudioFile>(&scene));
    TAudioFile& sound = *scene.Sounds.back();
    sound.SetFile(fileName, mdtAviVideo);
    sound.AddItem(1, 0, 0);
  }
  return true;
}

}  // namespace

void TAnimatedScene::ImportAnimation(const std::string& fileName, int first, int count) {
  Failed = 0;
  CancelFlag = 0;
  TImportState state;
  try {
    const std::string extension = UpperCaseAscii(ExtractFileExt(fileName));
    bool imported = true;
    if (extension == ".GIF") {
      ImportGif(*this, fileName, first, count, state);
    } else if (extension == ".AVI") {
      imported = ImportAvi(*this, fileName, first, count, state);
    } else {
      throw Exception("Not an animation file");
    }
    if (!imported) {
      Failed = 1;
      return;
    }
    RequireRecordImageSize(state.width, state.height, 1);
    StepCount = state.nextStart - 1;
    Width = static_cast<std::int32_t>(state.width);
    Height = static_cast<std::int32_t>(state.height);
    SetBackground(false, bgmFillAndPicture, "", StartColor, FinishColor, ppNone, nullptr);
  } catch (const std::exception&) {
    Failed = 1;
    LoadErrorText = SImportFailed;
  }
}
