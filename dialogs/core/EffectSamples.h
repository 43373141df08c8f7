// The sample strips of the effects dialog: six small frames of each
// transition, made by the effects' own generator from two sample pictures
// and laid side by side, for the dialog's frame-strip movie.
#pragma once

#include "platform/Graphics.h"

constexpr int kEffectSampleFrames = 6;
constexpr int kEffectSampleWidth = 64;
constexpr int kEffectSampleHeight = 48;

// The two pictures the samples start from (the source and the next frame).
void MakeEffectSamplePicture(TBitmap& picture, bool next);
// Makes strip a 24-bit strip of kEffectSampleFrames frames of kEffectSampleWidth x
// kEffectSampleHeight: the transition's frames in order (rotation's larger
// square frames scaled into their cell). Any other kind gives a black strip.
void MakeEffectSampleStrip(int kind, TBitmap& strip);
