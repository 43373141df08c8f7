#include "controls/core/GalleryFiles.h"

#include "controls/core/PreviewPicture.h"
#include "imaging/utils.h"
#include "platform/FileSearch.h"
#include "platform/SilentUi.h"
#include "platform/SysUtils.h"

std::vector<std::string> GalleryFileNames(const std::string& Directory, const std::string& DataExtension) {
  const std::string folder = IncludeTrailingPathDelimiter(Directory);
  std::vector<std::string> files = FindFiles(folder + "*" + DataExtension);
  for (std::string& name : files) name = folder + name;
  return files;
}

bool GalleryFileIntact(const std::string& fileName) {
  TSilentUi silent;  // a file that cannot be opened would otherwise say so
  return CheckFileChecksum(fileName, false);
}

bool ReadGalleryFile(TAnimatedScene& scene, const std::string& fileName, bool previewMode) {
  TSilentUi silent;
  return ReadProject(scene, fileName, previewMode);
}
