#include "controls/CharPicker.h"

#include "controls/DrawGrid.h"
#include "controls/HintWindow.h"
#include "controls/PopupWindow.h"
#include "tests/controls/ControlTestHelpers.h"
#include "tests/support/FakeSystemValues.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

class CharPickerTest : public testing::Test {
 protected:
  CharPickerTest() {
    system.screen = {800, 800};
    owner->setGeometry(100, 100, 300, 200);
    button->setGeometry(20, 20, 24, 22);
    ActivateWindow(*owner);
  }
  QPoint CellCentre(int col, int row) const { return QPoint(col * 12 + 6, row * 16 + 8); }
  // Runs the action once the pop-up waits. The action must end with the
// pop-up closed (no ASSERT in it), or Execute waits on.
  void WhileWaiting(std::function<void()> action) { QTimer::singleShot(0, owner.get(), std::move(action)); }

  FakeSystemValues system;
  std::unique_ptr<QWidget> owner = std::make_unique<QWidget>();
  QWidget* button = new QWidget(owner.get());
  TCharPicker* picker = new TCharPicker(owner.get());
};

}  // namespace

TEST_F(CharPickerTest, CellsStandForTheCodesFrom32To255) {
  EXPECT_EQ(TCharPicker::CharAt(0, 0), 32);
  EXPECT_EQ(TCharPicker::CharAt(1, 1), 'A');
  EXPECT_EQ(TCharPicker::CharAt(31, 6), 255);
  EXPECT_EQ(picker->Form().size(), QSize(386, 114));
  EXPECT_EQ(picker->Grid().BoundsRect(), Bounds(1, 1, 384, 112));
  EXPECT_EQ(picker->Grid().ColCount(), 32);
  EXPECT_EQ(picker->Grid().RowCount(), 7);
  EXPECT_EQ(picker->Grid().CellRect(31, 6), Rect(372, 96, 384, 112));
}

TEST_F(CharPickerTest, AClickOnACellReturnsItsCharacter) {
  WhileWaiting([this] { QTest::mouseClick(&picker->Grid(), Qt::LeftButton, {}, CellCentre(1, 1)); });
  EXPECT_TRUE(picker->Execute(button));
  EXPECT_EQ(picker->ReturnChar(), 'A');
  EXPECT_TRUE(picker->Closed());
  EXPECT_FALSE(picker->Form().isVisible());

  WhileWaiting([this] { QTest::mouseClick(&picker->Grid(), Qt::LeftButton, {}, CellCentre(31, 6)); });
  EXPECT_TRUE(picker->Execute(button));
  EXPECT_EQ(static_cast<unsigned char>(picker->ReturnChar()), 255);

  WhileWaiting([this] { QTest::mouseClick(&picker->Grid(), Qt::LeftButton, {}, CellCentre(0, 0)); });
  EXPECT_TRUE(picker->Execute(button));
  EXPECT_EQ(picker->ReturnChar(), ' ');
}

TEST_F(CharPickerTest, EscReturnsFalseWithNoCharacter) {
  WhileWaiting([this] { QTest::mouseClick(&picker->Grid(), Qt::LeftButton, {}, CellCentre(1, 1)); });
  ASSERT_TRUE(picker->Execute(button));
  WhileWaiting([this] { QTest::keyClick(&picker->Form(), Qt::Key_Escape); });
  EXPECT_FALSE(picker->Execute(button));
  EXPECT_EQ(picker->ReturnChar(), '\0');
}

TEST_F(CharPickerTest, AClickElsewhereReturnsFalse) {
  QWidget other;
  other.setGeometry(600, 600, 40, 40);
  WhileWaiting([&other] {
    QCoreApplication::processEvents();
    ActivateWindow(other);
  });
  EXPECT_FALSE(picker->Execute(button));
  EXPECT_EQ(picker->ReturnChar(), '\0');
  EXPECT_FALSE(picker->Form().isVisible());
}

TEST_F(CharPickerTest, ExecuteReturnsFalseWhenTheOwnerGoesAwayWhileItWaits) {
  QPointer<TCharPicker> alive = picker;
  WhileWaiting([this] { owner.reset(); });
  EXPECT_FALSE(picker->Execute(button));
  EXPECT_TRUE(alive.isNull());
}

TEST_F(CharPickerTest, ThePopupOpensAtTheButtonsCentreOnTheDesktop) {
  WhileWaiting([this] {
    EXPECT_EQ(picker->Form().pos(), button->mapToGlobal(QPoint(12, 11)));
    picker->ClosePopup();
  });
  picker->Execute(button);

  owner->move(-400, -300);
  WhileWaiting([this] {
    EXPECT_EQ(picker->Form().pos(), QPoint(0, 0)) << "left and top are kept at 0 or more";
    picker->ClosePopup();
  });
  picker->Execute(button);

  owner->move(780, 780);
  WhileWaiting([this] {
    EXPECT_EQ(picker->Form().pos(), QPoint(800 - 386, 800 - 114));
    picker->ClosePopup();
  });
  picker->Execute(button);
}

TEST_F(CharPickerTest, TheFontIsACopy) {
  TFont font;
  font.Name = "Courier New";
  font.Charset = 204;
  picker->SetFont(font);
  font.Name = "Arial";
  EXPECT_EQ(picker->Font().Name, "Courier New");
  EXPECT_EQ(picker->Font().Charset, 204);
}

// ---- The enlarged character ----

TEST_F(CharPickerTest, HintRectangleBesideTheCursorAndOnTheScreen) {
  const TSize screen{800, 800};
  EXPECT_EQ(TCharPicker::HintRect(Point(100, 100), {20, 30}, screen), Rect(116, 116, 152, 150));
  EXPECT_EQ(TCharPicker::HintRect(Point(100, 100), {21, 30}, screen).Width(), 38) << "31.5 rounds to 32";
  EXPECT_EQ(TCharPicker::HintRect(Point(100, 100), {23, 30}, screen).Width(), 40) << "34.5 rounds to 34";
  const TRect corner = TCharPicker::HintRect(Point(790, 790), {20, 30}, screen);
  EXPECT_EQ(corner, Rect(764, 766, 800, 800));
  const TRect tiny = TCharPicker::HintRect(Point(5, 5), {20, 30}, {20, 20});
  EXPECT_EQ(tiny.Left, 0);
  EXPECT_EQ(tiny.Top, 0);
}

TEST_F(CharPickerTest, HoveringShowsTheCharacterEnlargedUntilTheTimerFires) {
  WhileWaiting([this] {
    HoverOver(picker->Grid(), CellCentre(1, 1));
    THintWindow& hint = picker->HintWindow();
    EXPECT_TRUE(hint.isVisible());
    EXPECT_EQ(hint.Caption(), "A");
    EXPECT_EQ(hint.Font().Size(), 24);
    EXPECT_EQ(hint.Color(), 0x00FFDCB9u);
    const QPoint cursor = picker->Grid().mapToGlobal(CellCentre(1, 1));
    EXPECT_EQ(hint.HintRect().Left, cursor.x() + 16);
    EXPECT_EQ(hint.HintRect().Top, cursor.y() + 16);
    EXPECT_TRUE(picker->HintTimer().Enabled());
    EXPECT_EQ(picker->HintTimer().Interval(), 1000);
    EXPECT_FALSE(hint.isActiveWindow());
    EXPECT_TRUE(picker->Form().IsOpen()) << "the hint does not take the activation";
    picker->HintTimerTimer();
    EXPECT_FALSE(hint.isVisible());
    EXPECT_FALSE(picker->HintTimer().Enabled());
    HoverOver(picker->Grid(), CellCentre(2, 1));
    EXPECT_EQ(hint.Caption(), "B");
    QTest::keyClick(&picker->Form(), Qt::Key_Escape);
    EXPECT_FALSE(hint.isVisible()) << "closing hides the hint";
    EXPECT_FALSE(picker->HintTimer().Enabled());
  });
  picker->Execute(button);
}

TEST_F(CharPickerTest, AHintNearTheScreensCornerStaysOnIt) {
  owner->move(800 - 200, 800 - 150);
  WhileWaiting([this] {
    TDrawGrid& grid = picker->Grid();
    HoverOver(grid, CellCentre(31, 6));
    EXPECT_TRUE(picker->HintWindow().isVisible());
    const TRect r = picker->HintWindow().HintRect();
    EXPECT_GE(r.Left, 0);
    EXPECT_GE(r.Top, 0);
    EXPECT_LE(r.Right, 800);
    EXPECT_LE(r.Bottom, 800);
    picker->ClosePopup();
  });
  picker->Execute(button);
}

TEST_F(CharPickerTest, CellsAreRaisedAndTheSelectedOneSunken) {
  picker->SetTextColor(clRed);
  const TBitmap& p = picker->Grid().PaintPicture(clWhite);
  const TColor grey = 0x00808080;
  // The selected cell (0, 0): a black frame around (0, 0)-(11, 15).
  EXPECT_EQ(p.Pixel(0, 0), clBlack);
  EXPECT_EQ(p.Pixel(10, 0), clBlack);
  EXPECT_EQ(p.Pixel(0, 14), clBlack);
  EXPECT_EQ(p.Pixel(10, 14), clBlack);
  EXPECT_EQ(p.Pixel(1, 5), grey);
  EXPECT_EQ(p.Pixel(5, 1), grey);
  EXPECT_EQ(p.Pixel(9, 12), ColorToRGB(clBtnFace));
  // Cell (1, 0) at x 12: the background colour with a grey bottom and right.
  EXPECT_EQ(p.Pixel(12, 0), clWhite);
  EXPECT_EQ(p.Pixel(22, 0), grey);
  EXPECT_EQ(p.Pixel(22, 14), grey);
  EXPECT_EQ(p.Pixel(12, 14), grey);
  EXPECT_EQ(p.Pixel(23, 5), clBlack) << "the grid's colour between the cells";
  EXPECT_EQ(CountPixels(p, clRed), 0) << "the text colour draws nothing";
}
