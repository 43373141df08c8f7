#include "controls/OpenGraphDialogU.h"

#include "controls/core/PreviewPicture.h"
#include "platform/BitmapImages.h"
#include "platform/CodePages.h"
#include "platform/ModalForms.h"
#include "platform/SystemValues.h"
#include "platform/SysUtils.h"
#include "platform/qtui/QtHints.h"

#include <QCheckBox>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <exception>

const char* const SPictureDialogFilter =
    "All Supported Formats|*.bmp;*.gif;*.jpg;*.avi|Windows Bitmap (*.bmp)|*.bmp|CompuServe Bitmap (*.gif)|*.gif|"
    "JPEG Bitmap (*.jpg)|*.jpg|Video for Windows (*.avi)|*.avi|All Files|*.*";

namespace {

// The preview area's measures.
constexpr int kPanelBorder = 6;
constexpr int kLabelHeight = 23;
constexpr int kPreviewBoxHeight = 15;
constexpr int kPaintPanelBevels = 2;  // a lowered outer and a raised inner bevel
constexpr int kButtonInset = 2;
// The full-size preview: the panel's single line and its border width.
constexpr int kPreviewFormLine = 1;
constexpr int kPreviewFormBorder = 5;

QColor QtColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// The preview button's glyph: a magnifying glass on a transparent ground.
QIcon MagnifierGlyph() {
  TBitmap glyph;
  glyph.Canvas().Brush().Color = clOlive;
  glyph.SetSize(16, 16);
  TCanvas& canvas = glyph.Canvas();
  canvas.Brush().Color = clWhite;
  canvas.Pen().Color = clBlack;
  canvas.Ellipse(1, 1, 11, 11);
  canvas.Pen().Width = 3;
  canvas.MoveTo(10, 10);
  canvas.LineTo(14, 14);
  QImage image = BitmapToQImage(glyph).convertToFormat(QImage::Format_ARGB32);
  const QRgb ground = image.pixel(0, 0);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == ground) image.setPixel(x, y, qRgba(0, 0, 0, 0));
  return QIcon(QPixmap::fromImage(image));
}

}  // namespace

// ---- The preview area ---------------------------------------------------------------------------------

TPicturePanel::TPicturePanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PicturePanel"));
  setGeometry(204, 5, 169, 200);
  setMinimumSize(169, 200);

  PictureLabel = new QLabel(this);
  PictureLabel->setObjectName(QStringLiteral("PictureLabel"));
  PictureLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  PreviewBox = new QCheckBox(QStringLiteral("&Preview"), this);
  PreviewBox->setObjectName(QStringLiteral("PreviewBox"));
  PreviewBox->setChecked(true);

  PaintPanel = new QFrame(this);
  PaintPanel->setObjectName(QStringLiteral("PaintPanel"));
  PaintPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  PaintPanel->setLineWidth(kPaintPanelBevels);

  PaintBox = new TPaintBox(PaintPanel);
  PaintBox->setObjectName(QStringLiteral("PaintBox"));

  // Made after the paint panel, so it lies above it.
  PreviewButton = new QToolButton(this);
  PreviewButton->setObjectName(QStringLiteral("PreviewButton"));
  PreviewButton->setGeometry(77, 1, 23, 22);
  PreviewButton->setAutoRaise(true);
  PreviewButton->setIcon(MagnifierGlyph());
  ApplyHint(*PreviewButton, "Preview");
  PreviewButton->setEnabled(false);

  setTabOrder(PaintPanel, PreviewBox);
  ArrangeChildren();
}

void TPicturePanel::ArrangeChildren() {
  const int inner = width() - 2 * kPanelBorder;
  PictureLabel->setGeometry(kPanelBorder, kPanelBorder, inner, kLabelHeight);
  PreviewBox->setGeometry(kPanelBorder, height() - kPanelBorder - kPreviewBoxHeight, inner, kPreviewBoxHeight);
  const int paintTop = kPanelBorder + kLabelHeight;
  PaintPanel->setGeometry(kPanelBorder, paintTop, inner,
                          height() - kPanelBorder - kPreviewBoxHeight - paintTop);
  PaintBox->SetBounds(kPaintPanelBevels, kPaintPanelBevels, PaintPanel->width() - 2 * kPaintPanelBevels,
                      PaintPanel->height() - 2 * kPaintPanelBevels);
  // The button sits at the paint panel's right edge, 2 pixels in.
  PreviewButton->move(PaintPanel->x() + PaintPanel->width() - PreviewButton->width() - kButtonInset,
                      PreviewButton->y());
}

void TPicturePanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ArrangeChildren();
}

// ---- The full-size preview ----------------------------------------------------------------------------

TPreviewForm::TPreviewForm(QWidget* parent, const TBitmap& picture) : QDialog(parent) {
  setObjectName(QStringLiteral("PreviewForm"));
  setWindowTitle(QStringLiteral("Preview"));
  setWindowFlag(Qt::Tool);
  setSizeGripEnabled(true);
  auto* formLayout = new QVBoxLayout(this);
  formLayout->setContentsMargins(0, 0, 0, 0);

  Panel = new QFrame(this);
  Panel->setObjectName(QStringLiteral("Panel"));
  Panel->setFrameStyle(QFrame::Box | QFrame::Plain);
  Panel->setLineWidth(kPreviewFormLine);
  Panel->setAutoFillBackground(true);
  QPalette colours = Panel->palette();
  colours.setColor(QPalette::Window, QtColor(clWindow));
  Panel->setPalette(colours);
  formLayout->addWidget(Panel);
  auto* panelLayout = new QVBoxLayout(Panel);
  panelLayout->setContentsMargins(kPreviewFormBorder, kPreviewFormBorder, kPreviewFormBorder, kPreviewFormBorder);

  Image = new TImage(Panel);
  Image->setObjectName(QStringLiteral("Image"));
  Image->SetStretch(true);
  Image->Bitmap().Assign(&picture);
  panelLayout->addWidget(Image);

  // The panel's inside is the picture plus the border on each side.
  if (picture.Width() > 0) {
    const int frame = kPreviewFormBorder + kPreviewFormLine;
    resize(picture.Width() + 2 * frame, picture.Height() + 2 * frame);
  }
  const TSize screen = System().ScreenSize();
  move((screen.cx - width()) / 2, (screen.cy - height()) / 2);
}

// ---- The dialog ---------------------------------------------------------------------------------------

TOpenGraphicDialog::TOpenGraphicDialog(QObject* owner) : QObject(owner), panel_(std::make_unique<TPicturePanel>()) {
  PicturePanel = panel_.get();
  PictureLabel = panel_->PictureLabel;
  PreviewButton = panel_->PreviewButton;
  PaintPanel = panel_->PaintPanel;
  PaintBox = panel_->PaintBox;
  PreviewBox = panel_->PreviewBox;

  PaintBox->OnPaint = [this](QObject* sender) { PaintBoxPaint(sender); };
  PaintBox->OnDblClick = [this](QObject* sender) { PaintBoxDblClick(sender); };
  QObject::connect(PreviewButton, &QToolButton::clicked, this, [this] { PreviewButtonClick(); });

  chooserPanel_.widget = panel_.get();
  chooserPanel_.onShow = [this] { DoShow(); };
  chooserPanel_.onSelectionChange = [this](const std::string& file) {
    FileName = file;
    DoSelectionChange();
  };
  chooserPanel_.onClose = [this] { DoClose(); };
}

TOpenGraphicDialog::~TOpenGraphicDialog() = default;

void TOpenGraphicDialog::SetPreviewEnabled(bool value) {
  previewEnabled_ = value;
  PreviewBox->setHidden(!value);
  PreviewButton->setHidden(!value);
}

bool TOpenGraphicDialog::Execute() {
  PreviewBox->setText(QStringLiteral("&Preview"));
  FileDialogRequest request;
  request.title = Title;
  request.filter = Filter;
  request.filterIndex = FilterIndex;
  request.initialDir = InitialDir;
  request.fileName = FileName;
  request.defaultExt = DefaultExt;
  request.allowMultiSelect = (Options & ofAllowMultiSelect) != 0;
  request.panel = &chooserPanel_;
  // Browsing moves FileName along; a cancelled dialog leaves it as it was.
  const std::string fileBefore = FileName;
  const std::optional<FileDialogResult> chosen = Ui().ChooseOpenFile(request);
  if (!chosen) {
    FileName = fileBefore;
    return false;
  }
  FileName = chosen->fileName;
  files_ = chosen->fileNames;
  FilterIndex = chosen->filterIndex;
  return true;
}

void TOpenGraphicDialog::DoShow() {
  panel_->ArrangeChildren();
  // A new run starts without the last run's picture or description.
  ShowEmptyState("");
  Fire(OnShow, this);
}

void TOpenGraphicDialog::DoClose() {
  Fire(OnClose, this);
  QToolTip::hideText();
}

void TOpenGraphicDialog::DoSelectionChange() {
  bool previewed = false;
  if (FileExists(FileName) && PreviewBox->isChecked()) {
    // Nothing of the file before may show for this one.
    previewPicture_.Assign(nullptr);
    frameCount_ = 0;
    colorCode_ = 0;
    try {
      previewed = LoadPreviewPicture(FileName, previewPicture_, frameCount_, colorCode_) && !previewPicture_.Empty();
    } catch (const std::exception&) {
      previewed = false;  // an unreadable picture shows the empty state
    }
  }
  if (previewed) {
    PictureLabel->setText(AnsiToQString(
        PreviewDescription(previewPicture_.Width(), previewPicture_.Height(), frameCount_, colorCode_)));
    PreviewButton->setEnabled(true);
  } else {
    ShowEmptyState("Picture:");
  }
  PaintBox->Invalidate();
  Fire(OnSelectionChange, this);
}

void TOpenGraphicDialog::ShowEmptyState(const std::string& caption) {
  PictureLabel->setText(AnsiToQString(caption));
  PreviewButton->setEnabled(false);
  previewPicture_.Assign(nullptr);
  PaintBox->Invalidate();
}

void TOpenGraphicDialog::PaintBoxPaint(QObject*) {
  TCanvas& canvas = PaintBox->Canvas();
  const TRect box = PaintBox->ClientRect();
  canvas.Brush().Color = PaintBox->Color();
  if (previewPicture_.Width() == 0) {
    const std::string none = "(None)";
    const TSize extent = canvas.TextExtent(none);
    canvas.TextOut(box.Left + (box.Right - box.Left - extent.cx) / 2, box.Top + (box.Bottom - box.Top - extent.cy) / 2,
                   none);
    return;
  }
  const TRect place = PreviewPictureRect(previewPicture_.Width(), previewPicture_.Height(), box);
  if (place.Right - place.Left == previewPicture_.Width() && place.Bottom - place.Top == previewPicture_.Height()) {
    canvas.Draw(place.Left, place.Top, previewPicture_);
  } else {
    canvas.StretchDraw(place, previewPicture_);
  }
}

void TOpenGraphicDialog::PreviewButtonClick() {
  TPreviewForm form(PicturePanel->window() != PicturePanel ? PicturePanel->window() : nullptr, previewPicture_);
  ShowModal(form);
}

void TOpenGraphicDialog::PaintBoxDblClick(QObject*) {
  // A double click on "(None)" is no double click on a picture.
  if (!previewPicture_.Empty()) PreviewButtonClick();
}
