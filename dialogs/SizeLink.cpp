#include "dialogs/SizeLink.h"

#include "controls/My_SpinEdit.h"
#include "dialogs/core/SizeLink.h"

#include <QCheckBox>

TSizeLink::TSizeLink(TSpinEdit& widthPixels, TSpinEdit& heightPixels, TSpinEdit& percentOfStretch,
                     TSpinEdit& percentOfHeight, QCheckBox& maintainRatio)
    : widthPixels_(widthPixels),
      heightPixels_(heightPixels),
      percentOfStretch_(percentOfStretch),
      percentOfHeight_(percentOfHeight),
      maintainRatio_(maintainRatio) {}

void TSizeLink::SetPixels(int width, int height) {
  const bool keepRatio = maintainRatio_.isChecked();
  maintainRatio_.setChecked(false);
  widthPixels_.SetValue(width);
  heightPixels_.SetValue(height);
  // A field that already showed its number fired no change: its per cent
  // would still be that of an earlier base.
  WidthPixelsChange();
  HeightPixelsChange();
  maintainRatio_.setChecked(keepRatio);
}

// The field whose change started the chain, for the chain's length: the
// handlers that the link's own writes run do not replace it.
class TSizeLink::TChange {
 public:
  TChange(TSizeLink& link, TSpinEdit& field) : link_(link), outermost_(link.source_ == nullptr) {
    if (outermost_) link_.source_ = &field;
  }
  ~TChange() {
    if (outermost_) link_.source_ = nullptr;
  }
  TChange(const TChange&) = delete;
  TChange& operator=(const TChange&) = delete;

 private:
  TSizeLink& link_;
  bool outermost_;
};

void TSizeLink::Put(TSpinEdit& field, int value) {
  if (&field == source_ || field.Value() == value) return;
  field.SetValue(value);
}

void TSizeLink::WidthPixelsChange() {
  const TChange change(*this, widthPixels_);
  Put(percentOfStretch_, PercentAfterPixelsChange(widthPixels_.Value(), percentOfStretch_.Value(), BaseWidth));
}

void TSizeLink::HeightPixelsChange() {
  const TChange change(*this, heightPixels_);
  Put(percentOfHeight_, PercentAfterPixelsChange(heightPixels_.Value(), percentOfHeight_.Value(), BaseHeight));
}

void TSizeLink::PercentOfStretchChange() {
  const TChange change(*this, percentOfStretch_);
  Put(widthPixels_, PixelsAfterPercentChange(widthPixels_.Value(), percentOfStretch_.Value(), BaseWidth));
  if (maintainRatio_.isChecked()) Put(percentOfHeight_, percentOfStretch_.Value());
}

void TSizeLink::PercentOfHeightChange() {
  const TChange change(*this, percentOfHeight_);
  Put(heightPixels_, PixelsAfterPercentChange(heightPixels_.Value(), percentOfHeight_.Value(), BaseHeight));
  if (maintainRatio_.isChecked()) Put(percentOfStretch_, percentOfHeight_.Value());
}
