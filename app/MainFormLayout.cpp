// The main window's panels: the document area, the properties panel with the
// scene tree panel and the property pages (empty containers that their areas
// fill), the time line's controls and the status bar.
#include "app/MainFormU.h"
#include "app/MainFormActions.h"

#include "app/MainFormIcons.h"
#include "app/StatusProgressPanel.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/UTimelineSlider.h"
#include "platform/CodePages.h"
#include "platform/qtui/QtHints.h"

#include <algorithm>

#include <QApplication>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kPropertiesWidth = 290;
constexpr int kTreeMinimumHeight = 60;
constexpr int kSliderWidth = 420;
// Status panel 2 holds the progress text and a bar 100 pixels long.
constexpr int kProgressPanelWidth = 170;

// A page: an empty container with a vertical layout for its area's controls.
QWidget* AddPage(QStackedWidget* notebook, const char* name) {
  auto* page = new QWidget(notebook);
  page->setObjectName(name);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  notebook->addWidget(page);
  return page;
}

QStackedWidget* MakeNotebook(QWidget* parent, const char* name) {
  auto* notebook = new QStackedWidget(parent);
  notebook->setObjectName(name);
  return notebook;
}

// A read-out on black, its blank cells included: the digits' pictures are
// black already, so the label's own background is set as well.
void ShowOnBlack(TDigitalDisplay& display) {
  display.TCustomLabel::SetColor(clBlack);
  display.SetColor(clBlack);
}

}  // namespace

void TMainForm::CreatePanels() {
  MdiArea = new QMdiArea(this);
  MdiArea->setObjectName("MdiArea");
  MdiArea->setBackground(QColor(128, 128, 128));  // the application workspace
  setCentralWidget(MdiArea);

  PanelProperties = new QDockWidget("Properties: ", this);
  PanelProperties->setObjectName("PanelProperties");
  PanelProperties->setAllowedAreas(Qt::RightDockWidgetArea);  // only the right bar takes the panel
  PanelProperties->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                               QDockWidget::DockWidgetFloatable);

  Splitter_Properties = new QSplitter(Qt::Vertical, PanelProperties);
  Splitter_Properties->setObjectName("Splitter_Properties");
  Splitter_Properties->setChildrenCollapsible(false);

  // The tree panel: the form's own tree now, every document's tree later.
  panelTreeView_ = new QWidget(Splitter_Properties);
  panelTreeView_->setObjectName("Panel_TreeView");
  auto* treeLayout = new QVBoxLayout(panelTreeView_);
  treeLayout->setContentsMargins(0, 0, 0, 0);
  AnimationTree = new QTreeWidget(panelTreeView_);
  AnimationTree->setObjectName("AnimationTree");
  AnimationTree->setHeaderHidden(true);
  AnimationTree->setMinimumSize(kTreeMinimumHeight, kTreeMinimumHeight);
  treeLayout->addWidget(AnimationTree);
  Splitter_Properties->addWidget(panelTreeView_);

  auto* pagesArea = new QScrollArea(Splitter_Properties);
  pagesArea->setObjectName("PropertiesScrollBox");
  pagesArea->setWidgetResizable(true);
  pagesArea->setFrameShape(QFrame::NoFrame);
  Notebook_Properties = MakeNotebook(pagesArea, "Notebook_Properties");
  for (const char* name : {"Scene", "Sprite", "Frame", "Motion", "Appearance", "Background", "Empty"})
    propertyPages_.push_back(AddPage(Notebook_Properties, name));
  pagesArea->setWidget(Notebook_Properties);
  Splitter_Properties->addWidget(pagesArea);
  Splitter_Properties->setStretchFactor(0, 2);
  Splitter_Properties->setStretchFactor(1, 3);
  Splitter_Properties->setSizes({220, 330});

  NotebookFramePreview = MakeNotebook(PropertyPage(ppFrame), "NotebookFramePreview");
  for (const char* name : {"PicturePreview", "TextPreview", "ShapePreview", "LinePreview"})
    AddPage(NotebookFramePreview, name);
  PropertyPage(ppFrame)->layout()->addWidget(NotebookFramePreview);

  Notebook_Size_Opacity = MakeNotebook(PropertyPage(ppMotion), "Notebook_Size_Opacity");
  for (const char* name : {"MotionPage", "OpacityPage", "ShadowPage"}) AddPage(Notebook_Size_Opacity, name);
  PropertyPage(ppMotion)->layout()->addWidget(Notebook_Size_Opacity);

  for (int page = 0; page < Notebook_Properties->count(); ++page)
    static_cast<QVBoxLayout*>(PropertyPage(page)->layout())->addStretch(1);
  Notebook_Properties->setCurrentIndex(ppEmpty);

  PanelProperties->setWidget(Splitter_Properties);
  PanelProperties->setMinimumWidth(220);
  addDockWidget(Qt::RightDockWidgetArea, PanelProperties);
  resizeDocks({PanelProperties}, {kPropertiesWidth}, Qt::Horizontal);

  // The time line's displays and slider, placed on the tool bar by CreateToolBars.
  CurrentStep = new TDigitalDisplay(this);
  CurrentStep->setObjectName("CurrentStep");
  CurrentStep->SetCaption(StepDisplayText(1));
  ShowOnBlack(*CurrentStep);
  CurrentStep->SetHint("Current Step|The step shown; click to go to another step");
  StepPerSecond = new TDigitalDisplay(this);
  StepPerSecond->setObjectName("StepPerSecond");
  ShowOnBlack(*StepPerSecond);
  StepPerSecond->SetHint("Steps per Second|The speed of the playing animation");
  StepPerSecond->SetVisible(false);  // shown while the animation plays
  StepsTrackBar = new TTimelineSlider(this);
  StepsTrackBar->setObjectName("StepsTrackBar");
  StepsTrackBar->SetHint("Time Line|Drag the slider to go to a step");
  StepsTrackBar->setFixedWidth(kSliderWidth);
}

// Qt passes the focus of a control that is hidden along the focus chain,
// which runs from the properties panel into the document windows: the first
// one reached would be activated, and the command that switched the page
// (an Undo, an add) would go on in the wrong document.
bool TMainForm::focusNextPrevChild(bool next) {
  QWidget* focus = QApplication::focusWidget();
  if (focus != nullptr && !focus->isVisible() && PanelProperties != nullptr && PanelProperties->isAncestorOf(focus)) {
    QWidget* tree = ShownTree();
    if (tree != nullptr && tree->isVisible())
      tree->setFocus(Qt::OtherFocusReason);
    else
      setFocus(Qt::OtherFocusReason);
    return true;
  }
  return QMainWindow::focusNextPrevChild(next);
}

QWidget* TMainForm::PropertyPage(int index) const {
  return index >= 0 && index < static_cast<int>(propertyPages_.size()) ? propertyPages_[static_cast<std::size_t>(index)]
                                                                       : nullptr;
}

void TMainForm::AddToPropertyPage(int index, QWidget* content, QWidget* after) const {
  QWidget* page = PropertyPage(index);
  auto* layout = page != nullptr ? qobject_cast<QVBoxLayout*>(page->layout()) : nullptr;
  if (layout == nullptr) return;
  const int afterIndex = after != nullptr ? layout->indexOf(after) : -1;
  layout->insertWidget(afterIndex >= 0 ? afterIndex + 1 : layout->count() - 1, content);
}

namespace {

// Holds a display at its own size, centred on the tool bar's height.
QWidget* Centred(QWidget* parent, QWidget* control, int width, int height) {
  auto* box = new QWidget(parent);
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(4, 0, 4, 0);
  control->setParent(box);
  control->setFixedSize(width, height);
  layout->addWidget(control, 0, Qt::AlignVCenter);
  return box;
}

}  // namespace

void TMainForm::FitPropertiesPanelToItsPages() {
  auto* pagesArea = findChild<QScrollArea*>("PropertiesScrollBox");
  if (pagesArea == nullptr) return;
  const int pages = Notebook_Properties->minimumSizeHint().width() +
                    pagesArea->verticalScrollBar()->sizeHint().width() + 2 * pagesArea->frameWidth();
  resizeDocks({PanelProperties}, {std::max(kPropertiesWidth, pages)}, Qt::Horizontal);
}

void TMainForm::AddTimeLineControls() {
  const int displayHeight = TDigitalDisplay::kCellHeight;
  Commands().ToolBarTimeLine->addWidget(Centred(Commands().ToolBarTimeLine, CurrentStep, 6 * TDigitalDisplay::kCellWidth, displayHeight));
  StepsTrackBar->setParent(Commands().ToolBarTimeLine);
  StepsTrackBar->setFixedHeight(kToolIconSize + 8);
  Commands().ToolBarTimeLine->addWidget(StepsTrackBar);
  Commands().ToolBarTimeLine->addWidget(
      Centred(Commands().ToolBarTimeLine, StepPerSecond, 5 * TDigitalDisplay::kCellWidth, displayHeight));
}

// ---- Status bar ---------------------------------------------------------------------------------

void TMainForm::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("StatusBar1");
  bar->setSizeGripEnabled(true);
  StatusPanel0 = new QLabel("Help String", bar);
  StatusPanel0->setObjectName("StatusPanel0");
  StatusPanel0->setMinimumWidth(200);
  StatusPanel1 = new QLabel("25, 50", bar);
  StatusPanel1->setObjectName("StatusPanel1");
  StatusPanel1->setFixedWidth(60);
  StatusPanel2 = new TStatusProgressPanel(bar);
  StatusPanel2->setObjectName("StatusPanel2");
  StatusPanel2->setFixedWidth(kProgressPanelWidth);
  StatusPanel2->OnDrawPanel = [this](TCanvas& canvas, const TRect& panel) { StatusBar1DrawPanel(canvas, panel); };
  bar->addPermanentWidget(StatusPanel0, 1);
  bar->addPermanentWidget(StatusPanel1);
  bar->addPermanentWidget(StatusPanel2);
}

void TMainForm::SetStatusText(int panel, const std::string& text) {
  if (panel == 0) StatusPanel0->setText(AnsiToQString(text));
  if (panel == 1) StatusPanel1->setText(AnsiToQString(text));
}
