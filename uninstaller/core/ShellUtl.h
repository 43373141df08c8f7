// Shortcuts on this desktop: desktop entries (".desktop" files) and symbolic
// links, and the canonical paths the Uninstaller compares.
#pragma once

#include <string>

// The canonical path of an existing file (every symbolic link and "." or ".."
// resolved); "" when it does not exist or cannot be resolved.
std::string CanonicalPath(const std::string& path);

// The target of a shortcut as a canonical path, "" on any failure: a symbolic
// link's target, else the program of a desktop entry's Exec line (an absolute
// path; a bare program name has no target here).
std::string GetShortcutTarget(const std::string& linkPath);

// The program of a desktop entry's Exec line, unquoted and unescaped as
// desktop entries are written; "" when the text has none. Only the key "Exec"
// of the group "[Desktop Entry]" counts.
std::string DesktopEntryProgram(const std::string& entryText);
