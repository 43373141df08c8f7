// The sprite, frame and background pages.
#pragma once

#include "app/MainFormArea.h"

class TFramePagesArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;
};
