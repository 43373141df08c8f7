#include "platform/FormStreams.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <map>

namespace {

constexpr char kSignature[4] = {'T', 'P', 'F', '0'};
// Lists nest no deeper than this in a stream we accept.
constexpr int kMaxListDepth = 32;

[[noreturn]] void InvalidValue() { throw EReadError("Invalid property value"); }

std::map<std::string, TPersistentFactory, std::less<>>& Registry() {
  static std::map<std::string, TPersistentFactory, std::less<>> registry;
  return registry;
}

std::string RegistryKey(std::string_view className) { return LowerCaseAscii(className); }

// Writes the defined properties that have data.
class TWritingFiler final : public TFiler {
 public:
  explicit TWritingFiler(TWriter& writer) : writer_(writer) {}
  void DefineProperty(const std::string& name, const std::function<void(TReader&)>&,
                      const std::function<void(TWriter&)>& writeData, bool hasData) override {
    if (!hasData || !writeData) return;
    writer_.WritePropName(name);
    writeData(writer_);
  }

 private:
  TWriter& writer_;
};

// Finds the definition of one property name and reads its value.
class TReadingFiler final : public TFiler {
 public:
  TReadingFiler(TReader& reader, const std::string& name) : reader_(reader), name_(name) {}
  void DefineProperty(const std::string& name, const std::function<void(TReader&)>& readData,
                      const std::function<void(TWriter&)>&, bool) override {
    if (found_ || !SameTextAscii(name, name_)) return;
    found_ = true;
    if (readData) {
      readData(reader_);
    } else {
      reader_.SkipValue();
    }
  }
  bool Found() const { return found_; }

 private:
  TReader& reader_;
  const std::string& name_;
  bool found_ = false;
};

}  // namespace

// ---- Extended reals ------------------------------------------------------------------

void DoubleToExtended(double value, std::uint8_t out[10]) {
  std::uint64_t mantissa = 0;
  std::uint16_t exponent = 0;
  const bool negative = std::signbit(value);
  if (std::isnan(value)) {
    exponent = 0x7FFF;
    mantissa = 0xC000000000000000ull;
  } else if (std::isinf(value)) {
    exponent = 0x7FFF;
    mantissa = 0x8000000000000000ull;
  } else if (value != 0.0) {
    int e = 0;
    const double m = std::frexp(std::fabs(value), &e);  // m in [0.5, 1)
    mantissa = static_cast<std::uint64_t>(std::ldexp(m, 64));
    exponent = static_cast<std::uint16_t>(e - 1 + 16383);
  }
  for (int i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
  const std::uint16_t top = static_cast<std::uint16_t>(exponent | (negative ? 0x8000 : 0));
  out[8] = static_cast<std::uint8_t>(top & 0xFF);
  out[9] = static_cast<std::uint8_t>(top >> 8);
}

double ExtendedToDouble(const std::uint8_t in[10]) {
  std::uint64_t mantissa = 0;
  for (int i = 0; i < 8; ++i) mantissa |= static_cast<std::uint64_t>(in[i]) << (8 * i);
  const int top = in[8] | (in[9] << 8);
  const bool negative = (top & 0x8000) != 0;
  const int exponent = top & 0x7FFF;
  double value;
  if (exponent == 0x7FFF) {
    value = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
  } else if (mantissa == 0) {
    value = 0.0;
  } else {
    value = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
  }
  return negative ? -value : value;
}

// ---- Writer ------------------------------------------------------------------------------

void TWriter::WriteSignature() { stream_.WriteBuffer(kSignature, sizeof kSignature); }

void TWriter::WriteStr(std::string_view text) { stream_.WriteShortString(std::string(text)); }

void TWriter::WritePropName(std::string_view name) {
  std::string full;
  for (const std::string& prefix : prefixes_) full += prefix + ".";
  full += name;
  WriteStr(full);
}

void TWriter::WriteInteger(std::int64_t value) {
  if (value >= -128 && value <= 127) {
    WriteValue(vaInt8);
    stream_.WriteByte(static_cast<std::uint8_t>(static_cast<std::int8_t>(value)));
  } else if (value >= -32768 && value <= 32767) {
    WriteValue(vaInt16);
    stream_.WriteInt16(static_cast<std::int16_t>(value));
  } else if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()) {
    WriteValue(vaInt32);
    stream_.WriteInt32(static_cast<std::int32_t>(value));
  } else {
    WriteValue(vaInt64);
    stream_.WriteInt64(value);
  }
}

void TWriter::WriteFloat(double value) {
  std::uint8_t bytes[10];
  DoubleToExtended(value, bytes);
  WriteValue(vaExtended);
  stream_.WriteBuffer(bytes, sizeof bytes);
}

void TWriter::WriteSingle(float value) {
  WriteValue(vaSingle);
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  stream_.WriteUInt32(bits);
}

void TWriter::WriteString(std::string_view text) {
  if (text.size() <= 255) {
    WriteValue(vaString);
    WriteStr(text);
  } else {
    WriteValue(vaLString);
    stream_.WriteInt32(static_cast<std::int32_t>(text.size()));
    stream_.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  }
}

void TWriter::WriteIdent(std::string_view ident) {
  if (ident == "False") {
    WriteValue(vaFalse);
  } else if (ident == "True") {
    WriteValue(vaTrue);
  } else {
    WriteValue(vaIdent);
    WriteStr(ident);
  }
}

void TWriter::WriteSet(const std::vector<std::string>& members) {
  WriteValue(vaSet);
  for (const std::string& member : members) WriteStr(member);
  WriteStr("");
}

void TWriter::WriteBinary(const void* data, std::int64_t size) {
  if (size < 0 || size > std::numeric_limits<std::int32_t>::max()) throw EWriteError(SWriteError);
  WriteValue(vaBinary);
  stream_.WriteInt32(static_cast<std::int32_t>(size));
  stream_.WriteBuffer(data, size);
}

void TWriter::PushPrefix(std::string_view name) { prefixes_.emplace_back(name); }
void TWriter::PopPrefix() {
  if (!prefixes_.empty()) prefixes_.pop_back();
}

// ---- Reader ------------------------------------------------------------------------------

void TReader::ReadSignature() {
  char signature[4] = {};
  if (stream_.Read(signature, sizeof signature) != sizeof signature ||
      std::memcmp(signature, kSignature, sizeof signature) != 0)
    throw EReadError("Invalid stream format");
}

TValueType TReader::ReadValue() {
  const std::uint8_t tag = stream_.ReadByte();
  if (tag > vaDouble) InvalidValue();
  return static_cast<TValueType>(tag);
}

TValueType TReader::NextValue() {
  const TValueType type = ReadValue();
  stream_.Seek(-1, TSeekOrigin::soCurrent);
  return type;
}

void TReader::ReadListEnd() {
  if (ReadValue() != vaNull) InvalidValue();
}

std::string TReader::ReadStr() { return stream_.ReadShortString(); }

std::int64_t TReader::ReadInteger() {
  switch (ReadValue()) {
    case vaInt8: return static_cast<std::int8_t>(stream_.ReadByte());
    case vaInt16: return stream_.ReadInt16();
    case vaInt32: return stream_.ReadInt32();
    case vaInt64: return stream_.ReadInt64();
    default: InvalidValue();
  }
}

double TReader::ReadFloat() {
  switch (NextValue()) {
    case vaExtended: {
      ReadValue();
      std::uint8_t bytes[10];
      stream_.ReadBuffer(bytes, sizeof bytes);
      return ExtendedToDouble(bytes);
    }
    case vaSingle: {
      ReadValue();
      const std::uint32_t bits = stream_.ReadUInt32();
      float value;
      std::memcpy(&value, &bits, sizeof value);
      return value;
    }
    case vaDouble:
    case vaDate:
      ReadValue();
      return stream_.ReadDouble();
    case vaCurrency:
      ReadValue();
      return static_cast<double>(stream_.ReadInt64()) / 10000.0;
    default: return static_cast<double>(ReadInteger());
  }
}

bool TReader::ReadBoolean() {
  switch (ReadValue()) {
    case vaTrue: return true;
    case vaFalse: return false;
    default: InvalidValue();
  }
}

std::string TReader::ReadString() {
  switch (ReadValue()) {
    case vaString: return ReadStr();
    case vaLString:
    case vaUTF8String: {
      const std::int32_t length = stream_.ReadInt32();
      if (length < 0) InvalidValue();
      return stream_.ReadBytes(length);
    }
    default: InvalidValue();
  }
}

std::string TReader::ReadIdent() {
  switch (ReadValue()) {
    case vaIdent: return ReadStr();
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    default: InvalidValue();
  }
}

std::vector<std::string> TReader::ReadSet() {
  if (ReadValue() != vaSet) InvalidValue();
  std::vector<std::string> members;
  for (;;) {
    std::string member = ReadStr();
    if (member.empty()) return members;
    members.push_back(std::move(member));
  }
}

std::string TReader::ReadBinary() {
  if (ReadValue() != vaBinary) InvalidValue();
  const std::int32_t length = stream_.ReadInt32();
  if (length < 0) InvalidValue();
  return stream_.ReadBytes(length);
}

void TReader::SkipValue() { SkipValueAt(0); }

void TReader::SkipValueAt(int depth) {
  if (depth > kMaxListDepth) InvalidValue();
  auto skipBytes = [this](std::int64_t count) {
    stream_.RequireAvailable(count);
    stream_.Seek(count, TSeekOrigin::soCurrent);
  };
  switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil: return;
    case vaList:
      while (!EndOfList()) SkipValueAt(depth + 1);
      ReadListEnd();
      return;
    case vaInt8: skipBytes(1); return;
    case vaInt16: skipBytes(2); return;
    case vaInt32:
    case vaSingle: skipBytes(4); return;
    case vaInt64:
    case vaDouble:
    case vaDate:
    case vaCurrency: skipBytes(8); return;
    case vaExtended: skipBytes(10); return;
    case vaString:
    case vaIdent: skipBytes(stream_.ReadByte()); return;
    case vaLString:
    case vaUTF8String:
    case vaBinary: {
      const std::int32_t length = stream_.ReadInt32();
      if (length < 0) InvalidValue();
      skipBytes(length);
      return;
    }
    case vaWString: {
      const std::int32_t length = stream_.ReadInt32();
      if (length < 0 || length > std::numeric_limits<std::int32_t>::max() / 2) InvalidValue();
      skipBytes(static_cast<std::int64_t>(length) * 2);
      return;
    }
    case vaSet:
      ReadSet();
      return;
    case vaCollection:
      // Items: an optional index, then a list of properties each.
      while (!EndOfList()) {
        const TValueType item = NextValue();
        if (item == vaInt8 || item == vaInt16 || item == vaInt32) ReadInteger();
        if (ReadValue() != vaList) InvalidValue();
        while (!EndOfList()) {
          ReadStr();
          SkipValueAt(depth + 1);
        }
        ReadListEnd();
      }
      ReadListEnd();
      return;
  }
  InvalidValue();
}

// ---- Persistent objects ------------------------------------------------------------------

void TPersistent::Assign(const TPersistent& source) { AssignError(source); }

void TPersistent::AssignError(const TPersistent& source) const {
  throw EConvertError("Cannot assign a " + source.ClassName() + " to a " + ClassName());
}

void WriteObjectProperties(TWriter& writer, const TPersistent& object) {
  object.WriteProperties(writer);
  TWritingFiler filer(writer);
  // Defining properties does not change the object; the interface is shared with reading.
  const_cast<TPersistent&>(object).DefineProperties(filer);
}

void WriteNestedObject(TWriter& writer, const std::string& name, const TPersistent& object) {
  writer.PushPrefix(name);
  WriteObjectProperties(writer, object);
  writer.PopPrefix();
}

void ReadObjectProperty(TReader& reader, TPersistent& object, const std::string& name) {
  const std::size_t dot = name.find('.');
  if (dot != std::string::npos) {
    TPersistent* inner = object.FindSubObject(name.substr(0, dot));
    if (inner == nullptr) throw EReadError("Property " + name + " does not exist");
    ReadObjectProperty(reader, *inner, name.substr(dot + 1));
    return;
  }
  // The published property of a name comes first, then a defined one.
  if (object.ReadProperty(name, reader)) return;
  TReadingFiler filer(reader, name);
  object.DefineProperties(filer);
  if (!filer.Found()) throw EReadError("Property " + name + " does not exist");
}

namespace {

void ReadPropertyList(TReader& reader, TPersistent& object) {
  while (!reader.EndOfList()) {
    const std::string name = reader.ReadStr();
    ReadObjectProperty(reader, object, name);
  }
  reader.ReadListEnd();
}

// The class and object names behind the signature (with an optional flags byte).
std::string ReadHeader(TReader& reader, TStream& stream, std::string* name) {
  reader.ReadSignature();
  const std::uint8_t first = stream.ReadByte();
  if ((first & 0xF0) == 0xF0) {
    // Flags; an inline position follows when bit 1 is set.
    if (first & 0x02) reader.ReadInteger();
  } else {
    stream.Seek(-1, TSeekOrigin::soCurrent);
  }
  std::string className = reader.ReadStr();
  std::string objectName = reader.ReadStr();
  if (name != nullptr) *name = objectName;
  return className;
}

void SkipChildren(TReader& reader) {
  // Child objects are not part of what the library streams; an empty list is expected.
  if (!reader.EndOfList()) throw EReadError("Invalid stream format");
  reader.ReadListEnd();
}

}  // namespace

void WriteComponentToStream(TStream& stream, const TPersistent& object, const std::string& name) {
  TWriter writer(stream);
  writer.WriteSignature();
  writer.WriteStr(object.ClassName());
  writer.WriteStr(name);
  WriteObjectProperties(writer, object);
  writer.WriteListEnd();
  writer.WriteListEnd();  // no children
}

std::unique_ptr<TPersistent> ReadComponentFromStream(TStream& stream, std::string* name) {
  TReader reader(stream);
  const std::string className = ReadHeader(reader, stream, name);
  std::unique_ptr<TPersistent> object = CreateObjectOfClass(className);
  ReadPropertyList(reader, *object);
  SkipChildren(reader);
  return object;
}

void ReadComponentPropertiesFromStream(TStream& stream, TPersistent& object) {
  TReader reader(stream);
  const std::string className = ReadHeader(reader, stream, nullptr);
  if (!SameTextAscii(className, object.ClassName())) throw EReadError("Invalid stream format");
  ReadPropertyList(reader, object);
  SkipChildren(reader);
}

// ---- Class registry ------------------------------------------------------------------------

void RegisterClass(const std::string& className, TPersistentFactory factory) {
  Registry()[RegistryKey(className)] = std::move(factory);
}

bool IsClassRegistered(const std::string& className) { return Registry().count(RegistryKey(className)) != 0; }

std::unique_ptr<TPersistent> CreateObjectOfClass(const std::string& className) {
  const auto found = Registry().find(RegistryKey(className));
  if (found == Registry().end() || !found->second) throw EClassNotFound("Class " + className + " not found");
  return found->second();
}
