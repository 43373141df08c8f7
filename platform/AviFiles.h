// Our own RIFF AVI 1.0 reader and writer behind calls in the shape of the
// Windows AVIFile library. Files, streams and frame readers are integer
// handles (0 = none) that the caller releases; a stale or unknown handle
// gives an error, never a crash.
//
// Reading: video streams of uncompressed 8, 16, 24 and 32-bit frames, RLE8
// and Motion JPEG (through a decoder that the imaging library installs);
// audio streams with their PCM bytes. Every size, count and offset of the
// file is checked against the file before it is used.
//
// Writing: one video stream of 24-bit frames with an idx1 index; through a
// compressed stream with the 'MJPG' handler the frames are stored as JPEG
// (through the installed encoder).
#pragma once

#include "platform/BmpFiles.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using FOURCC = std::uint32_t;
constexpr FOURCC MakeFourCC(char a, char b, char c, char d) {
  return static_cast<std::uint8_t>(a) | (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b)) << 8) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(c)) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(d)) << 24);
}
constexpr FOURCC streamtypeVIDEO = MakeFourCC('v', 'i', 'd', 's');
constexpr FOURCC streamtypeAUDIO = MakeFourCC('a', 'u', 'd', 's');
constexpr FOURCC comptypeDIB = MakeFourCC('D', 'I', 'B', ' ');
constexpr FOURCC comptypeMJPG = MakeFourCC('M', 'J', 'P', 'G');

// Results: 0 or one of the AVIERR_ codes (negative, as on Windows).
using HRESULT = std::int32_t;
constexpr HRESULT MakeAviError(int code) { return static_cast<HRESULT>(0x80044000u + static_cast<std::uint32_t>(code)); }
constexpr HRESULT AVIERR_OK = 0;
constexpr HRESULT AVIERR_UNSUPPORTED = MakeAviError(101);
constexpr HRESULT AVIERR_BADFORMAT = MakeAviError(102);
constexpr HRESULT AVIERR_MEMORY = MakeAviError(103);
constexpr HRESULT AVIERR_BADPARAM = MakeAviError(106);
constexpr HRESULT AVIERR_BADSIZE = MakeAviError(107);
constexpr HRESULT AVIERR_BADHANDLE = MakeAviError(108);
constexpr HRESULT AVIERR_FILEREAD = MakeAviError(109);
constexpr HRESULT AVIERR_FILEWRITE = MakeAviError(110);
constexpr HRESULT AVIERR_FILEOPEN = MakeAviError(111);
constexpr HRESULT AVIERR_NOCOMPRESSOR = MakeAviError(113);
constexpr HRESULT AVIERR_READONLY = MakeAviError(114);
constexpr HRESULT AVIERR_NODATA = MakeAviError(115);

// AVIFileOpen modes (combined with |).
enum : unsigned {
  OF_READ = 0x0000,
  OF_WRITE = 0x0001,
  OF_SHARE_DENY_WRITE = 0x0020,
  OF_SHARE_DENY_NONE = 0x0040,
  OF_CREATE = 0x1000,
};

// Index flag of a key frame.
constexpr std::uint32_t AVIIF_KEYFRAME = 0x10;

using PAVIFILE = std::uint32_t;
using PAVISTREAM = std::uint32_t;
using PGETFRAME = std::uint32_t;

constexpr int kAviDibHeaderSize = 40;
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_BITFIELDS = 3;

void StoreDibHeader(const TBitmapInfoHeader& header, std::uint8_t* out);
// Reads 40 bytes; the caller checks that they are there.
TBitmapInfoHeader LoadDibHeader(const std::uint8_t* in);
// Colour-table entries of a DIB: biClrUsed, where 0 means 2^bits for 8 bits
// or fewer; never more than 256, and 0 above 8 bits.
int DibColorCount(const TBitmapInfoHeader& header);
// Bytes of one row, padded to 4 bytes.
std::int64_t DibRowBytes(std::int64_t width, int bitCount);

// AVISTREAMINFO.
struct TAVIStreamInfo {
  FOURCC fccType = 0;
  FOURCC fccHandler = 0;
  std::uint32_t dwFlags = 0;
  std::uint32_t dwCaps = 0;
  std::uint16_t wPriority = 0;
  std::uint16_t wLanguage = 0;
  std::uint32_t dwScale = 1;
  std::uint32_t dwRate = 0;  // dwRate / dwScale samples per second
  std::uint32_t dwStart = 0;
  std::uint32_t dwLength = 0;
  std::uint32_t dwInitialFrames = 0;
  std::uint32_t dwSuggestedBufferSize = 0;
  std::uint32_t dwQuality = 0xFFFFFFFFu;
  std::uint32_t dwSampleSize = 0;
  TRect rcFrame{};
  std::uint32_t dwEditCount = 0;
  std::uint32_t dwFormatChangeCount = 0;
  std::string szName;
};

// AVICOMPRESSOPTIONS, as far as the writer uses it.
struct TAVICompressOptions {
  FOURCC fccType = 0;
  FOURCC fccHandler = 0;  // 0 or 'DIB ': full frames; 'MJPG': Motion JPEG
  std::uint32_t dwKeyFrameEvery = 0;
  std::uint32_t dwQuality = 0;  // 0..10000
  std::uint32_t dwBytesPerSecond = 0;
  std::uint32_t dwFlags = 0;
  std::uint32_t dwInterleaveEvery = 0;
};

// Kept for the shape of the calls; the library needs no set-up.
void AVIFileInit();
void AVIFileExit();

// Opens a file for reading (OF_READ, with a share mode) or creates one for
// writing (OF_CREATE | OF_WRITE).
HRESULT AVIFileOpen(PAVIFILE* file, const std::string& name, unsigned mode);
// Writing: finishes the file (headers and index). Returns AVIERR_FILEWRITE
// when that failed. Streams still held fail from then on.
HRESULT AVIFileRelease(PAVIFILE file);
// The stream of the given number; type 0 counts every stream, another type
// only the streams of that type. AVIERR_NODATA when there is no such stream.
HRESULT AVIFileGetStream(PAVIFILE file, PAVISTREAM* stream, FOURCC type, std::int32_t number);
// Writing: the one video stream of the file.
HRESULT AVIFileCreateStream(PAVIFILE file, PAVISTREAM* stream, const TAVIStreamInfo& info);

HRESULT AVIStreamRelease(PAVISTREAM stream);
HRESULT AVIStreamInfo(PAVISTREAM stream, TAVIStreamInfo* info);
// The first sample number and the number of samples (frames, or audio
// blocks); -1 for a bad handle.
std::int32_t AVIStreamStart(PAVISTREAM stream);
std::int32_t AVIStreamLength(PAVISTREAM stream);
// The stream format (a DIB header with its colour table, or a WAVEFORMATEX).
// With format nullptr only the size is returned.
HRESULT AVIStreamReadFormat(PAVISTREAM stream, std::int32_t position, void* format, std::int32_t* size);
// Writing: the frame format, at position 0; setting it again succeeds only
// with the same bytes.
HRESULT AVIStreamSetFormat(PAVISTREAM stream, std::int32_t position, const void* format, std::int32_t size);
// Writing: one frame at sample start (frames skipped are stored empty).
HRESULT AVIStreamWrite(PAVISTREAM stream, std::int32_t start, std::int32_t samples, const void* buffer,
                       std::int32_t size, std::uint32_t flags, std::int32_t* samplesWritten, std::int32_t* bytesWritten);
// Reading: the bytes of samples from start (audio: PCM blocks; video: the
// stored frame). With buffer nullptr only the sizes are returned.
HRESULT AVIStreamRead(PAVISTREAM stream, std::int32_t start, std::int32_t samples, void* buffer,
                      std::int32_t bufferSize, std::int32_t* bytes, std::int32_t* samplesRead);

// A frame reader of a video stream. wanted nullptr gives the default format:
// 8-bit frames (plain or RLE8) as 8 bits with their colour table, 32-bit as
// 32, everything else as 24; a wanted header of 24 bits gives 24 always.
PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM stream, const TBitmapInfoHeader* wanted);
// The frame at a position as a packed DIB (header, colour table, bottom-up
// rows), valid until the next call on the reader; nullptr on failure.
const std::uint8_t* AVIStreamGetFrame(PGETFRAME reader, std::int32_t position);
HRESULT AVIStreamGetFrameClose(PGETFRAME reader);

// A stream that compresses the frames written to it with the options'
// handler; it keeps source alive. AVIERR_NOCOMPRESSOR for unknown handlers.
HRESULT AVIMakeCompressedStream(PAVISTREAM* compressed, PAVISTREAM source, const TAVICompressOptions& options);
// Asks the user for the compressor (UiServices::ChooseVideoCompression);
// false when cancelled.
bool AVISaveOptions(HWND owner, TAVICompressOptions& options);

// Motion JPEG goes through codecs that the imaging library installs, so that
// this layer does not link a JPEG library.
struct TAviDecodedFrame {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> rows;  // 24-bit, bottom-up, padded to 4 bytes
};
using TAviJpegDecoder = std::function<bool(const std::uint8_t* data, std::size_t size, TAviDecodedFrame& frame)>;
using TAviJpegEncoder = std::function<bool(const TAviDecodedFrame& frame, int quality, std::vector<std::uint8_t>& jpeg)>;
void SetAviJpegCodec(TAviJpegDecoder decoder, TAviJpegEncoder encoder);
bool AviJpegCodecInstalled();

// The number of handles of each kind still open (for tests that check that
// every handle is released).
int OpenAviHandleCount();
