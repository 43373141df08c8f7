// Helpers of the scene model tests: an undo recorder that keeps what it was
// asked to record, solid bitmaps, GIF files and motion steps.
#pragma once

#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/UndoRecorder.h"
#include "tests/support/MotionSteps.h"

#include <cstdint>
#include <string>
#include <vector>

struct RecordedUndo {
  std::int32_t recordKind = 0;
  std::string caption;
  bool replace = false;
  std::int32_t index = 0;
  std::int32_t objectId = 0;
  std::int32_t objectKind = 0;
  bool hasWriter = false;
};

// Installs itself as the current undo log for its lifetime.
class RecordingUndo final : public TUndoRecorder {
 public:
  RecordingUndo() { CurrentUndo = this; }
  ~RecordingUndo() override { CurrentUndo = nullptr; }
  RecordingUndo(const RecordingUndo&) = delete;
  RecordingUndo& operator=(const RecordingUndo&) = delete;

  void AddRecord(std::int32_t recordKind, const std::string& caption, bool replace, std::int32_t index,
                 std::int32_t objectId, std::int32_t objectKind, const TSnapshotWriter& writer) override {
    records.push_back({recordKind, caption, replace, index, objectId, objectKind, static_cast<bool>(writer)});
    writers.push_back(writer);
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (const auto& r : records) out.push_back(r.caption);
    return out;
  }

  std::vector<RecordedUndo> records;
  std::vector<TSnapshotWriter> writers;
};

inline std::string StreamBytes(TMemoryStream& stream) {
  return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
}

// A 24-bit bitmap of one colour.
inline void MakeSolid(TBitmap& bitmap, int width, int height, TColor color) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.Canvas().Brush().Color = color;
  bitmap.SetSize(width, height);
  bitmap.Canvas().FillRect(Rect(0, 0, width, height));
}

// A GIF of w x h images, image i filled with colors[i] and shown for delays[i]
// hundredths of a second (0 when not given).
inline TGifFilePtr MakeGif(const std::vector<TColor>& colors, const std::vector<int>& delays = {}, int w = 6,
                           int h = 4) {
  TGifFilePtr gif(new TGifFile());
  for (std::size_t i = 0; i < colors.size(); ++i) {
    TBitmap image;
    image.SetPixelFormat(pf8bit);
    image.Canvas().Brush().Color = colors[i];
    image.SetSize(w, h);
    image.Canvas().FillRect(Rect(0, 0, w, h));
    gif->AddGraphic(image);
    gif->GetSubImage(gif->ImageCount())->SetDelay(i < delays.size() ? delays[i] : 0);
  }
  return gif;
}

// The picture encoded as JPEG bytes, and those bytes decoded as a frame keeps them.
inline void EncodeJpeg(const TBitmap& picture, TMemoryStream& bytes, TJPEGImage& decoded) {
  TJPEGImage encoder;
  encoder.Bitmap().Assign(&picture);
  encoder.SaveToStream(bytes);
  decoded.LoadFromMemoryStream(&bytes);
}
