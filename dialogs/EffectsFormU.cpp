#include "dialogs/EffectsFormU.h"

#include "controls/Bitmpbtn.h"
#include "controls/ColorPicker.h"
#include "controls/Image.h"
#include "controls/PopupWindow.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/MyCntrlMovie.h"
#include "controls/My_SpinEdit.h"
#include "controls/RadioGroup.h"
#include "controls/TrackBar.h"
#include "controls/mKnob.h"
#include "dialogs/EditPaletteFormU.h"
#include "dialogs/core/EffectSamples.h"
#include "platform/CodePages.h"
#include "platform/Help.h"
#include "platform/ModalForms.h"
#include "platform/UiServices.h"
#include "platform/qtui/QtInput.h"
#include "platform/qtui/ScreenCursors.h"
#include "scene/Frame.h"
#include "scene/SpriteU.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRedrawDelay = 300;
constexpr int kDefaultMovingInterval = 50;
constexpr int kSampleFramesPerSecond = 4;
constexpr int kSpinEditWidth = 72;
// The tags of the two-way groups that share the direction value.
constexpr int kDirectionGroupTag = 4;
constexpr int kTargetGroupTag = 8;

// NotebookAllControls pages.
enum { pgFrameEffect = 0, pgBlur = 1, pgEmpty = 2, pgBrightness = 3, pgEmboss = 4, pgGamma = 5 };
// NotebookMovieControls pages.
enum { pgPlayer = 0, pgNoPlayer = 1 };
// DirectionNotebook pages.
enum { pgDirection = 0, pgBlendDissolve = 1, pgAngles = 2 };

QStackedWidget* NewNotebook(QWidget* parent, const char* name) {
  auto* notebook = new QStackedWidget(parent);
  notebook->setObjectName(name);
  return notebook;
}

QWidget* AddPage(QStackedWidget* notebook, const char* name) {
  auto* page = new QWidget(notebook);
  page->setObjectName(name);
  notebook->addWidget(page);
  return page;
}

TSpinEdit* NewSpinEdit(QWidget* parent, const char* name, int minimum, int maximum, int value) {
  auto* edit = new TSpinEdit(parent);
  edit->setObjectName(name);
  edit->SetMinValue(minimum);
  edit->SetMaxValue(maximum);
  edit->SetValue(value);
  // A fixed width: the button is laid out by the edit's own bounds, which a
  // layout must not change while the edit's page is hidden.
  edit->SetBounds(0, 0, kSpinEditWidth, edit->MinHeight());
  edit->setFixedWidth(kSpinEditWidth);
  return edit;
}

TTrackBar* NewTrackBar(QWidget* parent, const char* name, int minimum, int maximum, int position) {
  auto* bar = new TTrackBar(parent);
  bar->setObjectName(name);
  bar->SetMax(maximum);
  bar->SetMin(minimum);
  bar->SetPosition(position);
  bar->SetFrequency(std::max(1, (maximum - minimum) / 10));
  bar->SetBounds(0, 0, 150, 30);
  bar->setFixedSize(150, 30);
  return bar;
}

TRadioGroup* NewRadioGroup(QWidget* parent, const char* name, const char* caption,
                           const std::vector<std::string>& items, int tag = 0) {
  auto* group = new TRadioGroup(parent);
  group->setObjectName(name);
  group->SetCaption(caption);
  group->SetItems(items);
  group->SetItemIndex(0);
  group->setProperty("tag", tag);
  return group;
}

TBitmapButton* NewColorButton(QWidget* parent, const char* name, const char* caption, TColor color) {
  auto* button = new TBitmapButton(parent);
  button->setObjectName(name);
  button->SetCaption(caption);
  button->SetButtonColor(color);
  button->SetBounds(0, 0, 120, 25);
  button->setFixedSize(120, 25);
  return button;
}

// The pipette of the buttons that pick a colour from the picture: the
// colour-pick cursor's drawing.
QToolButton* NewPickButton(QWidget* parent, const char* name) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setIcon(QIcon(QPixmap::fromImage(CursorPicture(crAirDrop))));
  return button;
}

enum TPlayerGlyph { pgFirst, pgPrevious, pgPlay, pgStop, pgNext };

QIcon PlayerIcon(TPlayerGlyph glyph) {
  QPixmap pixmap(12, 12);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  const auto triangle = [&](bool right, int left) {
    const QPolygon points = right ? QPolygon({QPoint(left, 1), QPoint(left + 6, 6), QPoint(left, 11)})
                                  : QPolygon({QPoint(left + 6, 1), QPoint(left, 6), QPoint(left + 6, 11)});
    painter.drawPolygon(points);
  };
  switch (glyph) {
    case pgFirst:
      painter.drawRect(1, 1, 2, 10);
      triangle(false, 4);
      break;
    case pgPrevious:
      triangle(false, 0);
      triangle(false, 6);
      break;
    case pgPlay: triangle(true, 3); break;
    case pgStop: painter.drawRect(2, 2, 8, 8); break;
    case pgNext:
      triangle(true, 0);
      triangle(true, 6);
      break;
  }
  return QIcon(pixmap);
}

QToolButton* NewPlayerButton(QWidget* parent, const char* name, TPlayerGlyph glyph) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setIcon(PlayerIcon(glyph));
  return button;
}

QLabel* NewLabel(QWidget* parent, const char* text, QWidget* buddy = nullptr) {
  auto* label = new QLabel(text, parent);
  if (buddy != nullptr) label->setBuddy(buddy);
  return label;
}

// The previews show their pictures at their own size (auto-sized
// images): the control takes the picture's size.
void FitToPicture(TImage& image) {
  const TBitmap& picture = image.Bitmap();
  image.SetBounds(image.Left(), image.Top(), picture.Width(), picture.Height());
  image.setFixedSize(std::max(picture.Width(), 0), std::max(picture.Height(), 0));
  image.Repaint();
}

void ScrollHome(QScrollArea& box) {
  box.horizontalScrollBar()->setValue(0);
  box.verticalScrollBar()->setValue(0);
}

}  // namespace

// ---- Creation ---------------------------------------------------------------------------------

TEffectsForm::TEffectsForm(QWidget* owner) : QDialog(owner) {
  setObjectName("EffectsForm");
  setWindowTitle("Effect");
  CreateComponents();
  ConnectHandlers();
  FormCreate();
}

TEffectsForm::~TEffectsForm() { FormDestroy(); }

void TEffectsForm::CreateComponents() {
  EffectsComboBox = new QComboBox(this);
  EffectsComboBox->setObjectName("EffectsComboBox");
  for (int kind = ekAperture; kind <= ekGammaCorrection; ++kind)
    EffectsComboBox->addItem(AnsiToQString(EffectListText(kind)));
  EffectsComboBox->setMaxVisibleItems(20);

  EffectMovie = new TMovie(this);
  EffectMovie->setObjectName("EffectMovie");
  EffectMovie->SetBounds(0, 0, kEffectSampleWidth, kEffectSampleHeight);
  EffectMovie->setFixedSize(kEffectSampleWidth, kEffectSampleHeight);
  EffectMovie->SetNumFrames(kEffectSampleFrames);
  EffectMovie->SetFramesPerSecond(kSampleFramesPerSecond);

  NotebookAllControls = NewNotebook(this, "NotebookAllControls");
  NotebookAllControls->addWidget(CreateFrameEffectPage());
  for (int page = pgBlur; page <= pgGamma; ++page) NotebookAllControls->addWidget(CreateFilterPage(page));

  CreateButton = new QPushButton("C&reate", this);
  CreateButton->setObjectName("CreateButton");
  AutoCreateCheckBox = new QCheckBox("&Auto Create", this);
  AutoCreateCheckBox->setObjectName("AutoCreateCheckBox");

  ButtonsPanel = new QWidget(this);
  ButtonsPanel->setObjectName("ButtonsPanel");
  OkBtn = new QPushButton("&Ok", ButtonsPanel);
  OkBtn->setObjectName("OkBtn");
  OkBtn->setDefault(true);
  CancelBtn = new QPushButton("&Cancel", ButtonsPanel);
  CancelBtn->setObjectName("CancelBtn");
  HelpBtn = new QPushButton("&Help", ButtonsPanel);
  HelpBtn->setObjectName("HelpBtn");
  auto* buttons = new QVBoxLayout(ButtonsPanel);
  buttons->addWidget(OkBtn);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(HelpBtn);
  buttons->addStretch();

  ColorPicker1 = new TColorPicker(this);
  ColorPicker1->setObjectName("ColorPicker1");

  auto* effect = new QHBoxLayout;
  effect->addWidget(NewLabel(this, "&Effect:", EffectsComboBox));
  effect->addWidget(EffectsComboBox, 1);
  auto* left = new QVBoxLayout;
  left->addLayout(effect);
  left->addWidget(EffectMovie, 0, Qt::AlignHCenter);
  left->addWidget(NotebookAllControls);
  auto* create = new QHBoxLayout;
  create->addWidget(CreateButton);
  create->addWidget(AutoCreateCheckBox);
  left->addLayout(create);
  left->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addWidget(CreatePreviews(), 1);
  layout->addWidget(ButtonsPanel);

  TimerMoving.SetEnabled(false);
  TimerMoving.SetInterval(kDefaultMovingInterval);
  TimerRedrawStPFr.SetEnabled(false);
  TimerRedrawStPFr.SetInterval(kRedrawDelay);
  TimerRedrawNumbOfFr.SetEnabled(false);
  TimerRedrawNumbOfFr.SetInterval(kRedrawDelay);
}

QWidget* TEffectsForm::CreateFrameEffectPage() {
  auto* page = new QWidget;
  page->setObjectName("FrameEffect");
  NumberOfFramesSpin = NewSpinEdit(page, "NumberOfFramesSpin", 1, 100000, 10);
  StepsPerFrameEdit = NewSpinEdit(page, "StepsPerFrameEdit", 1, 100000, 2);
  BackgroundColorButton = NewColorButton(page, "BackgroundColorButton", "Background Color...", clWhite);
  GetColorButton = NewPickButton(page, "GetColorButton");
  TransparencyCheckBox = new QCheckBox("Background Color is &Transparent", page);
  TransparencyCheckBox->setObjectName("TransparencyCheckBox");
  TransparencyCheckBox->setChecked(true);

  auto* grid = new QGridLayout;
  grid->addWidget(NewLabel(page, "&Number of Frames:", NumberOfFramesSpin), 0, 0);
  grid->addWidget(NumberOfFramesSpin, 0, 1);
  grid->addWidget(NewLabel(page, "&Duration (steps/frame):", StepsPerFrameEdit), 1, 0);
  grid->addWidget(StepsPerFrameEdit, 1, 1);
  grid->setColumnStretch(2, 1);
  auto* background = new QHBoxLayout;
  background->addWidget(BackgroundColorButton);
  background->addWidget(GetColorButton);
  background->addStretch();
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(grid);
  layout->addLayout(background);
  layout->addWidget(TransparencyCheckBox);
  layout->addWidget(CreateTransitionPages());
  layout->addWidget(CreateDirectionPages());
  return page;
}

QWidget* TEffectsForm::CreateTransitionPages() {
  NotebookControls = NewNotebook(nullptr, "NotebookControls");
  const auto page = [this](const char* name) {
    QWidget* p = AddPage(NotebookControls, name);
    auto* layout = new QVBoxLayout(p);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
  };
  const std::vector<std::string> appearance{"Appearance", "Disappearance"};
  page("3DRotate");
  page("Aperture")->addWidget(
      ApertureRadioGroup = NewRadioGroup(NotebookControls, "ApertureRadioGroup", "Direction:", {"In", "Out"},
                                         kDirectionGroupTag));
  {
    QVBoxLayout* blend = page("Blend");
    Button_BlendColor = NewColorButton(NotebookControls, "Button_BlendColor", "Target Color...", clWhite);
    Button_PeekBlendColor = NewPickButton(NotebookControls, "Button_PeekBlendColor");
    auto* colors = new QHBoxLayout;
    colors->addWidget(Button_BlendColor);
    colors->addWidget(Button_PeekBlendColor);
    colors->addStretch();
    blend->addLayout(colors);
    blend->addWidget(BlendRadioGroup = NewRadioGroup(NotebookControls, "BlendRadioGroup", "Target:",
                                                     {"Color", "Next Frame"}, kTargetGroupTag));
  }
  {
    QVBoxLayout* blind = page("Blind");
    NumberOfBlindsSpin = NewSpinEdit(NotebookControls, "NumberOfBlindsSpin", 1, 200, 10);
    NumberOfBlindsLabel = NewLabel(NotebookControls, "Number of Blinds:", NumberOfBlindsSpin);
    auto* count = new QHBoxLayout;
    count->addWidget(NumberOfBlindsLabel);
    count->addWidget(NumberOfBlindsSpin);
    blind->addLayout(count);
    blind->addWidget(BlindRadioGroup = NewRadioGroup(NotebookControls, "BlindRadioGroup", "", appearance));
  }
  page("Cross")->addWidget(CrossRadioGroup = NewRadioGroup(NotebookControls, "CrossRadioGroup", "Direction:",
                                                           appearance, kDirectionGroupTag));
  page("Dissolve")->addWidget(DissolveRadioGroup =
                                  NewRadioGroup(NotebookControls, "DissolveRadioGroup", "Target:",
                                                {"Background Color", "Next Frame"}, kTargetGroupTag));
  page("Fade");
  {
    QVBoxLayout* fingers = page("Fingers");
    NumberOfFingersSpin = NewSpinEdit(NotebookControls, "NumberOfFingersSpin", 1, 200, 10);
    auto* count = new QHBoxLayout;
    count->addWidget(NewLabel(NotebookControls, "Number of Fingers:", NumberOfFingersSpin));
    count->addWidget(NumberOfFingersSpin);
    fingers->addLayout(count);
    fingers->addWidget(FingersRadioGroup = NewRadioGroup(NotebookControls, "FingersRadioGroup", "", appearance));
  }
  page("Grow")->addWidget(GrowRadioGroup = NewRadioGroup(NotebookControls, "GrowRadioGroup", "", appearance));
  page("Rotation")->addWidget(RadioDirection = NewRadioGroup(NotebookControls, "RadioDirection", "",
                                                             {"&Clockwise", "Counter-Clock&wise"}));
  page("Sweep")->addWidget(SweepAppearanceRadioGroup =
                               NewRadioGroup(NotebookControls, "SweepAppearanceRadioGroup", "", appearance));
  page("Wipe")->addWidget(WipeRadioGroup = NewRadioGroup(NotebookControls, "WipeRadioGroup", "Direction:",
                                                         {"To Center", "To Edges"}, kDirectionGroupTag));
  page("Roll");
  page("ClockDissolve");
  page("Spiral");
  return NotebookControls;
}

QWidget* TEffectsForm::CreateDirectionPages() {
  DirectionNotebook = NewNotebook(nullptr, "DirectionNotebook");
  {
    QWidget* page = AddPage(DirectionNotebook, "Direction");
    const auto button = [page](const char* name, const char* caption, int tag) {
      auto* b = new QRadioButton(caption, page);
      b->setObjectName(name);
      b->setProperty("tag", tag);
      return b;
    };
    TopBtn = button("TopBtn", "Top", edTop);
    RightBtn = button("RightBtn", "Right", edRight);
    BottomBtn = button("BottomBtn", "Bottom", edBottom);
    LeftBtn = button("LeftBtn", "Left", edLeft);
    RightBtn->setChecked(true);
    // The four buttons as a compass in a frame.
    auto* frame = new QGroupBox(page);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(TopBtn, 0, 2);
    grid->addWidget(LeftBtn, 1, 1);
    grid->addWidget(RightBtn, 1, 3);
    grid->addWidget(BottomBtn, 2, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(4, 1);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
  }
  {
    QWidget* page = AddPage(DirectionNotebook, "Blend_Dissolve");
    BlendInOutRadioGroup = NewRadioGroup(page, "BlendInOutRadioGroup", "", {"Disappearance", "Appearance"});
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BlendInOutRadioGroup);
  }
  {
    QWidget* page = AddPage(DirectionNotebook, "Angles");
    StartAngle = NewSpinEdit(page, "StartAngle", 0, 360, 0);
    FinishAngle = NewSpinEdit(page, "FinishAngle", 0, 360, 180);
    const auto knob = [page](const char* name, int position) {
      auto* k = new TmKnob(page);
      k->setObjectName(name);
      k->SetBounds(0, 0, 40, 40);
      k->setFixedSize(40, 40);
      k->SetPosition(position);
      return k;
    };
    Knob_StartAngle = knob("Knob_StartAngle", 0);
    Knob_FinishAngle = knob("Knob_FinishAngle", 180);
    auto* grid = new QGridLayout(page);
    grid->addWidget(NewLabel(page, "Start angle:", StartAngle), 0, 0);
    grid->addWidget(StartAngle, 0, 1);
    grid->addWidget(Knob_StartAngle, 0, 2);
    grid->addWidget(NewLabel(page, "Finish angle:", FinishAngle), 1, 0);
    grid->addWidget(FinishAngle, 1, 1);
    grid->addWidget(Knob_FinishAngle, 1, 2);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(3, 1);
  }
  return DirectionNotebook;
}

QWidget* TEffectsForm::CreateFilterPage(int page) {
  auto* widget = new QWidget;
  auto* grid = new QGridLayout(widget);
  const auto bar = [&](int row, const char* caption, TTrackBar* track, TSpinEdit* edit) {
    grid->addWidget(NewLabel(widget, caption, edit), row, 0);
    grid->addWidget(track, row, 1);
    grid->addWidget(edit, row, 2);
  };
  switch (page) {
    case pgBlur:
      widget->setObjectName("Blur");
      RadiusTrackBar = NewTrackBar(widget, "RadiusTrackBar", 0, 100, 0);
      RadiusEdit = NewSpinEdit(widget, "RadiusEdit", 0, 100, 0);
      bar(0, "Radius:", RadiusTrackBar, RadiusEdit);
      break;
    case pgEmpty: widget->setObjectName("Empty"); break;
    case pgBrightness:
      widget->setObjectName("Brightness");
      BrightnessTrackBar = NewTrackBar(widget, "BrightnessTrackBar", -100, 100, 0);
      BrightnessEdit = NewSpinEdit(widget, "BrightnessEdit", -100, 100, 0);
      bar(0, "Brightness:", BrightnessTrackBar, BrightnessEdit);
      Label_Brightness_or_Contrast = qobject_cast<QLabel*>(grid->itemAtPosition(0, 0)->widget());
      Label_Brightness_or_Contrast->setObjectName("Label_Brightness_or_Contrast");
      break;
    case pgEmboss:
      widget->setObjectName("Emboss");
      TrackBar_Emboss = NewTrackBar(widget, "TrackBar_Emboss", 1, 14, 1);
      Edit_Emboss_Depth = NewSpinEdit(widget, "Edit_Emboss_Depth", 1, 14, 1);
      bar(0, "Depth:", TrackBar_Emboss, Edit_Emboss_Depth);
      EmbossAngle = NewSpinEdit(widget, "EmbossAngle", 0, 360, 135);
      EmbossAngle_Knob = new TmKnob(widget);
      EmbossAngle_Knob->setObjectName("EmbossAngle_Knob");
      EmbossAngle_Knob->SetBounds(0, 0, 40, 40);
      EmbossAngle_Knob->setFixedSize(40, 40);
      EmbossAngle_Knob->SetPosition(135);
      grid->addWidget(NewLabel(widget, "Angle:", EmbossAngle), 1, 0);
      grid->addWidget(EmbossAngle_Knob, 1, 1, Qt::AlignLeft);
      grid->addWidget(EmbossAngle, 1, 2);
      Button_EmbossColor = NewColorButton(widget, "Button_EmbossColor", "Color...", clGray);
      grid->addWidget(Button_EmbossColor, 2, 1);
      break;
    case pgGamma:
      widget->setObjectName("Gamma");
      TrackBar_Gamma_Red = NewTrackBar(widget, "TrackBar_Gamma_Red", -100, 100, 0);
      Edit_Gamma_Red = NewSpinEdit(widget, "Edit_Gamma_Red", -100, 100, 0);
      bar(0, "Red:", TrackBar_Gamma_Red, Edit_Gamma_Red);
      TrackBar_Gamma_Green = NewTrackBar(widget, "TrackBar_Gamma_Green", -100, 100, 0);
      Edit_Gamma_Green = NewSpinEdit(widget, "Edit_Gamma_Green", -100, 100, 0);
      bar(1, "Green:", TrackBar_Gamma_Green, Edit_Gamma_Green);
      TrackBar_Gamma_Blue = NewTrackBar(widget, "TrackBar_Gamma_Blue", -100, 100, 0);
      Edit_Gamma_Blue = NewSpinEdit(widget, "Edit_Gamma_Blue", -100, 100, 0);
      bar(2, "Blue:", TrackBar_Gamma_Blue, Edit_Gamma_Blue);
      break;
    default: break;
  }
  grid->setRowStretch(grid->rowCount(), 1);
  grid->setColumnStretch(3, 1);
  return widget;
}

QWidget* TEffectsForm::CreatePlayer() {
  NotebookMovieControls = NewNotebook(nullptr, "NotebookMovieControls");
  QWidget* player = AddPage(NotebookMovieControls, "Default");
  AddPage(NotebookMovieControls, "Empty");
  BackBtn = NewPlayerButton(player, "BackBtn", pgFirst);
  PrevBtn = NewPlayerButton(player, "PrevBtn", pgPrevious);
  PlayBtn = NewPlayerButton(player, "PlayBtn", pgPlay);
  StopBtn = NewPlayerButton(player, "StopBtn", pgStop);
  NextBtn = NewPlayerButton(player, "NextBtn", pgNext);
  CurMovieFrame = new TDigitalDisplay(player);
  CurMovieFrame->setObjectName("CurMovieFrame");
  CurMovieFrame->SetCaption("000");
  CurMovieFrame->SetBounds(0, 0, 3 * TDigitalDisplay::kCellWidth, TDigitalDisplay::kCellHeight);
  CurMovieFrame->setFixedSize(3 * TDigitalDisplay::kCellWidth, TDigitalDisplay::kCellHeight);
  auto* layout = new QHBoxLayout(player);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* w : std::initializer_list<QWidget*>{BackBtn, PrevBtn, PlayBtn, StopBtn, NextBtn, CurMovieFrame})
    layout->addWidget(w);
  layout->addStretch();
  NotebookMovieControls->setFixedHeight(player->sizeHint().height());
  return NotebookMovieControls;
}

QWidget* TEffectsForm::CreatePreviews() {
  auto* previews = new QWidget(this);
  const auto box = [previews](const char* boxName, const char* imageName, TImage*& image) {
    auto* scroll = new QScrollArea(previews);
    scroll->setObjectName(boxName);
    scroll->setWidgetResizable(false);
    scroll->setMinimumSize(160, 100);
    scroll->setContextMenuPolicy(Qt::CustomContextMenu);
    image = new TImage;
    image->setObjectName(imageName);
    scroll->setWidget(image);
    return scroll;
  };
  NativeScrollBox = box("NativeScrollBox", "NativeImage", NativeImage);
  MovingScrollBox = box("MovingScrollBox", "ImageMoving", ImageMoving);
  PreviewPopupMenu = new QMenu(this);
  PreviewPopupMenu->setObjectName("PreviewPopupMenu");
  BackgroundColor1 = PreviewPopupMenu->addAction("Preview Panel Color...");
  BackgroundColor1->setObjectName("BackgroundColor1");
  SetPreviewColor(clGray);

  auto* layout = new QVBoxLayout(previews);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel("  Original Frame:", previews));
  layout->addWidget(NativeScrollBox, 1);
  layout->addWidget(new QLabel("  Result Frames:", previews));
  layout->addWidget(MovingScrollBox, 1);
  layout->addWidget(CreatePlayer());
  return previews;
}

void TEffectsForm::ConnectHandlers() {
  connect(EffectsComboBox, &QComboBox::activated, this, [this] { EffectsComboBoxChange(); });
  connect(CreateButton, &QPushButton::clicked, this, [this] { CreateButtonClick(); });
  connect(AutoCreateCheckBox, &QCheckBox::clicked, this, [this] { AutoCreateCheckBoxClick(); });
  connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpBtn, &QPushButton::clicked, this, [this] { HelpBtnClick(); });

  NumberOfFramesSpin->OnChange = [this](QObject*) { EffectControlChanged(); };
  StepsPerFrameEdit->OnChange = [this](QObject*) { StepsPerFrameEditChange(); };
  BackgroundColorButton->OnClick = [this](QObject*) { BackgroundColorButtonClick(); };
  connect(GetColorButton, &QToolButton::clicked, this, [this] { GetColorButtonClick(); });
  connect(TransparencyCheckBox, &QCheckBox::clicked, this, [this] { TransparencyCheckBoxClick(); });

  for (TRadioGroup* group : {ApertureRadioGroup, CrossRadioGroup, WipeRadioGroup, DissolveRadioGroup})
    group->OnClick = [this](QObject* sender) { DirectionRadioGroupClick(sender); };
  BlendRadioGroup->OnClick = [this](QObject* sender) { BlendRadioGroupClick(sender); };
  for (TRadioGroup* group : {BlindRadioGroup, FingersRadioGroup, GrowRadioGroup, RadioDirection,
                             SweepAppearanceRadioGroup, BlendInOutRadioGroup})
    group->OnClick = [this](QObject*) { EffectControlChanged(); };
  Button_BlendColor->OnClick = [this](QObject*) { Button_BlendColorClick(); };
  connect(Button_PeekBlendColor, &QToolButton::clicked, this, [this] { Button_PeekBlendColorClick(); });
  NumberOfBlindsSpin->OnChange = [this](QObject*) { NumberOfBlindsSpinChange(); };
  NumberOfFingersSpin->OnChange = [this](QObject*) { EffectControlChanged(); };
  for (QRadioButton* button : {TopBtn, RightBtn, BottomBtn, LeftBtn})
    connect(button, &QRadioButton::clicked, this, [this, button] { DirectionBtnClick(button); });

  Knob_StartAngle->OnChange = [this](QObject* sender, int value) { Knob_StartAngleChange(sender, value); };
  Knob_FinishAngle->OnChange = [this](QObject* sender, int value) { Knob_FinishAngleChange(sender, value); };
  EmbossAngle_Knob->OnChange = [this](QObject* sender, int value) { EmbossAngle_KnobChange(sender, value); };
  for (TSpinEdit* angle : {StartAngle, FinishAngle, EmbossAngle})
    angle->OnChange = [this](QObject* sender) { AngleChange(sender); };

  RadiusTrackBar->OnChange = [this](QObject*) { RadiusTrackBarChange(); };
  RadiusEdit->OnChange = [this](QObject*) { RadiusEditChange(); };
  BrightnessTrackBar->OnChange = [this](QObject*) { BrightnessTrackBarChange(); };
  BrightnessEdit->OnChange = [this](QObject*) { BrightnessEditChange(); };
  TrackBar_Emboss->OnChange = [this](QObject*) { TrackBar_EmbossChange(); };
  Edit_Emboss_Depth->OnChange = [this](QObject*) { Edit_Emboss_DepthChange(); };
  Button_EmbossColor->OnClick = [this](QObject*) { Button_EmbossColorClick(); };
  ColorPicker1->OnColorChange = [this](QObject*, TColor color) {
    if (color == Button_EmbossColor->ButtonColor()) return;
    Button_EmbossColor->SetButtonColor(color);
    EffectControlChanged();
  };
  TrackBar_Gamma_Red->OnChange = [this](QObject*) { TrackBar_Gamma_RedChange(); };
  Edit_Gamma_Red->OnChange = [this](QObject*) { Edit_Gamma_RedChange(); };
  TrackBar_Gamma_Green->OnChange = [this](QObject*) { TrackBar_Gamma_GreenChange(); };
  Edit_Gamma_Green->OnChange = [this](QObject*) { Edit_Gamma_GreenChange(); };
  TrackBar_Gamma_Blue->OnChange = [this](QObject*) { TrackBar_Gamma_BlueChange(); };
  Edit_Gamma_Blue->OnChange = [this](QObject*) { Edit_Gamma_BlueChange(); };

  NativeImage->OnMouseDown = [this](QObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    NativeImageMouseDown(sender, button, shift, x, y);
  };
  for (QScrollArea* box : {NativeScrollBox, MovingScrollBox}) {
    connect(box, &QWidget::customContextMenuRequested, this,
            [this, box](QPoint at) { PreviewPopupMenu->popup(box->mapToGlobal(at)); });
  }
  connect(BackgroundColor1, &QAction::triggered, this, [this] { BackgroundColor1Click(); });

  connect(PlayBtn, &QToolButton::clicked, this, [this] { PlayBtnClick(); });
  connect(StopBtn, &QToolButton::clicked, this, [this] { StopBtnClick(); });
  connect(NextBtn, &QToolButton::clicked, this, [this] { NextBtnClick(); });
  connect(PrevBtn, &QToolButton::clicked, this, [this] { PrevBtnClick(); });
  connect(BackBtn, &QToolButton::clicked, this, [this] { BackBtnClick(); });

  TimerMoving.SetOnTimer([this] { TimerMovingTimer(); });
  TimerRedrawStPFr.SetOnTimer([this] { TimerRedrawStPFrTimer(); });
  TimerRedrawNumbOfFr.SetOnTimer([this] { TimerRedrawNumbOfFrTimer(); });
}

void TEffectsForm::FormCreate() {
  results_.clear();
  direction_ = 0;
  previewIndex_ = 0;
  pickMode_ = pmNone;
  NextFrame = nullptr;
  effectType_ = -1;
}

void TEffectsForm::FormDestroy() {
  RestoreSourceLooks();
  results_.clear();
}

// ---- Showing and closing ----------------------------------------------------------------------

void TEffectsForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TEffectsForm::FormShow() {
  ScrollHome(*NativeScrollBox);
  if (SourceFrame != nullptr) {
    TBitmap& native = NativeImage->Bitmap();
    native.Assign(&SourceFrame->Picture);
    native.SetTransparent(false);
    ReleaseFrameImage(SourceFrame->Picture);
    BackgroundColorButton->SetButtonColor(SourceFrame->TransparentColor());
    Button_BlendColor->SetButtonColor(SourceFrame->TransparentColor());
    TransparencyCheckBox->setChecked(SourceFrame->Transparent());
    StepsPerFrameEdit->SetValue(SourceFrame->Duration());
  }
  FitToPicture(*NativeImage);
  TakeSourceLooks();
  TAnimatedScene* scene = SourceFrame != nullptr ? SourceFrame->Scene() : nullptr;
  TimerMoving.SetInterval(scene != nullptr ? scene->Timer().Interval() : kDefaultMovingInterval);
  const bool listed = effectType_ >= 0 && effectType_ < EffectsComboBox->count();
  EffectsComboBox->setCurrentIndex(listed ? effectType_ : 0);
  EffectsComboBoxChange();
  PlayBtnClick();
}

void TEffectsForm::TakeSourceLooks() {
  const auto take = [](TFrame* frame, std::optional<TSavedLook>& saved) {
    if (frame == nullptr || saved) return;
    saved = TSavedLook{frame, frame->Transparent(), frame->TransparentColor()};
    frame->StoreTransparency(false, frame->TransparentColor());
  };
  take(SourceFrame, savedSource_);
  take(NextFrame, savedNext_);
}

void TEffectsForm::RestoreSourceLooks() {
  for (std::optional<TSavedLook>* saved : {&savedSource_, &savedNext_}) {
    if (!*saved) continue;
    (*saved)->frame->StoreTransparency((*saved)->transparent, (*saved)->color);
    saved->reset();
  }
}

void TEffectsForm::FormClose() { RestoreSourceLooks(); }

void TEffectsForm::done(int result) {
  // OK takes the last changes too: frames still waiting for their pause are
  // made (or given their duration) now, not lost with the timers.
  if (result == mrOk) {
    if (TimerRedrawNumbOfFr.Enabled()) TimerRedrawNumbOfFrTimer();
    if (TimerRedrawStPFr.Enabled()) TimerRedrawStPFrTimer();
  }
  // Nothing is made or played behind the caller's back once the dialog is closed.
  TimerMoving.SetEnabled(false);
  TimerRedrawStPFr.SetEnabled(false);
  TimerRedrawNumbOfFr.SetEnabled(false);
  pickMode_ = pmNone;
  FormClose();
  QDialog::done(result);
}

void TEffectsForm::FormKeyPress(char& Key) {
  if (Key != 27) return;
  Key = 0;
  reject();
}

void TEffectsForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    HelpBtnClick();
    return;
  }
  if (const std::optional<char> typed = KeyPressCharOf(*event)) {
    char key = *typed;
    FormKeyPress(key);
    if (key == 0) return;
  }
  QDialog::keyPressEvent(event);
}

void TEffectsForm::HelpBtnClick() { HelpJump("AddingTransitionEffects"); }

TFrameList TEffectsForm::TakeResults() {
  TFrameList taken = std::move(results_);
  results_.clear();
  previewIndex_ = 0;
  return taken;
}

// ---- The effect and its pages -----------------------------------------------------------------

void TEffectsForm::EffectsComboBoxChange() {
  const int kind = EffectsComboBox->currentIndex() + 1;
  if (kind < ekAperture || kind > ekGammaCorrection) return;
  effectType_ = kind;
  if (IsFilterKind(kind)) {
    ShowFilterControls(kind);
  } else {
    ShowTransitionControls(kind);
  }
  // Filters have no sample: their strip is black.
  TBitmap strip;
  MakeEffectSampleStrip(kind, strip);
  EffectMovie->SetPicture(strip);
  EffectMovie->SetNumFrames(kEffectSampleFrames);
  EffectMovie->SetMovieEnabled(true);
  setWindowTitle(AnsiToQString(EffectListText(kind)));
  EffectControlChanged();
}

void TEffectsForm::ShowFilterControls(int kind) {
  switch (kind) {
    case ekInvert: NotebookAllControls->setCurrentIndex(pgEmpty); break;
    case ekBrightness:
    case ekContrast:
      NotebookAllControls->setCurrentIndex(pgBrightness);
      Label_Brightness_or_Contrast->setText(kind == ekBrightness ? "Brightness:" : "Contrast:");
      break;
    case ekEmboss: NotebookAllControls->setCurrentIndex(pgEmboss); break;
    case ekGammaCorrection: NotebookAllControls->setCurrentIndex(pgGamma); break;
    default: NotebookAllControls->setCurrentIndex(pgBlur); break;
  }
  NotebookMovieControls->setCurrentIndex(pgNoPlayer);
}

void TEffectsForm::ShowTransitionControls(int kind) {
  NotebookAllControls->setCurrentIndex(pgFrameEffect);
  NotebookMovieControls->setCurrentIndex(pgPlayer);
  NotebookControls->setCurrentIndex(kind == ekFade ? ekBlind : kind);
  DirectionNotebook->setVisible(true);
  switch (kind) {
    case ekAperture:
    case ekCross:
    case ekWipe: DirectionNotebook->setVisible(false); break;
    case ekBlend:
    case ekDissolve:
      DirectionNotebook->setCurrentIndex(pgBlendDissolve);
      BlendRadioGroup->setEnabled(NextFrame != nullptr);
      DissolveRadioGroup->setEnabled(NextFrame != nullptr);
      Button_BlendColor->setEnabled(BlendRadioGroup->ItemIndex() == 0);
      Button_PeekBlendColor->setEnabled(BlendRadioGroup->ItemIndex() == 0);
      break;
    case ekBlind:
    case ekFade: {
      const bool blind = kind == ekBlind;
      NumberOfBlindsLabel->setVisible(blind);
      NumberOfBlindsSpin->setVisible(blind);
      DirectionNotebook->setCurrentIndex(pgDirection);
      numberOfBlinds_ = blind ? NumberOfBlindsSpin->CheckValue(NumberOfBlindsSpin->Value()) : 1;
      break;
    }
    case ekRotation: DirectionNotebook->setCurrentIndex(pgAngles); break;
    default: DirectionNotebook->setCurrentIndex(pgDirection); break;
  }
}

int TEffectsForm::ButtonsDirection() const {
  for (QRadioButton* button : {RightBtn, LeftBtn, TopBtn, BottomBtn})
    if (button->isChecked()) return button->property("tag").toInt();
  return edRight;
}

TEffectParameters TEffectsForm::Parameters() const {
  const auto value = [](const TSpinEdit* edit) { return edit->CheckValue(edit->Value()); };
  const auto first = [](const TRadioGroup* group) { return group->ItemIndex() == 0; };
  const auto second = [](const TRadioGroup* group) { return group->ItemIndex() == 1; };
  TEffectParameters p;
  p.FrameCount = value(NumberOfFramesSpin);
  p.StepsPerFrame = value(StepsPerFrameEdit);
  p.BackgroundColor = BackgroundColorButton->ButtonColor();
  p.Transparent = TransparencyCheckBox->isChecked();
  // The groups of Aperture, Cross, Wipe, Blend and Dissolve share the
  // direction value; the effects that have a direction take the buttons'.
  p.Direction = ButtonsDirection();
  p.ApertureOut = second(ApertureRadioGroup);
  p.BlendToNextFrame = second(BlendRadioGroup);
  p.BlendColor = Button_BlendColor->ButtonColor();
  p.BlendDissolveAppearance = second(BlendInOutRadioGroup);
  p.DissolveToNextFrame = second(DissolveRadioGroup);
  p.BlindCount = numberOfBlinds_;
  p.BlindAppearance = first(BlindRadioGroup);
  p.CrossAppearance = first(CrossRadioGroup);
  p.FingerCount = value(NumberOfFingersSpin);
  p.FingersAppearance = first(FingersRadioGroup);
  p.GrowAppearance = first(GrowRadioGroup);
  p.SweepAppearance = first(SweepAppearanceRadioGroup);
  p.WipeToEdges = second(WipeRadioGroup);
  p.StartAngle = value(StartAngle);
  p.FinishAngle = value(FinishAngle);
  p.Clockwise = first(RadioDirection);
  p.Radius = RadiusTrackBar->Position();
  p.Brightness = BrightnessTrackBar->Position();
  p.EmbossDepth = TrackBar_Emboss->Position();
  p.EmbossColor = Button_EmbossColor->ButtonColor();
  p.EmbossAngle = value(EmbossAngle);
  p.GammaRed = TrackBar_Gamma_Red->Position();
  p.GammaGreen = TrackBar_Gamma_Green->Position();
  p.GammaBlue = TrackBar_Gamma_Blue->Position();
  return p;
}

// ---- Making the frames ------------------------------------------------------------------------

void TEffectsForm::CreateEffectFrames(int kind) {
  results_.clear();
  previewIndex_ = 0;
  if (SourceFrame == nullptr) return;
  const bool sourceTransparent = savedSource_ ? savedSource_->transparent : SourceFrame->Transparent();
  ::CreateEffectFrames(kind, Parameters(), *SourceFrame, NextFrame, sourceTransparent, results_);
}

void TEffectsForm::CreateButtonClick() {
  try {
    TBusyCursor busy;
    CreateEffectFrames(effectType_);
  } catch (...) {
    // The frames made before the failure are shown; the failure is reported by the caller's handling.
    ShowPreviewFrame();
    throw;
  }
  ShowPreviewFrame();
}

void TEffectsForm::EffectControlChanged() {
  TimerRedrawNumbOfFr.SetEnabled(false);
  TimerRedrawNumbOfFr.SetEnabled(true);
}

void TEffectsForm::TimerRedrawNumbOfFrTimer() {
  TimerRedrawNumbOfFr.SetEnabled(false);
  if (AutoCreateCheckBox->isChecked()) CreateButtonClick();
}

void TEffectsForm::AutoCreateCheckBoxClick() {
  if (AutoCreateCheckBox->isChecked()) EffectControlChanged();
}

void TEffectsForm::StepsPerFrameEditChange() {
  TimerRedrawStPFr.SetEnabled(false);
  TimerRedrawStPFr.SetEnabled(true);
}

void TEffectsForm::TimerRedrawStPFrTimer() {
  TimerRedrawStPFr.SetEnabled(false);
  SetResultDurations(results_, StepsPerFrameEdit->CheckValue(StepsPerFrameEdit->Value()));
}

// ---- Parameter controls -----------------------------------------------------------------------

void TEffectsForm::DirectionBtnClick(QObject* Sender) {
  direction_ = Sender->property("tag").toInt();
  EffectControlChanged();
}

void TEffectsForm::DirectionRadioGroupClick(QObject* Sender) {
  const auto* group = qobject_cast<const TRadioGroup*>(Sender);
  if (group == nullptr) return;
  direction_ = group->property("tag").toInt() + group->ItemIndex();
  EffectControlChanged();
}

void TEffectsForm::BlendRadioGroupClick(QObject* Sender) {
  const bool toColor = BlendRadioGroup->ItemIndex() == 0;
  Button_BlendColor->setEnabled(toColor);
  Button_PeekBlendColor->setEnabled(toColor);
  DirectionRadioGroupClick(Sender);
}

void TEffectsForm::NumberOfBlindsSpinChange() {
  if (effectType_ == ekBlind) numberOfBlinds_ = NumberOfBlindsSpin->CheckValue(NumberOfBlindsSpin->Value());
  EffectControlChanged();
}

void TEffectsForm::Knob_StartAngleChange(QObject*, int Value) {
  if (StartAngle->Value() != Value) StartAngle->SetValue(Value);
}

void TEffectsForm::Knob_FinishAngleChange(QObject*, int Value) {
  if (FinishAngle->Value() != Value) FinishAngle->SetValue(Value);
}

void TEffectsForm::EmbossAngle_KnobChange(QObject*, int Value) {
  if (EmbossAngle->Value() != Value) EmbossAngle->SetValue(Value);
}

void TEffectsForm::AngleChange(QObject* Sender) {
  const std::pair<TSpinEdit*, TmKnob*> pairs[] = {
      {StartAngle, Knob_StartAngle}, {FinishAngle, Knob_FinishAngle}, {EmbossAngle, EmbossAngle_Knob}};
  for (auto [edit, knob] : pairs)
    if (Sender == edit && knob->Position() != edit->Value()) knob->SetPosition(edit->Value());
  EffectControlChanged();
}

void TEffectsForm::TrackBarMoved(TTrackBar& bar, TSpinEdit& edit, bool showSelection) {
  if (edit.Value() != bar.Position()) edit.SetValue(bar.Position());
  if (showSelection) {
    bar.SetSelStart(std::min(0, bar.Position()));
    bar.SetSelEnd(std::max(0, bar.Position()));
  }
  EffectControlChanged();
}

void TEffectsForm::EditChanged(TSpinEdit& edit, TTrackBar& bar) {
  if (bar.Position() != edit.Value()) bar.SetPosition(edit.Value());
}

void TEffectsForm::RadiusTrackBarChange() { TrackBarMoved(*RadiusTrackBar, *RadiusEdit, false); }
void TEffectsForm::RadiusEditChange() { EditChanged(*RadiusEdit, *RadiusTrackBar); }
void TEffectsForm::BrightnessTrackBarChange() { TrackBarMoved(*BrightnessTrackBar, *BrightnessEdit, true); }
void TEffectsForm::BrightnessEditChange() { EditChanged(*BrightnessEdit, *BrightnessTrackBar); }
void TEffectsForm::TrackBar_EmbossChange() { TrackBarMoved(*TrackBar_Emboss, *Edit_Emboss_Depth, false); }
void TEffectsForm::Edit_Emboss_DepthChange() { EditChanged(*Edit_Emboss_Depth, *TrackBar_Emboss); }
void TEffectsForm::TrackBar_Gamma_RedChange() { TrackBarMoved(*TrackBar_Gamma_Red, *Edit_Gamma_Red, true); }
void TEffectsForm::Edit_Gamma_RedChange() { EditChanged(*Edit_Gamma_Red, *TrackBar_Gamma_Red); }
void TEffectsForm::TrackBar_Gamma_GreenChange() { TrackBarMoved(*TrackBar_Gamma_Green, *Edit_Gamma_Green, true); }
void TEffectsForm::Edit_Gamma_GreenChange() { EditChanged(*Edit_Gamma_Green, *TrackBar_Gamma_Green); }
void TEffectsForm::TrackBar_Gamma_BlueChange() { TrackBarMoved(*TrackBar_Gamma_Blue, *Edit_Gamma_Blue, true); }
void TEffectsForm::Edit_Gamma_BlueChange() { EditChanged(*Edit_Gamma_Blue, *TrackBar_Gamma_Blue); }

// ---- Colours ----------------------------------------------------------------------------------

void TEffectsForm::BackgroundColorButtonClick() {
  const TColor current = BackgroundColorButton->ButtonColor();
  std::optional<TColor> chosen;
  const TBitmap& picture = NativeImage->Bitmap();
  if (picture.PixelFormat() == pf8bit) {
    // An 8-bit picture's background is one of its palette's colours.
    TEditPaletteForm palette(this);
    palette.Palette = picture.Palette();
    palette.CurrentColor = current;
    palette.UsePickMode();
    if (ShowModal(palette) == mrOk) chosen = palette.SelectedColor();
  } else {
    chosen = Ui().ChooseColor(current);
  }
  if (!chosen) return;
  BackgroundColorButton->SetButtonColor(*chosen);
  TransparencyCheckBoxClick();
  EffectControlChanged();
}

void TEffectsForm::Button_BlendColorClick() {
  const std::optional<TColor> chosen = Ui().ChooseColor(Button_BlendColor->ButtonColor());
  if (!chosen) return;
  Button_BlendColor->SetButtonColor(*chosen);
  EffectControlChanged();
}

void TEffectsForm::Button_EmbossColorClick() {
  ColorPicker1->SetColor(Button_EmbossColor->ButtonColor());
  ColorPicker1->Popup(Button_EmbossColor);
}

void TEffectsForm::GetColorButtonClick() {
  pickMode_ = pmBackgroundColor;
  NativeImage->SetCursor(crAirDrop);
}

void TEffectsForm::Button_PeekBlendColorClick() {
  pickMode_ = pmBlendColor;
  NativeImage->SetCursor(crAirDrop);
}

void TEffectsForm::NativeImageMouseDown(QObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbLeft || pickMode_ == pmNone) return;
  NativeImage->SetCursor(crDefault);
  const TBitmap& picture = NativeImage->Bitmap();
  // A press beside the picture picks nothing.
  if (X >= 0 && Y >= 0 && X < picture.Width() && Y < picture.Height()) {
    const TColor color = picture.Pixel(X, Y);
    if (pickMode_ == pmBackgroundColor) {
      BackgroundColorButton->SetButtonColor(color);
      TransparencyCheckBox->setChecked(true);
      TransparencyCheckBoxClick();
    } else {
      Button_BlendColor->SetButtonColor(color);
    }
  }
  pickMode_ = pmNone;
  EffectControlChanged();
}

void TEffectsForm::TransparencyCheckBoxClick() {
  TBusyCursor busy;
  ApplyResultTransparency(results_, TransparencyCheckBox->isChecked(), BackgroundColorButton->ButtonColor());
  for (auto& frame : results_) frame->ReleaseImages();
  ShowPreviewFrame();
}

void TEffectsForm::SetPreviewColor(TColor color) {
  previewColor_ = color;
  const TColor rgb = ColorToRGB(color);
  for (QScrollArea* box : {NativeScrollBox, MovingScrollBox}) {
    QPalette palette = box->viewport()->palette();
    palette.setColor(QPalette::Window, QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
    box->viewport()->setPalette(palette);
    box->viewport()->setAutoFillBackground(true);
  }
}

void TEffectsForm::BackgroundColor1Click() {
  const std::optional<TColor> chosen = Ui().ChooseColor(previewColor_);
  if (!chosen) return;
  SetPreviewColor(*chosen);
  ShowPreviewFrame();
}

// ---- Preview player ---------------------------------------------------------------------------

void TEffectsForm::SetPreviewFrame(int i) {
  const int count = static_cast<int>(results_.size());
  if (i > count - 1) i = 0;
  if (i < 0) i = std::max(count - 1, 0);
  previewIndex_ = i;
}

void TEffectsForm::ShowPreviewFrame() {
  TBitmap& preview = ImageMoving->Bitmap();
  if (results_.empty()) {
    preview.SetSize(0, 0);
    FitToPicture(*ImageMoving);
    CurMovieFrame->SetCaption("000");
    return;
  }
  SetPreviewFrame(previewIndex_);
  TFrame& frame = *results_[static_cast<std::size_t>(previewIndex_)];
  preview.SetPixelFormat(pf24bit);
  preview.SetSize(frame.ImageWidth, frame.ImageHeight);
  ScrollHome(*MovingScrollBox);
  preview.Canvas().Brush().Style = bsSolid;
  preview.Canvas().Brush().Color = previewColor_;
  preview.Canvas().FillRect(Rect(0, 0, preview.Width(), preview.Height()));
  frame.Draw(preview, 0, 1.0, 1.0, 0, 0, 0, 100);
  frame.ReleaseImages();
  FitToPicture(*ImageMoving);
  char number[16];
  std::snprintf(number, sizeof number, "%03d", previewIndex_ + 1);
  CurMovieFrame->SetCaption(number);
}

void TEffectsForm::TimerMovingTimer() {
  if (results_.empty()) return;
  if (++tickCounter_ < StepsPerFrameEdit->CheckValue(StepsPerFrameEdit->Value())) return;
  tickCounter_ = 0;
  SetPreviewFrame(previewIndex_ + 1);
  ShowPreviewFrame();
}

void TEffectsForm::PlayBtnClick() {
  TimerMoving.SetEnabled(true);
  StopBtn->setEnabled(true);
}

void TEffectsForm::StopBtnClick() {
  TimerMoving.SetEnabled(false);
  StopBtn->setEnabled(false);
}

void TEffectsForm::NextBtnClick() {
  SetPreviewFrame(previewIndex_ + 1);
  ShowPreviewFrame();
}

void TEffectsForm::PrevBtnClick() {
  SetPreviewFrame(previewIndex_ - 1);
  ShowPreviewFrame();
}

void TEffectsForm::BackBtnClick() {
  SetPreviewFrame(0);
  ShowPreviewFrame();
}
