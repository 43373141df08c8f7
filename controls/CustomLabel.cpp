#include "controls/CustomLabel.h"

TCustomLabel::TCustomLabel(QWidget* parent) : TGraphicControl(parent) { SetBounds(0, 0, 65, 17); }

void TCustomLabel::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFont(const TFont& value) {
  font_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Invalidate();
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  AdjustBounds();
  Invalidate();
}

unsigned TCustomLabel::TextFormat() const {
  unsigned format = DT_EXPANDTABS;
  if (wordWrap_) format |= DT_WORDBREAK;
  if (alignment_ == taRightJustify) format |= DT_RIGHT;
  if (alignment_ == taCenter) format |= DT_CENTER;
  if (!showAccelChar_) format |= DT_NOPREFIX;
  return format;
}

TCanvas& TCustomLabel::TextCanvas() {
  TCanvas& canvas = Canvas();
  canvas.Font() = font_;
  return canvas;
}

std::string TCustomLabel::TextToDraw(unsigned format) const {
  if ((format & DT_CALCRECT) && (caption_.empty() || (showAccelChar_ && caption_ == "&"))) return caption_ + " ";
  return caption_;
}

void TCustomLabel::DoDrawText(TRect& rect, unsigned format) {
  const std::string text = TextToDraw(format);
  if (!showAccelChar_) format |= DT_NOPREFIX;
  TCanvas& canvas = TextCanvas();
  if (Enabled() || (format & DT_CALCRECT)) {
    canvas.DrawText(text, rect, format);
    return;
  }
  OffsetRect(rect, 1, 1);
  canvas.Font().Color = clBtnHighlight;
  canvas.DrawText(text, rect, format);
  OffsetRect(rect, -1, -1);
  canvas.Font().Color = clBtnShadow;
  canvas.DrawText(text, rect, format);
}

void TCustomLabel::Paint() {
  TCanvas& canvas = Canvas();
  if (!Transparent()) {
    canvas.Brush().Color = color_;
    canvas.Brush().Style = bsSolid;
    canvas.FillRect(ClientRect());
  }
  canvas.Brush().Style = bsClear;
  TRect rect = ClientRect();
  DoDrawText(rect, TextFormat());
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_) return;
  TRect rect = ClientRect();
  DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0u));
  int left = Left();
  // A right-justified label grows to the left.
  if (alignment_ == taRightJustify) left += Width() - rect.Right;
  SetBounds(left, Top(), rect.Right, rect.Bottom);
}
