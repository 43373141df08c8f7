// Speed of the GIF LZW coder: encodes and decodes the same 100 frames of
// 640 x 480 8-bit pictures, banner-like and photographic, with our coder and,
// when it is installed, with giflib, and prints megabytes of pixels per
// second for each.
#include "bench/GifCodecComparison.h"

int main() {
  using namespace gif_codec_comparison;
  Compare("banner-like", MakeFrames());
  Compare("photographic", MakePhotoFrames());
  return 0;
}
