#include "platform/SystemValues.h"

#include <QGuiApplication>
#include <QScreen>

#include <unistd.h>

#include <chrono>
#include <climits>

std::uint64_t SystemValues::MicroCount() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

std::uint32_t SystemValues::TickCount() { return static_cast<std::uint32_t>(MicroCount() / 1000); }

std::uint64_t SystemValues::PhysicalMemory() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return std::uint64_t{1} << 30;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

bool SystemValues::HasResourceMeter() { return false; }

int SystemValues::FreeResourcesProbe(int) { return 100; }

TSize SystemValues::ScreenSize() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QSize size = screen->size();
      return {size.width(), size.height()};
    }
  }
  return {1024, 768};
}

int SystemValues::ScreenBitsPerPixel() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) return screen->depth();
  }
  return 32;
}

TColor SystemValues::DesktopColor() { return GetSysColor(COLOR_BACKGROUND); }

std::string SystemValues::ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "./";
  std::string full(path, static_cast<std::size_t>(n));
  return full.substr(0, full.find_last_of('/') + 1);
}

namespace {
SystemValues defaultValues;
SystemValues* currentValues = &defaultValues;
}  // namespace

SystemValues& System() { return *currentValues; }
void SetSystemValues(SystemValues* values) { currentValues = values != nullptr ? values : &defaultValues; }

std::uint64_t PhysicalMemoryCapped() {
  constexpr std::uint64_t kCap = std::uint64_t{4} << 30;
  const std::uint64_t memory = System().PhysicalMemory();
  return memory < kCap ? memory : kCap;
}

std::int32_t RandSeed = 0;

void Randomize() { RandSeed = static_cast<std::int32_t>(System().MicroCount()); }

namespace {
std::uint32_t NextRandom() {
  RandSeed = static_cast<std::int32_t>(static_cast<std::uint32_t>(RandSeed) * 134775813u + 1u);
  return static_cast<std::uint32_t>(RandSeed);
}
}  // namespace

std::int32_t Random(std::int32_t range) {
  const std::uint32_t next = NextRandom();
  if (range <= 0) return 0;
  return static_cast<std::int32_t>((static_cast<std::uint64_t>(next) * static_cast<std::uint32_t>(range)) >> 32);
}

double RandomReal() { return static_cast<double>(NextRandom()) / 4294967296.0; }
