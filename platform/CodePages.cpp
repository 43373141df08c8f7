#include "platform/CodePages.h"

#include "platform/CodePageTables.h"

#include <QStringDecoder>

#include <unordered_map>

namespace {

const char16_t* Table1252() { return codepage_tables::UpperHalf(1252); }

// Reverse map of Windows-1252's upper half.
const std::unordered_map<char32_t, char>& ReverseTable1252() {
  static const auto table = [] {
    std::unordered_map<char32_t, char> map;
    const char16_t* upper = Table1252();
    for (int i = 0; i < 128; ++i) map.emplace(upper[i], static_cast<char>(128 + i));
    return map;
  }();
  return table;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i]; malformed input yields U+FFFD and
// consumes one byte.
char32_t NextUtf8(std::string_view text, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  int extra = 0;
  char32_t c = 0;
  if (lead < 0x80) {
    ++i;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    c = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    c = lead & 0x07;
  } else {
    ++i;
    return 0xFFFD;
  }
  if (i + extra >= text.size()) {
    ++i;
    return 0xFFFD;
  }
  for (int k = 1; k <= extra; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  i += extra + 1;
  return c;
}

const char* QtCodecName(int codePage) {
  switch (codePage) {
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "EUC-KR";
    case 950: return "Big5";
    default: return nullptr;
  }
}

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  const char16_t* upper = Table1252();
  for (char ch : ansi) {
    const auto b = static_cast<unsigned char>(ch);
    AppendUtf8(out, b < 0x80 ? char32_t{b} : char32_t{upper[b - 0x80]});
  }
  return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  const auto& reverse = ReverseTable1252();
  std::size_t i = 0;
  while (i < utf8.size()) {
    const char32_t c = NextUtf8(utf8, i);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      const auto found = reverse.find(c);
      out += found != reverse.end() ? found->second : '?';
    }
  }
  return out;
}

QString AnsiToQString(std::string_view ansi) { return QString::fromStdString(AnsiToUtf8(ansi)); }

std::string QStringToAnsi(const QString& text) { return Utf8ToAnsi(text.toStdString()); }

int CodePageForCharset(std::uint8_t charset) {
  switch (charset) {
    case SYMBOL_CHARSET: return kSymbolCodePage;
    case SHIFTJIS_CHARSET: return 932;
    case HANGEUL_CHARSET: return 949;
    case GB2312_CHARSET: return 936;
    case CHINESEBIG5_CHARSET: return 950;
    case GREEK_CHARSET: return 1253;
    case TURKISH_CHARSET: return 1254;
    case HEBREW_CHARSET: return 1255;
    case ARABIC_CHARSET: return 1256;
    case BALTIC_CHARSET: return 1257;
    case VIETNAMESE_CHARSET: return 1258;
    case RUSSIAN_CHARSET: return 1251;
    case THAI_CHARSET: return 874;
    case EASTEUROPE_CHARSET: return 1250;
    case OEM_CHARSET: return 437;
    default: return 1252;
  }
}

char16_t CodePageCharToUnicode(std::uint8_t byte, int codePage) {
  if (codePage == kSymbolCodePage) return static_cast<char16_t>(0xF000 + byte);
  if (byte < 0x80) return byte;
  const char16_t* upper = codepage_tables::UpperHalf(codePage);
  if (upper == nullptr) upper = Table1252();
  return upper[byte - 0x80];
}

QString DecodeCodePage(std::string_view bytes, int codePage) {
  if (const char* name = QtCodecName(codePage)) {
    QStringDecoder decoder(name);
    if (decoder.isValid()) return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
  }
  QString out;
  out.reserve(qsizetype(bytes.size()));
  for (char ch : bytes) out.append(QChar(CodePageCharToUnicode(static_cast<std::uint8_t>(ch), codePage)));
  return out;
}
