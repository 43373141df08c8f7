// The image interval dialog ("Images Interval"): the user chooses which
// frames of an AVI video to take (the first frame and the number of frames)
// and may preview the first and the last frame of that interval.
#pragma once

#include "platform/Timer.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QWidget;
class TBitmap;
class TImage;
class TSpinEdit;
class TTrackBar;

class TFramesIntervalForm : public QDialog {
  Q_OBJECT

 public:
  explicit TFramesIntervalForm(QWidget* owner = nullptr);
  ~TFramesIntervalForm() override;

  // ---- What the caller sets ----
  // The video whose frames are previewed.
  std::string AVIFileName;
  // Offers the frames of a video of frameCount frames: the number of steps
  // is set to all of them (range 1 .. frameCount) and the first step to 1.
  void SetFrameCount(int frameCount);

  // ---- The choice (read after OK) ----
  // The first frame taken, 0-based (FirstStep - 1), and the number of frames.
  int FirstFrame() const;
  int FrameCount() const;

  // ---- Components ----
  TSpinEdit* FirstStep = nullptr;
  TSpinEdit* StepSpinEdit = nullptr;
  TTrackBar* StepTrackBar = nullptr;
  QLabel* MaxLabel = nullptr;
  QPushButton* PreviewFirstButton = nullptr;
  QPushButton* PreviewLastButton = nullptr;
  QWidget* Notebook1 = nullptr;
  QCheckBox* CheckBoxPreviewFirst = nullptr;
  QCheckBox* CheckBoxPreviewLast = nullptr;
  QScrollArea* ScrollBoxFirstFrame = nullptr;
  QScrollArea* ScrollBoxLastFrame = nullptr;
  TImage* Image1 = nullptr;
  TImage* Image2 = nullptr;
  QPushButton* OkBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  TTimer TimerRedraw;

  // ---- Handlers ----
  void FormCreate();
  void FormShow();
  void StepSpinEditChange();
  void StepTrackBarChange();
  void FirstStepChange();
  void CheckBoxPreviewClick();
  void TimerRedrawTimer();
  void PreviewFirstButtonClick();
  void PreviewLastButtonClick();
  // Reads frame frameIndex (0-based) of the video into picture; with
  // inWindow the picture is then shown in a preview window. Raises "The
  // frame <n> doesn't exist." when the frame cannot be read.
  void ShowPreview(int frameIndex, TBitmap& picture, bool inWindow);

  // The 0-based frames at the ends of the chosen interval.
  int FirstPreviewFrame() const;
  int LastPreviewFrame() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateComponents();
  void RestartRedraw();
  void ShowPreviewImage(QCheckBox& box, QScrollArea& scrollBox, TImage& image);
  // The track bar's range to 1 .. maximum, which is no choice of the user's.
  void SetTrackBarRange(int maximum);
  bool shown_ = false;
  bool settingTrackBarRange_ = false;
};
