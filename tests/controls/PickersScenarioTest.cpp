// A user's run through the real widgets: a colour swatch button opens the
// colour picker, the font combo box chooses from 25 fonts, and the
// character picker returns a letter.
#include "controls/Bitmpbtn.h"
#include "controls/CharPicker.h"
#include "controls/ColorPicker.h"
#include "controls/DrawGrid.h"
#include "controls/PopupWindow.h"
#include "controls/TrackBar.h"
#include "controls/WPopOutFntCBox.h"
#include "tests/controls/ControlTestHelpers.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <vector>

namespace {

class PickersScenarioTest : public testing::Test {
 protected:
  PickersScenarioTest() {
    page.setGeometry(50, 50, 500, 300);
    swatch->setObjectName("TextColor_Button");
    swatch->SetBounds(20, 20, 40, 22);
    swatch->SetButtonColor(clRed);
    // The page's wiring, as the main window's colour buttons do it.
    swatch->OnClick = [this](QObject* sender) {
      picker->SetColor(swatch->ButtonColor());
      picker->Popup(qobject_cast<QWidget*>(sender));
    };
    picker->OnColorChange = [this](QObject*, TColor value) {
      reported.push_back(value);
      if (auto* button = qobject_cast<TBitmapButton*>(picker->LastControl())) button->SetButtonColor(value);
    };
    ActivateWindow(page);
  }
  void OpenFromSwatch() {
    QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(10, 10));
    QCoreApplication::processEvents();
  }
  TColor SwatchFace() { return swatch->PaintPicture(clBlack).Pixel(20, 11); }

  ScriptedUiServices ui;
  QWidget page;
  TBitmapButton* swatch = new TBitmapButton(&page);
  TColorPicker* picker = new TColorPicker(&page);
  std::vector<TColor> reported;
};

}  // namespace

TEST_F(PickersScenarioTest, AColourSwatchThroughTheColourPicker) {
  ASSERT_EQ(SwatchFace(), clRed);
  TPopupWindow& form = picker->Form();

  // Opens at the swatch's centre; a click on the yellow cell reports once.
  OpenFromSwatch();
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.pos(), swatch->mapToGlobal(QPoint(20, 11)));
  EXPECT_TRUE(form.isActiveWindow());
  QTest::mouseClick(&picker->Grid(), Qt::LeftButton, {}, QPoint(3 * 14 + 7, 2 * 14 + 7));
  EXPECT_EQ(reported, std::vector<TColor>{0x0000FFFF});
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(SwatchFace(), clYellow);

  // A drag on the green bar reports the mixes live and the swatch follows.
  OpenFromSwatch();
  reported.clear();
  TTrackBar& green = picker->GreenBar();
  ASSERT_EQ(green.Position(), 255);
  QTest::mousePress(&green, Qt::LeftButton, {}, QPoint(green.PositionX(255), 6));
  for (int x = green.PositionX(255) - 6; x >= green.PositionX(128); x -= 6) QTest::mouseMove(&green, QPoint(x, 6));
  QTest::mouseRelease(&green, Qt::LeftButton, {}, QPoint(green.PositionX(128), 6));
  ASSERT_GE(reported.size(), 3u);
  for (TColor value : reported) {
    EXPECT_EQ(GetRValue(value), 255);
    EXPECT_EQ(GetBValue(value), 0);
  }
  EXPECT_LT(GetGValue(reported.back()), 140);
  EXPECT_EQ(SwatchFace(), reported.back());
  EXPECT_TRUE(form.isVisible());

  // "More Colors...": cancelled, the pop-up comes back without an event;
  // then a colour is chosen and closes it.
  const TColor beforeDialog = picker->Color();
  reported.clear();
  ui.colorAnswers = {std::nullopt, RGB(10, 20, 30)};
  QTest::mouseClick(&picker->MoreColorsButton(), Qt::LeftButton);
  EXPECT_TRUE(reported.empty());
  EXPECT_TRUE(form.isVisible());
  QTest::mouseClick(&picker->MoreColorsButton(), Qt::LeftButton);
  EXPECT_EQ(ui.colorRequests, (std::vector<TColor>{beforeDialog, beforeDialog}));
  EXPECT_EQ(reported, std::vector<TColor>{RGB(10, 20, 30)});
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(SwatchFace(), RGB(10, 20, 30));

  // Esc closes with the colour as it stands.
  OpenFromSwatch();
  reported.clear();
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_EQ(reported, std::vector<TColor>{RGB(10, 20, 30)});
  EXPECT_FALSE(form.isVisible());

  // Another window's activation closes it, once.
  OpenFromSwatch();
  reported.clear();
  QWidget other;
  other.setGeometry(650, 650, 60, 40);
  ActivateWindow(other);
  EXPECT_EQ(reported, std::vector<TColor>{RGB(10, 20, 30)});
  EXPECT_FALSE(form.isVisible());
}

TEST_F(PickersScenarioTest, TheFontComboWithTwentyFiveInjectedFonts) {
  std::vector<TScreenFont> fonts;
  for (int i = 1; i <= 25; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "Face %02d", i);
    fonts.push_back({name, true});
  }
  SetScreenFonts([&fonts] { return fonts; });
  auto* combo = new TWPopOutFntCBox(&page);
  combo->setObjectName("FontsList2");
  combo->setGeometry(20, 60, 145, 21);
  combo->show();
  std::vector<std::string> chosen;
  combo->OnFontChange = [&](QObject*) { chosen.push_back(combo->FontName()); };

  combo->showPopup();
  EXPECT_EQ(combo->count(), 25);
  EXPECT_TRUE(combo->PreviewWindow().isVisible());
  EXPECT_TRUE(page.isActiveWindow()) << "the preview takes no activation";
  QAbstractItemView* view = combo->view();
  const QModelIndex tenth = view->model()->index(9, 0);
  view->scrollTo(tenth);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(tenth).center());
  QCoreApplication::processEvents();
  EXPECT_EQ(chosen, std::vector<std::string>{"Face 10"});
  EXPECT_EQ(combo->ItemName(0), "Face 10");
  EXPECT_EQ(combo->UsedBlockEnd(), 0);
  EXPECT_EQ(combo->OverlayEdit().text(), "Face 10");
  EXPECT_FALSE(combo->PreviewWindow().isVisible());
  SetScreenFonts({});
}

TEST_F(PickersScenarioTest, TheCharacterPickerReturnsTheClickedLetter) {
  auto* insert = new QToolButton(&page);
  insert->setGeometry(20, 100, 24, 22);
  TCharPicker chars(&page);
  // The click is scheduled before Execute starts waiting.
  QTimer::singleShot(0, &page, [&chars] {
    const TRect cell = chars.Grid().CellRect(1, 1);
    QTest::mouseClick(&chars.Grid(), Qt::LeftButton, {}, QPoint(cell.Left + 6, cell.Top + 8));
  });
  EXPECT_TRUE(chars.Execute(insert));
  EXPECT_EQ(chars.ReturnChar(), 'A');
  EXPECT_FALSE(chars.Form().isVisible());
}
