// The exception base and the small string and file-name helpers every module uses.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

// Base of every exception the program raises; carries the message shown to the user.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Raised by conversions of text to numbers.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Raised when a size or count would need more memory than is reasonable.
class EOutOfMemory : public Exception {
 public:
  using Exception::Exception;
};

// Raised when an operation is not allowed in the object's state (a bound set
// beyond the other bound).
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// printf-style formatting into a std::string.
std::string FormatStr(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string IntToStr(std::int64_t value);
// An integer in the class library's notation: leading blanks, an optional
// sign, decimal digits or "$"/"0x" hexadecimal ones, nothing after them.
// Decimal values must fit 32 signed bits; hexadecimal ones may use all 32
// bits ("$FFFFFFFF" is -1). nullopt for any other text.
std::optional<std::int32_t> TryStrToInt(std::string_view text);
std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback);

// File names. Both '/' and '\\' count as folder separators, so names stored
// by the Windows version of the editor split the same way.
std::string ExtractFileName(std::string_view path);
std::string ExtractFilePath(std::string_view path);  // with the trailing separator
std::string ExtractFileExt(std::string_view path);   // with the dot, or ""
std::string ChangeFileExt(std::string_view path, std::string_view extension);
std::string IncludeTrailingPathDelimiter(std::string_view path);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
bool DeleteFile(const std::string& path);
// Creates a folder and every missing folder above it (mode 0700 for new
// ones); true when the folder exists afterwards.
bool ForceDirectories(const std::string& path);
// Replaces a file's contents atomically: the bytes go to a new file in the
// same folder (mode 0600), which is flushed and renamed over the old one, so
// a reader sees either the old file or the whole new one. False on failure,
// the old file untouched then.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);
std::int64_t FileSizeOf(const std::string& path);  // -1 when it cannot be read

// ASCII-only case helpers for comparing extensions and keys.
std::string LowerCaseAscii(std::string_view text);
std::string UpperCaseAscii(std::string_view text);
bool SameTextAscii(std::string_view a, std::string_view b);
