// The main window's panels: the document area, the properties panel with the
// scene tree panel and the property pages (empty containers that their areas
// fill), the time line's controls and the status bar.
#pragma once

#include "app/MainFormArea.h"

#include <string>
#include <vector>

class QDockWidget;
class QLabel;
class QMdiArea;
class QSplitter;
class QStackedWidget;
class QToolBar;
class QTreeWidget;
class QWidget;
class TDigitalDisplay;
class TStatusProgressPanel;
class TTimelineSlider;

// The property pages: 0 "Scene", 1 "Sprite", 2 "Frame", 3 "Motion",
// 4 "Appearance", 5 "Background", 6 "Empty".
enum TPropertyPage : int {
  ppScene = 0, ppSprite = 1, ppFrame = 2, ppMotion = 3, ppAppearance = 4, ppBackground = 5, ppEmpty = 6
};

class TAnimatedScene;
class TAnimationWindow;

class TLayoutArea : public TMainFormArea {
 public:
  explicit TLayoutArea(TMainFormContext& editor);

  // The document area, the properties panel, its pages and the time line's controls.
  void CreatePanels();
  void CreateStatusBar();
  // The step display, the slider and the speed display on the time line's bar.
  void AddTimeLineControls(QToolBar& bar);
  // Once every area has built its pages: the docked panel is as wide as its widest page.
  void FitPropertiesPanelToItsPages();

  QMdiArea* MdiArea() const { return mdiArea_; }
  // The properties panel ("Properties: ..."), docked at the right: the scene
  // tree panel above, the property pages below.
  QDockWidget* PanelProperties() const { return panelProperties_; }
  QSplitter* Splitter_Properties() const { return splitterProperties_; }
  // The panel that holds the window's own tree and every document's tree.
  QWidget* Panel_TreeView() const { return panelTreeView_; }
  // The window's own tree, shown while no document is active.
  QTreeWidget* AnimationTree() const { return animationTree_; }
  QStackedWidget* Notebook_Properties() const { return notebookProperties_; }
  // A property page: an empty container with a vertical layout that its area fills.
  QWidget* PropertyPage(int index) const;
  // Puts content on a property page: right after `after` when that is on the
  // page, otherwise last, above the stretch that closes the page.
  void AddToPropertyPage(int index, QWidget* content, QWidget* after = nullptr) const;
  // On the frame page: 0 picture, 1 text, 2 shape, 3 line.
  QStackedWidget* NotebookFramePreview() const { return notebookFramePreview_; }
  // On the motion page: 0 motion, 1 opacity, 2 shadow.
  QStackedWidget* Notebook_Size_Opacity() const { return notebookSizeOpacity_; }
  // The time line's step display, speed display and slider.
  TDigitalDisplay* CurrentStep() const { return currentStep_; }
  TDigitalDisplay* StepPerSecond() const { return stepPerSecond_; }
  TTimelineSlider* StepsTrackBar() const { return stepsTrackBar_; }
  // The status bar: 0 hints, 1 the pointer's place on the canvas, 2 progress.
  QLabel* StatusPanel0() const { return statusPanel0_; }
  QLabel* StatusPanel1() const { return statusPanel1_; }
  TStatusProgressPanel* StatusPanel2() const { return statusPanel2_; }
  // Sets the text of a status panel (0 or 1).
  void SetStatusText(int panel, const std::string& text);
  // The open document that shows a scene (nullptr: none does); the scene is
  // only compared, so a document that was closed is not found.
  TAnimationWindow* DocumentOfScene(const TAnimatedScene* scene) const;

 private:
  QMdiArea* mdiArea_ = nullptr;
  QDockWidget* panelProperties_ = nullptr;
  QSplitter* splitterProperties_ = nullptr;
  QWidget* panelTreeView_ = nullptr;
  QTreeWidget* animationTree_ = nullptr;
  QStackedWidget* notebookProperties_ = nullptr;
  std::vector<QWidget*> propertyPages_;
  QStackedWidget* notebookFramePreview_ = nullptr;
  QStackedWidget* notebookSizeOpacity_ = nullptr;
  TDigitalDisplay* currentStep_ = nullptr;
  TDigitalDisplay* stepPerSecond_ = nullptr;
  TTimelineSlider* stepsTrackBar_ = nullptr;
  QLabel* statusPanel0_ = nullptr;
  QLabel* statusPanel1_ = nullptr;
  TStatusProgressPanel* statusPanel2_ = nullptr;
};
