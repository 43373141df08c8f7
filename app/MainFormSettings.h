// Settings, recent files, dialog folders and Options.
#pragma once

#include "app/MainFormArea.h"

class TSettingsArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;
};
