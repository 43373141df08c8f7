// Galleries, presets, templates and the remaining scene commands.
#pragma once

#include "app/MainFormArea.h"

class TGalleriesArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;
};
