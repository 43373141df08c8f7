#include "app/MainFormTreeIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

// Every picture is drawn on a 16 x 16 grid.
constexpr int kSize = 16;

const QColor kOutline(40, 52, 72);
const QColor kPaper(252, 252, 248);
const QColor kBlue(52, 110, 196);
const QColor kGreen(46, 160, 67);
const QColor kRed(206, 52, 48);
const QColor kYellow(240, 190, 60);
const QColor kGrey(150, 150, 150);

QIcon Draw(const std::function<void(QPainter&)>& paint) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kOutline, 1.2));
  paint(p);
  p.end();
  return QIcon(pixmap);
}

void Scene(QPainter& p) {
  p.setBrush(kBlue);
  p.drawRect(QRectF(1.5, 3.5, 13, 9));
  p.setBrush(kYellow);
  p.drawEllipse(QRectF(3.5, 5.5, 4, 4));
  p.setBrush(kGreen);
  p.drawRect(QRectF(8.5, 7.5, 4, 3));
}

void Sprite(QPainter& p) {
  p.setBrush(kYellow);
  p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
  p.setBrush(kOutline);
  p.drawEllipse(QRectF(5.5, 5.5, 1.5, 1.5));
  p.drawEllipse(QRectF(9, 5.5, 1.5, 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(5, 6, 6, 5), 200 * 16, 140 * 16);
}

void Background(QPainter& p) {
  QLinearGradient fill(0, 2, 0, 14);
  fill.setColorAt(0, QColor(120, 180, 240));
  fill.setColorAt(1, kPaper);
  p.setBrush(fill);
  p.drawRect(QRectF(1.5, 2.5, 13, 11));
}

void PictureFrame(QPainter& p) {
  p.setBrush(kPaper);
  p.drawRect(QRectF(1.5, 2.5, 13, 11));
  QPainterPath hills;
  hills.moveTo(2, 13);
  hills.lineTo(6, 7);
  hills.lineTo(9, 11);
  hills.lineTo(11, 9);
  hills.lineTo(14, 13);
  hills.closeSubpath();
  p.setBrush(kGreen);
  p.drawPath(hills);
}

void TextFrame(QPainter& p) {
  p.setPen(QPen(kBlue, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(3, 3), QPointF(13, 3));
  p.drawLine(QPointF(8, 3), QPointF(8, 14));
}

void Motion(QPainter& p) {
  p.setPen(QPen(kRed, 1.6, Qt::DashLine));
  p.drawLine(QPointF(3, 13), QPointF(13, 3));
  p.setPen(QPen(kOutline, 1.2));
  p.setBrush(kGreen);
  p.drawEllipse(QRectF(1, 11, 4, 4));
  p.setBrush(kRed);
  p.drawEllipse(QRectF(11, 1, 4, 4));
}

void Appearance(QPainter& p) {
  p.setBrush(kPaper);
  p.drawRect(QRectF(1.5, 5.5, 13, 5));
  p.setBrush(kBlue);
  p.drawRect(QRectF(4.5, 5.5, 6, 5));
}

void Unused(QPainter& p) {
  p.setBrush(kGrey);
  p.drawEllipse(QRectF(5.5, 5.5, 5, 5));
}

void Rectangle(QPainter& p) {
  p.setBrush(kRed);
  p.drawRect(QRectF(2.5, 4.5, 11, 8));
}

void Ellipse(QPainter& p) {
  p.setBrush(kGreen);
  p.drawEllipse(QRectF(1.5, 3.5, 13, 9));
}

void Line(QPainter& p) {
  p.setPen(QPen(kBlue, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(2.5, 13.5), QPointF(13.5, 2.5));
}

void Opacity(QPainter& p) {
  p.setBrush(kBlue);
  p.drawRect(QRectF(1.5, 1.5, 9, 9));
  p.setBrush(QColor(206, 52, 48, 120));
  p.drawRect(QRectF(5.5, 5.5, 9, 9));
}

void Shadow(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(kGrey);
  p.drawRect(QRectF(5, 5, 10, 9));
  p.setPen(QPen(kOutline, 1.2));
  p.setBrush(kYellow);
  p.drawRect(QRectF(1.5, 1.5, 10, 9));
}

}  // namespace

std::vector<QIcon> TreeNodeIcons() {
  return {Draw(Scene),     Draw(Sprite),    Draw(Background), Draw(PictureFrame), Draw(TextFrame),
          Draw(Motion),    Draw(Appearance), Draw(Unused),    Draw(Rectangle),    Draw(Ellipse),
          Draw(Line),      Draw(Opacity),    Draw(Shadow)};
}
