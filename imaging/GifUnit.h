// The GIF file model: a whole GIF file in memory (header, logical screen,
// global colour table and the frames with their extension blocks, pixel
// matrices and LZW data), read and written block by block; the per-frame
// attributes kept in extension blocks; frames made from 8-bit bitmaps; frames
// turned into bitmaps; and playback that composes the frames one after another.
#pragma once

#include "imaging/ColorTbl.h"
#include "imaging/DynArrB.h"
#include "imaging/GifDecl.h"
#include "imaging/MinGDIBitmapU.h"
#include "platform/Geometry.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStream;
class TGifFile;
struct TSourcePalette;

// GetTransparentColor of a frame without transparency (-1 as a 32-bit value).
constexpr TColor kNoTransparentColor = 0xFFFFFFFFu;

// One frame of a GIF file: an image with its descriptor, optional local
// colour table, pixel matrix and LZW data, or only the extension blocks that
// stand after the last image.
class TGifSubImage {
 public:
  // An image frame for numColors colours (2, 4, ..., 256); raises
  // EGifException "Number of colors (n) wrong; must be a power of 2".
  TGifSubImage(int numColors, TGifFile* owner);
  // A frame that holds only extensions (no pixel matrix, no LZW data).
  explicit TGifSubImage(TGifFile* owner);
  ~TGifSubImage();
  TGifSubImage(const TGifSubImage&) = delete;
  TGifSubImage& operator=(const TGifSubImage&) = delete;

  TGifFile* Owner() const { return owner_; }

  // ---- Image descriptor ----
  int Left() const { return Word(0); }
  int Top() const { return Word(2); }
  int Width() const { return Word(4); }
  int Height() const { return Word(6); }
  void SetLeft(int left) { SetWord(0, left); }
  void SetTop(int top) { SetWord(2, top); }
  bool Interlaced() const { return interlaced_ != 0; }
  // Changing the row order makes the LZW data stale: it is encoded anew.
  void SetInterlaced(bool interlaced);
  bool HasLocalTable() const { return localTableFlag_ != 0; }
  void SetLocalTableFlag(bool flag) { localTableFlag_ = flag ? 1 : 0; }
  int SizeBits() const { return sizeBits_; }
  void SetSizeBits(int bits);
  // The 9 descriptor bytes with the packed byte rebuilt.
  std::array<std::uint8_t, 9> Descriptor();
  // $80 with a local table, + $40 when interlaced, + (size bits - 1) with a local table.
  void RebuildPackedByte();
  // Takes the descriptor's packed byte apart; the local table's count becomes 2^size bits.
  void UnpackPackedByte(std::uint8_t packed);

  TColorTable& LocalTable() { return localTable_; }
  const TColorTable& LocalTable() const { return localTable_; }
  // The local table when the flag is set, else the file's global table.
  const TColorTable& ActiveTable() const;

  // ---- Pixels and LZW data ----
  // The colour indices; nullptr for an extension-only frame.
  TByteArray2D* Pixels() { return pixels_.get(); }
  const TByteArray2D* Pixels() const { return pixels_.get(); }
  // Takes a matrix and its size; the LZW data is cleared, so that writing encodes it.
  void SetPixels(std::unique_ptr<TByteArray2D> pixels);
  std::uint8_t LzwMinCodeSize() const { return lzwMinCodeSize_; }
  void SetLzwMinCodeSize(std::uint8_t size) { lzwMinCodeSize_ = size; }
  TByteBuffer& LzwData() { return lzwData_; }
  const TByteBuffer& LzwData() const { return lzwData_; }
  // The LZW data into a new matrix of the descriptor's size.
  void Decode();
  // The matrix into new LZW data.
  void Encode();

  // ---- Extensions and frame attributes ----
  TExtensionList& Extensions() { return extensions_; }
  const TExtensionList& Extensions() const { return extensions_; }
  // Replaces the list; disposal and transparent flag come from its last
  // graphic control extension (0 without one).
  void SetExtensions(TExtensionList extensions);
  int Disposal() const { return disposal_; }
  bool Transparent() const { return transparent_ != 0; }

  // Delay in 1/100 s of the last graphic control extension; 0 without one.
  int GetDelay() const;
  void SetDelay(int delay);
  void SetTransparent(int transparent);
  void SetDisposal(int disposal);
  // Transparency with the table index nearest to the colour.
  void SetTransparentColor(TColor color);
  void SetTransparentIndex(int index);
  // The colour of the transparent index of the first graphic control
  // extension with the transparency bit; kNoTransparentColor without one.
  TColor GetTransparentColor() const;
  // That index, or -1.
  int TransparentIndex() const;
  // Every application extension gets the sub-block 1, n low, n high; without
  // one a "NETSCAPE2.0" block is appended.
  void SetLoopCount(int count);
  // Nothing for an empty list; every comment extension gets the lines;
  // without one a comment extension is appended.
  void SetComments(const std::vector<std::string>& lines);
  // The lines of the last comment extension; nullptr without one.
  const std::vector<std::string>* GetComments() const;

  // ---- Bitmaps ----
  // The frame as an 8-bit BMP file, from stream position 0; the position is
  // put back to 0. Nothing for a frame without pixels.
  void SaveAsBMP(TStream& stream) const;
  // The frame's bitmap, made on first use from its BMP image and kept;
  // nullptr for a frame without pixels.
  TMinGDIBitmap* GetBitmap();
  // Drops the kept bitmap (after the pixels or tables changed).
  void FreeBitmap() { bitmap_.reset(); }
  // Drops the pixels, coded data and bitmap of a frame that was written
  // image by image; the frame then holds only its extensions.
  void DropPixels();

 private:
  int Word(int offset) const { return descriptor_[offset] | (descriptor_[offset + 1] << 8); }
  void SetWord(int offset, int value) {
    descriptor_[offset] = static_cast<std::uint8_t>(value & 0xFF);
    descriptor_[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
  }
  TExtension& AppendGraphicControl(std::uint8_t packed, int delay, int index);
  void SetTransparencyIndex(int index);

  friend class TGifFile;

  std::uint8_t lzwMinCodeSize_ = 2;
  TByteBuffer lzwData_;
  TGifFile* owner_;
  std::unique_ptr<TMinGDIBitmap> bitmap_;
  std::uint8_t disposal_ = 0;
  TExtensionList extensions_;
  std::uint8_t transparent_ = 0;
  std::array<std::uint8_t, 9> descriptor_{};
  std::uint8_t interlaced_ = 0;
  std::uint8_t localTableFlag_ = 0;
  std::uint8_t sizeBits_ = 1;
  std::unique_ptr<TByteArray2D> pixels_;
  TColorTable localTable_;
};

class TGifFile {
 public:
  TGifFile();
  ~TGifFile();
  TGifFile(const TGifFile&) = delete;
  TGifFile& operator=(const TGifFile&) = delete;

  // ---- Reading and writing ----
  void LoadFromFile(const std::string& fileName);
  // Appends the stream's frames (used on a new object).
  void LoadFromStream(TStream& stream);
  void SaveToFile(const std::string& fileName);
  void SaveToStream(TStream& stream);
  // Writing image by image, for files too large to keep whole: the header
  // (with the logical screen and the global table as they stand), then each
  // frame as it is ready (coded first when it has no coded data), then the
  // trailer. SaveToStream writes them all, with progress and cancelling.
  void WriteHeader(TStream& stream);
  void WriteSubImage(TStream& stream, int index);
  void WriteTrailer(TStream& stream);
  // Bytes taken by the last load.
  std::int64_t BytesRead() const { return bytesRead_; }
  // Receives message 1003 (position, total) while reading and writing; 0: none.
  HWND ProgressWindow() const { return progressWindow_; }
  void SetProgressWindow(HWND window) { progressWindow_ = window; }

  // ---- Header and logical screen ----
  std::string Version() const { return std::string(header_.begin() + 3, header_.end()); }
  const std::array<std::uint8_t, 6>& Header() const { return header_; }
  int ScreenWidth() const { return screen_[0] | (screen_[1] << 8); }
  int ScreenHeight() const { return screen_[2] | (screen_[3] << 8); }
  void SetScreenWidth(int width);
  void SetScreenHeight(int height);
  std::uint8_t BackgroundIndex() const { return screen_[5]; }
  std::uint8_t AspectRatio() const { return screen_[6]; }
  // The 7 screen bytes with the packed byte rebuilt; raises EGifException
  // "unexpected number of colors" for a global count that is not 2, 4, ..., 256.
  std::array<std::uint8_t, 7> ScreenDescriptor();
  void RebuildScreenPackedByte();
  bool HasGlobalTable() const { return globalTableFlag_ != 0; }
  void SetGlobalTableFlag(bool flag) { globalTableFlag_ = flag ? 1 : 0; }
  int GlobalColorBits() const { return globalColorBits_; }
  TColorTable& GlobalTable() { return globalTable_; }
  const TColorTable& GlobalTable() const { return globalTable_; }
  // When set, frames added from bitmaps get their own local tables.
  bool DifferentPalettes() const { return differentPalettes_ != 0; }
  void SetDifferentPalettes(bool flag) { differentPalettes_ = flag ? 1 : 0; }

  // ---- Frames ----
  int ImageCount() const { return static_cast<int>(images_.size()); }
  // Frame i (1-based); nullptr outside the list.
  TGifSubImage* GetSubImage(int index);
  const TGifSubImage* GetSubImage(int index) const;
  void AddSubImage(std::unique_ptr<TGifSubImage> image);
  // The largest descriptor width and height (0 without frames).
  int LargestWidth() const;
  int LargestHeight() const;
  // Sets the comments of every extension-only frame, appending one when there is none.
  void SetComments(const std::vector<std::string>& lines);

  // ---- Frames from bitmaps ----
  // How a picture's indices map into a frame of this file, and the table
  // that goes with them.
  struct TColorMapping {
    TColorTable table{0};
    bool becomesGlobal = false;
    bool becomesLocal = false;
    std::array<int, 256> mapped{};
  };
  // What adding an 8-bit picture decides before a pixel is touched: a first
  // mapping that settles the tables, the frame's own mapping, and the frame
  // index each picture index becomes.
  struct TGraphicPlan {
    TColorMapping first;
    TColorMapping kept;
    std::array<std::uint8_t, 256> final{};
    // The indices the frame uses, in the order they first appear, row by
    // row, where that order matters: for tables built entry by entry.
    std::vector<std::uint8_t> order;
  };
  // Appends a frame made from the graphic (converted to 8 bits when it is
  // not); returns what was decided for it.
  TGraphicPlan AddGraphic(const TBitmap& graphic);
  // The plan AddGraphic makes for an 8-bit picture with these palette
  // colours (the first 256 count) whose pixels show these indices (in the
  // order they first appear when the frames get tables of their own), when
  // the file's global table is `global`.
  TGraphicPlan PlanGraphic(const std::vector<TColor>& palette, const std::vector<std::uint8_t>& order,
                           const TColorTable& global) const;
  // Appends the frame of a plan made against this file's global table as it
  // stands, as already coded LZW data of its width x height indices: the
  // frame AddGraphic makes, without a pixel matrix.
  TGifSubImage& AddCodedGraphic(const TGraphicPlan& plan, int width, int height, const TByteBuffer& data);

  // ---- Playback ----
  // Composes the next frame (with the disposal of the one before) into the
  // composed bitmap and copies it into target as a 24-bit bitmap.
  void DrawNextFrame(TBitmap& target);
  // Frame i composed into target, replaying from frame 1 when needed.
  void GetFrameBitmap(int index, TBitmap& target);
  // Frame 1 composed; the composed bitmap.
  TBitmap* GetBitmap();
  // Returns the looped flag (set when composing wrapped to frame 1) and clears it.
  bool TakeLooped();
  // The number of the next frame to compose; set back to 1 to restart.
  int FrameCounter() const { return frameCounter_; }
  void SetFrameCounter(int counter) { frameCounter_ = counter; }
  int LastComposedFrame() const { return lastComposed_; }
  TBitmap& ComposedBitmap() { return composed_; }

 private:
  void SendProgress(std::int64_t position, std::int64_t total) const;
  void ReadFrames(TStream& stream);
  bool ReadImage(TStream& stream, TExtensionList extensions, std::int64_t& pixelBudget);
  void WriteFrame(std::vector<std::uint8_t>& out, TGifSubImage& image);
  TColorMapping MapColors(const TSourcePalette& palette, const std::vector<std::uint8_t>& order,
                          const TColorTable& global) const;
  void CommitGlobalTable(const TColorMapping& mapping);
  std::unique_ptr<TGifSubImage> MakeFrame(const TColorMapping& mapping, std::unique_ptr<TByteArray2D> matrix);
  TSize CompositionSize() const;
  // Composes the frame of the counter into the composed bitmap and advances.
  void ComposeNext();
  void ComposeFrame(const TGifSubImage& image, bool first);
  void FillArea(const TRect& rect, TColor color);

  friend class TGifSubImage;

  // Playback state.
  int frameCounter_ = 0;
  int lastComposed_ = 1;
  int composedIndex_ = 0;  // the frame the composed bitmap holds (0: none)
  TBitmap composed_;
  // The composed pixels under the last frame with disposal 3, from before it was drawn.
  TRect savedRect_{};
  std::vector<std::uint8_t> savedArea_;
  TRect previousRect_{};
  std::uint8_t previousTransparent_ = 0;
  std::uint8_t previousDisposal_ = 0;
  TColor backgroundColor_ = clWhite;
  std::uint8_t looped_ = 0;

  std::int64_t bytesRead_ = 0;
  std::array<std::uint8_t, 6> header_{'G', 'I', 'F', '8', '9', 'a'};
  std::array<std::uint8_t, 7> screen_{};
  std::uint8_t globalTableFlag_ = 1;
  std::uint8_t globalColorBits_ = 1;
  TColorTable globalTable_{0};
  std::vector<std::unique_ptr<TGifSubImage>> images_;
  HWND progressWindow_ = 0;
  std::uint8_t differentPalettes_ = 0;
  // The bytes of the frame being written; its memory serves every frame.
  std::vector<std::uint8_t> writeBuffer_;
};

// A bitmap whose LoadFromStream reads a GIF file and takes its first image.
// Registered as the picture format for ".gif" ("GIF-Format").
class TGifBitmap : public TBitmap {
 public:
  void LoadFromStream(TStream& stream) override;
};
