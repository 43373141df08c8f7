#include "platform/OutlineFonts.h"

#include "platform/CodePages.h"
#include "platform/Fonts.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <QFont>
#include <QGuiApplication>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <memory>

namespace {

using Point2 = std::array<double, 2>;
using Contour = std::vector<Point2>;

// A curve is cut into at most this many chords, whatever the deviation asks.
constexpr int kMaxChordsPerCurve = 128;

double Distance(const Point2& a, const Point2& b) { return std::hypot(b[0] - a[0], b[1] - a[1]); }

// Chords for a cubic Bezier so that no point of the curve lies farther than
// deviation from them: the second derivative is at most 6 x the largest
// second difference of the control points, and a chord over a parameter step
// h deviates at most |B''| h^2 / 8.
int ChordsForCubic(const Point2& p0, const Point2& p1, const Point2& p2, const Point2& p3, double deviation) {
  auto secondDifference = [](const Point2& a, const Point2& b, const Point2& c) {
    return std::hypot(a[0] - 2 * b[0] + c[0], a[1] - 2 * b[1] + c[1]);
  };
  const double bend = std::max(secondDifference(p0, p1, p2), secondDifference(p1, p2, p3));
  if (!(bend > 0.0)) return 1;
  const double chords = std::ceil(std::sqrt(6.0 * bend / (8.0 * deviation)));
  return static_cast<int>(std::clamp(chords, 1.0, static_cast<double>(kMaxChordsPerCurve)));
}

void AddPoint(Contour& contour, const Point2& p) {
  if (contour.empty() || Distance(contour.back(), p) > 1e-9) contour.push_back(p);
}

void FinishContour(std::vector<Contour>& contours, Contour& contour) {
  if (contour.size() > 1 && Distance(contour.front(), contour.back()) <= 1e-9) contour.pop_back();
  if (contour.size() >= 3) contours.push_back(std::move(contour));
  contour.clear();
}

// The glyph path (design units, y down) as closed polygons in ems, y up.
std::vector<Contour> FlattenPath(const QPainterPath& path, double scale, double deviation) {
  std::vector<Contour> contours;
  Contour contour;
  auto toEm = [scale](const QPointF& p) { return Point2{p.x() * scale, -p.y() * scale}; };
  const int count = path.elementCount();
  for (int i = 0; i < count; ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    if (e.isMoveTo()) {
      FinishContour(contours, contour);
      AddPoint(contour, toEm(e));
    } else if (e.isLineTo()) {
      AddPoint(contour, toEm(e));
    } else if (e.isCurveTo() && i + 2 < count && !contour.empty()) {
      const Point2 p0 = contour.back();
      const Point2 p1 = toEm(e);
      const Point2 p2 = toEm(path.elementAt(i + 1));
      const Point2 p3 = toEm(path.elementAt(i + 2));
      const int chords = ChordsForCubic(p0, p1, p2, p3, deviation);
      for (int k = 1; k <= chords; ++k) {
        const double t = static_cast<double>(k) / chords, u = 1.0 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        AddPoint(contour, {a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0], a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]});
      }
      i += 2;
    }
  }
  FinishContour(contours, contour);
  return contours;
}

// Non-zero winding number of a point with respect to all contours.
int WindingNumber(const std::vector<Contour>& contours, const Point2& q) {
  int winding = 0;
  for (const Contour& c : contours) {
    for (std::size_t i = 0; i < c.size(); ++i) {
      const Point2& a = c[i];
      const Point2& b = c[(i + 1) % c.size()];
      const double side = (b[0] - a[0]) * (q[1] - a[1]) - (q[0] - a[0]) * (b[1] - a[1]);
      if (a[1] <= q[1]) {
        if (b[1] > q[1] && side > 0) ++winding;
      } else if (b[1] <= q[1] && side < 0) {
        --winding;
      }
    }
  }
  return winding;
}

// Whether the filled area lies to the left of the contour's direction. Tested
// just beside the midpoint of its longest edge, which contours that do not
// cross each other decide for the whole contour.
bool FilledOnLeft(const std::vector<Contour>& contours, const Contour& contour) {
  std::size_t longest = 0;
  double longestLength = -1.0;
  for (std::size_t i = 0; i < contour.size(); ++i) {
    const double length = Distance(contour[i], contour[(i + 1) % contour.size()]);
    if (length > longestLength) {
      longestLength = length;
      longest = i;
    }
  }
  const Point2& a = contour[longest];
  const Point2& b = contour[(longest + 1) % contour.size()];
  const double dx = (b[0] - a[0]) / longestLength, dy = (b[1] - a[1]) / longestLength;
  const double step = std::min(longestLength * 0.25, 1e-4);
  const Point2 left{(a[0] + b[0]) / 2 - dy * step, (a[1] + b[1]) / 2 + dx * step};
  return WindingNumber(contours, left) != 0;
}

// ---- Tessellation ----------------------------------------------------------------------

struct TessResult {
  std::vector<Point2> triangleCorners;  // three per triangle
  std::deque<std::array<GLdouble, 3>> created;  // vertices made where edges cross
  bool failed = false;
};

void GLAPIENTRY TessBegin(GLenum, void*) {}
void GLAPIENTRY TessEdgeFlag(GLboolean, void*) {}  // its presence asks for plain triangles only
void GLAPIENTRY TessEnd(void*) {}

void GLAPIENTRY TessVertex(void* vertex, void* data) {
  const auto* v = static_cast<const GLdouble*>(vertex);
  static_cast<TessResult*>(data)->triangleCorners.push_back({v[0], v[1]});
}

void GLAPIENTRY TessCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* data) {
  auto* result = static_cast<TessResult*>(data);
  result->created.push_back({coords[0], coords[1], coords[2]});
  *out = result->created.back().data();
}

void GLAPIENTRY TessError(GLenum, void* data) { static_cast<TessResult*>(data)->failed = true; }

struct TessDeleter {
  void operator()(GLUtesselator* tess) const { gluDeleteTess(tess); }
};

// The filled area (non-zero rule) as triangles.
bool Tessellate(const std::vector<Contour>& contours, TessResult& result) {
  std::unique_ptr<GLUtesselator, TessDeleter> tess(gluNewTess());
  if (!tess) return false;
  gluTessCallback(tess.get(), GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(&TessBegin));
  gluTessCallback(tess.get(), GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(&TessEdgeFlag));
  gluTessCallback(tess.get(), GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(&TessVertex));
  gluTessCallback(tess.get(), GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(&TessEnd));
  gluTessCallback(tess.get(), GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&TessCombine));
  gluTessCallback(tess.get(), GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(&TessError));
  gluTessProperty(tess.get(), GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
  gluTessNormal(tess.get(), 0.0, 0.0, 1.0);

  // The tessellator keeps pointers to the coordinates until the polygon ends.
  std::vector<std::vector<std::array<GLdouble, 3>>> coordinates;
  coordinates.reserve(contours.size());
  for (const Contour& c : contours) {
    auto& points = coordinates.emplace_back();
    points.reserve(c.size());
    for (const Point2& p : c) points.push_back({p[0], p[1], 0.0});
  }
  gluTessBeginPolygon(tess.get(), &result);
  for (auto& points : coordinates) {
    gluTessBeginContour(tess.get());
    for (auto& p : points) gluTessVertex(tess.get(), p.data(), p.data());
    gluTessEndContour(tess.get());
  }
  gluTessEndPolygon(tess.get());
  return !result.failed && result.triangleCorners.size() % 3 == 0;
}

// ---- Mesh ------------------------------------------------------------------------------

using Point3 = std::array<float, 3>;

// Adds a triangle wound counter-clockwise as seen from the side normal points to.
void AddTriangle(TGlyphMesh& mesh, const Point3& a, Point3 b, Point3 c, const Point3& normal) {
  const float ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
  const float vx = c[0] - a[0], vy = c[1] - a[1], vz = c[2] - a[2];
  const float cx = uy * vz - uz * vy, cy = uz * vx - ux * vz, cz = ux * vy - uy * vx;
  if (cx * normal[0] + cy * normal[1] + cz * normal[2] < 0) std::swap(b, c);
  TGlyphMesh::Triangle t{};
  std::copy(normal.begin(), normal.end(), t.normal);
  std::copy(a.begin(), a.end(), t.vertices[0]);
  std::copy(b.begin(), b.end(), t.vertices[1]);
  std::copy(c.begin(), c.end(), t.vertices[2]);
  mesh.triangles.push_back(t);
}

void AddFaces(TGlyphMesh& mesh, const TessResult& tess, float extrusion) {
  // With a negative extrusion the solid lies in front of z = 0.
  const float frontSide = extrusion < 0 ? -1.0f : 1.0f;
  const auto& corners = tess.triangleCorners;
  for (std::size_t i = 0; i + 2 < corners.size(); i += 3) {
    const Point2& p = corners[i];
    const Point2& q = corners[i + 1];
    const Point2& r = corners[i + 2];
    const double area = (q[0] - p[0]) * (r[1] - p[1]) - (r[0] - p[0]) * (q[1] - p[1]);
    if (std::fabs(area) < 1e-14) continue;
    auto at = [](const Point2& v, float z) { return Point3{static_cast<float>(v[0]), static_cast<float>(v[1]), z}; };
    AddTriangle(mesh, at(p, 0.0f), at(q, 0.0f), at(r, 0.0f), {0.0f, 0.0f, frontSide});
    AddTriangle(mesh, at(p, -extrusion), at(q, -extrusion), at(r, -extrusion), {0.0f, 0.0f, -frontSide});
  }
}

void AddSides(TGlyphMesh& mesh, const std::vector<Contour>& contours, float extrusion) {
  if (extrusion == 0.0f) return;
  for (const Contour& contour : contours) {
    const bool filledLeft = FilledOnLeft(contours, contour);
    for (std::size_t i = 0; i < contour.size(); ++i) {
      const Point2& a = contour[i];
      const Point2& b = contour[(i + 1) % contour.size()];
      const double length = Distance(a, b);
      if (length <= 1e-12) continue;
      // The outward normal points away from the filled side.
      double nx = (b[1] - a[1]) / length, ny = -(b[0] - a[0]) / length;  // right of the direction
      if (!filledLeft) {
        nx = -nx;
        ny = -ny;
      }
      const Point3 normal{static_cast<float>(nx), static_cast<float>(ny), 0.0f};
      const Point3 a0{static_cast<float>(a[0]), static_cast<float>(a[1]), 0.0f};
      const Point3 b0{static_cast<float>(b[0]), static_cast<float>(b[1]), 0.0f};
      const Point3 a1{a0[0], a0[1], -extrusion};
      const Point3 b1{b0[0], b0[1], -extrusion};
      AddTriangle(mesh, a0, b0, b1, normal);
      AddTriangle(mesh, a0, b1, a1, normal);
    }
  }
}

bool FontDatabaseAvailable() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace

void DrawGlyphMesh(const TGlyphMesh& mesh) {
  if (mesh.triangles.empty()) return;
  glBegin(GL_TRIANGLES);
  for (const TGlyphMesh::Triangle& t : mesh.triangles) {
    glNormal3fv(t.normal);
    for (const float* v : t.vertices) glVertex3fv(v);
  }
  glEnd();
}

TOutlineFont::TOutlineFont(const TFont& font) {
  codePage_ = CodePageForCharset(font.Charset);
  if (!FontDatabaseAvailable()) return;
  QFont qfont(QString::fromStdString(MapFontFamily(font.Name, font.Pitch)));
  qfont.setBold((font.Style & fsBold) != 0);
  qfont.setItalic((font.Style & fsItalic) != 0);
  qfont.setHintingPreference(QFont::PreferNoHinting);
  qfont.setPixelSize(64);
  raw_ = QRawFont::fromFont(qfont);
  if (!raw_.isValid()) return;
  unitsPerEm_ = static_cast<int>(raw_.unitsPerEm());
  if (unitsPerEm_ <= 0) {
    raw_ = QRawFont();
    return;
  }
  // At one pixel per design unit the outlines come out in design units.
  raw_.setPixelSize(unitsPerEm_);
}

quint32 TOutlineFont::GlyphIndexFor(std::uint8_t code) const {
  auto glyphOf = [this](char16_t character) -> quint32 {
    const QList<quint32> glyphs = raw_.glyphIndexesForString(QString(QChar(character)));
    return glyphs.isEmpty() ? 0 : glyphs.front();
  };
  quint32 glyph = glyphOf(CodePageCharToUnicode(code, codePage_));
  // A symbol charset on a font without the private-use symbol page falls back to the byte.
  if (glyph == 0 && codePage_ == kSymbolCodePage) glyph = glyphOf(code);
  return glyph;
}

bool TOutlineFont::BuildGlyph(std::uint8_t code, float deviation, float extrusion, TGlyphMesh& mesh,
                              GLYPHMETRICSFLOAT& metrics) const {
  mesh.triangles.clear();
  metrics = GLYPHMETRICSFLOAT();
  if (!IsValid() || !std::isfinite(deviation) || !std::isfinite(extrusion)) return false;
  const double scale = 1.0 / unitsPerEm_;
  const double chordDeviation = deviation > 0.0f ? static_cast<double>(deviation) : scale;
  const quint32 glyph = GlyphIndexFor(code);
  const QPainterPath path = raw_.pathForGlyph(glyph);
  const std::vector<Contour> contours = FlattenPath(path, scale, chordDeviation);
  if (!contours.empty()) {
    TessResult tess;
    if (!Tessellate(contours, tess)) {
      mesh.triangles.clear();
      return false;
    }
    AddFaces(mesh, tess, extrusion);
    AddSides(mesh, contours, extrusion);
  }
  const QRectF box = path.boundingRect();
  GLYPHMETRICSFLOAT result;
  if (!path.isEmpty() && box.isValid()) {
    result.gmfBlackBoxX = static_cast<float>(box.width() * scale);
    result.gmfBlackBoxY = static_cast<float>(box.height() * scale);
    result.gmfptGlyphOrigin = {static_cast<float>(box.left() * scale), static_cast<float>(-box.top() * scale)};
  }
  QPointF advance;
  if (raw_.advancesForGlyphIndexes(&glyph, &advance, 1, QRawFont::UseDesignMetrics)) {
    result.gmfCellIncX = static_cast<float>(advance.x() * scale);
    result.gmfCellIncY = static_cast<float>(-advance.y() * scale);
  }
  metrics = result;
  return true;
}

bool TOutlineFont::UseFontOutlines(std::uint8_t first, int count, unsigned int listBase, float deviation,
                                   float extrusion, GLYPHMETRICSFLOAT* metrics) const {
  bool allBuilt = true;
  TGlyphMesh mesh;
  for (int i = 0; i < count && first + i <= 255; ++i) {
    GLYPHMETRICSFLOAT glyphMetrics;
    const bool built = listBase != 0 && BuildGlyph(static_cast<std::uint8_t>(first + i), deviation, extrusion, mesh,
                                                   glyphMetrics);
    if (built) {
      glNewList(listBase + static_cast<unsigned int>(i), GL_COMPILE);
      DrawGlyphMesh(mesh);
      glTranslatef(glyphMetrics.gmfCellIncX, glyphMetrics.gmfCellIncY, 0.0f);
      glEndList();
    } else {
      glyphMetrics = GLYPHMETRICSFLOAT();
      allBuilt = false;
    }
    if (metrics != nullptr) metrics[i] = glyphMetrics;
  }
  return allBuilt;
}
