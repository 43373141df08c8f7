// The forms the export wizard opens from its pages: the colour-table editor
// (a frame's colours, a transparent colour picked from them, a custom
// palette to confirm) and the image interval dialog (the frames of a video).
#include "controls/Bitmpbtn.h"
#include "controls/DrawGrid.h"
#include "dialogs/ExportFrmU.h"
#include "dialogs/FramesIntervalFormU.h"
#include "imaging/MinGDIBitmapU.h"
#include "platform/ModalForms.h"
#include "platform/UiServices.h"

// The colour-table editor is built beside the effects dialog; until it is
// part of the program, a frame's colours cannot be edited, a transparent
// colour is chosen in the colour chooser and a loaded palette is taken as
// it is.
#if __has_include("dialogs/EditPaletteFormU.h")
#include "dialogs/EditPaletteFormU.h"
#define GC_COLOR_TABLE_EDITOR 1
#else
#define GC_COLOR_TABLE_EDITOR 0
#endif

#include <QCheckBox>
#include <QPushButton>

#include <vector>

namespace {

#if GC_COLOR_TABLE_EDITOR
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
#endif

}  // namespace

bool TExportFrm::ViewCustomPalette(const TMaxLogPalette& palette) {
#if GC_COLOR_TABLE_EDITOR
  TEditPaletteForm form(this);
  form.Palette = PaletteOf(palette);
  UseForPickingOnly(form);
  return ShowModal(form) == mrOk;
#else
  (void)palette;
  return true;
#endif
}

bool TExportFrm::PickPaletteColor(int index, TColor& color, int& paletteIndex) {
#if GC_COLOR_TABLE_EDITOR
  TEditPaletteForm form(this);
  form.Palette = frameList_.Frame(index).Bitmap->Palette();
  form.CurrentColor = color;
  UseForPickingOnly(form);
  if (ShowModal(form) != mrOk) return false;
  color = form.SelectedColor();
  paletteIndex = form.SelectedIndex();
  return true;
#else
  (void)index;
  const std::optional<TColor> chosen = Ui().ChooseColor(color);
  if (!chosen) return false;
  color = *chosen;
  paletteIndex = -1;
  return true;
#endif
}

void TExportFrm::EditPaletteButtonClick() {
  const int index = SelectedFrame();
  if (index < 0) return;
  if (!frameList_.HasColorTable(index)) {
    Ui().MessageBox(0, SImageHasNoPalette, "Information", MB_OK | MB_ICONINFORMATION);
    return;
  }
#if GC_COLOR_TABLE_EDITOR
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
#endif
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
