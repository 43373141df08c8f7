#include "platform/CodePages.h"

#include <gtest/gtest.h>

TEST(Windows1252, EveryByteRoundTripsThroughUtf8) {
  EXPECT_EQ(AnsiToUtf8("caf\xE9 \x80 \x93q\x94 \xFF"), "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC3\xBF");
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
  // Unmappable or malformed text becomes question marks.
  EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD"), "?");  // a CJK character
  EXPECT_EQ(Utf8ToAnsi("a\xC3"), "a?");        // cut-off sequence
  EXPECT_EQ(Utf8ToAnsi("\xFF" "b"), "?b");     // invalid lead byte
}

TEST(Charsets, PickTheirCodePagesAndCharacters) {
  const std::pair<std::uint8_t, int> pages[] = {{ANSI_CHARSET, 1252},      {DEFAULT_CHARSET, 1252},
                                                {RUSSIAN_CHARSET, 1251},   {EASTEUROPE_CHARSET, 1250},
                                                {GREEK_CHARSET, 1253},     {SYMBOL_CHARSET, kSymbolCodePage}};
  for (const auto& [charset, page] : pages) EXPECT_EQ(CodePageForCharset(charset), page) << int{charset};
  EXPECT_EQ(CodePageCharToUnicode(0xC0, 1251), u'\u0410');  // Cyrillic A
  EXPECT_EQ(CodePageCharToUnicode(0xC0, 1252), u'\u00C0');  // A grave
  EXPECT_EQ(CodePageCharToUnicode(0xA5, 1250), u'\u0104');  // A ogonek
  EXPECT_EQ(CodePageCharToUnicode('A', 1253), u'A');
  EXPECT_EQ(CodePageCharToUnicode(0x41, kSymbolCodePage), u'\uF041');
  EXPECT_EQ(DecodeCodePage("\xCF\xF0\xE8\xE2\xE5\xF2", 1251), QString::fromUtf8("Привет"));
}
