// The one main of every test program: headless Qt (offscreen unless the
// caller chose a platform), a private runtime and configuration folder, and
// the application object that fonts, timers and widgets need.
#include <gtest/gtest.h>

#include <QApplication>

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

  testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  const int result = RUN_ALL_TESTS();
  std::string cleanup = "rm -rf '" + runtime + "' '" + config + "'";
  if (std::system(cleanup.c_str()) != 0) { /* a leftover temporary folder is harmless */ }
  return result;
}
