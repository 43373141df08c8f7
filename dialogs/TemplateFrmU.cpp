#include "dialogs/TemplateFrmU.h"

#include "controls/URL.h"
#include "controls/core/PreviewPicture.h"
#include "dialogs/DialogParts.h"
#include "dialogs/core/TemplateThumbnails.h"
#include "imaging/utils.h"
#include "platform/BitmapImages.h"
#include "platform/Graphics.h"
#include "platform/Help.h"
#include "platform/SilentUi.h"
#include "platform/SystemValues.h"
#include "platform/SysUtils.h"
#include "platform/UiServices.h"
#include "platform/qtui/QtHints.h"
#include "platform/qtui/ScreenCursors.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

const TTemplateSet kBannerTemplates{"Animations/Banners/", 400, 51};
const TTemplateSet kButtonTemplates{"Animations/Buttons/", 250, 40};
const TTemplateSet kLogoTemplates{"Animations/Logos/", 400, 150};

namespace {
constexpr const char* kWebAddress = "https://example.com/gleamcraft/";
constexpr const char* kSetHint = "Click to show templates";
constexpr const char* kListHint = "Double click to open template";
// The item's data role that keeps the file's real name: its caption lacks the
// extension, whose case a case-sensitive file system needs.
constexpr int kFileNameRole = Qt::UserRole;
// Room around a thumbnail in the list: its caption below, a margin around.
constexpr int kListMargin = 40;
constexpr int kVisibleBannerRows = 4;

QLabel* MakeText(QWidget* parent, const char* name, const char* text) {
  QLabel* label = MakeDialogLabel(parent, name, text);
  label->setWordWrap(true);
  return label;
}
}  // namespace

TTemplateForm::TTemplateForm(QWidget* owner) : QDialog(owner) {
  setObjectName("TemplateForm");
  setWindowTitle("Templates");
  BannersLabel = MakeSetLabel("BannersLabel", "Banners");
  ButtonsLabel = MakeSetLabel("ButtonsLabel", "Buttons");
  LogosLabel = MakeSetLabel("LogosLabel", "Logos");
  ListView_Thumbnails = new QListWidget(this);
  ListView_Thumbnails->setObjectName("ListView_Thumbnails");
  ListView_Thumbnails->setViewMode(QListView::IconMode);
  ListView_Thumbnails->setMovement(QListView::Static);
  ListView_Thumbnails->setResizeMode(QListView::Adjust);
  ListView_Thumbnails->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView_Thumbnails->setSpacing(4);
  ListView_Thumbnails->setWordWrap(true);
  ListView_Thumbnails->setFixedSize(kBannerTemplates.width + kListMargin + 24,
                                    (kBannerTemplates.height + kListMargin) * kVisibleBannerRows);
  ListView_Thumbnails->hide();
  ApplyHint(*ListView_Thumbnails, kListHint);
  ShowWizardAtStartupBtn = new QCheckBox("Show this screen at startup.", this);
  ShowWizardAtStartupBtn->setObjectName("ShowWizardAtStartupBtn");
  OkButton = MakeDialogButton(this, "OkButton", "&Ok");
  OkButton->setDefault(true);
  CloseBtn = MakeDialogButton(this, "CloseBtn", "&Cancel");
  HelpBtn = MakeDialogButton(this, "HelpBtn", "&Help");
  WWWAddress = new TURL(this);
  WWWAddress->setObjectName("WWWAddress");

  auto* sets = new QVBoxLayout;
  sets->addWidget(MakeDialogLabel(this, "SetsLabel", "Sets of templates:"));
  sets->addSpacing(4);
  for (QLabel* label : {BannersLabel, ButtonsLabel, LogosLabel}) sets->addWidget(label);
  sets->addStretch(1);
  auto* middle = new QHBoxLayout;
  middle->addLayout(sets);
  middle->addSpacing(12);
  middle->addWidget(ListView_Thumbnails);
  auto* link = new QHBoxLayout;
  link->addWidget(MakeDialogLabel(this, "DownloadLabel", "You can download another templates for FREE at:"));
  link->addWidget(WWWAddress, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ShowWizardAtStartupBtn);
  buttons->addStretch(1);
  buttons->addWidget(OkButton);
  buttons->addWidget(CloseBtn);
  buttons->addWidget(HelpBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MakeText(this, "IntroLabel", "Animation templates allow you to create own animation quick and easy."));
  layout->addWidget(MakeText(this, "HowToLabel",
                             "Open an animation template via the preview images below. Select a template animation "
                             "and press the Ok button. Change the template items and add your own."));
  layout->addSpacing(6);
  layout->addLayout(middle);
  layout->addSpacing(6);
  layout->addWidget(MakeText(this, "FolderLabel", "Templates are in your Gleamcraft folder under Animations folder."));
  layout->addLayout(link);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(ListView_Thumbnails, &QListWidget::itemDoubleClicked, this, [this] { ListView_ThumbnailsDblClick(); });
  connect(ShowWizardAtStartupBtn, &QCheckBox::clicked, this, &TTemplateForm::ShowWizardAtStartupBtnClick);
  connect(OkButton, &QPushButton::clicked, this, &TTemplateForm::OkButtonClick);
  connect(CloseBtn, &QPushButton::clicked, this, &TTemplateForm::CloseBtnClick);
  connect(HelpBtn, &QPushButton::clicked, this, &TTemplateForm::HelpBtnClick);
  WWWAddress->OnClick = [this](QObject*) { WWWAddressClick(); };
  FormCreate();
}

TTemplateForm::~TTemplateForm() = default;

QLabel* TTemplateForm::MakeSetLabel(const char* name, const char* caption) {
  QLabel* label = MakeDialogLabel(this, name, caption);
  QFont linkFont = label->font();
  linkFont.setUnderline(true);
  label->setFont(linkFont);
  QPalette colours = label->palette();
  colours.setColor(QPalette::WindowText, QColor(0, 0, 255));
  label->setPalette(colours);
  ApplyCursor(*label, crHandPoint);
  ApplyHint(*label, kSetHint);
  label->installEventFilter(this);
  return label;
}

void TTemplateForm::FormCreate() {
  setFont(QApplication::font());
  WWWAddress->setText(kWebAddress);
}

void TTemplateForm::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();
  QDialog::showEvent(event);
}

void TTemplateForm::FormShow() { BannersLabelClick(); }

// A release over a set's label is its click.
bool TTemplateForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == BannersLabel) BannersLabelClick();
    if (watched == ButtonsLabel) ButtonsLabelClick();
    if (watched == LogosLabel) LogosLabelClick();
  }
  return QDialog::eventFilter(watched, event);
}

void TTemplateForm::BannersLabelClick() { ShowTemplates(kBannerTemplates); }
void TTemplateForm::ButtonsLabelClick() { ShowTemplates(kButtonTemplates); }
void TTemplateForm::LogosLabelClick() { ShowTemplates(kLogoTemplates); }

void TTemplateForm::ShowTemplates(const std::string& folder, int width, int height) {
  ListView_Thumbnails->show();
  TemplateFolder = IncludeTrailingPathDelimiter(System().ProgramFolder()) + folder;
  const TBusyCursor busy;
  LargeImages.clear();
  ThumbnailWidth = width;
  ThumbnailHeight = height;
  ListView_Thumbnails->clear();
  ListView_Thumbnails->setIconSize(QSize(width, height));
  for (const std::string& name : ListProjectFiles(TemplateFolder)) {
    TBitmap picture;
    std::int32_t frameCount = 0;
    std::uint8_t colorCode = 0;
    try {
      // The reader's own messages on a damaged file stay unseen: the file is
      // just not offered.
      const TSilentUi silent;
      if (!LoadPreviewPicture(TemplateFolder + name, picture, frameCount, colorCode)) continue;
    } catch (const std::exception&) {
      continue;
    }
    if (picture.Empty()) continue;
    AddThumbnail(picture, name);
  }
}

void TTemplateForm::AddThumbnail(const TBitmap& picture, const std::string& fileName) {
  auto thumbnail = std::make_unique<TBitmap>();
  MakeTemplateThumbnail(picture, ThumbnailWidth, ThumbnailHeight, *thumbnail);
  auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(BitmapToQImage(*thumbnail))),
                                   QString::fromStdString(StripExtension(fileName)));
  item->setData(kFileNameRole, QString::fromStdString(fileName));
  LargeImages.push_back(std::move(thumbnail));
  ListView_Thumbnails->addItem(item);
}

const QListWidgetItem* TTemplateForm::SelectedItem() const {
  const QList<QListWidgetItem*> selected = ListView_Thumbnails->selectedItems();
  return selected.isEmpty() ? nullptr : selected.front();
}

void TTemplateForm::OkButtonClick() {
  if (const QListWidgetItem* item = SelectedItem()) {
    TemplateFileName = TemplateFolder + item->data(kFileNameRole).toString().toStdString();
    accept();
    return;
  }
  TemplateFileName.clear();
  reject();
}

void TTemplateForm::ListView_ThumbnailsDblClick() { OkButtonClick(); }

void TTemplateForm::CloseBtnClick() { reject(); }

void TTemplateForm::HelpBtnClick() { HelpJump("Main_index"); }

void TTemplateForm::ShowWizardAtStartupBtnClick() {
  const bool show = ShowWizardAtStartupBtn->isChecked();
  if (StoreShowWizardAtStartup) StoreShowWizardAtStartup(show);
  if (show) return;
  Ui().MessageBox(0, "You can open this screen in future from \"File|" + TemplateCommandCaption + "\" menu.",
                  ProgramName, MB_ICONINFORMATION);
}

void TTemplateForm::WWWAddressClick() {
  if (OnWWWAddressClick) OnWWWAddressClick();
}

void TTemplateForm::keyPressEvent(QKeyEvent* event) {
  if (PreviewFormKey(
          *event, [this](WORD& Key, TShiftState Shift) { FormKeyDown(Key, Shift); },
          [this](char& Key) { FormKeyPress(Key); }))
    return;
  QDialog::keyPressEvent(event);
}

void TTemplateForm::FormKeyPress(char& Key) {
  if (Key == 27) {
    Key = 0;
    reject();
  } else if (Key == 13) {
    Key = 0;
    OkButtonClick();
  }
}

void TTemplateForm::FormKeyDown(WORD& Key, TShiftState) {
  if (Key == VK_F1) {
    Key = 0;
    HelpBtnClick();
  }
}
