// The editor's integer spin edit (module My_SpinEdit), used for most numeric
// fields of the main window and the dialogs:
// - TTimerSpeedButton: a speed button that clicks at the press and repeats
//   the click while it is held: again 400 ms after the press, then every 100 ms;
// - TSpinButton: a pair of such buttons (up above, down below) as one control;
// - TSpinEdit: a single-line edit for an integer with a TSpinButton inside
//   its right edge.
//
// TSpinEdit, public interface (a QLineEdit; text() is the field's text):
//   Value() / SetValue(v)    the text as a decimal integer; a text that does not
//                            convert reads round((MaxValue - MinValue) / 2), half
//                            the range's width (bounds 10..20 read 5). Writing
//                            sets the text to v, clamped into MinValue..MaxValue
//                            unless the two bounds are equal (no limit).
//   MinValue, MaxValue       0 and 0 (no limit); SetMinValue / SetMaxValue store only
//   Increment                1: the step of the arrow keys and the buttons
//   EditorEnabled            true; false refuses typed characters (digits,
//                            Backspace) with a beep and refuses paste and cut;
//                            the arrow keys and the buttons still work
//   ReadOnly / SetReadOnly   the buttons and arrow keys beep and change nothing
//   AutoSelect               true: entering by keyboard selects the whole text
//   UpClick() / DownClick()  Value +/- Increment (64-bit, clamped to 32 bits),
//                            or a beep when read-only
//   OnChange(Sender)         after a change of the text, only when the new text
//                            is an integer (programmatic changes included)
//   OnEnter, OnExit          focus in and out; leaving also puts an unreadable
//                            or out-of-range text right: SetValue(Value())
//   OnKeyDown, OnKeyPress, OnKeyUp   the key events (Up and Down
//                            click the buttons first)
//   Left/Top/Width/Height, SetBounds   bounds; a height below MinHeight() is
//                            raised to it, and the button is laid out at once;
//                            layouts learn MinHeight() from the size hints
//   Button()                 the TSpinButton (objectName "Button")
//
// TSpinButton, public interface:
//   OnUpClick, OnDownClick   fired at each click and each repeat
//   UpButton(), DownButton(), FocusedButton()
//   FocusControl / SetFocusControl   the control a press on a button focuses
//                            (cleared when it is destroyed)
//   SetUpGlyph(bitmap) / SetDownGlyph(bitmap)   nullptr restores the default
//                            glyph; UpNumGlyphs / DownNumGlyphs 1..4
//   TabStop / SetTabStop     false
//   Keys (with the focus): Space clicks the focused button, Up and Down focus
//   and click their button.
//
// TTimerSpeedButton, public interface:
//   Glyph / SetGlyph, NumGlyphs / SetNumGlyphs (1..4: up, disabled, down, ...)
//   TimeBtnState / SetTimeBtnState   tbFocusRect (draws the focus rectangle),
//                            tbAllowTimer (repeats while held)
//   IsDown()                 shown pressed
//   RepeatTimer()            nullptr until the first press
//   TimerExpired()           the repeat timer's tick
#pragma once

#include "controls/GraphicControl.h"
#include "platform/Timer.h"

#include <QLineEdit>
#include <QPointer>

#include <cstdint>
#include <memory>

class QMenu;

// ---- TTimerSpeedButton ------------------------------------------------------------------

enum TTimeBtnStateItem : std::uint8_t { tbFocusRect = 1, tbAllowTimer = 2 };
// A set of TTimeBtnStateItem bits.
using TTimeBtnState = std::uint8_t;

class TTimerSpeedButton : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TTimerSpeedButton(QWidget* parent = nullptr);
  ~TTimerSpeedButton() override;

  const TBitmap& Glyph() const { return glyph_; }
  void SetGlyph(const TBitmap& glyph);
  int NumGlyphs() const { return numGlyphs_; }
  // 1 .. 4; other values are refused (kept as they were).
  void SetNumGlyphs(int value);
  TTimeBtnState TimeBtnState() const { return timeBtnState_; }
  void SetTimeBtnState(TTimeBtnState value);
  bool IsDown() const { return down_; }

  TTimer* RepeatTimer() const { return repeatTimer_.get(); }
  // The repeat: from now on every 100 ms; a click while the button is shown
  // down and still holds the mouse. A click that raises stops the timer.
  void TimerExpired();

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 protected:
  void Paint() override;
  // The click happens at the press; a release never clicks.
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void SetDown(bool value);
  void DrawGlyph(const TRect& client, int offset);

  TBitmap glyph_;
  int numGlyphs_ = 1;
  TTimeBtnState timeBtnState_ = 0;
  bool down_ = false;     // shown pressed
  bool holding_ = false;  // pressed with the left button and not yet released
  std::unique_ptr<TTimer> repeatTimer_;
};

// ---- TSpinButton ----------------------------------------------------------------------------

class TSpinButton : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TSpinButton(QWidget* parent = nullptr);

  TTimerSpeedButton* UpButton() const { return upButton_; }
  TTimerSpeedButton* DownButton() const { return downButton_; }
  TTimerSpeedButton* FocusedButton() const { return focusedButton_; }
  QWidget* FocusControl() const { return focusControl_; }
  void SetFocusControl(QWidget* control) { focusControl_ = control; }
  bool TabStop() const;
  void SetTabStop(bool value);

  const TBitmap& UpGlyph() const { return upButton_->Glyph(); }
  void SetUpGlyph(const TBitmap* glyph);
  int UpNumGlyphs() const { return upButton_->NumGlyphs(); }
  void SetUpNumGlyphs(int value) { upButton_->SetNumGlyphs(value); }
  const TBitmap& DownGlyph() const { return downButton_->Glyph(); }
  void SetDownGlyph(const TBitmap* glyph);
  int DownNumGlyphs() const { return downButton_->NumGlyphs(); }
  void SetDownNumGlyphs(int value) { downButton_->SetNumGlyphs(value); }

  TNotifyEvent OnUpClick;
  TNotifyEvent OnDownClick;

  // The width is at least 15; the up button takes the upper half, the down
  // button the rest, overlapping it by one pixel.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;

  // The default glyphs: small black triangles on a transparent ground.
  static const TBitmap& DefaultUpGlyph();
  static const TBitmap& DefaultDownGlyph();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  TTimerSpeedButton* CreateButton(const char* name, const TBitmap& glyph);
  void BtnMouseDown(QObject* Sender, TMouseButton Button);
  void BtnClick(QObject* Sender);
  void SetFocusBtn(TTimerSpeedButton* button);
  bool CanFocus() const;

  TTimerSpeedButton* upButton_ = nullptr;
  TTimerSpeedButton* downButton_ = nullptr;
  TTimerSpeedButton* focusedButton_ = nullptr;
  QPointer<QWidget> focusControl_;
};

// ---- TSpinEdit ----------------------------------------------------------------------------------

class TSpinEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TSpinEdit(QWidget* parent = nullptr);

  std::int32_t Value() const;
  void SetValue(std::int32_t value);
  std::int32_t MinValue() const { return minValue_; }
  void SetMinValue(std::int32_t value) { minValue_ = value; }
  std::int32_t MaxValue() const { return maxValue_; }
  void SetMaxValue(std::int32_t value) { maxValue_ = value; }
  std::int32_t Increment() const { return increment_; }
  void SetIncrement(std::int32_t value) { increment_ = value; }
  bool EditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool value) { editorEnabled_ = value; }
  bool ReadOnly() const { return isReadOnly(); }
  void SetReadOnly(bool value) { setReadOnly(value); }
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  // The text as the model's Windows-1252 bytes.
  std::string Text() const;
  void SetText(const std::string& value);
  TSpinButton* Button() const { return button_; }

  // The value as checked: itself when the bounds are equal, else clamped into them.
  std::int32_t CheckValue(std::int64_t value) const;
  virtual void UpClick();
  virtual void DownClick();

  // Bounds in the parent's coordinates; SetBounds keeps the layout rules above.
  int Left() const { return x(); }
  int Top() const { return y(); }
  int Width() const { return width(); }
  int Height() const { return height(); }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  // The font's text height + min(system font, font) height div 4 + 4 border
  // heights (1 pixel each) + 2.
  int MinHeight() const;
  // At least MinHeight() high: layouts give the field its minimum height.
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;
  // Whether a typed character is accepted: '+', '-', the digits, the decimal
  // separator and control characters other than Enter; with EditorEnabled
  // false, only control characters other than Backspace.
  bool IsValidChar(char key) const;

  TNotifyEvent OnChange;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // The field's context menu (undo, cut, copy, paste, delete, select all),
  // with cut, paste and delete disabled while the editor is disabled.
  std::unique_ptr<QMenu> CreateContextMenu();

 private:
  bool MayPasteOrCut() const { return editorEnabled_ && !isReadOnly(); }
  void LayoutButton();
  void TextChanged();

  std::int32_t minValue_ = 0;
  std::int32_t maxValue_ = 0;
  std::int32_t increment_ = 1;
  bool editorEnabled_ = true;
  bool autoSelect_ = true;
  TSpinButton* button_ = nullptr;
};
