#include "dialogs/OptionsFrmU.h"

#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/My_SpinEdit.h"
#include "controls/RadioGroup.h"
#include "platform/CodePages.h"
#include "platform/Fonts.h"
#include "platform/Help.h"
#include "platform/UiServices.h"
#include "platform/qtui/QtHints.h"
#include "platform/qtui/QtInput.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr const char* kUndoHint =
    "Select if you want that each operation can be revoked. It needs some memory and takes some time.";
constexpr const char* kRecentFilesHint =
    "The Recently used file list displays the names of the most recently used files on the File menu.";
constexpr const char* kBackupHint =
    "Saves the current version of an animation and retains a duplicate with a .~GL filename extension.";
constexpr const char* kAutosaveHint =
    "Automatically saves file at the interval you enter in the Minutes box (enter a number from 1 to 120).";
constexpr const char* kResampleHint = "Anti-Alias takes more time than Stretch/Truncate.";
constexpr const char* kSaveBitmapsHint =
    "Frames will be saved with image bitmaps. This is increasing file size but loading is faster.";
constexpr const char* kLocationsHint =
    "Lists the default storage location. Click the item you want to change, and then click Modify to set a new "
    "default location.";

constexpr int kMinRecent = 1;
constexpr int kMaxRecent = 9;
constexpr int kMinMinutes = 1;
constexpr int kMaxMinutes = 120;

QCheckBox* CheckBox(QWidget* parent, const char* name, const char* caption) {
  auto* box = new QCheckBox(AnsiToQString(caption), parent);
  box->setObjectName(name);
  return box;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(AnsiToQString(caption), parent);
  button->setObjectName(name);
  return button;
}

TSpinEdit* Spin(QWidget* parent, const char* name, int low, int high, int value) {
  auto* spin = new TSpinEdit(parent);
  spin->setObjectName(name);
  spin->SetMinValue(low);
  spin->SetMaxValue(high);
  spin->SetValue(value);
  spin->setFixedWidth(60);
  return spin;
}

TRadioGroup* ResampleRadio(QWidget* parent, const char* name, const char* caption) {
  auto* radio = new TRadioGroup(parent);
  radio->setObjectName(name);
  radio->SetCaption(caption);
  radio->SetItems({"&Anti-Alias", "Stretch/&Truncate"});
  radio->SetItemIndex(1);
  return radio;
}

QFont QtFontOf(const TFont& font) {
  QFont qfont(QString::fromStdString(MapFontFamily(font.Name, font.Pitch)));
  qfont.setPointSize(std::max(font.Size(), 1));
  qfont.setBold((font.Style & fsBold) != 0);
  qfont.setItalic((font.Style & fsItalic) != 0);
  qfont.setUnderline((font.Style & fsUnderline) != 0);
  qfont.setStrikeOut((font.Style & fsStrikeOut) != 0);
  return qfont;
}

FontDescription DescriptionOf(const TFont& font) {
  FontDescription description;
  description.name = font.Name;
  description.size = font.Size();
  description.bold = (font.Style & fsBold) != 0;
  description.italic = (font.Style & fsItalic) != 0;
  description.underline = (font.Style & fsUnderline) != 0;
  description.strikeOut = (font.Style & fsStrikeOut) != 0;
  description.color = font.Color;
  description.charset = font.Charset;
  return description;
}

TFont FontOf(const FontDescription& description) {
  TFont font;
  font.Name = description.name;
  font.SetSize(description.size);
  font.Style = (description.bold ? fsBold : 0) | (description.italic ? fsItalic : 0) |
               (description.underline ? fsUnderline : 0) | (description.strikeOut ? fsStrikeOut : 0);
  font.Color = description.color;
  font.Charset = description.charset;
  return font;
}

}  // namespace

TOptionsFrm::TOptionsFrm(QWidget* owner) : QDialog(owner) {
  setObjectName("OptionsFrm");
  setWindowTitle("Options");
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  PageControl1->addTab(CreateGeneralPage(), "&General");
  PageControl1->addTab(CreateSavePage(), "&Save");
  PageControl1->addTab(CreateFontPage(), "&Font");
  PageControl1->addTab(CreateLocationsPage(), "File &Locations");

  OkBtn = Button(this, "OkBtn", "&Ok");
  OkBtn->setDefault(true);
  CancelBtn = Button(this, "CancelBtn", "&Cancel");
  HelpBtn = Button(this, "HelpBtn", "&Help");
  connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpBtn, &QPushButton::clicked, this, [this] { HelpBtnClick(); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkBtn);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(HelpBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl1);
  layout->addLayout(buttons);
  resize(420, 340);
}

QWidget* TOptionsFrm::CreateGeneralPage() {
  auto* page = new QWidget;
  page->setObjectName("GeneralPage");
  CheckBoxUndo = CheckBox(page, "CheckBoxUndo", "Enable &Undo Operation");
  CheckBoxOpennedFiles = CheckBox(page, "CheckBoxOpennedFiles", "&Recently used file list:");
  CheckBoxOpennedFiles->setChecked(true);
  connect(CheckBoxOpennedFiles, &QCheckBox::toggled, this, [this] { CheckBoxOpennedFilesClick(); });
  SpinOpenedFiles = Spin(page, "SpinOpenedFiles", kMinRecent, kMaxRecent, 4);
  LabelOpenedFiles = new QLabel("entries", page);
  LabelOpenedFiles->setObjectName("LabelOpenedFiles");
  TypeOfResizeRadio = ResampleRadio(page, "TypeOfResizeRadio", " Re&sample Process when animation is stopped: ");
  PlayTypeOfResizeRadio =
      ResampleRadio(page, "PlayTypeOfResizeRadio", " Resample Process when animation is &playing: ");

  auto* recent = new QHBoxLayout;
  recent->addWidget(CheckBoxOpennedFiles);
  recent->addWidget(SpinOpenedFiles);
  recent->addWidget(LabelOpenedFiles);
  recent->addStretch(1);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(CheckBoxUndo);
  layout->addLayout(recent);
  layout->addWidget(TypeOfResizeRadio);
  layout->addWidget(PlayTypeOfResizeRadio);
  layout->addStretch(1);
  return page;
}

QWidget* TOptionsFrm::CreateSavePage() {
  auto* page = new QWidget;
  page->setObjectName("SavePage");
  CheckBoxBackup = CheckBox(page, "CheckBoxBackup", "Always create backup copy");
  AutosaveCheck = CheckBox(page, "AutosaveCheck", "Save animation every:");
  SaveIntervalSpin = Spin(page, "SaveIntervalSpin", kMinMinutes, kMaxMinutes, 10);
  SaveIntervalSpin->OnChange = [this](QObject*) { SaveIntervalSpinChange(); };
  auto* minutes = new QLabel("minutes", page);
  minutes->setObjectName("LabelMinutes");
  SaveBitmapsCheckBox = CheckBox(page, "SaveBitmapsCheckBox", "Save frames with bitmaps");

  auto* autosave = new QHBoxLayout;
  autosave->addWidget(AutosaveCheck);
  autosave->addWidget(SaveIntervalSpin);
  autosave->addWidget(minutes);
  autosave->addStretch(1);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(CheckBoxBackup);
  layout->addLayout(autosave);
  layout->addWidget(SaveBitmapsCheckBox);
  layout->addStretch(1);
  return page;
}

QWidget* TOptionsFrm::CreateFontPage() {
  auto* page = new QWidget;
  page->setObjectName("FontPage");
  DialogsText = new QLabel("AaBbYyZz", page);
  DialogsText->setObjectName("DialogsText");
  DialogsText->setFrameShape(QFrame::Panel);
  DialogsText->setFrameShadow(QFrame::Sunken);
  DialogsText->setAlignment(Qt::AlignCenter);
  DialogsText->setMinimumHeight(48);
  ChangeFont = Button(page, "ChangeFont", "Modify Font ...");
  connect(ChangeFont, &QPushButton::clicked, this, [this] { ChangeFontClick(); });
  DigitalDisplay1 = new TDigitalDisplay(page);
  DigitalDisplay1->setObjectName("DigitalDisplay1");
  DigitalDisplay1->SetCaption("00125");
  DigitalDisplay1->setFixedSize(5 * TDigitalDisplay::kCellWidth, TDigitalDisplay::kCellHeight);
  ButtonDigDisplay = Button(page, "ButtonDigDisplay", "Modify Color ...");
  connect(ButtonDigDisplay, &QPushButton::clicked, this, [this] { ButtonDigDisplayClick(); });

  auto* layout = new QGridLayout(page);
  layout->addWidget(DialogsText, 0, 0);
  layout->addWidget(ChangeFont, 0, 1, Qt::AlignTop);
  layout->addWidget(DigitalDisplay1, 1, 0, Qt::AlignCenter);
  layout->addWidget(ButtonDigDisplay, 1, 1);
  layout->setRowStretch(2, 1);
  layout->setColumnStretch(0, 1);
  return page;
}

QWidget* TOptionsFrm::CreateLocationsPage() {
  auto* page = new QWidget;
  page->setObjectName("LocationsPage");
  FileLocationsList = new QTreeWidget(page);
  FileLocationsList->setObjectName("FileLocationsList");
  FileLocationsList->setColumnCount(2);
  FileLocationsList->setHeaderLabels({"File Types", "Location"});
  FileLocationsList->setRootIsDecorated(false);
  FileLocationsList->setSelectionBehavior(QAbstractItemView::SelectRows);
  FileLocationsList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FileLocationsList->header()->resizeSection(0, 110);
  const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
  for (const char* type : {"Animations", "Images", "Textures"}) {
    auto* row = new QTreeWidgetItem(FileLocationsList, QStringList{type, QString()});
    row->setIcon(0, folder);
  }
  connect(FileLocationsList, &QTreeWidget::itemDoubleClicked, this, [this] { ModifyBtnClick(); });
  ModifyBtn = Button(page, "ModifyBtn", "Modify...");
  connect(ModifyBtn, &QPushButton::clicked, this, [this] { ModifyBtnClick(); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ModifyBtn);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(FileLocationsList);
  layout->addLayout(buttons);
  return page;
}

// ---- Filling and reading -------------------------------------------------------------------------

void TOptionsFrm::Fill(const TOptionsValues& values) {
  CheckBoxBackup->setChecked(values.CreateBackup);
  const std::string folders[] = {values.DataFolder, values.PicturesFolder, values.TexturesFolder};
  for (int row = 0; row < 3; ++row)
    FileLocationsList->topLevelItem(row)->setText(1, QString::fromUtf8(folders[row]));  // file-system bytes
  // The interval first: a change of it ticks the autosave box.
  SaveIntervalSpin->SetValue(values.AutosaveMinutes);
  AutosaveCheck->setChecked(values.Autosave);
  CheckBoxUndo->setChecked(values.UndoEnabled);
  TypeOfResizeRadio->SetItemIndex(values.AntiAliasResample ? 0 : 1);
  PlayTypeOfResizeRadio->SetItemIndex(values.PlayAntiAliasResample ? 0 : 1);
  DigitalDisplay1->SetColorOfText(values.DigitalDisplayColor);
  DigitalDisplay1->SetColor(values.DigitalDisplayBackground);
  SpinOpenedFiles->SetValue(values.MaxLastOpened);
  CheckBoxOpennedFiles->setChecked(values.LastOpenedEnabled);
  CheckBoxOpennedFilesClick();
  SaveBitmapsCheckBox->setChecked(values.SaveBitmapsInFrames);
  SetDialogsTextFont(values.DialogFont);
}

TOptionsValues TOptionsFrm::Values() const {
  TOptionsValues values;
  values.CreateBackup = CheckBoxBackup->isChecked();
  values.DataFolder = FolderOfRow(0);
  values.PicturesFolder = FolderOfRow(1);
  values.TexturesFolder = FolderOfRow(2);
  values.Autosave = AutosaveCheck->isChecked();
  // A value typed beyond the spin's range counts as its nearest bound.
  values.AutosaveMinutes = std::clamp(SaveIntervalSpin->Value(), kMinMinutes, kMaxMinutes);
  values.UndoEnabled = CheckBoxUndo->isChecked();
  values.AntiAliasResample = TypeOfResizeRadio->ItemIndex() == 0;
  values.PlayAntiAliasResample = PlayTypeOfResizeRadio->ItemIndex() == 0;
  values.DialogFont = dialogsTextFont_;
  values.DigitalDisplayColor = DigitalDisplay1->ColorOfText();
  values.DigitalDisplayBackground = DigitalDisplay1->Color();
  values.MaxLastOpened = std::clamp(SpinOpenedFiles->Value(), kMinRecent, kMaxRecent);
  values.LastOpenedEnabled = CheckBoxOpennedFiles->isChecked();
  values.SaveBitmapsInFrames = SaveBitmapsCheckBox->isChecked();
  return values;
}

std::string TOptionsFrm::FolderOfRow(int row) const {
  return FileLocationsList->topLevelItem(row)->text(1).toStdString();
}

void TOptionsFrm::SetDialogsTextFont(const TFont& font) {
  dialogsTextFont_ = font;
  DialogsText->setFont(QtFontOf(font));
  QPalette palette = DialogsText->palette();
  const TColor color = ColorToRGB(font.Color);
  palette.setColor(QPalette::WindowText, QColor(GetRValue(color), GetGValue(color), GetBValue(color)));
  DialogsText->setPalette(palette);
}

// ---- Handlers ------------------------------------------------------------------------------------

void TOptionsFrm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TOptionsFrm::FormShow() {
  ApplyHint(*CheckBoxUndo, kUndoHint);
  ApplyHint(*CheckBoxOpennedFiles, kRecentFilesHint);
  ApplyHint(*SpinOpenedFiles, kRecentFilesHint);
  ApplyHint(*CheckBoxBackup, kBackupHint);
  ApplyHint(*AutosaveCheck, kAutosaveHint);
  ApplyHint(*SaveIntervalSpin, kAutosaveHint);
  ApplyHint(*TypeOfResizeRadio, kResampleHint);
  ApplyHint(*PlayTypeOfResizeRadio, kResampleHint);
  ApplyHint(*SaveBitmapsCheckBox, kSaveBitmapsHint);
  ApplyHint(*FileLocationsList, kLocationsHint);
  PageControl1->setCurrentIndex(0);
  setFont(QApplication::font());  // the program's dialog font
  DialogsText->setFont(QtFontOf(dialogsTextFont_));
}

void TOptionsFrm::keyPressEvent(QKeyEvent* event) {
  const WORD pressed = VirtualKeyOf(*event);
  WORD key = pressed;
  FormKeyDown(key, ShiftStateOf(event->modifiers()));
  if (pressed != 0 && key == 0) return;
  if (const std::optional<char> character = KeyPressCharOf(*event)) {
    char typed = *character;
    FormKeyPress(typed);
    if (typed == 0) return;
  }
  QDialog::keyPressEvent(event);
}

void TOptionsFrm::FormKeyPress(char& Key) {
  if (Key == '\r') {
    Key = 0;
    accept();
  } else if (Key == 27) {
    Key = 0;
    reject();
  }
}

void TOptionsFrm::FormKeyDown(WORD& Key, TShiftState) {
  if (Key == VK_F1) {
    Key = 0;
    HelpBtnClick();
  }
}

void TOptionsFrm::HelpBtnClick() { HelpJump("SetParameters"); }

void TOptionsFrm::ChangeFontClick() {
  if (const std::optional<FontDescription> chosen = Ui().ChooseFont(DescriptionOf(dialogsTextFont_)))
    SetDialogsTextFont(FontOf(*chosen));
}

void TOptionsFrm::ButtonDigDisplayClick() {
  if (const std::optional<TColor> chosen = Ui().ChooseColor(DigitalDisplay1->ColorOfText()))
    DigitalDisplay1->SetColorOfText(*chosen);
}

void TOptionsFrm::CheckBoxOpennedFilesClick() {
  SpinOpenedFiles->setEnabled(CheckBoxOpennedFiles->isChecked());
  LabelOpenedFiles->setEnabled(CheckBoxOpennedFiles->isChecked());
}

void TOptionsFrm::SaveIntervalSpinChange() { AutosaveCheck->setChecked(true); }

void TOptionsFrm::ModifyBtnClick() {
  QTreeWidgetItem* row = FileLocationsList->currentItem();
  if (row == nullptr) return;
  const std::string title = "Select folder for " + QStringToAnsi(row->text(0));
  if (const std::optional<std::string> folder = Ui().ChooseFolder(title, row->text(1).toStdString()))
    row->setText(1, QString::fromUtf8(*folder));
}
