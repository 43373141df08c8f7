// The BMP stream writer of the JPEG decoder: turns decoded scan lines into a
// BMP file (8 bits with a 256-entry colour table for colour-mapped or
// grayscale output, 24 bits for RGB) that a bitmap then loads. Rows are kept
// until the end and written bottom-up after the headers.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

class TStream;

// What the decoder reports about its output.
struct TBmpOutputInfo {
  enum class TColorSpace { Grayscale, RGB, Other };
  std::int32_t width = 0;
  std::int32_t height = 0;
  TColorSpace colorSpace = TColorSpace::RGB;
  // Samples per pixel in the rows handed over: 1 (indices or grey) or 3 (R, G, B).
  int components = 3;
  // The quantiser's colour map (indices in the rows), when there is one.
  bool colorMapped = false;
  // Colour-map entries as red, green, blue (a grey map repeats its value).
  std::vector<std::array<std::uint8_t, 3>> colorMap;
  // The JPEG density: unit 2 means dots per centimetre.
  int densityUnit = 0;
  int xDensity = 0;
  int yDensity = 0;
};

// The largest image the bridge accepts, in pixels (8192 x 8192).
constexpr std::int64_t kMaxBmpBridgePixels = std::int64_t{1} << 26;

class TBmpStreamWriter {
 public:
  // Starts the output: raises EJPEGException "BMP output must be grayscale or
  // RGB" for other colour spaces and "Output file format cannot handle %d
  // colormap entries" for maps of more than 256 entries.
  TBmpStreamWriter(TStream& target, const TBmpOutputInfo& info);

  // Takes count rows of width * components samples each, top row first.
  void PutPixelRows(const std::uint8_t* const* rows, int count);
  // Writes the file. A memory stream target is first sized to the file and
  // written from position 0; a short write raises EJPEGException "Output
  // file write error --- out of disk space?".
  void FinishOutput();

  std::int64_t FileSize() const { return fileSize_; }

 private:
  void WriteHeaders(std::vector<std::uint8_t>& out) const;

  TStream& target_;
  TBmpOutputInfo info_;
  int bitsPerPixel_ = 24;
  int paletteEntries_ = 0;
  std::int64_t rowBytes_ = 0;
  std::int64_t fileSize_ = 0;
  std::int32_t rowsTaken_ = 0;
  // Rows top first, padded as they will be stored, in blocks of kBlockRows
  // that are allocated as rows arrive.
  static constexpr int kBlockRows = 64;
  std::vector<std::vector<std::uint8_t>> blocks_;
};
