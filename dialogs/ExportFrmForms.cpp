// The forms the export wizard opens from its pages: the colour-table editor
// (a frame's colours, a transparent colour picked from them, a custom
// palette to confirm) and the image interval dialog (the frames of a video).
#include "controls/Bitmpbtn.h"
#include "controls/DrawGrid.h"
#include "dialogs/EditPaletteFormU.h"
#include "dialogs/ExportFrmU.h"
#include "dialogs/FramesIntervalFormU.h"
#include "imaging/MinGDIBitmapU.h"
#include "platform/ModalForms.h"
#include "platform/UiServices.h"

#include <QCheckBox>
#include <QPushButton>

#include <vector>

namespace {

TPalette PaletteOf(const TMaxLogPalette& table) {
  std::vector<TPaletteEntry> entries(table.palPalEntry.begin(), table.palPalEntry.end());
  return CreatePalette(entries);
}

// The editor for picking or viewing: no colour edits, no files, no "all frames".
void UseForPickingOnly(TEditPaletteForm& form) {
  form.UsePickMode();
  form.LoadPalBtn->hide();
  form.SavePalBtn->hide();
}

}  // namespace

bool TExportFrm::ViewCustomPalette(const TMaxLogPalette& palette) {
  TEditPaletteForm form(this);
  form.Palette = PaletteOf(palette);
  UseForPickingOnly(form);
  return ShowModal(form) == mrOk;
}

bool TExportFrm::PickPaletteColor(int index, TColor& color, int& paletteIndex) {
  TEditPaletteForm form(this);
  form.Palette = frameList_.Frame(index).Bitmap->Palette();
  form.CurrentColor = color;
  UseForPickingOnly(form);
  if (ShowModal(form) != mrOk) return false;
  color = form.SelectedColor();
  paletteIndex = form.SelectedIndex();
  return true;
}

void TExportFrm::EditPaletteButtonClick() {
  const int index = SelectedFrame();
  if (index < 0) return;
  if (!frameList_.HasColorTable(index)) {
    Ui().MessageBox(0, SImageHasNoPalette, "Information", MB_OK | MB_ICONINFORMATION);
    return;
  }
  TEditPaletteForm form(this);
  form.Palette = frameList_.Frame(index).Bitmap->Palette();
  form.CurrentColor = ImageColorPanel->ButtonColor();
  if (ShowModal(form) != mrOk) return;
  std::vector<TColor> colors;
  for (const TPaletteEntry& entry : form.Table().palPalEntry) colors.push_back(ColorOf(entry));
  {
    const TBusy busy(*this);
    const TBusyCursor cursor;
    Attempt([&] { frameList_.ApplyColorTable(index, form.SetToAllFrames(), colors, this); });
  }
  GIF_PicturesGrid->Repaint();
  GIF_PicturesGridClick();
}

bool TExportFrm::ChooseVideoFrames(const std::string& fileName, int frameCount, int& first, int& count) {
  TFramesIntervalForm form(this);
  form.AVIFileName = fileName;
  form.SetFrameCount(frameCount);
  if (ShowModal(form) != mrOk) return false;
  first = form.FirstFrame() + 1;
  count = form.FrameCount();
  return true;
}
