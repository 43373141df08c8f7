#include "imaging/utils.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

// ---- Short strings -----------------------------------------------------------------

TEST(ShortStrings, CaseBlanksExtensionsAndPadding) {
  EXPECT_EQ(UpCaseStr("abc XYZ 123 \xE9\xFF\xDF"), "ABC XYZ 123 \xC9\xDF\xDF");  // 233 -> 201, 255 -> 223, 223 stays
  EXPECT_EQ(DelTrailBlanks("  a b  ") + "|" + DelLeadBlanks("  a b  ") + "|" + DelLeadBlanks("   "), "  a b|a b  |");
  EXPECT_EQ(StripExtension("a.b.gif") + "|" + StripExtension("noext"), "a.b|noext");
  EXPECT_EQ(PadLeftStr('0', 3, "7") + "|" + PadLeftStr('0', 3, "1234") + "|" + PadLeftStr(' ', 5, "1.0"), "007|1234|  1.0");
}

TEST(ShortStrings, NumbersToAndFromTextWithZeroForJunk) {
  EXPECT_EQ(IntToShortStr(-42), "-42");
  EXPECT_EQ(std::tuple(ShortStrToInt("123"), ShortStrToInt("12x"), ShortStrToInt("")), std::tuple(123, 0, 0));
  EXPECT_EQ(std::tuple(ShortStrToFloat("2,5"), ShortStrToFloat("2.5"), ShortStrToFloat("abc")), std::tuple(2.5, 2.5, 0.0));
  EXPECT_EQ(FloatToShortStr(3.14159, 8, 2) + "|" + FloatToShortStr(12.0, 5, 1), "3.14|12.0");
}

TEST(LineReader, EmptyLinesVanishAndLongLinesAreCutAt2000Characters) {
  const std::string text = "a\r\n\r\nb\n" + std::string(2500, 'x') + "\n";
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  std::int64_t position = 0;
  const auto size = static_cast<std::int64_t>(text.size());
  EXPECT_EQ(ReadBufLine(bytes, position, size), "a");
  EXPECT_EQ(ReadBufLine(bytes, position, size), "b");
  EXPECT_EQ(ReadBufLine(bytes, position, size), std::string(2000, 'x'));
  EXPECT_EQ(ReadBufLine(bytes, position, size), std::string(500, 'x'));
  EXPECT_EQ(position, size);
  EXPECT_EQ(ReadBufLine(bytes, position, size), "");
}

// ---- Resources -----------------------------------------------------------------

TEST(FreeResources, WithoutAMeterTheProbeReports100) {
  FakeSystemValues values;
  ResetFreeResourcesCache();
  values.probe = [](int) { return 5; };
  EXPECT_TRUE(ResourceMechanismOff());
  EXPECT_EQ(QueryFreeResources(0), 100);
  EXPECT_EQ(values.probeCalls, 0);
}

TEST(FreeResources, AReadingServesFourMoreCallsWithin200Milliseconds) {
  FakeSystemValues values;
  values.hasResourceMeter = true;
  values.micros = 1'000'000;
  ResetFreeResourcesCache();
  int next = 10;
  values.probe = [&](int) { return next++; };
  // {milliseconds later, reading}: three calls within 200 ms and two more share the first reading;
  // then a new one, which lasts exactly 200 ms.
  const std::pair<int, int> calls[] = {{0, 10}, {50, 10}, {100, 10}, {0, 10}, {0, 10}, {0, 11}, {200, 11}, {201, 12}};
  for (const auto& [later, reading] : calls) {
    values.AdvanceMilliseconds(static_cast<std::uint64_t>(later));
    EXPECT_EQ(FreeResourcesPct(0), reading) << values.micros;
  }
  EXPECT_EQ(values.probeCalls, 3);
}

// ---- Programs ------------------------------------------------------------------------------

TEST(RunProgramTest, FailuresAreNamedByTheErrorTextTable) {
  EXPECT_EQ(RunProgram("/nonexistent/program-xyz", ""), "File was not found.");
  EXPECT_EQ(RunProgram("true", "/nonexistent-folder-xyz"), "Path was not found.");
  TempDir dir;
  const std::string junk = dir.WriteFile("junk.bin", std::string("\x01\x02\x03garbage", 10));
  ASSERT_EQ(::chmod(junk.c_str(), 0755), 0);
  EXPECT_EQ(RunProgram(junk, ""), RunProgramErrorText(11));  // not an executable format
  EXPECT_EQ(RunProgramErrorText(7), "Execution error.");
  EXPECT_EQ(RunProgramErrorText(31), "Execution error.");
  EXPECT_EQ(RunProgramErrorText(8), "There was insufficient memory to start the application.");
  EXPECT_EQ(RunProgramErrorText(19),
            "Attempt was made to load a compressed executable file. The file must bedecompressed before it can be "
            "loaded.");
}

TEST(RunProgramTest, StartsInTheFolderWithQuotedArgumentsTogetherWithoutChangingOurFolder) {
  TempDir dir;
  const std::string script = dir.WriteFile("mark.sh", "#!/bin/sh\necho \"$#:$1:$(pwd)\" > out.txt\n");
  ASSERT_EQ(::chmod(script.c_str(), 0755), 0);
  char before[4096], after[4096];
  ASSERT_NE(::getcwd(before, sizeof before), nullptr);
  EXPECT_EQ(RunProgram("mark.sh \"two words\"", dir.Path()), "");
  ASSERT_NE(::getcwd(after, sizeof after), nullptr);
  EXPECT_STREQ(before, after);
  for (int i = 0; i < 200 && TempDir::ReadFile(dir.File("out.txt")).empty(); ++i) ::usleep(10000);
  EXPECT_EQ(TempDir::ReadFile(dir.File("out.txt")), "1:two words:" + dir.Path() + "\n");
}

// ---- Matrices ------------------------------------------------------------------------------

TEST(Matrices, MultiplyAndRotate) {
  TMatrix4 m, identity;
  MatIdentity(m);
  MatIdentity(identity);
  MatRotateY(m, 90);
  EXPECT_NEAR(m[0][0], 0.0, 1e-12);
  EXPECT_NEAR(m[0][2], -1.0, 1e-12);
  EXPECT_NEAR(m[2][0], 1.0, 1e-12);
  MatRotateY(m, -90);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(m[i][j], identity[i][j], 1e-12);
  TMatrix4 a{{{1, 2, 0, 0}, {3, 4, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
  TMatrix4 b{{{0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
  MatMultiply(a, a, b);  // the result may alias an operand
  EXPECT_EQ(std::tuple(a[0][0], a[0][1], a[1][0], a[1][1]), std::tuple(2, 1, 4, 3));
  // Rotation about X multiplies from the left: rows (1,0,0,0) (0,0,1,0) (0,-1,0,0) (0,0,0,1) times m.
  TMatrix4 d{{{1, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 3, 0}, {0, 0, 0, 1}}};
  MatRotateX(d, 90);
  EXPECT_NEAR(d[1][2], 3.0, 1e-12);
  EXPECT_NEAR(d[2][1], -2.0, 1e-12);
  EXPECT_NEAR(d[1][1], 0.0, 1e-12);
}

// ---- Checksum trailer ----------------------------------------------------------------------

namespace {
const std::uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

std::string PatternBytes(std::size_t size) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 7 + i / 300) & 0xFF);
  return data;
}
}  // namespace

TEST(BlockChecksumTest, MatchesTheWorkedExampleAndPositionWeightsWrapAt256) {
  EXPECT_EQ(BlockChecksum(Bytes("abc"), 3), 0x0060024Eu);
  EXPECT_EQ(BlockChecksum(nullptr, 0), 0u);
  std::string data(1000, '\0');
  EXPECT_EQ(BlockChecksum(Bytes(data), 1000), 0u);
  data[255] = 1;  // position 256: weight 0
  EXPECT_EQ(BlockChecksum(Bytes(data), 257), 0x00010000u);
  data[255] = 0;
  data[256] = 1;  // position 257: weight 1
  EXPECT_EQ(BlockChecksum(Bytes(data), 257), 0x00010001u);
}

TEST(ChecksumTrailer, SizesAroundChunkBoundariesVerifyAfterStamping) {
  ScriptedUiServices ui;
  TempDir dir;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{65000}, std::size_t{65001},
                           std::size_t{129996}, std::size_t{129998}, std::size_t{130000}}) {
    const std::string path = dir.WriteFile("f" + std::to_string(size), PatternBytes(size));
    ASSERT_TRUE(StampFileChecksum(path)) << size;
    EXPECT_EQ(TempDir::ReadFile(path).size(), size + 4) << size;
    EXPECT_TRUE(CheckFileChecksum(path, true)) << size;
  }
  // Stamping twice still verifies.
  const std::string twice = dir.WriteFile("twice", PatternBytes(70000));
  ASSERT_TRUE(StampFileChecksum(twice));
  ASSERT_TRUE(StampFileChecksum(twice));
  EXPECT_EQ(TempDir::ReadFile(twice).size(), 70008u);
  EXPECT_TRUE(CheckFileChecksum(twice, false));
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ChecksumTrailer, OneChunkFileHasTheChecksumOfItsChunkChecksum) {
  TempDir dir;
  const std::string data = PatternBytes(65000);
  const std::string path = dir.WriteFile("one", data);
  ASSERT_TRUE(StampFileChecksum(path));
  const std::string table = Le32(BlockChecksum(Bytes(data), 65000));
  EXPECT_EQ(Get32(TempDir::ReadFile(path), 65000), BlockChecksum(Bytes(table), 4));
}

TEST(ChecksumTrailer, AChangedByteOrAFileShorterThanATrailerFailsAndShowsNothingWhenAskedNotTo) {
  ScriptedUiServices ui;
  TempDir dir;
  const std::string path = dir.WriteFile("changed", PatternBytes(100000));
  ASSERT_TRUE(StampFileChecksum(path));
  std::string bytes = TempDir::ReadFile(path);
  bytes[66000] = static_cast<char>(bytes[66000] ^ 0x10);
  dir.WriteFile("changed", bytes);
  EXPECT_FALSE(CheckFileChecksum(path, false));
  for (const std::string& content : {std::string(), std::string("a"), std::string("abc")})
    EXPECT_FALSE(CheckFileChecksum(dir.WriteFile("short", content), false)) << content.size();
  EXPECT_TRUE(ui.messages.empty());
  // Four bytes are an empty region plus its trailer: the checksum of nothing is 0.
  EXPECT_TRUE(CheckFileChecksum(dir.WriteFile("zero", std::string(4, '\0')), false));
}

TEST(ChecksumTrailer, MismatchShowsTheCorruptedMessageCutTo255Characters) {
  ScriptedUiServices ui;
  TempDir dir;
  const std::string path = dir.WriteFile("broken.GLM", "some data that has no trailer");
  EXPECT_FALSE(CheckFileChecksum(path, true));
  ASSERT_EQ(ui.messages.size(), 1u);
  const std::string full =
      "File broken.GLM is corrupted. \rProbably you have not completed file downloading or some errors occured "
      "during the download process.\rPlease try again to download the file.";
  EXPECT_EQ(ui.messages[0].text, full.substr(0, 255));
  EXPECT_EQ(std::tuple(ui.messages[0].caption, ui.messages[0].flags & MB_ICONMASK, ui.messages[0].owner),
            std::tuple("Error", unsigned{MB_ICONERROR}, 0u));
}

TEST(ChecksumTrailer, UnopenableFileShowsCannotOpenEvenWhenSilent) {
  ScriptedUiServices ui;
  EXPECT_FALSE(CheckFileChecksum("/nonexistent/x.GLM", false));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Cannot open /nonexistent/x.GLM file.");
  EXPECT_EQ(ui.messages[0].caption, "Error");
  EXPECT_FALSE(StampFileChecksum("/nonexistent/x.GLM"));
}

TEST(ChecksumTrailer, FileTooLargeForTheChunkTableIsRefused) {
  ScriptedUiServices ui;
  TempDir dir;
  const std::string path = dir.File("huge");
  {
    std::ofstream out(path, std::ios::binary);
    out.seekp(std::int64_t{65000} * 16001 + 10);  // sparse file past the table's reach
    out.put('\0');
  }
  const auto sizeBefore = static_cast<std::int64_t>(std::ifstream(path, std::ios::binary | std::ios::ate).tellg());
  EXPECT_FALSE(StampFileChecksum(path));
  EXPECT_EQ(static_cast<std::int64_t>(std::ifstream(path, std::ios::binary | std::ios::ate).tellg()), sizeBefore);
  EXPECT_FALSE(CheckFileChecksum(path, true));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("is corrupted"), std::string::npos);
}
