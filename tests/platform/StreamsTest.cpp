#include "platform/Streams.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

TEST(MemoryStream, ReadReturnsFewerBytesAtTheEnd) {
  TMemoryStream stream;
  stream.WriteBytes("abc");
  stream.SetPosition(1);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 8), 2);
  EXPECT_EQ(std::string(buffer, 2), "bc");
  EXPECT_EQ(stream.Read(buffer, 8), 0);
}

TEST(MemoryStream, ReadBufferThrowsOnShortRead) {
  TMemoryStream stream;
  stream.WriteBytes("ab");
  stream.SetPosition(0);
  char buffer[4];
  EXPECT_EQ(ErrorText<EReadError>([&] { stream.ReadBuffer(buffer, 3); }), "Stream read error");
}

TEST(MemoryStream, WritingPastTheEndGrowsAndZeroFillsTheGap) {
  TMemoryStream stream;
  stream.SetPosition(4);
  stream.WriteByte(7);
  ASSERT_EQ(stream.Size(), 5);
  EXPECT_EQ(stream.Bytes(), (std::vector<std::uint8_t>{0, 0, 0, 0, 7}));
}

TEST(MemoryStream, LittleEndianValuesRoundTrip) {
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
}

TEST(MemoryStream, ShortStringsAreCutAt255Bytes) {
  TMemoryStream stream;
  stream.WriteShortString(std::string(300, 'x'));
  EXPECT_EQ(stream.Size(), 256);
  EXPECT_EQ(stream.Memory()[0], 255);
}

TEST(HostileStreams, ShortStringLongerThanTheRestIsRefusedBeforeAllocating) {
  TMemoryStream stream;
  stream.WriteByte(200);
  stream.WriteBytes("only a few");
  stream.SetPosition(0);
  EXPECT_THROW(stream.ReadShortString(), EReadError);
}

TEST(HostileStreams, ReadBytesChecksTheCountFirst) {
  TMemoryStream stream;
  stream.WriteBytes("1234");
  stream.SetPosition(0);
  EXPECT_THROW(stream.ReadBytes(std::int64_t{1} << 40), EReadError);
  EXPECT_THROW(stream.ReadBytes(-1), EReadError);
  EXPECT_EQ(stream.ReadBytes(4), "1234");
}

TEST(HostileStreams, TruncatedIntegerThrows) {
  TMemoryStream stream;
  stream.WriteBytes("\x01\x02");
  stream.SetPosition(0);
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

TEST(FileStream, CreateWriteAndReadBack) {
  TempDir dir;
  const std::string path = dir.File("data.bin");
  {
    TFileStream out(path, fmCreate);
    out.WriteInt32(0x01020304);
    out.WriteBytes("tail");
  }
  TFileStream in(path, fmOpenRead | fmShareDenyNone);
  EXPECT_EQ(in.Size(), 8);
  EXPECT_EQ(in.ReadInt32(), 0x01020304);
  EXPECT_EQ(in.ReadBytes(4), "tail");
  char extra;
  EXPECT_EQ(in.Read(&extra, 1), 0);
}

TEST(FileStream, MissingOrUncreatableFilesRaiseWithTheirName) {
  TempDir dir;
  const std::string path = dir.File("missing.bin");
  EXPECT_EQ(ErrorText<EFOpenError>([&] { TFileStream in(path, fmOpenRead); }), "Cannot open file " + path);
  EXPECT_EQ(ErrorText<EFCreateError>([] { TFileStream out("/nonexistent-folder/x.bin", fmCreate); }),
            "Cannot create file /nonexistent-folder/x.bin");
}

TEST(FileStream, ExclusiveSharingRefusesASecondExclusiveOpen) {
  TempDir dir;
  const std::string path = dir.WriteFile("locked.bin", "data");
  TFileStream first(path, fmOpenRead | fmShareExclusive);
  EXPECT_THROW(TFileStream(path, fmOpenRead | fmShareExclusive), EFOpenError);
  // Opening with sharing allowed takes no lock and succeeds.
  TFileStream shared(path, fmOpenRead | fmShareDenyNone);
  EXPECT_EQ(shared.Size(), 4);
}

TEST(StreamCopy, CopyFromWholeStreamWithCountZero) {
  TMemoryStream source;
  source.WriteBytes("0123456789");
  source.SetPosition(7);
  TMemoryStream target;
  EXPECT_EQ(target.CopyFrom(source, 0), 10);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(target.Memory()), 10), "0123456789");
}

TEST(StreamCopy, CopyBeyondTheSourceThrows) {
  TMemoryStream source;
  source.WriteBytes("abc");
  source.SetPosition(0);
  TMemoryStream target;
  EXPECT_THROW(target.CopyFrom(source, 5), EReadError);
}
