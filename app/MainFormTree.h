// The scene tree and the command states.
#pragma once

#include "app/MainFormArea.h"

class TTreeArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;
};
