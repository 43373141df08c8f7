// The character picker of the text pages: a pop-up grid of the character
// codes 32 to 255 (32 columns, 7 rows) in the text's font, decoded with the
// font's charset. Hovering shows the character enlarged in a hint window; a
// click returns it.
//
//   TCharPicker picker(this);
//   picker.SetFont(textFont);                  // a copy is kept
//   if (picker.Execute(insertButton)) Insert(picker.ReturnChar());
//
// Execute waits on a local event loop until the pop-up closes: a click on a
// cell, Esc, or a click elsewhere (the pop-up losing activation). It returns
// false with ReturnChar #0 when nothing was chosen, and false when the
// picker's owner (or the picker) was destroyed meanwhile; then the caller
// must not use the picker any more.
//
// The pop-up's parts have object names: "PopupForm", "Grid", "HintWindow".
#pragma once

#include "platform/Colors.h"
#include "platform/Events.h"
#include "platform/Graphics.h"
#include "platform/Timer.h"

#include <QObject>
#include <QPointer>

class QWidget;
class TDrawGrid;
class THintWindow;
class TPopupWindow;

class TCharPicker : public QObject {
  Q_OBJECT

 public:
  static constexpr int Columns = 32;
  static constexpr int Rows = 7;
  // The code of the cell in column ACol and row ARow.
  static unsigned char CharAt(int ACol, int ARow) { return static_cast<unsigned char>(ARow * Columns + ACol + 32); }
  // The rectangle of the enlarged-character hint for a text of that size
  // shown at the cursor (screen coordinates): right of and below the
  // cursor's centre, 1.5 times the text's width plus 6 wide and its height
  // plus 4 tall, moved back onto the screen.
  static TRect HintRect(TPoint cursor, TSize text, TSize screen);
  // The system cursor's size, whose half the hint keeps off the cursor.
  static constexpr TSize CursorSize{32, 32};

  // AOwner: the component's owner; when it is a widget, the pop-up is its window.
  explicit TCharPicker(QObject* AOwner = nullptr);
  ~TCharPicker() override;

  // The chosen character; #0 when none.
  char ReturnChar() const { return returnChar_; }
  // Stored as the pen colour of the cell drawing; characters take the font's colour.
  TColor TextColor() const { return textColor_; }
  void SetTextColor(TColor Value);
  // The font the characters are shown in (8 points in the cells, 24 in the hint).
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& Value);
  // The cells' background, clWindow at first.
  TColor Color() const { return color_; }
  void SetColor(TColor Value);

  // Shows the pop-up with its top-left corner at the centre of Button (the
  // mouse without one), kept on the desktop, and waits until it closes.
  // True when a character was chosen.
  bool Execute(QWidget* Button);

  // ---- Parts (for tests) ----
  TPopupWindow& Form() { return *form_; }
  TDrawGrid& Grid() { return *grid_; }
  THintWindow& HintWindow() { return *hint_; }
  TTimer& HintTimer() { return hintTimer_; }
  bool Closed() const { return closed_; }

  // ---- Handlers ----
  void GridDrawCell(QObject* Sender, int ACol, int ARow, const TRect& Rect, unsigned State);
  // ReturnChar := the clicked cell's character, then the pop-up closes.
  void GridClick(QObject* Sender);
  // Shows the character under the mouse enlarged and restarts the hint timer.
  void GridMouseMove(QObject* Sender, TShiftState Shift, int X, int Y);
  // Stops the timer and hides the hint.
  void HintTimerTimer();
  // Hides the pop-up and the hint; Execute returns.
  void ClosePopup();

 private:
  void BuildPopup(QWidget* ownerWidget);
  TFont FontAt(int points) const;

  QPointer<TPopupWindow> form_;
  TDrawGrid* grid_ = nullptr;
  THintWindow* hint_ = nullptr;
  TTimer hintTimer_;
  char returnChar_ = '\0';
  TColor textColor_ = 0;
  TFont font_;
  TColor color_ = clWindow;
  bool closed_ = false;
};
