// Lets no file of this process grow beyond a size for a test's lifetime, as
// on a full disk: a write past the limit fails (the signal it raises is
// ignored meanwhile).
#pragma once

#include <csignal>
#include <sys/resource.h>

class FullDisk {
 public:
  explicit FullDisk(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limited = previous_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FullDisk() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};
