// Text in the model and in streams is bytes in the Windows-1252 code page, as
// the files store it. These functions convert at the user-interface boundary
// and for font rendering, where a font's charset picks the code page.
#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

// Windows-1252 bytes to UTF-8 and back. Characters that Windows-1252 cannot
// hold become '?'.
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);
QString AnsiToQString(std::string_view ansi);
std::string QStringToAnsi(const QString& text);

// Font charsets (the numbers stored with fonts).
enum : std::uint8_t {
  ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, SHIFTJIS_CHARSET = 128,
  HANGEUL_CHARSET = 129, GB2312_CHARSET = 134, CHINESEBIG5_CHARSET = 136, OEM_CHARSET = 255,
  JOHAB_CHARSET = 130, HEBREW_CHARSET = 177, ARABIC_CHARSET = 178, GREEK_CHARSET = 161,
  TURKISH_CHARSET = 162, VIETNAMESE_CHARSET = 163, THAI_CHARSET = 222, EASTEUROPE_CHARSET = 238,
  RUSSIAN_CHARSET = 204, MAC_CHARSET = 77, BALTIC_CHARSET = 186
};

// The code page a charset selects (1252 for the ANSI and default charsets and
// for charsets without a page of their own here); 42 stands for the symbol page.
int CodePageForCharset(std::uint8_t charset);
constexpr int kSymbolCodePage = 42;

// Decodes bytes of the given code page. Single-byte pages use our own tables;
// the symbol page maps byte b to U+F000 + b as symbol fonts expect; double-byte
// pages go through Qt's converters when they know the page, else Windows-1252.
QString DecodeCodePage(std::string_view bytes, int codePage);

// The character of one byte in a single-byte code page (or the symbol page).
char16_t CodePageCharToUnicode(std::uint8_t byte, int codePage);
