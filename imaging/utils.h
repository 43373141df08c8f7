// Small routines and program-wide state shared by every module: short-string
// conversions, a line reader over memory, the microsecond clock, the cached
// probe of free system resources, the program runner, 4 x 4 matrices, the
// cancel flag and the data-file checksum trailer.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// ---- Shared state -----------------------------------------------------------

// Set by Esc and Close and by the project writer on a write error; cleared at
// the start of each long operation, which polls it and stops early.
extern std::uint8_t CancelFlag;
// Window size and look-ahead of the tunable block coder.
extern std::int32_t CompressorWindowSize;  // 4096
extern std::int32_t CompressorLookAhead;   // 2048
// The product name used in captions and messages.
extern std::string ProgramName;  // "Glintdeck" until the main window sets it

// ---- Short strings (a length byte and at most 255 bytes) ---------------------

// Bytes "a".."z" and 224..255 become 32 less; others are unchanged.
std::string UpCaseStr(std::string_view s);
std::string DelTrailBlanks(std::string_view s);
std::string DelLeadBlanks(std::string_view s);
// Removes the characters from the last "." on; a name without one is unchanged.
std::string StripExtension(std::string_view name);
std::string IntToShortStr(std::int64_t n);
// Decimal value of the text; text that is not a whole number gives 0.
std::int32_t ShortStrToInt(std::string_view s);
// Fixed-point text with the given width and decimals, leading blanks removed.
std::string FloatToShortStr(double x, int width, int decimals);
// "," and "." both count as the decimal point; text that is not a number gives 0.
double ShortStrToFloat(std::string_view s);
// Prepends ch until s has width characters.
std::string PadLeftStr(char ch, int width, std::string_view s);

// The next line of a text held in memory, from position (advanced past the
// line and every CR and LF after it, so empty lines vanish). A line holds at
// most 2,000 characters; a longer one continues as the next line.
std::string ReadBufLine(const std::uint8_t* buffer, std::int64_t& position, std::int64_t size);

// ---- Clock ------------------------------------------------------------------

void InitMicroTimer();
// Microseconds of a 64-bit monotonic count, as its low 32 bits.
std::int32_t MicroTime();

// ---- Free system resources ----------------------------------------------------

// True when the system has no resource meter: memory-lean bitmaps then keep
// their images for good.
bool ResourceMechanismOff();
// Percentage of free system resources of a kind (0 = system resources), or 100
// when the system has no meter.
int QueryFreeResources(int kind);
// The probe behind a cache: within 200 ms of a query the last value is reused
// up to 4 times.
int FreeResourcesPct(int kind);
// Forgets the cached value (for tests that install another probe).
void ResetFreeResourcesCache();

// ---- Programs -----------------------------------------------------------------

// Starts a program without waiting for it. The command line is split at blanks
// outside double quotes; the program starts in folder (when not empty) while
// the editor keeps its own current directory. Returns "" or an error text.
std::string RunProgram(const std::string& commandLine, const std::string& folder);
// The error text of a start-up failure code (2 "File was not found.", ...).
std::string RunProgramErrorText(int code);

// ---- 4 x 4 matrices of doubles, row by row ---------------------------------------

using TMatrix4 = std::array<std::array<double, 4>, 4>;
void MatIdentity(TMatrix4& m);
void MatCopy(TMatrix4& dst, const TMatrix4& src);
// result[i][j] = sum over k of a[i][k] * b[k][j]; result may be a or b.
void MatMultiply(TMatrix4& result, const TMatrix4& a, const TMatrix4& b);
// m := R * m for a rotation of the given degrees about the x or y axis (0 leaves m).
void MatRotateX(TMatrix4& m, double degrees);
void MatRotateY(TMatrix4& m, double degrees);

// ---- Data-file checksum trailer ---------------------------------------------------

// High 16 bits: XOR of the bytes; low 16 bits: sum of each byte times its
// 1-based position modulo 256, modulo 65536. length is at most 65535.
std::uint32_t BlockChecksum(const std::uint8_t* data, std::uint32_t length);
// Appends the file checksum of the whole file as a 4-byte trailer. False when
// the file cannot be opened or is too large for the chunk table (unchanged
// then), or when writing the trailer failed (errno then says why).
bool StampFileChecksum(const std::string& fileName);
// True when the last 4 bytes of the file are the checksum of the bytes before
// them. Shows "Cannot open ..." when the file cannot be opened, and, when
// showMessage is set, the "is corrupted" message on a mismatch.
bool CheckFileChecksum(const std::string& fileName, bool showMessage);
