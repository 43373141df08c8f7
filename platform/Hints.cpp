#include "platform/Hints.h"

std::string GetShortHint(std::string_view hint) {
  const std::size_t bar = hint.find('|');
  return std::string(bar == std::string_view::npos ? hint : hint.substr(0, bar));
}

std::string GetLongHint(std::string_view hint) {
  const std::size_t bar = hint.find('|');
  return std::string(bar == std::string_view::npos ? hint : hint.substr(bar + 1));
}
