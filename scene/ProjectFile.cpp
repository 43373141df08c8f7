// Writing and reading project files: the container, the scene body, the
// settings-only and whole-scene snapshots. A read builds everything it reads
// beside the scene and puts it in place only when the whole body was read,
// so that a damaged file leaves the scene as it was.
#include "scene/ProjectFile.h"

#include "imaging/JpgImg.h"
#include "imaging/Lzw.h"
#include "imaging/Lzw_old.h"
#include "imaging/resample.h"
#include "imaging/utils.h"
#include "platform/Messages.h"
#include "platform/Numeric.h"
#include "platform/Streams.h"
#include "platform/SystemValues.h"
#include "platform/UiServices.h"
#include "scene/Moving.h"
#include "scene/RecordReading.h"
#include "scene/SceneGlobals.h"
#include "scene/Sounds.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>

const std::array<std::string_view, 16> ProjectSignatures = {
    "Animated Scene v.1.10", "Animated Scene v.1.20", "Animated Scene v.1.21", "Animated Scene v.1.30",
    "Animated Scene v.1.31", "Animated Scene v.1.42", "Animated Scene v.2.2",  "Animated Scene v.2.21",
    "Animated Scene v.3.10", "Animated Scene v.3.1",  "Animated Scene v.3.11", "Animated Scene v.3.12",
    "Animated Scene v.5.0",  "Animated Scene v.5.1",  "Animated Scene v.5.11", "Animated Scene v.5.2",
};

const char* const SPreviewMarker = "Preview JPEG Image.";
const char* const SProjectWriteError = "An error occured during writing to the file.";
const char* const SProjectReadError = "Cannot read data from file.";
const char* const SOldVersionDetected = "Old version is detected.";
const char* const SOutOfResources =
    "Out of system resources. Please close one or more unused applications or run the program under Windows NT.";

std::string_view ProjectSignature(std::int32_t version) {
  const std::int32_t count = static_cast<std::int32_t>(ProjectSignatures.size());
  return ProjectSignatures[static_cast<std::size_t>(std::clamp(version, 1, count) - 1)];
}

std::int32_t ProjectVersionOf(std::string_view signature) {
  std::int32_t version = 0;
  for (std::size_t i = 0; i < ProjectSignatures.size(); ++i)
    if (ProjectSignatures[i] == signature) version = static_cast<std::int32_t>(i + 1);
  return version;
}

std::string UpgradeMessage(const std::string& signature) {
  return " Data file has been created with " + signature + "\rPlease upgrade your copy of " + ProgramName + ".";
}

std::int64_t MaxExpandedBodySize() {
  return std::min<std::int64_t>(std::int64_t{512} << 20, static_cast<std::int64_t>(PhysicalMemoryCapped() / 4));
}

namespace {

constexpr std::int32_t kReservedSettingsFormat = 2;
// Oldest coder parameters, which files before version 5 do not state.
constexpr std::int32_t kOldestWindowSize = 4096;
constexpr std::int32_t kOldestLookAhead = 60;
// Widths and angles of the background fill beyond any image would overflow the painters.
constexpr std::int32_t kMaxFillMeasure = 1 << 20;
// More repeats than any animation plays; the loop counter adds one to it.
constexpr std::int32_t kMaxLoopCount = 1000000000;

HWND OwnerHandle(const TAnimatedScene& scene) {
  return scene.Owner() != nullptr ? scene.Owner()->Handle() : scene.OwnerWindow;
}


// Sets the block coder's parameters for its lifetime.
class TCoderParameters {
 public:
  TCoderParameters(std::int32_t window, std::int32_t lookAhead)
      : window_(CompressorWindowSize), lookAhead_(CompressorLookAhead) {
    CompressorWindowSize = window;
    CompressorLookAhead = lookAhead;
  }
  ~TCoderParameters() {
    CompressorWindowSize = window_;
    CompressorLookAhead = lookAhead_;
  }
  TCoderParameters(const TCoderParameters&) = delete;
  TCoderParameters& operator=(const TCoderParameters&) = delete;

 private:
  std::int32_t window_, lookAhead_;
};

// ---- Settings that a read changes ---------------------------------------------------------------

// Every setting of the scene that the body carries, so that a failed read
// can put the scene's own values back.
auto BodySettings(TAnimatedScene& s) {
  return std::tie(s.StepTime, s.StepCount, s.BackgroundMode, s.BackgroundFile, s.StartColor, s.FinishColor,
                  s.PicturePlacement, s.ReservedSettings, s.Name, s.Width, s.Height, s.ReservedB1, s.ReservedB2,
                  s.ReservedB3, s.ReservedB4, s.ReservedB5, s.ReservedColors, s.ReservedColorBytes, s.LoopCount,
                  s.ReservedA, s.TransparentBackground, s.TransparentColor, s.VelvetFill, s.FillColor, s.FillAngle,
                  s.FountainBevel, s.BevelDepth, s.BevelHighlight, s.BevelShadow, s.OutlineWidth, s.OutlineColor,
                  s.CornerRadius);
}

auto CopyOf(const auto& references) {
  return std::apply([](const auto&... value) { return std::make_tuple(value...); }, references);
}

class TSettingsRollback {
 public:
  explicit TSettingsRollback(TAnimatedScene& scene)
      : scene_(scene), values_(CopyOf(BodySettings(scene))), interval_(scene.Timer().Interval()) {}
  void Restore() {
    BodySettings(scene_) = values_;
    scene_.Timer().SetInterval(interval_);
  }

 private:
  TAnimatedScene& scene_;
  decltype(CopyOf(BodySettings(std::declval<TAnimatedScene&>()))) values_;
  int interval_;
};

// ---- Reserved settings block --------------------------------------------------------------------

void WriteStringList(TStream& stream, const std::vector<std::string>& list) {
  stream.WriteInt32(static_cast<std::int32_t>(list.size()));
  for (const std::string& line : list) stream.WriteShortString(line);
}

void ReadStringList(TStream& stream, std::vector<std::string>& list) {
  list.clear();
  const std::int32_t count = ReadRecordCount(stream, 1);
  for (std::int32_t i = 0; i < count; ++i) list.push_back(stream.ReadShortString());
}

// The block's fields in their stored order: 'L' a string list, 'B' a byte,
// 'S' a short string, 'I' an int, 'b' the byte that version 4 added.
constexpr std::string_view kReservedLayout = "LBSISSLSSLBBBSISLSSLBSIbSLSSLBSSSIBB";

template <typename Field>
void ForEachReservedField(std::int32_t version, Field field) {
  int lists = 0, bytes = 0, strings = 0, ints = 0;
  for (char kind : kReservedLayout) {
    switch (kind) {
      case 'L': field(kind, lists++); break;
      case 'B': field(kind, bytes++); break;
      case 'S': field(kind, strings++); break;
      case 'I': field(kind, ints++); break;
      case 'b':
        if (version > 3) field('B', bytes);
        ++bytes;  // an older file keeps the scene's value
        break;
    }
  }
}

void WriteReservedSettings(TStream& stream, const TReservedSettings& r, std::int32_t version) {
  stream.WriteInt32(kReservedSettingsFormat);
  ForEachReservedField(version, [&](char kind, int i) {
    const auto at = static_cast<std::size_t>(i);
    if (kind == 'L') WriteStringList(stream, r.Lists[at]);
    if (kind == 'B') stream.WriteByte(r.Bytes[at]);
    if (kind == 'S') stream.WriteShortString(r.Strings[at]);
    if (kind == 'I') stream.WriteInt32(r.Ints[at]);
  });
}

void ReadReservedSettings(TStream& stream, TReservedSettings& r, std::int32_t version) {
  stream.ReadInt32();  // the block's format number
  ForEachReservedField(version, [&](char kind, int i) {
    const auto at = static_cast<std::size_t>(i);
    if (kind == 'L') ReadStringList(stream, r.Lists[at]);
    if (kind == 'B') r.Bytes[at] = stream.ReadByte();
    if (kind == 'S') r.Strings[at] = stream.ReadShortString();
    if (kind == 'I') r.Ints[at] = stream.ReadInt32();
  });
}

// ---- Preview ----------------------------------------------------------------------------------------

// The preview's size: the scene's, or at most 400 on its longer side.
TSize PreviewSize(int width, int height) {
  if (width <= 400 && height <= 400) return {width, height};
  if (height < width) return {400, std::max(1, Round(400.0 / width * height))};
  return {std::max(1, Round(400.0 / height * width)), 400};
}

// Composes the first step into a work bitmap and encodes it, scaled to the
// preview size, as a JPEG file at quality 90. The first step is composed as
// playback shows it, with every sprite at its place; the scene's output,
// stretching, step and loop counters are put back afterwards.
void WritePreviewImage(TAnimatedScene& scene, TStream& stream) {
  TBitmap work;
  work.SetPixelFormat(pf24bit);
  work.SetSize(scene.Width, scene.Height);
  struct Restore {
    TAnimatedScene& scene;
    TBitmap* output = scene.OutputBitmap;
    std::uint8_t stretching = scene.ResampledStretching;
    std::int32_t step = scene.CurrentStep;
    std::int32_t loopsLeft = scene.LoopsLeft;
    std::int32_t loopsDone = scene.LoopsDone;
    ~Restore() {
      scene.OutputBitmap = output;
      scene.ResampledStretching = stretching;
      try {
        // Jumping to n leaves the step before n to be shown next.
        scene.GotoFrame(step < INT32_MAX ? step + 1 : step);
      } catch (const std::exception&) {
        // The scene stays at its first step.
      }
      scene.LoopsLeft = loopsLeft;
      scene.LoopsDone = loopsDone;
      scene.BackgroundDrawn = 0;
    }
  } restore{scene};
  scene.OutputBitmap = &work;
  scene.ResampledStretching = 1;
  scene.GotoFrame(1);
  scene.BackgroundDrawn = 0;
  for (int i = 0; i < scene.SpriteCount(); ++i) scene.Sprite(i).Motion().PrepareSteps(&scene.Sprite(i));
  scene.LoopsLeft = 1;
  scene.RepaintOnly = 0;
  scene.NextFrame();

  const TSize size = PreviewSize(scene.Width, scene.Height);
  TJPEGImage jpeg;
  jpeg.SetQuality(90);
  TBitmap& preview = jpeg.Bitmap();
  preview.SetPixelFormat(pf24bit);
  preview.SetSize(size.cx, size.cy);
  ResampleBitmapDefault(work, preview, false, 0);
  jpeg.SaveToStream(stream);
}

std::unique_ptr<TBitmap> DecodePreview(TStream& stream, std::int32_t size) {
  TRecordBlock block(stream, size);
  TMemoryStream bytes;
  bytes.WriteBuffer(block.Data(), block.Size());
  TJPEGImage jpeg;
  jpeg.LoadFromMemoryStream(&bytes);
  auto preview = std::make_unique<TBitmap>();
  preview->Assign(&jpeg.Bitmap());
  return preview;
}

// A preview behind its 4-byte size; nullptr for size 0.
std::unique_ptr<TBitmap> ReadPreviewBlock(TStream& stream) {
  const std::int32_t size = ReadRecordSize(stream);
  if (size == 0) return nullptr;
  return DecodePreview(stream, size);
}

void WritePreviewBlock(TAnimatedScene& scene, TStream& stream) {
  if (scene.WritePreview == 0) {
    stream.WriteInt32(0);
    return;
  }
  WriteSizedRecordBlock(stream, [&] { WritePreviewImage(scene, stream); });
}

// ---- Coded bodies -------------------------------------------------------------------------------------

std::int32_t ExpandOne(std::int32_t version, const std::uint8_t* packed, std::uint8_t* out, std::int32_t size) {
  if (version < 8) return TunedExpandBlock(packed, out, size, kProjectBlockCapacity);
  return LzhExpandBlock(packed, out, size, kProjectBlockCapacity);
}

// The expanded blocks of a coded body, one after another.
std::unique_ptr<TMemoryStream> ExpandBody(TStream& stream, std::int32_t version, std::int32_t window,
                                          std::int32_t lookAhead) {
  const std::int32_t blocks = ReadRecordCount(stream, 4);
  const TCoderParameters coder(version < 5 ? kOldestWindowSize : window, version < 5 ? kOldestLookAhead : lookAhead);
  const std::int64_t limit = MaxExpandedBodySize();
  auto body = std::make_unique<TMemoryStream>();
  std::vector<std::uint8_t> out(kProjectBlockCapacity);
  for (std::int32_t i = 0; i < blocks; ++i) {
    const std::int32_t packed = ReadRecordSize(stream);
    if (packed == 0) continue;
    if (packed > kProjectBlockCapacity) throw EReadError("A coded block is larger than a block can be");
    TRecordBlock block(stream, packed);
    const std::int32_t n = ExpandOne(version, block.Data(), out.data(), packed);
    if (body->Size() + n > limit) throw EReadError("A coded body expands beyond the memory it may take");
    body->WriteBuffer(out.data(), n);
  }
  body->SetPosition(0);
  return body;
}

void WriteCodedBody(TAnimatedScene& scene, TStream& stream, std::int32_t version, int blockSize) {
  TMemoryStream body;
  scene.WriteData(body);
  // The block size leaves room for a block that codes larger than it is.
  const std::int64_t chunk = std::clamp(blockSize, 1, kProjectBlockCapacity / 2);
  const TCoderParameters coder(version < 5 ? kOldestWindowSize : CompressorWindowSize,
                               version < 5 ? kOldestLookAhead : CompressorLookAhead);
  const std::int64_t blocks = (body.Size() + chunk - 1) / chunk;
  stream.WriteInt32(static_cast<std::int32_t>(blocks));
  std::vector<std::uint8_t> out(kProjectBlockCapacity);
  for (std::int64_t at = 0; at < body.Size(); at += chunk) {
    const auto length = static_cast<std::int32_t>(std::min(chunk, body.Size() - at));
    const std::uint8_t* input = body.Memory() + at;
    const std::int32_t packed =
        version < 8 ? TunedCompressBlock(input, out.data(), length, kProjectBlockCapacity)
                    : LzhCompressBlock(input, out.data(), length, kProjectBlockCapacity);
    stream.WriteInt32(packed);
    stream.WriteBuffer(out.data(), packed);
  }
}

bool FillMeasuresPlausible(const TAnimatedScene& s) {
  for (std::int32_t v : {s.FillAngle, s.BevelDepth, s.OutlineWidth, s.CornerRadius})
    if (v < -kMaxFillMeasure || v > kMaxFillMeasure) return false;
  return true;
}

// Decides whether reading sprites may go on: the progress message, and the
// cancel flag that ends the read with (1, 1).
bool ReportSpriteRead(const TAnimatedScene& scene, int index, int count) {
  SendMessage(scene.NotifyWindow, WM_LOADPROGRESS, static_cast<WPARAM>(index), count - 1);
  if (CancelFlag == 0) return true;
  SendMessage(scene.NotifyWindow, WM_LOADPROGRESS, 1, 1);
  return false;
}

}  // namespace

// ---- Writing --------------------------------------------------------------------------------------------

int TAnimatedScene::SaveToStream(TStream& stream, int compress, int blockSize) {
  Failed = 0;
  LoadErrorText.clear();
  const TFormatVersionScope reset(TFormatVersionScope::kNewestAfterwards);
  try {
    const std::int32_t version = SaveVersion;
    // Small writes go to memory; a stream of another kind gets the whole file at once.
    TMemoryStream buffer;
    auto* memory = dynamic_cast<TMemoryStream*>(&stream);
    TStream& out = memory != nullptr ? stream : buffer;
    out.WriteByte(compress != 0 ? 1 : 0);
    out.WriteShortString(std::string(ProjectSignature(version)));
    if (version > 14) {
      out.WriteShortString(SPreviewMarker);
      WritePreviewBlock(*this, out);
    }
    if (version > 4) {
      out.WriteInt32(CompressorWindowSize);
      out.WriteInt32(CompressorLookAhead);
    }
    if (compress != 0) {
      WriteCodedBody(*this, out, version, blockSize);
    } else {
      WriteData(out);
    }
    if (memory == nullptr) stream.WriteBuffer(buffer.Memory(), buffer.Size());
  } catch (const std::exception&) {
    Ui().MessageBox(OwnerHandle(*this), SProjectWriteError, "Error", MB_ICONERROR);
    CancelFlag = 1;
    Failed = 1;
  }
  return static_cast<int>(ProjectSignatures.size());
}

void TAnimatedScene::WriteData(TStream& stream) {
  const std::int32_t version = SaveVersion;
  auto writeSprites = [&] {
    stream.WriteInt32(SpriteCount());
    for (int i = 0; i < SpriteCount(); ++i) Sprite(i).SaveToStream(stream);
  };
  // The oldest files start with the sprites (whatever include sprites says,
  // as their readers always read them).
  if (version <= 2) writeSprites();
  StepTime = Timer().Interval();
  stream.WriteInt32(StepTime);
  if (BackgroundFile.empty() || IncludeSprites == 0) {
    stream.WriteInt32(0);
  } else {
    WriteSizedRecordBlock(stream, [&] { BackgroundPicture.SaveToStream(stream); });
  }
  stream.WriteInt32(StepCount);
  stream.WriteInt32(BackgroundMode);
  stream.WriteShortString(BackgroundFile);
  stream.WriteInt32(static_cast<std::int32_t>(StartColor));
  stream.WriteInt32(static_cast<std::int32_t>(FinishColor));
  stream.WriteInt32(PicturePlacement);
  stream.WriteInt32(static_cast<std::int32_t>(Sounds.size()));
  for (const auto& sound : Sounds) sound->SaveToStream(stream);
  stream.WriteShortString("");
  if (version > 1) WriteReservedSettings(stream, ReservedSettings, version);
  if (version > 4) stream.WriteShortString(Name);
  if (version > 5) {
    stream.WriteInt32(Width);
    stream.WriteInt32(Height);
  }
  if (version > 9) {
    stream.WriteByte(ReservedB1);
    stream.WriteInt32(ReservedB2);
    stream.WriteInt32(ReservedB3);
    stream.WriteByte(ReservedB4);
    stream.WriteInt32(ReservedB5);
  }
  if (version > 2) {
    for (std::int32_t c : ReservedColors) stream.WriteInt32(c);
    for (std::uint8_t b : ReservedColorBytes) stream.WriteByte(b);
  }
  if (version > 10) {
    stream.WriteInt32(LoopCount);
    stream.WriteByte(ReservedA);
  }
  if (version > 13) {
    stream.WriteByte(TransparentBackground);
    stream.WriteInt32(static_cast<std::int32_t>(TransparentColor));
    for (std::int32_t v : {VelvetFill, static_cast<std::int32_t>(FillColor), FillAngle, FountainBevel, BevelDepth,
                           static_cast<std::int32_t>(BevelHighlight), static_cast<std::int32_t>(BevelShadow),
                           OutlineWidth, static_cast<std::int32_t>(OutlineColor), CornerRadius})
      stream.WriteInt32(v);
  }
  if (version == 14) WritePreviewBlock(*this, stream);
  if (version > 2 && IncludeSprites != 0) writeSprites();
}

void TAnimatedScene::SaveUncompressed(TStream& stream) { SaveToStream(stream, 0, 1024); }

void TAnimatedScene::SaveSettings(TStream& stream) {
  const std::uint8_t writePreview = WritePreview;
  IncludeSprites = 0;
  WritePreview = 0;
  SaveToStream(stream, 0, 1024);
  WritePreview = writePreview;
  IncludeSprites = 1;
}

// ---- Reading ----------------------------------------------------------------------------------------------

namespace {

// Reads the sprite list into new sprites of the scene that are not yet in
// it. False when the read stopped early (cancelled, or out of resources).
bool ReadSpriteList(TAnimatedScene& scene, TStream& stream, std::int32_t version,
                    std::vector<std::unique_ptr<TSprite>>& sprites) {
  const std::int32_t count = ReadRecordCount(stream, TSprite::MinRecordSize());
  for (std::int32_t i = 0; i < count; ++i) {
    if (version > 2 && FreeResourcesPct(0) < 15) {
      Ui().MessageBox(OwnerHandle(scene), SOutOfResources, "Error", MB_ICONERROR);
      return false;
    }
    sprites.push_back(scene.CreateSprite());
    TSprite& sprite = *sprites.back();
    sprite.LoadFromStream(stream);
    if (sprite.DroppedFrame != 0) {
      scene.Failed = 1;
      scene.LoadErrorText = SOutOfResources;
    }
    if (!ReportSpriteRead(scene, i, count)) return false;
  }
  return true;
}

}  // namespace

void TAnimatedScene::ReadData(TStream& stream) {
  const std::int32_t version = ReadVersion;
  TSettingsRollback rollback(*this);
  std::vector<std::unique_ptr<TSprite>> sprites;
  bool spritesRead = false;
  std::unique_ptr<TBitmap> background;
  std::unique_ptr<TBitmap> preview;
  std::vector<std::unique_ptr<TAudioFile>> sounds;
  try {
    bool complete = true;
    if (version <= 2) {
      complete = ReadSpriteList(*this, stream, version, sprites);
      spritesRead = true;
    }
    // An old file whose sprite list was cut short cannot be read further.
    if (complete) {
      StepTime = stream.ReadInt32();
      Timer().SetInterval(StepTime);
      const std::int32_t pictureSize = ReadRecordSize(stream);
      if (pictureSize > 0) {
        TRecordBlock block(stream, pictureSize);
        background = std::make_unique<TBitmap>();
        background->LoadFromStream(block.Stream());
      }
      StepCount = stream.ReadInt32();
      BackgroundMode = stream.ReadInt32();
      BackgroundFile = stream.ReadShortString();
      StartColor = static_cast<TColor>(stream.ReadInt32());
      FinishColor = static_cast<TColor>(stream.ReadInt32());
      PicturePlacement = stream.ReadInt32();
      const std::int32_t soundCount = ReadRecordCount(stream, TAudioFile::MinRecordSize());
      for (std::int32_t i = 0; i < soundCount; ++i) {
        sounds.push_back(std::make_unique<TAudioFile>(this));
        sounds.back()->LoadFromStream(stream);
      }
      stream.ReadShortString();  // reserved text
      if (version > 1) ReadReservedSettings(stream, ReservedSettings, version);
      if (version > 4) Name = stream.ReadShortString();
      if (version > 5) {
        const std::int32_t width = stream.ReadInt32();
        const std::int32_t height = stream.ReadInt32();
        RequireRecordImageSize(width, height, 1);
        Width = width;
        Height = height;
      }
      if (version > 9) {
        ReservedB1 = stream.ReadByte();
        ReservedB2 = stream.ReadInt32();
        ReservedB3 = stream.ReadInt32();
        ReservedB4 = stream.ReadByte();
        ReservedB5 = stream.ReadInt32();
      }
      if (version > 2) {
        for (std::int32_t& c : ReservedColors) c = stream.ReadInt32();
        for (std::uint8_t& b : ReservedColorBytes) b = stream.ReadByte();
      }
      if (version > 10) {
        LoopCount = stream.ReadInt32();
        ReservedA = stream.ReadByte();
        if (LoopCount > kMaxLoopCount) throw EReadError("The scene states an impossible loop count");
      }
      if (version > 13) {
        TransparentBackground = stream.ReadByte();
        TransparentColor = static_cast<TColor>(stream.ReadInt32());
        VelvetFill = stream.ReadInt32();
        FillColor = static_cast<TColor>(stream.ReadInt32());
        FillAngle = stream.ReadInt32();
        FountainBevel = stream.ReadInt32();
        BevelDepth = stream.ReadInt32();
        BevelHighlight = static_cast<TColor>(stream.ReadInt32());
        BevelShadow = static_cast<TColor>(stream.ReadInt32());
        OutlineWidth = stream.ReadInt32();
        OutlineColor = static_cast<TColor>(stream.ReadInt32());
        CornerRadius = stream.ReadInt32();
        if (!FillMeasuresPlausible(*this)) throw EReadError("The scene states an impossible background fill");
      }
      if (version == 14) preview = ReadPreviewBlock(stream);
      if (version > 2 && IncludeSprites != 0) {
        ReadSpriteList(*this, stream, version, sprites);
        spritesRead = true;
      }
    }
  } catch (...) {
    rollback.Restore();
    throw;
  }

  // Everything was read: it takes the place of what the scene had.
  if (spritesRead && IncludeSprites != 0) {
    ClearSprites();
    for (auto& sprite : sprites) InsertSprite(SpriteCount(), std::move(sprite));
  }
  if (background) BackgroundPicture.Assign(background.get());
  if (preview) PreviewBitmap = std::move(preview);
  // A loaded scene has no sounds; an undo snapshot keeps the scene's own.
  Sounds.clear();
  if (UndoMode != 0) Sounds = std::move(sounds);
}

void TAnimatedScene::LoadFromStream(TStream& stream) {
  Failed = 0;
  LoadErrorText.clear();
  const TFormatVersionScope versions(TFormatVersionScope::kNewestAfterwards);
  struct End {
    TAnimatedScene& scene;
    ~End() { scene.PreviewOnlyLoad = 0; }
  } end{*this};
  try {
    // A stream other than memory is read into memory once, and the reading
    // then never goes back to it for single values.
    if (dynamic_cast<TMemoryStream*>(&stream) != nullptr) {
      ReadContainer(stream);
    } else {
      const std::int64_t start = stream.Position();
      TMemoryStream memory;
      memory.SetSize(stream.Remaining());
      stream.ReadBuffer(memory.Memory(), memory.Size());
      memory.SetPosition(0);
      try {
        ReadContainer(memory);
      } catch (...) {
        stream.SetPosition(start + memory.Position());
        throw;
      }
      stream.SetPosition(start + memory.Position());
    }
  } catch (const std::exception&) {
    Ui().MessageBox(OwnerHandle(*this), SProjectReadError, "Error", MB_ICONERROR);
    Failed = 1;
  }
}

void TAnimatedScene::ReadContainer(TStream& stream) {
  const std::uint8_t compressed = stream.ReadByte();
  const std::string signature = stream.ReadShortString();

  // The preview of current files is found whatever the signature says.
  std::unique_ptr<TBitmap> preview;
  bool markerFound = false;
  const std::int64_t markerAt = stream.Position();
  const std::string marker = SPreviewMarker;
  if (stream.Remaining() >= static_cast<std::int64_t>(marker.size()) + 1) {
    const std::uint8_t length = stream.ReadByte();
    const std::string text = stream.ReadBytes(static_cast<std::int64_t>(marker.size()));
    markerFound = length == marker.size() && text == marker;
  }
  if (markerFound) {
    preview = ReadPreviewBlock(stream);
  } else {
    stream.SetPosition(markerAt);
  }
  if (PreviewOnlyLoad != 0 && markerFound) {
    if (preview) PreviewBitmap = std::move(preview);
    return;
  }

  const std::int32_t version = ProjectVersionOf(signature);
  LastReadVersion = version;
  ReadVersion = version;
  if (version == 0) {
    Ui().MessageBox(OwnerHandle(*this), UpgradeMessage(signature), "Error", MB_ICONERROR);
    throw Exception(SOldVersionDetected);
  }
  std::int32_t window = kOldestWindowSize, lookAhead = kOldestLookAhead;
  if (version > 4) {
    window = stream.ReadInt32();
    lookAhead = stream.ReadInt32();
  }
  if (compressed > 1) throw EReadError("Unknown body coding");
  if (compressed == 1) {
    std::unique_ptr<TMemoryStream> body = ExpandBody(stream, version, window, lookAhead);
    ReadData(*body);
  } else {
    ReadData(stream);
  }
  if (preview) PreviewBitmap = std::move(preview);
  if (DrawBackgroundOnLoad == 0) return;
  SetBackground(true, BackgroundMode, BackgroundFile, StartColor, FinishColor, PicturePlacement, nullptr);
}

void TAnimatedScene::LoadFromFile(const std::string& fileName) {
  TMemoryStream memory;
  try {
    TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
    memory.LoadFromStream(file);
  } catch (const std::exception&) {
    // A file that cannot be opened is reported as a read that failed.
    Failed = 1;
    LoadErrorText.clear();
    PreviewOnlyLoad = 0;
    Ui().MessageBox(OwnerHandle(*this), SProjectReadError, "Error", MB_ICONERROR);
    return;
  }
  LoadFromStream(memory);
}

void TAnimatedScene::LoadSettings(TStream& stream) {
  IncludeSprites = 0;
  LoadFromStream(stream);
  IncludeSprites = 1;
}
