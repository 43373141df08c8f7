#include "controls/ColorPicker.h"

#include "controls/DrawGrid.h"
#include "controls/PopupWindow.h"
#include "controls/TrackBar.h"
#include "platform/CodePages.h"
#include "platform/UiServices.h"
#include "platform/qtui/QtHints.h"

#include <QFrame>
#include <QPalette>
#include <QScopedValueRollback>
#include <QToolButton>

namespace {

constexpr TColor kGrey = 0x00808080;

constexpr std::array<TColor, TColorPicker::ColorCount> kPalette = {
    RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(192, 96, 0),    RGB(128, 128, 0),   RGB(0, 128, 0),
    RGB(0, 0, 255),     RGB(0, 0, 128),     RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(128, 128, 128),
    RGB(192, 0, 0),     RGB(255, 128, 0),   RGB(192, 192, 0),   RGB(0, 192, 0),     RGB(128, 128, 255),
    RGB(0, 0, 192),     RGB(192, 0, 192),   RGB(0, 192, 192),   RGB(192, 192, 192), RGB(255, 0, 0),
    RGB(255, 192, 128), RGB(255, 255, 0),   RGB(0, 255, 0),     RGB(0, 192, 255),   RGB(128, 64, 192),
    RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(227, 227, 227), RGB(255, 128, 128), RGB(255, 227, 192),
    RGB(255, 255, 192), RGB(192, 255, 192), RGB(128, 228, 255), RGB(128, 128, 192), RGB(255, 192, 255),
    RGB(192, 255, 255), RGB(255, 255, 255), RGB(255, 192, 192), RGB(255, 242, 228), RGB(255, 255, 227),
    RGB(227, 255, 227), RGB(192, 227, 255), RGB(192, 192, 227), RGB(255, 228, 255), RGB(228, 255, 255),
};

QColor QtColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

void Fill(QWidget& widget, TColor color) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, QtColor(color));
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

QFrame* MakePanel(QWidget* parent, const char* name, const TRect& bounds, TColor color) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(name);
  panel->setGeometry(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
  Fill(*panel, color);
  return panel;
}

QToolButton* MakeSpeedButton(QWidget* parent, const char* name, const TRect& bounds, const char* caption,
                             const char* hint) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setGeometry(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
  button->setText(AnsiToQString(caption));
  button->setFocusPolicy(Qt::NoFocus);
  ApplyHint(*button, hint);
  return button;
}

}  // namespace

TColor TColorPicker::PaletteColor(int Index) {
  if (Index < 0 || Index >= ColorCount) return 0;
  return kPalette[static_cast<std::size_t>(Index)];
}

TColorPicker::TColorPicker(QObject* AOwner) : QObject(AOwner) { BuildPopup(qobject_cast<QWidget*>(AOwner)); }

TColorPicker::~TColorPicker() {
  // The pop-up belongs to the owner's window; it goes with the picker.
  delete form_.data();
}

void TColorPicker::BuildPopup(QWidget* ownerWidget) {
  form_ = new TPopupWindow(ownerWidget);
  form_->setObjectName("PopupForm");
  form_->resize(136, 173);
  Fill(*form_, clBtnFace);
  form_->OnCloseRequest = [this](QObject*) { ClosePanel(); };

  auto* panel = new QFrame(form_);
  panel->setObjectName("Panel");
  panel->setFrameStyle(QFrame::Box | QFrame::Plain);
  panel->setLineWidth(1);
  panel->setGeometry(0, 0, 136, 173);

  grid_ = new TDrawGrid(panel);
  grid_->setObjectName("Grid");
  grid_->SetColCount(Columns);
  grid_->SetRowCount(Rows);
  grid_->SetDefaultColWidth(14);
  grid_->SetDefaultRowHeight(14);
  grid_->SetColor(clBtnShadow);
  grid_->SetBounds(4, 4, Columns * 14, Rows * 14);
  grid_->OnDrawCell = [this](QObject* sender, int col, int row, const TRect& rect, TGridDrawState state) {
    GridDrawCell(sender, col, row, rect, state);
  };
  grid_->OnClick = [this](QObject* sender) { GridClick(sender); };

  static constexpr const char* kBarNames[3] = {"RedTrackBar", "GreenTrackBar", "BlueTrackBar"};
  static constexpr const char* kMarkerNames[3] = {"RedMarker", "GreenMarker", "BlueMarker"};
  static constexpr TColor kMarkerColors[3] = {0x000000FF, 0x0000FF00, 0x00FF0000};
  for (int i = 0; i < 3; ++i) {
    TTrackBar* bar = new TTrackBar(panel);
    bar->setObjectName(kBarNames[i]);
    bar->SetBounds(15, 79 + 22 * i, 116, 21);
    bar->SetMax(255);
    bar->SetFrequency(64);
    bar->SetPageSize(64);
    bar->SetThumbLength(12);
    bar->OnChange = [this](QObject* sender) { TrackBarChange(sender); };
    bars_[static_cast<std::size_t>(i)] = bar;
    MakePanel(panel, kMarkerNames[i], Bounds(4, 81 + 22 * i, 10, 10), kMarkerColors[i]);
  }
  QWidget::setTabOrder(bars_[0], bars_[1]);
  QWidget::setTabOrder(bars_[1], bars_[2]);

  moreColors_ = MakeSpeedButton(panel, "MoreColorsButton", Bounds(26, 148, 80, 20), "More Colors...",
                                "|Click to get a Windows's \"Colors\" dialog box.");
  ok_ = MakeSpeedButton(panel, "OkButton", Bounds(107, 148, 24, 20), "Ok", "|Click to close the panel.");
  connect(moreColors_, &QToolButton::clicked, this, &TColorPicker::MoreColorsClick);
  connect(ok_, &QToolButton::clicked, this, &TColorPicker::OkClick);
  swatch_ = MakePanel(panel, "ColorSwatch", Bounds(4, 148, 20, 20), color_);
}

void TColorPicker::ShowSwatch() { Fill(*swatch_, color_); }

void TColorPicker::SetColor(TColor Value) {
  color_ = Value;
  ShowSwatch();
  const TColor rgb = ColorToRGB(Value);
  const int channels[3] = {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)};
  {
    // Callers never see the mixes on the way to the new colour.
    const QScopedValueRollback<bool> quiet(settingColor_, true);
    for (int i = 0; i < 3; ++i) bars_[static_cast<std::size_t>(i)]->SetPosition(channels[i]);
  }
  for (TTrackBar* bar : bars_) {
    bar->SetSelStart(0);
    bar->SetSelEnd(bar->Position());
  }
  for (int i = 0; i < ColorCount; ++i) {
    if (kPalette[static_cast<std::size_t>(i)] == Value) {
      grid_->FocusCell(i % Columns, i / Columns);
      break;
    }
  }
}

void TColorPicker::Popup(QWidget* Control) {
  lastControl_ = Control;
  if (form_) form_->PopupAt(Control);
}

bool TColorPicker::PopupVisible() const { return form_ && form_->IsOpen() && !form_->HiddenOnPurpose(); }

void TColorPicker::ClosePanel() {
  if (form_) form_->ClosePopup();
  Fire(OnColorChange, this, color_);
}

// Raised cells with a white top-left and a grey bottom-right edge; the
// selected cell sunken in the fixed colour with a black frame.
void TColorPicker::GridDrawCell(QObject*, int ACol, int ARow, const TRect& Rect, unsigned State) {
  TCanvas& canvas = grid_->Canvas();
  const int lineWidth = grid_->GridLineWidth();
  const TRect cell = ::Rect(Rect.Left, Rect.Top, Rect.Right - 1, Rect.Bottom - 1);
  TRect r = cell;
  canvas.Brush().Style = bsSolid;
  canvas.Pen().Style = psSolid;
  canvas.Pen().Mode = pmCopy;
  canvas.Brush().Color = clWhite;
  canvas.FillRect(r);
  const int index = ARow * Columns + ACol;
  if (index >= ColorCount) {
    canvas.Brush().Color = grid_->FixedColor();
    canvas.FillRect(r);
    return;
  }
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
  canvas.Brush().Color = kPalette[static_cast<std::size_t>(index)];
  canvas.FillRect(r);
}

void TColorPicker::GridClick(QObject*) {
  SetColor(PaletteColor(grid_->Row() * Columns + grid_->Col()));
  ClosePanel();
}

void TColorPicker::TrackBarChange(QObject* Sender) {
  if (settingColor_) return;
  SetColor(RGB(static_cast<std::uint8_t>(bars_[0]->Position()), static_cast<std::uint8_t>(bars_[1]->Position()),
               static_cast<std::uint8_t>(bars_[2]->Position())));
  if (OnColorChange && PopupVisible()) OnColorChange(this, color_);
  if (auto* bar = qobject_cast<TTrackBar*>(Sender)) {
    bar->SetSelStart(0);
    bar->SetSelEnd(bar->Position());
  }
}

void TColorPicker::MoreColorsClick() {
  const QPointer<TColorPicker> alive(this);
  if (form_) form_->HideOnPurpose();
  const std::optional<TColor> chosen = Ui().ChooseColor(color_);
  if (alive.isNull() || form_.isNull()) return;
  if (chosen) {
    SetColor(*chosen);
    ClosePanel();
  } else {
    form_->ShowAgain();
  }
}

void TColorPicker::OkClick() { ClosePanel(); }
