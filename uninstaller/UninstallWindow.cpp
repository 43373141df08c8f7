#include "uninstaller/UninstallWindow.h"

#include "platform/CodePages.h"
#include "platform/SystemValues.h"
#include "uninstaller/core/InstallConstants.h"

#include <QCloseEvent>
#include <QImage>
#include <QPainter>
#include <QProgressBar>

namespace {

constexpr int kLineSpacing = 20;
constexpr int kProgressBarId = 5;

}  // namespace

TUninstallWindow::TUninstallWindow(const TUninstaller& uninstaller)
    : QWidget(nullptr,
              Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      uninstaller_(uninstaller),
      handle_([this](TMessage& message) { UninstallWndProc(message); }) {
  // The window class is named after the product.
  setObjectName(QString::fromStdString(uninstaller.ProductName()));
  setWindowTitle(QString::fromUtf8("Uninstall " + uninstaller.ProductName()));
  setFixedSize(kWidth, kHeight);
  const TSize screen = System().ScreenSize();
  move(screen.cx / 2 - kWidth / 2, screen.cy / 2 - kHeight / 2);
  setAttribute(Qt::WA_OpaquePaintEvent);
  picture_.SetPixelFormat(pf24bit);
  picture_.SetSize(kWidth, kHeight);
  PaintWindow();
  show();

  progressBar_ = new QProgressBar(this);
  progressBar_->setObjectName("ProgressBar");
  progressBar_->setProperty("controlId", kProgressBarId);
  progressBar_->setRange(0, 100);
  progressBar_->setValue(0);
  progressBar_->setTextVisible(false);
  progressBar_->setGeometry(kTextLeft, kProgressTop, kProgressWidth, kProgressHeight);
  progressBar_->show();
}

TUninstallWindow::~TUninstallWindow() = default;

std::unique_ptr<UninstallDisplay> MakeUninstallWindow(const TUninstaller& uninstaller) {
  return std::make_unique<TUninstallWindow>(uninstaller);
}

void TUninstallWindow::SetProgress(int position) { progressBar_->setValue(position); }

void TUninstallWindow::UninstallWndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      PaintWindow();
      repaint();
      break;
    case WM_CLOSE: close(); break;
    default: break;
  }
}

void TUninstallWindow::closeEvent(QCloseEvent* event) {
  // Closing destroys the window, which ends the message loop.
  destroyed_ = true;
  event->accept();
}

int TUninstallWindow::LineHeight() {
  const int height = picture_.Canvas().TextHeight("Wg");
  return height > 0 ? height : kFallbackLineHeight;
}

std::vector<TUninstallWindow::TextLine> TUninstallWindow::TextLines() {
  // Registry texts are UTF-8; the canvas draws Windows-1252 text.
  std::vector<TextLine> lines;
  lines.push_back({{kTextLeft, 10},
                   "Uninstall program will remove " + Utf8ToAnsi(uninstaller_.ProductName()) +
                       " from your computer."});
  int y = 10;
  for (const char* line : kWindowLines) lines.push_back({{kTextLeft, y += kLineSpacing}, line});
  if (!uninstaller_.StatusText().empty())
    lines.push_back({{kTextLeft, kProgressTop - LineHeight()}, Utf8ToAnsi(uninstaller_.StatusText())});
  return lines;
}

void TUninstallWindow::PaintWindow() {
  TCanvas& canvas = picture_.Canvas();
  canvas.Pen() = TPen();  // the default pen frames the face
  canvas.Brush().Color = clBtnFace;
  canvas.Brush().Style = bsSolid;
  canvas.Rectangle(0, 0, kWidth, kHeight);
  canvas.Font() = TFont();  // the default GUI font
  canvas.Font().Color = clBtnText;
  for (const TextLine& line : TextLines()) canvas.TextOut(line.at.X, line.at.Y, line.text);
}

void TUninstallWindow::paintEvent(QPaintEvent*) {
  // Shows the picture of the last paint message; nothing here asks for another paint.
  ++paintCount_;
  const QImage image(picture_.ScanLine(0), picture_.Width(), picture_.Height(),
                     static_cast<qsizetype>(picture_.RowBytes()), QImage::Format_BGR888);
  QPainter(this).drawImage(0, 0, image);
}
