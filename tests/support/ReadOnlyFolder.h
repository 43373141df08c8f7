// Makes a folder read-only for a test's lifetime, so that nothing can be
// created, renamed or deleted in it: by its mode, and for the superuser, who
// ignores modes, by the file system's immutable flag. Usable() is false where
// neither holds (a superuser on a file system without the flag).
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::string path) : path_(std::move(path)) {
    ::chmod(path_.c_str(), 0500);
    usable_ = ::geteuid() != 0 || SetImmutable(true);
  }
  ~ReadOnlyFolder() {
    if (::geteuid() == 0) SetImmutable(false);
    ::chmod(path_.c_str(), 0700);
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  bool Usable() const { return usable_; }

 private:
  bool SetImmutable(bool on) {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
  }

  std::string path_;
  bool usable_ = false;
};
