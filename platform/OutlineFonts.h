// Extruded glyph outlines for 3D text, in place of the Windows outline-font
// call: the outline of a character in design units, flattened to a chordal
// deviation, tessellated into a front face at z = 0, a back face at
// z = -extrusion and side walls, with outward normals. Units are ems (the em
// square is 1.0), y up.
#pragma once

#include "platform/Graphics.h"

#include <QRawFont>

#include <cstdint>
#include <vector>

struct POINTFLOAT {
  float x = 0.0f;
  float y = 0.0f;
};

// The metrics of one glyph: the black box (the smallest rectangle around the
// outline), its upper-left corner relative to the character origin, and the
// distance to the next character's origin.
struct GLYPHMETRICSFLOAT {
  float gmfBlackBoxX = 0.0f;
  float gmfBlackBoxY = 0.0f;
  POINTFLOAT gmfptGlyphOrigin;
  float gmfCellIncX = 0.0f;
  float gmfCellIncY = 0.0f;
};

// One extruded glyph as triangles, each with its outward normal.
struct TGlyphMesh {
  struct Triangle {
    float normal[3];
    float vertices[3][3];
  };
  std::vector<Triangle> triangles;
};

// Draws the mesh's triangles (one GL_TRIANGLES primitive) at the current matrix.
void DrawGlyphMesh(const TGlyphMesh& mesh);

// A font's outlines. Character codes map to glyphs through the code page of
// the font's charset; the face name maps to an installed family as canvas
// text does (MapFontFamily).
class TOutlineFont {
 public:
  explicit TOutlineFont(const TFont& font);

  // False when no font could be opened (no font database, no such face).
  bool IsValid() const { return raw_.isValid(); }
  QString FamilyName() const { return raw_.isValid() ? raw_.familyName() : QString(); }
  int UnitsPerEm() const { return unitsPerEm_; }

  // The mesh and metrics of a character code. deviation is the largest
  // distance in ems between a curve and its chords (0: one design unit);
  // extrusion the depth toward -z. False (and zero metrics) on failure.
  bool BuildGlyph(std::uint8_t code, float deviation, float extrusion, TGlyphMesh& mesh,
                  GLYPHMETRICSFLOAT& metrics) const;

  // Compiles the glyphs first .. first + count - 1 into the display lists
  // listBase + 0 .., each ending with the translation by its cell increment,
  // and fills metrics (count entries, may be null). A glyph that fails gets
  // no list and zero metrics; the result is false when any failed. Needs a
  // current rendering context.
  bool UseFontOutlines(std::uint8_t first, int count, unsigned int listBase, float deviation, float extrusion,
                       GLYPHMETRICSFLOAT* metrics) const;

 private:
  quint32 GlyphIndexFor(std::uint8_t code) const;

  QRawFont raw_;
  int codePage_ = 1252;
  int unitsPerEm_ = 0;
};
