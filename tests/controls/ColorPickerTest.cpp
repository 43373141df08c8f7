#include "controls/ColorPicker.h"

#include "controls/DrawGrid.h"
#include "controls/PopupWindow.h"
#include "controls/TrackBar.h"
#include "tests/controls/ControlTestHelpers.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <vector>

namespace {

class ColorPickerTest : public testing::Test {
 protected:
  ColorPickerTest() {
    system.screen = {800, 800};
    owner.setGeometry(100, 100, 300, 200);
    button->setGeometry(20, 20, 60, 20);
    ActivateWindow(owner);
    picker->OnColorChange = [this](QObject* sender, TColor value) {
      EXPECT_EQ(sender, picker);
      events.push_back(value);
    };
  }
  // Shows the pop-up at the button and lets it take the activation.
  void Open() {
    picker->Popup(button);
    QCoreApplication::processEvents();
    ASSERT_TRUE(picker->Form().isActiveWindow());
  }
  void ClickCell(int col, int row) {
    QTest::mouseClick(&picker->Grid(), Qt::LeftButton, {}, QPoint(col * 14 + 6, row * 14 + 6));
  }
  static TColor SwatchColor(QFrame& swatch) {
    const QColor c = swatch.palette().color(QPalette::Window);
    return RGB(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
               static_cast<std::uint8_t>(c.blue()));
  }

  FakeSystemValues system;
  ScriptedUiServices ui;
  QWidget owner;
  QWidget* button = new QWidget(&owner);
  TColorPicker* picker = new TColorPicker(&owner);
  std::vector<TColor> events;
};

}  // namespace

// ---- The parts ----

TEST_F(ColorPickerTest, PopupLayout) {
  EXPECT_EQ(picker->Form().size(), QSize(136, 173));
  EXPECT_EQ(picker->Form().parentWidget(), &owner);
  EXPECT_EQ(picker->Grid().BoundsRect(), Bounds(4, 4, 126, 70));
  EXPECT_EQ(picker->RedBar().BoundsRect(), Bounds(15, 79, 116, 21));
  EXPECT_EQ(picker->GreenBar().BoundsRect(), Bounds(15, 101, 116, 21));
  EXPECT_EQ(picker->BlueBar().BoundsRect(), Bounds(15, 123, 116, 21));
  EXPECT_EQ(picker->GreenBar().Max(), 255);
  EXPECT_EQ(picker->GreenBar().PageSize(), 64);
  EXPECT_EQ(picker->GreenBar().Frequency(), 64);
  EXPECT_EQ(picker->GreenBar().ThumbLength(), 12);
  EXPECT_EQ(picker->MoreColorsButton().text(), "More Colors...");
  EXPECT_EQ(picker->MoreColorsButton().geometry(), QRect(26, 148, 80, 20));
  EXPECT_EQ(picker->MoreColorsButton().statusTip(), "Click to get a Windows's \"Colors\" dialog box.");
  EXPECT_EQ(picker->MoreColorsButton().toolTip(), "");
  EXPECT_EQ(picker->OkButton().text(), "Ok");
  EXPECT_EQ(picker->OkButton().statusTip(), "Click to close the panel.");
  EXPECT_EQ(picker->Swatch().geometry(), QRect(4, 148, 20, 20));
  auto* marker = picker->Form().findChild<QFrame*>("GreenMarker");
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(marker->geometry(), QRect(4, 103, 10, 10));
  EXPECT_EQ(SwatchColor(*marker), RGB(0, 255, 0));
  EXPECT_EQ(TColorPicker::PaletteColor(0), RGB(0, 0, 0));
  EXPECT_EQ(TColorPicker::PaletteColor(23), RGB(0, 192, 255));
  EXPECT_EQ(TColorPicker::PaletteColor(44), RGB(228, 255, 255));
}

// ---- Placement ----

TEST_F(ColorPickerTest, OpensAtTheCentreOfAButtonWhoseClientOriginIsFiveHundredThreeHundred) {
  QWidget window;
  window.setGeometry(500, 300, 200, 100);
  QWidget swatch(&window);
  swatch.setGeometry(0, 0, 60, 20);
  window.show();
  ASSERT_EQ(swatch.mapToGlobal(QPoint(0, 0)), QPoint(500, 300));
  picker->Popup(&swatch);
  EXPECT_EQ(picker->Form().pos(), QPoint(530, 310));
  EXPECT_EQ(picker->Form().pos(), swatch.mapToGlobal(QPoint(30, 10)));
  EXPECT_EQ(picker->LastControl(), &swatch);
  EXPECT_TRUE(picker->PopupVisible());
}

TEST_F(ColorPickerTest, NearTheDesktopsCornerTheWholePopupStaysOnIt) {
  owner.move(740, 760);
  picker->Popup(button);
  EXPECT_EQ(picker->Form().pos(), QPoint(800 - 136, 800 - 173));
}

TEST_F(ColorPickerTest, WithoutAControlItOpensAtTheMouse) {
  QCursor::setPos(200, 150);
  picker->Popup(nullptr);
  EXPECT_EQ(picker->Form().pos(), QCursor::pos());
  EXPECT_EQ(picker->LastControl(), nullptr);
}

// ---- Colour ----

TEST_F(ColorPickerTest, SettingTheColourSelectsItsCellMovesTheBarsAndFiresNothing) {
  Open();
  picker->SetColor(0x0000FFFF);
  EXPECT_EQ(picker->Grid().Col(), 3);
  EXPECT_EQ(picker->Grid().Row(), 2);
  EXPECT_EQ(picker->RedBar().Position(), 255);
  EXPECT_EQ(picker->GreenBar().Position(), 255);
  EXPECT_EQ(picker->BlueBar().Position(), 0);
  EXPECT_EQ(SwatchColor(picker->Swatch()), RGB(255, 255, 0));

  picker->SetColor(0x00123456);
  EXPECT_EQ(picker->Grid().Col(), 3) << "a colour outside the table leaves the selection";
  EXPECT_EQ(picker->Grid().Row(), 2);
  EXPECT_EQ(picker->RedBar().Position(), 0x56);
  EXPECT_EQ(picker->GreenBar().Position(), 0x34);
  EXPECT_EQ(picker->BlueBar().Position(), 0x12);
  EXPECT_EQ(picker->GreenBar().SelStart(), 0);
  EXPECT_EQ(picker->GreenBar().SelEnd(), 0x34);
  EXPECT_EQ(picker->BlueBar().SelEnd(), 0x12);
  EXPECT_TRUE(events.empty()) << "callers never see the mixes on the way";
}

TEST_F(ColorPickerTest, SystemColoursMoveTheBarsToTheirValues) {
  picker->SetColor(clBtnFace);
  EXPECT_EQ(picker->Color(), clBtnFace);
  const TColor rgb = ColorToRGB(clBtnFace);
  EXPECT_EQ(picker->RedBar().Position(), GetRValue(rgb));
  EXPECT_EQ(picker->GreenBar().Position(), GetGValue(rgb));
  EXPECT_EQ(picker->BlueBar().Position(), GetBValue(rgb));
}

TEST_F(ColorPickerTest, DraggingTheGreenBarReportsLiveMixes) {
  picker->SetColor(0);
  Open();
  TTrackBar& green = picker->GreenBar();
  const int y = 6;
  QTest::mousePress(&green, Qt::LeftButton, {}, QPoint(green.PositionX(0), y));
  for (int x = green.PositionX(0) + 8; x < green.PositionX(128); x += 8) QTest::mouseMove(&green, QPoint(x, y));
  QTest::mouseMove(&green, QPoint(green.PositionX(128), y));
  QTest::mouseRelease(&green, Qt::LeftButton, {}, QPoint(green.PositionX(128), y));
  ASSERT_GE(events.size(), 3u) << "several times during the drag";
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(GetRValue(events[i]), 0);
    EXPECT_EQ(GetBValue(events[i]), 0);
    if (i > 0) {
      EXPECT_GT(GetGValue(events[i]), GetGValue(events[i - 1]));
    }
  }
  // 255 steps on 105 pixels: the drag ends a step off; a key finds 128.
  EXPECT_NEAR(GetGValue(events.back()), 128, 2);
  const std::size_t dragged = events.size();
  QTest::keyClick(&green, green.Position() > 128 ? Qt::Key_Left : Qt::Key_Right);
  ASSERT_EQ(events.size(), dragged + 1);
  EXPECT_EQ(events.back(), RGB(0, 128, 0));
  EXPECT_EQ(picker->Color(), RGB(0, 128, 0));
  EXPECT_EQ(green.SelStart(), 0);
  EXPECT_EQ(green.SelEnd(), 128);
  EXPECT_EQ(SwatchColor(picker->Swatch()), RGB(0, 128, 0));
  EXPECT_TRUE(picker->PopupVisible()) << "moving a bar keeps the pop-up open";
}

TEST_F(ColorPickerTest, BarsMovedWhileThePopupIsHiddenChangeTheColourQuietly) {
  picker->RedBar().SetPosition(10);
  EXPECT_EQ(picker->Color(), RGB(10, 0, 0));
  EXPECT_TRUE(events.empty());
}

// ---- Closing ----

TEST_F(ColorPickerTest, AGridClickChoosesTheCellAndClosesWithOneEvent) {
  Open();
  ClickCell(3, 2);
  EXPECT_EQ(events, std::vector<TColor>{0x0000FFFF});
  EXPECT_EQ(picker->Color(), 0x0000FFFFu);
  EXPECT_FALSE(picker->Form().isVisible());
  EXPECT_FALSE(picker->Form().IsOpen());
}

TEST_F(ColorPickerTest, OkEscAndClickingElsewhereCloseWithTheColourAsItStands) {
  picker->SetColor(RGB(1, 2, 3));
  Open();
  QTest::mouseClick(&picker->OkButton(), Qt::LeftButton);
  EXPECT_EQ(events, std::vector<TColor>{RGB(1, 2, 3)});

  Open();
  QTest::keyClick(&picker->GreenBar(), Qt::Key_Escape);
  EXPECT_EQ(events.size(), 2u) << "Esc on a focused bar reaches the pop-up";
  EXPECT_FALSE(picker->Form().isVisible());

  Open();
  QWidget other;
  other.setGeometry(600, 600, 40, 40);
  ActivateWindow(other);
  EXPECT_EQ(events.size(), 3u);
  EXPECT_FALSE(picker->Form().isVisible());
  EXPECT_EQ(events.back(), RGB(1, 2, 3));
}

TEST_F(ColorPickerTest, MoreColorsCancelledReturnsToThePopupWithoutAnEvent) {
  picker->SetColor(RGB(9, 8, 7));
  Open();
  ui.colorAnswers = {std::nullopt, RGB(40, 50, 60)};
  QTest::mouseClick(&picker->MoreColorsButton(), Qt::LeftButton);
  EXPECT_EQ(ui.colorRequests, std::vector<TColor>{RGB(9, 8, 7)});
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(picker->Form().isVisible());
  QCoreApplication::processEvents();
  EXPECT_TRUE(picker->Form().isActiveWindow()) << "shown again, it closes on deactivation as before";

  QTest::mouseClick(&picker->MoreColorsButton(), Qt::LeftButton);
  EXPECT_EQ(ui.colorRequests.size(), 2u);
  EXPECT_EQ(events, std::vector<TColor>{RGB(40, 50, 60)});
  EXPECT_EQ(picker->Color(), RGB(40, 50, 60));
  EXPECT_FALSE(picker->Form().isVisible());
  EXPECT_FALSE(picker->Form().IsOpen());
}

TEST_F(ColorPickerTest, ClosePanelFiresEvenWhenCalledOnAClosedPanel) {
  picker->ClosePanel();
  EXPECT_EQ(events.size(), 1u);
}

// ---- Cells ----

TEST_F(ColorPickerTest, CellsAreRaisedAndTheSelectedOneSunken) {
  picker->SetColor(0x0000FFFF);
  const TBitmap& p = picker->Grid().PaintPicture(clBlack);
  const TColor grey = 0x00808080;
  const TColor maroon = RGB(128, 0, 0);
  // Cell (1, 0) at x 14: white along its top and left, grey along its
  // bottom and right, the colour inside.
  EXPECT_EQ(p.Pixel(14, 0), clWhite);
  EXPECT_EQ(p.Pixel(25, 0), clWhite);
  EXPECT_EQ(p.Pixel(14, 11), clWhite);
  EXPECT_EQ(p.Pixel(26, 0), grey);
  EXPECT_EQ(p.Pixel(26, 12), grey);
  EXPECT_EQ(p.Pixel(14, 12), grey);
  EXPECT_EQ(p.Pixel(15, 1), maroon);
  EXPECT_EQ(p.Pixel(25, 11), maroon);
  EXPECT_EQ(PixelBounds(p, maroon), Rect(15, 1, 26, 12));
  // The selected cell (3, 2) at (42, 28): black frame, fixed colour sunken
  // with a grey top and left, the colour inside.
  EXPECT_EQ(p.Pixel(42, 28), clBlack);
  EXPECT_EQ(p.Pixel(54, 40), clBlack);
  EXPECT_EQ(p.Pixel(42, 35), clBlack);
  EXPECT_EQ(p.Pixel(43, 30), grey);
  EXPECT_EQ(p.Pixel(50, 29), grey);
  EXPECT_EQ(p.Pixel(53, 35), ColorToRGB(clBtnFace));
  EXPECT_EQ(p.Pixel(48, 39), ColorToRGB(clBtnFace));
  EXPECT_EQ(PixelBounds(p, clYellow), Rect(44, 30, 53, 39));
  EXPECT_EQ(p.Pixel(55, 35), ColorToRGB(clBtnShadow)) << "the grid's colour between the cells";
}

// ---- Lifetime ----

TEST_F(ColorPickerTest, ThePopupGoesWithThePicker) {
  QPointer<TPopupWindow> form = &picker->Form();
  Open();
  delete picker;
  picker = nullptr;
  EXPECT_TRUE(form.isNull());
}
