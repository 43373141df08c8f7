#include "imaging/GifUnit.h"

#include "imaging/utils.h"
#include "platform/Messages.h"
#include "platform/PictureFormats.h"
#include "platform/Streams.h"
#include "tests/imaging/PictureHelpers.h"
#include "tests/support/BmpTestFiles.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Hex(std::initializer_list<int> values) { return Bytes(values.begin(), values.end()); }
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Save(TGifFile& gif) {
  TMemoryStream stream;
  gif.SaveToStream(stream);
  return stream.Bytes();
}

// Reads the bytes into the file, reporting progress to the window; returns where reading stopped.
std::int64_t ReadInto(TGifFile& gif, const Bytes& bytes, HWND progress = 0) {
  TReadOnlyMemoryStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  gif.SetProgressWindow(progress);
  gif.LoadFromStream(stream);
  return stream.Position();
}

std::unique_ptr<TGifFile> Load(const Bytes& bytes) {
  auto gif = std::make_unique<TGifFile>();
  ReadInto(*gif, bytes);
  return gif;
}

std::string LoadError(const Bytes& bytes) { return ErrorText<EGifException>([&] { Load(bytes); }); }

// A 1 x 1 screen of the given width with a two-colour global table, then the rest.
Bytes TinyFile(const Bytes& rest, int width = 1) {
  return Cat({Text("GIF89a"), Hex({width, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 1, 1, 1}), rest});
}

int Occurrences(const Bytes& haystack, const Bytes& needle) {
  int n = 0;
  for (auto at = haystack.begin(); (at = std::search(at, haystack.end(), needle.begin(), needle.end())) != haystack.end();
       ++at)
    ++n;
  return n;
}

// A file with a global table of the given count whose entry i is (i*3, i*5, i*7).
std::unique_ptr<TGifFile> NewFile(int colors, int screenWidth, int screenHeight) {
  auto gif = std::make_unique<TGifFile>();
  gif->GlobalTable() = TColorTable(colors);
  for (int i = 0; i < colors; ++i)
    gif->GlobalTable().SetTriple(i, static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i * 5),
                                 static_cast<std::uint8_t>(i * 7));
  gif->GlobalTable().TriplesToColors();
  gif->SetScreenWidth(screenWidth);
  gif->SetScreenHeight(screenHeight);
  return gif;
}

TGifSubImage& AddFrame(TGifFile& gif, int colors, int width, int height, const Bytes& pixels, int left = 0,
                       int top = 0) {
  auto image = std::make_unique<TGifSubImage>(colors, &gif);
  auto matrix = std::make_unique<TByteArray2D>(width, height);
  if (!pixels.empty()) std::memcpy(matrix->Data(), pixels.data(), pixels.size());
  image->SetPixels(std::move(matrix));
  image->SetLeft(left);
  image->SetTop(top);
  gif.AddSubImage(std::move(image));
  return *gif.GetSubImage(gif.ImageCount());
}

Bytes PixelsOf(const TGifSubImage& image) {
  const TByteArray2D* m = image.Pixels();
  return Bytes(m->Data(), m->Data() + m->Size());
}

Bytes RandomPixels(std::mt19937& rng, std::size_t count, int colors) {
  Bytes pixels(count);
  const int run = 1 + static_cast<int>(rng() % 6);
  for (std::size_t i = 0; i < count;) {
    const auto c = static_cast<std::uint8_t>(rng() % static_cast<unsigned>(colors));
    for (int k = 1 + static_cast<int>(rng() % static_cast<unsigned>(run)); k > 0 && i < count; --k) pixels[i++] = c;
  }
  return pixels;
}

// A file with most of what the format holds: a global table, a frame with
// delay, transparency and a loop block, a frame with a local table, an
// interlaced frame and a comment after the last image.
Bytes RichFile() {
  std::mt19937 rng(21);
  auto gif = NewFile(16, 20, 12);
  auto& first = AddFrame(*gif, 16, 20, 12, RandomPixels(rng, 240, 16));
  first.SetDelay(25);
  first.SetTransparentIndex(3);
  first.SetLoopCount(0);
  auto& second = AddFrame(*gif, 8, 7, 5, RandomPixels(rng, 35, 8), 4, 3);
  second.SetLocalTableFlag(true);
  for (int i = 0; i < 8; ++i) second.LocalTable().SetTriple(i, static_cast<std::uint8_t>(200 + i), 1, 2);
  second.SetDisposal(2);
  auto& third = AddFrame(*gif, 16, 9, 11, RandomPixels(rng, 99, 16), 1, 1);
  third.SetInterlaced(true);
  third.SetDisposal(3);
  gif->SetComments({"made by a test", "second line"});
  return Save(*gif);
}

struct ProgressLog {
  std::vector<std::pair<WPARAM, LPARAM>> messages;
  TWindowHandle window{[this](TMessage& m) {
    if (m.Msg == WM_IMAGEPROGRESS) messages.emplace_back(m.WParam, m.LParam);
  }};
};

}  // namespace

// ---- Bytes written ----------------------------------------------------------------------------

TEST(GifWriterBytes, OnePixelTwoColourFileIsByteExact) {
  auto gif = NewFile(2, 1, 1);
  gif->GlobalTable().SetTriple(1, 255, 255, 255);
  AddFrame(*gif, 2, 1, 1, Hex({1}));
  EXPECT_EQ(Save(*gif), Cat({Text("GIF89a"), Hex({1, 0, 1, 0, 0x80, 0, 0}), Hex({0, 0, 0, 255, 255, 255}),
                             Hex({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0}), Hex({2}), Hex({2, 0x4C, 1}), Hex({0}),
                             Hex({0x3B})}));
}

TEST(GifWriterBytes, LoopAndGraphicControlBlocks) {
  auto gif = NewFile(2, 1, 1);
  auto& frame = AddFrame(*gif, 2, 1, 1, Hex({0}));
  const Bytes netscape = Cat({Hex({0x21, 0xFF, 0x0B}), Text("NETSCAPE2.0")});
  frame.SetLoopCount(0);
  EXPECT_EQ(Occurrences(Save(*gif), Cat({netscape, Hex({3, 1, 0, 0, 0})})), 1);
  frame.SetLoopCount(300);  // replaces the block
  frame.SetDelay(10);       // a new graphic control: disposal 2
  Bytes bytes = Save(*gif);
  EXPECT_EQ(Occurrences(bytes, netscape), 1);
  EXPECT_EQ(Occurrences(bytes, Cat({netscape, Hex({3, 1, 0x2C, 1, 0})})), 1);
  EXPECT_EQ(Occurrences(bytes, Hex({0x21, 0xF9, 4, 8, 10, 0, 0, 0})), 1);
  frame.SetDisposal(1);
  EXPECT_EQ(Occurrences(Save(*gif), Hex({0x21, 0xF9, 4, 4, 10, 0, 0, 0})), 1);
}

TEST(GifWriterBytes, ScreenPackedByteCarriesResolutionAndTableSize) {
  auto gif = NewFile(256, 3, 4);
  AddFrame(*gif, 256, 1, 1, Hex({0}));
  const Bytes bytes = Save(*gif);
  EXPECT_EQ(bytes[10], 0xF7);
  EXPECT_EQ(bytes.size(), 13u + 768u + 10u + 1u + 5u + 1u + 1u);  // three 9-bit codes in 4 bytes
  gif->GlobalTable().SetCount(3);
  EXPECT_EQ(ErrorText<EGifException>([&] { Save(*gif); }), "unexpected number of colors");
  EXPECT_EQ(TGifSubImage(16, gif.get()).LzwMinCodeSize(), 4);
  EXPECT_EQ(ErrorText<EGifException>([&] { TGifSubImage bad(3, gif.get()); }),
            "Number of colors (3) wrong; must be a power of 2");
}

TEST(GifWriterBytes, LongCommentLinesAreCutAndEmptyLinesLeftOut) {
  auto gif = NewFile(2, 1, 1);
  AddFrame(*gif, 2, 1, 1, Hex({0}));
  gif->SetComments({std::string(300, 'x'), "", "ok"});
  const Bytes bytes = Save(*gif);
  const Bytes tail = Cat({Hex({0x21, 0xFE, 255}), Bytes(255, 'x'), Hex({2}), Text("ok"), Hex({0, 0x3B})});
  ASSERT_GE(bytes.size(), tail.size());
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), bytes.end() - static_cast<std::ptrdiff_t>(tail.size())));
  auto back = Load(bytes);
  ASSERT_EQ(back->ImageCount(), 2);
  EXPECT_EQ(*back->GetSubImage(2)->GetComments(), (std::vector<std::string>{std::string(255, 'x'), "ok"}));
}

TEST(GifWriterBytes, CancelledWriteStillEndsWithTheTrailer) {
  auto gif = NewFile(4, 2, 2);
  for (int i = 0; i < 10; ++i) AddFrame(*gif, 4, 2, 2, Hex({i % 4, 1, 2, 3}));
  std::vector<std::pair<WPARAM, LPARAM>> messages;
  TWindowHandle canceller([&](TMessage& m) {
    messages.emplace_back(m.WParam, m.LParam);
    if (m.WParam == 2) CancelFlag = 1;
  });
  gif->SetProgressWindow(canceller.Handle());
  CancelFlag = 0;
  const Bytes bytes = Save(*gif);
  CancelFlag = 0;
  EXPECT_EQ(messages, (std::vector<std::pair<WPARAM, LPARAM>>{{0, 9}, {1, 9}, {2, 9}}));
  EXPECT_EQ(bytes.back(), 0x3B);
  auto back = Load(bytes);
  ASSERT_EQ(back->ImageCount(), 3);
  EXPECT_EQ(PixelsOf(*back->GetSubImage(3)), Hex({2, 1, 2, 3}));
}

// ---- Reading ----------------------------------------------------------------------------------------

TEST(GifReaderErrors, UpperCaseVersionsReadAndOthersAreRefused) {
  Bytes bytes = TinyFile(Hex({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 1, 0, 0x3B}));
  bytes[5] = 'A';
  EXPECT_EQ(Load(bytes)->ImageCount(), 1);
  bytes[4] = '7';
  bytes[5] = 'a';
  EXPECT_EQ(Load(bytes)->Version(), "87a");
  bytes[4] = '0';
  EXPECT_EQ(LoadError(bytes), "Gif Version must be 87a or 89a");
  EXPECT_THROW(Load(Text("GIF")), EGifException);
  EXPECT_EQ(LoadError(TinyFile(Hex({0x21, 0xF8, 0}))), "Unrecognized extension block.\r\nCode = $F8");
}

TEST(GifReaderBlocks, FramesKeepTheirAttributesAndATrailingCommentBecomesAnExtensionOnlyFrame) {
  const Bytes bytes = RichFile();
  auto gif = Load(bytes);
  ASSERT_EQ(gif->ImageCount(), 4);
  EXPECT_TRUE(gif->GetSubImage(0) == nullptr && gif->GetSubImage(5) == nullptr);
  const TGifSubImage* last = gif->GetSubImage(4);
  EXPECT_EQ(last->Pixels(), nullptr);
  EXPECT_EQ(*last->GetComments(), (std::vector<std::string>{"made by a test", "second line"}));
  EXPECT_EQ(Save(*gif), bytes);  // the comment block still stands before the trailer
  const TGifSubImage& first = *gif->GetSubImage(1);
  EXPECT_EQ(std::tuple(first.GetDelay(), first.Transparent(), first.TransparentIndex()), std::tuple(25, true, 3));
  EXPECT_EQ(first.GetTransparentColor(), RGB(9, 15, 21));
  const TGifSubImage& second = *gif->GetSubImage(2);
  EXPECT_EQ(std::tuple(second.HasLocalTable(), second.LocalTable().Count(), second.LocalTable().ColorOf(5)),
            std::tuple(true, 8, RGB(205, 1, 2)));
  EXPECT_EQ(std::tuple(second.Disposal(), second.Left(), second.Top()), std::tuple(2, 4, 3));
  EXPECT_EQ(std::pair(gif->GetSubImage(3)->Interlaced(), gif->GetSubImage(3)->Disposal()), std::pair(true, 3));
  EXPECT_EQ(std::pair(gif->LargestWidth(), gif->LargestHeight()), std::pair(20, 12));
}

TEST(GifReaderBlocks, ReadingStopsAtTheTrailerAndReportsProgress) {
  const Bytes file = RichFile();
  ProgressLog log;
  TGifFile gif;
  EXPECT_EQ(ReadInto(gif, Cat({file, Text("GIF89a and anything else")}), log.window.Handle()),
            static_cast<std::int64_t>(file.size()));
  EXPECT_EQ(gif.ImageCount(), 4);
  EXPECT_EQ(gif.BytesRead(), static_cast<std::int64_t>(file.size()));
  // Progress follows the position against the stream size, then ends with 1 of 1.
  ASSERT_GE(log.messages.size(), 2u);
  EXPECT_EQ(log.messages.back(), (std::pair<WPARAM, LPARAM>{1, 1}));
  for (std::size_t i = 0; i + 1 < log.messages.size(); ++i)
    EXPECT_EQ(log.messages[i].second, static_cast<LPARAM>(file.size() + 24));
}

TEST(GifReaderBlocks, AFormatErrorKeepsEarlierFramesAndStillReportsTheEnd) {
  Bytes bytes = RichFile();
  bytes.pop_back();
  bytes.insert(bytes.end(), {0x21, 0x07, 0x3B});
  ProgressLog log;
  TGifFile gif;
  EXPECT_THROW(ReadInto(gif, bytes, log.window.Handle()), EGifException);
  EXPECT_EQ(gif.ImageCount(), 3);
  EXPECT_EQ(log.messages.back(), (std::pair<WPARAM, LPARAM>{1, 1}));
  EXPECT_EQ(gif.BytesRead(), static_cast<std::int64_t>(bytes.size()) - 1);
}

TEST(GifReaderBlocks, ZeroSizeImageKeepsItsCodedData) {
  const Bytes bytes = TinyFile(Hex({0x2C, 0, 0, 0, 0, 0, 0, 5, 0, 0, 2, 3, 0x11, 0x22, 0x33, 0, 0x3B}));
  auto gif = Load(bytes);
  ASSERT_EQ(gif->ImageCount(), 1);
  EXPECT_EQ(gif->GetSubImage(1)->Pixels()->Size(), 0);
  EXPECT_EQ(Save(*gif), bytes);
}

TEST(GifReaderBlocks, EmptyDataAndBlocksCutByTheEndOfTheFile) {
  // An image whose data is only the terminator decodes to zeros, and the next image is read.
  auto gif = Load(TinyFile(Hex({0x2C, 0, 0, 0, 0, 3, 0, 1, 0, 0, 2, 0,                 //
                                0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 1, 0, 0x3B}), 3));
  ASSERT_EQ(gif->ImageCount(), 2);
  EXPECT_EQ(PixelsOf(*gif->GetSubImage(1)), Hex({0, 0, 0}));
  EXPECT_EQ(gif->GetSubImage(1)->LzwData().Count(), 0);
  EXPECT_EQ(PixelsOf(*gif->GetSubImage(2)), Hex({1}));
  // A length past the end of the file keeps the bytes that are there, in a block of their own.
  const Bytes cut = TinyFile(Hex({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 1, 0x4C, 200, 0x01, 0x02}));
  gif = std::make_unique<TGifFile>();
  EXPECT_EQ(ReadInto(*gif, cut), static_cast<std::int64_t>(cut.size()));
  ASSERT_EQ(gif->ImageCount(), 1);
  const TByteBuffer& data = gif->GetSubImage(1)->LzwData();
  EXPECT_EQ(data.Bytes(), Hex({0x4C, 0x01, 0x02}));
  EXPECT_EQ(std::tuple(data.SubBlockCount(), data.SubBlockLength(0), data.SubBlockLength(1)), std::tuple(2, 1, 2));
  EXPECT_EQ(PixelsOf(*gif->GetSubImage(1)), Hex({1}));
}

TEST(GifReaderBlocks, DataOfManyBlocksIsReadWholeAndCutAnywhere) {
  // Noise codes to a few hundred kilobytes: thousands of blocks, read in pieces.
  std::mt19937 rng(5);
  auto gif = NewFile(256, 500, 400);
  Bytes noise(500 * 400);
  for (auto& p : noise) p = static_cast<std::uint8_t>(rng());
  AddFrame(*gif, 256, 500, 400, noise);
  AddFrame(*gif, 256, 2, 1, Hex({7, 9}));
  const Bytes bytes = Save(*gif);
  auto back = Load(bytes);
  ASSERT_EQ(back->ImageCount(), 2);
  EXPECT_EQ(PixelsOf(*back->GetSubImage(1)), noise);
  EXPECT_EQ(PixelsOf(*back->GetSubImage(2)), Hex({7, 9}));
  EXPECT_EQ(Save(*back), bytes);
  // Cut inside blocks, on block boundaries and around the pieces the reader takes.
  const std::size_t dataStart = 13 + 768 + 10 + 1;
  for (std::size_t length : {dataStart, dataStart + 1, dataStart + 256, dataStart + 257, dataStart + 65535,
                             dataStart + 65536, dataStart + 65537, dataStart + 65536 + 300,
                             bytes.size() - 20 /* all but the terminator */}) {
    const Bytes part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
    gif = std::make_unique<TGifFile>();
    EXPECT_EQ(ReadInto(*gif, part), static_cast<std::int64_t>(length));
    ASSERT_EQ(gif->ImageCount(), 1) << length;
    const TByteBuffer& data = gif->GetSubImage(1)->LzwData();
    // Blocks of 255 bytes after their length byte, the last one cut.
    const auto k = static_cast<std::int64_t>(length - dataStart);
    EXPECT_EQ(data.Count(), 255 * (k / 256) + std::max<std::int64_t>(k % 256 - 1, 0)) << length;
    const Bytes pixels = PixelsOf(*gif->GetSubImage(1));
    const auto end = std::mismatch(pixels.begin(), pixels.end(), noise.begin()).first;
    EXPECT_GE(end - pixels.begin(), static_cast<std::ptrdiff_t>(data.Count()) * 8 / 12 - 2) << length;
    EXPECT_TRUE(std::all_of(end, pixels.end(), [](std::uint8_t p) { return p == 0; })) << length;
  }
}

// ---- Round trips ------------------------------------------------------------------------------------

TEST(GifRoundTrips, RandomFramesOfManySizesAndColourCounts) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 60; ++round) {
    const int globalColors = 2 << (rng() % 8);
    auto gif = NewFile(globalColors, 100, 100);
    const int frames = 1 + static_cast<int>(rng() % 4);
    std::vector<Bytes> expected;
    for (int f = 0; f < frames; ++f) {
      const int width = 1 + static_cast<int>(rng() % (round % 10 == 0 ? 400 : 70));
      const int height = 1 + static_cast<int>(rng() % (round % 10 == 0 ? 300 : 70));
      const bool local = rng() % 3 == 0;
      const int colors = local ? 2 << (rng() % 8) : globalColors;
      const Bytes pixels = RandomPixels(rng, static_cast<std::size_t>(width) * height, colors);
      auto& frame = AddFrame(*gif, colors, width, height, pixels, static_cast<int>(rng() % 30),
                             static_cast<int>(rng() % 30));
      frame.SetLocalTableFlag(local);
      frame.SetInterlaced(rng() % 4 == 0);
      if (rng() % 2) frame.SetDelay(static_cast<int>(rng() % 500));
      expected.push_back(pixels);
    }
    const Bytes bytes = Save(*gif);
    auto back = Load(bytes);
    ASSERT_EQ(back->ImageCount(), frames) << round;
    for (int f = 0; f < frames; ++f) {
      const TGifSubImage& a = *gif->GetSubImage(f + 1);
      const TGifSubImage& b = *back->GetSubImage(f + 1);
      ASSERT_EQ(PixelsOf(b), expected[static_cast<std::size_t>(f)]) << round << "/" << f;
      EXPECT_EQ(std::tuple(b.Left(), b.Interlaced(), b.GetDelay()), std::tuple(a.Left(), a.Interlaced(), a.GetDelay()));
      EXPECT_EQ(b.ActiveTable().ColorOf(1), a.ActiveTable().ColorOf(1));
    }
    EXPECT_EQ(Save(*back), bytes) << round;
  }
}

TEST(GifRoundTrips, InterlacedFramesOfOneToTenRowsAreStoredInPassOrder) {
  auto rowOf = [](int y) { return Hex({y, 16 + y}); };  // two pixels naming their row
  for (int height = 1; height <= 10; ++height) {
    auto gif = NewFile(32, 2, height);
    Bytes pixels, passOrder;
    for (int y = 0; y < height; ++y) pixels = Cat({pixels, rowOf(y)});
    for (int y : InterlacedRowOrder(height)) passOrder = Cat({passOrder, rowOf(y)});
    AddFrame(*gif, 32, 2, height, pixels).SetInterlaced(true);
    auto back = Load(Save(*gif));
    ASSERT_EQ(back->ImageCount(), 1);
    EXPECT_TRUE(back->GetSubImage(1)->Interlaced());
    EXPECT_EQ(PixelsOf(*back->GetSubImage(1)), pixels) << height;
    const TByteBuffer& data = gif->GetSubImage(1)->LzwData();
    Bytes stored(pixels.size());
    LzwDecode(data.Bytes().data(), data.Count(), 5, stored.data(), 2 * height);
    EXPECT_EQ(stored, passOrder) << height;
  }
}

// ---- Hostile files ------------------------------------------------------------------------------------

TEST(GifHostileFiles, TruncatedAnywhereEndsQuietlyWithTheFramesBeforeTheCut) {
  const Bytes full = RichFile();
  auto reference = Load(full);
  for (std::size_t length = 0; length < full.size(); ++length) {
    const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
    std::unique_ptr<TGifFile> gif;
    try {
      gif = Load(cut);
    } catch (const EGifException& e) {
      ASSERT_LT(length, 6u) << e.Message();
      continue;
    }
    ASSERT_LE(gif->ImageCount(), reference->ImageCount()) << length;
    for (int i = 1; i <= gif->ImageCount(); ++i) {
      const TGifSubImage& image = *gif->GetSubImage(i);
      if (image.Pixels() == nullptr) continue;
      ASSERT_EQ(image.Width(), reference->GetSubImage(i)->Width());
      ASSERT_EQ(image.Pixels()->Size(), reference->GetSubImage(i)->Pixels()->Size());
    }
    // Whatever was read can be written again.
    if (length >= 13) Save(*gif);
  }
}

TEST(GifHostileFiles, RandomlyDamagedFilesFailOnlyWithClearExceptions) {
  const Bytes full = RichFile();
  std::mt19937 rng(77);
  for (int round = 0; round < 1500; ++round) {
    Bytes bytes = full;
    const int damage = 1 + static_cast<int>(rng() % 6);
    for (int k = 0; k < damage; ++k) bytes[6 + rng() % (bytes.size() - 6)] = static_cast<std::uint8_t>(rng());
    try {
      auto gif = Load(bytes);
      for (int i = 1; i <= gif->ImageCount(); ++i) {
        TGifSubImage& image = *gif->GetSubImage(i);
        if (image.Pixels() == nullptr) continue;
        ASSERT_EQ(image.Pixels()->Size(), std::int64_t{image.Width()} * image.Height());
      }
      TBitmap target;
      for (int i = 0; i < 5; ++i) gif->DrawNextFrame(target);
    } catch (const EGifException&) {
    } catch (const ENotEnoughMemory&) {
    }
  }
}

TEST(GifHostileFiles, FramesFarOffTheScreenDoNotMakeHugeCompositions) {
  auto gif = NewFile(4, 1, 1);
  AddFrame(*gif, 4, 1, 1, Hex({0}), 60000, 60000);
  auto back = Load(Save(*gif));
  TBitmap target;
  EXPECT_THROW(back->DrawNextFrame(target), ENotEnoughMemory);
}

TEST(GifHostileFiles, BadCodeSizesAndCodesAreRefused) {
  for (int size : {0, 1, 10, 12, 255})
    EXPECT_EQ(LoadError(TinyFile(Hex({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, size, 2, 0x4C, 1, 0, 0x3B}))), "Bad code Size")
        << size;
  // Clear, 1, then 7 while the next free code is 6 (3-bit codes 4, 1, 7, 5).
  const int packed = 4 | (1 << 3) | (7 << 6) | (5 << 9);
  EXPECT_EQ(LoadError(TinyFile(Hex({0x2C, 0, 0, 0, 0, 4, 0, 1, 0, 0, 2, 2, packed & 0xFF, packed >> 8, 0, 0x3B}), 4)),
            "Bad code");
}

TEST(GifHostileFiles, HugeDimensionsAreRefusedBeforeAllocating) {
  EXPECT_EQ(ErrorText<ENotEnoughMemory>(
                [] { Load(TinyFile(Hex({0x2C, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 2, 2, 0x4C, 1, 0, 0x3B}))); }),
            "error in TBigByteArray.create: Not enough contiguous memory available\r\n"
            " requested memory block: 4294836225 bytes");
  // A few bytes cannot stand for a large image: 65535 x 1024 pixels without data are refused,
  Bytes wide = {0x2C, 0, 0, 0, 0, 0xFF, 0xFF, 0x00, 0x04, 0, 2, 0};
  EXPECT_THROW(Load(TinyFile(Cat({wide, wide, Hex({0x3B})}))), ENotEnoughMemory);
  // while a short image of a few megapixels keeps zeros for what is missing.
  const auto shortImage = Load(TinyFile(Hex({0x2C, 0, 0, 0, 0, 0x00, 0x08, 0x00, 0x08, 0, 2, 2, 0x4C, 1, 0, 0x3B})));
  ASSERT_EQ(shortImage->ImageCount(), 1);
  EXPECT_EQ(PixelsOf(*shortImage->GetSubImage(1)).size(), 2048u * 2048u);
}

TEST(GifHostileFiles, InterlacedDataCutShortFillsTheRowsItReaches) {
  std::mt19937 rng(9);
  auto gif = NewFile(256, 16, 16);
  const Bytes pixels = RandomPixels(rng, 256, 256);
  AddFrame(*gif, 256, 16, 16, pixels).SetInterlaced(true);
  Bytes bytes = Save(*gif);
  bytes.resize(13 + 768 + 10 + 1 + 1 + 60);
  auto back = Load(bytes);
  ASSERT_EQ(back->ImageCount(), 1);
  // In pass order: the pixels sent, then zeros from where the data ends.
  const Bytes got = PixelsOf(*back->GetSubImage(1));
  Bytes gotInPasses, sentInPasses;
  for (int row : InterlacedRowOrder(16)) {
    gotInPasses.insert(gotInPasses.end(), got.begin() + row * 16, got.begin() + row * 16 + 16);
    sentInPasses.insert(sentInPasses.end(), pixels.begin() + row * 16, pixels.begin() + row * 16 + 16);
  }
  const auto end = std::mismatch(gotInPasses.begin(), gotInPasses.end(), sentInPasses.begin()).first;
  EXPECT_GT(end - gotInPasses.begin(), 16);
  EXPECT_LT(end - gotInPasses.begin(), 240);
  EXPECT_TRUE(std::all_of(end, gotInPasses.end(), [](std::uint8_t p) { return p == 0; }));
}

// ---- Frame attributes --------------------------------------------------------------------------------

TEST(GifFrameAttributes, TransparencyByIndexOrNearestColourSetsTheControlBlock) {
  auto gif = NewFile(4, 1, 1);
  auto& frame = AddFrame(*gif, 4, 1, 1, Hex({0}));
  frame.SetTransparent(0);  // a new graphic control: disposal 2
  EXPECT_EQ(std::pair(frame.Extensions()[0]->Packed(), frame.GetTransparentColor()), std::pair(std::uint8_t{8}, kNoTransparentColor));
  frame.SetTransparentIndex(2);
  EXPECT_EQ(std::pair(frame.Extensions()[0]->Packed(), frame.GetTransparentColor()), std::pair(std::uint8_t{9}, RGB(6, 10, 14)));
  frame.SetTransparent(0);
  frame.SetTransparentColor(RGB(8, 11, 13));  // the nearest entry of the global table
  EXPECT_EQ(std::pair(frame.TransparentIndex(), frame.Transparent()), std::pair(2, true));
  auto& other = AddFrame(*gif, 4, 1, 1, Hex({0}));
  other.SetTransparentColor(RGB(3, 5, 7));
  EXPECT_EQ(other.Extensions()[0]->Fixed(), Hex({4, 9, 0, 0, 1, 0}));
  // The colour of the index comes from the local table when there is one.
  other.SetLocalTableFlag(true);
  other.LocalTable().SetTriple(1, 200, 100, 50);
  EXPECT_EQ(other.GetTransparentColor(), RGB(200, 100, 50));
}

TEST(GifFrameAttributes, NewCommentsAndExtensionListsReplaceTheOldOnes) {
  auto gif = NewFile(4, 1, 1);
  auto& frame = AddFrame(*gif, 4, 1, 1, Hex({0}));
  frame.SetComments({});
  EXPECT_TRUE(frame.Extensions().empty());
  frame.SetComments({"a"});
  frame.SetComments({"b", "c"});
  ASSERT_EQ(frame.Extensions().size(), 1u);
  EXPECT_EQ(*frame.GetComments(), (std::vector<std::string>{"b", "c"}));
  gif->SetComments({});  // no lines: no comment frame
  gif->SetComments({"file"});
  gif->SetComments({"again"});
  ASSERT_EQ(gif->ImageCount(), 2);
  EXPECT_EQ(*gif->GetSubImage(2)->GetComments(), (std::vector<std::string>{"again"}));
  // Disposal and transparency come from the last graphic control of a new list.
  TExtensionList list;
  for (int packed : {4 << 2, (3 << 2) | 1}) {
    list.push_back(std::make_unique<TExtension>(ekGraphicControl));
    list.back()->SetPacked(static_cast<std::uint8_t>(packed));
  }
  frame.SetExtensions(std::move(list));
  EXPECT_EQ(std::pair(frame.Disposal(), frame.Transparent()), std::pair(3, true));
  frame.SetExtensions({});
  EXPECT_EQ(std::pair(frame.Disposal(), frame.Transparent()), std::pair(0, false));
}

// ---- Bitmaps ------------------------------------------------------------------------------------------

TEST(GifFrameBitmaps, BmpOfThreeByTwoFrame) {
  auto gif = NewFile(8, 3, 2);
  auto& frame = AddFrame(*gif, 8, 3, 2, Hex({1, 2, 3, 4, 5, 6}));
  TMemoryStream stream;
  stream.WriteBuffer("junk", 4);
  frame.SaveAsBMP(stream);
  EXPECT_EQ(stream.Position(), 0);
  // 8 bits with the table's 8 colours among 256 entries; 143 pixels per metre; the bottom row first.
  std::string table;
  for (int i = 0; i < 8; ++i) table += Quads({gif->GlobalTable().ColorOf(i)});
  table.resize(1024, '\0');
  EXPECT_EQ(std::string(stream.Bytes().begin(), stream.Bytes().end()),
            (BmpTestFile{.width = 3, .bits = 8, .xRes = 143, .yRes = 143, .table = table, .pixels = {4, 5, 6, 0, 1, 2, 3, 0}}
                 .Build()));
  // A frame without pixels writes nothing.
  TGifSubImage holder(gif.get());
  TMemoryStream empty;
  holder.SaveAsBMP(empty);
  EXPECT_EQ(empty.Size(), 0);
  EXPECT_EQ(holder.GetBitmap(), nullptr);
}

namespace {

// An 8-bit bitmap with the given palette and indices.
std::unique_ptr<TBitmap> Bitmap8(const std::vector<TColor>& colors, int width, int height, const Bytes& indices) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf8bit);
  std::vector<TPaletteEntry> entries;
  for (TColor c : colors) entries.push_back(PaletteEntryOf(c));
  bitmap->SetPalette(TPalette(entries));
  bitmap->SetSize(width, height);
  for (int y = 0; y < height; ++y)
    std::memcpy(bitmap->ScanLine(y), indices.data() + static_cast<std::size_t>(y) * width, static_cast<std::size_t>(width));
  return bitmap;
}

}  // namespace

TEST(GifFramesFromBitmaps, FirstTableBecomesGlobalAndLaterFramesShareIt) {
  TGifFile gif;
  gif.AddGraphic(*Bitmap8({clRed, clLime, clBlue}, 3, 2, Hex({0, 1, 2, 2, 1, 0})));
  ASSERT_EQ(gif.ImageCount(), 1);
  EXPECT_EQ(gif.GlobalTable().Count(), 4);  // three colours and one more, rounded
  EXPECT_EQ(gif.GlobalColorBits(), 2);
  EXPECT_EQ(std::pair(gif.GlobalTable().ColorOf(0), gif.GlobalTable().ColorOf(2)), std::pair(clRed, clBlue));
  EXPECT_EQ(PixelsOf(*gif.GetSubImage(1)), Hex({0, 1, 2, 2, 1, 0}));
  EXPECT_EQ(std::pair(gif.ScreenWidth(), gif.ScreenHeight()), std::pair(3, 2));

  gif.AddGraphic(*Bitmap8({clBlue, clRed}, 4, 1, Hex({0, 1, 1, 0})));
  ASSERT_EQ(gif.ImageCount(), 2);
  EXPECT_FALSE(gif.GetSubImage(2)->HasLocalTable());
  EXPECT_EQ(gif.ScreenWidth(), 4);
  EXPECT_EQ(PixelsOf(*Load(Save(gif))->GetSubImage(2)), Hex({2, 0, 0, 2}));
  // True-colour graphics are converted first.
  TBitmap graphic;
  MakePattern(graphic, 2, 1, [](int x, int) { return x == 0 ? clRed : clBlue; });
  gif.AddGraphic(graphic);
  const TBitmap* third = gif.GetSubImage(3)->GetBitmap();
  EXPECT_EQ(std::tuple(third->PixelFormat(), third->Pixel(0, 0), third->Pixel(1, 0)), std::tuple(pf8bit, clRed, clBlue));
}

TEST(GifFramesFromBitmaps, IndicesNeverReachPastTheSharedTable) {
  TGifFile gif;
  gif.AddGraphic(*Bitmap8({clRed, clWhite}, 2, 1, Hex({0, 1})));
  ASSERT_EQ(gif.GlobalTable().Count(), 4);
  // 256 palette entries, mostly black, and colours the shared table lacks.
  std::vector<TColor> palette(256, clBlack);
  palette[10] = RGB(250, 10, 10);
  palette[11] = RGB(240, 240, 250);
  gif.AddGraphic(*Bitmap8(palette, 4, 1, Hex({10, 11, 12, 200})));
  std::vector<TColor> colours;
  for (std::uint8_t index : PixelsOf(*gif.GetSubImage(2))) {
    ASSERT_LT(index, gif.GlobalTable().Count());
    colours.push_back(gif.GlobalTable().ColorOf(index));
  }
  EXPECT_EQ(colours, (std::vector<TColor>{clRed, clWhite, clBlack, clBlack}));
}

TEST(GifFramesFromBitmaps, DifferentPalettesGiveEachFrameItsOwnTable) {
  TGifFile gif;
  gif.SetDifferentPalettes(true);
  gif.AddGraphic(*Bitmap8({clRed, clLime, clBlue}, 3, 1, Hex({2, 2, 0})));
  gif.AddGraphic(*Bitmap8({clYellow, clAqua}, 2, 2, Hex({1, 0, 0, 1})));
  ASSERT_EQ(gif.ImageCount(), 2);
  // Colours in the order the pixels show them.
  EXPECT_EQ(std::pair(gif.GlobalTable().ColorOf(0), gif.GlobalTable().ColorOf(1)), std::pair(clBlue, clRed));
  EXPECT_EQ(PixelsOf(*gif.GetSubImage(1)), Hex({0, 0, 1}));
  const TGifSubImage& second = *gif.GetSubImage(2);
  ASSERT_TRUE(second.HasLocalTable());
  EXPECT_EQ(second.LocalTable().Count(), 4);
  EXPECT_EQ(std::pair(second.LocalTable().ColorOf(0), second.LocalTable().ColorOf(1)), std::pair(clAqua, clYellow));
  EXPECT_EQ(PixelsOf(second), Hex({0, 1, 1, 0}));
  EXPECT_EQ(Load(Save(gif))->GetSubImage(2)->GetBitmap()->Pixel(1, 0), clYellow);
}

// ---- Playback -------------------------------------------------------------------------------------------

namespace {

// A 4 x 4 screen; global table: 0 red, 1 green, 2 blue, 3 green again.
std::unique_ptr<TGifFile> PlaybackFile() {
  auto gif = NewFile(4, 4, 4);
  for (int i = 0; i < 4; ++i) gif->GlobalTable().SetColor(i, i == 0 ? clRed : i == 2 ? clBlue : clLime);
  gif->GlobalTable().ColorsToTriples();
  return gif;
}

// The picture as letters, rows separated by '/': R red, G green, B blue, W white, ? anything else.
std::string Picture(const TBitmap& b) {
  std::string s;
  for (int y = 0; y < b.Height(); ++y) {
    if (y > 0) s += '/';
    for (int x = 0; x < b.Width(); ++x) {
      const TColor c = b.Pixel(x, y);
      s += c == clRed ? 'R' : c == clLime ? 'G' : c == clBlue ? 'B' : c == clWhite ? 'W' : '?';
    }
  }
  return s;
}

}  // namespace

TEST(GifPlayback, FileWithoutImagesDrawsNothing) {
  TGifFile gif;
  TBitmap target;
  target.SetSize(2, 2);
  gif.DrawNextFrame(target);
  gif.GetFrameBitmap(1, target);
  EXPECT_EQ(target.Width(), 2);
  EXPECT_FALSE(gif.TakeLooped());
}

TEST(GifPlayback, TransparencyComesFromTheIndexNotTheColour) {
  auto gif = PlaybackFile();
  AddFrame(*gif, 4, 2, 1, Hex({0, 0}));
  AddFrame(*gif, 4, 2, 1, Hex({1, 3})).SetTransparentIndex(3);  // 1 and 3 are both green
  TBitmap target;
  gif->GetFrameBitmap(2, target);
  EXPECT_EQ(Picture(target), "GR");
}

TEST(GifPlayback, FirstFrameFillsWithItsTransparentColourOrWhite) {
  auto gif = PlaybackFile();
  AddFrame(*gif, 4, 1, 1, Hex({0}));
  AddFrame(*gif, 4, 1, 1, Hex({1}), 2, 1);
  TBitmap target;
  gif->DrawNextFrame(target);
  EXPECT_EQ(Picture(target), "RWW/WWW");  // covers left + width of the second frame
  gif->GetSubImage(1)->SetTransparentIndex(2);
  gif->SetFrameCounter(1);
  gif->DrawNextFrame(target);
  EXPECT_EQ(Picture(target), "RBB/BBB");
}

TEST(GifPlayback, DisposalTwoClearsAndThreeRestoresWhatWasUnderTheFrame) {
  auto gif = PlaybackFile();
  AddFrame(*gif, 4, 4, 4, Bytes(16, 0));
  AddFrame(*gif, 4, 2, 2, Bytes(4, 1), 1, 1).SetDisposal(2);
  AddFrame(*gif, 4, 1, 1, Hex({2}));
  TBitmap target;
  gif->GetFrameBitmap(2, target);
  EXPECT_EQ(Picture(target), "RRRR/RGGR/RGGR/RRRR");
  gif->GetFrameBitmap(3, target);
  EXPECT_EQ(Picture(target), "BRRR/RWWR/RWWR/RRRR");

  gif = PlaybackFile();
  AddFrame(*gif, 4, 4, 4, Bytes(16, 0));
  AddFrame(*gif, 4, 4, 1, Bytes(4, 2), 0, 2);                 // a blue row, kept
  AddFrame(*gif, 4, 2, 2, Bytes(4, 1), 1, 1).SetDisposal(3);  // green, then taken away
  AddFrame(*gif, 4, 1, 1, Hex({2}));
  gif->GetFrameBitmap(3, target);
  EXPECT_EQ(Picture(target), "RRRR/RGGR/BGGB/RRRR");
  gif->GetFrameBitmap(4, target);
  EXPECT_EQ(Picture(target), "BRRR/RRRR/BBBB/RRRR");
}

TEST(GifPlayback, FramesComeInOrderAndWrapWithTheLoopedFlagAndFrameBitmapsAreTheFrameAskedFor) {
  auto gif = PlaybackFile();
  for (int i = 0; i < 3; ++i) AddFrame(*gif, 4, 1, 1, Hex({i}));
  TBitmap target;
  for (int call = 0; call < 4; ++call) {
    gif->DrawNextFrame(target);
    EXPECT_EQ(Picture(target), std::string(1, "RGBR"[call])) << call;
    EXPECT_EQ(std::tuple(gif->LastComposedFrame(), target.PixelFormat(), target.Transparent()),
              std::tuple(call % 3 + 1, pf24bit, false));
    EXPECT_EQ(gif->TakeLooped(), call == 3);
  }
  for (auto [frame, expected] : {std::pair{2, "G"}, {2, "G"}, {3, "B"}, {1, "R"}}) {
    gif->GetFrameBitmap(frame, target);
    EXPECT_EQ(Picture(target), expected) << frame;
  }
  EXPECT_EQ(gif->FrameCounter(), 2);
  EXPECT_EQ(gif->GetBitmap()->Pixel(0, 0), clRed);
  EXPECT_FALSE(gif->TakeLooped());
}

// ---- Picture format and files ---------------------------------------------------------------------------

TEST(GifPlayback, ImagesOfZeroWidthOrHeightDoNotWidenTheComposition) {
  auto gif = PlaybackFile();
  AddFrame(*gif, 4, 2, 2, Hex({0, 1, 2, 0}));
  AddFrame(*gif, 4, 0, 774, Bytes{}, 65535, 0);  // zero width, far right
  AddFrame(*gif, 4, 3000, 0, Bytes{}, 0, 60000);  // zero height, far down
  AddFrame(*gif, 4, 1, 1, Hex({2}), 1, 1).SetDisposal(2);
  auto back = Load(Save(*gif));
  ASSERT_EQ(back->ImageCount(), 4);
  ASSERT_EQ(back->GetSubImage(2)->Left(), 65535);
  ASSERT_EQ(back->GetSubImage(2)->Height(), 774);
  TBitmap target;
  for (int frame = 1; frame <= 4; ++frame) {
    back->DrawNextFrame(target);
    EXPECT_EQ(target.Width(), 2) << frame;
    EXPECT_EQ(target.Height(), 2) << frame;
  }
  EXPECT_EQ(Picture(target), "RG/BB");
  back->GetFrameBitmap(2, target);
  EXPECT_EQ(Picture(target), "RG/BR");  // the empty images draw nothing
}

TEST(GifFiles, RegisteredAsPictureFormatAndSavedAndLoadedThroughFiles) {
  const TPictureFormat* format = FindFileFormat(".GIF");
  ASSERT_NE(format, nullptr);
  EXPECT_EQ(format->Description, "GIF-Format");
  TempDir dir;
  auto gif = PlaybackFile();
  AddFrame(*gif, 4, 2, 1, Hex({2, 1}));
  gif->SaveToFile(dir.File("a.gif"));
  TBitmap bitmap;
  ASSERT_TRUE(LoadPictureFile(dir.File("a.gif"), bitmap));
  EXPECT_EQ(Picture(bitmap), "BG");
  EXPECT_FALSE(LoadPictureFile(dir.File("a.xyz"), bitmap));
  TGifBitmap gifBitmap;
  TReadOnlyMemoryStream other("BM not a gif at all", 19);
  EXPECT_THROW(gifBitmap.LoadFromStream(other), EGifException);
  TGifFile back;
  back.LoadFromFile(dir.File("a.gif"));
  EXPECT_EQ(Save(back), Save(*gif));
  EXPECT_THROW(gif->SaveToFile(dir.File("missing/b.gif")), EStreamError);
}
