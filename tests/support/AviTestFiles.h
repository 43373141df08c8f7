// AVI files written byte by byte for tests: streams with their headers and
// formats, data chunks in the movi list and an optional idx1 index.
#pragma once

#include "tests/support/TestBytes.h"

#include <cstdint>
#include <string>
#include <vector>

struct AviTestStream {
  std::string type = "vids";
  std::string handler{};  // four characters, or empty for 0
  std::uint32_t scale = 1;
  std::uint32_t rate = 10;
  std::uint32_t start = 0;
  std::int64_t length = -1;  // -1: the number of this stream's chunks
  std::uint32_t sampleSize = 0;
  std::string format{};        // the strf bytes
  bool shortHeader = false;  // a 48-byte strh without the frame rectangle
};

struct AviTestChunk {
  std::string id{};  // "00db", "01wb", ...
  std::string data{};
  std::uint32_t flags = 0x10;  // key frame
};

struct AviTestFile {
  std::vector<AviTestStream> streams{};
  std::vector<AviTestChunk> chunks{};
  bool index = true;
  bool absoluteIndex = false;  // offsets from the file start instead of the movi list
  std::string Build() const;
};

// A BITMAPINFOHEADER and its colour table (entries as $00RRGGBB).
std::string DibFormat(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression = 0,
                      const std::vector<std::uint32_t>& colors = {});
// A WAVEFORMATEX of PCM samples.
std::string PcmFormat(int channels, int samplesPerSecond, int bitsPerSample);
// Bottom-up 24-bit rows (padded) of an image whose pixel (x, y) is colorAt(x, y) as $00RRGGBB.
template <typename ColorAt>
std::string Rows24(int width, int height, ColorAt colorAt) {
  std::string rows;
  for (int y = height - 1; y >= 0; --y) {
    std::size_t start = rows.size();
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = colorAt(x, y);
      rows += static_cast<char>(c & 0xFF);
      rows += static_cast<char>((c >> 8) & 0xFF);
      rows += static_cast<char>((c >> 16) & 0xFF);
    }
    while ((rows.size() - start) % 4 != 0) rows += '\0';
  }
  return rows;
}
