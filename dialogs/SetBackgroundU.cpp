#include "dialogs/SetBackgroundU.h"

#include "dialogs/DialogParts.h"
#include "platform/Help.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

TSetBackgroundFrm::TSetBackgroundFrm(int sceneWidth, int sceneHeight, QWidget* owner)
    : TPixelSizeForm("SetBackgroundFrm", "Animation Size", owner) {
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkBtn);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(HelpBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(SizeGroup);
  layout->addSpacing(4);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(HelpBtn, &QPushButton::clicked, this, &TSetBackgroundFrm::HelpBtnClick);
  FormCreate(sceneWidth, sceneHeight);
}

void TSetBackgroundFrm::FormCreate(int sceneWidth, int sceneHeight) {
  BaseWidth = sceneWidth;
  BaseHeight = sceneHeight;
  WidthValue = sceneWidth;
  HeightValue = sceneHeight;
}

void TSetBackgroundFrm::keyPressEvent(QKeyEvent* event) {
  if (PreviewFormKey(
          *event, [this](WORD& Key, TShiftState Shift) { FormKeyDown(Key, Shift); },
          [this](char& Key) { FormKeyPress(Key); }))
    return;
  QDialog::keyPressEvent(event);
}

void TSetBackgroundFrm::FormKeyPress(char& Key) {
  if (Key == 27) {
    Key = 0;
    reject();
  }
}

void TSetBackgroundFrm::FormKeyDown(WORD& Key, TShiftState) {
  if (Key == VK_F1) {
    Key = 0;
    HelpBtnClick();
  }
}

void TSetBackgroundFrm::HelpBtnClick() { HelpJump("background"); }
