#include "controls/DrawGrid.h"

#include <algorithm>

TDrawGrid::TDrawGrid(QWidget* parent) : TGraphicControl(parent) { SetBounds(0, 0, 320, 120); }

void TDrawGrid::SetColCount(int value) {
  value = std::max(1, value);
  if (value == colCount_) return;
  colCount_ = value;
  col_ = std::min(col_, colCount_ - 1);
  Repaint();
}

void TDrawGrid::SetRowCount(int value) {
  value = std::max(1, value);
  if (value == rowCount_) return;
  rowCount_ = value;
  row_ = std::min(row_, rowCount_ - 1);
  Repaint();
}

void TDrawGrid::SetDefaultColWidth(int value) {
  colWidth_ = std::max(1, value);
  Repaint();
}

void TDrawGrid::SetDefaultRowHeight(int value) {
  rowHeight_ = std::max(1, value);
  Repaint();
}

void TDrawGrid::SetGridLineWidth(int value) {
  gridLineWidth_ = std::max(0, value);
  Repaint();
}

void TDrawGrid::SetColor(TColor value) {
  color_ = value;
  Repaint();
}

void TDrawGrid::SetFixedColor(TColor value) {
  fixedColor_ = value;
  Repaint();
}

void TDrawGrid::FocusCell(int ACol, int ARow) {
  if (ACol < 0 || ACol >= colCount_ || ARow < 0 || ARow >= rowCount_) return;
  if (ACol == col_ && ARow == row_) return;
  bool canSelect = true;
  Fire(OnSelectCell, this, ACol, ARow, canSelect);
  if (!canSelect) return;
  col_ = ACol;
  row_ = ARow;
  Repaint();
}

TRect TDrawGrid::CellRect(int ACol, int ARow) const {
  if (ACol < 0 || ACol >= colCount_ || ARow < 0 || ARow >= rowCount_) return {};
  return Bounds(ACol * colWidth_, ARow * rowHeight_, colWidth_, rowHeight_);
}

void TDrawGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
  ACol = -1;
  ARow = -1;
  if (X < 0 || Y < 0) return;
  const int col = X / colWidth_;
  const int row = Y / rowHeight_;
  if (col >= colCount_ || row >= rowCount_) return;
  ACol = col;
  ARow = row;
}

void TDrawGrid::SelectCellAt(int X, int Y) {
  int col = -1;
  int row = -1;
  MouseToCell(X, Y, col, row);
  if (col >= 0) FocusCell(col, row);
}

void TDrawGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    selecting_ = true;
    SelectCellAt(X, Y);
  }
  TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TDrawGrid::MouseMove(TShiftState Shift, int X, int Y) {
  if (selecting_) SelectCellAt(X, Y);
  TGraphicControl::MouseMove(Shift, X, Y);
}

void TDrawGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) selecting_ = false;
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TDrawGrid::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = color_;
  canvas.FillRect(ClientRect());
  for (int row = 0; row < rowCount_; ++row) {
    for (int col = 0; col < colCount_; ++col) {
      const TRect cell = CellRect(col, row);
      if (cell.Left >= Width() || cell.Top >= Height()) continue;
      DrawCell(col, row, cell, col == col_ && row == row_ ? gdSelected : 0u);
    }
  }
}

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  Fire(OnDrawCell, this, ACol, ARow, ARect, AState);
}
