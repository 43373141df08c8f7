#include "platform/CodePages.h"
#include "platform/GLContext.h"
#include "platform/OutlineFonts.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

TFont FontNamed(const std::string& name, std::uint8_t style = 0, std::uint8_t charset = DEFAULT_CHARSET) {
  TFont font;
  font.Name = name;
  font.Style = style;
  font.Charset = charset;
  return font;
}

struct Glyph {
  TGlyphMesh mesh;
  GLYPHMETRICSFLOAT metrics;
  bool built = false;
};

Glyph Build(const TOutlineFont& font, std::uint8_t code, float deviation = 0.0f, float extrusion = 0.2f) {
  Glyph g;
  g.built = font.BuildGlyph(code, deviation, extrusion, g.mesh, g.metrics);
  return g;
}

}  // namespace

TEST(OutlineFontMetrics, WindowsFacesOpenTheirCounterpartsMeasuredInEms) {
  const TOutlineFont font(FontNamed("Arial"));
  ASSERT_TRUE(font.IsValid());
  EXPECT_EQ(font.FamilyName(), "Liberation Sans");
  ASSERT_EQ(font.UnitsPerEm(), 2048);
  const Glyph t = Build(font, 'T');
  ASSERT_TRUE(t.built);
  // Liberation Sans keeps Arial's widths: "T" advances 1251 units and stands 1409 high.
  EXPECT_NEAR(t.metrics.gmfCellIncX, 1251.0 / 2048, 1e-6);
  EXPECT_EQ(t.metrics.gmfCellIncY, 0.0f);
  EXPECT_NEAR(t.metrics.gmfptGlyphOrigin.y, 1409.0 / 2048, 1e-6);
  EXPECT_NEAR(t.metrics.gmfBlackBoxY, 1409.0 / 2048, 1e-6);
  EXPECT_GT(t.metrics.gmfBlackBoxX, 0.5f);
  EXPECT_LT(t.metrics.gmfBlackBoxX, t.metrics.gmfCellIncX);
  EXPECT_GT(t.metrics.gmfptGlyphOrigin.x, 0.0f);
  // A space has an advance and no outline.
  const Glyph space = Build(font, ' ');
  ASSERT_TRUE(space.built);
  EXPECT_TRUE(space.mesh.triangles.empty());
  EXPECT_NEAR(space.metrics.gmfCellIncX, 569.0 / 2048, 1e-6);
  EXPECT_EQ(space.metrics.gmfBlackBoxX, 0.0f);
  EXPECT_EQ(space.metrics.gmfBlackBoxY, 0.0f);
  // Bold faces are wider.
  EXPECT_GT(Build(TOutlineFont(FontNamed("Arial", fsBold)), 'm').metrics.gmfBlackBoxX, Build(font, 'm').metrics.gmfBlackBoxX);
}

TEST(OutlineFontCharsets, BytesMapThroughTheCharsetCodePage) {
  // 0xC4 is "Ä" in Windows-1252 and "Д" in Windows-1251.
  const Glyph latin = Build(TOutlineFont(FontNamed("Arial", 0, ANSI_CHARSET)), 0xC4);
  const Glyph cyrillic = Build(TOutlineFont(FontNamed("Arial", 0, RUSSIAN_CHARSET)), 0xC4);
  ASSERT_TRUE(latin.built);
  ASSERT_TRUE(cyrillic.built);
  // The umlaut dots rise above the capital height; the Cyrillic De reaches below the baseline.
  EXPECT_GT(latin.metrics.gmfptGlyphOrigin.y, 1409.0f / 2048 + 0.05f);
  EXPECT_GT(cyrillic.metrics.gmfBlackBoxY, cyrillic.metrics.gmfptGlyphOrigin.y);
  EXPECT_LT(latin.metrics.gmfBlackBoxY, latin.metrics.gmfptGlyphOrigin.y + 1e-4f);
}

TEST(OutlineFontMesh, FrontAndBackFacesFaceOutward) {
  const Glyph l = Build(TOutlineFont(FontNamed("Arial")), 'l', 0.0f, 0.3f);
  ASSERT_TRUE(l.built);
  int front = 0, back = 0, sides = 0;
  for (const auto& t : l.mesh.triangles) {
    if (t.normal[2] == 1.0f) {
      ++front;
      for (const auto& v : t.vertices) EXPECT_EQ(v[2], 0.0f);
    } else if (t.normal[2] == -1.0f) {
      ++back;
      for (const auto& v : t.vertices) EXPECT_FLOAT_EQ(v[2], -0.3f);
    } else {
      ++sides;
      EXPECT_EQ(t.normal[2], 0.0f);
    }
    // Every triangle winds counter-clockwise seen from where its normal points.
    const float* a = t.vertices[0];
    const float* b = t.vertices[1];
    const float* c = t.vertices[2];
    const float cx = (b[1] - a[1]) * (c[2] - a[2]) - (b[2] - a[2]) * (c[1] - a[1]);
    const float cy = (b[2] - a[2]) * (c[0] - a[0]) - (b[0] - a[0]) * (c[2] - a[2]);
    const float cz = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
    EXPECT_GE(cx * t.normal[0] + cy * t.normal[1] + cz * t.normal[2], 0.0f);
  }
  // "l" is one rectangle: two triangles per face and two per side wall.
  EXPECT_EQ(front, 2);
  EXPECT_EQ(back, 2);
  EXPECT_EQ(sides, 8);
  // Without extrusion there are two faces and no walls.
  const Glyph flat = Build(TOutlineFont(FontNamed("Arial")), 'l', 0.0f, 0.0f);
  ASSERT_EQ(flat.mesh.triangles.size(), 4u);
  for (const auto& t : flat.mesh.triangles) EXPECT_NE(t.normal[2], 0.0f);
}

TEST(OutlineFontMesh, SideWallsOfAHolePointIntoTheHole) {
  const Glyph o = Build(TOutlineFont(FontNamed("Arial")), 'o', 0.0f, 0.2f);
  ASSERT_TRUE(o.built);
  const float centreX = o.metrics.gmfptGlyphOrigin.x + o.metrics.gmfBlackBoxX / 2;
  const float centreY = o.metrics.gmfptGlyphOrigin.y - o.metrics.gmfBlackBoxY / 2;
  const float halfWidth = o.metrics.gmfBlackBoxX / 2;
  const float halfHeight = o.metrics.gmfBlackBoxY / 2;
  int inward = 0, outward = 0;
  for (const auto& t : o.mesh.triangles) {
    if (t.normal[2] != 0.0f) continue;
    const float x = (t.vertices[0][0] + t.vertices[1][0] + t.vertices[2][0]) / 3 - centreX;
    const float y = (t.vertices[0][1] + t.vertices[1][1] + t.vertices[2][1]) / 3 - centreY;
    const float radial = x * t.normal[0] + y * t.normal[1];
    // Walls on the black box's ellipse belong to the outer contour, the others to the counter.
    if (std::hypot(x / halfWidth, y / halfHeight) > 0.9f) {
      EXPECT_GT(radial, 0.0f);
      ++outward;
    } else {
      EXPECT_LT(radial, 0.0f);
      ++inward;
    }
  }
  EXPECT_GT(inward, 8);
  EXPECT_GT(outward, 8);
}

TEST(OutlineFontMesh, ACoarserDeviationGivesFewerTriangles) {
  const TOutlineFont font(FontNamed("Arial"));
  const Glyph fine = Build(font, 'O', 0.0f);
  const Glyph coarse = Build(font, 'O', 0.05f);
  ASSERT_TRUE(coarse.built);
  EXPECT_LT(coarse.mesh.triangles.size(), fine.mesh.triangles.size());
  EXPECT_GT(coarse.mesh.triangles.size(), 8u);
  // The metrics come from the outline itself, not from its chords.
  EXPECT_EQ(coarse.metrics.gmfBlackBoxX, fine.metrics.gmfBlackBoxX);
}

TEST(OutlineFontMesh, NonFiniteParametersAndListBaseZeroBuildNothing) {
  const TOutlineFont font(FontNamed("Arial"));
  TGlyphMesh mesh;
  GLYPHMETRICSFLOAT metrics;
  EXPECT_FALSE(font.BuildGlyph('A', NAN, 0.1f, mesh, metrics));
  EXPECT_FALSE(font.BuildGlyph('A', 0.0f, INFINITY, mesh, metrics));
  EXPECT_EQ(metrics.gmfCellIncX, 0.0f);
  metrics.gmfCellIncX = 5.0f;
  EXPECT_FALSE(font.UseFontOutlines('A', 1, 0, 0.0f, 0.1f, &metrics));
  EXPECT_EQ(metrics.gmfCellIncX, 0.0f);
}

TEST(OutlineFontLists, EachListDrawsItsGlyphAndAdvances) {
  auto context = TGLContext::Create(TGLContextPurpose::Window, 8, 8);
  ASSERT_TRUE(context->MakeCurrent());
  const TOutlineFont font(FontNamed("Arial"));
  const GLuint base = glGenLists(2);
  GLYPHMETRICSFLOAT metrics[2];
  ASSERT_TRUE(font.UseFontOutlines('A', 2, base, 0.0f, 0.1f, metrics));
  EXPECT_TRUE(glIsList(base));
  EXPECT_TRUE(glIsList(base + 1));
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glCallList(base);
  glCallList(base + 1);
  GLfloat matrix[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
  EXPECT_NEAR(matrix[12], metrics[0].gmfCellIncX + metrics[1].gmfCellIncX, 1e-6);
  EXPECT_EQ(matrix[13], 0.0f);
  TGLContext::MakeNoneCurrent();
}
