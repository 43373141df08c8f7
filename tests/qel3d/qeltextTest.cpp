#include "qel3d/qeltext.h"
#include "tests/qel3d/QelTestSupport.h"

#include <GL/gl.h>

namespace {

TFont Font(const std::string& name) {
  TFont font;
  font.Name = name;
  return font;
}

class QelTextGlyphs : public QelGLTest {
 protected:
  QelTextGlyphs() { text_.SetFont(Font("Liberation Sans")); }
  TQelText text_;
};

using QelTextRendering = QelTest;
using QelTextStoring = QelTest;

}  // namespace

TEST_F(QelTextRendering, ThreeDTextRendersIntoABitmap) {
  TQelText text;
  text.SetFont(Font("Liberation Sans"));
  text.SetText("Text");
  text.SetTransform(true);
  text.Translation().SetXYZ(-1.0f, -0.35f, 0.0f);
  const auto target = RenderLit(text, clYellow, clNavy, 1.2f, 1, 230, 80);  // about two thirds of the frame
  // The letters cover a good part of the frame, lit yellow; the corners stay background.
  const int covered = CountPixelsOtherThan(*target, clNavy);
  EXPECT_GT(covered, 230 * 80 / 10);
  EXPECT_LT(covered, 230 * 80 / 2);
  int yellowish = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 230; ++x) {
      const TColor c = target->Pixel(x, y);
      yellowish += GetRValue(c) > 150 && GetGValue(c) > 150 && GetBValue(c) < 100;
    }
  EXPECT_GT(yellowish, 500);
  EXPECT_EQ(target->Pixel(0, 0), clNavy);
  EXPECT_EQ(target->Pixel(229, 79), clNavy);
  EXPECT_EQ(text.GlyphsBuilt(), 4);
}

TEST_F(QelTextGlyphs, TheExtentIsTheSumOfAdvancesAndTheHighestOriginAndDrawingAdvancesByIt) {
  float width = -1, height = -1;
  text_.SetText("Text");
  text_.GetTextExtent(width, height);
  EXPECT_EQ(std::pair(width, height), std::pair(0.0f, 0.0f));
  text_.Render();  // without Draw's matrix push the advance stays visible
  text_.GetTextExtent(width, height);
  EXPECT_NEAR(GLMatrix(GL_MODELVIEW_MATRIX)[12], width, 1e-5);
  GLint base = -1;
  glGetIntegerv(GL_LIST_BASE, &base);
  EXPECT_EQ(base, 0);  // restored
  const TOutlineFont outlines(Font("Liberation Sans"));
  double sum = 0.0, highest = 0.0;
  for (char c : std::string("Text")) {
    TGlyphMesh mesh;
    GLYPHMETRICSFLOAT m;
    ASSERT_TRUE(outlines.BuildGlyph(static_cast<std::uint8_t>(c), 0.0f, 0.15f, mesh, m));
    EXPECT_EQ(text_.Metrics(static_cast<std::uint8_t>(c)).gmfCellIncX, m.gmfCellIncX);
    sum += m.gmfCellIncX;
    highest = std::max(highest, static_cast<double>(m.gmfptGlyphOrigin.y));
  }
  EXPECT_FLOAT_EQ(width, static_cast<float>(sum));
  EXPECT_FLOAT_EQ(height, static_cast<float>(highest));
  // Liberation Sans: T 1251, e 1139, x 1024, t 569 units of 2048.
  EXPECT_NEAR(width, (1251 + 1139 + 1024 + 569) / 2048.0, 1e-5);
  // An empty text draws nothing and keeps the extent.
  text_.SetText("");
  text_.Draw();
  float emptyWidth = 0, emptyHeight = 0;
  text_.GetTextExtent(emptyWidth, emptyHeight);
  EXPECT_EQ(std::pair(emptyWidth, emptyHeight), std::pair(width, height));
}

TEST_F(QelTextGlyphs, GlyphsAreBuiltOnceAndRebuiltOnADepthOrFontChange) {
  text_.SetText("AAB");
  text_.Draw();
  EXPECT_EQ(text_.GlyphsBuilt(), 2);
  EXPECT_TRUE(text_.IsBuilt('B'));
  EXPECT_FALSE(text_.IsBuilt('C'));
  text_.SetText("BAC");
  text_.SetDepth(0.15f);  // unchanged
  text_.SetFont(Font("Liberation Sans"));
  text_.Draw();
  EXPECT_EQ(text_.GlyphsBuilt(), 3);
  text_.SetDepth(0.4f);
  EXPECT_FALSE(text_.IsBuilt('A'));
  text_.Draw();
  EXPECT_EQ(text_.GlyphsBuilt(), 6);
  text_.SetFont(Font("Liberation Serif"));
  text_.Draw();
  EXPECT_EQ(text_.GlyphsBuilt(), 9);
  // Without caching the lists are let go after a draw: every later draw builds again.
  text_.SetCacheLists(false);
  for (int i = 0; i < 3; ++i) text_.Draw();
  EXPECT_EQ(text_.GlyphsBuilt(), 15);
  EXPECT_FALSE(text_.IsBuilt('A'));
}

TEST_F(QelTextGlyphs, TextDrawsInSelectionMode) {
  text_.SetText("Pick");
  GLuint buffer[16] = {};
  glSelectBuffer(16, buffer);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(7);
  text_.Draw();
  EXPECT_EQ(glRenderMode(GL_RENDER), 1);
  EXPECT_EQ(buffer[3], 7u);
}

TEST_F(QelTextGlyphs, ListsAreDeletedInTheContextThatMadeThemOrForgottenWithIt) {
  text_.SetText("Hi");
  text_.Draw();
  ASSERT_TRUE(glIsList(1));  // the first block of a fresh context
  auto other = TGLContext::Create(TGLContextPurpose::Window, 8, 8);
  ASSERT_TRUE(other->MakeCurrent());
  text_.Draw();
  EXPECT_EQ(text_.GlyphsBuilt(), 4);
  EXPECT_TRUE(other->IsCurrent());
  ASSERT_TRUE(context_->MakeCurrent());
  EXPECT_FALSE(glIsList(1));
  // The lists now live in the other context; once it is gone they are simply dropped.
  other.reset();
  ASSERT_TRUE(context_->MakeCurrent());
  text_.Draw();
  EXPECT_EQ(text_.GlyphsBuilt(), 6);
  text_.ClearLists();
  EXPECT_FALSE(text_.IsBuilt('H'));
}

TEST_F(QelTextRendering, WithoutListsGlyphsStayUnbuiltWithZeroMetrics) {
  TGLContext::MakeNoneCurrent();
  TQelText text;
  text.SetText("Hi");
  text.Draw();
  EXPECT_FALSE(text.IsBuilt('H'));
  EXPECT_EQ(text.Metrics('H').gmfCellIncX, 0.0f);
  float width = -1, height = -1;
  text.GetTextExtent(width, height);
  EXPECT_EQ(width, 0.0f);
  EXPECT_EQ(text.GlyphsBuilt(), 0);
}

TEST_F(QelTextStoring, TextKeysQuoteTheTextAndBothRoundTripsKeepTheFont) {
  TQelText text;
  TFont font = Font("Times New Roman");
  font.Style = fsBold;
  text.SetFont(font);
  text.SetText("He said \"3D\" <loud>");
  text.SetDepth(0);
  text.SetQuality(0.01f);
  text.SetCacheLists(false);
  text.SetTextured(true);
  const std::string keys = KeyTextOf(text);
  EXPECT_NE(keys.find("<FONT NAME=\"Times New Roman\", BOLD=1, ITALIC=0>\r\n"), std::string::npos);
  EXPECT_NE(keys.find("<TEXT=\"He said \"\"3D\"\" <loud>\">\r\n"), std::string::npos);
  ExpectRoundTrips(text);
  font.Style = fsItalic | fsUnderline;
  font.Charset = 204;
  font.SetHeight(-20);
  text.SetFont(font);
  auto copy = StreamRoundTrip(text);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Font(), font);
}
