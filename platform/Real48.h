// The 6-byte real of the project files: byte 0 is the exponent biased by 129
// (0 means zero), bytes 1 to 5 hold the 39-bit mantissa least significant byte
// first, with the sign in the top bit of byte 5. 1.0 is 81 00 00 00 00 00.
#pragma once

#include <array>
#include <cstdint>

class Real48 {
 public:
  using Bytes = std::array<std::uint8_t, 6>;

  Real48() = default;
  // Rounds to the nearest 6-byte real (ties to even); NaN becomes 0 and values
  // beyond the range saturate to the largest magnitude.
  explicit Real48(double value) : bytes_(Encode(value)) {}
  static Real48 FromBytes(const Bytes& bytes) {
    Real48 r;
    r.bytes_ = bytes;
    return r;
  }

  double ToDouble() const { return Decode(bytes_); }
  const Bytes& ToBytes() const { return bytes_; }

  static Bytes Encode(double value);
  static double Decode(const Bytes& bytes);

 private:
  Bytes bytes_{};
};
