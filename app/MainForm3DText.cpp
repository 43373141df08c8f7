// The 3D text editor of the main window's frame page: the editor view and
// its objects, the page's seven tabs, filling the page from a frame, storing
// the edits into the frame and the tick that renders the frame's picture
// after the pause. Lights, dragging, the preview and the add commands are in
// MainForm3DTextLights.cpp.
#include "app/MainForm3DTextParts.h"
#include "app/MainFormActions.h"
#include "app/MainFormShapes.h"
#include "app/MainFormGalleries.h"
#include "app/MainFormLayout.h"
#include "app/core/MainFormDisplays.h"
#include "app/MainFormSettings.h"

#include "app/AnimationWindowU.h"
#include "app/core/Text3DEditorMath.h"
#include "controls/CharPicker.h"
#include "controls/ColorPicker.h"
#include "controls/Image.h"
#include "controls/MyCntrl.h"
#include "controls/PopupWindow.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/My_SpinEdit.h"
#include "controls/OpenGraphDialogU.h"
#include "controls/QelViewHost.h"
#include "controls/RadioGroup.h"
#include "controls/TrackBar.h"
#include "controls/WPopOutFntCBox.h"
#include "platform/BitmapImages.h"
#include "platform/Clipboard.h"
#include "platform/CodePages.h"
#include "platform/ModalForms.h"
#include "platform/qtui/QtHints.h"
#include "platform/qtui/ScreenCursors.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/Text3DFrame.h"
#include "scene/Undo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Text and texture names are stored as short strings.
constexpr std::size_t kMaxShortString = 255;

std::string ShortString(std::string text) {
  if (text.size() > kMaxShortString) text.resize(kMaxShortString);
  return text;
}

std::string EditText(const QLineEdit& edit) { return QStringToAnsi(edit.text()); }

void SetEditText(QLineEdit& edit, const std::string& text) {
  const QSignalBlocker blocker(&edit);
  edit.setText(AnsiToQString(text));
}

// A page of the tab control with a vertical layout.
QWidget* AddTab(QTabWidget& tabs, const char* name, const char* caption) {
  auto* page = new QWidget(&tabs);
  page->setObjectName(name);
  new QVBoxLayout(page);
  tabs.addTab(page, caption);
  return page;
}

template <typename T>
T* Make(QWidget& parent, const char* name) {
  auto* control = new T(&parent);
  control->setObjectName(name);
  parent.layout()->addWidget(control);
  return control;
}

QScrollBar* MakeBar(QWidget& parent, const char* name, int min, int max) {
  auto* bar = Make<QScrollBar>(parent, name);
  bar->setOrientation(Qt::Horizontal);
  bar->setRange(min, max);
  return bar;
}

QPushButton* MakeColorButton(QWidget& parent, const char* name, const char* caption, TColor color) {
  auto* button = Make<QPushButton>(parent, name);
  button->setText(caption);
  SetButtonColor(*button, color);
  return button;
}

// Closes a dialog at any key pressed in it.
class TAnyKeyCloses : public QObject {
 public:
  explicit TAnyKeyCloses(QDialog& dialog) : dialog_(dialog) { dialog_.installEventFilter(this); }
  ~TAnyKeyCloses() override { dialog_.removeEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    dialog_.reject();
    return true;
  }

 private:
  QDialog& dialog_;
};

// The hints of the editor's tabs, in tab order.
constexpr std::array<const char*, 7> kText3DTabHints = {
    "Text, font, depth and size of the text",
    "Type, position and color of the three lights",
    "Rotation of the text",
    "Position of the camera and its view angle",
    "Color and shininess of the text",
    "Picture on the text",
    "Animation between the first and the last position"};

// Passes the mouse over the editor's tabs and their hint requests to the
// main window.
class TText3DTabHints : public QObject {
 public:
  TText3DTabHints(QTabBar& tabs, TText3DArea& form) : QObject(&tabs), form_(form) {
    tabs.setMouseTracking(true);
    tabs.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* tabs = static_cast<QTabBar*>(watched);
    if (event->type() == QEvent::MouseMove) {
      const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
      form_.PageControl_3DTextMouseMove(at.x(), at.y());
    } else if (event->type() == QEvent::ToolTip) {
      const auto* help = static_cast<QHelpEvent*>(event);
      form_.PageControl_3DTextMouseMove(help->pos().x(), help->pos().y());
      std::string hint;
      TText3DArea::THintInfo info;
      info.HintControl = tabs;
      if (form_.AppShowHint(hint, info)) {
        const QString text = QString("<div style='max-width: %1px'>%2</div>")
                                 .arg(info.HintMaxWidth)
                                 .arg(AnsiToQString(hint).toHtmlEscaped());
        QToolTip::showText(help->globalPos(), text, tabs, tabs->tabRect(tabs->tabAt(help->pos())));
      } else {
        QToolTip::hideText();
      }
      return true;
    }
    return false;
  }

 private:
  TText3DArea& form_;
};

}  // namespace

void TText3DArea::T3DTextPartsDeleter::operator()(T3DTextParts* parts) const {
  if (parts != nullptr && Shared3DOutputView() == parts->Output.ownView.get()) SetShared3DOutputView(nullptr);
  delete parts;
}

TText3DArea::TText3DArea(TMainFormContext& editor) : TMainFormArea(editor) {}

TText3DArea::~TText3DArea() = default;

void TText3DArea::ClearGuards() {
  text3DLoading_ = false;
  if (text3D_ == nullptr) return;
  T3DTextParts& p = *text3D_;
  for (bool* guard : {&p.Filling, &p.LightEditGuard, &p.MarkerGuard, &p.LightsRedrawRunning}) *guard = false;
}

// ---- Building the page ------------------------------------------------------------------------------

void TText3DArea::CreateText3DTimers() {
  SetUpTimer(timer_3D_Changed_, 200, [this] { Timer_3D_ChangedTimer(); });
  SetUpTimer(timerLightsRedraw_, 30, [this] { TimerLightsRedrawTimer(); });
  SetUpTimer(zoomTimer_, 100, [this] { ZoomTimerTimer(); });
  SetUpTimer(timer3DAnimation_, 50, [this] { Timer3DAnimationTimer(); });
}

void TText3DArea::FormCreate3DText() {
  CreateText3DTimers();
  text3D_.reset(new T3DTextParts);
  T3DTextParts& p = *text3D_;
  CreateText3DObjects();
  CreateText3DPage();
  Commands().SetCommandHandler(Commands().Font_FontDialog, [this] { Font_FontDialogExecute(); });
  Commands().SetCommandHandler(Commands().Texture_Open, [this] { Texture_OpenExecute(); });
  Commands().SetCommandHandler(Commands().Texture_Paste, [this] { Texture_PasteExecute(); });
  Commands().SetCommandHandler(Commands().Text3D_Animation_Play, [this] { Text3D_Animation_PlayExecute(); });
  Commands().SetCommandHandler(Commands().Text3D_Animation_Stop, [this] { Text3D_Animation_StopExecute(); });
  Commands().SetCommandHandler(Commands().Text3D_Animation_First, [this] { Text3D_Animation_FirstExecute(); });
  Commands().SetCommandHandler(Commands().Text3D_Animation_Prev, [this] { Text3D_Animation_PrevExecute(); });
  Commands().SetCommandHandler(Commands().Text3D_Animation_Next, [this] { Text3D_Animation_NextExecute(); });
  Commands().SetCommandHandler(Commands().Text3D_Animation_Last, [this] { Text3D_Animation_LastExecute(); });
  Commands().SetCommandHandler(Commands().Scene_Add_3DText, [this] { Scene_Add_3DTextExecute(); });
  Commands().SetCommandHandler(Commands().Sprite_Add_3DText, [this] { Sprite_Add_3DTextExecute(); });
  Commands().EnableCommand(Commands().Text3D_Animation_Stop, false);
  // Frames render through this view when bitmap contexts cannot be made.
  SetShared3DOutputView(p.Output.ownView.get());
}

void TText3DArea::FormShow3DText() {
  if (text3D_ != nullptr) SelectionBox_3DSceneResized();
}

// The editor's objects as the design sets them up: a text lit by three
// lights through a material, seen by QelCamera1.
void TText3DArea::CreateText3DObjects() {
  T3DTextParts& p = *text3D_;
  p.QelCamera1.SetViewFar(1000.0f);
  p.QelCamera1.SetViewNear(0.01f);
  p.QelCamera1.SetViewOrtho(20.0f);
  p.QelView1.SetDoubleBuffer(false);
  p.QelView1.ColorAmbient().SetAlpha(1.0f);
  p.QelView1.ColorAmbient().SetColor(clBlack);
  p.QelView1.Coordinates().SetVisible(false);
  p.QelView1.Fog().SetEnabled(false);
  p.QelView1.SetLighting(true);
  p.QelView1.SetLightTwoSide(true);
  p.QelView1.SetCamera(&p.QelCamera1);
  p.QelView1.OnRender = [this](TPersistent&) { QelView1Render(); };
  p.QelText1.SetTransform(true);
  p.QelText1.SetTextured(true);
  p.QelText1.SetQuality(0.0f);
  TFont font = p.QelText1.Font();
  font.SetSize(18);
  p.QelText1.SetFont(font);
  for (std::size_t i = 0; i < p.Lights.size(); ++i) {
    TQelLight& light = p.Lights[i];
    light.SetTransform(true);
    light.ColorAmbient().SetColor(clBlack);
    light.ColorDiffuse().SetColor(clWhite);
    light.ColorSpecular().SetColor(clWhite);
    light.SetEnabled(i == 0);
    light.SetID(static_cast<TQelLightID>(i));
  }
  p.QelMaterial1.SetFace(mfFrontBack);
  p.QelMaterial1.ColorAmbient().SetColor(0x333333);
  p.QelMaterial1.ColorDiffuse().SetColor(0xCCCCCC);
  p.QelMaterial1.ColorSpecular().SetColor(0xFFFFFF);
  p.QelMaterial1.ColorEmission().SetColor(clBlack);
  p.QelTexture1.SetTransform(true);
  p.QelTexture1.SetEnabled(false);
  p.CilindrQelMaterial.SetFace(mfFrontBack);
  p.CilindrQelMaterial.ColorAmbient().SetColor(0x404040);
  p.CilindrQelMaterial.ColorDiffuse().SetColor(0xA0A0A0);
  p.CilindrQelMaterial.ColorSpecular().SetColor(clWhite);
  p.CilindrQelMaterial.ColorEmission().SetColor(0x202020);
  p.CilindrQelMaterial.SetShininess(60);
}

// The editor view's render pass: the lights, the lamps of the lights (in
// their colours, then their metal sockets), the texture when on, the
// material and the text, whose glyph lists are then kept.
void TText3DArea::QelView1Render() {
  T3DTextParts& p = *text3D_;
  for (TQelLight& light : p.Lights) light.Draw();
  for (std::size_t i = 0; i < p.Lamps.size(); ++i) {
    T3DLamp& lamp = p.Lamps[i];
    (static_cast<int>(i) + 1 == p.CurrentLight ? lamp.Material_Sel : lamp.Material_Not_Sel).Draw();
    lamp.Body.Draw();
    lamp.Neck.Draw();
    lamp.Bulb.Draw();
    lamp.Reflector.Draw();
  }
  p.CilindrQelMaterial.Draw();
  for (T3DLamp& lamp : p.Lamps) {
    lamp.Socket.Draw();
    lamp.SocketTip.Draw();
    lamp.BackCap.Draw();
  }
  if (p.QelTexture1.Enabled()) p.QelTexture1.Draw();
  p.QelMaterial1.Draw();
  p.QelText1.Draw();
  if (!QelOffScreenFailed) p.QelText1.SetCacheLists(true);
}

void TText3DArea::CreateText3DPage() {
  T3DTextParts& p = *text3D_;
  // The view in its frame lies in the text page's preview box; the editor's
  // tabs are the 3D page of the text kinds.
  QWidget* previewArea = Shapes().TextPreviewBox()->widget();
  p.SelectionBox_3DScene = new TSelectionBox(previewArea);
  p.SelectionBox_3DScene->setObjectName("SelectionBox_3DScene");
  p.SelectionBox_3DScene->SetRotateable(false);
  p.SelectionBox_3DScene->SetHasProportionalResize(false);
  p.SelectionBox_3DScene->SetHasVertHorResize(false);
  p.SelectionBox_3DScene->SetMoveable(false);
  p.QelView1Host = new TQelViewHost(previewArea);
  p.QelView1Host->setObjectName("QelView1");
  p.QelView1Host->SetView(&p.QelView1);
  p.QelView1Host->OnMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) {
    SelectionBox_3DSceneMouseDown(b, s, x, y);
  };
  p.QelView1Host->OnMouseMove = [this](TShiftState s, int x, int y) { SelectionBox_3DSceneMouseMove(s, x, y); };
  p.QelView1Host->OnMouseUp = [this](TMouseButton b, TShiftState s, int x, int y) {
    QelView1MouseUp(b, s, x, y);
  };
  PlaceText3DView(230, 80);

  QWidget* textPage = Shapes().TextKindPages()->widget(0);
  p.Panel_3DText = new QWidget(textPage);
  p.Panel_3DText->setObjectName("Panel_3DText");
  new QVBoxLayout(p.Panel_3DText);
  p.Panel_3DText->layout()->setContentsMargins(0, 0, 0, 0);
  textPage->layout()->addWidget(p.Panel_3DText);

  p.PageControl_3DText = Make<QTabWidget>(*p.Panel_3DText, "PageControl_3DText");
  CreateText3DTextTab(*AddTab(*p.PageControl_3DText, "TabSheet_Text", "Text"));
  CreateText3DLightsTab(*AddTab(*p.PageControl_3DText, "TabSheet_Lights", "Lights"));
  CreateText3DRotationTab(*AddTab(*p.PageControl_3DText, "TabSheet_Rotation", "Rotation"));
  CreateText3DCameraTab(*AddTab(*p.PageControl_3DText, "TabSheet_Camera", "Camera"));
  CreateText3DMaterialTab(*AddTab(*p.PageControl_3DText, "TabSheet_Material", "Material"));
  CreateText3DTextureTab(*AddTab(*p.PageControl_3DText, "TabSheet_Texture", "Texture"));
  CreateText3DAnimationTab(*AddTab(*p.PageControl_3DText, "TabSheet_3DAnimation", "3D Animation"));
  connect(p.PageControl_3DText, &QTabWidget::currentChanged, this, [this] { PageControl_3DTextChange(); });
  for (int i = 0; i < p.PageControl_3DText->count(); ++i) {
    p.PageControl_3DText->widget(i)->setProperty("Hint", kText3DTabHints[static_cast<std::size_t>(i)]);
  }
  new TText3DTabHints(*p.PageControl_3DText->tabBar(), *this);

  p.ColorPicker = new TColorPicker(&Window());
  p.CharPicker = new TCharPicker(&Window());
}

// A bar with the edit that shows its position; typing a number into the
// edit moves the bar. Changes of the bar run the handler.
void TText3DArea::ConnectBar(QScrollBar* bar, QLineEdit* edit, std::function<void()> handler) {
  edit->setText(QString::number(bar->value()));
  connect(bar, &QScrollBar::valueChanged, this, [this, edit, handler](int value) {
    SetEditText(*edit, std::to_string(value));
    if (!text3D_->Filling) handler();
  });
  connect(edit, &QLineEdit::textEdited, this, [bar](const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (ok && value != bar->value()) bar->setValue(value);
  });
}

void TText3DArea::CreateText3DTextTab(QWidget& tab) {
  T3DTextParts& p = *text3D_;
  p.EditNewText = Make<QLineEdit>(tab, "EditNewText");
  p.EditNewText->setMaxLength(static_cast<int>(kMaxShortString));
  p.EditNewText->setText("Your Text Here");
  connect(p.EditNewText, &QLineEdit::textChanged, this, [this] { EditNewTextChange(); });

  auto* fontRow = new QWidget(&tab);
  fontRow->setObjectName("ToolBar_Font");
  new QHBoxLayout(fontRow);
  tab.layout()->addWidget(fontRow);
  p.FontsList = Make<TWPopOutFntCBox>(*fontRow, "FontsList");
  p.FontsList->SetTrueTypeOnly(true);
  p.FontsList->SetAttachedEdit(p.EditNewText);
  p.FontsList->SetFontName("Arial");
  p.FontsList->SetPreviewText("Your Text Here");
  p.FontsList->OnFontChange = [this](QObject*) { FontsListFontChange(); };
  const auto makeToggle = [this, fontRow](const char* name, const char* caption) {
    auto* button = Make<QToolButton>(*fontRow, name);
    button->setText(caption);
    button->setCheckable(true);
    connect(button, &QToolButton::toggled, this, [this] { Text3DParameterChange(); });
    return button;
  };
  p.Bold_TextButton = makeToggle("Bold_TextButton", "B");
  p.Italic_Font_Button = makeToggle("Italic_Font_Button", "I");
  auto* fontDialog = Make<QToolButton>(*fontRow, "ToolButton_FontDialog");
  fontDialog->setDefaultAction(Commands().Font_FontDialog);
  p.ToolButton_InsertSimbol = Make<QToolButton>(*fontRow, "ToolButton_InsertSimbol");
  p.ToolButton_InsertSimbol->setText("Insert Symbol");
  connect(p.ToolButton_InsertSimbol, &QToolButton::clicked, this, [this] { ToolButton_InsertSimbolClick(); });

  // The depth list ("0", "0.01" ... "0.09", "0.1" ... "3") and the size list ("1" ... "70").
  const auto makeList = [&tab](const char* name, const std::vector<std::string>& items) {
    auto* list = new QComboBox(&tab);
    list->setObjectName(name);
    list->setEditable(true);
    for (const std::string& item : items) list->addItem(QString::fromStdString(item));
    tab.layout()->addWidget(list);
    return list;
  };
  ComboBoxDepth = makeList("ComboBoxDepth", DepthListItems());
  ComboBoxDepth->setEditText("0.2");
  connect(ComboBoxDepth, &QComboBox::editTextChanged, this, [this] { Text3DParameterChange(); });
  ComboBoxSize = makeList("ComboBoxSize", SizeListItems());
  ComboBoxSize->setEditText("40");
  connect(ComboBoxSize, &QComboBox::editTextChanged, this, [this] { ComboBoxSizeChange(); });

  p.Button_3DBackground = MakeColorButton(tab, "Button_3DBackground", "Background Color...", clBlack);
  connect(p.Button_3DBackground, &QPushButton::clicked, this, [this] { Button_3DBackgroundClick(); });
}

void TText3DArea::CreateText3DRotationTab(QWidget& tab) {
  T3DTextParts& p = *text3D_;
  const auto row = [this, &tab](const char* barName, const char* editName, QScrollBar*& bar, QLineEdit*& edit) {
    bar = MakeBar(tab, barName, -180, 180);
    edit = Make<QLineEdit>(tab, editName);
    ConnectBar(bar, edit, [this] { Text3DParameterChange(); });
  };
  row("ScrollBarTextRotX", "EditTextRotX", p.ScrollBarTextRotX, p.EditTextRotX);
  row("ScrollBarTextRotY", "EditTextRotY", p.ScrollBarTextRotY, p.EditTextRotY);
  row("ScrollBarTextRotZ", "EditTextRotZ", p.ScrollBarTextRotZ, p.EditTextRotZ);
}

void TText3DArea::CreateText3DCameraTab(QWidget& tab) {
  T3DTextParts& p = *text3D_;
  p.ScrollBarCameraX = MakeBar(tab, "ScrollBarCameraX", -1200, 1200);
  p.EditCameraX = Make<QLineEdit>(tab, "EditCameraX");
  ConnectBar(p.ScrollBarCameraX, p.EditCameraX, [this] { Text3DParameterChange(); });
  p.ScrollBarCameraY = MakeBar(tab, "ScrollBarCameraY", -1200, 1200);
  p.EditCameraY = Make<QLineEdit>(tab, "EditCameraY");
  ConnectBar(p.ScrollBarCameraY, p.EditCameraY, [this] { Text3DParameterChange(); });
  p.CameraFOVSpin = Make<TTrackBar>(tab, "CameraFOVSpin");
  p.CameraFOVSpin->SetMin(2);
  p.CameraFOVSpin->SetMax(90);
  p.CameraFOVSpin->SetPosition(20);
  p.CameraFOVSpin->setMinimumHeight(28);
  p.CameraFOVSpin->OnChange = [this](QObject*) {
    T3DTextParts& parts = *text3D_;
    parts.CameraFOVSpin->SetSelEnd(parts.CameraFOVSpin->Position());
    if (!parts.Filling) Text3DParameterChange();
  };
}

void TText3DArea::CreateText3DMaterialTab(QWidget& tab) {
  T3DTextParts& p = *text3D_;
  p.Button_3DTextColor = MakeColorButton(tab, "Button_3DTextColor", "Text Color...", 0x00CE6700);
  connect(p.Button_3DTextColor, &QPushButton::clicked, this, [this] { Button_3DTextColorClick(); });
  p.ScrollBarMaterialShininess = MakeBar(tab, "ScrollBarMaterialShininess", 0, 100);
  p.EditMaterialShininess = Make<QLineEdit>(tab, "EditMaterialShininess");
  ConnectBar(p.ScrollBarMaterialShininess, p.EditMaterialShininess, [this] { Text3DParameterChange(); });
  p.CollorGalleryToolButton = Make<QToolButton>(tab, "CollorGalleryToolButton");
  p.CollorGalleryToolButton->setText("Color Gallery...");
  ApplyHint(*p.CollorGalleryToolButton,
            "Select a preset color|Click to select a preset color, material and lights from gallery");
  connect(p.CollorGalleryToolButton, &QToolButton::clicked, this,
          [this] { Galleries().CollorGalleryToolButtonClick(text3D_->CollorGalleryToolButton); });
}

void TText3DArea::CreateText3DTextureTab(QWidget& tab) {
  T3DTextParts& p = *text3D_;
  p.CheckBoxTexture = Make<QCheckBox>(tab, "CheckBoxTexture");
  p.CheckBoxTexture->setText("&Texture Enabled");
  connect(p.CheckBoxTexture, &QCheckBox::clicked, this, [this] { CheckBoxTextureClick(); });
  p.EditTextureFileName = Make<QLineEdit>(tab, "EditTextureFileName");
  p.EditTextureFileName->setMaxLength(static_cast<int>(kMaxShortString));
  connect(p.EditTextureFileName, &QLineEdit::textChanged, this, [this] { EditTextureFileNameChange(); });
  auto* tools = Make<QToolBar>(tab, "ToolBar_Texture");
  tools->addAction(Commands().Texture_Open);
  tools->addAction(Commands().Texture_Paste);
  p.ScrollBarTextureRotZ = MakeBar(tab, "ScrollBarTextureRotZ", -180, 180);
  p.EditTextureRotZ = Make<QLineEdit>(tab, "EditTextureRotZ");
  ConnectBar(p.ScrollBarTextureRotZ, p.EditTextureRotZ, [this] { ScrollBarTextureRotZChange(); });
  p.ScrollBarTextureScaleX = MakeBar(tab, "ScrollBarTextureScaleX", 1, 2000);
  p.EditTextureScaleX = Make<QLineEdit>(tab, "EditTextureScaleX");
  ConnectBar(p.ScrollBarTextureScaleX, p.EditTextureScaleX, [this] { Text3DParameterChange(); });
  p.ScrollBarTextureScaleY = MakeBar(tab, "ScrollBarTextureScaleY", 1, 2000);
  p.EditTextureScaleY = Make<QLineEdit>(tab, "EditTextureScaleY");
  ConnectBar(p.ScrollBarTextureScaleY, p.EditTextureScaleY, [this] { Text3DParameterChange(); });
  p.ImageTexture = Make<TImage>(tab, "ImageTexture");
  p.ImageTexture->setFixedSize(64, 64);
  p.ImageTexture->SetStretch(true);
  p.ImageTexture->OnClick = [this](QObject*) { ImageTextureClick(); };
  EnableTextureControls(false);
}

void TText3DArea::EnableTextureControls(bool enabled) {
  T3DTextParts& p = *text3D_;
  for (QWidget* control : std::initializer_list<QWidget*>{p.ScrollBarTextureRotZ, p.EditTextureRotZ,
                                                          p.ScrollBarTextureScaleX, p.EditTextureScaleX,
                                                          p.ScrollBarTextureScaleY, p.EditTextureScaleY}) {
    control->setEnabled(enabled);
  }
}

// ---- The editor's objects and view ---------------------------------------------------------------

TSprite* TText3DArea::Text3DSprite() const {
  const T3DTextParts& p = *text3D_;
  // The editor edits frames of the active document only.
  if (p.Scene == nullptr || p.Scene != CurrentScene()) return nullptr;
  return FindSpriteById(CurrentScene(), p.SpriteId);
}

TFrame* TText3DArea::Text3DFrame() const { return FindFrameById(Text3DSprite(), text3D_->FrameId); }

TSprite* TText3DArea::FindSpriteById(TAnimatedScene* scene, std::optional<std::int32_t> id) const {
  if (!id || scene == nullptr) return nullptr;
  for (int i = 0; i < scene->SpriteCount(); ++i) {
    if (scene->Sprite(i).Id == *id) return &scene->Sprite(i);
  }
  return nullptr;
}

TFrame* TText3DArea::FindFrameById(TSprite* sprite, std::optional<std::int32_t> id) const {
  if (sprite == nullptr || !id) return nullptr;
  for (int i = 0; i < sprite->FrameCount(); ++i) {
    if (sprite->Frame(i).Id == *id) return &sprite->Frame(i);
  }
  return nullptr;
}

const T3DTextState& TText3DArea::Text3DEditorState() const { return text3D_->State; }

bool TText3DArea::Text3DChangePending() const { return text3D_->PendingFrameId.has_value(); }

bool TText3DArea::EditingEndState() const {
  const T3DTextParts& p = *text3D_;
  return EditsEndState(p.CheckBoxAnimation->isChecked(), p.RadioGroup_3D_Animation_Changes->ItemIndex());
}

// The editor's objects show the editor's state; a text or font change
// builds the glyphs again.
void TText3DArea::ApplyText3DState() {
  T3DTextParts& p = *text3D_;
  const std::string oldText = p.QelText1.Text();
  const TFont oldFont = p.QelText1.Font();
  TFrame::Render3D(p.State, p.State, 0.0, p.QelText1, p.QelCamera1, p.Lights[0], p.Lights[1], p.Lights[2],
                   p.QelMaterial1, p.QelTexture1);
  const TFont& font = p.QelText1.Font();
  if (oldText != p.QelText1.Text() || oldFont.Name != font.Name || oldFont.Style != font.Style ||
      oldFont.Charset != font.Charset) {
    p.QelText1.ClearLists();
  }
  p.QelView1.SetBackgroundColor(ColorToRGB(StateColor(p.State.BackgroundColor)));
}

void TText3DArea::RedrawText3DView() {
  T3DTextParts& p = *text3D_;
  p.QelView1.Redraw();
  p.QelView1Host->update();
}

void TText3DArea::RestartText3DTimer() {
  // The tick of a new edit is that edit's own: a skip meant for a tick due
  // before it never swallows it.
  skipNext3DRender_ = false;
  timer_3D_Changed_.SetEnabled(false);
  timer_3D_Changed_.SetEnabled(true);
}

// Store and restart the pause: every edit's last two steps.
void TText3DArea::StoreText3DAndRestart() {
  Store3DSettings();
  if (!text3DLoading_) RestartText3DTimer();
}

// The frame at the top left of the preview box with the view as its inner
// box; the preview box scrolls over a frame larger than itself.
void TText3DArea::PlaceText3DView(int width, int height) {
  T3DTextParts& p = *text3D_;
  TSelectionBox& frame = *p.SelectionBox_3DScene;
  QScrollArea* ScrollBox_3DText = Shapes().TextPreviewBox();
  const int border = frame.BoxDeltaX() + frame.BoxShift();
  frame.SetBounds(0, 0, width + 2 * border, height + 2 * border);
  p.QelView1Host->move(frame.BoxLeft(), frame.BoxTop());
  p.QelView1Host->SetClientSize(frame.BoxWidth(), frame.BoxHeight());
  p.QelView1Host->setFixedSize(frame.BoxWidth(), frame.BoxHeight());
  p.QelView1Host->raise();
  ScrollBox_3DText->widget()->setMinimumSize(frame.Width(), frame.Height());
  // The box shows the whole frame up to a height that leaves room for the tabs.
  constexpr int kMostPreviewHeight = 240;
  ScrollBox_3DText->setMinimumHeight(std::min(frame.Height(), kMostPreviewHeight) + 2 * ScrollBox_3DText->frameWidth() +
                                     ScrollBox_3DText->horizontalScrollBar()->sizeHint().height());
  ScrollBox_3DText->horizontalScrollBar()->setValue(0);
  ScrollBox_3DText->verticalScrollBar()->setValue(0);
}

void TText3DArea::SelectionBox_3DSceneResized() {
  T3DTextParts& p = *text3D_;
  try {
    const int width = std::clamp(p.State.ImageWidth > 0 ? p.State.ImageWidth : 230, 1, TQelView::kMaxClientSize);
    const int height = std::clamp(p.State.ImageHeight > 0 ? p.State.ImageHeight : 80, 1, TQelView::kMaxClientSize);
    PlaceText3DView(width, height);
    p.Image_3DText.SetSize(width, height);
    p.QelText1.ClearLists();
    p.Output.text.ClearLists();
    RedrawText3DView();
    if (text3DEditorReady_ && !text3DLoading_) RestartText3DTimer();
  } catch (const std::exception&) {
    // A view that cannot take the size keeps its old one.
  }
}

// ---- The controls into the editor's state ----------------------------------------------------------

// Each control writes its field only when it shows another value than the
// field does, so that a value the control can only show rounded (a camera
// Z of 3.0, a shininess of 25) is never changed by an edit of another field.
void TText3DArea::ReadText3DControls() {
  T3DTextParts& p = *text3D_;
  T3DTextState& s = p.State;
  const auto bar = [](const QScrollBar* b) { return b->value(); };
  if (bar(p.ScrollBarTextRotX) != Round(s.TextRotationX)) s.TextRotationX = bar(p.ScrollBarTextRotX);
  if (bar(p.ScrollBarTextRotY) != Round(s.TextRotationY)) s.TextRotationY = bar(p.ScrollBarTextRotY);
  if (bar(p.ScrollBarTextRotZ) != Round(s.TextRotationZ)) s.TextRotationZ = bar(p.ScrollBarTextRotZ);
  s.Text = ShortString(EditText(*p.EditNewText));
  p.FontsList->SetPreviewText(s.Text);
  const std::string depthText = QStringToAnsi(ComboBoxDepth->currentText());
  if (depthText != FormatDepth(s.Depth)) s.Depth = ParseDepthText(depthText);
  if (p.FontsList->FontName() != s.FontName && !p.FontsList->FontName().empty()) {
    s.FontName = ShortString(p.FontsList->FontName());
  }
  std::uint8_t style = static_cast<std::uint8_t>(s.FontStyle & ~(fsBold | fsItalic));
  if (p.Bold_TextButton->isChecked()) style |= fsBold;
  if (p.Italic_Font_Button->isChecked()) style |= fsItalic;
  s.FontStyle = style;
  if (bar(p.ScrollBarCameraX) != BarPositionForHundredths(s.CameraPositionX)) {
    s.CameraPositionX = HundredthsForBar(bar(p.ScrollBarCameraX));
  }
  if (bar(p.ScrollBarCameraY) != BarPositionForHundredths(s.CameraPositionY)) {
    s.CameraPositionY = HundredthsForBar(bar(p.ScrollBarCameraY));
  }
  if (p.CameraFOVSpin->Position() != Round(s.ViewAngle)) s.ViewAngle = p.CameraFOVSpin->Position();
  if (bar(p.ScrollBarMaterialShininess) != ShininessBarPosition(s.Shininess)) {
    s.Shininess = ShininessForBar(bar(p.ScrollBarMaterialShininess));
  }
  if (bar(p.ScrollBarTextureScaleX) != TextureScaleBarPosition(s.TextureScaleX)) {
    s.TextureScaleX = TextureScaleForBar(bar(p.ScrollBarTextureScaleX));
  }
  if (bar(p.ScrollBarTextureScaleY) != TextureScaleBarPosition(s.TextureScaleY)) {
    s.TextureScaleY = TextureScaleForBar(bar(p.ScrollBarTextureScaleY));
  }
  if (bar(p.ScrollBarTextureRotZ) != TextureRotationZBarPosition(s.TextureRotationZ)) {
    s.TextureRotationZ = TextureRotationZForBar(bar(p.ScrollBarTextureRotZ));
  }
  if (ButtonColor(*p.Button_3DBackground) != StateColor(s.BackgroundColor)) {
    s.BackgroundColor = ButtonColor(*p.Button_3DBackground);
  }
  s.MaterialOn = 1.0;
}

void TText3DArea::Text3DParameterChange() {
  T3DTextParts& p = *text3D_;
  if (!text3DEditorReady_ || p.Filling) return;
  ReadText3DControls();
  ApplyText3DState();
  RedrawText3DView();
  if (!text3DLoading_) {
    // The glyphs of the text are built now: centre the text on its extent.
    float width = 0, height = 0;
    p.QelText1.GetTextExtent(width, height);
    p.State.TextPositionX = -(width / 2.0);
    p.State.TextPositionY = -(height / 2.0);
    p.State.TextPositionZ = p.State.Depth / 2.0;
    p.QelText1.Translation().SetXYZ(p.State.TextPositionX, p.State.TextPositionY, p.State.TextPositionZ);
    RedrawText3DView();
  }
  StoreText3DAndRestart();
}

// ---- Storing and the tick ---------------------------------------------------------------------------

void TText3DArea::Store3DSettings() {
  T3DTextParts& p = *text3D_;
  if (text3DLoading_ || p.LeftDown || p.RightDown) return;
  TSprite* sprite = Text3DSprite();
  TFrame* frame = Text3DFrame();
  if (sprite == nullptr || frame == nullptr) return;
  if (p.PendingFrameId != frame->Id || p.PendingSpriteId != sprite->Id) {
    // Another frame's change goes to its own frame first.
    if (Text3DChangePending()) FlushText3DChange();
    // Undo gives back the frame as it was before the first change of the burst.
    p.PendingSnapshot.Clear();
    const TUndoModeScope undoMode(1);  // written as the undo log writes its snapshots
    frame->SaveToStream(p.PendingSnapshot);
    p.PendingScene = CurrentScene();
    p.PendingSpriteId = sprite->Id;
    p.PendingFrameId = frame->Id;
  }
  p.PendingEditsEnd = EditingEndState();
  StoreEditorState(p.State, frame->StartState, frame->EndState, p.PendingEditsEnd);
}

void TText3DArea::FlushText3DChange() {
  if (!Text3DChangePending()) return;
  timer_3D_Changed_.SetEnabled(false);
  const bool skip = skipNext3DRender_;
  skipNext3DRender_ = false;
  const bool loading = text3DLoading_;
  text3DLoading_ = false;
  RenderPendingText3D();
  text3DLoading_ = loading;
  skipNext3DRender_ = skip;
}

void TText3DArea::Timer_3D_ChangedTimer() {
  T3DTextParts& p = *text3D_;
  timer_3D_Changed_.SetEnabled(false);
  if (skipNext3DRender_) {
    skipNext3DRender_ = false;
    return;
  }
  if (text3DLoading_) return;
  // A drag in progress stores at its end; the picture waits for it.
  if (p.LeftDown || p.RightDown) {
    RestartText3DTimer();
    return;
  }
  RenderPendingText3D();
}

// Renders the frame that waits for its picture and changes it with one undo
// entry: the frame as it was before the burst of edits.
void TText3DArea::RenderPendingText3D() {
  T3DTextParts& p = *text3D_;
  // The frame may belong to a document that is no longer the active one:
  // its own undo log takes the entry.
  TAnimationWindow* document = Layout().DocumentOfScene(p.PendingScene);
  TSprite* sprite = document != nullptr ? FindSpriteById(document->Scene(), p.PendingSpriteId) : nullptr;
  TFrame* frame = FindFrameById(sprite, p.PendingFrameId);
  const bool editsEnd = p.PendingEditsEnd;
  const std::vector<std::uint8_t> snapshot = p.PendingSnapshot.Bytes();
  p.PendingScene = nullptr;
  p.PendingSpriteId.reset();
  p.PendingFrameId.reset();
  p.PendingSnapshot.Clear();
  if (frame == nullptr) return;  // nothing waits, or its frame is gone
  const int index = frame->Index();
  if (TWindowUndo* undo = document->Undo()) {
    undo->AddRecord(urkSpriteEdit, "Change 3D Text", true, index, sprite->Id, uokFrame, [&snapshot](TStream& stream) {
      stream.WriteBuffer(snapshot.data(), static_cast<std::int64_t>(snapshot.size()));
    });
  }
  {
    const TUndoRecordingPause pause;
    RenderText3DFramePictureSafely(*frame, editsEnd);
    // Without temporary contexts frames render no sub-frames: no animation.
    if (QelTempContextFailed) p.CheckBoxAnimation->setEnabled(false);
    sprite->Change3DText(index, editsEnd ? frame->EndState : frame->StartState, editsEnd ? 1 : 0, p.Image_3DText,
                         frame->Transparent(), frame->TransparentColor());
  }
  RequestSceneRecompute();
}

void TText3DArea::StoreText3DPicture(TFrame& frame) {
  const TUndoRecordingPause pause;
  RenderText3DFramePictureSafely(frame, false);
  // The states stay as they are (start and end may differ without the
  // animation flag); only the picture and the frame's 3D objects follow them.
  frame.SetPicture(text3D_->Image_3DText, frame.Transparent(), frame.TransparentColor(), -1, -1);
  if (frame.HasView()) RebuildFrame3DText(frame, *frame.Objects3D);
}

// A picture that cannot be rendered leaves Image_3DText filled with the
// frame's background, so the states are still stored.
void TText3DArea::RenderText3DFramePictureSafely(const TFrame& frame, bool endState) {
  try {
    RenderText3DFramePicture(frame, endState);
  } catch (const std::exception&) {
    T3DTextParts& p = *text3D_;
    p.Image_3DText.SetSize(std::max(1, frame.StartState.ImageWidth), std::max(1, frame.StartState.ImageHeight));
    p.Image_3DText.Canvas().Brush().Color = StateColor(frame.StartState.BackgroundColor);
    p.Image_3DText.Canvas().FillRect(TRect(0, 0, p.Image_3DText.Width(), p.Image_3DText.Height()));
  }
}

// The output view renders a frame's selected state at the frame's image size
// into Image_3DText.
void TText3DArea::RenderText3DFramePicture(const TFrame& frame, bool endState) {
  T3DTextParts& p = *text3D_;
  TFrame3DObjects& out = p.Output;
  const std::string oldText = out.text.Text();
  const TFont oldFont = out.text.Font();
  TFrame::Render3D(frame.StartState, frame.EndState, endState ? 1.0 : 0.0, out.text, *out.ownCamera, out.lights[0],
                   out.lights[1], out.lights[2], out.material, out.texture);
  const TFont& font = out.text.Font();
  if (oldText != out.text.Text() || oldFont.Name != font.Name || oldFont.Style != font.Style ||
      oldFont.Charset != font.Charset || QelOffScreenFailed) {
    out.text.ClearLists();
  }
  TQelView& view = *out.ownView;
  view.SetBackgroundColor(ColorToRGB(StateColor(frame.StartState.BackgroundColor)));
  const int width = std::clamp<int>(frame.StartState.ImageWidth, 1, TQelView::kMaxClientSize);
  const int height = std::clamp<int>(frame.StartState.ImageHeight, 1, TQelView::kMaxClientSize);
  p.Image_3DText.SetSize(width, height);
  view.SetClientSize(width, height);
  view.SetTargetBitmap(&p.Image_3DText);
  if (!view.HasContext()) view.SetActive(true);
  if (view.InBitmapMode()) {
    view.Redraw();
  } else {
    view.RenderToBitmap(p.Image_3DText);
  }
  view.SetTargetBitmap(nullptr);
  if (!QelOffScreenFailed) out.text.SetCacheLists(true);
}

// ---- Filling the page --------------------------------------------------------------------------------

void TText3DArea::Load3DTextPage() {
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  if (sprite == nullptr || frame == nullptr || sprite->FrameCount() == 0) return;
  const int index = frame->Index();
  if (index < 0) return;
  Load3DTextFrame(*sprite, index);
}

void TText3DArea::Load3DTextFrame(TSprite& sprite, int frameIndex) {
  T3DTextParts& p = *text3D_;
  if (frameIndex < 0 || frameIndex >= sprite.FrameCount()) return;
  TFrame& frame = sprite.Frame(frameIndex);
  // A change still waiting belongs to the frame as it was when it was made,
  // this frame too: the frame may have changed since (a gallery).
  FlushText3DChange();
  StopText3DPreview();
  p.Scene = sprite.Scene();
  p.SpriteId = sprite.Id;
  p.FrameId = frame.Id;
  text3DEditorReady_ = true;
  text3DLoading_ = true;
  p.LightEditGuard = true;
  sprite.SetCurrentFrameIndex(frameIndex);
  LoadText3DEditor(frame.StartState);
  {
    const TFillingScope filling(p);
    p.CheckBoxAnimation->setChecked(frame.Animation3D != 0);
    p.RadioGroup_3D_Animation_Changes->SetItemIndex(0);
    p.SpinEdit_3D_NumbOfFrames->SetValue(frame.SubFrameCount);
    p.CheckBox_3D_Looping->setChecked(frame.Loop != 0);
  }
  CheckBoxAnimationClick();
  Text3DParameterChange();
  p.LightEditGuard = false;
  p.QelText1.ClearLists();
  SelectionBox_3DSceneResized();
  p.PageControl_3DText->setCurrentIndex(0);
  PageControl_3DTextChange();
  ShowText3DEditor();
  text3DLoading_ = false;
}

// The text page shows the 3D kind: the view in its frame and the editor's tabs.
void TText3DArea::ShowText3DEditor() {
  T3DTextParts& p = *text3D_;
  Shapes().SetTextKindIndex(0);
  Shapes().SimpleTextImage()->hide();
  p.SelectionBox_3DScene->show();
  p.QelView1Host->show();
  p.Panel_3DText->show();
}

void TText3DArea::LoadText3DEditor(const T3DTextState& state) {
  T3DTextParts& p = *text3D_;
  const TFillingScope filling(p);
  p.State = state;
  const T3DEditorControls c = ControlsFromState(state);
  p.EditNewText->setText(AnsiToQString(c.Text));
  p.FontsList->SetFontName(c.FontName);
  p.FontsList->SetPreviewText(c.Text);
  p.Bold_TextButton->setChecked(c.Bold);
  p.Italic_Font_Button->setChecked(c.Italic);
  ComboBoxDepth->setEditText(AnsiToQString(c.DepthText));
  p.ScrollBarTextRotX->setValue(c.TextRotationX);
  p.ScrollBarTextRotY->setValue(c.TextRotationY);
  p.ScrollBarTextRotZ->setValue(c.TextRotationZ);
  p.ScrollBarCameraX->setValue(c.CameraX);
  p.ScrollBarCameraY->setValue(c.CameraY);
  p.CameraFOVSpin->SetPosition(c.ViewAngle);
  ComboBoxSize->setEditText(AnsiToQString(c.SizeText));
  SetButtonColor(*p.Button_3DTextColor, c.MaterialColor);
  SetButtonColor(*p.LightMaterialColorButton, c.MaterialColor);
  p.ScrollBarMaterialShininess->setValue(c.ShininessBar);
  p.ScrollBarTextureRotZ->setValue(c.TextureRotationZBar);
  p.ScrollBarTextureScaleX->setValue(c.TextureScaleXBar);
  p.ScrollBarTextureScaleY->setValue(c.TextureScaleYBar);
  p.EditTextureFileName->setText(AnsiToQString(c.TextureFileName));
  p.CheckBoxTexture->setChecked(c.TextureEnabled);
  EnableTextureControls(c.TextureEnabled);
  SetButtonColor(*p.Button_3DBackground, c.BackgroundColor);
  LoadText3DLights(c);
  ApplyText3DState();
  ShowTextureThumbnail();
}

// ---- Text, font and size ----------------------------------------------------------------------------

void TText3DArea::EditNewTextChange() {
  T3DTextParts& p = *text3D_;
  if (p.Filling || !text3DEditorReady_) return;
  Text3DParameterChange();
  if (text3DLoading_) return;
  // A text frame's tree node reads its text in double quotes.
  TAnimationWindow* window = ActiveAnimationWindow();
  QTreeWidget* tree = window != nullptr ? window->Tree() : nullptr;
  if (tree == nullptr || tree->currentItem() == nullptr) return;
  QTreeWidgetItem* node = tree->currentItem();
  const QString caption = node->text(0);
  if (caption.size() >= 2 && caption.startsWith('"') && caption.endsWith('"')) {
    // Not an edit of the node by the user (the tree gives such edits back).
    const QSignalBlocker quiet(tree);
    node->setText(0, "\"" + AnsiToQString(p.State.Text) + "\"");
  }
}

void TText3DArea::FontsListFontChange() {
  T3DTextParts& p = *text3D_;
  if (p.Filling) return;
  QFont editFont = p.EditNewText->font();
  editFont.setFamily(AnsiToQString(p.FontsList->FontName()));
  p.EditNewText->setFont(editFont);
  Text3DParameterChange();
}

void TText3DArea::Font_FontDialogExecute() {
  T3DTextParts& p = *text3D_;
  FontDescription initial;
  initial.name = p.State.FontName.empty() ? "Arial" : p.State.FontName;
  initial.size = 18;
  initial.bold = (p.State.FontStyle & fsBold) != 0;
  initial.italic = (p.State.FontStyle & fsItalic) != 0;
  initial.charset = StateFontCharset(p.State);
  const std::optional<FontDescription> chosen = Ui().ChooseFont(initial);
  if (!chosen) return;
  {
    const TFillingScope filling(p);
    p.FontsList->SetFontName(chosen->name);
    p.Bold_TextButton->setChecked(chosen->bold);
    p.Italic_Font_Button->setChecked(chosen->italic);
  }
  p.State.Charset = chosen->charset;
  Text3DParameterChange();
}

void TText3DArea::ToolButton_InsertSimbolClick() {
  T3DTextParts& p = *text3D_;
  TFont font = p.QelText1.Font();
  font.Name = p.State.FontName;
  font.Charset = StateFontCharset(p.State);
  p.CharPicker->SetFont(font);
  if (!p.CharPicker->Execute(p.ToolButton_InsertSimbol)) return;
  p.EditNewText->insert(AnsiToQString(std::string(1, p.CharPicker->ReturnChar())));
}

void TText3DArea::ComboBoxSizeChange() {
  T3DTextParts& p = *text3D_;
  if (p.Filling || !text3DEditorReady_) return;
  const std::optional<int> size = ParseTextSize(QStringToAnsi(ComboBoxSize->currentText()));
  if (!size) {
    const QSignalBlocker blocker(ComboBoxSize);
    ComboBoxSize->setEditText(QString::number(SizeForCameraZ(p.State.CameraPositionZ)));
    return;
  }
  // The shown size of the stored Z leaves the Z as it is (3.0 shows as 67).
  if (*size != SizeForCameraZ(p.State.CameraPositionZ)) p.State.CameraPositionZ = CameraZForSize(*size);
  p.QelCamera1.Position().SetZ(static_cast<float>(p.State.CameraPositionZ));
  RedrawText3DView();
  StoreText3DAndRestart();
}

void TText3DArea::ZoomTimerTimer() {
  T3DTextParts& p = *text3D_;
  int step = 0;
  if (p.LeftDown) step = 1;
  if (p.RightDown) step = -1;
  if (step == 0) {
    zoomTimer_.SetEnabled(false);
    return;
  }
  const std::optional<int> size = ParseTextSize(QStringToAnsi(ComboBoxSize->currentText()));
  const int next = std::clamp(size.value_or(SizeForCameraZ(p.State.CameraPositionZ)) + step, 0, 70);
  ComboBoxSize->setEditText(QString::number(next));
}

// ---- Colours ----------------------------------------------------------------------------------------

void TText3DArea::PickText3DColor(QPushButton* button, std::function<void(TColor)> chosen) {
  T3DTextParts& p = *text3D_;
  p.ColorPicker->SetColor(ButtonColor(*button));
  p.ColorPicker->OnColorChange = [chosen](QObject*, TColor color) { chosen(color); };
  p.ColorPicker->Popup(button);
}

void TText3DArea::Button_3DTextColorClick() {
  T3DTextParts& p = *text3D_;
  if (p.PageControl_Lights->currentIndex() != 0) p.PageControl_Lights->setCurrentIndex(0);
  PickText3DColor(p.Button_3DTextColor, [this](TColor color) { MaterialColorChange(color); });
}

void TText3DArea::LightMaterialColorButtonClick() {
  T3DTextParts& p = *text3D_;
  PickText3DColor(p.LightMaterialColorButton, [this](TColor color) { MaterialColorChange(color); });
}

void TText3DArea::Button_3DBackgroundClick() {
  T3DTextParts& p = *text3D_;
  PickText3DColor(p.Button_3DBackground, [this](TColor color) { Text3DBackgroundChange(color); });
}

void TText3DArea::MaterialColorChange(TColor color) {
  T3DTextParts& p = *text3D_;
  SetButtonColor(*p.Button_3DTextColor, color);
  SetButtonColor(*p.LightMaterialColorButton, color);
  if (!text3DEditorReady_) return;
  p.State.MaterialColor = color;
  p.QelMaterial1.ColorEmission().SetColor(color);
  RedrawText3DView();
  StoreText3DAndRestart();
}

void TText3DArea::Text3DBackgroundChange(TColor color) {
  T3DTextParts& p = *text3D_;
  SetButtonColor(*p.Button_3DBackground, color);
  Text3DParameterChange();
}

// ---- Texture ------------------------------------------------------------------------------------------

void TText3DArea::Texture_OpenExecute() {
  T3DTextParts& p = *text3D_;
  SettingsArea().OpenTextureDialog().fileName = EditText(*p.EditTextureFileName);
  const std::optional<FileDialogResult> chosen = Ui().ChooseOpenFile(SettingsArea().OpenTextureDialog());
  if (!chosen || chosen->fileName.empty()) return;
  SettingsArea().OpenTextureDialog().initialDir = QStringToAnsi(QFileInfo(AnsiToQString(chosen->fileName)).absolutePath());
  p.EditTextureFileName->setText(AnsiToQString(chosen->fileName));
}

void TText3DArea::EditTextureFileNameChange() {
  T3DTextParts& p = *text3D_;
  if (p.Filling || !text3DEditorReady_) return;
  const std::string name = ShortString(EditText(*p.EditTextureFileName));
  if (name.empty()) return;
  TQelTexture loaded;
  TFrame::LoadTextureFile(name, loaded);  // a file that cannot be read gives no picture
  p.State.TextureFileName = name;
  p.State.TextureOn = 1.0;
  {
    const TFillingScope filling(p);
    p.CheckBoxTexture->setChecked(true);
  }
  EnableTextureControls(true);
  p.QelTexture1.SetFileName(name);
  SetTextureBitmap(loaded.Bitmap());
  ApplyText3DState();
  RedrawText3DView();
  StoreText3DAndRestart();
}

void TText3DArea::Texture_PasteExecute() {
  T3DTextParts& p = *text3D_;
  if (!text3DEditorReady_) return;
  TBitmap picture;
  try {
    if (!Clipboard().GetBitmap(picture)) return;
  } catch (const std::exception&) {
    return;  // a picture too large to hold is not a texture
  }
  {
    const TFillingScope filling(p);
    p.EditTextureFileName->clear();
    p.CheckBoxTexture->setChecked(true);
  }
  EnableTextureControls(true);
  p.State.TextureFileName.clear();
  p.State.TextureOn = 1.0;
  p.QelTexture1.SetFileName("");
  SetTextureBitmap(picture);
  ApplyText3DState();
  RedrawText3DView();
  StoreText3DAndRestart();
}

void TText3DArea::SetTextureBitmap(const TBitmap& picture) {
  T3DTextParts& p = *text3D_;
  TBitmap texture;
  if (!picture.Empty()) MakeTextureBitmap(picture, texture);
  p.QelTexture1.SetBitmap(&texture);
  // The output view renders with the same picture.
  p.Output.texture.SetBitmap(&texture);
  p.Output.texture.SetFileName(p.QelTexture1.FileName());
  ShowTextureThumbnail();
}

void TText3DArea::ShowTextureThumbnail() {
  T3DTextParts& p = *text3D_;
  p.ImageTexture->Bitmap().Assign(&p.QelTexture1.Bitmap());
  const TBitmap& texture = p.QelTexture1.Bitmap();
  const bool larger = texture.Width() > p.ImageTexture->width() || texture.Height() > p.ImageTexture->height();
  p.ImageTexture->SetCursor(larger ? crZoomCursor : crDefault);
  p.ImageTexture->update();
}

// A texture larger than its thumbnail shows at its own size in a window
// named after its file; any key closes it.
void TText3DArea::ImageTextureClick() {
  T3DTextParts& p = *text3D_;
  if (p.ImageTexture->Cursor() != crZoomCursor) return;
  TPreviewForm preview(&Window(), p.QelTexture1.Bitmap());
  preview.setWindowTitle(AnsiToQString(p.QelTexture1.FileName()));
  TAnyKeyCloses closer(preview);
  ShowModal(preview);
}

void TText3DArea::CheckBoxTextureClick() {
  T3DTextParts& p = *text3D_;
  if (p.Filling) return;
  const bool on = p.CheckBoxTexture->isChecked();
  EnableTextureControls(on);
  if (!text3DEditorReady_) return;
  p.State.TextureOn = on ? 1.0 : 0.0;
  ApplyText3DState();
  RedrawText3DView();
  StoreText3DAndRestart();
}

void TText3DArea::ScrollBarTextureRotZChange() {
  T3DTextParts& p = *text3D_;
  if (!text3DEditorReady_) return;
  const int position = p.ScrollBarTextureRotZ->value();
  if (position != TextureRotationZBarPosition(p.State.TextureRotationZ)) {
    p.State.TextureRotationZ = TextureRotationZForBar(position);
  }
  ApplyText3DState();
  RedrawText3DView();
  StoreText3DAndRestart();
}

// ---- The tabs -------------------------------------------------------------------------------------------

void TText3DArea::PageControl_3DTextChange() {
  T3DTextParts& p = *text3D_;
  StopText3DPreview();
  HideLightMarkers();
  TCursor cursor = crDefault;
  std::string hint;
  switch (p.PageControl_3DText->currentIndex()) {
    case 0:
      cursor = crZoomCursor;
      hint = "To increase text size - press left mouse button. To shrink text - press right mouse button.";
      break;
    case 1:
      cursor = crLightMoving;
      hint = "To change X or Y position - drag the light with the left mouse button. To change Z pos. - drag with "
             "right mouse button.";
      ShowCurrentLightMarkers();
      break;
    case 2:
      cursor = crRotate;
      hint = "To rotate around X or Y axises - drag with left mouse button. To rotate around Z axis - drag with "
             "right mouse button.";
      break;
    case 3:
      cursor = crSizeAll;
      hint = "Drag text to a desired position with left mouse button.";
      break;
    case 6:
      if (TFrame* frame = Text3DFrame(); frame != nullptr && CurrentScene() != nullptr) {
        timer3DAnimation_.SetInterval(std::max(1, frame->Duration() * CurrentScene()->Timer().Interval()));
      }
      break;
    default:
      break;
  }
  ApplyCursor(*p.QelView1Host, cursor);
  p.QelView1Host->setToolTip(AnsiToQString(hint));
  RedrawText3DView();
}

void TText3DArea::PageControl_3DTextMouseMove(int x, int y) {
  T3DTextParts& p = *text3D_;
  const int tab = p.PageControl_3DText->tabBar()->tabAt(QPoint(x, y));
  p.TabHint = tab < 0 ? std::string() : QStringToAnsi(p.PageControl_3DText->widget(tab)->property("Hint").toString());
}

bool TText3DArea::AppShowHint(std::string& HintStr, THintInfo& HintInfo) {
  HintInfo.HintMaxWidth = 200;
  HintInfo.ReshowTimeout = 0;
  if (text3D_ == nullptr || HintInfo.HintControl == nullptr ||
      HintInfo.HintControl != text3D_->PageControl_3DText->tabBar()) {
    return true;
  }
  HintInfo.ReshowTimeout = 500;
  HintStr = text3D_->TabHint;
  return !HintStr.empty();
}

TText3DArea::T3DTextParts::~T3DTextParts() {
  if (QelView1Host != nullptr) QelView1Host->SetView(nullptr);
}

// The panel keeps the width its layout gives it: the window's other parts
// (the documents' tiling) are laid out for that width.
void TText3DArea::FitPropertiesPanelToTextPage() {}
