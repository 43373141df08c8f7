// The main window's file commands, the autosave tick, files dropped on the main window or a document, the Window
// menu (tiling, cascading, the list of documents) and the docking of the
// tool bars and the properties panel.
#include "app/MainFormFiles.h"
#include "app/MainFormActions.h"
#include "app/MainFormLayout.h"
#include "app/MainFormSettings.h"
#include "app/MainFormTree.h"
#include "app/MainFormU.h"

#include "app/AnimationWindowU.h"
#include "app/MainFormIcons.h"
#include "app/core/TreeCommands.h"
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
  explicit TMainWindowDropFilter(std::function<void(const std::vector<std::string>&)> dropped)
      : dropped_(std::move(dropped)) {}

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
      if (!fileNames.empty()) dropped_(fileNames);
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void(const std::vector<std::string>&)> dropped_;
};

constexpr const char* kDockedSizeProperty = "Tag";

bool IsProjectFile(const std::string& fileName) { return UpperCaseAscii(ExtractFileExt(fileName)) == ".GLM"; }

}  // namespace

// ---- Creation -----------------------------------------------------------------------------------------

TFilesArea::TFilesArea(TMainFormContext& editor) : TMainFormArea(editor) {}

TFilesArea::~TFilesArea() = default;

void TFilesArea::FormCreateFiles() {
  SetUpTimer(autosaveTimer_, AutosaveMilliseconds(kDefaultAutosaveMinutes), [this] { AutosaveTimerTimer(); });
  TCommandSet& c = Commands();
  c.SetCommandHandler(c.File_Open, [this] { File_Open_Execute(); });
  c.SetCommandHandler(c.File_Save, [this] { File_SaveExecute(); });
  c.SetCommandHandler(c.Window_Tile_Horizontal, [this] { Window_Tile_HorizontalExecute(); });
  c.SetCommandHandler(c.Window_Tile_Vertical, [this] { Window_Tile_VerticalExecute(); });
  c.SetCommandHandler(c.Window_Cascade, [this] { Window_CascadeExecute(); });
  c.SetCommandHandler(c.Show_Properties_Window, [this] { Show_Properties_WindowExecute(); });
  c.SetCommandHandler(c.Show_Insert_Delete_Buttons, [this] { Show_Insert_Delete_ButtonsExecute(); });
  c.SetCommandHandler(c.Show_MainButtons, [this] { Show_MainButtonsExecute(); });
  c.SetCommandHandler(c.Show_TimeLine, [this] { Show_TimeLineExecute(); });

  // The dock rules decide which bar each tool bar and the panel may join;
  // each bar remembers its length as made.
  for (QToolBar* bar : {c.ToolBarMainButtons, c.ToolBarTimeLine, c.ToolBar_Sprite_Buttons}) {
    const QSize made = bar->sizeHint();
    bar->setProperty(kDockedSizeProperty, bar->orientation() == Qt::Horizontal ? made.width() : made.height());
    Qt::ToolBarAreas areas;
    if (CoolBarTopMainDockOver(bar)) areas |= Qt::TopToolBarArea;
    if (CoolBarLeftDockOver(bar)) areas |= Qt::LeftToolBarArea;
    bar->setAllowedAreas(areas);
    connect(bar, &QToolBar::topLevelChanged, this, [this, bar] { ToolBarMainButtonsEndDock(bar); });
  }
  QDockWidget* panel = Layout().PanelProperties();
  panel->setAllowedAreas(CoolBarRightDockOver(panel) ? Qt::RightDockWidgetArea : Qt::NoDockWidgetArea);
  CreatePropertiesCaption();
  connect(panel, &QDockWidget::topLevelChanged, this, [this] { PanelPropertiesEndDock(); });

  windowListSeparator_ = c.Window1->addSeparator();
  windowListSeparator_->setVisible(false);
  connect(c.Window1, &QMenu::aboutToShow, this, [this] { RebuildWindowList(); });

  Window().setAcceptDrops(true);
  mainDropFilter_ = std::make_unique<TMainWindowDropFilter>(
      [this](const std::vector<std::string>& fileNames) { WMDropFiles(fileNames); });
  Window().installEventFilter(mainDropFilter_.get());
}

// The panel's caption bar: "Properties: ..." with the dock and close buttons.
void TFilesArea::CreatePropertiesCaption() {
  QDockWidget* panel = Layout().PanelProperties();
  auto* caption = new QWidget(panel);
  caption->setObjectName("PanelPropertiesCaption");
  auto* layout = new QHBoxLayout(caption);
  layout->setContentsMargins(4, 1, 1, 1);
  auto* title = new QLabel(panel->windowTitle(), caption);
  title->setObjectName("PanelPropertiesTitle");
  // A long caption (a scene's whole path) is cut at the panel's edge rather than
  // widening the docked panel over the documents; the whole text is its tooltip.
  title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  connect(panel, &QDockWidget::windowTitleChanged, title, [title](const QString& text) {
    title->setText(text);
    title->setToolTip(text);
  });
  layout->addWidget(title, 1);
  dockPropertiesButton_ = new QToolButton(caption);
  dockPropertiesButton_->setObjectName("DockPropertiesButton");
  dockPropertiesButton_->setCheckable(true);
  dockPropertiesButton_->setChecked(true);
  dockPropertiesButton_->setAutoRaise(true);
  dockPropertiesButton_->setIcon(Window().style()->standardIcon(QStyle::SP_TitleBarNormalButton));
  dockPropertiesButton_->setToolTip("Dock or float the properties window");
  connect(dockPropertiesButton_, &QToolButton::clicked, this, [this] { DockPropertiesButtonClick(); });
  layout->addWidget(dockPropertiesButton_);
  auto* close = new QToolButton(caption);
  close->setObjectName("ToolButton_CloseProperties");
  close->setAutoRaise(true);
  close->setIcon(Window().style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  close->setToolTip("Close the properties window");
  connect(close, &QToolButton::clicked, this, [this] { ToolButton_ClosePropertiesClick(); });
  layout->addWidget(close);
  panel->setTitleBarWidget(caption);
}

void TFilesArea::FormShowFiles() {
  for (QToolBar* bar : {Commands().ToolBarMainButtons, Commands().ToolBarTimeLine, Commands().ToolBar_Sprite_Buttons})
    ToolBarMainButtonsEndDock(bar);
}

// ---- Open, Save and autosave ----------------------------------------------------------------------------

void TFilesArea::File_NewExecute() {
  new TAnimationWindow(Form(), Layout().MdiArea());  // it frees itself when closed
  Tree().RebuildAnimationTree();
  Tree().SelectTreeNode(-1, 2);
}

void TFilesArea::OpenInNewDocument(const std::string& fileName) {
  auto* window = new TAnimationWindow(Form(), Layout().MdiArea());  // it frees itself when closed
  Tree().RebuildAnimationTree();
  Tree().SelectTreeNode(-1, 2);
  try {
    window->LoadFromFile(fileName);
  } catch (const std::exception&) {
    // Already shown to the user by the window.
  }
}

void TFilesArea::OpenStartupFile(const std::string& fileName) {
  try {
    ActiveAnimationWindow()->LoadFromFile(fileName);
  } catch (const std::exception&) {
    // The document window has told the user already.
  }
}

void TFilesArea::File_Open_Execute() {
  const std::optional<FileDialogResult> chosen = Ui().ChooseOpenFile(SettingsArea().OpenDialog1());
  if (!chosen) return;
  SettingsArea().OpenDialog1().initialDir = ExtractFilePath(chosen->fileName);
  OpenInNewDocument(chosen->fileName);
}

void TFilesArea::File_SaveExecute() {
  if (CurrentScene() != nullptr && ActiveAnimationWindow() != nullptr) ActiveAnimationWindow()->Save();
}

// Autosave waits while a dialog or a long operation runs, and never asks
// for a name: an untitled document is left alone.
void TFilesArea::AutosaveTimerTimer() {
  if (QApplication::activeModalWidget() != nullptr || Form().ProgressPercent >= 0) return;
  TAnimationWindow* window = ActiveAnimationWindow();
  if (window == nullptr || !window->Modified() || window->FileName().empty()) return;
  window->Save();
}

void TFilesArea::ApplyUndoAndResampling() {
  for (QMdiSubWindow* child : Layout().MdiArea()->subWindowList()) {
    auto* window = qobject_cast<TAnimationWindow*>(child);
    if (window == nullptr) continue;
    // Switching undo off discards the history; the document stays as
    // modified as it was and the Undo command follows the emptied log.
    if (window->Undo() != nullptr) window->Undo()->SetEnabled(UserSettings().UndoEnabled ? 1 : 0);
    if (window->Scene() != nullptr) window->Scene()->ResampledStretching = UserSettings().AntiAliasResample ? 1 : 0;
  }
}

// ---- Dropped files ------------------------------------------------------------------------------------

void TFilesArea::WMDropFiles(const std::vector<std::string>& fileNames) { DropFiles(fileNames, TPoint{0, 0}, false); }

// Every drop, on the main window or on a document, comes here: the one
// barrier of dropped files.
void TFilesArea::DropFiles(const std::vector<std::string>& fileNames, TPoint scenePoint, bool addAsSprite) {
  RunEntry([&] { OpenOrAddDroppedFiles(fileNames, scenePoint, addAsSprite); });
}

void TFilesArea::OpenOrAddDroppedFiles(const std::vector<std::string>& fileNames, TPoint scenePoint,
                                       bool addAsSprite) {
  if (fileNames.empty()) return;
  const std::string& fileName = fileNames.front();
  if (IsProjectFile(fileName)) {
    OpenInNewDocument(fileName);
    return;
  }
  if (!addAsSprite || ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr) return;
  AddDroppedSprite(fileName, scenePoint);
}

// Any other file becomes a new sprite of the active document, held at the drop point.
void TFilesArea::AddDroppedSprite(const std::string& fileName, TPoint scenePoint) {
  TAnimationWindow* window = ActiveAnimationWindow();
  TTreeArea& tree = Tree();
  TAddedItem added;
  {
    const TBusyCursor busy;
    // The tree is not driven while the sprite is being made; the flag is
    // cleared on every way out.
    struct TAdding {
      TTreeArea& tree;
      ~TAdding() { tree.SetTreeChangeRunning(false); }
    } adding{tree};
    tree.SetTreeChangeRunning(true);
    window->StopPlayback();
    added = AddDroppedPictureSprite(
        *CurrentScene(), scenePoint,
        [&](TSprite& sprite) {
          tree.SetCurrentSprite(&sprite);
          return window->AddPictureFileFrames(fileName);
        },
        [&] { tree.DetachCurrentSprite(); });
    if (added.Sprite != nullptr) {
      QTreeWidgetItem* root = tree.ShownTree()->topLevelItem(0);
      const std::vector<QTreeWidgetItem*> sprites = tree.SpriteNodes();
      if (sprites.empty() && root != nullptr && root->childCount() > 0)
        tree.AddSpriteNode(added.Sprite, root->child(root->childCount() - 1), true);
      else if (!sprites.empty())
        tree.AddSpriteNode(added.Sprite, sprites.front(), false);
    }
  }
  if (added.Sprite == nullptr) {
    tree.SetCurrentSprite(nullptr);
    tree.SelectTreeNode(-1, 2);
    tree.AnimationTreeChange();
    window->ResumePlayback();
    return;
  }
  tree.SelectTreeNode(added.SpriteIndex, 1);
  PostMessage(Handle(), WM_ITEMADDED, 0, added.Sprite->FrameCount() - 1);
  if (added.Sprite->FrameCount() == 1) RequestSceneRecompute();
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

void TFilesArea::Window_Tile_HorizontalExecute() { TileDocuments(*Layout().MdiArea(), true); }

void TFilesArea::Window_Tile_VerticalExecute() { TileDocuments(*Layout().MdiArea(), false); }

// Down a diagonal, one title bar apart, the front window staying in front.
void TFilesArea::Window_CascadeExecute() {
  const std::vector<QMdiSubWindow*> windows = ArrangedWindows(*Layout().MdiArea(), QMdiArea::StackingOrder);
  const QStyle* style = Window().style();
  const int step = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, Layout().MdiArea()) +
                   style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, Layout().MdiArea());
  ApplyBoxes(windows, CascadeWindows(WantedSizes(windows), WorkspaceOf(*Layout().MdiArea()), step));
  for (QMdiSubWindow* window : windows) window->raise();
}

// The documents at the end of the Window menu, "&1 name" ..., the active one checked.
void TFilesArea::RebuildWindowList() {
  for (QAction* item : windowListItems_) {
    Commands().Window1->removeAction(item);
    item->deleteLater();
  }
  windowListItems_.clear();
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
    item->setChecked(document == ActiveAnimationWindow());
    const QPointer<TAnimationWindow> target(document);
    connect(item, &QAction::triggered, this, [this, target] {
      if (target != nullptr) Layout().MdiArea()->setActiveSubWindow(target);
    });
    Commands().Window1->addAction(item);
    windowListItems_.push_back(item);
  }
  windowListSeparator_->setVisible(!windowListItems_.empty());
}

// ---- Docking --------------------------------------------------------------------------------------------

// The top bar takes the tool bars, never the properties panel.
bool TFilesArea::CoolBarTopMainDockOver(QWidget* control) const { return control != Layout().PanelProperties(); }

// The left bar takes neither the properties panel nor the time line.
bool TFilesArea::CoolBarLeftDockOver(QWidget* control) const {
  return control != Layout().PanelProperties() && control != Commands().ToolBarTimeLine;
}

// The right bar takes only the properties panel.
bool TFilesArea::CoolBarRightDockOver(QWidget* control) const { return control == Layout().PanelProperties(); }

int TFilesArea::ToolBarDockedSize(const QToolBar* bar) { return bar->property(kDockedSizeProperty).toInt(); }

// A docked tool bar is never shorter than it was made and is one row of
// buttons thick; a floating one has no limits.
void TFilesArea::ToolBarMainButtonsEndDock(QToolBar* bar) {
  bar->setMinimumSize(0, 0);
  bar->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  if (bar->isFloating()) return;
  switch (Window().toolBarArea(bar)) {
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

void TFilesArea::PanelPropertiesEndDock() { dockPropertiesButton_->setChecked(!Layout().PanelProperties()->isFloating()); }

// Down docks the panel at the right with its width; up floats it at the
// pointer with its size.
void TFilesArea::DockPropertiesButtonClick() {
  if (dockPropertiesButton_->isChecked()) {
    int width = Layout().PanelProperties()->width();
    Layout().PanelProperties()->setFloating(false);
    Window().addDockWidget(Qt::RightDockWidgetArea, Layout().PanelProperties());
    Splitter_PropertiesCanResize(width);
  } else {
    const QSize size = Layout().PanelProperties()->size();
    Layout().PanelProperties()->setFloating(true);
    Layout().PanelProperties()->setGeometry(QRect(QCursor::pos(), size));
  }
  dockPropertiesButton_->setChecked(!Layout().PanelProperties()->isFloating());
}

void TFilesArea::Show_Properties_WindowExecute() {
  int width = Layout().PanelProperties()->width();
  Layout().PanelProperties()->show();
  Layout().PanelProperties()->setFloating(false);
  Window().addDockWidget(Qt::RightDockWidgetArea, Layout().PanelProperties());
  dockPropertiesButton_->setChecked(true);
  Splitter_PropertiesCanResize(width);
}

// Everything docked at the right takes the proposed width, at least the
// panel's minimum.
void TFilesArea::Splitter_PropertiesCanResize(int& newSize) {
  newSize = std::max(newSize, Layout().PanelProperties()->minimumWidth());
  QList<QDockWidget*> bands;
  for (QDockWidget* dock : Window().findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly))
    if (!dock->isFloating() && Window().dockWidgetArea(dock) == Qt::RightDockWidgetArea) bands.push_back(dock);
  if (!bands.isEmpty()) Window().resizeDocks(bands, QList<int>(bands.size(), newSize), Qt::Horizontal);
}

void TFilesArea::PlaceToolBar(QToolBar* bar, Qt::ToolBarArea area) {
  Window().addToolBar(area, bar);
  bar->show();
  ToolBarMainButtonsEndDock(bar);
}

void TFilesArea::Show_Insert_Delete_ButtonsExecute() { PlaceToolBar(Commands().ToolBar_Sprite_Buttons, Qt::LeftToolBarArea); }

void TFilesArea::Show_MainButtonsExecute() { PlaceToolBar(Commands().ToolBarMainButtons, Qt::TopToolBarArea); }

void TFilesArea::Show_TimeLineExecute() { PlaceToolBar(Commands().ToolBarTimeLine, Qt::TopToolBarArea); }

void TFilesArea::ToolButton_ClosePropertiesClick() { Layout().PanelProperties()->hide(); }

