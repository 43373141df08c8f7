#include "app/MainFormIcons.h"

#include <QFont>
#include <QPushButton>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cstring>
#include <functional>
#include <map>
#include <string>

namespace {

// Every picture is drawn on a 32 x 32 grid and scaled by Qt where needed.
constexpr int kGrid = 32;

const QColor kOutline(40, 52, 72);
const QColor kPaper(252, 252, 248);
const QColor kBlue(52, 110, 196);
const QColor kGreen(46, 160, 67);
const QColor kRed(206, 52, 48);
const QColor kYellow(240, 190, 60);

using TPainter = std::function<void(QPainter&)>;

QPen Outline(qreal width = 1.6) { return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void Page(QPainter& p, const QRectF& r) {
  QPainterPath page;
  const qreal fold = r.width() * 0.3;
  page.moveTo(r.left(), r.top());
  page.lineTo(r.right() - fold, r.top());
  page.lineTo(r.right(), r.top() + fold);
  page.lineTo(r.right(), r.bottom());
  page.lineTo(r.left(), r.bottom());
  page.closeSubpath();
  p.setPen(Outline());
  p.setBrush(kPaper);
  p.drawPath(page);
  p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
  p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void TextLines(QPainter& p, const QRectF& r, int lines) {
  p.setPen(QPen(QColor(120, 140, 170), 1.4));
  for (int i = 0; i < lines; ++i) {
    const qreal y = r.top() + (i + 1) * r.height() / (lines + 1);
    p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
  }
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color, qreal width = 3.2) {
  p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(from, to);
  const QLineF line(to, from);
  QLineF wing1 = line;
  wing1.setLength(7);
  wing1.setAngle(line.angle() + 35);
  QLineF wing2 = line;
  wing2.setLength(7);
  wing2.setAngle(line.angle() - 35);
  p.drawLine(wing1);
  p.drawLine(wing2);
}

void Triangle(QPainter& p, QPointF a, QPointF b, QPointF c, const QColor& color) {
  p.setPen(QPen(color.darker(140), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(color);
  const QPointF points[] = {a, b, c};
  p.drawPolygon(points, 3);
}

void Bar(QPainter& p, qreal x, const QColor& color) {
  p.setPen(QPen(color.darker(140), 1.2));
  p.setBrush(color);
  p.drawRect(QRectF(x, 9, 3.5, 14));
}

void Picture(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(QColor(170, 215, 245));
  p.drawRect(QRectF(4, 6, 24, 20));
  p.setPen(Qt::NoPen);
  p.setBrush(kYellow);
  p.drawEllipse(QPointF(21, 12), 3, 3);
  p.setBrush(kGreen);
  const QPointF hills[] = {{5, 25}, {12, 14}, {18, 21}, {21, 18}, {27, 25}};
  p.drawPolygon(hills, 5);
}

void PaintFile_New(QPainter& p) {
  Page(p, QRectF(7, 3, 18, 26));
}

void PaintFile_Open(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(kYellow.darker(115));
  p.drawRect(QRectF(3, 8, 22, 18));
  p.setBrush(kYellow);
  const QPointF front[] = {{3, 26}, {8, 13}, {29, 13}, {25, 26}};
  p.drawPolygon(front, 4);
}

void PaintFile_Save(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(kBlue);
  p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
  p.setBrush(kPaper);
  p.drawRect(QRectF(9, 4, 14, 9));
  p.setBrush(QColor(210, 215, 225));
  p.drawRect(QRectF(8, 18, 16, 10));
}

void PaintFile_Import(QPainter& p) {
  Page(p, QRectF(12, 3, 16, 22));
  Arrow(p, QPointF(2, 22), QPointF(14, 22), kGreen);
}

void PaintFile_Export(QPainter& p) {
  Picture(p);
  Arrow(p, QPointF(14, 18), QPointF(29, 30), kRed, 3);
}

void PaintEdit_Undo(QPainter& p) {
  QPainterPath turn;
  turn.moveTo(8, 12);
  turn.cubicTo(18, 4, 30, 12, 24, 24);
  p.setPen(QPen(kBlue, 3.4, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(turn);
  Triangle(p, QPointF(3, 13), QPointF(12, 5), QPointF(13, 16), kBlue);
}

void PaintEdit_Cut(QPainter& p) {
  p.setPen(QPen(kOutline, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(9, 4), QPointF(21, 21));
  p.drawLine(QPointF(23, 4), QPointF(11, 21));
  p.setPen(QPen(kRed, 2.4));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(9, 25), 4, 4);
  p.drawEllipse(QPointF(23, 25), 4, 4);
}

void PaintEdit_Copy(QPainter& p) {
  Page(p, QRectF(4, 3, 15, 20));
  Page(p, QRectF(13, 9, 15, 20));
  TextLines(p, QRectF(16, 16, 9, 10), 3);
}

void PaintEdit_Paste(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(QColor(190, 140, 80));
  p.drawRoundedRect(QRectF(4, 5, 20, 24), 2, 2);
  p.setBrush(QColor(200, 200, 205));
  p.drawRect(QRectF(9, 3, 10, 5));
  Page(p, QRectF(14, 11, 14, 18));
}

void PaintShow_Properties_Window(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(kPaper);
  p.drawRect(QRectF(4, 4, 24, 24));
  p.setBrush(kBlue);
  p.drawRect(QRectF(4, 4, 24, 5));
  TextLines(p, QRectF(8, 10, 16, 16), 4);
}

void PaintTools_Options(QPainter& p) {
  for (int i = 0; i < 3; ++i) {
  const qreal y = 8 + i * 8;
  p.setPen(QPen(kOutline, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(4, y), QPointF(28, y));
  p.setPen(Outline(1.2));
  p.setBrush(i == 1 ? kBlue : kYellow);
  p.drawEllipse(QPointF(i == 1 ? 20 : 11 + i * 3, y), 3.5, 3.5);
  }
}

void PaintContents1(QPainter& p) {
  p.setPen(QPen(kBlue.darker(130), 1.4));
  p.setBrush(kBlue);
  p.drawEllipse(QPointF(16, 16), 13, 13);
  QFont font("Liberation Sans");
  font.setPixelSize(20);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 0, kGrid, kGrid), Qt::AlignCenter, "?");
}

void PaintMovie_FirstStep(QPainter& p) {
  Bar(p, 5, kBlue);
  Triangle(p, QPointF(9, 16), QPointF(18, 9), QPointF(18, 23), kBlue);
  Triangle(p, QPointF(18, 16), QPointF(27, 9), QPointF(27, 23), kBlue);
}

void PaintMovie_BackOneStep(QPainter& p) {
  Triangle(p, QPointF(8, 16), QPointF(21, 8), QPointF(21, 24), kBlue);
  Bar(p, 22.5, kBlue);
}

void PaintMovie_Play(QPainter& p) {
  Triangle(p, QPointF(9, 6), QPointF(26, 16), QPointF(9, 26), kGreen);
}

void PaintMovie_Play_Command(QPainter& p) {
  Triangle(p, QPointF(9, 6), QPointF(26, 16), QPointF(9, 26), kGreen);
}

void PaintMovie_Stop(QPainter& p) {
  p.setPen(QPen(kRed.darker(140), 1.2));
  p.setBrush(kRed);
  p.drawRect(QRectF(8, 8, 16, 16));
}

void PaintMovie_NextFrame(QPainter& p) {
  Bar(p, 6, kBlue);
  Triangle(p, QPointF(11, 8), QPointF(24, 16), QPointF(11, 24), kBlue);
}

void PaintMovie_LastStep(QPainter& p) {
  Triangle(p, QPointF(5, 9), QPointF(14, 16), QPointF(5, 23), kBlue);
  Triangle(p, QPointF(14, 9), QPointF(23, 16), QPointF(14, 23), kBlue);
  Bar(p, 23.5, kBlue);
}

void PaintView_Set_Step(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(QColor(20, 20, 20));
  p.drawRoundedRect(QRectF(3, 8, 26, 16), 2, 2);
  QFont font("Liberation Mono");
  font.setPixelSize(12);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(255, 60, 40));
  p.drawText(QRectF(3, 8, 26, 16), Qt::AlignCenter, "07");
}

void PaintScene_Add_3DText(QPainter& p) {
  QFont font("Liberation Sans");
  font.setPixelSize(22);
  font.setBold(true);
  QPainterPath text;
  text.addText(4, 24, font, "3D");
  for (int depth = 3; depth > 0; --depth) p.fillPath(text.translated(depth, depth), QColor(110, 60, 10));
  QLinearGradient gold(0, 6, 0, 24);
  gold.setColorAt(0, QColor(255, 236, 150));
  gold.setColorAt(1, QColor(225, 150, 30));
  p.fillPath(text, gold);
}

void PaintScene_Add_Rectangle(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(kGreen);
  p.drawRect(QRectF(5, 8, 22, 16));
}

void PaintScene_Add_Ellipse(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(kGreen);
  p.drawEllipse(QRectF(3, 8, 26, 16));
}

void PaintScene_Add_Line(QPainter& p) {
  p.setPen(QPen(kGreen.darker(110), 3.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(6, 26), QPointF(26, 6));
}

void PaintScene_Delete_Something(QPainter& p) {
  p.setPen(QPen(kRed, 4.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(8, 8), QPointF(24, 24));
  p.drawLine(QPointF(24, 8), QPointF(8, 24));
}

void PaintSprite_Flip_Hor(QPainter& p) {
  Triangle(p, QPointF(14, 6), QPointF(14, 26), QPointF(3, 26), kBlue);
  Triangle(p, QPointF(18, 6), QPointF(18, 26), QPointF(29, 26), QColor(190, 205, 230));
  p.setPen(QPen(kOutline, 1.2, Qt::DashLine));
  p.drawLine(QPointF(16, 3), QPointF(16, 29));
}

void PaintSprite_Flip_Vert(QPainter& p) {
  Triangle(p, QPointF(6, 14), QPointF(26, 14), QPointF(26, 3), kBlue);
  Triangle(p, QPointF(6, 18), QPointF(26, 18), QPointF(26, 29), QColor(190, 205, 230));
  p.setPen(QPen(kOutline, 1.2, Qt::DashLine));
  p.drawLine(QPointF(3, 16), QPointF(29, 16));
}

void PaintEffects_90Clockwise(QPainter& p) {
  p.setPen(QPen(kBlue, 3.2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(6, 6, 20, 20), 180 * 16, -270 * 16);
  Triangle(p, QPointF(12, 20), QPointF(20, 21), QPointF(14, 28), kBlue);
}

// The picture of each command that has one, by the command's name.
const std::map<std::string, TPainter>& Painters() {
  static const std::map<std::string, TPainter> painters{
      {"File_New", PaintFile_New},
      {"File_Open", PaintFile_Open},
      {"File_Save", PaintFile_Save},
      {"File_Import", PaintFile_Import},
      {"File_Export", PaintFile_Export},
      {"Edit_Undo", PaintEdit_Undo},
      {"Edit_Cut", PaintEdit_Cut},
      {"Edit_Copy", PaintEdit_Copy},
      {"Edit_Paste", PaintEdit_Paste},
      {"Show_Properties_Window", PaintShow_Properties_Window},
      {"Tools_Options", PaintTools_Options},
      {"Contents1", PaintContents1},
      {"Movie_FirstStep", PaintMovie_FirstStep},
      {"Movie_BackOneStep", PaintMovie_BackOneStep},
      {"Movie_Play", PaintMovie_Play},
      {"Movie_Play_Command", PaintMovie_Play_Command},
      {"Movie_Stop", PaintMovie_Stop},
      {"Movie_NextFrame", PaintMovie_NextFrame},
      {"Movie_LastStep", PaintMovie_LastStep},
      {"View_Set_Step", PaintView_Set_Step},
      {"Scene_Add_Image", [](QPainter& p) { Picture(p); }},
      {"Sprite_Add_Image", [](QPainter& p) { Picture(p); }},
      {"Scene_Add_3DText", PaintScene_Add_3DText},
      {"Scene_Add_Rectangle", PaintScene_Add_Rectangle},
      {"Scene_Add_Ellipse", PaintScene_Add_Ellipse},
      {"Scene_Add_Line", PaintScene_Add_Line},
      {"Scene_Delete_Something", PaintScene_Delete_Something},
      {"Scene_Up_Something", [](QPainter& p) { Arrow(p, QPointF(16, 27), QPointF(16, 5), kBlue, 3.6); }},
      {"Scene_Down_Something", [](QPainter& p) { Arrow(p, QPointF(16, 5), QPointF(16, 27), kBlue, 3.6); }},
      {"Sprite_Flip_Hor", PaintSprite_Flip_Hor},
      {"Sprite_Flip_Vert", PaintSprite_Flip_Vert},
      {"Effects_90Clockwise", PaintEffects_90Clockwise},
  };
  return painters;
}

}  // namespace

QIcon CommandIcon(const char* commandName) {
  const auto found = Painters().find(commandName);
  if (found == Painters().end()) return {};
  QPixmap pixmap(kGrid, kGrid);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    found->second(painter);
  }
  return QIcon(pixmap);
}

QIcon ProgramIcon() {
  QPixmap pixmap(kGrid, kGrid);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, kGrid);
  sky.setColorAt(0, QColor(30, 52, 110));
  sky.setColorAt(1, QColor(8, 14, 40));
  painter.setPen(Qt::NoPen);
  painter.setBrush(sky);
  painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
  QFont font("Liberation Sans");
  font.setPixelSize(24);
  font.setBold(true);
  QPainterPath letter;
  letter.addText(7, 25, font, "G");
  painter.fillPath(letter.translated(1.5, 1.5), QColor(90, 50, 10));
  QLinearGradient gold(0, 6, 0, 26);
  gold.setColorAt(0, QColor(255, 244, 190));
  gold.setColorAt(1, QColor(230, 160, 30));
  painter.fillPath(letter, gold);
  painter.setBrush(QColor(255, 250, 215));
  painter.drawEllipse(QPointF(25, 7), 2.2, 2.2);
  painter.end();
  return QIcon(pixmap);
}

TColor ButtonColor(const QPushButton& button) { return static_cast<TColor>(button.property("Color").toUInt()); }

void SetButtonColor(QPushButton& button, TColor color) {
  button.setProperty("Color", static_cast<unsigned>(color));
  // The button shows its colour as a swatch beside its caption.
  const TColor rgb = ColorToRGB(color);
  QPixmap swatch(24, 12);
  swatch.fill(QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF));
  QPainter frame(&swatch);
  frame.setPen(Qt::black);
  frame.drawRect(0, 0, swatch.width() - 1, swatch.height() - 1);
  frame.end();
  button.setIcon(QIcon(swatch));
  button.setIconSize(swatch.size());
}
