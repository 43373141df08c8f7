// The main window's life: creation, the first show, the deferred start, the
// timers, its messages, the progress display, the Esc key, the paste
// commands that follow the clipboard, the help commands, and closing.
#include "app/MainFormU.h"

#include "app/MainForm3DText.h"
#include "app/MainForm3DTextParts.h"
#include "app/MainFormActions.h"
#include "app/MainFormEffects.h"
#include "app/MainFormFiles.h"
#include "app/MainFormGalleries.h"
#include "app/MainFormLayout.h"
#include "app/MainFormMotion.h"
#include "app/MainFormPages.h"
#include "app/MainFormPlayback.h"
#include "app/MainFormSettings.h"
#include "app/MainFormShapes.h"
#include "app/MainFormTree.h"

#include "app/AnimationWindowU.h"
#include "app/MainFormIcons.h"
#include "app/StatusProgressPanel.h"
#include "app/core/SceneRecompute.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/URL.h"
#include "controls/UTimelineSlider.h"
#include "controls/core/PreviewPicture.h"
#include "dialogs/About.h"
#include "dialogs/FirstFlashFormU.h"
#include "imaging/resample.h"
#include "imaging/utils.h"
#include "platform/BitmapImages.h"
#include "platform/Clipboard.h"
#include "platform/CodePages.h"
#include "platform/FileSearch.h"
#include "platform/Help.h"
#include "platform/ModalForms.h"
#include "platform/Numeric.h"
#include "platform/Registry.h"
#include "platform/SystemValues.h"
#include "platform/qtui/ProgressEventPump.h"
#include "scene/ProjectFile.h"
#include "scene/SceneGlobals.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusTipEvent>
#include <QToolButton>

#include <algorithm>

TMainForm* MainForm = nullptr;

namespace {

constexpr int kMinimumWidth = 630;
constexpr int kMinimumHeight = 480;
constexpr int kInitialWidth = 1040;
constexpr int kInitialHeight = 760;

// The maker's page (a reserved example address).
constexpr const char* kHomePage = "https://example.com/gleamcraft/";

constexpr const char* kLowColorNote =
    "Your display supports less than 32768 colors.\r\rTo change color palette:\r\rFrom the Control Panel, choose "
    "the Display icon.\rSelect Settings tab.\rIn the Color Palette list, select at least 32768 number of colors.";

// Status panel 2: the text, the frame and the bar of the progress display.
constexpr int kProgressTextLeft = 4;
constexpr int kProgressFrameLeft = 67;
constexpr int kProgressFrameRight = 167;
constexpr int kProgressBarLeft = 68;
constexpr TColor kProgressFrameColor = 0x800000;  // navy
constexpr TColor kProgressBarColor = 0xFF8000;

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  handle_ = std::make_unique<TWindowHandle>([this](TMessage& message) { WndProc(message); });
  CreateAreas();
  setObjectName("MainForm");
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  // The window previews every key of its own windows (Esc sets the cancel flag).
  qApp->installEventFilter(this);
  FormCreate();
}

TMainForm::~TMainForm() {
  qApp->removeEventFilter(this);
  // Focus changes while the widgets are torn down must not reach this half-destroyed window.
  QObject::disconnect(qApp, &QApplication::focusChanged, this, nullptr);
  // Documents go first, while everything they may ask of their host exists;
  // closed ones waiting for their deferred deletion too.
  if (Layout().MdiArea() != nullptr) {
    for (TAnimationWindow* window : Layout().MdiArea()->findChildren<TAnimationWindow*>()) delete window;
  }
  if (MainForm == this) MainForm = nullptr;
  Galleries().FormDestroy();
}

// ---- Creation ------------------------------------------------------------------------------------

void TMainForm::FormCreate() {
  ProgramName = "Gleamcraft";
  QApplication::setWindowIcon(ProgramIcon());

  splash_ = std::make_unique<TFirstFlashForm>();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    splash_->adjustSize();
    splash_->move(screen->geometry().center() - splash_->rect().center());
  }
  splash_->show();
  QCoreApplication::processEvents();
  splash_->SetLoadingText("Initialize constants...");

  // A size that fits the screen, until the settings give the window its place.
  const TSize screen = System().ScreenSize();
  resize(std::min(kInitialWidth, screen.cx - 40), std::min(kInitialHeight, screen.cy - 60));

  Layout().CreatePanels();
  commands_->Create();
  Layout().CreateStatusBar();
  layout_->StatusPanel2()->OnDrawPanel = [this](TCanvas& canvas, const TRect& panel) { StatusBar1DrawPanel(canvas, panel); };
  CreateTimers();
  TmpURL = new TURL(this);
  TmpURL->setObjectName("TmpURL");
  TmpURL->hide();

  // The scene of no document: it never composes, and its steps come here.
  placeholderScene_ = std::make_unique<TAnimatedScene>(this);
  placeholderScene_->NotifyWindow = Handle();
  placeholderScene_->Locked = 1;
  SetCurrentScene(placeholderScene_.get());

  UserSettings() = TEditorSettings();
  UserSettings().DialogFont.Color = clBtnText;
  UserSettings().Folders = DefaultDataFolders(System().ProgramFolder());

  clipboardFormat_ = RegisterClipboardFormat(std::string(ProjectSignatures.back()));
  if (clipboardFormat_ == 0) Ui().MessageBox(Handle(), "Cannot register Clipboard Format", "Error", MB_OK | MB_ICONERROR);

  SettingsArea().SaveDialog().fileName = "noname.GLM";
  SettingsArea().SaveDialog().filter =
      "3D Animation (*.GLM)|*.GLM|GIF - CompuServe Bitmap|*.gif|BMP - Windows Bitmap|*.bmp|AVI - Video for "
      "Windows|*.avi|JPG - JPEG Bitmap|*.jpg|Glintdeck data file (*.gld)|*.gld|All Files (*.*)|*.*";
  SettingsArea().OpenDialog1().filter =
      "3D Animations (*.GLM)|*.GLM|Backup files (*.~GL)|*.~GL|CompuServe Bitmap (*.gif)|*.gif|Video for Windows "
      "(*.avi)|*.avi|Glintdeck data files (*.gld)|*.gld|All Files (*.*)|*.*";

  ProgressPercent = -1;
  Commands().SetCommandHandler(Commands().File_New, [this] { Files().File_NewExecute(); });
  Commands().SetCommandHandler(Commands().File_Exit, [this] { File_ExitExecute(); });
  Commands().SetCommandHandler(Commands().Tools_Options, [this] { SettingsArea().Tools_OptionsExecute(); });
  Commands().SetCommandHandler(Commands().Help_About, [this] { Help_AboutExecute(); });
  Commands().SetCommandHandler(Commands().Scene_CheckForUpgradeNow, [this] { Scene_CheckForUpgradeNowExecute(); });
  Commands().SetCommandHandler(Commands().Contents1, [this] { Contents1Click(); });
  Commands().SetCommandHandler(Commands().CreateGIFbanner1, [this] { CreateGIFbanner1Click(); });
  Commands().SetCommandHandler(Commands().FrequentlyAskedQuestions1, [this] { FrequentlyAskedQuestions1Click(); });
  Commands().SetCommandHandler(Commands().ReadMe1, [this] { ReadMe1Click(); });
  Commands().SetCommandHandler(Commands().LicenseAgreement1, [this] { LicenseAgreement1Click(); });
  Commands().SetCommandHandler(Commands().ZorvanSoftwareHomePage1, [this] { ZorvanSoftwareHomePage1Click(); });

  CreatePresetsMenu();

  // Each area builds its parts and connects its commands.
  Tree().FormCreateTree();
  FormCreatePages();
  Shapes().FormCreateShapes();
  Text3DEditor().FormCreate3DText();
  Effects().FormCreateEffects();
  Files().FormCreateExport();
  Galleries().FormCreateScene();
  Layout().FitPropertiesPanelToItsPages();
}

void TMainForm::SetUpTimer(TTimer& timer, int interval, std::function<void()> tick) {
  timer.SetEnabled(false);
  timer.SetInterval(interval);
  timer.SetOnTimer([this, &timer, tick = std::move(tick)] {
    RunEntry([&timer, &tick] {
      try {
        tick();
      } catch (...) {
        timer.SetEnabled(false);
        throw;
      }
    });
  });
}

void TMainForm::CreateTimers() {
  const auto timer = [this](TTimer& timer, int interval, std::function<void()> tick) {
    SetUpTimer(timer, interval, std::move(tick));
  };
  timer(TimerStart, 1000, [this] { TimerStartTimer(); });
  timer(TimerRunCheckUpdate, 60000, [this] { TimerRunCheckUpdateTimer(); });
  timer(HideProgressTimer, 10000, [this] { HideProgressTimerTimer(); });
}

// The lists of the 3D text page: its depths and its sizes.
// ---- The presets menu ----------------------------------------------------------------------------

void TMainForm::CreatePresetsMenu() {
  bool first = true;
  for (const std::string& name : FindFiles(SettingsArea().PresetsFolder() + "*.gif")) {
    try {
      if (!first) splash_->SetLoadingText("Initialize preset - \"" + Utf8ToAnsi(name) + "\"");
      TBitmap picture;
      std::int32_t frameCount = 0;
      std::uint8_t colorCode = 0;
      LoadPreviewPicture(SettingsArea().PresetsFolder() + name, picture, frameCount, colorCode);
      if (!picture.Empty()) AddPresetItem(name, picture, !first);
    } catch (const std::exception&) {
      // A preset that cannot be read gets no item.
    }
    first = false;
  }
}

void TMainForm::AddPresetItem(const std::string& fileName, const TBitmap& picture, bool keepKey) {
  TBitmap image;
  image.SetSize(TGalleriesArea::kPresetIconSize, TGalleriesArea::kPresetIconSize);
  ResampleBitmapDefault(picture, image, keepKey, picture.TransparentColor());
  const TColor mask = PresetMaskColor(image);
  QAction* item = Commands().Presets1->addAction(QString::fromUtf8(StripExtension(fileName)));
  item->setObjectName(QString::fromUtf8(fileName));
  // No pixel has the mask colour, so the whole picture shows.
  item->setIcon(QIcon(QPixmap::fromImage(BitmapToQImage(image))));
  item->setProperty(TGalleriesArea::kMaskColorProperty, static_cast<uint>(mask));
  item->setEnabled(false);  // the presets area enables its items
  connect(item, &QAction::triggered, this, [this, item] { RunEntry([this, item] { Galleries().InsertPreset(item); }); });
}

// ---- The areas ----------------------------------------------------------------------------------

void TMainForm::CreateAreas() {
  commands_ = std::make_unique<TCommandSet>(*this);
  layout_ = std::make_unique<TLayoutArea>(*this);
  settingsArea_ = std::make_unique<TSettingsArea>(*this);
  tree_ = std::make_unique<TTreeArea>(*this);
  files_ = std::make_unique<TFilesArea>(*this);
  playback_ = std::make_unique<TPlaybackArea>(*this);
  framePages_ = std::make_unique<TFramePagesArea>(*this);
  motion_ = std::make_unique<TMotionArea>(*this);
  shapes_ = std::make_unique<TShapesArea>(*this);
  text3DEditor_ = std::make_unique<TText3DArea>(*this);
  effects_ = std::make_unique<TEffectsArea>(*this);
  galleries_ = std::make_unique<TGalleriesArea>(*this);
}

QAction* TMainForm::Edit_Undo() { return commands_->Edit_Undo; }

void TMainForm::AddRecentFile(const std::string& fileName) { settingsArea_->AddRecentFile(fileName); }

QWidget* TMainForm::Panel_TreeView() { return layout_->Panel_TreeView(); }

void TMainForm::ShowStatusText(int panel, const std::string& text) { layout_->SetStatusText(panel, text); }

// Qt passes the focus of a control that is hidden along the focus chain,
// which runs from the properties panel into the document windows: the first
// one reached would be activated, and the command that switched the page
// (an Undo, an add) would go on in the wrong document.
bool TMainForm::focusNextPrevChild(bool next) {
  QWidget* focus = QApplication::focusWidget();
  QDockWidget* panel = layout_ != nullptr ? layout_->PanelProperties() : nullptr;
  if (focus != nullptr && !focus->isVisible() && panel != nullptr && panel->isAncestorOf(focus)) {
    QWidget* tree = Tree().ShownTree();
    if (tree != nullptr && tree->isVisible())
      tree->setFocus(Qt::OtherFocusReason);
    else
      setFocus(Qt::OtherFocusReason);
    return true;
  }
  return QMainWindow::focusNextPrevChild(next);
}


// ---- The barrier of every entry -------------------------------------------------------------------

void TMainForm::RunEntry(const std::function<void()>& entry) {
  ++entryDepth_;
  const bool done = RunBarred(entry);
  --entryDepth_;
  if (!done && entryDepth_ == 0) RecoverAfterFailedEntry();
}

// No handler runs now: a guard still set was left by the failed one, and
// would make every later edit of its page do nothing.
void TMainForm::RecoverAfterFailedEntry() {
  Tree().SetTreeChangeRunning(false);
  Playback().ClearEntryGuards();
  Motion().ClearEntryGuards();
  FramePages().ClearEntryGuards();
  Shapes().ClearEntryGuards();
  galleries_->ClearGuards();
  text3DEditor_->ClearGuards();
  try {
    RefreshCommandStates();
  } catch (const std::exception&) {
    // The states stay as they were; the box has told the user already.
  }
}

// ---- The first show ------------------------------------------------------------------------------

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void TMainForm::FormShow() {
  Files().FormShowFiles();
  Text3DEditor().FormShow3DText();
  UserSettings().LastPanelSpriteWidth = Layout().PanelProperties()->width();

  // Centre on the desktop, halves rounded towards zero.
  const TSize desktop = System().ScreenSize();
  move(desktop.cx / 2 - width() / 2, desktop.cy / 2 - height() / 2);

  SettingsArea().LoadSettings();
  CheckDisplayColors();
  // The common-controls version check of the design has no counterpart here.

  UpdateMainCaption();
  TimerStart.SetEnabled(true);
  SettingsArea().SetDialogFolders();
  RegisterFileType();

  setAcceptDrops(true);
  if (!clipboardConnection_) {
    clipboardConnection_ =
        connect(&Clipboard(), &TClipboard::Changed, this, [this] { RunEntry([this] { WMDrawClipboard(); }); });
  }
  RunEntry([this] { WMDrawClipboard(); });

  Files().File_NewExecute();
  Text3DEditor().FitPropertiesPanelToTextPage();
  // The splash form stays in front until the deferred start frees it.
  if (splash_ != nullptr) splash_->raise();
}

void TMainForm::CheckDisplayColors() {
  if (System().ScreenBitsPerPixel() > 8) return;
  if (!UserSettings().NeverAskAboutColors) UserSettings().NeverAskAboutColors = Ui().ShowNote("Warning", kLowColorNote);
  LowColorDisplay = true;
  PaletteMode = 1;
}

void TMainForm::RegisterFileType() {
  TRegistry registry;
  RegisterProjectFileType(registry, ProgramName, System().ProgramFolder() + "Gleamcraft");
}

void TMainForm::UpdateMainCaption() {
  const QString caption = AnsiToQString(ProgramName);
  setWindowTitle(caption);
  QApplication::setApplicationName(caption);
}

// ---- The deferred start ----------------------------------------------------------------------------

void TMainForm::TimerStartTimer() {
  TimerStart.SetEnabled(false);
  TimerRunCheckUpdate.SetEnabled(true);
  splash_.reset();
  if (!StartupFileArgument.empty() && ActiveAnimationWindow() != nullptr) {
    Files().OpenStartupFile(StartupFileArgument);
  } else if (UserSettings().ShowWizardAtStartup) {
    Galleries().File_NewFromTemplateExecute();
  }
}

void TMainForm::TimerRunCheckUpdateTimer() {
  TimerRunCheckUpdate.SetEnabled(false);
  SettingsArea().RunUpgradeCheck();
}

// ---- Messages ------------------------------------------------------------------------------------

void TMainForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_RECOMPUTESCENE:
      WMRecomputeScene();
      break;
    case WM_ITEMADDED:
      Shapes().WMItemAdded(message.WParam, message.LParam);
      break;
    case WM_STEPCHANGED:
      WMStepChanged(message.WParam, message.LParam);
      break;
    case WM_LOADPROGRESS:
      ShowProgress(static_cast<int>(message.WParam), static_cast<int>(message.LParam));
      break;
    default:
      break;
  }
}

void TMainForm::RequestSceneRecompute() { PostMessage(Handle(), WM_RECOMPUTESCENE, 0, 0); }

void TMainForm::WMRecomputeScene() {
  if (CurrentScene() == nullptr) return;
  const TBusyCursor busy;
  RecomputeCurrentStep(*CurrentScene());
  if (!PlayButtonDown() && ActiveAnimationWindow() != nullptr) ActiveAnimationWindow()->UpdateSelection();
}

void TMainForm::WMStepChanged(WPARAM, LPARAM) {
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr) return;
  TAnimatedScene& scene = *CurrentScene();
  Layout().CurrentStep()->SetCaption(StepDisplayText(scene.CurrentStep));
  try {
    if (const std::optional<std::string> speed = StepSpeed.StepShown(MicroTime())) Layout().StepPerSecond()->SetCaption(*speed);
    // The maximum first: the slider keeps its position within it.
    Layout().StepsTrackBar()->SetMax(scene.StepCount);
    Layout().StepsTrackBar()->SetFrequency(Round(scene.StepCount / 100.0));
    Layout().StepsTrackBar()->SetPosition(scene.CurrentStep - 1);
    if (!LowColorDisplay) RefreshDocumentPicture();
    Motion().MarkCurrentAppearance();
    Motion().SetSteppedByHand(true);
    Motion().MarkCurrentMotionStep();
    Motion().SetSteppedByHand(false);
    if (Commands().Movie_Play->isChecked() && scene.CurrentStep == 1) {
      scene.BackgroundDrawn = 0;
      scene.Rewind();
    }
    if (scene.LoopsLeft == 0) Playback().Movie_StopExecute();
  } catch (const std::exception&) {
    // A failing display of one step must not end playback with a message per step.
    Motion().SetSteppedByHand(false);
  }
}

// ---- Progress ------------------------------------------------------------------------------------

void TMainForm::ShowProgress(int done, int total) {
  if (done == 0) {
    ProgressPercent = 0;
    HideProgressTimer.SetEnabled(true);
    CancelFlag = 0;
  }
  if (total != 0) {
    ProgressPercent = ProgressPercentOf(done, total);
    HideProgressTimer.SetEnabled(false);
    HideProgressTimer.SetEnabled(true);
  }
  if (done >= total) {
    HideProgressTimer.SetEnabled(false);
    CancelFlag = 0;
    ProgressPercent = -1;
  }
  Layout().StatusPanel2()->Invalidate();
  // Only Esc and painting get through while the operation goes on.
  PumpProgressEvents([] { CancelFlag = 1; });
}

void TMainForm::HideProgressTimerTimer() {
  HideProgressTimer.SetEnabled(false);
  CancelFlag = 0;
}

void TMainForm::StatusBar1DrawPanel(TCanvas& canvas, const TRect& panel) {
  if (ProgressPercent < 0) return;
  const std::string text = ProgressText(ProgressPercent);
  canvas.Brush().Style = bsClear;
  canvas.TextOut(panel.Left + kProgressTextLeft,
                 panel.Top + (panel.Bottom - panel.Top - canvas.TextHeight(text)) / 2, text);
  canvas.Brush().Style = bsSolid;
  canvas.Pen().Color = kProgressFrameColor;
  canvas.Brush().Color = clBtnFace;
  canvas.Rectangle(panel.Left + kProgressFrameLeft, panel.Top + 2, panel.Left + kProgressFrameRight, panel.Bottom - 2);
  canvas.Pen().Color = kProgressBarColor;
  canvas.Brush().Color = kProgressBarColor;
  canvas.Rectangle(panel.Left + kProgressBarLeft, panel.Top + 3, panel.Left + kProgressBarLeft + ProgressPercent,
                   panel.Bottom - 3);
}

// ---- Hints and keys ------------------------------------------------------------------------------

void TMainForm::AppHint(const std::string& hint) { Layout().SetStatusText(0, hint); }

bool TMainForm::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    AppHint(QStringToAnsi(static_cast<QStatusTipEvent*>(event)->tip()));
    return true;
  }
  return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (key->key() == Qt::Key_Escape && widget != nullptr && widget->window() == this && !key->isAutoRepeat()) {
      char character = 27;
      FormKeyPress(character);
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::FormKeyPress(char& Key) {
  if (Key == 27) CancelFlag = 1;
}

// ---- Clipboard -----------------------------------------------------------------------------------

void TMainForm::WMDrawClipboard() {
  TClipboard& clipboard = Clipboard();
  const bool hasBitmap = clipboard.HasFormat(CF_BITMAP);
  const std::optional<std::string> block = clipboardFormat_ != 0 ? clipboard.GetBlock(clipboardFormat_) : std::nullopt;
  const TPasteStates states = PasteStatesOf(hasBitmap, block);
  Commands().EnableCommand(Commands().Edit_Paste, states.Paste);
  Commands().EnableCommand(Commands().Texture_Paste, states.PasteTexture);
  Commands().EnableCommand(Commands().Edit_PasteAsNewSprite, states.PasteAsNewSprite);
}

// ---- Help ----------------------------------------------------------------------------------------

void TMainForm::Contents1Click() { HelpJump("Main_index"); }

void TMainForm::CreateGIFbanner1Click() { HelpJump("CreateAnimatedGIF"); }

void TMainForm::FrequentlyAskedQuestions1Click() { HelpJump("FAQs"); }

void TMainForm::ReadMe1Click() {
  TmpURL->setText(QString::fromStdString(System().ProgramFolder() + "readme.txt"));
  TmpURL->Click();
}

void TMainForm::LicenseAgreement1Click() {
  TmpURL->setText(QString::fromStdString(System().ProgramFolder() + "License.txt"));
  TmpURL->Click();
}

void TMainForm::ZorvanSoftwareHomePage1Click() {
  TmpURL->setText(kHomePage);
  TmpURL->Click();
  TimerRunCheckUpdate.SetEnabled(true);
}

void TMainForm::Scene_CheckForUpgradeNowExecute() {
  Commands().Checknewversion1->setChecked(false);
  Galleries().Checknewversion1Click();
}

void TMainForm::Exit1Click() { close(); }

void TMainForm::File_ExitExecute() { close(); }

void TMainForm::Help_AboutExecute() {
  TAboutBox about(this);
  about.OnWebAddressClick = [this] { TimerRunCheckUpdate.SetEnabled(true); };
  ShowModal(about);
}

// ---- Closing -------------------------------------------------------------------------------------

void TMainForm::closeEvent(QCloseEvent* event) {
  // Every document closes first, each asking to save; one that stays open
  // keeps the program running.
  for (QMdiSubWindow* window : Layout().MdiArea()->subWindowList()) {
    if (!window->close()) {
      event->ignore();
      return;
    }
  }
  FormClose();
  event->accept();
}

void TMainForm::FormClose() {
  if (closed_) return;
  closed_ = true;
  try {
    if (CurrentScene() != nullptr) CurrentScene()->Stop();
  } catch (const std::exception&) {
  }
  disconnect(clipboardConnection_);
  try {
    SettingsArea().SaveSettings();
  } catch (const std::exception&) {
    // Closing always completes.
  }
}
