// The shapes of the controls' and forms' events. An event is a std::function
// that the owner assigns (an unassigned one is empty and not called); Sender
// is the object that raises it, a Qt object: a control, a form, an action.
//
//   box->OnKeyDown = [this](QObject* Sender, WORD& Key, TShiftState Shift) { ... };
//
// A key handler that consumes its key sets Key to 0 (or Key to '\0' in
// OnKeyPress).
#pragma once

#include "platform/Keyboard.h"

#include <functional>
#include <utility>

class QObject;

using TNotifyEvent = std::function<void(QObject* Sender)>;
using TKeyEvent = std::function<void(QObject* Sender, WORD& Key, TShiftState Shift)>;
// Key is the typed character as a Windows-1252 byte.
using TKeyPressEvent = std::function<void(QObject* Sender, char& Key)>;
// X and Y are in the sender's own (client) coordinates.
using TMouseEvent = std::function<void(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(QObject* Sender, TShiftState Shift, int X, int Y)>;

// Calls an event when it is assigned.
template <typename Event, typename... Args>
void Fire(const Event& event, Args&&... args) {
  if (event) event(std::forward<Args>(args)...);
}
