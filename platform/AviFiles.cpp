#include "platform/AviFiles.h"

#include "platform/Numeric.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "platform/UiServices.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>

namespace {

constexpr FOURCC kRiff = MakeFourCC('R', 'I', 'F', 'F');
constexpr FOURCC kAvi = MakeFourCC('A', 'V', 'I', ' ');
constexpr FOURCC kList = MakeFourCC('L', 'I', 'S', 'T');
constexpr FOURCC kHdrl = MakeFourCC('h', 'd', 'r', 'l');
constexpr FOURCC kStrl = MakeFourCC('s', 't', 'r', 'l');
constexpr FOURCC kMovi = MakeFourCC('m', 'o', 'v', 'i');
constexpr FOURCC kRec = MakeFourCC('r', 'e', 'c', ' ');
constexpr FOURCC kIdx1 = MakeFourCC('i', 'd', 'x', '1');
constexpr FOURCC kAvih = MakeFourCC('a', 'v', 'i', 'h');
constexpr FOURCC kStrh = MakeFourCC('s', 't', 'r', 'h');
constexpr FOURCC kStrf = MakeFourCC('s', 't', 'r', 'f');
constexpr FOURCC kStrn = MakeFourCC('s', 't', 'r', 'n');
constexpr FOURCC kJunk = MakeFourCC('J', 'U', 'N', 'K');
constexpr HRESULT kBufferTooSmall = MakeAviError(116);

constexpr int kMaxStreams = 100;  // chunk ids carry two decimal digits
constexpr std::int64_t kMaxSide = 65535;
// A frame of at most 8192 x 8192 pixels: RLE and JPEG frames may claim a large
// image in a few bytes.
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;
constexpr std::uint32_t kMaxFormatSize = 64 * 1024;
// Frames are written below this size, so that every RIFF size fits.
constexpr std::int64_t kMaxWrittenFileSize = 0x7FFFFFFF;
// Where the written movi list starts: the headers and a JUNK filler come before.
constexpr std::int64_t kMoviListStart = 2036;
constexpr std::int64_t kFirstChunk = kMoviListStart + 12;  // 2048
constexpr std::int32_t kMaxWrittenFormat = kAviDibHeaderSize + 256 * 4;

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Get32(const std::uint8_t* p) { return Get16(p) | (static_cast<std::uint32_t>(Get16(p + 2)) << 16); }
void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

bool IsJpegHandler(FOURCC code) {
  return code == comptypeMJPG || code == MakeFourCC('m', 'j', 'p', 'g');
}

// The stream number of a data chunk id ("01wb" is 1), or -1.
int StreamNumberOf(FOURCC id) {
  const int a = static_cast<int>(id & 0xFF) - '0';
  const int b = static_cast<int>((id >> 8) & 0xFF) - '0';
  if (a < 0 || a > 9 || b < 0 || b > 9) return -1;
  return a * 10 + b;
}
// The two-character kind of a data chunk id ("db", "dc", "wb", "pc").
std::uint32_t ChunkKindOf(FOURCC id) { return id >> 16; }
constexpr std::uint32_t Kind(char a, char b) { return static_cast<std::uint8_t>(a) | (static_cast<std::uint8_t>(b) << 8); }

// ---- Codecs installed by the imaging library ----------------------------------------------------

TAviJpegDecoder& JpegDecoder() {
  static TAviJpegDecoder decoder;
  return decoder;
}
TAviJpegEncoder& JpegEncoder() {
  static TAviJpegEncoder encoder;
  return encoder;
}

// ---- Reading ------------------------------------------------------------------------------------

struct TChunkRef {
  std::int64_t offset = 0;  // of the data
  std::uint32_t size = 0;
  bool key = false;
};

struct TReadStream {
  TAVIStreamInfo info;
  std::vector<std::uint8_t> format;
  std::vector<TChunkRef> chunks;
  bool keyFlagsKnown = false;
  std::int32_t start = 0;
  std::int32_t length = 0;
  // Audio: where each chunk's bytes begin in the stream's data, the total and the block size.
  std::vector<std::int64_t> audioStart;
  std::int64_t audioBytes = 0;
  std::uint32_t blockAlign = 1;
};

class TAviReader {
 public:
  std::vector<TReadStream> streams;

  HRESULT Open(const std::string& name, unsigned mode) {
    const std::uint32_t share = (mode & OF_SHARE_DENY_WRITE) ? fmShareDenyWrite : fmShareDenyNone;
    try {
      file_ = std::make_unique<TFileStream>(name, fmOpenRead | share);
    } catch (const Exception&) {
      return AVIERR_FILEOPEN;
    }
    fileSize_ = file_->Size();
    try {
      return Parse();
    } catch (const std::bad_alloc&) {
      return AVIERR_MEMORY;
    }
  }

  bool ReadAt(std::int64_t offset, void* buffer, std::int64_t count) {
    if (offset < 0 || count < 0 || offset + count > fileSize_) return false;
    if (file_->Seek(offset, TSeekOrigin::soBeginning) != offset) return false;
    return file_->Read(buffer, count) == count;
  }

 private:
  // Calls visit(id, data offset, size) for each chunk between start and end;
  // false when a chunk runs past end.
  template <typename Visit>
  bool WalkChunks(std::int64_t start, std::int64_t end, Visit visit) {
    std::int64_t pos = start;
    while (pos + 8 <= end) {
      std::uint8_t h[8];
      if (!ReadAt(pos, h, 8)) return false;
      const std::uint32_t size = Get32(h + 4);
      const std::int64_t dataEnd = pos + 8 + size;
      if (dataEnd > end) return false;
      if (!visit(Get32(h), pos + 8, size)) return false;
      pos = dataEnd + (size & 1);
    }
    return true;
  }

  HRESULT Parse() {
    std::uint8_t h[12];
    if (!ReadAt(0, h, 12) || Get32(h) != kRiff || Get32(h + 8) != kAvi) return AVIERR_BADFORMAT;
    const std::int64_t riffEnd = std::min<std::int64_t>(fileSize_, 8 + static_cast<std::int64_t>(Get32(h + 4)));
    std::int64_t pos = 12;
    bool haveHeaders = false;
    std::int64_t idx1Start = -1;
    std::int64_t idx1Size = 0;
    while (pos + 8 <= riffEnd) {
      std::uint8_t c[12];
      if (!ReadAt(pos, c, 8)) break;
      const FOURCC id = Get32(c);
      const std::uint32_t size = Get32(c + 4);
      const std::int64_t dataStart = pos + 8;
      std::int64_t dataEnd = dataStart + size;
      if (id == kList && size >= 4 && ReadAt(dataStart, c + 8, 4)) {
        const FOURCC type = Get32(c + 8);
        if (type == kMovi) {
          // A file cut short keeps the frames it still holds.
          dataEnd = std::min(dataEnd, riffEnd);
          moviStart_ = dataStart;
          moviEnd_ = dataEnd;
        } else if (dataEnd > riffEnd) {
          return AVIERR_BADFORMAT;
        } else if (type == kHdrl && !haveHeaders) {
          if (!ParseHeaderList(dataStart + 4, dataEnd)) return AVIERR_BADFORMAT;
          haveHeaders = true;
        }
      } else if (id == kIdx1) {
        idx1Start = dataStart;
        idx1Size = std::min<std::int64_t>(size, riffEnd - dataStart);
      }
      pos = dataEnd + (size & 1);
    }
    if (!haveHeaders || streams.empty()) return AVIERR_BADFORMAT;
    if (moviStart_ >= 0 && !(idx1Start >= 0 && UseIndex(idx1Start, idx1Size))) ScanMovi();
    for (TReadStream& s : streams) Settle(s);
    return AVIERR_OK;
  }

  bool ParseHeaderList(std::int64_t start, std::int64_t end) {
    return WalkChunks(start, end, [this](FOURCC id, std::int64_t data, std::uint32_t size) {
      std::uint8_t type[4];
      if (id == kList && size >= 4 && ReadAt(data, type, 4) && Get32(type) == kStrl &&
          static_cast<int>(streams.size()) < kMaxStreams)
        return ParseStreamList(data + 4, data + size);
      return true;
    });
  }

  bool ParseStreamList(std::int64_t start, std::int64_t end) {
    TReadStream s;
    bool haveHeader = false;
    const bool ok = WalkChunks(start, end, [&](FOURCC id, std::int64_t data, std::uint32_t size) {
      if (id == kStrh) {
        if (size < 48) return false;
        std::uint8_t b[56] = {};
        if (!ReadAt(data, b, std::min<std::uint32_t>(size, 56))) return false;
        TAVIStreamInfo& i = s.info;
        i.fccType = Get32(b);
        i.fccHandler = Get32(b + 4);
        i.dwFlags = Get32(b + 8);
        i.wPriority = Get16(b + 12);
        i.wLanguage = Get16(b + 14);
        i.dwInitialFrames = Get32(b + 16);
        i.dwScale = Get32(b + 20);
        i.dwRate = Get32(b + 24);
        i.dwStart = Get32(b + 28);
        i.dwLength = Get32(b + 32);
        i.dwSuggestedBufferSize = Get32(b + 36);
        i.dwQuality = Get32(b + 40);
        i.dwSampleSize = Get32(b + 44);
        if (size >= 56) {
          i.rcFrame = Rect(static_cast<std::int16_t>(Get16(b + 48)), static_cast<std::int16_t>(Get16(b + 50)),
                           static_cast<std::int16_t>(Get16(b + 52)), static_cast<std::int16_t>(Get16(b + 54)));
        }
        haveHeader = true;
      } else if (id == kStrf) {
        if (size > kMaxFormatSize) return false;
        s.format.resize(size);
        if (size > 0 && !ReadAt(data, s.format.data(), size)) return false;
      } else if (id == kStrn) {
        std::string name(std::min<std::uint32_t>(size, 255), '\0');
        if (!name.empty() && !ReadAt(data, name.data(), static_cast<std::int64_t>(name.size()))) return false;
        s.info.szName = name.substr(0, name.find('\0'));
      }
      return true;
    });
    if (!ok || !haveHeader) return false;
    streams.push_back(std::move(s));
    return true;
  }

  // The stream a data chunk belongs to, or nullptr.
  TReadStream* StreamOf(FOURCC id) {
    const int n = StreamNumberOf(id);
    if (n < 0 || n >= static_cast<int>(streams.size())) return nullptr;
    TReadStream& s = streams[static_cast<std::size_t>(n)];
    const std::uint32_t kind = ChunkKindOf(id);
    if (s.info.fccType == streamtypeVIDEO && (kind == Kind('d', 'b') || kind == Kind('d', 'c'))) return &s;
    if (s.info.fccType == streamtypeAUDIO && kind == Kind('w', 'b')) return &s;
    return nullptr;
  }

  // Takes the chunks from the idx1 index. Offsets count from the movi list's
  // type or, in some files, from the start of the file; each entry must point
  // at a chunk of its id inside the movi list. False when the index cannot
  // be used at all.
  bool UseIndex(std::int64_t start, std::int64_t size) {
    const std::int64_t count = size / 16;
    if (count == 0) return false;
    std::vector<std::uint8_t> entries(static_cast<std::size_t>(count * 16));
    if (!ReadAt(start, entries.data(), count * 16)) return false;
    std::int64_t base = -1;
    for (std::int64_t i = 0; i < count && base < 0; ++i) {
      const std::uint8_t* e = entries.data() + i * 16;
      if (StreamOf(Get32(e)) == nullptr) continue;
      for (std::int64_t candidate : {moviStart_, std::int64_t{0}}) {
        std::uint8_t id[4];
        if (ReadAt(candidate + Get32(e + 8), id, 4) && Get32(id) == Get32(e)) {
          base = candidate;
          break;
        }
      }
      if (base < 0) return false;
    }
    if (base < 0) return false;
    for (std::int64_t i = 0; i < count; ++i) {
      const std::uint8_t* e = entries.data() + i * 16;
      const FOURCC id = Get32(e);
      TReadStream* s = StreamOf(id);
      if (s == nullptr) continue;
      const std::int64_t pos = base + Get32(e + 8);
      std::uint8_t h[8];
      if (pos < moviStart_ + 4 || !ReadAt(pos, h, 8) || Get32(h) != id) continue;
      const std::uint32_t chunkSize = Get32(h + 4);
      if (pos + 8 + static_cast<std::int64_t>(chunkSize) > moviEnd_) continue;
      s->chunks.push_back({pos + 8, chunkSize, (Get32(e + 4) & AVIIF_KEYFRAME) != 0});
      s->keyFlagsKnown = true;
    }
    return true;
  }

  // Without a usable index the movi list is walked, descending into 'rec ' lists.
  void ScanMovi() {
    std::int64_t pos = moviStart_ + 4;
    while (pos + 8 <= moviEnd_) {
      std::uint8_t h[12];
      if (!ReadAt(pos, h, 8)) return;
      const FOURCC id = Get32(h);
      const std::uint32_t size = Get32(h + 4);
      if (id == kList && size >= 4 && ReadAt(pos + 8, h + 8, 4) && Get32(h + 8) == kRec) {
        pos += 12;
        continue;
      }
      const std::int64_t dataEnd = pos + 8 + size;
      if (dataEnd > moviEnd_) return;
      if (TReadStream* s = StreamOf(id)) s->chunks.push_back({pos + 8, size, false});
      pos = dataEnd + (size & 1);
    }
  }

  static void Settle(TReadStream& s) {
    const auto chunks = static_cast<std::int64_t>(s.chunks.size());
    if (s.info.fccType == streamtypeAUDIO) {
      if (s.format.size() >= 14) s.blockAlign = Get16(s.format.data() + 12);
      if (s.blockAlign == 0) s.blockAlign = s.info.dwSampleSize != 0 ? s.info.dwSampleSize : 1;
      for (const TChunkRef& c : s.chunks) {
        s.audioStart.push_back(s.audioBytes);
        s.audioBytes += c.size;
      }
      s.length = static_cast<std::int32_t>(std::min<std::int64_t>(s.audioBytes / s.blockAlign, 0x7FFFFFFF));
    } else {
      // The header's length counts only frames that the file really holds.
      std::int64_t length = chunks;
      if (s.info.dwLength != 0) length = std::min<std::int64_t>(length, s.info.dwLength);
      s.length = static_cast<std::int32_t>(std::min<std::int64_t>(length, 0x7FFFFFFF));
    }
    s.start = static_cast<std::int32_t>(std::min<std::int64_t>(s.info.dwStart, 0x7FFFFFFF - std::int64_t{s.length}));
    s.info.dwStart = static_cast<std::uint32_t>(s.start);
    s.info.dwLength = static_cast<std::uint32_t>(s.length);
  }

  std::unique_ptr<TFileStream> file_;
  std::int64_t fileSize_ = 0;
  std::int64_t moviStart_ = -1;  // offset of the movi list's type
  std::int64_t moviEnd_ = -1;
};

// ---- Writing -----------------------------------------------------------------------------------

struct TIndexEntry {
  FOURCC id;
  std::uint32_t flags;
  std::uint32_t offset;
  std::uint32_t size;
};

class TAviWriter {
 public:
  bool streamCreated = false;
  TAVIStreamInfo info;
  std::vector<std::uint8_t> format;
  FOURCC handler = 0;
  FOURCC chunkId = MakeFourCC('0', '0', 'd', 'b');
  std::int32_t frames = 0;

  HRESULT Create(const std::string& name) {
    try {
      file_ = std::make_unique<TFileStream>(name, fmCreate);
    } catch (const Exception&) {
      return AVIERR_FILEOPEN;
    }
    const std::vector<std::uint8_t> placeholder(static_cast<std::size_t>(kFirstChunk), 0);
    if (file_->Write(placeholder.data(), kFirstChunk) != kFirstChunk) failed_ = true;
    return failed_ ? AVIERR_FILEWRITE : AVIERR_OK;
  }

  bool Finished() const { return finished_; }

  HRESULT WriteChunk(const std::uint8_t* data, std::uint32_t size, std::uint32_t flags) {
    if (finished_ || failed_) return AVIERR_FILEWRITE;
    const std::int64_t indexBytes = 16 * (static_cast<std::int64_t>(index_.size()) + 1) + 8;
    if (position_ + 8 + size + 1 + indexBytes > kMaxWrittenFileSize) return AVIERR_FILEWRITE;
    std::vector<std::uint8_t> chunk;
    chunk.reserve(size + 9);
    Put32(chunk, chunkId);
    Put32(chunk, size);
    chunk.insert(chunk.end(), data, data + size);
    if (size & 1) chunk.push_back(0);
    if (!WriteAt(position_, chunk)) {
      failed_ = true;
      return AVIERR_FILEWRITE;
    }
    index_.push_back({chunkId, flags, static_cast<std::uint32_t>(position_ - (kMoviListStart + 8)), size});
    position_ += static_cast<std::int64_t>(chunk.size());
    maxChunk_ = std::max(maxChunk_, size);
    ++frames;
    return AVIERR_OK;
  }

  // Writes the index after the frames, then the headers before them.
  HRESULT Finish() {
    if (finished_) return failed_ ? AVIERR_FILEWRITE : AVIERR_OK;
    finished_ = true;
    if (!file_) return AVIERR_FILEWRITE;
    std::vector<std::uint8_t> idx;
    Put32(idx, kIdx1);
    Put32(idx, static_cast<std::uint32_t>(16 * index_.size()));
    for (const TIndexEntry& e : index_) {
      Put32(idx, e.id);
      Put32(idx, e.flags);
      Put32(idx, e.offset);
      Put32(idx, e.size);
    }
    const std::int64_t moviEnd = position_;
    const std::int64_t fileEnd = moviEnd + static_cast<std::int64_t>(idx.size());
    if (!WriteAt(moviEnd, idx) || !WriteAt(0, Headers(moviEnd, fileEnd))) failed_ = true;
    file_.reset();
    return failed_ ? AVIERR_FILEWRITE : AVIERR_OK;
  }

 private:
  bool WriteAt(std::int64_t offset, const std::vector<std::uint8_t>& bytes) {
    const auto n = static_cast<std::int64_t>(bytes.size());
    return file_->Seek(offset, TSeekOrigin::soBeginning) == offset && file_->Write(bytes.data(), n) == n;
  }

  std::vector<std::uint8_t> Headers(std::int64_t moviEnd, std::int64_t fileEnd) const {
    std::vector<std::uint8_t> fmt = format;
    if (fmt.size() < kAviDibHeaderSize) {
      // No frame was written: a 24-bit header of the stream's frame size.
      TBitmapInfoHeader h;
      h.biWidth = info.rcFrame.Width();
      h.biHeight = info.rcFrame.Height();
      h.biBitCount = 24;
      fmt.assign(kAviDibHeaderSize, 0);
      StoreDibHeader(h, fmt.data());
    }
    const TBitmapInfoHeader dib = LoadDibHeader(fmt.data());
    const std::uint32_t scale = info.dwScale == 0 ? 1 : info.dwScale;
    const std::uint32_t rate = info.dwRate == 0 ? 1 : info.dwRate;
    std::vector<std::uint8_t> strl;
    Put32(strl, kStrh);
    Put32(strl, 56);
    Put32(strl, streamtypeVIDEO);
    Put32(strl, handler);
    Put32(strl, 0);  // flags
    Put16(strl, info.wPriority);
    Put16(strl, info.wLanguage);
    Put32(strl, 0);  // initial frames
    Put32(strl, scale);
    Put32(strl, rate);
    Put32(strl, 0);  // start
    Put32(strl, static_cast<std::uint32_t>(frames));
    Put32(strl, std::max(maxChunk_, info.dwSuggestedBufferSize));
    Put32(strl, info.dwQuality);
    Put32(strl, 0);  // sample size: frames vary in size
    Put16(strl, 0);
    Put16(strl, 0);
    Put16(strl, static_cast<std::uint32_t>(dib.biWidth));
    Put16(strl, static_cast<std::uint32_t>(std::abs(dib.biHeight)));
    Put32(strl, kStrf);
    Put32(strl, static_cast<std::uint32_t>(fmt.size()));
    strl.insert(strl.end(), fmt.begin(), fmt.end());
    if (fmt.size() & 1) strl.push_back(0);

    std::vector<std::uint8_t> hdrl;
    Put32(hdrl, kAvih);
    Put32(hdrl, 56);
    Put32(hdrl, static_cast<std::uint32_t>(std::llround(1e6 * scale / rate)));
    Put32(hdrl, static_cast<std::uint32_t>(std::min<std::uint64_t>(
                    static_cast<std::uint64_t>(maxChunk_) * rate / scale, 0xFFFFFFFFu)));
    Put32(hdrl, 0);     // padding granularity
    Put32(hdrl, 0x10);  // AVIF_HASINDEX
    Put32(hdrl, static_cast<std::uint32_t>(frames));
    Put32(hdrl, 0);  // initial frames
    Put32(hdrl, 1);  // streams
    Put32(hdrl, maxChunk_);
    Put32(hdrl, static_cast<std::uint32_t>(dib.biWidth));
    Put32(hdrl, static_cast<std::uint32_t>(std::abs(dib.biHeight)));
    for (int i = 0; i < 4; ++i) Put32(hdrl, 0);
    Put32(hdrl, kList);
    Put32(hdrl, static_cast<std::uint32_t>(strl.size() + 4));
    Put32(hdrl, kStrl);
    hdrl.insert(hdrl.end(), strl.begin(), strl.end());

    std::vector<std::uint8_t> out;
    Put32(out, kRiff);
    Put32(out, static_cast<std::uint32_t>(fileEnd - 8));
    Put32(out, kAvi);
    Put32(out, kList);
    Put32(out, static_cast<std::uint32_t>(hdrl.size() + 4));
    Put32(out, kHdrl);
    out.insert(out.end(), hdrl.begin(), hdrl.end());
    // A JUNK chunk fills the room up to the movi list (the format is at most
    // 1,064 bytes, so the room is always there).
    const auto gap = static_cast<std::uint32_t>(kMoviListStart - static_cast<std::int64_t>(out.size()) - 8);
    Put32(out, kJunk);
    Put32(out, gap);
    out.resize(out.size() + gap, 0);
    Put32(out, kList);
    Put32(out, static_cast<std::uint32_t>(moviEnd - (kMoviListStart + 8)));
    Put32(out, kMovi);
    return out;
  }

  std::unique_ptr<TFileStream> file_;
  std::vector<TIndexEntry> index_;
  std::int64_t position_ = kFirstChunk;
  std::uint32_t maxChunk_ = 0;
  bool finished_ = false;
  bool failed_ = false;
};

// ---- Handles --------------------------------------------------------------------------------------

struct TFileObject {
  std::shared_ptr<TAviReader> reader;
  std::shared_ptr<TAviWriter> writer;
};

struct TStreamObject {
  std::shared_ptr<TAviReader> reader;  // reading: the file and the stream number
  int number = 0;
  std::shared_ptr<TAviWriter> writer;  // writing
  // A compressed stream: frames written to it go to source.
  std::shared_ptr<TStreamObject> source;
  bool compressJpeg = false;
  int jpegQuality = 75;
  std::vector<std::uint8_t> inputFormat;  // the uncompressed format set on a compressing stream

  TReadStream* Read() const { return reader ? &reader->streams[static_cast<std::size_t>(number)] : nullptr; }
};

class TFrameReader;

template <typename T>
class THandleTable {
 public:
  std::uint32_t Add(std::shared_ptr<T> item) {
    const std::uint32_t handle = NextHandle();
    items_[handle] = std::move(item);
    return handle;
  }
  std::shared_ptr<T> Get(std::uint32_t handle) const {
    const auto it = items_.find(handle);
    return it == items_.end() ? nullptr : it->second;
  }
  std::shared_ptr<T> Remove(std::uint32_t handle) {
    const auto it = items_.find(handle);
    if (it == items_.end()) return nullptr;
    std::shared_ptr<T> item = std::move(it->second);
    items_.erase(it);
    return item;
  }
  int Count() const { return static_cast<int>(items_.size()); }

 private:
  static std::uint32_t NextHandle() {
    static std::uint32_t next = 0;
    if (++next == 0) ++next;
    return next;
  }
  std::map<std::uint32_t, std::shared_ptr<T>> items_;
};

THandleTable<TFileObject>& Files() {
  static THandleTable<TFileObject> table;
  return table;
}
THandleTable<TStreamObject>& Streams() {
  static THandleTable<TStreamObject> table;
  return table;
}
THandleTable<TFrameReader>& FrameReaders() {
  static THandleTable<TFrameReader> table;
  return table;
}

// ---- Frame decoding --------------------------------------------------------------------------------

struct TBitFields {
  std::uint32_t mask[3] = {0, 0, 0};  // red, green, blue
  int shift[3] = {0, 0, 0};
  int bits[3] = {0, 0, 0};
  void Set(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    mask[0] = red;
    mask[1] = green;
    mask[2] = blue;
    for (int c = 0; c < 3; ++c) {
      shift[c] = 0;
      bits[c] = 0;
      if (mask[c] == 0) continue;
      while (((mask[c] >> shift[c]) & 1u) == 0) ++shift[c];
      while (shift[c] + bits[c] < 32 && ((mask[c] >> (shift[c] + bits[c])) & 1u) != 0) ++bits[c];
    }
  }
  std::uint8_t Channel(std::uint32_t v, int c) const {
    if (bits[c] == 0) return 0;
    const std::uint32_t value = (v & mask[c]) >> shift[c];
    if (bits[c] >= 8) return static_cast<std::uint8_t>(value >> (bits[c] - 8));
    const std::uint32_t max = (1u << bits[c]) - 1;
    return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
  }
};

// Decodes RLE8 data onto a bottom-up 8-bit canvas; runs past the image are dropped.
void ApplyRle8(const std::uint8_t* data, std::size_t size, std::uint8_t* canvas, std::int64_t rowBytes,
               std::int64_t width, std::int64_t height) {
  std::int64_t x = 0;
  std::int64_t y = 0;
  auto put = [&](std::uint8_t value) {
    if (x < width && y < height) canvas[y * rowBytes + x] = value;
    ++x;
  };
  std::size_t i = 0;
  while (i + 1 < size && y < height) {
    const std::uint8_t count = data[i];
    const std::uint8_t value = data[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count; ++k) put(value);
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of bitmap
        return;
      case 2:  // delta
        if (i + 1 >= size) return;
        x += data[i];
        y += data[i + 1];
        i += 2;
        break;
      default:  // a literal run, padded to a 16-bit boundary
        for (int k = 0; k < value; ++k) {
          if (i >= size) return;
          put(data[i++]);
        }
        if (value & 1) ++i;
        break;
    }
  }
}

class TFrameReader {
 public:
  TFrameReader(std::shared_ptr<TStreamObject> stream, bool force24) : stream_(std::move(stream)), force24_(force24) {}

  const std::uint8_t* Get(std::int32_t position) {
    try {
      return Decode(position) ? output_.data() : nullptr;
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }

 private:
  struct TPaletteRgb {
    std::uint8_t b, g, r;
  };
  struct TSource {
    TBitmapInfoHeader header;
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool topDown = false;
    std::vector<TPaletteRgb> palette;
    TBitFields fields;
  };

  bool Decode(std::int32_t position) {
    TReadStream* s = stream_->Read();
    if (s == nullptr) return false;
    const std::int64_t index = static_cast<std::int64_t>(position) - s->start;
    if (index < 0 || index >= s->length) return false;
    TSource src;
    if (!ParseFormat(*s, src)) return false;
    const std::uint32_t compression = src.header.biCompression;
    if (compression == BI_RLE8) return DecodeRle(*s, src, index);
    // An empty chunk repeats the frame before it.
    std::int64_t chunk = index;
    while (chunk >= 0 && s->chunks[static_cast<std::size_t>(chunk)].size == 0) --chunk;
    if (chunk < 0) return false;
    const TChunkRef& ref = s->chunks[static_cast<std::size_t>(chunk)];
    if (IsJpegHandler(compression)) return DecodeJpeg(ref, src);
    const int bits = src.header.biBitCount;
    const std::int64_t rowBytes = DibRowBytes(src.width, bits);
    const std::int64_t needed = rowBytes * src.height;
    if (ref.size < needed) return false;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(needed));
    if (!stream_->reader->ReadAt(ref.offset, data.data(), needed)) return false;
    if (src.topDown) FlipRows(data, rowBytes, src.height);
    if (bits == 8) return EmitIndexed(src, data);
    if (bits == 32 && compression == BI_RGB && !force24_) {
      BeginOutput(src.width, src.height, 32, 0);
      std::memcpy(output_.data() + kAviDibHeaderSize, data.data(), data.size());
      return true;
    }
    return EmitConverted(src, data, rowBytes);
  }

  bool ParseFormat(const TReadStream& s, TSource& src) const {
    const std::vector<std::uint8_t>& f = s.format;
    if (f.size() < kAviDibHeaderSize) return false;
    src.header = LoadDibHeader(f.data());
    const TBitmapInfoHeader& h = src.header;
    if (h.biSize < kAviDibHeaderSize || h.biSize > f.size()) return false;
    src.width = h.biWidth;
    src.height = h.biHeight < 0 ? -static_cast<std::int64_t>(h.biHeight) : h.biHeight;
    src.topDown = h.biHeight < 0;
    if (src.width <= 0 || src.height <= 0 || src.width > kMaxSide || src.height > kMaxSide ||
        src.width * src.height > kMaxPixels)
      return false;
    std::size_t tableAt = h.biSize;
    switch (h.biCompression) {
      case BI_RGB:
        if (h.biBitCount != 8 && h.biBitCount != 16 && h.biBitCount != 24 && h.biBitCount != 32) return false;
        if (h.biBitCount == 16) src.fields.Set(0x7C00, 0x03E0, 0x001F);
        if (h.biBitCount == 32) src.fields.Set(0xFF0000, 0x00FF00, 0x0000FF);
        break;
      case BI_RLE8:
        if (h.biBitCount != 8 || src.topDown) return false;
        break;
      case BI_BITFIELDS:
        if ((h.biBitCount != 16 && h.biBitCount != 32) || tableAt + 12 > f.size()) return false;
        src.fields.Set(Get32(f.data() + tableAt), Get32(f.data() + tableAt + 4), Get32(f.data() + tableAt + 8));
        tableAt += 12;
        break;
      default:
        if (!IsJpegHandler(h.biCompression)) return false;
        break;
    }
    if (h.biBitCount == 8) {
      // The colour table as far as the format holds it; none at all gives greys.
      const std::size_t available = (f.size() - tableAt) / 4;
      const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(DibColorCount(h)), available);
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = f.data() + tableAt + 4 * i;
        src.palette.push_back({e[0], e[1], e[2]});
      }
      if (src.palette.empty())
        for (int i = 0; i < 256; ++i)
          src.palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i)});
    }
    return true;
  }

  static void FlipRows(std::vector<std::uint8_t>& data, std::int64_t rowBytes, std::int64_t height) {
    for (std::int64_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
      std::swap_ranges(data.begin() + top * rowBytes, data.begin() + (top + 1) * rowBytes,
                       data.begin() + bottom * rowBytes);
  }

  void BeginOutput(std::int64_t width, std::int64_t height, int bits, int colors) {
    TBitmapInfoHeader h;
    h.biWidth = static_cast<std::int32_t>(width);
    h.biHeight = static_cast<std::int32_t>(height);
    h.biBitCount = static_cast<std::uint16_t>(bits);
    h.biSizeImage = static_cast<std::uint32_t>(DibRowBytes(width, bits) * height);
    h.biClrUsed = static_cast<std::uint32_t>(colors);
    output_.assign(kAviDibHeaderSize + 4 * static_cast<std::size_t>(colors) + h.biSizeImage, 0);
    StoreDibHeader(h, output_.data());
  }

  // 8-bit rows (bottom-up): kept with their colour table, or expanded to 24 bits.
  bool EmitIndexed(const TSource& src, const std::vector<std::uint8_t>& indices) {
    const std::int64_t inRow = DibRowBytes(src.width, 8);
    const auto colors = static_cast<int>(src.palette.size());
    if (!force24_) {
      BeginOutput(src.width, src.height, 8, colors);
      std::uint8_t* table = output_.data() + kAviDibHeaderSize;
      for (int i = 0; i < colors; ++i) {
        table[4 * i] = src.palette[static_cast<std::size_t>(i)].b;
        table[4 * i + 1] = src.palette[static_cast<std::size_t>(i)].g;
        table[4 * i + 2] = src.palette[static_cast<std::size_t>(i)].r;
      }
      std::memcpy(table + 4 * colors, indices.data(), static_cast<std::size_t>(inRow * src.height));
      return true;
    }
    BeginOutput(src.width, src.height, 24, 0);
    const std::int64_t outRow = DibRowBytes(src.width, 24);
    for (std::int64_t y = 0; y < src.height; ++y) {
      const std::uint8_t* in = indices.data() + y * inRow;
      std::uint8_t* out = output_.data() + kAviDibHeaderSize + y * outRow;
      for (std::int64_t x = 0; x < src.width; ++x) {
        // Indices past the colour table show black.
        if (in[x] < colors) {
          const TPaletteRgb& c = src.palette[in[x]];
          out[3 * x] = c.b;
          out[3 * x + 1] = c.g;
          out[3 * x + 2] = c.r;
        }
      }
    }
    return true;
  }

  // 16, 24 and 32-bit rows (bottom-up) as 24 bits.
  bool EmitConverted(const TSource& src, const std::vector<std::uint8_t>& data, std::int64_t inRow) {
    BeginOutput(src.width, src.height, 24, 0);
    const std::int64_t outRow = DibRowBytes(src.width, 24);
    const int bits = src.header.biBitCount;
    for (std::int64_t y = 0; y < src.height; ++y) {
      const std::uint8_t* in = data.data() + y * inRow;
      std::uint8_t* out = output_.data() + kAviDibHeaderSize + y * outRow;
      if (bits == 24) {
        std::memcpy(out, in, static_cast<std::size_t>(3 * src.width));
        continue;
      }
      for (std::int64_t x = 0; x < src.width; ++x) {
        const std::uint32_t v = bits == 16 ? Get16(in + 2 * x) : Get32(in + 4 * x);
        out[3 * x] = src.fields.Channel(v, 2);
        out[3 * x + 1] = src.fields.Channel(v, 1);
        out[3 * x + 2] = src.fields.Channel(v, 0);
      }
    }
    return true;
  }

  bool ReadChunk(const TChunkRef& ref, std::int64_t limit, std::vector<std::uint8_t>& data) const {
    if (ref.size > limit) return false;
    data.resize(ref.size);
    return stream_->reader->ReadAt(ref.offset, data.data(), ref.size);
  }

  bool DecodeJpeg(const TChunkRef& ref, const TSource& src) {
    const TAviJpegDecoder& decoder = JpegDecoder();
    if (!decoder) return false;
    std::vector<std::uint8_t> data;
    if (!ReadChunk(ref, 4 * src.width * src.height + (1 << 20), data)) return false;
    TAviDecodedFrame frame;
    if (!decoder(data.data(), data.size(), frame)) return false;
    if (frame.width <= 0 || frame.height <= 0 || frame.width > kMaxSide || frame.height > kMaxSide) return false;
    const std::int64_t rowBytes = DibRowBytes(frame.width, 24);
    if (static_cast<std::int64_t>(frame.rows.size()) < rowBytes * frame.height) return false;
    BeginOutput(frame.width, frame.height, 24, 0);
    std::memcpy(output_.data() + kAviDibHeaderSize, frame.rows.data(), static_cast<std::size_t>(rowBytes * frame.height));
    return true;
  }

  // RLE8 frames after the first key frame may change only some pixels, so
  // decoding starts from the last key frame at or before the one wanted (or
  // continues from the frame decoded last).
  bool DecodeRle(const TReadStream& s, const TSource& src, std::int64_t index) {
    const std::int64_t rowBytes = DibRowBytes(src.width, 8);
    std::int64_t key = 0;
    if (s.keyFlagsKnown) {
      for (std::int64_t j = index; j >= 0; --j) {
        if (s.chunks[static_cast<std::size_t>(j)].key) {
          key = j;
          break;
        }
      }
    }
    std::int64_t from = key;
    if (canvasFrame_ >= key && canvasFrame_ <= index && !canvas_.empty()) {
      from = canvasFrame_ + 1;
    } else {
      canvas_.assign(static_cast<std::size_t>(rowBytes * src.height), 0);
    }
    std::vector<std::uint8_t> data;
    const std::int64_t limit = 2 * (rowBytes + 2) * src.height + 4096;
    for (std::int64_t j = from; j <= index; ++j) {
      const TChunkRef& ref = s.chunks[static_cast<std::size_t>(j)];
      if (ref.size == 0) continue;
      if (!ReadChunk(ref, limit, data)) {
        canvasFrame_ = -1;
        return false;
      }
      ApplyRle8(data.data(), data.size(), canvas_.data(), rowBytes, src.width, src.height);
    }
    canvasFrame_ = index;
    return EmitIndexed(src, canvas_);
  }

  std::shared_ptr<TStreamObject> stream_;
  bool force24_;
  std::vector<std::uint8_t> output_;
  std::vector<std::uint8_t> canvas_;  // RLE8: the frame decoded last
  std::int64_t canvasFrame_ = -1;
};

int JpegQualityOf(std::uint32_t aviQuality) {
  if (aviQuality > 10000) return 75;
  return std::clamp(static_cast<int>(std::lround(aviQuality / 100.0)), 1, 100);
}

HRESULT WritePlain(TStreamObject& s, std::int32_t start, const std::uint8_t* data, std::int32_t size,
                   std::uint32_t flags) {
  TAviWriter& w = *s.writer;
  if (w.Finished()) return AVIERR_FILEWRITE;
  if (w.format.empty()) return AVIERR_BADFORMAT;
  if (start < w.frames) return AVIERR_UNSUPPORTED;
  if (static_cast<std::int64_t>(start) - w.frames > 1000000) return AVIERR_BADPARAM;
  const TBitmapInfoHeader h = LoadDibHeader(w.format.data());
  if (h.biCompression == BI_RGB && size != 0 &&
      static_cast<std::int64_t>(size) != DibRowBytes(h.biWidth, h.biBitCount) * std::abs(h.biHeight))
    return AVIERR_BADSIZE;
  // Frames skipped are stored empty, which readers show as the frame before.
  while (w.frames < start) {
    const HRESULT r = w.WriteChunk(nullptr, 0, 0);
    if (r != AVIERR_OK) return r;
  }
  return w.WriteChunk(data, static_cast<std::uint32_t>(size), flags);
}

HRESULT SetPlainFormat(TStreamObject& s, const std::uint8_t* format, std::int32_t size) {
  TAviWriter& w = *s.writer;
  if (w.Finished()) return AVIERR_FILEWRITE;
  if (size < kAviDibHeaderSize || size > kMaxWrittenFormat) return AVIERR_BADSIZE;
  const std::vector<std::uint8_t> bytes(format, format + size);
  if (!w.format.empty()) return bytes == w.format ? AVIERR_OK : AVIERR_UNSUPPORTED;
  const TBitmapInfoHeader h = LoadDibHeader(format);
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > kMaxSide || std::abs(h.biHeight) > kMaxSide ||
      static_cast<std::int64_t>(h.biWidth) * std::abs(h.biHeight) > kMaxPixels)
    return AVIERR_BADFORMAT;
  if (h.biCompression == BI_RGB && h.biBitCount != 8 && h.biBitCount != 24 && h.biBitCount != 32)
    return AVIERR_BADFORMAT;
  w.format = bytes;
  return AVIERR_OK;
}

}  // namespace

// ---- DIB helpers ------------------------------------------------------------------------------------

void StoreDibHeader(const TBitmapInfoHeader& h, std::uint8_t* out) {
  std::vector<std::uint8_t> b;
  Put32(b, h.biSize);
  Put32(b, static_cast<std::uint32_t>(h.biWidth));
  Put32(b, static_cast<std::uint32_t>(h.biHeight));
  Put16(b, h.biPlanes);
  Put16(b, h.biBitCount);
  Put32(b, h.biCompression);
  Put32(b, h.biSizeImage);
  Put32(b, static_cast<std::uint32_t>(h.biXPelsPerMeter));
  Put32(b, static_cast<std::uint32_t>(h.biYPelsPerMeter));
  Put32(b, h.biClrUsed);
  Put32(b, h.biClrImportant);
  std::memcpy(out, b.data(), b.size());
}

TBitmapInfoHeader LoadDibHeader(const std::uint8_t* in) {
  TBitmapInfoHeader h;
  h.biSize = Get32(in);
  h.biWidth = static_cast<std::int32_t>(Get32(in + 4));
  h.biHeight = static_cast<std::int32_t>(Get32(in + 8));
  h.biPlanes = Get16(in + 12);
  h.biBitCount = Get16(in + 14);
  h.biCompression = Get32(in + 16);
  h.biSizeImage = Get32(in + 20);
  h.biXPelsPerMeter = static_cast<std::int32_t>(Get32(in + 24));
  h.biYPelsPerMeter = static_cast<std::int32_t>(Get32(in + 28));
  h.biClrUsed = Get32(in + 32);
  h.biClrImportant = Get32(in + 36);
  return h;
}

int DibColorCount(const TBitmapInfoHeader& header) {
  if (header.biBitCount > 8) return 0;
  const std::uint32_t full = 1u << header.biBitCount;
  const std::uint32_t count = header.biClrUsed == 0 ? full : std::min(header.biClrUsed, full);
  return static_cast<int>(std::min<std::uint32_t>(count, 256));
}

std::int64_t DibRowBytes(std::int64_t width, int bitCount) { return (width * bitCount + 31) / 32 * 4; }

// ---- The calls --------------------------------------------------------------------------------------

void AVIFileInit() {}
void AVIFileExit() {}

HRESULT AVIFileOpen(PAVIFILE* file, const std::string& name, unsigned mode) {
  if (file == nullptr) return AVIERR_BADPARAM;
  *file = 0;
  auto object = std::make_shared<TFileObject>();
  if (mode & OF_CREATE) {
    object->writer = std::make_shared<TAviWriter>();
    const HRESULT r = object->writer->Create(name);
    if (r != AVIERR_OK) return r;
  } else {
    object->reader = std::make_shared<TAviReader>();
    const HRESULT r = object->reader->Open(name, mode);
    if (r != AVIERR_OK) return r;
  }
  *file = Files().Add(std::move(object));
  return AVIERR_OK;
}

HRESULT AVIFileRelease(PAVIFILE file) {
  const std::shared_ptr<TFileObject> object = Files().Remove(file);
  if (!object) return AVIERR_BADHANDLE;
  return object->writer ? object->writer->Finish() : AVIERR_OK;
}

HRESULT AVIFileGetStream(PAVIFILE file, PAVISTREAM* stream, FOURCC type, std::int32_t number) {
  if (stream == nullptr) return AVIERR_BADPARAM;
  *stream = 0;
  const std::shared_ptr<TFileObject> object = Files().Get(file);
  if (!object) return AVIERR_BADHANDLE;
  auto s = std::make_shared<TStreamObject>();
  if (object->writer) {
    if (number != 0 || !object->writer->streamCreated || (type != 0 && type != streamtypeVIDEO)) return AVIERR_NODATA;
    s->writer = object->writer;
  } else {
    int seen = 0;
    int found = -1;
    const auto& streams = object->reader->streams;
    for (std::size_t i = 0; i < streams.size() && found < 0; ++i) {
      if (type != 0 && streams[i].info.fccType != type) continue;
      if (seen++ == number) found = static_cast<int>(i);
    }
    if (found < 0) return AVIERR_NODATA;
    s->reader = object->reader;
    s->number = found;
  }
  *stream = Streams().Add(std::move(s));
  return AVIERR_OK;
}

HRESULT AVIFileCreateStream(PAVIFILE file, PAVISTREAM* stream, const TAVIStreamInfo& info) {
  if (stream == nullptr) return AVIERR_BADPARAM;
  *stream = 0;
  const std::shared_ptr<TFileObject> object = Files().Get(file);
  if (!object) return AVIERR_BADHANDLE;
  if (!object->writer) return AVIERR_READONLY;
  TAviWriter& w = *object->writer;
  if (w.streamCreated || info.fccType != streamtypeVIDEO) return AVIERR_UNSUPPORTED;
  w.streamCreated = true;
  w.info = info;
  w.handler = info.fccHandler;
  auto s = std::make_shared<TStreamObject>();
  s->writer = object->writer;
  *stream = Streams().Add(std::move(s));
  return AVIERR_OK;
}

HRESULT AVIStreamRelease(PAVISTREAM stream) { return Streams().Remove(stream) ? AVIERR_OK : AVIERR_BADHANDLE; }

HRESULT AVIStreamInfo(PAVISTREAM stream, TAVIStreamInfo* info) {
  const std::shared_ptr<TStreamObject> s = Streams().Get(stream);
  if (!s || info == nullptr) return AVIERR_BADHANDLE;
  if (const TReadStream* r = s->Read()) {
    *info = r->info;
    return AVIERR_OK;
  }
  const TStreamObject& base = s->source ? *s->source : *s;
  *info = base.writer->info;
  info->fccHandler = base.writer->handler;
  info->dwLength = static_cast<std::uint32_t>(base.writer->frames);
  return AVIERR_OK;
}

std::int32_t AVIStreamStart(PAVISTREAM stream) {
  const std::shared_ptr<TStreamObject> s = Streams().Get(stream);
  if (!s) return -1;
  const TReadStream* r = s->Read();
  return r ? r->start : 0;
}

std::int32_t AVIStreamLength(PAVISTREAM stream) {
  const std::shared_ptr<TStreamObject> s = Streams().Get(stream);
  if (!s) return -1;
  if (const TReadStream* r = s->Read()) return r->length;
  return (s->source ? *s->source : *s).writer->frames;
}

HRESULT AVIStreamReadFormat(PAVISTREAM stream, std::int32_t, void* format, std::int32_t* size) {
  const std::shared_ptr<TStreamObject> s = Streams().Get(stream);
  if (!s || size == nullptr) return AVIERR_BADHANDLE;
  const std::vector<std::uint8_t>& bytes =
      s->Read() ? s->Read()->format : (s->compressJpeg ? s->inputFormat : (s->source ? *s->source : *s).writer->format);
  const auto needed = static_cast<std::int32_t>(bytes.size());
  if (format == nullptr) {
    *size = needed;
    return AVIERR_OK;
  }
  if (*size < needed) return kBufferTooSmall;
  if (needed > 0) std::memcpy(format, bytes.data(), bytes.size());
  *size = needed;
  return AVIERR_OK;
}

HRESULT AVIStreamSetFormat(PAVISTREAM stream, std::int32_t position, const void* format, std::int32_t size) {
  const std::shared_ptr<TStreamObject> s = Streams().Get(stream);
  if (!s) return AVIERR_BADHANDLE;
  if (s->reader) return AVIERR_READONLY;
  if (position != 0 || format == nullptr) return AVIERR_UNSUPPORTED;
  const auto* bytes = static_cast<const std::uint8_t*>(format);
  if (!s->compressJpeg) return SetPlainFormat(s->source ? *s->source : *s, bytes, size);
  // A compressing stream takes 24-bit frames and stores them as Motion JPEG.
  if (size < kAviDibHeaderSize || size > kMaxWrittenFormat) return AVIERR_BADSIZE;
  const std::vector<std::uint8_t> input(bytes, bytes + size);
  if (!s->inputFormat.empty()) return input == s->inputFormat ? AVIERR_OK : AVIERR_UNSUPPORTED;
  TBitmapInfoHeader h = LoadDibHeader(bytes);
  if (h.biBitCount != 24 || h.biCompression != BI_RGB || h.biHeight <= 0) return AVIERR_BADFORMAT;
  h.biSize = kAviDibHeaderSize;
  h.biCompression = comptypeMJPG;
  h.biSizeImage = static_cast<std::uint32_t>(DibRowBytes(h.biWidth, 24) * h.biHeight);
  h.biClrUsed = 0;
  std::uint8_t stored[kAviDibHeaderSize];
  StoreDibHeader(h, stored);
  TStreamObject& target = *s->source;
  const HRESULT r = SetPlainFormat(target, stored, kAviDibHeaderSize);
  if (r != AVIERR_OK) return r;
  target.writer->handler = comptypeMJPG;
  target.writer->chunkId = MakeFourCC('0', '0', 'd', 'c');
  s->inputFormat = input;
  return AVIERR_OK;
}

HRESULT AVIStreamWrite(PAVISTREAM stream, std::int32_t start, std::int32_t samples, const void* buffer,
                       std::int32_t size, std::uint32_t flags, std::int32_t* samplesWritten, std::int32_t* bytesWritten) {
  if (samplesWritten) *samplesWritten = 0;
  if (bytesWritten) *bytesWritten = 0;
  const std::shared_ptr<TStreamObject> s = Streams().Get(stream);
  if (!s) return AVIERR_BADHANDLE;
  if (s->reader) return AVIERR_READONLY;
  if (samples != 1 || start < 0 || size < 0 || (size > 0 && buffer == nullptr)) return AVIERR_BADPARAM;
  const auto* data = static_cast<const std::uint8_t*>(buffer);
  HRESULT r = AVIERR_OK;
  std::int32_t stored = size;
  if (!s->compressJpeg) {
    r = WritePlain(s->source ? *s->source : *s, start, data, size, flags);
  } else {
    if (s->inputFormat.empty()) return AVIERR_BADFORMAT;
    const TBitmapInfoHeader h = LoadDibHeader(s->inputFormat.data());
    TAviDecodedFrame frame;
    frame.width = h.biWidth;
    frame.height = h.biHeight;
    if (static_cast<std::int64_t>(size) != DibRowBytes(h.biWidth, 24) * h.biHeight) return AVIERR_BADSIZE;
    frame.rows.assign(data, data + size);
    std::vector<std::uint8_t> jpeg;
    const TAviJpegEncoder& encoder = JpegEncoder();
    if (!encoder || !encoder(frame, s->jpegQuality, jpeg) || jpeg.size() > 0x7FFFFFFFu) return AVIERR_NOCOMPRESSOR;
    stored = static_cast<std::int32_t>(jpeg.size());
    r = WritePlain(*s->source, start, jpeg.data(), stored, flags | AVIIF_KEYFRAME);
  }
  if (r != AVIERR_OK) return r;
  if (samplesWritten) *samplesWritten = 1;
  if (bytesWritten) *bytesWritten = stored;
  return AVIERR_OK;
}

HRESULT AVIStreamRead(PAVISTREAM stream, std::int32_t start, std::int32_t samples, void* buffer,
                      std::int32_t bufferSize, std::int32_t* bytes, std::int32_t* samplesRead) {
  if (bytes) *bytes = 0;
  if (samplesRead) *samplesRead = 0;
  const std::shared_ptr<TStreamObject> s = Streams().Get(stream);
  if (!s) return AVIERR_BADHANDLE;
  TReadStream* r = s->Read();
  if (r == nullptr) return AVIERR_UNSUPPORTED;
  const std::int64_t first = static_cast<std::int64_t>(start) - r->start;
  if (samples < 0 || first < 0 || first >= r->length) return AVIERR_NODATA;
  if (r->info.fccType != streamtypeAUDIO) {
    // A video sample is the frame's stored chunk.
    const TChunkRef& c = r->chunks[static_cast<std::size_t>(first)];
    if (buffer != nullptr) {
      if (bufferSize < 0 || c.size > static_cast<std::uint32_t>(bufferSize)) return kBufferTooSmall;
      if (!s->reader->ReadAt(c.offset, buffer, c.size)) return AVIERR_FILEREAD;
    }
    if (bytes) *bytes = static_cast<std::int32_t>(std::min<std::uint32_t>(c.size, 0x7FFFFFFF));
    if (samplesRead) *samplesRead = 1;
    return AVIERR_OK;
  }
  const std::int64_t count = std::min<std::int64_t>(samples, r->length - first);
  const std::int64_t from = first * r->blockAlign;
  const std::int64_t total = std::min<std::int64_t>(count * r->blockAlign, r->audioBytes - from);
  if (total > 0x7FFFFFFF) return AVIERR_BADSIZE;
  if (buffer != nullptr) {
    if (bufferSize < total) return kBufferTooSmall;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int64_t done = 0;
    auto it = std::upper_bound(r->audioStart.begin(), r->audioStart.end(), from);
    std::size_t chunk = static_cast<std::size_t>(std::distance(r->audioStart.begin(), it)) - 1;
    while (done < total && chunk < r->chunks.size()) {
      const TChunkRef& c = r->chunks[chunk];
      const std::int64_t within = from + done - r->audioStart[chunk];
      const std::int64_t n = std::min<std::int64_t>(c.size - within, total - done);
      if (n > 0 && !s->reader->ReadAt(c.offset + within, out + done, n)) return AVIERR_FILEREAD;
      done += std::max<std::int64_t>(n, 0);
      ++chunk;
    }
  }
  if (bytes) *bytes = static_cast<std::int32_t>(total);
  if (samplesRead) *samplesRead = static_cast<std::int32_t>(count);
  return AVIERR_OK;
}

PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM stream, const TBitmapInfoHeader* wanted) {
  const std::shared_ptr<TStreamObject> s = Streams().Get(stream);
  if (!s || !s->Read() || s->Read()->info.fccType != streamtypeVIDEO) return 0;
  if (wanted != nullptr && wanted->biBitCount != 24) return 0;
  return FrameReaders().Add(std::make_shared<TFrameReader>(s, wanted != nullptr));
}

const std::uint8_t* AVIStreamGetFrame(PGETFRAME reader, std::int32_t position) {
  const std::shared_ptr<TFrameReader> r = FrameReaders().Get(reader);
  return r ? r->Get(position) : nullptr;
}

HRESULT AVIStreamGetFrameClose(PGETFRAME reader) {
  return FrameReaders().Remove(reader) ? AVIERR_OK : AVIERR_BADHANDLE;
}

HRESULT AVIMakeCompressedStream(PAVISTREAM* compressed, PAVISTREAM source, const TAVICompressOptions& options) {
  if (compressed == nullptr) return AVIERR_BADPARAM;
  *compressed = 0;
  const std::shared_ptr<TStreamObject> s = Streams().Get(source);
  if (!s) return AVIERR_BADHANDLE;
  if (!s->writer || s->source) return AVIERR_UNSUPPORTED;
  auto view = std::make_shared<TStreamObject>();
  view->source = s;
  const FOURCC handler = options.fccHandler;
  if (IsJpegHandler(handler)) {
    if (!JpegEncoder()) return AVIERR_NOCOMPRESSOR;
    view->compressJpeg = true;
    view->jpegQuality = JpegQualityOf(options.dwQuality);
  } else if (handler != 0 && handler != comptypeDIB && handler != MakeFourCC('d', 'i', 'b', ' ')) {
    return AVIERR_NOCOMPRESSOR;
  }
  *compressed = Streams().Add(std::move(view));
  return AVIERR_OK;
}

bool AVISaveOptions(HWND owner, TAVICompressOptions& options) {
  VideoCompression initial;
  initial.handler = options.fccHandler;
  initial.quality = options.dwQuality <= 10000 ? static_cast<int>(options.dwQuality) : 7500;
  const std::optional<VideoCompression> chosen = Ui().ChooseVideoCompression(owner, initial);
  if (!chosen) return false;
  options.fccType = streamtypeVIDEO;
  options.fccHandler = chosen->handler;
  options.dwQuality = static_cast<std::uint32_t>(std::clamp(chosen->quality, 0, 10000));
  options.dwKeyFrameEvery = 1;
  return true;
}

void SetAviJpegCodec(TAviJpegDecoder decoder, TAviJpegEncoder encoder) {
  JpegDecoder() = std::move(decoder);
  JpegEncoder() = std::move(encoder);
}

bool AviJpegCodecInstalled() { return static_cast<bool>(JpegDecoder()) && static_cast<bool>(JpegEncoder()); }

int OpenAviHandleCount() { return Files().Count() + Streams().Count() + FrameReaders().Count(); }
