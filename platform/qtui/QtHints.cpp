#include "platform/qtui/QtHints.h"

#include "platform/CodePages.h"
#include "platform/Hints.h"

#include <QAction>
#include <QWidget>

void ApplyHint(QWidget& widget, const std::string& hint, bool showToolTip) {
  widget.setToolTip(showToolTip ? AnsiToQString(GetShortHint(hint)) : QString());
  widget.setStatusTip(AnsiToQString(GetLongHint(hint)));
}

void ApplyHint(QAction& action, const std::string& hint) {
  action.setToolTip(AnsiToQString(GetShortHint(hint)));
  action.setStatusTip(AnsiToQString(GetLongHint(hint)));
}
