// The BMP stream reader of the JPEG encoder: reads an 8-bit colour-mapped or
// 24-bit BMP (Windows 40- and 64-byte headers, OS/2 12-byte headers) and hands
// its rows to the compressor top row first as red, green, blue samples.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

class TStream;

class TBmpStreamReader {
 public:
  // Reads the headers, the colour table and every row. Raises EJPEGException
  // with the bridge's texts: "Not a BMP file - does not start with BM",
  // "Invalid BMP file: bad header length", "Sorry, compressed BMPs not yet
  // supported", "Only 8- and 24-bit BMP files are supported", "Invalid BMP
  // file: biPlanes not equal to 1", "Unsupported BMP colormap format" and
  // "Premature end of input file".
  explicit TBmpStreamReader(TStream& source);

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  int BitsPerPixel() const { return bits_; }
  // Density for the JPEG file: unit 2 (dots per centimetre) when the BMP
  // states both resolutions, else 0.
  int DensityUnit() const { return densityUnit_; }
  int XDensity() const { return xDensity_; }
  int YDensity() const { return yDensity_; }

  // Fills rgb (3 * Width() bytes) with the next row from the top; false when
  // every row has been handed out.
  bool GetPixelRow(std::uint8_t* rgb);
  void FinishInput() {}

 private:
  void ReadExactly(void* buffer, std::int64_t count);

  TStream& source_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  int bits_ = 0;
  int densityUnit_ = 0;
  int xDensity_ = 0;
  int yDensity_ = 0;
  std::int64_t rowBytes_ = 0;
  std::vector<std::array<std::uint8_t, 3>> palette_;  // red, green, blue
  std::vector<std::uint8_t> rows_;                     // as stored: bottom row first
  std::int32_t nextRow_ = 0;                           // rows handed out so far
};
