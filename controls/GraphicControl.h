// The base of the program's graphic controls (the class library's
// TGraphicControl): a window-less control that paints itself through TCanvas
// into a TBitmap, shown in paintEvent, so its pixels follow GDI's drawing
// rules and a test can read them exactly.
//
// What it adds to QWidget, in the class library's terms:
// - Bounds in the parent's coordinates (Left, Top, Width, Height) with the
//   class library's setters. A change of the bounds runs Resize() (and so
//   OnResize) at once, also while the control or its window is hidden: Qt
//   sends no move or resize events to hidden widgets, and the control's
//   bounds logic runs on every change. Bounds set by Qt (a layout) go through the same path.
// - Visible: the control's own flag, true at creation (Qt's isVisible() is
//   false while the window is not shown).
// - A cursor by number (platform/Cursors.h) and a hint "short|long" (tool tip
//   and status tip; ShowHint off keeps the tool tip empty).
// - Events as std::function members (OnClick, OnMouseDown, ...; platform/Events.h)
//   and its overridable handlers (MouseDown, MouseMove, MouseUp, Click,
//   DblClick, KeyDown, KeyUp, KeyPress). The handlers are public so that
//   one control can hand an event to another and a test can raise one.
//   Each base handler fires the event of its name; a control that overrides
//   a handler calls the base wherever it keeps the inherited handling.
// - Painting: Paint() draws on Canvas(), the canvas of the control's picture.
//   A transparent control (SetTransparent) leaves every pixel it does not
//   draw showing what lies below it.
//
// Mouse events arrive in control coordinates. A left press followed by a
// release inside the control is a click: Click() runs before MouseUp(), as
// in the class library. A double click runs DblClick() and then MouseDown()
// with ssDouble in the shift state.
#pragma once

#include "platform/Cursors.h"
#include "platform/Events.h"
#include "platform/Geometry.h"
#include "platform/Graphics.h"

#include <QImage>
#include <QWidget>

#include <string>

class TGraphicControl : public QWidget {
  Q_OBJECT

 public:
  explicit TGraphicControl(QWidget* parent = nullptr);
  ~TGraphicControl() override;

  // ---- Bounds, in the parent's coordinates ----
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  TRect ClientRect() const { return Rect(0, 0, width_, height_); }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  // Moves and sizes the control; when anything changed, runs Resize() at once.
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);

  // ---- Visibility and state ----
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { setVisible(value); }
  void setVisible(bool visible) override;
  bool Enabled() const { return isEnabled(); }
  void SetEnabled(bool value) { setEnabled(value); }

  // ---- Cursor and hint ----
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  // The hint, Windows-1252 bytes, "short|long" (platform/Hints.h).
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);

  // ---- Painting ----
  // A request to repaint: the control is painted at the next
  // paint of its window (nothing is painted while it is hidden). A control
  // that caches part of its picture redraws the cache on Repaint.
  virtual void Repaint() { update(); }
  void Invalidate() { Repaint(); }
  // Paints the control into its picture without the window system: the
  // picture is sized to the control, filled with the background colour and
  // drawn on by Paint(). For tests and for anything that needs the pixels.
  const TBitmap& PaintPicture(TColor background);
  // The picture of the last paint.
  const TBitmap& Picture() const { return picture_; }
  bool Transparent() const { return transparent_; }

  // ---- Events ----
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // ---- Handlers (each base version fires its event) ----
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void Click();
  virtual void DblClick();
  // The second press of a double click: DblClick() for the left button, then
  // MouseDown() with ssDouble added.
  virtual void MouseDoubleClick(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);

 protected:
  // Draws the control on Canvas(); the base draws nothing.
  virtual void Paint() {}
  // Runs after every change of the bounds; the base fires OnResize.
  virtual void Resize();
  TCanvas& Canvas() { return picture_.Canvas(); }
  // A transparent control shows what lies below wherever Paint() draws nothing.
  void SetTransparent(bool value);

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage ScreenImage();
  void ApplyGeometry();
  void TakeGeometryFromQt();

  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool visible_ = true;
  bool applyingGeometry_ = false;
  // Set while bounds that Qt gave are taken over: Qt repaints a widget it
  // moved or resized, so the control asks for no repaint of its own.
  bool takingGeometryFromQt_ = false;
  bool clickPending_ = false;
  bool transparent_ = false;
  bool showHint_ = true;
  TCursor cursor_ = crDefault;
  std::string hint_;
  TBitmap picture_;
};
