// Values the program reads from the system, behind one replaceable object so
// that tests can set the clock, memory size, screen and resource probe.
#pragma once

#include "platform/Colors.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <string>

class SystemValues {
 public:
  virtual ~SystemValues() = default;
  // Monotonic microseconds since an arbitrary start (64-bit, never wraps).
  virtual std::uint64_t MicroCount();
  // Milliseconds since an arbitrary start, wrapping like a 32-bit tick count.
  virtual std::uint32_t TickCount();
  // Physical memory in bytes as the system reports it.
  virtual std::uint64_t PhysicalMemory();
  // Whether the system has a meter of free resources. This one has none, so
  // memory-lean bitmaps keep their images; tests inject a meter.
  virtual bool HasResourceMeter();
  // Free system resources of a kind in per cent; 100 without a meter.
  virtual int FreeResourcesProbe(int kind);
  virtual TSize ScreenSize();
  virtual int ScreenBitsPerPixel();
  virtual TColor DesktopColor();
  // The folder of the running program, with a trailing separator.
  virtual std::string ProgramFolder();
};

// The values in use. Tests install their own with SetSystemValues and restore
// the default with SetSystemValues(nullptr).
SystemValues& System();
void SetSystemValues(SystemValues* values);

// Physical memory capped at 4 GiB, so that limits derived from it stay within
// 32-bit stream positions.
std::uint64_t PhysicalMemoryCapped();

// The seedable pseudo-random generator of the program (a 32-bit linear
// congruential generator, so a seed always gives the same sequence).
extern std::int32_t RandSeed;
// Seeds the generator from the clock.
void Randomize();
// A random integer in 0 .. range - 1 (0 when range <= 0).
std::int32_t Random(std::int32_t range);
// A random real in [0, 1).
double RandomReal();
