// Times the Lanczos resampling of export frames: 640 x 480 to 320 x 240 and
// a 468 x 60 banner to 234 x 30.
#include "imaging/resample.h"
#include "platform/Graphics.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace {

void FillNoise(TBitmap& b, int width, int height) {
  b.SetPixelFormat(pf24bit);
  b.SetSize(width, height);
  std::uint32_t state = 12345;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int i = 0; i < width * 3; ++i) {
      state = state * 1664525u + 1013904223u;
      row[i] = static_cast<std::uint8_t>(state >> 24);
    }
  }
}

void Time(int sw, int sh, int tw, int th, int runs) {
  TBitmap source, target;
  FillNoise(source, sw, sh);
  target.SetPixelFormat(pf24bit);
  target.SetSize(tw, th);
  ResampleBitmapDefault(source, target, false, 0);  // warm-up
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < runs; ++i) ResampleBitmapDefault(source, target, false, 0);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / runs;
  std::printf("resample %dx%d -> %dx%d: %.3f ms per frame (%d runs)\n", sw, sh, tw, th, ms, runs);
}

}  // namespace

int main() {
  Time(640, 480, 320, 240, 50);
  Time(468, 60, 234, 30, 500);
  Time(234, 30, 468, 60, 500);
  return 0;
}
