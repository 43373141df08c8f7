// The forms the export wizard opens from its pages: the colour-table editor
// (a frame's colours, a transparent colour picked from them, a custom
// palette to confirm) and the image interval dialog (the frames of a video).
#include "dialogs/ExportFrmU.h"

bool TExportFrm::ViewCustomPalette(const TMaxLogPalette&) { return true; }

bool TExportFrm::PickPaletteColor(int, TColor&, int&) { return false; }

void TExportFrm::EditPaletteButtonClick() {}

bool TExportFrm::ChooseVideoFrames(const std::string&, int frameCount, int& first, int& count) {
  first = 1;
  count = frameCount;
  return true;
}
