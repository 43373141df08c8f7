#include "platform/Clipboard.h"

#include "tests/support/ErrorText.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace {

// The editor's format is named after the newest project-file signature.
constexpr const char* kSceneFormatName = "Animated Scene v.5.2";

std::string Block(std::int32_t size, std::int32_t kind, const std::string& rest = "") {
  std::string bytes(8, '\0');
  for (int i = 0; i < 4; ++i) {
    bytes[static_cast<std::size_t>(i)] = static_cast<char>((size >> (8 * i)) & 0xFF);
    bytes[static_cast<std::size_t>(4 + i)] = static_cast<char>((kind >> (8 * i)) & 0xFF);
  }
  return bytes + rest;
}

class ClipboardTest : public testing::Test {
 protected:
  void SetUp() override { Clipboard().Clear(); }
  void TearDown() override { Clipboard().Clear(); }
  const UINT format_ = RegisterClipboardFormat(kSceneFormatName);
};

}  // namespace

TEST(ClipboardFormats, ANameAlwaysGivesTheSameNumber) {
  const UINT scene = RegisterClipboardFormat(kSceneFormatName);
  EXPECT_GE(scene, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat(kSceneFormatName), scene);
  EXPECT_NE(RegisterClipboardFormat("Another format"), scene);
  EXPECT_EQ(ClipboardFormatName(scene), kSceneFormatName);
  EXPECT_EQ(RegisterClipboardFormat(""), 0u);
  EXPECT_EQ(ClipboardFormatName(0), "");
  EXPECT_EQ(ClipboardFormatName(CF_BITMAP), "");
  EXPECT_EQ(ClipboardFormatName(0xC000u + 5000u), "");
}

TEST_F(ClipboardTest, APrivateBlockTravelsUnderItsFormatName) {
  const std::string blob = Block(12, 2, "abcd");
  Clipboard().SetBlock(format_, blob);
  EXPECT_TRUE(Clipboard().HasFormat(format_));
  EXPECT_FALSE(Clipboard().HasFormat(CF_BITMAP));
  EXPECT_EQ(Clipboard().GetBlock(format_), blob);
  // Another program sees it under the signature's name.
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->data(kSceneFormatName).toStdString(), blob);
}

TEST_F(ClipboardTest, ABlockShorterThanEightBytesIsNoPrivateObject) {
  Clipboard().SetBlock(format_, Block(4, 0).substr(0, 4));  // the blob of a scene node: its size field only
  EXPECT_FALSE(Clipboard().HasFormat(format_));
  EXPECT_EQ(Clipboard().GetBlock(format_), std::nullopt);
  Clipboard().SetBlock(format_, Block(8, 1).substr(0, 7));
  EXPECT_FALSE(Clipboard().HasFormat(format_));
  Clipboard().SetBlock(format_, Block(8, 1));
  EXPECT_TRUE(Clipboard().HasFormat(format_));
}

TEST_F(ClipboardTest, AHostileBlockComesBackByteForByte) {
  // A size field larger than the block: the reader must check it, not the service.
  const std::string hostile = Block(0x7FFFFFFF, 2, std::string("\0\xff\x80", 3));
  QMimeData* data = new QMimeData;
  data->setData(kSceneFormatName, QByteArray(hostile.data(), static_cast<qsizetype>(hostile.size())));
  QGuiApplication::clipboard()->setMimeData(data);
  EXPECT_EQ(Clipboard().GetBlock(format_), hostile);
  EXPECT_EQ(Clipboard().GetBlock(RegisterClipboardFormat("Another format")), std::nullopt);
  EXPECT_EQ(Clipboard().GetBlock(0xC000u + 5000u), std::nullopt);
}

TEST_F(ClipboardTest, BitmapsGoAsImagesAndComeBackAs24BitBitmaps) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(3, 2);
  bitmap.SetPixel(0, 0, clRed);
  bitmap.SetPixel(2, 1, clBlue);
  bitmap.SetPixel(1, 1, clLime);
  Clipboard().SetBitmap(bitmap);
  EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));
  EXPECT_FALSE(Clipboard().HasFormat(format_));
  const QImage image = QGuiApplication::clipboard()->image();
  ASSERT_EQ(image.size(), QSize(3, 2));
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(2, 1), qRgb(0, 0, 255));

  TBitmap back;
  ASSERT_TRUE(Clipboard().GetBitmap(back));
  EXPECT_EQ(back.PixelFormat(), pf24bit);
  ASSERT_EQ(back.Width(), 3);
  ASSERT_EQ(back.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(back.Pixel(x, y), bitmap.Pixel(x, y)) << x << "," << y;
}

TEST_F(ClipboardTest, AnImageOfAnotherProgramIsReadWithoutItsAlpha) {
  QImage image(2, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(10, 20, 30, 0));
  image.setPixel(1, 0, qRgba(200, 100, 50, 255));
  QGuiApplication::clipboard()->setImage(image);
  TBitmap back;
  ASSERT_TRUE(Clipboard().GetBitmap(back));
  EXPECT_EQ(back.Pixel(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(back.Pixel(1, 0), RGB(200, 100, 50));
}

TEST_F(ClipboardTest, AnImageTooLargeToHoldIsRefusedBeforeItIsCopied) {
  QGuiApplication::clipboard()->setImage(QImage(70000, 1, QImage::Format_RGB32));
  TBitmap back;
  EXPECT_EQ(ErrorText<EInvalidGraphic>([&] { Clipboard().GetBitmap(back); }), "Invalid bitmap: bad dimensions");
  EXPECT_TRUE(back.Empty());
}

TEST_F(ClipboardTest, BitmapAndBlockTogetherAndAnEmptyClipboard) {
  TBitmap bitmap;
  bitmap.SetSize(1, 1);
  Clipboard().SetContent(&bitmap, {{format_, Block(8, 3)}, {0xC000u + 5000u, "never registered"}});
  EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));
  EXPECT_TRUE(Clipboard().HasFormat(format_));
  EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->formats().size(), 2);  // the image and the block
  Clipboard().Clear();
  TBitmap none;
  EXPECT_FALSE(Clipboard().GetBitmap(none));
  EXPECT_FALSE(Clipboard().HasFormat(format_));
  EXPECT_FALSE(Clipboard().HasFormat(CF_BITMAP));
}

TEST_F(ClipboardTest, EveryChangeIsSignalledAlsoWhenAnotherProgramMadeIt) {
  int signalled = 0, calls = 0;
  const QMetaObject::Connection connection =
      QObject::connect(&Clipboard(), &TClipboard::Changed, [&] { ++signalled; });
  Clipboard().OnChange = [&] { ++calls; };
  Clipboard().SetBlock(format_, Block(8, 1));
  QGuiApplication::clipboard()->setText("from elsewhere");
  EXPECT_EQ(signalled, 2);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(Clipboard().HasFormat(format_));
  Clipboard().OnChange = nullptr;
  QObject::disconnect(connection);
}
