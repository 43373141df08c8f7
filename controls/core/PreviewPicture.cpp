#include "controls/core/PreviewPicture.h"

#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "platform/BmpFiles.h"
#include "platform/Graphics.h"
#include "platform/Numeric.h"
#include "platform/SysUtils.h"
#include "platform/UiServices.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <vector>

namespace {

// A project read opens its file at this size until the file says otherwise.
constexpr int kProjectPreviewWidth = 640;
constexpr int kProjectPreviewHeight = 480;
// The most pixels a project's preview is composed at. The scene is drawn at
// its own size (its background, its composition and the copy shown), and
// the reader accepts scenes of up to 2^26 pixels from a file of a few
// hundred bytes; above this bound (2048 x 2048, 12 MB a bitmap) the file
// shows the empty preview instead.
constexpr std::int64_t kMaxComposedPreviewPixels = std::int64_t{1} << 22;

void LoadBmpPreview(const std::string& fileName, TBitmap& picture, std::uint8_t& colorCode) {
  picture.LoadFromFile(fileName);
  // The reader widens 16-bit pictures to 24 bits; the code names what the file stores.
  colorCode = ColorCodeOfBitCount(BmpFileBitCount(fileName)).value_or(static_cast<std::uint8_t>(picture.PixelFormat()));
}

void LoadGifPreview(const std::string& fileName, TBitmap& picture, std::int32_t& frameCount, std::uint8_t& colorCode) {
  TGifFile gif;
  gif.LoadFromFile(fileName);
  frameCount = gif.ImageCount();
  picture.Assign(gif.GetBitmap());
  colorCode = pf8bit;
}

void LoadJpegPreview(const std::string& fileName, TBitmap& picture, std::uint8_t& colorCode) {
  TJPEGImage jpeg;
  jpeg.SetFileName(fileName);
  picture.Assign(&jpeg.Bitmap());
  colorCode = static_cast<std::uint8_t>(picture.PixelFormat());
}

// The bit count of the video stream's frame format, or 0 when it has none.
int StreamBitCount(PAVISTREAM stream) {
  std::int32_t size = 0;
  if (AVIStreamReadFormat(stream, 0, nullptr, &size) != AVIERR_OK || size < kBmpInfoHeaderSize) return 0;
  std::vector<std::uint8_t> format(static_cast<std::size_t>(size));
  if (AVIStreamReadFormat(stream, 0, format.data(), &size) != AVIERR_OK || size < kBmpInfoHeaderSize) return 0;
  return LoadDibHeader(format.data()).biBitCount;
}

void LoadAviPreview(const std::string& fileName, TBitmap& picture, std::int32_t& frameCount, std::uint8_t& colorCode) {
  TAVIObject avi;
  PAVIFILE file = 0;
  try {
    file = avi.OpenAVIFile(fileName);
  } catch (const Exception&) {
    return;  // a file that cannot be opened leaves the picture as it was
  }
  struct FileCloser {
    TAVIObject& avi;
    PAVIFILE file;
    ~FileCloser() { avi.CloseAVIFile(file); }
  } closeFile{avi, file};
  PAVISTREAM stream = avi.OpenVideoStream(file);
  if (stream == 0) return;
  struct StreamCloser {
    TAVIObject& avi;
    PAVISTREAM stream;
    ~StreamCloser() { avi.CloseVideoStream(stream); }
  } closeStream{avi, stream};
  // Frame 1, as clips show it; a stream without a frame 1 shows its first frame.
  const std::int64_t first = avi.FirstFrame(), end = first + avi.FrameCount();
  const std::int32_t shown = 1 >= first && 1 < end ? 1 : avi.FirstFrame();
  avi.SetErrorFlag(false);
  const std::unique_ptr<TBitmap> frame = avi.GetFrameBitmap(shown);
  if (!avi.ErrorFlag()) picture.Assign(frame.get());
  frameCount = avi.FrameCount();
  if (const auto code = ColorCodeOfBitCount(StreamBitCount(stream))) colorCode = *code;
}

// 8 bits (code 3) unless the first frame of some sprite holds another format.
std::uint8_t ProjectColorCode(const TAnimatedScene& scene) {
  for (int i = 0; i < scene.SpriteCount(); ++i) {
    const TSprite& sprite = scene.Sprite(i);
    if (sprite.FrameCount() == 0) continue;  // nothing to check, and nothing to fail on
    const TFrameImage& image = sprite.Frame(0).Picture;
    const bool otherThanEightBits = !image.Empty() && image.PixelFormat() != pf8bit;
    image.SaveAndRelease();
    if (otherThanEightBits) return kProjectNotEightBitCode;
  }
  return pf8bit;
}

// Reads a project with the loader's switches set for this one read (only the
// stored preview; the sprites; the background drawn) and sets them back after it.
bool ReadWithSwitches(TAnimatedScene& scene, const std::string& fileName, bool previewOnly, bool whole) {
  scene.PreviewOnlyLoad = previewOnly ? 1 : 0;
  scene.IncludeSprites = whole ? 1 : 0;
  scene.DrawBackgroundOnLoad = whole ? 1 : 0;
  struct Back {
    TAnimatedScene& scene;
    ~Back() {
      scene.IncludeSprites = 1;
      scene.DrawBackgroundOnLoad = 1;
    }
  } back{scene};
  scene.LoadFromFile(fileName);
  return scene.Failed == 0;
}

// Reads the file's settings without its sprites and without drawing its
// background: the scene's size, before anything of that size is drawn.
bool ReadSceneSettings(TAnimatedScene& scene, const std::string& fileName) {
  return ReadWithSwitches(scene, fileName, false, false);
}

void LoadProjectPreview(const std::string& fileName, TBitmap& picture, std::int32_t& frameCount,
                        std::uint8_t& colorCode) {
  TAnimatedScene scene;
  scene.Width = kProjectPreviewWidth;
  scene.Height = kProjectPreviewHeight;
  if (!ReadProject(scene, fileName, true)) return;
  if (scene.PreviewBitmap && !scene.PreviewBitmap->Empty()) {
    picture.Assign(scene.PreviewBitmap.get());
  } else {
    if (!ReadSceneSettings(scene, fileName)) return;
    if (std::int64_t{scene.Width} * scene.Height > kMaxComposedPreviewPixels) return;
    // Files of versions above 2 keep their sprites after the settings, and
    // the whole read draws the background.
    if (scene.LastReadVersion > 2) {
      if (!ReadProject(scene, fileName, false)) return;
    } else {
      scene.SetBackground(true, scene.BackgroundMode, scene.BackgroundFile, scene.StartColor, scene.FinishColor,
                          scene.PicturePlacement, nullptr);
    }
    TBitmap composed;
    composed.SetSize(scene.Width, scene.Height);
    scene.OutputBitmap = &composed;
    scene.NextFrame();
    scene.OutputBitmap = nullptr;
    picture.Assign(&composed);
    colorCode = ProjectColorCode(scene);
  }
  frameCount = scene.StepCount;
}

}  // namespace

bool ReadProject(TAnimatedScene& scene, const std::string& fileName, bool previewMode) {
  return ReadWithSwitches(scene, fileName, previewMode, !previewMode);
}

std::optional<std::uint8_t> ColorCodeOfBitCount(int bits) {
  switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 15: return pf15bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return std::nullopt;
  }
}

bool LoadPreviewPicture(const std::string& FileName, TBitmap& Picture, std::int32_t& FrameCount,
                        std::uint8_t& ColorCode) {
  TBusyCursor hourglass;
  FrameCount = 0;
  const std::string extension = UpperCaseAscii(ExtractFileExt(FileName));
  if (extension == ".BMP") {
    LoadBmpPreview(FileName, Picture, ColorCode);
  } else if (extension == ".GIF") {
    LoadGifPreview(FileName, Picture, FrameCount, ColorCode);
  } else if (extension == ".JPG") {
    LoadJpegPreview(FileName, Picture, ColorCode);
  } else if (extension == ".AVI") {
    LoadAviPreview(FileName, Picture, FrameCount, ColorCode);
  } else if (extension == ".GLD" || extension == ".GLM") {
    LoadProjectPreview(FileName, Picture, FrameCount, ColorCode);
  } else {
    return false;
  }
  return true;
}

std::string ColorCountText(std::uint8_t colorCode) {
  switch (colorCode) {
    case pf1bit: return "2";
    case pf4bit: return "16";
    case pf8bit: return "256";
    case pf15bit: return "32K";
    case pf24bit: return "16 mil.";
    case pf32bit: return "4.3 bil.";
    default: return "RGB";
  }
}

std::string PreviewDescription(int width, int height, std::int32_t frameCount, std::uint8_t colorCode) {
  std::string text = FormatStr(" (%dx%d)", width, height);
  if (frameCount >= 1) text += "," + IntToStr(frameCount) + " fr.";
  return text + "," + ColorCountText(colorCode) + " col.";
}

TRect PreviewPictureRect(int pictureWidth, int pictureHeight, const TRect& box) {
  const int boxWidth = box.Right - box.Left, boxHeight = box.Bottom - box.Top;
  if (pictureWidth <= boxWidth && pictureHeight <= boxHeight) {
    const int left = box.Left + (boxWidth - pictureWidth) / 2;
    const int top = box.Top + (boxHeight - pictureHeight) / 2;
    return Bounds(left, top, pictureWidth, pictureHeight);
  }
  // The side whose ratio to the box is the larger one fills the box.
  const bool widthLimits = std::int64_t{pictureWidth} * boxHeight >= std::int64_t{pictureHeight} * boxWidth;
  if (widthLimits) return Bounds(box.Left, box.Top, boxWidth, MulDiv(pictureHeight, boxWidth, pictureWidth));
  return Bounds(box.Left, box.Top, MulDiv(pictureWidth, boxHeight, pictureHeight), boxHeight);
}
