#include "imaging/MaxMin.h"

long double MaxValue(std::span<const long double> values) {
  if (values.empty()) return 0;
  long double best = values[0];
  for (long double v : values.subspan(1))
    if (v > best) best = v;
  return best;
}

long double MinValue(std::span<const long double> values) {
  if (values.empty()) return 0;
  long double best = values[0];
  for (long double v : values.subspan(1))
    if (v < best) best = v;
  return best;
}
