// Times palette creation for 100 export frames of 468 x 60 at 256 colours:
// one optimized and one adaptive palette for all frames, and the per-frame
// kinds, on a smooth banner and on noise (the adaptive merge's worst case).
#include "imaging/CreatePaletteU.h"
#include "imaging/MinGDIBitmapU.h"
#include "platform/Graphics.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace {

constexpr int kFrames = 100, kWidth = 468, kHeight = 60;

// A gradient banner with a block moving across it.
void DrawBanner(TBitmap& b, int frame) {
  b.SetPixelFormat(pf24bit);
  b.SetSize(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < kWidth; ++x) {
      const bool block = x >= frame * 4 && x < frame * 4 + 40 && y > 10 && y < 50;
      row[3 * x] = static_cast<std::uint8_t>(block ? 30 : 255 * x / kWidth);
      row[3 * x + 1] = static_cast<std::uint8_t>(block ? 200 : 255 * y / kHeight);
      row[3 * x + 2] = static_cast<std::uint8_t>(block ? 240 : (x + y + frame) & 0xFF);
    }
  }
}

void DrawNoise(TBitmap& b, int frame) {
  b.SetPixelFormat(pf24bit);
  b.SetSize(kWidth, kHeight);
  std::uint32_t state = 99u + static_cast<std::uint32_t>(frame);
  for (int y = 0; y < kHeight; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int i = 0; i < kWidth * 3; ++i) {
      state = state * 1664525u + 1013904223u;
      row[i] = static_cast<std::uint8_t>(state >> 24);
    }
  }
}

void Time(const char* content, void (*draw)(TBitmap&, int), int kind, const char* kindName) {
  TSetOfBitmaps frames;
  for (int i = 0; i < kFrames; ++i) {
    frames.push_back(std::make_unique<TSetOfBitmapsItem>());
    draw(*frames.back()->Bitmap, i);
  }
  const auto start = std::chrono::steady_clock::now();
  CreatePaletteForBitmaps(kind, frames, 256, nullptr);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-8s %-22s %9.1f ms for %d frames (%d palette entries)\n", content, kindName, ms, kFrames,
              frames[0]->Bitmap->Palette().Count());
}

}  // namespace

int main() {
  for (auto [content, draw] : {std::pair{"banner", &DrawBanner}, std::pair{"noise", &DrawNoise}}) {
    Time(content, draw, pkOptimized, "optimized");
    Time(content, draw, pkAdaptive, "adaptive");
    Time(content, draw, pkOptimizedPerFrame, "optimized per frame");
    Time(content, draw, pkAdaptivePerFrame, "adaptive per frame");
  }
  return 0;
}
