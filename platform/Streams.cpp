#include "platform/Streams.h"

#include "platform/FileFaults.h"
#include "platform/Real48.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

const char* const SReadError = "Stream read error";
const char* const SWriteError = "Stream write error";

static_assert(std::endian::native == std::endian::little, "streams assume a little-endian machine");

std::int64_t TStream::Size() {
  const std::int64_t position = Seek(0, TSeekOrigin::soCurrent);
  const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

void TStream::SetSize(std::int64_t) {}

std::int64_t TStream::Remaining() { return std::max<std::int64_t>(0, Size() - Position()); }

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count < 0 || (count > 0 && Read(buffer, count) != count)) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  // A file's short write leaves the system's reason in errno.
  errno = 0;
  if (count < 0 || (count > 0 && Write(buffer, count) != count)) throw EWriteError(SWriteError, errno);
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  constexpr std::int64_t kChunk = 1 << 16;
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min(count, kChunk)));
  std::int64_t copied = 0;
  while (copied < count) {
    const std::int64_t n = std::min(count - copied, kChunk);
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    copied += n;
  }
  return copied;
}

void TStream::RequireAvailable(std::int64_t count) {
  if (count < 0 || count > Remaining()) throw EReadError(SReadError);
}

namespace {
template <typename T>
T ReadLE(TStream& stream) {
  T value;
  stream.ReadBuffer(&value, sizeof value);
  return value;
}
template <typename T>
void WriteLE(TStream& stream, T value) {
  stream.WriteBuffer(&value, sizeof value);
}
}  // namespace

std::uint8_t TStream::ReadByte() { return ReadLE<std::uint8_t>(*this); }
std::int16_t TStream::ReadInt16() { return ReadLE<std::int16_t>(*this); }
std::uint16_t TStream::ReadWord() { return ReadLE<std::uint16_t>(*this); }
std::int32_t TStream::ReadInt32() { return ReadLE<std::int32_t>(*this); }
std::uint32_t TStream::ReadUInt32() { return ReadLE<std::uint32_t>(*this); }
std::int64_t TStream::ReadInt64() { return ReadLE<std::int64_t>(*this); }
double TStream::ReadDouble() { return ReadLE<double>(*this); }

double TStream::ReadReal48() {
  Real48::Bytes bytes;
  ReadBuffer(bytes.data(), 6);
  return Real48::Decode(bytes);
}

std::string TStream::ReadBytes(std::int64_t count) {
  RequireAvailable(count);
  std::string out(static_cast<std::size_t>(count), '\0');
  ReadBuffer(out.data(), count);
  return out;
}

std::string TStream::ReadShortString() { return ReadBytes(ReadByte()); }

void TStream::WriteByte(std::uint8_t value) { WriteLE(*this, value); }
void TStream::WriteInt16(std::int16_t value) { WriteLE(*this, value); }
void TStream::WriteWord(std::uint16_t value) { WriteLE(*this, value); }
void TStream::WriteInt32(std::int32_t value) { WriteLE(*this, value); }
void TStream::WriteUInt32(std::uint32_t value) { WriteLE(*this, value); }
void TStream::WriteInt64(std::int64_t value) { WriteLE(*this, value); }
void TStream::WriteDouble(double value) { WriteLE(*this, value); }

void TStream::WriteReal48(double value) {
  const Real48::Bytes bytes = Real48::Encode(value);
  WriteBuffer(bytes.data(), 6);
}

void TStream::WriteBytes(const std::string& bytes) {
  WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TStream::WriteShortString(const std::string& text) {
  const std::size_t length = std::min<std::size_t>(text.size(), 255);
  WriteByte(static_cast<std::uint8_t>(length));
  WriteBuffer(text.data(), static_cast<std::int64_t>(length));
}

// ---------------------------------------------------------------------------

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
  const std::int64_t available = Size() - position_;
  if (count <= 0 || available <= 0) return 0;
  const std::int64_t n = std::min(count, available);
  std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
  position_ += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  const std::int64_t end = position_ + count;
  if (static_cast<std::size_t>(end) > data_.capacity())
    data_.reserve(std::max(static_cast<std::size_t>(end), data_.capacity() * 2));
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  if (position_ == Size()) {
    // Appending: the bytes go straight in, with no zeros written first.
    data_.insert(data_.end(), bytes, bytes + count);
    position_ = end;
    return count;
  }
  if (end > Size()) data_.resize(static_cast<std::size_t>(end));
  std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
  position_ = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == TSeekOrigin::soCurrent) base = position_;
  if (origin == TSeekOrigin::soEnd) base = Size();
  position_ = std::max<std::int64_t>(0, base + offset);
  return position_;
}

void TMemoryStream::SetSize(std::int64_t newSize) {
  data_.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, newSize)));
  position_ = std::min(position_, Size());
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  const std::int64_t size = stream.Size();
  SetSize(size);
  stream.ReadBuffer(data_.data(), size);
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream) { stream.WriteBuffer(data_.data(), Size()); }

void TMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}

// ---------------------------------------------------------------------------

std::int64_t TReadOnlyMemoryStream::Read(void* buffer, std::int64_t count) {
  const std::int64_t available = size_ - position_;
  if (count <= 0 || available <= 0) return 0;
  const std::int64_t n = std::min(count, available);
  std::memcpy(buffer, data_ + position_, static_cast<std::size_t>(n));
  position_ += n;
  return n;
}

std::int64_t TReadOnlyMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == TSeekOrigin::soCurrent) base = position_;
  if (origin == TSeekOrigin::soEnd) base = size_;
  position_ = std::max<std::int64_t>(0, base + offset);
  return position_;
}

// ---------------------------------------------------------------------------

namespace {

int LockFor(std::uint32_t mode) {
  if (mode == fmCreate) return LOCK_EX;
  switch (mode & 0xF0) {
    case fmShareExclusive: return LOCK_EX;
    case fmShareDenyWrite: return LOCK_SH;
    case fmShareDenyRead: return LOCK_EX;
    default: return 0;
  }
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, std::uint32_t mode) : fileName_(fileName) {
  const bool create = mode == fmCreate;
  int flags = O_CLOEXEC;
  if (create) {
    flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (mode & 0x3) {
      case fmOpenWrite: flags |= O_WRONLY; break;
      case fmOpenReadWrite: flags |= O_RDWR; break;
      default: flags |= O_RDONLY; break;
    }
  }
  writable_ = (flags & (O_WRONLY | O_RDWR)) != 0;
  fd_ = ::open(fileName.c_str(), flags, 0644);
  if (fd_ >= 0) {
    const int lock = LockFor(mode);
    if (lock != 0 && ::flock(fd_, lock | LOCK_NB) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  if (fd_ < 0) {
    const int reason = errno;
    if (create) throw EFCreateError("Cannot create file " + fileName, reason);
    throw EFOpenError("Cannot open file " + fileName, reason);
  }
}

TFileStream::~TFileStream() { Close(); }

bool TFileStream::Close() {
  if (fd_ < 0) return true;
  // Only a descriptor that wrote can report a write the disk refused late.
  const bool closed = (writable_ ? FileCalls::Close(fd_) : ::close(fd_)) == 0;
  fd_ = -1;
  return closed;
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  std::int64_t done = 0;
  auto* out = static_cast<std::uint8_t*>(buffer);
  while (done < count) {
    const ssize_t n = ::read(fd_, out + done, static_cast<std::size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  std::int64_t done = 0;
  const auto* in = static_cast<const std::uint8_t*>(buffer);
  while (done < count) {
    const ssize_t n = FileCalls::Write(fd_, in + done, static_cast<std::size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  int whence = SEEK_SET;
  if (origin == TSeekOrigin::soCurrent) whence = SEEK_CUR;
  if (origin == TSeekOrigin::soEnd) whence = SEEK_END;
  const off_t result = ::lseek(fd_, static_cast<off_t>(offset), whence);
  return result < 0 ? ::lseek(fd_, 0, SEEK_CUR) : result;
}

void TFileStream::SetSize(std::int64_t newSize) {
  if (::ftruncate(fd_, static_cast<off_t>(std::max<std::int64_t>(0, newSize))) != 0)
    throw EWriteError(SWriteError, errno);
  if (Position() > newSize) Seek(0, TSeekOrigin::soEnd);
}

// ---------------------------------------------------------------------------

namespace {

// A name beside the target, hidden, that no other writer uses: the process,
// a counter and the clock make it unique, and creating it exclusively makes
// sure of it.
std::string TemporaryNameFor(const std::string& target, unsigned attempt) {
  static unsigned counter = 0;
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  const auto ticks = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  char tag[64];
  std::snprintf(tag, sizeof tag, ".%x.%x.%llx.tmp", static_cast<unsigned>(::getpid()), ++counter + attempt,
                ticks & 0xFFFFFFFFull);
  return folder + "." + name + tag;
}

}  // namespace

TReplacingFile::TReplacingFile(const std::string& target) : target_(target) {
  struct stat existing {};
  const bool targetExists = ::stat(target.c_str(), &existing) == 0;
  int reason = 0;
  for (unsigned attempt = 0; attempt < 100 && temporary_.empty(); ++attempt) {
    const std::string name = TemporaryNameFor(target, attempt);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      reason = errno;
      if (reason == EEXIST) continue;
      break;
    }
    // A private target stays private.
    if (targetExists && S_ISREG(existing.st_mode)) ::fchmod(fd, existing.st_mode & 07777);
    ::close(fd);
    temporary_ = name;
  }
  if (temporary_.empty()) throw EFCreateError("Cannot create file " + target, reason);
  try {
    stream_ = std::make_unique<TFileStream>(temporary_, fmCreate);
  } catch (...) {
    ::unlink(temporary_.c_str());
    throw;
  }
}

TReplacingFile::~TReplacingFile() {
  stream_.reset();
  if (!finished_) ::unlink(temporary_.c_str());
}

TStream& TReplacingFile::Stream() {
  if (!stream_) throw EFOpenError("Cannot open file " + temporary_);
  return *stream_;
}

void TReplacingFile::CloseStream() { stream_.reset(); }

void TReplacingFile::Commit() {
  if (finished_) return;
  // Closing reports a write the disk refused late; the file is not forced
  // to the disk (replacing a file by a rename is safe on the file systems
  // the program runs on, and a series of exported files would pay for it
  // many times).
  bool done = stream_ == nullptr || stream_->Close();
  int reason = done ? 0 : errno;
  stream_.reset();
  if (done && FileCalls::Rename(temporary_.c_str(), target_.c_str()) != 0) {
    done = false;
    reason = errno;
  }
  finished_ = true;
  if (!done) {
    ::unlink(temporary_.c_str());
    throw EWriteError("Cannot create file " + target_, reason);
  }
  committed_ = true;
}

