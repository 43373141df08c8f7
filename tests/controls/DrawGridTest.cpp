#include "controls/DrawGrid.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <vector>

namespace {

struct DrawnCell {
  int col, row;
  TRect rect;
  TGridDrawState state;
};

class DrawGridTest : public testing::Test {
 protected:
  DrawGridTest() {
    window.resize(300, 200);
    grid->SetColCount(9);
    grid->SetRowCount(5);
    grid->SetDefaultColWidth(14);
    grid->SetDefaultRowHeight(14);
    grid->SetBounds(4, 4, 126, 70);
    grid->OnDrawCell = [this](QObject*, int col, int row, const TRect& rect, TGridDrawState state) {
      drawn.push_back({col, row, rect, state});
    };
  }
  QWidget window;
  TDrawGrid* grid = new TDrawGrid(&window);
  std::vector<DrawnCell> drawn;
};

}  // namespace

TEST_F(DrawGridTest, CellsAbutWithoutGridLines) {
  EXPECT_EQ(grid->CellRect(0, 0), Rect(0, 0, 14, 14));
  EXPECT_EQ(grid->CellRect(2, 1), Rect(28, 14, 42, 28));
  EXPECT_EQ(grid->CellRect(8, 4), Rect(112, 56, 126, 70));
  EXPECT_TRUE(grid->CellRect(9, 0).IsEmpty());
  EXPECT_TRUE(grid->CellRect(0, -1).IsEmpty());
  int col = 0, row = 0;
  grid->MouseToCell(27, 13, col, row);
  EXPECT_EQ(col, 1);
  EXPECT_EQ(row, 0);
  grid->MouseToCell(28, 14, col, row);
  EXPECT_EQ(col, 2);
  EXPECT_EQ(row, 1);
  grid->MouseToCell(126, 3, col, row);
  EXPECT_EQ(col, -1) << "right of the last column";
  grid->MouseToCell(-1, 3, col, row);
  EXPECT_EQ(row, -1);
}

TEST_F(DrawGridTest, PaintFillsTheBackgroundAndDrawsEveryCellOnce) {
  grid->SetColor(clRed);
  grid->OnDrawCell = [this](QObject* sender, int col, int row, const TRect& rect, TGridDrawState state) {
    EXPECT_EQ(sender, grid);
    drawn.push_back({col, row, rect, state});
    if (col == 1 && row == 1) {
      grid->Canvas().Brush().Color = clBlue;
      grid->Canvas().FillRect(rect);
    }
  };
  grid->FocusCell(3, 2);
  const TBitmap& picture = grid->PaintPicture(clBlack);
  ASSERT_EQ(drawn.size(), 45u);
  EXPECT_EQ(drawn[0].col, 0);
  EXPECT_EQ(drawn[9].row, 1);
  int selected = 0;
  for (const DrawnCell& cell : drawn) {
    EXPECT_EQ(cell.rect, grid->CellRect(cell.col, cell.row));
    if (cell.state & gdSelected) {
      ++selected;
      EXPECT_EQ(cell.col, 3);
      EXPECT_EQ(cell.row, 2);
    }
  }
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(picture.Pixel(0, 0), clRed);
  EXPECT_EQ(picture.Pixel(14, 14), clBlue);
  EXPECT_EQ(picture.Pixel(27, 27), clBlue);
  EXPECT_EQ(picture.Pixel(28, 28), clRed);
}

TEST_F(DrawGridTest, APressSelectsTheCellBeforeTheClick) {
  window.show();
  std::vector<std::pair<int, int>> clicks;
  grid->OnClick = [&](QObject*) { clicks.emplace_back(grid->Col(), grid->Row()); };
  QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(3 * 14 + 5, 2 * 14 + 5));
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0], std::make_pair(3, 2));
  QTest::mouseClick(grid, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_EQ(grid->Col(), 3) << "only the left button selects";
}

TEST_F(DrawGridTest, DraggingWithTheButtonHeldSelectsTheCellsPassed) {
  window.show();
  QTest::mousePress(grid, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(grid, QPoint(5 * 14 + 1, 5));
  EXPECT_EQ(grid->Col(), 5);
  QTest::mouseRelease(grid, Qt::LeftButton, {}, QPoint(5 * 14 + 1, 5));
  QTest::mouseMove(grid, QPoint(1, 3 * 14 + 1));
  EXPECT_EQ(grid->Col(), 5) << "moves without the button select nothing";
  EXPECT_EQ(grid->Row(), 0);
}

TEST_F(DrawGridTest, SelectCellCanRefuseAndOutsideCellsAreIgnored) {
  grid->OnSelectCell = [](QObject*, int col, int, bool& canSelect) { canSelect = col != 4; };
  grid->FocusCell(4, 1);
  EXPECT_EQ(grid->Col(), 0);
  grid->FocusCell(2, 1);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 1);
  grid->FocusCell(9, 1);
  grid->FocusCell(2, 5);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 1);
  grid->SetColCount(2);
  EXPECT_EQ(grid->Col(), 1) << "a smaller grid keeps the selection inside";
}

// ---- Scrolling ----

namespace {

// One column of 8 rows of 40 in a 100 x 100 grid: two rows and a half show.
class ScrollingGridTest : public DrawGridTest {
 protected:
  ScrollingGridTest() {
    grid->SetColCount(1);
    grid->SetRowCount(8);
    grid->SetDefaultColWidth(60);
    grid->SetDefaultRowHeight(40);
    grid->SetBounds(4, 4, 100, 100);
  }
  QScrollBar* ScrollBar() const { return grid->findChild<QScrollBar*>(); }
};

}  // namespace

TEST_F(DrawGridTest, RowsThatFitShowNoScrollBar) {
  ASSERT_NE(grid->findChild<QScrollBar*>(), nullptr);
  EXPECT_TRUE(grid->findChild<QScrollBar*>()->isHidden());
  grid->SetTopRow(2);
  EXPECT_EQ(grid->TopRow(), 0) << "nothing to scroll";
}

TEST_F(ScrollingGridTest, RowsThatOverflowScrollWithABarAtTheRight) {
  ASSERT_FALSE(ScrollBar()->isHidden());
  EXPECT_EQ(ScrollBar()->geometry(), QRect(100 - TDrawGrid::ScrollBarWidth(), 0, TDrawGrid::ScrollBarWidth(), 100));
  EXPECT_EQ(grid->VisibleRowCount(), 2);
  EXPECT_EQ(ScrollBar()->maximum(), 6);
  EXPECT_EQ(grid->CellRect(0, 2), Rect(0, 80, 60, 100)) << "the part in view";
  EXPECT_TRUE(grid->CellRect(0, 3).IsEmpty());

  ScrollBar()->setValue(3);
  EXPECT_EQ(grid->TopRow(), 3);
  EXPECT_TRUE(grid->CellRect(0, 2).IsEmpty()) << "scrolled away";
  EXPECT_EQ(grid->CellRect(0, 4), Rect(0, 40, 60, 80));
  int col = -1, row = -1;
  grid->MouseToCell(10, 45, col, row);
  EXPECT_EQ(row, 4);
  grid->MouseToCell(99, 45, col, row);
  EXPECT_EQ(col, -1) << "over the scroll bar";

  grid->SetTopRow(99);
  EXPECT_EQ(grid->TopRow(), 6) << "the last rows fill the grid";
  EXPECT_EQ(ScrollBar()->value(), 6);
}

TEST_F(ScrollingGridTest, PaintingDrawsTheRowsInViewWhole) {
  grid->SetTopRow(1);
  grid->PaintPicture(clBlack);
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0].row, 1);
  EXPECT_EQ(drawn[0].rect, Rect(0, 0, 60, 40));
  EXPECT_EQ(drawn[2].row, 3);
  EXPECT_EQ(drawn[2].rect, Rect(0, 80, 60, 120)) << "the cut row is drawn whole";
}

TEST_F(ScrollingGridTest, ASelectedRowIsScrolledIntoView) {
  grid->SetRow(5);
  EXPECT_EQ(grid->TopRow(), 4);
  grid->SetRow(1);
  EXPECT_EQ(grid->TopRow(), 1);
  grid->SetRowCount(2);
  EXPECT_EQ(grid->TopRow(), 0) << "fewer rows show from the top";
  EXPECT_TRUE(ScrollBar()->isHidden());
}

TEST_F(ScrollingGridTest, TheWheelScrollsByRows) {
  window.show();
  QWheelEvent down(QPointF(10, 10), grid->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -240), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(grid, &down);
  EXPECT_EQ(grid->TopRow(), 2);
}
