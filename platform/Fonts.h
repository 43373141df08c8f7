// Fonts of the Windows era mapped to the fonts installed here, and the Qt
// font that draws a TFont (no antialiasing, no kerning).
#pragma once

#include "platform/Graphics.h"

#include <QFont>
#include <QString>

#include <string>

// The installed family that stands in for a font name: "MS Sans Serif" and
// "Arial" become Liberation Sans, "Times New Roman" Liberation Serif,
// "Courier New" Liberation Mono, and so on; an installed family keeps its
// name; anything else falls back by pitch.
std::string MapFontFamily(const std::string& name, TFontPitch pitch);

// The Qt font for a TFont. Needs the Qt application object.
QFont ToQFont(const TFont& font);

// The bytes of a text in the code page of the font's charset.
QString DecodeFontText(const TFont& font, const std::string& text);
