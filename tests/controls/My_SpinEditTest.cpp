// The spin edit: bounds, the fallback reading, typing rules, the buttons and
// their repeat, focus and layout, through real key and mouse events.
#include "controls/My_SpinEdit.h"
#include "tests/support/RepaintCounter.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFormLayout>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <climits>
#include <stdexcept>

namespace {

class SpinEditTest : public testing::Test {
 protected:
  SpinEditTest() {
    window.resize(300, 200);
    spin->setObjectName("RectWidth_Spin");
    spin->SetBounds(10, 10, 80, 24);
    spin->OnChange = [this](QObject* sender) {
      EXPECT_EQ(sender, spin);
      changes.push_back(spin->Text());
    };
  }
  // Shows the window and gives the spin edit the focus.
  void ShowFocused() {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    spin->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(spin->hasFocus());
  }
  TTimerSpeedButton* Up() { return spin->Button()->UpButton(); }
  TTimerSpeedButton* Down() { return spin->Button()->DownButton(); }

  ScriptedUiServices ui;
  QWidget window;
  TSpinEdit* spin = new TSpinEdit(&window);
  QLineEdit* other = new QLineEdit(&window);
  std::vector<std::string> changes;
};

}  // namespace

// ---- Values and bounds ------------------------------------------------------------------

TEST_F(SpinEditTest, StartsAtZeroWithoutLimits) {
  EXPECT_EQ(spin->Text(), "0");
  EXPECT_EQ(spin->Value(), 0);
  EXPECT_EQ(spin->MinValue(), 0);
  EXPECT_EQ(spin->MaxValue(), 0);
  EXPECT_EQ(spin->Increment(), 1);
  EXPECT_TRUE(spin->EditorEnabled());
  EXPECT_TRUE(spin->AutoSelect());
  EXPECT_EQ(spin->Button()->objectName(), "Button");
}

TEST_F(SpinEditTest, ValuesAreClampedIntoTheBoundsUnlessTheyAreEqual) {
  spin->SetMinValue(1);
  spin->SetMaxValue(100);
  spin->SetValue(0);
  EXPECT_EQ(spin->Text(), "1");
  spin->SetValue(250);
  EXPECT_EQ(spin->Text(), "100");
  spin->SetValue(42);
  EXPECT_EQ(spin->Value(), 42);

  spin->SetMinValue(0);
  spin->SetMaxValue(0);
  spin->SetValue(-5);
  EXPECT_EQ(spin->Text(), "-5");
  spin->SetValue(INT_MAX);
  EXPECT_EQ(spin->Value(), INT_MAX);
}

TEST_F(SpinEditTest, BoundsTheWrongWayRoundGiveOneOfTheBounds) {
  spin->SetMinValue(20);
  spin->SetMaxValue(10);
  spin->SetValue(5);
  EXPECT_EQ(spin->Text(), "20");
  spin->SetValue(25);
  EXPECT_EQ(spin->Text(), "10");
}

TEST_F(SpinEditTest, SteppingPastTheIntegerRangeStopsAtItsEnds) {
  spin->SetIncrement(10);
  spin->SetValue(INT_MAX - 3);
  spin->UpClick();
  EXPECT_EQ(spin->Value(), INT_MAX) << "no wrap to negative numbers";
  spin->SetValue(INT_MIN + 3);
  spin->DownClick();
  EXPECT_EQ(spin->Value(), INT_MIN);
  spin->SetIncrement(INT_MIN);
  spin->DownClick();
  EXPECT_EQ(spin->Value(), 0) << "INT_MIN - INT_MIN in 64 bits";
  spin->DownClick();
  EXPECT_EQ(spin->Value(), INT_MAX) << "0 - INT_MIN, clamped";
}

TEST_F(SpinEditTest, AnUnreadableTextReadsAsHalfTheRangesWidth) {
  spin->SetMinValue(10);
  spin->SetMaxValue(20);
  spin->setText("abc");
  EXPECT_EQ(spin->Value(), 5) << "half the width, not the midpoint";
  spin->SetMinValue(INT_MIN);
  spin->SetMaxValue(INT_MAX);
  EXPECT_EQ(spin->Value(), INT_MAX) << "the width in 64 bits, clamped";
  spin->SetMinValue(21);
  spin->SetMaxValue(20);
  EXPECT_EQ(spin->Value(), 0) << "round(-0.5) is 0";
}

TEST_F(SpinEditTest, OnChangeFiresOnlyForIntegerTexts) {
  spin->SetValue(7);
  EXPECT_EQ(changes, std::vector<std::string>{"7"}) << "code changes count too";
  changes.clear();
  spin->setText("");
  QTest::keyClick(spin, Qt::Key_Minus);
  EXPECT_EQ(spin->Text(), "-");
  EXPECT_TRUE(changes.empty()) << "\"-\" is no number";
  QTest::keyClick(spin, Qt::Key_5);
  EXPECT_EQ(changes, std::vector<std::string>{"-5"});
}

// ---- Typing ------------------------------------------------------------------------------------

TEST_F(SpinEditTest, OnlyDigitsSignsAndTheDecimalSeparatorMayBeTyped) {
  spin->setText("");
  QTest::keyClicks(spin, "1a2+x.");
  EXPECT_EQ(spin->Text(), "12+.");
  EXPECT_EQ(ui.beeps, 2) << "each refused character beeps";
  std::string typed;
  spin->OnKeyPress = [&](QObject*, char& key) { typed += key; };
  QTest::keyClicks(spin, "3z");
  EXPECT_EQ(typed, "3") << "a refused character never reaches OnKeyPress";
}

TEST_F(SpinEditTest, WithTheEditorDisabledTypingAndPastingAreRefusedButArrowsWork) {
  spin->SetValue(5);
  spin->SetEditorEnabled(false);
  spin->setCursorPosition(1);
  QTest::keyClick(spin, Qt::Key_7);
  QTest::keyClick(spin, Qt::Key_Backspace);
  EXPECT_EQ(spin->Text(), "5");
  EXPECT_EQ(ui.beeps, 2);

  QApplication::clipboard()->setText("42");
  spin->selectAll();
  QTest::keyClick(spin, Qt::Key_V, Qt::ControlModifier);
  spin->selectAll();
  QTest::keyClick(spin, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(spin->Text(), "5") << "no paste, no cut";

  QTest::keyClick(spin, Qt::Key_Up);
  EXPECT_EQ(spin->Value(), 6);
  QTest::mouseClick(Down(), Qt::LeftButton, {}, QPoint(5, 3));
  EXPECT_EQ(spin->Value(), 5);
  EXPECT_EQ(ui.beeps, 2);

  spin->SetEditorEnabled(true);
  spin->selectAll();
  QTest::keyClick(spin, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(spin->Text(), "42") << "pasting works again";
}

TEST(SpinEditMenu, WithTheEditorDisabledTheMenuCannotCutPasteOrDelete) {
  struct MenuSpinEdit : TSpinEdit {
    using TSpinEdit::CreateContextMenu;
  } spin;
  QApplication::clipboard()->setText("42");
  spin.selectAll();
  auto enabled = [](QMenu& menu, const char* name) {
    for (QAction* action : menu.actions())
      if (action->objectName() == name) return action->isEnabled();
    ADD_FAILURE() << "no action " << name;
    return false;
  };
  auto menu = spin.CreateContextMenu();
  EXPECT_TRUE(enabled(*menu, "edit-paste"));
  EXPECT_TRUE(enabled(*menu, "edit-cut"));
  spin.SetEditorEnabled(false);
  menu = spin.CreateContextMenu();
  EXPECT_FALSE(enabled(*menu, "edit-paste"));
  EXPECT_FALSE(enabled(*menu, "edit-cut"));
  EXPECT_FALSE(enabled(*menu, "edit-delete"));
  EXPECT_TRUE(enabled(*menu, "edit-copy"));
  EXPECT_FALSE(enabled(*menu, "select-all")) << "all is selected already";
  spin.SetEditorEnabled(true);
  spin.deselect();
  menu = spin.CreateContextMenu();
  EXPECT_FALSE(enabled(*menu, "edit-cut")) << "nothing selected";
  EXPECT_TRUE(enabled(*menu, "select-all"));
  for (QAction* action : menu->actions())
    if (action->objectName() == "edit-paste") action->trigger();
  EXPECT_EQ(spin.text(), "042") << "the menu's paste pastes";
}

TEST_F(SpinEditTest, ArrowKeysStepByTheIncrementBeforeOnKeyDown) {
  spin->SetIncrement(5);
  spin->SetValue(10);
  std::vector<std::pair<WORD, std::int32_t>> downs;
  spin->OnKeyDown = [&](QObject*, WORD& key, TShiftState) { downs.push_back({key, spin->Value()}); };
  QTest::keyClick(spin, Qt::Key_Up);
  QTest::keyClick(spin, Qt::Key_Up);
  QTest::keyClick(spin, Qt::Key_Down);
  EXPECT_EQ(spin->Value(), 15);
  EXPECT_EQ(downs, (std::vector<std::pair<WORD, std::int32_t>>{{VK_UP, 15}, {VK_UP, 20}, {VK_DOWN, 15}}));
}

TEST_F(SpinEditTest, AKeyConsumedByOnKeyDownStillTypesItsCharacter) {
  spin->setText("1");
  spin->setCursorPosition(1);
  spin->OnKeyDown = [](QObject*, WORD& key, TShiftState) { key = 0; };
  QTest::keyClick(spin, Qt::Key_5);
  EXPECT_EQ(spin->Text(), "15");
  QTest::keyClick(spin, Qt::Key_Home);
  QTest::keyClick(spin, Qt::Key_7);
  EXPECT_EQ(spin->Text(), "157") << "Home was consumed and did not move the cursor";
}

TEST_F(SpinEditTest, ReadOnlyButtonsAndArrowsBeepAndLeaveTheValue) {
  spin->SetValue(3);
  spin->SetReadOnly(true);
  window.show();
  QTest::mouseClick(Up(), Qt::LeftButton, {}, QPoint(5, 3));
  QTest::keyClick(spin, Qt::Key_Down);
  EXPECT_EQ(spin->Value(), 3);
  EXPECT_EQ(ui.beeps, 2);
}

TEST_F(SpinEditTest, EnterGoesToTheDialogsDefaultButton) {
  QDialog dialog;
  auto* edit = new TSpinEdit(&dialog);
  auto* ok = new QPushButton("OK", &dialog);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  dialog.show();
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ui.beeps, 0);
}

// ---- The buttons and their repeat ----------------------------------------------------------

TEST_F(SpinEditTest, AClickStepsOnceAtThePressAndNeverAtTheRelease) {
  window.show();
  QTest::mousePress(Up(), Qt::LeftButton, {}, QPoint(5, 3));
  EXPECT_EQ(spin->Value(), 1) << "at the press";
  EXPECT_TRUE(Up()->IsDown());
  QTest::mouseRelease(Up(), Qt::LeftButton, {}, QPoint(5, 3));
  EXPECT_EQ(spin->Value(), 1) << "not again at the release";
  EXPECT_FALSE(Up()->IsDown());
  QTest::mouseClick(Down(), Qt::LeftButton, {}, QPoint(5, 3));
  QTest::mouseClick(Down(), Qt::LeftButton, {}, QPoint(5, 3));
  EXPECT_EQ(spin->Value(), -1);
  QTest::mouseClick(Up(), Qt::RightButton, {}, QPoint(5, 3));
  EXPECT_EQ(spin->Value(), -1) << "only the left button clicks";
}

TEST_F(SpinEditTest, AHeldButtonRepeatsAt400ThenEvery100Milliseconds) {
  window.show();
  EXPECT_EQ(Up()->RepeatTimer(), nullptr) << "made at the first press";
  QTest::mousePress(Up(), Qt::LeftButton, {}, QPoint(5, 3));  // 0 ms
  TTimer* timer = Up()->RepeatTimer();
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 400);
  EXPECT_EQ(spin->Value(), 1);
  Up()->TimerExpired();  // 400 ms
  EXPECT_EQ(timer->Interval(), 100);
  EXPECT_EQ(spin->Value(), 2);
  Up()->TimerExpired();  // 500 ms
  Up()->TimerExpired();  // 600 ms
  EXPECT_EQ(spin->Value(), 4);

  // Dragged off the button, it pops up and the ticks click nothing; back on, they click again.
  QTest::mouseMove(Up(), QPoint(5, 30));
  EXPECT_FALSE(Up()->IsDown());
  Up()->TimerExpired();
  EXPECT_EQ(spin->Value(), 4);
  QTest::mouseMove(Up(), QPoint(6, 3));
  Up()->TimerExpired();
  EXPECT_EQ(spin->Value(), 5);

  QTest::mouseRelease(Up(), Qt::LeftButton, {}, QPoint(6, 3));
  EXPECT_FALSE(timer->Enabled());
  Up()->TimerExpired();
  EXPECT_EQ(spin->Value(), 5) << "a tick after the release clicks nothing";

  QTest::mousePress(Up(), Qt::LeftButton, {}, QPoint(5, 3));
  EXPECT_EQ(timer->Interval(), 400) << "each press starts with the long delay";
  QTest::mouseRelease(Up(), Qt::LeftButton, {}, QPoint(5, 3));
}

TEST_F(SpinEditTest, AClickThatRaisesStopsTheRepeat) {
  TSpinButton* button = spin->Button();
  window.show();
  QTest::mousePress(button->UpButton(), Qt::LeftButton, {}, QPoint(5, 3));
  button->OnUpClick = [](QObject*) { throw std::runtime_error("refused"); };
  EXPECT_THROW(button->UpButton()->TimerExpired(), std::runtime_error);
  EXPECT_FALSE(button->UpButton()->RepeatTimer()->Enabled());
  QTest::mouseRelease(button->UpButton(), Qt::LeftButton, {}, QPoint(5, 3));
}

// ---- Focus ---------------------------------------------------------------------------------------

TEST_F(SpinEditTest, LeavingPutsAnUnreadableTextRight) {
  spin->SetMinValue(10);
  spin->SetMaxValue(20);
  ShowFocused();
  spin->setText("abc");
  std::vector<std::string> exits;
  spin->OnExit = [&](QObject*) { exits.push_back(spin->Text()); };
  other->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(exits, std::vector<std::string>{"abc"}) << "OnExit sees the text before it is put right";
  EXPECT_EQ(spin->Text(), "10") << "5, the reading, clamped into 10..20";

  // Without limits the reading stands, but the text is no longer left unreadable.
  spin->SetMinValue(0);
  spin->SetMaxValue(0);
  spin->setFocus(Qt::TabFocusReason);
  spin->setText("1x");
  other->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(spin->Text(), "0");

  spin->SetMinValue(1);
  spin->SetMaxValue(9);
  spin->setFocus(Qt::TabFocusReason);
  spin->setText("25");
  other->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(spin->Text(), "9") << "out of range";
  spin->setFocus(Qt::TabFocusReason);
  spin->setText(" 7");
  other->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(spin->Text(), " 7") << "a readable value in range is left as typed";
}

TEST_F(SpinEditTest, EnteringByKeyboardSelectsTheWholeText) {
  spin->SetValue(123);
  ShowFocused();
  other->setFocus(Qt::TabFocusReason);
  int enters = 0;
  spin->OnEnter = [&](QObject*) { ++enters; };
  spin->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(spin->selectedText(), "123");
  EXPECT_EQ(enters, 1);
  other->setFocus(Qt::TabFocusReason);
  spin->SetAutoSelect(false);
  spin->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(spin->selectedText(), "");
}

TEST_F(SpinEditTest, APressOnAButtonFocusesTheEdit) {
  ShowFocused();
  other->setFocus(Qt::TabFocusReason);
  QTest::mousePress(Up(), Qt::LeftButton, {}, QPoint(5, 3));
  EXPECT_TRUE(spin->hasFocus());
  EXPECT_EQ(spin->selectedText(), "") << "a mouse press selects nothing";
  QTest::mouseRelease(Up(), Qt::LeftButton, {}, QPoint(5, 3));
}

// ---- Layout ----------------------------------------------------------------------------------------

TEST_F(SpinEditTest, TheHeightIsRaisedToTheMinimumAndTheButtonSitsInsideTheRightEdge) {
  const int minimum = spin->MinHeight();
  const QFontMetrics metrics(spin->font());
  const int systemHeight = QFontMetrics(QApplication::font()).height();
  EXPECT_EQ(minimum, metrics.height() + std::min(systemHeight, metrics.height()) / 4 + 4 + 2);
  spin->SetBounds(10, 20, 80, 5);
  EXPECT_EQ(spin->geometry(), QRect(10, 20, 80, minimum)) << "raised at once, though hidden";
  spin->SetBounds(10, 20, 90, minimum + 10);
  const int h = minimum + 10;
  TSpinButton* button = spin->Button();
  EXPECT_EQ(button->BoundsRect(), Bounds(2 + 90 - 15 - 5, 2, 15, h - 5));
  EXPECT_EQ(button->UpButton()->BoundsRect(), Bounds(0, 0, 15, (h - 5) / 2));
  EXPECT_EQ(button->DownButton()->BoundsRect(), Bounds(0, (h - 5) / 2 - 1, 15, h - 5 - (h - 5) / 2 + 1));
  EXPECT_EQ(spin->textMargins().right(), 17) << "text stays clear of the button";

  window.show();
  spin->resize(120, 30);
  EXPECT_EQ(button->Left(), 2 + 120 - 15 - 5) << "the button follows a resize by Qt";
  EXPECT_EQ(button->Height(), 30 - 5);
}

// A form layout gives a field its size hint's height: the spin edit states
// its minimum there, and a form of them comes to rest.
TEST(SpinEditInAForm, GetsItsMinimumHeightFromTheLayoutAndTheFormComesToRest) {
  QWidget form;
  auto* layout = new QFormLayout(&form);
  for (int i = 0; i < 6; ++i) layout->addRow(QString("Value %1:").arg(i), new TSpinEdit);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  RepaintCounter counter(form);
  EXPECT_EQ(counter.CountAfterSettling(300, 500), "");
  for (TSpinEdit* spin : form.findChildren<TSpinEdit*>()) {
    EXPECT_GE(spin->height(), spin->MinHeight());
    EXPECT_EQ(spin->Button()->Height(), spin->height() - 5);
  }
}

TEST(SpinButton, IsAtLeast15WideWithTheDownButtonOverlappingTheUpByOnePixel) {
  TSpinButton button;
  EXPECT_EQ(button.BoundsRect(), Bounds(0, 0, 20, 25));
  EXPECT_EQ(button.UpButton()->BoundsRect(), Bounds(0, 0, 20, 12));
  EXPECT_EQ(button.DownButton()->BoundsRect(), Bounds(0, 11, 20, 14));
  button.SetBounds(3, 4, 10, 20);
  EXPECT_EQ(button.BoundsRect(), Bounds(3, 4, 15, 20));
  EXPECT_EQ(button.DownButton()->BoundsRect(), Bounds(0, 9, 15, 11));
  EXPECT_TRUE(button.UpButton()->TimeBtnState() & tbAllowTimer);
}

TEST(SpinButton, KeysClickAndMoveTheFocusMark) {
  QWidget window;
  auto* button = new TSpinButton(&window);
  auto* other = new QLineEdit(&window);
  other->move(0, 40);
  button->SetTabStop(true);
  std::vector<std::string> clicks;
  button->OnUpClick = [&](QObject* sender) {
    EXPECT_EQ(sender, button);
    clicks.push_back("up");
  };
  button->OnDownClick = [&](QObject*) { clicks.push_back("down"); };
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  button->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(button->FocusedButton(), button->UpButton());
  EXPECT_TRUE(button->UpButton()->TimeBtnState() & tbFocusRect);
  QTest::keyClick(button, Qt::Key_Space);
  QTest::keyClick(button, Qt::Key_Down);
  EXPECT_EQ(button->FocusedButton(), button->DownButton());
  EXPECT_FALSE(button->UpButton()->TimeBtnState() & tbFocusRect);
  EXPECT_TRUE(button->DownButton()->TimeBtnState() & tbFocusRect);
  QTest::keyClick(button, Qt::Key_Space);
  QTest::keyClick(button, Qt::Key_Up);
  EXPECT_EQ(clicks, (std::vector<std::string>{"up", "down", "down", "up"}));
  other->setFocus(Qt::TabFocusReason);
  EXPECT_FALSE(button->UpButton()->TimeBtnState() & tbFocusRect) << "the mark goes with the focus";
}

TEST(SpinButton, FocusControlIsForgottenWhenItIsDestroyed) {
  TSpinButton button;
  auto edit = std::make_unique<QLineEdit>();
  button.SetFocusControl(edit.get());
  EXPECT_EQ(button.FocusControl(), edit.get());
  edit.reset();
  EXPECT_EQ(button.FocusControl(), nullptr);
}

// ---- Painting ---------------------------------------------------------------------------------------

TEST(TimerSpeedButton, PaintsRaisedOrSunkenEdgesAndTheTriangleCentred) {
  TSpinButton spinButton;
  spinButton.SetBounds(0, 0, 15, 17);
  TTimerSpeedButton* up = spinButton.UpButton();  // 15 x 8
  const TBitmap& raised = up->PaintPicture(clWhite);
  EXPECT_EQ(raised.Pixel(0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(raised.Pixel(14, 0), ColorToRGB(cl3DDkShadow)) << "the top-right corner belongs to the right edge";
  EXPECT_EQ(raised.Pixel(14, 7), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(raised.Pixel(1, 1), ColorToRGB(cl3DLight));
  EXPECT_EQ(raised.Pixel(13, 6), ColorToRGB(clBtnShadow));
  // The 7 x 3 triangle centred in the 11 x 4 face from (2, 2): at
  // (2 + (11 - 7 + 1) div 2, 2 + (4 - 3 + 1) div 2) = (4, 3), apex on top.
  std::string triangle;
  for (int y = 3; y < 6; ++y) {
    for (int x = 4; x < 11; ++x) triangle += raised.Pixel(x, y) == clBlack ? 'X' : '.';
    triangle += '|';
  }
  EXPECT_EQ(triangle, "...X...|..XXX..|.XXXXX.|");
  EXPECT_EQ(raised.Pixel(6, 3), ColorToRGB(clBtnFace)) << "the glyph's ground is transparent";

  QTest::mousePress(up, Qt::LeftButton, {}, QPoint(3, 3));
  const TBitmap& sunken = up->PaintPicture(clWhite);
  EXPECT_EQ(sunken.Pixel(0, 0), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(sunken.Pixel(14, 7), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(sunken.Pixel(7 + 1, 3 + 1), clBlack) << "the glyph moves down and right";
  EXPECT_EQ(sunken.Pixel(7, 3), ColorToRGB(clBtnFace));
  QTest::mouseRelease(up, Qt::LeftButton, {}, QPoint(3, 3));
}

TEST(TimerSpeedButton, DrawsTheFocusRectangleThreePixelsInside) {
  TTimerSpeedButton button;
  button.SetBounds(0, 0, 20, 12);
  button.SetGlyph(TBitmap());
  const TColor face = ColorToRGB(clBtnFace);
  EXPECT_EQ(button.PaintPicture(clWhite).Pixel(3, 3), face);
  button.SetTimeBtnState(tbFocusRect);
  const TBitmap& focused = button.PaintPicture(clWhite);
  EXPECT_EQ(focused.Pixel(3, 3), (~face) & 0xFFFFFF) << "inverted";
  EXPECT_EQ(focused.Pixel(4, 3), face);
  EXPECT_EQ(focused.Pixel(16, 8), (~face) & 0xFFFFFF) << "the last pixel of the frame, x + y even";
  EXPECT_EQ(focused.Pixel(17, 8), face);
}

TEST(TimerSpeedButton, GlyphsCanBeReplacedAndRestored) {
  TSpinButton button;
  TBitmap custom;
  custom.Canvas().Brush().Color = clRed;
  custom.SetSize(4, 2);
  button.SetUpGlyph(&custom);
  EXPECT_EQ(button.UpGlyph().Width(), 4);
  button.SetUpGlyph(nullptr);
  EXPECT_EQ(button.UpGlyph().Width(), TSpinButton::DefaultUpGlyph().Width());
  EXPECT_EQ(button.UpGlyph().Pixel(3, 0), clBlack);
  EXPECT_EQ(button.DownGlyph().Pixel(3, 2), clBlack);
  button.SetUpNumGlyphs(0);
  EXPECT_EQ(button.UpNumGlyphs(), 1) << "refused";
  button.SetUpNumGlyphs(2);
  EXPECT_EQ(button.UpNumGlyphs(), 2);
}
