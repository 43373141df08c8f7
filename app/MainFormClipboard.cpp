// The clipboard commands of the main window: sprites, frames and motion
// paths copied, cut and pasted in the private format, bitmaps pasted as
// frames, and the scene, its background and the current frame copied as a
// bitmap or written to a BMP file. The blobs are made and read (as hostile
// bytes) in app/core/ClipboardBlob.
#include "app/MainFormEffects.h"

#include "app/MainFormU.h"
#include "app/MainFormTree.h"
#include "app/MainFormShapes.h"
#include "app/MainFormMotion.h"

#include "app/AnimationWindowU.h"
#include "app/core/ClipboardBlob.h"
#include "controls/Image.h"
#include "platform/Clipboard.h"
#include "platform/SysUtils.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"

#include <QAction>
#include <QTreeWidget>

#include <exception>
#include <filesystem>
#include <optional>

namespace {

// The node kinds whose copy needs the current sprite: the sprite, its
// frames and its path's nodes.
bool CopiesSpriteContent(int nodeKind) {
  switch (nodeKind) {
    case TTreeArea::nkSprite:
    case TTreeArea::nkPictureFrame:
    case TTreeArea::nkTextFrame:
    case TTreeArea::nkRectangleFrame:
    case TTreeArea::nkEllipseFrame:
    case TTreeArea::nkLineFrame:
    case TTreeArea::nkMotion:
    case TTreeArea::nkOpacity:
    case TTreeArea::nkShadow:
      return true;
    default:
      return false;
  }
}

std::string_view BlobBytes(const TClipboardBlob& blob) {
  return {reinterpret_cast<const char*>(blob.data()), blob.size()};
}

// The chosen name with the extension ".bmp" (replacing any other).
std::string WithBmpExtension(const std::string& fileName) {
  return std::filesystem::path(fileName).replace_extension(".bmp").string();
}

// A paste sets the add-in-progress flag, so that the pages write nothing
// while the tree catches up; message 1003 clears it once the new item is
// selected. A paste that adds nothing clears it at once, and one that fails
// part-way still shows the scene as it now is.
class TPasteScope {
 public:
  explicit TPasteScope(TMainFormContext& editor) : editor_(editor), exceptions_(std::uncaught_exceptions()) {
    editor_.Shapes().AddInProgress() = true;
  }
  ~TPasteScope() {
    if (posted_) return;
    editor_.Shapes().AddInProgress() = false;
    if (std::uncaught_exceptions() == exceptions_) return;
    try {
      ShowScene();
    } catch (const std::exception&) {
      // The first failure is the one reported.
    }
  }
  TPasteScope(const TPasteScope&) = delete;
  TPasteScope& operator=(const TPasteScope&) = delete;

  // The paste is done: the tree is rebuilt and message 1003 selects the
  // frame of that index (the root for -1).
  void Finish(int frameIndex) {
    editor_.Tree().RebuildAnimationTree();
    PostMessage(editor_.Handle(), WM_ITEMADDED, 0, frameIndex);
    posted_ = true;
    editor_.RequestSceneRecompute();
    editor_.RefreshCommandStates();
  }

 private:
  void ShowScene() {
    editor_.Tree().RebuildAnimationTree();
    editor_.RequestSceneRecompute();
    editor_.RefreshCommandStates();
  }

  TMainFormContext& editor_;
  int exceptions_;
  bool posted_ = false;
};

}  // namespace

// ---- Copy, cut and paste -----------------------------------------------------------------------------

void TEffectsArea::Edit_CopyExecute() {
  QTreeWidgetItem* node = Tree().ShownTree()->currentItem();
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr || node == nullptr || ClipboardFormat() == 0)
    return;
  const int kind = TTreeArea::NodeKind(node);
  TSprite* sprite = CurrentSprite();
  TClipboardBlob blob;
  if (CopiesSpriteContent(kind)) {
    if (sprite == nullptr) return;
    blob = CopyBlobForNode(kind, *sprite, CurrentFrame());
  } else {
    // The scene, the background and the appearance nodes copy no object:
    // the blob is its size field alone, holding 4.
    blob = {4, 0, 0, 0};
  }
  Clipboard().SetBlock(ClipboardFormat(), BlobBytes(blob));
}

void TEffectsArea::Edit_CutExecute() {
  // Without the private format nothing could be copied: nothing is deleted either.
  if (ClipboardFormat() == 0) return;
  Edit_CopyExecute();
  Tree().Scene_Delete_SomethingExecute();
}

void TEffectsArea::Edit_Paste1Execute() {
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr) return;
  TClipboard& clipboard = Clipboard();
  if (clipboard.HasFormat(CF_BITMAP)) PasteBitmapFrame();
  const UINT format = ClipboardFormat();
  const std::optional<std::string> block = format != 0 ? clipboard.GetBlock(format) : std::nullopt;
  if (!block.has_value()) return;
  TPasteScope pasting(Editor());
  const TPasteResult pasted = PasteClipboardBlob(*CurrentScene(), CurrentSprite(),
                                                 reinterpret_cast<const std::uint8_t*>(block->data()), block->size());
  if (pasted.Kind != cbkNothing) {
    if (pasted.Sprite != nullptr && pasted.Sprite != CurrentSprite()) Tree().SetCurrentSprite(pasted.Sprite);
    if (pasted.Kind == cbkPath) Motion().RefreshMotionPage();
  }
  // Also when nothing was pasted: the tree shows the scene afresh (-1 selects its root).
  pasting.Finish(pasted.FrameIndex);
}

void TEffectsArea::Edit_PasteAsNewSpriteExecute() {
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr) return;
  TClipboard& clipboard = Clipboard();
  TPasteScope pasting(Editor());
  TBitmap bitmap;
  const bool hasBitmap = clipboard.HasFormat(CF_BITMAP) && clipboard.GetBitmap(bitmap);
  const UINT format = ClipboardFormat();
  const std::optional<std::string> block = format != 0 ? clipboard.GetBlock(format) : std::nullopt;
  const TPasteResult pasted =
      PasteAsNewSprite(*CurrentScene(), hasBitmap ? &bitmap : nullptr,
                       block.has_value() ? reinterpret_cast<const std::uint8_t*>(block->data()) : nullptr,
                       block.has_value() ? block->size() : 0);
  if (pasted.Sprite == nullptr) return;  // nothing to paste: no sprite was made
  Tree().SetCurrentSprite(pasted.Sprite);
  pasting.Finish(pasted.FrameIndex);
}

int TEffectsArea::PasteBitmapFrame() {
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr) return -1;
  const TBusyCursor busy;
  TPasteScope pasting(Editor());
  TBitmap bitmap;
  if (!Clipboard().GetBitmap(bitmap)) return -1;
  const TPasteResult pasted = ::PasteBitmapFrame(*CurrentScene(), CurrentSprite(), bitmap);
  if (pasted.Sprite != nullptr && pasted.Sprite != CurrentSprite()) Tree().SetCurrentSprite(pasted.Sprite);
  pasting.Finish(pasted.FrameIndex);
  return pasted.FrameIndex;
}

// ---- Bitmap copies ----------------------------------------------------------------------------------

namespace {

// A copy of a frame's picture, brought back from its memory cache only
// while it is copied.
void CopyFramePicture(TFrame& frame, TBitmap& copy) {
  RestoreFrameImage(frame.Picture);
  copy.Assign(&frame.Picture);
  ReleaseFrameImage(frame.Picture);
}

}  // namespace

// Writes the picture under the chosen name with the extension ".bmp". A
// changed name that would replace a file the user never chose is asked
// about first.
void TEffectsArea::SaveBitmapTo(const TBitmap& picture) {
  const std::optional<FileDialogResult> chosen = Ui().ChooseSaveFile(saveBmpDialog_);
  if (!chosen.has_value() || chosen->fileName.empty()) return;
  saveBmpDialog_.initialDir = ExtractFilePath(chosen->fileName);
  const std::string fileName = WithBmpExtension(chosen->fileName);
  if (fileName != chosen->fileName && FileExists(fileName) &&
      Ui().MessageBox(Handle(), fileName + " already exists.\nDo you want to replace it?", "Confirm Save As",
                      MB_YESNO | MB_ICONWARNING) != IDYES)
    return;
  const TBusyCursor busy;
  picture.SaveToFile(fileName);
}

void TEffectsArea::Scene_SceneImageCopyExecute() {
  TAnimationWindow* window = ActiveAnimationWindow();
  if (window == nullptr) return;
  const TBusyCursor busy;
  Clipboard().SetBitmap(window->PictureBackground->Bitmap());
}

void TEffectsArea::Scene_SceneImageCopyToExecute() {
  TAnimationWindow* window = ActiveAnimationWindow();
  if (window == nullptr) return;
  SaveBitmapTo(window->PictureBackground->Bitmap());
}

void TEffectsArea::Scene_BackgroundCopyExecute() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  const TBusyCursor busy;
  Clipboard().SetBitmap(CurrentScene()->BackgroundPicture);
}

void TEffectsArea::Scene_BackgroundCopyToExecute() {
  if (CurrentScene() == nullptr || ActiveAnimationWindow() == nullptr) return;
  SaveBitmapTo(CurrentScene()->BackgroundPicture);
}

void TEffectsArea::Frame_CopyAsBMPExecute() {
  TFrame* frame = CurrentSprite() != nullptr ? CurrentFrame() : nullptr;
  if (frame == nullptr) return;
  const TBusyCursor busy;
  TBitmap picture;
  CopyFramePicture(*frame, picture);
  Clipboard().SetBitmap(picture);
}

void TEffectsArea::Frame_CopyAsBMP_ToExecute() {
  TFrame* frame = CurrentSprite() != nullptr ? CurrentFrame() : nullptr;
  if (frame == nullptr) return;
  TBitmap picture;
  CopyFramePicture(*frame, picture);
  SaveBitmapTo(picture);
}
