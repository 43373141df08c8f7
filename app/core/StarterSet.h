// The small set of templates, gallery presets and preset pictures that ships
// beside the program, made by our own scene and GIF writers: a build step
// runs it into the program's folder, where the template wizard, the
// galleries and Insert > Presets look for them.
#pragma once

#include <string>

// The folders under the program folder.
extern const char* const kBannersFolder;         // "Animations/Banners/"
extern const char* const kButtonsFolder;         // "Animations/Buttons/"
extern const char* const kLogosFolder;           // "Animations/Logos/"
extern const char* const k3DAnimationPresetsFolder;  // "Animations/3D Animation Presets/"
extern const char* const kColorPresetsFolder;    // "Animations/Color Presets/"
extern const char* const kMotionPresetsFolder;   // "Animations/Motion Presets/"
extern const char* const kPicturePresetsFolder;  // "Pictures/Presets/"

// Writes every file of the starter set under programFolder (with or without
// a trailing "/"), making the folders; project files carry their preview and
// checksum trailer. Raises on a failed write.
void WriteStarterSet(const std::string& programFolder);
