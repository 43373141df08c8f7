// Qt's key and mouse events in the program's terms: virtual-key codes, shift
// states and mouse buttons (platform/Keyboard.h).
#pragma once

#include "platform/Keyboard.h"

#include <QString>
#include <Qt>

#include <optional>

class QKeyEvent;

// The virtual-key code of a Qt key (Qt::Key_Left gives VK_LEFT); keys of the
// number pad, reported with Qt::KeypadModifier, give the VK_NUMPAD codes.
// Shifted characters give the key they are typed with on a US keyboard ('!'
// gives '1'). 0 for a key without a code.
WORD VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
WORD VirtualKeyOf(const QKeyEvent& event);
// The Qt key that gives a virtual-key code (Qt::Key_unknown for none); for
// tests and for posting keys. The number pad's codes need Qt::KeypadModifier.
Qt::Key QtKeyOf(WORD virtualKey);

// Shift, Alt, Ctrl and the mouse buttons held.
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);
// The Qt modifiers of a shift state (Shift, Alt and Ctrl; buttons are not modifiers).
Qt::KeyboardModifiers QtModifiersOf(TShiftState shift);

// The TMouseButton of a Qt button; nullopt for buttons TMouseButton has no name for.
std::optional<TMouseButton> MouseButtonOf(Qt::MouseButton button);
Qt::MouseButton QtButtonOf(TMouseButton button);

// The character a key press types, as a Windows-1252 byte, the way the
// OnKeyPress handlers see it: Enter "\r", Esc 27, Backspace 8, Tab 9,
// Ctrl+letter 1..26. nullopt for keys that type nothing or characters that
// Windows-1252 cannot hold.
std::optional<char> KeyPressCharOf(const QKeyEvent& event);
