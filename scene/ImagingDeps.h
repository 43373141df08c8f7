// The image-processing routines that frames draw with. Until each module is
// part of the build, its routine raises, and frames show their drawing
// failure message instead.
#pragma once

#include "platform/Graphics.h"
#include "platform/SysUtils.h"

#if __has_include("imaging/resample.h")
#include "imaging/resample.h"
#define GC_SCENE_HAVE_RESAMPLE 1
#else
inline void ResampleBitmapDefault(TBitmap&, TBitmap&, bool, TColor) {
  throw Exception("Resampling is not available");
}
#endif

#if __has_include("imaging/shadow.h")
#include "imaging/shadow.h"
#define GC_SCENE_HAVE_SHADOW 1
#else
inline int MakeShadowMask(TBitmap&, TBitmap&, bool, TColor, TColor, TColor, int) {
  throw Exception("Shadows are not available");
}
inline void DrawColorThroughMask(TColor, int, TBitmap&, int, int, TBitmap&) {
  throw Exception("Shadows are not available");
}
#endif

#if __has_include("imaging/OpacityU.h")
#include "imaging/OpacityU.h"
#define GC_SCENE_HAVE_OPACITY 1
#else
inline void DrawBitmapOpacity(TBitmap&, TColor, bool, int, int, int, TBitmap&) {
  throw Exception("Opacity drawing is not available");
}
#endif
