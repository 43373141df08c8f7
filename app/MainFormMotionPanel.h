// The motion page's size, opacity and shadow controls (the sub-pages of
// Notebook_Size_Opacity): each start value has a finish twin, each opacity
// spin a track bar. The panel keeps the twins in step and hands every change
// to the motion page (MotionPanelChanged), which fills the controls from a
// motion step and reads them back; it is part of the motion area.
#pragma once

#include "app/MainFormArea.h"

#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QToolButton;
class QWidget;
class TBitmapButton;
class TSpinEdit;
class TTrackBar;

class TMotionPanel : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;

  // Builds the three sub-pages and connects the twins.
  void CreateMotionTwins();
  // On while the motion page fills these controls from a motion step.
  bool FillingMotionPanel = false;
  // Runs after a twin changed: the motion page writes the step back
  // (its MovingLineChanged).
  std::function<void()> MotionPanelChanged;
  void FinishEqualsStartButtonClick();

 private:
  // The motion area fills the controls from a motion step and reads them back.
  friend class TMotionArea;

  // A motion step without a finish: the finish group is hidden.
  bool MotionFinishHidden() const;
  void ShadowEnabledCheckBoxClick();

  QGroupBox* StartSuzeGroupBox = nullptr;
  TSpinEdit* StartSizeX = nullptr;
  TSpinEdit* StartSizeY = nullptr;
  QGroupBox* FinishSizeGroupBox = nullptr;
  TSpinEdit* FinishSizeX = nullptr;
  TSpinEdit* FinishSizeY = nullptr;
  std::array<QLabel*, 4> FinishSizeLabels{};  // "Width:", "%", "Height:", "%"
  QToolButton* FinishEqualsStartButton = nullptr;
  QLabel* StartOpacityLabel = nullptr;
  TTrackBar* StartOpacity_TrackBar = nullptr;
  TSpinEdit* Start_Pacity_Edit = nullptr;
  QWidget* Panel_FinishOpacity = nullptr;
  TTrackBar* FinishOpacity_TrackBar = nullptr;
  TSpinEdit* Finish_Pacity_Edit = nullptr;
  QCheckBox* ShadowEnabledCheckBox = nullptr;
  QGroupBox* GroupBox_ShadowBlur = nullptr;
  QLabel* StartBlurLabel = nullptr;
  TSpinEdit* StartShadowBlurEdit = nullptr;
  QWidget* Panel_FinishShadowBlur = nullptr;
  TSpinEdit* FinishShadowBlurEdit = nullptr;
  QGroupBox* GroupBox_ShadowOpacity = nullptr;
  QLabel* Label_StartShadowOpacity = nullptr;
  TTrackBar* StartShadowOpacityTrackBar = nullptr;
  TSpinEdit* StartShadowOpacityEdit = nullptr;
  QWidget* Panel_FinishShadowOpacity = nullptr;
  TTrackBar* FinishShadowOpacityTrackBar = nullptr;
  TSpinEdit* FinishShadowOpacityEdit = nullptr;
  QGroupBox* GroupBox_ShadowOffset = nullptr;
  QLabel* Label_StartShadowOffset = nullptr;
  TSpinEdit* StartShadowOffsetXEdit = nullptr;
  TSpinEdit* StartShadowOffsetYEdit = nullptr;
  QWidget* Panel_FinishShadowOffset = nullptr;
  TSpinEdit* FinishShadowOffsetXEdit = nullptr;
  TSpinEdit* FinishShadowOffsetYEdit = nullptr;
  QGroupBox* GroupBox_ShadowColor = nullptr;
  QLabel* Label_StartShadowColor = nullptr;
  TBitmapButton* StartShadowColor_Button = nullptr;
  QWidget* Panel_FinishShadowColor = nullptr;
  TBitmapButton* FinishShadowColor_Button = nullptr;
  QCheckBox* ShadowSameColors_CheckBox = nullptr;

  void CreateShadowPage();
  void ConnectTwins();
  void OpacityTrackBarChange(TTrackBar* bar);
  void OpacityEditChange(TSpinEdit* edit);
  void StartTwinChange(TSpinEdit* start);
  void FinishTwinChange();
  void ShadowSameColors_CheckBoxClick();
  // The finish twin of a start control (nullptr for a finish control).
  TSpinEdit* FinishTwinOf(const TSpinEdit* start) const;
};
