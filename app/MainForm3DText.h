// The 3D text editor of the frame page, its lights and its animation
// preview: the editor view and its objects, the page's seven tabs, filling
// the page from a frame, storing the edits into the frame after the pause,
// dragging the view and the lights, and the 3D text add commands. The
// editor's objects and controls are its parts (MainForm3DTextParts.h).
#pragma once

#include "app/MainFormArea.h"
#include "platform/Colors.h"
#include "platform/Keyboard.h"
#include "platform/Timer.h"
#include "scene/Text3DFrame.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QWidget;
class TBitmap;
struct T3DEditorControls;
struct TAddedItem;

class TText3DArea : public TMainFormArea {
 public:
  explicit TText3DArea(TMainFormContext& editor);
  ~TText3DArea() override;

  // Builds the editor, its page and its timers, and connects its commands.
  void FormCreate3DText();
  // Lays out the 3D editor's view when the window is first shown.
  void FormShow3DText();
  // At the end of the first show: the properties panel's minimum width (and
  // width) becomes what the 3D text page needs.
  void FitPropertiesPanelToTextPage();
  TTimer& Timer_3D_Changed() { return timer_3D_Changed_; }    // 200 ms after the last 3D text edit
  TTimer& TimerLightsRedraw() { return timerLightsRedraw_; }  // 30 ms while a light is dragged
  TTimer& ZoomTimer() { return zoomTimer_; }                  // 100 ms while a size button is held on the view
  TTimer& Timer3DAnimation() { return timer3DAnimation_; }    // 50 ms, then the frame's duration x the step time
  void Timer_3D_ChangedTimer();
  void TimerLightsRedrawTimer();
  void ZoomTimerTimer();
  void Timer3DAnimationTimer();

  // The editor's 3D objects, controls and pending change (MainForm3DTextParts.h).
  struct T3DTextParts;
  T3DTextParts& Text3D() const { return *text3D_; }

  // Frame preview page 1 for the current frame (a 3D text frame).
  void Load3DTextPage();
  // Load3DTextPage for a frame of a sprite: the editor edits that frame from now on.
  void Load3DTextFrame(TSprite& sprite, int frameIndex);
  // The frame the editor edits (null when none or gone).
  TFrame* Text3DFrame() const;
  // The state the editor shows and edits (the selected state plus the fields of both).
  const T3DTextState& Text3DEditorState() const;
  // The frame's edits since the last store wait for the pause: true while one does.
  bool Text3DChangePending() const;
  // An edit still waiting for its pause is applied now.
  void FlushText3DChange();
  // Renders a 3D text frame's picture from its start state and stores it,
  // as part of the change that set the states (nothing recorded).
  void StoreText3DPicture(TFrame& frame);
  // Set by a command that changed the frame's picture itself: the next tick
  // of Timer_3D_Changed only clears it.
  bool SkipNext3DRender() const { return skipNext3DRender_; }
  void SetSkipNext3DRender(bool skip) { skipNext3DRender_ = skip; }
  // After a failed entry: the area's guards are cleared.
  void ClearGuards();

  // The mouse over the editor's tabs: remembers the hint of the tab under
  // it (none where no tab is).
  void PageControl_3DTextMouseMove(int x, int y);
  // What the hint shown for a control is like (the class library's hint info).
  struct THintInfo {
    QWidget* HintControl = nullptr;
    int HintMaxWidth = 0;
    int ReshowTimeout = 0;  // ms
  };
  // The application's show-hint step: hints are at most 200 pixels wide; the
  // editor's tabs show the remembered tab hint and show it again 500 ms
  // after the pointer moved on. False: no hint is shown.
  bool AppShowHint(std::string& HintStr, THintInfo& HintInfo);

  // ---- Adding 3D text ----
  void Scene_Add_3DTextExecute();
  // Appends a 3D text frame to a sprite of the active scene, renders its
  // first picture and loads the editor with it; the new frame's index (-1
  // when nothing was added).
  int Add3DTextFrameTo(TSprite& sprite);

 private:
  // The 3D text page's font depth and size lists.
  QComboBox* ComboBoxDepth = nullptr;
  QComboBox* ComboBoxSize = nullptr;

  // ---- Filling the page and storing it ----
  // The controls and the editor's objects from one state; stores nothing.
  void LoadText3DEditor(const T3DTextState& state);
  // Every control into the editor, the view redrawn, stored, the pause restarted.
  void Text3DParameterChange();
  // The editor's state into the edited frame's two states.
  void Store3DSettings();
  // The sprite the editor edits (null when none or gone).
  TSprite* Text3DSprite() const;

  // ---- Text, font, size, colours, texture ----
  void EditNewTextChange();
  void FontsListFontChange();
  void Font_FontDialogExecute();
  void ToolButton_InsertSimbolClick();
  void ComboBoxSizeChange();
  void MaterialColorChange(TColor color);
  void Text3DBackgroundChange(TColor color);
  void Button_3DTextColorClick();
  void LightMaterialColorButtonClick();
  void Button_3DBackgroundClick();
  void Texture_OpenExecute();
  void Texture_PasteExecute();
  void EditTextureFileNameChange();
  void CheckBoxTextureClick();
  // The thumbnail of a texture larger than itself opens the texture's preview window.
  void ImageTextureClick();
  void ScrollBarTextureRotZChange();
  // The picture cut to powers of two becomes the texture and its thumbnail.
  void SetTextureBitmap(const TBitmap& picture);
  void PageControl_3DTextChange();
  // The view's box takes the frame's image size.
  void SelectionBox_3DSceneResized();
  // The view's frame at the top left of the preview box, its inner box the view.
  void PlaceText3DView(int width, int height);
  void ShowText3DEditor();

  // ---- Lights and dragging ----
  void LightPosChange();
  void LightTypeClick();
  void PageControl_LightsChange();
  void LightColorButtonClick();
  void LightColorChange(TColor color);
  // Places the markers of a light (1 to 3): kind 0 at a point, kind 1 turned by angles.
  void PlaceLightMarkers(int light, int kind, double x, double y, double z);
  void SelectionBox_3DSceneMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void SelectionBox_3DSceneMouseMove(TShiftState shift, int x, int y);
  void QelView1MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  void TextYPositionChanging() { Text3DParameterChange(); }

  // ---- The 3D animation preview ----
  void Text3D_Animation_PlayExecute();
  void Text3D_Animation_StopExecute();
  void Text3D_Animation_FirstExecute();
  void Text3D_Animation_PrevExecute();
  void Text3D_Animation_NextExecute();
  void Text3D_Animation_LastExecute();
  void CheckBoxAnimationClick();
  void SpinEdit_3D_NumbOfFramesChange();
  void CheckBox_3D_LoopingClick();
  void RadioGroup_3D_Animation_ChangesClick();

  // ---- Adding 3D text ----
  void Sprite_Add_3DTextExecute();

  // ---- Parts of the 3D text editor ----
  void CreateText3DObjects();
  void CreateText3DPage();
  void CreateText3DTextTab(QWidget& tab);
  void CreateText3DLightsTab(QWidget& tab);
  void CreateText3DRotationTab(QWidget& tab);
  void CreateText3DCameraTab(QWidget& tab);
  void CreateText3DMaterialTab(QWidget& tab);
  void CreateText3DTextureTab(QWidget& tab);
  void CreateText3DAnimationTab(QWidget& tab);
  void CreateText3DTimers();
  void ConnectBar(QScrollBar* bar, QLineEdit* edit, std::function<void()> handler);
  void EnableTextureControls(bool enabled);
  void ShowTextureThumbnail();
  void QelView1Render();
  TSprite* FindSpriteById(TAnimatedScene* scene, std::optional<std::int32_t> id) const;
  TFrame* FindFrameById(TSprite* sprite, std::optional<std::int32_t> id) const;
  bool EditingEndState() const;
  void ApplyText3DState();
  void RedrawText3DView();
  void RestartText3DTimer();
  void StoreText3DAndRestart();
  void ReadText3DControls();
  void RenderPendingText3D();
  void RenderText3DFramePicture(const TFrame& frame, bool endState);
  void RenderText3DFramePictureSafely(const TFrame& frame, bool endState);
  void PickText3DColor(QPushButton* button, std::function<void(TColor)> chosen);
  void LoadText3DLights(const T3DEditorControls& controls);
  void ShowCurrentLightPage();
  void HideLightMarkers();
  void ShowCurrentLightMarkers();
  void ShowText3DAnimationControls(bool on);
  void StopText3DPreview();
  void RecordText3DFrameSnapshot();
  void ChangeText3DAnimation();
  bool Finish3DTextAdd(const TAddedItem& added);

  struct T3DTextPartsDeleter {
    void operator()(T3DTextParts* parts) const;
  };
  std::unique_ptr<T3DTextParts, T3DTextPartsDeleter> text3D_;
  TTimer timer_3D_Changed_;
  TTimer timerLightsRedraw_;
  TTimer zoomTimer_;
  TTimer timer3DAnimation_;
  bool skipNext3DRender_ = false;
  // Set once a 3D text frame filled the page; changes are ignored before.
  bool text3DEditorReady_ = false;
  // Set while the controls are filled from a state.
  bool text3DLoading_ = false;
};
