// A private temporary folder, removed with everything in it at the end of a test.
#pragma once

#include <string>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // The path of a file in the folder.
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Writes bytes to a file in the folder and returns its path.
  std::string WriteFile(const std::string& name, const std::string& bytes) const;
  static std::string ReadFile(const std::string& path);

 private:
  std::string path_;
};
