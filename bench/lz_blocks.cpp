// Times the two block coders over 10 MB of data shaped like project bodies
// (records of short strings and integers, bitmap rows, embedded JPEG-like
// noise), coded in blocks of 130,000 bytes as the project reader frames them.
#include "imaging/Lzw.h"
#include "imaging/Lzw_old.h"
#include "imaging/utils.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t TotalSize = 10 * 1024 * 1024;
constexpr std::size_t BlockSize = 130000;

void PutInt(Bytes& b, std::int32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutShortString(Bytes& b, const std::string& s) {
  b.push_back(static_cast<std::uint8_t>(s.size()));
  b.insert(b.end(), s.begin(), s.end());
}

Bytes ProjectLikeData() {
  std::mt19937 gen(2024);
  Bytes data;
  data.reserve(TotalSize + 100000);
  int record = 0;
  while (data.size() < TotalSize) {
    switch (record++ % 4) {
      case 0:  // sprite and frame records
        for (int i = 0; i < 200; ++i) {
          PutShortString(data, "Sprite " + std::to_string(gen() % 40));
          PutInt(data, static_cast<std::int32_t>(gen() % 300));
          PutInt(data, 1);
          PutInt(data, static_cast<std::int32_t>(0x00FF0000 + gen() % 16));
          PutShortString(data, "C:\\Animations\\Banners\\frame" + std::to_string(i) + ".bmp");
          data.push_back(static_cast<std::uint8_t>(gen() % 2));
        }
        break;
      case 1:  // a 24-bit bitmap with gradients and flat areas
        for (int y = 0; y < 120; ++y)
          for (int x = 0; x < 160; ++x) {
            const bool flat = x < 60;
            data.push_back(static_cast<std::uint8_t>(flat ? 200 : x + y));
            data.push_back(static_cast<std::uint8_t>(flat ? 30 : 2 * x));
            data.push_back(static_cast<std::uint8_t>(flat ? 30 : y));
          }
        break;
      case 2:  // an 8-bit bitmap with a palette
        for (int i = 0; i < 256; ++i) PutInt(data, i * 0x010101);
        for (int i = 0; i < 20000; ++i) data.push_back(static_cast<std::uint8_t>((i / 7) % 16));
        break;
      default:  // embedded compressed bytes
        for (int i = 0; i < 12000; ++i) data.push_back(static_cast<std::uint8_t>(gen()));
        break;
    }
  }
  data.resize(TotalSize);
  return data;
}

using Coder = std::int32_t (*)(const std::uint8_t*, std::uint8_t*, std::int32_t, std::int32_t);

void Run(const char* name, Coder compress, Coder expand, const Bytes& data) {
  std::vector<Bytes> blocks;
  const auto t0 = std::chrono::steady_clock::now();
  std::size_t packed = 0;
  for (std::size_t at = 0; at < data.size(); at += BlockSize) {
    const auto len = static_cast<std::int32_t>(std::min(BlockSize, data.size() - at));
    Bytes out(static_cast<std::size_t>(len) * 2 + 64);
    const std::int32_t n = compress(data.data() + at, out.data(), len, static_cast<std::int32_t>(out.size()));
    out.resize(static_cast<std::size_t>(n));
    packed += out.size();
    blocks.push_back(std::move(out));
  }
  const auto t1 = std::chrono::steady_clock::now();
  Bytes back(BlockSize);
  bool same = true;
  std::size_t at = 0;
  for (const Bytes& block : blocks) {
    const std::int32_t n = expand(block.data(), back.data(), static_cast<std::int32_t>(block.size()),
                                  static_cast<std::int32_t>(back.size()));
    same = same && std::memcmp(back.data(), data.data() + at, static_cast<std::size_t>(n)) == 0;
    at += static_cast<std::size_t>(n);
  }
  const auto t2 = std::chrono::steady_clock::now();
  const double mb = static_cast<double>(data.size()) / (1024.0 * 1024.0);
  const double c = std::chrono::duration<double>(t1 - t0).count();
  const double e = std::chrono::duration<double>(t2 - t1).count();
  std::printf("%-28s ratio %5.1f%%  compress %7.1f MB/s  expand %7.1f MB/s  %s\n", name,
              100.0 * static_cast<double>(packed) / static_cast<double>(data.size()), mb / c, mb / e,
              same && at == data.size() ? "ok" : "MISMATCH");
}

}  // namespace

int main() {
  const Bytes data = ProjectLikeData();
  std::printf("%zu bytes in blocks of %zu\n", data.size(), BlockSize);
  Run("fixed 4096/60", LzhCompressBlock, LzhExpandBlock, data);
  const int windows[][2] = {{128, 64}, {4096, 60}, {4096, 2048}};
  for (const auto& w : windows) {
    CompressorWindowSize = w[0];
    CompressorLookAhead = w[1];
    const std::string name = "tunable " + std::to_string(w[0]) + "/" + std::to_string(w[1]);
    Run(name.c_str(), TunedCompressBlock, TunedExpandBlock, data);
  }
  return 0;
}
