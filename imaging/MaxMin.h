// The largest and the smallest of a list of extended-precision numbers.
#pragma once

#include <initializer_list>
#include <span>

// The first of the largest values wins ties; an empty list gives 0.
long double MaxValue(std::span<const long double> values);
long double MinValue(std::span<const long double> values);
inline long double MaxValue(std::initializer_list<long double> values) {
  return MaxValue(std::span<const long double>(values.begin(), values.size()));
}
inline long double MinValue(std::initializer_list<long double> values) {
  return MinValue(std::span<const long double>(values.begin(), values.size()));
}
