#include "platform/FileSearch.h"

#include "platform/SysUtils.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool MatchesFileMask(std::string_view name, std::string_view pattern) {
  // Greedy matching with one back-track point: the last '*' seen and the
  // name position it has consumed up to.
  std::size_t n = 0, p = 0;
  std::size_t starAt = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starAt = p++;
      starName = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
      ++p;
      ++n;
    } else if (starAt != std::string_view::npos) {
      p = starAt + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string> FindFiles(const std::string& mask) {
  const std::string folder = ExtractFilePath(mask);
  const std::string pattern = ExtractFileName(mask);
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator entries(folder.empty() ? std::string(".") : folder, error);
  for (const std::filesystem::directory_iterator end; !error && entries != end; entries.increment(error)) {
    std::error_code typeError;
    if (!entries->is_regular_file(typeError)) continue;
    std::string name = entries->path().filename().string();
    if (MatchesFileMask(name, pattern)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}
