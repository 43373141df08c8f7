// The "Animation Size" dialog (TSetBackgroundFrm): the size View > Custom
// Size gives the document's canvas, in pixels or in per cent of the scene's
// size (the link of TPixelSizeForm).
//
//   TSetBackgroundFrm form(scene->Width, scene->Height, MainForm);
//   if (ShowModal(form) == mrOk) { ...resize the canvas to
//       form.WidthPixels->Value() x form.HeightPixels->Value()... }
//
// OK answers only with a size the project reader can open again (an 8193 x
// 8193 canvas is refused with the size message and the dialog stays open).
// Enter answers OK, Esc closes, F1 and Help open the help topic "background".
#pragma once

#include "dialogs/PixelSizeForm.h"

class TSetBackgroundFrm : public TPixelSizeForm {
  Q_OBJECT

 public:
  TSetBackgroundFrm(int sceneWidth, int sceneHeight, QWidget* owner = nullptr);

  // ---- Handlers ----
  // The base and the shown size become the scene's size.
  void FormCreate(int sceneWidth, int sceneHeight);
  void FormKeyPress(char& Key);
  void FormKeyDown(WORD& Key, TShiftState Shift);
  void HelpBtnClick();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};
