#include "platform/Streams.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <vector>

TEST(MemoryStream, ShortReadsReturnFewerBytesOrRaise) {
  TMemoryStream stream;
  stream.WriteBytes("abc");
  stream.SetPosition(1);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 8), 2);
  EXPECT_EQ(std::string(buffer, 2), "bc");
  EXPECT_EQ(stream.Read(buffer, 8), 0);
  stream.SetPosition(1);
  EXPECT_EQ(ErrorText<EReadError>([&] { stream.ReadBuffer(buffer, 3); }), "Stream read error");
}

TEST(MemoryStream, LittleEndianValuesRoundTripShortStringsStopAt255BytesAndGapsAreZero) {
  TMemoryStream stream;
  stream.WriteInt32(-2);
  stream.WriteWord(0x1234);
  stream.WriteDouble(2.5);
  stream.WriteShortString("hello");
  EXPECT_EQ(stream.Memory()[0], 0xFE);
  EXPECT_EQ(stream.Memory()[4], 0x34);
  stream.SetPosition(0);
  EXPECT_EQ(stream.ReadInt32(), -2);
  EXPECT_EQ(stream.ReadWord(), 0x1234);
  EXPECT_EQ(stream.ReadDouble(), 2.5);
  EXPECT_EQ(stream.ReadShortString(), "hello");
  EXPECT_EQ(stream.Remaining(), 0);

  TMemoryStream cut;
  cut.WriteShortString(std::string(300, 'x'));
  EXPECT_EQ(cut.Size(), 256);
  EXPECT_EQ(cut.Memory()[0], 255);

  TMemoryStream gap;  // writing past the end zero-fills
  gap.SetPosition(4);
  gap.WriteByte(7);
  EXPECT_EQ(gap.Bytes(), (std::vector<std::uint8_t>{0, 0, 0, 0, 7}));
}

TEST(HostileStreams, LengthsBeyondTheDataAreRefusedBeforeAllocating) {
  TMemoryStream stream;
  stream.WriteByte(200);
  stream.WriteBytes("only a few");
  stream.SetPosition(0);
  EXPECT_THROW(stream.ReadShortString(), EReadError);
  stream.SetPosition(1);
  EXPECT_THROW(stream.ReadBytes(std::int64_t{1} << 40), EReadError);
  EXPECT_THROW(stream.ReadBytes(-1), EReadError);
  EXPECT_EQ(stream.ReadBytes(4), "only");
  stream.SetPosition(stream.Size() - 2);
  EXPECT_THROW(stream.ReadInt32(), EReadError);
}

TEST(ReadOnlyMemory, ReadsAndRefusesWrites) {
  const char data[] = "xyz";
  TReadOnlyMemoryStream stream(data, 3);
  EXPECT_EQ(stream.ReadBytes(2), "xy");
  EXPECT_EQ(stream.Write("a", 1), 0);
  EXPECT_THROW(stream.WriteByte(1), EWriteError);
  EXPECT_EQ(stream.Remaining(), 1);
}

TEST(FileStream, WrittenValuesReadBackUpToTheEnd) {
  TempDir dir;
  const std::string path = dir.File("data.bin");
  TFileStream(path, fmCreate).WriteInt32(0x01020304);
  TFileStream in(path, fmOpenRead | fmShareDenyNone);
  EXPECT_EQ(in.Size(), 4);
  EXPECT_EQ(in.ReadInt32(), 0x01020304);
  char extra;
  EXPECT_EQ(in.Read(&extra, 1), 0);
}

TEST(FileStream, OpenErrorsNameTheFileAndExclusiveSharingLocks) {
  TempDir dir;
  const std::string path = dir.File("missing.bin");
  EXPECT_EQ(ErrorText<EFOpenError>([&] { TFileStream in(path, fmOpenRead); }), "Cannot open file " + path);
  EXPECT_EQ(ErrorText<EFCreateError>([] { TFileStream out("/nonexistent-folder/x.bin", fmCreate); }),
            "Cannot create file /nonexistent-folder/x.bin");
  const std::string locked = dir.WriteFile("locked.bin", "data");
  TFileStream first(locked, fmOpenRead | fmShareExclusive);
  EXPECT_THROW(TFileStream(locked, fmOpenRead | fmShareExclusive), EFOpenError);
  TFileStream shared(locked, fmOpenRead | fmShareDenyNone);  // takes no lock
  EXPECT_EQ(shared.Size(), 4);
}

namespace {

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(ReplacingFile, TheTargetChangesOnlyWhenTheCompleteFileIsCommitted) {
  TempDir dir;
  const std::string target = dir.WriteFile("out.gif", "old and good");
  {
    TReplacingFile file(target);
    file.Stream().WriteBytes("half");
    // Written beside the target, hidden, while the target is untouched.
    EXPECT_EQ(ExtractFilePath(file.TemporaryName()), ExtractFilePath(target));
    EXPECT_EQ(ExtractFileName(file.TemporaryName()).substr(0, 9), ".out.gif.");
    EXPECT_EQ(TempDir::ReadFile(target), "old and good");
    EXPECT_EQ(FolderEntries(dir.Path()).size(), 2u);
  }  // given up: a failure or a cancel
  EXPECT_EQ(TempDir::ReadFile(target), "old and good");
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"out.gif"});

  TReplacingFile file(target);
  file.Stream().WriteBytes("new and complete");
  file.Commit();
  EXPECT_TRUE(file.Committed());
  EXPECT_EQ(TempDir::ReadFile(target), "new and complete");
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"out.gif"});
  EXPECT_THROW(file.Stream(), EFOpenError);
}

TEST(ReplacingFile, ANewTargetIsCreatedAndAPrivateOneStaysPrivate) {
  TempDir dir;
  {
    TReplacingFile file(dir.File("fresh.bmp"));
    file.CloseStream();  // a writer that writes by name
    TFileStream(file.TemporaryName(), fmCreate).WriteBytes("by name");
    file.Commit();
  }
  EXPECT_EQ(TempDir::ReadFile(dir.File("fresh.bmp")), "by name");
  const std::string secret = dir.WriteFile("secret.jpg", "x");
  ::chmod(secret.c_str(), 0600);
  TReplacingFile file(secret);
  file.Commit();
  struct stat info {};
  ASSERT_EQ(::stat(secret.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(info.st_size, 0);
}

TEST(ReplacingFile, AFolderThatCannotTakeTheFileOrATargetThatCannotBeReplacedRaises) {
  EXPECT_EQ(ErrorText<EFCreateError>([] { TReplacingFile file("/nonexistent-folder/x.gif"); }),
            "Cannot create file /nonexistent-folder/x.gif");
  TempDir dir;
  const std::string folderTarget = dir.File("taken");
  std::filesystem::create_directory(folderTarget);
  std::filesystem::create_directory(folderTarget + "/inside");
  TReplacingFile file(folderTarget);
  file.Stream().WriteBytes("data");
  EXPECT_EQ(ErrorText<EWriteError>([&] { file.Commit(); }), "Cannot create file " + folderTarget);
  EXPECT_FALSE(file.Committed());
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"taken"});  // the temporary file is gone
  EXPECT_TRUE(std::filesystem::is_directory(folderTarget + "/inside"));
}

TEST(StreamCopy, CountZeroCopiesTheWholeSourceAndTooManyRaises) {
  TMemoryStream source;
  source.WriteBytes("0123456789");
  source.SetPosition(7);
  TMemoryStream target;
  EXPECT_EQ(target.CopyFrom(source, 0), 10);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(target.Memory()), 10), "0123456789");
  source.SetPosition(7);
  EXPECT_THROW(target.CopyFrom(source, 5), EReadError);
}
