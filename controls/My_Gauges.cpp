#include "controls/My_Gauges.h"

#include "platform/Numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Clears an image to black.
void PaintBackground(TBitmap& image) {
  TCanvas& canvas = image.Canvas();
  canvas.SetCopyMode(BLACKNESS);
  const TRect all = Rect(0, 0, image.Width(), image.Height());
  canvas.CopyRect(all, canvas, all);
  canvas.SetCopyMode(cmSrcCopy);
}

// Combines overlay into image with exclusive or.
void DrawInverting(TBitmap& image, const TBitmap& overlay) {
  TCanvas& canvas = image.Canvas();
  canvas.SetCopyMode(SRCINVERT);
  canvas.Draw(0, 0, overlay);
  canvas.SetCopyMode(cmSrcCopy);
}

// The part of x per cent of a length, truncated.
std::int64_t PartOf(std::int64_t length, int percent) { return length * percent / 100; }

}  // namespace

void TBltBitmap::MakeLike(const TBitmap& ATemplate) {
  SetSize(ATemplate.Width(), ATemplate.Height());
  Canvas().Brush().Color = clWindowFrame;
  Canvas().Brush().Style = bsSolid;
  Canvas().FillRect(Rect(0, 0, Width(), Height()));
}

TGauge::TGauge(QWidget* parent) : TGraphicControl(parent) { SetBounds(0, 0, 100, 100); }

// ---- Values ---------------------------------------------------------------------------

int TGauge::PercentDone() const {
  const std::int64_t range = std::int64_t{maxValue_} - minValue_;
  if (range == 0) return 0;
  return static_cast<int>((std::int64_t{progress_} - minValue_) * 100 / range);
}

void TGauge::SetProgress(int value) {
  const int before = PercentDone();
  if (value < minValue_) {
    value = minValue_;
  } else if (value > maxValue_) {
    value = maxValue_;
  }
  if (value == progress_) return;
  progress_ = value;
  // Only a new percentage shows.
  if (PercentDone() != before) Repaint();
}

void TGauge::SetMinValue(int value) {
  if (value == minValue_) return;
  if (value > maxValue_)
    throw EInvalidOperation(FormatStr("Value must be between %d and %lld", -2147483647,
                                      static_cast<long long>(maxValue_) - 1));
  minValue_ = value;
  if (progress_ < value) progress_ = value;
  Repaint();
}

void TGauge::SetMaxValue(int value) {
  if (value == maxValue_) return;
  if (value < minValue_)
    throw EInvalidOperation(FormatStr("Value must be between %lld and %d", static_cast<long long>(minValue_) + 1,
                                      2147483647));
  maxValue_ = value;
  if (progress_ > value) progress_ = value;
  Repaint();
}

void TGauge::SetKind(TGaugeKind value) {
  if (value == kind_) return;
  kind_ = value;
  Repaint();
}

void TGauge::SetShowText(bool value) {
  if (value == showText_) return;
  showText_ = value;
  Repaint();
}

void TGauge::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  Repaint();
}

void TGauge::SetForeColor(TColor value) {
  if (value == foreColor_) return;
  foreColor_ = value;
  Repaint();
}

void TGauge::SetBackColor(TColor value) {
  if (value == backColor_) return;
  backColor_ = value;
  Repaint();
}

void TGauge::SetColor(TColor value) {
  color_ = value;
  Repaint();
}

void TGauge::SetFont(const TFont& value) {
  font_ = value;
  Repaint();
}

// ---- Painting ------------------------------------------------------------------------

TRect TGauge::PaintRect() const {
  TRect rect = ClientRect();
  if (borderStyle_ == bsSingle) InflateRect(rect, -1, -1);
  return rect;
}

// The figure goes on a black image that is combined with the black picture
// by exclusive or; the text goes on a third one the same way, so it shows
// inverted over the figure and its ground alike.
void TGauge::Paint() {
  TBitmap image;
  image.SetSize(Width(), Height());
  PaintBackground(image);
  const TRect rect = PaintRect();
  {
    TBltBitmap overlay;
    overlay.MakeLike(image);
    PaintBackground(overlay);
    switch (kind_) {
      case gkText: PaintAsNothing(overlay, rect); break;
      case gkHorizontalBar:
      case gkVerticalBar: PaintAsBar(overlay, rect); break;
      case gkPie: PaintAsPie(overlay, rect); break;
      case gkNeedle: PaintAsNeedle(overlay, rect); break;
    }
    DrawInverting(image, overlay);
  }
  if (showText_) PaintAsText(image, rect);
  Canvas().SetCopyMode(cmSrcCopy);
  Canvas().Draw(0, 0, image);
}

void TGauge::PaintAsNothing(TBitmap& image, const TRect& rect) const {
  TCanvas& canvas = image.Canvas();
  canvas.Brush().Color = backColor_;
  canvas.Brush().Style = bsSolid;
  canvas.FillRect(rect);
}

void TGauge::PaintAsBar(TBitmap& image, const TRect& rect) const {
  const std::int64_t w = std::int64_t{rect.Right} - rect.Left + 1;
  const std::int64_t h = std::int64_t{rect.Bottom} - rect.Top + 1;
  TCanvas& canvas = image.Canvas();
  canvas.Brush().Color = backColor_;
  canvas.Brush().Style = bsSolid;
  canvas.FillRect(rect);
  canvas.Pen().Color = foreColor_;
  canvas.Pen().Width = 1;
  canvas.Brush().Color = foreColor_;
  if (kind_ == gkHorizontalBar) {
    const std::int64_t fill = std::min(PartOf(w, PercentDone()), w);
    if (fill > 0) canvas.FillRect(Rect(rect.Left, rect.Top, static_cast<int>(fill), static_cast<int>(h)));
  } else {
    std::int64_t fill = PartOf(h, PercentDone());
    if (fill >= h) fill = h - 1;
    canvas.FillRect(Rect(rect.Left, static_cast<int>(h - fill), static_cast<int>(w), static_cast<int>(h)));
  }
}

void TGauge::PaintAsPie(TBitmap& image, const TRect& rect) const {
  int w = rect.Width(), h = rect.Height();
  if (borderStyle_ == bsSingle) {
    ++w;
    ++h;
  }
  TCanvas& canvas = image.Canvas();
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = color_;
  canvas.FillRect(rect);
  canvas.Brush().Color = backColor_;
  canvas.Pen().Color = foreColor_;
  canvas.Pen().Width = 1;
  canvas.Ellipse(rect.Left, rect.Top, w, h);
  if (PercentDone() > 0) {
    canvas.Brush().Color = foreColor_;
    const int middleX = w / 2, middleY = h / 2;
    const double angle = kPi * (PercentDone() / 50.0 + 0.5);
    canvas.Pie(rect.Left, rect.Top, w, h, Round(middleX * (1 - std::cos(angle))),
               Round(middleY * (1 - std::sin(angle))), middleX, 0);
  }
}

void TGauge::PaintAsNeedle(TBitmap& image, const TRect& rect) const {
  const int x = rect.Left, y = rect.Top;
  int w = rect.Width(), h = rect.Height();
  if (borderStyle_ == bsSingle) {
    ++w;
    ++h;
  }
  TCanvas& canvas = image.Canvas();
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = color_;
  canvas.FillRect(rect);
  canvas.Brush().Color = backColor_;
  canvas.Pen().Color = foreColor_;
  canvas.Pen().Width = 1;
  canvas.Pie(x, y, w, h * 2 - 1, x + w, rect.Bottom - 1, x, rect.Bottom - 1);
  canvas.MoveTo(x, rect.Bottom);
  canvas.LineTo(x + w, rect.Bottom);
  if (PercentDone() > 0) {
    const int middleX = Width() / 2;
    canvas.MoveTo(middleX, rect.Bottom - 1);
    const double angle = kPi * (PercentDone() / 100.0);
    canvas.LineTo(Round(middleX * (1 - std::cos(angle))), Round((rect.Bottom - 1) * (1 - std::sin(angle))));
  }
}

void TGauge::PaintAsText(TBitmap& image, const TRect& rect) const {
  TBltBitmap overlay;
  overlay.MakeLike(image);
  PaintBackground(overlay);
  const std::string text = IntToStr(PercentDone()) + "%";
  TCanvas& canvas = overlay.Canvas();
  canvas.Brush().Style = bsClear;
  canvas.Font() = font_;
  canvas.Font().Color = clWhite;
  const TSize size = canvas.TextExtent(text);
  // Centred by the rectangle's size but placed from the image's corner, where the gauge has
  // always written its text.
  const int x = (rect.Width() + 1 - size.cx) / 2;
  const int y = (rect.Height() + 1 - size.cy) / 2;
  canvas.SetClipRegion(CreateRectRgn(rect.Left, rect.Top, rect.Right, rect.Bottom));
  canvas.TextOut(x, y, text);
  canvas.SetClipRegion(std::nullopt);
  DrawInverting(image, overlay);
}
