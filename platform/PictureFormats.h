// The picture formats the program can open besides BMP: a small registry from
// a file extension to a function that loads a file of that format into a
// bitmap. Image modules register their format when the program starts.
#pragma once

#include <functional>
#include <string>
#include <vector>

class TBitmap;

using TPictureLoader = std::function<void(const std::string& fileName, TBitmap& bitmap)>;

struct TPictureFormat {
  std::string Extension;    // lower case, without the dot ("gif")
  std::string Description;  // "GIF-Format"
  TPictureLoader Loader;
};

// Registers (or replaces) the loader for an extension; "gif", ".gif" and
// ".GIF" are the same extension.
void RegisterFileFormat(const std::string& extension, const std::string& description, TPictureLoader loader);
void UnregisterFileFormat(const std::string& extension);
// The format of an extension, or nullptr.
const TPictureFormat* FindFileFormat(const std::string& extension);
std::vector<TPictureFormat> RegisteredFileFormats();

// Loads the file with the loader registered for its extension. Returns false
// when no format is registered for it; loader errors propagate.
bool LoadPictureFile(const std::string& fileName, TBitmap& bitmap);
