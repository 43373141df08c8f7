// File commands, dropped files, autosave, the document windows' layout and the export command.
#pragma once

#include "app/MainFormArea.h"

class TFilesArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;
};
