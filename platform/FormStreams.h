// Persistent objects and their binary property streams, in the layout of the
// class library's form streams ("TPF0", the class name, the object name, then
// name/value pairs ending with a null value, then the child list), and the
// registry that creates streamed objects by class name.
#pragma once

#include "platform/Streams.h"
#include "platform/SysUtils.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class EClassNotFound : public Exception {
 public:
  using Exception::Exception;
};

// The value tags of a property stream.
enum TValueType : std::uint8_t {
  vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5, vaString = 6, vaIdent = 7,
  vaFalse = 8, vaTrue = 9, vaBinary = 10, vaSet = 11, vaLString = 12, vaNil = 13, vaCollection = 14,
  vaSingle = 15, vaCurrency = 16, vaDate = 17, vaWString = 18, vaInt64 = 19, vaUTF8String = 20, vaDouble = 21
};

// The 10-byte extended real of property streams, converted to and from doubles.
void DoubleToExtended(double value, std::uint8_t out[10]);
double ExtendedToDouble(const std::uint8_t in[10]);

class TWriter {
 public:
  explicit TWriter(TStream& stream) : stream_(stream) {}

  void WriteSignature();
  void WriteValue(TValueType type) { stream_.WriteByte(type); }
  // A length byte and at most 255 bytes.
  void WriteStr(std::string_view text);
  // A property name, after the names of the objects it is nested in.
  void WritePropName(std::string_view name);
  void WriteInteger(std::int64_t value);
  void WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }
  void WriteFloat(double value);  // extended
  void WriteSingle(float value);
  void WriteString(std::string_view text);
  void WriteIdent(std::string_view ident);
  void WriteSet(const std::vector<std::string>& members);
  // A block of bytes behind its 32-bit length.
  void WriteBinary(const void* data, std::int64_t size);
  void WriteListEnd() { WriteValue(vaNull); }

  // Properties of a nested object are named "Outer.Inner".
  void PushPrefix(std::string_view name);
  void PopPrefix();

 private:
  TStream& stream_;
  std::vector<std::string> prefixes_;
};

class TReader {
 public:
  explicit TReader(TStream& stream) : stream_(stream) {}

  // Raises EReadError "Invalid stream format" when the signature is missing.
  void ReadSignature();
  TValueType ReadValue();
  TValueType NextValue();
  // True (without consuming it) when the next value ends a list.
  bool EndOfList() { return NextValue() == vaNull; }
  void ReadListEnd();
  std::string ReadStr();
  // The typed readers raise EReadError "Invalid property value" for another tag.
  std::int64_t ReadInteger();
  double ReadFloat();  // any numeric tag
  bool ReadBoolean();
  std::string ReadString();
  std::string ReadIdent();
  std::vector<std::string> ReadSet();
  // The bytes of a binary value, checked against what remains.
  std::string ReadBinary();
  void SkipValue();

 private:
  void SkipValueAt(int depth);
  TStream& stream_;
};

// Given to DefineProperties: extra stream properties with their own readers
// and writers. A writer writes the property only when hasData is set; a
// definition without a reader is skipped when read.
class TFiler {
 public:
  virtual ~TFiler() = default;
  virtual void DefineProperty(const std::string& name, const std::function<void(TReader&)>& readData,
                              const std::function<void(TWriter&)>& writeData, bool hasData) = 0;
};

class TPersistent {
 public:
  virtual ~TPersistent() = default;
  virtual std::string ClassName() const = 0;
  // Copies the source's state; raises EConvertError "Cannot assign a <source
  // class> to a <class>" when the classes do not fit.
  virtual void Assign(const TPersistent& source);

  // The published properties in their order, each only when it is stored.
  virtual void WriteProperties(TWriter& writer) const { (void)writer; }
  // Reads the value of the published property name; false when there is none.
  virtual bool ReadProperty(const std::string& name, TReader& reader) {
    (void)name;
    (void)reader;
    return false;
  }
  // A published object property (for names like "Position.X"), or nullptr.
  virtual TPersistent* FindSubObject(const std::string& name) {
    (void)name;
    return nullptr;
  }
  virtual void DefineProperties(TFiler& filer) { (void)filer; }

 protected:
  [[noreturn]] void AssignError(const TPersistent& source) const;
};

// The published and defined properties of an object (no list end).
void WriteObjectProperties(TWriter& writer, const TPersistent& object);
// The properties of an object property, named "name.Property".
void WriteNestedObject(TWriter& writer, const std::string& name, const TPersistent& object);
// Reads the value of one property by its (possibly dotted) name; raises
// EReadError "Property <name> does not exist" for an unknown name.
void ReadObjectProperty(TReader& reader, TPersistent& object, const std::string& name);

// A whole object: signature, class name, object name, properties, an empty child list.
void WriteComponentToStream(TStream& stream, const TPersistent& object, const std::string& name);
// Creates the object of the stream's class through the registry and reads its
// properties; name receives the object name.
std::unique_ptr<TPersistent> ReadComponentFromStream(TStream& stream, std::string* name = nullptr);
// Reads the properties of a stream into an existing object of the stream's class.
void ReadComponentPropertiesFromStream(TStream& stream, TPersistent& object);

// Classes that streams can create by name.
using TPersistentFactory = std::function<std::unique_ptr<TPersistent>()>;
void RegisterClass(const std::string& className, TPersistentFactory factory);
bool IsClassRegistered(const std::string& className);
// Raises EClassNotFound "Class <name> not found".
std::unique_ptr<TPersistent> CreateObjectOfClass(const std::string& className);
