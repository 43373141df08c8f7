// Small parts the step, size, resize, rotation and template dialogs are
// built from: named buttons, labels and spin edits, the check of a spin
// edit's text before OK takes it, and the form's key preview.
#pragma once

#include "platform/Keyboard.h"

#include <functional>

class QKeyEvent;
class QLabel;
class QPushButton;
class QWidget;
class TSpinEdit;

// A push button with its objectName and caption (Windows-1252, "&x" the
// accelerator). A click does not take the focus from the field being typed
// in, so the field is not put right behind the user's back: OK then sees
// the text as typed (and refuses it when it is no number, FieldAccepted).
QPushButton* MakeDialogButton(QWidget* parent, const char* name, const char* caption);
// A label with a caption; with a buddy, its accelerator focuses the buddy.
QLabel* MakeDialogLabel(QWidget* parent, const char* name, const char* caption, QWidget* buddy = nullptr);
// A spin edit with its bounds and value, by default as wide as the dialogs' fields.
TSpinEdit* MakeSpinEdit(QWidget* parent, const char* name, int minValue, int maxValue, int value, int width = 64);

// Whether the field holds a whole number within its bounds. Otherwise it
// beeps and takes the focus with its text selected: an empty or half-typed
// field would read as half its range, which OK must not take.
bool FieldAccepted(TSpinEdit& field);

// The form's key preview for a key that the focused control left to the
// form: FormKeyDown sees the key's code, then FormKeyPress the character it
// types. True when one of them consumed it (set it to 0); the form then
// does nothing more with the key.
bool PreviewFormKey(QKeyEvent& event, const std::function<void(WORD& Key, TShiftState Shift)>& keyDown,
                    const std::function<void(char& Key)>& keyPress);
