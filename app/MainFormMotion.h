// The motion and appearance pages: the sprite's motion steps with their
// kind, positions and speeds (the size, opacity and shadow panel below them
// is TMotionPanel), and its appearance intervals on the time line.
#pragma once

#include "app/MainFormArea.h"
#include "platform/Timer.h"

#include <cstdint>
#include <memory>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QStackedWidget;
class QToolButton;
class QTreeWidget;
class TMotionPanel;
class TMoving;
class TMovingStep;
class TSpinEdit;
class TStartAndFinish;
class TTrackBar;

class TMotionArea : public TMainFormArea {
 public:
  explicit TMotionArea(TMainFormContext& editor);
  ~TMotionArea() override;

  // Builds the two pages and connects the motion and appearance commands.
  void CreateMotionAndAppearancePages();
  // Builds the size, opacity and shadow panel (after the frame pages).
  void CreateMotionTwins();
  TMotionPanel& Panel() const { return *panel_; }
  // Clears the pages' loading guards after a failed entry.
  void ClearEntryGuards();

  TTimer& TimerRedraw() { return timerRedraw_; }            // 200 ms after the last motion edit
  TTimer& TimerRedrawScene() { return timerRedrawScene_; }  // 300 ms after the last appearance edit
  void TimerRedrawTimer();
  // Runs the recompute of message 1002 at once.
  void TimerRedrawSceneTimer();

  // ---- The motion page ----
  void LoadMotionPage();
  // The list from the model again, the selected row kept.
  void RefreshMotionPage();
  // Applies a pending motion edit to its own row at once.
  void FlushMotionEdit();
  // A motion edit waits for its tick.
  bool MotionTimerRunning() const { return timerRedraw_.IsTicking(); }
  bool FinishEqualsStart() const;
  // Each step shown marks the appearance and the motion step it is in.
  void MarkCurrentMotionStep();
  // Set while a step was reached by hand, so no motion row is selected.
  void SetSteppedByHand(bool byHand) { steppedByHand_ = byHand; }
  bool SteppedByHand() const { return steppedByHand_; }
  // The page's loading guard, for whoever changes the current sprite.
  bool& FillingMotionPage() { return fillingMotionPage_; }
  // The row selected now stays selected in the next sprite's list.
  void RememberSelectedMotionRow();

  // ---- The appearance page ----
  void LoadAppearancePage();
  void MarkCurrentAppearance();
  // Selects the appearance of a bar of the time line; false when the
  // current sprite has no such row.
  bool ShowAppearanceOfBar(int index);
  // The maxima of the appearance page's step controls follow the step count.
  void SetAppearanceStepMaxima(int steps);

 private:
  void CreateMotionPage();
  void CreateAppearancePage();
  // The current sprite's index in the scene's list, -1 when none.
  int SpriteIndex();
  // A motion edit belongs to the current sprite and row (no sprite: to none).
  void BindMotionEditToCurrentRow();
  void FillMotionList();
  void ShowMotionRow(TMovingStep& step, int row);
  void MovingListClick();
  void ShowMotionKind();
  // The shadow controls from a step (while the panel is being filled).
  void ShowMotionShadow(const TMovingStep& step);
  void SetSingleSizeMode(bool single);
  void StayFixForeverClick();
  void MovingLineChanged();
  void ApplyMotionPage(TMoving& motionPath, int index, TSprite& sprite);
  void Motion_LinearExecute();
  void Motion_FixedExecute();
  void Motion_AddLinearExecute();
  void Motion_AddFixedExecute();
  void AddMotion(void (TMotionArea::*asKind)());
  void Motion_DeleteExecute();
  void Motion_UpExecute();
  void Motion_DownExecute();
  void MoveMotionRow(int by, const char* caption);
  void GoToMotionStep(int step);
  void FillAppearanceList();
  void ShowAppearanceRow(TStartAndFinish& interval, int row);
  void ShowSelectedAppearance();
  void Appearance_AddExecute();
  void Appearance_DeleteExecute();
  void StartSpinChange();
  void FinishSpinChange();
  void AppearanceSpinChange(TSpinEdit& spin, TTrackBar& track, bool start);
  void StartTrackChange();
  void FinishTrackChange();
  void ApplyAppearanceInterval(bool start);
  void RadioBeginMovingClick();

  // The motion page.
  QTreeWidget* MovingList = nullptr;
  QStackedWidget* NotebookTop = nullptr;
  QGroupBox* GroupBox_Speed = nullptr;
  QToolButton* Button_Motion_Linear = nullptr;
  QToolButton* Button_Motion_Fixed = nullptr;
  QLineEdit* FirstX = nullptr;
  QLineEdit* FirstY = nullptr;
  QLineEdit* LastX = nullptr;
  QLineEdit* LastY = nullptr;
  QLineEdit* FixPosX = nullptr;
  QLineEdit* FixPosY = nullptr;
  QCheckBox* StayFixForever = nullptr;
  TSpinEdit* NumbOfFixedSteps = nullptr;
  QLabel* Label_Frames = nullptr;
  QLabel* Label_Only = nullptr;
  QLineEdit* StartSpeedEdit = nullptr;
  QLineEdit* FinishSpeedEdit = nullptr;
  QCheckBox* CheckBoxHiddenFixPos = nullptr;
  // The appearance page.
  QTreeWidget* AppearanceList = nullptr;
  TSpinEdit* StartSpin = nullptr;
  TSpinEdit* FinishSpin = nullptr;
  TTrackBar* StartTrack = nullptr;
  TTrackBar* FinishTrack = nullptr;
  QLabel* StartStepMaxLabel = nullptr;
  QLabel* FinishStepMaxLabel = nullptr;
  QWidget* RadioBeginMoving = nullptr;  // two radio buttons: 0 continue moving, 1 stop
  QRadioButton* RadioBeginMovingContinue = nullptr;
  QRadioButton* RadioBeginMovingStop = nullptr;

  std::unique_ptr<TMotionPanel> panel_;
  TTimer timerRedraw_;
  TTimer timerRedrawScene_;
  bool steppedByHand_ = false;
  std::int32_t selectedMotionKind_ = 3;  // mskHold
  // The sprite (by id; empty: none) and row a pending motion edit belongs to.
  std::optional<std::int32_t> motionEditSpriteId_;
  int motionEditRow_ = -1;
  int selectedMotionRow_ = 0;
  bool fillingMotionPage_ = false;
  bool fillingAppearancePage_ = false;
};
