// The motion and appearance pages of the main window.
#include "app/MainFormU.h"
#include "app/MainFormActions.h"
#include "app/MainFormLayout.h"

#include "app/AnimationWindowU.h"
#include "app/core/PropertyPageRules.h"
#include "controls/Bitmpbtn.h"
#include "controls/My_SpinEdit.h"
#include "controls/TrackBar.h"
#include "controls/UTimelineSlider.h"
#include "imaging/utils.h"
#include "scene/Moving.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/Undo.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <tuple>

namespace {

constexpr const char* kMarker = "->";
constexpr const char* kNoMarker = " ";

QLineEdit* MakeEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

TSpinEdit* MakeSpin(QWidget* parent, const char* name, std::int32_t min, std::int32_t max) {
  auto* spin = new TSpinEdit(parent);
  spin->setObjectName(name);
  spin->SetMinValue(min);
  spin->SetMaxValue(max);
  return spin;
}

QTreeWidget* MakeList(QWidget* parent, const char* name, const QStringList& columns, const std::vector<int>& widths) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(name);
  list->setRootIsDecorated(false);
  list->setColumnCount(static_cast<int>(columns.size()));
  list->setHeaderLabels(columns);
  for (std::size_t i = 0; i < widths.size(); ++i) list->setColumnWidth(static_cast<int>(i), widths[i]);
  return list;
}

// The motion values the page edits, compared so that an unchanged page records nothing.
auto EditedFields(const TMovingStepValues& v) {
  return std::tie(v.Kind, v.X1, v.Y1, v.X2, v.Y2, v.StartX, v.StartY, v.SpeedStart, v.SpeedEnd, v.ZoomXStart,
                  v.ZoomXEnd, v.ZoomYStart, v.ZoomYEnd, v.Duration, v.Hide, v.OpacityStart, v.OpacityEnd, v.ShadowOn,
                  v.ShadowBlurStart, v.ShadowBlurEnd, v.ShadowOpacityStart, v.ShadowOpacityEnd, v.ShadowOffsetStartX,
                  v.ShadowOffsetStartY, v.ShadowOffsetEndX, v.ShadowOffsetEndY, v.ShadowColorStart,
                  v.ShadowColorEnd);
}

int CurrentRow(const QTreeWidget* list) {
  return list->currentItem() != nullptr ? list->indexOfTopLevelItem(list->currentItem()) : -1;
}

void SelectRow(QTreeWidget* list, int row) {
  if (row >= 0 && row < list->topLevelItemCount()) list->setCurrentItem(list->topLevelItem(row));
}

// A motion edit belongs to the current sprite and row (no sprite: to none).
void BindMotionEditToCurrentRow(TMainForm& form) {
  TSprite* sprite = form.CurrentSprite();
  form.MotionEditSpriteId = sprite != nullptr ? std::optional<std::int32_t>(sprite->Id) : std::nullopt;
  form.MotionEditRow = CurrentRow(form.MovingList);
}

}  // namespace

void TMainForm::CreateMotionAndAppearancePages() {
  // ---- Motion page: the list and the kind above the sub-pages ----
  QWidget* motionPage = Layout().PropertyPage(ppMotion);
  auto* top = new QWidget(motionPage);
  auto* topLayout = new QVBoxLayout(top);
  MovingList = MakeList(top, "MovingList",
                        {" ", "Type of motion", "Start pos.", "Finish pos.", "Start speed", "Finish speed"},
                        {37, 90, 60, 65, 68, 75});
  topLayout->addWidget(MovingList);
  auto* kindButtons = new QHBoxLayout;
  Button_Motion_Linear = new QToolButton(top);
  Button_Motion_Linear->setObjectName("Button_Motion_Linear");
  Button_Motion_Linear->setDefaultAction(Commands().Motion_Linear);
  Button_Motion_Fixed = new QToolButton(top);
  Button_Motion_Fixed->setObjectName("Button_Motion_Fixed");
  Button_Motion_Fixed->setDefaultAction(Commands().Motion_Fixed);
  kindButtons->addWidget(Button_Motion_Linear);
  kindButtons->addWidget(Button_Motion_Fixed);
  topLayout->addLayout(kindButtons);

  NotebookTop = new QStackedWidget(top);
  NotebookTop->setObjectName("NotebookTop");
  auto* linearPage = new QWidget(NotebookTop);
  auto* linearForm = new QFormLayout(linearPage);
  FirstX = MakeEdit(linearPage, "FirstX");
  FirstY = MakeEdit(linearPage, "FirstY");
  LastX = MakeEdit(linearPage, "LastX");
  LastY = MakeEdit(linearPage, "LastY");
  linearForm->addRow("Start X:", FirstX);
  linearForm->addRow("Start Y:", FirstY);
  linearForm->addRow("Finish X:", LastX);
  linearForm->addRow("Finish Y:", LastY);
  auto* fixedPage = new QWidget(NotebookTop);
  auto* fixedForm = new QFormLayout(fixedPage);
  FixPosX = MakeEdit(fixedPage, "FixPosX");
  FixPosY = MakeEdit(fixedPage, "FixPosY");
  StayFixForever = new QCheckBox("Forever", fixedPage);
  StayFixForever->setObjectName("StayFixForever");
  Label_Only = new QLabel("Only", fixedPage);
  Label_Only->setObjectName("Label_Only");
  NumbOfFixedSteps = MakeSpin(fixedPage, "NumbOfFixedSteps", 1, kMaxSceneSteps);
  Label_Frames = new QLabel("steps", fixedPage);
  Label_Frames->setObjectName("Label_Frames");
  fixedForm->addRow("X:", FixPosX);
  fixedForm->addRow("Y:", FixPosY);
  fixedForm->addRow(StayFixForever);
  auto* onlyRow = new QHBoxLayout;
  onlyRow->addWidget(Label_Only);
  onlyRow->addWidget(NumbOfFixedSteps);
  onlyRow->addWidget(Label_Frames);
  fixedForm->addRow(onlyRow);
  NotebookTop->addWidget(linearPage);
  NotebookTop->addWidget(fixedPage);
  topLayout->addWidget(NotebookTop);

  GroupBox_Speed = new QGroupBox(" Speed ", top);
  GroupBox_Speed->setObjectName("GroupBox_Speed");
  auto* speedForm = new QFormLayout(GroupBox_Speed);
  StartSpeedEdit = MakeEdit(GroupBox_Speed, "StartSpeedEdit");
  FinishSpeedEdit = MakeEdit(GroupBox_Speed, "FinishSpeedEdit");
  speedForm->addRow("Start:", StartSpeedEdit);
  speedForm->addRow("Finish:", FinishSpeedEdit);
  topLayout->addWidget(GroupBox_Speed);
  static_cast<QVBoxLayout*>(motionPage->layout())->insertWidget(0, top);

  // ---- Sub-page 0: hiding, below the size twins the motion panel places ----
  QWidget* sizePage = Layout().Notebook_Size_Opacity()->widget(0);
  CheckBoxHiddenFixPos = new QCheckBox("Hidden", sizePage);
  CheckBoxHiddenFixPos->setObjectName("CheckBoxHiddenFixPos");
  sizePage->layout()->addWidget(CheckBoxHiddenFixPos);

  for (QLineEdit* edit : {FirstX, FirstY, LastX, LastY, FixPosX, FixPosY, StartSpeedEdit, FinishSpeedEdit})
    connect(edit, &QLineEdit::textChanged, this, [this] { MovingLineChanged(); });
  connect(NumbOfFixedSteps, &QLineEdit::textChanged, this, [this] { MovingLineChanged(); });
  // The size, opacity and shadow twins write the step back through here.
  MotionPanelChanged = [this] { MovingLineChanged(); };
  connect(CheckBoxHiddenFixPos, &QCheckBox::clicked, this, [this] { MovingLineChanged(); });
  connect(StayFixForever, &QCheckBox::clicked, this, [this] { StayFixForeverClick(); });
  connect(MovingList, &QTreeWidget::itemClicked, this, [this] { MovingListClick(); });

  // ---- Appearance page ----
  QWidget* appearancePage = Layout().PropertyPage(ppAppearance);
  auto* appearance = new QWidget(appearancePage);
  auto* appearanceLayout = new QVBoxLayout(appearance);
  AppearanceList = MakeList(appearance, "AppearanceList", {" ", "Start step", "End step"}, {37, 80, 80});
  appearanceLayout->addWidget(AppearanceList);
  auto* stepsForm = new QFormLayout;
  StartSpin = MakeSpin(appearance, "StartSpin", 1, kMaxSceneSteps);
  FinishSpin = MakeSpin(appearance, "FinishSpin", 1, kMaxSceneSteps);
  StartTrack = new TTrackBar(appearance);
  StartTrack->setObjectName("StartTrack");
  StartTrack->SetMin(1);
  FinishTrack = new TTrackBar(appearance);
  FinishTrack->setObjectName("FinishTrack");
  FinishTrack->SetMin(1);
  StartStepMaxLabel = new QLabel(appearance);
  StartStepMaxLabel->setObjectName("StartStepMaxLabel");
  FinishStepMaxLabel = new QLabel(appearance);
  FinishStepMaxLabel->setObjectName("FinishStepMaxLabel");
  stepsForm->addRow("Start step:", StartSpin);
  stepsForm->addRow(StartTrack, StartStepMaxLabel);
  stepsForm->addRow("End step:", FinishSpin);
  stepsForm->addRow(FinishTrack, FinishStepMaxLabel);
  appearanceLayout->addLayout(stepsForm);
  RadioBeginMoving = new QGroupBox(" While hidden ", appearance);
  RadioBeginMoving->setObjectName("RadioBeginMoving");
  auto* radioLayout = new QVBoxLayout(RadioBeginMoving);
  RadioBeginMovingContinue = new QRadioButton("Continue moving", RadioBeginMoving);
  RadioBeginMovingStop = new QRadioButton("Stop moving", RadioBeginMoving);
  radioLayout->addWidget(RadioBeginMovingContinue);
  radioLayout->addWidget(RadioBeginMovingStop);
  appearanceLayout->addWidget(RadioBeginMoving);
  auto* appearanceBox = static_cast<QVBoxLayout*>(appearancePage->layout());
  appearanceBox->insertWidget(appearanceBox->count() - 1, appearance);
  SetAppearanceStepMaxima(1000);

  connect(AppearanceList, &QTreeWidget::itemClicked, this, [this] { ShowSelectedAppearance(); });
  connect(StartSpin, &QLineEdit::textChanged, this, [this] { StartSpinChange(); });
  connect(FinishSpin, &QLineEdit::textChanged, this, [this] { FinishSpinChange(); });
  StartTrack->OnChange = [this](QObject*) { StartTrackChange(); };
  FinishTrack->OnChange = [this](QObject*) { FinishTrackChange(); };
  connect(RadioBeginMovingContinue, &QRadioButton::clicked, this, [this] { RadioBeginMovingClick(); });
  connect(RadioBeginMovingStop, &QRadioButton::clicked, this, [this] { RadioBeginMovingClick(); });

  Commands().SetCommandHandler(Commands().Motion_Linear, [this] { Motion_LinearExecute(); });
  Commands().SetCommandHandler(Commands().Motion_Fixed, [this] { Motion_FixedExecute(); });
  Commands().SetCommandHandler(Commands().Motion_AddLinear, [this] { Motion_AddLinearExecute(); });
  Commands().SetCommandHandler(Commands().Motion_AddFixed, [this] { Motion_AddFixedExecute(); });
  Commands().SetCommandHandler(Commands().Motion_Delete, [this] { Motion_DeleteExecute(); });
  Commands().SetCommandHandler(Commands().Motion_Up, [this] { Motion_UpExecute(); });
  Commands().SetCommandHandler(Commands().Motion_Down, [this] { Motion_DownExecute(); });
  Commands().SetCommandHandler(Commands().Appearance_Add, [this] { Appearance_AddExecute(); });
  Commands().SetCommandHandler(Commands().Appearance_Delete, [this] { Appearance_DeleteExecute(); });
}

int TMainForm::SpriteIndex() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || CurrentScene() == nullptr) return -1;
  for (int i = 0; i < CurrentScene()->SpriteCount(); ++i)
    if (&CurrentScene()->Sprite(i) == sprite) return i;
  return -1;
}

// ---- The motion list ------------------------------------------------------------------------------

void TMainForm::ShowMotionRow(TMovingStep& step, int row) {
  QTreeWidgetItem* item = MovingList->topLevelItem(row);
  if (item == nullptr) return;
  const std::array<std::string, 5> texts = MotionRowTexts(step, step.Path()->PositionUnits == 1);
  if (item->text(0).isEmpty()) item->setText(0, kNoMarker);
  for (int i = 0; i < 5; ++i) item->setText(i + 1, QString::fromStdString(texts[static_cast<std::size_t>(i)]));
  RefreshCommandStates();
}

void TMainForm::FillMotionList() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr) return;
  TMoving& path = sprite->Motion();
  for (int i = 0; i < path.StepCount(); ++i) {
    if (i >= MovingList->topLevelItemCount()) new QTreeWidgetItem(MovingList);
    ShowMotionRow(path.Step(i), i);
  }
  while (MovingList->topLevelItemCount() > path.StepCount())
    delete MovingList->takeTopLevelItem(MovingList->topLevelItemCount() - 1);
}

void TMainForm::MovingListClick() {
  // An edit still waiting for its tick belongs to the row it was made on.
  FlushMotionEdit();
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || MovingList->topLevelItemCount() == 0 || sprite->Motion().StepCount() == 0) return;
  TMoving& path = sprite->Motion();
  if (CurrentRow(MovingList) < 0) {
    if (SelectedMotionRow < 0 || SelectedMotionRow >= MovingList->topLevelItemCount()) SelectedMotionRow = 0;
    SelectRow(MovingList, SelectedMotionRow);
  }
  const int row = CurrentRow(MovingList);
  if (row < 0 || row >= path.StepCount()) return;
  const TMovingStep& step = path.Step(row);
  FillingMotionPage = true;
  FillingMotionPanel = true;
  SelectedMotionKind = step.Kind;
  if (step.Kind == mskHold) {
    FixPosX->setText(QString::fromStdString(MotionFieldText(step.StartX)));
    FixPosY->setText(QString::fromStdString(MotionFieldText(step.StartY)));
    StayFixForever->setChecked(step.Duration == -1);
    NumbOfFixedSteps->SetValue(step.Duration == -1 ? 10 : step.Duration + 1);
    StayFixForeverClick();
  } else {
    FirstX->setText(QString::fromStdString(MotionFieldText(step.StartX)));
    FirstY->setText(QString::fromStdString(MotionFieldText(step.StartY)));
    LastX->setText(QString::fromStdString(MotionFieldText(step.X2)));
    LastY->setText(QString::fromStdString(MotionFieldText(step.Y2)));
    SetSingleSizeMode(false);
  }
  StartSpeedEdit->setText(QString::fromStdString(MotionFieldText(step.SpeedStart)));
  FinishSpeedEdit->setText(QString::fromStdString(MotionFieldText(step.SpeedEnd)));
  StartSizeX->SetValue(static_cast<std::int32_t>(std::lround(step.ZoomXStart * 100)));
  StartSizeY->SetValue(static_cast<std::int32_t>(std::lround(step.ZoomYStart * 100)));
  FinishSizeX->SetValue(static_cast<std::int32_t>(std::lround(step.ZoomXEnd * 100)));
  FinishSizeY->SetValue(static_cast<std::int32_t>(std::lround(step.ZoomYEnd * 100)));
  FinishEqualsStartButton->setChecked(step.ZoomXStart == step.ZoomXEnd && step.ZoomYStart == step.ZoomYEnd);
  FinishEqualsStartButtonClick();
  CheckBoxHiddenFixPos->setChecked(step.Hide != 0);
  Start_Pacity_Edit->SetValue(step.OpacityStart);
  Finish_Pacity_Edit->SetValue(step.OpacityEnd);
  ShowMotionShadow(step);
  ShowMotionKind();
  SelectedMotionRow = row;
  GoToMotionStep(row);
  FillingMotionPanel = false;
  FillingMotionPage = false;
}

void TMainForm::ShowMotionKind() {
  const bool fixed = SelectedMotionKind == mskHold;
  NotebookTop->setCurrentIndex(fixed ? 1 : 0);
  GroupBox_Speed->setVisible(!fixed);
  Commands().Motion_Linear->setChecked(!fixed);
  Commands().Motion_Fixed->setChecked(fixed);
}

void TMainForm::ShowMotionShadow(const TMovingStep& step) {
  ShadowEnabledCheckBox->setChecked(step.ShadowOn != 0);
  StartShadowBlurEdit->SetValue(step.ShadowBlurStart);
  FinishShadowBlurEdit->SetValue(step.ShadowBlurEnd);
  StartShadowOpacityEdit->SetValue(step.ShadowOpacityStart);
  FinishShadowOpacityEdit->SetValue(step.ShadowOpacityEnd);
  StartShadowOffsetXEdit->SetValue(step.ShadowOffsetStartX);
  StartShadowOffsetYEdit->SetValue(step.ShadowOffsetStartY);
  FinishShadowOffsetXEdit->SetValue(step.ShadowOffsetEndX);
  FinishShadowOffsetYEdit->SetValue(step.ShadowOffsetEndY);
  StartShadowColor_Button->SetButtonColor(step.ShadowColorStart);
  FinishShadowColor_Button->SetButtonColor(step.ShadowColorEnd);
  ShadowSameColors_CheckBox->setChecked(step.ShadowColorStart == step.ShadowColorEnd);
  // Enables the shadow's controls as the box says (the panel is being filled: nothing is written).
  ShadowEnabledCheckBoxClick();
}

void TMainForm::SetSingleSizeMode(bool single) {
  StartSuzeGroupBox->setTitle(single ? " Size " : " Start Size ");
  for (QWidget* finish : std::initializer_list<QWidget*>{
           FinishSizeGroupBox, StartOpacityLabel, Panel_FinishOpacity, Panel_FinishShadowBlur, StartBlurLabel,
           Panel_FinishShadowOpacity, Label_StartShadowOpacity, Panel_FinishShadowOffset, Label_StartShadowOffset,
           Panel_FinishShadowColor, Label_StartShadowColor})
    finish->setVisible(!single);
}

void TMainForm::StayFixForeverClick() {
  const bool staysForever = StayFixForever->isChecked();
  Label_Frames->setEnabled(!staysForever);
  Label_Only->setEnabled(!staysForever);
  NumbOfFixedSteps->setEnabled(!staysForever);
  SetSingleSizeMode(staysForever);
  if (!FillingMotionPage) MovingLineChanged();
}

void TMainForm::MovingLineChanged() {
  if (FillingMotionPage) return;
  BindMotionEditToCurrentRow(*this);
  TimerRedraw.SetEnabled(false);
  TimerRedraw.SetEnabled(true);
}

void TMainForm::FlushMotionEdit() {
  if (TimerRedraw.Enabled()) TimerRedrawTimer();
}

void TMainForm::TimerRedrawTimer() {
  TimerRedraw.SetEnabled(false);
  // The edit belongs to the sprite and row it was made on.
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || MotionEditSpriteId != sprite->Id) return;
  MotionEditSpriteId.reset();
  TMoving& path = sprite->Motion();
  if (FillingMotionPage) {
    FillingMotionPage = false;
    return;
  }
  if (path.StepCount() == 0) {
    // An edit of an empty motion page makes the sprite's first step.
    const int index = path.AddStep();
    {
      const TUndoRecordingPause pause;
      FillMotionList();
      SelectRow(MovingList, index);
      ApplyMotionPage(path, index, *sprite);
      ShowMotionRow(path.Step(index), index);
    }
    RebuildAnimationTree();
    RequestSceneRecompute();
  } else if (MovingList->topLevelItemCount() > 0) {
    SteppedByHand = true;
    int row = MotionEditRow;
    if (row < 0 || row >= path.StepCount() || row >= MovingList->topLevelItemCount()) row = 0;
    ApplyMotionPage(path, row, *sprite);
    ShowMotionRow(path.Step(row), row);
    RequestSceneRecompute();
  }
  if (SelectedMotionKind == mskHold) {
    FillingMotionPage = true;
    StayFixForeverClick();
    FillingMotionPage = false;
  } else {
    SetSingleSizeMode(false);
  }
}

void TMainForm::ApplyMotionPage(TMoving& motionPath, int index, TSprite& sprite) {
  if (index < 0 || index >= motionPath.StepCount()) return;
  // Bounce, random and effect steps are edited elsewhere: the page changes nothing in them.
  if (SelectedMotionKind != mskLine && SelectedMotionKind != mskHold) return;
  const TMovingStepValues before = motionPath.Step(index).Values();
  TMovingStepValues values = before;
  values.Kind = SelectedMotionKind;
  const auto number = [](const QLineEdit* edit) { return ShortStrToFloat(edit->text().toStdString()); };
  if (SelectedMotionKind == mskLine) {
    values.StartX = number(FirstX);
    values.StartY = number(FirstY);
    values.X2 = number(LastX);
    values.Y2 = number(LastY);
    values.X1 = values.StartX;
    values.Y1 = values.StartY;
  } else {
    values.StartX = number(FixPosX);
    values.StartY = number(FixPosY);
    values.X1 = values.X2 = values.StartX;
    values.Y1 = values.Y2 = values.StartY;
    values.Duration = StayFixForever->isChecked() ? -1 : NumbOfFixedSteps->Value() - 1;
  }
  values.ZoomXStart = StartSizeX->Value() / 100.0;
  values.ZoomYStart = StartSizeY->Value() / 100.0;
  const bool single = FinishSizeGroupBox->isHidden();
  values.ZoomXEnd = single ? values.ZoomXStart : FinishSizeX->Value() / 100.0;
  values.ZoomYEnd = single ? values.ZoomYStart : FinishSizeY->Value() / 100.0;
  values.SpeedStart = number(StartSpeedEdit);
  values.SpeedEnd = number(FinishSpeedEdit);
  values.Hide = CheckBoxHiddenFixPos->isChecked() ? 1 : 0;
  values.OpacityStart = Start_Pacity_Edit->Value();
  values.OpacityEnd = single ? values.OpacityStart : Finish_Pacity_Edit->Value();
  // The shadow, with the same single-value rule.
  values.ShadowOn = ShadowEnabledCheckBox->isChecked() ? 1 : 0;
  values.ShadowBlurStart = StartShadowBlurEdit->Value();
  values.ShadowOpacityStart = StartShadowOpacityEdit->Value();
  values.ShadowOffsetStartX = StartShadowOffsetXEdit->Value();
  values.ShadowOffsetStartY = StartShadowOffsetYEdit->Value();
  values.ShadowColorStart = StartShadowColor_Button->ButtonColor();
  values.ShadowBlurEnd = single ? values.ShadowBlurStart : FinishShadowBlurEdit->Value();
  values.ShadowOpacityEnd = single ? values.ShadowOpacityStart : FinishShadowOpacityEdit->Value();
  values.ShadowOffsetEndX = single ? values.ShadowOffsetStartX : FinishShadowOffsetXEdit->Value();
  values.ShadowOffsetEndY = single ? values.ShadowOffsetStartY : FinishShadowOffsetYEdit->Value();
  values.ShadowColorEnd = single ? values.ShadowColorStart : FinishShadowColor_Button->ButtonColor();
  // Compare as the step stores them (with the stored precision).
  TMovingStep probe(&motionPath);
  probe.SetValues(values);
  if (EditedFields(probe.Values()) == EditedFields(before)) return;
  motionPath.ChangeStep(index, values, &sprite);
}

// ---- Motion commands --------------------------------------------------------------------------------

void TMainForm::Motion_LinearExecute() {
  SelectTreeNode(SpriteIndex(), 3);
  SelectedMotionKind = mskLine;
  FillingMotionPage = true;
  ShowMotionKind();
  FillingMotionPage = false;
  BindMotionEditToCurrentRow(*this);
  TimerRedrawTimer();
}

void TMainForm::Motion_FixedExecute() {
  SelectedMotionKind = mskHold;
  FillingMotionPage = true;
  ShowMotionKind();
  FillingMotionPage = false;
  BindMotionEditToCurrentRow(*this);
  TimerRedrawTimer();
}

namespace {

void AddMotion(TMainForm& form, void (TMainForm::*asKind)()) {
  TSprite* sprite = form.CurrentSprite();
  if (sprite == nullptr) return;
  form.FlushMotionEdit();
  form.SelectTreeNode(form.SpriteIndex(), 3);
  sprite = form.CurrentSprite();
  if (sprite == nullptr) return;
  const int index = sprite->Motion().AddStep();
  {
    const TUndoRecordingPause pause;
    form.FillMotionList();
    SelectRow(form.MovingList, index);
    (form.*asKind)();
  }
  if (sprite->Motion().StepCount() == 1) form.RebuildAnimationTree();
  SelectRow(form.MovingList, form.MovingList->topLevelItemCount() - 1);
  form.MovingListClick();
}

}  // namespace

void TMainForm::Motion_AddLinearExecute() { AddMotion(*this, &TMainForm::Motion_LinearExecute); }

void TMainForm::Motion_AddFixedExecute() { AddMotion(*this, &TMainForm::Motion_FixedExecute); }

void TMainForm::Motion_DeleteExecute() {
  TSprite* sprite = CurrentSprite();
  const int row = CurrentRow(MovingList);
  if (sprite == nullptr || row < 0 || ActiveAnimationWindow() == nullptr) return;
  TimerRedraw.SetEnabled(false);
  sprite->Motion().DeleteStep(row);
  delete MovingList->takeTopLevelItem(row);
  RefreshCommandStates();
  if (MovingList->topLevelItemCount() == 0) {
    RebuildAnimationTree();
    RequestSceneRecompute();
    return;
  }
  SelectRow(MovingList, std::min(row, MovingList->topLevelItemCount() - 1));
  FillingMotionPage = true;
  MovingListClick();
  FillingMotionPage = false;
}

namespace {

void MoveMotionRow(TMainForm& form, int by, const char* caption) {
  TSprite* sprite = form.CurrentSprite();
  const int row = CurrentRow(form.MovingList);
  if (sprite == nullptr || row < 0) return;
  TMoving& path = sprite->Motion();
  const int to = row + by;
  if (to < 0 || to >= path.StepCount() || to >= form.MovingList->topLevelItemCount()) return;
  form.FlushMotionEdit();
  form.FillingMotionPage = true;
  RecordUndo(urkSpriteEdit, caption, false, 0, path.Id, uokPath, [&path](TStream& stream) { path.SaveToStream(stream); });
  path.MoveStep(row, to);
  form.FillMotionList();
  SelectRow(form.MovingList, to);
  form.MovingListClick();
  form.FillingMotionPage = false;
}

}  // namespace

void TMainForm::Motion_DownExecute() { MoveMotionRow(*this, 1, "Motion Move Down"); }

void TMainForm::Motion_UpExecute() { MoveMotionRow(*this, -1, "Motion Move Up"); }

void TMainForm::MarkCurrentMotionStep() {
  const TUndoRecordingPause pause;
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || MovingList->topLevelItemCount() == 0) return;
  const int current = sprite->Motion().StepCount() > 0 ? sprite->Motion().CurrentStepIndex() : -1;
  if (current >= 0 && current < MovingList->topLevelItemCount()) {
    QTreeWidgetItem* item = MovingList->topLevelItem(current);
    if (item->text(0) == kMarker) return;
    for (int i = 0; i < MovingList->topLevelItemCount(); ++i) MovingList->topLevelItem(i)->setText(0, kNoMarker);
    item->setText(0, kMarker);
    if (!SteppedByHand) {
      SelectRow(MovingList, current);
      MovingListClick();
    }
    return;
  }
  for (int i = 0; i < MovingList->topLevelItemCount(); ++i)
    if (MovingList->topLevelItem(i)->text(0) == kMarker) {
      MovingList->topLevelItem(i)->setText(0, kNoMarker);
      break;
    }
}

void TMainForm::GoToMotionStep(int step) {
  TSprite* sprite = CurrentSprite();
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr || sprite == nullptr || PlayButtonDown()) return;
  TAnimatedScene& scene = *CurrentScene();
  TMoving& path = sprite->Motion();
  if (path.StepCount() == 0 || scene.StepCount <= 8) return;
  const std::int32_t limit = SeekStepLimit(scene.StepCount);
  if (sprite->IntervalCount() == 0) {
    scene.GotoFrame(4);
  } else {
    const std::int64_t start = static_cast<std::int64_t>(sprite->Interval(0).StartStep) - 1;
    scene.GotoFrame(static_cast<std::int32_t>(std::clamp<std::int64_t>(start, 1, limit + 1)));
  }
  std::int32_t a = scene.CurrentStep - 1;
  if (scene.CurrentStep < 2) {
    scene.AdvanceNoDraw();
    a = 1;
  }
  // Walks at most once round the scene.
  for (std::int32_t walked = 0; walked <= limit; ++walked) {
    if (path.CurrentStepIndex() == step && sprite->Hidden == 0) break;
    scene.AdvanceNoDraw();
    if (scene.CurrentStep == a) break;
  }
  if (scene.CurrentStep != a) {
    scene.GotoFrame(scene.CurrentStep + 1);
    if (!TimerRedraw.Enabled()) RequestSceneRecompute();
  }
}

bool TMainForm::MotionTimerRunning() const { return TimerRedraw.IsTicking(); }

bool TMainForm::FinishEqualsStart() const { return FinishEqualsStartButton != nullptr && FinishEqualsStartButton->isChecked(); }

void TMainForm::PrepareMotionPageReload() { FlushMotionEdit(); }

void TMainForm::RefreshMotionPage() {
  FillMotionList();
  SelectRow(MovingList, SelectedMotionRow);
  FillingMotionPage = true;
  MovingListClick();
  FillingMotionPage = false;
}

void TMainForm::LoadMotionPage() {
  FlushMotionEdit();
  FillMotionList();
  MovingListClick();
}

// ---- The appearance page ------------------------------------------------------------------------------

void TMainForm::LoadAppearancePage() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr) return;
  FillingAppearancePage = true;
  RadioBeginMovingContinue->setChecked(sprite->ContinueMoving() != 0);
  RadioBeginMovingStop->setChecked(sprite->ContinueMoving() == 0);
  FillingAppearancePage = false;
  FillAppearanceList();
  ShowSelectedAppearance();
}

void TMainForm::ShowAppearanceRow(TStartAndFinish& interval, int row) {
  QTreeWidgetItem* item = AppearanceList->topLevelItem(row);
  if (item == nullptr) return;
  if (item->text(0).isEmpty()) item->setText(0, kNoMarker);
  item->setText(1, QString::number(interval.StartStep));
  item->setText(2, QString::number(interval.EndStep));
  RefreshCommandStates();
}

void TMainForm::FillAppearanceList() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr) return;
  for (int i = 0; i < sprite->IntervalCount(); ++i) {
    if (i >= AppearanceList->topLevelItemCount()) new QTreeWidgetItem(AppearanceList);
    ShowAppearanceRow(sprite->Interval(i), i);
  }
  while (AppearanceList->topLevelItemCount() > sprite->IntervalCount())
    delete AppearanceList->takeTopLevelItem(AppearanceList->topLevelItemCount() - 1);
}

void TMainForm::ShowSelectedAppearance() {
  TSprite* sprite = CurrentSprite();
  Layout().StepsTrackBar()->SetTimeLineCollection(sprite);
  if (sprite == nullptr || AppearanceList->topLevelItemCount() == 0) return;
  int row = CurrentRow(AppearanceList);
  if (row < 0 || row >= sprite->IntervalCount()) {
    row = 0;
    SelectRow(AppearanceList, row);
  }
  FillingAppearancePage = true;
  StartSpin->SetValue(sprite->Interval(row).StartStep);
  FinishSpin->SetValue(sprite->Interval(row).EndStep);
  FillingAppearancePage = false;
}

void TMainForm::Appearance_AddExecute() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || CurrentScene() == nullptr) return;
  TStartAndFinish* interval = sprite->AddAppearance();
  {
    // One entry for the whole addition.
    const TUndoRecordingPause pause;
    interval->SetEnd(CurrentScene()->StepCount);
    interval->SetStart(std::min(CurrentScene()->CurrentStep, CurrentScene()->StepCount));
  }
  FillAppearanceList();
  SelectRow(AppearanceList, sprite->IntervalCount() - 1);
  ShowSelectedAppearance();
  if (sprite->IntervalCount() == 1) {
    const int index = SpriteIndex();
    RebuildAnimationTree();
    SelectTreeNode(index, 4);
  }
  RequestSceneRecompute();
}

void TMainForm::Appearance_DeleteExecute() {
  TSprite* sprite = CurrentSprite();
  const int row = CurrentRow(AppearanceList);
  if (sprite == nullptr || row < 0 || row >= sprite->IntervalCount() || ActiveAnimationWindow() == nullptr) return;
  sprite->DeleteAppearance(row);
  delete AppearanceList->takeTopLevelItem(row);
  RefreshCommandStates();
  Layout().StepsTrackBar()->SetTimeLineCollection(sprite);
  Layout().StepsTrackBar()->Repaint();
  ActiveAnimationWindow()->UpdateSelection();
}

void TMainForm::StartSpinChange() { AppearanceSpinChange(*StartSpin, *StartTrack, true); }

void TMainForm::FinishSpinChange() { AppearanceSpinChange(*FinishSpin, *FinishTrack, false); }

// The track follows its spin; the interval takes the value and the scene is
// redrawn after a pause in typing (not while the page is being filled).
void TMainForm::AppearanceSpinChange(TSpinEdit& spin, TTrackBar& track, bool start) {
  if (CurrentSprite() == nullptr) return;
  track.SetPosition(spin.Value());
  ApplyAppearanceInterval(start);
  Layout().StepsTrackBar()->Repaint();
  if (!FillingAppearancePage) {
    TimerRedrawScene.SetEnabled(false);
    TimerRedrawScene.SetEnabled(true);
  }
}

void TMainForm::StartTrackChange() {
  if (StartSpin->Value() != StartTrack->Position()) StartSpin->SetValue(StartTrack->Position());
}

void TMainForm::FinishTrackChange() {
  if (FinishSpin->Value() != FinishTrack->Position()) FinishSpin->SetValue(FinishTrack->Position());
}

void TMainForm::ApplyAppearanceInterval(bool start) {
  TSprite* sprite = CurrentSprite();
  const int row = CurrentRow(AppearanceList);
  if (sprite == nullptr || FillingAppearancePage || row < 0 || row >= sprite->IntervalCount()) return;
  TStartAndFinish& interval = sprite->Interval(row);
  if (start) {
    interval.SetStart(StartSpin->Value());
  } else {
    interval.SetEnd(FinishSpin->Value());
  }
  ShowAppearanceRow(interval, row);
}

void TMainForm::RadioBeginMovingClick() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || FillingAppearancePage) return;
  sprite->SetContinueMoving(RadioBeginMovingContinue->isChecked() ? 1 : 0);
}

void TMainForm::MarkCurrentAppearance() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || CurrentScene() == nullptr || AppearanceList->topLevelItemCount() == 0) return;
  const std::int32_t step = CurrentScene()->CurrentStep;
  for (int i = 0; i < sprite->IntervalCount() && i < AppearanceList->topLevelItemCount(); ++i) {
    const TStartAndFinish& interval = sprite->Interval(i);
    if (interval.StartStep <= step && step <= interval.EndStep) {
      QTreeWidgetItem* item = AppearanceList->topLevelItem(i);
      if (item->text(0) == kMarker) return;
      for (int j = 0; j < AppearanceList->topLevelItemCount(); ++j)
        AppearanceList->topLevelItem(j)->setText(0, kNoMarker);
      item->setText(0, kMarker);
      return;
    }
  }
  for (int i = 0; i < AppearanceList->topLevelItemCount(); ++i)
    if (AppearanceList->topLevelItem(i)->text(0) == kMarker) {
      AppearanceList->topLevelItem(i)->setText(0, kNoMarker);
      break;
    }
}

void TMainForm::SetAppearanceStepMaxima(int steps) {
  if (StartSpin == nullptr) return;
  NumbOfFixedSteps->SetMaxValue(steps);
  StartTrack->SetMax(steps);
  FinishTrack->SetMax(steps);
  StartSpin->SetMaxValue(steps);
  FinishSpin->SetMaxValue(steps);
  StartStepMaxLabel->setText(QString::number(steps));
  FinishStepMaxLabel->setText(QString::number(steps));
}

