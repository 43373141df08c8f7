// Motion steps the scene and export tests build their paths from.
#pragma once

#include "scene/Moving.h"

// Stands still at (x, y); a duration of -1 holds to the end of the path.
inline TMovingStepValues HoldAt(double x, double y, int duration = -1) {
  TMovingStepValues v;
  v.Kind = mskHold;
  v.StartX = x, v.StartY = y;
  v.Duration = duration;
  return v;
}

// Moves from (x1, y1) to (x2, y2) at an even speed.
inline TMovingStepValues LineFrom(double x1, double y1, double x2, double y2, double speed) {
  TMovingStepValues v;
  v.Kind = mskLine;
  v.X1 = x1, v.Y1 = y1, v.X2 = x2, v.Y2 = y2;
  v.StartX = x1, v.StartY = y1;
  v.SpeedStart = v.SpeedEnd = speed;
  return v;
}
