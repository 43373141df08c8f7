// Assembly of the exported GIF from the reduced frames: one image per frame
// with its delay, position, disposal, interlacing and transparent index, the
// loop block when the animation repeats, and the scene's comment.
#pragma once

#include "imaging/CreatePaletteU.h"
#include "imaging/GifDecl.h"
#include "imaging/GifUnit.h"
#include "imaging/MinGDIBitmapU.h"
#include "platform/Messages.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TGifFile;
class TGifSubImage;
class TExportProgress;

// The message shown when a frame is not an 8-bit picture.
extern const char* const SGifNeeds256Colors;  // "All images must be converted to 256 colors before saving as GIF."

struct TGifAssemblyOptions {
  bool LocalColorTables = false;   // each image gets its own colour table
  HWND ProgressWindow = 0;         // receives the GIF's progress messages
  std::int32_t LoopCount = -1;     // the scene's: -1 endless, 0 play once
  std::vector<std::string> CommentLines;
};

// The GIF of the frames, or nothing for an empty list or when a frame is not
// 8-bit (then SGifNeeds256Colors is shown). When the cancel flag is found set
// after a frame, the images made so far are returned.
std::unique_ptr<TGifFile> CreateGifFile(TSetOfBitmaps& frames, const TGifAssemblyOptions& options,
                                        TExportProgress* progress);

// True when every frame is an 8-bit picture; otherwise SGifNeeds256Colors is
// shown and false returned.
bool FramesFitGif(const TSetOfBitmaps& frames);

// The exported GIF made one frame at a time, so that a large export can code,
// write and drop each image before the next is made.
class TGifAssembler {
 public:
  // A GIF of the frames' images; its logical screen covers the largest frame.
  TGifAssembler(const TGifAssemblyOptions& options, const TSetOfBitmaps& frames);
  ~TGifAssembler();
  TGifAssembler(const TGifAssembler&) = delete;
  TGifAssembler& operator=(const TGifAssembler&) = delete;
  TGifFile& Gif() { return *gif_; }
  std::unique_ptr<TGifFile> Take();
  // Adds the frame's image with its delay, position, disposal, interlacing
  // and transparent index; the loop block stands on the first image of an
  // animation that repeats. Returns the image.
  // The plan of the frame's image goes to `plan` when one is given.
  TGifSubImage& Add(const TSetOfBitmapsItem& item, TGifFile::TGraphicPlan* plan = nullptr);
  // The image that writing the frame makes, decided when the frame was
  // taken back from its GIF image, when it is still valid here: the frame's
  // picture is unchanged, its row order the same and the file's tables as
  // they were then. Nothing otherwise.
  const struct TWrittenImage* WrittenImageOf(const TSetOfBitmapsItem& item) const;
  // Adds that image, coded as it was, with the frame's attributes as Add sets them.
  TGifSubImage& AddWritten(const TSetOfBitmapsItem& item, const TWrittenImage& written);
  // After the last image: the comment as a frame of extensions; nothing
  // without comment lines.
  TGifSubImage* AddComment();

 private:
  void SetAttributes(TGifSubImage& image, const TSetOfBitmapsItem& item, TColor transparentColor);
  TGifAssemblyOptions options_;
  int frameCount_;
  std::unique_ptr<TGifFile> gif_;
};

// The comment lines as one text, each line followed by CR LF, cut into the
// pieces of at most 255 bytes that GIF sub-blocks hold.
std::vector<std::string> GifCommentBlocks(const std::vector<std::string>& lines);

// The coded data of a GIF image, shared by the frame that shows it and the
// cache of coded images.
struct TCodedImage {
  TByteBuffer Data;
  int MinCodeSize = 8;
  int Width = 0;
  int Height = 0;
  bool Interlaced = false;
};

// The GIF image that writing a frame taken back from its GIF image makes:
// the plan of its tables and indices (made against a global table as it
// stood), its coded data, and the picture's transparent colour.
struct TWrittenImage {
  TGifFile::TGraphicPlan Plan;
  std::shared_ptr<const TColorTable> GlobalBefore;
  bool LocalColorTables = false;
  std::shared_ptr<const TCodedImage> Coded;
  TColor TransparentColor = 0;
};

// Decides, as the frames are taken back from their GIF images one by one,
// the images that writing the taken-back frames makes, in a file of its own
// that follows the written file's tables. An image whose indices map onto
// themselves keeps its coded data; any other is mapped and coded here once.
class TWrittenImagePlanner {
 public:
  explicit TWrittenImagePlanner(const TGifAssemblyOptions& options);
  // `image`: the frame's GIF image with its pixels, made by `made`, coded
  // as `coded`; `palette`: the colours of the picture taken back from it.
  std::shared_ptr<const TWrittenImage> Plan(const TGifSubImage& image, const TGifFile::TGraphicPlan& made,
                                            const std::vector<TColor>& palette,
                                            std::shared_ptr<const TCodedImage> coded, TColor transparentColor);

 private:
  TGifFile gif_;
  std::shared_ptr<const TColorTable> global_;
};

// A frame's 8-bit picture that gives its pixels back while nobody uses them
// and decodes them again from its GIF image's coded data on the next access,
// so that a kept frame costs about its share of the file. A change to the
// pixels makes it an ordinary picture that keeps them.
class TCodedPicture : public TMinGDIBitmap {
 public:
  // Takes the coded data of the picture's own pixels and gives the pixels back.
  void KeepCoded(std::shared_ptr<const TCodedImage> coded);
  bool IsCoded() const { return coded_ != nullptr; }
  // The image writing the picture makes, kept until the picture changes.
  void KeepWritten(std::shared_ptr<const TWrittenImage> written) { written_ = std::move(written); }
  const TWrittenImage* Written() const { return coded_ ? written_.get() : nullptr; }
  // Gives the pixels back when the coded data still makes them.
  void ReleaseToCode() const;

 protected:
  void BeforeAccess(bool mutating) const override;

 private:
  void Decode() const;
  mutable std::shared_ptr<const TCodedImage> coded_;
  mutable std::shared_ptr<const TWrittenImage> written_;
  mutable bool decoding_ = false;
};

// Gives a frame's pixels back: to its coded data, or to the memory copy.
void ReleaseFramePicture(const TSetOfBitmapsItem& item);

// The LZW data of images that were written, found again by their pixels:
// writing an image whose pixels are the same (whatever its delay, place,
// disposal or transparency) codes nothing again.
class TCodedImageCache {
 public:
  // Keeps the coded data of an image that was coded, and shares it.
  std::shared_ptr<const TCodedImage> Remember(const TGifSubImage& image);
  // Gives an image without coded data the data kept for the same pixels,
  // code size and row order; false when there is none.
  bool Reuse(TGifSubImage& image) const;
  void Clear() { coded_.clear(); }
  int Count() const { return static_cast<int>(coded_.size()); }

 private:
  struct TKey {
    std::uint64_t a = 0, b = 0;
    bool operator==(const TKey&) const = default;
  };
  struct TKeyHash {
    std::size_t operator()(const TKey& k) const { return static_cast<std::size_t>(k.a); }
  };
  static TKey KeyOf(const TGifSubImage& image);
  std::unordered_map<TKey, std::shared_ptr<const TCodedImage>, TKeyHash> coded_;
};
