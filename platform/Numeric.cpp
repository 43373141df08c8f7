#include "platform/Numeric.h"

#include <cmath>
#include <utility>

std::int32_t Round(double value) { return SaturatingTrunc<std::int32_t>(std::nearbyint(value)); }
std::int64_t Round64(double value) { return SaturatingTrunc<std::int64_t>(std::nearbyint(value)); }
std::int32_t Trunc(double value) { return SaturatingTrunc<std::int32_t>(value); }
std::int64_t Trunc64(double value) { return SaturatingTrunc<std::int64_t>(value); }
std::int32_t Floor(double value) { return SaturatingTrunc<std::int32_t>(std::floor(value)); }
std::int32_t Ceil(double value) { return SaturatingTrunc<std::int32_t>(std::ceil(value)); }

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
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

double FiniteOrZero(double value) { return std::isfinite(value) ? value : 0.0; }
