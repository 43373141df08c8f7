#include "dialogs/USetStepFrm.h"

#include "controls/My_SpinEdit.h"
#include "controls/TrackBar.h"
#include "dialogs/DialogParts.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cstdint>

namespace {
constexpr int kTrackBarWidth = 240;
constexpr int kTrackBarHeight = 32;
constexpr int kMinTickSpacing = 8;
}  // namespace

int TickFrequency(int range, int pixels) {
  const std::int64_t needed = std::int64_t{std::max(range, 1)} * kMinTickSpacing / std::max(pixels, 1) + 1;
  std::int64_t frequency = 1;
  for (;;) {
    for (int factor : {1, 2, 5}) {
      if (frequency * factor >= needed) return static_cast<int>(frequency * factor);
    }
    frequency *= 10;
  }
}

TSetStepFrm::TSetStepFrm(int stepCount, int currentStep, QWidget* owner) : QDialog(owner) {
  setObjectName("SetStepFrm");
  setWindowTitle("Step");
  StepSpinEdit = MakeSpinEdit(this, "StepSpinEdit", 1, 1, 1);
  StepLabel = MakeDialogLabel(this, "StepLabel", "Step Number:", StepSpinEdit);
  StepTrackBar = new TTrackBar(this);
  StepTrackBar->setObjectName("StepTrackBar");
  StepTrackBar->setFixedSize(kTrackBarWidth, kTrackBarHeight);
  MaxLabel = MakeDialogLabel(this, "MaxLabel", "");
  OkBtn = MakeDialogButton(this, "OkBtn", "&Ok");
  OkBtn->setDefault(true);
  CancelBtn = MakeDialogButton(this, "CancelBtn", "&Cancel");

  auto* fields = new QGridLayout;
  fields->addWidget(StepLabel, 0, 0);
  fields->addWidget(StepSpinEdit, 0, 1, Qt::AlignLeft);
  fields->addWidget(StepTrackBar, 1, 0, 1, 2);
  fields->addWidget(MaxLabel, 1, 2);
  fields->setColumnStretch(1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkBtn);
  buttons->addWidget(CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addSpacing(8);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  FormCreate(stepCount, currentStep);
  StepSpinEdit->OnChange = [this](QObject*) { StepSpinEditChange(); };
  StepTrackBar->OnChange = [this](QObject*) { StepTrackBarChange(); };
  connect(OkBtn, &QPushButton::clicked, this, &TSetStepFrm::OkBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TSetStepFrm::FormCreate(int stepCount, int currentStep) {
  // A scene of one step has no other step to go to; the range stays 1..1
  // rather than the track bar refusing a maximum below its minimum.
  const int maximum = std::max(1, stepCount - 1);
  StepTrackBar->SetMax(maximum);
  StepTrackBar->SetMin(1);
  StepTrackBar->SetFrequency(TickFrequency(maximum - 1, kTrackBarWidth));
  StepTrackBar->SetPageSize(std::max(1, maximum / 10));
  StepSpinEdit->SetMaxValue(maximum);
  StepSpinEdit->SetValue(std::clamp(currentStep, 1, maximum));
  StepTrackBar->SetPosition(StepSpinEdit->Value());
}

void TSetStepFrm::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TSetStepFrm::FormShow() {
  setFont(QApplication::font());  // the main window's dialog font
  MaxLabel->setText(QString::number(StepSpinEdit->MaxValue()));
}

void TSetStepFrm::keyPressEvent(QKeyEvent* event) {
  if (PreviewFormKey(*event, nullptr, [this](char& Key) { FormKeyPress(Key); })) return;
  QDialog::keyPressEvent(event);
}

void TSetStepFrm::FormKeyPress(char& Key) {
  if (Key == '\r') {
    Key = 0;
    OkBtnClick();
  } else if (Key == 27) {
    Key = 0;
    reject();
  }
}

void TSetStepFrm::StepTrackBarChange() {
  if (StepSpinEdit->Value() != StepTrackBar->Position()) StepSpinEdit->SetValue(StepTrackBar->Position());
}

void TSetStepFrm::StepSpinEditChange() {
  if (StepTrackBar->Position() != StepSpinEdit->Value()) StepTrackBar->SetPosition(StepSpinEdit->Value());
}

void TSetStepFrm::OkBtnClick() {
  if (FieldAccepted(*StepSpinEdit)) accept();
}
