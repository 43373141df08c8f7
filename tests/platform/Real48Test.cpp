#include "platform/Real48.h"
#include "platform/Streams.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
Real48::Bytes B(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d, std::uint8_t e, std::uint8_t f) {
  return {a, b, c, d, e, f};
}
}  // namespace

TEST(Real48Codec, KnownEncodingsBothWaysAndThroughStreams) {
  const std::pair<double, Real48::Bytes> cases[] = {{1.0, B(0x81, 0, 0, 0, 0, 0)},     {40.0, B(0x86, 0, 0, 0, 0, 0x20)},
                                                    {-1.0, B(0x81, 0, 0, 0, 0, 0x80)}, {0.0, B(0, 0, 0, 0, 0, 0)},
                                                    {0.5, B(0x80, 0, 0, 0, 0, 0)}};
  for (const auto& [value, bytes] : cases) {
    EXPECT_EQ(Real48::Encode(value), bytes) << value;
    EXPECT_EQ(Real48::Decode(bytes), value) << value;
  }
  // An exponent of 0 is zero whatever the mantissa says.
  EXPECT_EQ(Real48::Decode(B(0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF)), 0.0);
  TMemoryStream stream;
  stream.WriteReal48(40.0);
  ASSERT_EQ(stream.Size(), 6);
  EXPECT_EQ(stream.Memory()[0], 0x86);
  EXPECT_EQ(stream.Memory()[5], 0x20);
  stream.SetPosition(0);
  EXPECT_EQ(stream.ReadReal48(), 40.0);
}

TEST(Real48Codec, RoundTripsExactlyOrToTheNearest39BitValue) {
  for (double v : {1.0, -1.0, 0.25, 100.0, 12345.5, -0.001953125, 65536.0, std::ldexp(1.0, -100), std::ldexp(3.0, 100)})
    EXPECT_EQ(Real48::Decode(Real48::Encode(v)), v) << v;
  for (double v : {0.1, 1.0 / 3.0, -2.7182818284, 123.456, 99.99})
    EXPECT_NEAR(Real48::Decode(Real48::Encode(v)), v, std::fabs(v) * std::ldexp(1.0, -39)) << v;
  // Rounding up carries into the next exponent.
  EXPECT_EQ(Real48::Decode(Real48::Encode(2.0 - std::ldexp(1.0, -45))), 2.0);
}

TEST(Real48Codec, NonFiniteAndOutOfRangeValuesSaturate) {
  EXPECT_EQ(Real48::Encode(std::nan("")), B(0, 0, 0, 0, 0, 0));
  const double huge = Real48::Decode(Real48::Encode(INFINITY));
  EXPECT_TRUE(std::isfinite(huge));
  EXPECT_GT(huge, 1e38);
  EXPECT_LT(Real48::Decode(Real48::Encode(-1e300)), -1e38);
  EXPECT_EQ(Real48::Decode(Real48::Encode(1e-300)), 0.0);
}
