// The shell services of the running editor: documents and links open through
// QDesktopServices, and the browser is the desktop's default http handler.
#pragma once

#include "platform/ShellServices.h"

class QtShellServices final : public ShellServices {
 public:
  // Opens only what IsShellOpenable allows (a second check: callers should
  // go through ShellOpen).
  bool OpenDocument(const std::string& target) override;
  std::string DefaultBrowserCommand() override;
};
