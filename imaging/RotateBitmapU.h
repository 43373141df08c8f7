// Rotation of a bitmap by an angle in degrees into a new picture just large
// enough to hold the rotated image; the uncovered corners take a background
// colour. Quarter turns are exact.
#pragma once

#include "platform/Colors.h"

class TBitmap;

// Turns source clockwise on the screen (y pointing down) by angle degrees
// into target, which is resized, made 24-bit and filled with background
// before the rotated picture is copied in. The angle is taken modulo 360;
// angles that round to a multiple of 90 are exact quarter turns (0 copies).
void RotateBitmap(const TBitmap& source, TBitmap& target, TColor background, double angle);
// The size RotateBitmap gives a width x height picture turned by angle
// (0 x 0 for an empty one), known before any pixel is allocated.
void RotatedBitmapSize(int width, int height, double angle, int& rotatedWidth, int& rotatedHeight);
