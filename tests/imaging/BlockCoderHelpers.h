// Running the block compressors of project files in tests, and their sample data.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using BlockCoder = std::int32_t (*)(const std::uint8_t*, std::uint8_t*, std::int32_t, std::int32_t);

// The coder's output for the input, in a buffer of the capacity.
inline Bytes RunCoder(BlockCoder coder, const Bytes& input, std::size_t capacity) {
  Bytes out(capacity);
  out.resize(static_cast<std::size_t>(coder(input.data(), out.data(), static_cast<std::int32_t>(input.size()),
                                            static_cast<std::int32_t>(capacity))));
  return out;
}

// A compressor's block for the input, with room to spare.
inline Bytes Compressed(BlockCoder compress, const Bytes& input) { return RunCoder(compress, input, input.size() * 2 + 64); }

inline Bytes RandomBytes(std::size_t count, unsigned seed) {
  std::mt19937 gen(seed);
  Bytes b(count);
  for (auto& x : b) x = static_cast<std::uint8_t>(gen());
  return b;
}

// Lines of text like a project's, about 20 KB.
inline Bytes SampleText() {
  std::string text;
  for (int i = 0; i < 400; ++i)
    text += "Sprite " + std::to_string(i % 17) + " moves along its path; frame duration " + std::to_string(i % 5) +
            " steps.\r\n";
  return Bytes(text.begin(), text.end());
}
