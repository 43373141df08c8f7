#include "platform/AviFiles.h"
#include "tests/support/AviTestFiles.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Opens a file, its first video stream and a frame reader; releases them all.
struct OpenedAvi {
  explicit OpenedAvi(const std::string& path, const TBitmapInfoHeader* wanted = nullptr) {
    result = AVIFileOpen(&file, path, OF_READ | OF_SHARE_DENY_NONE);
    if (result != AVIERR_OK) return;
    if (AVIFileGetStream(file, &video, streamtypeVIDEO, 0) == AVIERR_OK) reader = AVIStreamGetFrameOpen(video, wanted);
  }
  ~OpenedAvi() {
    if (reader) AVIStreamGetFrameClose(reader);
    if (video) AVIStreamRelease(video);
    if (file) AVIFileRelease(file);
  }
  HRESULT result = AVIERR_OK;
  PAVIFILE file = 0;
  PAVISTREAM video = 0;
  PGETFRAME reader = 0;
};

const TBitmapInfoHeader* As24Bits() {
  static TBitmapInfoHeader want;
  want.biBitCount = 24;
  return &want;
}

// Pixel (x, y from the top) of a packed 24-bit frame as $00RRGGBB.
std::uint32_t Pixel24(const std::uint8_t* dib, int x, int y) {
  const TBitmapInfoHeader h = LoadDibHeader(dib);
  const std::uint8_t* p = dib + 40 + DibRowBytes(h.biWidth, 24) * (h.biHeight - 1 - y) + 3 * x;
  return p[2] << 16 | p[1] << 8 | p[0];
}

using Pixels = std::vector<std::uint32_t>;

// Every pixel of a 24-bit frame, the top row first; none for a missing frame.
Pixels Pixels24(const std::uint8_t* dib) {
  Pixels pixels;
  if (dib == nullptr) return pixels;
  const TBitmapInfoHeader h = LoadDibHeader(dib);
  for (int y = 0; y < h.biHeight; ++y)
    for (int x = 0; x < h.biWidth; ++x) pixels.push_back(Pixel24(dib, x, y));
  return pixels;
}

HRESULT Write(PAVISTREAM stream, std::int32_t at, const std::string& rows, std::uint32_t flags = AVIIF_KEYFRAME) {
  return AVIStreamWrite(stream, at, 1, rows.data(), static_cast<std::int32_t>(rows.size()), flags, nullptr, nullptr);
}

HRESULT SetFormat(PAVISTREAM stream, std::int32_t at, const std::string& format) {
  return AVIStreamSetFormat(stream, at, format.data(), static_cast<std::int32_t>(format.size()));
}

// A new file with one video stream of the rate; the test releases both.
struct NewAvi {
  explicit NewAvi(const std::string& path, std::uint32_t rate = 5) {
    EXPECT_EQ(AVIFileOpen(&file, path, OF_CREATE | OF_WRITE), AVIERR_OK);
    info.fccType = streamtypeVIDEO;
    info.dwRate = rate;
    EXPECT_EQ(AVIFileCreateStream(file, &stream, info), AVIERR_OK);
  }
  TAVIStreamInfo info;
  PAVIFILE file = 0;
  PAVISTREAM stream = 0;
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
  for (std::size_t i = 0; i < colors.size(); ++i) {
    ASSERT_EQ(SetFormat(stream, 0, DibFormat(4, 3, 24)), AVIERR_OK);
    ASSERT_EQ(Write(stream, static_cast<std::int32_t>(i), Rows24(4, 3, [&](int, int) { return colors[i]; })), AVIERR_OK);
  }
  AVIStreamRelease(stream);
  ASSERT_EQ(AVIFileRelease(file), AVIERR_OK);
}

// A 2 x 2 video whose frame i is grey i.
AviTestFile SmallVideo(int frames) {
  AviTestFile f{.streams = {{.format = DibFormat(2, 2, 24)}}};
  for (int i = 0; i < frames; ++i)
    f.chunks.push_back({"00db", Rows24(2, 2, [i](int, int) { return static_cast<std::uint32_t>(i * 0x010101); })});
  return f;
}

}  // namespace

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
  EXPECT_EQ(info.dwRate, 15u);
  EXPECT_EQ(info.rcFrame, Rect(0, 0, 4, 3));
  EXPECT_EQ(AVIStreamLength(avi.video), 3);
  const std::uint8_t* frame = AVIStreamGetFrame(avi.reader, 2);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(LoadDibHeader(frame).biBitCount, 24);
  EXPECT_EQ(Pixels24(frame), Pixels(12, 0x0000FF));
  EXPECT_EQ(Pixels24(AVIStreamGetFrame(avi.reader, 0)), Pixels(12, 0xFF0000));
  EXPECT_EQ(AVIStreamGetFrame(avi.reader, 3), nullptr);
  EXPECT_EQ(AVIStreamGetFrame(avi.reader, -1), nullptr);
}

TEST(AviWriting, SkippedFramesAreStoredEmptyAndRepeatTheFrameBefore) {
  TempDir dir;
  NewAvi out(dir.File("gap.avi"));
  ASSERT_EQ(SetFormat(out.stream, 0, DibFormat(2, 2, 24)), AVIERR_OK);
  const std::string red = Rows24(2, 2, [](int, int) { return 0xFF0000u; });
  ASSERT_EQ(Write(out.stream, 0, red), AVIERR_OK);
  ASSERT_EQ(Write(out.stream, 3, red), AVIERR_OK);
  EXPECT_EQ(Write(out.stream, 1, red, 0), AVIERR_UNSUPPORTED);  // going back is refused
  AVIStreamRelease(out.stream);
  ASSERT_EQ(AVIFileRelease(out.file), AVIERR_OK);

  OpenedAvi avi(dir.File("gap.avi"));
  EXPECT_EQ(AVIStreamLength(avi.video), 4);
  EXPECT_EQ(Pixels24(AVIStreamGetFrame(avi.reader, 2)), Pixels(4, 0xFF0000));
}

TEST(AviWriting, FormatsAndSizesAreChecked) {
  TempDir dir;
  NewAvi out(dir.File("f.avi"));
  PAVISTREAM second = 0;
  EXPECT_EQ(AVIFileCreateStream(out.file, &second, out.info), AVIERR_UNSUPPORTED);
  const std::string rows = Rows24(2, 2, [](int, int) { return 0u; });
  EXPECT_EQ(Write(out.stream, 0, rows, 0), AVIERR_BADFORMAT);
  const std::string format = DibFormat(2, 2, 24);
  ASSERT_EQ(SetFormat(out.stream, 0, format), AVIERR_OK);
  EXPECT_EQ(SetFormat(out.stream, 0, format), AVIERR_OK);  // the same again
  EXPECT_EQ(SetFormat(out.stream, 0, DibFormat(3, 2, 24)), AVIERR_UNSUPPORTED);
  EXPECT_EQ(SetFormat(out.stream, 1, format), AVIERR_UNSUPPORTED);
  {
    NewAvi other(dir.File("g.avi"));
    EXPECT_EQ(SetFormat(other.stream, 0, DibFormat(100000, 2, 24)), AVIERR_BADFORMAT);
    AVIStreamRelease(other.stream);
    AVIFileRelease(other.file);
  }
  EXPECT_EQ(Write(out.stream, 0, rows.substr(0, 15), 0), AVIERR_BADSIZE);
  EXPECT_EQ(AVIFileRelease(out.file), AVIERR_OK);
  EXPECT_EQ(Write(out.stream, 0, rows, 0), AVIERR_FILEWRITE);  // once the file is finished its streams fail
  AVIStreamRelease(out.stream);
}

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
  EXPECT_EQ(Pixels24(AVIStreamGetFrame(avi.reader, 1)), Pixels(12, 0x445566));
}

TEST(AviMotionJpeg, WithoutACodecThereIsNoCompressor) {
  SetAviJpegCodec(nullptr, nullptr);
  TempDir dir;
  NewAvi out(dir.File("x.avi"));
  TAVICompressOptions options;
  PAVISTREAM compressed = 0;
  for (std::uint32_t handler : {comptypeMJPG, MakeFourCC('c', 'v', 'i', 'd')}) {
    options.fccHandler = handler;
    EXPECT_EQ(AVIMakeCompressedStream(&compressed, out.stream, options), AVIERR_NOCOMPRESSOR);
  }
  options.fccHandler = 0;
  EXPECT_EQ(AVIMakeCompressedStream(&compressed, out.stream, options), AVIERR_OK);
  AVIStreamRelease(compressed);
  AVIStreamRelease(out.stream);
  AVIFileRelease(out.file);
}

TEST(AviSaveOptions, TheChooserAnswersOrCancels) {
  ScriptedUiServices ui;
  ui.videoCompressionAnswers.push_back(VideoCompression{comptypeMJPG, 6000});
  ui.videoCompressionAnswers.push_back(std::nullopt);
  TAVICompressOptions options;
  ASSERT_TRUE(AVISaveOptions(0, options));
  EXPECT_EQ(options.fccHandler, comptypeMJPG);
  EXPECT_EQ(options.dwQuality, 6000u);
  EXPECT_FALSE(AVISaveOptions(0, options));
  ASSERT_EQ(ui.videoCompressionRequests.size(), 2u);
  EXPECT_EQ(ui.videoCompressionRequests[1].handler, comptypeMJPG);
}

TEST(AviReadingFrames, EightBitFramesKeepTheirColourTable) {
  TempDir dir;
  // Bottom row first: indices 2 2 2, then the top row 1 0 1; rows padded to 4 bytes.
  const std::string path =
      dir.WriteFile("pal.avi", AviTestFile{.streams = {{.format = DibFormat(3, 2, 8, 0, {0x000000, 0xFF0000, 0x00FF00})}},
                                           .chunks = {{"00db", std::string("\x02\x02\x02\x00\x01\x00\x01\x00", 8)}}}
                                   .Build());
  OpenedAvi avi(path);
  ASSERT_EQ(avi.result, AVIERR_OK);
  const std::uint8_t* frame = AVIStreamGetFrame(avi.reader, 0);
  ASSERT_NE(frame, nullptr);
  const TBitmapInfoHeader h = LoadDibHeader(frame);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biClrUsed, 3u);
  EXPECT_EQ(frame[40 + 4 * 1 + 2], 0xFF);  // entry 1 is red
  EXPECT_EQ(frame[40 + 12], 2);            // first stored index: bottom row

  OpenedAvi as24(path, As24Bits());
  EXPECT_EQ(Pixels24(AVIStreamGetFrame(as24.reader, 0)), (Pixels{0xFF0000, 0, 0xFF0000, 0x00FF00, 0x00FF00, 0x00FF00}));
}

TEST(AviReadingFrames, SixteenAndThirtyTwoBitAndTopDownFrames) {
  TempDir dir;
  // Pure red in 5-5-5, padded row: expanded to 24 bits.
  OpenedAvi a16(dir.WriteFile(
      "16.avi", AviTestFile{.streams = {{.format = DibFormat(1, 1, 16)}}, .chunks = {{"00db", Le16(0x7C00) + Le16(0)}}}.Build()));
  const std::uint8_t* frame = AVIStreamGetFrame(a16.reader, 0);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(LoadDibHeader(frame).biBitCount, 24);
  EXPECT_EQ(Pixel24(frame, 0, 0), 0xFF0000u);

  OpenedAvi a32(dir.WriteFile("32.avi", AviTestFile{.streams = {{.format = DibFormat(2, 1, 32)}},
                                                    .chunks = {{"00db", Le32(0x00123456) + Le32(0x00ABCDEF)}}}
                                            .Build()));
  frame = AVIStreamGetFrame(a32.reader, 0);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(LoadDibHeader(frame).biBitCount, 32);
  EXPECT_EQ(Get32(std::string(reinterpret_cast<const char*>(frame) + 44, 4), 0), 0x00ABCDEFu);

  std::string topDown = DibFormat(1, 2, 24);
  topDown.replace(8, 4, Le32(static_cast<std::uint32_t>(-2)));
  OpenedAvi td(dir.WriteFile("td.avi", AviTestFile{.streams = {{.format = topDown}},  // top red, bottom green
                                                   .chunks = {{"00db", std::string("\x00\x00\xFF\x00\x00\xFF\x00\x00", 8)}}}
                                           .Build()));
  EXPECT_EQ(Pixels24(AVIStreamGetFrame(td.reader, 0)), (Pixels{0xFF0000, 0x00FF00}));  // turned bottom-up
}

TEST(AviReadingFrames, Rle8DeltaFramesBuildOnTheKeyFrame) {
  TempDir dir;
  // Key frame: bottom row 4 x index 1, top row 4 x index 2.
  const std::string key("\x04\x01\x00\x00\x04\x02\x00\x01", 8);
  // Delta: move 2 right and 1 up to the top row, a run of two pixels of index 3, end.
  const std::string delta("\x00\x02\x02\x01\x02\x03\x00\x01", 8);
  // Another delta: absolute run of three pixels 0 1 2 on the bottom row, padded.
  const std::string literal("\x00\x03\x00\x01\x02\x00\x00\x01", 8);
  OpenedAvi avi(dir.WriteFile(
      "rle.avi", AviTestFile{.streams = {{.format = DibFormat(4, 2, 8, BI_RLE8, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF})}},
                             .chunks = {{"00dc", key}, {"00dc", delta, 0}, {"00dc", literal, 0}}}
                     .Build()),
                As24Bits());
  ASSERT_EQ(AVIStreamLength(avi.video), 3);
  // Random access straight to frame 1 decodes from the key frame.
  const std::uint32_t K = 0, R = 0xFF0000, G = 0x00FF00, B = 0x0000FF;
  EXPECT_EQ(Pixels24(AVIStreamGetFrame(avi.reader, 1)), (Pixels{G, G, B, B, R, R, R, R}));
  EXPECT_EQ(Pixels24(AVIStreamGetFrame(avi.reader, 2)), (Pixels{G, G, B, B, K, R, G, R}));  // the earlier delta stays
  // Going back to the key frame starts afresh.
  EXPECT_EQ(Pixels24(AVIStreamGetFrame(avi.reader, 0)), (Pixels{G, G, G, G, R, R, R, R}));
}

TEST(AviReadingFrames, Rle8RunsOutsideTheImageAreDropped) {
  TempDir dir;
  // A run of 255 pixels, a delta far away, a literal run running off the data.
  OpenedAvi avi(dir.WriteFile("rle2.avi", AviTestFile{.streams = {{.format = DibFormat(2, 2, 8, BI_RLE8, {0, 0xFFFFFF})}},
                                                      .chunks = {{"00dc", std::string("\xFF\x01\x00\x02\xFF\xFF\x00\x09\x01", 9)}}}
                                              .Build()));
  EXPECT_NE(AVIStreamGetFrame(avi.reader, 0), nullptr);
}

TEST(AviAudio, PcmBytesAreCopiedAcrossChunks) {
  TempDir dir;
  const AviTestFile f{
      .streams = {{.type = "auds", .rate = 8000, .sampleSize = 4, .format = PcmFormat(2, 8000, 16)},  // 4-byte blocks
                  {.format = DibFormat(1, 1, 24)}},
      .chunks = {{"00wb", "ABCDEFGH"}, {"01db", std::string("\x01\x02\x03\x00", 4)}, {"00wb", "IJKLMNOPQRST"}}};
  PAVIFILE file = 0;
  ASSERT_EQ(AVIFileOpen(&file, dir.WriteFile("sound.avi", f.Build()), OF_READ), AVIERR_OK);
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

TEST(AviHostileFiles, NotAnAviOrBrokenHeadersAreBadFormatAndMissingFilesOpenErrors) {
  TempDir dir;
  PAVIFILE file = 0;
  EXPECT_EQ(AVIFileOpen(&file, dir.WriteFile("a", "RIFF\x04\x00\x00\x00WAVE"), OF_READ), AVIERR_BADFORMAT);
  EXPECT_EQ(AVIFileOpen(&file, dir.WriteFile("b", ""), OF_READ), AVIERR_BADFORMAT);
  EXPECT_EQ(AVIFileOpen(&file, dir.File("missing.avi"), OF_READ), AVIERR_FILEOPEN);
  file = 123;
  EXPECT_EQ(AVIFileOpen(&file, "/nonexistent-folder/x.avi", OF_CREATE | OF_WRITE), AVIERR_FILEOPEN);
  EXPECT_EQ(file, 0u);

  AviTestFile shortHeader = SmallVideo(1);
  shortHeader.streams[0].shortHeader = true;  // 48 bytes: still readable
  EXPECT_EQ(AVIFileOpen(&file, dir.WriteFile("c", shortHeader.Build()), OF_READ), AVIERR_OK);
  AVIFileRelease(file);

  // A strh of 20 bytes; a strf claiming more bytes than its list holds.
  for (auto [chunk, size] : {std::pair{"strh", 20u}, std::pair{"strf", 0x7FFFFFF0u}}) {
    std::string bad = SmallVideo(1).Build();
    bad.replace(bad.find(chunk) + 4, 4, Le32(size));
    EXPECT_EQ(AVIFileOpen(&file, dir.WriteFile("d", bad), OF_READ), AVIERR_BADFORMAT) << chunk;
    EXPECT_EQ(file, 0u);
  }
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

TEST(AviHostileFiles, IndexesThatPointOutsideOrNowhere) {
  TempDir dir;
  const std::string whole = SmallVideo(3).Build();
  const std::size_t idx = whole.rfind("idx1");
  std::string farAway = whole;
  farAway.replace(idx + 8 + 16 + 8, 4, Le32(0x7FFFFFF0));  // second entry outside the movi list: skipped
  OpenedAvi a(dir.WriteFile("idx.avi", farAway));
  ASSERT_EQ(a.result, AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(a.video), 2);

  std::string nowhere = whole;  // every entry points nowhere: the movi list is scanned instead
  for (int e = 0; e < 3; ++e) nowhere.replace(idx + 8 + 16 * e + 8, 4, Le32(3));
  OpenedAvi b(dir.WriteFile("scan.avi", nowhere));
  ASSERT_EQ(b.result, AVIERR_OK);
  EXPECT_EQ(AVIStreamLength(b.video), 3);
  EXPECT_EQ(Pixels24(AVIStreamGetFrame(b.reader, 2)), Pixels(4, 0x020202));

  AviTestFile absolute = SmallVideo(2);
  absolute.absoluteIndex = true;
  OpenedAvi c(dir.WriteFile("abs.avi", absolute.Build()));
  EXPECT_EQ(AVIStreamLength(c.video), 2);
  EXPECT_NE(AVIStreamGetFrame(c.reader, 1), nullptr);
}

TEST(AviHostileFiles, FramesTooShortOrTooLargeFailWithoutCrashing) {
  TempDir dir;
  auto frameOf = [&](const AviTestFile& f) {
    OpenedAvi avi(dir.WriteFile("f.avi", f.Build()));
    return AVIStreamGetFrame(avi.reader, 0) != nullptr;
  };
  AviTestFile f = SmallVideo(1);
  f.chunks[0].data.resize(5);
  EXPECT_FALSE(frameOf(f));
  f = SmallVideo(1);
  f.streams[0].format = DibFormat(60000, 60000, 24);
  EXPECT_FALSE(frameOf(f));
  f.streams[0].format = DibFormat(2, 2, 7);
  EXPECT_FALSE(frameOf(f));
  f.streams[0].format = DibFormat(2, 2, 8, 0, {0xFF});
  f.streams[0].format.replace(32, 4, Le32(100000));  // colours used far beyond the table
  f.chunks[0].data = std::string(8, '\x05');
  EXPECT_TRUE(frameOf(f));  // the table as far as it goes
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
  // {bits, colours used, count}: the used count within what the depth holds, or all of it.
  const int cases[][3] = {{8, 0, 256}, {8, 17, 17}, {8, 5000, 256}, {4, 0, 16}, {4, 100, 16}, {24, 100, 0}};
  TBitmapInfoHeader h;
  for (const auto& c : cases) {
    h.biBitCount = static_cast<std::uint16_t>(c[0]);
    h.biClrUsed = static_cast<std::uint32_t>(c[1]);
    EXPECT_EQ(DibColorCount(h), c[2]) << c[0] << " " << c[1];
  }
}
