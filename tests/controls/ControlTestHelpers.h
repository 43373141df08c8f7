// Helpers of the control tests: window activation on the offscreen platform
// and pixel searches in painted pictures.
#pragma once

#include "platform/Graphics.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>

// Shows a window and makes it the active one, as a user's click would.
inline void ActivateWindow(QWidget& window) {
  window.show();
  window.activateWindow();
  QCoreApplication::processEvents();
  // A window that was active before and hidden keeps the platform's focus;
  // asking again changes nothing there, so the application is told.
  if (!window.isActiveWindow()) QApplication::setActiveWindow(&window);
}

inline int CountPixels(const TBitmap& picture, TColor color) {
  int count = 0;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if (picture.Pixel(x, y) == ColorToRGB(color)) ++count;
  return count;
}

// The smallest rectangle holding every pixel of the colour (empty when none).
inline TRect PixelBounds(const TBitmap& picture, TColor color) {
  TRect bounds{};
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if (picture.Pixel(x, y) == ColorToRGB(color)) UnionRect(bounds, bounds, Rect(x, y, x + 1, y + 1));
  return bounds;
}
