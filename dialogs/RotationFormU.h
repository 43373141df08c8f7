// The "Custom Rotate" dialog (TRotationForm): the angle, direction, paper
// colour and scope of Effects > Custom Rotation.
//
//   TRotationForm form(MainForm);
//   form.ButtonPaperColor->SetButtonColor(background);
//   if (ShowModal(form) == mrOk)
//     RotateFrameByAngle(form.CheckBoxOnlyCurrentFrame->isChecked(), form.SpinAngle->Value(),
//                        form.RadioDirection->ItemIndex(), form.ButtonPaperColor->ButtonColor());
//
// The caller rotates (and refuses a result beyond the project reader's
// limits); the dialog only collects the values. OK answers once the angle
// field holds a number within 0..359; Esc closes.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class TBitmapButton;
class TRadioGroup;
class TSpinEdit;

class TRotationForm : public QDialog {
  Q_OBJECT

 public:
  explicit TRotationForm(QWidget* owner = nullptr);

  // ---- Components ----
  QLabel* AngleLabel = nullptr;  // "&Angle:"
  TSpinEdit* SpinAngle = nullptr;  // 0 .. 359 (0), in degrees
  // " Direction: ": 0 "&Clockwise" (chosen at creation), 1 "Counter-Clock&wise".
  TRadioGroup* RadioDirection = nullptr;
  // "Paper Color...": shows the colour that fills the corners the turned
  // picture leaves uncovered.
  TBitmapButton* ButtonPaperColor = nullptr;
  QCheckBox* CheckBoxOnlyCurrentFrame = nullptr;  // "Only current frame"
  QPushButton* OkBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* HelpBtn = nullptr;

  // ---- Handlers ----
  // Opens the colour chooser on the paper colour and takes a chosen colour.
  void ButtonPaperColorClick();
  void HelpBtnClick();
  void OkBtnClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The caption stays readable on the paper colour the caller preset or the
  // user chose: dark on light colours, light with its shadow on dark ones.
  void MatchCaptionToPaper();
};
