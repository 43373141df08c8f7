#include "app/StatusProgressPanel.h"

// The status bar shows through wherever the owner draws nothing.
TStatusProgressPanel::TStatusProgressPanel(QWidget* parent) : TGraphicControl(parent) { SetTransparent(true); }

void TStatusProgressPanel::Paint() {
  if (OnDrawPanel) OnDrawPanel(Canvas(), ClientRect());
}
