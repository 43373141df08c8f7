#include "imaging/AVIFileU.h"

#include "imaging/JpgImg.h"
#include "platform/Numeric.h"
#include "platform/SysUtils.h"
#include "platform/SystemValues.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

const char* const SAviLibraryMissing = "The Windows AVI library has not found. Please check the file avifil32.dll.";
const char* const SAviFileBusy = "Cannot write to the file. Probably file is busy.";
const char* const SAviCompressionCanceled = "Video Compression was canceled.";
const char* const SAviWriteError = "An error occured during writing to AVI file.";
const char* const SAviTemporaryTag = "(Zorvan_temporary)";

std::string AviOpenErrorText(const std::string& name) {
  return "Cannot open the file \"" + name + "\". Probably file is busy.";
}

namespace {

bool libraryAvailable = false;

std::uint32_t Get32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// ---- Motion JPEG through libjpeg ---------------------------------------------------------------------

// The BMP writer of the JPEG decoder gives a 14 + 40-byte header, for 8 bits a
// 256-entry grey or colour table, then bottom-up rows: exactly what a 24-bit
// DIB frame needs, after expanding 8-bit rows.
bool DecodeMotionJpegFrame(const std::uint8_t* data, std::size_t size, TAviDecodedFrame& frame) {
  try {
    TMemoryStream bmp;
    DecodeJPEGToBMP(data, static_cast<std::int64_t>(size), TJPEGDecodeOptions{}, bmp);
    const std::uint8_t* b = bmp.Memory();
    const std::int64_t total = bmp.Size();
    if (total < 54) return false;
    const auto width = static_cast<std::int32_t>(Get32(b + 18));
    const auto height = static_cast<std::int32_t>(Get32(b + 22));
    const int bits = b[28];
    const std::int64_t offset = Get32(b + 10);
    const std::int64_t inRow = DibRowBytes(width, bits);
    const std::int64_t outRow = DibRowBytes(width, 24);
    if (width <= 0 || height <= 0 || offset + inRow * height > total) return false;
    frame.width = width;
    frame.height = height;
    frame.rows.assign(static_cast<std::size_t>(outRow * height), 0);
    for (std::int64_t y = 0; y < height; ++y) {
      const std::uint8_t* in = b + offset + y * inRow;
      std::uint8_t* out = frame.rows.data() + y * outRow;
      if (bits == 24) {
        std::memcpy(out, in, static_cast<std::size_t>(3 * width));
      } else {
        for (std::int64_t x = 0; x < width; ++x) std::memcpy(out + 3 * x, b + 54 + 4 * in[x], 3);
      }
    }
    return true;
  } catch (const Exception&) {
    return false;
  }
}

bool EncodeMotionJpegFrame(const TAviDecodedFrame& frame, int quality, std::vector<std::uint8_t>& jpeg) {
  try {
    const std::int64_t imageSize = DibRowBytes(frame.width, 24) * frame.height;
    if (static_cast<std::int64_t>(frame.rows.size()) < imageSize) return false;
    TMemoryStream bmp;
    bmp.WriteWord(0x4D42);
    bmp.WriteUInt32(static_cast<std::uint32_t>(54 + imageSize));
    bmp.WriteUInt32(0);
    bmp.WriteUInt32(54);
    TBitmapInfoHeader h;
    h.biWidth = frame.width;
    h.biHeight = frame.height;
    h.biBitCount = 24;
    h.biSizeImage = static_cast<std::uint32_t>(imageSize);
    std::uint8_t header[kAviDibHeaderSize];
    StoreDibHeader(h, header);
    bmp.WriteBuffer(header, kAviDibHeaderSize);
    bmp.WriteBuffer(frame.rows.data(), imageSize);
    bmp.SetPosition(0);
    TJPEGEncodeOptions options;
    options.quality = quality;
    TMemoryStream out;
    EncodeBMPToJPEG(bmp, options, out);
    jpeg = out.Bytes();
    return true;
  } catch (const Exception&) {
    return false;
  }
}

// ---- Temporary files ------------------------------------------------------------------------------------

// The private folder is made once per run and removed at the end when empty.
class TPrivateFolder {
 public:
  const std::string& Path() {
    if (path_.empty()) {
      std::string pattern = (std::filesystem::temp_directory_path() / "gleamcraft-XXXXXX").string();
      if (::mkdtemp(pattern.data()) == nullptr) throw Exception("Cannot create a temporary folder");
      path_ = IncludeTrailingPathDelimiter(pattern);
    }
    return path_;
  }
  ~TPrivateFolder() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);  // only when empty
  }

 private:
  std::string path_;
};

TPrivateFolder& PrivateFolder() {
  static TPrivateFolder folder;
  return folder;
}

// A file created for this run only (it did not exist before), written with
// plain system calls.
class TNewFile {
 public:
  TNewFile() = default;
  ~TNewFile() { Close(); }
  TNewFile(const TNewFile&) = delete;
  TNewFile& operator=(const TNewFile&) = delete;

  // Creates folder + tick + tag + suffix, trying the following tick counts
  // when a name is taken. False when no file could be created.
  bool Create(std::uint32_t tick, const std::string& suffix) {
    const std::string folder = AviTemporaryFolder();
    for (std::uint32_t attempt = 0; attempt < 100; ++attempt) {
      const std::string name = folder + std::to_string(tick + attempt) + SAviTemporaryTag + suffix;
      fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd_ >= 0) {
        path_ = name;
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }
  bool Write(const void* data, std::int64_t count) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (count > 0) {
      const ssize_t n = ::write(fd_, p, static_cast<std::size_t>(count));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      p += n;
      count -= n;
    }
    return true;
  }
  bool Close() {
    if (fd_ < 0) return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
  }
  // Removes the file (after a failure).
  void Discard() {
    Close();
    if (!path_.empty()) DeleteFile(path_);
    path_.clear();
  }
  const std::string& Path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

// Copies count bytes from the stream's position into the file; false when
// the stream ends early or the file cannot be written.
bool CopyInto(TStream& source, std::int64_t count, TNewFile& target) {
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::int64_t>(count, 1 << 16)));
  while (count > 0) {
    const std::int64_t n = std::min<std::int64_t>(count, static_cast<std::int64_t>(buffer.size()));
    if (source.Read(buffer.data(), n) != n || !target.Write(buffer.data(), n)) return false;
    count -= n;
  }
  return true;
}

// A stored clip name as a file name of our own: its last path component, with
// only plain characters, never hidden.
std::string SafeClipName(const std::string& stored) {
  std::string name = ExtractFileName(stored);
  for (char& c : name) {
    const auto b = static_cast<unsigned char>(c);
    const bool plain = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '.' ||
                       b == '_' || b == '-' || b == ' ' || b == '(' || b == ')';
    if (!plain) c = '_';
  }
  const std::size_t first = name.find_first_not_of(". ");
  name = first == std::string::npos ? std::string() : name.substr(first);
  if (name.size() > 100) name = name.substr(name.size() - 100);
  return name.empty() ? "clip.avi" : name;
}

std::int64_t ReadableFileSize(const std::string& name) {
  try {
    TFileStream file(name, fmOpenRead | fmShareDenyNone);
    return file.Size();
  } catch (const Exception&) {
    return -1;
  }
}

// The bitmap as a 24-bit DIB: header and bottom-up rows.
void BitmapToDib(const TBitmap& bitmap, TBitmapInfoHeader& header, std::vector<std::uint8_t>& rows) {
  const TBitmap* source = &bitmap;
  TBitmap converted;
  if (bitmap.PixelFormat() != pf24bit) {
    converted.Assign(&bitmap);
    converted.SetPixelFormat(pf24bit);
    source = &converted;
  }
  const int width = source->Width();
  const int height = source->Height();
  const std::int64_t rowBytes = DibRowBytes(width, 24);
  header = TBitmapInfoHeader{};
  header.biWidth = width;
  header.biHeight = height;
  header.biBitCount = 24;
  header.biSizeImage = static_cast<std::uint32_t>(rowBytes * height);
  rows.assign(static_cast<std::size_t>(rowBytes * height), 0);
  for (int y = 0; y < height; ++y)
    std::memcpy(rows.data() + static_cast<std::int64_t>(height - 1 - y) * rowBytes, source->ScanLine(y),
                static_cast<std::size_t>(rowBytes));
}

}  // namespace

void BindAVIFileLibrary() {
  if (libraryAvailable) return;
  SetAviJpegCodec(DecodeMotionJpegFrame, EncodeMotionJpegFrame);
  libraryAvailable = true;
}

bool AVILibraryAvailable() { return libraryAvailable; }

std::string AviTemporaryFolder() { return PrivateFolder().Path(); }

// ---- TAVIObject -------------------------------------------------------------------------------------

TAVIObject::TAVIObject() {
  BindAVIFileLibrary();
  if (!AVILibraryAvailable()) throw Exception(SAviLibraryMissing);
}

TAVIObject::~TAVIObject() { CloseFrameReader(); }

void TAVIObject::CloseFrameReader() {
  if (frameReader_ != 0) AVIStreamGetFrameClose(frameReader_);
  frameReader_ = 0;
}

PAVIFILE TAVIObject::CreateAVIFile(const std::string& name, std::int32_t frameRate) {
  if (FileExists(name) && !DeleteFile(name)) throw Exception(SAviFileBusy);
  AVIFileInit();
  PAVIFILE file = 0;
  if (AVIFileOpen(&file, name, OF_CREATE | OF_WRITE) != AVIERR_OK) {
    AVIFileExit();
    return 0;
  }
  frameRate_ = std::max(frameRate, 1);
  return file;
}

PAVISTREAM TAVIObject::CreateVideoStream(PAVIFILE file, const TBitmap& bitmap) {
  TAVIStreamInfo info;
  info.fccType = streamtypeVIDEO;
  info.fccHandler = 0;
  info.dwScale = 1;
  info.dwRate = static_cast<std::uint32_t>(std::max(frameRate_, 1));
  info.dwSuggestedBufferSize = static_cast<std::uint32_t>(DibRowBytes(bitmap.Width(), 24) * bitmap.Height());
  info.rcFrame = Rect(0, 0, bitmap.Width(), bitmap.Height());
  PAVISTREAM plain = 0;
  if (AVIFileCreateStream(file, &plain, info) != AVIERR_OK) return 0;
  if (!optionsChosen_) {
    compressOptions_ = TAVICompressOptions{};
    if (!AVISaveOptions(ownerWindow_, compressOptions_)) {
      AVIStreamRelease(plain);
      throw Exception(SAviCompressionCanceled);
    }
  }
  PAVISTREAM compressed = 0;
  if (AVIMakeCompressedStream(&compressed, plain, compressOptions_) != AVIERR_OK) compressed = 0;
  AVIStreamRelease(plain);
  return compressed;
}

bool TAVIObject::WriteFrame(PAVIFILE file, PAVISTREAM stream, const TBitmap& bitmap, std::int32_t index,
                            std::uint32_t flags) {
  if (file == 0 || stream == 0) return false;
  TBitmapInfoHeader header;
  std::vector<std::uint8_t> rows;
  BitmapToDib(bitmap, header, rows);
  std::uint8_t format[kAviDibHeaderSize];
  StoreDibHeader(header, format);
  // A format that the stream refuses would drop the frame silently.
  if (AVIStreamSetFormat(stream, 0, format, kAviDibHeaderSize) != AVIERR_OK) throw Exception(SAviWriteError);
  if (AVIStreamWrite(stream, index, 1, rows.data(), static_cast<std::int32_t>(rows.size()), flags, nullptr,
                     nullptr) != AVIERR_OK)
    throw Exception(SAviWriteError);
  return true;
}

void TAVIObject::ReleaseStream(PAVISTREAM stream) {
  if (stream != 0) AVIStreamRelease(stream);
}

bool TAVIObject::CloseAVIFile(PAVIFILE file) {
  const bool finished = AVIFileRelease(file) == AVIERR_OK;
  AVIFileExit();
  return finished;
}

PAVIFILE TAVIObject::OpenAVIFile(const std::string& name) {
  audioStreams_ = 0;
  AVIFileInit();
  PAVIFILE file = 0;
  if (AVIFileOpen(&file, name, OF_READ | OF_SHARE_DENY_NONE) != AVIERR_OK) {
    AVIFileExit();
    throw Exception(AviOpenErrorText(name));
  }
  for (std::int32_t i = 0; i < 100; ++i) {
    PAVISTREAM stream = 0;
    if (AVIFileGetStream(file, &stream, 0, i) != AVIERR_OK) continue;
    TAVIStreamInfo info;
    if (AVIStreamInfo(stream, &info) == AVIERR_OK && info.fccType == streamtypeAUDIO) ++audioStreams_;
    AVIStreamRelease(stream);
  }
  return file;
}

PAVISTREAM TAVIObject::OpenVideoStream(PAVIFILE file) {
  for (std::int32_t i = 0; i < 100; ++i) {
    PAVISTREAM stream = 0;
    if (AVIFileGetStream(file, &stream, 0, i) != AVIERR_OK) continue;
    TAVIStreamInfo info;
    if (AVIStreamInfo(stream, &info) != AVIERR_OK || info.fccType != streamtypeVIDEO) {
      AVIStreamRelease(stream);
      continue;
    }
    frameCount_ = AVIStreamLength(stream);
    firstFrame_ = AVIStreamStart(stream);
    // A rate below one frame a second still counts as 1.
    frameRate_ = info.dwScale == 0
                     ? 20
                     : std::max(1, Round(static_cast<double>(info.dwRate) / static_cast<double>(info.dwScale)));
    CloseFrameReader();
    frameReader_ = AVIStreamGetFrameOpen(stream, nullptr);
    return stream;
  }
  return 0;
}

void TAVIObject::CloseVideoStream(PAVISTREAM stream) {
  CloseFrameReader();
  if (stream != 0) AVIStreamRelease(stream);
}

bool TAVIObject::FetchFrame(std::int32_t i, TBitmap& target) {
  const std::uint8_t* dib = AVIStreamGetFrame(frameReader_, i);
  if (dib == nullptr) return false;
  const TBitmapInfoHeader header = LoadDibHeader(dib);
  const int colors = DibColorCount(header);
  std::vector<TPaletteEntry> table;
  for (int k = 0; k < colors; ++k) {
    const std::uint8_t* e = dib + kAviDibHeaderSize + 4 * k;
    table.push_back({e[2], e[1], e[0], 0});
  }
  lastHeader_ = header;
  lastColors_ = table;
  const TPixelFormat format = header.biBitCount == 8 ? pf8bit : (header.biBitCount == 32 ? pf32bit : pf24bit);
  target.Assign(nullptr);
  target.SetPixelFormat(format);
  if (format == pf8bit) {
    table.resize(256);  // indices past the table show black
    target.SetPalette(TPalette(table));
  }
  target.SetSize(header.biWidth, header.biHeight);
  const std::int64_t rowBytes = DibRowBytes(header.biWidth, header.biBitCount);
  const std::uint8_t* pixels = dib + kAviDibHeaderSize + 4 * colors;
  for (int y = 0; y < header.biHeight; ++y)
    std::memcpy(target.ScanLine(header.biHeight - 1 - y), pixels + y * rowBytes, static_cast<std::size_t>(rowBytes));
  // Palette frames become true-colour pictures, as the frames of every
  // other depth are; the colour table stays available as the last one read.
  if (format == pf8bit) {
    target.SetPixelFormat(pf24bit);
    target.SetPalette(TPalette());
  }
  target.SetModified(false);
  return true;
}

std::unique_ptr<TBitmap> TAVIObject::GetFrameBitmap(std::int32_t i) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(2, 2);
  if (!FetchFrame(i, *bitmap)) errorFlag_ = true;
  return bitmap;
}

// ---- TAVIImage ------------------------------------------------------------------------------------------

TAVIImage::TAVIImage() : startTick_(System().TickCount()) {}

TAVIImage::~TAVIImage() { CloseFile(); }

bool TAVIImage::OpenFile(const std::string& name) {
  CloseFile();
  fileName_ = name;
  currentFrame_ = 0;
  try {
    file_ = OpenAVIFile(name);
    stream_ = OpenVideoStream(file_);
  } catch (const Exception&) {
    stream_ = 0;
  }
  temporary_ = false;
  soundCopy_.clear();
  if (file_ != 0 && AudioStreams() > 0 && soundFlag_) MakeSoundCopy();
  return stream_ != 0;
}

void TAVIImage::MakeSoundCopy() {
  try {
    TFileStream source(fileName_, fmOpenRead | fmShareDenyNone);
    TNewFile copy;
    if (!copy.Create(System().TickCount(), ".avi")) return;
    if (!CopyInto(source, source.Size(), copy) || !copy.Close()) {
      copy.Discard();
      return;
    }
    soundCopy_ = copy.Path();
  } catch (const Exception&) {
    // No sound copy: the clip still plays.
  }
}

void TAVIImage::CloseFile() {
  if (stream_ != 0) CloseVideoStream(stream_);
  stream_ = 0;
  if (file_ != 0) CloseAVIFile(file_);
  file_ = 0;
  if (temporary_) DeleteFile(fileName_);
  temporary_ = false;
  if (!soundCopy_.empty()) DeleteFile(soundCopy_);
  soundCopy_.clear();
}

bool TAVIImage::DrawFrame(std::int32_t i, TBitmap& bitmap) {
  if (stream_ == 0) return false;
  if (bitmap.Empty()) bitmap.SetSize(2, 2);
  const std::int64_t first = FirstFrame();
  const std::int64_t end = first + FrameCount();
  if (i >= end) {
    // Wraps to frame 1, or to the first frame when the clip has no frame 1.
    i = (1 >= first && 1 < end) ? 1 : static_cast<std::int32_t>(first);
    looped_ = true;
  }
  if (i < first) i = static_cast<std::int32_t>(first);
  TBitmap frame;
  if (!FetchFrame(i, frame)) {
    currentFrame_ = 0;
    return false;
  }
  if (scale_ != 1.0) {
    const int width = std::max(1, Round(frame.Width() * scale_));
    const int height = std::max(1, Round(frame.Height() * scale_));
    bitmap.SetSize(width, height);
    bitmap.Canvas().StretchDraw(Rect(0, 0, width, height), frame);
  } else {
    bitmap.Assign(&frame);
  }
  if (i == 1) startTick_ = System().TickCount();
  currentFrame_ = i;
  return true;
}

bool TAVIImage::TakeLooped() {
  const bool looped = looped_;
  looped_ = false;
  return looped;
}

std::int64_t TAVIImage::StreamedSize() const {
  if (fileName_.empty()) return 0;
  const std::int64_t nameBytes = 1 + std::min<std::int64_t>(static_cast<std::int64_t>(fileName_.size()), 255);
  const std::int64_t size = ReadableFileSize(fileName_);
  const std::int64_t data = (size > 0 && size <= 0x7FFFFFFF) ? size : 0;
  return nameBytes + 4 + data;
}

void TAVIImage::SaveToStream(TStream& stream) const {
  if (fileName_.empty()) return;
  stream.WriteShortString(fileName_);
  const std::int64_t afterName = stream.Position();
  const std::int64_t sizeBefore = stream.Size();
  const std::int64_t size = ReadableFileSize(fileName_);
  // A clip that cannot be read, or that a 32-bit length cannot state, is not embedded.
  if (size <= 0 || size > 0x7FFFFFFF) {
    stream.WriteInt32(0);
    return;
  }
  bool readFailed = false;
  try {
    TFileStream file(fileName_, fmOpenRead | fmShareDenyNone);
    stream.WriteInt32(static_cast<std::int32_t>(size));
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::int64_t>(size, 1 << 16)));
    std::int64_t left = size;
    while (left > 0 && !readFailed) {
      const std::int64_t n = std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size()));
      readFailed = file.Read(buffer.data(), n) != n;
      if (!readFailed) stream.WriteBuffer(buffer.data(), n);  // a failing target raises
      left -= n;
    }
  } catch (const EFOpenError&) {
    readFailed = true;
  }
  if (readFailed) {
    stream.SetPosition(afterName);
    stream.WriteInt32(0);
    const std::int64_t end = std::max(sizeBefore, stream.Position());
    if (stream.Size() > end) stream.SetSize(end);
  }
}

void TAVIImage::LoadFromStream(TStream& stream) {
  CloseFile();
  const std::string name = stream.ReadShortString();
  const std::int32_t length = stream.ReadInt32();
  if (length < 0 || length > stream.Remaining()) throw EReadError(SReadError);
  const std::int64_t recordEnd = stream.Position() + length;
  if (length == 0) return;
  TNewFile file;
  try {
    if (!file.Create(System().TickCount(), SafeClipName(name)) || !CopyInto(stream, length, file) || !file.Close()) {
      file.Discard();
      stream.SetPosition(recordEnd);
      return;
    }
  } catch (const Exception&) {
    file.Discard();
    stream.SetPosition(recordEnd);
    return;
  }
  stream.SetPosition(recordEnd);
  OpenFile(file.Path());
  temporary_ = true;
}
