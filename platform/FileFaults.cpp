#include "platform/FileFaults.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <vector>

#include <stdio.h>
#include <unistd.h>

namespace {

// How many faults are armed; the calls look at nothing else when none is.
std::atomic<int> ArmedFileFaults{0};

std::mutex& FaultsLock() {
  static std::mutex lock;
  return lock;
}

std::vector<TFileFault*>& Faults() {
  static std::vector<TFileFault*> faults;
  return faults;
}

}  // namespace

// The errno that this call of the kind fails with, or 0 when it goes ahead.
int FileFaultFor(TFileCall call) {
  if (ArmedFileFaults.load(std::memory_order_relaxed) == 0) return 0;
  const std::lock_guard<std::mutex> locked(FaultsLock());
  int error = 0;
  for (TFileFault* fault : Faults()) {
    if (fault->call_ != call || fault->fired_) continue;
    if (--fault->remaining_ > 0) continue;
    fault->fired_ = true;
    if (error == 0) error = fault->error_;
  }
  return error;
}

TFileFault::TFileFault(TFileCall call, int nth, int error) : call_(call), remaining_(nth), error_(error) {
  const std::lock_guard<std::mutex> locked(FaultsLock());
  Faults().push_back(this);
  ArmedFileFaults.fetch_add(1, std::memory_order_relaxed);
}

TFileFault::~TFileFault() {
  const std::lock_guard<std::mutex> locked(FaultsLock());
  std::erase(Faults(), this);
  ArmedFileFaults.fetch_sub(1, std::memory_order_relaxed);
}

namespace FileCalls {

namespace {

// -1 with errno set to the fault's errno.
int Failed(int error) {
  errno = error;
  return -1;
}

}  // namespace

ssize_t Write(int fd, const void* data, std::size_t count) {
  if (const int error = FileFaultFor(TFileCall::fcWrite)) return Failed(error);
  return ::write(fd, data, count);
}

int Sync(int fd) {
  if (const int error = FileFaultFor(TFileCall::fcSync)) return Failed(error);
  return ::fdatasync(fd);
}

int Close(int fd) {
  const int error = FileFaultFor(TFileCall::fcClose);
  const int result = ::close(fd);
  return error != 0 ? Failed(error) : result;
}

int Rename(const char* from, const char* to) {
  if (const int error = FileFaultFor(TFileCall::fcRename)) return Failed(error);
  return ::rename(from, to);
}

int Link(const char* from, const char* to) {
  if (const int error = FileFaultFor(TFileCall::fcLink)) return Failed(error);
  return ::link(from, to);
}

}  // namespace FileCalls
