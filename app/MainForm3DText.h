// The 3D text editor, its lights and its animation preview.
#pragma once

#include "app/MainFormArea.h"

class TText3DArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;
};
