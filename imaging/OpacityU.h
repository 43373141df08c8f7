// Semi-transparent drawing of frame pictures, and painting a solid colour
// through a shadow mask. Both work on 24-bit scan lines.
#pragma once

#include "platform/Colors.h"

class TBitmap;

// Draws source onto target (which becomes 24-bit) with its top-left corner at
// (left, top), blending each channel by opacity per cent (clamped to 0..100):
// 0 draws nothing, 100 copies. With useKey, source pixels of keyColor (low
// 24 bits) leave the target as it is.
void DrawBitmapOpacity(const TBitmap& source, TColor keyColor, bool useKey, int opacity, int left, int top,
                       TBitmap& target);

// Paints color onto target (which becomes 24-bit) through mask placed at
// (left, top): the less red a mask pixel has, the more of the colour shows,
// scaled by opacity per cent (clamped to 0..100).
void DrawColorThroughMask(TColor color, int opacity, const TBitmap& mask, int left, int top, TBitmap& target);
