// The project file: a container (compressed byte, format signature, JPEG
// preview, block coder parameters) around the scene body. The scene writes
// and reads it itself (TAnimatedScene::SaveToStream, LoadFromStream and
// their kin in ProjectFile.cpp); this header names the formats and texts.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The signatures of the 16 format versions; the version is the 1-based position.
extern const std::array<std::string_view, 16> ProjectSignatures;
// The signature written for a save version (the newest past the table, the oldest below it).
std::string_view ProjectSignature(std::int32_t version);
// The version of a signature; 0 when it is not in the table.
std::int32_t ProjectVersionOf(std::string_view signature);

// The short string before the preview of current files.
extern const char* const SPreviewMarker;  // "Preview JPEG Image."
extern const char* const SProjectWriteError;  // "An error occured during writing to the file."
extern const char* const SProjectReadError;   // "Cannot read data from file."
extern const char* const SOldVersionDetected;  // "Old version is detected."
extern const char* const SOutOfResources;  // "Out of system resources. Please close one or more ..."
// " Data file has been created with <signature>\rPlease upgrade your copy of <product>."
std::string UpgradeMessage(const std::string& signature);

// Most bytes one coded block of a body expands to.
constexpr std::int32_t kProjectBlockCapacity = 130000;
// Most bytes a whole coded body may expand to.
std::int64_t MaxExpandedBodySize();
