// The export wizard's components, their places and their events.
#include "controls/Bitmpbtn.h"
#include "controls/DrawGrid.h"
#include "controls/Image.h"
#include "controls/MyCntrl.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/My_Gauges.h"
#include "controls/My_SpinEdit.h"
#include "controls/RadioGroup.h"
#include "controls/TrackBar.h"
#include "dialogs/ExportFrmU.h"
#include "dialogs/SizeLink.h"
#include "platform/qtui/QtHints.h"
#include "platform/qtui/QtInput.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kSpinWidth = 64;
constexpr int kThumbnailCell = 51;  // a 48-pixel picture and the 3-pixel grid line

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

TSpinEdit* MakeSpinEdit(QWidget* parent, const char* name, int minValue, int maxValue, int value,
                        int width = kSpinWidth) {
  auto* spin = Named(new TSpinEdit(parent), name);
  spin->SetMinValue(minValue);
  spin->SetMaxValue(maxValue);
  spin->SetValue(value);
  spin->setFixedWidth(width);
  return spin;
}

QLabel* MakeLabel(QWidget* parent, const QString& caption, QWidget* buddy = nullptr, const char* name = nullptr) {
  auto* label = new QLabel(caption, parent);
  if (name != nullptr) label->setObjectName(name);
  if (buddy != nullptr) label->setBuddy(buddy);
  return label;
}

// A named radio group with its caption and items.
TRadioGroup* MakeRadioGroup(QWidget* parent, const char* name, const char* caption,
                            const std::vector<std::string>& items) {
  auto* group = Named(new TRadioGroup(parent), name);
  group->SetCaption(caption);
  group->SetItems(items);
  return group;
}

// A tool button with a hint "short|long" and an icon.
QToolButton* MakeToolButton(QWidget* parent, const char* name, const std::string& hint, const QIcon& icon) {
  auto* button = Named(new QToolButton(parent), name);
  button->setIcon(icon);
  button->setIconSize(QSize(16, 16));
  button->setAutoRaise(true);
  ApplyHint(*button, hint);
  return button;
}

// The small button beside a frame parameter that copies it to every frame.
QToolButton* MakeSetToAllButton(QWidget* parent, const char* name, const std::string& hint) {
  auto* button = Named(new QToolButton(parent), name);
  button->setText("All");
  ApplyHint(*button, hint);
  return button;
}

QIcon StandardIcon(const QWidget& widget, QStyle::StandardPixmap pixmap) { return widget.style()->standardIcon(pixmap); }

// Icons drawn in code for the buttons the style has none for.
QPixmap BlankIcon() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

QIcon InsertImageIcon() {
  QPixmap pixmap = BlankIcon();
  QPainter painter(&pixmap);
  painter.setPen(QColor(64, 64, 64));
  painter.setBrush(QColor(255, 255, 255));
  painter.drawRect(1, 3, 11, 9);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(80, 150, 220));
  painter.drawRect(2, 4, 10, 4);
  painter.setBrush(QColor(70, 160, 70));
  painter.drawRect(2, 8, 10, 4);
  painter.setBrush(QColor(0, 140, 0));
  painter.drawRect(11, 7, 5, 1 + 0);
  painter.drawRect(10, 8, 6, 1);
  painter.setPen(QPen(QColor(0, 128, 0), 2));
  painter.drawLine(13, 6, 13, 14);
  painter.drawLine(9, 10, 16, 10);
  return QIcon(pixmap);
}

QIcon PaletteIcon() {
  QPixmap pixmap = BlankIcon();
  QPainter painter(&pixmap);
  const QColor colors[9] = {Qt::red, Qt::yellow, Qt::green, Qt::cyan, Qt::blue, Qt::magenta, Qt::black, Qt::gray, Qt::white};
  for (int i = 0; i < 9; ++i) {
    painter.fillRect(1 + (i % 3) * 5, 1 + (i / 3) * 5, 4, 4, colors[i]);
    painter.setPen(QColor(64, 64, 64));
    painter.drawRect(1 + (i % 3) * 5, 1 + (i / 3) * 5, 4, 4);
  }
  return QIcon(pixmap);
}

QIcon DropperIcon() {
  QPixmap pixmap = BlankIcon();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(40, 40, 40), 2));
  painter.drawLine(3, 13, 10, 6);
  painter.setBrush(QColor(40, 40, 40));
  painter.drawEllipse(QPointF(11.5, 4.5), 2.5, 2.5);
  painter.setPen(QPen(QColor(0, 90, 200), 2));
  painter.drawPoint(2, 14);
  return QIcon(pixmap);
}

QFrame* MakeLine(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

}  // namespace

// ---- The form ---------------------------------------------------------------------------------------

void TExportFrm::CreateComponents() {
  // The form's face is the button face its painted controls (track bars,
  // gauge, colour button) are drawn on, so that they sit on it seamlessly.
  QPalette face = palette();
  const TColor btnFace = ColorToRGB(clBtnFace);
  const QColor faceColor(GetRValue(btnFace), GetGValue(btnFace), GetBValue(btnFace));
  face.setColor(QPalette::Window, faceColor);
  face.setColor(QPalette::Button, faceColor);
  setPalette(face);
  Notebook1 = Named(new QStackedWidget(this), "Notebook1");
  Notebook1->addWidget(CreateSizeIntervalPage());
  Notebook1->addWidget(CreatePalettePage());
  Notebook1->addWidget(CreateReductionPage());
  Notebook1->addWidget(CreateFramesPage());
  Notebook1->addWidget(CreateJpegPage());

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(6);
  layout->addWidget(Notebook1, 1);
  layout->addWidget(MakeLine(this));
  layout->addWidget(CreateBottomPanel());

  HideProgressTimer.SetEnabled(false);
  HideProgressTimer.SetInterval(3000);
  HideProgressTimer.SetOnTimer([this] { HideProgressTimerTimer(); });
  TimerMoving.SetEnabled(false);
  TimerMoving.SetInterval(50);
  TimerMoving.SetOnTimer([this] { TimerMovingTimer(); });
  CalculateTimer.SetEnabled(false);
  CalculateTimer.SetInterval(500);
  CalculateTimer.SetOnTimer([this] { CalculateTimerTimer(); });

  sizeLink_ = std::make_unique<TSizeLink>(*WidthPixels, *HeightPixels, *PercentOfStretch, *PercentOfHeight,
                                          *MaintainRatio);
  ConnectHandlers();
  ConnectFramesPage();
}

QWidget* TExportFrm::CreateBottomPanel() {
  Panel_Bottom = Named(new QWidget(this), "Panel_Bottom");
  HelpBtn = Named(new QPushButton("&Help", Panel_Bottom), "HelpBtn");
  CloseBtn = Named(new QPushButton("&Cancel", Panel_Bottom), "CloseBtn");

  NotebookProgress = Named(new QStackedWidget(Panel_Bottom), "NotebookProgress");
  auto* buttons = Named(new QWidget(NotebookProgress), "Buttons");
  PreviousBtn = Named(new QPushButton("Previous", buttons), "PreviousBtn");
  NextBtn = Named(new QPushButton("Next", buttons), "NextBtn");
  FinishButton = Named(new QPushButton("Finish", buttons), "FinishButton");
  PreviousBtn->setIcon(StandardIcon(*this, QStyle::SP_ArrowBack));
  NextBtn->setIcon(StandardIcon(*this, QStyle::SP_ArrowForward));
  NextBtn->setLayoutDirection(Qt::RightToLeft);
  auto* buttonsLayout = new QHBoxLayout(buttons);
  buttonsLayout->setContentsMargins(0, 0, 0, 0);
  buttonsLayout->addStretch(1);
  buttonsLayout->addWidget(PreviousBtn);
  buttonsLayout->addWidget(NextBtn);
  buttonsLayout->addWidget(FinishButton);

  auto* progress = Named(new QWidget(NotebookProgress), "Progress");
  ProgressLabel = Named(new QLabel(progress), "ProgressLabel");
  ProgressLabel->setMinimumWidth(170);
  Gauge1 = Named(new TGauge(progress), "Gauge1");
  Gauge1->SetForeColor(0x00C08040);
  Gauge1->setMinimumSize(160, 18);
  Gauge1->setMaximumHeight(18);
  auto* escNote = Named(new QLabel("Press ESC to cancel", progress), "EscLabel");
  auto* progressLayout = new QHBoxLayout(progress);
  progressLayout->setContentsMargins(0, 0, 0, 0);
  progressLayout->addWidget(ProgressLabel);
  progressLayout->addWidget(Gauge1, 1);
  progressLayout->addWidget(escNote);

  NotebookProgress->addWidget(buttons);
  NotebookProgress->addWidget(progress);
  // The bar keeps the height of its buttons whichever page it shows.
  NotebookProgress->setFixedHeight(NextBtn->sizeHint().height());

  for (QPushButton* button : {PreviousBtn, NextBtn, FinishButton, CloseBtn, HelpBtn}) {
    button->setAutoDefault(false);
    button->setMinimumWidth(86);
  }
  auto* layout = new QHBoxLayout(Panel_Bottom);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(HelpBtn);
  layout->addSpacing(12);
  layout->addWidget(NotebookProgress, 1);
  layout->addSpacing(12);
  layout->addWidget(CloseBtn);
  return Panel_Bottom;
}

// ---- Page 0: interval and size ------------------------------------------------------------------------

QWidget* TExportFrm::CreateSizeIntervalPage() {
  auto* page = Named(new QWidget, "Size_Interval");

  auto* interval = Named(new QGroupBox(" Frames ", page), "IntervalGroup");
  WholeAnimationCheckBox = Named(new QCheckBox("Whole animation", interval), "WholeAnimationCheckBox");
  FirstStep = MakeSpinEdit(interval, "FirstStep", 1, 1, 1);
  FirstStepLabel = MakeLabel(interval, "F&rom step:", FirstStep, "FirstStepLabel");
  StepSpinEdit = MakeSpinEdit(interval, "StepSpinEdit", 1, 1, 1);
  NumbOfFramesLabel = MakeLabel(interval, "&Number of Frames:", StepSpinEdit, "NumbOfFramesLabel");
  StepTrackBar = Named(new TTrackBar(interval), "StepTrackBar");
  StepTrackBar->SetMin(1);
  StepTrackBar->SetTickStyle(tsNone);
  StepTrackBar->setMinimumSize(200, StepTrackBar->Height());
  StepTrackBar->setFocusPolicy(Qt::StrongFocus);
  FirstFrameLabel = MakeLabel(interval, "1", nullptr, "FirstFrameLabel");
  MaxLabel = MakeLabel(interval, "", nullptr, "MaxLabel");
  PreviewFirstButton = Named(new QPushButton("&First Frame", interval), "PreviewFirstButton");
  PreviewLastButton = Named(new QPushButton("&Last Frame", interval), "PreviewLastButton");
  ApplyHint(*PreviewFirstButton, "Preview the first frame of the interval");
  ApplyHint(*PreviewLastButton, "Preview the last frame of the interval");
  auto* intervalLayout = new QGridLayout(interval);
  intervalLayout->addWidget(WholeAnimationCheckBox, 0, 0, 1, 5);
  intervalLayout->addWidget(FirstStepLabel, 1, 0);
  intervalLayout->addWidget(FirstStep, 1, 1);
  intervalLayout->addWidget(NumbOfFramesLabel, 2, 0);
  intervalLayout->addWidget(StepSpinEdit, 2, 1);
  auto* track = new QHBoxLayout;
  track->addWidget(FirstFrameLabel);
  track->addWidget(StepTrackBar, 1);
  track->addWidget(MaxLabel);
  intervalLayout->addLayout(track, 3, 0, 1, 5);
  auto* previews = new QHBoxLayout;
  previews->addWidget(MakeLabel(interval, "Preview:"));
  previews->addWidget(PreviewFirstButton);
  previews->addWidget(PreviewLastButton);
  previews->addStretch(1);
  intervalLayout->addLayout(previews, 4, 0, 1, 5);
  intervalLayout->setColumnStretch(4, 1);

  auto* size = Named(new QGroupBox(" Frame size ", page), "SizeGroup");
  WidthPixels = MakeSpinEdit(size, "WidthPixels", 1, 65000, 1);
  HeightPixels = MakeSpinEdit(size, "HeightPixels", 1, 65000, 1);
  PercentOfStretch = MakeSpinEdit(size, "PercentOfStretch", 1, 10000, 100);
  PercentOfHeight = MakeSpinEdit(size, "PercentOfHeight", 1, 10000, 100);
  MaintainRatio = Named(new QCheckBox("&Maintain aspect ratio", size), "MaintainRatio");
  MaintainRatio->setChecked(true);
  auto* sizeLayout = new QGridLayout(size);
  sizeLayout->addWidget(MakeLabel(size, "&Width:", WidthPixels), 0, 0);
  sizeLayout->addWidget(WidthPixels, 0, 1);
  sizeLayout->addWidget(MakeLabel(size, "pixels"), 0, 2);
  sizeLayout->addWidget(PercentOfStretch, 0, 3);
  sizeLayout->addWidget(MakeLabel(size, "%"), 0, 4);
  sizeLayout->addWidget(MakeLabel(size, "H&eight:", HeightPixels), 1, 0);
  sizeLayout->addWidget(HeightPixels, 1, 1);
  sizeLayout->addWidget(MakeLabel(size, "pixels"), 1, 2);
  sizeLayout->addWidget(PercentOfHeight, 1, 3);
  sizeLayout->addWidget(MakeLabel(size, "%"), 1, 4);
  sizeLayout->addWidget(MaintainRatio, 2, 0, 1, 5);
  sizeLayout->setColumnStretch(5, 1);

  TypeOfResizeRadio =
      MakeRadioGroup(page, "TypeOfResizeRadio", " Re&sample Process: ", {"&Anti-Alias", "Stretch/&Truncate"});

  auto* lower = new QHBoxLayout;
  lower->addWidget(size, 3);
  lower->addWidget(TypeOfResizeRadio, 2);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(interval);
  layout->addLayout(lower);
  layout->addStretch(1);
  return page;
}

// ---- Page 1: palette -------------------------------------------------------------------------------------

QWidget* TExportFrm::CreatePalettePage() {
  auto* page = Named(new QWidget, "Palette");
  PaletteRadioGroup = MakeRadioGroup(page, "PaletteRadioGroup", " Palette type ",
                                     {"&Browser palette", "&Optimized", "&Adaptive", "&Standard VGA", "&Grayscale",
                                      "&Custom...", "&Different Optimized palettes", "Different Ada&ptive palettes"});
  LoadPalBtn = Named(new QPushButton("&Load Palette...", page), "LoadPalBtn");
  ColorsSpinEdit = MakeSpinEdit(page, "ColorsSpinEdit", 4, 256, 256);
  LabelNumbOfColors = MakeLabel(page, "256", nullptr, "LabelNumbOfColors");
  LabelNumbOfColors->setFixedWidth(kSpinWidth);
  auto* colors = new QHBoxLayout;
  colors->addWidget(MakeLabel(page, "Number of &Colors:", ColorsSpinEdit, "ColorsLabel"));
  colors->addWidget(ColorsSpinEdit);
  colors->addWidget(LabelNumbOfColors);
  colors->addStretch(1);
  colors->addWidget(LoadPalBtn);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(PaletteRadioGroup);
  layout->addLayout(colors);
  layout->addStretch(1);
  return page;
}

// ---- Page 2: frames reduction ------------------------------------------------------------------------------

QWidget* TExportFrm::CreateReductionPage() {
  auto* page = Named(new QWidget, "Frames_Reduction");
  auto* group = Named(new QGroupBox(" Frames reduction ", page), "ReductionGroup");
  ShrinkCheckBox = Named(new QCheckBox("Shrink frames to smallest rectangle", group), "ShrinkCheckBox");
  RemovePixelsCheckBox = Named(new QCheckBox("Remove Identical Pixels", group), "RemovePixelsCheckBox");
  RemoveFramesCheckBox = Named(new QCheckBox("Remove Identical Frames", group), "RemoveFramesCheckBox");
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(ShrinkCheckBox);
  groupLayout->addWidget(RemovePixelsCheckBox);
  groupLayout->addWidget(RemoveFramesCheckBox);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(group);
  layout->addStretch(1);
  return page;
}

// ---- Page 3: frames ---------------------------------------------------------------------------------------

// The column of thumbnails with its tool buttons.
QLayout* TExportFrm::CreateFramesColumn(QWidget* page) {
  auto* tools = Named(new QWidget(page), "FramesToolBar");
  AddImage_ToolButton =
      MakeToolButton(tools, "AddImage_ToolButton", "Insert Image|Insert an Image as new frame", InsertImageIcon());
  UpBtn = MakeToolButton(tools, "UpBtn", "Move Up", StandardIcon(*this, QStyle::SP_ArrowUp));
  DownBtn = MakeToolButton(tools, "DownBtn", "Move Down", StandardIcon(*this, QStyle::SP_ArrowDown));
  DelFrame = MakeToolButton(tools, "DelFrame", "Delete current Frame", StandardIcon(*this, QStyle::SP_TrashIcon));
  EditPaletteButton =
      MakeToolButton(tools, "EditPaletteButton", "Frame Palette|Edit frame color palette", PaletteIcon());
  auto* toolsLayout = new QHBoxLayout(tools);
  toolsLayout->setContentsMargins(0, 0, 0, 0);
  toolsLayout->setSpacing(0);
  for (QToolButton* button : {AddImage_ToolButton, UpBtn, DownBtn, DelFrame, EditPaletteButton})
    toolsLayout->addWidget(button);
  toolsLayout->addStretch(1);

  GridScrollBox = Named(new QScrollArea(page), "GridScrollBox");
  GridScrollBox->setWidgetResizable(false);
  GridScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  GridScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  GIF_PicturesGrid = Named(new TDrawGrid, "GIF_PicturesGrid");
  GIF_PicturesGrid->SetColCount(1);
  GIF_PicturesGrid->SetRowCount(1);
  GIF_PicturesGrid->SetDefaultColWidth(kThumbnailCell);
  GIF_PicturesGrid->SetDefaultRowHeight(kThumbnailCell);
  GIF_PicturesGrid->SetGridLineWidth(3);
  GIF_PicturesGrid->SetColor(clBtnFace);
  GIF_PicturesGrid->setFocusPolicy(Qt::StrongFocus);
  GIF_PicturesGrid->SetBounds(0, 0, kThumbnailCell, kThumbnailCell);
  GridScrollBox->setWidget(GIF_PicturesGrid);
  GridScrollBox->setFixedWidth(kThumbnailCell + 2 * GridScrollBox->frameWidth() +
                               GridScrollBox->verticalScrollBar()->sizeHint().width());
  auto* left = new QVBoxLayout;
  left->setSpacing(2);
  left->addWidget(tools);
  left->addWidget(GridScrollBox, 1);
  tools->setFixedWidth(std::max(GridScrollBox->width(), tools->sizeHint().width()));

  return left;
}

// The player: the frames are drawn at their own size, so the panel scrolls
// when the output is larger than the room it has. Returns the player's bar.
QWidget* TExportFrm::CreateFramesPlayer(QWidget* page) {
  PlayerScrollBox = Named(new QScrollArea(page), "PlayerScrollBox");
  PlayerScrollBox->setMinimumSize(240, 120);
  PlayerScrollBox->setWidgetResizable(true);
  PanelSpriteMowing = Named(new QWidget, "PanelSpriteMowing");
  PanelSpriteMowing->setAutoFillBackground(true);
  QPalette grey = PanelSpriteMowing->palette();
  grey.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
  PanelSpriteMowing->setPalette(grey);
  PlayerScrollBox->setPalette(grey);
  PlayerScrollBox->setWidget(PanelSpriteMowing);
  PanelSpriteMowing->installEventFilter(this);
  BordersBox = Named(new TSelectionBox(PanelSpriteMowing), "BordersBox");
  BordersBox->SetRotateable(false);
  BordersBox->SetMoveable(false);
  BordersBox->SetHasProportionalResize(false);
  BordersBox->SetHasVertHorResize(false);
  BordersBox->setAttribute(Qt::WA_TransparentForMouseEvents);
  ImageMoving = Named(new TImage(PanelSpriteMowing), "ImageMoving");
  ImageMoving->SetBounds(0, 0, 1, 1);

  auto* playerBar = Named(new QWidget(page), "PlayerBar");
  BackBtn = MakeToolButton(playerBar, "BackBtn", "First Frame", StandardIcon(*this, QStyle::SP_MediaSkipBackward));
  PrevBtn = MakeToolButton(playerBar, "PrevBtn", "Previous Frame", StandardIcon(*this, QStyle::SP_MediaSeekBackward));
  PlayBtn = MakeToolButton(playerBar, "PlayBtn", "Play", StandardIcon(*this, QStyle::SP_MediaPlay));
  StopBtn = MakeToolButton(playerBar, "StopBtn", "Stop", StandardIcon(*this, QStyle::SP_MediaStop));
  NextFrameBtn = MakeToolButton(playerBar, "NextFrameBtn", "Next Frame", StandardIcon(*this, QStyle::SP_MediaSeekForward));
  CurMovieFrame = Named(new TDigitalDisplay(playerBar), "CurMovieFrame");
  CurMovieFrame->SetCaption("000");
  CurMovieFrame->setFixedSize(3 * TDigitalDisplay::kCellWidth, TDigitalDisplay::kCellHeight);
  ColorLabel = MakeLabel(playerBar, "Color:", nullptr, "ColorLabel");
  Color_Panel = Named(new QFrame(playerBar), "Color_Panel");
  Color_Panel->setFrameShape(QFrame::Box);
  Color_Panel->setAutoFillBackground(true);
  Color_Panel->setFixedSize(32, 16);
  ColorLabel->setVisible(false);
  Color_Panel->setVisible(false);
  auto* playerLayout = new QHBoxLayout(playerBar);
  playerLayout->setContentsMargins(0, 0, 0, 0);
  playerLayout->setSpacing(0);
  for (QToolButton* button : {BackBtn, PrevBtn, PlayBtn, StopBtn, NextFrameBtn}) playerLayout->addWidget(button);
  playerLayout->addSpacing(8);
  playerLayout->addWidget(CurMovieFrame);
  playerLayout->addStretch(1);
  playerLayout->addWidget(ColorLabel);
  playerLayout->addSpacing(4);
  playerLayout->addWidget(Color_Panel);

  return playerBar;
}

// The frame's parameters.
QWidget* TExportFrm::CreateFrameParameters(QWidget* page) {
  auto* parameters = Named(new QGroupBox(" Frame ", page), "FrameParameters");
  TransparencyCheckBox = Named(new QCheckBox("Transparency", parameters), "TransparencyCheckBox");
  ImageColorPanel = Named(new TBitmapButton(parameters), "ImageColorPanel");
  ImageColorPanel->SetCaption("Color...");
  ImageColorPanel->SetTextShadowShift(0);
  ImageColorPanel->SetTextColor(clBlack);
  ImageColorPanel->setFixedSize(64, 22);
  ImageColorPanel->SetBounds(0, 0, 64, 22);
  PickUpTransparentColorButton =
      MakeToolButton(parameters, "PickUpTransparentColorButton", "Pick up transparent color", DropperIcon());
  ButtonSetAlColor = MakeSetToAllButton(parameters, "ButtonSetAlColor", "Set Transparency to all Images");
  StepsPerFrameEdit = MakeSpinEdit(parameters, "StepsPerFrameEdit", 0, 10000, 10);
  ButtonSetAllDuration = MakeSetToAllButton(parameters, "ButtonSetAllDuration", "Set Duration to all Images");
  XPosSpinEdit = MakeSpinEdit(parameters, "XPosSpinEdit", 0, 0, 0);
  YPosSpinEdit = MakeSpinEdit(parameters, "YPosSpinEdit", 0, 0, 0);
  SetXCoordinateButton = MakeSetToAllButton(parameters, "SetXCoordinateButton", "Set X to all Images");
  SetYCoordinateButton = MakeSetToAllButton(parameters, "SetYCoordinateButton", "Set Y to all Images");
  RestoreMethodComboBox = Named(new QComboBox(parameters), "RestoreMethodComboBox");
  RestoreMethodComboBox->addItems({"Undefined", "Leave Previous", "Restore Background", "Restore Previous"});
  SetToAllRestoreButton = MakeSetToAllButton(parameters, "SetToAllRestoreButton", "Set Restore method to all Images");
  InterlacedCheckBox = Named(new QCheckBox("Interlaced", parameters), "InterlacedCheckBox");
  SetAllInterlacedButton = MakeSetToAllButton(parameters, "SetAllInterlacedButton", "Set Interlacing to all Images");

  auto* params = new QGridLayout(parameters);
  params->setVerticalSpacing(4);
  auto* transparency = new QHBoxLayout;
  transparency->addWidget(TransparencyCheckBox);
  transparency->addWidget(ImageColorPanel);
  transparency->addWidget(PickUpTransparentColorButton);
  transparency->addStretch(1);
  params->addLayout(transparency, 0, 0, 1, 2);
  params->addWidget(ButtonSetAlColor, 0, 2);
  params->addWidget(MakeLabel(parameters, "Duration (1/100s):", StepsPerFrameEdit), 1, 0);
  params->addWidget(StepsPerFrameEdit, 1, 1);
  params->addWidget(ButtonSetAllDuration, 1, 2);
  params->addWidget(MakeLabel(parameters, "X:", XPosSpinEdit), 2, 0);
  params->addWidget(XPosSpinEdit, 2, 1);
  params->addWidget(SetXCoordinateButton, 2, 2);
  params->addWidget(MakeLabel(parameters, "Y:", YPosSpinEdit), 3, 0);
  params->addWidget(YPosSpinEdit, 3, 1);
  params->addWidget(SetYCoordinateButton, 3, 2);
  params->addWidget(MakeLabel(parameters, "Restore method:", RestoreMethodComboBox), 4, 0);
  params->addWidget(RestoreMethodComboBox, 4, 1);
  params->addWidget(SetToAllRestoreButton, 4, 2);
  params->addWidget(InterlacedCheckBox, 5, 0, 1, 2);
  params->addWidget(SetAllInterlacedButton, 5, 2);
  params->setRowStretch(6, 1);

  return parameters;
}

// The size of the GIF the frames make.
QWidget* TExportFrm::CreateGifSizePanel(QWidget* page) {
  auto* sizePanel = Named(new QFrame(page), "GifSizePanel");
  sizePanel->setFrameShape(QFrame::StyledPanel);
  GIFFileSizeLabel = MakeLabel(sizePanel, "", nullptr, "GIFFileSizeLabel");
  ChangedSizedLabel = MakeLabel(sizePanel, "", nullptr, "ChangedSizedLabel");
  TimeOptimizedLabel = MakeLabel(sizePanel, "", nullptr, "TimeOptimizedLabel");
  RecalculateSizeButton = Named(new QPushButton("&Recalculate", sizePanel), "RecalculateSizeButton");
  RecalculateSizeButton->setAutoDefault(false);
  auto* sizeLayout = new QGridLayout(sizePanel);
  sizeLayout->setContentsMargins(8, 4, 8, 4);
  sizeLayout->addWidget(MakeLabel(sizePanel, "GIF file size:"), 0, 0);
  sizeLayout->addWidget(GIFFileSizeLabel, 0, 1, Qt::AlignRight);
  sizeLayout->addWidget(MakeLabel(sizePanel, "KB"), 0, 2);
  sizeLayout->addWidget(MakeLabel(sizePanel, "Changed:"), 0, 4);
  sizeLayout->addWidget(ChangedSizedLabel, 0, 5, Qt::AlignRight);
  sizeLayout->addWidget(MakeLabel(sizePanel, "KB"), 0, 6);
  sizeLayout->addWidget(MakeLabel(sizePanel, "Time to download at 28.8K baud:"), 1, 0, 1, 4);
  sizeLayout->addWidget(TimeOptimizedLabel, 1, 4, 1, 3);
  sizeLayout->addWidget(RecalculateSizeButton, 0, 8, 2, 1, Qt::AlignVCenter);
  sizeLayout->setColumnMinimumWidth(3, 16);
  sizeLayout->setColumnStretch(7, 1);

  return sizePanel;
}

QWidget* TExportFrm::CreateFramesPage() {
  auto* page = Named(new QWidget, "Frames");
  QLayout* left = CreateFramesColumn(page);
  QWidget* playerBar = CreateFramesPlayer(page);
  QWidget* parameters = CreateFrameParameters(page);
  QWidget* sizePanel = CreateGifSizePanel(page);

  auto* right = new QGridLayout;
  right->addWidget(PlayerScrollBox, 0, 0);
  right->addWidget(playerBar, 1, 0);
  right->addWidget(parameters, 0, 1, 2, 1);
  right->addWidget(sizePanel, 2, 0, 1, 2);
  right->setRowStretch(0, 1);
  right->setColumnStretch(0, 1);

  auto* layout = new QHBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(left);
  layout->addLayout(right, 1);
  return page;
}

// ---- Page 4: JPEG -------------------------------------------------------------------------------------------

QWidget* TExportFrm::CreateJpegPage() {
  auto* page = Named(new QWidget, "JPEG");
  auto* quality = Named(new QGroupBox(" JPEG compression ", page), "QualityGroup");
  QualitySpin = MakeSpinEdit(quality, "QualitySpin", 1, 76, 25);
  QualityTrackBar = Named(new TTrackBar(quality), "QualityTrackBar");
  QualityTrackBar->SetMin(1);
  QualityTrackBar->SetMax(76);
  QualityTrackBar->SetPosition(25);
  QualityTrackBar->SetFrequency(5);
  QualityTrackBar->SetPageSize(5);
  QualityTrackBar->setMinimumSize(220, QualityTrackBar->Height());
  QualityTrackBar->setFocusPolicy(Qt::StrongFocus);
  CalculateSizeCheckBox = Named(new QCheckBox("Calculate File Size", quality), "CalculateSizeCheckBox");
  CalculateSizeCheckBox->setChecked(true);

  JPEGSizePanel = Named(new QWidget(quality), "JPEGSizePanel");
  JPEGSizeLabel = MakeLabel(JPEGSizePanel, "", nullptr, "JPEGSizeLabel");
  auto* sizeLayout = new QHBoxLayout(JPEGSizePanel);
  sizeLayout->setContentsMargins(0, 0, 0, 0);
  sizeLayout->addWidget(MakeLabel(JPEGSizePanel, "File size:", nullptr, "JPEGSizeCaption"));
  sizeLayout->addWidget(JPEGSizeLabel);
  sizeLayout->addWidget(MakeLabel(JPEGSizePanel, "KB"));
  sizeLayout->addStretch(1);
  JPGTimePanel = Named(new QWidget(quality), "JPGTimePanel");
  JPGTimeLabel = MakeLabel(JPGTimePanel, "", nullptr, "JPGTimeLabel");
  auto* timeLayout = new QHBoxLayout(JPGTimePanel);
  timeLayout->setContentsMargins(0, 0, 0, 0);
  timeLayout->addWidget(MakeLabel(JPGTimePanel, "Time to download at 28.8K baud:", nullptr, "JPGTimeCaption"));
  timeLayout->addWidget(JPGTimeLabel);
  timeLayout->addStretch(1);

  auto* qualityLayout = new QGridLayout(quality);
  qualityLayout->addWidget(MakeLabel(quality, "&Compression factor:", QualitySpin), 0, 0);
  qualityLayout->addWidget(QualitySpin, 0, 1);
  qualityLayout->addWidget(QualityTrackBar, 0, 2);
  qualityLayout->addWidget(MakeLabel(quality, "Best quality", nullptr), 1, 2, Qt::AlignLeft);
  qualityLayout->addWidget(MakeLabel(quality, "Smallest file", nullptr), 1, 2, Qt::AlignRight);
  qualityLayout->addWidget(CalculateSizeCheckBox, 2, 0, 1, 3);
  qualityLayout->addWidget(JPEGSizePanel, 3, 0, 1, 3);
  qualityLayout->addWidget(JPGTimePanel, 4, 0, 1, 3);
  qualityLayout->setColumnStretch(2, 1);

  Panel_PreviewJPG = Named(new QScrollArea(page), "Panel_PreviewJPG");
  Panel_PreviewJPG->setAlignment(Qt::AlignCenter);
  Panel_PreviewJPG->setWidgetResizable(false);
  PreviewJPGImage = Named(new TImage, "PreviewJPGImage");
  PreviewJPGImage->SetBounds(0, 0, 1, 1);
  Panel_PreviewJPG->setWidget(PreviewJPGImage);

  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(quality);
  layout->addWidget(Panel_PreviewJPG, 1);
  return page;
}

// ---- Events -------------------------------------------------------------------------------------------------

void TExportFrm::ConnectHandlers() {
  connect(NextBtn, &QPushButton::clicked, this, [this] { NextBtnClick(); });
  connect(PreviousBtn, &QPushButton::clicked, this, [this] { PreviousBtnClick(); });
  connect(FinishButton, &QPushButton::clicked, this, [this] { FinishButtonClick(); });
  connect(CloseBtn, &QPushButton::clicked, this, [this] { CloseBtnClick(); });
  connect(HelpBtn, &QPushButton::clicked, this, [this] { HelpBtnClick(); });

  connect(WholeAnimationCheckBox, &QCheckBox::clicked, this, [this] { WholeAnimationCheckBoxClick(); });
  FirstStep->OnChange = [this](QObject*) { FirstStepChange(); };
  StepSpinEdit->OnChange = [this](QObject*) { StepSpinEditChange(); };
  StepTrackBar->OnChange = [this](QObject*) { StepTrackBarChange(); };
  connect(PreviewFirstButton, &QPushButton::clicked, this, [this] { PreviewFirstButtonClick(); });
  connect(PreviewLastButton, &QPushButton::clicked, this, [this] { PreviewLastButtonClick(); });
  WidthPixels->OnChange = [this](QObject*) { WidthPixelsChange(); };
  HeightPixels->OnChange = [this](QObject*) { HeightPixelsChange(); };
  PercentOfStretch->OnChange = [this](QObject*) { PercentOfStretchChange(); };
  PercentOfHeight->OnChange = [this](QObject*) { PercentOfHeightChange(); };
  TypeOfResizeRadio->OnClick = [this](QObject*) { TypeOfResizeRadioClick(); };

  PaletteRadioGroup->OnClick = [this](QObject*) { PaletteRadioGroupClick(); };
  ColorsSpinEdit->OnChange = [this](QObject*) { ColorsSpinEditChange(); };
  connect(LoadPalBtn, &QPushButton::clicked, this, [this] { LoadPalBtnClick(); });

  connect(ShrinkCheckBox, &QCheckBox::clicked, this, [this] { ShrinkCheckBoxClick(); });
  connect(RemovePixelsCheckBox, &QCheckBox::clicked, this, [this] { RemovePixelsCheckBoxClick(); });
  connect(RemoveFramesCheckBox, &QCheckBox::clicked, this, [this] { RemoveFramesCheckBoxClick(); });

  QualitySpin->OnChange = [this](QObject*) { QualitySpinChange(); };
  QualityTrackBar->OnChange = [this](QObject*) { QualityTrackBarChange(); };
  connect(CalculateSizeCheckBox, &QCheckBox::clicked, this, [this] { CalculateSizeCheckBoxClick(); });
}

void TExportFrm::ConnectFramesPage() {
  GIF_PicturesGrid->OnDrawCell = [this](QObject*, int col, int row, const TRect& rect, TGridDrawState state) {
    GIF_PicturesGridDrawCell(col, row, rect, state);
  };
  // The header row is no frame: it cannot be selected.
  GIF_PicturesGrid->OnSelectCell = [this](QObject*, int, int row, bool& canSelect) {
    canSelect = row >= frameList_.FixedGridRows();
  };
  GIF_PicturesGrid->OnClick = [this](QObject*) { GIF_PicturesGridClick(); };
  GIF_PicturesGrid->OnKeyDown = [this](QObject*, WORD& key, TShiftState) { GIF_PicturesGridKeyDown(key); };
  connect(AddImage_ToolButton, &QToolButton::clicked, this, [this] { AddImage_ToolButtonClick(); });
  connect(DelFrame, &QToolButton::clicked, this, [this] { DelFrameClick(); });
  connect(UpBtn, &QToolButton::clicked, this, [this] { UpBtnClick(); });
  connect(DownBtn, &QToolButton::clicked, this, [this] { DownBtnClick(); });
  connect(EditPaletteButton, &QToolButton::clicked, this, [this] { EditPaletteButtonClick(); });

  connect(TransparencyCheckBox, &QCheckBox::clicked, this, [this] { TransparencyCheckBoxClick(); });
  ImageColorPanel->OnClick = [this](QObject*) { ImageColorPanelClick(); };
  connect(PickUpTransparentColorButton, &QToolButton::clicked, this, [this] { PickUpTransparentColorButtonClick(); });
  connect(ButtonSetAlColor, &QToolButton::clicked, this, [this] { ButtonSetAlColorClick(); });
  StepsPerFrameEdit->OnChange = [this](QObject*) { StepsPerFrameEditChange(); };
  connect(ButtonSetAllDuration, &QToolButton::clicked, this, [this] { ButtonSetAllDurationClick(); });
  XPosSpinEdit->OnChange = [this](QObject*) { XPosSpinEditChange(); };
  YPosSpinEdit->OnChange = [this](QObject*) { YPosSpinEditChange(); };
  connect(SetXCoordinateButton, &QToolButton::clicked, this, [this] { SetXCoordinateButtonClick(); });
  connect(SetYCoordinateButton, &QToolButton::clicked, this, [this] { SetYCoordinateButtonClick(); });
  connect(RestoreMethodComboBox, &QComboBox::activated, this, [this] { RestoreMethodComboBoxChange(); });
  connect(SetToAllRestoreButton, &QToolButton::clicked, this, [this] { SetToAllRestoreButtonClick(); });
  connect(InterlacedCheckBox, &QCheckBox::clicked, this, [this] { InterlacedCheckBoxClick(); });
  connect(SetAllInterlacedButton, &QToolButton::clicked, this, [this] { SetAllInterlacedButtonClick(); });

  ImageMoving->OnMouseDown = [this](QObject*, TMouseButton button, TShiftState shift, int x, int y) {
    ImageMovingMouseDown(button, shift, x, y);
  };
  ImageMoving->OnMouseMove = [this](QObject*, TShiftState shift, int x, int y) { ImageMovingMouseMove(shift, x, y); };
  connect(PlayBtn, &QToolButton::clicked, this, [this] { PlayBtnClick(); });
  connect(StopBtn, &QToolButton::clicked, this, [this] { StopBtnClick(); });
  connect(BackBtn, &QToolButton::clicked, this, [this] { BackBtnClick(); });
  connect(PrevBtn, &QToolButton::clicked, this, [this] { PrevBtnClick(); });
  connect(NextFrameBtn, &QToolButton::clicked, this, [this] { NextFrameBtnClick(); });
  connect(RecalculateSizeButton, &QPushButton::clicked, this, [this] { RecalculateSizeButtonClick(); });
}
