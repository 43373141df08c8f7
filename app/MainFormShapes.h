// Adding sprites and frames; the shape, line and plain-text pages.
#pragma once

#include "app/MainFormArea.h"

class TShapesArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;
};
