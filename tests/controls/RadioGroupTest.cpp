#include "controls/RadioGroup.h"

#include <gtest/gtest.h>

#include <QRadioButton>
#include <QTest>

namespace {

TEST(RadioGroup, ItemsAreNamedButtonsOfWhichOneIsChosen) {
  TRadioGroup group;
  group.setObjectName("TypeOfResizeRadio");
  group.SetCaption(" Re&sample: ");
  group.SetItems({"&Anti-Alias", "Stretch/&Truncate"});
  EXPECT_EQ(group.title(), " Re&sample: ");
  ASSERT_EQ(group.Count(), 2);
  EXPECT_EQ(group.Button(1)->objectName(), "TypeOfResizeRadio_1");
  EXPECT_EQ(group.Button(1)->text(), "Stretch/&Truncate");
  EXPECT_EQ(group.ItemIndex(), -1);
  group.SetItemIndex(1);
  EXPECT_EQ(group.ItemIndex(), 1);
  group.SetItemIndex(0);
  EXPECT_FALSE(group.Button(1)->isChecked());
  group.SetItemIndex(-1);
  EXPECT_EQ(group.ItemIndex(), -1);
  EXPECT_EQ(group.Button(5), nullptr);
}

TEST(RadioGroup, OnlyAUsersChoiceFiresOnClick) {
  TRadioGroup group;
  group.SetItems({"One", "Two"});
  int clicks = 0;
  group.OnClick = [&](QObject* sender) {
    EXPECT_EQ(sender, &group);
    ++clicks;
  };
  group.SetItemIndex(0);
  EXPECT_EQ(clicks, 0);
  group.show();
  QTest::mouseClick(group.Button(1), Qt::LeftButton, {}, QPoint(5, group.Button(1)->height() / 2));
  EXPECT_EQ(group.ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
