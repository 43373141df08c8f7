#include "platform/Hints.h"
#include "platform/qtui/QtHints.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QWidget>

TEST(Hints, SplitAtTheFirstBar) {
  EXPECT_EQ(GetShortHint("Open|Opens an animation"), "Open");
  EXPECT_EQ(GetLongHint("Open|Opens an animation"), "Opens an animation");
  EXPECT_EQ(GetShortHint("Just one"), "Just one");
  EXPECT_EQ(GetLongHint("Just one"), "Just one");
  EXPECT_EQ(GetShortHint("a|b|c"), "a");
  EXPECT_EQ(GetLongHint("a|b|c"), "b|c");
  EXPECT_EQ(GetShortHint("|only long"), "");
  EXPECT_EQ(GetLongHint("only short|"), "");
  EXPECT_EQ(GetShortHint(""), "");
}

TEST(Hints, GoToToolTipAndStatusTipAsDisplayText) {
  QWidget widget;
  ApplyHint(widget, "Caf\xE9|Opens the caf\xE9 menu");
  EXPECT_EQ(widget.toolTip(), QString::fromUtf8("Café"));
  EXPECT_EQ(widget.statusTip(), QString::fromUtf8("Opens the café menu"));
  ApplyHint(widget, "Hidden tip|Still in the status bar", /*showToolTip=*/false);
  EXPECT_EQ(widget.toolTip(), QString());
  EXPECT_EQ(widget.statusTip(), "Still in the status bar");

  QAction action;
  ApplyHint(action, "Undo|Undoes the last change");
  EXPECT_EQ(action.toolTip(), "Undo");
  EXPECT_EQ(action.statusTip(), "Undoes the last change");
}
