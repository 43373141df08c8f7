#include "imaging/AVIFileU.h"
#include "imaging/JpgImg.h"
#include "tests/imaging/PictureHelpers.h"
#include "tests/support/AviTestFiles.h"
#include "tests/support/ErrorText.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

TColor ColorOfFrame(int i) { return RGB(static_cast<std::uint8_t>(40 * i), static_cast<std::uint8_t>(200 - 30 * i), 90); }

// A bitmap filled with one colour, with a white top-left pixel.
std::unique_ptr<TBitmap> SolidBitmap(int width, int height, TColor color, TPixelFormat format = pf24bit) {
  auto b = std::make_unique<TBitmap>();
  MakeFilled(*b, width, height, color, format);
  b->SetPixel(0, 0, clWhite);
  return b;
}

// Writes the bitmaps as frames through TAVIObject, uncompressed.
void WriteFrames(const std::string& path, int rate, const std::vector<std::unique_ptr<TBitmap>>& frames) {
  TAVIObject avi;
  avi.SetOptionsChosen(true);
  const PAVIFILE file = avi.CreateAVIFile(path, rate);
  ASSERT_NE(file, 0u);
  const PAVISTREAM stream = avi.CreateVideoStream(file, *frames[0]);
  ASSERT_NE(stream, 0u);
  for (std::size_t i = 0; i < frames.size(); ++i)
    EXPECT_TRUE(avi.WriteFrame(file, stream, *frames[i], static_cast<std::int32_t>(i), AVIIF_KEYFRAME));
  avi.ReleaseStream(stream);
  EXPECT_TRUE(avi.CloseAVIFile(file));
}

// Frames of ColorOfFrame(i).
void WriteClip(const std::string& path, int frames, int rate, int width = 6, int height = 4) {
  std::vector<std::unique_ptr<TBitmap>> bitmaps;
  for (int i = 0; i < frames; ++i) bitmaps.push_back(SolidBitmap(width, height, ColorOfFrame(i)));
  WriteFrames(path, rate, bitmaps);
}

// A file opened for reading with its video stream; both closed at the end.
struct ReadAvi {
  explicit ReadAvi(const std::string& path) : file(avi.OpenAVIFile(path)), stream(avi.OpenVideoStream(file)) {}
  ~ReadAvi() {
    if (stream) avi.CloseVideoStream(stream);
    avi.CloseAVIFile(file);
  }
  TAVIObject avi;
  PAVIFILE file;
  PAVISTREAM stream;
};

std::vector<std::string> TemporaryFiles() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(AviTemporaryFolder()))
    names.push_back(entry.path().filename().string());
  return names;
}

const AviTestStream kSound{.type = "auds", .format = PcmFormat(1, 8000, 8)};

}  // namespace

// ---- Writing and reading back -------------------------------------------------------------------------

TEST(AviObjectRoundTrip, FramesRateAndPixelsComeBackInTwentyFourBits) {
  TempDir dir;
  const std::string path = dir.File("clip.avi");
  const int handles = OpenAviHandleCount();
  std::vector<std::unique_ptr<TBitmap>> frames;  // the white pixel shows the top row stays on top
  frames.push_back(SolidBitmap(6, 4, ColorOfFrame(0)));
  frames.push_back(SolidBitmap(6, 4, clRed, pf8bit));
  frames.push_back(SolidBitmap(6, 4, ColorOfFrame(2), pf32bit));
  WriteFrames(path, 12, frames);
  {
    ReadAvi in(path);
    ASSERT_NE(in.stream, 0u);
    EXPECT_EQ(std::tuple(in.avi.AudioStreams(), in.avi.FrameCount(), in.avi.FirstFrame(), in.avi.FrameRate()),
              std::tuple(0, 3, 0, 12));
    for (int i = 0; i < 3; ++i) {
      auto frame = in.avi.GetFrameBitmap(i);
      EXPECT_TRUE(SamePixels(*frame, *frames[static_cast<std::size_t>(i)])) << i;
      EXPECT_EQ(std::pair(frame->PixelFormat(), in.avi.LastFrameHeader().biBitCount), std::pair(pf24bit, std::uint16_t{24}));
    }
    EXPECT_FALSE(in.avi.ErrorFlag());
    auto missing = in.avi.GetFrameBitmap(7);
    EXPECT_TRUE(in.avi.ErrorFlag());
    EXPECT_EQ(std::pair(missing->Width(), missing->Height()), std::pair(2, 2));
  }
  EXPECT_EQ(OpenAviHandleCount(), handles);
}

TEST(AviObjectWriting, AFrameOfAnotherSizeOrPlaceRaisesTheWriteError) {
  TempDir dir;
  TAVIObject avi;
  avi.SetOptionsChosen(true);
  const PAVIFILE file = avi.CreateAVIFile(dir.File("w.avi"), 10);
  auto small = SolidBitmap(4, 4, clRed);
  auto large = SolidBitmap(5, 4, clRed);
  const PAVISTREAM stream = avi.CreateVideoStream(file, *small);
  EXPECT_TRUE(avi.WriteFrame(file, stream, *small, 0, AVIIF_KEYFRAME));
  EXPECT_EQ(ErrorText([&] { avi.WriteFrame(file, stream, *large, 1, AVIIF_KEYFRAME); }),
            "An error occured during writing to AVI file.");
  EXPECT_EQ(ErrorText([&] { avi.WriteFrame(file, stream, *small, 0, AVIIF_KEYFRAME); }),
            "An error occured during writing to AVI file.");
  EXPECT_FALSE(avi.WriteFrame(0, stream, *small, 1, 0));
  EXPECT_FALSE(avi.WriteFrame(file, 0, *small, 1, 0));
  avi.ReleaseStream(stream);
  avi.CloseAVIFile(file);
}

TEST(AviObjectWriting, TheCompressorIsAskedForUnlessChosen) {
  ScriptedUiServices ui;
  TempDir dir;
  TAVIObject avi;
  auto bitmap = SolidBitmap(16, 16, RGB(30, 120, 200));
  const PAVIFILE cancelled = avi.CreateAVIFile(dir.File("c.avi"), 10);
  EXPECT_EQ(ErrorText([&] { avi.CreateVideoStream(cancelled, *bitmap); }), "Video Compression was canceled.");
  EXPECT_EQ(ui.videoCompressionRequests.size(), 1u);
  avi.CloseAVIFile(cancelled);

  ui.videoCompressionAnswers.push_back(VideoCompression{comptypeMJPG, 9000});
  const std::string path = dir.File("m.avi");
  const PAVIFILE file = avi.CreateAVIFile(path, 10);
  const PAVISTREAM stream = avi.CreateVideoStream(file, *bitmap);
  ASSERT_NE(stream, 0u);
  EXPECT_EQ(avi.CompressOptions().fccHandler, comptypeMJPG);
  for (int i = 0; i < 2; ++i) avi.WriteFrame(file, stream, *bitmap, i, AVIIF_KEYFRAME);
  avi.ReleaseStream(stream);
  EXPECT_TRUE(avi.CloseAVIFile(file));
  EXPECT_NE(TempDir::ReadFile(path).find("00dc"), std::string::npos);

  ReadAvi in(path);
  EXPECT_EQ(in.avi.FrameCount(), 2);
  auto frame = in.avi.GetFrameBitmap(1);
  EXPECT_FALSE(in.avi.ErrorFlag());
  EXPECT_LE(ChannelDistance(frame->Pixel(8, 8), RGB(30, 120, 200)), 6);
}

TEST(AviObjectErrors, AFileThatCannotBeReplacedOrOpenedIsBusyAndNamed) {
  TAVIObject avi;
  // A regular file that not even root may delete.
  EXPECT_EQ(ErrorText([&] { avi.CreateAVIFile("/proc/self/status", 10); }), "Cannot write to the file. Probably file is busy.");
  EXPECT_EQ(ErrorText([&] { avi.OpenAVIFile("/nonexistent/none.avi"); }),
            "Cannot open the file \"/nonexistent/none.avi\". Probably file is busy.");
}

TEST(AviObjectReading, AudioIsCountedAndTheVideoStreamFoundOrNot) {
  TempDir dir;
  ReadAvi in(dir.WriteFile("av.avi", AviTestFile{.streams = {kSound, {.scale = 2, .rate = 30, .format = DibFormat(2, 2, 24)}},
                                                 .chunks = {{"00wb", "abcd"}, {"01db", Rows24(2, 2, [](int, int) { return 0x00FF00u; })}}}
                                         .Build()));
  ASSERT_NE(in.stream, 0u);
  EXPECT_EQ(std::pair(in.avi.AudioStreams(), in.avi.FrameRate()), std::pair(1, 15));
  EXPECT_EQ(in.avi.GetFrameBitmap(0)->Pixel(1, 1), RGB(0, 255, 0));

  ReadAvi soundOnly(dir.WriteFile("a.avi", AviTestFile{.streams = {kSound}, .chunks = {{"00wb", "abcd"}}}.Build()));
  EXPECT_EQ(soundOnly.stream, 0u);
}

TEST(AviObjectReading, FrameRatesOfOddStreamHeaders) {
  TempDir dir;
  auto rateOf = [&](std::uint32_t rate, std::uint32_t scale) {
    ReadAvi in(dir.WriteFile("r.avi", AviTestFile{.streams = {{.scale = scale, .rate = rate, .format = DibFormat(1, 1, 24)}},
                                                  .chunks = {{"00db", std::string(4, '\0')}}}
                                          .Build()));
    return in.avi.FrameRate();
  };
  EXPECT_EQ(rateOf(25, 0), 20);  // no scale: 20 frames a second
  EXPECT_EQ(rateOf(1, 3), 1);    // never rounded to 0
  EXPECT_EQ(rateOf(0, 1), 1);
  EXPECT_EQ(rateOf(30000, 1001), 30);
}

// ---- Frames made in the test ---------------------------------------------------------------------------

TEST(AviObjectReading, Rle8FramesBecomeTrueColourBitmapsInTheirPalettesColours) {
  TempDir dir;
  ReadAvi in(dir.WriteFile("rle.avi", AviTestFile{.streams = {{.format = DibFormat(3, 1, 8, BI_RLE8, {0x000000, 0x336699})}},
                                                  .chunks = {{"00dc", std::string("\x02\x01\x01\x00\x00\x01", 6)}}}
                                          .Build()));
  auto frame = in.avi.GetFrameBitmap(0);
  EXPECT_FALSE(in.avi.ErrorFlag());
  EXPECT_EQ(frame->PixelFormat(), pf24bit);
  EXPECT_TRUE(frame->Palette().IsNone());
  EXPECT_EQ(std::pair(frame->Pixel(0, 0), frame->Pixel(2, 0)), std::pair(RGB(0x33, 0x66, 0x99), RGB(0, 0, 0)));
  EXPECT_EQ(in.avi.LastColorTable(), (std::vector<TPaletteEntry>{{0, 0, 0, 0}, {0x33, 0x66, 0x99, 0}}));
}

TEST(AviObjectReading, PlainEightBitFramesBecomeTrueColourAlsoWhenAClipDrawsThem) {
  TempDir dir;
  // A 2 x 2 frame stored bottom-up: indices 2 1 / 0 3 (3 lies past the table: black).
  const std::string rows("\x00\x03\x00\x00\x02\x01\x00\x00", 8);
  const std::string path = dir.WriteFile(
      "plain8.avi", AviTestFile{.streams = {{.format = DibFormat(2, 2, 8, BI_RGB, {0x0000FF, 0x00FF00, 0x204060})}},
                                .chunks = {{"00dc", rows}, {"00dc", rows}}}
                        .Build());
  {
    ReadAvi in(path);
    auto frame = in.avi.GetFrameBitmap(1);
    EXPECT_FALSE(in.avi.ErrorFlag());
    EXPECT_EQ(frame->PixelFormat(), pf24bit);
    EXPECT_EQ(frame->Pixel(0, 0), RGB(0x20, 0x40, 0x60));
    EXPECT_EQ(frame->Pixel(1, 0), RGB(0x00, 0xFF, 0x00));
    EXPECT_EQ(frame->Pixel(0, 1), RGB(0x00, 0x00, 0xFF));
    EXPECT_EQ(frame->Pixel(1, 1), RGB(0, 0, 0));
  }
  TAVIImage clip;
  ASSERT_TRUE(clip.OpenFile(path));
  TBitmap target;
  ASSERT_TRUE(clip.DrawFrame(0, target));
  EXPECT_EQ(target.PixelFormat(), pf24bit);
  EXPECT_EQ(target.Pixel(1, 0), RGB(0x00, 0xFF, 0x00));
  clip.SetScale(2.0);
  ASSERT_TRUE(clip.DrawFrame(1, target));
  EXPECT_EQ(std::tuple(target.PixelFormat(), target.Width(), target.Pixel(3, 3)), std::tuple(pf24bit, 4, RGB(0, 0, 0)));
}

namespace {

std::string JpegOf(int width, int height, TColor color, bool standardTables = false) {
  TJPEGImage jpeg;
  jpeg.Bitmap().Assign(SolidBitmap(width, height, color).get());
  jpeg.SetQuality(95);
  if (standardTables) jpeg.SetFastProcessing(true);  // no optimised Huffman tables
  TMemoryStream out;
  jpeg.SaveToStream(out);
  return std::string(out.Bytes().begin(), out.Bytes().end());
}

// Removes the Huffman table segments, as many Motion JPEG writers do.
std::string WithoutHuffmanTables(std::string jpeg) {
  for (std::size_t at = jpeg.find("\xFF\xC4"); at != std::string::npos; at = jpeg.find("\xFF\xC4")) {
    const std::size_t length = (static_cast<std::uint8_t>(jpeg[at + 2]) << 8) | static_cast<std::uint8_t>(jpeg[at + 3]);
    jpeg.erase(at, 2 + length);
  }
  return jpeg;
}

}  // namespace

TEST(AviObjectReading, MotionJpegFramesAreDecoded) {
  TempDir dir;
  ReadAvi in(dir.WriteFile(
      "mjpg.avi", AviTestFile{.streams = {{.handler = "MJPG", .format = DibFormat(16, 8, 24, MakeFourCC('M', 'J', 'P', 'G'))}},
                              .chunks = {{"00dc", JpegOf(16, 8, RGB(200, 40, 40))},
                                         {"00dc", WithoutHuffmanTables(JpegOf(16, 8, RGB(40, 40, 200), true))},
                                         {"00dc", "not a jpeg"}}}
                      .Build()));
  ASSERT_EQ(in.avi.FrameCount(), 3);
  const TColor colours[] = {RGB(200, 40, 40), RGB(40, 40, 200)};
  for (int i = 0; i < 2; ++i) {
    auto frame = in.avi.GetFrameBitmap(i);
    EXPECT_FALSE(in.avi.ErrorFlag());
    EXPECT_EQ(frame->Width(), 16);
    EXPECT_LE(ChannelDistance(frame->Pixel(8, 4), colours[i]), 6) << i;
  }
  in.avi.GetFrameBitmap(2);
  EXPECT_TRUE(in.avi.ErrorFlag());
}

// ---- Clips ------------------------------------------------------------------------------------------------

TEST(AviClipPlayback, WrapsToFrameOneOnceAndSetsLoopedAndFrameOneTakesTheTickCount) {
  FakeSystemValues values;
  TempDir dir;
  WriteClip(dir.File("loop.avi"), 3, 10);
  TAVIImage clip;
  TBitmap target;
  EXPECT_FALSE(clip.DrawFrame(1, target));  // nothing is drawn without a stream
  EXPECT_FALSE(clip.NextFrame(target));
  EXPECT_FALSE(clip.OpenFile("/nonexistent/clip.avi"));
  ASSERT_TRUE(clip.OpenFile(dir.File("loop.avi")));
  ASSERT_TRUE(clip.DrawFrame(0, target));
  EXPECT_EQ(target.Width(), 6);
  values.micros = 5000 * 1000;
  EXPECT_TRUE(clip.NextFrame(target));
  values.micros = 6000 * 1000;
  EXPECT_TRUE(clip.NextFrame(target));
  EXPECT_EQ(std::tuple(clip.CurrentFrame(), clip.Looped(), clip.StartTick()), std::tuple(2, false, 5000u));
  ASSERT_TRUE(clip.NextFrame(target));  // frame 3 = first + count wraps
  EXPECT_EQ(std::tuple(clip.CurrentFrame(), target.Pixel(3, 2), clip.StartTick()), std::tuple(1, ColorOfFrame(1), 6000u));
  EXPECT_TRUE(clip.TakeLooped());
  EXPECT_FALSE(clip.TakeLooped());
  ASSERT_TRUE(clip.DrawFrame(-5, target));  // below the first frame
  EXPECT_EQ(clip.CurrentFrame(), 0);

  // A one-frame clip wraps to its only frame.
  WriteClip(dir.File("one.avi"), 1, 10);
  ASSERT_TRUE(clip.OpenFile(dir.File("one.avi")));
  ASSERT_TRUE(clip.DrawFrame(0, target));
  EXPECT_TRUE(clip.NextFrame(target));
  EXPECT_EQ(clip.CurrentFrame(), 0);
  EXPECT_TRUE(clip.TakeLooped());
}

TEST(AviClipPlayback, ScaledFramesAreStretched) {
  TempDir dir;
  WriteClip(dir.File("scale.avi"), 2, 10, 6, 4);
  TAVIImage clip;
  clip.SetScale(1.5);
  ASSERT_TRUE(clip.OpenFile(dir.File("scale.avi")));
  TBitmap target;
  ASSERT_TRUE(clip.DrawFrame(1, target));
  EXPECT_EQ(std::tuple(target.Width(), target.Height(), target.Pixel(7, 5)), std::tuple(9, 6, ColorOfFrame(1)));
}

// ---- The clip record ------------------------------------------------------------------------------------------

namespace {

// A clip record: the stored name, the length and the bytes.
TMemoryStream& Record(TMemoryStream& stream, const std::string& name, std::int32_t length, const std::string& bytes) {
  stream.WriteShortString(name);
  stream.WriteInt32(length);
  stream.WriteBytes(bytes);
  stream.SetPosition(0);
  return stream;
}

}  // namespace

TEST(AviClipRecord, RoundTripThroughAPrivateTemporaryFile) {
  TempDir dir;
  const std::string path = dir.File("movie.avi");
  WriteClip(path, 2, 10);
  const std::string fileBytes = TempDir::ReadFile(path);

  TAVIImage source;
  ASSERT_TRUE(source.OpenFile(path));
  TMemoryStream stream;
  stream.WriteInt32(0x12345678);  // the record sits inside a larger stream
  source.SaveToStream(stream);
  EXPECT_EQ(stream.Size() - 4, source.StreamedSize());
  stream.WriteInt32(-1);
  const auto& b = stream.Bytes();
  EXPECT_EQ(b[4], path.size());
  EXPECT_EQ(std::string(b.begin() + 5, b.begin() + 5 + static_cast<std::ptrdiff_t>(path.size())), path);

  stream.SetPosition(4);
  TAVIImage copy;
  copy.LoadFromStream(stream);
  EXPECT_EQ(stream.ReadInt32(), -1);  // positioned after the record
  EXPECT_TRUE(copy.Temporary());
  const std::string temp = copy.FileName();
  EXPECT_EQ(temp.rfind(AviTemporaryFolder(), 0), 0u);
  EXPECT_NE(temp.find("(Zorvan_temporary)movie.avi"), std::string::npos);
  EXPECT_EQ(TempDir::ReadFile(temp), fileBytes);
  EXPECT_EQ(std::filesystem::status(temp).permissions() & std::filesystem::perms::others_read,
            std::filesystem::perms::none);
  TBitmap target;
  ASSERT_TRUE(copy.DrawFrame(1, target));
  EXPECT_EQ(target.Pixel(3, 2), ColorOfFrame(1));
  copy.CloseFile();
  EXPECT_FALSE(FileExists(temp));
}

TEST(AviClipRecord, StoredNamesAreReducedToASafeLastComponentAndNeverShareAFile) {
  TempDir dir;
  FakeSystemValues values;  // the same tick count for every clip
  WriteClip(dir.File("x.avi"), 1, 10);
  const std::string bytes = TempDir::ReadFile(dir.File("x.avi"));
  std::vector<std::unique_ptr<TAVIImage>> clips;
  std::set<std::string> names;
  for (const std::string& stored : {std::string("..\\..\\evil/../../etc/passwd"), std::string("C:\\clips\\..\x01" "bad:name.avi"),
                                    std::string(".."), std::string("same.avi"), std::string("same.avi")}) {
    TMemoryStream stream;
    clips.push_back(std::make_unique<TAVIImage>());
    clips.back()->LoadFromStream(Record(stream, stored, static_cast<std::int32_t>(bytes.size()), bytes));
    const std::string name = clips.back()->FileName();
    names.insert(name);
    EXPECT_EQ(name.rfind(AviTemporaryFolder(), 0), 0u) << name;
    const std::string own = name.substr(AviTemporaryFolder().size());
    EXPECT_EQ(own.find_first_of("/\\"), std::string::npos) << own;
    EXPECT_NE(own.front(), '.');
    EXPECT_TRUE(FileExists(name));
  }
  EXPECT_EQ(names.size(), clips.size());
}

TEST(AviClipRecord, LengthZeroCreatesNoFileAndLengthsBeyondTheStreamAreRefused) {
  const auto before = TemporaryFiles();
  TMemoryStream stream;
  TAVIImage clip;
  clip.LoadFromStream(Record(stream, "gone.avi", 0, Le32(77)));
  EXPECT_EQ(stream.ReadInt32(), 77);
  EXPECT_EQ(clip.VideoStream(), 0u);
  EXPECT_EQ(TemporaryFiles(), before);

  for (std::int32_t length : {-1, 100}) {
    TMemoryStream bad;
    EXPECT_THROW(clip.LoadFromStream(Record(bad, "x.avi", length, std::string(10, 'z'))), EReadError) << length;
  }
  TMemoryStream cut;
  cut.WriteByte(20);
  cut.WriteBytes("abc");
  cut.SetPosition(0);
  EXPECT_THROW(clip.LoadFromStream(cut), EReadError);
}

TEST(AviClipRecord, AVanishedOrTooLargeFileIsStoredWithLengthZero) {
  TempDir dir;
  const std::string path = dir.File("vanish.avi");
  WriteClip(path, 1, 10);
  TAVIImage clip;
  ASSERT_TRUE(clip.OpenFile(path));
  clip.CloseFile();
  DeleteFile(path);
  auto expectEmptyRecord = [&](TAVIImage& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    EXPECT_EQ(stream.Size(), static_cast<std::int64_t>(1 + path.size() + 4));
    EXPECT_EQ(stream.Size(), image.StreamedSize());
    stream.SetPosition(1 + static_cast<std::int64_t>(path.size()));
    EXPECT_EQ(stream.ReadInt32(), 0);
  };
  expectEmptyRecord(clip);
  // A file beyond a 32-bit length is not embedded.
  WriteClip(path, 1, 10);
  TAVIImage big;
  ASSERT_TRUE(big.OpenFile(path));
  std::filesystem::resize_file(path, std::uintmax_t{0x80000000});  // sparse: nothing is written
  expectEmptyRecord(big);
}

TEST(AviClipRecord, NamesAreCutAndTheSizeStillMatchesAndNothingIsStoredWithoutAName) {
  TAVIImage none;
  TMemoryStream empty;
  none.SaveToStream(empty);
  EXPECT_EQ(empty.Size(), 0);
  EXPECT_EQ(none.StreamedSize(), 0);

  TempDir dir;
  const std::string folder = dir.File(std::string(120, 'd'));
  std::filesystem::create_directory(folder);
  const std::string deeper = folder + "/" + std::string(120, 'e');
  std::filesystem::create_directory(deeper);
  const std::string path = deeper + "/clip.avi";
  WriteClip(path, 1, 10);
  ASSERT_GT(path.size(), 255u);
  TAVIImage clip;
  clip.OpenFile(path);
  TMemoryStream stream;
  clip.SaveToStream(stream);
  EXPECT_EQ(stream.Size(), clip.StreamedSize());
  EXPECT_EQ(stream.Bytes()[0], 255);
}

TEST(AviClipSound, FilesWithAudioKeepASoundCopyUntilClosed) {
  TempDir dir;
  const std::string path = dir.WriteFile(
      "sound.avi", AviTestFile{.streams = {{.format = DibFormat(1, 1, 24)}, kSound},
                               .chunks = {{"00db", std::string(4, '\0')}, {"01wb", "sound"}}}
                       .Build());
  TAVIImage clip;
  ASSERT_TRUE(clip.OpenFile(path));
  const std::string copy = clip.SoundCopyName();
  ASSERT_FALSE(copy.empty());
  EXPECT_EQ(copy.rfind(AviTemporaryFolder(), 0), 0u);
  EXPECT_NE(copy.find("(Zorvan_temporary).avi"), std::string::npos);
  EXPECT_EQ(TempDir::ReadFile(copy), TempDir::ReadFile(path));
  clip.CloseFile();
  EXPECT_FALSE(FileExists(copy));
  EXPECT_TRUE(clip.SoundCopyName().empty());

  TAVIImage quiet;
  quiet.SetSoundFlag(false);
  ASSERT_TRUE(quiet.OpenFile(path));
  EXPECT_TRUE(quiet.SoundCopyName().empty());
}
