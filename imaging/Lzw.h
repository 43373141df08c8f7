// The fixed block coder of project files: LZHUF with a window of 4,096 bytes
// and a look-ahead of 60. Every call keeps its state to itself, so blocks may
// be coded one after another or side by side.
#pragma once

#include "imaging/LzHuffman.h"

#include <cstdint>

constexpr std::int32_t LzhWindowSize = 4096;
constexpr std::int32_t LzhLookAhead = 60;

// Codes inputLength bytes of input into output, which holds outputCapacity
// bytes; returns the bytes written (the 4-byte length header included).
// Raises ElzhException when the block would not fit.
std::int32_t LzhCompressBlock(const std::uint8_t* input, std::uint8_t* output, std::int32_t inputLength,
                              std::int32_t outputCapacity);

// Expands the block of inputLength bytes into output, which holds
// outputCapacity bytes; returns the bytes written. Raises ElzhException when
// the header is incomplete, the stated length exceeds the capacity, or the
// coded bits are truncated or corrupt.
std::int32_t LzhExpandBlock(const std::uint8_t* input, std::uint8_t* output, std::int32_t inputLength,
                            std::int32_t outputCapacity);
