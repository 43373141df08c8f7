// TDigitalDisplay (module MyCntrl): a label that shows its caption as a
// seven-segment read-out. Digits, comma, point and colon come from fixed
// 7 x 13 pictures (red figures on black, drawn in code) recoloured to the
// control's colours; any other character is written in the font and
// squeezed into a 7 x 13 cell. Character i takes the cell at x = 7 * i.
//
// Public interface (besides TCustomLabel's Caption, Font, Transparent, ...):
//   Color / SetColor               the background; setting a value that
//                                  differs from the digits' current
//                                  background turns their black pixels into it
//   ColorOfText / SetColorOfText   $000000FF; the digits' red pixels and the font colour
//   SetFont(f)                     assigns f, then ColorOfText := f.Color and
//                                  Color := Color (each recolours only on a change)
//   DigitPicture(n)                the fixed picture "D<n>", n = 0..13 (10 blank,
//                                  11 comma, 12 point, 13 colon)
//   DisplayPicture(n)              the control's recoloured copy of it
// AutoSize is false at creation; the caption is measured in the font when it
// is switched on, as with any TCustomLabel.
#pragma once

#include "controls/CustomLabel.h"

#include <array>

class TDigitalDisplay : public TCustomLabel {
  Q_OBJECT

 public:
  static constexpr int kCellWidth = 7;
  static constexpr int kCellHeight = 13;
  static constexpr int kPictureCount = 14;

  explicit TDigitalDisplay(QWidget* parent = nullptr);

  void SetColor(TColor value) override;
  TColor ColorOfText() const { return colorOfText_; }
  void SetColorOfText(TColor value);
  void SetFont(const TFont& value) override;

  // The fixed pictures "D0" .. "D13": 7 x 13, 16 colours, figures of pure
  // red ($000000FF) on black. Raises EInvalidGraphicOperation for another number.
  static const TBitmap& DigitPicture(int number);
  const TBitmap& DisplayPicture(int number) const;
  // The picture number of a character, -1 for one written in the font.
  static int PictureOf(char character);

 protected:
  void Paint() override;

 private:
  // Turns every pixel of the copies whose picture pixel is of one colour into another.
  void Recolour(TColor pictureColor, TColor shown);

  std::array<TBitmap, kPictureCount> display_;
  TColor digitBackground_ = clBlack;
  TColor colorOfText_ = clRed;
};
