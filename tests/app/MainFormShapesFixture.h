// Helpers of the shape, line and plain-text page tests: the real main window
// with its scene tree, and typing, clicking and colour choosing as a user does.
#pragma once

#include "tests/app/MainFormTreeFixture.h"
#include "tests/support/FindChild.h"

#include "controls/Bitmpbtn.h"
#include "controls/ColorPicker.h"
#include "controls/My_SpinEdit.h"
#include "controls/PopupWindow.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QRadioButton>

class MainFormShapesTest : public MainFormTreeTest {
 protected:
  // Replaces a spin edit's text by typing.
  static void Type(TSpinEdit* spin, const char* text) {
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, text);
  }
  // Clicks a check box or radio button on its indicator.
  static void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  }
  static QRadioButton* Item(QGroupBox* group, int index) { return group->findChildren<QRadioButton*>().at(index); }
  // Chooses a colour for a colour button through the colour picker.
  void ChooseColor(TBitmapButton* button, TColor color) {
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(Child<TColorPicker>(Form(), "ColorPicker1")->PopupVisible());
    Child<TColorPicker>(Form(), "ColorPicker1")->SetColor(color);
    Child<TColorPicker>(Form(), "ColorPicker1")->ClosePanel();
  }
  // The Undo command as the user sees it: its caption without the accelerator mark.
  std::string UndoCaption() { return Command(Form(), "Edit_Undo")->text().remove('&').toStdString(); }
};
