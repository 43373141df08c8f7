#include "dialogs/FramesIntervalFormU.h"

#include "controls/Image.h"
#include "controls/My_SpinEdit.h"
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
#include <QVBoxLayout>

#include <algorithm>
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
  FirstStep = new TSpinEdit(this);
  FirstStep->setObjectName("FirstStep");
  fromLabel->setBuddy(FirstStep);
  auto* countLabel = new QLabel("&Number of Steps:", this);
  StepSpinEdit = new TSpinEdit(this);
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

  StepSpinEdit->OnChange = [this](QObject*) { StepSpinEditChange(); };
  StepTrackBar->OnChange = [this](QObject*) { StepTrackBarChange(); };
  FirstStep->OnChange = [this](QObject*) { FirstStepChange(); };
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
  FirstStep->SetMinValue(1);
  FirstStep->SetMaxValue(1);
  StepSpinEdit->SetMinValue(1);
  StepSpinEdit->SetMaxValue(1);
  Notebook1->setVisible(true);
}

void TFramesIntervalForm::SetFrameCount(int frameCount) {
  const int frames = std::max(1, frameCount);
  SetTrackBarRange(frames);
  StepSpinEdit->SetMinValue(1);
  StepSpinEdit->SetMaxValue(frames);
  StepSpinEdit->SetValue(frames);
  FirstStep->SetMinValue(1);
  FirstStep->SetMaxValue(frames);
  FirstStep->SetValue(1);
}

void TFramesIntervalForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TFramesIntervalForm::FormShow() {
  const int maximum = StepSpinEdit->MaxValue();
  SetTrackBarRange(maximum);
  FirstStep->SetMaxValue(maximum);
  StepTrackBar->SetPosition(StepSpinEdit->Value());
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

int TFramesIntervalForm::FirstFrame() const { return FirstStep->Value() - 1; }

int TFramesIntervalForm::FrameCount() const { return StepSpinEdit->Value(); }

int TFramesIntervalForm::FirstPreviewFrame() const { return FirstStep->Value() - 1; }

int TFramesIntervalForm::LastPreviewFrame() const { return FirstStep->Value() + StepSpinEdit->Value() - 2; }

void TFramesIntervalForm::RestartRedraw() {
  TimerRedraw.SetEnabled(false);
  TimerRedraw.SetEnabled(true);
}

void TFramesIntervalForm::StepSpinEditChange() {
  const int maximum = StepSpinEdit->MaxValue();
  const int count = StepSpinEdit->Value();
  if (StepTrackBar->Position() != count) StepTrackBar->SetPosition(count);
  // A count typed beyond the maximum (put right when the field is left)
  // leaves the first step at least 1.
  const int lastFirst = std::max(1, maximum - count + 1);
  if (FirstStep->Value() + count > maximum + 1) FirstStep->SetValue(lastFirst);
  FirstStep->SetMaxValue(lastFirst);
  RestartRedraw();
}

void TFramesIntervalForm::StepTrackBarChange() {
  if (settingTrackBarRange_) return;
  if (StepSpinEdit->Value() != StepTrackBar->Position()) StepSpinEdit->SetValue(StepTrackBar->Position());
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
