#include "imaging/JpgImg.h"
#include "tests/imaging/PictureHelpers.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 24-bit picture of smooth colour gradients.
void FillGradient(TBitmap& bitmap, int width, int height) {
  MakePattern(bitmap, width, height, [&](int x, int y) {
    return RGB(static_cast<std::uint8_t>(x * 255 / width), static_cast<std::uint8_t>(y * 255 / height), 128);
  });
}

Bytes Encode(TJPEGImage& image) {
  TMemoryStream out;
  image.SaveToStream(out);
  return out.Bytes();
}

Bytes EncodeGradient(int width, int height, int quality = 90, bool progressive = false, bool gray = false) {
  TJPEGImage image;
  FillGradient(image.Bitmap(), width, height);
  image.SetQuality(quality);
  image.SetProgressive(progressive);
  if (gray) image.SetGrayScale(true);
  return Encode(image);
}

void LoadBytes(TJPEGImage& image, const Bytes& bytes) {
  TMemoryStream stream;
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  image.LoadFromMemoryStream(&stream);
}

// Offset of the first marker FF code, or -1.
long FindMarker(const Bytes& bytes, std::uint8_t code) {
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == code) return static_cast<long>(i);
  return -1;
}

std::string LoadError(TJPEGImage& image, const Bytes& bytes) {
  return ErrorText<EJPEGException>([&] { LoadBytes(image, bytes); });
}

// The JPEG with the size in its start-of-frame header changed.
Bytes WithStatedSize(Bytes jpeg, int width, int height) {
  const long baseline = FindMarker(jpeg, 0xC0);
  const auto at = static_cast<std::size_t>(baseline >= 0 ? baseline : FindMarker(jpeg, 0xC2));
  jpeg[at + 5] = static_cast<std::uint8_t>(height >> 8);
  jpeg[at + 6] = static_cast<std::uint8_t>(height);
  jpeg[at + 7] = static_cast<std::uint8_t>(width >> 8);
  jpeg[at + 8] = static_cast<std::uint8_t>(width);
  return jpeg;
}

}  // namespace

// ---- Round trips ------------------------------------------------------------------------------

TEST(JpegRoundTrip, BaselineAndProgressivePicturesComeBackCloseInTwentyFourBits) {
  for (bool progressive : {false, true}) {
    TJPEGImage source;
    FillGradient(source.Bitmap(), 40, 30);
    source.SetQuality(95);
    source.SetProgressive(progressive);
    const Bytes jpeg = Encode(source);
    EXPECT_EQ(FindMarker(jpeg, 0xD8), 0);
    EXPECT_GE(FindMarker(jpeg, progressive ? 0xC2 : 0xC0), 0) << progressive;  // the kind of frame
    EXPECT_TRUE(progressive || FindMarker(jpeg, 0xC2) < 0);
    TJPEGImage decoded;
    LoadBytes(decoded, jpeg);
    ASSERT_EQ(std::tuple(decoded.Bitmap().Width(), decoded.Bitmap().Height(), decoded.Bitmap().PixelFormat()),
              std::tuple(40, 30, pf24bit));
    int worst = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x)
        worst = std::max(worst, ChannelDistance(decoded.Bitmap().Pixel(x, y), source.Bitmap().Pixel(x, y)));
    EXPECT_LE(worst, 12) << progressive;
  }
}

TEST(JpegRoundTrip, GrayscaleEncodesOneComponentAndDecodesToGreys) {
  const Bytes jpeg = EncodeGradient(16, 16, 90, false, true);
  const long sof = FindMarker(jpeg, 0xC0);
  ASSERT_GE(sof, 0);
  EXPECT_EQ(jpeg[static_cast<std::size_t>(sof) + 9], 1);  // number of components

  TJPEGImage decoded;
  decoded.SetGrayScale(true);
  LoadBytes(decoded, jpeg);
  const TBitmap& b = decoded.Bitmap();
  EXPECT_EQ(b.PixelFormat(), pf8bit);
  ASSERT_EQ(b.Palette().Count(), 256);
  EXPECT_EQ(b.Palette().Entry(77), (TPaletteEntry{77, 77, 77, 0}));
  const TColor c = b.Pixel(5, 5);
  EXPECT_EQ(c, RGB(GetRValue(c), GetRValue(c), GetRValue(c)));
}

TEST(JpegRoundTrip, QuantisedDecodingGivesEightBitsWith256Entries) {
  const Bytes jpeg = EncodeGradient(32, 32);
  TJPEGImage decoded;
  decoded.SetNumOfColors(TNumOfColors::_256);
  LoadBytes(decoded, jpeg);
  EXPECT_EQ(decoded.Bitmap().PixelFormat(), pf8bit);
  EXPECT_EQ(decoded.Bitmap().Palette().Count(), 256);

  // Changing a decoding option decodes the bytes again.
  decoded.SetNumOfColors(TNumOfColors::TrueColor);
  EXPECT_EQ(decoded.Bitmap().PixelFormat(), pf24bit);
  decoded.SetNumOfColors(TNumOfColors::_16);
  ASSERT_EQ(decoded.Bitmap().PixelFormat(), pf8bit);
  for (int i = 16; i < 256; ++i) EXPECT_EQ(decoded.Bitmap().Palette().Entry(i), TPaletteEntry{}) << i;
}

TEST(JpegRoundTrip, EightAndThirtyTwoBitPicturesAreEncodedFromATwentyFourBitCopy) {
  for (TPixelFormat format : {pf8bit, pf32bit}) {
    TJPEGImage source;
    MakeFilled(source.Bitmap(), 16, 16, RGB(200, 10, 10), format);
    TJPEGImage decoded;
    LoadBytes(decoded, Encode(source));
    EXPECT_LE(ChannelDistance(decoded.Bitmap().Pixel(8, 8), source.Bitmap().Pixel(8, 8)), 8) << format;
    EXPECT_EQ(source.Bitmap().PixelFormat(), format);  // the picture itself is untouched
  }
}

TEST(JpegRoundTrip, DensityTravelsThroughTheBridge) {
  // A BMP with 2835 pixels per metre becomes a JPEG of 28 dots per centimetre.
  TJPEGImage source;
  FillGradient(source.Bitmap(), 4, 4);
  TMemoryStream bmp;
  source.Bitmap().SaveToStream(bmp);
  std::uint8_t* h = bmp.Memory();
  for (int i = 0; i < 4; ++i) h[38 + i] = h[42 + i] = static_cast<std::uint8_t>(2835 >> (8 * i));
  bmp.SetPosition(0);
  TMemoryStream jpeg;
  EncodeBMPToJPEG(bmp, TJPEGEncodeOptions{}, jpeg);
  const Bytes& j = jpeg.Bytes();
  const long app0 = FindMarker(j, 0xE0);
  ASSERT_GE(app0, 0);
  EXPECT_EQ(j[static_cast<std::size_t>(app0) + 11], 2);   // unit: dots per centimetre
  EXPECT_EQ(j[static_cast<std::size_t>(app0) + 13], 28);  // X density, low byte
  TMemoryStream back;
  DecodeJPEGToBMP(j.data(), static_cast<std::int64_t>(j.size()), TJPEGDecodeOptions{}, back);
  EXPECT_EQ(back.Memory()[38] | (back.Memory()[39] << 8), 2800);
}

// ---- Damaged data ---------------------------------------------------------------------

TEST(JpegDamagedData, NonJpegBytesRaiseTheLibraryMessage) {
  TJPEGImage image;
  FillGradient(image.Bitmap(), 3, 3);
  const Bytes garbage{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0};
  EXPECT_EQ(LoadError(image, garbage), "Not a JPEG file: starts with 0x47 0x49");
  // The picture and the bytes are as they were.
  EXPECT_EQ(image.Bitmap().Width(), 3);
  EXPECT_EQ(image.JPEGBytes().size(), 0u);
}

TEST(JpegDamagedData, CorruptJpegRaisesEJPEGException) {
  Bytes jpeg = EncodeGradient(16, 16);
  const long sof = FindMarker(jpeg, 0xC0);
  ASSERT_GE(sof, 0);
  jpeg[static_cast<std::size_t>(sof) + 4] = 0;  // precision 0
  TJPEGImage image;
  EXPECT_THROW(LoadBytes(image, jpeg), EJPEGException);
}

TEST(JpegDamagedData, EveryTruncationFailsAndCutScanDataWarnsKeepingThePicture) {
  const Bytes progressive = EncodeGradient(16, 16, 75, true);
  for (std::size_t cut = 1; cut < progressive.size(); cut += 13) {
    TJPEGImage image;
    EXPECT_THROW(LoadBytes(image, Bytes(progressive.begin(), progressive.begin() + static_cast<std::ptrdiff_t>(cut))),
                 EJPEGException)
        << cut;
  }
  const Bytes jpeg = EncodeGradient(128, 128);
  TJPEGImage image;
  LoadBytes(image, EncodeGradient(5, 5));
  EXPECT_EQ(LoadError(image, Bytes(jpeg.begin(), jpeg.end() - 100)), "There are warnings");
  EXPECT_EQ(image.Bitmap().Width(), 5);
}

TEST(JpegDamagedData, HugeDimensionsAreRefusedBeforeDecoding) {
  TJPEGImage image;
  EXPECT_EQ(LoadError(image, WithStatedSize(EncodeGradient(16, 16), 65000, 65000)), SJpegImageTooLarge);
  // A tiny file claiming 8000 x 8000, within the limit, stops at the first warning.
  EXPECT_EQ(LoadError(image, WithStatedSize(EncodeGradient(16, 16), 8000, 8000)), "There are warnings");
  EXPECT_TRUE(image.Bitmap().Empty());
  // A progressive file is buffered whole, so one far too short for its size is refused before that.
  EXPECT_EQ(LoadError(image, WithStatedSize(EncodeGradient(16, 16, 75, true), 8000, 8000)), SJpegInputEOF);
  EXPECT_NO_THROW(LoadBytes(image, EncodeGradient(256, 256, 5, true)));
}

TEST(JpegDamagedData, ProgressiveFilesWithThousandsOfScansAreRefused) {
  Bytes jpeg = EncodeGradient(8, 8, 75, true);
  // Repeat the first scan (its header and its coded data) 1,100 times.
  const long sos = FindMarker(jpeg, 0xDA);
  ASSERT_GE(sos, 0);
  auto end = static_cast<std::size_t>(sos) + 2;
  while (end + 1 < jpeg.size() &&
         !(jpeg[end] == 0xFF && jpeg[end + 1] != 0 && (jpeg[end + 1] < 0xD0 || jpeg[end + 1] > 0xD7)))
    ++end;
  const Bytes scan(jpeg.begin() + sos, jpeg.begin() + static_cast<std::ptrdiff_t>(end));
  for (int i = 0; i < 1100; ++i) jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(end), scan.begin(), scan.end());
  TJPEGImage image;
  EXPECT_EQ(LoadError(image, jpeg), SJpegTooManyScans);
}

// ---- The component ------------------------------------------------------------------------------------

TEST(JpegComponent, OptionsKeepAPictureWithoutBytesAndEmptyBytesClearIt) {
  TJPEGImage image;
  FillGradient(image.Bitmap(), 4, 4);
  image.SetGrayScale(true);
  image.SetNumOfColors(TNumOfColors::_256);
  EXPECT_EQ(image.Bitmap().Width(), 4);
  LoadBytes(image, EncodeGradient(6, 6));
  EXPECT_EQ(image.Bitmap().Width(), 6);
  image.LoadFromMemoryStream(nullptr);
  EXPECT_TRUE(image.Bitmap().Empty());
  EXPECT_EQ(image.JPEGBytes().size(), 0u);
  TMemoryStream out;
  image.SaveToStream(out);  // an empty picture writes nothing
  EXPECT_EQ(out.Size(), 0);
  image.SetQuality(250);
  EXPECT_EQ(image.Quality(), 100);
}

TEST(JpegComponent, ProgressFiresAtMultiplesOfTheStepOnly) {
  const Bytes jpeg = EncodeGradient(20, 200);
  TJPEGImage image;
  std::vector<int> reports;
  image.OnProgress = [&](TCustomJPEGImage& sender) { reports.push_back(sender.Progress()); };
  EXPECT_EQ(image.ProgressStep(), 10);
  LoadBytes(image, jpeg);
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(std::adjacent_find(reports.begin(), reports.end(), std::greater_equal<>()), reports.end());  // rising
  for (int percent : reports) EXPECT_EQ(percent % 10, 0) << percent;
  EXPECT_EQ(std::pair(reports.front() > 0, reports.back()), std::pair(true, 100));
  reports.clear();
  image.SetProgressStep(0);
  LoadBytes(image, jpeg);
  EXPECT_TRUE(reports.empty());
}

TEST(JpegComponent, FilesAreWrittenAndTheNameIsStoredOnlyAfterASuccessfulLoad) {
  TempDir dir;
  TJPEGImage source;
  FillGradient(source.Bitmap(), 7, 5);
  source.SaveToFile(dir.File("good.jpg"));
  const std::string good = dir.File("good.jpg");
  const std::string bad = dir.WriteFile("bad.jpg", "not a jpeg at all");
  const std::string written = TempDir::ReadFile(good);
  const Bytes jpeg(written.begin(), written.end());

  TJPEGImage image;
  image.SetFileName(good);
  EXPECT_EQ(image.FileName(), good);
  EXPECT_EQ(image.Bitmap().Width(), 7);

  EXPECT_THROW(image.SetFileName(dir.File("missing.jpg")), EFOpenError);
  EXPECT_THROW(image.SetFileName(bad), EJPEGException);
  EXPECT_EQ(image.FileName(), good);
  EXPECT_EQ(image.JPEGBytes(), jpeg);
  EXPECT_EQ(image.Bitmap().Width(), 7);

  image.SetFileName("");
  EXPECT_EQ(image.FileName(), "");
  EXPECT_TRUE(image.Bitmap().Empty());
}
