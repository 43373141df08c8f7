// The draw grid of the pickers (the class library's TDrawGrid as the pickers
// use it): ColCount x RowCount cells of one fixed size, laid out from the
// top-left corner with no grid lines between them (the pickers' grids have
// no line options), no fixed rows or columns and no scroll bars. The grid
// fills its area with Color and leaves every cell's drawing to OnDrawCell,
// which paints on Canvas() (TCanvas, so tests read exact pixels).
//
//   grid->OnDrawCell = [this](QObject*, int ACol, int ARow, const TRect& Rect, TGridDrawState State) {
//     grid->Canvas().Brush().Color = ...; grid->Canvas().FillRect(Rect);
//   };
//   grid->OnClick = [this](QObject*) { Pick(grid->Col(), grid->Row()); };
//
// A left press selects the cell under the mouse (moving with the button held
// selects the cells it passes); the release inside the grid is OnClick, with
// the cell already selected. OnMouseMove reports every move (MouseToCell
// gives its cell).
//
// Rows that do not all fit scroll: a vertical scroll bar at the right edge
// (and the mouse wheel) moves TopRow, the first row shown; a row selected by
// code or by the mouse is scrolled into view. Rows scrolled away have no
// cell rectangle.
#pragma once

#include "controls/GraphicControl.h"

#include <functional>

class QScrollBar;
class QWheelEvent;

// The state a cell is drawn in (bits).
enum TGridDrawStateItem : unsigned { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = unsigned;

// Draws cell (ACol, ARow) within Rect on the grid's canvas.
using TDrawCellEvent =
    std::function<void(QObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;
// Asked before a cell becomes the selected one; CanSelect false refuses it.
using TSelectCellEvent = std::function<void(QObject* Sender, int ACol, int ARow, bool& CanSelect)>;

class TDrawGrid : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TDrawGrid(QWidget* parent = nullptr);

  // ---- Layout ----
  int ColCount() const { return colCount_; }
  void SetColCount(int value);
  int RowCount() const { return rowCount_; }
  void SetRowCount(int value);
  int DefaultColWidth() const { return colWidth_; }
  void SetDefaultColWidth(int value);
  int DefaultRowHeight() const { return rowHeight_; }
  void SetDefaultRowHeight(int value);
  // The width of the grid lines, 1 by default. The lines are neither drawn
  // nor laid out; the pickers' draw handlers inset their cells by it.
  int GridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(int value);

  // ---- Colours ----
  // The grid's background (the area around and between cells' drawings).
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  // The colour of fixed cells, which draw handlers use for the selected cell.
  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor value);

  // ---- Selection ----
  int Col() const { return col_; }
  void SetCol(int value) { FocusCell(value, row_); }
  int Row() const { return row_; }
  void SetRow(int value) { FocusCell(col_, value); }
  // Makes (ACol, ARow) the selected cell when it lies in the grid and
  // OnSelectCell allows it; repaints.
  void FocusCell(int ACol, int ARow);

  // ---- Scrolling ----
  // The first row shown; rows above it are scrolled out of view.
  int TopRow() const { return topRow_; }
  // Clamped so that the last rows fill the grid; repaints.
  void SetTopRow(int value);
  // The rows that fit wholly in the grid's height (at least 1).
  int VisibleRowCount() const;
  // The width of the vertical scroll bar, shown while the rows do not all fit.
  static int ScrollBarWidth();

  // ---- Cells ----
  // The visible part of the cell's rectangle in client coordinates; empty
  // outside the grid and for a cell scrolled out of view.
  TRect CellRect(int ACol, int ARow) const;
  // The cell at a client point; -1 and -1 outside the cells.
  void MouseToCell(int X, int Y, int& ACol, int& ARow) const;

  // The canvas that draw handlers paint on.
  using TGraphicControl::Canvas;

  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 protected:
  void Paint() override;
  void Resize() override;
  void wheelEvent(QWheelEvent* event) override;
  // Fires OnDrawCell.
  virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);

 private:
  void SelectCellAt(int X, int Y);
  bool RowsOverflow() const { return rowCount_ * rowHeight_ > Height(); }
  // The width the cells may take: the grid's, less the scroll bar while it shows.
  int CellAreaWidth() const;
  // Shows the scroll bar while the rows overflow and sets its range and position.
  void UpdateScrollBar();
  void ScrollIntoView(int ARow);
  // The cell's whole rectangle where the scrolling places it.
  TRect PlacedCellRect(int ACol, int ARow) const;

  int colCount_ = 5;
  int rowCount_ = 5;
  int colWidth_ = 64;
  int rowHeight_ = 24;
  int gridLineWidth_ = 1;
  TColor color_ = clWindow;
  TColor fixedColor_ = clBtnFace;
  int col_ = 0;
  int row_ = 0;
  bool selecting_ = false;
  int topRow_ = 0;
  QScrollBar* scrollBar_ = nullptr;
};
