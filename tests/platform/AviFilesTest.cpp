#include "platform/AviFiles.h"
#include "tests/support/AviTestFiles.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Get32(const std::string& s, std::size_t at) {
  return static_cast<std::uint8_t>(s[at]) | (static_cast<std::uint8_t>(s[at + 1]) << 8) |
         (static_cast<std::uint8_t>(s[at + 2]) << 16) | (static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3])) << 24);
}

// Opens a file, its first video stream and a frame reader; releases them all.
class OpenedAvi {
 public:
  explicit OpenedAvi(const std::string& path, const TAviDibHeader* wanted = nullptr) {
    result = AVIFileOpen(&file, path, OF_READ | OF_SHARE_DENY_NONE);
    if (result != AVIERR_OK) return;
    if (AVIFileGetStream(file, &video, streamtypeVIDEO, 0) == AVIERR_OK) reader = AVIStreamGetFrameOpen(video, wanted);
  }
  ~OpenedAvi() {
    if (reader) AVIStreamGetFrameClose(reader);
    if (video) AVIStreamRelease(video);
    if (file) AVIFileRelease(file);
  }
  // Pixel (x, y from the top) of a packed 24-bit frame as $00RRGGBB.
  static std::uint32_t Pixel24(const std::uint8_t* dib, int x, int y) {
    const TAviDibHeader h = LoadDibHeader(dib);
    const std::uint8_t* p = dib + 40 + DibRowBytes(h.biWidth, 24) * (h.biHeight - 1 - y) + 3 * x;
    return p[2] << 16 | p[1] << 8 | p[0];
  }
  HRESULT result = AVIERR_OK;
  PAVIFILE file = 0;
  PAVISTREAM video = 0;
  PGETFRAME reader = 0;
};

// Writes frames of the given colours (each a solid 4 x 3 image) through the calls.
void WriteSolidFrames(const std::string& path, const std::vector<std::uint32_t>& colors, std::uint32_t rate,
                      const TAVICompressOptions* compress = nullptr) {
  PAVIFILE file = 0;
  ASSERT_EQ(AVIFileOpen(&file, path, OF_CREATE | OF_WRITE), AVIERR_OK);
  TAVIStreamInfo info;
  info.fccType = streamtypeVIDEO;
  info.dwScale = 1;
  info.dwRate = rate;
  info.rcFrame = Rect(0, 0, 4, 3);
  PAVISTREAM plain = 0;
  ASSERT_EQ(AVIFileCreateStream(file, &plain, info), AVIERR_OK);
  PAVISTREAM stream = plain;
  if (compress != nullptr) {
    ASSERT_EQ(AVIMakeCompressedStream(&stream, plain, *compress), AVIERR_OK);
    AVIStreamRelease(plain);
  }
  const std::string format = DibFormat(4, 3, 24);
  for (std::size_t i = 0; i < colors.size(); ++i) {
    ASSERT_EQ(AVIStreamSetFormat(stream, 0, format.data(), static_cast<std::int32_t>(format.size())), AVIERR_OK);
    const std::string rows = Rows24(4, 3, [&](int, int) { return colors[i]; });
    ASSERT_EQ(AVIStreamWrite(stream, static_cast<std::int32_t>(i), 1, rows.data(), static_cast<std::int32_t>(rows.size()),
                             AVIIF_KEYFRAME, nullptr, nullptr),
              AVIERR_OK);
  }
  AVIStreamRelease(stream);
  ASSERT_EQ(AVIFileRelease(file), AVIERR_OK);
}

}  // namespace

// ---- Writing -----------------------------------------------------------------------------------

TEST(AviWriting, FramesComeBackWithRateAndIndex) {
  TempDir dir;
  const std::string path = dir.File("out.avi");
  const int before = OpenAviHandleCount();
  WriteSolidFrames(path, {0xFF0000, 0x00FF00, 0x0000FF}, 15);
  EXPECT_EQ(OpenAviHandleCount(), before);

  const std::string bytes = TempDir::ReadFile(path);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(Get32(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(bytes.substr(8, 4), "AVI ");
  EXPECT_EQ(bytes.substr(2036, 4), "LIST");
  EXPECT_EQ(bytes.substr(2044, 8), "movi00db");
  const std::size_t idx = bytes.rfind("idx1");
  ASSERT_NE(idx, std::string::npos);
  EXPECT_EQ(Get32(bytes, idx + 4), 3u * 16);
  EXPECT_EQ(bytes.substr(idx + 8, 4), "00db");
  EXPECT_EQ(Get32(bytes, idx + 12), AVIIF_KEYFRAME);
  EXPECT_EQ(Get32(bytes, idx + 16), 4u);  // from the movi list's type

  OpenedAvi avi(path);
  ASSERT_EQ(avi.result, AVIERR_OK);
  TAVIStreamInfo info;
  ASSERT_EQ(AVIStreamInfo(avi.video, &info), AVIERR_OK);
  EXPECT_EQ(info.fccType, streamtypeVIDEO);
  EXPECT_EQ(info.dwRate, 15u);
  EXPECT_EQ(info.dwScale, 1u);
  EXPECT_EQ(info.rcFrame, Rect(0, 0, 4, 3));
  EXPECT_EQ(AVIStreamStart(avi.video), 0);
  EXPECT_EQ(AVIStreamLength(avi.video), 3);
  const std::uint8_t* frame = AVIStreamGetFrame(avi.reader, 2);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(LoadDibHeader(frame).biBitCount, 24);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 3, 2), 0x0000FFu);
  EXPECT_EQ(OpenedAvi::Pixel24(AVIStreamGetFrame(avi.reader, 0), 0, 0), 0xFF0000u);
  EXPECT_EQ(AVIStreamGetFrame(avi.reader, 3), nullptr);
  EXPECT_EQ(AVIStreamGetFrame(avi.reader, -1), nullptr);
}

TEST(AviWriting, SkippedFramesAreStoredEmptyAndRepeatTheFrameBefore) {
  TempDir dir;
  const std::string path = dir.File("gap.avi");
  PAVIFILE file = 0;
  ASSERT_EQ(AVIFileOpen(&file, path, OF_CREATE | OF_WRITE), AVIERR_OK);
  TAVIStreamInfo info;
  info.fccType = streamtypeVIDEO;
  info.dwRate = 5;
  PAVISTREAM stream = 0;
  ASSERT_EQ(AVIFileCreateStream(file, &stream, info), AVIERR_OK);
  const std::string format = DibFormat(2, 2, 24);
  ASSERT_EQ(AVIStreamSetFormat(stream, 0, format.data(), 40), AVIERR_OK);
  const std::string red = Rows24(2, 2, [](int, int) { return 0xFF0000u; });
  ASSERT_EQ(AVIStreamWrite(stream, 0, 1, red.data(), static_cast<std::int32_t>(red.size()), AVIIF_KEYFRAME, nullptr, nullptr), AVIERR_OK);
  ASSERT_EQ(AVIStreamWrite(stream, 3, 1, red.data(), static_cast<std::int32_t>(red.size()), AVIIF_KEYFRAME, nullptr, nullptr), AVIERR_OK);
  // Going back is refused.
  EXPECT_EQ(AVIStreamWrite(stream, 1, 1, red.data(), static_cast<std::int32_t>(red.size()), 0, nullptr, nullptr), AVIERR_UNSUPPORTED);
  AVIStreamRelease(stream);
  ASSERT_EQ(AVIFileRelease(file), AVIERR_OK);

  OpenedAvi avi(path);
  EXPECT_EQ(AVIStreamLength(avi.video), 4);
  const std::uint8_t* frame = AVIStreamGetFrame(avi.reader, 2);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 1, 1), 0xFF0000u);
}

TEST(AviWriting, FormatsAndSizesAreChecked) {
  TempDir dir;
  PAVIFILE file = 0;
  ASSERT_EQ(AVIFileOpen(&file, dir.File("f.avi"), OF_CREATE | OF_WRITE), AVIERR_OK);
  TAVIStreamInfo info;
  info.fccType = streamtypeVIDEO;
  info.dwRate = 5;
  PAVISTREAM stream = 0;
  ASSERT_EQ(AVIFileCreateStream(file, &stream, info), AVIERR_OK);
  PAVISTREAM second = 0;
  EXPECT_EQ(AVIFileCreateStream(file, &second, info), AVIERR_UNSUPPORTED);
  const std::string rows = Rows24(2, 2, [](int, int) { return 0u; });
  EXPECT_EQ(AVIStreamWrite(stream, 0, 1, rows.data(), 16, 0, nullptr, nullptr), AVIERR_BADFORMAT);
  const std::string format = DibFormat(2, 2, 24);
  ASSERT_EQ(AVIStreamSetFormat(stream, 0, format.data(), 40), AVIERR_OK);
  EXPECT_EQ(AVIStreamSetFormat(stream, 0, format.data(), 40), AVIERR_OK);  // the same again
  const std::string other = DibFormat(3, 2, 24);
  EXPECT_EQ(AVIStreamSetFormat(stream, 0, other.data(), 40), AVIERR_UNSUPPORTED);
  EXPECT_EQ(AVIStreamSetFormat(stream, 1, format.data(), 40), AVIERR_UNSUPPORTED);
  const std::string huge = DibFormat(100000, 2, 24);
  PAVIFILE otherFile = 0;
  ASSERT_EQ(AVIFileOpen(&otherFile, dir.File("g.avi"), OF_CREATE | OF_WRITE), AVIERR_OK);
  PAVISTREAM otherStream = 0;
  ASSERT_EQ(AVIFileCreateStream(otherFile, &otherStream, info), AVIERR_OK);
  EXPECT_EQ(AVIStreamSetFormat(otherStream, 0, huge.data(), 40), AVIERR_BADFORMAT);
  AVIStreamRelease(otherStream);
  AVIFileRelease(otherFile);
  EXPECT_EQ(AVIStreamWrite(stream, 0, 1, rows.data(), 15, 0, nullptr, nullptr), AVIERR_BADSIZE);
  EXPECT_EQ(AVIFileRelease(file), AVIERR_OK);
  // Once the file is finished its streams fail.
  EXPECT_EQ(AVIStreamWrite(stream, 0, 1, rows.data(), 16, 0, nullptr, nullptr), AVIERR_FILEWRITE);
  AVIStreamRelease(stream);
}

TEST(AviWriting, FileThatCannotBeCreatedIsAnOpenError) {
  PAVIFILE file = 123;
  EXPECT_EQ(AVIFileOpen(&file, "/nonexistent-folder/x.avi", OF_CREATE | OF_WRITE), AVIERR_FILEOPEN);
  EXPECT_EQ(file, 0u);
}

// ---- Motion JPEG through installed codecs --------------------------------------------------------

namespace {

// A stand-in codec: "JPEG" bytes are the first pixel's colour and the size.
class FakeJpegCodec {
 public:
  FakeJpegCodec() {
    SetAviJpegCodec(
        [](const std::uint8_t* data, std::size_t size, TAviDecodedFrame& frame) {
          if (size != 11 || std::memcmp(data, "FAKE", 4) != 0) return false;
          frame.width = data[7];
          frame.height = data[8];
          const std::int64_t row = DibRowBytes(frame.width, 24);
          frame.rows.assign(static_cast<std::size_t>(row * frame.height), 0);
          for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x) std::memcpy(frame.rows.data() + y * row + 3 * x, data + 4, 3);
          return true;
        },
        [this](const TAviDecodedFrame& frame, int quality, std::vector<std::uint8_t>& jpeg) {
          lastQuality = quality;
          jpeg = {'F', 'A', 'K', 'E', frame.rows[0], frame.rows[1], frame.rows[2],
                  static_cast<std::uint8_t>(frame.width), static_cast<std::uint8_t>(frame.height), 0, 0};
          return true;
        });
  }
  ~FakeJpegCodec() { SetAviJpegCodec(nullptr, nullptr); }
  int lastQuality = -1;
};

}  // namespace

TEST(AviMotionJpeg, CompressedStreamsStoreDcChunksWithTheMjpgHandler) {
  FakeJpegCodec codec;
  TempDir dir;
  const std::string path = dir.File("mjpg.avi");
  TAVICompressOptions options;
  options.fccHandler = comptypeMJPG;
  options.dwQuality = 8000;
  WriteSolidFrames(path, {0x112233, 0x445566}, 25, &options);
  EXPECT_EQ(codec.lastQuality, 80);
  const std::string bytes = TempDir::ReadFile(path);
  EXPECT_EQ(bytes.substr(2044, 8), "movi00dc");
  EXPECT_NE(bytes.find("vidsMJPG"), std::string::npos);

  OpenedAvi avi(path);
  ASSERT_EQ(avi.result, AVIERR_OK);
  const std::uint8_t* frame = AVIStreamGetFrame(avi.reader, 1);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 2, 1), 0x445566u);
}

TEST(AviMotionJpeg, WithoutACodecThereIsNoCompressor) {
  SetAviJpegCodec(nullptr, nullptr);
  TempDir dir;
  PAVIFILE file = 0;
  ASSERT_EQ(AVIFileOpen(&file, dir.File("x.avi"), OF_CREATE | OF_WRITE), AVIERR_OK);
  TAVIStreamInfo info;
  info.fccType = streamtypeVIDEO;
  PAVISTREAM plain = 0;
  ASSERT_EQ(AVIFileCreateStream(file, &plain, info), AVIERR_OK);
  TAVICompressOptions options;
  options.fccHandler = comptypeMJPG;
  PAVISTREAM compressed = 0;
  EXPECT_EQ(AVIMakeCompressedStream(&compressed, plain, options), AVIERR_NOCOMPRESSOR);
  options.fccHandler = MakeFourCC('c', 'v', 'i', 'd');
  EXPECT_EQ(AVIMakeCompressedStream(&compressed, plain, options), AVIERR_NOCOMPRESSOR);
  options.fccHandler = 0;
  EXPECT_EQ(AVIMakeCompressedStream(&compressed, plain, options), AVIERR_OK);
  AVIStreamRelease(compressed);
  AVIStreamRelease(plain);
  AVIFileRelease(file);
}

TEST(AviSaveOptions, TheChooserAnswersOrCancels) {
  ScriptedUiServices ui;
  ui.videoCompressionAnswers.push_back(VideoCompression{comptypeMJPG, 6000});
  ui.videoCompressionAnswers.push_back(std::nullopt);
  TAVICompressOptions options;
  ASSERT_TRUE(AVISaveOptions(0, options));
  EXPECT_EQ(options.fccHandler, comptypeMJPG);
  EXPECT_EQ(options.dwQuality, 6000u);
  EXPECT_EQ(options.fccType, streamtypeVIDEO);
  EXPECT_FALSE(AVISaveOptions(0, options));
  ASSERT_EQ(ui.videoCompressionRequests.size(), 2u);
  EXPECT_EQ(ui.videoCompressionRequests[1].handler, comptypeMJPG);
}

// ---- Reading frames of every kind ------------------------------------------------------------------

TEST(AviReadingFrames, EightBitFramesKeepTheirColourTable) {
  TempDir dir;
  AviTestFile f;
  AviTestStream s;
  s.format = DibFormat(3, 2, 8, 0, {0x000000, 0xFF0000, 0x00FF00});
  f.streams = {s};
  // Bottom row first: indices 2 2 2, then the top row 1 0 1; rows padded to 4 bytes.
  f.chunks = {{"00db", std::string("\x02\x02\x02\x00\x01\x00\x01\x00", 8)}};
  const std::string path = dir.WriteFile("pal.avi", f.Build());
  OpenedAvi avi(path);
  ASSERT_EQ(avi.result, AVIERR_OK);
  const std::uint8_t* frame = AVIStreamGetFrame(avi.reader, 0);
  ASSERT_NE(frame, nullptr);
  const TAviDibHeader h = LoadDibHeader(frame);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biClrUsed, 3u);
  EXPECT_EQ(DibColorCount(h), 3);
  EXPECT_EQ(frame[40 + 4 * 1 + 2], 0xFF);  // entry 1 is red
  EXPECT_EQ(frame[40 + 12], 2);            // first stored index: bottom row

  TAviDibHeader want24;
  want24.biBitCount = 24;
  OpenedAvi as24(path, &want24);
  const std::uint8_t* expanded = AVIStreamGetFrame(as24.reader, 0);
  ASSERT_NE(expanded, nullptr);
  EXPECT_EQ(OpenedAvi::Pixel24(expanded, 0, 0), 0xFF0000u);
  EXPECT_EQ(OpenedAvi::Pixel24(expanded, 1, 0), 0x000000u);
  EXPECT_EQ(OpenedAvi::Pixel24(expanded, 2, 1), 0x00FF00u);
}

TEST(AviReadingFrames, SixteenAndThirtyTwoBitFrames) {
  TempDir dir;
  AviTestFile f16;
  AviTestStream s16;
  s16.format = DibFormat(1, 1, 16);
  f16.streams = {s16};
  f16.chunks = {{"00db", Le16(0x7C00) + Le16(0)}};  // pure red in 5-5-5, padded row
  OpenedAvi a16(dir.WriteFile("16.avi", f16.Build()));
  const std::uint8_t* frame = AVIStreamGetFrame(a16.reader, 0);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(LoadDibHeader(frame).biBitCount, 24);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 0, 0), 0xFF0000u);

  AviTestFile f32;
  AviTestStream s32;
  s32.format = DibFormat(2, 1, 32);
  f32.streams = {s32};
  f32.chunks = {{"00db", Le32(0x00123456) + Le32(0x00ABCDEF)}};
  OpenedAvi a32(dir.WriteFile("32.avi", f32.Build()));
  frame = AVIStreamGetFrame(a32.reader, 0);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(LoadDibHeader(frame).biBitCount, 32);
  EXPECT_EQ(Get32(std::string(reinterpret_cast<const char*>(frame) + 44, 4), 0), 0x00ABCDEFu);
}

TEST(AviReadingFrames, TopDownFramesAreTurnedBottomUp) {
  TempDir dir;
  AviTestFile f;
  AviTestStream s;
  s.format = DibFormat(1, 2, 24, 0);
  s.format.replace(8, 4, Le32(static_cast<std::uint32_t>(-2)));
  f.streams = {s};
  f.chunks = {{"00db", std::string("\x00\x00\xFF\x00\x00\xFF\x00\x00", 8)}};  // top red, bottom green
  OpenedAvi avi(dir.WriteFile("td.avi", f.Build()));
  const std::uint8_t* frame = AVIStreamGetFrame(avi.reader, 0);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 0, 0), 0xFF0000u);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 0, 1), 0x00FF00u);
}

TEST(AviReadingFrames, Rle8DeltaFramesBuildOnTheKeyFrame) {
  TempDir dir;
  AviTestFile f;
  AviTestStream s;
  s.format = DibFormat(4, 2, 8, BI_RLE8, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF});
  f.streams = {s};
  // Key frame: bottom row 4 x index 1, top row 4 x index 2.
  const std::string key("\x04\x01\x00\x00\x04\x02\x00\x01", 8);
  // Delta: move 2 right and 1 up to the top row, a run of two pixels of index 3, end.
  const std::string delta("\x00\x02\x02\x01\x02\x03\x00\x01", 8);
  // Another delta: absolute run of three pixels 0 1 2 on the bottom row, padded.
  const std::string literal("\x00\x03\x00\x01\x02\x00\x00\x01", 8);
  f.chunks = {{"00dc", key}, {"00dc", delta, 0}, {"00dc", literal, 0}};
  const std::string path = dir.WriteFile("rle.avi", f.Build());

  TAviDibHeader want24;
  want24.biBitCount = 24;
  OpenedAvi avi(path, &want24);
  ASSERT_EQ(AVIStreamLength(avi.video), 3);
  // Random access straight to frame 1 decodes from the key frame.
  const std::uint8_t* frame = AVIStreamGetFrame(avi.reader, 1);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 0, 0), 0x00FF00u);  // top row, untouched
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 2, 0), 0x0000FFu);  // written by the delta
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 3, 0), 0x0000FFu);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 0, 1), 0xFF0000u);  // bottom row from the key frame
  frame = AVIStreamGetFrame(avi.reader, 2);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 0, 1), 0x000000u);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 1, 1), 0xFF0000u);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 2, 1), 0x00FF00u);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 3, 0), 0x0000FFu);  // the earlier delta stays
  // Going back to the key frame starts afresh.
  frame = AVIStreamGetFrame(avi.reader, 0);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 2, 0), 0x00FF00u);
}

TEST(AviReadingFrames, Rle8RunsOutsideTheImageAreDropped) {
  TempDir dir;
  AviTestFile f;
  AviTestStream s;
  s.format = DibFormat(2, 2, 8, BI_RLE8, {0, 0xFFFFFF});
  f.streams = {s};
  // A run of 255 pixels, a delta far away, a literal run running off the data.
  f.chunks = {{"00dc", std::string("\xFF\x01\x00\x02\xFF\xFF\x00\x09\x01", 9)}};
  OpenedAvi avi(dir.WriteFile("rle2.avi", f.Build()));
  EXPECT_NE(AVIStreamGetFrame(avi.reader, 0), nullptr);
}

// ---- Audio -------------------------------------------------------------------------------------------

TEST(AviAudio, PcmBytesAreCopiedAcrossChunks) {
  TempDir dir;
  AviTestFile f;
  AviTestStream audio;
  audio.type = "auds";
  audio.format = PcmFormat(2, 8000, 16);  // 4-byte blocks
  audio.sampleSize = 4;
  audio.rate = 8000;
  AviTestStream video;
  video.format = DibFormat(1, 1, 24);
  f.streams = {audio, video};
  f.chunks = {{"00wb", "ABCDEFGH"}, {"01db", std::string("\x01\x02\x03\x00", 4)}, {"00wb", "IJKLMNOPQRST"}};
  const std::string path = dir.WriteFile("sound.avi", f.Build());

  PAVIFILE file = 0;
  ASSERT_EQ(AVIFileOpen(&file, path, OF_READ), AVIERR_OK);
  PAVISTREAM first = 0;
  ASSERT_EQ(AVIFileGetStream(file, &first, 0, 0), AVIERR_OK);
  TAVIStreamInfo info;
  AVIStreamInfo(first, &info);
  EXPECT_EQ(info.fccType, streamtypeAUDIO);
  EXPECT_EQ(AVIStreamLength(first), 5);  // 20 bytes in blocks of 4
  std::int32_t formatSize = 0;
  ASSERT_EQ(AVIStreamReadFormat(first, 0, nullptr, &formatSize), AVIERR_OK);
  EXPECT_EQ(formatSize, 18);
  char pcm[32] = {};
  std::int32_t bytes = 0;
  std::int32_t samples = 0;
  ASSERT_EQ(AVIStreamRead(first, 1, 3, pcm, sizeof pcm, &bytes, &samples), AVIERR_OK);
  EXPECT_EQ(bytes, 12);
  EXPECT_EQ(samples, 3);
  EXPECT_EQ(std::string(pcm, 12), "EFGHIJKLMNOP");
  EXPECT_EQ(AVIStreamRead(first, 0, 5, pcm, 8, &bytes, &samples), MakeAviError(116));  // buffer too small
  EXPECT_EQ(AVIStreamRead(first, 5, 1, pcm, sizeof pcm, &bytes, &samples), AVIERR_NODATA);
  PAVISTREAM second = 0;
  EXPECT_EQ(AVIFileGetStream(file, &second, streamtypeVIDEO, 0), AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(second), 1);
  PAVISTREAM none = 0;
  EXPECT_EQ(AVIFileGetStream(file, &none, streamtypeVIDEO, 1), AVIERR_NODATA);
  AVIStreamRelease(second);
  AVIStreamRelease(first);
  AVIFileRelease(file);
}

// ---- Hostile files -------------------------------------------------------------------------------------

namespace {

AviTestFile SmallVideo(int frames) {
  AviTestFile f;
  AviTestStream s;
  s.format = DibFormat(2, 2, 24);
  f.streams = {s};
  for (int i = 0; i < frames; ++i)
    f.chunks.push_back({"00db", Rows24(2, 2, [i](int, int) { return static_cast<std::uint32_t>(i * 0x010101); })});
  return f;
}

}  // namespace

TEST(AviHostileFiles, NotAnAviOrBrokenHeadersAreBadFormat) {
  TempDir dir;
  PAVIFILE file = 0;
  EXPECT_EQ(AVIFileOpen(&file, dir.WriteFile("a", "RIFF\x04\x00\x00\x00WAVE"), OF_READ), AVIERR_BADFORMAT);
  EXPECT_EQ(AVIFileOpen(&file, dir.WriteFile("b", ""), OF_READ), AVIERR_BADFORMAT);
  EXPECT_EQ(AVIFileOpen(&file, dir.File("missing.avi"), OF_READ), AVIERR_FILEOPEN);

  AviTestFile shortHeader = SmallVideo(1);
  shortHeader.streams[0].shortHeader = true;  // 48 bytes: still readable
  EXPECT_EQ(AVIFileOpen(&file, dir.WriteFile("c", shortHeader.Build()), OF_READ), AVIERR_OK);
  AVIFileRelease(file);

  // A strh of 20 bytes.
  std::string bad = SmallVideo(1).Build();
  const std::size_t strh = bad.find("strh");
  bad.replace(strh + 4, 4, Le32(20));
  EXPECT_EQ(AVIFileOpen(&file, dir.WriteFile("d", bad), OF_READ), AVIERR_BADFORMAT);

  // A strf claiming more bytes than its list holds.
  std::string big = SmallVideo(1).Build();
  const std::size_t strf = big.find("strf");
  big.replace(strf + 4, 4, Le32(0x7FFFFFF0));
  EXPECT_EQ(AVIFileOpen(&file, dir.WriteFile("e", big), OF_READ), AVIERR_BADFORMAT);
  EXPECT_EQ(file, 0u);
}

TEST(AviHostileFiles, StatedLengthsBeyondTheFramesAreCut) {
  TempDir dir;
  AviTestFile f = SmallVideo(2);
  f.streams[0].length = 0x7FFFFFFF;
  f.streams[0].start = 0xFFFFFFF0u;
  OpenedAvi avi(dir.WriteFile("len.avi", f.Build()));
  ASSERT_EQ(avi.result, AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(avi.video), 2);
  const std::int32_t start = AVIStreamStart(avi.video);
  EXPECT_GE(start, 0);
  EXPECT_NE(AVIStreamGetFrame(avi.reader, start + 1), nullptr);
  EXPECT_EQ(AVIStreamGetFrame(avi.reader, start + 2), nullptr);
}

TEST(AviHostileFiles, IndexEntriesOutsideTheMoviListAreSkipped) {
  TempDir dir;
  std::string bytes = SmallVideo(3).Build();
  const std::size_t idx = bytes.rfind("idx1");
  bytes.replace(idx + 8 + 16 + 8, 4, Le32(0x7FFFFFF0));  // second entry far away
  OpenedAvi avi(dir.WriteFile("idx.avi", bytes));
  ASSERT_EQ(avi.result, AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(avi.video), 2);
}

TEST(AviHostileFiles, AnIndexThatPointsNowhereFallsBackToScanning) {
  TempDir dir;
  std::string bytes = SmallVideo(3).Build();
  const std::size_t idx = bytes.rfind("idx1");
  for (int e = 0; e < 3; ++e) bytes.replace(idx + 8 + 16 * e + 8, 4, Le32(3));
  OpenedAvi avi(dir.WriteFile("scan.avi", bytes));
  ASSERT_EQ(avi.result, AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(avi.video), 3);
  const std::uint8_t* frame = AVIStreamGetFrame(avi.reader, 2);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(OpenedAvi::Pixel24(frame, 0, 0), 0x020202u);
}

TEST(AviHostileFiles, AbsoluteIndexOffsetsAreUnderstood) {
  TempDir dir;
  AviTestFile f = SmallVideo(2);
  f.absoluteIndex = true;
  OpenedAvi avi(dir.WriteFile("abs.avi", f.Build()));
  EXPECT_EQ(AVIStreamLength(avi.video), 2);
  EXPECT_NE(AVIStreamGetFrame(avi.reader, 1), nullptr);
}

TEST(AviHostileFiles, FramesTooShortOrTooLargeFailWithoutCrashing) {
  TempDir dir;
  AviTestFile shortFrame = SmallVideo(1);
  shortFrame.chunks[0].data.resize(5);
  OpenedAvi a(dir.WriteFile("short.avi", shortFrame.Build()));
  EXPECT_EQ(AVIStreamGetFrame(a.reader, 0), nullptr);

  AviTestFile huge = SmallVideo(1);
  huge.streams[0].format = DibFormat(60000, 60000, 24);
  OpenedAvi b(dir.WriteFile("huge.avi", huge.Build()));
  EXPECT_EQ(AVIStreamGetFrame(b.reader, 0), nullptr);

  AviTestFile odd = SmallVideo(1);
  odd.streams[0].format = DibFormat(2, 2, 7);
  OpenedAvi c(dir.WriteFile("odd.avi", odd.Build()));
  EXPECT_EQ(AVIStreamGetFrame(c.reader, 0), nullptr);

  AviTestFile bigTable = SmallVideo(1);
  bigTable.streams[0].format = DibFormat(2, 2, 8, 0, {0xFF});
  bigTable.streams[0].format.replace(32, 4, Le32(100000));  // colours used far beyond the table
  bigTable.chunks[0].data = std::string(8, '\x05');
  OpenedAvi d(dir.WriteFile("table.avi", bigTable.Build()));
  EXPECT_NE(AVIStreamGetFrame(d.reader, 0), nullptr);  // the table as far as it goes
}

TEST(AviHostileFiles, TruncatedAnywhereNeverCrashes) {
  TempDir dir;
  const std::string whole = SmallVideo(3).Build();
  for (std::size_t cut = 0; cut < whole.size(); cut += 5) {
    OpenedAvi avi(dir.WriteFile("cut.avi", whole.substr(0, cut)));
    if (avi.result != AVIERR_OK) continue;
    const std::int32_t length = AVIStreamLength(avi.video);
    for (std::int32_t i = 0; i < length; ++i) AVIStreamGetFrame(avi.reader, i);
  }
}

TEST(AviHandles, StaleHandlesAreRefused) {
  EXPECT_EQ(AVIFileRelease(987654), AVIERR_BADHANDLE);
  EXPECT_EQ(AVIStreamRelease(987654), AVIERR_BADHANDLE);
  EXPECT_EQ(AVIStreamLength(987654), -1);
  EXPECT_EQ(AVIStreamGetFrame(987654, 0), nullptr);
  EXPECT_EQ(AVIStreamGetFrameClose(987654), AVIERR_BADHANDLE);
  PAVISTREAM s = 0;
  EXPECT_EQ(AVIFileGetStream(987654, &s, 0, 0), AVIERR_BADHANDLE);
}

TEST(AviDibHelpers, ColourCountsFollowTheDibRules) {
  TAviDibHeader h;
  h.biBitCount = 8;
  EXPECT_EQ(DibColorCount(h), 256);
  h.biClrUsed = 17;
  EXPECT_EQ(DibColorCount(h), 17);
  h.biClrUsed = 5000;
  EXPECT_EQ(DibColorCount(h), 256);
  h.biBitCount = 4;
  h.biClrUsed = 0;
  EXPECT_EQ(DibColorCount(h), 16);
  h.biClrUsed = 100;
  EXPECT_EQ(DibColorCount(h), 16);
  h.biBitCount = 24;
  EXPECT_EQ(DibColorCount(h), 0);
}
