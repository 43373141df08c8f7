// Galleries, presets, templates and the remaining scene commands of the
// main window: Import, Save As, recent files, the 88 x 31 size, sprites to
// the front or the back of all, the upgrade-check switch and the last step
// of shutting down.
#include "app/MainFormGalleries.h"

#include "app/MainFormU.h"
#include "app/MainFormFiles.h"
#include "app/MainFormTree.h"
#include "app/MainFormPages.h"
#include "app/MainFormMotion.h"
#include "app/MainFormPlayback.h"
#include "app/MainForm3DText.h"
#include "app/MainFormActions.h"
#include "app/MainFormLayout.h"
#include "app/MainFormSettings.h"

#include "app/AnimationWindowU.h"
#include "app/MainFormIcons.h"
#include "app/core/AddCommands.h"
#include "app/core/GalleryRules.h"
#include "app/core/SizeLimits.h"
#include "app/core/SpriteOrder.h"
#include "app/core/StarterSet.h"
#include "controls/AnimationPickerU.h"
#include "controls/UTimelineSlider.h"
#include "dialogs/TemplateFrmU.h"
#include "platform/ModalForms.h"
#include "platform/ProcessExit.h"
#include "platform/Registry.h"
#include "platform/SystemValues.h"
#include "platform/qtui/QtHints.h"
#include "platform/qtui/QtInput.h"
#include "qel3d/qelview.h"
#include "platform/SysUtils.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/Undo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QPixmap>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace {

constexpr const char* kUpgradeFailedText =
    "The checking for upgrade cannot be performed. Some files is missing or corrupted.";

int PositionOfSprite(const TAnimatedScene& scene, const TSprite* sprite) {
  for (int i = 0; i < scene.SpriteCount(); ++i)
    if (&scene.Sprite(i) == sprite) return i;
  return -1;
}

// A folder of the starter set under the program folder.
std::string ProgramSubfolder(const char* folder) { return System().ProgramFolder() + folder; }

// Moves a sprite node to a position among the root's children without the
// tree reporting the move as a new selection.
void PlaceNode(QTreeWidgetItem* node, int position) {
  QTreeWidgetItem* parent = node != nullptr ? node->parent() : nullptr;
  if (parent == nullptr) return;
  QTreeWidget* tree = node->treeWidget();
  const bool wasCurrent = tree != nullptr && tree->currentItem() == node;
  const QSignalBlocker quiet(tree);
  parent->takeChild(parent->indexOfChild(node));
  parent->insertChild(std::min(position, parent->childCount()), node);
  node->setExpanded(true);
  if (wasCurrent) tree->setCurrentItem(node);
}

}  // namespace

void TGalleriesArea::FormCreateScene() {
  Commands().SetCommandHandler(Commands().File_NewFromTemplate, [this] { File_NewFromTemplateExecute(); });
  Commands().SetCommandHandler(Commands().File_Import, [this] { File_ImportExecute(); });
  Commands().SetCommandHandler(Commands().File_Save_As, [this] { File_Save_AsExecute(); });
  Commands().SetCommandHandler(Commands().View_88x31, [this] { View_88x31Execute(); });
  Commands().SetCommandHandler(Commands().Scene_MovetoFrontOfAllSprites, [this] { Scene_MovetoFrontOfAllSpritesExecute(); });
  Commands().SetCommandHandler(Commands().Scene_MoveToBackOfAllSprites, [this] { Scene_MoveToBackOfAllSpritesExecute(); });
  Commands().SetCommandHandler(Commands().Motion_AddFromGallery, [this] { ShowMotionGallery(nullptr); });
  // The menu item ticks itself before its handler runs; the switch toggles
  // the mark itself (Check for Upgrade Now relies on that).
  Commands().SetCommandHandler(Commands().Checknewversion1, [this] {
    Commands().Checknewversion1->setChecked(!Commands().Checknewversion1->isChecked());
    Checknewversion1Click();
  });
  for (QAction* item : Commands().Presets1->actions()) item->setEnabled(true);
  CreateSceneCommandControls();
  // A burst of typing in the comment ends when the box is filled from the
  // scene or loses the focus.
  connect(Playback().CommentMemo(), &QPlainTextEdit::textChanged, this, [this] {
    if (Playback().FillingScenePage()) gifCommentBurst_ = {};
  });
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
    if (old == Playback().CommentMemo()) gifCommentBurst_ = {};
  });
}

void TGalleriesArea::CreateSceneCommandControls() {
  QWidget* backgroundPage = Layout().PropertyPage(ppBackground);
  radioBackgrounPictureType_ = new QGroupBox(" Display ", backgroundPage);
  radioBackgrounPictureType_->setObjectName("Radio_Backgroun_Picture_Type");
  auto* types = new QVBoxLayout(radioBackgrounPictureType_);
  const char* const captions[] = {"Center", "Tile", "Stretch"};
  for (std::size_t i = 0; i < backgroundPictureTypes_.size(); ++i) {
    QRadioButton* type = new QRadioButton(captions[i], radioBackgrounPictureType_);
    type->setObjectName(QString("Radio_Backgroun_Picture_Type_%1").arg(i));
    types->addWidget(type);
    backgroundPictureTypes_[i] = type;
    connect(type, &QRadioButton::clicked, this, [this] {
      if (!fillingSceneCommandControls_) BackgroundParameterChanged();
    });
  }
  // With the picture and its colours, above the fill settings.
  Layout().AddToPropertyPage(ppBackground, radioBackgrounPictureType_, FramePages().BackgroundPictureControls());

  // The transparent background is shown with the other background settings.
  backgroundIsTransparentCheckBox_ = new QCheckBox("Transparent", backgroundPage);
  backgroundIsTransparentCheckBox_->setObjectName("BackgroundIsTransparentCheckBox");
  ApplyHint(*backgroundIsTransparentCheckBox_, "|Sets the animation as transparent");
  transparentBackColorButton_ = new QPushButton("Transparent Color...", backgroundPage);
  transparentBackColorButton_->setObjectName("TransparentBackColor_Button");
  Layout().AddToPropertyPage(ppBackground, backgroundIsTransparentCheckBox_, radioBackgrounPictureType_);
  Layout().AddToPropertyPage(ppBackground, transparentBackColorButton_, backgroundIsTransparentCheckBox_);
  connect(backgroundIsTransparentCheckBox_, &QCheckBox::clicked, this, [this] {
    if (!fillingSceneCommandControls_) BackgroundIsTransparentCheckBoxClick();
  });
  connect(transparentBackColorButton_, &QPushButton::clicked, this, [this] { TransparentBackColor_ButtonClick(); });
  // The page fillers belong to the pages' area; these controls follow the
  // scene whenever a page is shown.
  connect(Layout().Notebook_Properties(), &QStackedWidget::currentChanged, this, [this] { LoadSceneCommandControls(); });
  LoadSceneCommandControls();
}

void TGalleriesArea::LoadSceneCommandControls() {
  fillingSceneCommandControls_ = true;
  const TAnimatedScene* scene = CurrentScene();
  const int placement = scene != nullptr ? scene->PicturePlacement : ppNone;
  for (std::size_t i = 0; i < backgroundPictureTypes_.size(); ++i)
    backgroundPictureTypes_[i]->setChecked(placement == static_cast<int>(i) + 1);
  const bool transparent = scene != nullptr && scene->TransparentBackground != 0;
  backgroundIsTransparentCheckBox_->setChecked(transparent);
  transparentBackColorButton_->setEnabled(transparent);
  if (scene != nullptr) SetButtonColor(*transparentBackColorButton_, scene->TransparentColor);
  fillingSceneCommandControls_ = false;
}

// ---- The background page and the transparent background --------------------------------------------------

void TGalleriesArea::BackgroundParameterChanged() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr || Tree().TreeChangeRunning()) return;
  TAnimatedScene& scene = *CurrentScene();
  int placement = ppNone;
  for (std::size_t i = 0; i < backgroundPictureTypes_.size(); ++i)
    if (backgroundPictureTypes_[i]->isChecked()) placement = static_cast<int>(i) + 1;
  RecordUndo(urkSceneSettings, "Change Background Properties", false, 0, 0, uokSceneSettings,
             [&scene](TStream& stream) { scene.SaveSettings(stream); });
  FramePages().StoreBackgroundFillControls(scene);
  // The arguments in the order the scene takes them: start colour, then finish colour.
  scene.SetBackground(false, bgmFillAndPicture, scene.BackgroundFile, scene.StartColor, scene.FinishColor, placement,
                      nullptr);
  RequestSceneRecompute();
}

// The flag is part of the scene's settings, so it is undone as they are.
void TGalleriesArea::BackgroundIsTransparentCheckBoxClick() {
  transparentBackColorButton_->setEnabled(backgroundIsTransparentCheckBox_->isChecked());
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  TAnimatedScene& scene = *CurrentScene();
  const std::uint8_t transparent = backgroundIsTransparentCheckBox_->isChecked() ? 1 : 0;
  if (scene.TransparentBackground == transparent) return;
  RecordUndo(urkSceneSettings, "Change Background Properties", false, 0, 0, uokSceneSettings,
             [&scene](TStream& stream) { scene.SaveSettings(stream); });
  scene.TransparentBackground = transparent;
}

void TGalleriesArea::TransparentBackColor_ButtonClick() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  TAnimatedScene& scene = *CurrentScene();
  const std::optional<TColor> chosen = Ui().ChooseColor(scene.TransparentColor);
  if (!chosen || *chosen == scene.TransparentColor) return;
  RecordUndo(urkSceneSettings, "Change Background Properties", false, 0, 0, uokSceneSettings,
             [&scene](TStream& stream) { scene.SaveSettings(stream); });
  scene.TransparentColor = *chosen;
  SetButtonColor(*transparentBackColorButton_, scene.TransparentColor);
}

// One entry for a burst of typing: the snapshot is taken before its first
// change, and a burst goes on only while its entry is still the log's last.
void TGalleriesArea::RecordGifCommentChange() {
  TAnimationWindow* window = ActiveAnimationWindow();
  TAnimatedScene* scene = CurrentScene();
  if (window == nullptr || scene == nullptr || window->Undo() == nullptr) return;
  TWindowUndo& log = *window->Undo();
  const bool burstGoesOn = gifCommentBurst_.Log == &log && !log.Empty() &&
                           gifCommentBurst_.LastRecordPosition == log.LastRecordPosition() &&
                           gifCommentBurst_.LogSize == log.Log().Size();
  if (burstGoesOn) {
    window->SetModified(true);
    return;
  }
  const std::int64_t sizeBefore = log.Log().Size();
  RecordUndo(urkSceneSettings, "Change Background Properties", false, 0, 0, uokSceneSettings,
             [scene](TStream& stream) { scene->SaveSettings(stream); });
  window->SetModified(true);
  // With recording paused or the log switched off there is no entry to go on with.
  const bool recorded = !log.Empty() && log.Log().Size() != sizeBefore;
  gifCommentBurst_ = recorded ? TGifCommentBurst{&log, log.LastRecordPosition(), log.Log().Size()} : TGifCommentBurst{};
}

void TGalleriesArea::FormDestroy() {
  if (QelReleaseFailed) TerminateProcess(0);
}

// ---- Templates, import, Save As and recent files -------------------------------------------------------

void TGalleriesArea::File_NewFromTemplateExecute() {
  TTemplateForm wizard(&Window());
  wizard.ShowWizardAtStartupBtn->setChecked(UserSettings().ShowWizardAtStartup);
  wizard.TemplateCommandCaption = Commands().File_NewFromTemplate->text().toStdString();
  wizard.StoreShowWizardAtStartup = [this](bool show) { UserSettings().ShowWizardAtStartup = show; };
  wizard.OnWWWAddressClick = [this] { Form().TimerRunCheckUpdate.SetEnabled(true); };
  if (ActiveAnimationWindow() != nullptr) ActiveAnimationWindow()->StopPlayback();
  const bool chosen = ShowModal(wizard) == mrOk && !wizard.TemplateFileName.empty();
  if (chosen) {
    Files().OpenInNewDocument(wizard.TemplateFileName);
  }
  if (ActiveAnimationWindow() != nullptr) ActiveAnimationWindow()->ResumePlayback();
}

void TGalleriesArea::File_ImportExecute() {
  const std::optional<FileDialogResult> chosen = Ui().ChooseOpenFile(SettingsArea().OpenExportDialog());
  if (!chosen) return;
  SettingsArea().OpenExportDialog().initialDir = ExtractFilePath(chosen->fileName);
  Files().OpenInNewDocument(chosen->fileName);
}

void TGalleriesArea::File_Save_AsExecute() {
  if (CurrentScene() != nullptr && ActiveAnimationWindow() != nullptr) ActiveAnimationWindow()->SaveAs();
}

void TGalleriesArea::OpenRecent(int index) {
  if (index < 0 || index >= static_cast<int>(SettingsArea().RecentFiles().Entries().size())) return;
  const std::string fileName = SettingsArea().RecentFiles().Entries()[static_cast<std::size_t>(index)];
  Files().OpenInNewDocument(fileName);
}

void TGalleriesArea::View_88x31Execute() { ApplyCanvasSize(88, 31); }

// A size the project reader could not open again is refused before the
// canvas takes it.
bool TGalleriesArea::ApplyCanvasSize(int width, int height) {
  if (ActiveAnimationWindow() == nullptr) return false;
  try {
    RequireSavableImageSize(width, height);
  } catch (const ESizeRefused& refused) {
    Ui().MessageBox(Handle(), refused.Message(), "Error", MB_ICONERROR);
    return false;
  }
  ActiveAnimationWindow()->SetCanvasSize(width, height);
  return true;
}

// ---- Sprites to the front or the back of all -----------------------------------------------------------

// The sprite is drawn last; the tree lists the front-most sprite first,
// right after "Background".
void TGalleriesArea::Scene_MovetoFrontOfAllSpritesExecute() {
  TSprite* sprite = CurrentSprite();
  TAnimationWindow* window = ActiveAnimationWindow();
  if (CurrentScene() == nullptr || sprite == nullptr || window == nullptr) return;
  const int old = PositionOfSprite(*CurrentScene(), sprite);
  const int last = CurrentScene()->SpriteCount() - 1;
  if (old < 0 || old == last) return;
  window->StopPlayback();
  QTreeWidgetItem* node = Tree().TreeNodeOfSprite(sprite);
  MoveSpriteToFrontOfAll(*CurrentScene(), old);
  Tree().DetachCurrentSprite();
  PlaceNode(node, 1);
  Tree().AnimationTreeChange();
  RefreshCommandStates();
  window->ResumePlayback();
  RequestSceneRecompute();
}

void TGalleriesArea::Scene_MoveToBackOfAllSpritesExecute() {
  TSprite* sprite = CurrentSprite();
  TAnimationWindow* window = ActiveAnimationWindow();
  if (CurrentScene() == nullptr || sprite == nullptr || window == nullptr) return;
  const int old = PositionOfSprite(*CurrentScene(), sprite);
  if (old <= 0) return;
  window->StopPlayback();
  QTreeWidgetItem* node = Tree().TreeNodeOfSprite(sprite);
  MoveSpriteToBackOfAll(*CurrentScene(), old);
  Tree().DetachCurrentSprite();
  if (node != nullptr && node->parent() != nullptr) PlaceNode(node, node->parent()->childCount());
  Tree().AnimationTreeChange();
  RefreshCommandStates();
  window->ResumePlayback();
  RequestSceneRecompute();
}

// ---- The upgrade-check switch ----------------------------------------------------------------------------

void TGalleriesArea::Checknewversion1Click() {
  Commands().Checknewversion1->setChecked(!Commands().Checknewversion1->isChecked());
  UserSettings().CheckNewVersion = Commands().Checknewversion1->isChecked();
  if (!UserSettings().CheckNewVersion) return;
  {
    // What the upgrade helper reads: check at once, whatever version it saw.
    TRegistry registry;
    registry.OpenKey(kSettingsKey, /*canCreate=*/true);
    registry.WriteInteger("LastTest", 0);
    registry.WriteString("CurrentVersion", "-1");
  }
  if (!SettingsArea().RunUpgradeCheck()) Ui().MessageBox(Handle(), kUpgradeFailedText, "Error", MB_OK | MB_ICONERROR);
}

// ---- Galleries -----------------------------------------------------------------------------------------

TAnimationPicker* TGalleriesArea::AnimationPicker1() {
  if (auto* picker = Window().findChild<TAnimationPicker*>("AnimationPicker1", Qt::FindDirectChildrenOnly)) return picker;
  auto* picker = new TAnimationPicker(&Window());
  picker->setObjectName("AnimationPicker1");
  return picker;
}

namespace {

// Shows the gallery of a folder; the chosen file, or empty when the user
// chose nothing (also Ok on an empty gallery).
std::string ChooseFromGallery(TAnimationPicker& picker, const std::string& folder, QWidget* anchor) {
  picker.Directory = folder;
  if (!picker.Execute(anchor)) return {};
  return picker.ChosenFileName();
}

}  // namespace

void TGalleriesArea::AnimationGalleryToolButtonClick(QWidget* anchor) {
  // An edit still waiting for its pause is the frame's own change, made
  // before the preset: rendered after it, it would overwrite what the
  // preset set (a frame without its animation flag takes one state for both).
  Text3DEditor().FlushText3DChange();
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  if (sprite == nullptr || frame == nullptr) return;
  const std::string fileName =
      ChooseFromGallery(*AnimationPicker1(), ProgramSubfolder(k3DAnimationPresetsFolder), anchor);
  if (fileName.empty()) return;
  const std::unique_ptr<TAnimatedScene> preset = LoadGalleryPreset(fileName);
  const TFrame* presetFrame = preset != nullptr ? PresetFirstFrame(*preset) : nullptr;
  if (presetFrame == nullptr || !ApplyAnimationPreset(*sprite, frame->Index(), *presetFrame)) return;
  // The editor shows the new states and the frame's picture is rendered again;
  // that is part of this change, not a change of its own.
  const TUndoRecordingPause pause;
  Text3DEditor().Load3DTextPage();
  if (TFrame* changed = CurrentFrame()) Text3DEditor().StoreText3DPicture(*changed);
  RequestSceneRecompute();
}

void TGalleriesArea::CollorGalleryToolButtonClick(QWidget* anchor) {
  Text3DEditor().FlushText3DChange();
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  if (sprite == nullptr || frame == nullptr) return;
  const std::string fileName = ChooseFromGallery(*AnimationPicker1(), ProgramSubfolder(kColorPresetsFolder), anchor);
  if (fileName.empty()) return;
  const std::unique_ptr<TAnimatedScene> preset = LoadGalleryPreset(fileName);
  const TFrame* presetFrame = preset != nullptr ? PresetFirstFrame(*preset) : nullptr;
  if (presetFrame == nullptr || !ApplyColorPreset(*sprite, frame->Index(), *presetFrame)) return;
  const TUndoRecordingPause pause;
  Text3DEditor().Load3DTextPage();
  if (TFrame* changed = CurrentFrame()) Text3DEditor().StoreText3DPicture(*changed);
  RequestSceneRecompute();
}

void TGalleriesArea::ShowMotionGallery(QWidget* anchor) {
  // A motion edit still waiting goes to the old path first; applied later it
  // would write the page's old values over the preset's first step.
  Motion().FlushMotionEdit();
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr) return;
  const std::string fileName = ChooseFromGallery(*AnimationPicker1(), ProgramSubfolder(kMotionPresetsFolder), anchor);
  if (fileName.empty()) return;
  const std::unique_ptr<TAnimatedScene> preset = LoadGalleryPreset(fileName);
  if (preset == nullptr) return;
  ApplyMotionPreset(*sprite, preset->Sprite(0).Motion());
  Motion().LoadMotionPage();
  RequestSceneRecompute();
}

// ---- Insert > Presets ----------------------------------------------------------------------------------

void TGalleriesArea::InsertPreset(QAction* item) {
  TAnimationWindow* window = ActiveAnimationWindow();
  if (item == nullptr || window == nullptr || CurrentScene() == nullptr) return;
  const std::string fileName = SettingsArea().PresetsFolder() + item->text().toStdString() + ".gif";
  window->StopPlayback();
  Tree().SetTreeChangeRunning(true);
  TAddedItem added;
  try {
    // A preset that cannot be read adds nothing: the sprite goes again.
    added = AddSpriteThen(*CurrentScene(), [&fileName](TSprite& sprite, TAddedItem&) {
      if (sprite.AddPictureFile(fileName, false, clWhite, -1, -1, false) < 0)
        throw Exception("The preset picture cannot be read.");
      AddDefaultStepWhenNone(sprite);
    });
  } catch (const std::exception&) {
    added = TAddedItem();
  }
  Tree().SetTreeChangeRunning(false);
  if (added.Sprite != nullptr) Tree().SetCurrentSprite(added.Sprite);
  RefreshCommandStates();
  Tree().RebuildAnimationTree();
  if (added.Sprite != nullptr) {
    PostMessage(Handle(), 1003, 0, added.Sprite->FrameCount() - 1);
    if (added.Sprite->FrameCount() == 1) RequestSceneRecompute();
  }
  window->ResumePlayback();
}
