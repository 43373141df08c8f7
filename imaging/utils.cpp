#include "imaging/utils.h"

#include "platform/Numeric.h"
#include "platform/Processes.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "platform/SystemValues.h"
#include "platform/UiServices.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

extern char** environ;

std::uint8_t CancelFlag = 0;
std::int32_t CompressorWindowSize = 4096;
std::int32_t CompressorLookAhead = 2048;
std::string ProgramName = "Glintdeck";

// ---- Short strings --------------------------------------------------------------

std::string UpCaseStr(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || b >= 224) c = static_cast<char>(b - 32);
  }
  return out;
}

std::string DelTrailBlanks(std::string_view s) {
  const std::size_t end = s.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(s.substr(0, end + 1));
}

std::string DelLeadBlanks(std::string_view s) {
  const std::size_t start = s.find_first_not_of(' ');
  return start == std::string_view::npos ? std::string() : std::string(s.substr(start));
}

std::string StripExtension(std::string_view name) {
  const std::size_t dot = name.find_last_of('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string IntToShortStr(std::int64_t n) { return std::to_string(n); }

std::int32_t ShortStrToInt(std::string_view s) {
  const std::string text = DelTrailBlanks(DelLeadBlanks(s));
  if (text.empty()) return 0;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (end != text.c_str() + text.size() || errno == ERANGE) return 0;
  return SaturatingCast<std::int32_t>(value);
}

std::string FloatToShortStr(double x, int width, int decimals) {
  width = std::clamp(width, 0, 255);
  decimals = std::clamp(decimals, 0, 64);
  return DelLeadBlanks(FormatStr("%*.*f", width, decimals, FiniteOrZero(x)));
}

double ShortStrToFloat(std::string_view s) {
  std::string text = DelTrailBlanks(DelLeadBlanks(s));
  std::replace(text.begin(), text.end(), ',', '.');
  if (text.empty()) return 0.0;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size()) return 0.0;
  return FiniteOrZero(value);
}

std::string PadLeftStr(char ch, int width, std::string_view s) {
  if (width <= static_cast<int>(s.size())) return std::string(s);
  return std::string(static_cast<std::size_t>(width) - s.size(), ch) + std::string(s);
}

std::string ReadBufLine(const std::uint8_t* buffer, std::int64_t& position, std::int64_t size) {
  constexpr std::int64_t kMaxLine = 2000;
  const auto isBreak = [&](std::int64_t i) { return buffer[i] == '\r' || buffer[i] == '\n'; };
  std::string line;
  while (position < size && !isBreak(position) && static_cast<std::int64_t>(line.size()) < kMaxLine)
    line += static_cast<char>(buffer[position++]);
  while (position < size && isBreak(position)) ++position;
  return line;
}

// ---- Clock ----------------------------------------------------------------------

void InitMicroTimer() {}  // the monotonic clock needs no calibration

std::int32_t MicroTime() { return static_cast<std::int32_t>(static_cast<std::uint32_t>(System().MicroCount())); }

// ---- Free system resources ---------------------------------------------------------

namespace {
struct ResourceCache {
  int lastValue = 100;
  std::uint32_t lastQueryTick = 0;
  int reusesLeft = 0;
} resourceCache;
}  // namespace

bool ResourceMechanismOff() { return !System().HasResourceMeter(); }

int QueryFreeResources(int kind) {
  if (ResourceMechanismOff()) return 100;
  return System().FreeResourcesProbe(kind);
}

int FreeResourcesPct(int kind) {
  const std::uint32_t now = System().TickCount();
  const std::uint32_t elapsed = now - resourceCache.lastQueryTick;  // wraps like the tick count
  if (resourceCache.reusesLeft > 0 && elapsed <= 200) {
    --resourceCache.reusesLeft;
    return resourceCache.lastValue;
  }
  resourceCache.lastValue = QueryFreeResources(kind);
  resourceCache.lastQueryTick = now;
  resourceCache.reusesLeft = 4;
  return resourceCache.lastValue;
}

void ResetFreeResourcesCache() { resourceCache = ResourceCache{}; }

// ---- Programs ---------------------------------------------------------------------

std::string RunProgramErrorText(int code) {
  switch (code) {
    case 0: return "System was out of memory, executable file was corrupt, or relocations were invalid.";
    case 2: return "File was not found.";
    case 3: return "Path was not found.";
    case 5: return "Attempt was made to dynamically link to a task, or there was a sharing or network-protection error.";
    case 6: return "Library required separate data segments for each task.";
    case 8: return "There was insufficient memory to start the application.";
    case 10: return "Windows version was incorrect.";
    case 11: return "Executable file was invalid. Either it was not a Windows application or there was an error in the .EXE image.";
    case 12: return "Application was designed for a different operating system.";
    case 13: return "Application was designed for MS-DOS 4.0.";
    case 14: return "Type of executable file was unknown.";
    case 15: return "Attempt was made to load a real-mode application (developed for an earlier version of Windows).";
    case 16: return "Attempt was made to load a second instance of an executable file containing multiple data segments that were not marked read-only.";
    case 19: return "Attempt was made to load a compressed executable file. The file must bedecompressed before it can be loaded.";
    case 20: return "Dynamic-link library (DLL) file was invalid. One of the DLLs required to run thisapplication was corrupt.";
    case 21: return "Application requires 32-bit extensions.";
    default: return "Execution error.";
  }
}

namespace {

int StartFailureCode(int error) {
  switch (error) {
    case ENOENT: return 2;
    case ENOMEM: return 8;
    case ENOEXEC: return 11;
    default: return 7;  // "Execution error."
  }
}

// Programs started earlier are reaped here, so they leave no zombies behind.
std::vector<pid_t> startedPrograms;
void ReapFinishedPrograms() {
  std::erase_if(startedPrograms, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
}

}  // namespace

std::string RunProgram(const std::string& commandLine, const std::string& folder) {
  ReapFinishedPrograms();
  std::vector<std::string> args = SplitCommandLine(commandLine);
  if (args.empty()) return RunProgramErrorText(2);
  if (!folder.empty() && !DirectoryExists(folder)) return RunProgramErrorText(3);
  // As on the original system, a bare program name is looked up in the start
  // folder before the search path.
  if (args[0].find('/') == std::string::npos) {
    const std::string local = IncludeTrailingPathDelimiter(folder.empty() ? "." : folder) + args[0];
    if (FileExists(local)) args[0] = local;
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return RunProgramErrorText(StartFailureCode(error));
  startedPrograms.push_back(pid);
  return {};
}

// ---- Matrices --------------------------------------------------------------------

void MatIdentity(TMatrix4& m) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m[i][j] = i == j ? 1.0 : 0.0;
}

void MatCopy(TMatrix4& dst, const TMatrix4& src) { dst = src; }

void MatMultiply(TMatrix4& result, const TMatrix4& a, const TMatrix4& b) {
  TMatrix4 product{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) product[i][j] += a[i][k] * b[k][j];
  result = product;
}

namespace {
void RotateBy(TMatrix4& m, const TMatrix4& rotation) { MatMultiply(m, rotation, m); }
}  // namespace

void MatRotateX(TMatrix4& m, double degrees) {
  if (degrees == 0) return;
  const double angle = degrees * M_PI / 180.0;
  const double c = std::cos(angle), s = std::sin(angle);
  RotateBy(m, TMatrix4{{{1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}}});
}

void MatRotateY(TMatrix4& m, double degrees) {
  if (degrees == 0) return;
  const double angle = degrees * M_PI / 180.0;
  const double c = std::cos(angle), s = std::sin(angle);
  RotateBy(m, TMatrix4{{{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}}});
}

// ---- Data-file checksum -------------------------------------------------------------

std::uint32_t BlockChecksum(const std::uint8_t* data, std::uint32_t length) {
  std::uint32_t xorOfBytes = 0;
  std::uint32_t weightedSum = 0;
  for (std::uint32_t i = 0; i < length; ++i) {
    xorOfBytes ^= data[i];
    weightedSum += static_cast<std::uint32_t>(data[i]) * ((i + 1) & 0xFF);
  }
  return (xorOfBytes << 16) | (weightedSum & 0xFFFF);
}

namespace {

constexpr std::int64_t kChunkSize = 65000;
constexpr std::int64_t kMaxChunks = 16001;
constexpr std::size_t kMessageLimit = 255;

// The file checksum of the next regionSize bytes of the stream: the block
// checksum of the chunk checksums laid out as 32-bit little-endian values.
// False when the region is too large for the chunk table or cannot be read.
bool RegionChecksum(TStream& stream, std::int64_t regionSize, std::uint32_t& result) {
  if (regionSize < 0 || regionSize > kChunkSize * kMaxChunks) return false;
  std::vector<std::uint8_t> chunk(kChunkSize);
  std::vector<std::uint8_t> table;
  table.reserve(static_cast<std::size_t>((regionSize + kChunkSize - 1) / kChunkSize) * 4);
  for (std::int64_t left = regionSize; left > 0;) {
    const std::int64_t n = std::min(left, kChunkSize);
    if (stream.Read(chunk.data(), n) != n) return false;
    const std::uint32_t sum = BlockChecksum(chunk.data(), static_cast<std::uint32_t>(n));
    for (int i = 0; i < 4; ++i) table.push_back(static_cast<std::uint8_t>(sum >> (8 * i)));
    left -= n;
  }
  result = BlockChecksum(table.data(), static_cast<std::uint32_t>(table.size()));
  return true;
}

void ShowChecksumError(std::string text) {
  if (text.size() > kMessageLimit) text.resize(kMessageLimit);
  Ui().MessageBox(0, text, "Error", MB_OK | MB_ICONERROR);
}

std::string CorruptedMessage(const std::string& fileName) {
  return "File " + ExtractFileName(fileName) + " is corrupted. " + "\r" +
         "Probably you have not completed file downloading or some errors occured during the download process." +
         "\r" + "Please try again to download the file.";
}

}  // namespace

bool StampFileChecksum(const std::string& fileName) {
  std::uint32_t checksum = 0;
  try {
    TFileStream reader(fileName, fmOpenRead | fmShareExclusive);
    if (!RegionChecksum(reader, reader.Size(), checksum)) return false;
  } catch (const EStreamError&) {
    return false;
  }
  try {
    TFileStream writer(fileName, fmOpenWrite | fmShareExclusive);
    writer.Seek(0, TSeekOrigin::soEnd);
    writer.WriteUInt32(checksum);
    // A write the disk refuses late is reported only when the file closes.
    return writer.Close();
  } catch (const EStreamError&) {
    return false;
  }
}

bool CheckFileChecksum(const std::string& fileName, bool showMessage) {
  std::unique_ptr<TFileStream> file;
  try {
    file = std::make_unique<TFileStream>(fileName, fmOpenRead | fmShareDenyNone);
  } catch (const EStreamError&) {
    ShowChecksumError("Cannot open " + fileName + " file.");
    return false;
  }
  bool matches = false;
  try {
    const std::int64_t size = file->Size();
    std::uint32_t computed = 0;
    if (size >= 4 && RegionChecksum(*file, size - 4, computed)) matches = file->ReadUInt32() == computed;
  } catch (const EStreamError&) {
    matches = false;
  }
  if (!matches && showMessage) ShowChecksumError(CorruptedMessage(fileName));
  return matches;
}
