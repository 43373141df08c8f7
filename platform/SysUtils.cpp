#include "platform/SysUtils.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

std::string FormatStr(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (needed > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    out.assign(buffer.data(), static_cast<std::size_t>(needed));
  }
  va_end(args);
  return out;
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

namespace {
std::size_t LastSeparator(std::string_view path) { return path.find_last_of("/\\"); }
}  // namespace

std::string ExtractFileName(std::string_view path) {
  const std::size_t sep = LastSeparator(path);
  return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string ExtractFilePath(std::string_view path) {
  const std::size_t sep = LastSeparator(path);
  return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string ExtractFileExt(std::string_view path) {
  const std::size_t dot = path.find_last_of('.');
  const std::size_t sep = LastSeparator(path);
  if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep)) return {};
  return std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
  const std::string ext = ExtractFileExt(path);
  return std::string(path.substr(0, path.size() - ext.size())) + std::string(extension);
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string out(path);
  if (out.empty() || (out.back() != '/' && out.back() != '\\')) out += '/';
  return out;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool DeleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::int64_t FileSizeOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return -1;
  return info.st_size;
}

std::string LowerCaseAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string UpperCaseAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  return a.size() == b.size() && LowerCaseAscii(a) == LowerCaseAscii(b);
}
