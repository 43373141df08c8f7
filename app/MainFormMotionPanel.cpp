// The motion panel's size, opacity and shadow controls: each start value has
// a finish twin, each opacity spin a track bar. These handlers only keep the
// twins in step and hand every change to the motion page, which writes the
// motion step (MotionPanelChanged).
#include "app/MainFormMotionPanel.h"
#include "app/MainFormU.h"
#include "app/MainFormShapes.h"
#include "app/MainFormLayout.h"

#include "controls/Bitmpbtn.h"
#include "controls/My_SpinEdit.h"
#include "controls/TrackBar.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kMaxSizePercent = 100000;
constexpr int kMaxShadowBlur = 60;
constexpr int kMaxShadowOffset = 50000;

TSpinEdit* MakeSpin(QWidget* parent, const char* name, int minValue, int maxValue, int value) {
  auto* spin = new TSpinEdit(parent);
  spin->setObjectName(name);
  spin->SetMinValue(minValue);
  spin->SetMaxValue(maxValue);
  spin->SetValue(value);
  spin->setFixedWidth(64);
  return spin;
}

TTrackBar* MakeBar(QWidget* parent, const char* name) {
  auto* bar = new TTrackBar(parent);
  bar->setObjectName(name);
  bar->SetMin(0);
  bar->SetMax(100);
  bar->SetPosition(100);
  bar->SetSelEnd(100);
  bar->setMinimumSize(120, 30);
  return bar;
}

QWidget* MakePanel(QWidget* parent, const char* name) {
  auto* panel = new QWidget(parent);
  panel->setObjectName(name);
  auto* layout = new QHBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  return panel;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text) {
  auto* label = new QLabel(text, parent);
  if (name != nullptr) label->setObjectName(name);
  return label;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const char* caption) {
  auto* group = new QGroupBox(caption, parent);
  group->setObjectName(name);
  new QGridLayout(group);
  return group;
}

QGridLayout* GridOf(QWidget* widget) { return static_cast<QGridLayout*>(widget->layout()); }

}  // namespace

void TMotionPanel::CreateMotionTwins() {
  // Page 0: the start and finish sizes, below the motion page's own controls.
  QWidget* motionPage = Layout().Notebook_Size_Opacity()->widget(0);
  auto* sizePanel = MakePanel(motionPage, "Panel_Size");
  StartSuzeGroupBox = MakeGroup(sizePanel, "StartSuzeGroupBox", " Start Size ");
  StartSizeX = MakeSpin(StartSuzeGroupBox, "StartSizeX", 1, kMaxSizePercent, 100);
  StartSizeY = MakeSpin(StartSuzeGroupBox, "StartSizeY", 1, kMaxSizePercent, 100);
  GridOf(StartSuzeGroupBox)->addWidget(MakeLabel(StartSuzeGroupBox, nullptr, "Width:"), 0, 0);
  GridOf(StartSuzeGroupBox)->addWidget(StartSizeX, 0, 1);
  GridOf(StartSuzeGroupBox)->addWidget(MakeLabel(StartSuzeGroupBox, nullptr, "%"), 0, 2);
  GridOf(StartSuzeGroupBox)->addWidget(MakeLabel(StartSuzeGroupBox, nullptr, "Height:"), 1, 0);
  GridOf(StartSuzeGroupBox)->addWidget(StartSizeY, 1, 1);
  GridOf(StartSuzeGroupBox)->addWidget(MakeLabel(StartSuzeGroupBox, nullptr, "%"), 1, 2);
  FinishSizeGroupBox = MakeGroup(sizePanel, "FinishSizeGroupBox", " Finish Size ");
  FinishSizeX = MakeSpin(FinishSizeGroupBox, "FinishSizeX", 1, kMaxSizePercent, 100);
  FinishSizeY = MakeSpin(FinishSizeGroupBox, "FinishSizeY", 1, kMaxSizePercent, 100);
  FinishSizeLabels = {MakeLabel(FinishSizeGroupBox, "Label_FinishWidth", "Width:"),
                      MakeLabel(FinishSizeGroupBox, "Label_FinishWidthPercent", "%"),
                      MakeLabel(FinishSizeGroupBox, "Label_FinishHeight", "Height:"),
                      MakeLabel(FinishSizeGroupBox, "Label_FinishHeightPercent", "%")};
  FinishEqualsStartButton = new QToolButton(FinishSizeGroupBox);
  FinishEqualsStartButton->setObjectName("FinishEqualsStartButton");
  FinishEqualsStartButton->setText("=");
  FinishEqualsStartButton->setCheckable(true);
  GridOf(FinishSizeGroupBox)->addWidget(FinishSizeLabels[0], 0, 0);
  GridOf(FinishSizeGroupBox)->addWidget(FinishSizeX, 0, 1);
  GridOf(FinishSizeGroupBox)->addWidget(FinishSizeLabels[1], 0, 2);
  GridOf(FinishSizeGroupBox)->addWidget(FinishSizeLabels[2], 1, 0);
  GridOf(FinishSizeGroupBox)->addWidget(FinishSizeY, 1, 1);
  GridOf(FinishSizeGroupBox)->addWidget(FinishSizeLabels[3], 1, 2);
  GridOf(FinishSizeGroupBox)->addWidget(FinishEqualsStartButton, 0, 3, 2, 1);
  sizePanel->layout()->addWidget(StartSuzeGroupBox);
  sizePanel->layout()->addWidget(FinishSizeGroupBox);
  motionPage->layout()->addWidget(sizePanel);

  // Page 1: opacity.
  QWidget* opacityPage = Layout().Notebook_Size_Opacity()->widget(1);
  auto* opacityRow = MakePanel(opacityPage, "Panel_StartOpacity");
  StartOpacityLabel = MakeLabel(opacityRow, "StartOpacityLabel", "Start:");
  StartOpacity_TrackBar = MakeBar(opacityRow, "StartOpacity_TrackBar");
  Start_Pacity_Edit = MakeSpin(opacityRow, "Start_Pacity_Edit", 0, 100, 100);
  for (QWidget* part : std::initializer_list<QWidget*>{StartOpacityLabel, StartOpacity_TrackBar, Start_Pacity_Edit})
    opacityRow->layout()->addWidget(part);
  Panel_FinishOpacity = MakePanel(opacityPage, "Panel_FinishOpacity");
  FinishOpacity_TrackBar = MakeBar(Panel_FinishOpacity, "FinishOpacity_TrackBar");
  Finish_Pacity_Edit = MakeSpin(Panel_FinishOpacity, "Finish_Pacity_Edit", 0, 100, 100);
  Panel_FinishOpacity->layout()->addWidget(MakeLabel(Panel_FinishOpacity, nullptr, "Finish:"));
  Panel_FinishOpacity->layout()->addWidget(FinishOpacity_TrackBar);
  Panel_FinishOpacity->layout()->addWidget(Finish_Pacity_Edit);
  opacityPage->layout()->addWidget(opacityRow);
  opacityPage->layout()->addWidget(Panel_FinishOpacity);

  CreateShadowPage();
  ConnectTwins();
}

void TMotionPanel::CreateShadowPage() {
  // Page 2: the shadow.
  QWidget* shadowPage = Layout().Notebook_Size_Opacity()->widget(2);
  ShadowEnabledCheckBox = new QCheckBox("Shadow", shadowPage);
  ShadowEnabledCheckBox->setObjectName("ShadowEnabledCheckBox");
  shadowPage->layout()->addWidget(ShadowEnabledCheckBox);

  GroupBox_ShadowBlur = MakeGroup(shadowPage, "GroupBox_ShadowBlur", " Blur ");
  StartBlurLabel = MakeLabel(GroupBox_ShadowBlur, "StartBlurLabel", "Start:");
  StartShadowBlurEdit = MakeSpin(GroupBox_ShadowBlur, "StartShadowBlurEdit", 0, kMaxShadowBlur, 3);
  Panel_FinishShadowBlur = MakePanel(GroupBox_ShadowBlur, "Panel_FinishShadowBlur");
  FinishShadowBlurEdit = MakeSpin(Panel_FinishShadowBlur, "FinishShadowBlurEdit", 0, kMaxShadowBlur, 3);
  Panel_FinishShadowBlur->layout()->addWidget(MakeLabel(Panel_FinishShadowBlur, nullptr, "Finish:"));
  Panel_FinishShadowBlur->layout()->addWidget(FinishShadowBlurEdit);
  GridOf(GroupBox_ShadowBlur)->addWidget(StartBlurLabel, 0, 0);
  GridOf(GroupBox_ShadowBlur)->addWidget(StartShadowBlurEdit, 0, 1);
  GridOf(GroupBox_ShadowBlur)->addWidget(Panel_FinishShadowBlur, 0, 2);

  GroupBox_ShadowOpacity = MakeGroup(shadowPage, "GroupBox_ShadowOpacity", " Opacity ");
  Label_StartShadowOpacity = MakeLabel(GroupBox_ShadowOpacity, "Label_StartShadowOpacity", "Start:");
  StartShadowOpacityTrackBar = MakeBar(GroupBox_ShadowOpacity, "StartShadowOpacityTrackBar");
  StartShadowOpacityEdit = MakeSpin(GroupBox_ShadowOpacity, "StartShadowOpacityEdit", 0, 100, 50);
  Panel_FinishShadowOpacity = MakePanel(GroupBox_ShadowOpacity, "Panel_FinishShadowOpacity");
  FinishShadowOpacityTrackBar = MakeBar(Panel_FinishShadowOpacity, "FinishShadowOpacityTrackBar");
  FinishShadowOpacityEdit = MakeSpin(Panel_FinishShadowOpacity, "FinishShadowOpacityEdit", 0, 100, 50);
  Panel_FinishShadowOpacity->layout()->addWidget(MakeLabel(Panel_FinishShadowOpacity, nullptr, "Finish:"));
  Panel_FinishShadowOpacity->layout()->addWidget(FinishShadowOpacityTrackBar);
  Panel_FinishShadowOpacity->layout()->addWidget(FinishShadowOpacityEdit);
  GridOf(GroupBox_ShadowOpacity)->addWidget(Label_StartShadowOpacity, 0, 0);
  GridOf(GroupBox_ShadowOpacity)->addWidget(StartShadowOpacityTrackBar, 0, 1);
  GridOf(GroupBox_ShadowOpacity)->addWidget(StartShadowOpacityEdit, 0, 2);
  GridOf(GroupBox_ShadowOpacity)->addWidget(Panel_FinishShadowOpacity, 1, 0, 1, 3);

  GroupBox_ShadowOffset = MakeGroup(shadowPage, "GroupBox_ShadowOffset", " Offset ");
  Label_StartShadowOffset = MakeLabel(GroupBox_ShadowOffset, "Label_StartShadowOffset", "Start:");
  StartShadowOffsetXEdit =
      MakeSpin(GroupBox_ShadowOffset, "StartShadowOffsetXEdit", -kMaxShadowOffset, kMaxShadowOffset, 3);
  StartShadowOffsetYEdit =
      MakeSpin(GroupBox_ShadowOffset, "StartShadowOffsetYEdit", -kMaxShadowOffset, kMaxShadowOffset, 3);
  Panel_FinishShadowOffset = MakePanel(GroupBox_ShadowOffset, "Panel_FinishShadowOffset");
  FinishShadowOffsetXEdit =
      MakeSpin(Panel_FinishShadowOffset, "FinishShadowOffsetXEdit", -kMaxShadowOffset, kMaxShadowOffset, 3);
  FinishShadowOffsetYEdit =
      MakeSpin(Panel_FinishShadowOffset, "FinishShadowOffsetYEdit", -kMaxShadowOffset, kMaxShadowOffset, 3);
  Panel_FinishShadowOffset->layout()->addWidget(MakeLabel(Panel_FinishShadowOffset, nullptr, "Finish:"));
  Panel_FinishShadowOffset->layout()->addWidget(FinishShadowOffsetXEdit);
  Panel_FinishShadowOffset->layout()->addWidget(FinishShadowOffsetYEdit);
  GridOf(GroupBox_ShadowOffset)->addWidget(Label_StartShadowOffset, 0, 0);
  GridOf(GroupBox_ShadowOffset)->addWidget(StartShadowOffsetXEdit, 0, 1);
  GridOf(GroupBox_ShadowOffset)->addWidget(StartShadowOffsetYEdit, 0, 2);
  GridOf(GroupBox_ShadowOffset)->addWidget(Panel_FinishShadowOffset, 1, 0, 1, 3);

  GroupBox_ShadowColor = MakeGroup(shadowPage, "GroupBox_ShadowColor", " Color ");
  Label_StartShadowColor = MakeLabel(GroupBox_ShadowColor, "Label_StartShadowColor", "Start:");
  StartShadowColor_Button = new TBitmapButton(GroupBox_ShadowColor);
  StartShadowColor_Button->setObjectName("StartShadowColor_Button");
  StartShadowColor_Button->setFixedSize(40, 22);
  Panel_FinishShadowColor = MakePanel(GroupBox_ShadowColor, "Panel_FinishShadowColor");
  FinishShadowColor_Button = new TBitmapButton(Panel_FinishShadowColor);
  FinishShadowColor_Button->setObjectName("FinishShadowColor_Button");
  FinishShadowColor_Button->setFixedSize(40, 22);
  StartShadowColor_Button->SetButtonColor(clBlack);  // a new step's shadow colour
  FinishShadowColor_Button->SetButtonColor(clBlack);
  ShadowSameColors_CheckBox = new QCheckBox("Same", Panel_FinishShadowColor);
  ShadowSameColors_CheckBox->setObjectName("ShadowSameColors_CheckBox");
  Panel_FinishShadowColor->layout()->addWidget(MakeLabel(Panel_FinishShadowColor, nullptr, "Finish:"));
  Panel_FinishShadowColor->layout()->addWidget(FinishShadowColor_Button);
  Panel_FinishShadowColor->layout()->addWidget(ShadowSameColors_CheckBox);
  GridOf(GroupBox_ShadowColor)->addWidget(Label_StartShadowColor, 0, 0);
  GridOf(GroupBox_ShadowColor)->addWidget(StartShadowColor_Button, 0, 1);
  GridOf(GroupBox_ShadowColor)->addWidget(Panel_FinishShadowColor, 0, 2);
  for (QWidget* group : {GroupBox_ShadowBlur, GroupBox_ShadowOpacity, GroupBox_ShadowOffset, GroupBox_ShadowColor})
    shadowPage->layout()->addWidget(group);
}

void TMotionPanel::ConnectTwins() {
  for (TTrackBar* bar :
       {StartOpacity_TrackBar, FinishOpacity_TrackBar, StartShadowOpacityTrackBar, FinishShadowOpacityTrackBar})
    bar->OnChange = [this, bar](QObject*) { OpacityTrackBarChange(bar); };
  for (TSpinEdit* edit : {Start_Pacity_Edit, Finish_Pacity_Edit, StartShadowOpacityEdit, FinishShadowOpacityEdit})
    edit->OnChange = [this, edit](QObject*) { OpacityEditChange(edit); };
  for (TSpinEdit* start : {StartShadowBlurEdit, StartShadowOffsetXEdit, StartShadowOffsetYEdit, StartSizeX, StartSizeY})
    start->OnChange = [this, start](QObject*) { StartTwinChange(start); };
  for (TSpinEdit* finish :
       {FinishShadowBlurEdit, FinishShadowOffsetXEdit, FinishShadowOffsetYEdit, FinishSizeX, FinishSizeY})
    finish->OnChange = [this](QObject*) { FinishTwinChange(); };
  connect(FinishEqualsStartButton, &QToolButton::clicked, this, [this] { FinishEqualsStartButtonClick(); });
  connect(ShadowSameColors_CheckBox, &QCheckBox::clicked, this, [this] { ShadowSameColors_CheckBoxClick(); });
  connect(ShadowEnabledCheckBox, &QCheckBox::clicked, this, [this] { ShadowEnabledCheckBoxClick(); });
  StartShadowColor_Button->OnClick = [this](QObject*) {
    Shapes().PickButtonColor(StartShadowColor_Button, [this] {
      if (ShadowSameColors_CheckBox->isChecked() || MotionFinishHidden())
        FinishShadowColor_Button->SetButtonColor(StartShadowColor_Button->ButtonColor());
      FinishTwinChange();
    });
  };
  FinishShadowColor_Button->OnClick = [this](QObject*) {
    Shapes().PickButtonColor(FinishShadowColor_Button, [this] { FinishTwinChange(); });
  };
}

bool TMotionPanel::MotionFinishHidden() const { return FinishSizeGroupBox->isHidden(); }

TSpinEdit* TMotionPanel::FinishTwinOf(const TSpinEdit* start) const {
  const std::pair<TSpinEdit*, TSpinEdit*> twins[] = {
      {Start_Pacity_Edit, Finish_Pacity_Edit},
      {StartShadowOpacityEdit, FinishShadowOpacityEdit},
      {StartShadowBlurEdit, FinishShadowBlurEdit},
      {StartShadowOffsetXEdit, FinishShadowOffsetXEdit},
      {StartShadowOffsetYEdit, FinishShadowOffsetYEdit},
      {StartSizeX, FinishSizeX},
      {StartSizeY, FinishSizeY},
  };
  for (const auto& [first, second] : twins)
    if (first == start) return second;
  return nullptr;
}

void TMotionPanel::OpacityTrackBarChange(TTrackBar* bar) {
  bar->SetSelEnd(bar->Position());
  TSpinEdit* edit = bar == StartOpacity_TrackBar        ? Start_Pacity_Edit
                    : bar == FinishOpacity_TrackBar     ? Finish_Pacity_Edit
                    : bar == StartShadowOpacityTrackBar ? StartShadowOpacityEdit
                                                        : FinishShadowOpacityEdit;
  if (edit->Value() != bar->Position()) edit->SetValue(bar->Position());
}

void TMotionPanel::OpacityEditChange(TSpinEdit* edit) {
  TTrackBar* bar = edit == Start_Pacity_Edit        ? StartOpacity_TrackBar
                   : edit == Finish_Pacity_Edit     ? FinishOpacity_TrackBar
                   : edit == StartShadowOpacityEdit ? StartShadowOpacityTrackBar
                                                    : FinishShadowOpacityTrackBar;
  if (bar->Position() != edit->Value()) bar->SetPosition(edit->Value());
  if (FinishTwinOf(edit) != nullptr) {
    StartTwinChange(edit);
  } else {
    FinishTwinChange();
  }
}

void TMotionPanel::StartTwinChange(TSpinEdit* start) {
  TSpinEdit* finish = FinishTwinOf(start);
  const bool size = start == StartSizeX || start == StartSizeY;
  const bool copy = MotionFinishHidden() || (size && FinishEqualsStartButton->isChecked());
  if (finish != nullptr && copy && finish->Value() != start->Value()) {
    finish->SetValue(start->Value());  // the finish twin's handler reports the change
    return;
  }
  FinishTwinChange();
}

void TMotionPanel::FinishTwinChange() {
  if (!FillingMotionPanel && MotionPanelChanged) MotionPanelChanged();
}

void TMotionPanel::FinishEqualsStartButtonClick() {
  const bool down = FinishEqualsStartButton->isChecked();
  FinishSizeX->setEnabled(!down);
  FinishSizeY->setEnabled(!down);
  for (QLabel* label : FinishSizeLabels) label->setEnabled(!down);
  if (FillingMotionPanel || !down) return;
  if (FinishSizeX->Value() != StartSizeX->Value()) FinishSizeX->SetValue(StartSizeX->Value());
  if (FinishSizeY->Value() != StartSizeY->Value()) FinishSizeY->SetValue(StartSizeY->Value());
}

void TMotionPanel::ShadowSameColors_CheckBoxClick() {
  const bool same = ShadowSameColors_CheckBox->isChecked();
  FinishShadowColor_Button->SetEnabled(!same && ShadowEnabledCheckBox->isChecked());
  if (FillingMotionPanel || !same) return;
  if (FinishShadowColor_Button->ButtonColor() == StartShadowColor_Button->ButtonColor()) return;
  FinishShadowColor_Button->SetButtonColor(StartShadowColor_Button->ButtonColor());
  FinishTwinChange();
}

void TMotionPanel::ShadowEnabledCheckBoxClick() {
  const bool on = ShadowEnabledCheckBox->isChecked();
  for (QGroupBox* group : {GroupBox_ShadowBlur, GroupBox_ShadowOpacity, GroupBox_ShadowOffset, GroupBox_ShadowColor})
    for (QWidget* control : group->findChildren<QWidget*>()) control->setEnabled(on);
  FinishShadowColor_Button->SetEnabled(on && !ShadowSameColors_CheckBox->isChecked());
  FinishTwinChange();
}
