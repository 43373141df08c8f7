// The export wizard ("Export to the "<name>" file"): the modal window that
// turns the active scene into an animated GIF, a series of BMP or JPEG files
// or an AVI video. Its pages, by format:
//   GIF: interval and size -> palette -> frames reduction -> frames -> Finish
//   JPG: interval and size -> JPEG quality -> Finish
//   BMP, AVI: interval and size -> Finish
// The work is the export engine's (dialogs/core/ExportEngine.h): the wizard
// fills the engine's settings from its controls, runs its steps with the
// progress page shown, and lets the frames page edit the engine's frames
// (dialogs/core/ExportFrameList.h) before Finish writes them.
//
// The main window's export command opens it with one call, after its
// "Export" save dialog:
//   TExportWizardLinks links;
//   links.RequestSceneRecompute = [this] { RequestSceneRecompute(); };
//   RunExportWizard(this, scene, exportSettings, fileName, filterIndex, links);
// which creates the wizard, gives it the name, shows it modally and frees it.
//
// The implementation spans ExportFrmU.cpp (creation, pages, progress,
// Finish), ExportFrmLayout.cpp (the components and their places),
// ExportFrmFrames.cpp (the frames page) and ExportFrmForms.cpp (the forms
// the pages open).
#pragma once

#include "controls/GraphicControl.h"
#include "dialogs/core/ExportEngine.h"
#include "dialogs/core/ExportFrameList.h"
#include "dialogs/core/ExportProgress.h"
#include "platform/Messages.h"
#include "platform/ModalForms.h"
#include "platform/Timer.h"
#include "platform/UiServices.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QToolButton;
class TAnimatedScene;
class TBitmapButton;
class TDigitalDisplay;
class TDrawGrid;
class TGauge;
class TImage;
class TRadioGroup;
class TSelectionBox;
class TSizeLink;
class TSpinEdit;
class TTrackBar;

// The export name the main window gives the wizard for the "Export" save
// dialog's file type: 1 GIF, 2 BMP, 3 AVI, 4 JPEG replace the extension by
// ".gif", ".bmp", ".avi" or ".jpg"; any other type leaves the name as it is.
std::string ExportFileNameOfFormat(const std::string& fileName, int format);

// What the main window lends the wizard; each may stay unset.
struct TExportWizardLinks {
  // Recomputes and redraws the scene after an export step put it back.
  std::function<void()> RequestSceneRecompute;
  // The main window's picture open dialog for frames to insert (see
  // TExportFrm::OpenFrameDlg).
  std::function<std::vector<std::string>(const FileDialogRequest& request)> OpenFrameDlg;
  // The text colour of the main window's step display, for the frame number.
  std::optional<TColor> StepDisplayColor;
};

// The export command's wizard in one call: the wizard over the scene for the
// name chosen in the "Export" dialog with its file type (format 1 GIF, 2 BMP,
// 3 AVI, 4 JPEG; see ExportFileNameOfFormat), shown modally and freed.
// Settings are the export choices the main window keeps while it runs.
// mrOk when the output was written, mrCancel otherwise.
TModalResult RunExportWizard(QWidget* owner, TAnimatedScene& scene, TExportSettings& settings,
                             const std::string& fileName, int format, const TExportWizardLinks& links = {});

class TExportFrm : public QDialog, public TExportProgress {
  Q_OBJECT

 public:
  // Pages of Notebook1 and of NotebookProgress.
  enum TPage { pgSizeInterval = 0, pgPalette = 1, pgFramesReduction = 2, pgFrames = 3, pgJPEG = 4 };
  enum TBottomPage { bpButtons = 0, bpProgress = 1 };

  // Works on the scene (stepped and put back, never changed) and on the
  // export settings the main window keeps.
  TExportFrm(QWidget* owner, TAnimatedScene& scene, TExportSettings& settings);
  ~TExportFrm() override;

  // ---- What the caller sets before showing ----
  // The output file name; its extension chooses the format when the wizard
  // is shown (none appends ".gif").
  void SetExportFileName(const std::string& fileName) { exportFileName_ = fileName; }
  const std::string& ExportFileName() const { return exportFileName_; }
  // Asks the main window to recompute and redraw the scene after an export step.
  std::function<void()> RequestSceneRecompute;
  // The main window's picture open dialog for frames to insert: shows the
  // request and returns every file chosen (none when cancelled). Unset, a
  // picture open dialog of the wizard's own is used.
  std::function<std::vector<std::string>(const FileDialogRequest& request)> OpenFrameDlg;
  // The colour of the main window's step display, taken by CurMovieFrame.
  void SetStepDisplayColor(TColor color);

  // ---- State ----
  TExportEngine& Engine() { return engine_; }
  TExportFrameList& FrameList() { return frameList_; }
  TExportFormat Format() const { return engine_.Format(); }
  int Page() const;
  int BottomPage() const;
  // The frame of the selected grid row (row - 1), -1 without one.
  int SelectedFrame() const;
  // True while a long step (frame creation, the GIF pipeline, writing) runs.
  bool Busy() const { return busy_ > 0; }

  // ---- The wizard's components ----
  QStackedWidget* Notebook1 = nullptr;
  QStackedWidget* NotebookProgress = nullptr;
  QWidget* Panel_Bottom = nullptr;
  QPushButton* PreviousBtn = nullptr;
  QPushButton* NextBtn = nullptr;
  QPushButton* FinishButton = nullptr;
  QPushButton* CloseBtn = nullptr;
  QPushButton* HelpBtn = nullptr;
  TGauge* Gauge1 = nullptr;
  QLabel* ProgressLabel = nullptr;
  TTimer HideProgressTimer;

  // Page "Size_Interval".
  QCheckBox* WholeAnimationCheckBox = nullptr;
  QLabel* FirstStepLabel = nullptr;
  TSpinEdit* FirstStep = nullptr;
  QLabel* NumbOfFramesLabel = nullptr;
  TSpinEdit* StepSpinEdit = nullptr;
  TTrackBar* StepTrackBar = nullptr;
  QLabel* FirstFrameLabel = nullptr;
  QLabel* MaxLabel = nullptr;
  QPushButton* PreviewFirstButton = nullptr;
  QPushButton* PreviewLastButton = nullptr;
  TSpinEdit* WidthPixels = nullptr;
  TSpinEdit* HeightPixels = nullptr;
  TSpinEdit* PercentOfStretch = nullptr;
  TSpinEdit* PercentOfHeight = nullptr;
  QCheckBox* MaintainRatio = nullptr;
  TRadioGroup* TypeOfResizeRadio = nullptr;

  // Page "Palette".
  TSpinEdit* ColorsSpinEdit = nullptr;
  QLabel* LabelNumbOfColors = nullptr;
  TRadioGroup* PaletteRadioGroup = nullptr;
  QPushButton* LoadPalBtn = nullptr;

  // Page "Frames_Reduction".
  QCheckBox* ShrinkCheckBox = nullptr;
  QCheckBox* RemovePixelsCheckBox = nullptr;
  QCheckBox* RemoveFramesCheckBox = nullptr;

  // Page "Frames".
  QScrollArea* GridScrollBox = nullptr;
  TDrawGrid* GIF_PicturesGrid = nullptr;
  QToolButton* AddImage_ToolButton = nullptr;
  QToolButton* UpBtn = nullptr;
  QToolButton* DownBtn = nullptr;
  QToolButton* DelFrame = nullptr;
  QToolButton* EditPaletteButton = nullptr;
  QCheckBox* TransparencyCheckBox = nullptr;
  TBitmapButton* ImageColorPanel = nullptr;
  QToolButton* PickUpTransparentColorButton = nullptr;
  QToolButton* ButtonSetAlColor = nullptr;
  TSpinEdit* StepsPerFrameEdit = nullptr;
  QToolButton* ButtonSetAllDuration = nullptr;
  TSpinEdit* XPosSpinEdit = nullptr;
  TSpinEdit* YPosSpinEdit = nullptr;
  QToolButton* SetXCoordinateButton = nullptr;
  QToolButton* SetYCoordinateButton = nullptr;
  QComboBox* RestoreMethodComboBox = nullptr;
  QToolButton* SetToAllRestoreButton = nullptr;
  QCheckBox* InterlacedCheckBox = nullptr;
  QToolButton* SetAllInterlacedButton = nullptr;
  // The player's panel, inside a scroll box: it is at least as large as the
  // output (with the outline around it), so a large frame can be scrolled to.
  QScrollArea* PlayerScrollBox = nullptr;
  QWidget* PanelSpriteMowing = nullptr;
  TImage* ImageMoving = nullptr;
  TSelectionBox* BordersBox = nullptr;
  TDigitalDisplay* CurMovieFrame = nullptr;
  QToolButton* BackBtn = nullptr;
  QToolButton* PrevBtn = nullptr;
  QToolButton* PlayBtn = nullptr;
  QToolButton* StopBtn = nullptr;
  QToolButton* NextFrameBtn = nullptr;
  QLabel* ColorLabel = nullptr;
  QFrame* Color_Panel = nullptr;
  QLabel* GIFFileSizeLabel = nullptr;
  QLabel* ChangedSizedLabel = nullptr;
  QLabel* TimeOptimizedLabel = nullptr;
  QPushButton* RecalculateSizeButton = nullptr;
  TTimer TimerMoving;

  // Page "JPEG".
  TSpinEdit* QualitySpin = nullptr;
  TTrackBar* QualityTrackBar = nullptr;
  QCheckBox* CalculateSizeCheckBox = nullptr;
  QWidget* JPEGSizePanel = nullptr;
  QLabel* JPEGSizeLabel = nullptr;
  QWidget* JPGTimePanel = nullptr;
  QLabel* JPGTimeLabel = nullptr;
  QScrollArea* Panel_PreviewJPG = nullptr;
  TImage* PreviewJPGImage = nullptr;
  TTimer CalculateTimer;

  // ---- Handlers ----
  void FormCreate();
  void FormShow();
  void FormClose();
  // Esc (27): sets the cancel flag while a long step runs, else closes.
  void FormKeyPress(char& key);
  // F1 (112): help.
  void FormKeyDown(WORD& key);
  void NextBtnClick();
  void PreviousBtnClick();
  void Notebook1PageChanged();
  void FinishButtonClick();
  void CloseBtnClick();
  void HelpBtnClick();
  void HideProgressTimerTimer();
  void WholeAnimationCheckBoxClick();
  void FirstStepChange();
  void StepSpinEditChange();
  void StepTrackBarChange();
  void PreviewFirstButtonClick();
  void PreviewLastButtonClick();
  void WidthPixelsChange();
  void HeightPixelsChange();
  void PercentOfStretchChange();
  void PercentOfHeightChange();
  void TypeOfResizeRadioClick();
  void PaletteRadioGroupClick();
  void ColorsSpinEditChange();
  void LoadPalBtnClick();
  void ShrinkCheckBoxClick();
  void RemovePixelsCheckBoxClick();
  void RemoveFramesCheckBoxClick();
  void QualitySpinChange();
  void QualityTrackBarChange();
  void CalculateSizeCheckBoxClick();
  void CalculateTimerTimer();
  // Window message 1003: (position, total).
  void WMImageProgress(TMessage& message);

  // ---- Steps ----
  // Renders the interval into the frame list at the chosen size.
  void CreateFrames();
  // The GIF pipeline behind Next on the reductions page (false) and
  // "&Recalculate" (true); false when it was cancelled or failed.
  bool BuildGifFrames(bool recalculateOnly);
  // The progress display (TExportProgress).
  void SetProgress(int done, int total) override;
  void ShowLabel(const std::string& text) override;
  // Renders one step at the output size; with showWindow, shows it in the
  // "Preview" window.
  void PreviewStep(int step, TBitmap& picture, bool showWindow);
  void CalculateJpegSize();

  // ---- The frames page (ExportFrmFrames.cpp) ----
  void GIF_PicturesGridClick();
  void GIF_PicturesGridDrawCell(int col, int row, const TRect& rect, unsigned state);
  void GIF_PicturesGridKeyDown(WORD& key);
  void AddImage_ToolButtonClick();
  void DelFrameClick();
  void UpBtnClick();
  void DownBtnClick();
  void EditPaletteButtonClick();
  void TransparencyCheckBoxClick();
  void ImageColorPanelClick();
  void PickUpTransparentColorButtonClick();
  void ButtonSetAlColorClick();
  void StepsPerFrameEditChange();
  void ButtonSetAllDurationClick();
  void XPosSpinEditChange();
  void YPosSpinEditChange();
  void SetXCoordinateButtonClick();
  void SetYCoordinateButtonClick();
  void RestoreMethodComboBoxChange();
  void SetToAllRestoreButtonClick();
  void InterlacedCheckBoxClick();
  void SetAllInterlacedButtonClick();
  void ImageMovingMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void ImageMovingMouseMove(TShiftState shift, int x, int y);
  void PanelSpriteMowingResize();
  void TimerMovingTimer();
  void PlayBtnClick();
  void StopBtnClick();
  void BackBtnClick();
  void PrevBtnClick();
  void NextFrameBtnClick();
  void RecalculateSizeButtonClick();
  void RefreshFrameGrid();
  void UpdateFrameControls();
  void SetCurrentFrame(int index);
  void ShowPlayerFrame(bool outline);
  void ShowComposedFrame(int index);
  void SetFrameTransparency(TColor color, bool switchOn, int paletteIndex, int pickY, int pickX);
  // Appends the frames of a picture, GIF or AVI file; the export name stays.
  void InsertImageFile(const std::string& fileName);
  // Asks which frames of a video to insert (the image interval dialog).
  bool ChooseVideoFrames(const std::string& fileName, int frameCount, int& first, int& count);

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 public:
  void done(int result) override;
  void reject() override;

 private:
  // Counts a long step for its lifetime: while a long step runs, the page's
  // controls wait (their settings are the step's), Esc cancels, and the
  // buttons do nothing.
  class TBusy {
   public:
    explicit TBusy(TExportFrm& form);
    ~TBusy();
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

   private:
    TExportFrm& form_;
  };

  // ExportFrmLayout.cpp
  void CreateComponents();
  QWidget* CreateSizeIntervalPage();
  QWidget* CreatePalettePage();
  QWidget* CreateReductionPage();
  QWidget* CreateFramesPage();
  QLayout* CreateFramesColumn(QWidget* page);
  QWidget* CreateFramesPlayer(QWidget* page);
  QWidget* CreateFrameParameters(QWidget* page);
  QWidget* CreateGifSizePanel(QWidget* page);
  QWidget* CreateJpegPage();
  QWidget* CreateBottomPanel();
  void ConnectHandlers();
  void ConnectFramesPage();

  void ShowPage(int page);
  void ShowBottomPage(int page);
  // The output size into the engine.
  void ApplyOutputSize();
  // The player's image and its outline at the output size, grey.
  void SizePlayer();
  // Shows a palette read from a file in the colour-table editor; true when
  // the user confirmed it.
  bool ViewCustomPalette(const TMaxLogPalette& palette);
  // The composition shown with the current frame's outline over it.
  void ShowPlayerImage(bool outline);
  void ShowGifEstimate(const TGifSizeEstimate& estimate);
  // The closing step of the GIF pipeline: grid, controls, player, properties.
  void ShowBuiltFrames();
  void ShowError(const std::exception& error);
  // Runs a step that may fail; the failure is shown. False when it failed.
  bool Attempt(const std::function<void()>& step);
  void StartCalculateTimer();
  void LeavePickMode();
  // Picks a colour of the frame's colour table in the colour-table editor:
  // true with the entry's colour and index when the user confirmed one.
  bool PickPaletteColor(int index, TColor& color, int& paletteIndex);
  // Shows the frame's parameters in the controls without writing them back.
  void ShowFrameParameters(const TSetOfBitmapsItem& item);

  TAnimatedScene& scene_;
  TExportSettings& settings_;
  TExportEngine engine_;
  TExportFrameList frameList_;
  std::unique_ptr<TSizeLink> sizeLink_;
  std::unique_ptr<TWindowHandle> progressWindow_;
  // The player's composition; the image shows it with the outline over it.
  TBitmap playerComposition_;
  std::string exportFileName_;
  std::string paletteFolder_;
  std::string framesFolder_;
  int busy_ = 0;
  // When the progress display last let events run, and how often it does
  // in the middle of a step (microseconds).
  static constexpr std::uint64_t kEventsInterval = 25000;
  std::uint64_t lastEventsAt_ = 0;
  bool shown_ = false;
  bool closed_ = false;
  // Filling the frame parameters from a frame: their change handlers do not write back.
  bool loadingFrame_ = false;
  // The offsets of a drag on the player.
  int dragOffsetX_ = 0;
  int dragOffsetY_ = 0;
};
