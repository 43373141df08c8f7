// The part that the "Animation Size" dialog (TSetBackgroundFrm) and the
// "Resize" dialog (TStretchForm) share: a width and a height, each in pixels
// and in per cent of a base size, linked as the export wizard links them
// (TSizeLink), with "Maintain aspect ratio" passing a changed per cent on to
// the other dimension.
//
// OK takes the size only when both pixel fields hold numbers within 1..65000
// and the size fits the project reader's limits (RequireSavableImageSize);
// otherwise the field is marked, or the refusal is shown, and the dialog
// stays open. So a caller never gets a size it could not save and reopen.
#pragma once

#include "platform/Keyboard.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TSizeLink;
class TSpinEdit;

class TPixelSizeForm : public QDialog {
  Q_OBJECT

 public:
  // ---- Components ----
  QGroupBox* SizeGroup = nullptr;
  QLabel* WidthLabel = nullptr;
  QLabel* HeightLabel = nullptr;
  TSpinEdit* WidthPixels = nullptr;       // 1 .. 65000
  TSpinEdit* HeightPixels = nullptr;      // 1 .. 65000
  TSpinEdit* PercentOfStretch = nullptr;  // 1 .. 10000 (100): the width's per cent
  TSpinEdit* PercentOfHeight = nullptr;   // 1 .. 10000 (100)
  QCheckBox* MaintainRatio = nullptr;     // "Maintain aspect ratio" (on)
  QPushButton* OkBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* HelpBtn = nullptr;

  // ---- Fields ----
  // The size the per cents are of.
  int BaseWidth = 1;
  int BaseHeight = 1;
  // The size the pixel fields show when the form is shown.
  int WidthValue = 1;
  int HeightValue = 1;

  // ---- Handlers ----
  // Shows WidthValue x HeightValue with each per cent following its own
  // dimension (the ratio link is off meanwhile), then ticks MaintainRatio.
  void FormShow();
  void WidthPixelsChange();
  void HeightPixelsChange();
  void PercentOfStretchChange();
  void PercentOfHeightChange();
  // Checks the size (see above) and answers OK.
  virtual void OkBtnClick();

 protected:
  TPixelSizeForm(const char* name, const char* caption, QWidget* owner);
  ~TPixelSizeForm() override;
  // Whether the pixel fields hold a size that may be applied; shows why not.
  bool SizeAccepted();

  void showEvent(QShowEvent* event) override;

 private:
  // The link with the form's base size.
  TSizeLink& Link();

  std::unique_ptr<TSizeLink> link_;
};
