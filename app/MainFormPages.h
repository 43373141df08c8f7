// The sprite, frame and background pages: the sprite's name; the frame's
// transparency, duration, picture preview with the pick-up tool and the
// scene's colour table; the background's picture, colours and fill; and the
// commands that add picture frames and copy or paste the background.
#pragma once

#include "app/MainFormArea.h"
#include "platform/Colors.h"
#include "platform/Geometry.h"

class QCheckBox;
class QLineEdit;
class QScrollArea;
class QToolButton;
class QWidget;
class TImage;
class TPalette;
class TSpinEdit;
class TmKnob;

class TFramePagesArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;

  // Builds the three pages and connects their commands.
  void CreateSpriteFrameBackgroundPages();
  // Clears the pages' loading guards after a failed entry.
  void ClearEntryGuards();

  void LoadSpritePage();
  void LoadFramePage();
  void LoadBackgroundPage();
  // The frame page's loading guard: set, its controls change without writing the frame.
  bool& FillingFramePage() { return fillingFramePage_; }
  // Set while picture frames are being added.
  bool AddingPictureFrames() const { return addingPictureFrames_; }

  // The pick-up tool is on (the preview's cursor is the "AIRDROP" cursor).
  bool PickUpToolOn() const;
  // A press in the frame's preview (or in the text page's, which shares the tool).
  void NativeImageMouseDown(bool leftButton, int x, int y);
  // The last left press in the preview.
  TPoint PreviewPressPoint() const { return previewPressPoint_; }

  // The background page's colours and fill into the scene's background
  // fields (what BackgroundParameterChanged applies).
  void StoreBackgroundFillControls(TAnimatedScene& scene) const;
  // The part of the background page with the picture and the colours.
  QWidget* BackgroundPictureControls() const;

 private:
  void Edit_SpriteNameChange();
  void ApplyFrameTransparency(TColor color, bool tickBox, int x, int y);
  void TransparencyCheckBoxClick();
  void ImageColorPanelClick();
  void StepsPerFrameEditChange();
  void Sprite_SetTransparencyToAllFramesExecute();
  void Sprite_SetDurationToAllFramesExecute();
  void ShowFramePreview();
  void ToolButton_PickUpColorClick();
  void ShowTrueColorNote();
  void PictureCheckBoxClick();
  void FileNameEditChange();
  void SameColorsCheckBoxClick();
  void Scene_Open_BackgroundExecute();
  void Scene_Paste_BackgroundExecute();
  void CopyBackground1Click();
  void CopyBackgroundTo1Click();
  void ToolButton_Add_ImageClick();
  void Scene_Add_ImageExecute();
  void Sprite_Add_ImageExecute();
  // Asks for picture files and adds them as frames of the current sprite; a
  // sprite made for them (newSpriteIndex >= 0) is removed again when none was added.
  void AddImageFrames(int newSpriteIndex);
  // The scene's colour table (MainFormPagesPalette.cpp): the palette the
  // editor shows, that of the first 8-bit picture frame, else of the first
  // 8-bit frame of any kind, else of an 8-bit background picture; an empty
  // palette when there is none (or no scene).
  TPalette FindScenePalette();
  // The editor on the scene's palette; on OK every frame and the background
  // picture take the edited colours ("Change Palette").
  void EditPaletteButtonClick();
  // The background page's fill (MainFormPagesBackground.cpp).
  void CreateBackgroundFillControls(QWidget& page);
  void LoadBackgroundFillControls(const TAnimatedScene& scene);
  // A colour button of the page: the colour chooser, then the change applied.
  void BackgroundColorButtonClick(QToolButton* button);

  // The sprite page.
  QLineEdit* Edit_SpriteName = nullptr;
  // The frame page.
  QCheckBox* TransparencyCheckBox = nullptr;
  QToolButton* ImageColorPanel = nullptr;
  TSpinEdit* StepsPerFrameEdit = nullptr;  // 1 to 100000
  QToolButton* ToolButton_PickUpColor = nullptr;
  QScrollArea* PreviewScrollBox = nullptr;
  TImage* NativeImage = nullptr;
  QToolButton* EditPaletteButton = nullptr;
  // The background page.
  QCheckBox* PictureCheckBox = nullptr;
  QLineEdit* FileNameEdit = nullptr;
  QCheckBox* SameColorsCheckBox = nullptr;
  QToolButton* Button_BackgroundStartColor = nullptr;
  QToolButton* Button_BackgroundFinishColor = nullptr;
  QToolButton* ScBackFillLinear_Button = nullptr;  // fill type 0
  QToolButton* ScBackFillVelvet_Button = nullptr;  // fill type 1
  QToolButton* FillBackgroundButton = nullptr;
  TSpinEdit* ScBackFillAngle = nullptr;  // 0 to 360
  TmKnob* ScBackFillAngle_Knob = nullptr;
  QToolButton* ScBackFillBevelSolid_Button = nullptr;     // bevel type 0
  QToolButton* ScBackFillBevelFountain_Button = nullptr;  // bevel type 1
  TSpinEdit* ScBackFillBevelDepth_Edit = nullptr;
  QToolButton* ScBackFillBevelHigh_Button = nullptr;
  QToolButton* ScBackFillBevelShadow_Button = nullptr;
  TSpinEdit* ScBackFillOutline_Edit = nullptr;
  QToolButton* ScBackFillOutlineColor_Button = nullptr;
  TSpinEdit* ScBackFillCorner_Edit = nullptr;

  TPoint previewPressPoint_;
  bool fillingFramePage_ = false;
  bool fillingBackgroundPage_ = false;
  bool addingPictureFrames_ = false;
};
