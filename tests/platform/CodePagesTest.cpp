#include "platform/CodePages.h"

#include <gtest/gtest.h>

TEST(Windows1252, UpperHalfConvertsToUtf8AndBack) {
  const std::string ansi = "caf\xE9 \x80 \x93quoted\x94 \xFF";
  const std::string utf8 = AnsiToUtf8(ansi);
  EXPECT_EQ(utf8, "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D \xC3\xBF");
  EXPECT_EQ(Utf8ToAnsi(utf8), ansi);
}

TEST(Windows1252, EveryByteRoundTrips) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
}

TEST(Windows1252, UnmappableAndMalformedTextBecomesQuestionMarks) {
  EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD"), "?");        // a CJK character
  EXPECT_EQ(Utf8ToAnsi("a\xC3"), "a?");              // cut-off sequence
  EXPECT_EQ(Utf8ToAnsi("\xFF" "b"), "?b");           // invalid lead byte
}

TEST(Charsets, PickTheirCodePages) {
  EXPECT_EQ(CodePageForCharset(ANSI_CHARSET), 1252);
  EXPECT_EQ(CodePageForCharset(DEFAULT_CHARSET), 1252);
  EXPECT_EQ(CodePageForCharset(RUSSIAN_CHARSET), 1251);
  EXPECT_EQ(CodePageForCharset(EASTEUROPE_CHARSET), 1250);
  EXPECT_EQ(CodePageForCharset(GREEK_CHARSET), 1253);
  EXPECT_EQ(CodePageForCharset(SYMBOL_CHARSET), kSymbolCodePage);
}

TEST(Charsets, SingleByteCharactersFollowTheirPage) {
  EXPECT_EQ(CodePageCharToUnicode(0xC0, 1251), u'\u0410');  // Cyrillic A
  EXPECT_EQ(CodePageCharToUnicode(0xC0, 1252), u'\u00C0');  // A grave
  EXPECT_EQ(CodePageCharToUnicode(0xA5, 1250), u'\u0104');  // A ogonek
  EXPECT_EQ(CodePageCharToUnicode('A', 1253), u'A');
  EXPECT_EQ(CodePageCharToUnicode(0x41, kSymbolCodePage), u'\uF041');
  EXPECT_EQ(DecodeCodePage("\xCF\xF0\xE8\xE2\xE5\xF2", 1251), QString::fromUtf8("Привет"));
}
