#include "qel3d/qelkey.h"

#include "platform/SysUtils.h"

#include <charconv>
#include <cmath>

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string QelFormatFloat(double value) {
  if (value == 0.0) value = 0.0;  // no "-0.000"
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
  if (result.ec != std::errc()) return "0.000";
  return std::string(buffer, result.ptr);
}

TQelKeyValueBase::TQelKeyValueBase() = default;
TQelKeyValueBase::~TQelKeyValueBase() = default;

void TQelKeyValueBase::SetText(std::string name, std::string value, TQelValueKind kind) {
  name_ = std::move(name);
  value_ = std::move(value);
  valueKind_ = kind;
}

void TQelKeyValueBase::SetInteger(std::string name, std::int64_t value, TQelValueKind kind) {
  SetText(std::move(name), std::to_string(value), kind);
}

void TQelKeyValueBase::SetByte(std::string name, std::uint8_t value) { SetInteger(std::move(name), value); }

void TQelKeyValueBase::SetFloat(std::string name, double value) { SetText(std::move(name), QelFormatFloat(value)); }

std::int64_t TQelKeyValueBase::AsInteger() const {
  std::string_view text = Trimmed(value_);
  int base = 10;
  if (!text.empty() && (text.front() == '#' || text.front() == '$')) {
    text.remove_prefix(1);
    base = 16;
  }
  bool negative = false;
  if (base == 10 && !text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::uint64_t magnitude = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() ||
      (base == 10 && magnitude > static_cast<std::uint64_t>(INT64_MAX)))
    throw EConvertError("'" + value_ + "' is not a valid integer value");
  // Hexadecimal values are bit patterns (#FFFFFFFF stays 4294967295).
  const auto value = static_cast<std::int64_t>(magnitude);
  return negative ? -value : value;
}

double TQelKeyValueBase::AsFloat() const {
  std::string_view text = Trimmed(value_);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
    throw EConvertError("'" + value_ + "' is not a valid floating point value");
  return value;
}

TQelSubKeyValue& TQelKeyValueBase::AddSubKey() {
  if (keyKind_ == kkSingle) keyKind_ = kkSubKeys;
  subKeys_.push_back(std::make_unique<TQelSubKeyValue>());
  return *subKeys_.back();
}

TQelSubKeyValue* TQelKeyValueBase::SubKey(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return subKeys_[static_cast<std::size_t>(index)].get();
}

TQelSubKeyValue* TQelKeyValueBase::FindSubKey(std::string_view name) const {
  for (const auto& subKey : subKeys_)
    if (SameTextAscii(subKey->Name(), name)) return subKey.get();
  return nullptr;
}

void TQelKeyValueBase::Clear() {
  valueKind_ = vkPlain;
  keyKind_ = kkSingle;
  name_.clear();
  value_.clear();
  subKeys_.clear();
}
