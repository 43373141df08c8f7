// The main window's file commands (New is in MainFormDocuments.cpp), the
// autosave tick, files dropped on the main window or a document, the Window
// menu (tiling, cascading, the list of documents) and the docking of the
// tool bars and the properties panel.
#include "app/MainFormU.h"
#include "app/MainFormActions.h"
#include "app/MainFormLayout.h"
#include "app/MainFormSettings.h"

#include "app/AnimationWindowU.h"
#include "app/MainFormIcons.h"
#include "app/core/WindowPlacement.h"
#include "controls/UTimelineSlider.h"
#include "platform/SysUtils.h"
#include "scene/Moving.h"
#include "scene/Sprite.h"
#include "scene/Undo.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>

namespace {

// Passes the local files dropped on the main window to its handler.
class TMainWindowDropFilter : public QObject {
 public:
  explicit TMainWindowDropFilter(TMainForm& form) : form_(form) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::DragEnter) {
      auto* enter = static_cast<QDragEnterEvent*>(event);
      if (enter->mimeData()->hasUrls()) enter->acceptProposedAction();
      return true;
    }
    if (event->type() == QEvent::Drop) {
      auto* drop = static_cast<QDropEvent*>(event);
      std::vector<std::string> fileNames;
      for (const QUrl& url : drop->mimeData()->urls())
        if (url.isLocalFile()) fileNames.push_back(url.toLocalFile().toStdString());
      drop->acceptProposedAction();
      if (!fileNames.empty()) form_.WMDropFiles(fileNames);
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  TMainForm& form_;
};

constexpr const char* kDockedSizeProperty = "Tag";

bool IsProjectFile(const std::string& fileName) { return UpperCaseAscii(ExtractFileExt(fileName)) == ".GLM"; }

}  // namespace

// ---- Creation -----------------------------------------------------------------------------------------

void TMainForm::FormCreateTreeFiles() {
  Commands().SetCommandHandler(Commands().File_Open, [this] { File_Open_Execute(); });
  Commands().SetCommandHandler(Commands().File_Save, [this] { File_SaveExecute(); });
  Commands().SetCommandHandler(Commands().Window_Tile_Horizontal, [this] { Window_Tile_HorizontalExecute(); });
  Commands().SetCommandHandler(Commands().Window_Tile_Vertical, [this] { Window_Tile_VerticalExecute(); });
  Commands().SetCommandHandler(Commands().Window_Cascade, [this] { Window_CascadeExecute(); });
  Commands().SetCommandHandler(Commands().Show_Properties_Window, [this] { Show_Properties_WindowExecute(); });
  Commands().SetCommandHandler(Commands().Show_Insert_Delete_Buttons, [this] { Show_Insert_Delete_ButtonsExecute(); });
  Commands().SetCommandHandler(Commands().Show_MainButtons, [this] { Show_MainButtonsExecute(); });
  Commands().SetCommandHandler(Commands().Show_TimeLine, [this] { Show_TimeLineExecute(); });
  CreatePopupMenus();

  // The dock rules decide which bar each tool bar and the panel may join;
  // each bar remembers its length as made.
  for (QToolBar* bar : {Commands().ToolBarMainButtons, Commands().ToolBarTimeLine, Commands().ToolBar_Sprite_Buttons}) {
    const QSize made = bar->sizeHint();
    bar->setProperty(kDockedSizeProperty, bar->orientation() == Qt::Horizontal ? made.width() : made.height());
    Qt::ToolBarAreas areas;
    if (CoolBarTopMainDockOver(bar)) areas |= Qt::TopToolBarArea;
    if (CoolBarLeftDockOver(bar)) areas |= Qt::LeftToolBarArea;
    bar->setAllowedAreas(areas);
    connect(bar, &QToolBar::topLevelChanged, this, [this, bar] { ToolBarMainButtonsEndDock(bar); });
  }
  Layout().PanelProperties()->setAllowedAreas(CoolBarRightDockOver(Layout().PanelProperties()) ? Qt::RightDockWidgetArea
                                                                          : Qt::NoDockWidgetArea);

  // The panel's caption bar: "Properties: ..." with the dock and close buttons.
  auto* caption = new QWidget(Layout().PanelProperties());
  caption->setObjectName("PanelPropertiesCaption");
  auto* layout = new QHBoxLayout(caption);
  layout->setContentsMargins(4, 1, 1, 1);
  auto* title = new QLabel(Layout().PanelProperties()->windowTitle(), caption);
  title->setObjectName("PanelPropertiesTitle");
  // A long caption (a scene's whole path) is cut at the panel's edge rather than
  // widening the docked panel over the documents; the whole text is its tooltip.
  title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  connect(Layout().PanelProperties(), &QDockWidget::windowTitleChanged, title, [title](const QString& text) {
    title->setText(text);
    title->setToolTip(text);
  });
  layout->addWidget(title, 1);
  DockPropertiesButton = new QToolButton(caption);
  DockPropertiesButton->setObjectName("DockPropertiesButton");
  DockPropertiesButton->setCheckable(true);
  DockPropertiesButton->setChecked(true);
  DockPropertiesButton->setAutoRaise(true);
  DockPropertiesButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarNormalButton));
  DockPropertiesButton->setToolTip("Dock or float the properties window");
  connect(DockPropertiesButton, &QToolButton::clicked, this, [this] { DockPropertiesButtonClick(); });
  layout->addWidget(DockPropertiesButton);
  ToolButton_CloseProperties = new QToolButton(caption);
  ToolButton_CloseProperties->setObjectName("ToolButton_CloseProperties");
  ToolButton_CloseProperties->setAutoRaise(true);
  ToolButton_CloseProperties->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  ToolButton_CloseProperties->setToolTip("Close the properties window");
  connect(ToolButton_CloseProperties, &QToolButton::clicked, this, [this] { ToolButton_ClosePropertiesClick(); });
  layout->addWidget(ToolButton_CloseProperties);
  Layout().PanelProperties()->setTitleBarWidget(caption);
  connect(Layout().PanelProperties(), &QDockWidget::topLevelChanged, this, [this] { PanelPropertiesEndDock(); });

  windowListSeparator_ = Commands().Window1->addSeparator();
  windowListSeparator_->setVisible(false);
  connect(Commands().Window1, &QMenu::aboutToShow, this, [this] { RebuildWindowList(); });

  setAcceptDrops(true);
  mainDropFilter_ = std::make_unique<TMainWindowDropFilter>(*this);
  installEventFilter(mainDropFilter_.get());
}

void TMainForm::FormShowTree() {
  for (QToolBar* bar : {Commands().ToolBarMainButtons, Commands().ToolBarTimeLine, Commands().ToolBar_Sprite_Buttons}) ToolBarMainButtonsEndDock(bar);
}

// ---- Open, Save and autosave ----------------------------------------------------------------------------

// A project opened into a new document window. A file that cannot be read
// leaves that window untitled; the window has told the user.
void TMainForm::OpenInNewDocument(const std::string& fileName) {
  auto* window = new TAnimationWindow(*this, Layout().MdiArea());  // it frees itself when closed
  RebuildAnimationTree();
  SelectTreeNode(-1, 2);
  try {
    window->LoadFromFile(fileName);
  } catch (const std::exception&) {
    // Already shown to the user by the window.
  }
}

void TMainForm::File_Open_Execute() {
  const std::optional<FileDialogResult> chosen = Ui().ChooseOpenFile(SettingsArea().OpenDialog1());
  if (!chosen) return;
  SettingsArea().OpenDialog1().initialDir = ExtractFilePath(chosen->fileName);
  OpenInNewDocument(chosen->fileName);
}

void TMainForm::File_SaveExecute() {
  if (CurrentScene() != nullptr && activeWindow_ != nullptr) activeWindow_->Save();
}

// Autosave waits while a dialog or a long operation runs, and never asks
// for a name: an untitled document is left alone.
void TMainForm::AutosaveTimerTimer() {
  if (QApplication::activeModalWidget() != nullptr || ProgressPercent >= 0) return;
  if (activeWindow_ == nullptr || !activeWindow_->Modified() || activeWindow_->FileName().empty()) return;
  activeWindow_->Save();
}

// ---- Dropped files ------------------------------------------------------------------------------------

void TMainForm::WMDropFiles(const std::vector<std::string>& fileNames) { DropFiles(fileNames, TPoint{0, 0}, false); }

// Every drop, on the main window or on a document, comes here: the one
// barrier of dropped files.
void TMainForm::DropFiles(const std::vector<std::string>& fileNames, TPoint scenePoint, bool addAsSprite) {
  RunEntry([&] { OpenOrAddDroppedFiles(fileNames, scenePoint, addAsSprite); });
}

void TMainForm::OpenOrAddDroppedFiles(const std::vector<std::string>& fileNames, TPoint scenePoint,
                                      bool addAsSprite) {
  if (fileNames.empty()) return;
  const std::string& fileName = fileNames.front();
  if (IsProjectFile(fileName)) {
    OpenInNewDocument(fileName);
    return;
  }
  if (!addAsSprite || activeWindow_ == nullptr || CurrentScene() == nullptr) return;

  TAnimationWindow* window = activeWindow_;
  TAnimatedScene* scene = CurrentScene();
  int index = 0;
  TSprite* sprite = nullptr;
  bool added = false;
  {
    const TBusyCursor busy;
    // The tree is not driven while the sprite is being made; the flag is
    // cleared on every way out.
    struct TAdding {
      bool& flag;
      ~TAdding() { flag = false; }
    } adding{TreeChangeRunning};
    TreeChangeRunning = true;
    window->StopPlayback();
    {
      // The sprite and its frames are recorded as one "Add Sprite" once the
      // picture was read.
      const TUndoRecordingPause pause;
      sprite = scene->AddSprite(index);
      SetCurrentSprite(sprite);
      try {
        added = window->AddPictureFileFrames(fileName);
      } catch (const std::exception&) {
        added = false;
      }
      if (added && sprite->Motion().StepCount() == 0) {
        TMoving& motion = sprite->Motion();
        TMovingStep& step = motion.Step(motion.AddStep());
        TMovingStepValues values = step.Values();
        // A held sprite stands at its start point.
        values.StartX = values.X1 = scenePoint.X;
        values.StartY = values.Y1 = scenePoint.Y;
        motion.SetStep(step, values, sprite);
      }
    }
    if (!added) {
      DetachCurrentSprite();
      scene->ExtractSprite(index);  // freed here, with whatever frames it got
    } else {
      RecordUndo(urkSpriteList, "Add Sprite", false, index, sprite->Id, uokAddedSprite, nullptr);
      QTreeWidgetItem* root = ShownTree()->topLevelItem(0);
      const std::vector<QTreeWidgetItem*> sprites = SpriteNodes();
      if (sprites.empty() && root != nullptr && root->childCount() > 0)
        AddSpriteNode(sprite, root->child(root->childCount() - 1), true);
      else if (!sprites.empty())
        AddSpriteNode(sprite, sprites.front(), false);
    }
  }
  if (!added) {
    SetCurrentSprite(nullptr);
    SelectTreeNode(-1, 2);
    AnimationTreeChange();
    window->ResumePlayback();
    return;
  }
  SelectTreeNode(index, 1);
  PostMessage(Handle(), WM_ITEMADDED, 0, sprite->FrameCount() - 1);
  if (sprite->FrameCount() == 1) RequestSceneRecompute();
  RefreshCommandStates();
}

// ---- The Window menu ------------------------------------------------------------------------------------

namespace {

std::vector<QMdiSubWindow*> ArrangedWindows(QMdiArea& area, QMdiArea::WindowOrder order) {
  std::vector<QMdiSubWindow*> windows;
  for (QMdiSubWindow* window : area.subWindowList(order))
    if (window->isVisible() && !window->isMinimized()) windows.push_back(window);
  return windows;
}

// The size each window keeps when arranged: a document's canvas size.
std::vector<TSize> WantedSizes(const std::vector<QMdiSubWindow*>& windows) {
  std::vector<TSize> sizes;
  for (QMdiSubWindow* window : windows) {
    const auto* document = qobject_cast<TAnimationWindow*>(window);
    const QSize wanted = document != nullptr ? document->CanvasWindowSize() : window->sizeHint();
    const QSize size = wanted.expandedTo(window->minimumSize());
    sizes.push_back({size.width(), size.height()});
  }
  return sizes;
}

TSize WorkspaceOf(const QMdiArea& area) { return {area.viewport()->width(), area.viewport()->height()}; }

void ApplyBoxes(const std::vector<QMdiSubWindow*>& windows, const std::vector<TRect>& boxes) {
  for (std::size_t i = 0; i < windows.size(); ++i) {
    windows[i]->showNormal();
    windows[i]->setGeometry(boxes[i].Left, boxes[i].Top, boxes[i].Width(), boxes[i].Height());
  }
}

void TileDocuments(QMdiArea& area, bool horizontal) {
  const std::vector<QMdiSubWindow*> windows = ArrangedWindows(area, QMdiArea::CreationOrder);
  ApplyBoxes(windows, TileWindows(WantedSizes(windows), WorkspaceOf(area), horizontal));
}

}  // namespace

void TMainForm::Window_Tile_HorizontalExecute() { TileDocuments(*Layout().MdiArea(), true); }

void TMainForm::Window_Tile_VerticalExecute() { TileDocuments(*Layout().MdiArea(), false); }

// Down a diagonal, one title bar apart, the front window staying in front.
void TMainForm::Window_CascadeExecute() {
  const std::vector<QMdiSubWindow*> windows = ArrangedWindows(*Layout().MdiArea(), QMdiArea::StackingOrder);
  const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, Layout().MdiArea()) +
                   style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, Layout().MdiArea());
  ApplyBoxes(windows, CascadeWindows(WantedSizes(windows), WorkspaceOf(*Layout().MdiArea()), step));
  for (QMdiSubWindow* window : windows) window->raise();
}

// The documents at the end of the Window menu, "&1 name" ..., the active one checked.
void TMainForm::RebuildWindowList() {
  for (QAction* item : WindowListItems) {
    Commands().Window1->removeAction(item);
    item->deleteLater();
  }
  WindowListItems.clear();
  const QList<QMdiSubWindow*> windows = Layout().MdiArea()->subWindowList(QMdiArea::CreationOrder);
  int number = 0;
  for (QMdiSubWindow* window : windows) {
    auto* document = qobject_cast<TAnimationWindow*>(window);
    if (document == nullptr) continue;
    ++number;
    QString title = document->windowTitle();
    auto* item = new QAction(QString("&%1 %2").arg(number).arg(title.replace("&", "&&")), Commands().Window1);
    item->setObjectName(QString("WindowListItem%1").arg(number));
    item->setCheckable(true);
    item->setChecked(document == activeWindow_);
    const QPointer<TAnimationWindow> target(document);
    connect(item, &QAction::triggered, this, [this, target] {
      if (target != nullptr) Layout().MdiArea()->setActiveSubWindow(target);
    });
    Commands().Window1->addAction(item);
    WindowListItems.push_back(item);
  }
  windowListSeparator_->setVisible(!WindowListItems.empty());
}

// ---- Docking --------------------------------------------------------------------------------------------

// The top bar takes the tool bars, never the properties panel.
bool TMainForm::CoolBarTopMainDockOver(QWidget* control) const { return control != Layout().PanelProperties(); }

// The left bar takes neither the properties panel nor the time line.
bool TMainForm::CoolBarLeftDockOver(QWidget* control) const {
  return control != Layout().PanelProperties() && control != Commands().ToolBarTimeLine;
}

// The right bar takes only the properties panel.
bool TMainForm::CoolBarRightDockOver(QWidget* control) const { return control == Layout().PanelProperties(); }

int TMainForm::ToolBarDockedSize(const QToolBar* bar) { return bar->property(kDockedSizeProperty).toInt(); }

// A docked tool bar is never shorter than it was made and is one row of
// buttons thick; a floating one has no limits.
void TMainForm::ToolBarMainButtonsEndDock(QToolBar* bar) {
  bar->setMinimumSize(0, 0);
  bar->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  if (bar->isFloating()) return;
  switch (toolBarArea(bar)) {
    case Qt::TopToolBarArea:
      bar->setOrientation(Qt::Horizontal);
      bar->setMinimumWidth(ToolBarDockedSize(bar));
      bar->setMaximumHeight(bar->sizeHint().height());
      break;
    case Qt::LeftToolBarArea:
      bar->setOrientation(Qt::Vertical);
      bar->setMinimumHeight(ToolBarDockedSize(bar));
      bar->setMaximumWidth(bar->sizeHint().width());
      break;
    default:
      break;
  }
}

void TMainForm::PanelPropertiesEndDock() { DockPropertiesButton->setChecked(!Layout().PanelProperties()->isFloating()); }

// Down docks the panel at the right with its width; up floats it at the
// pointer with its size.
void TMainForm::DockPropertiesButtonClick() {
  if (DockPropertiesButton->isChecked()) {
    int width = Layout().PanelProperties()->width();
    Layout().PanelProperties()->setFloating(false);
    addDockWidget(Qt::RightDockWidgetArea, Layout().PanelProperties());
    Splitter_PropertiesCanResize(width);
  } else {
    const QSize size = Layout().PanelProperties()->size();
    Layout().PanelProperties()->setFloating(true);
    Layout().PanelProperties()->setGeometry(QRect(QCursor::pos(), size));
  }
  DockPropertiesButton->setChecked(!Layout().PanelProperties()->isFloating());
}

void TMainForm::Show_Properties_WindowExecute() {
  int width = Layout().PanelProperties()->width();
  Layout().PanelProperties()->show();
  Layout().PanelProperties()->setFloating(false);
  addDockWidget(Qt::RightDockWidgetArea, Layout().PanelProperties());
  DockPropertiesButton->setChecked(true);
  Splitter_PropertiesCanResize(width);
}

// Everything docked at the right takes the proposed width, at least the
// panel's minimum.
void TMainForm::Splitter_PropertiesCanResize(int& newSize) {
  newSize = std::max(newSize, Layout().PanelProperties()->minimumWidth());
  QList<QDockWidget*> bands;
  for (QDockWidget* dock : findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly))
    if (!dock->isFloating() && dockWidgetArea(dock) == Qt::RightDockWidgetArea) bands.push_back(dock);
  if (!bands.isEmpty()) resizeDocks(bands, QList<int>(bands.size(), newSize), Qt::Horizontal);
}

void TMainForm::ShowPropertiesPanel() { Show_Properties_WindowExecute(); }

void TMainForm::PlaceToolBar(QToolBar* bar, Qt::ToolBarArea area) {
  addToolBar(area, bar);
  bar->show();
  ToolBarMainButtonsEndDock(bar);
}

void TMainForm::Show_Insert_Delete_ButtonsExecute() { PlaceToolBar(Commands().ToolBar_Sprite_Buttons, Qt::LeftToolBarArea); }

void TMainForm::Show_MainButtonsExecute() { PlaceToolBar(Commands().ToolBarMainButtons, Qt::TopToolBarArea); }

void TMainForm::Show_TimeLineExecute() { PlaceToolBar(Commands().ToolBarTimeLine, Qt::TopToolBarArea); }

void TMainForm::ToolButton_ClosePropertiesClick() { Layout().PanelProperties()->hide(); }

