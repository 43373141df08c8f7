#include "platform/qtui/ScreenCursors.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>
#include <QWidget>

#include <map>

namespace {

constexpr int kCursorSize = 32;

Qt::CursorShape ShapeOf(TCursor cursor) {
  switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: return Qt::WaitCursor;
    case crDrag: return Qt::DragMoveCursor;
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crSQLWait:
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

// Draws with crisp edges: a 1-pixel black outline around white shapes.
class CursorPainter {
 public:
  explicit CursorPainter(QImage& image) : painter_(&image) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setPen(QPen(Qt::black, 1));
    painter_.setBrush(Qt::white);
  }
  void Shape(const QPolygon& outline) { painter_.drawPolygon(outline); }
  void Box(int left, int top, int right, int bottom, const QColor& fill) {
    painter_.setBrush(fill);
    painter_.drawRect(left, top, right - left, bottom - top);
    painter_.setBrush(Qt::white);
  }
  void Circle(QPoint centre, int radius, const QColor& fill) {
    painter_.setBrush(fill);
    painter_.drawEllipse(centre, radius, radius);
    painter_.setBrush(Qt::white);
  }
  // A white line with a black border: a wide black line under a narrower white one.
  void Stroke(const QPainterPath& path, int width) {
    painter_.setBrush(Qt::NoBrush);
    painter_.setPen(QPen(Qt::black, width + 2, Qt::SolidLine, Qt::FlatCap));
    painter_.drawPath(path);
    painter_.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::FlatCap));
    painter_.drawPath(path);
    painter_.setPen(QPen(Qt::black, 1));
    painter_.setBrush(Qt::white);
  }
  void Line(QPoint from, QPoint to) { painter_.drawLine(from, to); }

 private:
  QPainter painter_;
};

// A horizontal double arrow through the middle of the picture, the shape
// shared by the time line's interval cursors.
QPolygon HorizontalDoubleArrow() {
  return QPolygon({{1, 15}, {6, 10}, {6, 13}, {24, 13}, {24, 10}, {29, 15}, {24, 20}, {24, 17}, {6, 17}, {6, 20}});
}

void DrawHand(CursorPainter& p) {
  p.Box(6, 13, 24, 29, Qt::white);                 // the palm
  p.Shape(QPolygon({{9, 2}, {10, 1}, {13, 1}, {14, 2}, {14, 16}, {9, 16}}));  // the pointing finger
  p.Line({16, 13}, {16, 18});
  p.Line({19, 13}, {19, 18});
  p.Line({22, 13}, {22, 18});
}

void DrawMove(CursorPainter& p) {
  p.Shape(QPolygon({{15, 1},  {19, 5},  {17, 5},  {17, 13}, {25, 13}, {25, 11}, {29, 15}, {25, 19},
                    {25, 17}, {17, 17}, {17, 25}, {19, 25}, {15, 29}, {11, 25}, {13, 25}, {13, 17},
                    {5, 17},  {5, 19},  {1, 15},  {5, 11},  {5, 13},  {13, 13}, {13, 5},  {11, 5}}));
}

// The time line's cursors: the double arrow with a black bar where the mouse
// holds the interval (its body, its start or its end).
void DrawInterval(CursorPainter& p, int barLeft, int barRight) {
  p.Shape(HorizontalDoubleArrow());
  p.Box(barLeft, 7, barRight, 24, Qt::black);
}

void DrawAirDrop(CursorPainter& p) {
  p.Shape(QPolygon({{1, 30}, {3, 24}, {17, 10}, {21, 14}, {7, 28}}));  // the glass tube, tip at the hot spot
  p.Circle({24, 7}, 6, Qt::black);                                    // the rubber bulb
}

void DrawZoom(CursorPainter& p) {
  QPainterPath handle;
  handle.moveTo(19, 19);
  handle.lineTo(29, 29);
  p.Stroke(handle, 3);
  p.Circle({12, 12}, 9, Qt::white);
  p.Line({8, 12}, {16, 12});
  p.Line({12, 8}, {12, 16});
}

void DrawLightMoving(CursorPainter& p) {
  p.Box(12, 18, 19, 25, Qt::black);  // the socket
  p.Circle({15, 11}, 8, Qt::white);  // the bulb
  p.Line({1, 11}, {5, 11});
  p.Line({25, 11}, {29, 11});
  p.Line({15, 28}, {15, 31});
}

void DrawRotate(CursorPainter& p) {
  QPainterPath arc;
  arc.arcMoveTo(5, 5, 20, 20, 60);
  arc.arcTo(5, 5, 20, 20, 60, 270);
  p.Stroke(arc, 3);
  // The arrow head at the start of the arc, pointing along it.
  p.Shape(QPolygon({{17, 1}, {25, 6}, {17, 11}}));
  p.Box(14, 14, 17, 17, Qt::black);  // the centre the view turns about
}

struct OwnCursor {
  TCursor id;
  QPoint hotSpot;
  void (*draw)(CursorPainter&);
};

const OwnCursor kOwnCursors[] = {
    {crHandCursor, {11, 1}, DrawHand},
    {crMove, {15, 15}, DrawMove},
    {crMoveDuration, {15, 15}, [](CursorPainter& p) { DrawInterval(p, 12, 19); }},
    {crMoveDurationLeft, {15, 15}, [](CursorPainter& p) { DrawInterval(p, 8, 11); }},
    {crMoveDurationRight, {15, 15}, [](CursorPainter& p) { DrawInterval(p, 20, 23); }},
    {crAirDrop, {1, 30}, DrawAirDrop},
    {crZoomCursor, {12, 12}, DrawZoom},
    {crLightMoving, {15, 11}, DrawLightMoving},
    {crRotate, {15, 15}, DrawRotate},
};

const OwnCursor* FindOwnCursor(TCursor cursor) {
  for (const OwnCursor& own : kOwnCursors)
    if (own.id == cursor) return &own;
  return nullptr;
}

}  // namespace

QImage CursorPicture(TCursor cursor) {
  const OwnCursor* own = FindOwnCursor(cursor);
  if (own == nullptr) return {};
  QImage image(kCursorSize, kCursorSize, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  CursorPainter painter(image);
  own->draw(painter);
  return image;
}

QPoint CursorHotSpot(TCursor cursor) {
  const OwnCursor* own = FindOwnCursor(cursor);
  return own != nullptr ? own->hotSpot : QPoint();
}

QCursor ScreenCursor(TCursor cursor) {
  const OwnCursor* own = FindOwnCursor(cursor);
  if (own == nullptr) return QCursor(ShapeOf(cursor));
  // Pictures are drawn once (hover tests change cursors at every mouse move)
  // and let go with the application, before the pixmaps' platform goes.
  static std::map<int, QCursor> drawn;
  static const bool clearedAtExit = [] {
    qAddPostRoutine([] { drawn.clear(); });
    return true;
  }();
  (void)clearedAtExit;
  auto found = drawn.find(cursor);
  if (found == drawn.end()) {
    const QPixmap pixmap = QPixmap::fromImage(CursorPicture(cursor));
    found = drawn.emplace(cursor, QCursor(pixmap, own->hotSpot.x(), own->hotSpot.y())).first;
  }
  return found->second;
}

void ApplyCursor(QWidget& widget, TCursor cursor) {
  if (cursor == crDefault) {
    widget.unsetCursor();
  } else {
    widget.setCursor(ScreenCursor(cursor));
  }
}
