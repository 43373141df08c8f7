// The document: a canvas of a fixed size with a background, an ordered list
// of sprites, a step counter, a loop counter and a playback timer. Each tick
// composes one step incrementally: only the rectangles in which something
// changed are rebuilt from the cached background and copied to the output.
#pragma once

#include "platform/Colors.h"
#include "platform/Geometry.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"
#include "platform/Timer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TSprite;
class TStream;
class TAudioFile;

// One visibility interval of a sprite, both ends included.
class TStartAndFinish {
 public:
  explicit TStartAndFinish(TSprite* sprite);

  // Ignored when unchanged or negative; records "Change Start Step"; the end
  // follows a start beyond it.
  void SetStart(std::int32_t step);
  // Ignored when unchanged or negative; records "Change End Step"; the start
  // follows an end below it, and the end is at least 2.
  void SetEnd(std::int32_t step);
  TSprite* Sprite() const { return sprite_; }

  // Start step, end step, and the id in undo mode.
  void SaveToStream(TStream& stream) const;
  void LoadFromStream(TStream& stream);
  // Bytes of one record at the current undo mode.
  static std::int64_t RecordSize();

  std::int32_t StartStep = 1;
  std::int32_t EndStep = 3;
  std::int32_t Id;

 private:
  void RecordChange(const char* caption);
  TSprite* sprite_;
};

// One dirty rectangle of a composition.
struct TOutputRect {
  TRect Rect;
};

// What the scene needs from the control that shows it.
class TSceneOwner {
 public:
  virtual ~TSceneOwner() = default;
  // The control's window handle (0 while it has none).
  virtual HWND Handle() const = 0;
};

// The settings a project file carries through unchanged; list C holds the
// comment lines that the GIF export writes.
struct TReservedSettings {
  std::array<std::vector<std::string>, 7> Lists;  // A to G
  std::array<std::uint8_t, 9> Bytes{};
  std::array<std::string, 16> Strings;
  std::array<std::int32_t, 4> Ints{};
  std::vector<std::string>& GifComment() { return Lists[2]; }
};

// Background modes and picture placements.
enum : std::int32_t { bgmNone = 0, bgmDesktop = 1, bgmFillAndPicture = 2 };
enum : std::int32_t { ppNone = 0, ppCentered = 1, ppTiled = 2, ppStretched = 3 };

class TAnimatedScene {
 public:
  explicit TAnimatedScene(TSceneOwner* owner = nullptr);
  virtual ~TAnimatedScene();
  TAnimatedScene(const TAnimatedScene&) = delete;
  TAnimatedScene& operator=(const TAnimatedScene&) = delete;

  TSceneOwner* Owner() const { return owner_; }

  // ---- Sprites ----
  int SpriteCount() const { return static_cast<int>(sprites_.size()); }
  TSprite& Sprite(int index) const { return *sprites_.at(static_cast<std::size_t>(index)); }
  virtual std::unique_ptr<TSprite> CreateSprite();
  // Appends a new sprite named "Sprite n" and records "Add Sprite"; index gets its position.
  virtual TSprite* AddSprite(int& index);
  // Records "Delete Sprite" and frees the sprite.
  void DeleteSprite(int index);
  // Puts a sprite into the list at the index (undo restores, project reads).
  void InsertSprite(int index, std::unique_ptr<TSprite> sprite);
  // Takes the sprite out of the list without freeing it.
  std::unique_ptr<TSprite> ExtractSprite(int index);
  void MoveSprite(int from, int to);
  // The undo log's restore of a sprite record: a new sprite reads the record
  // and is inserted at the index; with replace, the sprite it displaced (now
  // after it) is freed.
  TSprite* RestoreSpriteFromUndo(TStream& stream, int index, bool replace);
  void ClearSprites();

  // ---- Playback ----
  void Play();
  void Stop();
  void SetLoopCount(std::int32_t count);
  // Composes one step (the timer's handler).
  void NextFrame();
  void Rewind();
  void AdvanceNoDraw();
  // Rewinds and steps on without drawing so that the next NextFrame shows step n - 1.
  void GotoFrame(std::int32_t n);
  // Composes the current step with everything repainted, into the bitmap
  // (resampled to its size unless keepStretch, else stretched).
  void RenderFrameToBitmap(bool keepStretch, TBitmap& bitmap);
  void ReleaseFrameCaches();
  // Forgets where sprites were drawn, for a composition that starts from a
  // freshly painted background.
  void ClearSpriteRects();
  TTimer& Timer() { return timer_; }
  // The merged dirty rectangles of the last composition.
  const std::vector<TOutputRect>& LastDirtyRects() const { return lastDirtyRects_; }

  // ---- Background ----
  void SetBackground(bool keepSettings, std::int32_t mode, const std::string& fileName, TColor startColor,
                     TColor finishColor, std::int32_t placement, const TBitmap* picture);
  // Palette mode: gives the bitmap the palette of the first suitable frame.
  void SelectPalette(TBitmap& bitmap);

  // ---- Project files (the container, the body and the snapshots of the undo log) ----
  // Writes the container and the body at the save version (compress 1 writes
  // the body in coded blocks of blockSize bytes); on a write error shows the
  // message, sets the cancel flag and failed. Returns the number of format
  // signatures (16). Both format versions are 16 afterwards.
  virtual int SaveToStream(TStream& stream, int compress, int blockSize);
  // Writes the scene body at the stream's position.
  virtual void WriteData(TStream& stream);
  // Reads a container from the stream's position. On any error the message
  // is shown, failed is set and the scene is left as it was.
  virtual void LoadFromStream(TStream& stream);
  // Reads a body; raises on any error, leaving the scene as it was.
  virtual void ReadData(TStream& stream);
  // Reads the file into memory and loads it (LoadFromStream).
  void LoadFromFile(const std::string& fileName);
  // The whole scene as a container (compress 0, blocks of 1024).
  void SaveUncompressed(TStream& stream);
  // The scene without sprites, background picture and preview.
  void SaveSettings(TStream& stream);
  void LoadSettings(TStream& stream);

  // ---- Animation import ----
  // Turns a GIF (one sprite per image) or an AVI file (one sprite of clip
  // frames, its audio as the scene's sound) into this scene; first and count
  // choose the images or clip frames (below 1 for GIF, -1 for AVI: the
  // defaults). Sets failed and the load error text on failure.
  void ImportAnimation(const std::string& fileName, int first, int count);

  // ---- Fields ----
  std::int32_t LoopCount = -1;
  std::int32_t LoopsLeft = 1;
  std::int32_t LoopsDone = 0;
  std::uint8_t ReservedA = 0;
  std::uint8_t BackgroundDrawn = 0;
  HWND OwnerWindow = 0;
  std::int32_t StepTime = 50;
  std::uint8_t SoundEnabled = 1;
  HWND NotifyWindow = 0;
  std::string LoadErrorText;
  std::int32_t Width;
  std::int32_t Height;
  std::int32_t StepCount = 1000;
  std::int32_t CurrentStep = 1;
  std::int32_t BackgroundMode = bgmNone;
  std::string BackgroundFile;
  std::int32_t VelvetFill = 0;
  TColor StartColor = 0;
  TColor FinishColor = 0;
  TColor FillColor = 0xFFFFFF;
  std::int32_t FillAngle = 90;
  std::int32_t FountainBevel = 0;
  std::int32_t BevelDepth = 0;
  TColor BevelHighlight = 0xC0C0C0;
  TColor BevelShadow = 0x808080;
  std::int32_t OutlineWidth = 0;
  TColor OutlineColor = 0;
  std::int32_t CornerRadius = 0;
  std::int32_t PicturePlacement = ppNone;
  TBitmap BackgroundPicture;
  // Not owned: the bitmap the owner shows; compositions go to it.
  TBitmap* OutputBitmap = nullptr;
  TBitmap BackgroundBitmap;
  TBitmap CompositionBitmap;
  std::uint8_t TransparentBackground = 0;
  TColor TransparentColor = 0;
  std::uint8_t Failed = 0;
  std::string Name = "NONAME";
  TReservedSettings ReservedSettings;
  std::array<std::int32_t, 2> ReservedColors{0x00FF0000, 0x00FFFF00};
  std::array<std::uint8_t, 4> ReservedColorBytes{};
  std::uint8_t ReservedB1 = 0;
  std::int32_t ReservedB2 = 30;
  std::int32_t ReservedB3 = 0;
  std::uint8_t ReservedB4 = 0;
  std::int32_t ReservedB5 = 100;
  std::uint8_t IncludeSprites = 1;
  std::uint8_t RepaintOnly = 0;
  std::uint8_t PreviewOnlyLoad = 0;
  // 0: a read leaves the background undrawn (everything else is read all the
  // same), for a reader that checks the scene's size before it draws anything
  // that large; SetBackground draws it.
  std::uint8_t DrawBackgroundOnLoad = 1;
  std::uint8_t Locked = 0;
  std::uint8_t ResampledStretching = 0;
  std::uint8_t SkipPainting = 0;
  std::uint8_t Busy = 0;
  // The message of the first sprite or shadow that could not be drawn in the
  // last composition (which leaves it out); empty when every one was drawn.
  // An export refuses such a step instead of writing it half drawn.
  std::string DrawFailure;
  std::uint8_t WritePreview = 1;
  std::unique_ptr<TBitmap> PreviewBitmap;
  std::int32_t LastReadVersion = 16;  // format version of the last project read
  std::uint8_t OmitGeneratedImages = 0;
  // The sound files, owned.
  std::vector<std::unique_ptr<TAudioFile>> Sounds;

 private:
  void RefreshOwnerWindow();
  void MotionPass(bool repaintOnly);
  std::vector<TOutputRect> CollectDirtyRects(bool repaintOnly, bool fullRepaint);
  void MergeDirtyRects(std::vector<TOutputRect>& rects, bool repaintOnly);
  void RedrawRect(const TRect& rect, TBitmap& target, bool repaintOnly);
  bool ClipToScene(const TRect& rect, TRect& clipped) const;
  void CopyArea(TBitmap& destination, const TBitmap& source, const TRect& area);
  void LoadBackgroundPicture(const std::string& fileName);
  void DrawBackgroundPicture();
  // The container after the stream's position; raises on any error.
  void ReadContainer(TStream& stream);

  TSceneOwner* owner_;
  std::vector<std::unique_ptr<TSprite>> sprites_;
  TTimer timer_;
  std::vector<TOutputRect> lastDirtyRects_;
};
