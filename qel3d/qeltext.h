// Extruded 3D text: each character of the font becomes a display list once
// (in the rendering context that draws it), and a string is drawn by calling
// the lists of its characters.
#pragma once

#include "platform/Graphics.h"
#include "platform/OutlineFonts.h"
#include "qel3d/qelclass.h"

#include <array>
#include <cstdint>
#include <memory>

class TQelText : public TQelObject {
 public:
  static constexpr int kListCount = 256;

  TQelText();
  ~TQelText() override;
  std::string ClassName() const override { return "TQelText"; }

  bool CacheLists() const { return cacheLists_; }
  void SetCacheLists(bool cache) { cacheLists_ = cache; }
  const TFont& Font() const { return font_; }
  // A different font forgets the built glyphs.
  void SetFont(const TFont& font);
  // Bytes in the code page of the font's charset.
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text) { text_ = text; }
  float Depth() const { return depth_; }
  // A different depth forgets the built glyphs.
  void SetDepth(float depth);
  // The chordal deviation of the outlines in ems (0: the font's design units).
  float Quality() const { return quality_; }
  void SetQuality(float quality) { quality_ = quality; }
  bool Textured() const { return textured_; }
  void SetTextured(bool textured) { textured_ = textured; }

  // Forgets all glyphs. Lists are deleted in the context that made them,
  // and only while it lives.
  void ClearLists();
  // Width (the sum of the cell increments) and height (the highest glyph
  // origin) of the text in ems.
  void GetTextExtent(float& width, float& height);

  // Whether the glyph of a character code is built, and its metrics (zero
  // while it is not).
  bool IsBuilt(std::uint8_t code) const { return built_[code]; }
  const GLYPHMETRICSFLOAT& Metrics(std::uint8_t code) const { return metrics_[code]; }
  // How many glyphs were built since the object was made.
  int GlyphsBuilt() const { return glyphsBuilt_; }

  void Assign(const TPersistent& source) override;
  bool CanStore() const override { return true; }
  void Render() override;
  void WriteKeys(TQelKeyWriter& writer) override;
  bool ReadKey(const TQelKeyValueBase& key) override;

  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;
  TPersistent* FindSubObject(const std::string& name) override;
  void DefineProperties(TFiler& filer) override;

 private:
  class TFontProperties;

  void BuildGlyphs();
  bool AllCharactersBuilt() const;
  void ForgetGlyphs();

  bool cacheLists_ = true;
  TFont font_;
  std::string text_;
  float depth_ = 0.15f;
  float quality_ = 0.0f;
  bool textured_ = false;

  int listBase_ = -1;
  std::uint64_t listContext_ = 0;  // the context that owns the lists
  std::array<bool, kListCount> built_{};
  std::array<GLYPHMETRICSFLOAT, kListCount> metrics_{};
  double extentWidth_ = 0.0;
  double extentHeight_ = 0.0;
  std::unique_ptr<TOutlineFont> outlines_;  // opened on first use for the current font
  int glyphsBuilt_ = 0;
  std::unique_ptr<TFontProperties> fontProperties_;  // the font as nested stream properties
};

void QelRegisterTextClasses();
