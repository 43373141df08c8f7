#include "dialogs/FramesIntervalFormU.h"

#include "controls/Image.h"
#include "controls/TrackBar.h"
#include "imaging/AVIFileU.h"
#include "platform/ModalForms.h"
#include "platform/SysUtils.h"
#include "platform/UiServices.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include <memory>

namespace {

constexpr int kRedrawDelay = 500;
constexpr int kPreviewBorder = 5;

// The full-size preview: a tool window that any key closes, with the picture
// stretched over a bordered panel.
class TPreviewForm : public QDialog {
 public:
  TPreviewForm(QWidget* owner, const TBitmap& picture) : QDialog(owner, Qt::Tool) {
    setObjectName("PreviewForm");
    setWindowTitle("Preview");
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel");
    panel->setFrameShape(QFrame::Box);
    panel->setLineWidth(1);
    panel->setAutoFillBackground(true);
    panel->setBackgroundRole(QPalette::Base);
    auto* image = new TImage(panel);
    image->setObjectName("Image");
    image->SetStretch(true);
    image->Bitmap().Assign(&picture);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(kPreviewBorder, kPreviewBorder, kPreviewBorder, kPreviewBorder);
    panelLayout->addWidget(image);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);
    if (picture.Width() > 0) {
      const int frame = 2 * panel->frameWidth();
      resize(picture.Width() + 2 * kPreviewBorder + frame, picture.Height() + 2 * kPreviewBorder + frame);
    }
  }

 protected:
  void keyPressEvent(QKeyEvent*) override { reject(); }
};

}  // namespace

TFramesIntervalForm::TFramesIntervalForm(QWidget* owner) : QDialog(owner) {
  setObjectName("FramesIntervalForm");
  setWindowTitle("Images Interval");
  CreateComponents();
  FormCreate();
}

TFramesIntervalForm::~TFramesIntervalForm() = default;

void TFramesIntervalForm::CreateComponents() {
  auto* fromLabel = new QLabel("F&rom step:", this);
  FirstStep = new QSpinBox(this);
  FirstStep->setObjectName("FirstStep");
  fromLabel->setBuddy(FirstStep);
  auto* countLabel = new QLabel("&Number of Steps:", this);
  StepSpinEdit = new QSpinBox(this);
  StepSpinEdit->setObjectName("StepSpinEdit");
  countLabel->setBuddy(StepSpinEdit);
  StepTrackBar = new TTrackBar(this);
  StepTrackBar->setObjectName("StepTrackBar");
  StepTrackBar->setMinimumSize(StepTrackBar->Width(), StepTrackBar->Height());
  MaxLabel = new QLabel(this);
  MaxLabel->setObjectName("MaxLabel");
  PreviewFirstButton = new QPushButton("&First Frame", this);
  PreviewFirstButton->setObjectName("PreviewFirstButton");
  PreviewLastButton = new QPushButton("&Last Frame", this);
  PreviewLastButton->setObjectName("PreviewLastButton");

  Notebook1 = new QWidget(this);
  Notebook1->setObjectName("Notebook1");
  CheckBoxPreviewFirst = new QCheckBox("Preview &First Frame", Notebook1);
  CheckBoxPreviewFirst->setObjectName("CheckBoxPreviewFirst");
  CheckBoxPreviewLast = new QCheckBox("Preview &Last Frame", Notebook1);
  CheckBoxPreviewLast->setObjectName("CheckBoxPreviewLast");
  const auto makePreview = [this](const char* boxName, const char* imageName, TImage*& image) {
    auto* box = new QScrollArea(Notebook1);
    box->setObjectName(boxName);
    box->setWidgetResizable(false);
    auto* area = new QWidget;
    image = new TImage(area);
    image->setObjectName(imageName);
    image->SetVisible(false);
    box->setWidget(area);
    box->setMinimumSize(120, 90);
    return box;
  };
  ScrollBoxFirstFrame = makePreview("ScrollBoxFirstFrame", "Image1", Image1);
  ScrollBoxLastFrame = makePreview("ScrollBoxLastFrame", "Image2", Image2);

  OkBtn = new QPushButton("&Ok", this);
  OkBtn->setObjectName("OkBtn");
  OkBtn->setDefault(true);
  CancelBtn = new QPushButton("&Cancel", this);
  CancelBtn->setObjectName("CancelBtn");

  auto* interval = new QGridLayout;
  interval->addWidget(fromLabel, 0, 0);
  interval->addWidget(FirstStep, 0, 1);
  interval->addWidget(PreviewFirstButton, 0, 2);
  interval->addWidget(countLabel, 1, 0);
  interval->addWidget(StepSpinEdit, 1, 1);
  interval->addWidget(PreviewLastButton, 1, 2);
  interval->addWidget(StepTrackBar, 2, 0, 1, 2);
  interval->addWidget(MaxLabel, 2, 2);
  auto* previews = new QGridLayout(Notebook1);
  previews->addWidget(CheckBoxPreviewFirst, 0, 0);
  previews->addWidget(CheckBoxPreviewLast, 0, 1);
  previews->addWidget(ScrollBoxFirstFrame, 1, 0);
  previews->addWidget(ScrollBoxLastFrame, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkBtn);
  buttons->addWidget(CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(interval);
  layout->addWidget(Notebook1);
  layout->addLayout(buttons);

  connect(StepSpinEdit, &QSpinBox::valueChanged, this, [this] { StepSpinEditChange(); });
  StepTrackBar->OnChange = [this](QObject*) { StepTrackBarChange(); };
  connect(FirstStep, &QSpinBox::valueChanged, this, [this] { FirstStepChange(); });
  connect(CheckBoxPreviewFirst, &QCheckBox::clicked, this, [this] { CheckBoxPreviewClick(); });
  connect(CheckBoxPreviewLast, &QCheckBox::clicked, this, [this] { CheckBoxPreviewClick(); });
  connect(PreviewFirstButton, &QPushButton::clicked, this, [this] { PreviewFirstButtonClick(); });
  connect(PreviewLastButton, &QPushButton::clicked, this, [this] { PreviewLastButtonClick(); });
  connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  TimerRedraw.SetEnabled(false);
  TimerRedraw.SetInterval(kRedrawDelay);
  TimerRedraw.SetOnTimer([this] { TimerRedrawTimer(); });
}

void TFramesIntervalForm::FormCreate() {
  FirstStep->setRange(1, 1);
  StepSpinEdit->setRange(1, 1);
  Notebook1->setVisible(true);
}

void TFramesIntervalForm::SetFrameCount(int frameCount) {
  const int frames = std::max(1, frameCount);
  SetTrackBarRange(frames);
  StepSpinEdit->setRange(1, frames);
  StepSpinEdit->setValue(frames);
  FirstStep->setRange(1, frames);
  FirstStep->setValue(1);
}

void TFramesIntervalForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TFramesIntervalForm::FormShow() {
  const int maximum = StepSpinEdit->maximum();
  SetTrackBarRange(maximum);
  FirstStep->setMaximum(maximum);
  StepTrackBar->SetPosition(StepSpinEdit->value());
  MaxLabel->setText(QString::number(maximum));
  StepSpinEditChange();
  // Nothing is drawn before the user asks for a preview.
  TimerRedraw.SetEnabled(false);
}

void TFramesIntervalForm::SetTrackBarRange(int maximum) {
  settingTrackBarRange_ = true;
  StepTrackBar->SetMin(1);
  StepTrackBar->SetMax(maximum);
  settingTrackBarRange_ = false;
}

int TFramesIntervalForm::FirstFrame() const { return FirstStep->value() - 1; }

int TFramesIntervalForm::FrameCount() const { return StepSpinEdit->value(); }

int TFramesIntervalForm::FirstPreviewFrame() const { return FirstStep->value() - 1; }

int TFramesIntervalForm::LastPreviewFrame() const { return FirstStep->value() + StepSpinEdit->value() - 2; }

void TFramesIntervalForm::RestartRedraw() {
  TimerRedraw.SetEnabled(false);
  TimerRedraw.SetEnabled(true);
}

void TFramesIntervalForm::StepSpinEditChange() {
  const int maximum = StepSpinEdit->maximum();
  const int count = StepSpinEdit->value();
  if (StepTrackBar->Position() != count) StepTrackBar->SetPosition(count);
  if (FirstStep->value() + count > maximum + 1) FirstStep->setValue(maximum - count + 1);
  FirstStep->setMaximum(maximum - count + 1);
  RestartRedraw();
}

void TFramesIntervalForm::StepTrackBarChange() {
  if (settingTrackBarRange_) return;
  if (StepSpinEdit->value() != StepTrackBar->Position()) StepSpinEdit->setValue(StepTrackBar->Position());
}

void TFramesIntervalForm::FirstStepChange() { RestartRedraw(); }

void TFramesIntervalForm::TimerRedrawTimer() {
  TimerRedraw.SetEnabled(false);
  if (CheckBoxPreviewFirst->isChecked()) {
    ShowPreview(FirstPreviewFrame(), Image1->Bitmap(), false);
    Image1->SetBounds(0, 0, Image1->Bitmap().Width(), Image1->Bitmap().Height());
    Image1->parentWidget()->resize(Image1->Width(), Image1->Height());
  }
  if (CheckBoxPreviewLast->isChecked()) {
    ShowPreview(LastPreviewFrame(), Image2->Bitmap(), false);
    Image2->SetBounds(0, 0, Image2->Bitmap().Width(), Image2->Bitmap().Height());
    Image2->parentWidget()->resize(Image2->Width(), Image2->Height());
  }
}

void TFramesIntervalForm::ShowPreviewImage(QCheckBox& box, QScrollArea& scrollBox, TImage& image) {
  if (box.isChecked()) {
    scrollBox.horizontalScrollBar()->setValue(0);
    scrollBox.verticalScrollBar()->setValue(0);
    image.SetLeft(0);
    image.SetTop(0);
    image.SetVisible(true);
  } else {
    image.SetVisible(false);
  }
}

void TFramesIntervalForm::CheckBoxPreviewClick() {
  ShowPreviewImage(*CheckBoxPreviewFirst, *ScrollBoxFirstFrame, *Image1);
  ShowPreviewImage(*CheckBoxPreviewLast, *ScrollBoxLastFrame, *Image2);
  TimerRedrawTimer();
}

void TFramesIntervalForm::PreviewFirstButtonClick() {
  TBitmap picture;
  ShowPreview(FirstPreviewFrame(), picture, true);
}

void TFramesIntervalForm::PreviewLastButtonClick() {
  TBitmap picture;
  ShowPreview(LastPreviewFrame(), picture, true);
}

void TFramesIntervalForm::ShowPreview(int frameIndex, TBitmap& picture, bool inWindow) {
  const TBusyCursor busy;
  if (!AVIFileName.empty()) {
    TAVIObject avi;
    const PAVIFILE file = avi.OpenAVIFile(AVIFileName);
    struct CloseFile {
      TAVIObject& avi;
      PAVIFILE file;
      ~CloseFile() { avi.CloseAVIFile(file); }
    } closeFile{avi, file};
    const PAVISTREAM stream = avi.OpenVideoStream(file);
    avi.SetErrorFlag(stream == 0);
    if (stream != 0) {
      const std::unique_ptr<TBitmap> frame = avi.GetFrameBitmap(frameIndex);
      avi.CloseVideoStream(stream);
      if (!avi.ErrorFlag()) picture.Assign(frame.get());
    }
    if (avi.ErrorFlag()) throw Exception("The frame " + IntToStr(frameIndex) + " doesn't exist.");
  }
  if (inWindow) {
    TPreviewForm preview(this, picture);
    ShowModal(preview);
  }
}
