// Effect and transform commands, and the clipboard.
#pragma once

#include "app/MainFormArea.h"

class TEffectsArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;
};
