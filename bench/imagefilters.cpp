// Times each filter of the effects dialog on a 640 x 480 picture.
#include "imaging/ImageEffects.h"
#include "platform/Graphics.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>

namespace {

void FillNoise(TBitmap& b, int width, int height) {
  b.SetPixelFormat(pf24bit);
  b.SetSize(width, height);
  std::uint32_t state = 777;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int i = 0; i < width * 3; ++i) {
      state = state * 1664525u + 1013904223u;
      row[i] = static_cast<std::uint8_t>(state >> 24);
    }
  }
}

void Time(const char* name, const std::function<int(TBitmap*)>& filter, int runs) {
  TBitmap b;
  FillNoise(b, 640, 480);
  double total = 0;
  int code = 0;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    code = filter(&b);
    total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  std::printf("%-28s %8.2f ms per run (result %d, %d runs)\n", name, total / runs, code, runs);
}

}  // namespace

int main() {
  std::printf("filters on 640 x 480:\n");
  Time("blur 10%", [](TBitmap* b) { return BlurBitmap(b, 10); }, 5);
  Time("blur 100% (15 x 15)", [](TBitmap* b) { return BlurBitmap(b, 100); }, 3);
  Time("sharpen r 4", [](TBitmap* b) { return SharpenBitmap(b, 4); }, 5);
  Time("dilate r 9", [](TBitmap* b) { return DilateBitmap(b, 9); }, 5);
  Time("erode r 9", [](TBitmap* b) { return ErodeBitmap(b, 9); }, 5);
  Time("invert", [](TBitmap* b) { return InvertBitmap(b); }, 20);
  Time("brightness 30", [](TBitmap* b) { return BrightnessBitmap(b, 30); }, 20);
  Time("colour channels 10/-10/20", [](TBitmap* b) { return AdjustColorChannels(b, 10, -10, 20); }, 20);
  Time("contrast 50 (6 runs)", [](TBitmap* b) { return ContrastBitmap(b, 50); }, 5);
  Time("emboss depth 5", [](TBitmap* b) { return EmbossBitmap(b, 5, RGB(128, 128, 128), 135); }, 5);
  return 0;
}
