// Opening a document from a project, GIF or AVI file, saving it as a project
// file, and adding a file's images as frames of the current sprite.
#include "app/AnimationWindowU.h"

#include "app/core/DocumentFiles.h"
#include "controls/MyCntrl.h"
#include "dialogs/FramesIntervalFormU.h"
#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/utils.h"
#include "platform/CodePages.h"
#include "platform/ModalForms.h"
#include "platform/Streams.h"
#include "platform/UiServices.h"
#include "scene/ProjectFile.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"

#include <QScrollArea>

namespace {

// The number of video frames of an AVI file; -1 when the file or its video
// stream cannot be opened.
int AviFrameCount(const std::string& fileName) {
  try {
    TAVIObject avi;
    const PAVIFILE file = avi.OpenAVIFile(fileName);
    int frames = -1;
    if (const PAVISTREAM stream = avi.OpenVideoStream(file); stream != 0) {
      frames = avi.FrameCount();
      avi.CloseVideoStream(stream);
    }
    avi.CloseAVIFile(file);
    return frames;
  } catch (const std::exception&) {
    return -1;
  }
}

// The range of frames of an AVI file that the user chooses in the image
// interval dialog: (first frame, 0-based; count); nullopt when cancelled.
std::optional<std::pair<int, int>> ChooseAviFrames(QWidget* owner, const std::string& fileName, int frames) {
  TFramesIntervalForm form(owner);
  form.SetFrameCount(frames);
  form.AVIFileName = fileName;
  if (ShowModal(form) != mrOk) return std::nullopt;
  return std::make_pair(form.FirstFrame(), form.FrameCount());
}

bool IsProjectExtension(const std::string& extension) {
  return extension.empty() || extension == ".GLM" || extension == ".GLD";
}

}  // namespace

// ---- Opening --------------------------------------------------------------------------------------------

std::unique_ptr<TAnimatedScene> TAnimationWindow::NewSceneForLoading() {
  auto scene = std::make_unique<TAnimatedScene>(this);
  BarPlayback(*scene);
  scene->ResampledStretching = host_.Settings().AntiAliasResample ? 1 : 0;
  scene->NotifyWindow = Handle();
  const QSize client = ScrollBoxAnimation->viewport()->size();
  scene->Width = client.width() - 2 * CanvasBorder();
  scene->Height = client.height() - 2 * CanvasBorder();
  scene->Failed = 1;
  return scene;
}

void TAnimationWindow::ReadFileInto(TAnimatedScene& scene, const std::string& fileName) {
  const std::string extension = UpperCaseAscii(ExtractFileExt(fileName));
  if (IsProjectExtension(extension)) {
    if (!CheckFileChecksum(fileName, true)) throw EAnimationWindow(SWrongChecksum);
    TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
    scene.LoadFromStream(file);
    scene.Name = SceneNameOfFile(fileName);
  } else if (extension == ".GIF") {
    int images = 0;
    {
      TGifFile gif;
      gif.LoadFromFile(fileName);
      images = gif.ImageCount();
    }
    scene.ImportAnimation(fileName, 0, images);
  } else if (extension == ".AVI") {
    // A file whose frames cannot be counted cannot be read: no range to choose.
    const int frames = AviFrameCount(fileName);
    if (frames < 1) return;
    if (const auto range = ChooseAviFrames(this, fileName, frames)) {
      scene.ImportAnimation(fileName, range->first, range->second);
    } else {
      scene.Failed = 1;
    }
  }
}

void TAnimationWindow::LoadFromFile(const std::string& fileName) {
  StopPlayback();
  const TBusyCursor busy;
  std::unique_ptr<TAnimatedScene> loaded = NewSceneForLoading();
  // Reading builds objects beside the document; none of it is an edit to record.
  std::exception_ptr error;
  {
    const TUndoRecordingPause pause;
    try {
      ReadFileInto(*loaded, fileName);
    } catch (...) {
      error = std::current_exception();
    }
  }
  if (loaded->Failed != 0 || error) {
    const std::string text = loaded->LoadErrorText.empty() ? std::string(SCannotReadAnimation) : loaded->LoadErrorText;
    Ui().MessageBox(host_.Handle(), text, "Error", MB_ICONERROR);
    loaded.reset();
    if (error) std::rethrow_exception(error);
    // The document stays as it was: its scene, name, undo log and modified mark.
    ResumePlayback();
    return;
  }
  TakeLoadedScene(std::move(loaded));
  if (error) std::rethrow_exception(error);
  host_.AddRecentFile(fileName);
  AfterImport(fileName);
}

void TAnimationWindow::TakeLoadedScene(std::unique_ptr<TAnimatedScene> scene) {
  HideSelection();
  scene_->Stop();
  scene_ = std::move(scene);
  // The opened document's window takes its canvas size and goes where a
  // new window of that size would.
  SizeToScene();
  PlaceInWorkspace();
}

void TAnimationWindow::AfterImport(const std::string& fileName) {
  host_.SetActiveAnimationWindow(nullptr);
  RefreshBackgroundImage();
  {
    // Nothing done while the loaded scene is wired up is an edit.
    const TUndoRecordingPause pause;
    fileName_ = DocumentNameOfOpenedFile(fileName);
    nameFromOpenedFile_ = fileName_ != fileName;
    UpdateCaption();
    ResumePlayback();
    SetCanvasSize(scene_->Width, scene_->Height);
    ResizeTimer.SetEnabled(false);
    LayoutCanvas();
    SetModified(false);
    undo_->Clear();
    host_.RefreshCommandStates();
    SetModified(false);
    host_.ShowLoopCount(scene_->LoopCount);
    host_.SetActiveAnimationWindow(this);
    host_.RebuildAnimationTree();
    CurrentUndo = undo_.get();
    host_.Movie_FirstStepExecute();
  }
  host_.SelectTreeNode(-1, 2);
}

// ---- Saving ---------------------------------------------------------------------------------------------

// Runs the Save dialog; the chosen entry, or nullopt when cancelled. The
// file name chosen becomes the document's only through the callers.
std::optional<int> TAnimationWindow::AskFileName(bool forSaveAs) {
  FileDialogRequest request;
  request.title = SSaveAnimationTitle;
  request.filter = SSaveAnimationFilter;
  request.filterIndex = 1;
  if (forSaveAs && !fileName_.empty()) {
    request.initialDir = ExtractFilePath(fileName_);
    request.fileName = ExtractFileName(fileName_);
  } else {
    request.initialDir = host_.Settings().DataFolder;
    request.fileName = SDefaultDocumentName;
  }
  const std::optional<FileDialogResult> chosen = Ui().ChooseSaveFile(request);
  if (!chosen || chosen->fileName.empty()) return std::nullopt;
  pendingName_ = chosen->fileName;
  return chosen->filterIndex;
}

// A name made from an opened file (anim.gif saved as anim.GLM) was never
// chosen by the user: replacing a file of that name needs a yes.
bool TAnimationWindow::ConfirmOverwriteOfOpenedName() {
  if (!nameFromOpenedFile_ || !FileExists(fileName_)) return true;
  const std::string text =
      "File " + Utf8ToAnsi(ExtractFileName(fileName_)) + " already exists. Do you want to replace it?";
  return Ui().MessageBox(host_.Handle(), text, ProgramName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

bool TAnimationWindow::WriteSceneTo(const std::string& fileName) {
  TMemoryStream bytes;
  bool cancelled = false;
  {
    const TBusyCursor busy;
    CancelFlag = 0;
    scene_->OmitGeneratedImages = host_.Settings().SaveBitmapsInFrames ? 0 : 1;
    scene_->SaveToStream(bytes, 0, 1024);
    // Esc during the write, or a write error (the writer has shown its message).
    cancelled = CancelFlag != 0 || scene_->Failed != 0;
    CancelFlag = 0;
  }
  if (cancelled) return false;
  try {
    WriteDocumentFile(fileName, std::string_view(reinterpret_cast<const char*>(bytes.Memory()),
                                                 static_cast<std::size_t>(bytes.Size())),
                      host_.Settings().CreateBackup);
  } catch (const EDocumentWriteError& error) {
    Ui().MessageBox(host_.Handle(), DocumentWriteErrorText(fileName, error.Reason()), "Error", MB_ICONERROR);
    return false;
  }
  return true;
}

bool TAnimationWindow::Save() {
  // The version chosen for this one save returns to the newest on every way out.
  const TFormatVersionScope newestAfterwards(TFormatVersionScope::kNewestAfterwards);
  if (fileName_.empty()) {
    const std::optional<int> entry = AskFileName(false);
    if (!entry) return false;
    SaveVersion = SaveVersionOfFileType(*entry);
    return SaveTo(pendingName_);
  }
  if (!ConfirmOverwriteOfOpenedName()) return false;
  return SaveTo(fileName_);
}

// The document takes the file's name (and its caption) only once the file
// is written: after a failure the next Save aims where the last one did.
bool TAnimationWindow::SaveTo(const std::string& fileName) {
  StopPlayback();
  const bool wasPlaying = host_.PlayButtonDown();
  host_.SetPlayButtonDown(false);
  const std::string sceneName = scene_->Name;
  bool saved = false;
  try {
    if (scene_->Name == "NONAME") scene_->Name = SceneNameOfFile(fileName);
    saved = WriteSceneTo(fileName);
  } catch (const std::exception& error) {
    Ui().MessageBox(host_.Handle(), DocumentWriteErrorText(fileName, Utf8ToAnsi(error.what())), "Error",
                    MB_ICONERROR);
    saved = false;
  }
  if (saved) {
    SetFileName(fileName);
    undo_->Clear();
    UpdateCaption();
    host_.RefreshCommandStates();
    host_.AddRecentFile(fileName_);
  } else {
    scene_->Name = sceneName;
  }
  host_.SetPlayButtonDown(wasPlaying);
  ResumePlayback();
  return saved;
}

void TAnimationWindow::SaveAs() {
  // The version chosen for this one save returns to the newest on every way out.
  const TFormatVersionScope newestAfterwards(TFormatVersionScope::kNewestAfterwards);
  const std::optional<int> entry = AskFileName(true);
  if (!entry) {
    UpdateCaption();
    return;
  }
  if (const int format = ExportFormatOfFileType(*entry); format != 0) {
    host_.ExportAnimation(pendingName_, format);
    return;
  }
  std::string name = pendingName_;
  if (ExtractFileExt(name).empty()) name += ".GLM";
  SaveVersion = SaveVersionOfFileType(*entry);
  // This document is the one saved, whether or not it is the active one.
  SaveTo(name);
  UpdateCaption();
}

// ---- Frames from a file ---------------------------------------------------------------------------------

bool TAnimationWindow::AddPictureFileFrames(const std::string& fileName) {
  TSprite* sprite = host_.CurrentSprite();
  if (sprite == nullptr) return false;
  int first = -1;
  int count = -1;
  if (UpperCaseAscii(ExtractFileExt(fileName)) == ".AVI") {
    const int frames = AviFrameCount(fileName);
    if (frames < 1) return false;
    const auto range = ChooseAviFrames(this, fileName, frames);
    if (!range) return false;
    first = range->first;
    count = range->second;
  }
  // A file that could not be read leaves a placeholder frame, which is no success.
  return sprite->AddPictureFile(fileName, false, clWhite, first, count, false) >= 0;
}
