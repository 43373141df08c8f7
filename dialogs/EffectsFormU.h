// The effects dialog ("Effect"): opened on one frame of a sprite (the source
// frame) and, when there is one, the frame after it (the next frame). The
// user picks one of 20 effects (11 transitions, 9 filters), sets its
// parameters, watches the generated frames in a player and confirms. The
// dialog only makes frames into its own list; the caller takes them.
//
//   TEffectsForm form(mainWindow);
//   form.SourceFrame = &frame;
//   form.NextFrame = next;                 // nullptr on the sprite's last frame
//   form.PresetEffect(index);              // 0-based, as the Effects menu numbers them
//   form.AutoCreateCheckBox->setChecked(setting);
//   if (ShowModal(form) == mrOk) {
//     const TFrameList results = form.TakeResults();
//     ApplyEffectResults(sprite, frameIndex, form.EffectKind(), results, EffectListText(form.EffectKind()));
//   }
//   setting = form.AutoCreateCheckBox->isChecked();
//
// While the dialog is open the source and next frames show without their
// transparency (the previews show them whole); they get it back whenever the
// dialog closes, however it closes, and at the latest when it is destroyed.
#pragma once

#include "controls/GraphicControl.h"
#include "dialogs/core/EffectFrames.h"
#include "platform/Timer.h"

#include <QDialog>

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QAction;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QStackedWidget;
class QToolButton;
class QWidget;
class TBitmapButton;
class TColorPicker;
class TDigitalDisplay;
class TFrame;
class TImage;
class TMovie;
class TRadioGroup;
class TSpinEdit;
class TTrackBar;
class TmKnob;

class TEffectsForm : public QDialog {
  Q_OBJECT

 public:
  // Pick modes of the original picture.
  enum TPickMode { pmNone = 0, pmBackgroundColor = 1, pmBlendColor = 2 };

  explicit TEffectsForm(QWidget* owner = nullptr);
  ~TEffectsForm() override;

  // ---- What the caller sets before showing ----
  TFrame* SourceFrame = nullptr;
  TFrame* NextFrame = nullptr;
  // The effect to open on: its 0-based index in the effect list (-1, or any
  // index outside the list, opens on the first).
  void PresetEffect(int index) { effectType_ = index; }

  // ---- What the caller reads ----
  // The chosen effect, 1..20 (the list's index + 1), once the dialog was shown.
  int EffectKind() const { return effectType_; }
  // The frames made; they belong to the dialog until taken.
  const TFrameList& Results() const { return results_; }
  // Hands the result frames to the caller; the dialog keeps none of them.
  TFrameList TakeResults();
  // The parameters of the controls as the generator takes them.
  TEffectParameters Parameters() const;

  // ---- State ----
  int DirectionValue() const { return direction_; }
  int PreviewIndex() const { return previewIndex_; }
  TPickMode PickMode() const { return pickMode_; }
  int NumberOfBlinds() const { return numberOfBlinds_; }
  // The background of both preview panels.
  TColor PreviewColor() const { return previewColor_; }

  // ---- Components ----
  QComboBox* EffectsComboBox = nullptr;
  TMovie* EffectMovie = nullptr;
  QStackedWidget* NotebookAllControls = nullptr;
  QStackedWidget* NotebookMovieControls = nullptr;
  QStackedWidget* NotebookControls = nullptr;
  QStackedWidget* DirectionNotebook = nullptr;
  // Frames, duration and background of the transitions.
  TSpinEdit* NumberOfFramesSpin = nullptr;
  TSpinEdit* StepsPerFrameEdit = nullptr;
  TBitmapButton* BackgroundColorButton = nullptr;
  QToolButton* GetColorButton = nullptr;
  QCheckBox* TransparencyCheckBox = nullptr;
  // The transitions' own pages.
  TRadioGroup* ApertureRadioGroup = nullptr;
  TBitmapButton* Button_BlendColor = nullptr;
  QToolButton* Button_PeekBlendColor = nullptr;
  TRadioGroup* BlendRadioGroup = nullptr;
  QLabel* NumberOfBlindsLabel = nullptr;
  TSpinEdit* NumberOfBlindsSpin = nullptr;
  TRadioGroup* BlindRadioGroup = nullptr;
  TRadioGroup* CrossRadioGroup = nullptr;
  TRadioGroup* DissolveRadioGroup = nullptr;
  TSpinEdit* NumberOfFingersSpin = nullptr;
  TRadioGroup* FingersRadioGroup = nullptr;
  TRadioGroup* GrowRadioGroup = nullptr;
  TRadioGroup* RadioDirection = nullptr;
  TRadioGroup* SweepAppearanceRadioGroup = nullptr;
  TRadioGroup* WipeRadioGroup = nullptr;
  // Direction pages.
  QRadioButton* TopBtn = nullptr;
  QRadioButton* RightBtn = nullptr;
  QRadioButton* BottomBtn = nullptr;
  QRadioButton* LeftBtn = nullptr;
  TRadioGroup* BlendInOutRadioGroup = nullptr;
  TSpinEdit* StartAngle = nullptr;
  TmKnob* Knob_StartAngle = nullptr;
  TSpinEdit* FinishAngle = nullptr;
  TmKnob* Knob_FinishAngle = nullptr;
  // The filters' pages.
  TTrackBar* RadiusTrackBar = nullptr;
  TSpinEdit* RadiusEdit = nullptr;
  QLabel* Label_Brightness_or_Contrast = nullptr;
  TTrackBar* BrightnessTrackBar = nullptr;
  TSpinEdit* BrightnessEdit = nullptr;
  TTrackBar* TrackBar_Emboss = nullptr;
  TSpinEdit* Edit_Emboss_Depth = nullptr;
  TSpinEdit* EmbossAngle = nullptr;
  TmKnob* EmbossAngle_Knob = nullptr;
  TBitmapButton* Button_EmbossColor = nullptr;
  TTrackBar* TrackBar_Gamma_Red = nullptr;
  TSpinEdit* Edit_Gamma_Red = nullptr;
  TTrackBar* TrackBar_Gamma_Green = nullptr;
  TSpinEdit* Edit_Gamma_Green = nullptr;
  TTrackBar* TrackBar_Gamma_Blue = nullptr;
  TSpinEdit* Edit_Gamma_Blue = nullptr;
  // Previews and player.
  QScrollArea* NativeScrollBox = nullptr;
  TImage* NativeImage = nullptr;
  QScrollArea* MovingScrollBox = nullptr;
  TImage* ImageMoving = nullptr;
  QMenu* PreviewPopupMenu = nullptr;
  QAction* BackgroundColor1 = nullptr;
  QPushButton* CreateButton = nullptr;
  QCheckBox* AutoCreateCheckBox = nullptr;
  QToolButton* BackBtn = nullptr;
  QToolButton* PrevBtn = nullptr;
  QToolButton* PlayBtn = nullptr;
  QToolButton* StopBtn = nullptr;
  QToolButton* NextBtn = nullptr;
  TDigitalDisplay* CurMovieFrame = nullptr;
  QWidget* ButtonsPanel = nullptr;
  QPushButton* OkBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* HelpBtn = nullptr;
  TColorPicker* ColorPicker1 = nullptr;
  TTimer TimerMoving;
  TTimer TimerRedrawStPFr;
  TTimer TimerRedrawNumbOfFr;

  // ---- Handlers ----
  void FormCreate();
  void FormShow();
  // Gives the source and next frames their transparency back.
  void FormClose();
  void FormDestroy();
  // Esc (27) closes the dialog.
  void FormKeyPress(char& Key);
  void EffectsComboBoxChange();
  void CreateButtonClick();
  void DirectionBtnClick(QObject* Sender);
  void DirectionRadioGroupClick(QObject* Sender);
  // Any parameter changed: with "&Auto Create" the frames are made again
  // 300 ms after the last change.
  void EffectControlChanged();
  void AutoCreateCheckBoxClick();
  void NumberOfBlindsSpinChange();
  void BlendRadioGroupClick(QObject* Sender);
  void Button_BlendColorClick();
  void Button_PeekBlendColorClick();
  void GetColorButtonClick();
  void NativeImageMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void BackgroundColorButtonClick();
  // "Preview Panel Color...": the background of both previews.
  void BackgroundColor1Click();
  // The result frames keyed again by the box and the background colour.
  void TransparencyCheckBoxClick();
  void StepsPerFrameEditChange();
  void Knob_StartAngleChange(QObject* Sender, int Value);
  void Knob_FinishAngleChange(QObject* Sender, int Value);
  void EmbossAngle_KnobChange(QObject* Sender, int Value);
  // An angle spin edit changed: its knob follows.
  void AngleChange(QObject* Sender);
  void RadiusTrackBarChange();
  void RadiusEditChange();
  void BrightnessTrackBarChange();
  void BrightnessEditChange();
  void Button_EmbossColorClick();
  void TrackBar_EmbossChange();
  void Edit_Emboss_DepthChange();
  void TrackBar_Gamma_RedChange();
  void Edit_Gamma_RedChange();
  void TrackBar_Gamma_GreenChange();
  void Edit_Gamma_GreenChange();
  void TrackBar_Gamma_BlueChange();
  void Edit_Gamma_BlueChange();
  void TimerMovingTimer();
  void TimerRedrawStPFrTimer();
  void TimerRedrawNumbOfFrTimer();
  void PlayBtnClick();
  void StopBtnClick();
  void NextBtnClick();
  void PrevBtnClick();
  void BackBtnClick();
  void HelpBtnClick();

  // ---- Methods ----
  // Makes the frames of effect kind 1..20 into the result list.
  void CreateEffectFrames(int kind);
  void ShowPreviewFrame();
  // The preview index, wrapping: past the last frame is 0, below 0 the last.
  void SetPreviewFrame(int i);

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void done(int result) override;

 private:
  void CreateComponents();
  QWidget* CreateFrameEffectPage();
  QWidget* CreateTransitionPages();
  QWidget* CreateDirectionPages();
  QWidget* CreateFilterPage(int page);
  QWidget* CreatePlayer();
  QWidget* CreatePreviews();
  void ConnectHandlers();
  void ShowTransitionControls(int kind);
  void ShowFilterControls(int kind);
  // A track bar and its edit keep one value.
  void TrackBarMoved(TTrackBar& bar, TSpinEdit& edit, bool showSelection);
  void EditChanged(TSpinEdit& edit, TTrackBar& bar);
  void SetPreviewColor(TColor color);
  void TakeSourceLooks();
  void RestoreSourceLooks();
  int ButtonsDirection() const;

  // The transparency of the source and next frames while the dialog shows them whole.
  struct TSavedLook {
    TFrame* frame;
    bool transparent;
    TColor color;
  };
  std::optional<TSavedLook> savedSource_;
  std::optional<TSavedLook> savedNext_;

  TFrameList results_;
  int direction_ = 0;
  int previewIndex_ = 0;
  TPickMode pickMode_ = pmNone;
  int numberOfBlinds_ = 10;
  int effectType_ = -1;
  int tickCounter_ = 0;
  TColor previewColor_ = clGray;
};
