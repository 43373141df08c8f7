// Puts a hint "short|long" (platform/Hints.h) on a widget or an action: the
// short part becomes the tool tip, the long part the status tip (shown in
// status panel 0 while the pointer is over it). Hints are the model's Windows-1252 bytes.
#pragma once

#include <string>

class QAction;
class QWidget;

// showToolTip false leaves the tool tip empty (a control whose ShowHint is
// off) but still sets the status tip.
void ApplyHint(QWidget& widget, const std::string& hint, bool showToolTip = true);
void ApplyHint(QAction& action, const std::string& hint);
