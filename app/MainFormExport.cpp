// The export command of the main window and the export wizard it opens.
#include "app/MainFormFiles.h"
#include "app/AnimationWindowU.h"
#include "app/MainFormActions.h"
#include "app/MainFormLayout.h"
#include "app/MainFormSettings.h"
#include "app/MainFormU.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "dialogs/ExportFrmU.h"
#include "platform/SysUtils.h"

#include <QAction>

namespace {

// The "Export" dialog's file types, in the order of the export formats
// (1 GIF, 2 BMP, 3 AVI, 4 JPEG): the chosen entry is the format.
constexpr const char* SExportTitle = "Export";
constexpr const char* SExportFilter =
    "GIF - CompuServe Bitmap|*.gif|BMP - Windows Bitmap|*.bmp|AVI - Video for Windows|*.avi|JPG - JPEG "
    "Bitmap|*.jpg";

}  // namespace

void TFilesArea::FormCreateExport() {
  Commands().SetCommandHandler(Commands().File_Export, [this] { File_ExportExecute(); });
}

void TFilesArea::File_ExportExecute() {
  // The placeholder shown while no document is open is nothing to export.
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr || CurrentScene() == PlaceholderScene()) return;
  FileDialogRequest request = SettingsArea().SaveGIFDialog();
  request.title = SExportTitle;
  request.filter = SExportFilter;
  request.filterIndex = 1;
  request.fileName = LowerCaseAscii(CurrentScene()->Name);
  const std::optional<FileDialogResult> chosen = Ui().ChooseSaveFile(request);
  if (!chosen || chosen->fileName.empty()) return;
  ActiveAnimationWindow()->StopPlayback();
  SettingsArea().SaveGIFDialog().initialDir = ExtractFilePath(chosen->fileName);
  ExportAnimation(chosen->fileName, chosen->filterIndex);
}

void TFilesArea::ExportAnimation(const std::string& fileName, int format) {
  if (CurrentScene() == nullptr) return;
  TExportWizardLinks links;
  links.RequestSceneRecompute = [this] { RequestSceneRecompute(); };
  links.OpenFrameDlg = [this](const FileDialogRequest& request) {
    // The main window's picture dialog remembers its folder for the next time.
    FileDialogRequest shown = request;
    if (!SettingsArea().OpenFrameDlg().initialDir.empty()) shown.initialDir = SettingsArea().OpenFrameDlg().initialDir;
    const std::optional<FileDialogResult> chosen = Ui().ChooseOpenFile(shown);
    if (!chosen || chosen->fileName.empty()) return std::vector<std::string>{};
    SettingsArea().OpenFrameDlg().initialDir = ExtractFilePath(chosen->fileName);
    return chosen->fileNames.empty() ? std::vector<std::string>{chosen->fileName} : chosen->fileNames;
  };
  if (Layout().CurrentStep() != nullptr) links.StepDisplayColor = Layout().CurrentStep()->ColorOfText();
  RunExportWizard(&Window(), *CurrentScene(), exportSettings_, fileName, format, links);
}
