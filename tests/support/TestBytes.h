// Little-endian values for files written byte by byte in tests.
#pragma once

#include <cstdint>
#include <string>

inline std::string Le16(std::uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
inline std::string Le32(std::uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// The 32-bit value at a byte offset.
inline std::uint32_t Get32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(s[at + static_cast<std::size_t>(i)]);
  return v;
}
