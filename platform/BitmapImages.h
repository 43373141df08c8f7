// Conversion between the editor's bitmaps and Qt images, for showing a
// bitmap on the screen (controls paint through TCanvas into a TBitmap and show
// it as a QImage) and for taking images from Qt (clipboard, grabbed widgets).
#pragma once

#include "platform/Graphics.h"

#include <QImage>

// A copy of the bitmap's pixels as a Format_RGB32 image of the same size (a
// null image for an empty bitmap). Palette formats are resolved through their
// palette; transparency is not carried over.
QImage BitmapToQImage(const TBitmap& bitmap);

// The image's pixels into the bitmap at the given pixel format (24-bit by
// default; palette formats take the nearest colours of the bitmap's palette or
// the default palette). Alpha is dropped: each pixel keeps its own colour,
// not blended with anything. A null image empties the bitmap. The bitmap's
// transparency settings are kept.
void QImageToBitmap(const QImage& image, TBitmap& bitmap, TPixelFormat format = pf24bit);
