// The sprite, frame and background pages of the main window, and the making
// of every page of this area (playback and the scene page are in
// MainFormPlayback.cpp, the motion and appearance pages in MainFormMotion.cpp).
#include "app/MainFormU.h"
#include "app/MainFormActions.h"
#include "app/MainFormGalleries.h"
#include "app/MainFormLayout.h"
#include "app/MainFormSettings.h"

#include "app/AnimationWindowU.h"
#include "app/MainForm3DTextParts.h"
#include "app/MainFormPagesParts.h"
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
  CreatePlaybackAndScenePage();
  CreateSpriteFrameBackgroundPages();
  CreateMotionAndAppearancePages();
}

void TMainForm::CreateSpriteFrameBackgroundPages() {
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
    if (!FillingFramePage) StepsPerFrameEditChange();
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

// ---- The sprite page ------------------------------------------------------------------------------

void TMainForm::LoadSpritePage() {
  TSprite* sprite = CurrentSprite();
  Layout().StepsTrackBar()->SetTimeLineCollection(sprite);
  if (sprite != nullptr) Edit_SpriteName->setText(QString::fromStdString(sprite->Name));
}

void TMainForm::Edit_SpriteNameChange() {
  TSprite* sprite = CurrentSprite();
  const std::string name = Edit_SpriteName->text().toStdString();
  if (sprite == nullptr || sprite->Name == name) return;
  sprite->Name = name;
  // A name has no undo record; the document still counts as changed.
  if (ActiveAnimationWindow() != nullptr) ActiveAnimationWindow()->SetModified(true);
  RebuildAnimationTree();
}

// ---- The frame page -------------------------------------------------------------------------------

void TMainForm::LoadFramePage() {
  TFrame* frame = CurrentFrame();
  if (frame == nullptr) return;
  FillingFramePage = true;
  SetButtonColor(ImageColorPanel, frame->TransparentColor());
  TransparencyCheckBox->setChecked(frame->Transparent());
  ImageColorPanel->setEnabled(frame->Transparent());
  StepsPerFrameEdit->SetValue(frame->Duration());
  FillingFramePage = false;
  if (frame->Kind == fkPicture) {
    Layout().NotebookFramePreview()->setCurrentIndex(0);
    ShowFramePreview();
  }
}

void TMainForm::ApplyFrameTransparency(TColor color, bool tickBox, int x, int y) {
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

void TMainForm::TransparencyCheckBoxClick() {
  if (FillingFramePage) return;
  ApplyFrameTransparency(ButtonColor(ImageColorPanel), false, -1, -1);
}

void TMainForm::ImageColorPanelClick() {
  if (CurrentSprite() == nullptr || CurrentFrame() == nullptr) return;
  const std::optional<TColor> color = Ui().ChooseColor(ButtonColor(ImageColorPanel));
  if (color) ApplyFrameTransparency(*color, true, -1, -1);
}

void TMainForm::StepsPerFrameEditChange() {
  TFrame* frame = CurrentFrame();
  if (frame == nullptr) return;
  frame->SetDuration(StepsPerFrameEdit->Value());
  if (CurrentScene() != nullptr) Text3DEditor().Timer3DAnimation().SetInterval(frame->Duration() * CurrentScene()->Timer().Interval());
}

void TMainForm::Sprite_SetTransparencyToAllFramesExecute() {
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

void TMainForm::Sprite_SetDurationToAllFramesExecute() {
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

void TMainForm::ShowFramePreview() {
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

bool TMainForm::PickUpToolOn() const { return NativeImage->Cursor() == crAirDrop; }

void TMainForm::ToolButton_PickUpColorClick() {
  const TCursor cursor = ToolButton_PickUpColor->isChecked() ? crAirDrop : crDefault;
  NativeImage->SetCursor(cursor);
  if (SimpleText_Image != nullptr) SimpleText_Image->SetCursor(cursor);
}

void TMainForm::NativeImageMouseDown(bool leftButton, int x, int y) {
  if (CurrentSprite() == nullptr || !leftButton) return;
  if (PickUpToolOn()) {
    ShowTrueColorNote();
    NativeImage->SetCursor(crDefault);
    if (SimpleText_Image != nullptr) SimpleText_Image->SetCursor(crDefault);
    ToolButton_PickUpColor->setChecked(false);
    TFrame* frame = CurrentFrame();
    if (Layout().NotebookFramePreview()->currentIndex() == 1 && frame != nullptr) {
      // The text page: the colour under the press in the picture it shows.
      const bool text3D = Notebook_3DorSimpleText->currentIndex() == 0;
      const TBitmap& shown = text3D ? Text3DEditor().Text3D().Image_3DText : SimpleText_Image->Bitmap();
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
  PreviewPressPoint = TPoint{x, y};
}

void TMainForm::ShowTrueColorNote() {
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

// The undo caption of frames added from picture files: that of the first
// file's kind, as the sprite records a single file of that kind.
std::string AddPicturesCaption(const std::string& fileName) {
  const std::string extension = UpperCaseAscii(ExtractFileExt(fileName));
  if (extension == ".GIF") return "Add .GIF Frame";
  if (extension == ".JPG" || extension == ".JPEG") return "Add .JPG Image";
  if (extension == ".AVI") return "Add .AVI Frame";
  return "Add .BMP picture";
}

void RecordBackground(TAnimatedScene& scene, const char* caption) {
  RecordUndo(urkSceneSettings, caption, false, 0, 0, uokWholeScene,
             [&scene](TStream& stream) { scene.SaveUncompressed(stream); });
}

}  // namespace

void TMainForm::LoadBackgroundPage() {
  if (CurrentScene() == nullptr) return;
  FillingBackgroundPage = true;
  FileNameEdit->setText(QString::fromStdString(CurrentScene()->BackgroundFile));
  PictureCheckBox->setChecked(!CurrentScene()->BackgroundFile.empty());
  SetButtonColor(Button_BackgroundStartColor, CurrentScene()->StartColor);
  SetButtonColor(Button_BackgroundFinishColor, CurrentScene()->FinishColor);
  Button_BackgroundFinishColor->setEnabled(!SameColorsCheckBox->isChecked());
  LoadBackgroundFillControls(*CurrentScene());
  FillingBackgroundPage = false;
  // The display type and the transparent background, shown by their own area.
  Galleries().LoadSceneCommandControls();
  Layout().StepsTrackBar()->SetTimeLineCollection(nullptr);
}

void TMainForm::PictureCheckBoxClick() {
  if (CurrentScene() == nullptr || FillingBackgroundPage || ActiveAnimationWindow() == nullptr) return;
  if (!PictureCheckBox->isChecked()) FileNameEdit->clear();
  const std::string fileName = FileNameEdit->text().toStdString();
  if (fileName == CurrentScene()->BackgroundFile && CurrentScene()->BackgroundMode == kBackgroundPicture) return;
  RecordBackground(*CurrentScene(), "Change Background");
  TAnimatedScene& scene = *CurrentScene();
  scene.SetBackground(false, kBackgroundPicture, fileName, scene.StartColor, scene.FinishColor,
                      scene.PicturePlacement, nullptr);
  RequestSceneRecompute();
}

void TMainForm::FileNameEditChange() {
  if (CurrentScene() == nullptr || FillingBackgroundPage || ActiveAnimationWindow() == nullptr) return;
  const std::string fileName = FileNameEdit->text().toStdString();
  if (fileName == CurrentScene()->BackgroundFile) return;
  if (!fileName.empty()) PictureCheckBox->setChecked(true);
  RecordBackground(*CurrentScene(), "Change Background");
  TAnimatedScene& scene = *CurrentScene();
  scene.SetBackground(false, kBackgroundPicture, fileName, scene.StartColor, scene.FinishColor,
                      scene.PicturePlacement, nullptr);
  RequestSceneRecompute();
}

void TMainForm::SameColorsCheckBoxClick() {
  Button_BackgroundFinishColor->setEnabled(!SameColorsCheckBox->isChecked());
  if (!SameColorsCheckBox->isChecked() || CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  SetButtonColor(Button_BackgroundFinishColor, ButtonColor(Button_BackgroundStartColor));
  if (CurrentScene()->FinishColor == CurrentScene()->StartColor) return;
  Galleries().BackgroundParameterChanged();
}

void TMainForm::Scene_Open_BackgroundExecute() {
  if (CurrentScene() == nullptr) return;
  FileDialogRequest request = SettingsArea().OpenFrameDlg();
  request.allowMultiSelect = false;
  const std::optional<FileDialogResult> chosen = Ui().ChooseOpenFile(request);
  if (!chosen) return;
  SettingsArea().OpenFrameDlg().initialDir = ExtractFilePath(chosen->fileName);
  FileNameEdit->setText(QString::fromStdString(chosen->fileName));
  FileNameEditChange();
}

void TMainForm::Scene_Paste_BackgroundExecute() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  TBitmap picture;
  picture.SetSize(10, 10);
  if (!Clipboard().GetBitmap(picture)) return;
  PictureCheckBox->setChecked(true);
  RecordBackground(*CurrentScene(), "Paste Background");
  TAnimatedScene& scene = *CurrentScene();
  scene.SetBackground(false, kBackgroundPicture, "Clipboard", scene.StartColor, scene.FinishColor,
                      scene.PicturePlacement, &picture);
  FillingBackgroundPage = true;
  FileNameEdit->setText("Clipboard");
  FillingBackgroundPage = false;
  RequestSceneRecompute();
}

void TMainForm::CopyBackground1Click() {
  if (CurrentScene() == nullptr) return;
  const TBusyCursor busy;
  Clipboard().SetBitmap(CurrentScene()->BackgroundBitmap);
}

void TMainForm::CopyBackgroundTo1Click() {
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

void TMainForm::ToolButton_Add_ImageClick() { Commands().PopupMenu_Add_Image->popup(QCursor::pos()); }

void TMainForm::Scene_Add_ImageExecute() {
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr) return;
  int index = 0;
  {
    // The sprite is recorded as added only once it holds frames.
    const TUndoRecordingPause pause;
    CurrentScene()->AddSprite(index);
  }
  SelectTreeNode(index, 1);
  Layout().StepsTrackBar()->SetTimeLineCollection(CurrentSprite());
  AddImageFrames(index);
}

void TMainForm::Sprite_Add_ImageExecute() { AddImageFrames(-1); }

void TMainForm::AddImageFrames(int newSpriteIndex) {
  TAnimationWindow* window = ActiveAnimationWindow();
  TSprite* sprite = CurrentSprite();
  if (window == nullptr || CurrentScene() == nullptr || sprite == nullptr) return;
  TAnimatedScene& scene = *CurrentScene();
  const int framesBefore = sprite->FrameCount();
  window->StopPlayback();
  struct TAddingGuard {
    TMainForm& form;
    TAnimationWindow& window;
    ~TAddingGuard() {
      form.AddingPictureFrames = false;
      window.ResumePlayback();
    }
  } guard{*this, *window};

  const auto rollBack = [&] {
    if (newSpriteIndex < 0 || framesBefore > 0) return;
    for (int i = 0; i < scene.SpriteCount(); ++i)
      if (&scene.Sprite(i) == sprite) {
        scene.ExtractSprite(i);
        break;
      }
    Layout().StepsTrackBar()->SetTimeLineCollection(nullptr);
    DetachCurrentSprite();
    SelectTreeNode(-1, 0);
  };

  FileDialogRequest request = SettingsArea().OpenFrameDlg();
  request.allowMultiSelect = true;
  const std::optional<FileDialogResult> chosen = Ui().ChooseOpenFile(request);
  if (!chosen || chosen->fileNames.empty()) {
    rollBack();
    return;
  }
  AddingPictureFrames = true;
  SettingsArea().OpenFrameDlg().initialDir = ExtractFilePath(chosen->fileName);
  std::optional<TSpriteSnapshot> snapshot;
  if (framesBefore > 0) snapshot.emplace(*sprite);
  std::string failedFile;
  {
    const TBusyCursor busy;
    const TUndoRecordingPause pause;
    for (const std::string& fileName : chosen->fileNames) {
      const int framesNow = sprite->FrameCount();
      if (!window->AddPictureFileFrames(fileName)) {
        // A file that could not be read adds no placeholder frame.
        while (sprite->FrameCount() > framesNow) sprite->DeleteFrameSilently(sprite->FrameCount() - 1);
        failedFile = fileName;
        break;
      }
    }
    if (sprite->FrameCount() > 0 && sprite->Motion().StepCount() == 0) sprite->Motion().AddStep();
  }
  if (!failedFile.empty())
    Ui().MessageBox(Handle(), "Cannot read the picture file \"" + failedFile + "\".", "Error", MB_ICONERROR);
  if (sprite->FrameCount() == framesBefore) {
    rollBack();
    return;
  }
  if (snapshot) {
    snapshot->Record(AddPicturesCaption(chosen->fileNames.front()));
  } else if (newSpriteIndex >= 0) {
    RecordUndo(urkSpriteList, "Add Sprite", false, newSpriteIndex, sprite->Id, uokAddedSprite, nullptr);
  }
  RebuildAnimationTree();
  PostMessage(Handle(), WM_ITEMADDED, 0, sprite->FrameCount() - 1);
  if (sprite->FrameCount() == 1) RequestSceneRecompute();
  RefreshCommandStates();
}
