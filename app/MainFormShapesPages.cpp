// The frame pages of rectangles and ellipses (frame preview page 2) and of
// lines (page 3). Each edit restarts its page's 200 ms timer; the tick
// changes the frame the page was filled from, found by its id, so an edit
// never lands on another frame.
#include "app/MainFormShapes.h"
#include "app/MainFormU.h"
#include "app/MainFormLayout.h"

#include "app/core/SizeLimits.h"
#include "controls/Bitmpbtn.h"
#include "controls/My_SpinEdit.h"
#include "controls/mKnob.h"
#include "platform/qtui/QtHints.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kMaxShapeValue = 10000;
constexpr int kRoundedCornerSize = 20;

// Sets a flag for the time of a scope and gives back its former value.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = before_; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
  bool before_;
};

TSpinEdit* MakeSpin(QWidget* parent, const char* name, int minValue, int maxValue) {
  auto* spin = new TSpinEdit(parent);
  spin->setObjectName(name);
  spin->SetMinValue(minValue);
  spin->SetMaxValue(maxValue);
  spin->SetValue(minValue);
  spin->setFixedWidth(70);
  return spin;
}

TBitmapButton* MakeColorButton(QWidget* parent, const char* name, const std::string& hint) {
  auto* button = new TBitmapButton(parent);
  button->setObjectName(name);
  button->setFixedSize(40, 22);
  if (!hint.empty()) button->SetHint(hint);
  return button;
}

QToolButton* MakeToggle(QWidget* parent, QButtonGroup* group, const char* name, const char* caption,
                        const std::string& hint) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText(caption);
  button->setCheckable(true);
  button->setAutoRaise(true);
  if (!hint.empty()) ApplyHint(*button, hint);
  group->addButton(button);
  return button;
}

QLabel* MakeLabel(QWidget* parent, const char* text) { return new QLabel(text, parent); }

void RestartTimer(TTimer& timer) {
  timer.SetEnabled(false);
  timer.SetEnabled(true);
}

bool IsShapeFrame(const TFrame& frame) { return frame.Kind == fkRectangle || frame.Kind == fkEllipse; }

// The size of the picture a line of this width between the two points gets.
TSize LineImageSize(TPoint start, TPoint end, std::int64_t width) {
  const std::int64_t w = std::max<std::int64_t>(std::abs(start.X - end.X) + width, width + 1);
  const std::int64_t h = std::max<std::int64_t>(std::abs(start.Y - end.Y) + width, width + 1);
  return {static_cast<int>(std::min<std::int64_t>(w, INT32_MAX)), static_cast<int>(std::min<std::int64_t>(h, INT32_MAX))};
}

// Shows a refused size; false when the size may not be applied.
bool SizeAccepted(HWND owner, std::int64_t width, std::int64_t height) {
  try {
    RequireSavableImageSize(width, height);
    return true;
  } catch (const ESizeRefused& refused) {
    Ui().MessageBox(owner, refused.Message(), "Error", MB_ICONERROR);
    return false;
  }
}

}  // namespace

// ---- Building the pages -------------------------------------------------------------------------

void TShapesArea::CreateShapePage() {
  QWidget* page = Layout().NotebookFramePreview()->widget(2);
  auto* grid = new QGridLayout;
  grid->setContentsMargins(0, 0, 0, 0);
  static_cast<QVBoxLayout*>(page->layout())->addLayout(grid);
  int row = 0;
  const auto addRow = [&](const char* label, QWidget* first, QWidget* second = nullptr) {
    grid->addWidget(MakeLabel(page, label), row, 0);
    grid->addWidget(first, row, 1);
    if (second != nullptr) grid->addWidget(second, row, 2);
    ++row;
  };

  RectWidth_Spin = MakeSpin(page, "RectWidth_Spin", 1, kMaxShapeValue);
  RectHeight_Spin = MakeSpin(page, "RectHeight_Spin", 1, kMaxShapeValue);
  addRow("Width:", RectWidth_Spin);
  addRow("Height:", RectHeight_Spin);

  auto* fillGroup = new QButtonGroup(page);
  fillGroup->setExclusive(true);
  FontainFill_ToolButton = MakeToggle(page, fillGroup, "FontainFill_ToolButton", "Fountain",
                                      "Fountain Fill|Fountain fill causes two colors to flow into each other smoothly");
  VelveteenFeel_ToolButton = MakeToggle(page, fillGroup, "VelveteenFeel_ToolButton", "Velveteen", "");
  addRow("Fill:", FontainFill_ToolButton, VelveteenFeel_ToolButton);

  FillingFrom_Button = MakeColorButton(page, "FillingFrom_Button", "");
  FillingTo_Button = MakeColorButton(page, "FillingTo_Button", "");
  RectangleSameFillColor_CheckBox = new QCheckBox("Same", page);
  RectangleSameFillColor_CheckBox->setObjectName("RectangleSameFillColor_CheckBox");
  addRow("From:", FillingFrom_Button, RectangleSameFillColor_CheckBox);
  addRow("To:", FillingTo_Button);
  FillingBackground_Button = MakeColorButton(page, "FillingBackground_Button", "");
  addRow("Background:", FillingBackground_Button);

  FillingAngle = MakeSpin(page, "FillingAngle", 0, 360);
  FillingAngle_Knob = new TmKnob(page);
  FillingAngle_Knob->setObjectName("FillingAngle_Knob");
  FillingAngle_Knob->SetMin(0);
  FillingAngle_Knob->SetMax(360);
  FillingAngle_Knob->setFixedSize(40, 40);
  addRow("Angle:", FillingAngle, FillingAngle_Knob);

  ToolBar_BevelType = new QWidget(page);
  ToolBar_BevelType->setObjectName("ToolBar_BevelType");
  auto* bevelLayout = new QHBoxLayout(ToolBar_BevelType);
  bevelLayout->setContentsMargins(0, 0, 0, 0);
  auto* bevelGroup = new QButtonGroup(page);
  bevelGroup->setExclusive(true);
  SolidBevel_Button = MakeToggle(ToolBar_BevelType, bevelGroup, "SolidBevel_Button", "Solid", "Solid bevel");
  FountainBevel_Button =
      MakeToggle(ToolBar_BevelType, bevelGroup, "FountainBevel_Button", "Fountain", "Fountain filled bevel");
  bevelLayout->addWidget(SolidBevel_Button);
  bevelLayout->addWidget(FountainBevel_Button);
  addRow("Bevel:", ToolBar_BevelType);
  BevelDepth_Spin = MakeSpin(page, "BevelDepth_Spin", 0, kMaxShapeValue);
  addRow("Bevel width:", BevelDepth_Spin);
  BevelHigh_Button = MakeColorButton(page, "BevelHigh_Button", "");
  BevelShadow_Button = MakeColorButton(page, "BevelShadow_Button", "");
  addRow("Bevel colors:", BevelHigh_Button, BevelShadow_Button);
  OutlineWidth_Spin = MakeSpin(page, "OutlineWidth_Spin", 0, kMaxShapeValue);
  OutlineColor_Button = MakeColorButton(page, "OutlineColor_Button", "");
  addRow("Outline:", OutlineWidth_Spin, OutlineColor_Button);

  ShapeType_Radio = new QGroupBox(" Shape: ", page);
  ShapeType_Radio->setObjectName("ShapeType_Radio");
  auto* typeLayout = new QVBoxLayout(ShapeType_Radio);
  auto* typeGroup = new QButtonGroup(ShapeType_Radio);
  for (const char* caption : {"&Rectangle", "R&ounded Rectangle"}) {
    auto* item = new QRadioButton(caption, ShapeType_Radio);
    typeGroup->addButton(item, typeGroup->buttons().size());
    typeLayout->addWidget(item);
  }
  typeGroup->button(0)->setChecked(true);
  grid->addWidget(ShapeType_Radio, row++, 0, 1, 3);
  Panel_WidthRoundedCorners = new QWidget(page);
  Panel_WidthRoundedCorners->setObjectName("Panel_WidthRoundedCorners");
  auto* cornerLayout = new QHBoxLayout(Panel_WidthRoundedCorners);
  cornerLayout->setContentsMargins(0, 0, 0, 0);
  cornerLayout->addWidget(MakeLabel(Panel_WidthRoundedCorners, "Corners:"));
  RoundedCorners_Spin = MakeSpin(Panel_WidthRoundedCorners, "RoundedCorners_Spin", 0, kMaxShapeValue);
  cornerLayout->addWidget(RoundedCorners_Spin);
  grid->addWidget(Panel_WidthRoundedCorners, row++, 0, 1, 3);
  Panel_WidthRoundedCorners->hide();
  // The controls keep their own size at the top left of a page that is as
  // large as the largest page.
  grid->setColumnStretch(3, 1);
  static_cast<QVBoxLayout*>(page->layout())->addStretch(1);

  for (TSpinEdit* spin : {RectWidth_Spin, RectHeight_Spin, BevelDepth_Spin, OutlineWidth_Spin, RoundedCorners_Spin})
    spin->OnChange = [this](QObject*) { ShapeChange(); };
  FillingAngle->OnChange = [this](QObject*) { FillingAngleChange(); };
  FillingAngle_Knob->OnChange = [this](QObject*, int value) {
    if (FillingAngle->Value() != value) FillingAngle->SetValue(value);
  };
  for (QToolButton* button : {FontainFill_ToolButton, VelveteenFeel_ToolButton, SolidBevel_Button, FountainBevel_Button})
    connect(button, &QToolButton::clicked, this, [this] { Fill_ToolButtonClick(); });
  connect(RectangleSameFillColor_CheckBox, &QCheckBox::clicked, this, [this] { RectangleSameFillColor_CheckBoxClick(); });
  connect(typeGroup, &QButtonGroup::idClicked, this, [this] { ShapeType_RadioClick(); });

  FillingFrom_Button->OnClick = [this](QObject*) {
    PickButtonColor(FillingFrom_Button, [this] {
      if (RectangleSameFillColor_CheckBox->isChecked()) FillingTo_Button->SetButtonColor(FillingFrom_Button->ButtonColor());
      ShapeChange();
    });
  };
  for (TBitmapButton* button :
       {FillingTo_Button, FillingBackground_Button, BevelHigh_Button, BevelShadow_Button, OutlineColor_Button})
    button->OnClick = [this, button](QObject*) { PickButtonColor(button, [this] { ShapeChange(); }); };
}

void TShapesArea::CreateLinePage() {
  QWidget* linePage = Layout().NotebookFramePreview()->widget(3);
  auto* lineGrid = new QGridLayout;
  lineGrid->setContentsMargins(0, 0, 0, 0);
  static_cast<QVBoxLayout*>(linePage->layout())->addLayout(lineGrid);
  LineBackgroundColor_Button = MakeColorButton(linePage, "LineBackgroundColor_Button", "");
  LineWidthSpin = MakeSpin(linePage, "LineWidthSpin", 1, kMaxShapeValue);
  ApplyHint(*LineWidthSpin, "|Set the Line Width in Pixels");
  LineColor_Button = MakeColorButton(linePage, "LineColor_Button", "");
  lineGrid->addWidget(MakeLabel(linePage, "Background:"), 0, 0);
  lineGrid->addWidget(LineBackgroundColor_Button, 0, 1);
  lineGrid->addWidget(MakeLabel(linePage, "Width:"), 1, 0);
  lineGrid->addWidget(LineWidthSpin, 1, 1);
  lineGrid->addWidget(MakeLabel(linePage, "Color:"), 2, 0);
  lineGrid->addWidget(LineColor_Button, 2, 1);
  lineGrid->setColumnStretch(2, 1);
  static_cast<QVBoxLayout*>(linePage->layout())->addStretch(1);
  LineWidthSpin->OnChange = [this](QObject*) { LineChange(); };
  for (TBitmapButton* button : {LineBackgroundColor_Button, LineColor_Button})
    button->OnClick = [this, button](QObject*) { PickButtonColor(button, [this] { LineChange(); }); };
}

// ---- Shape page ---------------------------------------------------------------------------------

int TShapesArea::ShapeTypeIndex() const {
  const auto items = ShapeType_Radio->findChildren<QRadioButton*>();
  for (int i = 0; i < items.size(); ++i)
    if (items[i]->isChecked()) return i;
  return -1;
}

void TShapesArea::SetShapeTypeIndex(int index) {
  const auto items = ShapeType_Radio->findChildren<QRadioButton*>();
  if (index >= 0 && index < items.size()) items[index]->setChecked(true);
}

void TShapesArea::LoadShapePage() {
  TFrame* frame = CurrentFrame();
  if (frame != nullptr && IsShapeFrame(*frame)) FillShapePage(*frame);
}

void TShapesArea::FillShapePage(TFrame& frame) {
  FlushPendingFrameEdits();
  const TFlagScope loading(loadingFramePage_);
  shapePageFrame_ = PageFrameOf(frame);
  if (frame.Sprite() != nullptr) frame.Sprite()->SetCurrentFrameIndex(frame.Index());
  const TShapeParams& shape = frame.Shape;
  RectWidth_Spin->SetValue(frame.ImageWidth);
  RectHeight_Spin->SetValue(frame.ImageHeight);
  FontainFill_ToolButton->setChecked(shape.GradientStyle == 0);
  VelveteenFeel_ToolButton->setChecked(shape.GradientStyle == 1);
  FillingFrom_Button->SetButtonColor(static_cast<TColor>(shape.FillColor1));
  FillingTo_Button->SetButtonColor(static_cast<TColor>(shape.FillColor2));
  FillingBackground_Button->SetButtonColor(static_cast<TColor>(shape.BackgroundColor));
  FillingAngle->SetValue(shape.GradientAngle);
  SolidBevel_Button->setChecked(shape.BevelStyle == 0);
  FountainBevel_Button->setChecked(shape.BevelStyle == 1);
  BevelDepth_Spin->SetValue(shape.BevelWidth);
  BevelHigh_Button->SetButtonColor(static_cast<TColor>(shape.BevelColor1));
  BevelShadow_Button->SetButtonColor(static_cast<TColor>(shape.BevelColor2));
  OutlineWidth_Spin->SetValue(shape.BorderWidth);
  OutlineColor_Button->SetButtonColor(static_cast<TColor>(shape.BorderColor));
  RoundedCorners_Spin->SetValue(shape.CornerSize);
  RectangleSameFillColor_CheckBox->setChecked(shape.FillColor1 == shape.FillColor2);
  RectangleSameFillColor_CheckBoxClick();
  const bool rectangle = frame.Kind == fkRectangle;
  ShapeType_Radio->setVisible(rectangle);
  ToolBar_BevelType->setVisible(rectangle);
  SetShapeTypeIndex(shape.CornerSize > 0 ? 1 : 0);
  ShapeType_RadioClick();
}

void TShapesArea::RefreshShapePage() {
  // The canvas resized the shape: the size spins show its new size; other
  // pending edits of the page stay pending.
  TFrame* frame = FrameOfPage(shapePageFrame_);
  if (frame == nullptr || !IsShapeFrame(*frame)) return;
  const TFlagScope loading(loadingFramePage_);
  RectWidth_Spin->SetValue(frame->ImageWidth);
  RectHeight_Spin->SetValue(frame->ImageHeight);
}

void TShapesArea::ShapeChange() {
  if (!loadingFramePage_) RestartTimer(timerRedrawShape_);
}

void TShapesArea::FillingAngleChange() {
  ShapeChange();
  if (FillingAngle_Knob->Position() != FillingAngle->Value()) FillingAngle_Knob->SetPosition(FillingAngle->Value());
}

void TShapesArea::RectangleSameFillColor_CheckBoxClick() {
  const bool same = RectangleSameFillColor_CheckBox->isChecked();
  FillingTo_Button->SetEnabled(!same);
  if (loadingFramePage_ || !same) return;
  FillingTo_Button->SetButtonColor(FillingFrom_Button->ButtonColor());
  ShapeChange();
}

void TShapesArea::ShapeType_RadioClick() {
  const int item = ShapeTypeIndex();
  Panel_WidthRoundedCorners->setVisible(item == 1 && !ShapeType_Radio->isHidden());
  if (loadingFramePage_) return;
  RoundedCorners_Spin->SetValue(item == 1 ? kRoundedCornerSize : 0);
  ShapeChange();
}

void TShapesArea::Fill_ToolButtonClick() {
  if (loadingFramePage_) return;
  TimerRedrawShapeTimer();
}

void TShapesArea::TimerRedrawShapeTimer() {
  timerRedrawShape_.SetEnabled(false);
  if (loadingFramePage_) return;
  TFrame* frame = FrameOfPage(shapePageFrame_);
  if (frame == nullptr || frame->Sprite() == nullptr || !IsShapeFrame(*frame)) return;
  TShapeParams shape;
  shape.GradientStyle = VelveteenFeel_ToolButton->isChecked() ? 1 : 0;
  shape.FillColor1 = static_cast<std::int32_t>(FillingFrom_Button->ButtonColor());
  shape.FillColor2 = static_cast<std::int32_t>(FillingTo_Button->ButtonColor());
  shape.BackgroundColor = static_cast<std::int32_t>(FillingBackground_Button->ButtonColor());
  shape.GradientAngle = FillingAngle->Value();
  shape.BevelStyle = FountainBevel_Button->isChecked() ? 1 : 0;
  shape.BevelWidth = BevelDepth_Spin->Value();
  shape.BevelColor1 = static_cast<std::int32_t>(BevelHigh_Button->ButtonColor());
  shape.BevelColor2 = static_cast<std::int32_t>(BevelShadow_Button->ButtonColor());
  shape.BorderWidth = OutlineWidth_Spin->Value();
  shape.BorderColor = static_cast<std::int32_t>(OutlineColor_Button->ButtonColor());
  shape.CornerSize = RoundedCorners_Spin->Value();
  const int width = RectWidth_Spin->Value();
  const int height = RectHeight_Spin->Value();
  if (width == frame->ImageWidth && height == frame->ImageHeight && shape == frame->Shape) return;
  if (!SizeAccepted(Handle(), width, height)) {
    const TFlagScope loading(loadingFramePage_);
    RectWidth_Spin->SetValue(frame->ImageWidth);
    RectHeight_Spin->SetValue(frame->ImageHeight);
    return;
  }
  ChangePageFrame(shapePageFrame_, [&] {
    frame->Sprite()->ChangeShape(frame->Index(), frame->Kind, width, height, shape, frame->Transparent(),
                                 frame->TransparentColor());
  });
}

// ---- Line page ----------------------------------------------------------------------------------

void TShapesArea::LoadLinePage() {
  TFrame* frame = CurrentFrame();
  if (frame != nullptr && frame->Kind == fkLine) FillLinePage(*frame);
}

void TShapesArea::FillLinePage(TFrame& frame) {
  FlushPendingFrameEdits();
  const TFlagScope loading(loadingFramePage_);
  linePageFrame_ = PageFrameOf(frame);
  if (frame.Sprite() != nullptr) frame.Sprite()->SetCurrentFrameIndex(frame.Index());
  LineBackgroundColor_Button->SetButtonColor(static_cast<TColor>(frame.Shape.BackgroundColor));
  LineWidthSpin->SetValue(frame.Shape.BorderWidth);
  LineColor_Button->SetButtonColor(static_cast<TColor>(frame.Shape.BorderColor));
}

void TShapesArea::LineChange() {
  if (!loadingFramePage_) RestartTimer(timerRedrawLine_);
}

void TShapesArea::TimerRedrawLineTimer() {
  timerRedrawLine_.SetEnabled(false);
  if (loadingFramePage_) return;
  TFrame* frame = FrameOfPage(linePageFrame_);
  if (frame == nullptr || frame->Sprite() == nullptr || frame->Kind != fkLine) return;
  const TColor color = LineColor_Button->ButtonColor();
  TColor background = LineBackgroundColor_Button->ButtonColor();
  TColor transparentColor = frame->TransparentColor();
  // A background of the line's own colour would hide the line: it becomes
  // black (white behind a black line) and is what turns transparent.
  if (background == color) {
    background = color != clBlack ? clBlack : clWhite;
    const TFlagScope loading(loadingFramePage_);
    LineBackgroundColor_Button->SetButtonColor(background);
    transparentColor = background;
  }
  const int width = LineWidthSpin->Value();
  if (static_cast<std::int32_t>(background) == frame->Shape.BackgroundColor && width == frame->Shape.BorderWidth &&
      static_cast<std::int32_t>(color) == frame->Shape.BorderColor && transparentColor == frame->TransparentColor())
    return;
  const TSize size = LineImageSize(frame->LineStart, frame->LineEnd, width);
  if (!SizeAccepted(Handle(), size.cx, size.cy)) {
    const TFlagScope loading(loadingFramePage_);
    LineWidthSpin->SetValue(frame->Shape.BorderWidth);
    return;
  }
  ChangePageFrame(linePageFrame_, [&] {
    frame->Sprite()->ChangeLine(frame->Index(), frame->LineStart, frame->LineEnd, background, width, color,
                                frame->Transparent(), transparentColor);
  });
}
