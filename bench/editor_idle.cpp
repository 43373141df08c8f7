// The editor at rest: the share of one core that the real main window uses
// over a span of seconds once start-up is over, with no input at all (the
// deferred start and the template wizard it opens for a new user included,
// as a new user sees the program). Goal: below 1 % of one core.
//
// usage: bench_editor_idle [settle seconds, 3] [measured seconds, 10]
// Runs on the display Qt finds (DISPLAY for X11, or QT_QPA_PLATFORM); the
// registry and data folders are private temporary ones.
#include "app/EditorUiServices.h"
#include "app/MainFormU.h"
#include "platform/qtui/Application.h"
#include "platform/qtui/QtModalFormRunner.h"
#include "platform/qtui/QtShellServices.h"

#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

double ProcessCpuSeconds() {
  rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Counts what the windows do while nobody touches them.
class WorkCounter : public QObject {
 public:
  int paints = 0, resizes = 0, layouts = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    if (event->type() == QEvent::Resize) ++resizes;
    if (event->type() == QEvent::LayoutRequest) ++layouts;
    return false;
  }
};

// A private home for the settings, so the figure does not depend on (or
// change) the user's own.
std::string MakePrivateHome() {
  std::string pattern = (std::filesystem::temp_directory_path() / "gc_bench_idle_XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  for (const char* name : {"GC_REGISTRY_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
    const std::string folder = pattern + "/" + name;
    ::mkdir(folder.c_str(), 0700);
    ::setenv(name, folder.c_str(), 1);
  }
  return pattern;
}

}  // namespace

int main(int argc, char* argv[]) {
  const double settle = argc > 1 ? std::atof(argv[1]) : 3.0;
  const double measured = argc > 2 ? std::atof(argv[2]) : 10.0;
  const std::string home = MakePrivateHome();

  TApplication application(argc, argv);
  TEditorUiServices uiServices;
  SetUiServices(&uiServices);
  QtShellServices shellServices;
  SetShellServices(&shellServices);
  QtModalFormRunner modalForms;
  SetModalFormRunner(&modalForms);
  WorkCounter counter;

  double cpuAtStart = 0;
  auto wallAtStart = std::chrono::steady_clock::now();
  {
    TMainForm mainForm;
    MainForm = &mainForm;
    mainForm.show();
    // The timers run in the template wizard's modal loop too.
    QTimer::singleShot(static_cast<int>(settle * 1000), [&] {
      application.installEventFilter(&counter);
      cpuAtStart = ProcessCpuSeconds();
      wallAtStart = std::chrono::steady_clock::now();
    });
    QTimer::singleShot(static_cast<int>((settle + measured) * 1000), [&] {
      const double cpu = ProcessCpuSeconds() - cpuAtStart;
      const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallAtStart).count();
      application.removeEventFilter(&counter);
      std::printf("platform %s, %.1f s after a %.1f s start-up\n", qPrintable(QGuiApplication::platformName()), wall,
                  settle);
      std::printf("idle cpu %.2f %% of one core (goal below 1 %%): %.3f s of cpu\n", 100.0 * cpu / wall, cpu);
      std::printf("events while idle: %d paints, %d resizes, %d layout requests\n", counter.paints, counter.resizes,
                  counter.layouts);
      std::fflush(stdout);
      QCoreApplication::exit(0);
    });
    TApplication::exec();
  }

  SetModalFormRunner(nullptr);
  SetShellServices(nullptr);
  SetUiServices(nullptr);
  if (!home.empty()) std::filesystem::remove_all(home);
  return 0;
}
