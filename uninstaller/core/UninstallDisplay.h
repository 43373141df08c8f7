// What the removal needs of the Uninstaller's window, so that the removal
// itself stays free of widgets.
#pragma once

#include "platform/Messages.h"

// The window messages the Uninstaller's window answers.
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;

class UninstallDisplay {
 public:
  virtual ~UninstallDisplay() = default;
  // The window's handle: WM_PAINT repaints it at once, WM_CLOSE destroys it.
  virtual HWND Handle() const = 0;
  // The progress bar's position (0 .. 100).
  virtual void SetProgress(int position) = 0;
  // True once the window is destroyed: the message loop then ends.
  virtual bool Destroyed() const = 0;
};
