#include "dialogs/EditPaletteFormU.h"

#include "controls/DrawGrid.h"
#include "controls/My_SpinEdit.h"
#include "dialogs/core/ColorTable.h"
#include "platform/CodePages.h"
#include "platform/Streams.h"
#include "platform/SystemValues.h"
#include "platform/UiServices.h"
#include "platform/qtui/QtInput.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kCellSize = 16;
constexpr TColor kCellLineColor = 0x808080;
const char* const kOpenFilter = "Palette File [*.pal]|*.pal|All Files|*.*";
const char* const kSaveFilter = "Palette File [*.pal]|*.pal|All files|*.*";

int ChannelOf(const TSpinEdit& edit) { return std::clamp(edit.Value(), 0, 255); }

}  // namespace

// ---- TColorPanel ------------------------------------------------------------------------------

TColorPanel::TColorPanel(QWidget* parent) : TGraphicControl(parent) { SetBounds(0, 0, 41, 41); }

void TColorPanel::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Repaint();
}

void TColorPanel::Paint() {
  TCanvas& canvas = Canvas();
  const int w = Width(), h = Height();
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = color_;
  canvas.FillRect(ClientRect());
  // A sunken edge: shadow along the top and left, light along the bottom and right.
  canvas.Pen().Width = 1;
  canvas.Pen().Color = clBtnShadow;
  canvas.MoveTo(0, h - 1);
  canvas.LineTo(0, 0);
  canvas.LineTo(w, 0);
  canvas.Pen().Color = clBtnHighlight;
  canvas.MoveTo(w - 1, 1);
  canvas.LineTo(w - 1, h - 1);
  canvas.LineTo(0, h - 1);
}

// ---- TEditPaletteForm -------------------------------------------------------------------------

TEditPaletteForm::TEditPaletteForm(QWidget* owner) : QDialog(owner) {
  setObjectName("EditPaletteForm");
  setWindowTitle("Colors table");
  CreateComponents();
  FormCreate();
}

TEditPaletteForm::~TEditPaletteForm() = default;

void TEditPaletteForm::CreateComponents() {
  ColorsGrid = new TDrawGrid(this);
  ColorsGrid->setObjectName("ColorsGrid");
  ColorsGrid->SetColCount(kColumns);
  ColorsGrid->SetRowCount(kColumns);
  ColorsGrid->SetColor(clBtnFace);
  ColorsGrid->setFixedSize(kColumns * kCellSize, kColumns * kCellSize);

  IndexLabel = new QLabel("Index 255", this);
  IndexLabel->setObjectName("IndexLabel");
  CurColor = new TColorPanel(this);
  CurColor->setObjectName("CurColor");
  CurColor->SetCursor(crHandPoint);
  CurColor->SetHint("Click to change color");
  CurColor->setFixedSize(41, 41);

  const auto makeSpin = [this](const char* name) {
    auto* edit = new TSpinEdit(this);
    edit->setObjectName(name);
    edit->SetMinValue(0);
    edit->SetMaxValue(255);
    edit->SetValue(255);
    return edit;
  };
  RedSpinEdit = makeSpin("RedSpinEdit");
  GreenSpinEdit = makeSpin("GreenSpinEdit");
  BlueSpinEdit = makeSpin("BlueSpinEdit");

  SetToAllCheckBox = new QCheckBox("&Set Palette to All Frames", this);
  SetToAllCheckBox->setObjectName("SetToAllCheckBox");
  SetToAllCheckBox->setChecked(true);
  LoadPalBtn = new QPushButton("&Load Palette...", this);
  LoadPalBtn->setObjectName("LoadPalBtn");
  SavePalBtn = new QPushButton("&Save Palette...", this);
  SavePalBtn->setObjectName("SavePalBtn");
  OkBtn = new QPushButton("&Ok", this);
  OkBtn->setObjectName("OkBtn");
  OkBtn->setDefault(true);
  CancelBtn = new QPushButton("&Cancel", this);
  CancelBtn->setObjectName("CancelBtn");

  auto* channels = new QGridLayout;
  int row = 0;
  for (auto [caption, edit] : {std::pair{"Red:", RedSpinEdit}, {"Green:", GreenSpinEdit}, {"Blue:", BlueSpinEdit}}) {
    auto* label = new QLabel(caption, this);
    label->setBuddy(edit);
    channels->addWidget(label, row, 0);
    channels->addWidget(edit, row++, 1);
  }
  auto* current = new QHBoxLayout;
  current->addWidget(CurColor);
  current->addWidget(IndexLabel);
  auto* side = new QVBoxLayout;
  side->addLayout(current);
  side->addLayout(channels);
  side->addWidget(SetToAllCheckBox);
  side->addWidget(LoadPalBtn);
  side->addWidget(SavePalBtn);
  side->addStretch();
  side->addWidget(OkBtn);
  side->addWidget(CancelBtn);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(ColorsGrid, 0, Qt::AlignTop);
  layout->addLayout(side);

  ColorsGrid->OnDrawCell = [this](QObject* sender, int col, int row, const TRect& rect, TGridDrawState state) {
    ColorsGridDrawCell(sender, col, row, rect, state);
  };
  ColorsGrid->OnSelectCell = [this](QObject* sender, int col, int row, bool& canSelect) {
    ColorsGridSelectCell(sender, col, row, canSelect);
  };
  ColorsGrid->OnClick = [this](QObject* sender) { ColorsGridClick(sender); };
  ColorsGrid->OnDblClick = [this](QObject* sender) { ColorsGridDblClick(sender); };
  CurColor->OnClick = [this](QObject* sender) { CurColorClick(sender); };
  for (TSpinEdit* edit : {RedSpinEdit, GreenSpinEdit, BlueSpinEdit})
    edit->OnChange = [this](QObject* sender) { ColorSpinEditChange(sender); };
  connect(LoadPalBtn, &QPushButton::clicked, this, [this] { LoadPalBtnClick(); });
  connect(SavePalBtn, &QPushButton::clicked, this, [this] { SavePalBtnClick(); });
  connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TEditPaletteForm::FormCreate() {
  editing_ = true;
  initialDir_ = System().ProgramFolder();
}

void TEditPaletteForm::UsePickMode() {
  for (TSpinEdit* edit : {RedSpinEdit, GreenSpinEdit, BlueSpinEdit}) edit->setEnabled(false);
  CurColor->setEnabled(false);
  SetToAllCheckBox->hide();
}

void TEditPaletteForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TEditPaletteForm::FormShow() {
  table_ = ColorTableFromPalette(Palette);
  UpdateCaption();
  ColorsGrid->SetDefaultColWidth(ColorsGrid->Width() / kColumns);
  ColorsGrid->SetDefaultRowHeight(ColorsGrid->Height() / kColumns);
  ColorsGridClick(ColorsGrid);
}

void TEditPaletteForm::UpdateCaption() {
  table_.palNumEntries = static_cast<std::uint16_t>(ColorTableCount(table_));
  const int nearest = GetNearestPaletteIndex(Palette, CurrentColor);
  if (nearest >= 0 && nearest <= 255) ColorsGrid->FocusCell(nearest % kColumns, nearest / kColumns);
  setWindowTitle(AnsiToQString(ColorTableCaption(table_.palNumEntries)));
}

int TEditPaletteForm::SelectedIndex() const { return ColorsGrid->Row() * kColumns + ColorsGrid->Col(); }

TColor TEditPaletteForm::SelectedColor() const {
  return ColorOf(table_.palPalEntry[static_cast<std::size_t>(SelectedIndex())]);
}

bool TEditPaletteForm::SetToAllFrames() const { return SetToAllCheckBox->isChecked(); }

TColor TEditPaletteForm::SpinEditColor() const {
  return RGB(ChannelOf(*RedSpinEdit), ChannelOf(*GreenSpinEdit), ChannelOf(*BlueSpinEdit));
}

void TEditPaletteForm::ColorsGridSelectCell(QObject*, int ACol, int ARow, bool& CanSelect) {
  CanSelect = ARow * kColumns + ACol < table_.palNumEntries;
}

void TEditPaletteForm::ColorsGridDrawCell(QObject*, int ACol, int ARow, const TRect& Rect, unsigned State) {
  TCanvas& canvas = ColorsGrid->Canvas();
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = clWhite;
  canvas.FillRect(Rect);
  const int index = ARow * kColumns + ACol;
  if (index >= table_.palNumEntries) {
    canvas.Brush().Color = ColorsGrid->Color();
    canvas.FillRect(Rect);
    return;
  }
  canvas.Pen().Width = 1;
  canvas.Pen().Style = psSolid;
  TRect swatch = Rect;
  if ((State & gdSelected) != 0) {
    // Sunken: inside the grid line, grey along the top and left, then a black frame.
    const int line = ColorsGrid->GridLineWidth();
    const TRect inner{Rect.Left + line, Rect.Top + line, Rect.Right - line, Rect.Bottom - line};
    canvas.Brush().Color = ColorsGrid->FixedColor();
    canvas.FillRect(inner);
    canvas.Pen().Color = kCellLineColor;
    canvas.MoveTo(inner.Left, inner.Bottom - 1);
    canvas.LineTo(inner.Left, inner.Top);
    canvas.LineTo(inner.Right, inner.Top);
    const TRect framed{inner.Left + 1, inner.Top + 1, inner.Right, inner.Bottom};
    canvas.Brush().Color = clBlack;
    canvas.FrameRect(framed);
    swatch = framed;
  } else {
    canvas.Pen().Color = kCellLineColor;
    canvas.MoveTo(Rect.Left, Rect.Bottom - 1);
    canvas.LineTo(Rect.Right - 1, Rect.Bottom - 1);
    canvas.LineTo(Rect.Right - 1, Rect.Top - 1);
  }
  canvas.Brush().Color = ColorOf(table_.palPalEntry[static_cast<std::size_t>(index)]);
  canvas.FillRect(TRect{swatch.Left + 1, swatch.Top + 1, swatch.Right - 1, swatch.Bottom - 1});
}

void TEditPaletteForm::ColorsGridClick(QObject*) {
  const int index = SelectedIndex();
  const TPaletteEntry& entry = table_.palPalEntry[static_cast<std::size_t>(index)];
  editing_ = false;
  CurColor->SetColor(ColorOf(entry));
  RedSpinEdit->SetValue(entry.peRed);
  GreenSpinEdit->SetValue(entry.peGreen);
  BlueSpinEdit->SetValue(entry.peBlue);
  editing_ = true;
  IndexLabel->setText("Index " + QString::number(index));
}

void TEditPaletteForm::ColorsGridDblClick(QObject* Sender) { CurColorClick(Sender); }

void TEditPaletteForm::ColorSpinEditChange(QObject*) {
  const TColor color = SpinEditColor();
  CurColor->SetColor(color);
  if (!editing_) return;
  TPaletteEntry& entry = table_.palPalEntry[static_cast<std::size_t>(SelectedIndex())];
  entry.peRed = GetRValue(color);
  entry.peGreen = GetGValue(color);
  entry.peBlue = GetBValue(color);
  ColorsGrid->Repaint();
}

void TEditPaletteForm::CurColorClick(QObject*) {
  if (!CurColor->isEnabled()) return;
  const std::optional<TColor> chosen = Ui().ChooseColor(CurColor->Color());
  if (!chosen) return;
  const TColor color = ColorToRGB(*chosen);
  editing_ = false;
  RedSpinEdit->SetValue(GetRValue(color));
  GreenSpinEdit->SetValue(GetGValue(color));
  BlueSpinEdit->SetValue(GetBValue(color));
  editing_ = true;
  ColorSpinEditChange(CurColor);
}

void TEditPaletteForm::ReadPaletteText(TStream& stream, TMaxLogPalette& palette) {
  ReadColorTableText(stream, palette);
}

void TEditPaletteForm::LoadPalBtnClick() {
  FileDialogRequest request;
  request.filter = kOpenFilter;
  request.initialDir = initialDir_;
  const std::optional<FileDialogResult> chosen = Ui().ChooseOpenFile(request);
  if (!chosen) return;
  TBusyCursor busy;
  // The table changes only when the whole file was read.
  TMaxLogPalette loaded = table_;
  {
    TFileStream file(chosen->fileName, fmOpenRead | fmShareDenyNone);
    ReadPaletteText(file, loaded);
  }
  table_ = loaded;
  UpdateCaption();
  SelectUsedEntry();
  ColorsGrid->Repaint();
}

void TEditPaletteForm::SelectUsedEntry() {
  // A selection left beyond the new count would take edits that are never
  // saved, and the spin edits would show another palette's colour.
  if (SelectedIndex() >= table_.palNumEntries) ColorsGrid->FocusCell(0, 0);
  ColorsGridClick(ColorsGrid);
}

void TEditPaletteForm::SavePalBtnClick() {
  FileDialogRequest request;
  request.filter = kSaveFilter;
  request.initialDir = initialDir_;
  request.defaultExt = "pal";
  const std::optional<FileDialogResult> chosen = Ui().ChooseSaveFile(request);
  if (!chosen) return;
  TBusyCursor busy;
  SaveColorTableFile(chosen->fileName, table_, table_.palNumEntries);
}

void TEditPaletteForm::FormKeyPress(char& Key) {
  if (Key == 27) {
    Key = 0;
    reject();
  } else if (Key == '\r') {
    Key = 0;
    accept();
  }
}

void TEditPaletteForm::keyPressEvent(QKeyEvent* event) {
  if (const std::optional<char> typed = KeyPressCharOf(*event)) {
    char key = *typed;
    FormKeyPress(key);
    if (key == 0) return;
  }
  QDialog::keyPressEvent(event);
}
