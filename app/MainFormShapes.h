// Added sprites and frames, and the frame pages of shapes (rectangles and
// ellipses), lines and plain text: the add commands, the pages filled from
// the frame they edit and their edits applied to that frame (by id, in its
// own document) after a pause, and the colour picker of the pages' buttons.
#pragma once

#include "app/MainFormArea.h"
#include "app/core/AddCommands.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"
#include "platform/Timer.h"

#include <cstdint>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QToolButton;
class QWidget;
class TBitmapButton;
class TColorPicker;
class TImage;
class TSpinEdit;
class TWPopOutFntCBox;
class TmKnob;
struct TText2DParams;

class TShapesArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;

  // Builds the colour picker and the three pages and connects the add commands.
  void FormCreateShapes();
  // Clears the pages' guards after a failed entry.
  void ClearEntryGuards();

  TTimer& TimerRedrawShape() { return timerRedrawShape_; }  // 200 ms after the last shape edit
  TTimer& TimerRedrawLine() { return timerRedrawLine_; }    // 200 ms after the last line edit
  void TimerRedrawShapeTimer();
  void TimerRedrawLineTimer();
  // Applies a pending shape or line edit to the frame it was made on, now.
  void FlushShapeAndLineEdits();
  // Applies a pending shape, line or 3D text edit to the frame it was made on, now.
  void FlushPendingFrameEdits();

  // ---- Adding sprites and frames ----
  // Set by every add until message 1003 (or a failure) clears it.
  bool& AddInProgress() { return addInProgress_; }
  void WMItemAdded(WPARAM wParam, LPARAM lParam);  // 1003
  // A new sprite with the kind's default frame in the active scene; false
  // when there is no document.
  bool AddSpriteWithGeneratedFrame(TNewFrameKind kind);
  // The kind's default frame appended to the sprite (what Sprite_Add_...
  // does with the current sprite).
  void AddGeneratedFrame(TSprite& sprite, TNewFrameKind kind);

  // Drops the colour picker at a colour button; a new colour is set on the
  // button and changed runs.
  void PickButtonColor(TBitmapButton* button, std::function<void()> changed);

  // ---- The pages ----
  // On while a page is filled from a frame: no handler writes back.
  bool& LoadingFramePage() { return loadingFramePage_; }
  // Frame preview page 2: the shape page from the current frame.
  void LoadShapePage();
  // Fills the shape page from a rectangle or ellipse frame, which the page
  // then edits (a pending edit of another frame is applied to it first).
  void FillShapePage(TFrame& frame);
  // The shape page shows its frame again.
  void RefreshShapePage();
  // The selected item of ShapeType_Radio (0 "&Rectangle", 1 "R&ounded Rectangle").
  int ShapeTypeIndex() const;
  // Frame preview page 3: the line page from the current frame.
  void LoadLinePage();
  void FillLinePage(TFrame& frame);
  // Frame preview page 1 for a plain text frame.
  void LoadTextPage();
  // Fills the page from a text frame, which the page then edits (a 3D text
  // frame gives only its text: the switch to "Simple text" converts it).
  void LoadSimpleTextPage(TFrame& frame);
  // The selected item of RadioGroup_3DorSimpleText (0 "3D text", 1 "Simple text").
  int TextKindIndex() const;
  void SetTextKindIndex(int index);
  // The preview canvas's font (name, size, pitch, style, character set, colour).
  const TFont& SimpleTextFont() const { return simpleTextFont_; }
  // What the 3D text editor shares of the text page: page 0 "3D text" (the
  // editor's) and 1 "Simple text" (Notebook_3DorSimpleText), the preview box
  // (ScrollBox_3DText) and the plain text's picture (SimpleText_Image).
  QStackedWidget* TextKindPages() const { return Notebook_3DorSimpleText; }
  QScrollArea* TextPreviewBox() const { return ScrollBox_3DText; }
  TImage* SimpleTextImage() const { return SimpleText_Image; }

 private:
  // The frame a page edits: its document's scene and its id, so that a
  // late edit lands on that frame, in that document, or nowhere.
  // Any int32 is an id: an empty FrameId binds no frame.
  struct TPageFrame {
    TAnimatedScene* Scene = nullptr;
    std::optional<std::int32_t> FrameId;
  };

  void Scene_Add_RectangleExecute();
  void Scene_Add_EllipseExecute();
  void Scene_Add_LineExecute();
  void Sprite_Add_RectangleExecute();
  void Sprite_Add_EllipseExecute();
  void Sprite_Add_LineExecute();
  // The tool buttons' two-item menus pop up at the mouse cursor.
  void ShowAddMenu(QMenu* menu);
  // The tree shows an added sprite (with its nodes) or frame, and selects it.
  void ShowAddedSprite(TSprite& sprite);
  void ShowAddedFrame(TSprite& sprite, int frameIndex, bool stepAdded);

  void CreateShapePage();
  void CreateLinePage();
  void CreateSimpleTextPage();
  // A frame of the active document as a page binds it.
  TPageFrame PageFrameOf(const TFrame& frame) const;
  // The frame a page edits (nullptr: it or its document is gone).
  TFrame* FrameOfPage(const TPageFrame& page) const;
  // Runs a change of the page's frame with its undo records going to the
  // frame's own document, and shows the change in that document.
  void ChangePageFrame(const TPageFrame& page, const std::function<void()>& change);

  void SetShapeTypeIndex(int index);
  void ShapeChange();
  void FillingAngleChange();
  void RectangleSameFillColor_CheckBoxClick();
  void ShapeType_RadioClick();
  void Fill_ToolButtonClick();
  void LineChange();
  void LoadSimpleTextFont(const TText2DParams& params);
  void RenderSimpleText();
  void TextEditChange();
  void FontsList2FontChange();
  void ComboBoxSize1Change();
  void TextFontBtn2Click();
  void ToolButton_InsertSimbol2Click();
  void RadioGroup_3DorSimpleTextClick();

  // The colour picker of every colour button of these pages.
  TColorPicker* ColorPicker1 = nullptr;
  // The shape page (rectangles and ellipses).
  TSpinEdit* RectWidth_Spin = nullptr;
  TSpinEdit* RectHeight_Spin = nullptr;
  QToolButton* FontainFill_ToolButton = nullptr;
  QToolButton* VelveteenFeel_ToolButton = nullptr;
  TBitmapButton* FillingFrom_Button = nullptr;
  TBitmapButton* FillingTo_Button = nullptr;
  QCheckBox* RectangleSameFillColor_CheckBox = nullptr;
  TBitmapButton* FillingBackground_Button = nullptr;
  TSpinEdit* FillingAngle = nullptr;
  TmKnob* FillingAngle_Knob = nullptr;
  QWidget* ToolBar_BevelType = nullptr;
  QToolButton* SolidBevel_Button = nullptr;
  QToolButton* FountainBevel_Button = nullptr;
  TSpinEdit* BevelDepth_Spin = nullptr;
  TBitmapButton* BevelHigh_Button = nullptr;
  TBitmapButton* BevelShadow_Button = nullptr;
  TSpinEdit* OutlineWidth_Spin = nullptr;
  TBitmapButton* OutlineColor_Button = nullptr;
  QGroupBox* ShapeType_Radio = nullptr;
  QWidget* Panel_WidthRoundedCorners = nullptr;
  TSpinEdit* RoundedCorners_Spin = nullptr;
  // The line page.
  TBitmapButton* LineBackgroundColor_Button = nullptr;
  TSpinEdit* LineWidthSpin = nullptr;
  TBitmapButton* LineColor_Button = nullptr;
  // The plain text page (frame preview page 1, shared with the 3D text editor).
  QGroupBox* RadioGroup_3DorSimpleText = nullptr;
  QStackedWidget* Notebook_3DorSimpleText = nullptr;
  QScrollArea* ScrollBox_3DText = nullptr;
  TImage* SimpleText_Image = nullptr;
  QLineEdit* TextEdit = nullptr;
  TWPopOutFntCBox* FontsList2 = nullptr;
  QComboBox* ComboBoxSize1 = nullptr;
  QToolButton* Bold_TextButton2 = nullptr;
  QToolButton* Italic_Font_Button2 = nullptr;
  TBitmapButton* SetTextColorBtn = nullptr;
  TBitmapButton* SetBgColor = nullptr;
  QPushButton* TextFontBtn2 = nullptr;
  QToolButton* ToolButton_InsertSimbol2 = nullptr;

  TTimer timerRedrawShape_;
  TTimer timerRedrawLine_;
  bool addInProgress_ = false;
  bool loadingFramePage_ = false;
  TFont simpleTextFont_;
  TPageFrame shapePageFrame_;
  TPageFrame linePageFrame_;
  TPageFrame textPageFrame_;
};
