// The Options dialog: the settings of the program on four pages (general,
// saving, fonts, file locations). The main window fills it from its settings
// and takes the values back when the user answers OK; the dialog itself
// adds the hints, the font and colour choosers and the folder browser.
#pragma once

#include "platform/Colors.h"
#include "platform/Events.h"
#include "platform/Graphics.h"
#include "platform/Keyboard.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class TDigitalDisplay;
class TRadioGroup;
class TSpinEdit;

// What the dialog edits.
struct TOptionsValues {
  bool CreateBackup = false;
  // The three data folders, shown in the "File Locations" list.
  std::string DataFolder;
  std::string PicturesFolder;
  std::string TexturesFolder;
  bool Autosave = false;
  int AutosaveMinutes = 10;  // 1 .. 120
  bool UndoEnabled = true;
  bool AntiAliasResample = true;       // item 0 of TypeOfResizeRadio
  bool PlayAntiAliasResample = false;  // item 0 of PlayTypeOfResizeRadio
  TFont DialogFont;                    // the font of DialogsText
  TColor DigitalDisplayColor = clRed;  // the text colour of DigitalDisplay1
  TColor DigitalDisplayBackground = clBlack;
  int MaxLastOpened = 4;  // 1 .. 9
  bool LastOpenedEnabled = true;
  bool SaveBitmapsInFrames = true;
};

class TOptionsFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TOptionsFrm(QWidget* owner = nullptr);

  // ---- Components ----
  QTabWidget* PageControl1 = nullptr;
  // "&General"
  QCheckBox* CheckBoxUndo = nullptr;
  QCheckBox* CheckBoxOpennedFiles = nullptr;
  TSpinEdit* SpinOpenedFiles = nullptr;
  QLabel* LabelOpenedFiles = nullptr;
  TRadioGroup* TypeOfResizeRadio = nullptr;
  TRadioGroup* PlayTypeOfResizeRadio = nullptr;
  // "&Save"
  QCheckBox* CheckBoxBackup = nullptr;
  QCheckBox* AutosaveCheck = nullptr;
  TSpinEdit* SaveIntervalSpin = nullptr;
  QCheckBox* SaveBitmapsCheckBox = nullptr;
  // "&Font"
  QLabel* DialogsText = nullptr;
  QPushButton* ChangeFont = nullptr;
  TDigitalDisplay* DigitalDisplay1 = nullptr;
  QPushButton* ButtonDigDisplay = nullptr;
  // "File &Locations"
  QTreeWidget* FileLocationsList = nullptr;
  QPushButton* ModifyBtn = nullptr;
  QPushButton* OkBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* HelpBtn = nullptr;

  // Fills the controls; the values read back as they are on the controls.
  void Fill(const TOptionsValues& values);
  TOptionsValues Values() const;
  // The font DialogsText shows.
  const TFont& DialogsTextFont() const { return dialogsTextFont_; }
  void SetDialogsTextFont(const TFont& font);

  // ---- Handlers ----
  void FormShow();
  void FormKeyPress(char& Key);
  void FormKeyDown(WORD& Key, TShiftState Shift);
  void HelpBtnClick();
  void ChangeFontClick();
  void ButtonDigDisplayClick();
  void CheckBoxOpennedFilesClick();
  void SaveIntervalSpinChange();
  void ModifyBtnClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QWidget* CreateGeneralPage();
  QWidget* CreateSavePage();
  QWidget* CreateFontPage();
  QWidget* CreateLocationsPage();
  std::string FolderOfRow(int row) const;

  TFont dialogsTextFont_;
};
