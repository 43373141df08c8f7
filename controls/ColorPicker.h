// The colour picker of the colour buttons: a pop-up with a grid of 45 fixed
// colours, red, green and blue track bars with a preview swatch, a
// "More Colors..." button (the system's colour chooser, through UiServices)
// and an "Ok" button.
//
//   picker->SetColor(button->ButtonColor());
//   picker->Popup(button);          // top-left corner at the button's centre
//   picker->OnColorChange = [this](QObject* Sender, TColor Value) { ... };
//
// OnColorChange fires once at every close of the pop-up (a grid click, Ok,
// Esc, a click elsewhere, a colour from "More Colors..."), with the colour as
// it then stands, also when it did not change; and live while the user moves
// a track bar with the pop-up shown. SetColor never fires it. One picker
// serves all colour buttons of its owner: the handler applies the colour to
// LastControl() or to what the caller remembered.
//
// The pop-up's parts have object names: "PopupForm", "Panel", "Grid",
// "RedTrackBar", "GreenTrackBar", "BlueTrackBar", "RedMarker",
// "GreenMarker", "BlueMarker", "ColorSwatch", "MoreColorsButton", "OkButton".
#pragma once

#include "platform/Colors.h"
#include "platform/Events.h"
#include "platform/Geometry.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <functional>

class QFrame;
class QToolButton;
class QWidget;
class TDrawGrid;
class TPopupWindow;
class TTrackBar;

using TColorChangeEvent = std::function<void(QObject* Sender, TColor Value)>;

class TColorPicker : public QObject {
  Q_OBJECT

 public:
  static constexpr int ColorCount = 45;
  static constexpr int Columns = 9;
  static constexpr int Rows = 5;
  // The fixed colour of cell Index (row x 9 + column); 0 outside the table.
  static TColor PaletteColor(int Index);

  // AOwner: the component's owner; when it is a widget, the pop-up is its
  // window (and works while the owner is a modal dialog).
  explicit TColorPicker(QObject* AOwner = nullptr);
  ~TColorPicker() override;

  TColor Color() const { return color_; }
  // Shows v in the swatch, moves the bars to its red, green and blue (system
  // colours resolved) without their change handling and selects the first
  // grid cell of exactly v (none changes when no cell matches). No event.
  void SetColor(TColor Value);

  // Shows the pop-up with its top-left corner at the screen position of the
  // control's centre (the mouse without a control), kept on the desktop.
  void Popup(QWidget* Control);
  // Hides the pop-up and fires OnColorChange(this, Color).
  void ClosePanel();
  // The control of the last Popup.
  QWidget* LastControl() const { return lastControl_; }
  bool PopupVisible() const;

  TColorChangeEvent OnColorChange;

  // ---- Parts (for placing and tests) ----
  TPopupWindow& Form() { return *form_; }
  TDrawGrid& Grid() { return *grid_; }
  TTrackBar& RedBar() { return *bars_[0]; }
  TTrackBar& GreenBar() { return *bars_[1]; }
  TTrackBar& BlueBar() { return *bars_[2]; }
  QFrame& Swatch() { return *swatch_; }
  QToolButton& MoreColorsButton() { return *moreColors_; }
  QToolButton& OkButton() { return *ok_; }

  // ---- Handlers ----
  void GridDrawCell(QObject* Sender, int ACol, int ARow, const TRect& Rect, unsigned State);
  // Color := the clicked cell's colour, then ClosePanel.
  void GridClick(QObject* Sender);
  // A bar moved: Color := the bars' mix, fired live while the pop-up shows.
  void TrackBarChange(QObject* Sender);
  // Hides the pop-up and asks for a colour: chosen, it becomes Color and the
  // panel closes; cancelled, the pop-up shows again without an event.
  void MoreColorsClick();
  void OkClick();

 private:
  void BuildPopup(QWidget* ownerWidget);
  void ShowSwatch();

  QPointer<TPopupWindow> form_;
  TDrawGrid* grid_ = nullptr;
  std::array<TTrackBar*, 3> bars_{};
  QFrame* swatch_ = nullptr;
  QToolButton* moreColors_ = nullptr;
  QToolButton* ok_ = nullptr;
  TColor color_ = 0;
  bool settingColor_ = false;
  QPointer<QWidget> lastControl_;
};
