#include "controls/DrawGrid.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>

TDrawGrid::TDrawGrid(QWidget* parent) : TGraphicControl(parent) {
  scrollBar_ = new QScrollBar(Qt::Vertical, this);
  scrollBar_->hide();
  QObject::connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) { SetTopRow(value); });
  SetBounds(0, 0, 320, 120);
}

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
  UpdateScrollBar();
  Repaint();
}

void TDrawGrid::SetDefaultColWidth(int value) {
  colWidth_ = std::max(1, value);
  Repaint();
}

void TDrawGrid::SetDefaultRowHeight(int value) {
  rowHeight_ = std::max(1, value);
  UpdateScrollBar();
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
  ScrollIntoView(ARow);
  Repaint();
}

// ---- Scrolling ------------------------------------------------------------------------------------

int TDrawGrid::ScrollBarWidth() { return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

int TDrawGrid::VisibleRowCount() const { return std::max(1, Height() / rowHeight_); }

int TDrawGrid::CellAreaWidth() const { return std::max(0, Width() - (RowsOverflow() ? ScrollBarWidth() : 0)); }

void TDrawGrid::SetTopRow(int value) {
  value = std::clamp(value, 0, std::max(0, rowCount_ - VisibleRowCount()));
  if (value == topRow_) return;
  topRow_ = value;
  UpdateScrollBar();
  Repaint();
}

void TDrawGrid::ScrollIntoView(int ARow) {
  if (ARow < topRow_) {
    SetTopRow(ARow);
  } else if (ARow >= topRow_ + VisibleRowCount()) {
    SetTopRow(ARow - VisibleRowCount() + 1);
  }
}

void TDrawGrid::UpdateScrollBar() {
  // A grid that grew to hold its rows, or lost rows, may show more of them now.
  topRow_ = std::clamp(topRow_, 0, std::max(0, rowCount_ - VisibleRowCount()));
  const bool overflow = RowsOverflow();
  scrollBar_->setVisible(overflow);
  if (!overflow) return;
  scrollBar_->setGeometry(Width() - ScrollBarWidth(), 0, ScrollBarWidth(), Height());
  const QSignalBlocker quiet(scrollBar_);
  scrollBar_->setRange(0, rowCount_ - VisibleRowCount());
  scrollBar_->setPageStep(VisibleRowCount());
  scrollBar_->setValue(topRow_);
}

void TDrawGrid::Resize() {
  UpdateScrollBar();
  TGraphicControl::Resize();
}

void TDrawGrid::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches == 0 || !RowsOverflow()) return TGraphicControl::wheelEvent(event);
  SetTopRow(topRow_ - notches);
  event->accept();
}

// ---- Cells ----------------------------------------------------------------------------------------

TRect TDrawGrid::PlacedCellRect(int ACol, int ARow) const {
  return Bounds(ACol * colWidth_, (ARow - topRow_) * rowHeight_, colWidth_, rowHeight_);
}

TRect TDrawGrid::CellRect(int ACol, int ARow) const {
  if (ACol < 0 || ACol >= colCount_ || ARow < topRow_ || ARow >= rowCount_) return {};
  TRect visible{};
  if (!IntersectRect(visible, PlacedCellRect(ACol, ARow), Rect(0, 0, CellAreaWidth(), Height()))) return {};
  return visible;
}

void TDrawGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
  ACol = -1;
  ARow = -1;
  if (X < 0 || Y < 0 || X >= CellAreaWidth()) return;
  const int col = X / colWidth_;
  const int row = Y / rowHeight_ + topRow_;
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
  for (int row = topRow_; row < rowCount_; ++row) {
    for (int col = 0; col < colCount_; ++col) {
      // A cell cut by the edge is drawn whole; the picture's edge cuts it.
      if (CellRect(col, row).IsEmpty()) continue;
      DrawCell(col, row, PlacedCellRect(col, row), col == col_ && row == row_ ? gdSelected : 0u);
    }
  }
}

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  Fire(OnDrawCell, this, ACol, ARow, ARect, AState);
}
