// The tunable block coder of older project files: LZHUF with the window size
// and look-ahead taken from CompressorWindowSize and CompressorLookAhead
// (imaging/utils.h). Both directions poll the program-wide cancel flag. With a
// window of 4,096 and a look-ahead of 60 its blocks are those of the fixed
// coder (imaging/Lzw.h), so either expands the other's output.
#pragma once

#include "imaging/LzHuffman.h"

#include <cstdint>

// Codes inputLength bytes of input into output, which holds outputCapacity
// bytes; returns the bytes written (the 4-byte length header included).
// Raises ElzhException when the window settings are out of range
// (3 <= look-ahead < window size <= 4096) or the block would not fit, and
// ElzhCancelled when the cancel flag is set during the run.
std::int32_t TunedCompressBlock(const std::uint8_t* input, std::uint8_t* output, std::int32_t inputLength,
                                std::int32_t outputCapacity);

// Expands the block of inputLength bytes into output, which holds
// outputCapacity bytes; returns the bytes written. Raises as LzhExpandBlock
// does, and ElzhCancelled when the cancel flag is set during the run.
std::int32_t TunedExpandBlock(const std::uint8_t* input, std::uint8_t* output, std::int32_t inputLength,
                              std::int32_t outputCapacity);
