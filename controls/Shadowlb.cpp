#include "controls/Shadowlb.h"

TLabelWithShadow::TLabelWithShadow(QWidget* parent) : TCustomLabel(parent) {}

void TLabelWithShadow::SetColorOfShadow(TColor value) {
  colorOfShadow_ = value;
  Invalidate();
}

void TLabelWithShadow::SetShadowShift(int value) {
  shadowShift_ = value;
  Invalidate();
}

// Both calls run in measuring mode too; the text's own call sets the size.
void TLabelWithShadow::DoDrawText(TRect& rect, unsigned format) {
  const std::string text = TextToDraw(format);
  if (!ShowAccelChar()) format |= DT_NOPREFIX;
  TCanvas& canvas = TextCanvas();
  TRect shadow = rect;
  OffsetRect(shadow, shadowShift_, shadowShift_);
  canvas.Font().Color = colorOfShadow_;
  canvas.DrawText(text, shadow, format);
  canvas.Font().Color = Enabled() ? Font().Color : clGrayText;
  canvas.DrawText(text, rect, format);
}
