#include "dialogs/PixelSizeForm.h"

#include "controls/My_SpinEdit.h"
#include "dialogs/DialogParts.h"
#include "dialogs/core/SizeLimits.h"
#include "dialogs/core/SizeLink.h"
#include "platform/UiServices.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>

namespace {
constexpr int kMaxPixels = 65000;
constexpr int kMaxPercent = 10000;
}  // namespace

TPixelSizeForm::TPixelSizeForm(const char* name, const char* caption, QWidget* owner) : QDialog(owner) {
  setObjectName(name);
  setWindowTitle(caption);
  SizeGroup = new QGroupBox(" Size ", this);
  SizeGroup->setObjectName("SizeGroup");
  WidthPixels = MakeSpinEdit(SizeGroup, "WidthPixels", 1, kMaxPixels, 1);
  HeightPixels = MakeSpinEdit(SizeGroup, "HeightPixels", 1, kMaxPixels, 1);
  PercentOfStretch = MakeSpinEdit(SizeGroup, "PercentOfStretch", 1, kMaxPercent, 100);
  PercentOfHeight = MakeSpinEdit(SizeGroup, "PercentOfHeight", 1, kMaxPercent, 100);
  WidthLabel = MakeDialogLabel(SizeGroup, "WidthLabel", "&Width:", WidthPixels);
  HeightLabel = MakeDialogLabel(SizeGroup, "HeightLabel", "H&eight:", HeightPixels);
  MaintainRatio = new QCheckBox("Maintain aspect ratio", SizeGroup);
  MaintainRatio->setObjectName("MaintainRatio");
  MaintainRatio->setChecked(true);
  OkBtn = MakeDialogButton(this, "OkBtn", "&Ok");
  OkBtn->setDefault(true);
  CancelBtn = MakeDialogButton(this, "CancelBtn", "&Cancel");
  HelpBtn = MakeDialogButton(this, "HelpBtn", "&Help");

  auto* grid = new QGridLayout(SizeGroup);
  grid->addWidget(MakeDialogLabel(SizeGroup, "PixelsLabel", "Pixels"), 0, 1);
  grid->addWidget(MakeDialogLabel(SizeGroup, "PercentLabel", "Percent"), 0, 2, 1, 2);
  grid->addWidget(WidthLabel, 1, 0);
  grid->addWidget(WidthPixels, 1, 1);
  grid->addWidget(PercentOfStretch, 1, 2);
  grid->addWidget(MakeDialogLabel(SizeGroup, "WidthPercentSign", "%"), 1, 3);
  grid->addWidget(HeightLabel, 2, 0);
  grid->addWidget(HeightPixels, 2, 1);
  grid->addWidget(PercentOfHeight, 2, 2);
  grid->addWidget(MakeDialogLabel(SizeGroup, "HeightPercentSign", "%"), 2, 3);
  grid->addWidget(MaintainRatio, 3, 0, 1, 4);
  grid->setHorizontalSpacing(10);

  WidthPixels->OnChange = [this](QObject*) { WidthPixelsChange(); };
  HeightPixels->OnChange = [this](QObject*) { HeightPixelsChange(); };
  PercentOfStretch->OnChange = [this](QObject*) { PercentOfStretchChange(); };
  PercentOfHeight->OnChange = [this](QObject*) { PercentOfHeightChange(); };
  connect(OkBtn, &QPushButton::clicked, this, [this] { OkBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TPixelSizeForm::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TPixelSizeForm::FormShow() {
  setFont(QApplication::font());  // the main window's dialog font
  MaintainRatio->setChecked(false);
  WidthPixels->SetValue(WidthValue);
  HeightPixels->SetValue(HeightValue);
  // A field that already showed this number fired no change: its per cent
  // would still be that of an earlier base.
  WidthPixelsChange();
  HeightPixelsChange();
  MaintainRatio->setChecked(true);
}

// The field being typed in is never written over by its own echo: a per cent
// written for the pixels typed is clamped into 1..10000 (a width of 2 is
// 0.4 % of 468), and pixels written for a per cent typed into 1..65000;
// writing the clamped value back would turn the 2 of 234 into 5.
void TPixelSizeForm::WidthPixelsChange() {
  if (widthFromPercent_) return;
  const QScopedValueRollback guard(widthFromPixels_, true);
  PercentOfStretch->SetValue(PercentAfterPixelsChange(WidthPixels->Value(), PercentOfStretch->Value(), BaseWidth));
}

void TPixelSizeForm::HeightPixelsChange() {
  if (heightFromPercent_) return;
  const QScopedValueRollback guard(heightFromPixels_, true);
  PercentOfHeight->SetValue(PercentAfterPixelsChange(HeightPixels->Value(), PercentOfHeight->Value(), BaseHeight));
}

void TPixelSizeForm::PercentOfStretchChange() {
  if (!widthFromPixels_) {
    const QScopedValueRollback guard(widthFromPercent_, true);
    WidthPixels->SetValue(PixelsAfterPercentChange(WidthPixels->Value(), PercentOfStretch->Value(), BaseWidth));
  }
  if (MaintainRatio->isChecked()) PercentOfHeight->SetValue(PercentOfStretch->Value());
}

void TPixelSizeForm::PercentOfHeightChange() {
  if (!heightFromPixels_) {
    const QScopedValueRollback guard(heightFromPercent_, true);
    HeightPixels->SetValue(PixelsAfterPercentChange(HeightPixels->Value(), PercentOfHeight->Value(), BaseHeight));
  }
  if (MaintainRatio->isChecked() && PercentOfStretch->Value() != PercentOfHeight->Value())
    PercentOfStretch->SetValue(PercentOfHeight->Value());
}

bool TPixelSizeForm::SizeAccepted() {
  if (!FieldAccepted(*WidthPixels) || !FieldAccepted(*HeightPixels)) return false;
  try {
    RequireSavableImageSize(WidthPixels->Value(), HeightPixels->Value());
  } catch (const ESizeRefused& refused) {
    Ui().MessageBox(0, refused.Message(), "Error", MB_ICONERROR);
    WidthPixels->setFocus(Qt::OtherFocusReason);
    WidthPixels->selectAll();
    return false;
  }
  return true;
}

void TPixelSizeForm::OkBtnClick() {
  if (SizeAccepted()) accept();
}
