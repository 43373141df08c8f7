// The colour-table editor ("Colors table"): a palette of up to 256 colours
// shown as a 16 x 16 grid. Callers use it in three ways:
// - editing a palette: the caller reads the edited table back (Table(),
//   its entries below the palette's own count) and, where it offers it,
//   whether "&Set Palette to All Frames" is ticked;
// - picking one entry as a colour (UsePickMode): editing is off and the
//   caller reads SelectedIndex() (row x 16 + column) or SelectedColor();
// - viewing a palette (UsePickMode with the file buttons hidden).
//
//   TEditPaletteForm form(owner);
//   form.Palette = bitmap.Palette();      // none: an empty TPalette
//   form.CurrentColor = color;            // preselects its nearest entry
//   form.UsePickMode();
//   form.LoadPalBtn->hide(); form.SavePalBtn->hide();
//   if (ShowModal(form) == mrOk) color = form.SelectedColor();
//
// The editor also reads and writes palette text files (dialogs/core/ColorTable.h).
#pragma once

#include "controls/GraphicControl.h"
#include "imaging/CreatePaletteU.h"
#include "platform/Graphics.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class TDrawGrid;
class TSpinEdit;
class TStream;

// The panel that shows the current colour: a sunken frame filled with it.
class TColorPanel : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TColorPanel(QWidget* parent = nullptr);
  TColor Color() const { return color_; }
  void SetColor(TColor value);

 protected:
  void Paint() override;

 private:
  TColor color_ = clBtnFace;
};

class TEditPaletteForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kColumns = 16;

  explicit TEditPaletteForm(QWidget* owner = nullptr);
  ~TEditPaletteForm() override;

  // ---- What the caller sets before showing ----
  // The palette shown; none shows one black entry.
  TPalette Palette;
  // The colour whose nearest entry of Palette is selected at show.
  TColor CurrentColor = 0;
  // Picking or viewing: the colour spin edits and the current-colour panel
  // are disabled and "&Set Palette to All Frames" is hidden.
  void UsePickMode();

  // ---- What the caller reads after OK ----
  // The editor's copy of the palette: 256 entries (those the palette did not
  // supply are 0) and the number of colours in use (palNumEntries).
  const TMaxLogPalette& Table() const { return table_; }
  // The selected cell's entry index (row x 16 + column).
  int SelectedIndex() const;
  // The selected entry's colour.
  TColor SelectedColor() const;
  // Whether the edits are meant for every frame ("&Set Palette to All Frames").
  bool SetToAllFrames() const;

  // ---- Components ----
  TDrawGrid* ColorsGrid = nullptr;
  QLabel* IndexLabel = nullptr;
  TColorPanel* CurColor = nullptr;
  TSpinEdit* RedSpinEdit = nullptr;
  TSpinEdit* GreenSpinEdit = nullptr;
  TSpinEdit* BlueSpinEdit = nullptr;
  QCheckBox* SetToAllCheckBox = nullptr;
  QPushButton* LoadPalBtn = nullptr;
  QPushButton* SavePalBtn = nullptr;
  QPushButton* OkBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

  // ---- Handlers ----
  void FormCreate();
  void FormShow();
  // Esc (27) closes with Cancel, Enter (13) with OK.
  void FormKeyPress(char& Key);
  void ColorsGridDrawCell(QObject* Sender, int ACol, int ARow, const TRect& Rect, unsigned State);
  void ColorsGridClick(QObject* Sender);
  void ColorsGridSelectCell(QObject* Sender, int ACol, int ARow, bool& CanSelect);
  void ColorsGridDblClick(QObject* Sender);
  void CurColorClick(QObject* Sender);
  void ColorSpinEditChange(QObject* Sender);
  void LoadPalBtnClick();
  void SavePalBtnClick();
  // Recounts the colours in use, selects the entry nearest to CurrentColor
  // in Palette and shows the count in the caption.
  void UpdateCaption();
  // Reads a palette text file into the table (the export's palette file rule).
  void ReadPaletteText(TStream& stream, TMaxLogPalette& palette);

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateComponents();
  TColor SpinEditColor() const;
  // Keeps the selection on a used entry and shows the selected entry.
  void SelectUsedEntry();

  TMaxLogPalette table_;
  // 1 while spin-edit changes are written into the selected entry.
  bool editing_ = true;
  std::string initialDir_;
};
