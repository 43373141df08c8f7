// The base of the program's labels (the class library's TCustomLabel): a
// graphic control that shows its caption drawn with TCanvas::DrawText in its
// font, and can size itself to the caption.
//
// Public interface (besides TGraphicControl's bounds, hint, cursor, events):
//   Caption / SetCaption     the text, Windows-1252 bytes; "&x" underlines x
//                            unless ShowAccelChar is off
//   Font / SetFont           TFont (MS Sans Serif 8, clWindowText)
//   Color / SetColor         the background, clBtnFace; not painted when Transparent
//   Alignment / SetAlignment taLeftJustify (default), taRightJustify, taCenter
//   AutoSize / SetAutoSize   true: the control takes the size of its caption
//                            (a right-justified label keeps its right edge)
//   WordWrap / SetWordWrap   false: one line per paragraph
//   ShowAccelChar            true
//   Transparent / SetTransparent   false: the background is filled with Color
// Every setter that changes the look repaints; those that change the text's
// extent also resize an auto-sized label at once (hidden or not).
#pragma once

#include "controls/GraphicControl.h"

#include <string>

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TCustomLabel : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TCustomLabel(QWidget* parent = nullptr);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  const TFont& Font() const { return font_; }
  virtual void SetFont(const TFont& value);
  TColor Color() const { return color_; }
  virtual void SetColor(TColor value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  using TGraphicControl::SetTransparent;

  // The DrawText format of the caption: tabs expanded, words wrapped when
  // WordWrap, the alignment, and no prefixes when ShowAccelChar is off.
  unsigned TextFormat() const;

 protected:
  // Fills the background unless transparent, then draws the caption with a
  // clear brush through DoDrawText.
  void Paint() override;
  // Draws the caption in rect with the given DrawText format, or measures it
  // when the format holds DT_CALCRECT. A disabled label draws its text
  // embossed: clBtnHighlight one pixel down and right, clBtnShadow over it.
  virtual void DoDrawText(TRect& rect, unsigned format);
  // The text DoDrawText draws: an empty caption, or a lone "&" while
  // ShowAccelChar is set, measures as if followed by a blank.
  std::string TextToDraw(unsigned format) const;
  // Sizes an auto-sized label to its caption.
  void AdjustBounds();
  // Sets the canvas's font for drawing the caption.
  TCanvas& TextCanvas();

 private:
  std::string caption_;
  TFont font_;
  TColor color_ = clBtnFace;
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
};
