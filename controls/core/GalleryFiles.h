// What the animation gallery reads: the project files of its folder and, for
// each, the checksum and the scene. The gallery is a pop-up that closes when
// it loses the activation, so nothing here shows a message: a message box
// would take the activation and close the gallery under the reading.
#pragma once

#include <string>
#include <vector>

class TAnimatedScene;

// The files of the folder whose names end with the extension (in any case,
// ".glm" finds "Intro.GLM"), as full paths in a stable sorted order.
std::vector<std::string> GalleryFileNames(const std::string& Directory, const std::string& DataExtension);
// Whether the file's checksum trailer matches its bytes; false also when it
// cannot be read. Shows nothing.
bool GalleryFileIntact(const std::string& fileName);
// Reads the file into the scene, in preview mode (up to the stored preview,
// without sprites and without drawing the background) or whole, showing
// nothing. False when the read failed.
bool ReadGalleryFile(TAnimatedScene& scene, const std::string& fileName, bool previewMode);
