// The sprite, frame and background pages of the main window, and the making
// of every page of this area (playback and the scene page are in
// MainFormPlayback.cpp, the motion and appearance pages in MainFormMotion.cpp).
#include "app/MainFormPages.h"
#include "app/MainFormU.h"
#include "app/MainFormShapes.h"
#include "app/MainFormMotion.h"
#include "app/MainFormActions.h"
#include "app/MainFormGalleries.h"
#include "app/MainFormLayout.h"
#include "app/MainFormPlayback.h"
#include "app/MainFormSettings.h"
#include "app/MainFormTree.h"

#include "app/AnimationWindowU.h"
#include "app/MainForm3DTextParts.h"
#include "app/MainFormPagesParts.h"
#include "app/core/PictureFrames.h"
#include "app/core/SpriteSnapshot.h"
#include "controls/Image.h"
#include "controls/My_SpinEdit.h"
#include "controls/UTimelineSlider.h"
#include "platform/Clipboard.h"
#include "platform/SystemValues.h"
#include "scene/Frame.h"
#include "imaging/utils.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "scene/Undo.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr const char* kColorProperty = "Color";

}  // namespace

QToolButton* MakeColorButton(QWidget* parent, const char* name) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setFixedSize(40, 20);
  return button;
}

// A colour button shows its colour and keeps it ($00BBGGRR) in a property.
void SetButtonColor(QToolButton* button, TColor color) {
  button->setProperty(kColorProperty, static_cast<unsigned>(color));
  button->setStyleSheet(QString("background-color: #%1%2%3")
                            .arg(color & 0xFF, 2, 16, QChar('0'))
                            .arg((color >> 8) & 0xFF, 2, 16, QChar('0'))
                            .arg((color >> 16) & 0xFF, 2, 16, QChar('0')));
}

TColor ButtonColor(const QToolButton* button) { return static_cast<TColor>(button->property(kColorProperty).toUInt()); }

void TMainForm::FormCreatePages() {
  Playback().CreatePlaybackAndScenePage();
  FramePages().CreateSpriteFrameBackgroundPages();
  Motion().CreateMotionAndAppearancePages();
}

void TFramePagesArea::CreateSpriteFrameBackgroundPages() {
  // The sprite page.
  auto* spriteContent = new QWidget(Layout().PropertyPage(ppSprite));
  auto* spriteForm = new QFormLayout(spriteContent);
  Edit_SpriteName = new QLineEdit(spriteContent);
  Edit_SpriteName->setObjectName("Edit_SpriteName");
  spriteForm->addRow("Name:", Edit_SpriteName);
  Layout().AddToPropertyPage(ppSprite, spriteContent);
  connect(Edit_SpriteName, &QLineEdit::textEdited, this, [this] { Edit_SpriteNameChange(); });

  // The frame page's common part, above the preview pages.
  QWidget* framePage = Layout().PropertyPage(ppFrame);
  auto* frameContent = new QWidget(framePage);
  auto* frameForm = new QFormLayout(frameContent);
  TransparencyCheckBox = new QCheckBox("Transparent", frameContent);
  TransparencyCheckBox->setObjectName("TransparencyCheckBox");
  ImageColorPanel = MakeColorButton(frameContent, "ImageColorPanel");
  StepsPerFrameEdit = new TSpinEdit(frameContent);
  StepsPerFrameEdit->setObjectName("StepsPerFrameEdit");
  StepsPerFrameEdit->SetMinValue(1);
  StepsPerFrameEdit->SetMaxValue(100000);
  StepsPerFrameEdit->setFixedWidth(80);
  ToolButton_PickUpColor = new QToolButton(frameContent);
  ToolButton_PickUpColor->setObjectName("ToolButton_PickUpColor");
  ToolButton_PickUpColor->setCheckable(true);
  ToolButton_PickUpColor->setToolTip("Pick Up Transparent Color");
  ToolButton_PickUpColor->setIcon(Commands().Sprite_PickTransparentColor->icon());
  if (Commands().Sprite_PickTransparentColor->icon().isNull()) ToolButton_PickUpColor->setText("Pick");
  frameForm->addRow(TransparencyCheckBox, ImageColorPanel);
  frameForm->addRow("Duration (steps):", StepsPerFrameEdit);
  frameForm->addRow("Pick up:", ToolButton_PickUpColor);
  EditPaletteButton = new QToolButton(frameContent);
  EditPaletteButton->setObjectName("EditPaletteButton");
  EditPaletteButton->setText("Palette...");
  frameForm->addRow("Colors:", EditPaletteButton);
  connect(EditPaletteButton, &QToolButton::clicked, this, [this] { EditPaletteButtonClick(); });
  static_cast<QVBoxLayout*>(framePage->layout())->insertWidget(0, frameContent);
  connect(TransparencyCheckBox, &QCheckBox::clicked, this, [this] { TransparencyCheckBoxClick(); });
  connect(ImageColorPanel, &QToolButton::clicked, this, [this] { ImageColorPanelClick(); });
  connect(StepsPerFrameEdit, &QLineEdit::textChanged, this, [this] {
    if (!fillingFramePage_) StepsPerFrameEditChange();
  });
  connect(ToolButton_PickUpColor, &QToolButton::clicked, this, [this] { ToolButton_PickUpColorClick(); });

  // The picture preview (frame preview page 0).
  QWidget* picturePage = Layout().NotebookFramePreview()->widget(0);
  PreviewScrollBox = new QScrollArea(picturePage);
  PreviewScrollBox->setObjectName("PreviewScrollBox");
  NativeImage = new TImage(PreviewScrollBox);
  NativeImage->setObjectName("NativeImage");
  PreviewScrollBox->setWidget(NativeImage);
  picturePage->layout()->addWidget(PreviewScrollBox);
  NativeImage->OnMouseDown = [this](QObject*, TMouseButton button, TShiftState, int x, int y) {
    NativeImageMouseDown(button == mbLeft, x, y);
  };

  // The background page.
  auto* backgroundContent = new QWidget(Layout().PropertyPage(ppBackground));
  auto* backgroundForm = new QFormLayout(backgroundContent);
  PictureCheckBox = new QCheckBox("Picture", backgroundContent);
  PictureCheckBox->setObjectName("PictureCheckBox");
  FileNameEdit = new QLineEdit(backgroundContent);
  FileNameEdit->setObjectName("FileNameEdit");
  SameColorsCheckBox = new QCheckBox("Same colors", backgroundContent);
  SameColorsCheckBox->setObjectName("SameColorsCheckBox");
  Button_BackgroundStartColor = MakeColorButton(backgroundContent, "Button_BackgroundStartColor");
  Button_BackgroundFinishColor = MakeColorButton(backgroundContent, "Button_BackgroundFinishColor");
  backgroundForm->addRow(PictureCheckBox, FileNameEdit);
  backgroundForm->addRow("Start color:", Button_BackgroundStartColor);
  backgroundForm->addRow("Finish color:", Button_BackgroundFinishColor);
  backgroundForm->addRow(SameColorsCheckBox);
  Layout().AddToPropertyPage(ppBackground, backgroundContent);
  CreateBackgroundFillControls(*Layout().PropertyPage(ppBackground));
  connect(PictureCheckBox, &QCheckBox::clicked, this, [this] { PictureCheckBoxClick(); });
  // The file name applies when editing ends, so typing a path records one entry.
  connect(FileNameEdit, &QLineEdit::editingFinished, this, [this] { FileNameEditChange(); });
  connect(SameColorsCheckBox, &QCheckBox::clicked, this, [this] { SameColorsCheckBoxClick(); });

  Commands().SetCommandHandler(Commands().Sprite_SetTransparencyToAllFrames, [this] { Sprite_SetTransparencyToAllFramesExecute(); });
  Commands().SetCommandHandler(Commands().Sprite_SetDurationToAllFrames, [this] { Sprite_SetDurationToAllFramesExecute(); });
  Commands().SetCommandHandler(Commands().Sprite_PickTransparentColor, [this] { ToolButton_PickUpColor->click(); });
  Commands().SetCommandHandler(Commands().Scene_Open_Background, [this] { Scene_Open_BackgroundExecute(); });
  Commands().SetCommandHandler(Commands().Scene_Paste_Background, [this] { Scene_Paste_BackgroundExecute(); });
  Commands().SetCommandHandler(Commands().Scene_BackgroundCopy, [this] { CopyBackground1Click(); });
  Commands().SetCommandHandler(Commands().Scene_BackgroundCopyTo, [this] { CopyBackgroundTo1Click(); });
  Commands().SetCommandHandler(Commands().Scene_Add_Image, [this] { Scene_Add_ImageExecute(); });
  Commands().SetCommandHandler(Commands().Sprite_Add_Image, [this] { Sprite_Add_ImageExecute(); });
  connect(Commands().ToolButton_Add_Image, &QToolButton::clicked, this, [this] { ToolButton_Add_ImageClick(); });
}

void TFramePagesArea::ClearEntryGuards() {
  fillingFramePage_ = false;
  fillingBackgroundPage_ = false;
  addingPictureFrames_ = false;
}

QWidget* TFramePagesArea::BackgroundPictureControls() const { return PictureCheckBox->parentWidget(); }

// ---- The sprite page ------------------------------------------------------------------------------

void TFramePagesArea::LoadSpritePage() {
  TSprite* sprite = CurrentSprite();
  Layout().StepsTrackBar()->SetTimeLineCollection(sprite);
  if (sprite != nullptr) Edit_SpriteName->setText(QString::fromStdString(sprite->Name));
}

void TFramePagesArea::Edit_SpriteNameChange() {
  TSprite* sprite = CurrentSprite();
  const std::string name = Edit_SpriteName->text().toStdString();
  if (sprite == nullptr || sprite->Name == name) return;
  sprite->Name = name;
  // A name has no undo record; the document still counts as changed.
  if (ActiveAnimationWindow() != nullptr) ActiveAnimationWindow()->SetModified(true);
  Tree().RebuildAnimationTree();
}

// ---- The frame page -------------------------------------------------------------------------------

void TFramePagesArea::LoadFramePage() {
  TFrame* frame = CurrentFrame();
  if (frame == nullptr) return;
  fillingFramePage_ = true;
  SetButtonColor(ImageColorPanel, frame->TransparentColor());
  TransparencyCheckBox->setChecked(frame->Transparent());
  ImageColorPanel->setEnabled(frame->Transparent());
  StepsPerFrameEdit->SetValue(frame->Duration());
  fillingFramePage_ = false;
  if (frame->Kind == fkPicture) {
    Layout().NotebookFramePreview()->setCurrentIndex(0);
    ShowFramePreview();
  }
}

void TFramePagesArea::ApplyFrameTransparency(TColor color, bool tickBox, int x, int y) {
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  if (sprite == nullptr || frame == nullptr) return;
  if (tickBox) TransparencyCheckBox->setChecked(true);
  const bool transparent = TransparencyCheckBox->isChecked();
  frame->SetTransparentColor(color);
  frame->SetTransparent(transparent);
  frame->Picture.RestoreImage();
  TBitmap picture;
  picture.Assign(&frame->Picture);
  frame->SetPicture(picture, transparent, color, x, y);
  frame->Picture.SaveAndRelease();
  frame->DisplayImage.SaveAndRelease();
  SetButtonColor(ImageColorPanel, frame->TransparentColor());
  ImageColorPanel->setEnabled(transparent);
  for (int i = 0; i < sprite->FrameCount(); ++i)
    if (&sprite->Frame(i) == frame) sprite->SetCurrentFrameIndex(i);
  ShowFramePreview();
  RequestSceneRecompute();
}

void TFramePagesArea::TransparencyCheckBoxClick() {
  if (fillingFramePage_) return;
  ApplyFrameTransparency(ButtonColor(ImageColorPanel), false, -1, -1);
}

void TFramePagesArea::ImageColorPanelClick() {
  if (CurrentSprite() == nullptr || CurrentFrame() == nullptr) return;
  const std::optional<TColor> color = Ui().ChooseColor(ButtonColor(ImageColorPanel));
  if (color) ApplyFrameTransparency(*color, true, -1, -1);
}

void TFramePagesArea::StepsPerFrameEditChange() {
  TFrame* frame = CurrentFrame();
  if (frame == nullptr) return;
  frame->SetDuration(StepsPerFrameEdit->Value());
  if (CurrentScene() != nullptr)
    Text3DEditor().Timer3DAnimation().SetInterval(frame->Duration() * CurrentScene()->Timer().Interval());
}

void TFramePagesArea::Sprite_SetTransparencyToAllFramesExecute() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || sprite->FrameCount() == 0) return;
  const TBusyCursor busy;
  RecordSpriteSnapshot(*sprite, "Set Transparency to All Frames");
  const TUndoRecordingPause pause;
  const bool transparent = TransparencyCheckBox->isChecked();
  const TColor color = ButtonColor(ImageColorPanel);
  const int last = sprite->FrameCount() - 1;
  for (int i = 0; i <= last; ++i) {
    TFrame& frame = sprite->Frame(i);
    frame.StoreTransparency(transparent, color);
    frame.Picture.RestoreImage();
    TBitmap picture;
    picture.Assign(&frame.Picture);
    frame.SetPicture(picture, transparent, color, -1, -1);
    frame.Picture.SaveAndRelease();
    frame.DisplayImage.SaveAndRelease();
    ShowProgress(i, last);
    if (CancelFlag != 0) break;
  }
  RequestSceneRecompute();
}

void TFramePagesArea::Sprite_SetDurationToAllFramesExecute() {
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || sprite->FrameCount() == 0) return;
  const TBusyCursor busy;
  RecordSpriteSnapshot(*sprite, "Set Duration to All Frames");
  const TUndoRecordingPause pause;
  const int last = sprite->FrameCount() - 1;
  for (int i = 0; i <= last; ++i) {
    sprite->Frame(i).StoreDuration(StepsPerFrameEdit->Value());
    ShowProgress(i, last);
    if (CancelFlag != 0) break;
  }
  RequestSceneRecompute();
}

void TFramePagesArea::ShowFramePreview() {
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  if (sprite == nullptr || sprite->FrameCount() == 0 || frame == nullptr) return;
  frame->Picture.RestoreImage();
  const int width = std::max(frame->ImageWidth, frame->Picture.Width());
  const int height = std::max(frame->ImageHeight, frame->Picture.Height());
  TBitmap& bitmap = NativeImage->Bitmap();
  bitmap.SetSize(width + 2, height + 2);
  NativeImage->SetBounds(0, 0, width + 2, height + 2);
  NativeImage->setFixedSize(width + 2, height + 2);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().Color = clWhite;
  canvas.Brush().Style = bsSolid;
  canvas.Pen().Color = clBlack;
  canvas.Pen().Style = psDot;
  canvas.Rectangle(0, 0, width + 2, height + 2);
  canvas.Pen().Style = psSolid;
  canvas.Brush().Color = clBtnFace;
  canvas.FillRect(Rect(1, 1, width + 1, height + 1));
  frame->Draw(bitmap, 1, 1.0, 1.0, 1, 0, 0, 100.0);
  frame->Picture.SaveAndRelease();
  NativeImage->Invalidate();
}

bool TFramePagesArea::PickUpToolOn() const { return NativeImage->Cursor() == crAirDrop; }

void TFramePagesArea::ToolButton_PickUpColorClick() {
  const TCursor cursor = ToolButton_PickUpColor->isChecked() ? crAirDrop : crDefault;
  NativeImage->SetCursor(cursor);
  if (Shapes().SimpleTextImage() != nullptr) Shapes().SimpleTextImage()->SetCursor(cursor);
}

void TFramePagesArea::NativeImageMouseDown(bool leftButton, int x, int y) {
  if (CurrentSprite() == nullptr || !leftButton) return;
  if (PickUpToolOn()) {
    ShowTrueColorNote();
    NativeImage->SetCursor(crDefault);
    if (Shapes().SimpleTextImage() != nullptr) Shapes().SimpleTextImage()->SetCursor(crDefault);
    ToolButton_PickUpColor->setChecked(false);
    TFrame* frame = CurrentFrame();
    if (Layout().NotebookFramePreview()->currentIndex() == 1 && frame != nullptr) {
      // The text page: the colour under the press in the picture it shows.
      const bool text3D = Shapes().TextKindPages()->currentIndex() == 0;
      const TBitmap& shown = text3D ? Text3DEditor().Text3D().Image_3DText : Shapes().SimpleTextImage()->Bitmap();
      if (x >= 0 && y >= 0 && x < shown.Width() && y < shown.Height())
        ApplyFrameTransparency(shown.Pixel(x, y), true, -1, -1);
    } else if (Layout().NotebookFramePreview()->currentIndex() == 0 && frame != nullptr) {
      // The preview draws the picture inside a 1-pixel border.
      const int pictureX = x - 1;
      const int pictureY = y - 1;
      frame->Picture.RestoreImage();
      const TBitmap& picture = frame->Picture;
      const bool inside = pictureX >= 0 && pictureY >= 0 && pictureX < picture.Width() && pictureY < picture.Height();
      if (inside) {
        const TColor color = picture.Pixel(pictureX, pictureY);
        ApplyFrameTransparency(color, true, pictureX, pictureY);
      }
      frame->Picture.SaveAndRelease();
    }
  }
  previewPressPoint_ = TPoint{x, y};
}

void TFramePagesArea::ShowTrueColorNote() {
  const int bits = System().ScreenBitsPerPixel();
  if (bits >= 24 || UserSettings().NeverAskAbout24BitColors) return;
  const std::string n = std::to_string(bits);
  const std::string text = "Your display supports " + n + " bit colors" + "\r" +
                           "but the transparent tool works properly" + "\r" + "with 24 bit colors palette at least." +
                           "\r" + "If you cannot get a true transparency of" + "\r" +
                           "your image, you need to change color palette." + "\r" + "\r" +
                           "To change color palette:" + "\r" + "\r" +
                           "1. From the Control Panel, choose the Display icon." + "\r" + "2. Select Settings tab." +
                           "\r" + "3. In the Color Palette list, select at least 24 bit colors.";
  UserSettings().NeverAskAbout24BitColors = Ui().ShowNote("Warning", text);
}

// ---- The background page ----------------------------------------------------------------------------

namespace {

constexpr std::int32_t kBackgroundPicture = bgmFillAndPicture;

void RecordBackground(TAnimatedScene& scene, const char* caption) {
  RecordUndo(urkSceneSettings, caption, false, 0, 0, uokWholeScene,
             [&scene](TStream& stream) { scene.SaveUncompressed(stream); });
}

}  // namespace

void TFramePagesArea::LoadBackgroundPage() {
  if (CurrentScene() == nullptr) return;
  fillingBackgroundPage_ = true;
  FileNameEdit->setText(QString::fromStdString(CurrentScene()->BackgroundFile));
  PictureCheckBox->setChecked(!CurrentScene()->BackgroundFile.empty());
  SetButtonColor(Button_BackgroundStartColor, CurrentScene()->StartColor);
  SetButtonColor(Button_BackgroundFinishColor, CurrentScene()->FinishColor);
  Button_BackgroundFinishColor->setEnabled(!SameColorsCheckBox->isChecked());
  LoadBackgroundFillControls(*CurrentScene());
  fillingBackgroundPage_ = false;
  // The display type and the transparent background, shown by their own area.
  Galleries().LoadSceneCommandControls();
  Layout().StepsTrackBar()->SetTimeLineCollection(nullptr);
}

void TFramePagesArea::PictureCheckBoxClick() {
  if (CurrentScene() == nullptr || fillingBackgroundPage_ || ActiveAnimationWindow() == nullptr) return;
  if (!PictureCheckBox->isChecked()) FileNameEdit->clear();
  const std::string fileName = FileNameEdit->text().toStdString();
  if (fileName == CurrentScene()->BackgroundFile && CurrentScene()->BackgroundMode == kBackgroundPicture) return;
  RecordBackground(*CurrentScene(), "Change Background");
  TAnimatedScene& scene = *CurrentScene();
  scene.SetBackground(false, kBackgroundPicture, fileName, scene.StartColor, scene.FinishColor,
                      scene.PicturePlacement, nullptr);
  RequestSceneRecompute();
}

void TFramePagesArea::FileNameEditChange() {
  if (CurrentScene() == nullptr || fillingBackgroundPage_ || ActiveAnimationWindow() == nullptr) return;
  const std::string fileName = FileNameEdit->text().toStdString();
  if (fileName == CurrentScene()->BackgroundFile) return;
  if (!fileName.empty()) PictureCheckBox->setChecked(true);
  RecordBackground(*CurrentScene(), "Change Background");
  TAnimatedScene& scene = *CurrentScene();
  scene.SetBackground(false, kBackgroundPicture, fileName, scene.StartColor, scene.FinishColor,
                      scene.PicturePlacement, nullptr);
  RequestSceneRecompute();
}

void TFramePagesArea::SameColorsCheckBoxClick() {
  Button_BackgroundFinishColor->setEnabled(!SameColorsCheckBox->isChecked());
  if (!SameColorsCheckBox->isChecked() || CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  SetButtonColor(Button_BackgroundFinishColor, ButtonColor(Button_BackgroundStartColor));
  if (CurrentScene()->FinishColor == CurrentScene()->StartColor) return;
  Galleries().BackgroundParameterChanged();
}

void TFramePagesArea::Scene_Open_BackgroundExecute() {
  if (CurrentScene() == nullptr) return;
  FileDialogRequest request = SettingsArea().OpenFrameDlg();
  request.allowMultiSelect = false;
  const std::optional<FileDialogResult> chosen = Ui().ChooseOpenFile(request);
  if (!chosen) return;
  SettingsArea().OpenFrameDlg().initialDir = ExtractFilePath(chosen->fileName);
  FileNameEdit->setText(QString::fromStdString(chosen->fileName));
  FileNameEditChange();
}

void TFramePagesArea::Scene_Paste_BackgroundExecute() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  TBitmap picture;
  picture.SetSize(10, 10);
  if (!Clipboard().GetBitmap(picture)) return;
  PictureCheckBox->setChecked(true);
  RecordBackground(*CurrentScene(), "Paste Background");
  TAnimatedScene& scene = *CurrentScene();
  scene.SetBackground(false, kBackgroundPicture, "Clipboard", scene.StartColor, scene.FinishColor,
                      scene.PicturePlacement, &picture);
  fillingBackgroundPage_ = true;
  FileNameEdit->setText("Clipboard");
  fillingBackgroundPage_ = false;
  RequestSceneRecompute();
}

void TFramePagesArea::CopyBackground1Click() {
  if (CurrentScene() == nullptr) return;
  const TBusyCursor busy;
  Clipboard().SetBitmap(CurrentScene()->BackgroundBitmap);
}

void TFramePagesArea::CopyBackgroundTo1Click() {
  if (CurrentScene() == nullptr) return;
  FileDialogRequest request = SettingsArea().SaveGIFDialog();
  request.filter = "Bitmap files (*.bmp)|*.bmp";
  request.filterIndex = 1;
  request.defaultExt = "bmp";
  const std::optional<FileDialogResult> chosen = Ui().ChooseSaveFile(request);
  if (!chosen || chosen->fileName.empty()) return;
  SettingsArea().SaveGIFDialog().initialDir = ExtractFilePath(chosen->fileName);
  std::string fileName = chosen->fileName;
  if (UpperCaseAscii(ExtractFileExt(fileName)) != ".BMP") fileName = ChangeFileExt(fileName, ".bmp");
  CurrentScene()->BackgroundBitmap.SaveToFile(fileName);
}

// ---- Adding picture frames ----------------------------------------------------------------------------

void TFramePagesArea::ToolButton_Add_ImageClick() { Commands().PopupMenu_Add_Image->popup(QCursor::pos()); }

void TFramePagesArea::Scene_Add_ImageExecute() {
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr) return;
  int index = 0;
  {
    // The sprite is recorded as added only once it holds frames.
    const TUndoRecordingPause pause;
    CurrentScene()->AddSprite(index);
  }
  Tree().SelectTreeNode(index, 1);
  Layout().StepsTrackBar()->SetTimeLineCollection(CurrentSprite());
  AddImageFrames(index);
}

void TFramePagesArea::Sprite_Add_ImageExecute() { AddImageFrames(-1); }

void TFramePagesArea::AddImageFrames(int newSpriteIndex) {
  TAnimationWindow* window = ActiveAnimationWindow();
  TSprite* sprite = CurrentSprite();
  if (window == nullptr || CurrentScene() == nullptr || sprite == nullptr) return;
  TAnimatedScene& scene = *CurrentScene();
  window->StopPlayback();
  struct TAddingGuard {
    bool& adding;
    TAnimationWindow& window;
    ~TAddingGuard() {
      adding = false;
      window.ResumePlayback();
    }
  } guard{addingPictureFrames_, *window};
  // A new sprite taken out again leaves the tree without a current sprite.
  const auto showRemoved = [this] {
    Layout().StepsTrackBar()->SetTimeLineCollection(nullptr);
    Tree().DetachCurrentSprite();
    Tree().SelectTreeNode(-1, 0);
  };

  FileDialogRequest request = SettingsArea().OpenFrameDlg();
  request.allowMultiSelect = true;
  const std::optional<FileDialogResult> chosen = Ui().ChooseOpenFile(request);
  if (!chosen || chosen->fileNames.empty()) {
    if (RemoveSpriteWithoutFrames(scene, *sprite, newSpriteIndex >= 0)) showRemoved();
    return;
  }
  addingPictureFrames_ = true;
  SettingsArea().OpenFrameDlg().initialDir = ExtractFilePath(chosen->fileName);
  TPictureFramesAdded added;
  {
    const TBusyCursor busy;
    added = AddPictureFrames(
        scene, *sprite, newSpriteIndex, chosen->fileNames,
        [window](const std::string& fileName) { return window->AddPictureFileFrames(fileName); },
        [this](const std::string& failedFile) {
          Ui().MessageBox(Handle(), "Cannot read the picture file \"" + failedFile + "\".", "Error", MB_ICONERROR);
        });
  }
  if (added.SpriteRemoved) showRemoved();
  if (added.FramesAdded == 0) return;
  Tree().RebuildAnimationTree();
  PostMessage(Handle(), WM_ITEMADDED, 0, sprite->FrameCount() - 1);
  if (sprite->FrameCount() == 1) RequestSceneRecompute();
  RefreshCommandStates();
}
