// The system calls that write a document to the disk, and a test's way of
// making one of them fail. The save path calls FileCalls in place of write,
// fdatasync, close, rename and link; a test arms a TFileFault to make the
// n-th such call fail with the errno of its choice, as a full disk, a quota,
// a network file system or a file system without hard links would, whatever
// the user the test runs as. With no fault armed a call costs one relaxed
// load of a counter more than the system call.
#pragma once

#include <sys/types.h>

#include <cstddef>

enum class TFileCall { fcWrite, fcSync, fcClose, fcRename, fcLink };

namespace FileCalls {

// As write(2), fdatasync(2), rename(2) and link(2): -1 with errno set on failure.
ssize_t Write(int fd, const void* data, std::size_t count);
int Sync(int fd);
// As close(2); the descriptor is closed even when a fault is reported, as
// the system does when close fails.
int Close(int fd);
int Rename(const char* from, const char* to);
int Link(const char* from, const char* to);

}  // namespace FileCalls

// While it lives, the n-th call (counting from 1) of its kind made after it
// was armed fails with the errno and does nothing else (a failing close
// still closes). Several may be armed at once; each counts the calls of its
// own kind and fires once.
class TFileFault {
 public:
  TFileFault(TFileCall call, int nth, int error);
  ~TFileFault();
  TFileFault(const TFileFault&) = delete;
  TFileFault& operator=(const TFileFault&) = delete;

  // Whether its call has come and failed.
  bool Fired() const { return fired_; }

 private:
  friend int FileFaultFor(TFileCall call);

  TFileCall call_;
  int remaining_;
  int error_;
  bool fired_ = false;
};
