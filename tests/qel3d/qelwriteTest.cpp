#include "qel3d/qelkey.h"
#include "qel3d/qelwrite.h"
#include "tests/qel3d/QelTestSupport.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TempDir.h"

#include <clocale>
#include <sys/stat.h>

namespace {

class TProbeObject : public TQelObject {};

std::string WriteOne(TQelKeyValueBase& key, int indent = 0, int* dropped = nullptr) {
  TMemoryStream stream;
  TQelKeyWriter writer(stream);
  writer.Indent = indent;
  writer.WriteKey(key);
  if (dropped != nullptr) *dropped = writer.DroppedKeys();
  return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

}  // namespace

TEST(QelKeyValues, FloatsHaveThreeDecimalsAndAPointWhateverTheLocale) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // may be missing; the result must not depend on it
  TQelKeyValueBase key;
  for (auto [value, text] : {std::pair{1.5, "1.500"}, {-0.0001, "-0.000"}, {-0.0, "0.000"}, {12345.6789, "12345.679"}}) {
    key.SetFloat("v", value);
    EXPECT_EQ(key.Value(), text);
  }
  EXPECT_DOUBLE_EQ(key.AsFloat(), 12345.679);
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(QelKeyValues, IntegersReadDecimalAndHexadecimalAndRefuseAnythingElse) {
  TQelKeyValueBase key;
  for (auto [text, value] : {std::pair{"#0000FF00", 0xFF00}, {"$10", 16}, {" -42 ", -42}, {"0", 0}}) {
    key.SetText("k", text);
    EXPECT_EQ(key.AsInteger(), value) << text;
    EXPECT_EQ(key.AsBoolean(), value != 0) << text;
  }
  for (const char* bad : {"", "abc", "12x", "#", "99999999999999999999", "1.5"}) {
    key.SetText("k", bad);
    EXPECT_THROW(key.AsInteger(), EConvertError) << bad;
  }
  key.SetText("k", "2,5");
  EXPECT_EQ(ErrorText<EConvertError>([&] { key.AsFloat(); }), "'2,5' is not a valid floating point value");
}

TEST(QelKeyWriting, LineShapesOfEachKind) {
  TQelKeyValueBase key;
  key.SetName("Tr");
  key.AddSubKey().SetFloat("X", 1);
  key.AddSubKey().SetFloat("Y", 0);
  key.AddSubKey().SetFloat("Z", 0);
  EXPECT_EQ(key.SubKey(3), nullptr);
  EXPECT_EQ(key.SubKey(-1), nullptr);
  EXPECT_EQ(WriteOne(key), "<TR X=1.000, Y=0.000, Z=0.000>\r\n");
  EXPECT_EQ(key.Count(), 0);  // cleared after writing
  EXPECT_EQ(key.KeyKind(), kkSingle);

  key.SetInteger("Kind", 2);
  EXPECT_EQ(WriteOne(key, 2), "    <KIND=2>\r\n");

  key.SetName("List");
  key.SetKeyKind(kkArray);
  key.AddSubKey().SetInteger("", 1);
  key.AddSubKey().SetText("", "two", vkQuoted);
  key.AddSubKey().SetInteger("", 255, vkHex);
  EXPECT_EQ(WriteOne(key), "<LIST=[1,\"two\",#000000FF]>\r\n");

  key.SetName("Di");  // colours are eight hex digits
  key.AddSubKey().SetFloat("A", 1);
  key.AddSubKey().SetInteger("C", 0x00FF00, vkHex);
  EXPECT_EQ(WriteOne(key), "<DI A=1.000, C=#0000FF00>\r\n");

  key.SetText("Text", "say \"hi\">", vkQuoted);  // embedded quotes are doubled
  EXPECT_EQ(WriteOne(key), "<TEXT=\"say \"\"hi\"\">\">\r\n");
}

TEST(QelKeyWriting, KeysThatCannotBeWrittenCostOnlyTheirLine) {
  int dropped = 0;
  TQelKeyValueBase key;
  key.SetText("Empty", "");
  EXPECT_EQ(WriteOne(key, 0, &dropped), "");
  EXPECT_EQ(dropped, 1);
  EXPECT_EQ(key.Name(), "");  // cleared anyway
  key.SetName("NoSubKeys");
  key.SetKeyKind(kkSubKeys);
  EXPECT_EQ(WriteOne(key, 0, &dropped), "");
  EXPECT_EQ(dropped, 1);
  key.SetName("Unnamed");
  key.AddSubKey().SetFloat("", 1);
  EXPECT_EQ(WriteOne(key, 0, &dropped), "");
  key.SetText("", "value");  // no name: nothing, not counted
  EXPECT_EQ(WriteOne(key, 0, &dropped), "");
  EXPECT_EQ(dropped, 0);
}

TEST(QelKeyReading, ReadsWhatTheWriterWrites) {
  TQelKeyReader reader(
      "<TR X=1.000, Y=-2.500, Z=0.000>\r\n  <TEXT=\"a \"\"b\"\" >c\">\r\n<C=#0000FF00>\r\n<LIST=[1, \"x,y\",3]>\r\n");
  TQelKeyValueBase key;
  ASSERT_TRUE(reader.ReadKey(key));
  EXPECT_EQ(key.Name(), "TR");
  ASSERT_EQ(key.Count(), 3);
  EXPECT_EQ(key.FindSubKey("y")->AsFloat(), -2.5);
  ASSERT_TRUE(reader.ReadKey(key));
  EXPECT_EQ(key.Value(), "a \"b\" >c");
  EXPECT_EQ(key.ValueKind(), vkQuoted);
  ASSERT_TRUE(reader.ReadKey(key));
  EXPECT_EQ(key.ValueKind(), vkHex);
  EXPECT_EQ(key.AsInteger(), 0xFF00);
  ASSERT_TRUE(reader.ReadKey(key));
  EXPECT_EQ(key.KeyKind(), kkArray);
  ASSERT_EQ(key.Count(), 3);
  EXPECT_EQ(key.SubKey(1)->Value(), "x,y");
  EXPECT_FALSE(reader.ReadKey(key));
}

TEST(QelKeyReading, MalformedTextIsReported) {
  for (const char* text : {"TR=1>", "<=1>", "<TR=>", "<TR X=1", "<TEXT=\"open>", "<A=[1,2>", "<TR X>"}) {
    TQelKeyReader reader(text);
    TQelKeyValueBase key;
    EXPECT_EQ(ErrorText<EQelException>([&] { reader.ReadKey(key); }), "Invalid key text.") << text;
  }
}

TEST(QelKeyReading, NamesIgnoreCaseAndValuesThatDoNotConvertAreSkipped) {
  TProbeObject object;
  EXPECT_EQ(ReadKeyText("<tr x=abc, y=3>\r\n<EN=maybe>\r\n<UNKNOWN=1>\r\n<Sc Z=2>", object), 3);
  EXPECT_EQ(object.Translation().X(), 0.0f);
  EXPECT_EQ(object.Translation().Y(), 3.0f);
  EXPECT_EQ(object.Scale().Z(), 2.0f);
  EXPECT_TRUE(object.Enabled());
}

TEST(QelKeyFiles, NewFilesGetRandomNamesInAPrivateFolder) {
  TMemoryStream out, data;
  TQelKeyWriter writer(out);
  data.WriteBytes("bytes");
  const std::string path = writer.CreateExclusiveFile("", ".bmp", data);
  ASSERT_FALSE(writer.FileFolder.empty());
  const std::string name = ExtractFileName(path);
  ASSERT_EQ(name.size(), 12u);
  for (int i = 0; i < 8; ++i) EXPECT_TRUE(name[i] >= 'a' && name[i] <= 'z') << name;
  EXPECT_EQ(name.substr(8), ".bmp");
  EXPECT_EQ(TempDir::ReadFile(path), "bytes");
  struct stat folder {};
  ASSERT_EQ(::stat(writer.FileFolder.c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0077, 0u);
  DeleteFile(path);
  ::rmdir(writer.FileFolder.c_str());
}

TEST(QelKeyFiles, AnExistingFileIsNeverOverwritten) {
  TempDir dir;
  const std::string existing = dir.WriteFile("texture.bmp", "original");
  TMemoryStream out, data;
  TQelKeyWriter writer(out);
  data.WriteBytes("replacement");
  EXPECT_THROW(writer.CreateExclusiveFile(existing, ".bmp", data), EQelException);
  EXPECT_EQ(TempDir::ReadFile(existing), "original");
  const std::string fresh = writer.CreateExclusiveFile(dir.File("new.bmp"), ".bmp", data);
  EXPECT_EQ(TempDir::ReadFile(fresh), "replacement");
}
