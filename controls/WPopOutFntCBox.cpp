#include "controls/WPopOutFntCBox.h"

#include "platform/BitmapImages.h"
#include "platform/CodePages.h"
#include "platform/SystemValues.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>

// ---- The screen's fonts -------------------------------------------------------------------

namespace {
TScreenFontList injectedFonts;
}  // namespace

std::vector<TScreenFont> ScreenFontsOf(const QStringList& families,
                                       const std::function<bool(const QString&)>& isOutline) {
  std::vector<TScreenFont> fonts;
  for (const QString& family : families) {
    // Project files keep the name in Windows-1252: a name that does not come
    // back the same could never be found again.
    const std::string name = QStringToAnsi(family);
    if (family.isEmpty() || AnsiToQString(name) != family) continue;
    fonts.push_back({name, isOutline(family)});
  }
  return fonts;
}

std::vector<TScreenFont> InstalledScreenFonts() {
  return ScreenFontsOf(QFontDatabase::families(),
                       [](const QString& family) { return QFontDatabase::isSmoothlyScalable(family); });
}

std::vector<TScreenFont> ScreenFonts() { return injectedFonts ? injectedFonts() : InstalledScreenFonts(); }

void SetScreenFonts(TScreenFontList list) { injectedFonts = std::move(list); }

// ---- Item drawing -------------------------------------------------------------------------

namespace {

// Draws the list's items through the box's DrawItem, on a bitmap of the
// item's size.
class FontItemDelegate final : public QAbstractItemDelegate {
 public:
  explicit FontItemDelegate(TWPopOutFntCBox& box) : QAbstractItemDelegate(&box), box_(box) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QRect r = option.rect;
    if (r.width() <= 0 || r.height() <= 0) return;
    TBitmap item;
    item.SetSize(r.width(), r.height());
    TOwnerDrawState state = 0;
    if (option.state & QStyle::State_Selected) state |= odSelected;
    if (option.state & QStyle::State_HasFocus) state |= odFocused;
    box_.DrawItem(index.row(), item.Canvas(), Rect(0, 0, r.width(), r.height()), state);
    painter->drawImage(r.topLeft(), BitmapToQImage(item));
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return {option.rect.width(), TWPopOutFntCBox::ItemHeight};
  }

 private:
  TWPopOutFntCBox& box_;
};

}  // namespace

// ---- TWPopOutFntCBox ----------------------------------------------------------------------

TWPopOutFntCBox::TWPopOutFntCBox(QWidget* parent) : QComboBox(parent), preview_(std::make_unique<TPForm>()) {
  setItemDelegate(new FontItemDelegate(*this));
  preview_->resize(popUpWidth_, popUpHeight_);

  overlay_ = new QLineEdit(this);
  overlay_->setObjectName("OverlayEdit");
  overlay_->setReadOnly(true);
  overlay_->setFrame(false);
  overlay_->setFocusPolicy(Qt::NoFocus);
  // Clicks go through to the box, which opens its list.
  overlay_->setAttribute(Qt::WA_TransparentForMouseEvents);
  overlay_->setText(AnsiToQString(fontName_));
  LayoutOverlay();

  connect(this, &QComboBox::highlighted, this, &TWPopOutFntCBox::ItemHighlighted);
  connect(this, &QComboBox::activated, this, &TWPopOutFntCBox::ItemActivated);
}

TWPopOutFntCBox::~TWPopOutFntCBox() = default;

void TWPopOutFntCBox::SetPopUpWidth(int Value) {
  popUpWidth_ = Value;
  preview_->resize(popUpWidth_, popUpHeight_);
}

void TWPopOutFntCBox::SetPopUpHeight(int Value) {
  popUpHeight_ = Value;
  preview_->resize(popUpWidth_, popUpHeight_);
}

void TWPopOutFntCBox::SetFontName(const std::string& Value) {
  fontName_ = Value;
  setCurrentIndex(findText(AnsiToQString(Value), Qt::MatchExactly));
  preview_->SetPanelFontName(Value);
  overlay_->setText(AnsiToQString(Value));
  Fire(OnChange, this);
}

void TWPopOutFntCBox::SetPreviewText(const std::string& Value) {
  previewText_ = Value;
  preview_->SetPanelCaption(Value);
}

void TWPopOutFntCBox::SetItemFont(const TFont& Value) {
  itemFont_ = Value;
  update();
}

std::string TWPopOutFntCBox::ItemName(int Index) const {
  if (Index < 0 || Index >= count()) return {};
  return QStringToAnsi(itemText(Index));
}

QPoint TWPopOutFntCBox::PreviewPosition(const QRect& boxOnScreen, QSize preview, TSize screen) {
  int x = boxOnScreen.x() + boxOnScreen.width();
  int y = boxOnScreen.y() + boxOnScreen.height();
  if (x + preview.width() > screen.cx) x = boxOnScreen.x() - preview.width();
  if (y + preview.height() > screen.cy) y = boxOnScreen.y() - preview.height();
  return {x, y};
}

// ---- Opening and closing ----

void TWPopOutFntCBox::showPopup() {
  DropDown();
  QComboBox::showPopup();
}

void TWPopOutFntCBox::hidePopup() {
  QComboBox::hidePopup();
  if (!dropped_ || closeUpQueued_) return;
  closeUpQueued_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        closeUpQueued_ = false;
        CloseUp();
      },
      Qt::QueuedConnection);
}

void TWPopOutFntCBox::FillList() {
  const QSignalBlocker quiet(this);
  for (const TScreenFont& font : ScreenFonts()) {
    if (trueTypeOnly_ && !font.TrueType) continue;
    addItem(AnsiToQString(font.Name));
  }
  // Filling selects nothing (Qt would select the first item).
  setCurrentIndex(-1);
}

void TWPopOutFntCBox::DropDown() {
  dropped_ = true;
  if (attachedEdit_) {
    const QString selected = attachedEdit_->selectedText();
    SetPreviewText(selected.isEmpty() ? std::string("AaBbYyZz") : QStringToAnsi(selected));
  }
  if (count() == 0) FillList();
  Fire(OnDropDown, this);
  const QRect box(mapToGlobal(QPoint(0, 0)), size());
  preview_->move(PreviewPosition(box, preview_->size(), System().ScreenSize()));
  preview_->show();
}

void TWPopOutFntCBox::CloseUp() {
  if (!dropped_) return;
  dropped_ = false;
  const int chosen = currentIndex();
  if (chosen == -1) {
    preview_->hide();
    return;
  }
  if (moveUsedToTop_ && chosen != 0) {
    const QSignalBlocker quiet(this);
    const QString name = itemText(chosen);
    removeItem(chosen);
    insertItem(0, name);
    setCurrentIndex(0);
    if (chosen > usedBlockEnd_) ++usedBlockEnd_;
  }
  preview_->hide();
  SetFontName(ItemName(currentIndex()));
  Fire(OnFontChange, this);
  Fire(OnClick, this);
}

void TWPopOutFntCBox::ItemHighlighted(int Index) {
  if (!dropped_ || Index < 0) return;
  const std::string name = ItemName(Index);
  preview_->SetPanelFontName(name);
  if (previewText_.empty()) preview_->SetPanelCaption(name);
}

void TWPopOutFntCBox::ItemActivated(int Index) {
  // A choice in the open list is taken when the list closes.
  if (dropped_ || Index < 0) return;
  SetFontName(ItemName(Index));
  Fire(OnFontChange, this);
  Fire(OnClick, this);
}

// ---- Drawing ----

void TWPopOutFntCBox::DrawItem(int Index, TCanvas& Canvas, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Canvas, Rect, State);
    return;
  }
  const bool selected = (State & odSelected) != 0;
  Canvas.Brush().Style = bsSolid;
  Canvas.Brush().Color = selected ? clHighlight : clWindow;
  Canvas.Font() = itemFont_;
  Canvas.Font().Color = selected ? clHighlightText : clWindowText;
  Canvas.FillRect(Rect);
  Canvas.TextOut(Rect.Left + 4, Rect.Top, ItemName(Index));
  if (moveUsedToTop_ && Index == usedBlockEnd_) {
    Canvas.Pen().Color = clBlack;
    Canvas.Pen().Width = 1;
    Canvas.Pen().Style = psSolid;
    Canvas.MoveTo(Rect.Left, Rect.Bottom - 3);
    Canvas.LineTo(Rect.Right, Rect.Bottom - 3);
    Canvas.MoveTo(Rect.Left, Rect.Bottom - 1);
    Canvas.LineTo(Rect.Right, Rect.Bottom - 1);
  }
}

// ---- Overlay edit ----

void TWPopOutFntCBox::resizeEvent(QResizeEvent* event) {
  QComboBox::resizeEvent(event);
  LayoutOverlay();
}

// The overlay covers the box's text field, in front, in the box's colours.
void TWPopOutFntCBox::LayoutOverlay() {
  QStyleOptionComboBox option;
  initStyleOption(&option);
  overlay_->setGeometry(style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this));
  overlay_->setPalette(palette());
  overlay_->raise();
}
