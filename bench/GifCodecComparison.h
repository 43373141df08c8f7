// The LZW coder compared with giflib on the same frames: 100 frames of
// 640 x 480 8-bit pictures, banner-like or photographic, encoded and decoded
// by our coder alone and as whole files by both, timed on the thread's own
// processor time (best of five). Used by bench_gif_codec and by the goals
// that bench_export_gif prints.
#pragma once

#include "imaging/GifDecl.h"
#include "imaging/GifUnit.h"
#include "platform/Streams.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <vector>

#ifdef GC_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace gif_codec_comparison {


inline constexpr int kWidth = 640;
inline constexpr int kHeight = 480;
inline constexpr int kFrames = 100;
inline constexpr int kMinCodeSize = 8;

using Frame = std::vector<std::uint8_t>;

// Banner-like pictures: a banded gradient, moving shapes, a dithered patch
// and a strip of fine detail, in 256 colours.
inline std::vector<Frame> MakeFrames() {
  std::vector<Frame> frames;
  std::mt19937 rng(1);
  for (int f = 0; f < kFrames; ++f) {
    Frame pixels(static_cast<std::size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        auto& p = pixels[static_cast<std::size_t>(y) * kWidth + x];
        p = static_cast<std::uint8_t>(((x + f * 3) / 10 + y / 16) % 64);
        const int cx = (f * 5 + 100) % kWidth, cy = 240 + static_cast<int>(100 * std::sin(f * 0.1));
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < 60 * 60) p = static_cast<std::uint8_t>(64 + (x + y) % 8);
        if (x > 400 && x < 520 && y > 50 && y < 170) p = static_cast<std::uint8_t>(128 + (rng() & 15));
        if (y > 400 && y < 440) p = static_cast<std::uint8_t>(200 + ((x * 7 + y * 3 + f) % 40));
      }
    frames.push_back(std::move(pixels));
  }
  return frames;
}

// Photographic pictures: smooth light and shade with the fine noise of a
// camera, dithered into 256 colours, so that few pixel strings repeat.
inline std::vector<Frame> MakePhotoFrames() {
  std::vector<Frame> frames;
  std::mt19937 rng(7);
  std::normal_distribution<double> grain(0.0, 6.0);
  for (int f = 0; f < kFrames; ++f) {
    Frame pixels(static_cast<std::size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const double light = 128 + 60 * std::sin((x + 2 * f) * 0.013) * std::cos(y * 0.017) +
                             40 * std::sin((x + y) * 0.031 + f * 0.05) + 20 * std::cos(x * 0.11 - y * 0.07);
        const int level = static_cast<int>(light + grain(rng));
        pixels[static_cast<std::size_t>(y) * kWidth + x] = static_cast<std::uint8_t>(std::clamp(level, 0, 255));
      }
    frames.push_back(std::move(pixels));
  }
  return frames;
}

// Processor time of this thread: other programs running on the machine do
// not count.
inline double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

inline double MegabytesPerSecond(double seconds) {
  return static_cast<double>(kWidth) * kHeight * kFrames / 1e6 / seconds;
}

// Best of a few runs, so that a busy moment does not decide the figure.
template <typename Run>
inline double Best(Run run) {
  double best = 1e30;
  for (int i = 0; i < 5; ++i) {
    const double start = ThreadSeconds();
    run();
    best = std::min(best, ThreadSeconds() - start);
  }
  return best;
}

// The same pictures as one animated file of ours.
inline std::unique_ptr<TGifFile> OurFile(const std::vector<Frame>& frames) {
  auto gif = std::make_unique<TGifFile>();
  gif->GlobalTable() = TColorTable(256);
  gif->SetScreenWidth(kWidth);
  gif->SetScreenHeight(kHeight);
  for (const Frame& pixels : frames) {
    auto image = std::make_unique<TGifSubImage>(256, gif.get());
    auto matrix = std::make_unique<TByteArray2D>(kWidth, kHeight);
    std::memcpy(matrix->Data(), pixels.data(), pixels.size());
    image->SetPixels(std::move(matrix));
    gif->AddSubImage(std::move(image));
  }
  return gif;
}

#ifdef GC_HAVE_GIFLIB
inline int WriteToVector(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

struct Input {
  const std::vector<std::uint8_t>* bytes;
  std::size_t position;
};

inline int ReadFromVector(GifFileType* gif, GifByteType* data, int length) {
  auto* in = static_cast<Input*>(gif->UserData);
  const auto n = std::min<std::size_t>(static_cast<std::size_t>(length), in->bytes->size() - in->position);
  std::memcpy(data, in->bytes->data() + in->position, n);
  in->position += n;
  return static_cast<int>(n);
}

// The file into out, whose memory is kept from the run before.
inline void GiflibEncode(std::vector<Frame>& frames, std::vector<std::uint8_t>& out) {
  out.clear();
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
  ColorMapObject* map = GifMakeMapObject(256, nullptr);
  for (int i = 0; i < 256; ++i) map->Colors[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>(i), static_cast<GifByteType>(i)};
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map);
  for (Frame& pixels : frames) {
    EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr);
    for (int y = 0; y < kHeight; ++y) EGifPutLine(gif, pixels.data() + static_cast<std::size_t>(y) * kWidth, kWidth);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
}

inline std::size_t GiflibDecode(const std::vector<std::uint8_t>& bytes, std::vector<Frame>& frames) {
  Input input{&bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&input, ReadFromVector, &error);
  std::size_t count = 0;
  GifRecordType type;
  do {
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) break;
    if (type == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif) == GIF_ERROR) break;
      Frame& pixels = frames[count++ % frames.size()];
      for (int y = 0; y < kHeight; ++y) DGifGetLine(gif, pixels.data() + static_cast<std::size_t>(y) * kWidth, kWidth);
    } else if (type == EXTENSION_RECORD_TYPE) {
      int code;
      GifByteType* extension;
      DGifGetExtension(gif, &code, &extension);
      while (extension != nullptr) DGifGetExtensionNext(gif, &extension);
    }
  } while (type != TERMINATE_RECORD_TYPE);
  DGifCloseFile(gif, &error);
  return count;
}
#endif

// Prints the figures for the frames; returns how many times giflib's speed
// ours writes whole files at (0 without giflib).
inline double Compare(const char* kind, std::vector<Frame> frames) {
  const auto pixelCount = static_cast<std::int64_t>(kWidth) * kHeight;
  std::printf("%s: %d frames of %d x %d pixels (%.1f MB of pixels)\n", kind, kFrames, kWidth, kHeight,
              static_cast<double>(pixelCount) * kFrames / 1e6);

  // Our coder on its own.
  std::vector<TByteBuffer> encoded(frames.size());
  const double encodeSeconds = Best([&] {
    for (std::size_t i = 0; i < frames.size(); ++i)
      LzwEncode(frames[i].data(), pixelCount, kMinCodeSize, encoded[i]);
  });
  std::size_t codedBytes = 0;
  for (const auto& e : encoded) codedBytes += static_cast<std::size_t>(e.Count());
  std::vector<Frame> decoded(frames.size(), Frame(static_cast<std::size_t>(pixelCount)));
  const double decodeSeconds = Best([&] {
    for (std::size_t i = 0; i < frames.size(); ++i)
      LzwDecode(encoded[i].Bytes().data(), encoded[i].Count(), kMinCodeSize, decoded[i].data(), pixelCount);
  });
  if (decoded != frames) std::printf("our decoder gave different pixels!\n");
  std::printf("ours   LZW coder:  encode %7.1f MB/s, decode %7.1f MB/s (%zu coded bytes)\n",
              MegabytesPerSecond(encodeSeconds), MegabytesPerSecond(decodeSeconds), codedBytes);

  // Whole files of ours, as the program writes and reads them.
  std::vector<std::uint8_t> ourFileBytes;
  auto ourFile = OurFile(frames);
  // Both sides write into memory kept from the run before, so that what is
  // timed is the writing, not the system handing out fresh pages.
  TMemoryStream written;
  const double fileWriteSeconds = Best([&] {
    // Frames without coded data are encoded as they are written.
    for (int i = 1; i <= ourFile->ImageCount(); ++i) ourFile->GetSubImage(i)->LzwData().Clear();
    written.SetSize(0);
    ourFile->SaveToStream(written);
  });
  ourFileBytes = written.Bytes();
  // The file's bytes are in memory before the clock starts, as giflib's are.
  TMemoryStream fileStream;
  fileStream.WriteBuffer(ourFileBytes.data(), static_cast<std::int64_t>(ourFileBytes.size()));
  const double fileReadSeconds = Best([&] {
    fileStream.SetPosition(0);
    TGifFile gif;
    gif.LoadFromStream(fileStream);
  });
  std::printf("ours   whole file: write  %7.1f MB/s, read   %7.1f MB/s (%zu file bytes)\n",
              MegabytesPerSecond(fileWriteSeconds), MegabytesPerSecond(fileReadSeconds), ourFileBytes.size());

#ifdef GC_HAVE_GIFLIB
  std::vector<std::uint8_t> giflibBytes;
  const double giflibEncodeSeconds = Best([&] { GiflibEncode(frames, giflibBytes); });
  std::vector<Frame> giflibDecoded(frames.size(), Frame(static_cast<std::size_t>(pixelCount)));
  std::size_t images = 0;
  const double giflibDecodeSeconds = Best([&] { images = GiflibDecode(giflibBytes, giflibDecoded); });
  if (images != frames.size() || giflibDecoded != frames) std::printf("giflib gave different pixels!\n");
  // Each reads the other's files too.
  TMemoryStream theirs;
  theirs.WriteBuffer(giflibBytes.data(), static_cast<std::int64_t>(giflibBytes.size()));
  theirs.SetPosition(0);
  TGifFile check;
  check.LoadFromStream(theirs);
  bool same = check.ImageCount() == kFrames;
  for (int i = 1; same && i <= kFrames; ++i)
    same = std::memcmp(check.GetSubImage(i)->Pixels()->Data(), frames[static_cast<std::size_t>(i - 1)].data(),
                       static_cast<std::size_t>(pixelCount)) == 0;
  images = GiflibDecode(ourFileBytes, giflibDecoded);
  same = same && images == frames.size() && giflibDecoded == frames;
  std::printf("giflib whole file: write  %7.1f MB/s, read   %7.1f MB/s (%zu file bytes)\n",
              MegabytesPerSecond(giflibEncodeSeconds), MegabytesPerSecond(giflibDecodeSeconds), giflibBytes.size());
  std::printf("files read by the other side: %s\n", same ? "identical pixels" : "DIFFERENT PIXELS");
  std::printf("writing: ours %.2f times giflib's speed\n", giflibEncodeSeconds / fileWriteSeconds);
  std::printf("reading: ours %.2f times giflib's speed (goal: at least 1.5)\n", giflibDecodeSeconds / fileReadSeconds);
  return giflibEncodeSeconds / fileWriteSeconds;
#else
  (void)fileReadSeconds;
  std::printf("giflib not installed: no comparison\n");
  return 0;
#endif
}

}  // namespace gif_codec_comparison
