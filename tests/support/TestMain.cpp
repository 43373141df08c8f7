// The one main of every test program: headless Qt (offscreen unless the
// caller chose a platform), private runtime, configuration and data folders,
// and the application object that fonts, timers and widgets need: the
// program's own, with its exception barrier, so that an exception escaping
// an event handler shows as an error box here as it would in the editor.
#include <gtest/gtest.h>

#include "platform/qtui/Application.h"

#include <cstdlib>
#include <string>

namespace {

std::string MakePrivateFolder(const char* pattern) {
  std::string path = std::string("/tmp/") + pattern;
  if (::mkdtemp(path.data()) == nullptr) return "/tmp";
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
  const std::string runtime = MakePrivateFolder("gc-test-runtime-XXXXXX");
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  const std::string config = MakePrivateFolder("gc-test-config-XXXXXX");
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  const std::string data = MakePrivateFolder("gc-test-data-XXXXXX");
  ::setenv("XDG_DATA_HOME", data.c_str(), 1);

  testing::InitGoogleTest(&argc, argv);
  TApplication application(argc, argv);
  const int result = RUN_ALL_TESTS();
  std::string cleanup = "rm -rf '" + runtime + "' '" + config + "' '" + data + "'";
  if (std::system(cleanup.c_str()) != 0) { /* a leftover temporary folder is harmless */ }
  return result;
}
