// The 3D text editor's three lights and their markers, dragging in the
// editor view, the preview of a frame's own 3D animation and the commands
// that add 3D text.
#include "app/MainForm3DTextParts.h"
#include "app/MainFormActions.h"
#include "app/MainFormShapes.h"
#include "app/MainFormGalleries.h"
#include "app/MainFormTree.h"

#include "app/AnimationWindowU.h"
#include "app/core/AddCommands.h"
#include "app/core/Text3DEditorMath.h"
#include "controls/ColorPicker.h"
#include "controls/PopupWindow.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/My_SpinEdit.h"
#include "controls/QelViewHost.h"
#include "controls/RadioGroup.h"
#include "platform/CodePages.h"
#include "platform/qtui/QtHints.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/Undo.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

namespace {

template <typename T>
T* Make(QWidget& parent, const char* name) {
  auto* control = new T(&parent);
  control->setObjectName(name);
  parent.layout()->addWidget(control);
  return control;
}

QScrollBar* MakeBar(QWidget& parent, const char* name, int min, int max, const char* hint) {
  auto* bar = Make<QScrollBar>(parent, name);
  bar->setOrientation(Qt::Horizontal);
  bar->setRange(min, max);
  bar->setToolTip(hint);
  return bar;
}

QWidget* MakePage(QStackedWidget& book, const char* name) {
  auto* page = new QWidget(&book);
  page->setObjectName(name);
  new QVBoxLayout(page);
  book.addWidget(page);
  return page;
}

// The sub-frame position as the display shows it: three digits.
std::string ThreeDigits(int value) {
  std::ostringstream text;
  text << std::setw(3) << std::setfill('0') << value;
  return text.str();
}

}  // namespace

// ---- Building the Lights and 3D Animation tabs ------------------------------------------------------

void TText3DArea::CreateText3DLightsTab(QWidget& tab) {
  T3DTextParts& p = *text3D_;
  p.PageControl_Lights = Make<QTabBar>(tab, "PageControl_Lights");
  p.PageControl_Lights->addTab("1-st");
  p.PageControl_Lights->addTab("2-nd");
  p.PageControl_Lights->addTab("3-rd");
  connect(p.PageControl_Lights, &QTabBar::currentChanged, this, [this] {
    if (!text3D_->Filling) PageControl_LightsChange();
  });
  p.LightType = Make<TRadioGroup>(tab, "LightType");
  p.LightType->SetCaption(" Type: ");
  p.LightType->SetItems({"&Direct", "&Omni", "&Off"});
  p.LightType->SetItemIndex(ltDirect);
  p.LightType->OnClick = [this](QObject*) { LightTypeClick(); };
  p.Notebook_LightPos = Make<QStackedWidget>(tab, "Notebook_LightPos");
  QWidget* angles = MakePage(*p.Notebook_LightPos, "Page_LightAngles");
  QWidget* position = MakePage(*p.Notebook_LightPos, "Page_LightPosition");
  MakePage(*p.Notebook_LightPos, "Page_LightOff");
  const auto row = [this](QWidget& page, const char* barName, const char* editName, int min, int max,
                          const char* hint, QScrollBar*& bar, QLineEdit*& edit) {
    bar = MakeBar(page, barName, min, max, hint);
    edit = Make<QLineEdit>(page, editName);
    ConnectBar(bar, edit, [this] { LightPosChange(); });
  };
  row(*angles, "Light_Rot_X", "LightRotEditX", 0, 360, "Light Angle", p.Light_Rot_X, p.LightRotEditX);
  row(*angles, "Light_Rot_Y", "LightRotEditY", 0, 360, "Light Angle", p.Light_Rot_Y, p.LightRotEditY);
  row(*position, "LightX", "LightEditX", -1000, 1000, "Light Position", p.LightX, p.LightEditX);
  row(*position, "LightY", "LightEditY", -1000, 1000, "Light Position", p.LightY, p.LightEditY);
  row(*position, "LightZ", "LightEditZ", -1000, 1000, "Light Position", p.LightZ, p.LightEditZ);
  p.LightColorButton = Make<QPushButton>(tab, "LightColorButton");
  p.LightColorButton->setText("Light Color...");
  SetButtonColor(*p.LightColorButton, 0x00808000);
  connect(p.LightColorButton, &QPushButton::clicked, this, [this] { LightColorButtonClick(); });
  p.LightMaterialColorButton = Make<QPushButton>(tab, "LightMaterialColorButton");
  p.LightMaterialColorButton->setText("Text Color...");
  SetButtonColor(*p.LightMaterialColorButton, 0x00CE6700);
  connect(p.LightMaterialColorButton, &QPushButton::clicked, this, [this] { LightMaterialColorButtonClick(); });
}

void TText3DArea::CreateText3DAnimationTab(QWidget& tab) {
  T3DTextParts& p = *text3D_;
  p.CheckBoxAnimation = Make<QCheckBox>(tab, "CheckBoxAnimation");
  p.CheckBoxAnimation->setText("&Animation Enabled");
  connect(p.CheckBoxAnimation, &QCheckBox::clicked, this, [this] { CheckBoxAnimationClick(); });
  p.Notebook_3DAnimationChanges = Make<QStackedWidget>(tab, "Notebook_3DAnimationChanges");
  QWidget* changes = MakePage(*p.Notebook_3DAnimationChanges, "Page_Changes");
  MakePage(*p.Notebook_3DAnimationChanges, "Page_NoChanges");
  p.RadioGroup_3D_Animation_Changes = Make<TRadioGroup>(*changes, "RadioGroup_3D_Animation_Changes");
  p.RadioGroup_3D_Animation_Changes->SetCaption(" Changes for animation: ");
  p.RadioGroup_3D_Animation_Changes->SetItems({"&First Position", "La&st Position"});
  p.RadioGroup_3D_Animation_Changes->SetItemIndex(0);
  p.RadioGroup_3D_Animation_Changes->OnClick = [this](QObject*) { RadioGroup_3D_Animation_ChangesClick(); };
  p.Label_NumberOf3DFrames = Make<QLabel>(tab, "Label_NumberOf3DFrames");
  p.Label_NumberOf3DFrames->setText("Number of frames:");
  p.SpinEdit_3D_NumbOfFrames = Make<TSpinEdit>(tab, "SpinEdit_3D_NumbOfFrames");
  p.SpinEdit_3D_NumbOfFrames->SetMinValue(1);
  p.SpinEdit_3D_NumbOfFrames->SetMaxValue(10000);
  p.SpinEdit_3D_NumbOfFrames->SetValue(15);
  connect(p.SpinEdit_3D_NumbOfFrames, &QLineEdit::textChanged, this, [this] { SpinEdit_3D_NumbOfFramesChange(); });
  p.CheckBox_3D_Looping = Make<QCheckBox>(tab, "CheckBox_3D_Looping");
  p.CheckBox_3D_Looping->setText("&Looping");
  connect(p.CheckBox_3D_Looping, &QCheckBox::clicked, this, [this] { CheckBox_3D_LoopingClick(); });
  p.ToolBar_3DAnimation_Controls = Make<QToolBar>(tab, "ToolBar_3DAnimation_Controls");
  for (QAction* action : {Commands().Text3D_Animation_First, Commands().Text3D_Animation_Prev, Commands().Text3D_Animation_Play, Commands().Text3D_Animation_Stop,
                          Commands().Text3D_Animation_Next, Commands().Text3D_Animation_Last}) {
    p.ToolBar_3DAnimation_Controls->addAction(action);
  }
  p.Panel_3DAnimation_Frame = Make<QWidget>(tab, "Panel_3DAnimation_Frame");
  new QVBoxLayout(p.Panel_3DAnimation_Frame);
  p.DigitalDisplay_3D_Animation_Frame = Make<TDigitalDisplay>(*p.Panel_3DAnimation_Frame,
                                                              "DigitalDisplay_3D_Animation_Frame");
  p.DigitalDisplay_3D_Animation_Frame->SetCaption("000");
  auto* gallery = Make<QWidget>(tab, "Panel_AnimationGallery");
  new QHBoxLayout(gallery);
  gallery->layout()->setContentsMargins(0, 0, 0, 0);
  p.AnimationGalleryLabel = Make<QLabel>(*gallery, "AnimationGalleryLabel");
  p.AnimationGalleryLabel->setText("Preset animations:");
  p.AnimationGalleryToolButton = Make<QToolButton>(*gallery, "AnimationGalleryToolButton");
  p.AnimationGalleryToolButton->setText("Gallery...");
  ApplyHint(*p.AnimationGalleryToolButton, "Select a preset animation|Click to select a 3D animation from gallery");
  connect(p.AnimationGalleryToolButton, &QToolButton::clicked, this,
          [this] { Galleries().AnimationGalleryToolButtonClick(text3D_->AnimationGalleryToolButton); });
  static_cast<QHBoxLayout*>(gallery->layout())->addStretch();
  ShowText3DAnimationControls(false);
}

// ---- Lights -------------------------------------------------------------------------------------------

void TText3DArea::LoadText3DLights(const T3DEditorControls& controls) {
  T3DTextParts& p = *text3D_;
  for (std::size_t i = 0; i < p.State.Lights.size(); ++i) {
    const T3DLightState& light = p.State.Lights[i];
    const T3DLightControls& lc = controls.Lights[i];
    const int number = static_cast<int>(i) + 1;
    PlaceLightMarkers(number, 0, light.PositionX, light.PositionY, light.PositionZ);
    PlaceLightMarkers(number, 1, lc.RotationX, lc.RotationY, 0);
    p.Lamps[i].SetColor(StateColor(light.Color));
  }
  const T3DLightControls& first = controls.Lights[0];
  p.LightX->setValue(first.X);
  p.LightY->setValue(first.Y);
  p.LightZ->setValue(first.Z);
  p.Light_Rot_X->setValue(first.RotationX);
  p.Light_Rot_Y->setValue(first.RotationY);
  p.PageControl_Lights->setCurrentIndex(0);
  p.CurrentLight = 1;
  ShowCurrentLightPage();
}

// The controls of the current light: its type, its page of bars and its colour.
void TText3DArea::ShowCurrentLightPage() {
  T3DTextParts& p = *text3D_;
  const T3DLightState& light = p.State.Lights[static_cast<std::size_t>(p.CurrentLight - 1)];
  const int item = light.Enabled == 0 ? ltOff : (light.Kind == 0 ? ltOmni : ltDirect);
  p.LightType->SetItemIndex(item);
  p.Notebook_LightPos->setCurrentIndex(item == ltOmni ? 1 : item == ltDirect ? 0 : 2);
  p.LightColorButton->setVisible(item != ltOff);
  SetButtonColor(*p.LightColorButton, StateColor(light.Color));
}

void TText3DArea::PlaceLightMarkers(int light, int kind, double x, double y, double z) {
  if (light < 1 || light > 3) return;
  const std::size_t index = static_cast<std::size_t>(light - 1);
  T3DLightMarkers& markers = text3D_->Markers[index];
  if (kind == 0) {
    markers.Positions[0] = {x, y, z};
    markers.Positions[1] = {x, y - 0.1, z};
    markers.Positions[2] = {x, y - 0.14, z};
  } else {
    markers.Rotation = {x, y, z};
  }
  text3D_->Lamps[index].Place(markers);
}

void TText3DArea::HideLightMarkers() {
  T3DTextParts& p = *text3D_;
  for (std::size_t i = 0; i < p.Markers.size(); ++i) {
    p.Markers[i].PointShown = p.Markers[i].DirectionShown = false;
    p.Lamps[i].Place(p.Markers[i]);
  }
}

void TText3DArea::ShowCurrentLightMarkers() {
  T3DTextParts& p = *text3D_;
  HideLightMarkers();
  if (p.PageControl_3DText->currentIndex() != 1) return;
  const std::size_t index = static_cast<std::size_t>(p.CurrentLight - 1);
  T3DLightMarkers& markers = p.Markers[index];
  const int item = p.LightType->ItemIndex();
  markers.PointShown = item == ltOmni;
  markers.DirectionShown = item == ltDirect;
  p.Lamps[index].Place(markers);
}

// ---- The lamps ---------------------------------------------------------------------------------------

namespace {

// Sizes of the lamps' parts in scene units (the text is about one unit
// high at the default camera distance).
constexpr float kBulbRadius = 0.045f;
constexpr float kSocketRadius = 0.025f;
constexpr float kSocketHeight = 0.06f;
constexpr float kSocketTipHeight = 0.04f;
constexpr float kBodyRadius = 0.045f;
constexpr float kBodyLength = 0.1f;
constexpr float kNeckRadius = 0.018f;
constexpr float kNeckLength = 0.06f;
constexpr float kReflectorRadius = 0.09f;
constexpr float kReflectorDepth = 0.07f;

void MakeCylinder(TQelCylinder& part, float baseRadius, float topRadius, float height, bool closed) {
  part.SetTransform(true);
  part.SetSlices(16);
  part.SetStacks(1);
  part.SetBaseRadius(baseRadius);
  part.SetTopRadius(topRadius);
  part.SetHeight(height);
  part.SetClosed(closed);
  part.SetEnabled(false);
}

// An upright part (the view's cylinders run along Z): turned by -90 degrees
// about X, its bottom at a point.
void StandAt(TQelCylinder& part, const TMarkerPoint& bottom) {
  part.Rotation().SetXYZ(-90.0f, 0.0f, 0.0f);
  part.Translation().SetXYZ(static_cast<float>(bottom.X), static_cast<float>(-bottom.Z), static_cast<float>(bottom.Y));
}

// A part of a spot lamp: turned by the lamp's angles, then along the lamp's
// axis (away from the text) from where the light comes.
void AlongLampAxis(TQelCylinder& part, const TMarkerPoint& rotation, const TLightDirection& offset, double along) {
  part.Rotation().SetXYZ(static_cast<float>(rotation.X), static_cast<float>(rotation.Y),
                         static_cast<float>(rotation.Z));
  part.Translation().SetXYZ(static_cast<float>(offset.X), static_cast<float>(offset.Y),
                            static_cast<float>(offset.Z + along));
}

}  // namespace

T3DLamp::T3DLamp() {
  for (TQelMaterial* material : {&Material_Sel, &Material_Not_Sel}) {
    material->SetFace(mfFrontBack);
    material->ColorAmbient().SetColor(clBlack);
    material->ColorDiffuse().SetColor(0x404040);
    material->ColorSpecular().SetColor(clWhite);
    material->SetShininess(40);
  }
  // The lamp of the light being edited is lit brighter than the others.
  Material_Sel.ColorDiffuse().SetColor(0x808080);
  Bulb.SetTransform(true);
  Bulb.SetSlices(16);
  Bulb.SetStacks(12);
  Bulb.SetRadius(kBulbRadius);
  Bulb.SetEnabled(false);
  MakeCylinder(Socket, kSocketRadius, kSocketRadius, kSocketHeight, true);
  MakeCylinder(SocketTip, 0.0f, kSocketRadius, kSocketTipHeight, false);
  MakeCylinder(Body, kBodyRadius, kBodyRadius, kBodyLength, true);
  MakeCylinder(Neck, kNeckRadius, kNeckRadius, kNeckLength, true);
  MakeCylinder(Reflector, kReflectorRadius, kBodyRadius, kReflectorDepth, false);
  MakeCylinder(BackCap, kNeckRadius, 0.0f, kNeckLength / 2, false);
}

void T3DLamp::Place(const T3DLightMarkers& markers) {
  Bulb.Translation().SetXYZ(static_cast<float>(markers.Positions[0].X), static_cast<float>(markers.Positions[0].Y),
                            static_cast<float>(markers.Positions[0].Z));
  StandAt(Socket, markers.Positions[1]);
  StandAt(SocketTip, markers.Positions[2]);
  for (TQelRender* part : std::initializer_list<TQelRender*>{&Bulb, &Socket, &SocketTip}) {
    part->SetEnabled(markers.PointShown);
  }
  const TLightDirection offset = DirectionalLampOffset(markers.Rotation.X, markers.Rotation.Y);
  AlongLampAxis(Reflector, markers.Rotation, offset, -kReflectorDepth);
  AlongLampAxis(Body, markers.Rotation, offset, 0.0);
  AlongLampAxis(Neck, markers.Rotation, offset, kBodyLength);
  AlongLampAxis(BackCap, markers.Rotation, offset, kBodyLength + kNeckLength);
  for (TQelRender* part : std::initializer_list<TQelRender*>{&Body, &Neck, &Reflector}) {
    part->SetEnabled(markers.DirectionShown);
  }
  BackCap.SetEnabled(false);
}

void T3DLamp::SetColor(TColor color) {
  Material_Sel.ColorEmission().SetColor(color);
  Material_Not_Sel.ColorEmission().SetColor(color);
}

void TText3DArea::LightPosChange() {
  T3DTextParts& p = *text3D_;
  if (p.LightEditGuard || p.Filling || !text3DEditorReady_) return;
  T3DLightState& light = p.State.Lights[static_cast<std::size_t>(p.CurrentLight - 1)];
  bool changed = false;
  if (light.Kind == 0) {
    const int x = p.LightX->value(), y = p.LightY->value(), z = p.LightZ->value();
    // A bar that shows the stored value leaves it as it is.
    if (x != BarPositionForHundredths(light.PositionX)) light.PositionX = HundredthsForBar(x), changed = true;
    if (y != BarPositionForHundredths(light.PositionY)) light.PositionY = HundredthsForBar(y), changed = true;
    if (z != BarPositionForHundredths(light.PositionZ)) light.PositionZ = HundredthsForBar(z), changed = true;
    if (!p.MarkerGuard) PlaceLightMarkers(p.CurrentLight, 0, light.PositionX, light.PositionY, light.PositionZ);
  } else {
    const int rx = p.Light_Rot_X->value(), ry = p.Light_Rot_Y->value();
    double shownX = 0, shownY = 0;
    DirectionToLightAngles(light.DirectionX, light.DirectionY, light.DirectionZ, shownX, shownY);
    if (rx != Round(shownX) || ry != Round(shownY)) {
      const TLightDirection d = LightDirectionFromBars(rx, ry);
      light.DirectionX = d.X;
      light.DirectionY = d.Y;
      light.DirectionZ = d.Z;
      changed = true;
    }
    if (!p.MarkerGuard) PlaceLightMarkers(p.CurrentLight, 1, rx, ry, 0);
  }
  ApplyText3DState();
  RedrawText3DView();
  if (changed) StoreText3DAndRestart();
}

void TText3DArea::LightTypeClick() {
  T3DTextParts& p = *text3D_;
  const int item = p.LightType->ItemIndex();
  p.LightColorButton->setVisible(item != ltOff);
  p.Notebook_LightPos->setCurrentIndex(item == ltOmni ? 1 : item == ltDirect ? 0 : 2);
  ShowCurrentLightMarkers();
  if (p.LightEditGuard || !text3DEditorReady_) return;
  T3DLightState& light = p.State.Lights[static_cast<std::size_t>(p.CurrentLight - 1)];
  bool changed = false;
  if (item == ltDirect || item == ltOmni) {
    const int kind = item == ltDirect ? 1 : 0;
    // Switching an Off light back on stores it on, whatever its kind was.
    changed = light.Enabled == 0 || light.Kind != kind;
    light.Enabled = 1;
    light.Kind = kind;
  } else if (item == ltOff) {
    changed = light.Enabled != 0;
    light.Enabled = 0;
  }
  ApplyText3DState();
  RedrawText3DView();
  if (changed) StoreText3DAndRestart();
}

void TText3DArea::PageControl_LightsChange() {
  T3DTextParts& p = *text3D_;
  p.LightEditGuard = true;
  p.MarkerGuard = true;
  p.CurrentLight = std::clamp(p.PageControl_Lights->currentIndex() + 1, 1, 3);
  const T3DLightState& light = p.State.Lights[static_cast<std::size_t>(p.CurrentLight - 1)];
  if (light.Kind == 0) {
    p.LightX->setValue(BarPositionForHundredths(light.PositionX));
    p.LightY->setValue(BarPositionForHundredths(light.PositionY));
    p.LightZ->setValue(BarPositionForHundredths(light.PositionZ));
  } else {
    double angleX = 0, angleY = 0;
    DirectionToLightAngles(light.DirectionX, light.DirectionY, light.DirectionZ, angleX, angleY);
    p.Light_Rot_X->setValue(Round(angleX));
    p.Light_Rot_Y->setValue(Round(angleY));
  }
  ShowCurrentLightPage();
  LightTypeClick();
  p.LightEditGuard = false;
  p.MarkerGuard = false;
  LightPosChange();
}

void TText3DArea::LightColorButtonClick() {
  T3DTextParts& p = *text3D_;
  PickText3DColor(p.LightColorButton, [this](TColor color) { LightColorChange(color); });
}

void TText3DArea::LightColorChange(TColor color) {
  T3DTextParts& p = *text3D_;
  SetButtonColor(*p.LightColorButton, color);
  if (!text3DEditorReady_) return;
  const std::size_t lamp = static_cast<std::size_t>(std::clamp(p.PageControl_Lights->currentIndex(), 0, 2));
  p.State.Lights[lamp].Color = color;
  p.Lights[lamp].ColorSpecular().SetColor(color);
  p.Lights[lamp].ColorDiffuse().SetColor(color);
  p.Lamps[lamp].SetColor(color);
  RedrawText3DView();
  StoreText3DAndRestart();
}

// ---- Dragging in the editor view -------------------------------------------------------------------

void TText3DArea::SelectionBox_3DSceneMouseDown(TMouseButton button, TShiftState, int x, int y) {
  T3DTextParts& p = *text3D_;
  if (button == mbLeft) p.LeftDown = true;
  if (button == mbRight) p.RightDown = true;
  p.LastX = x;
  p.LastY = y;
  if (p.PageControl_3DText->currentIndex() == 0 && text3DEditorReady_) zoomTimer_.SetEnabled(true);
}

void TText3DArea::QelView1MouseUp(TMouseButton button, TShiftState, int, int) {
  T3DTextParts& p = *text3D_;
  if (button == mbLeft) p.LeftDown = false;
  if (button == mbRight) p.RightDown = false;
  zoomTimer_.SetEnabled(false);
  if (!text3DEditorReady_ || p.LeftDown || p.RightDown) return;
  // What the drag changed is stored now, and its picture follows after the pause.
  StoreText3DAndRestart();
}

void TText3DArea::SelectionBox_3DSceneMouseMove(TShiftState shift, int x, int y) {
  T3DTextParts& p = *text3D_;
  const int dX = x - p.LastX;
  const int dY = y - p.LastY;
  p.LastX = x;
  p.LastY = y;
  if (!text3DEditorReady_) return;
  const TShiftState keys = shift * TShiftState{ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle};
  const bool left = keys == TShiftState{ssLeft};
  const bool right = keys == TShiftState{ssRight};
  const int height = std::max(1, p.QelView1Host->height());
  const bool inside = x > 0 && y > 0 && x < p.QelView1Host->width() && y < height;
  switch (p.PageControl_3DText->currentIndex()) {
    case 1: {
      if (!left && !right) return;
      T3DLightState& light = p.State.Lights[static_cast<std::size_t>(p.CurrentLight - 1)];
      if (light.Enabled == 0) return;
      if (left && light.Kind == 1) {
        double d = light.DirectionZ - 0.5;
        double z2 = light.DirectionZ;
        if (std::fabs(d) < 0.03) {
          d = -d;
          z2 = 3 * d + light.DirectionZ;
        }
        const double x2 = d > 0 ? light.DirectionX + dX / double(height) * 6 : light.DirectionX - dX / double(height) * 6;
        const double y2 = d > 0 ? light.DirectionY - dY / double(height) * 6 : light.DirectionY + dY / double(height) * 6;
        double angleX = 0, angleY = 0;
        DirectionToLightAngles(x2, y2, z2, angleX, angleY);
        p.LightEditGuard = true;
        p.Light_Rot_X->setValue(Round(angleX));
        p.Light_Rot_Y->setValue(Round(angleY));
        p.LightEditGuard = false;
        timerLightsRedraw_.SetEnabled(true);
      } else if (light.Kind == 0 && inside) {
        const TMarkerPoint& at = p.Markers[static_cast<std::size_t>(p.CurrentLight - 1)].Positions[0];
        if (left) {
          PlaceLightMarkers(p.CurrentLight, 0, at.X + dX / double(height) * 1.7, at.Y - dY / double(height) * 1.7,
                            at.Z);
        } else {
          PlaceLightMarkers(p.CurrentLight, 0, at.X, at.Y, at.Z + dY / double(height) * 1.7);
        }
        timerLightsRedraw_.SetEnabled(true);
      }
      StoreText3DAndRestart();
      break;
    }
    case 2:
      if (left) {
        p.ScrollBarTextRotX->setValue(p.ScrollBarTextRotX->value() + dY);
        p.ScrollBarTextRotY->setValue(p.ScrollBarTextRotY->value() + dX);
      } else if (right) {
        p.ScrollBarTextRotZ->setValue(p.ScrollBarTextRotZ->value() + dY);
      }
      break;
    case 3:
      if (left) {
        {
          const TFillingScope filling(p);
          p.ScrollBarCameraX->setValue(p.ScrollBarCameraX->value() - dX);
          p.ScrollBarCameraY->setValue(p.ScrollBarCameraY->value() + dY);
        }
        Text3DParameterChange();
      }
      break;
    case 4:
    case 5:
    case 6:
      p.QelView1Host->setToolTip(QString());
      break;
    default:
      break;
  }
}

void TText3DArea::TimerLightsRedrawTimer() {
  T3DTextParts& p = *text3D_;
  timerLightsRedraw_.SetEnabled(false);
  if (p.LightsRedrawRunning) return;
  p.LightsRedrawRunning = true;
  const int item = p.LightType->ItemIndex();
  if (item == ltDirect) {
    p.MarkerGuard = true;
    LightPosChange();
    p.MarkerGuard = false;
    PlaceLightMarkers(p.CurrentLight, 1, p.Light_Rot_X->value(), p.Light_Rot_Y->value(), 0);
  } else if (item == ltOmni) {
    p.MarkerGuard = true;
    p.LightEditGuard = true;
    const TMarkerPoint& at = p.Markers[static_cast<std::size_t>(p.CurrentLight - 1)].Positions[0];
    p.LightX->setValue(BarPositionForHundredths(at.X));
    p.LightY->setValue(BarPositionForHundredths(at.Y));
    p.LightZ->setValue(BarPositionForHundredths(at.Z));
    p.LightEditGuard = false;
    LightPosChange();
    p.MarkerGuard = false;
  }
  p.LightsRedrawRunning = false;
}

// ---- The 3D animation preview -----------------------------------------------------------------------

void TText3DArea::ShowText3DAnimationControls(bool on) {
  T3DTextParts& p = *text3D_;
  for (QWidget* control : std::initializer_list<QWidget*>{p.RadioGroup_3D_Animation_Changes, p.SpinEdit_3D_NumbOfFrames,
                                                          p.Label_NumberOf3DFrames, p.CheckBox_3D_Looping,
                                                          p.AnimationGalleryLabel, p.AnimationGalleryToolButton}) {
    control->setEnabled(on);
  }
  p.ToolBar_3DAnimation_Controls->setVisible(on);
  p.Panel_3DAnimation_Frame->setVisible(on);
  p.Notebook_3DAnimationChanges->setCurrentIndex(on ? 0 : 1);
}

void TText3DArea::StopText3DPreview() {
  if (timer3DAnimation_.Enabled()) Text3D_Animation_StopExecute();
}

void TText3DArea::Text3D_Animation_PlayExecute() {
  timer3DAnimation_.SetEnabled(true);
  Commands().EnableCommand(Commands().Text3D_Animation_Stop, true);
}

void TText3DArea::Text3D_Animation_StopExecute() {
  timer3DAnimation_.SetEnabled(false);
  Commands().EnableCommand(Commands().Text3D_Animation_Stop, false);
  RadioGroup_3D_Animation_ChangesClick();
}

void TText3DArea::Timer3DAnimationTimer() {
  T3DTextParts& p = *text3D_;
  TFrame* frame = Text3DFrame();
  if (frame == nullptr) {
    timer3DAnimation_.SetEnabled(false);
    return;
  }
  const int n = std::max(1, frame->SubFrameCount);
  const int position = std::clamp(p.PreviewPosition, 0, n - 1);
  // t runs from 0 at the first sub-frame to exactly 1 at the last one.
  const double t = n >= 2 ? std::min(1.0, double(position) / double(n - 1)) : 0.0;
  TFrame::Render3D(frame->StartState, frame->EndState, t, p.QelText1, p.QelCamera1, p.Lights[0], p.Lights[1],
                   p.Lights[2], p.QelMaterial1, p.QelTexture1);
  p.QelText1.ClearLists();
  p.QelView1.SetBackgroundColor(ColorToRGB(StateColor(frame->StartState.BackgroundColor)));
  p.PreviewPosition = position + 1;
  p.DigitalDisplay_3D_Animation_Frame->SetCaption(ThreeDigits(p.PreviewPosition));
  RedrawText3DView();
  if (p.PreviewPosition >= n) {
    if (p.CheckBox_3D_Looping->isChecked()) {
      p.PreviewPosition = 0;  // the next tick shows the first sub-frame again
    } else if (timer3DAnimation_.Enabled()) {
      p.RadioGroup_3D_Animation_Changes->SetItemIndex(1);
      Text3D_Animation_StopExecute();
    }
  }
}

void TText3DArea::Text3D_Animation_FirstExecute() {
  text3D_->PreviewPosition = 0;
  Timer3DAnimationTimer();
}

void TText3DArea::Text3D_Animation_LastExecute() {
  TFrame* frame = Text3DFrame();
  if (frame == nullptr) return;
  text3D_->PreviewPosition = std::max(1, frame->SubFrameCount) - 1;
  Timer3DAnimationTimer();
}

void TText3DArea::Text3D_Animation_NextExecute() {
  TFrame* frame = Text3DFrame();
  if (frame == nullptr || text3D_->PreviewPosition >= std::max(1, frame->SubFrameCount)) return;
  Timer3DAnimationTimer();
}

void TText3DArea::Text3D_Animation_PrevExecute() {
  T3DTextParts& p = *text3D_;
  const int back = std::max(p.PreviewPosition - 2, 0);
  p.PreviewPosition = back;
  Timer3DAnimationTimer();
}

// Undo gives back the frame as it was before a change of its animation.
void TText3DArea::RecordText3DFrameSnapshot() {
  TSprite* sprite = Text3DSprite();
  TFrame* frame = Text3DFrame();
  if (sprite == nullptr || frame == nullptr) return;
  RecordUndo(urkSpriteEdit, "Change 3D Text", true, frame->Index(), sprite->Id, uokFrame,
             [frame](TStream& stream) { frame->SaveToStream(stream); });
}

void TText3DArea::CheckBoxAnimationClick() {
  T3DTextParts& p = *text3D_;
  const bool on = p.CheckBoxAnimation->isChecked();
  ShowText3DAnimationControls(on);
  TFrame* frame = Text3DFrame();
  if (frame == nullptr || text3DLoading_ || p.Filling) return;
  FlushText3DChange();
  if ((frame->Animation3D != 0) == on) return;
  RecordText3DFrameSnapshot();
  frame->Animation3D = on ? 1 : 0;
}

void TText3DArea::SpinEdit_3D_NumbOfFramesChange() {
  T3DTextParts& p = *text3D_;
  if (text3DLoading_ || p.Filling) return;
  ChangeText3DAnimation();
}

void TText3DArea::CheckBox_3D_LoopingClick() {
  T3DTextParts& p = *text3D_;
  if (text3DLoading_ || p.Filling) return;
  ChangeText3DAnimation();
}

void TText3DArea::ChangeText3DAnimation() {
  T3DTextParts& p = *text3D_;
  TSprite* sprite = Text3DSprite();
  TFrame* frame = Text3DFrame();
  if (sprite == nullptr || frame == nullptr) return;
  FlushText3DChange();
  const std::int32_t count = p.SpinEdit_3D_NumbOfFrames->Value();
  const std::uint8_t loop = p.CheckBox_3D_Looping->isChecked() ? 1 : 0;
  if (frame->SubFrameCount == count && frame->Loop == loop && frame->Animation3D != 0) return;
  sprite->Set3DTextAnimation(frame->Index(), frame->StartState, frame->EndState, count, loop);
  {
    const TFillingScope filling(p);
    p.CheckBoxAnimation->setChecked(true);
  }
  ShowText3DAnimationControls(true);
}

void TText3DArea::RadioGroup_3D_Animation_ChangesClick() {
  T3DTextParts& p = *text3D_;
  TFrame* frame = Text3DFrame();
  if (frame == nullptr || text3DLoading_) return;
  // Edits of the other state go to their frame before the switch.
  FlushText3DChange();
  const bool end = p.RadioGroup_3D_Animation_Changes->ItemIndex() == 1;
  text3DLoading_ = true;
  p.LightEditGuard = true;
  LoadText3DEditor(end ? frame->EndState : frame->StartState);
  p.QelText1.ClearLists();
  p.LightEditGuard = false;
  TFrame::Render3D(frame->StartState, frame->EndState, end ? 1.0 : 0.0, p.QelText1, p.QelCamera1, p.Lights[0],
                   p.Lights[1], p.Lights[2], p.QelMaterial1, p.QelTexture1);
  p.QelView1.SetBackgroundColor(ColorToRGB(StateColor(frame->StartState.BackgroundColor)));
  text3DLoading_ = false;
  PageControl_3DTextChange();
}

// ---- Adding 3D text -------------------------------------------------------------------------------------

namespace {

// Stops the document's playback and sets the add-in-progress flag for the
// time of an add; an add that fails clears the flag again. Playback resumes
// in any case.
// The skip-next-render flag of a shape add is cleared on every way out.
class T3DTextAddScope {
 public:
  T3DTextAddScope(TAnimationWindow& window, bool& addInProgress, bool& skipNextRender)
      : window_(window), flag_(addInProgress), skip_(skipNextRender) {
    window_.StopPlayback();
    flag_ = true;
  }
  ~T3DTextAddScope() {
    if (!done_) flag_ = false;
    skip_ = false;
    window_.ResumePlayback();
  }
  T3DTextAddScope(const T3DTextAddScope&) = delete;
  T3DTextAddScope& operator=(const T3DTextAddScope&) = delete;
  // The add succeeded: message 1003 clears the flag.
  void Done() { done_ = true; }

 private:
  TAnimationWindow& window_;
  bool& flag_;
  bool& skip_;
  bool done_ = false;
};

}  // namespace

void TText3DArea::Scene_Add_3DTextExecute() {
  TAnimationWindow* window = ActiveAnimationWindow();
  if (window == nullptr || CurrentScene() == nullptr || CurrentScene() != window->Scene()) return;
  Shapes().FlushPendingFrameEdits();
  T3DTextAddScope scope(*window, Shapes().AddInProgress(), skipNext3DRender_);
  TAddedItem added;
  try {
    added = AddSpriteWithDefaultFrame(*CurrentScene(), nfkText3D);
  } catch (const std::exception& error) {
    RefreshCommandStates();
    Ui().MessageBox(Handle(), error.what(), "Error", MB_ICONERROR);
    return;
  }
  if (Finish3DTextAdd(added)) scope.Done();
}

void TText3DArea::Sprite_Add_3DTextExecute() {
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr) return;
  if (TSprite* sprite = CurrentSprite()) Add3DTextFrameTo(*sprite);
}

int TText3DArea::Add3DTextFrameTo(TSprite& sprite) {
  TAnimationWindow* window = ActiveAnimationWindow();
  if (window == nullptr || CurrentScene() == nullptr || sprite.Scene() != CurrentScene()) return -1;
  Shapes().FlushPendingFrameEdits();
  T3DTextAddScope scope(*window, Shapes().AddInProgress(), skipNext3DRender_);
  TAddedItem added;
  try {
    added = AddDefaultFrame(sprite, nfkText3D);
  } catch (const std::exception& error) {
    RefreshCommandStates();
    Ui().MessageBox(Handle(), error.what(), "Error", MB_ICONERROR);
    return -1;
  }
  if (!Finish3DTextAdd(added)) return -1;
  scope.Done();
  return added.FrameIndex;
}

// The new frame's first picture is rendered with recording paused, so that
// one Undo takes back the whole add; then the tree shows it and the editor
// edits it. A picture that cannot be made leaves the frame blank: it is
// shown and selected all the same.
bool TText3DArea::Finish3DTextAdd(const TAddedItem& added) {
  RefreshCommandStates();
  if (added.Sprite == nullptr || added.FrameIndex < 0 || added.FrameIndex >= added.Sprite->FrameCount()) return false;
  TSprite& sprite = *added.Sprite;
  TFrame& frame = sprite.Frame(added.FrameIndex);
  std::string failure;
  try {
    const TUndoRecordingPause pause;
    // The text's size is known once its glyphs are built by a first render:
    // the new text stands centred in its picture from the start.
    RenderText3DFramePictureSafely(frame, false);
    float width = 0, height = 0;
    text3D_->Output.text.GetTextExtent(width, height);
    for (T3DTextState* state : {&frame.StartState, &frame.EndState}) {
      state->TextPositionX = -(width / 2.0);
      state->TextPositionY = -(height / 2.0);
      state->TextPositionZ = state->Depth / 2.0;
    }
    RenderText3DFramePictureSafely(frame, false);
    sprite.Change3DText(added.FrameIndex, frame.StartState, 2, text3D_->Image_3DText, frame.Transparent(),
                        frame.TransparentColor());
  } catch (const std::exception& error) {
    failure = error.what();
  }
  skipNext3DRender_ = false;
  Tree().RebuildAnimationTree();
  if (added.SpriteCreated) Tree().SelectTreeNode(added.SpriteIndex, 2);
  Load3DTextFrame(sprite, added.FrameIndex);
  RequestSceneRecompute();
  PostMessage(Handle(), WM_ITEMADDED, 3, added.FrameIndex);
  if (!failure.empty()) Ui().MessageBox(Handle(), failure, "Error", MB_ICONERROR);
  return true;
}
