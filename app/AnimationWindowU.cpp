// The document window itself: creation, the canvas layout, caption and
// modified mark, activation, the scene's messages, dropped files and closing.
#include "app/AnimationWindowU.h"

#include "app/core/SizeLimits.h"
#include "app/core/WindowPlacement.h"
#include "controls/Image.h"
#include "controls/MyCntrl.h"
#include "imaging/utils.h"
#include "platform/CodePages.h"
#include "platform/UiServices.h"
#include "platform/qtui/QtInput.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QScrollArea>
#include <QStyle>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>

const char* const SWrongChecksum = "Wrong checksum.";
const char* const SCannotReadAnimation = "Cannot read animation. Wrong data format.";

namespace {

constexpr int kDefaultSceneWidth = 468;
constexpr int kDefaultSceneHeight = 60;
constexpr int kDefaultStepCount = 100;
constexpr int kDefaultStepTime = 67;
constexpr int kResizeDelay = 200;
constexpr TColor kScrollBoxColor = 0x00FF8000;
constexpr TColor kLime = 0x0000FF00;
constexpr TColor kYellow = 0x0000FFFF;
constexpr TColor kRed = 0x000000FF;
constexpr TColor kBlue = 0x00FF0000;
constexpr int kCanvasBoxShift = 3;
constexpr int kWindowSlack = 20;

const char* const SSpriteBoxHint = "Use arrow keys to drag the sprite or Shift + arrow keys to resize sprite.";

QColor QColorOf(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

void ShowContextMenu(QWidget& widget, QMenu* menu, const QPoint& at) {
  if (menu != nullptr) menu->popup(widget.mapToGlobal(at));
}

}  // namespace

// ---- Creation --------------------------------------------------------------------------------------

TAnimationWindow::TAnimationWindow(TDocumentHost& host, QMdiArea* area)
    : QMdiSubWindow(nullptr), host_(host), handle_([this](TMessage& message) { WndProc(message); }) {
  setObjectName("AnimationWindow");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Untitled");
  resize(480, 300);
  setMinimumSize(160, 60);
  CreateComponents();
  connect(this, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates old, Qt::WindowStates now) {
    if (now.testFlag(Qt::WindowActive) && !old.testFlag(Qt::WindowActive)) FormActivate();
    if (!now.testFlag(Qt::WindowActive) && old.testFlag(Qt::WindowActive)) FormDeactivate();
  });
  FormCreate();
  if (area != nullptr) area->addSubWindow(this);
  show();
  SizeToScene();
  PlaceInWorkspace();
}

TAnimationWindow::~TAnimationWindow() {
  // The sub-window's own destructor still changes its state: this part of
  // the window must not hear of it.
  disconnect(this, &QMdiSubWindow::windowStateChanged, this, nullptr);
  // The host must not keep a document or an undo log that is gone.
  if (host_.ActiveAnimationWindow() == this) host_.SetActiveAnimationWindow(nullptr);
  if (undo_ != nullptr && CurrentUndo == undo_.get()) CurrentUndo = nullptr;
  ResizeTimer.SetEnabled(false);
  if (scene_ != nullptr) scene_->Stop();
  undo_.reset();
  scene_.reset();
  delete tree_.data();
}

void TAnimationWindow::CreateComponents() {
  ScrollBoxAnimation = new QScrollArea(this);
  ScrollBoxAnimation->setObjectName("ScrollBoxAnimation");
  ScrollBoxAnimation->setFrameShape(QFrame::NoFrame);
  ScrollBoxAnimation->setWidgetResizable(false);
  QPalette palette = ScrollBoxAnimation->palette();
  palette.setColor(QPalette::Window, QColorOf(kScrollBoxColor));
  ScrollBoxAnimation->setPalette(palette);
  ScrollBoxAnimation->setBackgroundRole(QPalette::Window);
  canvasArea_ = new QWidget;
  canvasArea_->setObjectName("ScrollBoxAnimationArea");
  canvasArea_->setAutoFillBackground(true);
  canvasArea_->setPalette(palette);
  ScrollBoxAnimation->setWidget(canvasArea_);
  setWidget(ScrollBoxAnimation);

  // Created bottom to top: the picture, the canvas frame, then the controls over it.
  PictureBackground = new TImage(canvasArea_);
  PictureBackground->setObjectName("PictureBackground");

  PanelAnimation = new TSelectionBox(canvasArea_);
  PanelAnimation->setObjectName("PanelAnimation");
  PanelAnimation->SetMoveable(false);
  PanelAnimation->SetRotateable(false);
  PanelAnimation->SetHasProportionalResize(true);
  PanelAnimation->SetHasVertHorResize(true);
  PanelAnimation->SetBoxShift(kCanvasBoxShift);
  PanelAnimation->SetColorOfRotationPoint(kLime);
  PanelAnimation->SetColorOfHorizontalResizeBox(kYellow);
  PanelAnimation->SetColorOfProportionalResizeBox(kRed);
  PanelAnimation->SetShadowColor(clBlack);
  PanelAnimation->OnKeyDown = [this](QObject* sender, WORD& key, TShiftState shift) {
    HiddenEditKeyDown(sender, key, shift);
  };
  PanelAnimation->OnMouseDown = [this](QObject*, TMouseButton button, TShiftState shift, int x, int y) {
    PanelAnimationMouseDown(button, shift, x, y);
  };
  PanelAnimation->OnMouseMove = [this](QObject*, TShiftState shift, int x, int y) {
    PanelAnimationMouseMove(shift, x, y);
  };
  PanelAnimation->OnResized = [this](QObject*) { PanelAnimationResized(); };

  SpriteSelectionBox = new TSelectionBox(canvasArea_);
  SpriteSelectionBox->setObjectName("SpriteSelectionBox");
  SpriteSelectionBox->SetMoveable(true);
  SpriteSelectionBox->SetRotateable(false);
  SpriteSelectionBox->SetHasProportionalResize(true);
  SpriteSelectionBox->SetHasVertHorResize(true);
  SpriteSelectionBox->SetBoxShift(0);
  SpriteSelectionBox->SetColorOfHorizontalResizeBox(kLime);
  SpriteSelectionBox->SetColorOfProportionalResizeBox(clWhite);
  SpriteSelectionBox->SetCaption("First Pos.");
  TFont font = SpriteSelectionBox->Font();
  font.Color = kBlue;
  SpriteSelectionBox->SetFont(font);
  SpriteSelectionBox->SetShadowColor(clWhite);
  SpriteSelectionBox->SetHint(SSpriteBoxHint);
  SpriteSelectionBox->SetShowHint(false);
  SpriteSelectionBox->SetVisible(false);
  SpriteSelectionBox->OnClick = [this](QObject*) { SpriteSelectionBoxClick(); };
  SpriteSelectionBox->OnDblClick = [this](QObject*) { SpriteSelectionBoxDblClick(); };
  SpriteSelectionBox->OnKeyDown = [this](QObject* sender, WORD& key, TShiftState shift) {
    HiddenEditKeyDown(sender, key, shift);
  };
  SpriteSelectionBox->OnMoved = [this](QObject*) { SpriteSelectionBoxMoved(); };
  SpriteSelectionBox->OnResized = [this](QObject*) { SpriteSelectionBoxResized(); };

  LineSelection = new TMotionPath(canvasArea_);
  LineSelection->setObjectName("LineSelection");
  LineSelection->SetCircleType(ctRectangle);
  LineSelection->SetCircleSize(6);
  LineSelection->SetColorOfBeginPoint(clWhite);
  LineSelection->SetColorOfEndPoint(clWhite);
  LineSelection->SetColorOfVector(kBlue);
  LineSelection->SetBottomControl(PanelAnimation);
  LineSelection->SetVisible(false);
  LineSelection->OnMoved = [this](QObject*) { LineSelectionMoved(); };

  MotionPath1 = new TMotionPath(canvasArea_);
  MotionPath1->setObjectName("MotionPath1");
  MotionPath1->SetCircleType(ctCircle);
  MotionPath1->SetCircleSize(8);
  MotionPath1->SetColorOfBeginPoint(kLime);
  MotionPath1->SetColorOfEndPoint(kRed);
  MotionPath1->SetColorOfVector(clBlack);
  MotionPath1->SetBottomControl(PanelAnimation);
  MotionPath1->SetShowHint(true);
  MotionPath1->SetVisible(false);
  MotionPath1->BeginPointClick = [this](QObject*) { MotionPath1BeginPointClick(); };
  MotionPath1->EndPointClick = [this](QObject*) { MotionPath1EndPointClick(); };
  MotionPath1->OnMoved = [this](QObject*) { MotionPath1Moved(); };

  ResizeTimer.SetEnabled(false);
  ResizeTimer.SetInterval(kResizeDelay);
  ResizeTimer.SetOnTimer([this] { host_.RunEntry([this] { ResizeTimerTimer(); }); });

  // The form previews every key (Esc), and a press anywhere activates the document.
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  ScrollBoxAnimation->viewport()->installEventFilter(this);
}

void TAnimationWindow::BarPlayback(TAnimatedScene& scene) {
  TAnimatedScene* playing = &scene;
  // A step that cannot be composed stops the playback: the next would fail too.
  scene.Timer().SetOnTimer([this, playing] {
    host_.RunEntry([this, playing] {
      try {
        playing->NextFrame();
      } catch (...) {
        playing->Stop();
        if (host_.ActiveAnimationWindow() == this && scene_.get() == playing) host_.SetPlayButtonDown(false);
        throw;
      }
    });
  });
}

void TAnimationWindow::CreateScene() {
  scene_ = std::make_unique<TAnimatedScene>(this);
  BarPlayback(*scene_);
  scene_->ResampledStretching = host_.Settings().AntiAliasResample ? 1 : 0;
  scene_->StepCount = kDefaultStepCount;
  scene_->Timer().SetInterval(kDefaultStepTime);
  scene_->NotifyWindow = Handle();
  scene_->Width = kDefaultSceneWidth;
  scene_->Height = kDefaultSceneHeight;
  scene_->SetBackground(false, bgmFillAndPicture, "", clWhite, clWhite, ppCentered, nullptr);
  scene_->SoundEnabled = 0;
}

void TAnimationWindow::CreateTree() {
  auto* tree = new QTreeWidget(host_.Panel_TreeView());
  tree->setObjectName("AnimationTree");
  tree->setHeaderHidden(true);
  tree->setMinimumSize(60, 60);
  tree->setIndentation(19);
  tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree->setVisible(false);
  tree_ = tree;
  host_.AttachTree(*tree);
}

void TAnimationWindow::FormCreate() {
  CreateScene();
  RefreshBackgroundImage();
  modified_ = false;
  CreateTree();
  undo_ = std::make_unique<TWindowUndo>(*this);
  undo_->SetEnabled(host_.Settings().UndoEnabled ? 1 : 0);
  fileName_.clear();
  host_.ShowStepCount(scene_->StepCount);
  host_.RefreshCommandStates();
  HideSelection();
  host_.ShowLoopCount(-1);
  SetCanvasSize(kDefaultSceneWidth, kDefaultSceneHeight);
  UpdateCaption();
  BeginPointEdited = true;
  SizeToScene();
  selectionBusy_ = false;
}

void TAnimationWindow::showEvent(QShowEvent* event) {
  QMdiSubWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TAnimationWindow::FormShow() {
  SpriteSelectionBox->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(SpriteSelectionBox, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { ShowContextMenu(*SpriteSelectionBox, host_.SpritePopupMenu(), at); });
  for (QWidget* widget : {static_cast<QWidget*>(PanelAnimation), static_cast<QWidget*>(canvasArea_)}) {
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, this,
            [this, widget](const QPoint& at) { ShowContextMenu(*widget, host_.ScenePopUpMenu(), at); });
  }
  setAcceptDrops(true);
}

void TAnimationWindow::FormActivate() {
  if (closing_) return;
  host_.SetActiveAnimationWindow(this);
  CurrentUndo = undo_.get();
}

// Big enough for the canvas without scroll bars: the scene plus room for the
// scroll bars, the frame, the canvas border and some slack, in this platform's
// measures.
QSize TAnimationWindow::CanvasWindowSize() const {
  const QStyle* s = style();
  const int scrollBar = s->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  const int frame = s->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
  const int caption = s->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
  const int border = CanvasBorder();
  const int sceneWidth = scene_ != nullptr ? scene_->Width : 0;
  const int sceneHeight = scene_ != nullptr ? scene_->Height : 0;
  return QSize(2 * scrollBar + sceneWidth + 2 * frame + 2 * border + kWindowSlack,
               2 * scrollBar + sceneHeight + 2 * frame + caption + 2 * border + kWindowSlack);
}

// The workspace of the MDI area, when the window is in one that is shown.
std::optional<TSize> TAnimationWindow::Workspace() const {
  const QMdiArea* area = mdiArea();
  if (area == nullptr || !area->isVisible()) return std::nullopt;
  const QSize room = area->viewport()->size();
  return TSize{room.width(), room.height()};
}

// Qt's own arrangements and placement ask the size hint: the canvas size,
// capped to the workspace.
QSize TAnimationWindow::sizeHint() const {
  const QSize wanted = CanvasWindowSize().expandedTo(minimumSize());
  const std::optional<TSize> room = Workspace();
  if (!room) return wanted;
  const TSize fitted = FitToWorkspace({wanted.width(), wanted.height()}, *room);
  return QSize(fitted.cx, fitted.cy).expandedTo(minimumSize());
}

void TAnimationWindow::SizeToScene() {
  if (isMaximized() || isMinimized()) return;
  resize(sizeHint());
}

// Where a new window goes: the free place that covers the other documents least.
void TAnimationWindow::PlaceInWorkspace() {
  const std::optional<TSize> room = Workspace();
  if (!room || isMaximized() || isMinimized()) return;
  std::vector<TRect> others;
  for (const QMdiSubWindow* window : mdiArea()->subWindowList()) {
    if (window == this || !window->isVisible() || window->isMinimized()) continue;
    const QRect g = window->geometry();
    others.push_back(Bounds(g.x(), g.y(), g.width(), g.height()));
  }
  const TPoint at = PlaceNewWindow({width(), height()}, *room, others);
  move(at.X, at.Y);
}

// Half the difference between the canvas frame and its inner box.
int TAnimationWindow::CanvasBorder() const { return (PanelAnimation->Width() - PanelAnimation->BoxWidth()) / 2; }

bool TAnimationWindow::Playing() const {
  return host_.PlayButtonDown() || (scene_ != nullptr && scene_->Timer().Enabled());
}

// ---- Layout --------------------------------------------------------------------------------------------

void TAnimationWindow::SetCanvasSize(int width, int height) {
  PanelAnimation->SetBoxWidth(width);
  PanelAnimation->SetBoxHeight(height);
  ResizeTimer.SetEnabled(false);
  ResizeTimer.SetEnabled(true);
}

void TAnimationWindow::ResizeTimerTimer() {
  ResizeTimer.SetEnabled(false);
  LayoutCanvas();
}

void TAnimationWindow::ScrollBoxAnimationResize() {
  ResizeTimer.SetEnabled(false);
  ResizeTimer.SetEnabled(true);
}

void TAnimationWindow::PanelAnimationResized() { LayoutCanvas(); }

void TAnimationWindow::LayoutCanvas() {
  StopPlayback();
  const QSize client = ScrollBoxAnimation->viewport()->size();
  const TRect before = PanelAnimation->BoundsRect();
  PanelAnimation->SetBounds(std::max(0, (client.width() - PanelAnimation->Width()) / 2),
                            std::max(0, (client.height() - PanelAnimation->Height()) / 2), PanelAnimation->Width(),
                            PanelAnimation->Height());
  PictureBackground->SetBounds(PanelAnimation->BoxLeft(), PanelAnimation->BoxTop(), PanelAnimation->BoxWidth(),
                               PanelAnimation->BoxHeight());
  canvasArea_->resize(std::max(client.width(), PanelAnimation->Left() + PanelAnimation->Width()),
                      std::max(client.height(), PanelAnimation->Top() + PanelAnimation->Height()));

  const int width = PictureBackground->Width();
  const int height = PictureBackground->Height();
  if (width != scene_->Width || height != scene_->Height) {
    try {
      if (width < 1 || height < 1) throw ESizeRefused(SizeRefusedMessage(width, height));
      RequireSavableImageSize(width, height);
    } catch (const ESizeRefused& refused) {
      // The canvas goes back to the scene's size; nothing is saved that cannot be reopened.
      Ui().MessageBox(host_.Handle(), refused.Message(), "Error", MB_ICONERROR);
      SetCanvasSize(scene_->Width, scene_->Height);
      ResumePlayback();
      return;
    }
    // A new canvas size is an edit of the document: one entry takes it back.
    if (undo_ != nullptr) {
      undo_->AddRecord(urkSceneSettings, "Change Animation Size", false, 0, 0, uokSceneSettings,
                       [this](TStream& stream) { scene_->SaveSettings(stream); });
    }
    scene_->Width = width;
    scene_->Height = height;
    SizeBackgroundToScene();
    SetModified(true);
  }
  if (!EqualRect(before, PanelAnimation->BoundsRect())) UpdateSelection();
  ResumePlayback();
}

void TAnimationWindow::SizeBackgroundToScene() {
  scene_->SetBackground(true, 0, "", 0, 0, 0, nullptr);
  PictureBackground->Bitmap().SetSize(scene_->Width, scene_->Height);
  scene_->OutputBitmap = &PictureBackground->Bitmap();
  host_.RequestSceneRecompute();
  host_.ShowSceneSize(scene_->Width, scene_->Height);
}

void TAnimationWindow::FollowSceneSize() {
  if (scene_ == nullptr) return;
  if (PictureBackground->Width() == scene_->Width && PictureBackground->Height() == scene_->Height) return;
  SetCanvasSize(scene_->Width, scene_->Height);
  ResizeTimer.SetEnabled(false);
  LayoutCanvas();
  SizeBackgroundToScene();
}

// ---- Caption and modified mark ----------------------------------------------------------------------

void TAnimationWindow::SetFileName(const std::string& fileName) {
  fileName_ = fileName;
  nameFromOpenedFile_ = false;
}

void TAnimationWindow::UpdateCaption() {
  std::string caption = fileName_.empty() ? std::string("Untitled") : ExtractFileName(fileName_);
  if (modified_) caption += " *";
  setWindowTitle(QString::fromStdString(caption));
}

void TAnimationWindow::SetModified(bool value) {
  if (value == modified_) return;
  modified_ = value;
  if (host_.ActiveAnimationWindow() == this) {
    if (QAction* undoCommand = host_.Edit_Undo()) undoCommand->setEnabled(value);
    // File Save follows the mark at once, whatever edit set it.
    host_.RefreshCommandStates();
  }
  UpdateCaption();
}

// ---- Playback and picture --------------------------------------------------------------------------

void TAnimationWindow::StopPlayback() {
  if (scene_ != nullptr) scene_->Stop();
}

void TAnimationWindow::ResumePlayback() {
  if (!host_.PlayButtonDown() || scene_ == nullptr) return;
  host_.RequestSceneRecompute();
  scene_->Play();
}

void TAnimationWindow::RefreshBackgroundImage() {
  const TUndoRecordingPause pause;
  PictureBackground->Bitmap().Assign(&scene_->BackgroundBitmap);
  scene_->OutputBitmap = &PictureBackground->Bitmap();
  PictureBackground->Repaint();
}

// ---- Messages -------------------------------------------------------------------------------------------

void TAnimationWindow::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_LOADPROGRESS:
      WMLoadProgress(message);
      break;
    case WM_STEPCHANGED:
      WMStepChanged(message);
      break;
    case WM_MOTIONSTEPADDED:
      WMMotionStepAdded(message);
      break;
    default:
      break;
  }
}

void TAnimationWindow::WMLoadProgress(TMessage& message) {
  host_.ShowProgress(static_cast<int>(message.WParam), static_cast<int>(message.LParam));
}

void TAnimationWindow::WMStepChanged(TMessage& message) {
  PictureBackground->Repaint();
  host_.StepChanged(message.WParam, message.LParam);
}

void TAnimationWindow::WMMotionStepAdded(TMessage&) {}

void TAnimationWindow::WMDropFiles(const std::vector<std::string>& fileNames, QPoint windowPoint) {
  if (fileNames.empty()) return;
  if (QMdiArea* area = mdiArea()) area->setActiveSubWindow(this);
  const QPoint inCanvas = canvasArea_->mapFrom(this, windowPoint);
  host_.DropFiles(fileNames, Point(inCanvas.x() - PanelAnimation->BoxLeft(), inCanvas.y() - PanelAnimation->BoxTop()),
                  true);
}

void TAnimationWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TAnimationWindow::dropEvent(QDropEvent* event) {
  std::vector<std::string> fileNames;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) fileNames.push_back(url.toLocalFile().toStdString());
  if (fileNames.empty()) return;
  event->acceptProposedAction();
  WMDropFiles(fileNames, event->position().toPoint());
}

// ---- Keys and clicks --------------------------------------------------------------------------------

void TAnimationWindow::FormKeyDown(WORD& Key, TShiftState) {
  if (Key == VK_ESCAPE) CancelFlag = 1;
}

void TAnimationWindow::ScrollBoxAnimationClick() { HideSelection(); }

bool TAnimationWindow::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      // Key preview: the form sees every key before the control with the focus.
      WORD key = VirtualKeyOf(*static_cast<QKeyEvent*>(event));
      if (key != 0) FormKeyDown(key, ShiftStateOf(static_cast<QKeyEvent*>(event)->modifiers()));
      break;
    }
    case QEvent::MouseButtonPress:
      if (QMdiArea* area = mdiArea(); area != nullptr && area->activeSubWindow() != this)
        area->setActiveSubWindow(this);
      break;
    case QEvent::MouseButtonRelease:
      if (watched == canvasArea_ && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        ScrollBoxAnimationClick();
      break;
    case QEvent::Resize:
      if (watched == ScrollBoxAnimation->viewport()) {
        const QSize client = ScrollBoxAnimation->viewport()->size();
        canvasArea_->resize(std::max(client.width(), canvasArea_->width()),
                            std::max(client.height(), canvasArea_->height()));
        ScrollBoxAnimationResize();
      }
      break;
    default:
      break;
  }
  return QMdiSubWindow::eventFilter(watched, event);
}

// ---- Closing -----------------------------------------------------------------------------------------

bool TAnimationWindow::FormCloseQuery() {
  if (!modified_) return true;
  try {
    const std::string name = fileName_.empty() ? std::string("Untitled.GLM") : Utf8ToAnsi(ExtractFileName(fileName_));
    const int answer = Ui().MessageBox(host_.Handle(), "File " + name + " has been modified. Do you want to save it?",
                                       ProgramName, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return false;
    if (answer == IDYES) {
      Save();
      return !modified_;
    }
    return true;
  } catch (const std::exception& error) {
    // Whatever went wrong, the document is not closed unsaved.
    Ui().MessageBox(host_.Handle(), error.what(), "Error", MB_ICONERROR);
    return false;
  }
}

void TAnimationWindow::FormClose() {
  closing_ = true;
  StopPlayback();
  // Only the active document's closing leaves the host without one.
  if (host_.ActiveAnimationWindow() == this) host_.SetActiveAnimationWindow(nullptr);
  if (CurrentUndo == undo_.get()) CurrentUndo = nullptr;
  undo_.reset();
}

void TAnimationWindow::closeEvent(QCloseEvent* event) {
  if (!closing_ && !FormCloseQuery()) {
    event->ignore();
    return;
  }
  if (!closing_) FormClose();
  QMdiSubWindow::closeEvent(event);
}
