#include "controls/Bitmpbtn.h"

#include "platform/CodePages.h"
#include "platform/Fonts.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcutEvent>

#include "platform/qtui/QtInput.h"

#include <algorithm>

// ---- Captions -------------------------------------------------------------------------------

namespace {

// A caption as drawn: "&" marks the next character as the accelerator (drawn
// underlined), "&&" is a plain "&".
struct ShownCaption {
  std::string text;
  int accelerator = -1;  // index in text, -1 for none
};

ShownCaption ShowCaption(const std::string& caption) {
  ShownCaption shown;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) {
      ++i;
      if (caption[i] != '&' && shown.accelerator < 0) shown.accelerator = static_cast<int>(shown.text.size());
    }
    shown.text += caption[i];
  }
  return shown;
}

TSize CaptionExtent(TCanvas& canvas, const std::string& caption) {
  if (caption.empty()) return {0, 0};
  return canvas.TextExtent(ShowCaption(caption).text);
}

// Writes a single-line caption in the canvas's font and colour, at the
// rectangle's top-left corner or centred in it, with its accelerator underlined.
void DrawCaption(TCanvas& canvas, const TRect& rect, const std::string& caption, bool centred) {
  if (caption.empty()) return;
  const ShownCaption shown = ShowCaption(caption);
  const TSize size = canvas.TextExtent(shown.text);
  int x = rect.Left;
  int y = rect.Top;
  if (centred) {
    x += (rect.Width() - size.cx) / 2;
    y += (rect.Height() - size.cy) / 2;
  }
  canvas.TextOut(x, y, shown.text);
  if (shown.accelerator < 0) return;
  const int start = x + canvas.TextWidth(shown.text.substr(0, static_cast<std::size_t>(shown.accelerator)));
  const int width = canvas.TextWidth(shown.text.substr(static_cast<std::size_t>(shown.accelerator), 1));
  const int underline = y + QFontMetrics(ToQFont(canvas.Font())).ascent() + 1;
  const TPen pen = canvas.Pen();
  canvas.Pen().Color = canvas.Font().Color;
  canvas.Pen().Width = 1;
  canvas.Pen().Style = psSolid;
  canvas.MoveTo(start, underline);
  canvas.LineTo(start + width, underline);
  canvas.Pen() = pen;
}

// Alt plus the caption's accelerator clicks the button (the caption's
// dialog character); returns the new shortcut id.
int GrabAccelerator(QWidget& button, int oldId, const std::string& caption) {
  if (oldId != 0) button.releaseShortcut(oldId);
  const QKeySequence key = QKeySequence::mnemonic(AnsiToQString(caption));
  return key.isEmpty() ? 0 : button.grabShortcut(key);
}

bool IsAccelerator(QEvent* event, int shortcutId) {
  return event->type() == QEvent::Shortcut && shortcutId != 0 &&
         static_cast<QShortcutEvent*>(event)->shortcutId() == shortcutId;
}

}  // namespace

// ---- TGlyphList ------------------------------------------------------------------------------

TGlyphList::TGlyphList(int AWidth, int AHeight) : width_(AWidth), height_(AHeight) {}

int TGlyphList::AllocateIndex() {
  const auto free = std::find(used_.begin(), used_.end(), false);
  const int index = static_cast<int>(free - used_.begin());
  if (free == used_.end()) {
    used_.push_back(false);
    slots_.emplace_back();
  }
  used_[static_cast<std::size_t>(index)] = true;
  ++count_;
  return index;
}

int TGlyphList::Store(const TBitmap& Image, std::optional<TColor> MaskColor) {
  const int index = AllocateIndex();
  Slot& slot = slots_[static_cast<std::size_t>(index)];
  slot.image = std::make_unique<TBitmap>();
  slot.image->SetPixelFormat(pf24bit);
  slot.image->SetSize(width_, height_);
  slot.background.clear();
  if (MaskColor) slot.background.assign(static_cast<std::size_t>(width_) * height_, false);
  const TColor key = MaskColor ? ColorToRGB(*MaskColor) : 0;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const TColor c = x < Image.Width() && y < Image.Height() ? Image.Pixel(x, y) : clBlack;
      slot.image->SetPixel(x, y, c);
      if (MaskColor && c == key) slot.background[static_cast<std::size_t>(y) * width_ + x] = true;
    }
  }
  return index;
}

int TGlyphList::Add(const TBitmap& Image) { return Store(Image, std::nullopt); }

int TGlyphList::AddMasked(const TBitmap& Image, TColor MaskColor) { return Store(Image, MaskColor); }

void TGlyphList::Delete(int Index) {
  if (Index < 0 || Index >= static_cast<int>(used_.size()) || !used_[static_cast<std::size_t>(Index)]) return;
  used_[static_cast<std::size_t>(Index)] = false;
  --count_;
}

void TGlyphList::Draw(TCanvas& Canvas, int X, int Y, int Index, TColor Background) const {
  if (Index < 0 || Index >= static_cast<int>(used_.size()) || !used_[static_cast<std::size_t>(Index)]) return;
  const Slot& slot = slots_[static_cast<std::size_t>(Index)];
  const TColor background = ColorToRGB(Background);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const bool isBackground = !slot.background.empty() && slot.background[static_cast<std::size_t>(y) * width_ + x];
      if (Canvas.InClip(X + x, Y + y)) Canvas.SetPixel(X + x, Y + y, isBackground ? background : slot.image->Pixel(x, y));
    }
  }
}

// ---- TGlyphCache ------------------------------------------------------------------------------

TGlyphList& TGlyphCache::GetList(int AWidth, int AHeight) {
  for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
    if ((*it)->Width() == AWidth && (*it)->Height() == AHeight) return **it;
  lists_.push_back(std::make_unique<TGlyphList>(AWidth, AHeight));
  return *lists_.back();
}

void TGlyphCache::ReturnList(TGlyphList* List) {
  if (List == nullptr || List->Count() != 0) return;
  std::erase_if(lists_, [List](const std::unique_ptr<TGlyphList>& l) { return l.get() == List; });
}

// ---- TButtonGlyph -----------------------------------------------------------------------------

namespace {

std::unique_ptr<TGlyphCache>& SharedCache() {
  static std::unique_ptr<TGlyphCache> cache;
  return cache;
}

}  // namespace

TGlyphCache* GlyphCache() { return SharedCache().get(); }

TButtonGlyph::TButtonGlyph() {
  if (!SharedCache()) SharedCache() = std::make_unique<TGlyphCache>();
  original_.OnChange = [this](TBitmap&) { GlyphChanged(); };
}

TButtonGlyph::~TButtonGlyph() {
  original_.OnChange = nullptr;
  Invalidate();
  if (SharedCache() && SharedCache()->Empty()) SharedCache().reset();
}

void TButtonGlyph::Invalidate() {
  if (glyphList_ != nullptr) {
    for (int& index : indexes_) {
      glyphList_->Delete(index);
      index = -1;
    }
    if (SharedCache()) SharedCache()->ReturnList(glyphList_);
    glyphList_ = nullptr;
  }
  indexes_.fill(-1);
}

void TButtonGlyph::GlyphChanged() {
  if (original_.Height() > 0) transparentColor_ = original_.TransparentColor();
  Invalidate();
  if (OnChange) OnChange();
}

void TButtonGlyph::SetGlyph(const TBitmap* Value) {
  Invalidate();
  original_.OnChange = nullptr;
  original_.Assign(Value);
  original_.OnChange = [this](TBitmap&) { GlyphChanged(); };
  if (Value != nullptr && Value->Height() > 0) {
    transparentColor_ = Value->TransparentColor();
    if (Value->Width() % Value->Height() == 0) {
      int glyphs = Value->Width() / Value->Height();
      if (glyphs > 4) glyphs = 1;
      SetNumGlyphs(glyphs);
    }
  }
  if (OnChange) OnChange();
}

void TButtonGlyph::SetNumGlyphs(int Value) {
  if (Value < 1) return;
  Value = std::min(Value, 4);
  if (Value == numGlyphs_) return;
  Invalidate();
  numGlyphs_ = Value;
  if (OnChange) OnChange();
}

void TButtonGlyph::SetFaceColor(TColor Value) {
  if (Value != faceColor_) Invalidate();
  faceColor_ = Value;
}

void TButtonGlyph::SetLightColor(TColor Value) {
  if (Value != lightColor_) Invalidate();
  lightColor_ = Value;
}

void TButtonGlyph::SetDarkColor(TColor Value) {
  if (Value != darkColor_) Invalidate();
  darkColor_ = Value;
}

TSize TButtonGlyph::GlyphSize() const {
  if (original_.Empty()) return {0, 0};
  return {original_.Width() / numGlyphs_, original_.Height()};
}

// The image of a state: the state's cell with
// its transparent pixels in the face colour; the exclusive state keeps them
// as a mask; a strip of one cell gets an embossed disabled image.
std::unique_ptr<TBitmap> TButtonGlyph::StateImage(TButtonState State) const {
  const TSize cell = GlyphSize();
  int index = static_cast<int>(State);
  if (index >= numGlyphs_) index = 0;
  const int left = index * cell.cx;
  const TColor transparent = ColorToRGB(transparentColor_);
  const TColor face = ColorToRGB(faceColor_);
  auto image = std::make_unique<TBitmap>();
  image->SetPixelFormat(pf24bit);
  image->SetSize(cell.cx, cell.cy);
  auto cellPixel = [&](int x, int y) { return original_.Pixel(left + x, y); };

  if (State == bsExclusive) {
    for (int y = 0; y < cell.cy; ++y)
      for (int x = 0; x < cell.cx; ++x) image->SetPixel(x, y, cellPixel(x, y));
    return image;
  }
  if (State == bsDisabled && numGlyphs_ == 1) {
    // Embossed: the glyph's shape (every pixel not of its background colour)
    // in the light colour one pixel down and right, then in the dark colour
    // in place, on the face colour; as a brush blitted through a one-bit mask.
    for (int y = 0; y < cell.cy; ++y)
      for (int x = 0; x < cell.cx; ++x) image->SetPixel(x, y, face);
    const TColor light = ColorToRGB(lightColor_);
    const TColor dark = ColorToRGB(darkColor_);
    for (int y = 0; y < cell.cy; ++y)
      for (int x = 0; x < cell.cx; ++x)
        if (cellPixel(x, y) != transparent && x + 1 < cell.cx && y + 1 < cell.cy) image->SetPixel(x + 1, y + 1, light);
    for (int y = 0; y < cell.cy; ++y)
      for (int x = 0; x < cell.cx; ++x)
        if (cellPixel(x, y) != transparent) image->SetPixel(x, y, dark);
    return image;
  }
  // Up, down, and disabled with a cell of its own (index 1).
  for (int y = 0; y < cell.cy; ++y) {
    for (int x = 0; x < cell.cx; ++x) {
      const TColor c = cellPixel(x, y);
      image->SetPixel(x, y, c == transparent ? face : c);
    }
  }
  return image;
}

int TButtonGlyph::CreateButtonGlyph(TButtonState State) {
  if (State == bsDown && numGlyphs_ < 3) State = bsUp;
  const int stateIndex = static_cast<int>(State);
  if (indexes_[static_cast<std::size_t>(stateIndex)] != -1) return indexes_[static_cast<std::size_t>(stateIndex)];
  const TSize cell = GlyphSize();
  if (cell.cx <= 0 || cell.cy <= 0) return -1;
  if (glyphList_ == nullptr) {
    if (!SharedCache()) SharedCache() = std::make_unique<TGlyphCache>();
    glyphList_ = &SharedCache()->GetList(cell.cx, cell.cy);
  }
  const std::unique_ptr<TBitmap> image = StateImage(State);
  const int index = State == bsExclusive ? glyphList_->AddMasked(*image, transparentColor_) : glyphList_->Add(*image);
  indexes_[static_cast<std::size_t>(stateIndex)] = index;
  original_.Dormant();
  return index;
}

void TButtonGlyph::CalcButtonLayout(TCanvas& Canvas, const TRect& Client, TPoint Offset, const std::string& Caption,
                                    TButtonLayout Layout, int Margin, int Spacing, TPoint& GlyphPos,
                                    TRect& TextBounds) const {
  const TPoint clientSize = Point(Client.Width(), Client.Height());
  const TSize glyph = GlyphSize();
  const TSize text = CaptionExtent(Canvas, Caption);
  const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  TPoint glyphPos{};
  TPoint textPos{};
  // Glyph and caption are centred across the layout's axis.
  if (horizontal) {
    glyphPos.Y = (clientSize.Y - glyph.cy + 1) / 2;
    textPos.Y = (clientSize.Y - text.cy + 1) / 2;
  } else {
    glyphPos.X = (clientSize.X - glyph.cx + 1) / 2;
    textPos.X = (clientSize.X - text.cx + 1) / 2;
  }
  // Without a caption or a glyph there is nothing to space.
  if (text.cx == 0 || glyph.cx == 0) Spacing = 0;
  const int available = horizontal ? clientSize.X : clientSize.Y;
  const int glyphExtent = horizontal ? glyph.cx : glyph.cy;
  const int textExtent = horizontal ? text.cx : text.cy;
  if (Margin == -1) {
    if (Spacing == -1) {
      Margin = (available - (glyphExtent + textExtent)) / 3;
      Spacing = Margin;
    } else {
      Margin = (available - (glyphExtent + Spacing + textExtent) + 1) / 2;
    }
  } else if (Spacing == -1) {
    Spacing = (available - (Margin + glyphExtent) - textExtent) / 2;
  }
  switch (Layout) {
    case blGlyphLeft:
      glyphPos.X = Margin;
      textPos.X = glyphPos.X + glyph.cx + Spacing;
      break;
    case blGlyphRight:
      glyphPos.X = clientSize.X - Margin - glyph.cx;
      textPos.X = glyphPos.X - Spacing - text.cx;
      break;
    case blGlyphTop:
      glyphPos.Y = Margin;
      textPos.Y = glyphPos.Y + glyph.cy + Spacing;
      break;
    case blGlyphBottom:
      glyphPos.Y = clientSize.Y - Margin - glyph.cy;
      textPos.Y = glyphPos.Y - Spacing - text.cy;
      break;
  }
  GlyphPos = Point(glyphPos.X + Client.Left + Offset.X, glyphPos.Y + Client.Top + Offset.Y);
  TextBounds = Bounds(textPos.X + Client.Left + Offset.X, textPos.Y + Client.Top + Offset.Y, text.cx, text.cy);
}

TRect TButtonGlyph::Draw(TCanvas& Canvas, const TRect& Client, TPoint Offset, const std::string& Caption,
                         TButtonLayout Layout, int Margin, int Spacing, TButtonState State) {
  TPoint glyphPos;
  TRect textBounds;
  CalcButtonLayout(Canvas, Client, Offset, Caption, Layout, Margin, Spacing, glyphPos, textBounds);
  const int index = CreateButtonGlyph(State);
  if (index >= 0 && glyphList_ != nullptr) glyphList_->Draw(Canvas, glyphPos.X, glyphPos.Y, index, faceColor_);

  Canvas.Brush().Style = bsClear;
  if (State == bsDisabled) {
    TRect shadow = textBounds;
    OffsetRect(shadow, textShadowShift_, textShadowShift_);
    Canvas.Font().Color = lightColor_;
    DrawCaption(Canvas, shadow, Caption, false);
    Canvas.Font().Color = darkColor_;
    DrawCaption(Canvas, textBounds, Caption, false);
  } else {
    if (textShadowShift_ > 0) {
      TRect shadow = textBounds;
      OffsetRect(shadow, textShadowShift_, textShadowShift_);
      Canvas.Font().Color = textShadowColor_;
      DrawCaption(Canvas, shadow, Caption, true);
    }
    Canvas.Font().Color = textColor_;
    DrawCaption(Canvas, textBounds, Caption, true);
  }
  Canvas.Brush().Style = bsSolid;
  return textBounds;
}

// ---- TBitmapButton ----------------------------------------------------------------------------

TBitmapButton::TBitmapButton(QWidget* parent) : TGraphicControl(parent) {
  glyph_.OnChange = [this] { Repaint(); };
  CopyColorsToGlyph();
  SetBounds(Left(), Top(), 25, 25);
}

TBitmapButton::~TBitmapButton() { glyph_.OnChange = nullptr; }

void TBitmapButton::CopyColorsToGlyph() {
  glyph_.SetFaceColor(buttonColor_);
  glyph_.SetLightColor(shadowLight_);
  glyph_.SetDarkColor(shadowDark_);
  glyph_.SetBevelWidth(shadowWidth_);
  glyph_.SetTextColor(textColor_);
  glyph_.SetTextShadowColor(textShadowColor_);
  glyph_.SetTextShadowShift(textShadowShift_);
}

void TBitmapButton::SetGlyph(const TBitmap* Value) { glyph_.SetGlyph(Value); }

void TBitmapButton::SetNumGlyphs(int Value) {
  glyph_.SetNumGlyphs(Value);
  Repaint();
}

void TBitmapButton::SetCaption(const std::string& Value) {
  if (Value == caption_) return;
  caption_ = Value;
  shortcutId_ = GrabAccelerator(*this, shortcutId_, caption_);
  Repaint();
}

void TBitmapButton::SetFont(const TFont& Value) {
  font_ = Value;
  Repaint();
}

void TBitmapButton::SetLayout(TButtonLayout Value) {
  if (Value == layout_) return;
  layout_ = Value;
  Repaint();
}

void TBitmapButton::SetMargin(int Value) {
  if (Value == margin_ || Value < -1) return;
  margin_ = Value;
  Repaint();
}

void TBitmapButton::SetSpacing(int Value) {
  if (Value == spacing_) return;
  spacing_ = Value;
  Repaint();
}

void TBitmapButton::SetButtonColor(TColor Value) {
  buttonColor_ = Value;
  CopyColorsToGlyph();
  Repaint();
}

void TBitmapButton::SetShadowLight(TColor Value) {
  shadowLight_ = Value;
  CopyColorsToGlyph();
  Repaint();
}

void TBitmapButton::SetShadowDark(TColor Value) {
  shadowDark_ = Value;
  CopyColorsToGlyph();
  Repaint();
}

void TBitmapButton::SetShadowWidth(int Value) {
  shadowWidth_ = Value;
  CopyColorsToGlyph();
  Repaint();
}

void TBitmapButton::SetTextColor(TColor Value) {
  textColor_ = Value;
  CopyColorsToGlyph();
  Repaint();
}

void TBitmapButton::SetTextShadowColor(TColor Value) {
  textShadowColor_ = Value;
  CopyColorsToGlyph();
  Repaint();
}

void TBitmapButton::SetTextShadowShift(int Value) {
  if (Value < 0) return;
  textShadowShift_ = Value;
  CopyColorsToGlyph();
  Repaint();
}

// ---- Groups ----

void TBitmapButton::SetDown(bool Value) {
  if (groupIndex_ == 0) Value = false;
  if (Value == down_) return;
  // The last down button of a group cannot be raised by itself.
  if (down_ && !allowAllUp_) return;
  down_ = Value;
  state_ = Value ? bsExclusive : bsUp;
  Repaint();
  if (Value) UpdateExclusive();
}

void TBitmapButton::SetGroupIndex(int Value) {
  if (Value == groupIndex_) return;
  groupIndex_ = Value;
  UpdateExclusive();
}

void TBitmapButton::SetAllowAllUp(bool Value) {
  if (Value == allowAllUp_) return;
  allowAllUp_ = Value;
  UpdateExclusive();
}

void TBitmapButton::UpdateExclusive() {
  if (groupIndex_ == 0 || parentWidget() == nullptr) return;
  for (TBitmapButton* sibling : parentWidget()->findChildren<TBitmapButton*>(Qt::FindDirectChildrenOnly))
    sibling->ButtonPressed(groupIndex_, this);
}

void TBitmapButton::ButtonPressed(int AGroupIndex, TBitmapButton* Sender) {
  if (AGroupIndex != groupIndex_ || Sender == this || Sender == nullptr) return;
  // Only a button that is down raises the others: setting the group or
  // AllowAllUp of a button that is up leaves the group's down button down.
  if (Sender->Down() && down_) {
    down_ = false;
    state_ = bsUp;
    Repaint();
  }
  allowAllUp_ = Sender->AllowAllUp();
}

// ---- Mouse ----

bool TBitmapButton::Inside(int X, int Y) const { return X >= 0 && X < Width() && Y >= 0 && Y <= Height(); }

void TBitmapButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!down_) {
    state_ = bsDown;
    Repaint();
  }
  dragging_ = true;
}

void TBitmapButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!dragging_) return;
  const TButtonState wanted = down_ ? bsExclusive : Inside(X, Y) ? bsDown : bsUp;
  if (wanted == state_) return;
  state_ = wanted;
  Repaint();
}

void TBitmapButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!dragging_) return;
  dragging_ = false;
  const bool doClick = Inside(X, Y);
  if (groupIndex_ == 0) {
    state_ = bsUp;
    Repaint();
  } else if (doClick) {
    SetDown(!down_);
    Repaint();
  } else {
    if (down_) state_ = bsExclusive;
    Repaint();
  }
  if (doClick) Click();
}

// The button makes its own clicks (in MouseUp): the base's automatic click
// after a release is left out.
void TBitmapButton::mouseReleaseEvent(QMouseEvent* event) {
  const std::optional<TMouseButton> button = MouseButtonOf(event->button());
  if (!button) return QWidget::mouseReleaseEvent(event);
  const QPoint p = event->position().toPoint();
  MouseUp(*button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TBitmapButton::DblClick() {
  if (down_) TGraphicControl::DblClick();
}

bool TBitmapButton::event(QEvent* event) {
  if (IsAccelerator(event, shortcutId_)) {
    if (Enabled() && Visible()) Click();
    return true;
  }
  return TGraphicControl::event(event);
}

void TBitmapButton::changeEvent(QEvent* event) {
  TGraphicControl::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) Repaint();
}

// ---- Painting ----

void TBitmapButton::Paint() {
  if (Enabled()) {
    if (state_ == bsDisabled) state_ = down_ && groupIndex_ != 0 ? bsExclusive : bsUp;
  } else {
    state_ = bsDisabled;
    dragging_ = false;
  }
  const bool pressed = state_ == bsDown || state_ == bsExclusive;
  const int w = Width();
  const int h = Height();
  TCanvas& canvas = Canvas();
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = buttonColor_;
  canvas.Pen().Style = psSolid;
  canvas.Pen().Mode = pmCopy;
  canvas.Pen().Width = shadowWidth_;
  if (pressed) {
    canvas.Pen().Color = shadowDark_;
    canvas.Polyline({Point(w, 0), Point(0, 0), Point(0, h)});
    canvas.Pen().Color = shadowLight_;
    canvas.Polyline({Point(w - 1, 0), Point(w - 1, h - 1), Point(0, h - 1)});
  } else {
    canvas.Pen().Color = shadowDark_;
    canvas.Polyline({Point(w - 1, 0), Point(w - 1, h - 1), Point(0, h - 1)});
    const int right = w - shadowWidth_;
    const int bottom = h - shadowWidth_;
    canvas.Pen().Color = shadowLight_;
    canvas.Polyline({Point(right, 0), Point(0, 0), Point(0, bottom)});
  }
  canvas.Pen().Color = buttonColor_;
  canvas.Rectangle(shadowWidth_, shadowWidth_, w - shadowWidth_, h - shadowWidth_);
  canvas.Pen().Width = 1;

  TRect content = Rect(1, 1, w - 2, h - 2);
  if (pressed) OffsetRect(content, 1, 1);
  canvas.Font() = font_;
  glyph_.Draw(canvas, content, Point(0, 0), caption_, layout_, margin_, spacing_, state_);
}

// ---- TBlackBitButton ----------------------------------------------------------------------------

TBlackBitButton::TBlackBitButton(QWidget* parent) : TGraphicControl(parent) { SetBounds(Left(), Top(), 65, 35); }

TBlackBitButton::~TBlackBitButton() = default;

void TBlackBitButton::SetCaption(const std::string& Value) {
  if (Value == caption_) return;
  caption_ = Value;
  shortcutId_ = GrabAccelerator(*this, shortcutId_, caption_);
  Repaint();
}

void TBlackBitButton::SetFont(const TFont& Value) {
  font_ = Value;
  Repaint();
}

void TBlackBitButton::SetDown(bool Value) {
  down_ = Value;
  pressed_ = Value;
  isOn_ = Value;
  Repaint();
}

void TBlackBitButton::SetIsOn(bool Value) {
  if (Value == isOn_) return;
  isOn_ = Value;
  Repaint();
}

void TBlackBitButton::SetFixed(bool Value) {
  fixed_ = Value;
  Repaint();
}

void TBlackBitButton::SetBtnColor(TColor Value) {
  btnColor_ = Value;
  Repaint();
}

void TBlackBitButton::SetOnColor(TColor Value) {
  onColor_ = Value;
  Repaint();
}

void TBlackBitButton::SetOffColor(TColor Value) {
  offColor_ = Value;
  Repaint();
}

void TBlackBitButton::SetLightWidth(int Value) {
  lightWidth_ = Value;
  Repaint();
}

void TBlackBitButton::SetLightHeight(int Value) {
  lightHeight_ = Value;
  Repaint();
}

TRect TBlackBitButton::LampRect() const {
  const int left = Width() / 2 - lightWidth_ / 2;
  TRect lamp = Rect(left, 6, left + lightWidth_, 6 + lightHeight_);
  if (pressed_) OffsetRect(lamp, 2, 2);
  return lamp;
}

bool TBlackBitButton::Inside(int X, int Y) const { return X >= 0 && X < Width() && Y >= 0 && Y <= Height(); }

void TBlackBitButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (fixed_) {
    SetDown(!down_);
  } else if (!down_) {
    pressed_ = true;
    Repaint();
  }
  dragging_ = true;
}

void TBlackBitButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!dragging_ || fixed_) return;
  const bool wanted = Inside(X, Y) && !down_;
  if (wanted == pressed_) return;
  pressed_ = wanted;
  Repaint();
}

void TBlackBitButton::Click() {
  isOn_ = pressed_;
  TGraphicControl::Click();
}

void TBlackBitButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  dragging_ = false;
  if (!fixed_) pressed_ = false;
  isOn_ = pressed_;
  Repaint();
}

bool TBlackBitButton::event(QEvent* event) {
  if (IsAccelerator(event, shortcutId_)) {
    if (Enabled() && Visible()) Click();
    return true;
  }
  return TGraphicControl::event(event);
}

void TBlackBitButton::changeEvent(QEvent* event) {
  TGraphicControl::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) Repaint();
}

void TBlackBitButton::Paint() {
  const int w = Width();
  const int h = Height();
  TCanvas& canvas = Canvas();
  canvas.Pen().Width = 1;
  canvas.Pen().Style = psSolid;
  canvas.Pen().Mode = pmCopy;
  canvas.Brush().Style = bsSolid;

  canvas.Pen().Color = clWindowFrame;
  canvas.Brush().Color = btnColor_;
  canvas.Rectangle(0, 0, w, h);

  canvas.Pen().Color = pressed_ ? clBtnShadow : clBtnHighlight;
  canvas.Polyline({Point(1, h - 2), Point(1, 1), Point(w - 1, 1)});
  if (pressed_) {
    canvas.Polyline({Point(2, h - 2), Point(2, 2), Point(w - 1, 2)});
  } else {
    canvas.Polyline({Point(2, h - 3), Point(2, 2), Point(w - 2, 2)});
  }
  canvas.Pen().Color = clBtnShadow;
  canvas.Polyline({Point(w - 2, 2), Point(w - 2, h - 2), Point(1, h - 2)});
  if (!pressed_) canvas.Polyline({Point(w - 3, 3), Point(w - 3, h - 3), Point(2, h - 3)});

  const TRect lamp = LampRect();
  canvas.Pen().Color = clBtnShadow;
  canvas.Polyline({Point(lamp.Left, lamp.Bottom), Point(lamp.Left, lamp.Top), Point(lamp.Right + 1, lamp.Top)});
  canvas.Pen().Color = clBtnHighlight;
  canvas.Polyline({Point(lamp.Left, lamp.Bottom), Point(lamp.Right, lamp.Bottom), Point(lamp.Right, lamp.Top)});
  canvas.Brush().Color = !Enabled() ? clBtnFace : isOn_ ? onColor_ : offColor_;
  canvas.FillRect(Rect(lamp.Left + 1, lamp.Top + 1, lamp.Right, lamp.Bottom));

  // The caption fills the width below the lamp (both moved when pressed).
  TRect text = Rect(0, lamp.Bottom, w, h);
  if (pressed_) text = Rect(2, lamp.Bottom, w + 2, h + 2);
  canvas.Font() = font_;
  canvas.Brush().Style = bsClear;
  if (!Enabled()) {
    TRect shadow = text;
    OffsetRect(shadow, 1, 1);
    canvas.Font().Color = clBtnHighlight;
    DrawCaption(canvas, shadow, caption_, true);
    canvas.Font().Color = clBtnShadow;
  }
  DrawCaption(canvas, text, caption_, true);
  canvas.Brush().Style = bsSolid;
}
