// Speed of the canvas's fills and blits on full-HD 24-bit bitmaps.
#include "platform/Graphics.h"

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

void Measure(const char* what, int repeats, std::int64_t pixels, const std::function<void()>& work) {
  work();  // warm up
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < repeats; ++i) work();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-34s %8.3f ms  %8.1f Mpixel/s\n", what, 1000 * seconds / repeats,
              static_cast<double>(pixels) * repeats / seconds / 1e6);
}

}  // namespace

int main() {
  constexpr int w = 1920, h = 1080;
  TBitmap target, source, small;
  for (TBitmap* b : {&target, &source}) {
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
  }
  for (int y = 0; y < h; y += 7)
    for (int x = 0; x < w; x += 5) source.SetPixel(x, y, RGB(x & 255, y & 255, 9));
  small.SetPixelFormat(pf24bit);
  small.SetSize(w / 3, h / 3);
  TCanvas& canvas = target.Canvas();
  const std::int64_t all = std::int64_t{w} * h;

  canvas.Brush().Color = clRed;
  Measure("FillRect", 50, all, [&] { canvas.FillRect(Rect(0, 0, w, h)); });
  Measure("Draw (copy)", 50, all, [&] { canvas.Draw(0, 0, source); });
  source.SetTransparent(true);
  Measure("Draw (transparent)", 20, all, [&] { canvas.Draw(0, 0, source); });
  source.SetTransparent(false);
  Measure("StretchDraw (3x enlarge)", 20, all, [&] { canvas.StretchDraw(Rect(0, 0, w, h), small); });
  Measure("BitBlt SRCAND", 20, all, [&] { BitBlt(canvas, 0, 0, w, h, source.Canvas(), 0, 0, SRCAND); });
  Measure("BitBlt SRCINVERT", 20, all, [&] { BitBlt(canvas, 0, 0, w, h, source.Canvas(), 0, 0, SRCINVERT); });
  canvas.SetClipRegion(CreateEllipticRgn(0, 0, w, h));
  Measure("Draw through an elliptic clip", 20, all, [&] { canvas.Draw(0, 0, source); });
  canvas.SetClipRegion(std::nullopt);
  Measure("Ellipse", 20, all, [&] { canvas.Ellipse(0, 0, w, h); });
  Measure("Polygon", 20, all / 2, [&] { canvas.Polygon({Point(0, 0), Point(w, 0), Point(0, h)}); });
  return 0;
}
