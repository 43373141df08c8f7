#include "platform/FormStreams.h"
#include "platform/Streams.h"
#include "tests/support/ErrorText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>

namespace {

// A small persistent object with the kinds of properties streams carry.
class TSample final : public TPersistent {
 public:
  std::string ClassName() const override { return "TSample"; }
  std::int64_t number = 0;
  double real = 0.0;
  std::string text;
  bool flag = false;
  std::string defined;  // carried by a defined property

  void WriteProperties(TWriter& writer) const override {
    writer.WritePropName("Number");
    writer.WriteInteger(number);
    writer.WritePropName("Real");
    writer.WriteFloat(real);
    writer.WritePropName("Text");
    writer.WriteString(text);
    writer.WritePropName("Flag");
    writer.WriteBoolean(flag);
  }
  bool ReadProperty(const std::string& name, TReader& reader) override {
    if (name == "Number") number = reader.ReadInteger();
    else if (name == "Real") real = reader.ReadFloat();
    else if (name == "Text") text = reader.ReadString();
    else if (name == "Flag") flag = reader.ReadBoolean();
    else return false;
    return true;
  }
  void DefineProperties(TFiler& filer) override {
    filer.DefineProperty(
        "Extra", [this](TReader& reader) { defined = reader.ReadString(); },
        [this](TWriter& writer) { writer.WriteString(defined); }, !defined.empty());
  }
};

void RegisterSample() {
  RegisterClass("TSample", [] { return std::make_unique<TSample>(); });
}

std::string Bytes(TMemoryStream& stream) { return std::string(stream.Bytes().begin(), stream.Bytes().end()); }

}  // namespace

TEST(ExtendedReals, RoundTripDoublesAndOneHasTheClassicLayout) {
  std::uint8_t bytes[10];
  for (double value : {0.0, 1.0, -2.5, 0.1, 1e300, -1e-300, 123456.789, 4.9e-324}) {
    DoubleToExtended(value, bytes);
    EXPECT_EQ(ExtendedToDouble(bytes), value) << value;
  }
  DoubleToExtended(std::numeric_limits<double>::infinity(), bytes);
  EXPECT_TRUE(std::isinf(ExtendedToDouble(bytes)));
  DoubleToExtended(std::nan(""), bytes);
  EXPECT_TRUE(std::isnan(ExtendedToDouble(bytes)));
  DoubleToExtended(1.0, bytes);
  const std::uint8_t one[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  EXPECT_EQ(0, std::memcmp(bytes, one, 10));
}

TEST(FormStreams, ComponentRoundTripThroughTheRegistry) {
  RegisterSample();
  TSample sample;
  sample.number = 70000;
  sample.real = -3.25;
  sample.text = std::string(300, 'x');  // longer than a short string
  sample.flag = true;
  sample.defined = "kept";
  TMemoryStream stream;
  WriteComponentToStream(stream, sample, "Sample1");
  EXPECT_EQ(Bytes(stream).substr(0, 4), "TPF0");
  stream.SetPosition(0);
  std::string name;
  std::unique_ptr<TPersistent> read = ReadComponentFromStream(stream, &name);
  EXPECT_EQ(name, "Sample1");
  auto* copy = dynamic_cast<TSample*>(read.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->number, 70000);
  EXPECT_EQ(copy->real, -3.25);
  EXPECT_EQ(copy->text, sample.text);
  EXPECT_TRUE(copy->flag);
  EXPECT_EQ(copy->defined, "kept");
}

TEST(FormStreams, IntegersTakeTheSmallestTag) {
  const std::tuple<std::int64_t, int, std::size_t> cases[] = {
      {-128, vaInt8, 2}, {1000, vaInt16, 3}, {-70000, vaInt32, 5}, {std::int64_t{1} << 40, vaInt64, 9}};
  for (const auto& [value, tag, size] : cases) {
    TMemoryStream stream;
    TWriter(stream).WriteInteger(value);
    ASSERT_EQ(Bytes(stream).size(), size) << value;
    EXPECT_EQ(Bytes(stream)[0], tag) << value;
    stream.SetPosition(0);
    EXPECT_EQ(TReader(stream).ReadInteger(), value);
  }
}

TEST(FormStreams, ErrorsAreReportedWithTheirTexts) {
  RegisterSample();
  TMemoryStream stream;
  TWriter writer(stream);
  writer.WriteSignature();
  writer.WriteStr("TSample");
  writer.WriteStr("");
  writer.WritePropName("Nonsense");
  writer.WriteInteger(1);
  writer.WriteListEnd();
  writer.WriteListEnd();
  stream.SetPosition(0);
  EXPECT_EQ(ErrorText<EReadError>([&] { ReadComponentFromStream(stream); }), "Property Nonsense does not exist");
  EXPECT_EQ(ErrorText<EClassNotFound>([] { CreateObjectOfClass("TMissing"); }), "Class TMissing not found");
  const std::string wrongSignature = "TPF1\x07TSample\x00\x00\x00";
  TReadOnlyMemoryStream signature(wrongSignature.data(), static_cast<std::int64_t>(wrongSignature.size()));
  EXPECT_EQ(ErrorText<EReadError>([&] { ReadComponentFromStream(signature); }), "Invalid stream format");
  TSample a, b;
  EXPECT_EQ(ErrorText<EConvertError>([&] { a.Assign(b); }), "Cannot assign a TSample to a TSample");

  TMemoryStream text;
  TWriter(text).WriteString("text");
  text.SetPosition(0);
  EXPECT_THROW(TReader(text).ReadInteger(), EReadError);  // a value of the wrong type
}

TEST(FormStreams, TruncatedOrHostileStreamsFailCleanly) {
  RegisterSample();
  TSample sample;
  sample.number = 5;
  sample.real = 1.5;
  sample.text = "abc";
  sample.defined = "d";
  TMemoryStream full;
  WriteComponentToStream(full, sample, "S");
  const std::string bytes = Bytes(full);
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    TReadOnlyMemoryStream part(bytes.data(), static_cast<std::int64_t>(length));
    EXPECT_THROW(ReadComponentFromStream(part), Exception) << length;
  }
  // A binary value claiming 2 GB, an unknown tag, lists nested too deep.
  for (const std::string& hostile : {std::string("\x0A\xFF\xFF\xFF\x7F", 5), std::string("\x63"), std::string(100, '\x01')}) {
    TReadOnlyMemoryStream stream(hostile.data(), static_cast<std::int64_t>(hostile.size()));
    TReader reader(stream);
    EXPECT_THROW(reader.SkipValue(), EReadError) << hostile.size();
  }
}
