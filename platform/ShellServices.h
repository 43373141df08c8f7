// Opening documents and links with the desktop's programs, and finding the
// desktop's web browser.
// The program installs the Qt implementation (platform/qtui/QtShellServices.h);
// tests install a recording one (tests/support/RecordingShellServices.h).
//
// Targets are UTF-8: a link, or a path in the file system's bytes. Only the
// targets IsShellOpenable allows ever reach the services: ShellOpen refuses
// the rest, so a text from a file or a field can never start a program.
#pragma once

#include <string>

class ShellServices {
 public:
  virtual ~ShellServices() = default;
  // Opens a target with the desktop's program for it; false when it could
  // not be opened.
  virtual bool OpenDocument(const std::string& target) = 0;
  // The command line of the desktop's default handler of http links; "" when
  // the desktop names none.
  virtual std::string DefaultBrowserCommand() = 0;
};

// The services in use. Until one is installed, a silent implementation opens
// nothing and knows no browser.
ShellServices& Shell();
// Installs services (nullptr restores the silent ones); the caller keeps ownership.
void SetShellServices(ShellServices* services);

// Whether a target may be opened: an http, https, ftp or mailto link (the
// scheme in any letter case, something after it, no control characters), or
// an existing local file, named by its path or by a file: URL.
bool IsShellOpenable(const std::string& target);

// Opens a document or link: hands the target to Shell() when
// IsShellOpenable allows it. Returns whether it was opened.
bool ShellOpen(const std::string& target);

// The registry key whose default value names the browser (under HKEY_CLASSES_ROOT).
inline constexpr const char* kBrowserCommandKey = "http\\shell\\open\\command";

// The registered web browser: the default value of kBrowserCommandKey under
// HKEY_CLASSES_ROOT when it is not empty, else the desktop's default http
// handler (Shell().DefaultBrowserCommand()); "" when there is neither.
std::string RegisteredBrowserCommand();

// The desktop's default program for a MIME type, such as
// "x-scheme-handler/http", as the freedesktop rules find it: the
// [Default Applications] of the mimeapps.list files (desktop-specific ones
// first; user configuration, system configuration, user data, system data,
// then the older defaults.list), the first listed entry that is installed.
// Returns that entry's Exec line, "" when none is set or installed.
std::string DesktopDefaultHandlerCommand(const std::string& mimeType);
