// Galleries, presets, templates and the remaining scene commands: the 3D
// animation, colour and motion galleries, Insert > Presets, the template
// wizard, Import, Save As, the recent files, the 88 x 31 size, sprites to the
// front or the back of all, the upgrade-check switch, the background page's
// display type and the scene's transparent background.
#pragma once

#include "app/MainFormArea.h"

#include <array>
#include <cstdint>

class QAction;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QWidget;
class TAnimationPicker;
class TUndo;

class TGalleriesArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;

  // Builds the area's controls and connects its commands.
  void FormCreateScene();
  // Adds the preset picture of a Presets menu item as a new sprite. Each
  // item is named after its file and carries its picture's mask colour in
  // the property kMaskColorProperty.
  void InsertPreset(QAction* item);
  static constexpr const char* kMaskColorProperty = "MaskColor";
  static constexpr int kPresetIconSize = 18;
  void File_NewFromTemplateExecute();
  // The upgrade-check switch (Checknewversion1); Check for Upgrade Now
  // unticks the switch and runs this.
  void Checknewversion1Click();
  // Opens the recent-files entry of an index (LO1 ... LO9).
  void OpenRecent(int index);
  // The picker the three galleries show (created on first use).
  TAnimationPicker* AnimationPicker1();
  // The 3D animation and colour galleries on the current 3D text frame (anchor:
  // the control the picker drops at, nullptr for none).
  void AnimationGalleryToolButtonClick(QWidget* anchor = nullptr);
  void CollorGalleryToolButtonClick(QWidget* anchor = nullptr);
  // Gives the active document's canvas a size; a size beyond the project
  // reader's limits is refused with a message and changes nothing.
  bool ApplyCanvasSize(int width, int height);
  // The comment box's change (GifCommentMemoChange) before it writes the
  // scene: one scene-settings entry per burst of typing.
  void RecordGifCommentChange();
  // Every change of the background page's parameters: one "Change
  // Background Properties" entry, then the background set again.
  void BackgroundParameterChanged();
  // Shows the scene's values in the area's controls without writing them back.
  void LoadSceneCommandControls();
  // The last step of shutting down: after a failed release of the 3D
  // library the process ends at once.
  void FormDestroy();
  // After a failed entry: the area's filling guard is cleared.
  void ClearGuards() { fillingSceneCommandControls_ = false; }

 private:
  // The motion gallery on the current sprite's path.
  void ShowMotionGallery(QWidget* anchor = nullptr);
  void File_ImportExecute();
  void File_Save_AsExecute();
  void View_88x31Execute();
  void Scene_MovetoFrontOfAllSpritesExecute();
  void Scene_MoveToBackOfAllSpritesExecute();
  void BackgroundIsTransparentCheckBoxClick();
  void TransparentBackColor_ButtonClick();
  void CreateSceneCommandControls();

  // The background page's display type (" Display ": "Center", "Tile",
  // "Stretch") and the scene page's transparent background.
  QGroupBox* radioBackgrounPictureType_ = nullptr;
  std::array<QRadioButton*, 3> backgroundPictureTypes_{};
  QCheckBox* backgroundIsTransparentCheckBox_ = nullptr;
  QPushButton* transparentBackColorButton_ = nullptr;
  bool fillingSceneCommandControls_ = false;
  // The comment's burst of typing: the entry it goes on with.
  struct TGifCommentBurst {
    const TUndo* Log = nullptr;
    std::int32_t LastRecordPosition = -1;
    std::int64_t LogSize = -1;
  } gifCommentBurst_;
};
