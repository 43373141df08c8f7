// The user's folders as the freedesktop base-directory rules name them. Each
// is an absolute path without a trailing separator; a variable that is unset,
// empty or relative falls back to its default under $HOME.
#pragma once

#include <string>

std::string HomeFolder();
// $XDG_CONFIG_HOME, else $HOME/.config.
std::string XdgConfigHome();
// $XDG_DATA_HOME, else $HOME/.local/share.
std::string XdgDataHome();
// Programs started when the user logs in: XdgConfigHome()/autostart.
std::string UserAutostartFolder();
// Menu entries: XdgDataHome()/applications.
std::string UserApplicationsFolder();
// The desktop: $XDG_DESKTOP_DIR or the desktop named in user-dirs.dirs, else $HOME/Desktop.
std::string UserDesktopFolder();
