// The owner-drawn panel of the main window's status bar (panel 2), where
// long operations show their progress. It paints through the canvas into its
// picture; what it shows is drawn by its owner's OnDrawPanel.
#pragma once

#include "controls/GraphicControl.h"

#include <functional>

class TStatusProgressPanel : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TStatusProgressPanel(QWidget* parent = nullptr);

  // Draws the panel's rectangle on the canvas.
  std::function<void(TCanvas& canvas, const TRect& panel)> OnDrawPanel;

 protected:
  void Paint() override;
};
