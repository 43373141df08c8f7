// The fill of the scene background page: fill type and colour, the angle of
// the colour flow, the bevel, the outline and the corners. Every control is
// applied through BackgroundParameterChanged, one undo entry per change.
#include "app/MainFormPages.h"
#include "app/MainFormU.h"
#include "app/MainFormLayout.h"
#include "app/MainFormGalleries.h"

#include "app/MainFormPagesParts.h"
#include "controls/My_SpinEdit.h"
#include "controls/mKnob.h"
#include "scene/SpriteU.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Large enough for any banner; the scene stores 32-bit values.
constexpr int kMaxFillValue = 10000;

TSpinEdit* MakeFillSpin(QWidget* parent, const char* name, int max) {
  auto* spin = new TSpinEdit(parent);
  spin->setObjectName(name);
  spin->SetMinValue(0);
  spin->SetMaxValue(max);
  spin->setFixedWidth(80);
  return spin;
}

QToolButton* MakeFillToggle(QWidget* parent, QButtonGroup* group, const char* name, const char* caption) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText(caption);
  button->setCheckable(true);
  button->setAutoRaise(true);
  group->addButton(button);
  return button;
}

}  // namespace

void TFramePagesArea::CreateBackgroundFillControls(QWidget& page) {
  auto* box = new QGroupBox(" Fill ", &page);
  box->setObjectName("GroupBox_BackgroundFill");
  auto* grid = new QGridLayout(box);
  grid->setColumnStretch(3, 1);  // the controls stay beside their labels
  int row = 0;
  const auto addRow = [&](const char* label, QWidget* first, QWidget* second = nullptr) {
    grid->addWidget(new QLabel(label, box), row, 0);
    grid->addWidget(first, row, 1);
    if (second != nullptr) grid->addWidget(second, row, 2);
    ++row;
  };

  auto* fillType = new QButtonGroup(box);
  ScBackFillLinear_Button = MakeFillToggle(box, fillType, "ScBackFillLinear_Button", "Fountain");
  ScBackFillVelvet_Button = MakeFillToggle(box, fillType, "ScBackFillVelvet_Button", "Velveteen");
  addRow("Type:", ScBackFillLinear_Button, ScBackFillVelvet_Button);
  FillBackgroundButton = MakeColorButton(box, "FillBackgroundButton");
  addRow("Color:", FillBackgroundButton);
  ScBackFillAngle = MakeFillSpin(box, "ScBackFillAngle", 360);
  ScBackFillAngle_Knob = new TmKnob(box);
  ScBackFillAngle_Knob->setObjectName("ScBackFillAngle_Knob");
  ScBackFillAngle_Knob->SetMin(0);
  ScBackFillAngle_Knob->SetMax(360);
  ScBackFillAngle_Knob->setFixedSize(40, 40);
  addRow("Angle:", ScBackFillAngle, ScBackFillAngle_Knob);

  auto* bevelType = new QButtonGroup(box);
  ScBackFillBevelSolid_Button = MakeFillToggle(box, bevelType, "ScBackFillBevelSolid_Button", "Solid");
  ScBackFillBevelFountain_Button = MakeFillToggle(box, bevelType, "ScBackFillBevelFountain_Button", "Fountain");
  addRow("Bevel:", ScBackFillBevelSolid_Button, ScBackFillBevelFountain_Button);
  ScBackFillBevelDepth_Edit = MakeFillSpin(box, "ScBackFillBevelDepth_Edit", kMaxFillValue);
  addRow("Bevel width:", ScBackFillBevelDepth_Edit);
  ScBackFillBevelHigh_Button = MakeColorButton(box, "ScBackFillBevelHigh_Button");
  ScBackFillBevelShadow_Button = MakeColorButton(box, "ScBackFillBevelShadow_Button");
  addRow("Bevel colors:", ScBackFillBevelHigh_Button, ScBackFillBevelShadow_Button);
  ScBackFillOutline_Edit = MakeFillSpin(box, "ScBackFillOutline_Edit", kMaxFillValue);
  ScBackFillOutlineColor_Button = MakeColorButton(box, "ScBackFillOutlineColor_Button");
  addRow("Outline:", ScBackFillOutline_Edit, ScBackFillOutlineColor_Button);
  ScBackFillCorner_Edit = MakeFillSpin(box, "ScBackFillCorner_Edit", kMaxFillValue);
  addRow("Corners:", ScBackFillCorner_Edit);
  Layout().AddToPropertyPage(ppBackground, box);

  const auto changed = [this] {
    if (!fillingBackgroundPage_) Galleries().BackgroundParameterChanged();
  };
  for (QToolButton* toggle : {ScBackFillLinear_Button, ScBackFillVelvet_Button, ScBackFillBevelSolid_Button,
                              ScBackFillBevelFountain_Button})
    connect(toggle, &QToolButton::clicked, this, changed);
  for (TSpinEdit* spin : {ScBackFillBevelDepth_Edit, ScBackFillOutline_Edit, ScBackFillCorner_Edit})
    spin->OnChange = [changed](QObject*) { changed(); };
  // The angle and its knob follow each other; the angle applies.
  ScBackFillAngle->OnChange = [this, changed](QObject*) {
    if (ScBackFillAngle_Knob->Position() != ScBackFillAngle->Value())
      ScBackFillAngle_Knob->SetPosition(ScBackFillAngle->Value());
    changed();
  };
  ScBackFillAngle_Knob->OnChange = [this](QObject*, int value) {
    if (ScBackFillAngle->Value() != value) ScBackFillAngle->SetValue(value);
  };
  for (QToolButton* button : {Button_BackgroundStartColor, Button_BackgroundFinishColor, FillBackgroundButton,
                              ScBackFillBevelHigh_Button, ScBackFillBevelShadow_Button, ScBackFillOutlineColor_Button})
    connect(button, &QToolButton::clicked, this, [this, button] { BackgroundColorButtonClick(button); });
}

void TFramePagesArea::LoadBackgroundFillControls(const TAnimatedScene& scene) {
  ScBackFillLinear_Button->setChecked(scene.VelvetFill == 0);
  ScBackFillVelvet_Button->setChecked(scene.VelvetFill == 1);
  SetButtonColor(FillBackgroundButton, scene.FillColor);
  ScBackFillAngle->SetValue(scene.FillAngle);
  ScBackFillAngle_Knob->SetPosition(ScBackFillAngle->Value());
  ScBackFillBevelSolid_Button->setChecked(scene.FountainBevel == 0);
  ScBackFillBevelFountain_Button->setChecked(scene.FountainBevel == 1);
  ScBackFillBevelDepth_Edit->SetValue(scene.BevelDepth);
  SetButtonColor(ScBackFillBevelHigh_Button, scene.BevelHighlight);
  SetButtonColor(ScBackFillBevelShadow_Button, scene.BevelShadow);
  ScBackFillOutline_Edit->SetValue(scene.OutlineWidth);
  SetButtonColor(ScBackFillOutlineColor_Button, scene.OutlineColor);
  ScBackFillCorner_Edit->SetValue(scene.CornerRadius);
}

void TFramePagesArea::StoreBackgroundFillControls(TAnimatedScene& scene) const {
  scene.StartColor = ButtonColor(Button_BackgroundStartColor);
  scene.FinishColor = ButtonColor(Button_BackgroundFinishColor);
  // A type neither button shows (a value from a newer file) is kept.
  if (ScBackFillLinear_Button->isChecked()) scene.VelvetFill = 0;
  if (ScBackFillVelvet_Button->isChecked()) scene.VelvetFill = 1;
  scene.FillColor = ButtonColor(FillBackgroundButton);
  scene.FillAngle = ScBackFillAngle->Value();
  if (ScBackFillBevelSolid_Button->isChecked()) scene.FountainBevel = 0;
  if (ScBackFillBevelFountain_Button->isChecked()) scene.FountainBevel = 1;
  scene.BevelDepth = ScBackFillBevelDepth_Edit->Value();
  scene.BevelHighlight = ButtonColor(ScBackFillBevelHigh_Button);
  scene.BevelShadow = ButtonColor(ScBackFillBevelShadow_Button);
  scene.OutlineWidth = ScBackFillOutline_Edit->Value();
  scene.OutlineColor = ButtonColor(ScBackFillOutlineColor_Button);
  scene.CornerRadius = ScBackFillCorner_Edit->Value();
}

void TFramePagesArea::BackgroundColorButtonClick(QToolButton* button) {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  const std::optional<TColor> chosen = Ui().ChooseColor(ButtonColor(button));
  if (!chosen || *chosen == ButtonColor(button)) return;
  SetButtonColor(button, *chosen);
  if (button == Button_BackgroundStartColor && SameColorsCheckBox->isChecked())
    SetButtonColor(Button_BackgroundFinishColor, *chosen);
  Galleries().BackgroundParameterChanged();
}
