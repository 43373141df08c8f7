// Playback, stepping, the time line and the scene page of the main window.
#include "app/MainFormPlayback.h"
#include "app/MainFormU.h"
#include "app/MainFormPages.h"
#include "app/MainFormMotion.h"
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

TPlaybackArea::TPlaybackArea(TMainFormContext& editor) : TMainFormArea(editor) {}

TPlaybackArea::~TPlaybackArea() = default;

void TPlaybackArea::CreatePlaybackAndScenePage() {
  SetUpTimer(setStepTimer_, 500, [this] { SetStepTimerTimer(); });
  SetUpTimer(timerSceneSize_, 200, [this] { TimerSceneSizeTimer(); });
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

  const auto onEdit = [this](TSpinEdit* spin, void (TPlaybackArea::*handler)()) {
    connect(spin, &QLineEdit::textChanged, this, [this, handler] {
      if (!fillingScenePage_) (this->*handler)();
    });
  };
  onEdit(WidthPixels, &TPlaybackArea::SceneSizeChange);
  onEdit(HeightPixels, &TPlaybackArea::SceneSizeChange);
  onEdit(SpinEditNumberOfFrames, &TPlaybackArea::NumbOfStepsSpinChange);
  onEdit(StepsPerSecSpin, &TPlaybackArea::StepsPerSecSpinChange);
  connect(LoopingComboBox, &QComboBox::currentTextChanged, this, [this] {
    if (!fillingScenePage_) LoopingComboBoxChange();
  });
  connect(GifCommentMemo, &QPlainTextEdit::textChanged, this, [this] {
    if (!fillingScenePage_) GifCommentMemoChange();
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

void TPlaybackArea::ApplyPlaybackResampling(bool playing) {
  if (CurrentScene() == nullptr) return;
  const bool resample = playing ? UserSettings().PlayAntiAliasResample : UserSettings().AntiAliasResample;
  CurrentScene()->ResampledStretching = resample ? 1 : 0;
}

void TPlaybackArea::Movie_Play_Execute() {
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

void TPlaybackArea::Movie_Play_CommandExecute() {
  SetPlayButtonDown(true);
  Commands().EnableCommand(Commands().Movie_Play_Command, false);
  Movie_Play_Execute();
}

void TPlaybackArea::Movie_StopExecute() {
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

void TPlaybackArea::Movie_NextFrameExecute() {
  if (CurrentScene() == nullptr || Commands().NextBtn->isDown()) return;
  CurrentScene()->BackgroundDrawn = 0;
  PrepareEverySprite(*CurrentScene());
  CurrentScene()->NextFrame();
  Motion().SetSteppedByHand(true);
  RequestSceneRecompute();
}

void TPlaybackArea::Movie_BackOneStepExecute() {
  if (CurrentScene() == nullptr) return;
  const TBusyCursor busy;
  CurrentScene()->GotoFrame(CurrentScene()->CurrentStep - 1);
  CurrentScene()->NextFrame();
  RequestSceneRecompute();
}

void TPlaybackArea::Movie_FirstStepExecute() {
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

void TPlaybackArea::Movie_LastStepExecute() {
  if (CurrentScene() == nullptr) return;
  const TBusyCursor busy;
  CurrentScene()->GotoFrame(LastStepSeekTarget(CurrentScene()->StepCount));
  RequestSceneRecompute();
}

// ---- The time line ----------------------------------------------------------------------------------

void TPlaybackArea::StepsTrackBarChange() {
  setStepTimer_.SetEnabled(false);
  setStepTimer_.SetEnabled(true);
  Layout().CurrentStep()->SetCaption(SliderStepText(Layout().StepsTrackBar()->Position()));
}

void TPlaybackArea::SetStepTimerTimer() {
  setStepTimer_.SetEnabled(false);
  if (CurrentScene() == nullptr || CurrentScene()->CurrentStep == Layout().StepsTrackBar()->Position()) return;
  const TBusyCursor busy;
  CurrentScene()->GotoFrame(std::clamp(Layout().StepsTrackBar()->Position(), 1, kMaxSceneSteps + 1));
  Movie_NextFrameExecute();
}

// The appearance snapshot taken at a press on the time line: recorded only
// when a bar really changed during the drag.
struct TPlaybackArea::TAppearanceDrag {
  std::int32_t SpriteId = 0;
  TMemoryStream Snapshot;
  // The drag itself records nothing: each step of it would be an entry.
  std::optional<TUndoRecordingPause> Pause;
};

void TPlaybackArea::TAppearanceDragDeleter::operator()(TAppearanceDrag* drag) const { delete drag; }

void TPlaybackArea::StepsTrackBarMouseDown() {
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
void TPlaybackArea::StepsTrackBarMouseUp() { appearanceDrag_.reset(); }

void TPlaybackArea::StepsTrackBarChanged() {
  if (appearanceDrag_ != nullptr) appearanceDrag_->Pause.reset();
}

void TPlaybackArea::StepsTrackBarTimelineListChanged(int index) {
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
  if (Motion().ShowAppearanceOfBar(index)) RequestSceneRecompute();
}

// ---- The step dialog --------------------------------------------------------------------------------

void TPlaybackArea::View_Set_StepExecute() {
  if (CurrentScene() == nullptr) return;
  TSetStepFrm form(CurrentScene()->StepCount, std::max(CurrentScene()->CurrentStep - 1, 1), &Window());
  if (ShowModal(form) != mrOk) return;
  const TBusyCursor busy;
  const std::int64_t target = static_cast<std::int64_t>(form.StepSpinEdit->Value()) + 2;
  CurrentScene()->GotoFrame(static_cast<std::int32_t>(std::clamp<std::int64_t>(target, 1, kMaxSceneSteps + 1)));
  RequestSceneRecompute();
}

void TPlaybackArea::View_CustomExecute() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  TSetBackgroundFrm form(CurrentScene()->Width, CurrentScene()->Height, &Window());
  if (ShowModal(form) != mrOk) return;
  Galleries().ApplyCanvasSize(form.WidthPixels->Value(), form.HeightPixels->Value());
}

// ---- The scene page -----------------------------------------------------------------------------------

void TPlaybackArea::LoadScenePage() {
  if (CurrentScene() == nullptr) return;
  const TAnimatedScene& scene = *CurrentScene();
  fillingScenePage_ = true;
  WidthPixels->SetValue(scene.Width);
  HeightPixels->SetValue(scene.Height);
  SpinEditNumberOfFrames->SetValue(scene.StepCount);
  StepsPerSecSpin->SetValue(StepsPerSecondOf(CurrentScene()->Timer().Interval()));
  LoopingComboBox->setCurrentText(QString::fromStdString(LoopCountText(scene.LoopCount)));
  QStringList lines;
  for (const std::string& line : CurrentScene()->ReservedSettings.GifComment()) lines << QString::fromStdString(line);
  GifCommentMemo->setPlainText(lines.join('\n'));
  fillingScenePage_ = false;
}

namespace {

void RecordSceneSettings(TAnimationWindow& window, TAnimatedScene& scene, const char* caption) {
  window.Undo()->AddRecord(urkSceneSettings, caption, false, 0, 0, uokSceneSettings,
                           [&scene](TStream& stream) { scene.SaveSettings(stream); });
}

}  // namespace

void TPlaybackArea::NumbOfStepsSpinChange() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  const std::int32_t steps = SpinEditNumberOfFrames->Value();
  if (steps != CurrentScene()->StepCount) {
    RecordSceneSettings(*ActiveAnimationWindow(), *CurrentScene(), "Change Number of Steps");
    CurrentScene()->StepCount = steps;
    RefreshCommandStates();
  }
  Motion().SetAppearanceStepMaxima(CurrentScene()->StepCount);
}

void TPlaybackArea::StepsPerSecSpinChange() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  const std::int32_t interval = StepIntervalOf(StepsPerSecSpin->Value());
  if (interval == CurrentScene()->Timer().Interval()) return;
  RecordSceneSettings(*ActiveAnimationWindow(), *CurrentScene(), "Change Steps per Second");
  CurrentScene()->Timer().SetInterval(interval);
  CurrentScene()->StepTime = interval;
  if (TFrame* frame = CurrentFrame()) Text3DEditor().Timer3DAnimation().SetInterval(frame->Duration() * interval);
  RefreshCommandStates();
}

void TPlaybackArea::LoopingComboBoxChange() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  const std::optional<std::int32_t> loops = LoopCountFromText(LoopingComboBox->currentText().toStdString());
  if (!loops || *loops == CurrentScene()->LoopCount) return;
  RecordSceneSettings(*ActiveAnimationWindow(), *CurrentScene(), "Change Number of Loops");
  CurrentScene()->SetLoopCount(*loops);
  RefreshCommandStates();
}

void TPlaybackArea::GifCommentMemoChange() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr || FramePages().AddingPictureFrames()) return;
  std::vector<std::string> lines;
  for (const QString& line : GifCommentMemo->toPlainText().split('\n')) lines.push_back(line.toStdString());
  if (GifCommentMemo->toPlainText().isEmpty()) lines.clear();
  std::vector<std::string>& comment = CurrentScene()->ReservedSettings.GifComment();
  if (lines == comment) return;
  Galleries().RecordGifCommentChange();
  comment = std::move(lines);
}

void TPlaybackArea::SceneSizeChange() {
  if (ActiveAnimationWindow() == nullptr) return;
  sceneSizeScene_ = ActiveAnimationWindow()->Scene();
  timerSceneSize_.SetEnabled(false);
  timerSceneSize_.SetEnabled(true);
}

void TPlaybackArea::TimerSceneSizeTimer() {
  timerSceneSize_.SetEnabled(false);
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
void TPlaybackArea::FinishDocumentEdits(bool documentCloses) {
  appearanceDrag_.reset();
  if (!timerSceneSize_.Enabled()) return;
  if (documentCloses) {
    timerSceneSize_.SetEnabled(false);
    sceneSizeScene_ = nullptr;
  } else {
    TimerSceneSizeTimer();
  }
}

void TPlaybackArea::ResizeActiveAnimation(int width, int height) {
  if (ActiveAnimationWindow() == nullptr) return;
  ActiveAnimationWindow()->SetCanvasSize(width, height);
}

void TPlaybackArea::N400x40pixels1Click() { ResizeActiveAnimation(88, 62); }

void TPlaybackArea::N400x50pixels2Click() { ResizeActiveAnimation(125, 125); }

void TPlaybackArea::N486x60pixels1Click() { ResizeActiveAnimation(468, 60); }

void TPlaybackArea::ShowStepCount(int steps) {
  const bool filling = fillingScenePage_;
  fillingScenePage_ = true;
  SpinEditNumberOfFrames->SetValue(steps);
  fillingScenePage_ = filling;
  Motion().SetAppearanceStepMaxima(steps);
}

void TPlaybackArea::ShowLoopCount(int loops) {
  const bool filling = fillingScenePage_;
  fillingScenePage_ = true;
  LoopingComboBox->setCurrentText(QString::fromStdString(LoopCountText(loops)));
  fillingScenePage_ = filling;
}

void TPlaybackArea::ShowSceneSize(int width, int height) {
  const bool filling = fillingScenePage_;
  fillingScenePage_ = true;
  WidthPixels->SetValue(width);
  HeightPixels->SetValue(height);
  fillingScenePage_ = filling;
}

// ---- What the document windows ask of this area, through the main window -----------------------------

void TMainForm::Movie_FirstStepExecute() { Playback().Movie_FirstStepExecute(); }

void TMainForm::ShowStepCount(int steps) { Playback().ShowStepCount(steps); }

void TMainForm::ShowLoopCount(int loops) { Playback().ShowLoopCount(loops); }

void TMainForm::ShowSceneSize(int width, int height) { Playback().ShowSceneSize(width, height); }
