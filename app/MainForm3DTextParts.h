// The 3D text editor's parts of the main window: its editor view and 3D
// objects, the output view that renders frame pictures, the light markers,
// the page's controls and the change that waits for the pause.
#pragma once

#include "app/MainForm3DText.h"
#include "app/MainFormU.h"
#include "app/MainFormIcons.h"
#include "platform/Numeric.h"
#include "platform/Streams.h"
#include "qel3d/qelcam.h"
#include "qel3d/qellight.h"
#include "qel3d/qelmat.h"
#include "qel3d/qelshape.h"
#include "qel3d/qeltex.h"
#include "qel3d/qeltext.h"
#include "qel3d/qelview.h"
#include "scene/Frame3DObjects.h"

#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QStackedWidget;
class QTabBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class TCharPicker;
class TColorPicker;
class TDigitalDisplay;
class TImage;
class TQelViewHost;
class TRadioGroup;
class TSelectionBox;
class TSpinEdit;
class TTrackBar;
class TWPopOutFntCBox;

// One light's markers in the editor view: 1 to 3 show a point light at its
// position, 4 to 7 a directional light turned by its two angles.
struct TMarkerPoint {
  double X = 0, Y = 0, Z = 0;
};
struct T3DLightMarkers {
  std::array<TMarkerPoint, 3> Positions;  // markers 1 to 3
  TMarkerPoint Rotation;                  // markers 4 to 7
  bool PointShown = false, DirectionShown = false;
};

// A light's lamp in the editor view, drawn from its markers. A point light is
// a bulb (marker 1) on a socket (2) with its tip (3); a directional light is
// a spot lamp: body (4), neck (5) and reflector (6) in the light's colour,
// and a back cap (7) that stays hidden. The coloured parts take the lamp's
// material (selected or not), the socket parts the metal one.
struct T3DLamp {
  T3DLamp();
  TQelMaterial Material_Sel, Material_Not_Sel;
  TQelSphere Bulb;            // marker 1
  TQelCylinder Socket;        // marker 2
  TQelCylinder SocketTip;     // marker 3
  TQelCylinder Body;          // marker 4
  TQelCylinder Neck;          // marker 5
  TQelCylinder Reflector;     // marker 6
  TQelCylinder BackCap;       // marker 7
  // Places and shows the parts as the markers say.
  void Place(const T3DLightMarkers& markers);
  // The light's colour on both of its materials.
  void SetColor(TColor color);
};

struct TText3DArea::T3DTextParts {
  // The view goes before the widget that shows it (a child of the window,
  // deleted after these parts): the widget lets go of it first.
  ~T3DTextParts();

  // ---- The editor view and its objects (declared so that the camera outlives the view) ----
  TQelCamera QelCamera1;
  TQelView QelView1;
  std::array<TQelLight, 3> Lights;  // QelLight1, QelLight2, QelLight3
  TQelMaterial QelMaterial1;
  TQelTexture QelTexture1;
  TQelText QelText1;
  std::array<T3DLightMarkers, 3> Markers;
  std::array<T3DLamp, 3> Lamps;
  TQelMaterial CilindrQelMaterial;  // the lamps' sockets
  // ---- The output view that renders a frame's picture (QelView_OutputImage, QelText_OutputImage) ----
  TFrame3DObjects Output{nullptr, false};
  TBitmap Image_3DText;

  // ---- The state shown and the frame edited ----
  T3DTextState State;
  // Scenes are only compared with those of open documents, never followed.
  const TAnimatedScene* Scene = nullptr;
  // Any int32 is an id (negative half of the time): empty means no frame.
  std::optional<std::int32_t> SpriteId, FrameId;
  const TAnimatedScene* PendingScene = nullptr;
  // The edited frame as it was before the first change since the last tick.
  std::optional<std::int32_t> PendingSpriteId, PendingFrameId;
  TMemoryStream PendingSnapshot;
  bool PendingEditsEnd = false;
  // Set while controls are set by code: their handlers do nothing.
  bool Filling = false;
  bool LightEditGuard = false;
  bool MarkerGuard = false;
  bool LightsRedrawRunning = false;
  int CurrentLight = 1;
  // The mouse over the view.
  bool LeftDown = false, RightDown = false;
  int LastX = 0, LastY = 0;
  std::string TabHint;
  // The preview's next sub-frame.
  int PreviewPosition = 0;

  // ---- The page's controls ----
  QWidget* Panel_3DText = nullptr;
  // The frame around the view, of the frame picture's size plus its border.
  TSelectionBox* SelectionBox_3DScene = nullptr;
  TQelViewHost* QelView1Host = nullptr;  // shows QelView1 inside the frame
  QTabWidget* PageControl_3DText = nullptr;
  QLineEdit* EditNewText = nullptr;
  TWPopOutFntCBox* FontsList = nullptr;
  QToolButton* Bold_TextButton = nullptr;
  QToolButton* Italic_Font_Button = nullptr;
  QToolButton* ToolButton_InsertSimbol = nullptr;
  QScrollBar* ScrollBarTextRotX = nullptr;
  QScrollBar* ScrollBarTextRotY = nullptr;
  QScrollBar* ScrollBarTextRotZ = nullptr;
  QLineEdit* EditTextRotX = nullptr;
  QLineEdit* EditTextRotY = nullptr;
  QLineEdit* EditTextRotZ = nullptr;
  QScrollBar* ScrollBarCameraX = nullptr;
  QScrollBar* ScrollBarCameraY = nullptr;
  QLineEdit* EditCameraX = nullptr;
  QLineEdit* EditCameraY = nullptr;
  TTrackBar* CameraFOVSpin = nullptr;
  QPushButton* Button_3DTextColor = nullptr;
  QPushButton* LightMaterialColorButton = nullptr;
  QScrollBar* ScrollBarMaterialShininess = nullptr;
  QLineEdit* EditMaterialShininess = nullptr;
  QCheckBox* CheckBoxTexture = nullptr;
  QLineEdit* EditTextureFileName = nullptr;
  QScrollBar* ScrollBarTextureRotZ = nullptr;
  QScrollBar* ScrollBarTextureScaleX = nullptr;
  QScrollBar* ScrollBarTextureScaleY = nullptr;
  QLineEdit* EditTextureRotZ = nullptr;
  QLineEdit* EditTextureScaleX = nullptr;
  QLineEdit* EditTextureScaleY = nullptr;
  TImage* ImageTexture = nullptr;
  QPushButton* Button_3DBackground = nullptr;
  QTabBar* PageControl_Lights = nullptr;
  TRadioGroup* LightType = nullptr;
  QStackedWidget* Notebook_LightPos = nullptr;
  QScrollBar* Light_Rot_X = nullptr;
  QScrollBar* Light_Rot_Y = nullptr;
  QScrollBar* LightX = nullptr;
  QScrollBar* LightY = nullptr;
  QScrollBar* LightZ = nullptr;
  QLineEdit* LightRotEditX = nullptr;
  QLineEdit* LightRotEditY = nullptr;
  QLineEdit* LightEditX = nullptr;
  QLineEdit* LightEditY = nullptr;
  QLineEdit* LightEditZ = nullptr;
  QPushButton* LightColorButton = nullptr;
  QCheckBox* CheckBoxAnimation = nullptr;
  TRadioGroup* RadioGroup_3D_Animation_Changes = nullptr;
  TSpinEdit* SpinEdit_3D_NumbOfFrames = nullptr;
  QLabel* Label_NumberOf3DFrames = nullptr;
  QCheckBox* CheckBox_3D_Looping = nullptr;
  QToolBar* ToolBar_3DAnimation_Controls = nullptr;
  QWidget* Panel_3DAnimation_Frame = nullptr;
  TDigitalDisplay* DigitalDisplay_3D_Animation_Frame = nullptr;
  QStackedWidget* Notebook_3DAnimationChanges = nullptr;
  QLabel* AnimationGalleryLabel = nullptr;
  QToolButton* AnimationGalleryToolButton = nullptr;
  QToolButton* CollorGalleryToolButton = nullptr;
  TColorPicker* ColorPicker = nullptr;
  TCharPicker* CharPicker = nullptr;
};

// Sets the filling flag for its lifetime.
class TFillingScope {
 public:
  explicit TFillingScope(TText3DArea::T3DTextParts& parts) : parts_(parts), was_(parts.Filling) { parts_.Filling = true; }
  ~TFillingScope() { parts_.Filling = was_; }
  TFillingScope(const TFillingScope&) = delete;
  TFillingScope& operator=(const TFillingScope&) = delete;

 private:
  TText3DArea::T3DTextParts& parts_;
  bool was_;
};

// The colour a colour button shows (its "Color" property).
