// A hint window (the class library's THintWindow): a borderless window with a
// 1-pixel black frame that shows one line of text, in its font on its colour,
// at a screen rectangle. It is a tool-tip window: showing it never takes the
// activation from the window under it (a pop-up would close).
#pragma once

#include "platform/Graphics.h"

#include <QWidget>

#include <string>

class THintWindow : public QWidget {
  Q_OBJECT

 public:
  explicit THintWindow(QWidget* parent = nullptr);
  ~THintWindow() override;

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& value);

  // Shows the text in the rectangle (screen coordinates); the text starts 3
  // pixels in from the top-left corner.
  void ActivateHint(const TRect& Rect, const std::string& AHint);
  // Hides the hint.
  void ReleaseHint();
  const std::string& Caption() const { return caption_; }
  // The rectangle of the last ActivateHint.
  const TRect& HintRect() const { return rect_; }

  // Paints the window into a bitmap of its size (what paintEvent shows).
  void PaintPicture(TBitmap& picture) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TColor color_ = clInfoBk;
  TFont font_;
  std::string caption_;
  TRect rect_;
};
