// Running the block compressors of project files in tests, and their sample data.
#pragma once

#include <gtest/gtest.h>

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

// Random blocks stating random lengths: the expander fills exactly the stated
// length or raises E, and never touches the guard byte after it.
template <typename E>
void ExpectGarbageStaysInside(BlockCoder expand, unsigned seed, std::size_t maxBlock, std::uint32_t maxStated) {
  std::mt19937 gen(seed);
  for (unsigned round = 0; round < 300; ++round) {
    Bytes block = RandomBytes(4 + gen() % maxBlock, seed + round);
    const std::uint32_t stated = gen() % maxStated;
    for (int i = 0; i < 4; ++i) block[i] = static_cast<std::uint8_t>(stated >> (8 * i));
    Bytes out(stated + 1, 0xEE);
    try {
      EXPECT_EQ(expand(block.data(), out.data(), static_cast<std::int32_t>(block.size()), static_cast<std::int32_t>(stated)),
                static_cast<std::int32_t>(stated));
    } catch (const E&) {
    }
    ASSERT_EQ(out[stated], 0xEE) << round;
  }
}

// A compressor given too little room for random data raises E and writes nothing past the room.
template <typename E>
void ExpectOutputBounded(BlockCoder compress, std::size_t room) {
  const Bytes random = RandomBytes(room * 15, 3);
  Bytes out(room + 1, 0xEE);
  EXPECT_THROW(compress(random.data(), out.data(), static_cast<std::int32_t>(random.size()), static_cast<std::int32_t>(room)), E);
  EXPECT_EQ(out[room], 0xEE);
}
