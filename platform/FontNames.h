// Font names as the editor stores them (Windows faces) mapped to the faces
// installed here: the metric-compatible Liberation faces where they exist,
// DejaVu for the rest.
#pragma once

#include <QString>

#include <string_view>

// The installed family for a stored face name. A face that is installed
// under its own name is kept; a known Windows face maps to its counterpart;
// anything else becomes "DejaVu Sans". Names compare without regard to case.
QString ResolveFontFamily(std::string_view faceName);
