// Tables of the single-byte code pages (see CodePageTables.cpp).
#pragma once

namespace codepage_tables {
// The Unicode characters of bytes 128..255 of a single-byte code page
// (437, 874, 1250 to 1258), or nullptr for any other page.
const char16_t* UpperHalf(int codePage);
}  // namespace codepage_tables
