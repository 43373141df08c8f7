// Text on the canvas: glyphs rendered by Qt without antialiasing into a
// coverage mask, then written through the canvas's clip like any other span,
// so that palette bitmaps change only where text is drawn.
#include "platform/Fonts.h"
#include "platform/PixelSpans.h"

#include "platform/CodePages.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

struct FamilyAlias {
  const char* name;
  const char* family;
};

// Windows-era names and the installed families of similar shape and metrics.
constexpr FamilyAlias kAliases[] = {
    {"ms sans serif", "Liberation Sans"},   {"microsoft sans serif", "Liberation Sans"},
    {"ms shell dlg", "Liberation Sans"},    {"ms shell dlg 2", "Liberation Sans"},
    {"arial", "Liberation Sans"},           {"helvetica", "Liberation Sans"},
    {"system", "Liberation Sans"},          {"small fonts", "Liberation Sans"},
    {"segoe ui", "Liberation Sans"},        {"arial narrow", "Liberation Sans Narrow"},
    {"verdana", "DejaVu Sans"},             {"tahoma", "DejaVu Sans"},
    {"times new roman", "Liberation Serif"}, {"times", "Liberation Serif"},
    {"ms serif", "Liberation Serif"},       {"georgia", "Liberation Serif"},
    {"courier new", "Liberation Mono"},     {"courier", "Liberation Mono"},
    {"fixedsys", "Liberation Mono"},        {"terminal", "Liberation Mono"},
    {"lucida console", "Liberation Mono"},
};

void RequireGuiApplication() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
    throw EInvalidGraphicOperation("Text drawing needs the application object");
}

}  // namespace

std::string MapFontFamily(const std::string& name, TFontPitch pitch) {
  const std::string key = LowerCaseAscii(name);
  for (const FamilyAlias& alias : kAliases)
    if (key == alias.name) return alias.family;
  if (!name.empty() && QCoreApplication::instance() != nullptr &&
      QFontDatabase::hasFamily(QString::fromStdString(name)))
    return name;
  return pitch == fpFixed ? "Liberation Mono" : "Liberation Sans";
}

QFont ToQFont(const TFont& font) {
  RequireGuiApplication();
  QFont q(QString::fromStdString(MapFontFamily(font.Name, font.Pitch)));
  q.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
  q.setKerning(false);
  q.setBold((font.Style & fsBold) != 0);
  q.setItalic((font.Style & fsItalic) != 0);
  q.setUnderline((font.Style & fsUnderline) != 0);
  q.setStrikeOut((font.Style & fsStrikeOut) != 0);
  if (font.Pitch == fpFixed) {
    q.setFixedPitch(true);
    q.setStyleHint(QFont::TypeWriter);
  }
  // A negative height is the character height; a positive one the cell
  // height (ascent plus descent), which is scaled to a character height.
  int height = font.Height();
  if (height == 0) height = TFont().Height();
  if (height < 0) {
    q.setPixelSize(std::max(1, -height));
  } else {
    q.setPixelSize(height);
    const int cell = QFontMetrics(q).height();
    if (cell > 0) q.setPixelSize(std::max(1, static_cast<int>(std::lround(double(height) * height / cell))));
  }
  return q;
}

QString DecodeFontText(const TFont& font, const std::string& text) {
  return DecodeCodePage(text, CodePageForCharset(font.Charset));
}

TSize TCanvas::TextExtent(const std::string& text) {
  const QFontMetrics metrics(ToQFont(font_));
  return {text.empty() ? 0 : metrics.horizontalAdvance(DecodeFontText(font_, text)), metrics.height()};
}

int TCanvas::TextWidth(const std::string& text) { return TextExtent(text).cx; }
int TCanvas::TextHeight(const std::string& text) { return TextExtent(text).cy; }

void TCanvas::TextOut(int x, int y, const std::string& text) {
  const QFont font = ToQFont(font_);
  const QFontMetrics metrics(font);
  const QString decoded = DecodeFontText(font_, text);
  const int width = text.empty() ? 0 : metrics.horizontalAdvance(decoded);
  const int height = metrics.height();
  {
    Painter painter(*this);
    if (painter.Ready() && !text.empty()) {
      // The text cell takes the brush colour unless the brush is not solid.
      if (brush_.Style == bsSolid) {
        const TColor background = ResolvedColor(brush_.Color);
        for (int row = y; row < y + height; ++row) painter.FillSpan(row, x, x + width, background, false);
      }
      // Glyphs may reach past their cell (italics, overhangs): render with a margin.
      const int margin = std::max(height, metrics.maxWidth());
      QImage mask(width + 2 * margin, height + 2 * margin, QImage::Format_ARGB32_Premultiplied);
      mask.fill(Qt::transparent);
      {
        QPainter qp(&mask);
        qp.setRenderHint(QPainter::Antialiasing, false);
        qp.setRenderHint(QPainter::TextAntialiasing, false);
        qp.setRenderHint(QPainter::SmoothPixmapTransform, false);
        qp.setFont(font);
        qp.setPen(QColor(255, 255, 255));
        qp.drawText(QPointF(margin, margin + metrics.ascent()), decoded);
      }
      const TColor color = ResolvedColor(font_.Color);
      for (int my = 0; my < mask.height(); ++my) {
        const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(my));
        int mx = 0;
        while (mx < mask.width()) {
          if (qAlpha(line[mx]) < 128) {
            ++mx;
            continue;
          }
          int end = mx;
          while (end < mask.width() && qAlpha(line[end]) >= 128) ++end;
          painter.FillSpan(y - margin + my, x - margin + mx, x - margin + end, color, false);
          mx = end;
        }
      }
    }
  }
  penPos_ = Point(x + width, y);
}
