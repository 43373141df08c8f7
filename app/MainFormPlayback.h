// Playback, the time line and the scene page.
#pragma once

#include "app/MainFormArea.h"

class TPlaybackArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;
};
