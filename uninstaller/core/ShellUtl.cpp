#include "uninstaller/core/ShellUtl.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string_view>

namespace {

// Desktop entries are small; anything larger is not read.
constexpr std::streamsize kMaxEntryBytes = 1024 * 1024;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// The value escapes of desktop entries: \s \n \t \r \\.
std::string UnescapeValue(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    switch (value[++i]) {
      case 's': out += ' '; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      default: out += '\\'; out += value[i];
    }
  }
  return out;
}

// The first argument of an Exec line: quoted (with \" \` \$ \\ inside) or up to the first blank.
std::string FirstArgument(std::string_view line) {
  line = Trimmed(line);
  std::string argument;
  if (line.empty() || line.front() != '"') {
    const std::size_t end = line.find_first_of(" \t");
    return std::string(line.substr(0, end));
  }
  for (std::size_t i = 1; i < line.size(); ++i) {
    if (line[i] == '"') return argument;
    if (line[i] == '\\' && i + 1 < line.size()) ++i;
    argument += line[i];
  }
  return {};  // no closing quote
}

std::string ReadSmallFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string text(static_cast<std::size_t>(kMaxEntryBytes) + 1, '\0');
  in.read(text.data(), kMaxEntryBytes + 1);
  if (in.gcount() > kMaxEntryBytes) return {};
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

}  // namespace

std::string CanonicalPath(const std::string& path) {
  if (path.empty()) return {};
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
}

std::string DesktopEntryProgram(const std::string& entryText) {
  std::string_view text = entryText;
  bool inEntryGroup = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.front() == '[') {
      inEntryGroup = line == "[Desktop Entry]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inEntryGroup || equals == std::string_view::npos || Trimmed(line.substr(0, equals)) != "Exec") continue;
    return FirstArgument(UnescapeValue(line.substr(equals + 1)));
  }
  return {};
}

std::string GetShortcutTarget(const std::string& linkPath) {
  struct stat info {};
  if (::lstat(linkPath.c_str(), &info) != 0) return {};
  if (S_ISLNK(info.st_mode)) return CanonicalPath(linkPath);
  if (!S_ISREG(info.st_mode)) return {};
  const std::string program = DesktopEntryProgram(ReadSmallFile(linkPath));
  return !program.empty() && program.front() == '/' ? CanonicalPath(program) : std::string();
}
