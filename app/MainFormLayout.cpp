// The main window's panels: the document area, the properties panel with the
// scene tree panel and the property pages (empty containers that their areas
// fill), the time line's controls and the status bar.
#include "app/MainFormLayout.h"

#include "app/MainFormActions.h"
#include "app/MainFormU.h"
#include "app/MainFormActions.h"

#include "app/AnimationWindowU.h"
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
#include <QMdiSubWindow>
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

TLayoutArea::TLayoutArea(TMainFormContext& editor) : TMainFormArea(editor) {}

void TLayoutArea::CreatePanels() {
  mdiArea_ = new QMdiArea(&Window());
  mdiArea_->setObjectName("MdiArea");
  mdiArea_->setBackground(QColor(128, 128, 128));  // the application workspace
  Window().setCentralWidget(mdiArea_);

  panelProperties_ = new QDockWidget("Properties: ", &Window());
  panelProperties_->setObjectName("PanelProperties");
  panelProperties_->setAllowedAreas(Qt::RightDockWidgetArea);  // only the right bar takes the panel
  panelProperties_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                               QDockWidget::DockWidgetFloatable);

  splitterProperties_ = new QSplitter(Qt::Vertical, panelProperties_);
  splitterProperties_->setObjectName("Splitter_Properties");
  splitterProperties_->setChildrenCollapsible(false);

  // The tree panel: the form's own tree now, every document's tree later.
  panelTreeView_ = new QWidget(splitterProperties_);
  panelTreeView_->setObjectName("Panel_TreeView");
  auto* treeLayout = new QVBoxLayout(panelTreeView_);
  treeLayout->setContentsMargins(0, 0, 0, 0);
  animationTree_ = new QTreeWidget(panelTreeView_);
  animationTree_->setObjectName("AnimationTree");
  animationTree_->setHeaderHidden(true);
  animationTree_->setMinimumSize(kTreeMinimumHeight, kTreeMinimumHeight);
  treeLayout->addWidget(animationTree_);
  splitterProperties_->addWidget(panelTreeView_);

  auto* pagesArea = new QScrollArea(splitterProperties_);
  pagesArea->setObjectName("PropertiesScrollBox");
  pagesArea->setWidgetResizable(true);
  pagesArea->setFrameShape(QFrame::NoFrame);
  notebookProperties_ = MakeNotebook(pagesArea, "Notebook_Properties");
  for (const char* name : {"Scene", "Sprite", "Frame", "Motion", "Appearance", "Background", "Empty"})
    propertyPages_.push_back(AddPage(notebookProperties_, name));
  pagesArea->setWidget(notebookProperties_);
  splitterProperties_->addWidget(pagesArea);
  splitterProperties_->setStretchFactor(0, 2);
  splitterProperties_->setStretchFactor(1, 3);
  splitterProperties_->setSizes({220, 330});

  notebookFramePreview_ = MakeNotebook(PropertyPage(ppFrame), "NotebookFramePreview");
  for (const char* name : {"PicturePreview", "TextPreview", "ShapePreview", "LinePreview"})
    AddPage(notebookFramePreview_, name);
  PropertyPage(ppFrame)->layout()->addWidget(notebookFramePreview_);

  notebookSizeOpacity_ = MakeNotebook(PropertyPage(ppMotion), "Notebook_Size_Opacity");
  for (const char* name : {"MotionPage", "OpacityPage", "ShadowPage"}) AddPage(notebookSizeOpacity_, name);
  PropertyPage(ppMotion)->layout()->addWidget(notebookSizeOpacity_);

  for (int page = 0; page < notebookProperties_->count(); ++page)
    static_cast<QVBoxLayout*>(PropertyPage(page)->layout())->addStretch(1);
  notebookProperties_->setCurrentIndex(ppEmpty);

  panelProperties_->setWidget(splitterProperties_);
  panelProperties_->setMinimumWidth(220);
  Window().addDockWidget(Qt::RightDockWidgetArea, panelProperties_);
  Window().resizeDocks({panelProperties_}, {kPropertiesWidth}, Qt::Horizontal);

  // The time line's displays and slider, placed on the tool bar by CreateToolBars.
  currentStep_ = new TDigitalDisplay(&Window());
  currentStep_->setObjectName("CurrentStep");
  currentStep_->SetCaption(StepDisplayText(1));
  ShowOnBlack(*currentStep_);
  currentStep_->SetHint("Current Step|The step shown; click to go to another step");
  stepPerSecond_ = new TDigitalDisplay(&Window());
  stepPerSecond_->setObjectName("StepPerSecond");
  ShowOnBlack(*stepPerSecond_);
  stepPerSecond_->SetHint("Steps per Second|The speed of the playing animation");
  stepPerSecond_->SetVisible(false);  // shown while the animation plays
  stepsTrackBar_ = new TTimelineSlider(&Window());
  stepsTrackBar_->setObjectName("StepsTrackBar");
  stepsTrackBar_->SetHint("Time Line|Drag the slider to go to a step");
  stepsTrackBar_->setFixedWidth(kSliderWidth);
}

QWidget* TLayoutArea::PropertyPage(int index) const {
  return index >= 0 && index < static_cast<int>(propertyPages_.size()) ? propertyPages_[static_cast<std::size_t>(index)]
                                                                       : nullptr;
}

void TLayoutArea::AddToPropertyPage(int index, QWidget* content, QWidget* after) const {
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

void TLayoutArea::FitPropertiesPanelToItsPages() {
  auto* pagesArea = Window().findChild<QScrollArea*>("PropertiesScrollBox");
  if (pagesArea == nullptr) return;
  const int pages = notebookProperties_->minimumSizeHint().width() +
                    pagesArea->verticalScrollBar()->sizeHint().width() + 2 * pagesArea->frameWidth();
  Window().resizeDocks({panelProperties_}, {std::max(kPropertiesWidth, pages)}, Qt::Horizontal);
}

void TLayoutArea::AddTimeLineControls(QToolBar& bar) {
  const int displayHeight = TDigitalDisplay::kCellHeight;
  bar.addWidget(Centred(&bar, currentStep_, 6 * TDigitalDisplay::kCellWidth, displayHeight));
  stepsTrackBar_->setParent(&bar);
  stepsTrackBar_->setFixedHeight(kToolIconSize + 8);
  bar.addWidget(stepsTrackBar_);
  bar.addWidget(
      Centred(&bar, stepPerSecond_, 5 * TDigitalDisplay::kCellWidth, displayHeight));
}

// ---- Status bar ---------------------------------------------------------------------------------

void TLayoutArea::CreateStatusBar() {
  QStatusBar* bar = Window().statusBar();
  bar->setObjectName("StatusBar1");
  bar->setSizeGripEnabled(true);
  statusPanel0_ = new QLabel("Help String", bar);
  statusPanel0_->setObjectName("StatusPanel0");
  statusPanel0_->setMinimumWidth(200);
  statusPanel1_ = new QLabel("25, 50", bar);
  statusPanel1_->setObjectName("StatusPanel1");
  statusPanel1_->setFixedWidth(60);
  statusPanel2_ = new TStatusProgressPanel(bar);
  statusPanel2_->setObjectName("StatusPanel2");
  statusPanel2_->setFixedWidth(kProgressPanelWidth);
  bar->addPermanentWidget(statusPanel0_, 1);
  bar->addPermanentWidget(statusPanel1_);
  bar->addPermanentWidget(statusPanel2_);
}

void TLayoutArea::SetStatusText(int panel, const std::string& text) {
  if (panel == 0) statusPanel0_->setText(AnsiToQString(text));
  if (panel == 1) statusPanel1_->setText(AnsiToQString(text));
}

TAnimationWindow* TLayoutArea::DocumentOfScene(const TAnimatedScene* scene) const {
  if (scene == nullptr) return nullptr;
  for (QMdiSubWindow* child : mdiArea_->subWindowList()) {
    auto* window = qobject_cast<TAnimationWindow*>(child);
    if (window != nullptr && window->Scene() == scene) return window;
  }
  return nullptr;
}
