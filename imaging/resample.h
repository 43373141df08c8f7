// Scaling of bitmaps with a separable filter (a horizontal pass, then a
// vertical pass), by default the Lanczos window of radius 3. Pixels of a key
// colour can be kept as a plain stretch makes them, so that a transparent
// colour keeps its exact value after scaling.
#pragma once

#include "platform/Colors.h"

class TBitmap;

// A filter: the weight of a source sample at a distance x (in source pixels).
using TResampleFilter = float (*)(float x);

// 1 for x = 0, else sin(pi x) / (pi x).
float SincValue(float x);
// The Lanczos window of radius 3: Sinc(|x|) * Sinc(|x| / 3) inside, 0 from 3 on.
float LanczosKernel3(float x);

// Replaces the contents of target (which keeps its size and becomes 24-bit)
// by source scaled with filter, whose half-width is support. Sources or
// targets of 3 pixels or less in either direction get the plain stretch.
// With keepKey, target pixels that the plain stretch made keyColor (low 24
// bits) keep that colour.
void ResampleBitmap(const TBitmap& source, TBitmap& target, TResampleFilter filter, float support, bool keepKey,
                    TColor keyColor);
// ResampleBitmap with LanczosKernel3 and support 3.
void ResampleBitmapDefault(const TBitmap& source, TBitmap& target, bool keepKey, TColor keyColor);
