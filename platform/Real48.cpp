#include "platform/Real48.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int kBias = 129;
constexpr int kMantissaBits = 39;

void StoreMantissa(Real48::Bytes& out, std::uint64_t mantissa, bool negative) {
  for (int i = 0; i < 5; ++i) out[1 + i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
  if (negative) out[5] |= 0x80;
}

}  // namespace

Real48::Bytes Real48::Encode(double value) {
  Bytes out{};
  if (value != value || value == 0.0) return out;  // NaN and zero give 0
  const bool negative = std::signbit(value);
  const double magnitude = std::fabs(value);
  if (std::isinf(magnitude)) {
    out[0] = 0xFF;
    StoreMantissa(out, (std::uint64_t{1} << kMantissaBits) - 1, negative);
    return out;
  }
  int exponent = 0;
  const double fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent, fraction in [0.5, 1)
  // Value = (1 + m / 2^39) * 2^(e - 129), so e = exponent - 1 + 129.
  double scaled = std::nearbyint(std::ldexp(fraction * 2.0 - 1.0, kMantissaBits));
  int biased = exponent - 1 + kBias;
  if (scaled >= std::ldexp(1.0, kMantissaBits)) {  // rounding carried into the next power of two
    scaled = 0;
    ++biased;
  }
  if (biased <= 0) return Bytes{};  // too small: zero
  if (biased > 0xFF) {
    out[0] = 0xFF;
    StoreMantissa(out, (std::uint64_t{1} << kMantissaBits) - 1, negative);
    return out;
  }
  out[0] = static_cast<std::uint8_t>(biased);
  StoreMantissa(out, static_cast<std::uint64_t>(scaled), negative);
  return out;
}

double Real48::Decode(const Bytes& bytes) {
  if (bytes[0] == 0) return 0.0;
  std::uint64_t mantissa = 0;
  for (int i = 0; i < 5; ++i) mantissa |= static_cast<std::uint64_t>(bytes[1 + i]) << (8 * i);
  const bool negative = (mantissa >> 39) & 1;
  mantissa &= (std::uint64_t{1} << kMantissaBits) - 1;
  const double value =
      std::ldexp(1.0 + std::ldexp(static_cast<double>(mantissa), -kMantissaBits), bytes[0] - kBias);
  return negative ? -value : value;
}
