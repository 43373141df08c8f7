// The animation gallery picker: the project files of one folder as a column
// of thumbnails in a borderless pop-up, the selected one playing live in
// place. The main window's gallery buttons (3D animation, colour and motion
// presets) set Directory, call Execute at the button and, on success, load
// the chosen file.
//
// The gallery reads its files without showing any message (a message box
// would take the activation and close the pop-up under the reading); it
// frees its items only once a fill or a tick has returned, and checks after
// each read that the pop-up is still open.
#pragma once

#include "controls/DrawGrid.h"
#include "controls/Image.h"
#include "controls/PopupWindow.h"
#include "platform/Colors.h"
#include "platform/Timer.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QFrame;
class QPushButton;
class QWidget;
class TAnimatedScene;
class TBitmap;

// One listed file and the scene it plays in.
class TSetOfAnimationsItem {
 public:
  explicit TSetOfAnimationsItem(std::string fileName);
  ~TSetOfAnimationsItem();
  TSetOfAnimationsItem(const TSetOfAnimationsItem&) = delete;
  TSetOfAnimationsItem& operator=(const TSetOfAnimationsItem&) = delete;

  TAnimatedScene& Scene() const { return *scene_; }
  const std::string& FileName() const { return fileName_; }
  bool FullyLoaded() const { return fullyLoaded_; }

  // Reads the file in preview mode (up to its stored preview, no sprites) into
  // the item's scene, which composes into output. Shows nothing; false when
  // the read failed.
  bool ReadPreview(TBitmap* output);
  // The first playback: a new scene composing into output reads the whole
  // file with its sprites, showing nothing. The item counts as fully loaded
  // afterwards, also when the read failed (it is not tried again).
  void LoadFully(TBitmap* output);
  // The stored preview, or null when the file has none.
  const TBitmap* StoredPreview() const;

 private:
  std::unique_ptr<TAnimatedScene> scene_;
  std::string fileName_;
  bool fullyLoaded_ = false;
};

class TAnimationPicker : public QObject {
 public:
  // owner: the component's owner; its widget (when it is one) owns the pop-up.
  explicit TAnimationPicker(QObject* owner = nullptr);
  ~TAnimationPicker() override;

  // ---- Published ----
  std::string Directory;
  std::string DataExtension = ".glm";
  // The panel's colour while the pop-up shows.
  TColor Color = clBtnFace;

  // Shows the gallery with its top-left corner at the centre of Control
  // (nullptr: centred on the desktop) and waits until it closes. True when
  // the user chose with Ok or a double click on the animation; the chosen
  // file is then ChosenFileName (empty when no file was listed).
  bool Execute(QWidget* Control);
  const std::string& ChosenFileName() const { return chosenFileName_; }

  // ---- The pop-up's parts ----
  TPopupWindow* Form() const { return form_; }
  QFrame* Panel = nullptr;
  TDrawGrid* Grid = nullptr;
  QWidget* AnimationPanel = nullptr;
  TImage* AnimationImage = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;
  TTimer AnimationTimer;

  // The listed files, in grid order (empty while the pop-up is closed).
  int ItemCount() const { return static_cast<int>(items_.size()); }
  TSetOfAnimationsItem& Item(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
  // 0 while open, 1 after Ok, 2 after closing otherwise.
  int Result() const { return result_; }

  // ---- Handlers ----
  // The pop-up shows: the list is filled from the folder.
  void FormShow();
  void OkButtonClick();
  // Cancel, Esc and the loss of activation.
  void CancelButtonClick();
  void AnimationImageDblClick();
  void GridDrawCell(int ACol, int ARow, const TRect& Rect, TGridDrawState State);
  void GridSelectCell(int ACol, int ARow, bool& CanSelect);
  void AnimationTimerTimer();

 private:
  class BusyScope;
  void BuildForm(QWidget* parent);
  void ClosePicker();
  void FreeItems();
  bool ValidRow(int row) const { return row >= 0 && row < ItemCount(); }
  void SizeCellsFor(const TSetOfAnimationsItem& item);
  void DrawStoredPreview(const TSetOfAnimationsItem& item);
  // Whether the item is still listed and the pop-up open (after a read).
  bool StillShowing(const TSetOfAnimationsItem* item, int row) const;

  QPointer<TPopupWindow> form_;
  std::vector<std::unique_ptr<TSetOfAnimationsItem>> items_;
  std::string chosenFileName_;
  int result_ = 0;
  // Fills and ticks in progress, and whether a close waits for them to return.
  int busy_ = 0;
  bool freePending_ = false;
};
