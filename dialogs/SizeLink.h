// The pixel and per-cent size link of the export wizard, the animation size
// dialog and the resize dialog: two pixel fields (width, height) and two
// per-cent fields of a base size, kept in step with each other, and
// "Maintain aspect ratio", which passes a per-cent change of one side to the
// other. The dialog calls the four change handlers from its fields' change
// events; the link's own writes come back through those events and stop as
// soon as a field already agrees. The field the user changed is never
// written back while its change runs through the others: a width typed
// digit by digit ("2", "23", "234") is not turned into the pixels of the
// smallest per cent on the way.
#pragma once

class QCheckBox;
class TSpinEdit;

class TSizeLink {
 public:
  TSizeLink(TSpinEdit& widthPixels, TSpinEdit& heightPixels, TSpinEdit& percentOfStretch, TSpinEdit& percentOfHeight,
            QCheckBox& maintainRatio);

  // The size that 100 per cent stands for (the scene's size).
  int BaseWidth = 1;
  int BaseHeight = 1;

  // Puts a size into the pixel fields with "Maintain aspect ratio" unticked
  // for the while, so that each per cent follows its own side, and ticks it
  // again when it was ticked.
  void SetPixels(int width, int height);

  // The change handlers of the four fields.
  void WidthPixelsChange();
  void HeightPixelsChange();
  void PercentOfStretchChange();
  void PercentOfHeightChange();

 private:
  class TChange;
  // Sets a field to a value unless it shows it already or it is the field
  // whose change is running.
  void Put(TSpinEdit& field, int value);

  TSpinEdit* source_ = nullptr;
  TSpinEdit& widthPixels_;
  TSpinEdit& heightPixels_;
  TSpinEdit& percentOfStretch_;
  TSpinEdit& percentOfHeight_;
  QCheckBox& maintainRatio_;
};
