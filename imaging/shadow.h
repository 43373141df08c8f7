// Soft-shadow masks of frame pictures: an 8-bit grey-level picture, larger
// than the source by the shadow radius on every side, whose level at each
// point is the share of the source's opaque pixels within a disc around it.
#pragma once

#include "platform/Colors.h"

class TBitmap;

// Largest radius MakeShadowMask accepts.
constexpr int kMaxShadowRadius = 60;
// MakeShadowMask's result for a radius outside 0 .. kMaxShadowRadius.
constexpr int kShadowRadiusOutOfRange = 9;

// Makes mask an 8-bit picture of (width + 2 radius) x (height + 2 radius)
// whose palette runs from nearColor (entry 0) almost to farColor (entry 255).
// Each mask pixel indexes the share of opaque source pixels around it: 255
// where none is near, falling toward 0 under the opaque area. With useKey,
// source pixels of keyColor (low 24 bits) are not opaque.
// Returns 0, or kShadowRadiusOutOfRange when the radius is negative or above
// 60; the mask then only gets its palette.
int MakeShadowMask(const TBitmap& source, TBitmap& mask, bool useKey, TColor keyColor, TColor farColor,
                   TColor nearColor, int radius);
