// The program's hints are "short|long": the short part is the tool tip shown
// beside the pointer, the long part the text of the status bar (panel 0). A
// hint without "|" is both. The Qt side (platform/qtui/QtHints.h) puts the two
// parts on a widget or an action.
#pragma once

#include <string>
#include <string_view>

// The part before the first "|" (the whole hint when there is none).
std::string GetShortHint(std::string_view hint);
// The part after the first "|" (the whole hint when there is none).
std::string GetLongHint(std::string_view hint);
