// AVI video: writing frames for export and reading frames for import
// (TAVIObject), and clips that play an AVI file inside a scene and can be
// embedded whole in a project stream (TAVIImage). Built on the AVIFile-style
// calls of platform/AviFiles.h; Motion JPEG goes through libjpeg here.
#pragma once

#include "platform/AviFiles.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"
#include "platform/Streams.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

extern const char* const SAviLibraryMissing;      // "The Windows AVI library has not found. ..."
extern const char* const SAviFileBusy;            // "Cannot write to the file. Probably file is busy."
extern const char* const SAviCompressionCanceled; // "Video Compression was canceled."
extern const char* const SAviWriteError;          // "An error occured during writing to AVI file."
// The tag in the names of temporary clip and sound files.
extern const char* const SAviTemporaryTag;        // "(Zorvan_temporary)"

// "Cannot open the file "<name>". Probably file is busy."
std::string AviOpenErrorText(const std::string& name);

// Installs the Motion JPEG codec of the AVI layer and marks the library
// available. Runs once; creating a TAVIObject calls it.
void BindAVIFileLibrary();
bool AVILibraryAvailable();

// The private folder (created on first use, only for this user) that holds
// temporary clip files and sound copies, with a trailing separator.
std::string AviTemporaryFolder();

// An item of the object's bitmap collection: it owns its bitmap.
class TAVIBitmap {
 public:
  TAVIBitmap() : bitmap_(std::make_unique<TBitmap>()) {}
  TBitmap& Bitmap() { return *bitmap_; }

 private:
  std::unique_ptr<TBitmap> bitmap_;
};

class TAVIObject {
 public:
  // Raises SAviLibraryMissing when the AVI library is not available.
  TAVIObject();
  virtual ~TAVIObject();
  TAVIObject(const TAVIObject&) = delete;
  TAVIObject& operator=(const TAVIObject&) = delete;

  // ---- Writing ----
  // Deletes an existing file (raises SAviFileBusy when it cannot) and creates
  // the AVI file; 0 when it cannot be created. A rate below 1 is taken as 1.
  PAVIFILE CreateAVIFile(const std::string& name, std::int32_t frameRate);
  // The video stream for frames of the bitmap's size. Unless OptionsChosen is
  // set, the user picks the compressor (raises SAviCompressionCanceled when
  // cancelled). 0 on failure.
  PAVISTREAM CreateVideoStream(PAVIFILE file, const TBitmap& bitmap);
  // Writes the bitmap as a 24-bit frame at index; raises SAviWriteError when
  // the format or the frame cannot be written. False when file or stream is 0.
  bool WriteFrame(PAVIFILE file, PAVISTREAM stream, const TBitmap& bitmap, std::int32_t index, std::uint32_t flags);
  void ReleaseStream(PAVISTREAM stream);
  // Finishes and closes the file; false when its headers or index could not
  // be written.
  bool CloseAVIFile(PAVIFILE file);

  // ---- Reading ----
  // Opens a file and counts its audio streams; raises AviOpenErrorText.
  PAVIFILE OpenAVIFile(const std::string& name);
  // The first video stream (0 when there is none), with its frame count,
  // first frame, frame rate and frame reader.
  PAVISTREAM OpenVideoStream(PAVIFILE file);
  void CloseVideoStream(PAVISTREAM stream);
  // A new bitmap holding frame i, 24-bit for palette frames (32-bit frames
  // stay 32-bit); on failure the error flag is set and the bitmap is
  // returned as it is (2 x 2).
  std::unique_ptr<TBitmap> GetFrameBitmap(std::int32_t i);

  std::int32_t FrameCount() const { return frameCount_; }
  std::int32_t FrameRate() const { return frameRate_; }
  std::int32_t FirstFrame() const { return firstFrame_; }
  int AudioStreams() const { return audioStreams_; }
  // Set when reading a frame failed.
  bool ErrorFlag() const { return errorFlag_; }
  void SetErrorFlag(bool value) { errorFlag_ = value; }
  // The header and colour table of the last frame read.
  const TBitmapInfoHeader& LastFrameHeader() const { return lastHeader_; }
  const std::vector<TPaletteEntry>& LastColorTable() const { return lastColors_; }

  HWND OwnerWindow() const { return ownerWindow_; }
  void SetOwnerWindow(HWND window) { ownerWindow_ = window; }
  const TAVICompressOptions& CompressOptions() const { return compressOptions_; }
  void SetCompressOptions(const TAVICompressOptions& options) { compressOptions_ = options; }
  bool OptionsChosen() const { return optionsChosen_; }
  void SetOptionsChosen(bool value) { optionsChosen_ = value; }

  std::vector<std::unique_ptr<TAVIBitmap>> Bitmaps;

 protected:
  // Fills target with frame i; false (target unchanged) on failure.
  bool FetchFrame(std::int32_t i, TBitmap& target);
  void CloseFrameReader();

 private:
  TBitmapInfoHeader lastHeader_;
  std::vector<TPaletteEntry> lastColors_;
  std::int32_t frameCount_ = 0;
  std::int32_t frameRate_ = 0;
  std::int32_t firstFrame_ = 0;
  PGETFRAME frameReader_ = 0;
  bool errorFlag_ = false;
  HWND ownerWindow_ = 0;
  TAVICompressOptions compressOptions_;
  bool optionsChosen_ = false;
  int audioStreams_ = 0;
};

// A clip: an AVI file whose frames are drawn one after another.
class TAVIImage : public TAVIObject {
 public:
  TAVIImage();
  ~TAVIImage() override;

  // Closes the current file and opens name with its video stream; when the
  // file has audio and SoundFlag is set, a copy is kept for sound playback.
  // False when no video stream could be opened.
  bool OpenFile(const std::string& name);
  // Closes the stream and the file; deletes a temporary file and the sound copy.
  void CloseFile();
  // Draws frame i into bitmap (stretched by Scale when it is not 1). A frame
  // at or past the end wraps to frame 1 (or the first frame when there is no
  // frame 1) and sets the looped flag. False without a stream or on failure.
  bool DrawFrame(std::int32_t i, TBitmap& bitmap);
  bool NextFrame(TBitmap& bitmap) { return DrawFrame(currentFrame_ + 1, bitmap); }
  // Returns the looped flag and clears it.
  bool TakeLooped();

  // The exact number of bytes SaveToStream writes.
  std::int64_t StreamedSize() const;
  // The clip record: the file name as a short string, a 32-bit length and the
  // file's bytes (length 0 when the file cannot be read or is too large).
  void SaveToStream(TStream& stream) const;
  // Reads a clip record into a temporary file and opens it. Raises EReadError
  // when the record's length is not within the stream; on other failures the
  // stream is left at the record's end and the clip closed.
  void LoadFromStream(TStream& stream);

  const std::string& FileName() const { return fileName_; }
  std::int32_t CurrentFrame() const { return currentFrame_; }
  bool Looped() const { return looped_; }
  void SetLooped(bool value) { looped_ = value; }
  bool Temporary() const { return temporary_; }
  const std::string& SoundCopyName() const { return soundCopy_; }
  // Tick count when frame 1 was last drawn (or the clip was created).
  std::uint32_t StartTick() const { return startTick_; }
  double Scale() const { return scale_; }
  void SetScale(double scale) { scale_ = scale; }
  bool SoundFlag() const { return soundFlag_; }
  void SetSoundFlag(bool value) { soundFlag_ = value; }
  PAVISTREAM VideoStream() const { return stream_; }

 private:
  void MakeSoundCopy();

  std::string fileName_;
  std::int32_t currentFrame_ = 0;
  PAVIFILE file_ = 0;
  PAVISTREAM stream_ = 0;
  bool looped_ = false;
  bool temporary_ = false;
  std::string soundCopy_;
  std::uint32_t startTick_ = 0;
  double scale_ = 1.0;
  bool soundFlag_ = true;
};
