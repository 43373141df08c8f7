#include "dialogs/RotationFormU.h"

#include "controls/Bitmpbtn.h"
#include "controls/My_SpinEdit.h"
#include "controls/RadioGroup.h"
#include "dialogs/DialogParts.h"
#include "platform/Help.h"
#include "platform/UiServices.h"
#include "platform/qtui/QtHints.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr const char* kAngleHint = "Displays the angle of rotation. Type a value in the box.";
constexpr const char* kDirectionHint = "Click to rotate the image Clockwise or Counter-Clockwise.";
constexpr const char* kPaperColorHint =
    "Click a color from the Paper Color picker to choose the paper color that becomes visible as a result of the "
    "rotation.";
}  // namespace

TRotationForm::TRotationForm(QWidget* owner) : QDialog(owner) {
  setObjectName("RotationForm");
  setWindowTitle("Custom Rotate");
  setFont(QApplication::font());
  SpinAngle = MakeSpinEdit(this, "SpinAngle", 0, 359, 0);
  AngleLabel = MakeDialogLabel(this, "AngleLabel", "&Angle:", SpinAngle);
  RadioDirection = new TRadioGroup(this);
  RadioDirection->setObjectName("RadioDirection");
  RadioDirection->SetCaption(" Direction: ");
  RadioDirection->SetItems({"&Clockwise", "Counter-Clock&wise"});
  RadioDirection->SetItemIndex(0);
  ButtonPaperColor = new TBitmapButton(this);
  ButtonPaperColor->setObjectName("ButtonPaperColor");
  ButtonPaperColor->SetCaption("Paper Color...");
  ButtonPaperColor->setFixedSize(110, 25);
  ButtonPaperColor->SetButtonColor(clWhite);
  CheckBoxOnlyCurrentFrame = new QCheckBox("Only current frame", this);
  CheckBoxOnlyCurrentFrame->setObjectName("CheckBoxOnlyCurrentFrame");
  OkBtn = MakeDialogButton(this, "OkBtn", "&Ok");
  OkBtn->setDefault(true);
  CancelBtn = MakeDialogButton(this, "CancelBtn", "&Cancel");
  HelpBtn = MakeDialogButton(this, "HelpBtn", "&Help");
  ApplyHint(*SpinAngle, kAngleHint);
  ApplyHint(*RadioDirection, kDirectionHint);
  ApplyHint(*ButtonPaperColor, kPaperColorHint);

  auto* angle = new QHBoxLayout;
  angle->addWidget(AngleLabel);
  angle->addWidget(SpinAngle);
  angle->addStretch(1);
  auto* left = new QVBoxLayout;
  left->addLayout(angle);
  left->addSpacing(8);
  left->addWidget(ButtonPaperColor);
  left->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addLayout(left);
  top->addSpacing(12);
  top->addWidget(RadioDirection);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkBtn);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(HelpBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(CheckBoxOnlyCurrentFrame);
  layout->addSpacing(4);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  ButtonPaperColor->OnClick = [this](QObject*) { ButtonPaperColorClick(); };
  connect(OkBtn, &QPushButton::clicked, this, &TRotationForm::OkBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpBtn, &QPushButton::clicked, this, &TRotationForm::HelpBtnClick);
}

void TRotationForm::showEvent(QShowEvent* event) {
  MatchCaptionToPaper();
  QDialog::showEvent(event);
}

void TRotationForm::MatchCaptionToPaper() {
  const TColor paper = ColorToRGB(ButtonPaperColor->ButtonColor());
  const int brightness = (299 * GetRValue(paper) + 587 * GetGValue(paper) + 114 * GetBValue(paper)) / 1000;
  const bool light = brightness >= 128;
  ButtonPaperColor->SetTextColor(light ? clBlack : clWhite);
  ButtonPaperColor->SetTextShadowShift(light ? 0 : 1);
}

void TRotationForm::ButtonPaperColorClick() {
  if (const std::optional<TColor> chosen = Ui().ChooseColor(ButtonPaperColor->ButtonColor())) {
    ButtonPaperColor->SetButtonColor(*chosen);
    MatchCaptionToPaper();
  }
}

void TRotationForm::HelpBtnClick() { HelpJump("Rotating"); }

void TRotationForm::OkBtnClick() {
  if (FieldAccepted(*SpinAngle)) accept();
}
