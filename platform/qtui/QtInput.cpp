#include "platform/qtui/QtInput.h"

#include "platform/CodePages.h"

#include <QKeyEvent>

#include <utility>

namespace {

// Keys whose code does not depend on the number pad.
constexpr std::pair<int, WORD> kKeys[] = {
    {Qt::Key_Backspace, VK_BACK},   {Qt::Key_Tab, VK_TAB},          {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Clear, VK_CLEAR},      {Qt::Key_Return, VK_RETURN},    {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Shift, VK_SHIFT},      {Qt::Key_Control, VK_CONTROL},  {Qt::Key_Alt, VK_MENU},
    {Qt::Key_Pause, VK_PAUSE},      {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},      {Qt::Key_PageUp, VK_PRIOR},     {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},          {Qt::Key_Home, VK_HOME},        {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},            {Qt::Key_Right, VK_RIGHT},      {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Print, VK_SNAPSHOT},   {Qt::Key_Insert, VK_INSERT},    {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Help, VK_HELP},        {Qt::Key_Meta, VK_LWIN},        {Qt::Key_Menu, VK_APPS},
    {Qt::Key_NumLock, VK_NUMLOCK},  {Qt::Key_ScrollLock, VK_SCROLL},
    // Punctuation, shifted or not, by the key it is typed with on a US keyboard.
    {Qt::Key_Semicolon, VK_OEM_1},     {Qt::Key_Colon, VK_OEM_1},         {Qt::Key_Equal, VK_OEM_PLUS},
    {Qt::Key_Plus, VK_OEM_PLUS},       {Qt::Key_Comma, VK_OEM_COMMA},     {Qt::Key_Less, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS},     {Qt::Key_Underscore, VK_OEM_MINUS}, {Qt::Key_Period, VK_OEM_PERIOD},
    {Qt::Key_Greater, VK_OEM_PERIOD},  {Qt::Key_Slash, VK_OEM_2},         {Qt::Key_Question, VK_OEM_2},
    {Qt::Key_QuoteLeft, VK_OEM_3},     {Qt::Key_AsciiTilde, VK_OEM_3},    {Qt::Key_BracketLeft, VK_OEM_4},
    {Qt::Key_BraceLeft, VK_OEM_4},     {Qt::Key_Backslash, VK_OEM_5},     {Qt::Key_Bar, VK_OEM_5},
    {Qt::Key_BracketRight, VK_OEM_6},  {Qt::Key_BraceRight, VK_OEM_6},    {Qt::Key_Apostrophe, VK_OEM_7},
    {Qt::Key_QuoteDbl, VK_OEM_7},
    // Shifted digits.
    {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'},        {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'}, {Qt::Key_ParenRight, '0'},
};

// Keys of the number pad other than the digits.
constexpr std::pair<int, WORD> kKeypadKeys[] = {
    {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_ADD},     {Qt::Key_Minus, VK_SUBTRACT},
    {Qt::Key_Period, VK_DECIMAL},    {Qt::Key_Comma, VK_DECIMAL}, {Qt::Key_Slash, VK_DIVIDE},
};

}  // namespace

WORD VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
  const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
    return static_cast<WORD>(keypad ? VK_NUMPAD0 + (qtKey - Qt::Key_0) : qtKey);
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<WORD>(qtKey);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return static_cast<WORD>(VK_F1 + (qtKey - Qt::Key_F1));
  if (keypad) {
    for (const auto& [key, code] : kKeypadKeys)
      if (key == qtKey) return code;
  }
  for (const auto& [key, code] : kKeys)
    if (key == qtKey) return code;
  return 0;
}

WORD VirtualKeyOf(const QKeyEvent& event) { return VirtualKeyOf(event.key(), event.modifiers()); }

Qt::Key QtKeyOf(WORD virtualKey) {
  if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
    return static_cast<Qt::Key>(virtualKey);
  if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD9)
    return static_cast<Qt::Key>(Qt::Key_0 + (virtualKey - VK_NUMPAD0));
  if (virtualKey >= VK_F1 && virtualKey <= VK_F24) return static_cast<Qt::Key>(Qt::Key_F1 + (virtualKey - VK_F1));
  for (const auto& [key, code] : kKeypadKeys)
    if (code == virtualKey) return static_cast<Qt::Key>(key);
  // The first entry of a code is its unshifted key.
  for (const auto& [key, code] : kKeys)
    if (code == virtualKey) return static_cast<Qt::Key>(key);
  return Qt::Key_unknown;
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState shift;
  if (modifiers.testFlag(Qt::ShiftModifier)) shift.Include(ssShift);
  if (modifiers.testFlag(Qt::AltModifier)) shift.Include(ssAlt);
  if (modifiers.testFlag(Qt::ControlModifier)) shift.Include(ssCtrl);
  if (buttons.testFlag(Qt::LeftButton)) shift.Include(ssLeft);
  if (buttons.testFlag(Qt::RightButton)) shift.Include(ssRight);
  if (buttons.testFlag(Qt::MiddleButton)) shift.Include(ssMiddle);
  return shift;
}

Qt::KeyboardModifiers QtModifiersOf(TShiftState shift) {
  Qt::KeyboardModifiers modifiers;
  if (shift.Contains(ssShift)) modifiers |= Qt::ShiftModifier;
  if (shift.Contains(ssAlt)) modifiers |= Qt::AltModifier;
  if (shift.Contains(ssCtrl)) modifiers |= Qt::ControlModifier;
  return modifiers;
}

std::optional<TMouseButton> MouseButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return mbLeft;
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return std::nullopt;
  }
}

Qt::MouseButton QtButtonOf(TMouseButton button) {
  switch (button) {
    case mbRight: return Qt::RightButton;
    case mbMiddle: return Qt::MiddleButton;
    default: return Qt::LeftButton;
  }
}

std::optional<char> KeyPressCharOf(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return '\r';
    case Qt::Key_Escape: return '\x1B';
    case Qt::Key_Backspace: return '\b';
    case Qt::Key_Tab: return '\t';
    default: break;
  }
  const int key = event.key();
  if (event.modifiers().testFlag(Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
    return static_cast<char>(key - Qt::Key_A + 1);
  const QString text = event.text();
  if (text.size() != 1 || text[0].unicode() < 0x20) return std::nullopt;
  const std::string ansi = QStringToAnsi(text);
  // A character outside the code page comes back as '?'.
  if (ansi.size() != 1 || (ansi[0] == '?' && text[0] != QLatin1Char('?'))) return std::nullopt;
  return ansi[0];
}
