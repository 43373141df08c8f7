#include "controls/WPopOutFntCBox.h"

#include "tests/controls/ControlTestHelpers.h"
#include "tests/support/FakeSystemValues.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLineEdit>
#include <QTest>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// 25 fonts "Font 01" .. "Font 25"; every fifth is a bitmap font.
std::vector<TScreenFont> TwentyFiveFonts() {
  std::vector<TScreenFont> fonts;
  for (int i = 1; i <= 25; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "Font %02d", i);
    fonts.push_back({name, i % 5 != 0});
  }
  return fonts;
}

class FontComboTest : public testing::Test {
 protected:
  FontComboTest() {
    system.screen = {800, 600};
    SetScreenFonts([this] { return fonts; });
    window.setGeometry(100, 100, 400, 200);
    combo->setGeometry(10, 10, 145, 21);
    combo->OnFontChange = [this](QObject* sender) {
      EXPECT_EQ(sender, combo);
      fontChanges.push_back(combo->FontName());
    };
    ActivateWindow(window);
  }
  ~FontComboTest() override { SetScreenFonts({}); }

  // Opens the list and clicks the item, as the user does.
  void Choose(int index) {
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    QCoreApplication::processEvents();
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int i = 0; i < combo->count(); ++i) names.push_back(combo->ItemName(i));
    return names;
  }
  // Rows of an item's picture that are black across the whole width.
  std::vector<int> FullBlackRows(int index) {
    TBitmap item;
    item.SetSize(120, TWPopOutFntCBox::ItemHeight);
    combo->DrawItem(index, item.Canvas(), Rect(0, 0, 120, TWPopOutFntCBox::ItemHeight), 0);
    std::vector<int> rows;
    for (int y = 0; y < item.Height(); ++y) {
      bool full = true;
      for (int x = 0; x < item.Width(); ++x) full = full && item.Pixel(x, y) == clBlack;
      if (full) rows.push_back(y);
    }
    return rows;
  }

  FakeSystemValues system;
  std::vector<TScreenFont> fonts = TwentyFiveFonts();
  QWidget window;
  TWPopOutFntCBox* combo = new TWPopOutFntCBox(&window);
  std::vector<std::string> fontChanges;
};

}  // namespace

TEST_F(FontComboTest, TheListIsFilledAtTheFirstOpeningAndSelectsNothing) {
  EXPECT_EQ(combo->count(), 0);
  EXPECT_EQ(combo->FontName(), "MS Sans Serif");
  combo->showPopup();
  EXPECT_TRUE(combo->Dropped());
  EXPECT_EQ(combo->count(), 25);
  EXPECT_EQ(combo->ItemName(9), "Font 10");
  EXPECT_EQ(combo->currentIndex(), -1);
  combo->hidePopup();
  QCoreApplication::processEvents();
  EXPECT_FALSE(combo->Dropped());
  EXPECT_TRUE(fontChanges.empty()) << "closed with nothing chosen";
  EXPECT_FALSE(combo->PreviewWindow().isVisible());
}

TEST_F(FontComboTest, ChosenFontsMoveToTheTopAboveTheDoubleLine) {
  Choose(9);
  EXPECT_EQ(fontChanges, std::vector<std::string>{"Font 10"});
  EXPECT_EQ(combo->FontName(), "Font 10");
  EXPECT_EQ(combo->ItemName(0), "Font 10");
  EXPECT_EQ(combo->ItemName(9), "Font 09");
  EXPECT_EQ(combo->ItemName(10), "Font 11");
  EXPECT_EQ(combo->currentIndex(), 0);
  EXPECT_EQ(combo->UsedBlockEnd(), 0);
  EXPECT_EQ(FullBlackRows(0), (std::vector<int>{13, 15}));
  EXPECT_TRUE(FullBlackRows(1).empty());

  Choose(19);
  EXPECT_EQ(combo->ItemName(0), "Font 20");
  EXPECT_EQ(combo->ItemName(1), "Font 10");
  EXPECT_EQ(combo->UsedBlockEnd(), 1);
  EXPECT_TRUE(FullBlackRows(0).empty());
  EXPECT_EQ(FullBlackRows(1), (std::vector<int>{13, 15}));

  Choose(1);
  EXPECT_EQ(combo->ItemName(0), "Font 10");
  EXPECT_EQ(combo->ItemName(1), "Font 20");
  EXPECT_EQ(combo->UsedBlockEnd(), 1) << "choosing within the block only swaps";
  EXPECT_EQ(fontChanges, (std::vector<std::string>{"Font 10", "Font 20", "Font 10"}));
  EXPECT_EQ(combo->count(), 25);
}

TEST_F(FontComboTest, WithoutMoveUsedToTopTheListKeepsItsOrder) {
  combo->SetMoveUsedToTop(false);
  Choose(9);
  EXPECT_EQ(combo->ItemName(9), "Font 10");
  EXPECT_EQ(combo->currentIndex(), 9);
  EXPECT_EQ(combo->UsedBlockEnd(), -1);
  EXPECT_EQ(fontChanges, std::vector<std::string>{"Font 10"});
}

TEST_F(FontComboTest, TrueTypeOnlyListsOutlineFontsAndIsBuiltOnce) {
  combo->SetTrueTypeOnly(true);
  combo->showPopup();
  ASSERT_EQ(combo->count(), 20);
  for (const std::string& name : Names()) EXPECT_NE(name, "Font 05");
  combo->hidePopup();
  QCoreApplication::processEvents();
  fonts.push_back({"Late Font", true});
  combo->showPopup();
  EXPECT_EQ(combo->count(), 20) << "built once, at the first opening";
  combo->hidePopup();
}

TEST_F(FontComboTest, OnlyNamesThatSurviveWindows1252AreListable) {
  const QStringList families = {"Arial", QString::fromUtf8("Caf\xC3\xA9"), QString::fromUtf8("\xCE\xA9mega"), ""};
  const std::vector<TScreenFont> listed =
      ScreenFontsOf(families, [](const QString& family) { return family == "Arial"; });
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].Name, "Arial");
  EXPECT_TRUE(listed[0].TrueType);
  EXPECT_EQ(listed[1].Name, "Caf\xE9");
  EXPECT_FALSE(listed[1].TrueType);
}

TEST_F(FontComboTest, ThePreviewPopsOutBesideTheBoxWithoutTakingTheFocus) {
  QLineEdit* edit = new QLineEdit(&window);
  edit->setGeometry(10, 60, 100, 20);
  edit->setFocus();
  QCoreApplication::processEvents();
  combo->showPopup();
  QCoreApplication::processEvents();
  TPForm& preview = combo->PreviewWindow();
  EXPECT_TRUE(preview.isVisible());
  EXPECT_EQ(preview.size(), QSize(300, 75));
  EXPECT_EQ(preview.pos(), combo->mapToGlobal(QPoint(combo->width(), combo->height())));
  EXPECT_NE(QApplication::activeWindow(), &preview);
  EXPECT_FALSE(preview.isActiveWindow());
  combo->hidePopup();
  QCoreApplication::processEvents();
  EXPECT_FALSE(preview.isVisible());
}

TEST_F(FontComboTest, PreviewPlacementAvoidsTheScreenEdges) {
  const TSize screen{800, 600};
  const QSize preview(300, 75);
  EXPECT_EQ(TWPopOutFntCBox::PreviewPosition(QRect(100, 100, 145, 21), preview, screen), QPoint(245, 121));
  EXPECT_EQ(TWPopOutFntCBox::PreviewPosition(QRect(355, 100, 145, 21), preview, screen), QPoint(500, 121))
      << "touching the right edge fits";
  EXPECT_EQ(TWPopOutFntCBox::PreviewPosition(QRect(356, 100, 145, 21), preview, screen), QPoint(56, 121))
      << "left of the box";
  EXPECT_EQ(TWPopOutFntCBox::PreviewPosition(QRect(100, 560, 145, 21), preview, screen), QPoint(245, 485))
      << "above the box";

  window.move(600, 100);
  combo->showPopup();
  const QPoint box = combo->mapToGlobal(QPoint(0, 0));
  EXPECT_EQ(combo->PreviewWindow().pos(), QPoint(box.x() - 300, box.y() + combo->height()));
  combo->hidePopup();
}

TEST_F(FontComboTest, ThePreviewShowsTheSelectedWordOfTheAttachedEditInTheFontUnderTheMouse) {
  QLineEdit* edit = new QLineEdit("Hello world", &window);
  combo->SetAttachedEdit(edit);
  edit->setSelection(6, 5);
  combo->showPopup();
  EXPECT_EQ(combo->PreviewText(), "world");
  combo->ItemHighlighted(3);
  EXPECT_EQ(combo->PreviewWindow().PanelFontName(), "Font 04");
  EXPECT_EQ(combo->PreviewWindow().PanelCaption(), "world");
  combo->hidePopup();
  QCoreApplication::processEvents();

  edit->deselect();
  combo->showPopup();
  EXPECT_EQ(combo->PreviewText(), "AaBbYyZz");
  EXPECT_EQ(combo->PreviewWindow().Panel1->text(), "AaBbYyZz");
  combo->hidePopup();
}

TEST_F(FontComboTest, WithoutPreviewTextThePreviewShowsTheFontsName) {
  combo->showPopup();
  QAbstractItemView* view = combo->view();
  const QModelIndex item = view->model()->index(6, 0);
  QTest::mouseMove(view->viewport(), view->visualRect(item).center());
  view->setCurrentIndex(item);
  EXPECT_EQ(combo->PreviewWindow().PanelFontName(), "Font 07");
  EXPECT_EQ(combo->PreviewWindow().PanelCaption(), "Font 07");
  combo->hidePopup();
}

TEST_F(FontComboTest, AFontNameOutsideTheListSelectsNothingButIsShown) {
  int changes = 0;
  combo->OnChange = [&](QObject*) { ++changes; };
  combo->showPopup();
  combo->hidePopup();
  QCoreApplication::processEvents();
  combo->SetFontName("Font 12");
  EXPECT_EQ(combo->currentIndex(), 11);
  EXPECT_EQ(combo->OverlayEdit().text(), "Font 12");
  combo->SetFontName("Nowhere Sans");
  EXPECT_EQ(combo->currentIndex(), -1);
  EXPECT_EQ(combo->OverlayEdit().text(), "Nowhere Sans");
  EXPECT_EQ(combo->PreviewWindow().PanelFontName(), "Nowhere Sans");
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(fontChanges.empty()) << "setting the name is no choice of the user";
}

TEST_F(FontComboTest, AKeyboardChoiceOnTheClosedBoxIsAFontChange) {
  combo->showPopup();
  combo->hidePopup();
  QCoreApplication::processEvents();
  combo->SetFontName("Font 03");
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Down);
  EXPECT_EQ(combo->FontName(), "Font 04");
  EXPECT_EQ(fontChanges, std::vector<std::string>{"Font 04"});
  EXPECT_EQ(combo->OverlayEdit().text(), "Font 04");
}

TEST_F(FontComboTest, TheOverlayEditLiesOverTheTextFieldAndLetsClicksThrough) {
  QLineEdit& overlay = combo->OverlayEdit();
  EXPECT_EQ(overlay.parentWidget(), combo);
  EXPECT_TRUE(overlay.isReadOnly());
  EXPECT_FALSE(overlay.hasFrame());
  EXPECT_TRUE(overlay.testAttribute(Qt::WA_TransparentForMouseEvents));
  EXPECT_TRUE(combo->rect().contains(overlay.geometry()));
  EXPECT_GT(overlay.width(), combo->width() / 2);
  combo->resize(250, 21);
  EXPECT_GT(overlay.width(), 150) << "follows the box's size";
}

TEST_F(FontComboTest, AnAssignedDrawItemReplacesTheDefaultDrawing) {
  int calls = 0;
  combo->OnDrawItem = [&](QObject* control, int index, TCanvas& canvas, const TRect& rect, TOwnerDrawState) {
    EXPECT_EQ(control, combo);
    EXPECT_EQ(index, 2);
    canvas.Brush().Color = clRed;
    canvas.FillRect(rect);
    ++calls;
  };
  TBitmap item;
  item.SetSize(50, 16);
  combo->DrawItem(2, item.Canvas(), Rect(0, 0, 50, 16), 0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(CountPixels(item, clRed), 50 * 16);
}
