// Playback, the time line and the scene page: play and stop, stepping, the
// slider and its appearance bars, the step dialog and the scene's size,
// steps, speed, loops and comment.
#pragma once

#include "app/MainFormArea.h"
#include "platform/Timer.h"

#include <memory>

class QComboBox;
class QPlainTextEdit;
class TSpinEdit;

class TPlaybackArea : public TMainFormArea {
 public:
  explicit TPlaybackArea(TMainFormContext& editor);
  ~TPlaybackArea() override;

  // Builds the scene page, connects the time line and the playback commands.
  void CreatePlaybackAndScenePage();
  // Clears the page's loading guard after a failed entry.
  void ClearEntryGuards() { fillingScenePage_ = false; }

  // ---- Playback ----
  void Movie_StopExecute();
  void Movie_FirstStepExecute();

  // ---- The time line ----
  TTimer& SetStepTimer() { return setStepTimer_; }  // 500 ms after the last slider move
  void SetStepTimerTimer();
  void StepsTrackBarChange();
  void StepsTrackBarMouseUp();
  // A bar drag on the time line in progress (its snapshot taken at the press).
  bool AppearanceDragPending() const { return appearanceDrag_ != nullptr; }

  // ---- The scene page ----
  void LoadScenePage();
  // Set while the scene page is filled from the model.
  bool FillingScenePage() const { return fillingScenePage_; }
  // The comment box (GifCommentMemo), whose bursts of typing the scene's commands group.
  QPlainTextEdit* CommentMemo() const { return GifCommentMemo; }
  void StepsPerSecSpinChange();
  // Applies the typed size to the document it was typed for; a size the
  // project reader refuses is refused once and the page shows the real size.
  void TimerSceneSizeTimer();
  void ShowStepCount(int steps);
  void ShowLoopCount(int loops);
  void ShowSceneSize(int width, int height);
  // Switching documents: what the old one's pages still owe it. The size
  // typed for the document that stops being the active one is applied to
  // it first; a closing document gets none. A bar drag of the time line
  // ends with the document.
  void FinishDocumentEdits(bool documentCloses);

 private:
  void Movie_Play_Execute();
  void Movie_Play_CommandExecute();
  void Movie_NextFrameExecute();
  void Movie_BackOneStepExecute();
  void Movie_LastStepExecute();
  void View_Set_StepExecute();
  // The custom size command: the animation size dialog, then the canvas takes its size.
  void View_CustomExecute();
  void StepsTrackBarMouseDown();
  void StepsTrackBarChanged();
  void StepsTrackBarTimelineListChanged(int index);
  // The anti-alias flag of the scene for the play state (stopped / playing).
  void ApplyPlaybackResampling(bool playing);
  void NumbOfStepsSpinChange();
  void LoopingComboBoxChange();
  // WidthPixels or HeightPixels changed: the size waits for the pause after
  // the last change (TimerSceneSize), so a burst of typing applies one size.
  void SceneSizeChange();
  void GifCommentMemoChange();
  void N400x40pixels1Click();
  void N400x50pixels2Click();
  void N486x60pixels1Click();
  void ResizeActiveAnimation(int width, int height);

  TSpinEdit* WidthPixels = nullptr;             // 1 to 65000
  TSpinEdit* HeightPixels = nullptr;            // 1 to 65000
  TSpinEdit* SpinEditNumberOfFrames = nullptr;  // 1 to 100000
  TSpinEdit* StepsPerSecSpin = nullptr;         // 1 to 30
  QComboBox* LoopingComboBox = nullptr;
  QPlainTextEdit* GifCommentMemo = nullptr;
  TTimer setStepTimer_;
  TTimer timerSceneSize_;  // 200 ms after the last size edit
  bool fillingScenePage_ = false;
  // The appearance snapshot of a press on the time line and the pause of
  // recording for the drag: state of the active document, dropped (its
  // pause ended while the document's undo log still exists) when another
  // document becomes active or the document closes.
  struct TAppearanceDrag;
  struct TAppearanceDragDeleter {
    void operator()(TAppearanceDrag* drag) const;
  };
  std::unique_ptr<TAppearanceDrag, TAppearanceDragDeleter> appearanceDrag_;
  // The scene a pending size edit was typed for (null: none waits).
  const TAnimatedScene* sceneSizeScene_ = nullptr;
};
