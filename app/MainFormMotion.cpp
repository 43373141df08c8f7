// The motion and appearance pages of the main window.
#include "app/MainFormMotion.h"
#include "app/MainFormU.h"
#include "app/MainFormMotionPanel.h"
#include "app/MainFormActions.h"
#include "app/MainFormLayout.h"
#include "app/MainFormTree.h"

#include "app/AnimationWindowU.h"
#include "app/core/AppearanceCommands.h"
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

}  // namespace

TMotionArea::TMotionArea(TMainFormContext& editor)
    : TMainFormArea(editor), panel_(std::make_unique<TMotionPanel>(editor)) {}

TMotionArea::~TMotionArea() = default;

void TMotionArea::CreateMotionAndAppearancePages() {
  SetUpTimer(timerRedraw_, 200, [this] { TimerRedrawTimer(); });
  SetUpTimer(timerRedrawScene_, 300, [this] { TimerRedrawSceneTimer(); });
  CreateMotionPage();
  CreateAppearancePage();
}

void TMotionArea::CreateMotionTwins() { panel_->CreateMotionTwins(); }

void TMotionArea::ClearEntryGuards() {
  fillingMotionPage_ = false;
  fillingAppearancePage_ = false;
  panel_->FillingMotionPanel = false;
}

void TMotionArea::BindMotionEditToCurrentRow() {
  TSprite* sprite = CurrentSprite();
  motionEditSpriteId_ = sprite != nullptr ? std::optional<std::int32_t>(sprite->Id) : std::nullopt;
  motionEditRow_ = CurrentRow(MovingList);
}

void TMotionArea::CreateMotionPage() {
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
  panel_->MotionPanelChanged = [this] { MovingLineChanged(); };
  connect(CheckBoxHiddenFixPos, &QCheckBox::clicked, this, [this] { MovingLineChanged(); });
  connect(StayFixForever, &QCheckBox::clicked, this, [this] { StayFixForeverClick(); });
  connect(MovingList, &QTreeWidget::itemClicked, this, [this] { MovingListClick(); });
}

void TMotionArea::CreateAppearancePage() {
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

int TMotionArea::SpriteIndex() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || CurrentScene() == nullptr) return -1;
  for (int i = 0; i < CurrentScene()->SpriteCount(); ++i)
    if (&CurrentScene()->Sprite(i) == sprite) return i;
  return -1;
}

// ---- The motion list ------------------------------------------------------------------------------

void TMotionArea::ShowMotionRow(TMovingStep& step, int row) {
  QTreeWidgetItem* item = MovingList->topLevelItem(row);
  if (item == nullptr) return;
  const std::array<std::string, 5> texts = MotionRowTexts(step, step.Path()->PositionUnits == 1);
  if (item->text(0).isEmpty()) item->setText(0, kNoMarker);
  for (int i = 0; i < 5; ++i) item->setText(i + 1, QString::fromStdString(texts[static_cast<std::size_t>(i)]));
  RefreshCommandStates();
}

void TMotionArea::FillMotionList() {
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

void TMotionArea::MovingListClick() {
  // An edit still waiting for its tick belongs to the row it was made on.
  FlushMotionEdit();
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || MovingList->topLevelItemCount() == 0 || sprite->Motion().StepCount() == 0) return;
  TMoving& path = sprite->Motion();
  if (CurrentRow(MovingList) < 0) {
    if (selectedMotionRow_ < 0 || selectedMotionRow_ >= MovingList->topLevelItemCount()) selectedMotionRow_ = 0;
    SelectRow(MovingList, selectedMotionRow_);
  }
  const int row = CurrentRow(MovingList);
  if (row < 0 || row >= path.StepCount()) return;
  const TMovingStep& step = path.Step(row);
  fillingMotionPage_ = true;
  panel_->FillingMotionPanel = true;
  selectedMotionKind_ = step.Kind;
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
  panel_->StartSizeX->SetValue(static_cast<std::int32_t>(std::lround(step.ZoomXStart * 100)));
  panel_->StartSizeY->SetValue(static_cast<std::int32_t>(std::lround(step.ZoomYStart * 100)));
  panel_->FinishSizeX->SetValue(static_cast<std::int32_t>(std::lround(step.ZoomXEnd * 100)));
  panel_->FinishSizeY->SetValue(static_cast<std::int32_t>(std::lround(step.ZoomYEnd * 100)));
  panel_->FinishEqualsStartButton->setChecked(step.ZoomXStart == step.ZoomXEnd && step.ZoomYStart == step.ZoomYEnd);
  panel_->FinishEqualsStartButtonClick();
  CheckBoxHiddenFixPos->setChecked(step.Hide != 0);
  panel_->Start_Pacity_Edit->SetValue(step.OpacityStart);
  panel_->Finish_Pacity_Edit->SetValue(step.OpacityEnd);
  ShowMotionShadow(step);
  ShowMotionKind();
  selectedMotionRow_ = row;
  GoToMotionStep(row);
  panel_->FillingMotionPanel = false;
  fillingMotionPage_ = false;
}

void TMotionArea::ShowMotionKind() {
  const bool fixed = selectedMotionKind_ == mskHold;
  NotebookTop->setCurrentIndex(fixed ? 1 : 0);
  GroupBox_Speed->setVisible(!fixed);
  Commands().Motion_Linear->setChecked(!fixed);
  Commands().Motion_Fixed->setChecked(fixed);
}

void TMotionArea::ShowMotionShadow(const TMovingStep& step) {
  panel_->ShadowEnabledCheckBox->setChecked(step.ShadowOn != 0);
  panel_->StartShadowBlurEdit->SetValue(step.ShadowBlurStart);
  panel_->FinishShadowBlurEdit->SetValue(step.ShadowBlurEnd);
  panel_->StartShadowOpacityEdit->SetValue(step.ShadowOpacityStart);
  panel_->FinishShadowOpacityEdit->SetValue(step.ShadowOpacityEnd);
  panel_->StartShadowOffsetXEdit->SetValue(step.ShadowOffsetStartX);
  panel_->StartShadowOffsetYEdit->SetValue(step.ShadowOffsetStartY);
  panel_->FinishShadowOffsetXEdit->SetValue(step.ShadowOffsetEndX);
  panel_->FinishShadowOffsetYEdit->SetValue(step.ShadowOffsetEndY);
  panel_->StartShadowColor_Button->SetButtonColor(step.ShadowColorStart);
  panel_->FinishShadowColor_Button->SetButtonColor(step.ShadowColorEnd);
  panel_->ShadowSameColors_CheckBox->setChecked(step.ShadowColorStart == step.ShadowColorEnd);
  // Enables the shadow's controls as the box says (the panel is being filled: nothing is written).
  panel_->ShadowEnabledCheckBoxClick();
}

void TMotionArea::SetSingleSizeMode(bool single) {
  panel_->StartSuzeGroupBox->setTitle(single ? " Size " : " Start Size ");
  for (QWidget* finish : std::initializer_list<QWidget*>{
           panel_->FinishSizeGroupBox, panel_->StartOpacityLabel, panel_->Panel_FinishOpacity,
           panel_->Panel_FinishShadowBlur, panel_->StartBlurLabel, panel_->Panel_FinishShadowOpacity,
           panel_->Label_StartShadowOpacity, panel_->Panel_FinishShadowOffset, panel_->Label_StartShadowOffset,
           panel_->Panel_FinishShadowColor, panel_->Label_StartShadowColor})
    finish->setVisible(!single);
}

void TMotionArea::StayFixForeverClick() {
  const bool staysForever = StayFixForever->isChecked();
  Label_Frames->setEnabled(!staysForever);
  Label_Only->setEnabled(!staysForever);
  NumbOfFixedSteps->setEnabled(!staysForever);
  SetSingleSizeMode(staysForever);
  if (!fillingMotionPage_) MovingLineChanged();
}

void TMotionArea::MovingLineChanged() {
  if (fillingMotionPage_) return;
  BindMotionEditToCurrentRow();
  timerRedraw_.SetEnabled(false);
  timerRedraw_.SetEnabled(true);
}

void TMotionArea::FlushMotionEdit() {
  if (timerRedraw_.Enabled()) TimerRedrawTimer();
}

void TMotionArea::TimerRedrawTimer() {
  timerRedraw_.SetEnabled(false);
  // The edit belongs to the sprite and row it was made on.
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || motionEditSpriteId_ != sprite->Id) return;
  motionEditSpriteId_.reset();
  TMoving& path = sprite->Motion();
  if (fillingMotionPage_) {
    fillingMotionPage_ = false;
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
    Tree().RebuildAnimationTree();
    RequestSceneRecompute();
  } else if (MovingList->topLevelItemCount() > 0) {
    steppedByHand_ = true;
    int row = motionEditRow_;
    if (row < 0 || row >= path.StepCount() || row >= MovingList->topLevelItemCount()) row = 0;
    ApplyMotionPage(path, row, *sprite);
    ShowMotionRow(path.Step(row), row);
    RequestSceneRecompute();
  }
  if (selectedMotionKind_ == mskHold) {
    fillingMotionPage_ = true;
    StayFixForeverClick();
    fillingMotionPage_ = false;
  } else {
    SetSingleSizeMode(false);
  }
}

void TMotionArea::ApplyMotionPage(TMoving& motionPath, int index, TSprite& sprite) {
  if (index < 0 || index >= motionPath.StepCount()) return;
  // Bounce, random and effect steps are edited elsewhere: the page changes nothing in them.
  if (selectedMotionKind_ != mskLine && selectedMotionKind_ != mskHold) return;
  const TMovingStepValues before = motionPath.Step(index).Values();
  TMovingStepValues values = before;
  values.Kind = selectedMotionKind_;
  const auto number = [](const QLineEdit* edit) { return ShortStrToFloat(edit->text().toStdString()); };
  if (selectedMotionKind_ == mskLine) {
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
  values.ZoomXStart = panel_->StartSizeX->Value() / 100.0;
  values.ZoomYStart = panel_->StartSizeY->Value() / 100.0;
  const bool single = panel_->FinishSizeGroupBox->isHidden();
  values.ZoomXEnd = single ? values.ZoomXStart : panel_->FinishSizeX->Value() / 100.0;
  values.ZoomYEnd = single ? values.ZoomYStart : panel_->FinishSizeY->Value() / 100.0;
  values.SpeedStart = number(StartSpeedEdit);
  values.SpeedEnd = number(FinishSpeedEdit);
  values.Hide = CheckBoxHiddenFixPos->isChecked() ? 1 : 0;
  values.OpacityStart = panel_->Start_Pacity_Edit->Value();
  values.OpacityEnd = single ? values.OpacityStart : panel_->Finish_Pacity_Edit->Value();
  // The shadow, with the same single-value rule.
  values.ShadowOn = panel_->ShadowEnabledCheckBox->isChecked() ? 1 : 0;
  values.ShadowBlurStart = panel_->StartShadowBlurEdit->Value();
  values.ShadowOpacityStart = panel_->StartShadowOpacityEdit->Value();
  values.ShadowOffsetStartX = panel_->StartShadowOffsetXEdit->Value();
  values.ShadowOffsetStartY = panel_->StartShadowOffsetYEdit->Value();
  values.ShadowColorStart = panel_->StartShadowColor_Button->ButtonColor();
  values.ShadowBlurEnd = single ? values.ShadowBlurStart : panel_->FinishShadowBlurEdit->Value();
  values.ShadowOpacityEnd = single ? values.ShadowOpacityStart : panel_->FinishShadowOpacityEdit->Value();
  values.ShadowOffsetEndX = single ? values.ShadowOffsetStartX : panel_->FinishShadowOffsetXEdit->Value();
  values.ShadowOffsetEndY = single ? values.ShadowOffsetStartY : panel_->FinishShadowOffsetYEdit->Value();
  values.ShadowColorEnd = single ? values.ShadowColorStart : panel_->FinishShadowColor_Button->ButtonColor();
  // Compare as the step stores them (with the stored precision).
  TMovingStep probe(&motionPath);
  probe.SetValues(values);
  if (EditedFields(probe.Values()) == EditedFields(before)) return;
  motionPath.ChangeStep(index, values, &sprite);
}

// ---- Motion commands --------------------------------------------------------------------------------

void TMotionArea::Motion_LinearExecute() {
  Tree().SelectTreeNode(SpriteIndex(), 3);
  selectedMotionKind_ = mskLine;
  fillingMotionPage_ = true;
  ShowMotionKind();
  fillingMotionPage_ = false;
  BindMotionEditToCurrentRow();
  TimerRedrawTimer();
}

void TMotionArea::Motion_FixedExecute() {
  selectedMotionKind_ = mskHold;
  fillingMotionPage_ = true;
  ShowMotionKind();
  fillingMotionPage_ = false;
  BindMotionEditToCurrentRow();
  TimerRedrawTimer();
}

void TMotionArea::AddMotion(void (TMotionArea::*asKind)()) {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr) return;
  FlushMotionEdit();
  Tree().SelectTreeNode(SpriteIndex(), 3);
  sprite = CurrentSprite();
  if (sprite == nullptr) return;
  const int index = sprite->Motion().AddStep();
  {
    const TUndoRecordingPause pause;
    FillMotionList();
    SelectRow(MovingList, index);
    (this->*asKind)();
  }
  if (sprite->Motion().StepCount() == 1) Tree().RebuildAnimationTree();
  SelectRow(MovingList, MovingList->topLevelItemCount() - 1);
  MovingListClick();
}

void TMotionArea::Motion_AddLinearExecute() { AddMotion(&TMotionArea::Motion_LinearExecute); }

void TMotionArea::Motion_AddFixedExecute() { AddMotion(&TMotionArea::Motion_FixedExecute); }

void TMotionArea::Motion_DeleteExecute() {
  TSprite* sprite = CurrentSprite();
  const int row = CurrentRow(MovingList);
  if (sprite == nullptr || row < 0 || ActiveAnimationWindow() == nullptr) return;
  timerRedraw_.SetEnabled(false);
  sprite->Motion().DeleteStep(row);
  delete MovingList->takeTopLevelItem(row);
  RefreshCommandStates();
  if (MovingList->topLevelItemCount() == 0) {
    Tree().RebuildAnimationTree();
    RequestSceneRecompute();
    return;
  }
  SelectRow(MovingList, std::min(row, MovingList->topLevelItemCount() - 1));
  fillingMotionPage_ = true;
  MovingListClick();
  fillingMotionPage_ = false;
}

void TMotionArea::MoveMotionRow(int by, const char* caption) {
  TSprite* sprite = CurrentSprite();
  const int row = CurrentRow(MovingList);
  if (sprite == nullptr || row < 0) return;
  TMoving& path = sprite->Motion();
  const int to = row + by;
  if (to < 0 || to >= path.StepCount() || to >= MovingList->topLevelItemCount()) return;
  FlushMotionEdit();
  fillingMotionPage_ = true;
  RecordUndo(urkSpriteEdit, caption, false, 0, path.Id, uokPath, [&path](TStream& stream) { path.SaveToStream(stream); });
  path.MoveStep(row, to);
  FillMotionList();
  SelectRow(MovingList, to);
  MovingListClick();
  fillingMotionPage_ = false;
}

void TMotionArea::Motion_DownExecute() { MoveMotionRow(1, "Motion Move Down"); }

void TMotionArea::Motion_UpExecute() { MoveMotionRow(-1, "Motion Move Up"); }

void TMotionArea::MarkCurrentMotionStep() {
  const TUndoRecordingPause pause;
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || MovingList->topLevelItemCount() == 0) return;
  const int current = sprite->Motion().StepCount() > 0 ? sprite->Motion().CurrentStepIndex() : -1;
  if (current >= 0 && current < MovingList->topLevelItemCount()) {
    QTreeWidgetItem* item = MovingList->topLevelItem(current);
    if (item->text(0) == kMarker) return;
    for (int i = 0; i < MovingList->topLevelItemCount(); ++i) MovingList->topLevelItem(i)->setText(0, kNoMarker);
    item->setText(0, kMarker);
    if (!steppedByHand_) {
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

void TMotionArea::GoToMotionStep(int step) {
  TSprite* sprite = CurrentSprite();
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr || sprite == nullptr || PlayButtonDown())
    return;
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
    if (!timerRedraw_.Enabled()) RequestSceneRecompute();
  }
}

bool TMotionArea::FinishEqualsStart() const {
  return panel_->FinishEqualsStartButton != nullptr && panel_->FinishEqualsStartButton->isChecked();
}

void TMotionArea::RefreshMotionPage() {
  FillMotionList();
  SelectRow(MovingList, selectedMotionRow_);
  fillingMotionPage_ = true;
  MovingListClick();
  fillingMotionPage_ = false;
}

void TMotionArea::LoadMotionPage() {
  FlushMotionEdit();
  FillMotionList();
  MovingListClick();
}

// ---- The appearance page ------------------------------------------------------------------------------

void TMotionArea::LoadAppearancePage() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr) return;
  fillingAppearancePage_ = true;
  RadioBeginMovingContinue->setChecked(sprite->ContinueMoving() != 0);
  RadioBeginMovingStop->setChecked(sprite->ContinueMoving() == 0);
  fillingAppearancePage_ = false;
  FillAppearanceList();
  ShowSelectedAppearance();
}

void TMotionArea::ShowAppearanceRow(TStartAndFinish& interval, int row) {
  QTreeWidgetItem* item = AppearanceList->topLevelItem(row);
  if (item == nullptr) return;
  if (item->text(0).isEmpty()) item->setText(0, kNoMarker);
  item->setText(1, QString::number(interval.StartStep));
  item->setText(2, QString::number(interval.EndStep));
  RefreshCommandStates();
}

void TMotionArea::FillAppearanceList() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr) return;
  for (int i = 0; i < sprite->IntervalCount(); ++i) {
    if (i >= AppearanceList->topLevelItemCount()) new QTreeWidgetItem(AppearanceList);
    ShowAppearanceRow(sprite->Interval(i), i);
  }
  while (AppearanceList->topLevelItemCount() > sprite->IntervalCount())
    delete AppearanceList->takeTopLevelItem(AppearanceList->topLevelItemCount() - 1);
}

void TMotionArea::ShowSelectedAppearance() {
  TSprite* sprite = CurrentSprite();
  Layout().StepsTrackBar()->SetTimeLineCollection(sprite);
  if (sprite == nullptr || AppearanceList->topLevelItemCount() == 0) return;
  int row = CurrentRow(AppearanceList);
  if (row < 0 || row >= sprite->IntervalCount()) {
    row = 0;
    SelectRow(AppearanceList, row);
  }
  fillingAppearancePage_ = true;
  StartSpin->SetValue(sprite->Interval(row).StartStep);
  FinishSpin->SetValue(sprite->Interval(row).EndStep);
  fillingAppearancePage_ = false;
}

void TMotionArea::Appearance_AddExecute() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || CurrentScene() == nullptr) return;
  AddAppearanceFromCurrentStep(*sprite, *CurrentScene());
  FillAppearanceList();
  SelectRow(AppearanceList, sprite->IntervalCount() - 1);
  ShowSelectedAppearance();
  if (sprite->IntervalCount() == 1) {
    const int index = SpriteIndex();
    Tree().RebuildAnimationTree();
    Tree().SelectTreeNode(index, 4);
  }
  RequestSceneRecompute();
}

void TMotionArea::Appearance_DeleteExecute() {
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

void TMotionArea::StartSpinChange() { AppearanceSpinChange(*StartSpin, *StartTrack, true); }

void TMotionArea::FinishSpinChange() { AppearanceSpinChange(*FinishSpin, *FinishTrack, false); }

// The track follows its spin; the interval takes the value and the scene is
// redrawn after a pause in typing (not while the page is being filled).
void TMotionArea::AppearanceSpinChange(TSpinEdit& spin, TTrackBar& track, bool start) {
  if (CurrentSprite() == nullptr) return;
  track.SetPosition(spin.Value());
  ApplyAppearanceInterval(start);
  Layout().StepsTrackBar()->Repaint();
  if (!fillingAppearancePage_) {
    timerRedrawScene_.SetEnabled(false);
    timerRedrawScene_.SetEnabled(true);
  }
}

void TMotionArea::StartTrackChange() {
  if (StartSpin->Value() != StartTrack->Position()) StartSpin->SetValue(StartTrack->Position());
}

void TMotionArea::FinishTrackChange() {
  if (FinishSpin->Value() != FinishTrack->Position()) FinishSpin->SetValue(FinishTrack->Position());
}

void TMotionArea::ApplyAppearanceInterval(bool start) {
  TSprite* sprite = CurrentSprite();
  const int row = CurrentRow(AppearanceList);
  if (sprite == nullptr || fillingAppearancePage_ || row < 0 || row >= sprite->IntervalCount()) return;
  TStartAndFinish& interval = sprite->Interval(row);
  if (start) {
    interval.SetStart(StartSpin->Value());
  } else {
    interval.SetEnd(FinishSpin->Value());
  }
  ShowAppearanceRow(interval, row);
}

void TMotionArea::RadioBeginMovingClick() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || fillingAppearancePage_) return;
  sprite->SetContinueMoving(RadioBeginMovingContinue->isChecked() ? 1 : 0);
}

void TMotionArea::MarkCurrentAppearance() {
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

void TMotionArea::SetAppearanceStepMaxima(int steps) {
  if (StartSpin == nullptr) return;
  NumbOfFixedSteps->SetMaxValue(steps);
  StartTrack->SetMax(steps);
  FinishTrack->SetMax(steps);
  StartSpin->SetMaxValue(steps);
  FinishSpin->SetMaxValue(steps);
  StartStepMaxLabel->setText(QString::number(steps));
  FinishStepMaxLabel->setText(QString::number(steps));
}

void TMotionArea::RememberSelectedMotionRow() {
  QTreeWidgetItem* row = MovingList != nullptr ? MovingList->currentItem() : nullptr;
  selectedMotionRow_ = row != nullptr ? std::max(0, MovingList->indexOfTopLevelItem(row)) : 0;
}

bool TMotionArea::ShowAppearanceOfBar(int index) {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || index < 0 || index >= sprite->IntervalCount() || AppearanceList == nullptr ||
      index >= AppearanceList->topLevelItemCount())
    return false;
  AppearanceList->setCurrentItem(AppearanceList->topLevelItem(index));
  ShowSelectedAppearance();
  return true;
}

void TMotionArea::TimerRedrawSceneTimer() {
  timerRedrawScene_.SetEnabled(false);
  Editor().WMRecomputeScene();
}

// ---- What the document windows ask of this area, through the main window -----------------------------

bool TMainForm::MotionTimerRunning() const { return motion_->MotionTimerRunning(); }

bool TMainForm::FinishEqualsStart() const { return motion_->FinishEqualsStart(); }

void TMainForm::PrepareMotionPageReload() { Motion().FlushMotionEdit(); }

void TMainForm::RefreshMotionPage() { Motion().RefreshMotionPage(); }
