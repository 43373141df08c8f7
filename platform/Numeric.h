// Number conversions with the semantics the editor's stored data was made with:
// halves round to even, integer division truncates, and every conversion from a
// real to an integer saturates instead of invoking undefined behaviour.
#pragma once

#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>

// Saturating conversion of a real to the integer type Int. NaN becomes 0,
// values beyond the type's range become its minimum or maximum. The fraction
// is dropped (truncation towards zero).
template <typename Int>
Int SaturatingTrunc(double value) {
  static_assert(std::is_integral_v<Int>);
  if (value != value) return 0;  // NaN
  constexpr double lowest = static_cast<double>(std::numeric_limits<Int>::min());
  // max()+1 is a power of two and therefore exactly representable.
  constexpr double beyondHighest = static_cast<double>(std::numeric_limits<Int>::max()) + 1.0;
  if (value <= lowest) return std::numeric_limits<Int>::min();
  if (value >= beyondHighest) return std::numeric_limits<Int>::max();
  return static_cast<Int>(value);
}

// Clamps a wide integer into the range of Int.
template <typename Int, typename Wide>
Int SaturatingCast(Wide value) {
  static_assert(std::is_integral_v<Int> && std::is_integral_v<Wide>);
  if (std::cmp_less(value, std::numeric_limits<Int>::min())) return std::numeric_limits<Int>::min();
  if (std::cmp_greater(value, std::numeric_limits<Int>::max())) return std::numeric_limits<Int>::max();
  return static_cast<Int>(value);
}

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4), saturated.
std::int32_t Round(double value);
std::int64_t Round64(double value);

// Integer part towards zero, saturated.
std::int32_t Trunc(double value);
std::int64_t Trunc64(double value);

// Largest integer not above / smallest not below the value, saturated.
std::int32_t Floor(double value);
std::int32_t Ceil(double value);

// a * b / c with a 64-bit product, halves rounded away from zero.
// Returns -1 when c is 0 or the result does not fit in 32 bits. Inline:
// pixel loops call it with constant divisors.
inline std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
  if (c == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const std::uint64_t magnitude = product < 0 ? 0 - static_cast<std::uint64_t>(product) : product;
  const std::uint64_t divisor = c < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(c)) : c;
  const std::uint64_t rounded = (magnitude + divisor / 2) / divisor;  // halves away from zero
  if (rounded > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) + (negative ? 1u : 0u))
    return -1;
  return negative ? static_cast<std::int32_t>(0 - static_cast<std::int64_t>(rounded))
                  : static_cast<std::int32_t>(rounded);
}

// Clamps value into [low, high].
template <typename T>
constexpr T EnsureRange(T value, T low, T high) {
  return value < low ? low : (value > high ? high : value);
}

// A finite double, or 0 for NaN and infinities (for values read from files).
double FiniteOrZero(double value);
