#include "dialogs/DialogParts.h"

#include "controls/My_SpinEdit.h"
#include "platform/CodePages.h"
#include "platform/SysUtils.h"
#include "platform/UiServices.h"
#include "platform/qtui/QtInput.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

QPushButton* MakeDialogButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(AnsiToQString(caption), parent);
  button->setObjectName(name);
  button->setFocusPolicy(Qt::TabFocus);
  button->setMinimumWidth(75);
  return button;
}

QLabel* MakeDialogLabel(QWidget* parent, const char* name, const char* caption, QWidget* buddy) {
  auto* label = new QLabel(AnsiToQString(caption), parent);
  label->setObjectName(name);
  if (buddy != nullptr) label->setBuddy(buddy);
  return label;
}

TSpinEdit* MakeSpinEdit(QWidget* parent, const char* name, int minValue, int maxValue, int value, int width) {
  auto* spin = new TSpinEdit(parent);
  spin->setObjectName(name);
  spin->SetMinValue(minValue);
  spin->SetMaxValue(maxValue);
  spin->SetValue(value);
  spin->setFixedWidth(width);
  return spin;
}

bool FieldAccepted(TSpinEdit& field) {
  const std::optional<std::int32_t> value = TryStrToInt(field.Text());
  if (value && field.CheckValue(*value) == *value) return true;
  MessageBeep(0);
  field.setFocus(Qt::OtherFocusReason);
  field.selectAll();
  return false;
}

bool PreviewFormKey(QKeyEvent& event, const std::function<void(WORD& Key, TShiftState Shift)>& keyDown,
                    const std::function<void(char& Key)>& keyPress) {
  if (keyDown) {
    WORD key = VirtualKeyOf(event);
    if (key != 0) {
      keyDown(key, ShiftStateOf(event.modifiers()));
      if (key == 0) return true;
    }
  }
  if (keyPress) {
    if (const std::optional<char> typed = KeyPressCharOf(event)) {
      char key = *typed;
      keyPress(key);
      if (key == 0) return true;
    }
  }
  return false;
}
