// Pictures, videos and project files for the picture preview, the picture
// open dialog and the animation gallery, written by our own writers (or byte
// by byte) into a temporary folder.
#pragma once

#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "imaging/utils.h"
#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "scene/Frame.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "tests/support/AviTestFiles.h"
#include "tests/support/BmpTestFiles.h"
#include "tests/support/TempDir.h"

#include <string>

namespace preview_files {

// A 24-bit bitmap of one colour.
inline void Solid(TBitmap& bitmap, int width, int height, TColor color, TPixelFormat format = pf24bit) {
  bitmap.SetPixelFormat(format);
  bitmap.Canvas().Brush().Color = color;
  bitmap.SetSize(width, height);
  bitmap.Canvas().FillRect(Rect(0, 0, width, height));
}

inline std::string Bmp24(const TempDir& temp, const std::string& name, int width, int height, TColor color) {
  TBitmap bitmap;
  Solid(bitmap, width, height, color);
  const std::string path = temp.File(name);
  bitmap.SaveToFile(path);
  return path;
}

// A 16-bit (5-5-5) picture of 3 x 2 pure red pixels, byte by byte: our writer keeps no 16-bit files.
inline std::string Bmp16(const TempDir& temp, const std::string& name) {
  std::string rows;
  for (int y = 0; y < 2; ++y) rows += std::string("\x00\x7C\x00\x7C\x00\x7C\x00\x00", 8);
  return temp.WriteFile(name, BmpTestFile{.width = 3, .height = 2, .bits = 16, .pixels = rows}.Build());
}

// A GIF of count images of width x height, image i in its own grey.
inline std::string Gif(const TempDir& temp, const std::string& name, int count, int width, int height) {
  TGifFile gif;
  for (int i = 0; i < count; ++i) {
    TBitmap image;
    const auto level = static_cast<std::uint8_t>(20 * i);
    Solid(image, width, height, RGB(level, level, level), pf8bit);
    gif.AddGraphic(image);
  }
  const std::string path = temp.File(name);
  gif.SaveToFile(path);
  return path;
}

inline std::string Jpeg(const TempDir& temp, const std::string& name, int width, int height, bool grey) {
  TJPEGImage jpeg;
  Solid(jpeg.Bitmap(), width, height, clTeal);
  jpeg.SetGrayScale(grey);
  const std::string path = temp.File(name);
  jpeg.SaveToFile(path);
  return path;
}

// An AVI of frames 8-bit frames of width x height (frame i of index i).
inline std::string Avi8(const TempDir& temp, const std::string& name, int frames, int width, int height) {
  AviTestFile avi;
  AviTestStream video;
  video.format = DibFormat(width, height, 8, 0, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF});
  avi.streams.push_back(video);
  const int rowBytes = (width + 3) / 4 * 4;
  for (int i = 0; i < frames; ++i)
    avi.chunks.push_back({"00db", std::string(static_cast<std::size_t>(rowBytes * height), static_cast<char>(i % 4))});
  return temp.WriteFile(name, avi.Build());
}

struct ProjectShape {
  int width = 60;
  int height = 40;
  int steps = 20;
  bool storedPreview = true;
  TPixelFormat firstFrameFormat = pf24bit;
  TColor color = clRed;
  bool stamped = true;
};

// A scene of one sprite showing a coloured picture over all its steps.
inline void BuildScene(TAnimatedScene& scene, const ProjectShape& shape) {
  scene.Width = shape.width;
  scene.Height = shape.height;
  scene.StepCount = shape.steps;
  scene.WritePreview = shape.storedPreview ? 1 : 0;
  int index = 0;
  TSprite& sprite = *scene.AddSprite(index);
  sprite.AddInterval(1, shape.steps);
  TBitmap picture;
  Solid(picture, shape.width / 2, shape.height / 2, shape.color, shape.firstFrameFormat);
  sprite.AddFrame()->SetPicture(picture, false, 0, 0, 0);
}

// The project file's bytes, without the checksum trailer.
inline std::string ProjectBytes(const ProjectShape& shape) {
  TAnimatedScene scene;
  BuildScene(scene, shape);
  TMemoryStream stream;
  scene.SaveToStream(stream, 0, 1024);
  SaveVersion = kNewestFormatVersion;
  ReadVersion = kNewestFormatVersion;
  return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
}

inline std::string Project(const TempDir& temp, const std::string& name, const ProjectShape& shape) {
  const std::string path = temp.WriteFile(name, ProjectBytes(shape));
  if (shape.stamped) StampFileChecksum(path);
  return path;
}

// A project whose checksum trailer no longer matches its bytes.
inline std::string ProjectWithWrongChecksum(const TempDir& temp, const std::string& name, const ProjectShape& shape) {
  const std::string path = Project(temp, name, shape);
  std::string bytes = TempDir::ReadFile(path);
  bytes[bytes.size() - 1] = static_cast<char>(bytes[bytes.size() - 1] ^ 0x5A);
  return temp.WriteFile(name, bytes);
}

// A project cut off in its sprite records, stamped after the cut: the
// checksum is right, the body cannot be read.
inline std::string ProjectWithDamagedBody(const TempDir& temp, const std::string& name, const ProjectShape& shape) {
  const std::string bytes = ProjectBytes(shape);
  const std::string path = temp.WriteFile(name, bytes.substr(0, bytes.size() - 200));
  StampFileChecksum(path);
  return path;
}

}  // namespace preview_files
