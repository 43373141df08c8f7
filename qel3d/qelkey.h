// Key tree of the 3D objects' key text: a key has a name and either one
// value, a list of named sub keys, or an array of values.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// How a value is written.
enum TQelValueKind : std::uint8_t { vkPlain = 0, vkQuoted = 1, vkHex = 2 };
// What a key holds.
enum TQelKeyKind : std::uint8_t { kkSingle = 0, kkSubKeys = 1, kkArray = 2 };

class TQelSubKeyValue;

class TQelKeyValueBase {
 public:
  TQelKeyValueBase();
  virtual ~TQelKeyValueBase();
  TQelKeyValueBase(const TQelKeyValueBase&) = delete;
  TQelKeyValueBase& operator=(const TQelKeyValueBase&) = delete;

  TQelValueKind ValueKind() const { return valueKind_; }
  void SetValueKind(TQelValueKind kind) { valueKind_ = kind; }
  TQelKeyKind KeyKind() const { return keyKind_; }
  void SetKeyKind(TQelKeyKind kind) { keyKind_ = kind; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  const std::string& Value() const { return value_; }

  void SetText(std::string name, std::string value, TQelValueKind kind = vkPlain);
  void SetInteger(std::string name, std::int64_t value, TQelValueKind kind = vkPlain);
  void SetByte(std::string name, std::uint8_t value);
  void SetBoolean(std::string name, bool value) { SetInteger(std::move(name), value ? 1 : 0); }
  // Fixed notation with 3 decimals and "." as the separator, whatever the locale.
  void SetFloat(std::string name, double value);

  // The value as an integer (a leading "#" or "$" means hexadecimal), a real
  // ("." as the separator) or a Boolean (an integer, not 0 is true). Raise
  // EConvertError when the text does not convert.
  std::int64_t AsInteger() const;
  double AsFloat() const;
  bool AsBoolean() const { return AsInteger() != 0; }

  // Appends a sub key (a single key becomes a key with sub keys).
  TQelSubKeyValue& AddSubKey();
  // The sub key at index, nullptr when out of range.
  TQelSubKeyValue* SubKey(int index) const;
  // The first sub key of that name (case ignored), nullptr when none.
  TQelSubKeyValue* FindSubKey(std::string_view name) const;
  int Count() const { return static_cast<int>(subKeys_.size()); }
  // Resets kinds, name and value and frees the sub keys.
  void Clear();

 private:
  TQelValueKind valueKind_ = vkPlain;
  TQelKeyKind keyKind_ = kkSingle;
  std::string name_;
  std::string value_;
  std::vector<std::unique_ptr<TQelSubKeyValue>> subKeys_;
};

class TQelSubKeyValue : public TQelKeyValueBase {};

// Number formatting shared by keys and their readers.
std::string QelFormatFloat(double value);
