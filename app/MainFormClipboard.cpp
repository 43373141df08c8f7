// The clipboard commands of the main window: sprites, frames and motion
// paths copied, cut and pasted in the private format, bitmaps pasted as
// frames, and the scene, its background and the current frame copied as a
// bitmap or written to a BMP file. The blobs are made and read (as hostile
// bytes) in app/core/ClipboardBlob.
#include "app/MainFormU.h"

#include "app/AnimationWindowU.h"
#include "app/core/ClipboardBlob.h"
#include "controls/Image.h"
#include "platform/Clipboard.h"
#include "platform/SysUtils.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"

#include <QAction>
#include <QTreeWidget>

#include <filesystem>
#include <optional>

namespace {

// The node kinds whose copy needs the current sprite: the sprite, its
// frames and its path's nodes.
bool CopiesSpriteContent(int nodeKind) {
  switch (nodeKind) {
    case TMainForm::nkSprite:
    case TMainForm::nkPictureFrame:
    case TMainForm::nkTextFrame:
    case TMainForm::nkRectangleFrame:
    case TMainForm::nkEllipseFrame:
    case TMainForm::nkLineFrame:
    case TMainForm::nkMotion:
    case TMainForm::nkOpacity:
    case TMainForm::nkShadow:
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

}  // namespace

// ---- Copy, cut and paste -----------------------------------------------------------------------------

void TMainForm::Edit_CopyExecute() {
  QTreeWidgetItem* node = ShownTree()->currentItem();
  if (ActiveAnimationWindow() == nullptr || CurrentScene == nullptr || node == nullptr || ClipboardFormat == 0)
    return;
  const int kind = NodeKind(node);
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
  Clipboard().SetBlock(ClipboardFormat, BlobBytes(blob));
}

void TMainForm::Edit_CutExecute() {
  Edit_CopyExecute();
  Scene_Delete_SomethingExecute();
}

void TMainForm::Edit_Paste1Execute() {
  if (ActiveAnimationWindow() == nullptr || CurrentScene == nullptr) return;
  TClipboard& clipboard = Clipboard();
  int frameIndex = -1;
  if (clipboard.HasFormat(CF_BITMAP)) frameIndex = PasteBitmapFrame();
  const std::optional<std::string> block = ClipboardFormat != 0 ? clipboard.GetBlock(ClipboardFormat) : std::nullopt;
  if (block.has_value()) {
    const TPasteResult pasted = PasteClipboardBlob(*CurrentScene, CurrentSprite(),
                                                   reinterpret_cast<const std::uint8_t*>(block->data()), block->size());
    if (pasted.Kind != cbkNothing) {
      if (pasted.Sprite != nullptr && pasted.Sprite != CurrentSprite()) SetCurrentSprite(pasted.Sprite);
      if (pasted.Kind == cbkPath) RefreshMotionPage();
    }
    frameIndex = pasted.FrameIndex;
  }
  RebuildAnimationTree();
  PostMessage(Handle(), 1003, 0, frameIndex);
  RequestSceneRecompute();
  RefreshCommandStates();
}

void TMainForm::Edit_PasteAsNewSpriteExecute() {
  if (ActiveAnimationWindow() == nullptr || CurrentScene == nullptr) return;
  TClipboard& clipboard = Clipboard();
  TBitmap bitmap;
  const bool hasBitmap = clipboard.HasFormat(CF_BITMAP) && clipboard.GetBitmap(bitmap);
  const std::optional<std::string> block = ClipboardFormat != 0 ? clipboard.GetBlock(ClipboardFormat) : std::nullopt;
  const TPasteResult pasted =
      PasteAsNewSprite(*CurrentScene, hasBitmap ? &bitmap : nullptr,
                       block.has_value() ? reinterpret_cast<const std::uint8_t*>(block->data()) : nullptr,
                       block.has_value() ? block->size() : 0);
  if (pasted.Sprite != nullptr) SetCurrentSprite(pasted.Sprite);
  RebuildAnimationTree();
  PostMessage(Handle(), 1003, 0, pasted.FrameIndex);
  RequestSceneRecompute();
  RefreshCommandStates();
}

int TMainForm::PasteBitmapFrame() {
  if (CurrentScene == nullptr) return -1;
  const TBusyCursor busy;
  TBitmap bitmap;
  if (!Clipboard().GetBitmap(bitmap)) return -1;
  const TPasteResult pasted = ::PasteBitmapFrame(*CurrentScene, CurrentSprite(), bitmap);
  if (pasted.Sprite != nullptr && pasted.Sprite != CurrentSprite()) SetCurrentSprite(pasted.Sprite);
  RebuildAnimationTree();
  PostMessage(Handle(), 1003, 0, pasted.FrameIndex);
  RequestSceneRecompute();
  RefreshCommandStates();
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

// Runs the BMP save chooser and writes the picture under the chosen name
// with the extension ".bmp". A changed name that would replace a file the
// user never chose is asked about first.
static void SaveBitmapTo(TMainForm& form, const TBitmap& picture) {
  const std::optional<FileDialogResult> chosen = Ui().ChooseSaveFile(form.SaveBmpDialog);
  if (!chosen.has_value() || chosen->fileName.empty()) return;
  form.SaveBmpDialog.initialDir = ExtractFilePath(chosen->fileName);
  const std::string fileName = WithBmpExtension(chosen->fileName);
  if (fileName != chosen->fileName && FileExists(fileName) &&
      Ui().MessageBox(form.Handle(), fileName + " already exists.\nDo you want to replace it?", "Confirm Save As",
                      MB_YESNO | MB_ICONWARNING) != IDYES)
    return;
  const TBusyCursor busy;
  picture.SaveToFile(fileName);
}

void TMainForm::Scene_SceneImageCopyExecute() {
  TAnimationWindow* window = ActiveAnimationWindow();
  if (window == nullptr) return;
  const TBusyCursor busy;
  Clipboard().SetBitmap(window->PictureBackground->Bitmap());
}

void TMainForm::Scene_SceneImageCopyToExecute() {
  TAnimationWindow* window = ActiveAnimationWindow();
  if (window == nullptr) return;
  SaveBitmapTo(*this, window->PictureBackground->Bitmap());
}

void TMainForm::Scene_BackgroundCopyExecute() {
  if (CurrentScene == nullptr || ActiveAnimationWindow() == nullptr) return;
  const TBusyCursor busy;
  Clipboard().SetBitmap(CurrentScene->BackgroundPicture);
}

void TMainForm::Scene_BackgroundCopyToExecute() {
  if (CurrentScene == nullptr || ActiveAnimationWindow() == nullptr) return;
  SaveBitmapTo(*this, CurrentScene->BackgroundPicture);
}

void TMainForm::Frame_CopyAsBMPExecute() {
  TFrame* frame = CurrentSprite() != nullptr ? CurrentFrame() : nullptr;
  if (frame == nullptr) return;
  const TBusyCursor busy;
  TBitmap picture;
  CopyFramePicture(*frame, picture);
  Clipboard().SetBitmap(picture);
}

void TMainForm::Frame_CopyAsBMP_ToExecute() {
  TFrame* frame = CurrentSprite() != nullptr ? CurrentFrame() : nullptr;
  if (frame == nullptr) return;
  TBitmap picture;
  CopyFramePicture(*frame, picture);
  SaveBitmapTo(*this, picture);
}
