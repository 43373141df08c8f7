#include "dialogs/ExportFrmU.h"

#include "controls/MyCntrl.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/My_Gauges.h"
#include "controls/My_SpinEdit.h"
#include "controls/OpenGraphDialogU.h"
#include "controls/TrackBar.h"
#include "dialogs/SizeLink.h"
#include "imaging/utils.h"
#include "controls/RadioGroup.h"
#include "platform/Help.h"
#include "platform/ModalForms.h"
#include "platform/Numeric.h"
#include "platform/ShellServices.h"
#include "platform/SysUtils.h"
#include "platform/SystemValues.h"
#include "platform/qtui/Application.h"
#include "scene/Frame.h"
#include "scene/SpriteU.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

std::string ExportFileNameOfFormat(const std::string& fileName, int format) {
  switch (format) {
    case 1: return ChangeFileExt(fileName, ".gif");
    case 2: return ChangeFileExt(fileName, ".bmp");
    case 3: return ChangeFileExt(fileName, ".avi");
    case 4: return ChangeFileExt(fileName, ".jpg");
    default: return fileName;
  }
}

namespace {

constexpr const char* kHelpTopic = "Exporttheanimation";
constexpr const char* kPaletteFilter = "Palette File [*.pal]|*.pal|All Files|*.*";

// The "Preview" window of the interval's first and last step: the picture
// dialog's preview form, which any key closes here.
class TStepPreviewForm : public TPreviewForm {
 public:
  using TPreviewForm::TPreviewForm;

 protected:
  void keyPressEvent(QKeyEvent*) override { reject(); }
};

}  // namespace

TModalResult RunExportWizard(QWidget* owner, TAnimatedScene& scene, TExportSettings& settings,
                             const std::string& fileName, int format, const TExportWizardLinks& links) {
  TExportFrm wizard(owner, scene, settings);
  wizard.SetExportFileName(ExportFileNameOfFormat(fileName, format));
  wizard.RequestSceneRecompute = links.RequestSceneRecompute;
  wizard.OpenFrameDlg = links.OpenFrameDlg;
  if (links.StepDisplayColor) wizard.SetStepDisplayColor(*links.StepDisplayColor);
  return ShowModal(wizard);
}

// ---- Long steps ----------------------------------------------------------------------------------------

TExportFrm::TBusy::TBusy(TExportFrm& form) : form_(form) {
  if (form_.busy_++ == 0) {
    form_.CalculateTimer.SetEnabled(false);
    form_.Notebook1->setEnabled(false);
  }
}

TExportFrm::TBusy::~TBusy() {
  if (--form_.busy_ != 0) return;
  form_.Notebook1->setEnabled(true);
  // A progress page that a step left standing goes after the usual while.
  if (form_.BottomPage() == bpProgress) {
    form_.HideProgressTimer.SetEnabled(false);
    form_.HideProgressTimer.SetEnabled(true);
  }
}

// ---- Creation ----------------------------------------------------------------------------------------

TExportFrm::TExportFrm(QWidget* owner, TAnimatedScene& scene, TExportSettings& settings)
    : QDialog(owner),
      scene_(scene),
      settings_(settings),
      engine_(scene, settings),
      frameList_(engine_.Frames(), engine_.Composition()) {
  setObjectName("ExportFrm");
  setWindowTitle("Export");
  setSizeGripEnabled(true);
  CreateComponents();
  progressWindow_ = std::make_unique<TWindowHandle>([this](TMessage& message) { WMImageProgress(message); });
  engine_.ProgressWindow = progressWindow_->Handle();
  engine_.Progress = this;
  engine_.RequestSceneRecompute = [this] {
    if (RequestSceneRecompute) RequestSceneRecompute();
  };
  FormCreate();
}

TExportFrm::~TExportFrm() {
  TimerMoving.SetEnabled(false);
  CalculateTimer.SetEnabled(false);
  HideProgressTimer.SetEnabled(false);
}

void TExportFrm::FormCreate() {
  const int steps = std::max(scene_.StepCount, 1);
  FirstStep->SetMaxValue(steps);
  StepSpinEdit->SetMaxValue(steps);
  StepTrackBar->SetMax(steps);
  WholeAnimationCheckBox->setChecked(settings_.WholeAnimation != 0);
  WholeAnimationCheckBoxClick();
  if (!WholeAnimationCheckBox->isChecked()) StepSpinEdit->SetValue(settings_.NumberOfFrames);
  FirstStep->SetValue(settings_.FirstStep);
  MaxLabel->setText(QString::number(steps));
  sizeLink_->BaseWidth = std::max(scene_.Width, 1);
  sizeLink_->BaseHeight = std::max(scene_.Height, 1);
  sizeLink_->SetPixels(std::max(scene_.Width, 1), std::max(scene_.Height, 1));
  TypeOfResizeRadio->SetItemIndex(settings_.ResampleKind);
  PaletteRadioGroup->SetItemIndex(settings_.PaletteType);
  PaletteRadioGroupClick();
  ColorsSpinEdit->SetValue(settings_.NumberOfColors);
  ShrinkCheckBox->setChecked(settings_.Shrink());
  RemovePixelsCheckBox->setChecked(settings_.RemoveIdenticalPixels());
  RemoveFramesCheckBox->setChecked(settings_.RemoveIdenticalFrames());
  QualitySpin->SetValue(settings_.JpegFactor);
  QualityTrackBar->SetPosition(QualitySpin->Value());
  exportFileName_.clear();
  Notebook1->setCurrentIndex(pgSizeInterval);
  NotebookProgress->setCurrentIndex(bpButtons);
  CancelFlag = 0;
  frameList_.RestartTicks();
  paletteFolder_ = System().ProgramFolder();
  // Filling the JPEG page set its timer going: nothing is estimated yet.
  CalculateTimer.SetEnabled(false);
  UpdateFrameControls();
}

void TExportFrm::SetStepDisplayColor(TColor color) { CurMovieFrame->SetColorOfText(color); }

void TExportFrm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  closed_ = false;
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TExportFrm::FormShow() {
  engine_.SetExportName(exportFileName_);
  exportFileName_ = engine_.ExportName();
  if (Format() == efBmp || (Format() == efJpg && WholeAnimationCheckBox->isChecked())) {
    WholeAnimationCheckBox->setChecked(false);
    WholeAnimationCheckBoxClick();
    StepSpinEdit->SetValue(1);
  }
  setWindowTitle("Export to the \"" + QString::fromStdString(ExtractFileName(exportFileName_)) + "\" file");
  resize(std::max(width(), 720), std::max(height(), 500));
  Notebook1PageChanged();
}

// ---- Pages ---------------------------------------------------------------------------------------------

int TExportFrm::Page() const { return Notebook1->currentIndex(); }

int TExportFrm::BottomPage() const { return NotebookProgress->currentIndex(); }

void TExportFrm::ShowPage(int page) {
  Notebook1->setCurrentIndex(page);
  Notebook1PageChanged();
}

void TExportFrm::ShowBottomPage(int page) {
  if (NotebookProgress->currentIndex() != page) NotebookProgress->setCurrentIndex(page);
}

void TExportFrm::Notebook1PageChanged() {
  StopBtnClick();
  LeavePickMode();
  const int page = Page();
  const bool last = (Format() == efGif && page == pgFrames) || (Format() == efJpg && page == pgJPEG) ||
                    ((Format() == efBmp || Format() == efAvi) && page == pgSizeInterval);
  FinishButton->setVisible(last);
  NextBtn->setVisible(!last);
  PreviousBtn->setVisible(page != pgSizeInterval);
  (last ? FinishButton : NextBtn)->setFocus();
}

void TExportFrm::NextBtnClick() {
  if (Busy()) return;
  switch (Page()) {
    case pgSizeInterval:
      if (Format() == efGif) {
        ShowPage(pgPalette);
      } else if (Format() == efJpg) {
        if (!Attempt([this] { CreateFrames(); })) return;
        ShowPage(pgJPEG);
        QualitySpinChange();
      } else {
        reject();
      }
      break;
    case pgPalette: ShowPage(pgFramesReduction); break;
    case pgFramesReduction:
      if (BuildGifFrames(false) && CancelFlag == 0) ShowPage(pgFrames);
      break;
    default: break;
  }
}

void TExportFrm::PreviousBtnClick() {
  if (Busy()) return;
  if (Format() == efGif) {
    if (Page() > pgSizeInterval) ShowPage(Page() - 1);
  } else {
    ShowPage(pgSizeInterval);
  }
}

// ---- Page 0 --------------------------------------------------------------------------------------------

void TExportFrm::WholeAnimationCheckBoxClick() {
  const bool whole = WholeAnimationCheckBox->isChecked();
  if (whole) {
    StepSpinEdit->SetValue(StepSpinEdit->MaxValue());
    FirstStep->SetValue(1);
  }
  for (QWidget* control : std::initializer_list<QWidget*>{NumbOfFramesLabel, StepSpinEdit, StepTrackBar,
                                                          FirstFrameLabel, MaxLabel, FirstStep, FirstStepLabel})
    control->setEnabled(!whole);
  engine_.SetWholeAnimation(whole);
}

void TExportFrm::FirstStepChange() { settings_.FirstStep = FirstStep->Value(); }

void TExportFrm::StepSpinEditChange() {
  const int count = StepSpinEdit->Value();
  if (StepTrackBar->Position() != count) StepTrackBar->SetPosition(count);
  settings_.NumberOfFrames = count;
}

void TExportFrm::StepTrackBarChange() {
  const int position = StepTrackBar->Position();
  StepTrackBar->SetSelStart(StepTrackBar->Min());
  StepTrackBar->SetSelEnd(position);
  if (StepSpinEdit->Value() != position) StepSpinEdit->SetValue(position);
}

void TExportFrm::PreviewFirstButtonClick() {
  TBitmap picture;
  Attempt([&] { PreviewStep(engine_.FirstStep(), picture, true); });
}

void TExportFrm::PreviewLastButtonClick() {
  TBitmap picture;
  Attempt([&] { PreviewStep(engine_.FirstStep() + engine_.StepsToExport() - 1, picture, true); });
}

void TExportFrm::PreviewStep(int step, TBitmap& picture, bool showWindow) {
  ApplyOutputSize();
  engine_.PreviewStep(step, picture);
  if (!showWindow) return;
  TStepPreviewForm preview(this, picture);
  ShowModal(preview);
}

void TExportFrm::WidthPixelsChange() { sizeLink_->WidthPixelsChange(); }
void TExportFrm::HeightPixelsChange() { sizeLink_->HeightPixelsChange(); }
void TExportFrm::PercentOfStretchChange() { sizeLink_->PercentOfStretchChange(); }
void TExportFrm::PercentOfHeightChange() { sizeLink_->PercentOfHeightChange(); }

void TExportFrm::TypeOfResizeRadioClick() {
  settings_.ResampleKind = static_cast<std::uint8_t>(std::max(TypeOfResizeRadio->ItemIndex(), 0));
}

void TExportFrm::ApplyOutputSize() {
  engine_.OutputWidth = std::clamp(WidthPixels->Value(), 1, 65000);
  engine_.OutputHeight = std::clamp(HeightPixels->Value(), 1, 65000);
}

// ---- Page 1: palette -------------------------------------------------------------------------------------

void TExportFrm::PaletteRadioGroupClick() {
  const int type = PaletteRadioGroup->ItemIndex();
  LoadPalBtn->setEnabled(type == ptCustom);
  settings_.PaletteType = type;
  const std::string fixed = FixedColorCountText(type);
  ColorsSpinEdit->setVisible(fixed.empty());
  LabelNumbOfColors->setVisible(!fixed.empty());
  LabelNumbOfColors->setText(QString::fromStdString(fixed));
}

void TExportFrm::ColorsSpinEditChange() { settings_.NumberOfColors = ColorsSpinEdit->Value(); }

void TExportFrm::LoadPalBtnClick() {
  FileDialogRequest request;
  request.filter = kPaletteFilter;
  request.initialDir = paletteFolder_;
  const std::optional<FileDialogResult> chosen = Ui().ChooseOpenFile(request);
  if (!chosen) return;
  paletteFolder_ = ExtractFilePath(chosen->fileName);
  Attempt([&] {
    TMaxLogPalette palette;
    {
      const TBusyCursor busy;
      palette = TExportEngine::ReadPaletteFile(chosen->fileName);
    }
    if (ViewCustomPalette(palette)) engine_.CustomPalette = palette;
  });
}

// ---- Page 2: reductions ------------------------------------------------------------------------------------

void TExportFrm::ShrinkCheckBoxClick() {
  settings_.SetReductionFlag(rfShrinkToSmallestRectangle, ShrinkCheckBox->isChecked());
}

void TExportFrm::RemovePixelsCheckBoxClick() {
  settings_.SetReductionFlag(rfRemoveIdenticalPixels, RemovePixelsCheckBox->isChecked());
}

void TExportFrm::RemoveFramesCheckBoxClick() {
  settings_.SetReductionFlag(rfRemoveIdenticalFrames, RemoveFramesCheckBox->isChecked());
}

// ---- Steps ----------------------------------------------------------------------------------------------

void TExportFrm::SizePlayer() {
  const int width = engine_.OutputWidth, height = engine_.OutputHeight;
  ImageMoving->SetBounds(ImageMoving->Left(), ImageMoving->Top(), width, height);
  playerComposition_.SetPixelFormat(pf24bit);
  playerComposition_.Canvas().Brush().Color = kPlayerBackground;
  playerComposition_.SetSize(width, height);
  playerComposition_.Canvas().FillRect(Rect(0, 0, width, height));
  // The panel holds the whole output and its outline; the scroll box shows
  // scroll bars when the page has less room.
  const int outline = BordersBox->BoxDeltaX() + 1;
  PanelSpriteMowing->setMinimumSize(std::max(width, 0) + 2 * outline, std::max(height, 0) + 2 * outline);
  PanelSpriteMowingResize();
}

void TExportFrm::CreateFrames() {
  ApplyOutputSize();
  SizePlayer();
  const TBusy busy(*this);
  engine_.CreateFrames();
}

bool TExportFrm::BuildGifFrames(bool recalculateOnly) {
  StopBtnClick();
  LeavePickMode();
  bool built = false;
  {
    const TBusy busy(*this);
    if (!recalculateOnly) {
      ApplyOutputSize();
      SizePlayer();
    }
    Attempt([&] {
      const TGifSizeEstimate estimate = engine_.BuildGifFrames(recalculateOnly);
      built = estimate.Outcome == TExportOutcome::Done;
      if (built) ShowGifEstimate(estimate);
    });
  }
  ShowBuiltFrames();
  return built;
}

void TExportFrm::ShowGifEstimate(const TGifSizeEstimate& estimate) {
  GIFFileSizeLabel->setText(QString::fromStdString(estimate.SizeText));
  ChangedSizedLabel->setText(QString::fromStdString(estimate.ChangeText));
  TimeOptimizedLabel->setText(QString::fromStdString(estimate.TimeText));
}

void TExportFrm::SetProgress(int done, int total) {
  try {
    if (done == 0) {
      ShowBottomPage(bpProgress);
      HideProgressTimer.SetEnabled(true);
    }
    if (total > 0) {
      ShowBottomPage(bpProgress);
      Gauge1->SetProgress(Round(static_cast<double>(done) / total * 100.0));
      HideProgressTimer.SetEnabled(false);
      HideProgressTimer.SetEnabled(true);
    }
    if (done == total) {
      ShowBottomPage(bpButtons);
      HideProgressTimer.SetEnabled(false);
      HideProgressTimer.SetEnabled(true);
    }
  } catch (const std::exception&) {
    update();
  }
  // Esc and the Cancel button act in the middle of a long step. Events run
  // at the start and the end of a step and otherwise once in a while, not at
  // every frame: painting the window at every frame would cost a long export
  // much of its time.
  const std::uint64_t now = System().MicroCount();
  if (done == 0 || done >= total || now - lastEventsAt_ >= kEventsInterval) {
    lastEventsAt_ = now;
    ProcessMessages();
  }
}

void TExportFrm::ShowLabel(const std::string& text) { ProgressLabel->setText(QString::fromStdString(text)); }

void TExportFrm::WMImageProgress(TMessage& message) {
  SetProgress(static_cast<int>(message.WParam), static_cast<int>(message.LParam));
}

void TExportFrm::HideProgressTimerTimer() {
  HideProgressTimer.SetEnabled(false);
  // While a step runs its progress stays: Esc there cancels the step.
  if (!Busy()) ShowBottomPage(bpButtons);
}

// ---- Finish and closing -------------------------------------------------------------------------------------

void TExportFrm::FinishButtonClick() {
  if (Busy()) return;
  StopBtnClick();
  LeavePickMode();
  ApplyOutputSize();
  TExportOutcome outcome = TExportOutcome::NothingWritten;
  bool written = false;
  {
    const TBusy busy(*this);
    written = Attempt([&] { outcome = engine_.Finish(); });
  }
  // A failure was shown and the wizard stays, as it stays when a GIF's
  // frames cannot be written (the message said why): the edits are kept.
  if (!written || outcome == TExportOutcome::NothingWritten) return;
  if (outcome == TExportOutcome::Done) {
    accept();
  } else {
    QDialog::reject();
  }
}

void TExportFrm::CloseBtnClick() {
  CancelFlag = 1;
  reject();
}

void TExportFrm::reject() {
  // Closing in the middle of a step stops it.
  if (Busy()) CancelFlag = 1;
  QDialog::reject();
}

void TExportFrm::done(int result) {
  if (!closed_) {
    closed_ = true;
    FormClose();
  }
  QDialog::done(result);
}

void TExportFrm::FormClose() {
  StopBtnClick();
  LeavePickMode();
  CalculateTimer.SetEnabled(false);
  HideProgressTimer.SetEnabled(false);
}

void TExportFrm::HelpBtnClick() { HelpJump(kHelpTopic); }

void TExportFrm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    char key = 27;
    FormKeyPress(key);
    return;
  }
  if (event->key() == Qt::Key_F1) {
    WORD key = VK_F1;
    FormKeyDown(key);
    return;
  }
  QDialog::keyPressEvent(event);
}

void TExportFrm::FormKeyPress(char& key) {
  if (key != 27) return;
  if (BottomPage() == bpProgress || Busy()) {
    CancelFlag = 1;
  } else {
    reject();
  }
}

void TExportFrm::FormKeyDown(WORD& key) {
  if (key == VK_F1) HelpBtnClick();
}

// ---- Page 4: JPEG ---------------------------------------------------------------------------------------------

void TExportFrm::StartCalculateTimer() {
  CalculateTimer.SetEnabled(false);
  CalculateTimer.SetEnabled(true);
}

void TExportFrm::QualitySpinChange() {
  const int factor = QualitySpin->Value();
  if (QualityTrackBar->Position() != factor) QualityTrackBar->SetPosition(factor);
  settings_.JpegFactor = std::clamp(factor, 1, 76);
  StartCalculateTimer();
}

void TExportFrm::QualityTrackBarChange() {
  if (QualitySpin->Value() != QualityTrackBar->Position()) QualitySpin->SetValue(QualityTrackBar->Position());
}

void TExportFrm::CalculateSizeCheckBoxClick() {
  const bool calculate = CalculateSizeCheckBox->isChecked();
  JPEGSizePanel->setVisible(calculate);
  PreviewJPGImage->setVisible(calculate);
  JPGTimePanel->setVisible(calculate);
  for (QLabel* label : JPEGSizePanel->findChildren<QLabel*>()) label->setEnabled(calculate);
  for (QLabel* label : JPGTimePanel->findChildren<QLabel*>()) label->setEnabled(calculate);
  if (JPEGSizeLabel->isEnabled()) StartCalculateTimer();
}

void TExportFrm::CalculateTimerTimer() {
  CalculateTimer.SetEnabled(false);
  Attempt([this] { CalculateJpegSize(); });
}

void TExportFrm::CalculateJpegSize() {
  if (!CalculateSizeCheckBox->isChecked()) return;
  std::optional<TJpegEstimate> estimate = engine_.CalculateJpegSize();
  if (!estimate) return;
  JPEGSizeLabel->setText(QString::fromStdString(estimate->SizeText));
  JPGTimeLabel->setText(QString::fromStdString(estimate->TimeText));
  PreviewJPGImage->Bitmap().Assign(estimate->Preview.get());
  PreviewJPGImage->SetBounds(0, 0, estimate->Preview->Width(), estimate->Preview->Height());
  PreviewJPGImage->Repaint();
}

// ---- Failures ---------------------------------------------------------------------------------------------------

void TExportFrm::ShowError(const std::exception& error) { TApplication::ShowException(error); }

bool TExportFrm::Attempt(const std::function<void()>& step) {
  const int drawingFailures = ShownDrawingFailureCount();
  try {
    step();
    return true;
  } catch (const std::exception& error) {
    // A step that failed reports nothing more: the buttons come back at once.
    HideProgressTimer.SetEnabled(false);
    ShowBottomPage(bpButtons);
    // A step that could not be composed was told in the frame's own box:
    // the failure is not told twice.
    if (ShownDrawingFailureCount() == drawingFailures) ShowError(error);
  }
  return false;
}
