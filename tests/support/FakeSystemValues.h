// System values for tests: a settable clock, memory size, screen and resource
// meter. Installs itself for its lifetime.
#pragma once

#include "platform/SystemValues.h"

#include <functional>

class FakeSystemValues final : public SystemValues {
 public:
  // The clock starts a few seconds past bit 31 of its low 32 bits, as the
  // real one does for half of every 71.6 minutes: object ids are then negative.
  static constexpr std::uint64_t kDefaultMicros = std::uint64_t{0x80000000} + 5'000'000;

  FakeSystemValues() { SetSystemValues(this); }
  ~FakeSystemValues() override { SetSystemValues(nullptr); }

  std::uint64_t micros = kDefaultMicros;  // the clock; TickCount is micros / 1000
  std::uint64_t physicalMemory = std::uint64_t{512} << 20;
  bool hasResourceMeter = false;
  std::function<int(int)> probe = [](int) { return 100; };
  int probeCalls = 0;
  TSize screen{1024, 768};
  int bitsPerPixel = 32;
  std::string programFolder = "/tmp/";

  void AdvanceMilliseconds(std::uint64_t ms) { micros += ms * 1000; }

  std::uint64_t MicroCount() override { return micros; }
  std::uint32_t TickCount() override { return static_cast<std::uint32_t>(micros / 1000); }
  std::uint64_t PhysicalMemory() override { return physicalMemory; }
  bool HasResourceMeter() override { return hasResourceMeter; }
  int FreeResourcesProbe(int kind) override {
    ++probeCalls;
    return probe(kind);
  }
  TSize ScreenSize() override { return screen; }
  int ScreenBitsPerPixel() override { return bitsPerPixel; }
  std::string ProgramFolder() override { return programFolder; }
};
