// Helpers of the export tests: a walker over the blocks of a GIF file (to
// check their order), our own reader for its images, and export frames.
#pragma once

#include "imaging/CreatePaletteU.h"
#include "imaging/GifUnit.h"
#include "imaging/MinGDIBitmapU.h"
#include "platform/Streams.h"
#include "tests/scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// One block of a GIF file in file order.
struct GifBlock {
  char type = 0;          // '!' extension, ',' image, ';' trailer
  std::uint8_t label = 0; // extension label
  std::string fixed;      // an application extension's first sub-block
  std::string data;       // the sub-blocks after it, joined
};

// The header and the blocks of a GIF file; fails the test on a malformed file.
inline std::vector<GifBlock> GifBlocks(const std::vector<std::uint8_t>& bytes, std::string* header = nullptr) {
  std::vector<GifBlock> blocks;
  std::size_t at = 0;
  auto need = [&](std::size_t n) {
    if (at + n > bytes.size()) throw std::runtime_error("GIF ends early");
  };
  auto subBlocks = [&](std::string& into) {
    for (;;) {
      need(1);
      const std::size_t length = bytes[at++];
      if (length == 0) return;
      need(length);
      into.append(reinterpret_cast<const char*>(bytes.data() + at), length);
      at += length;
    }
  };
  need(13);
  if (header != nullptr) *header = std::string(bytes.begin(), bytes.begin() + 6);
  const std::uint8_t packed = bytes[10];
  at = 13;
  if (packed & 0x80) at += 3u << ((packed & 7) + 1);
  for (;;) {
    need(1);
    GifBlock block;
    block.type = static_cast<char>(bytes[at++]);
    if (block.type == ';') {
      blocks.push_back(block);
      break;
    }
    if (block.type == '!') {
      need(1);
      block.label = bytes[at++];
      if (block.label == 0xFF) {
        need(1);
        const std::size_t length = bytes[at++];
        need(length);
        block.fixed.assign(reinterpret_cast<const char*>(bytes.data() + at), length);
        at += length;
      }
      subBlocks(block.data);
    } else if (block.type == ',') {
      need(10);
      const std::uint8_t descriptorPacked = bytes[at + 8];
      at += 9;
      if (descriptorPacked & 0x80) at += 3u << ((descriptorPacked & 7) + 1);
      need(1);
      ++at;  // LZW minimum code size
      subBlocks(block.data);
    } else {
      throw std::runtime_error("unknown GIF block");
    }
    blocks.push_back(block);
  }
  EXPECT_EQ(at, bytes.size()) << "bytes after the trailer";
  return blocks;
}

inline std::vector<std::uint8_t> GifBytes(TGifFile& gif) {
  TMemoryStream stream;
  gif.SaveToStream(stream);
  return stream.Bytes();
}

inline std::unique_ptr<TGifFile> ReadGif(const std::vector<std::uint8_t>& bytes) {
  auto gif = std::make_unique<TGifFile>();
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
  gif->LoadFromStream(stream);
  return gif;
}

// The images of a file (sub-images with pixels).
inline std::vector<TGifSubImage*> GifImages(TGifFile& gif) {
  std::vector<TGifSubImage*> images;
  for (int k = 1; k <= gif.ImageCount(); ++k)
    if (gif.GetSubImage(k)->Pixels() != nullptr) images.push_back(gif.GetSubImage(k));
  return images;
}

// An export frame of one colour (24-bit).
inline std::unique_ptr<TSetOfBitmapsItem> SolidItem(int w, int h, TColor color, int delay = 10) {
  auto item = std::make_unique<TSetOfBitmapsItem>();
  item->Bitmap = std::make_unique<TMinGDIBitmap>();
  item->Bitmap->SetPixelFormat(pf24bit);
  item->Bitmap->Canvas().Brush().Color = color;
  item->Bitmap->SetSize(w, h);
  item->Bitmap->Canvas().FillRect(Rect(0, 0, w, h));
  item->Delay = delay;
  return item;
}

// An 8-bit export frame with the palette, every pixel index 0 but the listed ones.
inline std::unique_ptr<TSetOfBitmapsItem> IndexedItem(int w, int h, const std::vector<TColor>& palette,
                                                      const std::vector<std::pair<TPoint, int>>& pixels = {}) {
  auto item = std::make_unique<TSetOfBitmapsItem>();
  item->Bitmap = std::make_unique<TMinGDIBitmap>();
  item->Bitmap->SetPixelFormat(pf8bit);
  std::vector<TPaletteEntry> entries;
  for (TColor c : palette) entries.push_back(PaletteEntryOf(c));
  item->Bitmap->SetPalette(TPalette(entries));
  item->Bitmap->SetSize(w, h);
  for (int y = 0; y < h; ++y) std::fill_n(item->Bitmap->ScanLine(y), w, 0);
  for (const auto& [p, index] : pixels) item->Bitmap->ScanLine(p.Y)[p.X] = static_cast<std::uint8_t>(index);
  return item;
}

// The names in a folder, sorted.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The largest difference of one channel between two pictures of one size
// (1000 for pictures of different sizes).
inline int LargestDifference(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return 1000;
  int largest = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const TColor p = a.Pixel(x, y), q = b.Pixel(x, y);
      largest = std::max({largest, std::abs(GetRValue(p) - GetRValue(q)), std::abs(GetGValue(p) - GetGValue(q)),
                          std::abs(GetBValue(p) - GetBValue(q))});
    }
  return largest;
}

// A 6 x 5 magenta ellipse on white (white is its key): a small sprite of one
// rare, saturated colour.
inline void MakeMagentaEllipse(TBitmap& picture) {
  MakeSolid(picture, 6, 5, clWhite);
  picture.Canvas().Brush().Color = clFuchsia;
  picture.Canvas().Pen().Color = clFuchsia;
  picture.Canvas().Ellipse(0, 0, 6, 5);
}

// A 50 x 20 block of a thousand colours: sliding by one pixel a step, most of
// its pixels change a little and its edges a lot.
inline void MakeThousandColours(TBitmap& picture) {
  MakeSolid(picture, 50, 20, clWhite);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 50; ++x)
      picture.SetPixel(x, y, RGB(static_cast<std::uint8_t>(5 * x), static_cast<std::uint8_t>(12 * y),
                                 static_cast<std::uint8_t>(255 - 5 * x)));
}
