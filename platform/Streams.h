// Byte streams. Read may return fewer bytes than asked; ReadBuffer and
// WriteBuffer raise on a short transfer. The typed readers check every length
// against what remains before they allocate, so readers of hostile files can
// use them directly.
#pragma once

#include "platform/SysUtils.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class EStreamError : public Exception {
 public:
  // systemError: the errno of the call that failed, 0 when none is known.
  explicit EStreamError(std::string message, int systemError = 0)
      : Exception(std::move(message)), systemError_(systemError) {}
  int SystemError() const { return systemError_; }

 private:
  int systemError_ = 0;
};
class EReadError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

extern const char* const SReadError;   // "Stream read error"
extern const char* const SWriteError;  // "Stream write error"

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;

  // Reads up to count bytes; returns how many were read.
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  // Writes up to count bytes; returns how many were written.
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  // Moves the position; returns the new position.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t newSize);

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  // Bytes between the position and the end (never negative).
  std::int64_t Remaining();

  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies count bytes from source's position; count 0 copies all of source
  // from its beginning. Returns the bytes copied.
  std::int64_t CopyFrom(TStream& source, std::int64_t count);

  // Raises EReadError unless count bytes remain (count must not be negative).
  void RequireAvailable(std::int64_t count);

  // Little-endian values.
  std::uint8_t ReadByte();
  std::int16_t ReadInt16();
  std::uint16_t ReadWord();
  std::int32_t ReadInt32();
  std::uint32_t ReadUInt32();
  std::int64_t ReadInt64();
  double ReadDouble();
  // A 6-byte real, converted to a double.
  double ReadReal48();
  // count bytes as a string; checked against the bytes that remain.
  std::string ReadBytes(std::int64_t count);
  // A length byte followed by that many bytes.
  std::string ReadShortString();

  void WriteByte(std::uint8_t value);
  void WriteInt16(std::int16_t value);
  void WriteWord(std::uint16_t value);
  void WriteInt32(std::int32_t value);
  void WriteUInt32(std::uint32_t value);
  void WriteInt64(std::int64_t value);
  void WriteDouble(double value);
  void WriteReal48(double value);
  void WriteBytes(const std::string& bytes);
  // Writes at most 255 bytes of text behind their length byte.
  void WriteShortString(const std::string& text);
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
  void SetSize(std::int64_t newSize) override;

  std::uint8_t* Memory() { return data_.data(); }
  const std::uint8_t* Memory() const { return data_.data(); }
  const std::vector<std::uint8_t>& Bytes() const { return data_; }
  void Clear();

  // Replaces the content with all of stream (from its beginning); position 0.
  void LoadFromStream(TStream& stream);
  void LoadFromFile(const std::string& fileName);
  // Writes the whole content to stream at its position.
  void SaveToStream(TStream& stream);
  void SaveToFile(const std::string& fileName);

 private:
  std::vector<std::uint8_t> data_;
  std::int64_t position_ = 0;
};

// A read-only stream over memory owned by someone else (clipboard blocks,
// parts of a buffer).
class TReadOnlyMemoryStream : public TStream {
 public:
  TReadOnlyMemoryStream(const void* data, std::int64_t size)
      : data_(static_cast<const std::uint8_t*>(data)), size_(size < 0 ? 0 : size) {}

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void*, std::int64_t) override { return 0; }
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return size_; }

 private:
  const std::uint8_t* data_;
  std::int64_t size_;
  std::int64_t position_ = 0;
};

// Open modes and share modes of TFileStream (combined with |).
enum : std::uint32_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFFFF,
};

// A stream over a file. Exclusive sharing takes an exclusive advisory lock,
// "deny write" a shared one; a lock held elsewhere makes the open fail.
class TFileStream : public TStream {
 public:
  // Raises EFCreateError ("Cannot create file <name>") or EFOpenError
  // ("Cannot open file <name>").
  TFileStream(const std::string& fileName, std::uint32_t mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t newSize) override;
  const std::string& FileName() const { return fileName_; }
  // Closes the file now; false when the system reports a failed write.
  // Reads and writes afterwards transfer nothing.
  bool Close();

 private:
  std::string fileName_;
  int fd_ = -1;
  bool writable_ = false;
};

// A file that replaces another only once it is complete: it is written under
// a temporary name in the target's folder and renamed over the target by
// Commit, so that a failed or cancelled write never leaves a truncated file
// where a good one stood. Destroyed without Commit it removes its temporary
// file and the target stays as it was.
class TReplacingFile {
 public:
  // Creates the temporary file (with the target's permissions when the
  // target exists); raises EFCreateError "Cannot create file <target>".
  explicit TReplacingFile(const std::string& target);
  ~TReplacingFile();
  TReplacingFile(const TReplacingFile&) = delete;
  TReplacingFile& operator=(const TReplacingFile&) = delete;

  const std::string& Target() const { return target_; }
  const std::string& TemporaryName() const { return temporary_; }
  // The stream over the temporary file; raises EFOpenError after
  // CloseStream or Commit.
  TStream& Stream();
  // Closes the stream but keeps the temporary name, for writers that write
  // the file by its name themselves.
  void CloseStream();
  // Closes the file and renames it over the target; raises EWriteError
  // "Cannot create file <target>" when either fails (the temporary file is
  // then removed).
  void Commit();
  bool Committed() const { return committed_; }

 private:
  std::string target_;
  std::string temporary_;
  std::unique_ptr<TFileStream> stream_;
  bool committed_ = false;
  bool finished_ = false;  // committed, or removed after a failed commit
};

