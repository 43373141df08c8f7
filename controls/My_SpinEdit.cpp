#include "controls/My_SpinEdit.h"

#include "platform/CodePages.h"
#include "platform/Numeric.h"
#include "platform/UiServices.h"
#include "platform/qtui/QtInput.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>

namespace {

// ---- The default glyphs -----------------------------------------------------------------

// A 7 x 3 triangle of black on olive; the olive ground (the bottom-left
// pixel) is the glyph's transparent colour.
void DrawTriangle(TBitmap& glyph, bool pointingUp) {
  glyph.Canvas().Brush().Color = clOlive;
  glyph.SetSize(7, 3);
  for (int row = 0; row < 3; ++row) {
    const int halfWidth = pointingUp ? row : 2 - row;
    for (int x = 3 - halfWidth; x <= 3 + halfWidth; ++x) glyph.SetPixel(x, row, clBlack);
  }
}

// ---- Speed-button faces -----------------------------------------------------------------

// One ring of a button's edge: top and left in one colour, bottom and right
// (with the top-right and bottom-left corners) in the other; rect shrinks by it.
void DrawEdgeRing(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight) {
  if (rect.IsEmpty()) return;
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = topLeft;
  canvas.FillRect(Rect(rect.Left, rect.Top, rect.Right - 1, rect.Top + 1));
  canvas.FillRect(Rect(rect.Left, rect.Top, rect.Left + 1, rect.Bottom - 1));
  canvas.Brush().Color = bottomRight;
  canvas.FillRect(Rect(rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom));
  canvas.FillRect(Rect(rect.Right - 1, rect.Top, rect.Right, rect.Bottom));
  InflateRect(rect, -1, -1);
}

char DecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  return point.size() == 1 && point[0].unicode() < 0x80 ? static_cast<char>(point[0].unicode()) : '.';
}

}  // namespace

// ---- TTimerSpeedButton -------------------------------------------------------------------------

TTimerSpeedButton::TTimerSpeedButton(QWidget* parent) : TGraphicControl(parent) { SetBounds(0, 0, 23, 22); }

TTimerSpeedButton::~TTimerSpeedButton() = default;

void TTimerSpeedButton::SetGlyph(const TBitmap& glyph) {
  glyph_.Assign(&glyph);
  Invalidate();
}

void TTimerSpeedButton::SetNumGlyphs(int value) {
  if (value < 1 || value > 4 || value == numGlyphs_) return;
  numGlyphs_ = value;
  Invalidate();
}

void TTimerSpeedButton::SetTimeBtnState(TTimeBtnState value) {
  if (value == timeBtnState_) return;
  timeBtnState_ = value;
  Invalidate();
}

void TTimerSpeedButton::SetDown(bool value) {
  if (value == down_) return;
  down_ = value;
  Repaint();
}

void TTimerSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const bool pressing = Button == mbLeft && Enabled();
  if (pressing) {
    holding_ = true;
    SetDown(true);
  }
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (!pressing) return;
  // One click at the press; the timer repeats it while the button is held.
  Click();
  if (timeBtnState_ & tbAllowTimer) {
    if (!repeatTimer_) {
      repeatTimer_ = std::make_unique<TTimer>();
      repeatTimer_->SetEnabled(false);
      repeatTimer_->SetOnTimer([this] { TimerExpired(); });
    }
    repeatTimer_->SetEnabled(false);
    repeatTimer_->SetInterval(400);
    repeatTimer_->SetEnabled(true);
  }
}

void TTimerSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  // Held, the button shows down only while the pointer is over it.
  if (holding_) SetDown(PtInRect(ClientRect(), Point(X, Y)));
  TGraphicControl::MouseMove(Shift, X, Y);
}

void TTimerSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && holding_) {
    holding_ = false;
    SetDown(false);
  }
  if (repeatTimer_) repeatTimer_->SetEnabled(false);
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
  const std::optional<TMouseButton> button = MouseButtonOf(event->button());
  if (!button) return QWidget::mouseReleaseEvent(event);
  const QPoint p = event->position().toPoint();
  MouseUp(*button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TTimerSpeedButton::TimerExpired() {
  if (!repeatTimer_) return;
  repeatTimer_->SetInterval(100);
  // A button that was hidden or disabled while held has lost the mouse.
  if (!isEnabled() || !Visible()) holding_ = false;
  if (!down_ || !holding_) return;
  try {
    Click();
  } catch (...) {
    repeatTimer_->SetEnabled(false);
    throw;
  }
}

void TTimerSpeedButton::Paint() {
  TCanvas& canvas = Canvas();
  TRect rect = ClientRect();
  if (down_) {
    DrawEdgeRing(canvas, rect, cl3DDkShadow, clBtnHighlight);
    DrawEdgeRing(canvas, rect, clBtnShadow, cl3DLight);
  } else {
    DrawEdgeRing(canvas, rect, clBtnHighlight, cl3DDkShadow);
    DrawEdgeRing(canvas, rect, cl3DLight, clBtnShadow);
  }
  canvas.Brush().Color = clBtnFace;
  canvas.FillRect(rect);
  DrawGlyph(rect, down_ ? 1 : 0);
  if (timeBtnState_ & tbFocusRect) {
    TRect focus = Rect(3, 3, Width() - 3, Height() - 3);
    if (down_) OffsetRect(focus, 1, 1);
    canvas.DrawFocusRect(focus);
  }
}

// The glyph centred in the face, moved by the offset while down: the cell
// for the state (up, disabled, down) when the strip holds it. A disabled
// button without a disabled cell shows its glyph embossed.
void TTimerSpeedButton::DrawGlyph(const TRect& client, int offset) {
  if (glyph_.Empty()) return;
  const int width = glyph_.Width() / numGlyphs_, height = glyph_.Height();
  if (width <= 0) return;
  int cell = 0;
  if (!Enabled() && numGlyphs_ > 1) {
    cell = 1;
  } else if (down_ && numGlyphs_ > 2) {
    cell = 2;
  }
  const int left = client.Left + (client.Width() - width + 1) / 2 + offset;
  const int top = client.Top + (client.Height() - height + 1) / 2 + offset;
  const TColor ground = glyph_.TransparentColor() & 0x00FFFFFF;
  TCanvas& canvas = Canvas();
  auto forEachFigurePixel = [&](auto draw) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const TColor color = glyph_.Pixel(cell * width + x, y);
        if (color != ground) draw(x, y, color);
      }
  };
  if (!Enabled() && numGlyphs_ == 1) {
    forEachFigurePixel([&](int x, int y, TColor) { canvas.SetPixel(left + x + 1, top + y + 1, ColorToRGB(clBtnHighlight)); });
    forEachFigurePixel([&](int x, int y, TColor) { canvas.SetPixel(left + x, top + y, ColorToRGB(clBtnShadow)); });
    return;
  }
  forEachFigurePixel([&](int x, int y, TColor color) { canvas.SetPixel(left + x, top + y, color); });
}

// ---- TSpinButton ---------------------------------------------------------------------------------

const TBitmap& TSpinButton::DefaultUpGlyph() {
  static const auto glyph = [] {
    auto made = std::make_unique<TBitmap>();
    DrawTriangle(*made, true);
    return made;
  }();
  return *glyph;
}

const TBitmap& TSpinButton::DefaultDownGlyph() {
  static const auto glyph = [] {
    auto made = std::make_unique<TBitmap>();
    DrawTriangle(*made, false);
    return made;
  }();
  return *glyph;
}

TSpinButton::TSpinButton(QWidget* parent) : TGraphicControl(parent) {
  upButton_ = CreateButton("UpButton", DefaultUpGlyph());
  downButton_ = CreateButton("DownButton", DefaultDownGlyph());
  focusedButton_ = upButton_;
  SetBounds(0, 0, 20, 25);
}

TTimerSpeedButton* TSpinButton::CreateButton(const char* name, const TBitmap& glyph) {
  auto* button = new TTimerSpeedButton(this);
  button->setObjectName(name);
  button->SetGlyph(glyph);
  button->SetTimeBtnState(tbAllowTimer);
  button->OnMouseDown = [this](QObject* sender, TMouseButton pressed, TShiftState, int, int) {
    BtnMouseDown(sender, pressed);
  };
  button->OnClick = [this](QObject* sender) { BtnClick(sender); };
  return button;
}

void TSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const int width = std::max(AWidth, 15);
  upButton_->SetBounds(0, 0, width, AHeight / 2);
  downButton_->SetBounds(0, upButton_->Height() - 1, width, AHeight - upButton_->Height() + 1);
  TGraphicControl::SetBounds(ALeft, ATop, width, AHeight);
}

bool TSpinButton::TabStop() const { return focusPolicy() != Qt::NoFocus; }

void TSpinButton::SetTabStop(bool value) { setFocusPolicy(value ? Qt::TabFocus : Qt::NoFocus); }

bool TSpinButton::CanFocus() const { return isEnabled() && isVisible(); }

void TSpinButton::SetUpGlyph(const TBitmap* glyph) { upButton_->SetGlyph(glyph != nullptr ? *glyph : DefaultUpGlyph()); }

void TSpinButton::SetDownGlyph(const TBitmap* glyph) {
  downButton_->SetGlyph(glyph != nullptr ? *glyph : DefaultDownGlyph());
}

void TSpinButton::BtnMouseDown(QObject* Sender, TMouseButton Button) {
  if (Button != mbLeft) return;
  SetFocusBtn(static_cast<TTimerSpeedButton*>(Sender));
  QWidget* control = focusControl_;
  if (control != nullptr && (control->focusPolicy() & Qt::TabFocus) && control->isEnabled() && control->isVisible() &&
      !control->hasFocus()) {
    control->setFocus(Qt::MouseFocusReason);
  } else if (TabStop() && !hasFocus() && CanFocus()) {
    setFocus(Qt::MouseFocusReason);
  }
}

void TSpinButton::BtnClick(QObject* Sender) {
  if (Sender == upButton_) {
    Fire(OnUpClick, this);
  } else {
    Fire(OnDownClick, this);
  }
}

void TSpinButton::SetFocusBtn(TTimerSpeedButton* button) {
  if (!TabStop() || !CanFocus() || button == focusedButton_) return;
  focusedButton_->SetTimeBtnState(focusedButton_->TimeBtnState() & ~tbFocusRect);
  focusedButton_ = button;
  if (hasFocus()) focusedButton_->SetTimeBtnState(focusedButton_->TimeBtnState() | tbFocusRect);
}

void TSpinButton::focusInEvent(QFocusEvent* event) {
  TGraphicControl::focusInEvent(event);
  focusedButton_->SetTimeBtnState(focusedButton_->TimeBtnState() | tbFocusRect);
}

void TSpinButton::focusOutEvent(QFocusEvent* event) {
  TGraphicControl::focusOutEvent(event);
  focusedButton_->SetTimeBtnState(focusedButton_->TimeBtnState() & ~tbFocusRect);
}

void TSpinButton::KeyDown(WORD& Key, TShiftState) {
  switch (Key) {
    case VK_UP:
      SetFocusBtn(upButton_);
      upButton_->Click();
      Key = 0;
      break;
    case VK_DOWN:
      SetFocusBtn(downButton_);
      downButton_->Click();
      Key = 0;
      break;
    case VK_SPACE:
      focusedButton_->Click();
      Key = 0;
      break;
    default: break;
  }
}

// ---- TSpinEdit ---------------------------------------------------------------------------------------

namespace {
// The edit's frame: the client coordinates the button is placed in start inside it.
constexpr int kFrame = 2;
}  // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QLineEdit(parent) {
  setText("0");
  // Windows edits take no dropped text; it would also bypass EditorEnabled.
  setAcceptDrops(false);
  button_ = new TSpinButton(this);
  button_->setObjectName("Button");
  button_->SetCursor(crArrow);
  button_->SetBounds(0, 0, 15, 17);
  button_->SetFocusControl(this);
  button_->OnUpClick = [this](QObject*) { UpClick(); };
  button_->OnDownClick = [this](QObject*) { DownClick(); };
  connect(this, &QLineEdit::textChanged, this, [this] { TextChanged(); });
  LayoutButton();
}

std::string TSpinEdit::Text() const { return QStringToAnsi(text()); }

void TSpinEdit::SetText(const std::string& value) { setText(AnsiToQString(value)); }

std::int32_t TSpinEdit::Value() const {
  if (const std::optional<std::int32_t> value = TryStrToInt(Text())) return *value;
  // Half the range's width (not its midpoint): what an unreadable text has always read as.
  return SaturatingCast<std::int32_t>(Round64((std::int64_t{maxValue_} - minValue_) / 2.0));
}

std::int32_t TSpinEdit::CheckValue(std::int64_t value) const {
  if (maxValue_ != minValue_) {
    if (value < minValue_) {
      value = minValue_;
    } else if (value > maxValue_) {
      value = maxValue_;
    }
  }
  return SaturatingCast<std::int32_t>(value);
}

void TSpinEdit::SetValue(std::int32_t value) { setText(QString::number(CheckValue(value))); }

void TSpinEdit::UpClick() {
  if (isReadOnly()) {
    MessageBeep(0);
    return;
  }
  SetValue(CheckValue(std::int64_t{Value()} + increment_));
}

void TSpinEdit::DownClick() {
  if (isReadOnly()) {
    MessageBeep(0);
    return;
  }
  SetValue(CheckValue(std::int64_t{Value()} - increment_));
}

void TSpinEdit::TextChanged() {
  if (TryStrToInt(Text())) Fire(OnChange, this);
}

bool TSpinEdit::IsValidChar(char key) const {
  const auto code = static_cast<unsigned char>(key);
  const bool control = code < 32 && key != '\r';
  if (!editorEnabled_) return control && key != '\b';
  return control || key == '+' || key == '-' || (key >= '0' && key <= '9') || key == DecimalSeparator();
}

// ---- Keys ----

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
  // Enter and Return belong to the dialog's default button, as Windows' dialog keys do.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return QLineEdit::keyPressEvent(event);
  const std::optional<char> typed = KeyPressCharOf(*event);
  if (WORD key = VirtualKeyOf(*event); key != 0) {
    if (key == VK_UP) UpClick();
    if (key == VK_DOWN) DownClick();
    const bool arrow = key == VK_UP || key == VK_DOWN;
    Fire(OnKeyDown, this, key, ShiftStateOf(event->modifiers()));
    // A key that OnKeyDown consumed still types its character, as on Windows.
    if (arrow || (key == 0 && !typed)) return event->accept();
  }
  if ((event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)) && !MayPasteOrCut())
    return event->accept();
  if (!typed) return QLineEdit::keyPressEvent(event);
  char key = *typed;
  if (!IsValidChar(key)) {
    key = '\0';
    MessageBeep(0);
  }
  if (key != '\0') Fire(OnKeyPress, this, key);
  if (key == '\0') return event->accept();
  if (key == *typed) return QLineEdit::keyPressEvent(event);
  // A handler that changed the character types its own.
  if (static_cast<unsigned char>(key) >= 32) insert(AnsiToQString(std::string(1, key)));
  event->accept();
}

void TSpinEdit::keyReleaseEvent(QKeyEvent* event) {
  if (WORD key = VirtualKeyOf(*event); key != 0) Fire(OnKeyUp, this, key, ShiftStateOf(event->modifiers()));
  QLineEdit::keyReleaseEvent(event);
}

// Our own menu, as an edit control's: Qt's standard one gives no way to
// tell its paste and cut from the rest.
std::unique_ptr<QMenu> TSpinEdit::CreateContextMenu() {
  auto menu = std::make_unique<QMenu>();
  auto add = [&](const char* name, const char* text, bool enabled, auto slot) {
    QAction* action = menu->addAction(QString::fromLatin1(text));
    action->setObjectName(name);
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
  };
  const bool editable = !isReadOnly();
  const bool selected = hasSelectedText();
  add("edit-undo", "&Undo", editable && isUndoAvailable(), &QLineEdit::undo);
  menu->addSeparator();
  add("edit-cut", "Cu&t", selected && MayPasteOrCut(), &QLineEdit::cut);
  add("edit-copy", "&Copy", selected, &QLineEdit::copy);
  add("edit-paste", "&Paste", MayPasteOrCut() && !QGuiApplication::clipboard()->text().isEmpty(), &QLineEdit::paste);
  add("edit-delete", "&Delete", selected && MayPasteOrCut(), &QLineEdit::del);
  menu->addSeparator();
  add("select-all", "Select &All", !text().isEmpty() && selectedText() != text(), &QLineEdit::selectAll);
  return menu;
}

void TSpinEdit::contextMenuEvent(QContextMenuEvent* event) { CreateContextMenu()->exec(event->globalPos()); }

void TSpinEdit::mouseReleaseEvent(QMouseEvent* event) {
  // The middle button pastes the selection on X11: a paste like any other.
  if (event->button() == Qt::MiddleButton && !MayPasteOrCut()) return event->accept();
  QLineEdit::mouseReleaseEvent(event);
}

// ---- Focus ----

void TSpinEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  const bool leftDown = QGuiApplication::mouseButtons() & Qt::LeftButton;
  if (autoSelect_ && !leftDown && event->reason() != Qt::MouseFocusReason) {
    selectAll();
  } else if (!autoSelect_ && event->reason() != Qt::MouseFocusReason) {
    deselect();
  }
  Fire(OnEnter, this);
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Another window or a menu taking the focus does not leave the field.
  if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) return;
  Fire(OnExit, this);
  // A text still unreadable, or out of range, becomes the value it reads as.
  const std::int32_t value = Value();
  if (!TryStrToInt(Text()) || CheckValue(value) != value) SetValue(value);
}

// ---- Layout ----

int TSpinEdit::MinHeight() const {
  const int fontHeight = QFontMetrics(font()).height();
  const int systemHeight = QFontMetrics(QApplication::font()).height();
  constexpr int kBorderHeight = 1;
  return fontHeight + std::min(systemHeight, fontHeight) / 4 + 4 * kBorderHeight + 2;
}

void TSpinEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  setGeometry(ALeft, ATop, std::max(0, AWidth), std::max(AHeight, MinHeight()));
  LayoutButton();
}

// Layouts learn the minimum height from the size hints; a resize never
// resizes again (a layout that gave less would shrink it back, for ever).
QSize TSpinEdit::minimumSizeHint() const {
  const QSize hint = QLineEdit::minimumSizeHint();
  return {hint.width(), std::max(hint.height(), MinHeight())};
}

QSize TSpinEdit::sizeHint() const {
  const QSize hint = QLineEdit::sizeHint();
  return {hint.width(), std::max(hint.height(), MinHeight())};
}

void TSpinEdit::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange) updateGeometry();
}

void TSpinEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  LayoutButton();
}

// The button inside the right edge (at client position
// (Width - button width - 5, 0), Height - 5 high), and the text kept clear of it.
// The margins are set only when they change: setting them asks for a new
// layout and a repaint.
void TSpinEdit::LayoutButton() {
  const int buttonWidth = button_->Width();
  button_->SetBounds(kFrame + width() - buttonWidth - 5, kFrame, buttonWidth, height() - 5);
  const QMargins margins(0, 0, buttonWidth + 2, 0);
  if (textMargins() != margins) setTextMargins(margins);
}
