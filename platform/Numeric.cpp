#include "platform/Numeric.h"

#include <cmath>
#include <utility>

std::int32_t Round(double value) { return SaturatingTrunc<std::int32_t>(std::nearbyint(value)); }
std::int64_t Round64(double value) { return SaturatingTrunc<std::int64_t>(std::nearbyint(value)); }
std::int32_t Trunc(double value) { return SaturatingTrunc<std::int32_t>(value); }
std::int64_t Trunc64(double value) { return SaturatingTrunc<std::int64_t>(value); }
std::int32_t Floor(double value) { return SaturatingTrunc<std::int32_t>(std::floor(value)); }
std::int32_t Ceil(double value) { return SaturatingTrunc<std::int32_t>(std::ceil(value)); }

double FiniteOrZero(double value) { return std::isfinite(value) ? value : 0.0; }
