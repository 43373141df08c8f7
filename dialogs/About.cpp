#include "dialogs/About.h"

#include "controls/MyCntrlMovie.h"
#include "controls/URL.h"
#include "dialogs/FirstFlashFormU.h"
#include "imaging/utils.h"
#include "platform/BitmapImages.h"
#include "platform/CodePages.h"
#include "platform/Graphics.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kMovieWidth = 260;
constexpr int kMovieHeight = 56;
constexpr int kMovieFrames = 12;
}  // namespace

void MakeProductNameStrip(const std::string& name, int width, int height, int frames, TBitmap& strip) {
  QImage image(width * frames, height, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QFont font("Liberation Sans");
  font.setPixelSize(height * 60 / 100);
  font.setBold(true);
  const QString text = AnsiToQString(name);
  const QFontMetrics metrics(font);
  for (int frame = 0; frame < frames; ++frame) {
    const qreal left = frame * width + (width - metrics.horizontalAdvance(text)) / 2.0;
    const qreal baseline = (height + metrics.ascent() - metrics.descent()) / 2.0;
    QPainterPath letters;
    letters.addText(left, baseline, font, text);
    painter.setClipRect(frame * width, 0, width, height);
    for (int depth = 3; depth > 0; --depth) painter.fillPath(letters.translated(depth, depth), QColor(90, 50, 10));
    // The gleam crosses the letters once over the frames.
    const qreal gleam = frame * width + (frame + 0.5) * width / frames;
    QLinearGradient gold(gleam - 30, 0, gleam + 30, 0);
    gold.setColorAt(0, QColor(225, 150, 30));
    gold.setColorAt(0.5, QColor(255, 250, 215));
    gold.setColorAt(1, QColor(225, 150, 30));
    painter.fillPath(letters, gold);
  }
  painter.end();
  QImageToBitmap(image, strip);
}

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner) {
  setObjectName("AboutBox");
  setWindowTitle("About");
  ProductName = new TMovie(this);
  ProductName->setObjectName("ProductName");
  ProductName->setFixedSize(kMovieWidth, kMovieHeight);
  Version = new QLabel(this);
  Version->setObjectName("Version");
  SupportLabel = new QLabel("Support:", this);
  SupportLabel->setObjectName("SupportLabel");
  WWWAddress = new TURL(this);
  WWWAddress->setObjectName("WWWAddress");
  WWWAddress->OnClick = [this](QObject*) { WWWAddressClick(); };
  OkBtn = new QPushButton("&Close", this);
  OkBtn->setObjectName("OkBtn");
  OkBtn->setDefault(true);
  connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);

  auto* support = new QHBoxLayout;
  support->addWidget(SupportLabel);
  support->addWidget(WWWAddress, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ProductName, 0, Qt::AlignHCenter);
  layout->addWidget(Version, 0, Qt::AlignHCenter);
  layout->addSpacing(8);
  layout->addLayout(support);
  layout->addSpacing(8);
  layout->addWidget(OkBtn, 0, Qt::AlignHCenter);
  setFixedWidth(320);
}

void TAboutBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TAboutBox::FormShow() {
  setFont(QApplication::font());  // the main window's dialog font
  TBitmap strip;
  MakeProductNameStrip(ProgramName, kMovieWidth, kMovieHeight, kMovieFrames, strip);
  ProductName->SetPicture(strip);
  ProductName->SetNumFrames(kMovieFrames);
  ProductName->SetFramesPerSecond(12);
  ProductName->SetMovieEnabled(true);
  QFont linkFont = WWWAddress->font();
  linkFont.setUnderline(true);
  WWWAddress->setFont(linkFont);
  QPalette palette = WWWAddress->palette();
  palette.setColor(QPalette::Text, QColor(0, 0, 255));  // $FF0000 as $00BBGGRR
  WWWAddress->setPalette(palette);
  WWWAddress->setText(kMakerWebAddress);
  Version->setText(kProductVersionText);
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
  char key = 0;
  FormKeyPress(key);
  event->accept();
}

void TAboutBox::FormKeyPress(char&) { accept(); }

void TAboutBox::WWWAddressClick() {
  if (OnWebAddressClick) OnWebAddressClick();
}
