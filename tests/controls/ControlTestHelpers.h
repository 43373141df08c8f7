// Helpers of the control tests: window activation on the offscreen platform
// and pixel searches in painted pictures.
#pragma once

#include "platform/Graphics.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
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

// Moves the mouse over a widget without a button held. QTest::mouseMove
// delivers to the window it finds under the point, and the offscreen
// platform finds the first window there whatever lies on top (a pop-up over
// its owner); this event goes to the widget itself.
inline void HoverOver(QWidget& widget, QPoint pos) {
  QMouseEvent move(QEvent::MouseMove, pos, widget.mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &move);
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
