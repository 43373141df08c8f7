// BMP files written byte by byte for tests: the file header, an info header of
// 12 (OS/2), 40 or more bytes, bit-field masks, and the colour table, gap and
// pixels exactly as given.
#pragma once

#include "platform/Colors.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

struct BmpTestFile {
  std::uint32_t headerSize = 40;
  std::int32_t width = 2;
  std::int32_t height = 2;
  std::uint32_t planes = 1;
  std::uint32_t bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;
  std::int32_t xRes = 0;
  std::int32_t yRes = 0;
  std::uint32_t colorsUsed = 0;
  std::vector<std::uint32_t> masks{};  // in the header (size >= 52) or after a 40-byte one
  std::string table{};                 // colour table bytes as stored
  std::string gap{};                   // bytes between the table and the pixels
  std::string pixels{};
  std::int32_t offsetShift = 0;  // added to the stated pixel offset
  bool offsetZero = false;       // state a pixel offset of 0
  std::string Build() const;
};

// Colour table entries as stored: blue, green, red, 0.
std::string Quads(std::initializer_list<TColor> colors);
