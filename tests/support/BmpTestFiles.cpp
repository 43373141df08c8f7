#include "tests/support/BmpTestFiles.h"

#include "tests/support/TestBytes.h"

std::string BmpTestFile::Build() const {
  std::string info;
  if (headerSize == 12) {
    info = Le16(static_cast<std::uint32_t>(width)) + Le16(static_cast<std::uint32_t>(height)) + Le16(planes) + Le16(bits);
  } else {
    info = Le32(static_cast<std::uint32_t>(width)) + Le32(static_cast<std::uint32_t>(height)) + Le16(planes) +
           Le16(bits) + Le32(compression) + Le32(imageSize) + Le32(static_cast<std::uint32_t>(xRes)) +
           Le32(static_cast<std::uint32_t>(yRes)) + Le32(colorsUsed) + Le32(0);
    if (headerSize >= 52)
      for (std::uint32_t m : masks) info += Le32(m);
    if (info.size() + 4 < headerSize) info.resize(headerSize - 4, '\0');
    if (headerSize == 40)
      for (std::uint32_t m : masks) info += Le32(m);
  }
  const auto offset = static_cast<std::uint32_t>(14 + 4 + info.size() + table.size() + gap.size() + offsetShift);
  return "BM" + Le32(offset + static_cast<std::uint32_t>(pixels.size())) + Le32(0) + Le32(offsetZero ? 0 : offset) +
         Le32(headerSize) + info + table + gap + pixels;
}

std::string Quads(std::initializer_list<TColor> colors) {
  std::string b;
  for (TColor c : colors) b += {static_cast<char>(GetBValue(c)), static_cast<char>(GetGValue(c)), static_cast<char>(GetRValue(c)), '\0'};
  return b;
}
