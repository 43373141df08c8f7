// The window's panels.
#pragma once

#include "app/MainFormArea.h"

class TLayoutArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;
};
