// A stand-in for an installer's helper program: appends one line to the file
// named by GC_STUB_MARKERS: the name it was started under, its argv[0] and
// its arguments, separated by "|"; then ends with the exit code GC_STUB_EXIT.
#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

int main(int argc, char** argv) {
  char self[PATH_MAX] = {};
  const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
  std::string name = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : "?";
  name = name.substr(name.rfind('/') + 1);
  std::string line = name;
  for (int i = 0; i < argc; ++i) line += "|" + std::string(argv[i]);
  if (const char* markers = std::getenv("GC_STUB_MARKERS")) std::ofstream(markers, std::ios::app) << line << "\n";
  const char* code = std::getenv("GC_STUB_EXIT");
  return code != nullptr ? std::atoi(code) : 0;
}
