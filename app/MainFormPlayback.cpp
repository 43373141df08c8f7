// Playback, stepping, the time line and the scene page of the main window.
#include "app/MainFormU.h"
#include "app/MainFormActions.h"
#include "app/MainForm3DText.h"
#include "app/MainFormGalleries.h"
#include "app/MainFormLayout.h"

#include "app/AnimationWindowU.h"
#include "app/core/PropertyPageRules.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/My_SpinEdit.h"
#include "controls/UTimelineSlider.h"
#include "dialogs/SetBackgroundU.h"
#include "dialogs/USetStepFrm.h"
#include "imaging/utils.h"
#include "platform/ModalForms.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "scene/Undo.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

TSpinEdit* MakeSpin(QWidget* parent, const char* name, std::int32_t min, std::int32_t max) {
  auto* spin = new TSpinEdit(parent);
  spin->setObjectName(name);
  spin->SetMinValue(min);
  spin->SetMaxValue(max);
  return spin;
}

}  // namespace

void TMainForm::CreatePlaybackAndScenePage() {
  auto* content = new QWidget(Layout().PropertyPage(ppScene));
  content->setObjectName("ScenePageContent");
  auto* form = new QFormLayout(content);
  WidthPixels = MakeSpin(content, "WidthPixels", 1, 65000);
  HeightPixels = MakeSpin(content, "HeightPixels", 1, 65000);
  SpinEditNumberOfFrames = MakeSpin(content, "SpinEditNumberOfFrames", 1, kMaxSceneSteps);
  StepsPerSecSpin = MakeSpin(content, "StepsPerSecSpin", 1, 30);
  StepsPerSecSpin->SetValue(20);
  LoopingComboBox = new QComboBox(content);
  LoopingComboBox->setObjectName("LoopingComboBox");
  LoopingComboBox->setEditable(true);
  LoopingComboBox->addItems({"Forever", "0", "1", "2", "3", "4", "5", "10"});
  GifCommentMemo = new QPlainTextEdit(content);
  GifCommentMemo->setObjectName("GifCommentMemo");
  form->addRow("Width:", WidthPixels);
  form->addRow("Height:", HeightPixels);
  form->addRow("Number of steps:", SpinEditNumberOfFrames);
  form->addRow("Steps per second:", StepsPerSecSpin);
  form->addRow("Loops:", LoopingComboBox);
  form->addRow("Comment:", GifCommentMemo);
  Layout().AddToPropertyPage(ppScene, content);

  const auto onEdit = [this](TSpinEdit* spin, void (TMainForm::*handler)()) {
    connect(spin, &QLineEdit::textChanged, this, [this, handler] {
      if (!FillingScenePage) (this->*handler)();
    });
  };
  onEdit(WidthPixels, &TMainForm::SceneSizeChange);
  onEdit(HeightPixels, &TMainForm::SceneSizeChange);
  onEdit(SpinEditNumberOfFrames, &TMainForm::NumbOfStepsSpinChange);
  onEdit(StepsPerSecSpin, &TMainForm::StepsPerSecSpinChange);
  connect(LoopingComboBox, &QComboBox::currentTextChanged, this, [this] {
    if (!FillingScenePage) LoopingComboBoxChange();
  });
  connect(GifCommentMemo, &QPlainTextEdit::textChanged, this, [this] {
    if (!FillingScenePage) GifCommentMemoChange();
  });

  // The time line.
  Layout().StepsTrackBar()->OnChange = [this](QObject*) { StepsTrackBarChange(); };
  Layout().StepsTrackBar()->OnChanged = [this](QObject*) { StepsTrackBarChanged(); };
  Layout().StepsTrackBar()->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int, int) { StepsTrackBarMouseDown(); };
  Layout().StepsTrackBar()->OnMouseUp = [this](QObject*, TMouseButton, TShiftState, int, int) { StepsTrackBarMouseUp(); };
  Layout().StepsTrackBar()->OnTimelineListChanged = [this](QObject*, int index) { StepsTrackBarTimelineListChanged(index); };
  Layout().CurrentStep()->OnClick = [this](QObject*) { View_Set_StepExecute(); };
  Layout().StepPerSecond()->OnClick = [this](QObject*) { View_Set_StepExecute(); };

  Commands().SetCommandHandler(Commands().Movie_Play, [this] { Movie_Play_Execute(); });
  Commands().SetCommandHandler(Commands().Movie_Play_Command, [this] { Movie_Play_CommandExecute(); });
  Commands().SetCommandHandler(Commands().Movie_Stop, [this] { Movie_StopExecute(); });
  Commands().EnableCommand(Commands().Movie_Stop, false);
  Commands().SetCommandHandler(Commands().Movie_NextFrame, [this] { Movie_NextFrameExecute(); });
  Commands().SetCommandHandler(Commands().Movie_BackOneStep, [this] { Movie_BackOneStepExecute(); });
  Commands().SetCommandHandler(Commands().Movie_FirstStep, [this] { Movie_FirstStepExecute(); });
  Commands().SetCommandHandler(Commands().Movie_LastStep, [this] { Movie_LastStepExecute(); });
  Commands().SetCommandHandler(Commands().View_Set_Step, [this] { View_Set_StepExecute(); });
  Commands().SetCommandHandler(Commands().View_Custom, [this] { View_CustomExecute(); });
  Commands().SetCommandHandler(Commands().Veiw_400x40, [this] { N400x40pixels1Click(); });
  Commands().SetCommandHandler(Commands().View_400x50, [this] { N400x50pixels2Click(); });
  Commands().SetCommandHandler(Commands().View_468x60, [this] { N486x60pixels1Click(); });
}

// ---- Play and stop ------------------------------------------------------------------------------

void TMainForm::ApplyPlaybackResampling(bool playing) {
  if (CurrentScene() == nullptr) return;
  const bool resample = playing ? UserSettings().PlayAntiAliasResample : UserSettings().AntiAliasResample;
  CurrentScene()->ResampledStretching = resample ? 1 : 0;
}

void TMainForm::Movie_Play_Execute() {
  if (CurrentScene() == nullptr) return;
  TAnimatedScene& scene = *CurrentScene();
  if (PlayButtonDown()) {
    if (QueryFreeResources(0) < 10)
      Ui().MessageBox(Handle(),
                      "Out of system resources. Please close one or more unused applications or run the program "
                      "under Windows NT.",
                      "Error", MB_ICONERROR);
    RequestSceneRecompute();
    ApplyPlaybackResampling(true);
    scene.Play();
    Commands().EnableCommand(Commands().Movie_Stop, true);
    if (ActiveAnimationWindow() != nullptr) ActiveAnimationWindow()->UpdateSelection();
  } else {
    scene.Stop();
    ApplyPlaybackResampling(false);
    RequestSceneRecompute();
    Commands().EnableCommand(Commands().Movie_Stop, false);
  }
  Layout().StepPerSecond()->SetVisible(PlayButtonDown());
}

void TMainForm::Movie_Play_CommandExecute() {
  SetPlayButtonDown(true);
  Commands().EnableCommand(Commands().Movie_Play_Command, false);
  Movie_Play_Execute();
}

void TMainForm::Movie_StopExecute() {
  SetPlayButtonDown(false);
  Commands().EnableCommand(Commands().Movie_Play_Command, true);
  Movie_Play_Execute();
}

// ---- Stepping -------------------------------------------------------------------------------------

namespace {

void PrepareEverySprite(TAnimatedScene& scene) {
  for (int i = 0; i < scene.SpriteCount(); ++i) scene.Sprite(i).Motion().PrepareSteps(&scene.Sprite(i));
}

}  // namespace

void TMainForm::Movie_NextFrameExecute() {
  if (CurrentScene() == nullptr || Commands().NextBtn->isDown()) return;
  CurrentScene()->BackgroundDrawn = 0;
  PrepareEverySprite(*CurrentScene());
  CurrentScene()->NextFrame();
  SteppedByHand = true;
  RequestSceneRecompute();
}

void TMainForm::Movie_BackOneStepExecute() {
  if (CurrentScene() == nullptr) return;
  const TBusyCursor busy;
  CurrentScene()->GotoFrame(CurrentScene()->CurrentStep - 1);
  CurrentScene()->NextFrame();
  RequestSceneRecompute();
}

void TMainForm::Movie_FirstStepExecute() {
  if (CurrentScene() == nullptr) return;
  {
    const TBusyCursor busy;
    CurrentScene()->GotoFrame(1);
    CurrentScene()->BackgroundDrawn = 0;
    PrepareEverySprite(*CurrentScene());
    CurrentScene()->NextFrame();
    CurrentScene()->GotoFrame(1);
  }
  if (ActiveAnimationWindow() != nullptr) ActiveAnimationWindow()->UpdateSelection();
}

void TMainForm::Movie_LastStepExecute() {
  if (CurrentScene() == nullptr) return;
  const TBusyCursor busy;
  CurrentScene()->GotoFrame(LastStepSeekTarget(CurrentScene()->StepCount));
  RequestSceneRecompute();
}

// ---- The time line ----------------------------------------------------------------------------------

void TMainForm::StepsTrackBarChange() {
  SetStepTimer.SetEnabled(false);
  SetStepTimer.SetEnabled(true);
  Layout().CurrentStep()->SetCaption(SliderStepText(Layout().StepsTrackBar()->Position()));
}

void TMainForm::SetStepTimerTimer() {
  SetStepTimer.SetEnabled(false);
  if (CurrentScene() == nullptr || CurrentScene()->CurrentStep == Layout().StepsTrackBar()->Position()) return;
  const TBusyCursor busy;
  CurrentScene()->GotoFrame(std::clamp(Layout().StepsTrackBar()->Position(), 1, kMaxSceneSteps + 1));
  Movie_NextFrameExecute();
}

// The appearance snapshot taken at a press on the time line: recorded only
// when a bar really changed during the drag.
struct TMainForm::TAppearanceDrag {
  std::int32_t SpriteId = 0;
  TMemoryStream Snapshot;
  // The drag itself records nothing: each step of it would be an entry.
  std::optional<TUndoRecordingPause> Pause;
};

void TMainForm::TAppearanceDragDeleter::operator()(TAppearanceDrag* drag) const { delete drag; }

void TMainForm::StepsTrackBarMouseDown() {
  appearanceDrag_.reset();
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || ActiveAnimationWindow() == nullptr) return;
  std::unique_ptr<TAppearanceDrag, TAppearanceDragDeleter> drag(new TAppearanceDrag);
  {
    // Written as the undo log writes its snapshots.
    const TUndoModeScope mode(1);
    const std::int32_t saveVersion = SaveVersion;
    SaveVersion = kNewestFormatVersion;
    struct TRestoreVersion {
      std::int32_t version;
      ~TRestoreVersion() { SaveVersion = version; }
    } restore{saveVersion};
    sprite->SaveAppearances(drag->Snapshot);
  }
  drag->SpriteId = sprite->Id;
  drag->Pause.emplace();
  appearanceDrag_ = std::move(drag);
}

// The release reports a changed bar (StepsTrackBarTimelineListChanged) before it reports itself.
void TMainForm::StepsTrackBarMouseUp() { appearanceDrag_.reset(); }

void TMainForm::StepsTrackBarChanged() {
  if (appearanceDrag_ != nullptr) appearanceDrag_->Pause.reset();
}

void TMainForm::StepsTrackBarTimelineListChanged(int index) {
  TSprite* sprite = CurrentSprite();
  if (appearanceDrag_ != nullptr) {
    const std::unique_ptr<TAppearanceDrag, TAppearanceDragDeleter> drag = std::move(appearanceDrag_);
    drag->Pause.reset();
    if (sprite != nullptr && sprite->Id == drag->SpriteId && ActiveAnimationWindow() != nullptr) {
      // The state before the drag, kept from the press.
      TMemoryStream& snapshot = drag->Snapshot;
      ActiveAnimationWindow()->Undo()->AddRecord(
          urkSpriteEdit, "Change Appearance", false, 0, drag->SpriteId, uokIntervals,
          [&snapshot](TStream& stream) { stream.WriteBuffer(snapshot.Memory(), snapshot.Size()); });
    }
  }
  if (sprite == nullptr || index < 0 || index >= sprite->IntervalCount() || AppearanceList == nullptr ||
      index >= AppearanceList->topLevelItemCount())
    return;
  AppearanceList->setCurrentItem(AppearanceList->topLevelItem(index));
  ShowSelectedAppearance();
  RequestSceneRecompute();
}

// ---- The step dialog --------------------------------------------------------------------------------

void TMainForm::View_Set_StepExecute() {
  if (CurrentScene() == nullptr) return;
  TSetStepFrm form(CurrentScene()->StepCount, std::max(CurrentScene()->CurrentStep - 1, 1), this);
  if (ShowModal(form) != mrOk) return;
  const TBusyCursor busy;
  const std::int64_t target = static_cast<std::int64_t>(form.StepSpinEdit->Value()) + 2;
  CurrentScene()->GotoFrame(static_cast<std::int32_t>(std::clamp<std::int64_t>(target, 1, kMaxSceneSteps + 1)));
  RequestSceneRecompute();
}

void TMainForm::View_CustomExecute() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  TSetBackgroundFrm form(CurrentScene()->Width, CurrentScene()->Height, this);
  if (ShowModal(form) != mrOk) return;
  Galleries().ApplyCanvasSize(form.WidthPixels->Value(), form.HeightPixels->Value());
}

// ---- The scene page -----------------------------------------------------------------------------------

void TMainForm::LoadScenePage() {
  if (CurrentScene() == nullptr) return;
  const TAnimatedScene& scene = *CurrentScene();
  FillingScenePage = true;
  WidthPixels->SetValue(scene.Width);
  HeightPixels->SetValue(scene.Height);
  SpinEditNumberOfFrames->SetValue(scene.StepCount);
  StepsPerSecSpin->SetValue(StepsPerSecondOf(CurrentScene()->Timer().Interval()));
  LoopingComboBox->setCurrentText(QString::fromStdString(LoopCountText(scene.LoopCount)));
  QStringList lines;
  for (const std::string& line : CurrentScene()->ReservedSettings.GifComment()) lines << QString::fromStdString(line);
  GifCommentMemo->setPlainText(lines.join('\n'));
  FillingScenePage = false;
}

namespace {

void RecordSceneSettings(TAnimationWindow& window, TAnimatedScene& scene, const char* caption) {
  window.Undo()->AddRecord(urkSceneSettings, caption, false, 0, 0, uokSceneSettings,
                           [&scene](TStream& stream) { scene.SaveSettings(stream); });
}

}  // namespace

void TMainForm::NumbOfStepsSpinChange() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  const std::int32_t steps = SpinEditNumberOfFrames->Value();
  if (steps != CurrentScene()->StepCount) {
    RecordSceneSettings(*ActiveAnimationWindow(), *CurrentScene(), "Change Number of Steps");
    CurrentScene()->StepCount = steps;
    RefreshCommandStates();
  }
  SetAppearanceStepMaxima(CurrentScene()->StepCount);
}

void TMainForm::StepsPerSecSpinChange() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  const std::int32_t interval = StepIntervalOf(StepsPerSecSpin->Value());
  if (interval == CurrentScene()->Timer().Interval()) return;
  RecordSceneSettings(*ActiveAnimationWindow(), *CurrentScene(), "Change Steps per Second");
  CurrentScene()->Timer().SetInterval(interval);
  CurrentScene()->StepTime = interval;
  if (TFrame* frame = CurrentFrame()) Text3DEditor().Timer3DAnimation().SetInterval(frame->Duration() * interval);
  RefreshCommandStates();
}

void TMainForm::LoopingComboBoxChange() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  const std::optional<std::int32_t> loops = LoopCountFromText(LoopingComboBox->currentText().toStdString());
  if (!loops || *loops == CurrentScene()->LoopCount) return;
  RecordSceneSettings(*ActiveAnimationWindow(), *CurrentScene(), "Change Number of Loops");
  CurrentScene()->SetLoopCount(*loops);
  RefreshCommandStates();
}

void TMainForm::GifCommentMemoChange() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr || AddingPictureFrames) return;
  std::vector<std::string> lines;
  for (const QString& line : GifCommentMemo->toPlainText().split('\n')) lines.push_back(line.toStdString());
  if (GifCommentMemo->toPlainText().isEmpty()) lines.clear();
  std::vector<std::string>& comment = CurrentScene()->ReservedSettings.GifComment();
  if (lines == comment) return;
  Galleries().RecordGifCommentChange();
  comment = std::move(lines);
}

void TMainForm::SceneSizeChange() {
  if (ActiveAnimationWindow() == nullptr) return;
  sceneSizeScene_ = ActiveAnimationWindow()->Scene();
  TimerSceneSize.SetEnabled(false);
  TimerSceneSize.SetEnabled(true);
}

void TMainForm::TimerSceneSizeTimer() {
  TimerSceneSize.SetEnabled(false);
  const TAnimatedScene* typedFor = sceneSizeScene_;
  sceneSizeScene_ = nullptr;
  TAnimationWindow* window = ActiveAnimationWindow();
  if (window == nullptr || window->Scene() != typedFor) return;
  const int width = WidthPixels->Value();
  const int height = HeightPixels->Value();
  if (width == typedFor->Width && height == typedFor->Height) return;
  // Checked before the canvas takes the size: a refused size allocates nothing.
  if (!Galleries().ApplyCanvasSize(width, height)) ShowSceneSize(typedFor->Width, typedFor->Height);
}

// The size typed for the document that stops being the active one is
// applied to it first; a closing document gets none. A bar drag of the time
// line ends with the document: its pause gives recording back to the
// document's log while that log still exists.
void TMainForm::FinishDocumentEdits(bool documentCloses) {
  appearanceDrag_.reset();
  if (!TimerSceneSize.Enabled()) return;
  if (documentCloses) {
    TimerSceneSize.SetEnabled(false);
    sceneSizeScene_ = nullptr;
  } else {
    TimerSceneSizeTimer();
  }
}

namespace {

void ResizeActiveAnimation(TMainForm& form, int width, int height) {
  if (form.ActiveAnimationWindow() == nullptr) return;
  form.ActiveAnimationWindow()->SetCanvasSize(width, height);
}

}  // namespace

void TMainForm::N400x40pixels1Click() { ResizeActiveAnimation(*this, 88, 62); }

void TMainForm::N400x50pixels2Click() { ResizeActiveAnimation(*this, 125, 125); }

void TMainForm::N486x60pixels1Click() { ResizeActiveAnimation(*this, 468, 60); }

void TMainForm::ShowStepCount(int steps) {
  const bool filling = FillingScenePage;
  FillingScenePage = true;
  SpinEditNumberOfFrames->SetValue(steps);
  FillingScenePage = filling;
  SetAppearanceStepMaxima(steps);
}

void TMainForm::ShowLoopCount(int loops) {
  const bool filling = FillingScenePage;
  FillingScenePage = true;
  LoopingComboBox->setCurrentText(QString::fromStdString(LoopCountText(loops)));
  FillingScenePage = filling;
}

void TMainForm::ShowSceneSize(int width, int height) {
  const bool filling = FillingScenePage;
  FillingScenePage = true;
  WidthPixels->SetValue(width);
  HeightPixels->SetValue(height);
  FillingScenePage = filling;
}
