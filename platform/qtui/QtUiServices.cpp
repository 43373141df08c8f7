#include "platform/qtui/QtUiServices.h"

#include "platform/CodePages.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QSlider>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QRegularExpression>

#include <algorithm>

namespace {

QWidget* DialogParent() { return QApplication::activeWindow(); }

QMessageBox::Icon IconFor(unsigned flags) {
  switch (flags & MB_ICONMASK) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

struct ButtonSet {
  QMessageBox::StandardButton buttons[3];
  int results[3];
  int count;
};

ButtonSet ButtonsFor(unsigned flags) {
  using B = QMessageBox;
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{B::Ok, B::Cancel, B::NoButton}, {IDOK, IDCANCEL, 0}, 2};
    case MB_ABORTRETRYIGNORE: return {{B::Abort, B::Retry, B::Ignore}, {IDABORT, IDRETRY, IDIGNORE}, 3};
    case MB_YESNOCANCEL: return {{B::Yes, B::No, B::Cancel}, {IDYES, IDNO, IDCANCEL}, 3};
    case MB_YESNO: return {{B::Yes, B::No, B::NoButton}, {IDYES, IDNO, 0}, 2};
    case MB_RETRYCANCEL: return {{B::Retry, B::Cancel, B::NoButton}, {IDRETRY, IDCANCEL, 0}, 2};
    default: return {{B::Ok, B::NoButton, B::NoButton}, {IDOK, 0, 0}, 1};
  }
}

QString PatternsOf(const QString& patterns) {
  QStringList out;
  for (const QString& p : patterns.split(';', Qt::SkipEmptyParts)) {
    const QString trimmed = p.trimmed();
    out << trimmed;
    if (trimmed.toLower() != trimmed) out << trimmed.toLower();
    if (trimmed.toUpper() != trimmed) out << trimmed.toUpper();
  }
  out.removeDuplicates();
  return out.join(' ');
}

FileDialogResult ResultOf(const QString& file, const QStringList& filters, const QString& chosenFilter) {
  FileDialogResult result;
  result.fileName = file.toStdString();
  result.filterIndex = static_cast<int>(filters.indexOf(chosenFilter)) + 1;
  if (result.filterIndex < 1) result.filterIndex = 1;
  return result;
}

QString SelectedFilter(const QStringList& filters, int filterIndex) {
  return filterIndex >= 1 && filterIndex <= filters.size() ? filters[filterIndex - 1] : QString();
}

}  // namespace

QString DisplayText(const std::string& text) {
  QString shown = AnsiToQString(text);
  shown.replace("\r\n", "\n");
  shown.replace('\r', '\n');
  return shown;
}

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = AnsiToQString(filter).split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const QString patterns = PatternsOf(parts[i + 1]);
    // A description that already names its patterns in brackets gets them replaced.
    description.remove(QRegularExpression("\\s*\\([^()]*\\)\\s*$"));
    entries << QString("%1 (%2)").arg(description, patterns);
  }
  return entries.join(";;");
}

int QtUiServices::MessageBox(HWND, const std::string& text, const std::string& caption, unsigned flags) {
  QMessageBox box(IconFor(flags), DisplayText(caption), DisplayText(text), QMessageBox::NoButton,
                  DialogParent());
  const ButtonSet set = ButtonsFor(flags);
  for (int i = 0; i < set.count; ++i) box.addButton(set.buttons[i]);
  const int defaultIndex = std::min<int>(static_cast<int>((flags & MB_DEFMASK) >> 8), set.count - 1);
  box.setDefaultButton(set.buttons[defaultIndex]);
  const auto chosen = static_cast<QMessageBox::StandardButton>(box.exec());
  for (int i = 0; i < set.count; ++i)
    if (set.buttons[i] == chosen) return set.results[i];
  // Closed with Esc or the window's close box: Cancel where there is one, else the default.
  for (int i = 0; i < set.count; ++i)
    if (set.results[i] == IDCANCEL) return IDCANCEL;
  return set.results[defaultIndex];
}

bool QtUiServices::ShowNote(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Warning, DisplayText(caption), DisplayText(text), QMessageBox::Ok,
                  DialogParent());
  auto* neverShow = new QCheckBox(QStringLiteral("&Never show this note"));
  box.setCheckBox(neverShow);  // the box owns it
  box.exec();
  return neverShow->isChecked();
}

std::optional<FileDialogResult> QtUiServices::ChooseOpenFile(const FileDialogRequest& request) {
  if (request.panel != nullptr || request.allowMultiSelect) return ChooseOpenFilesWithPanel(request);
  const QString filter = QtFileFilter(request.filter);
  const QStringList filters = filter.split(";;");
  QString chosenFilter = SelectedFilter(filters, request.filterIndex);
  QString start = QString::fromStdString(request.initialDir);
  if (!request.fileName.empty()) start = QString::fromStdString(request.initialDir + request.fileName);
  const QString file =
      QFileDialog::getOpenFileName(DialogParent(), DisplayText(request.title), start, filter, &chosenFilter);
  if (file.isEmpty()) return std::nullopt;
  FileDialogResult result = ResultOf(file, filters, chosenFilter);
  result.fileNames = {result.fileName};
  return result;
}

namespace {

// Puts a side panel into a widget-based file dialog for the dialog's run and
// gives it back, hidden and without a parent, on every way out.
class PanelPlacement {
 public:
  PanelPlacement(QFileDialog& dialog, FileChooserPanel* panel) : panel_(panel) {
    if (panel_ == nullptr || panel_->widget == nullptr) return;
    grid_ = qobject_cast<QGridLayout*>(dialog.layout());
    if (grid_ == nullptr) return;
    // The widget-based dialog lays its controls out in a grid: the panel
    // takes a new column at the right, over every row.
    grid_->addWidget(panel_->widget, 0, grid_->columnCount(), grid_->rowCount(), 1);
    panel_->widget->show();
    QObject::connect(&dialog, &QFileDialog::currentChanged, panel_->widget, [panel = panel_](const QString& path) {
      if (panel->onSelectionChange) panel->onSelectionChange(path.toStdString());
    });
  }
  ~PanelPlacement() {
    if (grid_ == nullptr) return;
    grid_->removeWidget(panel_->widget);
    panel_->widget->hide();
    panel_->widget->setParent(nullptr);
  }
  PanelPlacement(const PanelPlacement&) = delete;
  PanelPlacement& operator=(const PanelPlacement&) = delete;

 private:
  FileChooserPanel* panel_;
  QGridLayout* grid_ = nullptr;
};

}  // namespace

std::optional<FileDialogResult> QtUiServices::ChooseOpenFilesWithPanel(const FileDialogRequest& request) {
  const QString filter = QtFileFilter(request.filter);
  const QStringList filters = filter.split(";;");
  QFileDialog dialog(DialogParent(), DisplayText(request.title), QString::fromStdString(request.initialDir), filter);
  dialog.setObjectName(QStringLiteral("OpenFileChooser"));
  // Only the widget-based dialog can carry a panel of ours.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(request.allowMultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  const QString chosenFilter = SelectedFilter(filters, request.filterIndex);
  if (!chosenFilter.isEmpty()) dialog.selectNameFilter(chosenFilter);
  if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));

  FileChooserPanel* panel = request.panel;
  PanelPlacement placement(dialog, panel);
  if (panel != nullptr && panel->onShow) panel->onShow();
  const bool accepted = dialog.exec() == QDialog::Accepted;
  if (panel != nullptr && panel->onClose) panel->onClose();
  const QStringList files = dialog.selectedFiles();
  if (!accepted || files.isEmpty()) return std::nullopt;
  FileDialogResult result = ResultOf(files.front(), filters, dialog.selectedNameFilter());
  for (const QString& file : files) result.fileNames.push_back(file.toStdString());
  return result;
}

std::optional<FileDialogResult> QtUiServices::ChooseSaveFile(const FileDialogRequest& request) {
  const QString filter = QtFileFilter(request.filter);
  const QStringList filters = filter.split(";;");
  QString chosenFilter = SelectedFilter(filters, request.filterIndex);
  QString start = QString::fromStdString(request.initialDir + request.fileName);
  QString file =
      QFileDialog::getSaveFileName(DialogParent(), DisplayText(request.title), start, filter, &chosenFilter);
  if (file.isEmpty()) return std::nullopt;
  if (!request.defaultExt.empty() && QFileInfo(file).suffix().isEmpty())
    file += "." + QString::fromStdString(request.defaultExt);
  return ResultOf(file, filters, chosenFilter);
}

std::optional<TColor> QtUiServices::ChooseColor(TColor initial) {
  const TColor rgb = ColorToRGB(initial);
  const QColor chosen = QColorDialog::getColor(QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)),
                                               DialogParent());
  if (!chosen.isValid()) return std::nullopt;
  return RGB(static_cast<std::uint8_t>(chosen.red()), static_cast<std::uint8_t>(chosen.green()),
             static_cast<std::uint8_t>(chosen.blue()));
}

std::optional<FontDescription> QtUiServices::ChooseFont(const FontDescription& initial) {
  QFont font(AnsiToQString(initial.name), initial.size);
  font.setBold(initial.bold);
  font.setItalic(initial.italic);
  font.setUnderline(initial.underline);
  font.setStrikeOut(initial.strikeOut);
  bool accepted = false;
  const QFont chosen = QFontDialog::getFont(&accepted, font, DialogParent());
  if (!accepted) return std::nullopt;
  FontDescription result = initial;
  result.name = QStringToAnsi(chosen.family());
  result.size = chosen.pointSize() > 0 ? chosen.pointSize() : initial.size;
  result.bold = chosen.bold();
  result.italic = chosen.italic();
  result.underline = chosen.underline();
  result.strikeOut = chosen.strikeOut();
  return result;
}

std::optional<std::string> QtUiServices::ChooseFolder(const std::string& title, const std::string& initial) {
  const QString folder = QFileDialog::getExistingDirectory(DialogParent(), DisplayText(title),
                                                           QString::fromStdString(initial));
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}

std::optional<VideoCompression> QtUiServices::ChooseVideoCompression(HWND, const VideoCompression& initial) {
  constexpr std::uint32_t kMotionJpeg = 'M' | ('J' << 8) | ('P' << 16) | (static_cast<std::uint32_t>('G') << 24);
  QDialog dialog(DialogParent());
  dialog.setWindowTitle(QStringLiteral("Video Compression"));
  auto* layout = new QFormLayout(&dialog);
  auto* compressor = new QComboBox(&dialog);
  compressor->addItem(QStringLiteral("Full Frames (Uncompressed)"));
  compressor->addItem(QStringLiteral("Motion JPEG"));
  compressor->setCurrentIndex(initial.handler == kMotionJpeg ? 1 : 0);
  layout->addRow(QStringLiteral("&Compressor:"), compressor);
  auto* quality = new QSlider(Qt::Horizontal, &dialog);
  quality->setRange(0, 100);
  quality->setValue(std::clamp(initial.quality / 100, 0, 100));
  quality->setEnabled(compressor->currentIndex() == 1);
  QObject::connect(compressor, &QComboBox::currentIndexChanged, quality,
                   [quality](int index) { quality->setEnabled(index == 1); });
  layout->addRow(QStringLiteral("Compression &Quality:"), quality);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  VideoCompression chosen;
  chosen.handler = compressor->currentIndex() == 1 ? kMotionJpeg : 0;
  chosen.quality = quality->value() * 100;
  return chosen;
}

void QtUiServices::SetCursor(TCursor cursor) {
  const bool wantBusy = cursor == crHourGlass;
  if (wantBusy == busy_) return;
  busy_ = wantBusy;
  if (busy_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtUiServices::Beep() { QApplication::beep(); }
