#include "dialogs/StretchFormU.h"

#include "controls/My_SpinEdit.h"
#include "controls/RadioGroup.h"
#include "dialogs/DialogParts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

TStretchForm::TStretchForm(QWidget* owner) : TPixelSizeForm("StretchForm", "Resize", owner) {
  TypeOfResizeRadio = new TRadioGroup(this);
  TypeOfResizeRadio->setObjectName("TypeOfResizeRadio");
  TypeOfResizeRadio->SetCaption(" Resample Process: ");
  TypeOfResizeRadio->SetItems({"Anti-Alias", "Stretch/Truncate"});
  TypeOfResizeRadio->SetItemIndex(0);

  auto* groups = new QHBoxLayout;
  groups->addWidget(SizeGroup);
  groups->addWidget(TypeOfResizeRadio, 0, Qt::AlignTop);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkBtn);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(HelpBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addSpacing(4);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  FormCreate();
}

void TStretchForm::FormCreate() {
  WidthValue = 1;
  HeightValue = 1;
}

void TStretchForm::keyPressEvent(QKeyEvent* event) {
  if (PreviewFormKey(*event, nullptr, [this](char& Key) { FormKeyPress(Key); })) return;
  QDialog::keyPressEvent(event);
}

void TStretchForm::FormKeyPress(char& Key) {
  if (Key == '\r') {
    Key = 0;
    OkBtnClick();
  } else if (Key == 27) {
    Key = 0;
    reject();
  }
}

void TStretchForm::OkBtnClick() {
  if (!SizeAccepted()) return;
  WidthValue = WidthPixels->Value();
  HeightValue = HeightPixels->Value();
  accept();
}
