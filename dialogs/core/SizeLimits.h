// The sizes a command or a size dialog may apply: what the project reader
// accepts again, so that nothing is saved that cannot be reopened.
#pragma once

#include "platform/SysUtils.h"

#include <cstdint>
#include <string>

// Raised when a command refuses a size; the message says why.
class ESizeRefused : public Exception {
 public:
  using Exception::Exception;
};

// "The size W x H is too large: ..." for a refused picture size.
std::string SizeRefusedMessage(std::int64_t width, std::int64_t height);
// Raises ESizeRefused unless a w x h picture (each side at least 1) fits the
// project reader's limits (RecordImageSizeFits: 65535 a side, 2^26 pixels).
void RequireSavableImageSize(std::int64_t width, std::int64_t height);
