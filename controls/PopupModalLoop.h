// The modal wait of a picker's Execute: runs a local event loop until the
// pop-up closes, keeping the program responsive meanwhile.
//
//   popup.PopupAt(button);
//   if (!RunPopupModal(popup, owner)) return false;  // gone while waiting
//
// The caller must not touch the pop-up or itself after a false answer when
// they may have been destroyed: hold a QPointer to check.
#pragma once

class QObject;
class TPopupWindow;

// Waits until the pop-up closes (TPopupWindow::Closed). True when it closed;
// false when it was not open, when the pop-up or the owner (may be null) was
// destroyed while waiting, or when the application ended the loop (the
// pop-up is then closed).
bool RunPopupModal(TPopupWindow& popup, QObject* owner);
