#include "dialogs/SizeLink.h"

#include "controls/My_SpinEdit.h"
#include "tests/dialogs/DialogTestSupport.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QWidget>

namespace {

// Four fields and the ratio box on a shown window, their change events
// running the link as a dialog's do.
struct LinkedFields {
  QWidget window;
  TSpinEdit* width = MakeField(1, 65000, 1);
  TSpinEdit* height = MakeField(1, 65000, 1);
  TSpinEdit* widthPercent = MakeField(1, 10000, 100);
  TSpinEdit* heightPercent = MakeField(1, 10000, 100);
  QCheckBox* ratio = new QCheckBox(&window);
  TSizeLink link{*width, *height, *widthPercent, *heightPercent, *ratio};

  LinkedFields(int baseWidth, int baseHeight) {
    link.BaseWidth = baseWidth;
    link.BaseHeight = baseHeight;
    width->OnChange = [this](QObject*) { link.WidthPixelsChange(); };
    height->OnChange = [this](QObject*) { link.HeightPixelsChange(); };
    widthPercent->OnChange = [this](QObject*) { link.PercentOfStretchChange(); };
    heightPercent->OnChange = [this](QObject*) { link.PercentOfHeightChange(); };
    window.show();
  }
  TSpinEdit* MakeField(int minValue, int maxValue, int value) {
    auto* field = new TSpinEdit(&window);
    field->SetMinValue(minValue);
    field->SetMaxValue(maxValue);
    field->SetValue(value);
    return field;
  }
};

TEST(SizeLink, SetPixelsGivesEachSideItsOwnPercentAndKeepsTheRatioBox) {
  LinkedFields fields(468, 60);
  fields.ratio->setChecked(true);
  fields.link.SetPixels(234, 90);
  EXPECT_EQ(fields.widthPercent->Value(), 50);
  EXPECT_EQ(fields.heightPercent->Value(), 150);
  EXPECT_TRUE(fields.ratio->isChecked());
  fields.ratio->setChecked(false);
  fields.link.SetPixels(468, 60);
  EXPECT_EQ(fields.widthPercent->Value(), 100);
  EXPECT_EQ(fields.heightPercent->Value(), 100);
  EXPECT_FALSE(fields.ratio->isChecked());
}

TEST(SizeLink, AWidthTypedDigitByDigitIsNeverWrittenBack) {
  LinkedFields fields(468, 60);
  fields.ratio->setChecked(true);
  fields.link.SetPixels(468, 60);
  // "2" is 0.4 %, held at 1 %, whose pixels (5) must not replace the 2 being typed.
  TypeInto(*fields.width, "234");
  EXPECT_EQ(fields.width->Text(), "234");
  EXPECT_EQ(fields.widthPercent->Value(), 50);
  EXPECT_EQ(fields.heightPercent->Value(), 50);
  EXPECT_EQ(fields.height->Value(), 30);
}

TEST(SizeLink, HundredPercentIsTheBaseItself) {
  LinkedFields fields(301, 7);
  fields.link.SetPixels(301, 7);
  TypeInto(*fields.widthPercent, "33");
  EXPECT_EQ(fields.width->Value(), 99);
  EXPECT_EQ(fields.height->Value(), 7) << "without the ratio the height keeps its size";
  TypeInto(*fields.widthPercent, "100");
  EXPECT_EQ(fields.width->Value(), 301);
}

}  // namespace
