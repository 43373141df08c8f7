#include "dialogs/FirstFlashFormU.h"

#include "imaging/utils.h"
#include "platform/CodePages.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QVBoxLayout>

namespace {
constexpr int kPictureWidth = 420;
constexpr int kPictureHeight = 190;
}  // namespace

QPixmap SplashPicture(int width, int height) {
  QPixmap picture(width, height);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0, QColor(18, 32, 74));
  sky.setColorAt(1, QColor(6, 10, 28));
  painter.fillRect(picture.rect(), sky);
  // A few sparks of light, as a banner's animation would show them.
  painter.setPen(Qt::NoPen);
  const QPointF sparks[] = {{0.12, 0.22}, {0.84, 0.18}, {0.7, 0.78}, {0.25, 0.8}, {0.93, 0.6}, {0.05, 0.55}};
  for (const QPointF& spark : sparks) {
    QRadialGradient glow(spark.x() * width, spark.y() * height, 10);
    glow.setColorAt(0, QColor(255, 236, 160, 230));
    glow.setColorAt(1, QColor(255, 236, 160, 0));
    painter.setBrush(glow);
    painter.drawEllipse(QPointF(spark.x() * width, spark.y() * height), 10, 10);
  }
  // The product's name in extruded letters: a dark shadow layer under a
  // gold face, like the editor's 3D text.
  QFont font("Liberation Sans");
  font.setPixelSize(height * 30 / 100);
  font.setBold(true);
  const QString name = AnsiToQString(ProgramName);
  QPainterPath text;
  const QFontMetrics metrics(font);
  const qreal x = (width - metrics.horizontalAdvance(name)) / 2.0;
  const qreal y = height * 0.58;
  text.addText(x, y, font, name);
  for (int depth = 6; depth > 0; --depth)
    painter.fillPath(text.translated(depth, depth), QColor(90 - depth * 8, 50 - depth * 4, 10));
  QLinearGradient gold(0, y - metrics.ascent(), 0, y);
  gold.setColorAt(0, QColor(255, 244, 190));
  gold.setColorAt(1, QColor(230, 160, 30));
  painter.fillPath(text, gold);
  painter.setPen(QPen(QColor(120, 70, 10), 1));
  painter.drawPath(text);
  return picture;
}

TFirstFlashForm::TFirstFlashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("FirstFlashForm");
  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::Box);
  frame->setLineWidth(1);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(frame);
  auto* layout = new QVBoxLayout(frame);
  layout->setContentsMargins(6, 6, 6, 6);
  Image1 = new QLabel(frame);
  Image1->setObjectName("Image1");
  Image1->setPixmap(SplashPicture(kPictureWidth, kPictureHeight));
  layout->addWidget(Image1);
  Version = new QLabel(frame);
  Version->setObjectName("Version");
  Version->setAlignment(Qt::AlignRight);
  layout->addWidget(Version);
  auto* loadingRow = new QHBoxLayout;
  LoadingCaption = new QLabel("Loading ...", frame);
  LoadingCaption->setObjectName("LoadingCaption");
  Loading_Label = new QLabel(frame);
  Loading_Label->setObjectName("Loading_Label");
  loadingRow->addWidget(LoadingCaption);
  loadingRow->addWidget(Loading_Label, 1);
  layout->addLayout(loadingRow);
  FormCreate();
}

void TFirstFlashForm::FormCreate() { Version->setText(kProductVersionText); }

void TFirstFlashForm::SetLoadingText(const std::string& text) { Loading_Label->setText(AnsiToQString(text)); }

std::string TFirstFlashForm::LoadingText() const { return QStringToAnsi(Loading_Label->text()); }
