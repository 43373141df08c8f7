// The font chooser of the text pages: a drop-down list of the screen's font
// names, owner-drawn through TCanvas. While the list is open, a preview
// window (TPForm) pops out beside it, without taking the focus, and shows a
// sample in the font under the mouse: PreviewText, the selected word of the
// AttachedEdit ("AaBbYyZz" when none), or the font's own name. Fonts the user
// chooses move to the top of the list (MoveUsedToTop); a double line closes
// that recently-used block. A read-only overlay edit over the box shows
// FontName, also when the name is not in the list.
//
//   auto* fonts = new TWPopOutFntCBox(page);
//   fonts->setObjectName("FontsList");
//   fonts->SetTrueTypeOnly(true);
//   fonts->SetFontName(frame.FontName);           // from the model: no event
//   fonts->OnFontChange = [this](QObject*) { ApplyFont(fonts->FontName()); };
//
// OnFontChange fires when the user closed the list on a font and when the
// user picks a font with the keys (or the wheel) on the closed box; it may
// repeat the current font, so a handler compares before writing the model.
//
// The list is filled at the first opening from ScreenFonts() (injectable for
// tests with SetScreenFonts); with TrueTypeOnly only scalable outline fonts
// are listed. Names are Windows-1252 bytes, as project files store them.
#pragma once

#include "controls/POFCBox.h"
#include "platform/Events.h"
#include "platform/Graphics.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// ---- The screen's fonts -------------------------------------------------------------------

struct TScreenFont {
  std::string Name;      // Windows-1252 bytes
  bool TrueType = true;  // a scalable outline font
};
using TScreenFontList = std::function<std::vector<TScreenFont>()>;

// The families that can be listed, in their order: those whose names survive
// the Windows-1252 round trip; isOutline tells the scalable outline fonts.
std::vector<TScreenFont> ScreenFontsOf(const QStringList& families,
                                       const std::function<bool(const QString&)>& isOutline);
// The installed families (Qt's font database) as ScreenFontsOf lists them.
std::vector<TScreenFont> InstalledScreenFonts();
// The fonts the combo boxes list: the injected list, else InstalledScreenFonts().
std::vector<TScreenFont> ScreenFonts();
// Injects the font list (an empty function restores the installed fonts).
void SetScreenFonts(TScreenFontList list);

// ---- Owner drawing --------------------------------------------------------------------------

enum TOwnerDrawStateItem : unsigned { odSelected = 1, odFocused = 4 };
using TOwnerDrawState = unsigned;
// Draws item Index within Rect on Canvas.
using TDrawItemEvent =
    std::function<void(QObject* Control, int Index, TCanvas& Canvas, const TRect& Rect, TOwnerDrawState State)>;

// ---- TWPopOutFntCBox ----------------------------------------------------------------------

class TWPopOutFntCBox : public QComboBox {
  Q_OBJECT

 public:
  static constexpr int ItemHeight = 16;

  explicit TWPopOutFntCBox(QWidget* parent = nullptr);
  ~TWPopOutFntCBox() override;

  // ---- Properties ----
  // Size of the preview window, 300 x 75 at first.
  int PopUpWidth() const { return popUpWidth_; }
  void SetPopUpWidth(int Value);
  int PopUpHeight() const { return popUpHeight_; }
  void SetPopUpHeight(int Value);
  // "MS Sans Serif" at first. Setting selects the item of that name (none
  // when absent), sets the preview's font, shows the name in the overlay
  // edit and fires OnChange; never OnFontChange.
  const std::string& FontName() const { return fontName_; }
  void SetFontName(const std::string& Value);
  bool MoveUsedToTop() const { return moveUsedToTop_; }
  void SetMoveUsedToTop(bool Value) { moveUsedToTop_ = Value; }
  // Shown by the preview when not empty.
  const std::string& PreviewText() const { return previewText_; }
  void SetPreviewText(const std::string& Value);
  // An edit whose selected text becomes PreviewText at each opening; not owned.
  QLineEdit* AttachedEdit() const { return attachedEdit_; }
  void SetAttachedEdit(QLineEdit* Value) { attachedEdit_ = Value; }
  bool TrueTypeOnly() const { return trueTypeOnly_; }
  void SetTrueTypeOnly(bool Value) { trueTypeOnly_ = Value; }
  // The font the items are written in (a new TFont, MS Sans Serif 8 points, at first).
  const TFont& ItemFont() const { return itemFont_; }
  void SetItemFont(const TFont& Value);

  // ---- State ----
  // The index of the last font of the recently-used block (-1: none).
  int UsedBlockEnd() const { return usedBlockEnd_; }
  // Whether the list is open.
  bool Dropped() const { return dropped_; }
  // Item Index's name as Windows-1252 bytes ("" outside the list).
  std::string ItemName(int Index) const;
  TPForm& PreviewWindow() { return *preview_; }
  QLineEdit& OverlayEdit() { return *overlay_; }

  // Where the preview goes: its top-left corner at the box's bottom-right
  // corner; left of the box when it would pass the screen's right edge, above
  // the box when it would pass the bottom.
  static QPoint PreviewPosition(const QRect& boxOnScreen, QSize preview, TSize screen);

  // ---- Events ----
  TDrawItemEvent OnDrawItem;  // replaces the default item drawing
  TNotifyEvent OnFontChange;
  TNotifyEvent OnChange;
  TNotifyEvent OnClick;
  TNotifyEvent OnDropDown;

  // ---- Handlers ----
  // Opening the list (before Qt shows it).
  void DropDown();
  // Closing the list, once the user's choice is in: moves the chosen font to
  // the top, hides the preview, sets FontName, fires OnFontChange and OnClick.
  void CloseUp();
  // The item under the mouse in the open list: the preview shows its font.
  void ItemHighlighted(int Index);
  // A choice on the closed box (keys, wheel): FontName, OnFontChange, OnClick.
  void ItemActivated(int Index);
  // Draws an item: OnDrawItem when assigned, else the name at x = 4 on the
  // item's colours, and the double line under the used block's last font.
  void DrawItem(int Index, TCanvas& Canvas, const TRect& Rect, TOwnerDrawState State);

  void showPopup() override;
  // Qt hides the list before it selects the chosen item; the close-up
  // therefore runs from the event loop, after the choice.
  void hidePopup() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FillList();
  void LayoutOverlay();

  std::unique_ptr<TPForm> preview_;
  QLineEdit* overlay_ = nullptr;  // child of the box
  int popUpWidth_ = 300;
  int popUpHeight_ = 75;
  std::string fontName_ = "MS Sans Serif";
  bool moveUsedToTop_ = true;
  int usedBlockEnd_ = -1;
  bool dropped_ = false;
  bool closeUpQueued_ = false;
  QPointer<QLineEdit> attachedEdit_;
  bool trueTypeOnly_ = false;
  std::string previewText_;
  TFont itemFont_;
};
