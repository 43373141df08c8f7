#include "dialogs/PixelSizeForm.h"

#include "controls/My_SpinEdit.h"
#include "dialogs/DialogParts.h"
#include "dialogs/SizeLink.h"
#include "dialogs/core/SizeLimits.h"
#include "platform/UiServices.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

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
  link_ = std::make_unique<TSizeLink>(*WidthPixels, *HeightPixels, *PercentOfStretch, *PercentOfHeight, *MaintainRatio);
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

TPixelSizeForm::~TPixelSizeForm() = default;

void TPixelSizeForm::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

TSizeLink& TPixelSizeForm::Link() {
  link_->BaseWidth = BaseWidth;
  link_->BaseHeight = BaseHeight;
  return *link_;
}

void TPixelSizeForm::FormShow() {
  setFont(QApplication::font());  // the main window's dialog font
  MaintainRatio->setChecked(false);
  Link().SetPixels(WidthValue, HeightValue);
  MaintainRatio->setChecked(true);
}

void TPixelSizeForm::WidthPixelsChange() { Link().WidthPixelsChange(); }
void TPixelSizeForm::HeightPixelsChange() { Link().HeightPixelsChange(); }
void TPixelSizeForm::PercentOfStretchChange() { Link().PercentOfStretchChange(); }
void TPixelSizeForm::PercentOfHeightChange() { Link().PercentOfHeightChange(); }

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
