// The pop-up of the editor's pickers (colour, character and gallery
// pickers): a frameless stay-on-top tool window that our code places with its
// top-left corner at the screen position of a control's centre (or at the
// mouse) and keeps on the desktop. It closes on Esc and when it loses
// activation; it never relies on Qt's own pop-up auto-close.
//
//   popup.OnCloseRequest = [this](QObject*) { ClosePanel(); };  // Esc, deactivation
//   popup.PopupAt(button);
//   ...
//   popup.ClosePopup();  // hides; emits Closed once
//
// Closing is idempotent: ClosePopup hides the window and emits Closed once per
// showing, however often it is asked; Qt delivers the deactivation inside
// hide(), which would otherwise ask a second time. A pop-up hidden on purpose
// (HideOnPurpose, while a dialog of its own is up) stays open and ignores its
// deactivation until ShowAgain or ClosePopup.
//
// Only a loss of activation that the pop-up had closes it, so an activation
// event still queued from before the pop-up was shown cannot close it.
#pragma once

#include "platform/Events.h"

#include <QPoint>
#include <QSize>
#include <QWidget>

class TPopupWindow : public QWidget {
  Q_OBJECT

 public:
  // parent: the widget of the picker's owner (the pop-up stays a window of
  // its own, owned by the parent and kept above it, and takes input while a
  // modal dialog that is its parent runs); may be null.
  explicit TPopupWindow(QWidget* parent = nullptr);
  ~TPopupWindow() override;

  // ---- Placement ----
  // The screen point of a control's centre: its client origin plus half its
  // width and height. Without a control, the mouse cursor.
  static QPoint AnchorOf(const QWidget* control);
  // topLeft moved back onto the desktop (System().ScreenSize()): a window
  // that would pass the right or bottom edge gets that edge on the desktop's;
  // then neither left nor top is below 0.
  static QPoint KeptOnDesktop(QPoint topLeft, QSize size);

  // ---- Showing and closing ----
  // Shows the pop-up with its top-left corner at the anchor of control (nullptr:
  // the mouse), kept on the desktop, and activates it.
  void PopupAt(const QWidget* control);
  // Shows the pop-up at topLeft as given, and activates it.
  void ShowAt(QPoint topLeft);
  // Shown, or hidden on purpose, and not closed since.
  bool IsOpen() const { return open_; }
  bool HiddenOnPurpose() const { return hiddenOnPurpose_; }
  // Hides the pop-up and emits Closed; does nothing when it is not open.
  void ClosePopup();
  // Hides the pop-up without closing it (a dialog of its own opens); its
  // deactivation is ignored meanwhile.
  void HideOnPurpose();
  // Shows a pop-up hidden on purpose again and activates it.
  void ShowAgain();

  // The user asked to close (Esc, or the pop-up lost activation). Unassigned,
  // the pop-up closes itself (ClosePopup); a picker assigns its own closing,
  // which ends in ClosePopup.
  TNotifyEvent OnCloseRequest;

 signals:
  // The pop-up closed (once per showing).
  void Closed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  // A close from the window system is a request like Esc.
  void closeEvent(QCloseEvent* event) override;

 private:
  void Activate();
  void RequestClose();

  bool open_ = false;
  bool hiddenOnPurpose_ = false;
  // Whether the pop-up was active since it was last shown.
  bool activeSinceShown_ = false;
};
