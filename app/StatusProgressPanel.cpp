#include "app/StatusProgressPanel.h"

TStatusProgressPanel::TStatusProgressPanel(QWidget* parent) : TGraphicControl(parent) {}

void TStatusProgressPanel::Paint() {
  Canvas().Brush().Color = clBtnFace;
  Canvas().Brush().Style = bsSolid;
  Canvas().FillRect(ClientRect());
  if (OnDrawPanel) OnDrawPanel(Canvas(), ClientRect());
}
