// The class library's paint box: a graphic control that draws nothing of its
// own; its owner paints it in OnPaint on the control's canvas, which has been
// filled with the box's colour.
#pragma once

#include "controls/GraphicControl.h"
#include "platform/Colors.h"
#include "platform/Events.h"

class TPaintBox : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TPaintBox(QWidget* parent = nullptr);

  // The colour the canvas is filled with before OnPaint (the parent's face colour).
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  // The canvas OnPaint draws on; its brush holds the box's colour when OnPaint runs.
  using TGraphicControl::Canvas;

  TNotifyEvent OnPaint;

 protected:
  void Paint() override;

 private:
  TColor color_ = clBtnFace;
};
