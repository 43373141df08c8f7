#include "scene/Text3DFrame.h"

#include "platform/Numeric.h"

namespace {

std::int32_t BlendChannel(std::uint8_t a, std::uint8_t b, double t) {
  return a + Round(t * (static_cast<int>(b) - static_cast<int>(a)));
}

}  // namespace

TColor InterpolateColor(TColor c1, TColor c2, double t) {
  const std::int32_t r = BlendChannel(GetRValue(c1), GetRValue(c2), t);
  const std::int32_t g = BlendChannel(GetGValue(c1), GetGValue(c2), t);
  const std::int32_t b = BlendChannel(GetBValue(c1), GetBValue(c2), t);
  // Outside 0..1 a channel may leave its byte; the colour keeps each one's low 8 bits.
  return RGB(static_cast<std::uint8_t>(r & 0xFF), static_cast<std::uint8_t>(g & 0xFF),
             static_cast<std::uint8_t>(b & 0xFF));
}
