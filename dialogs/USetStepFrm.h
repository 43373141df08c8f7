// The "Step" dialog (TSetStepFrm): picks the step that View > Set Step jumps
// to, with a spin edit and a track bar that follow each other.
//
//   TSetStepFrm form(scene->StepCount, shownStep, MainForm);
//   if (ShowModal(form) == mrOk) { ...GotoFrame(form.StepSpinEdit->Value() + 2)... }
//
// The caller applies the step; the dialog only picks it. Enter answers OK
// (once the field holds a number within its range), Esc closes.
#pragma once

#include "platform/Keyboard.h"

#include <QDialog>

class QLabel;
class QPushButton;
class TSpinEdit;
class TTrackBar;

class TSetStepFrm : public QDialog {
  Q_OBJECT

 public:
  // stepCount: the scene's number of steps; currentStep: the step to show at
  // first (the number the main window's step display shows).
  TSetStepFrm(int stepCount, int currentStep, QWidget* owner = nullptr);

  // ---- Components ----
  QLabel* StepLabel = nullptr;  // "Step Number:"
  TSpinEdit* StepSpinEdit = nullptr;
  TTrackBar* StepTrackBar = nullptr;
  QLabel* MaxLabel = nullptr;
  QPushButton* OkBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

  // ---- Handlers ----
  // Both controls run from 1 to the number of steps minus 1 (at least 1) and
  // show the current step (kept within that range).
  void FormCreate(int stepCount, int currentStep);
  void FormShow();
  void FormKeyPress(char& Key);
  void StepTrackBarChange();
  void StepSpinEditChange();
  void OkBtnClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

// The distance between the ticks of a track bar over `range` positions that
// is `pixels` wide: 1, 2 or 5 times a power of ten, so that ticks stay at
// least 8 pixels apart.
int TickFrequency(int range, int pixels);
