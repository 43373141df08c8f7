#include "platform/Keyboard.h"
#include "platform/qtui/QtInput.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

TEST(ShiftState, BehavesLikeASet) {
  TShiftState shift{ssShift, ssLeft};
  EXPECT_TRUE(shift.Contains(ssShift));
  EXPECT_TRUE(shift.Contains(ssLeft));
  EXPECT_FALSE(shift.Contains(ssCtrl));
  EXPECT_EQ(shift + TShiftState{ssDouble}, (TShiftState{ssShift, ssLeft, ssDouble}));
  EXPECT_EQ(shift * (TShiftState{ssLeft, ssRight}), TShiftState{ssLeft});
  EXPECT_EQ(shift - TShiftState{ssShift}, TShiftState{ssLeft});
  EXPECT_TRUE(TShiftState{}.Empty());
  shift.Exclude(ssShift).Exclude(ssLeft);
  EXPECT_TRUE(shift.Empty());
}

TEST(VirtualKeys, QtKeysGiveTheWindowsCodes) {
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Left), VK_LEFT);
  EXPECT_EQ(VK_LEFT, 0x25);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Down), 0x28);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Delete), VK_DELETE);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Escape), VK_ESCAPE);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Return), VK_RETURN);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Enter, Qt::KeypadModifier), VK_RETURN);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Backtab), VK_TAB);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_PageUp), VK_PRIOR);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_A), 'A');
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Z), 'Z');
  EXPECT_EQ(VirtualKeyOf(Qt::Key_5), '5');
  EXPECT_EQ(VirtualKeyOf(Qt::Key_5, Qt::KeypadModifier), VK_NUMPAD5);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Plus), VK_OEM_PLUS);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Plus, Qt::KeypadModifier), VK_ADD);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Exclam), '1');
  EXPECT_EQ(VirtualKeyOf(Qt::Key_F1), VK_F1);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_F12), 0x7B);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Shift), VK_SHIFT);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_unknown), 0);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_VolumeUp), 0);
}

TEST(VirtualKeys, EveryCodeWithAQtKeyComesBack) {
  for (int code = 1; code < 256; ++code) {
    const Qt::Key key = QtKeyOf(static_cast<WORD>(code));
    if (key == Qt::Key_unknown) continue;
    const bool keypad = (code >= VK_NUMPAD0 && code <= VK_DIVIDE);
    EXPECT_EQ(VirtualKeyOf(key, keypad ? Qt::KeypadModifier : Qt::NoModifier), code) << std::hex << code;
  }
  EXPECT_EQ(QtKeyOf(VK_LEFT), Qt::Key_Left);
  EXPECT_EQ(QtKeyOf(VK_TAB), Qt::Key_Tab);
  EXPECT_EQ(QtKeyOf(VK_OEM_1), Qt::Key_Semicolon);
}

TEST(ShiftStates, ComeFromModifiersAndButtons) {
  EXPECT_EQ(ShiftStateOf(Qt::ShiftModifier | Qt::ControlModifier), (TShiftState{ssShift, ssCtrl}));
  EXPECT_EQ(ShiftStateOf(Qt::AltModifier, Qt::LeftButton | Qt::MiddleButton), (TShiftState{ssAlt, ssLeft, ssMiddle}));
  EXPECT_EQ(ShiftStateOf(Qt::KeypadModifier, Qt::RightButton), TShiftState{ssRight});
  EXPECT_EQ(QtModifiersOf(TShiftState{ssShift, ssLeft}), Qt::KeyboardModifiers(Qt::ShiftModifier));
  EXPECT_EQ(MouseButtonOf(Qt::LeftButton), mbLeft);
  EXPECT_EQ(MouseButtonOf(Qt::RightButton), mbRight);
  EXPECT_EQ(MouseButtonOf(Qt::MiddleButton), mbMiddle);
  EXPECT_FALSE(MouseButtonOf(Qt::BackButton).has_value());
  EXPECT_EQ(QtButtonOf(mbRight), Qt::RightButton);
}

TEST(KeyPressCharacters, AreWindows1252BytesOrNothing) {
  auto typed = [](int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
    return KeyPressCharOf(event);
  };
  EXPECT_EQ(typed(Qt::Key_A, "a"), 'a');
  EXPECT_EQ(typed(Qt::Key_A, "A", Qt::ShiftModifier), 'A');
  EXPECT_EQ(typed(Qt::Key_Return, "\r"), '\r');
  EXPECT_EQ(typed(Qt::Key_Escape, "\x1B"), '\x1B');
  EXPECT_EQ(typed(Qt::Key_Backspace, "\b"), '\b');
  EXPECT_EQ(typed(Qt::Key_C, "\x03", Qt::ControlModifier), '\x03');
  EXPECT_EQ(typed(Qt::Key_Eacute, QString::fromUtf8("é")), '\xE9');
  EXPECT_EQ(typed(Qt::Key_unknown, QString::fromUtf8("€")), '\x80');
  EXPECT_EQ(typed(Qt::Key_Question, "?"), '?');
  EXPECT_FALSE(typed(Qt::Key_unknown, QString::fromUtf8("中")).has_value());
  EXPECT_FALSE(typed(Qt::Key_Left, "").has_value());
  EXPECT_FALSE(typed(Qt::Key_Shift, "").has_value());
}
