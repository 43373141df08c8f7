// The export wizard's frames page without its window: the list of reduced
// GIF frames (the export engine's) with the edits the page makes to them
// (duration, position, restore method, interlacing, transparency, order,
// deletion, pictures inserted from files, colour tables), the texts the page
// shows for them, and the frame player's compositions and timing. The page
// draws the thumbnails and the player from it and writes every edit through
// it; the engine's Finish then writes the edited frames.
#pragma once

#include "dialogs/core/FrameReduction.h"
#include "imaging/CreatePaletteU.h"
#include "platform/Colors.h"
#include "platform/Geometry.h"
#include "platform/Graphics.h"

#include <functional>
#include <string>
#include <vector>

class TExportProgress;

// Shown when the colour table of a frame without one is to be edited.
extern const char* const SImageHasNoPalette;  // "The image has more than 256 colors and doesn't have palette."

// The grey behind the player's frames.
constexpr TColor kPlayerBackground = 0x808080;

class TExportFrameList {
 public:
  // Works on the engine's frames and composition state.
  TExportFrameList(TSetOfBitmaps& frames, TExportComposition& composition);

  int Count() const { return static_cast<int>(frames_.size()); }
  TSetOfBitmapsItem& Frame(int index) { return *frames_.at(static_cast<std::size_t>(index)); }
  const TSetOfBitmapsItem& Frame(int index) const { return *frames_.at(static_cast<std::size_t>(index)); }
  bool Contains(int index) const { return index >= 0 && index < Count(); }

  // ---- The grid of thumbnails ----
  // Row 0 is a header row as soon as there is more than one row; row r >= 1
  // shows frame r - 1.
  int GridRowCount() const { return Count() + 1; }
  int FixedGridRows() const { return GridRowCount() > 1 ? 1 : 0; }
  // "Image: 468x60 pxs," CR "Format: 256 colors, (8 bit)" CR "Total: 12 Images."
  std::string FrameHint(int index) const;
  // Deleting, playing and the frame parameters need a frame; moving two.
  bool CanEditFrames() const { return Count() > 0; }
  bool CanMoveFrames() const { return Count() > 1; }

  // ---- The player ----
  int CurrentFrame() const { return current_; }
  // Stores the index, or 0 when it is outside the list.
  void SetCurrentFrame(int index);
  // The frame number shown beside the player: three digits, "000" for none.
  static std::string FrameNumberText(int oneBasedNumber);
  // The current frame (clamped) drawn over what target shows, after the
  // disposal of the frame before it, on the player's grey.
  void ShowPlayerFrame(TBitmap& target);
  // Frame 0 over the grey, frames 1 to index - 1 over it, then frame index
  // as the current frame.
  void ShowComposedFrame(TBitmap& target, int index);
  // The dotted outline of a frame: one pixel around it on the left and top.
  TRect OutlineRect(int index) const;
  // The player's buttons: the first frame; the one after the current
  // (wrapping to the first); the one before it (staying on the first).
  void ShowFirstFrame(TBitmap& target);
  void ShowNextFrame(TBitmap& target);
  void ShowPreviousFrame(TBitmap& target);
  // 50 ms ticks a frame shows for: its delay in whole ticks, at least one.
  static int TicksForDelay(int delay);
  // One 50 ms tick of the playing player. advanced: the next frame is to be
  // shown (it is the current frame now); stop: the player stops (an empty
  // list, or the last frame shown when the animation plays once).
  struct TTick {
    bool advanced = false;
    bool stop = false;
  };
  TTick Tick(int loopCount);
  void RestartTicks() { ticks_ = 0; }

  // ---- Frame parameters ----
  void SetDelay(int index, int delay);
  void SetLeft(int index, int left);
  void SetTop(int index, int top);
  void SetDisposal(int index, int disposal);
  void SetInterlaced(int index, bool interlaced);
  // The set-to-all buttons.
  void SetDelayToAll(int delay);
  void SetLeftToAll(int left);
  void SetTopToAll(int top);
  void SetDisposalToAll(int disposal);
  void SetInterlacedToAll(bool interlaced);
  // The frame's transparency and transparent colour; the pick point and the
  // palette index are stored unless they are -2.
  void SetFrameTransparency(int index, TColor color, bool transparent, int paletteIndex, int pickY, int pickX);
  void SetTransparencyToAll(TColor color, bool transparent);
  // The palette index of a cell of the colour-table editor's 16-wide grid.
  static int PaletteIndexOfCell(int row, int column) { return row * 16 + column; }
  // The colour a pick at (x, y) of the player's composition takes.
  static TColor PickedColor(const TBitmap& composition, int x, int y) { return composition.Pixel(x, y); }
  // Where the frame goes when dragged: the pointer less the offsets taken
  // when the button went down (pointer less the frame's place).
  static TPoint DraggedPlace(TPoint pointer, TPoint grabOffset) { return {pointer.X - grabOffset.X, pointer.Y - grabOffset.Y}; }
  // True when the point lies strictly inside the frame's rectangle.
  bool InsideFrame(int index, TPoint point) const;

  // ---- List editing ----
  // Frees the frame; the current frame stays within the list.
  void Delete(int index);
  // Moves a frame one place; false when it cannot move.
  bool MoveUp(int index);
  bool MoveDown(int index);

  // Chooses the frames of a video to insert: given the file name and its
  // frame count, sets the first frame (1-based) and the number of frames;
  // false when the user cancels.
  using TChooseVideoFrames = std::function<bool(const std::string& fileName, int frameCount, int& first, int& count)>;
  // Appends the pictures of a file by its extension: a BMP or JPEG picture;
  // every image of a GIF larger than 1 x 1 with its delay, place, restore
  // method, interlacing and transparency (a 1-pixel placeholder adds its delay
  // to the frame before it, and a transparent colour found in no pixel makes
  // its frame opaque); frames of an AVI video chosen through choose. Other
  // files add nothing. Returns the number of frames added; a file that
  // cannot be read raises its error. The export name is never changed.
  int InsertImageFile(const std::string& fileName, const TChooseVideoFrames& choose, TExportProgress* progress);

  // True when the frame is an 8-bit picture whose colour table can be edited.
  bool HasColorTable(int index) const;
  // Gives the frame (or every frame) the colours of an edited table at the
  // same indices; each keeps its pixels' indices and its transparent colour.
  void ApplyColorTable(int index, bool allFrames, const std::vector<TColor>& colors, TExportProgress* progress);

 private:
  void ApplyColorTableTo(TSetOfBitmapsItem& item, const std::vector<TColor>& colors);
  int InsertGif(const std::string& fileName, TExportProgress* progress);
  int InsertVideo(const std::string& fileName, const TChooseVideoFrames& choose, TExportProgress* progress);
  void Append(std::unique_ptr<TSetOfBitmapsItem> item);

  TSetOfBitmaps& frames_;
  TExportComposition& composition_;
  int current_ = 0;
  int ticks_ = 0;
};
