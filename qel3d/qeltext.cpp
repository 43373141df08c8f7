#include "qel3d/qeltext.h"

#include "platform/GLContext.h"
#include "qel3d/qelkey.h"
#include "qel3d/qelwrite.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

const std::vector<std::pair<std::uint8_t, std::string>> kStyleNames{
    {fsBold, "fsBold"}, {fsItalic, "fsItalic"}, {fsUnderline, "fsUnderline"}, {fsStrikeOut, "fsStrikeOut"}};

// The font as the nested "Font.*" properties of a stream.
}  // namespace

class TQelText::TFontProperties final : public TPersistent {
 public:
  explicit TFontProperties(TQelText& owner) : owner_(owner) {}
  std::string ClassName() const override { return "TFont"; }

  void WriteProperties(TWriter& writer) const override {
    const TFont& font_ = owner_.font_;
    writer.WritePropName("Charset");
    writer.WriteInteger(font_.Charset);
    writer.WritePropName("Color");
    writer.WriteInteger(static_cast<std::int32_t>(font_.Color));
    writer.WritePropName("Height");
    writer.WriteInteger(font_.Height());
    writer.WritePropName("Name");
    writer.WriteString(font_.Name);
    std::vector<std::string> styles;
    for (const auto& [bit, name] : kStyleNames)
      if (font_.Style & bit) styles.push_back(name);
    writer.WritePropName("Style");
    writer.WriteSet(styles);
  }

  bool ReadProperty(const std::string& name, TReader& reader) override {
    TFont font = owner_.font_;
    if (SameTextAscii(name, "Charset")) {
      font.Charset = static_cast<std::uint8_t>(std::clamp<std::int64_t>(reader.ReadInteger(), 0, 255));
    } else if (SameTextAscii(name, "Color")) {
      font.Color = static_cast<TColor>(reader.ReadInteger());
    } else if (SameTextAscii(name, "Height")) {
      font.SetHeight(static_cast<int>(std::clamp<std::int64_t>(reader.ReadInteger(), -32768, 32767)));
    } else if (SameTextAscii(name, "Name")) {
      font.Name = reader.ReadString();
    } else if (SameTextAscii(name, "Style")) {
      font.Style = 0;
      for (const std::string& member : reader.ReadSet())
        for (const auto& [bit, styleName] : kStyleNames)
          if (SameTextAscii(member, styleName)) font.Style |= bit;
    } else {
      return false;
    }
    owner_.SetFont(font);
    return true;
  }

 private:
  TQelText& owner_;
};

TQelText::TQelText() : fontProperties_(std::make_unique<TFontProperties>(*this)) {}

TQelText::~TQelText() { ClearLists(); }

void TQelText::SetFont(const TFont& font) {
  if (font == font_) return;
  font_ = font;
  outlines_.reset();
  ClearLists();
}

void TQelText::SetDepth(float depth) {
  if (depth == depth_) return;
  depth_ = depth;
  ClearLists();
}

void TQelText::ForgetGlyphs() {
  built_.fill(false);
  metrics_.fill(GLYPHMETRICSFLOAT());
}

void TQelText::ClearLists() {
  ForgetGlyphs();
  if (listBase_ < 0) return;
  // Lists belong to the context that made them; a context that is gone took them along.
  if (TGLContext* maker = TGLContext::Find(listContext_)) {
    if (maker->IsCurrent()) {
      glDeleteLists(static_cast<GLuint>(listBase_), kListCount);
    } else {
      TGLCurrentContextGuard keepCurrent;
      if (maker->MakeCurrent()) glDeleteLists(static_cast<GLuint>(listBase_), kListCount);
    }
  }
  listBase_ = -1;
  listContext_ = 0;
}

bool TQelText::AllCharactersBuilt() const {
  return std::all_of(text_.begin(), text_.end(), [this](char c) { return built_[static_cast<std::uint8_t>(c)]; });
}

void TQelText::BuildGlyphs() {
  extentWidth_ = 0.0;
  extentHeight_ = 0.0;
  if (listBase_ < 0) {
    const GLuint base = glGenLists(kListCount);
    if (base == 0) return;  // no lists: every glyph stays unbuilt with zero metrics
    listBase_ = static_cast<int>(base);
    const TGLContext* current = TGLContext::Current();
    listContext_ = current != nullptr ? current->Id() : 0;
  }
  if (!outlines_) outlines_ = std::make_unique<TOutlineFont>(font_);
  for (char c : text_) {
    const auto code = static_cast<std::uint8_t>(c);
    if (!built_[code]) {
      GLYPHMETRICSFLOAT metrics;
      if (outlines_->UseFontOutlines(code, 1, static_cast<unsigned>(listBase_) + code, quality_, depth_, &metrics)) {
        built_[code] = true;
        metrics_[code] = metrics;
        ++glyphsBuilt_;
      } else {
        metrics_[code] = GLYPHMETRICSFLOAT();
      }
    }
    extentWidth_ += metrics_[code].gmfCellIncX;
    extentHeight_ = std::max(extentHeight_, static_cast<double>(metrics_[code].gmfptGlyphOrigin.y));
  }
}

void TQelText::Render() {
  TQelRender::Render();
  if (text_.empty()) return;
  // Lists made in another context mean nothing in this one.
  const TGLContext* current = TGLContext::Current();
  if (listBase_ >= 0 && (current != nullptr ? current->Id() : 0) != listContext_) ClearLists();
  BuildGlyphs();
  if (textured_) {
    const GLfloat sPlane[4] = {1.0f, 0.0f, 0.0f, 0.0f};
    const GLfloat tPlane[4] = {0.0f, 1.0f, 0.0f, 0.0f};
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGenfv(GL_S, GL_OBJECT_PLANE, sPlane);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGenfv(GL_T, GL_OBJECT_PLANE, tPlane);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
  }
  if (listBase_ >= 0) {
    GLint previousBase = 0;
    glGetIntegerv(GL_LIST_BASE, &previousBase);
    glListBase(static_cast<GLuint>(listBase_));
    glCallLists(static_cast<GLsizei>(text_.size()), GL_UNSIGNED_BYTE, text_.data());
    glListBase(static_cast<GLuint>(previousBase));
  }
  if (!cacheLists_) ClearLists();
}

void TQelText::GetTextExtent(float& width, float& height) {
  if (!text_.empty() && AllCharactersBuilt()) {
    double w = 0.0, h = 0.0;
    for (char c : text_) {
      const GLYPHMETRICSFLOAT& m = metrics_[static_cast<std::uint8_t>(c)];
      w += m.gmfCellIncX;
      h = std::max(h, static_cast<double>(m.gmfptGlyphOrigin.y));
    }
    extentWidth_ = w;
    extentHeight_ = h;
  }
  width = static_cast<float>(extentWidth_);
  height = static_cast<float>(extentHeight_);
}

void TQelText::Assign(const TPersistent& source) {
  if (const auto* text = dynamic_cast<const TQelText*>(&source)) {
    cacheLists_ = text->cacheLists_;
    SetFont(text->font_);
    text_ = text->text_;
    SetDepth(text->depth_);
    quality_ = text->quality_;
    textured_ = text->textured_;
  }
  TQelRender::Assign(source);
}

void TQelText::WriteKeys(TQelKeyWriter& writer) {
  TQelRender::WriteKeys(writer);
  WriteIntegerKey(writer, "CacheLists", cacheLists_ ? 1 : 0);
  TQelKeyValueBase font;
  font.SetName("Font");
  font.AddSubKey().SetText("Name", font_.Name, vkQuoted);
  font.AddSubKey().SetBoolean("Bold", (font_.Style & fsBold) != 0);
  font.AddSubKey().SetBoolean("Italic", (font_.Style & fsItalic) != 0);
  writer.WriteKey(font);
  WriteTextKey(writer, "Text", text_);
  WriteFloatKey(writer, "Depth", depth_);
  WriteFloatKey(writer, "Quality", quality_);
  WriteIntegerKey(writer, "Textured", textured_ ? 1 : 0);
}

bool TQelText::ReadKey(const TQelKeyValueBase& key) {
  if (TQelRender::ReadKey(key)) return true;
  const std::string& name = key.Name();
  std::int64_t flag = 0;
  double real = 0.0;
  if (SameTextAscii(name, "CacheLists")) {
    if (KeyInteger(key, INT64_MIN, INT64_MAX, flag)) SetCacheLists(flag != 0);
  } else if (SameTextAscii(name, "Font")) {
    TFont font = font_;
    if (const TQelKeyValueBase* face = key.FindSubKey("Name"); face != nullptr && !face->Value().empty())
      font.Name = face->Value();
    if (const TQelKeyValueBase* bold = key.FindSubKey("Bold"); bold != nullptr && KeyInteger(*bold, INT64_MIN, INT64_MAX, flag))
      font.Style = static_cast<std::uint8_t>(flag != 0 ? font.Style | fsBold : font.Style & ~fsBold);
    if (const TQelKeyValueBase* italic = key.FindSubKey("Italic");
        italic != nullptr && KeyInteger(*italic, INT64_MIN, INT64_MAX, flag))
      font.Style = static_cast<std::uint8_t>(flag != 0 ? font.Style | fsItalic : font.Style & ~fsItalic);
    SetFont(font);
  } else if (SameTextAscii(name, "Text")) {
    SetText(key.Value());
  } else if (SameTextAscii(name, "Depth")) {
    if (KeyFloat(key, real)) SetDepth(static_cast<float>(real));
  } else if (SameTextAscii(name, "Quality")) {
    if (KeyFloat(key, real)) SetQuality(static_cast<float>(real));
  } else if (SameTextAscii(name, "Textured")) {
    if (KeyInteger(key, INT64_MIN, INT64_MAX, flag)) SetTextured(flag != 0);
  } else {
    return false;
  }
  return true;
}

void TQelText::WriteProperties(TWriter& writer) const {
  TQelRender::WriteProperties(writer);
  writer.WritePropName("CacheLists");
  writer.WriteBoolean(cacheLists_);
  WriteNestedObject(writer, "Font", *fontProperties_);
  writer.WritePropName("Text");
  writer.WriteString(text_);
  WriteSingleProperty(writer, "Depth", depth_);
  WriteSingleProperty(writer, "Quality", quality_);
  writer.WritePropName("Textured");
  writer.WriteBoolean(textured_);
}

bool TQelText::ReadProperty(const std::string& name, TReader& reader) {
  if (TQelRender::ReadProperty(name, reader)) return true;
  if (SameTextAscii(name, "CacheLists")) SetCacheLists(reader.ReadBoolean());
  else if (SameTextAscii(name, "Text")) SetText(reader.ReadString());
  else if (SameTextAscii(name, "Depth")) SetDepth(static_cast<float>(reader.ReadFloat()));
  else if (SameTextAscii(name, "Quality")) SetQuality(static_cast<float>(reader.ReadFloat()));
  else if (SameTextAscii(name, "Textured")) SetTextured(reader.ReadBoolean());
  else return false;
  return true;
}

TPersistent* TQelText::FindSubObject(const std::string& name) {
  if (SameTextAscii(name, "Font")) return fontProperties_.get();
  return TQelRender::FindSubObject(name);
}

void TQelText::DefineProperties(TFiler& filer) {
  TQelRender::DefineProperties(filer);
  DefineZeroSingle(filer, "Depth", depth_, [this](float v) { SetDepth(v); });
  DefineZeroSingle(filer, "Quality", quality_, [this](float v) { SetQuality(v); });
}

void QelRegisterTextClasses() {
  RegisterClass("TQelText", [] { return std::make_unique<TQelText>(); });
}
