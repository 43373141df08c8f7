#include "platform/PictureFormats.h"

#include "platform/SysUtils.h"

#include <algorithm>

namespace {

std::vector<TPictureFormat>& Formats() {
  // Built on first use, so that registrations from static objects of any
  // module find it constructed (and outlive it at shut-down).
  static std::vector<TPictureFormat> formats;
  return formats;
}

std::string NormalizedExtension(const std::string& extension) {
  std::string e = LowerCaseAscii(extension);
  if (!e.empty() && e.front() == '.') e.erase(0, 1);
  return e;
}

std::vector<TPictureFormat>::iterator FindFormat(const std::string& normalized) {
  auto& formats = Formats();
  return std::find_if(formats.begin(), formats.end(),
                      [&](const TPictureFormat& f) { return f.Extension == normalized; });
}

}  // namespace

void RegisterFileFormat(const std::string& extension, const std::string& description, TPictureLoader loader) {
  const std::string e = NormalizedExtension(extension);
  auto it = FindFormat(e);
  if (it != Formats().end()) {
    it->Description = description;
    it->Loader = std::move(loader);
  } else {
    Formats().push_back({e, description, std::move(loader)});
  }
}

void UnregisterFileFormat(const std::string& extension) {
  auto it = FindFormat(NormalizedExtension(extension));
  if (it != Formats().end()) Formats().erase(it);
}

const TPictureFormat* FindFileFormat(const std::string& extension) {
  auto it = FindFormat(NormalizedExtension(extension));
  return it == Formats().end() ? nullptr : &*it;
}

std::vector<TPictureFormat> RegisteredFileFormats() { return Formats(); }

bool LoadPictureFile(const std::string& fileName, TBitmap& bitmap) {
  const TPictureFormat* format = FindFileFormat(ExtractFileExt(fileName));
  if (format == nullptr || !format->Loader) return false;
  format->Loader(fileName, bitmap);
  return true;
}
