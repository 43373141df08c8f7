// The motion and appearance pages.
#pragma once

#include "app/MainFormArea.h"

class TMotionArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;
};
