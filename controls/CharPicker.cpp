#include "controls/CharPicker.h"

#include "controls/DrawGrid.h"
#include "controls/HintWindow.h"
#include "controls/PopupModalLoop.h"
#include "controls/PopupWindow.h"
#include "platform/Numeric.h"
#include "platform/SystemValues.h"

#include <QPalette>

namespace {

constexpr TColor kGrey = 0x00808080;
constexpr TColor kHintColor = 0x00FFDCB9;

}  // namespace

TRect TCharPicker::HintRect(TPoint cursor, TSize text, TSize screen) {
  const int left = cursor.X + CursorSize.cx / 2;
  const int top = cursor.Y + CursorSize.cy / 2;
  TRect r = Rect(left, top, left + Round(text.cx * 1.5) + 6, top + text.cy + 4);
  if (r.Bottom > screen.cy) OffsetRect(r, 0, screen.cy - r.Bottom);
  if (r.Right >= screen.cx) OffsetRect(r, screen.cx - r.Right, 0);
  if (r.Left < 0) OffsetRect(r, -r.Left, 0);
  if (r.Top < 0) OffsetRect(r, 0, -r.Top);
  return r;
}

TCharPicker::TCharPicker(QObject* AOwner) : QObject(AOwner) {
  hintTimer_.SetEnabled(false);
  hintTimer_.SetOnTimer([this] { HintTimerTimer(); });
  BuildPopup(qobject_cast<QWidget*>(AOwner));
}

TCharPicker::~TCharPicker() {
  // The pop-up belongs to the owner's window; it goes with the picker.
  delete form_.data();
}

void TCharPicker::BuildPopup(QWidget* ownerWidget) {
  form_ = new TPopupWindow(ownerWidget);
  form_->setObjectName("PopupForm");
  form_->resize(386, 114);
  QPalette black = form_->palette();
  black.setColor(QPalette::Window, Qt::black);
  form_->setPalette(black);
  form_->setAutoFillBackground(true);
  form_->OnCloseRequest = [this](QObject*) { ClosePopup(); };

  grid_ = new TDrawGrid(form_);
  grid_->setObjectName("Grid");
  grid_->SetColCount(Columns);
  grid_->SetRowCount(Rows);
  grid_->SetDefaultColWidth(12);
  grid_->SetDefaultRowHeight(16);
  grid_->SetColor(clWindowText);
  grid_->SetBounds(1, 1, 384, 112);
  grid_->OnDrawCell = [this](QObject* sender, int col, int row, const TRect& rect, TGridDrawState state) {
    GridDrawCell(sender, col, row, rect, state);
  };
  grid_->OnClick = [this](QObject* sender) { GridClick(sender); };
  grid_->OnMouseMove = [this](QObject* sender, TShiftState shift, int x, int y) { GridMouseMove(sender, shift, x, y); };

  hint_ = new THintWindow(form_);
  hint_->setObjectName("HintWindow");
  hint_->SetColor(kHintColor);
}

void TCharPicker::SetTextColor(TColor Value) {
  textColor_ = Value;
  grid_->Repaint();
}

void TCharPicker::SetFont(const TFont& Value) {
  font_ = Value;
  grid_->Repaint();
}

void TCharPicker::SetColor(TColor Value) {
  color_ = Value;
  grid_->Repaint();
}

TFont TCharPicker::FontAt(int points) const {
  TFont font = font_;
  font.SetSize(points);
  return font;
}

bool TCharPicker::Execute(QWidget* Button) {
  const QPointer<TCharPicker> alive(this);
  returnChar_ = '\0';
  closed_ = false;
  grid_->Repaint();
  form_->PopupAt(Button);
  const bool closedNormally = RunPopupModal(*form_, parent());
  // The owner, and with it this picker, may be gone.
  if (alive.isNull() || !closedNormally) return false;
  return returnChar_ != '\0';
}

void TCharPicker::ClosePopup() {
  if (form_) form_->ClosePopup();
  closed_ = true;
  hintTimer_.SetEnabled(false);
  hint_->ReleaseHint();
}

// Cells as the colour picker's: raised, the selected one sunken in the fixed
// colour with a black frame; the character at 8 points inside, clipped.
void TCharPicker::GridDrawCell(QObject*, int ACol, int ARow, const TRect& Rect, unsigned State) {
  TCanvas& canvas = grid_->Canvas();
  const int lineWidth = grid_->GridLineWidth();
  const TRect cell = ::Rect(Rect.Left, Rect.Top, Rect.Right - 1, Rect.Bottom - 1);
  TRect r = cell;
  canvas.Pen().Style = psSolid;
  canvas.Pen().Mode = pmCopy;
  canvas.Pen().Color = textColor_;
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = color_;
  canvas.FillRect(r);
  canvas.Pen().Color = kGrey;
  canvas.Pen().Width = lineWidth;
  if ((State & gdSelected) != 0) {
    InflateRect(r, -lineWidth, -lineWidth);
    canvas.Brush().Color = grid_->FixedColor();
    canvas.FillRect(r);
    canvas.Polyline({Point(r.Left, r.Bottom), Point(r.Left, r.Top), Point(r.Right, r.Top)});
    canvas.Brush().Color = clBlack;
    canvas.FrameRect(cell);
  } else {
    canvas.Polyline({Point(r.Left, r.Bottom - 1), Point(r.Right - 1, r.Bottom - 1), Point(r.Right - 1, r.Top - 1)});
  }
  canvas.Pen().Width = 1;
  InflateRect(r, -1, -1);
  canvas.Font() = FontAt(8);
  canvas.Brush().Color = color_;
  canvas.SetClipRegion(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
  canvas.TextOut(r.Left, r.Top, std::string(1, static_cast<char>(CharAt(ACol, ARow))));
  canvas.SetClipRegion(std::nullopt);
}

void TCharPicker::GridClick(QObject*) {
  returnChar_ = static_cast<char>(CharAt(grid_->Col(), grid_->Row()));
  ClosePopup();
}

void TCharPicker::GridMouseMove(QObject*, TShiftState, int X, int Y) {
  int col = -1;
  int row = -1;
  grid_->MouseToCell(X, Y, col, row);
  if (col < 0) return;
  const std::string text(1, static_cast<char>(CharAt(col, row)));
  const TFont font = FontAt(24);
  TBitmap measure;
  measure.Canvas().Font() = font;
  const TSize extent = measure.Canvas().TextExtent(text);
  const QPoint cursor = grid_->mapToGlobal(QPoint(X, Y));
  hint_->SetFont(font);
  hint_->ActivateHint(HintRect(Point(cursor.x(), cursor.y()), extent, System().ScreenSize()), text);
  hintTimer_.SetEnabled(false);
  hintTimer_.SetEnabled(true);
}

void TCharPicker::HintTimerTimer() {
  hintTimer_.SetEnabled(false);
  hint_->ReleaseHint();
}
