// The "Resize" dialog (TStretchForm): the size Effects > Resize gives every
// frame of a sprite, in pixels or in per cent of the first frame's size (the
// link of TPixelSizeForm), and how the pictures are resampled.
//
// The main window creates it once, right after itself, and reuses it:
//
//   StretchForm->BaseWidth = StretchForm->WidthValue = picture.Width();
//   StretchForm->BaseHeight = StretchForm->HeightValue = picture.Height();
//   StretchForm->TypeOfResizeRadio->SetItemIndex(settings.TypeOfResize);
//   if (ShowModal(*StretchForm) == mrOk) { ...resize to
//       StretchForm->WidthValue x StretchForm->HeightValue, resampling when
//       TypeOfResizeRadio->ItemIndex() is 0... }
//
// OK (also Enter) keeps the size in WidthValue and HeightValue, so the form
// shows it again next time unless the caller presets new values; it answers
// only with a size the project reader can open again. Esc closes.
#pragma once

#include "dialogs/PixelSizeForm.h"

class TRadioGroup;

class TStretchForm : public TPixelSizeForm {
  Q_OBJECT

 public:
  explicit TStretchForm(QWidget* owner = nullptr);

  // ---- Components ----
  // " Resample Process: ": 0 "Anti-Alias" (chosen at creation), 1 "Stretch/Truncate".
  TRadioGroup* TypeOfResizeRadio = nullptr;

  // ---- Handlers ----
  // The shown size starts at 1 x 1.
  void FormCreate();
  void FormKeyPress(char& Key);
  // Checks the size, keeps it in WidthValue and HeightValue and answers OK.
  void OkBtnClick() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};
