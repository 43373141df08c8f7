// The main window as the host of its document windows: the settings they
// read, the play button, the first empty document, and the document's
// picture after a step.
#include "app/MainFormU.h"
#include "app/MainFormActions.h"
#include "app/MainFormLayout.h"

#include "app/AnimationWindowU.h"
#include "controls/Image.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

const TDocumentSettings& TMainForm::Settings() const {
  documentSettings_.AntiAliasResample = userSettings_.AntiAliasResample;
  documentSettings_.UndoEnabled = userSettings_.UndoEnabled;
  documentSettings_.CreateBackup = userSettings_.CreateBackup;
  documentSettings_.SaveBitmapsInFrames = userSettings_.SaveBitmapsInFrames;
  documentSettings_.DataFolder = userSettings_.Folders.Data;
  return documentSettings_;
}

bool TMainForm::PlayButtonDown() const { return commands_->Movie_Play->isChecked(); }

void TMainForm::SetPlayButtonDown(bool down) { Commands().Movie_Play->setChecked(down); }

void TMainForm::File_NewExecute() {
  new TAnimationWindow(*this, Layout().MdiArea());  // it frees itself when closed
  RebuildAnimationTree();
  SelectTreeNode(-1, 2);
}

void TMainForm::OpenStartupFile(const std::string& fileName) {
  try {
    ActiveAnimationWindow()->LoadFromFile(fileName);
  } catch (const std::exception&) {
    // The document window has told the user already.
  }
}

void TMainForm::RefreshDocumentPicture() {
  if (TAnimationWindow* window = ActiveAnimationWindow()) window->PictureBackground->Repaint();
}

void TMainForm::ApplyUndoAndResampling() {
  for (QMdiSubWindow* child : Layout().MdiArea()->subWindowList()) {
    auto* window = qobject_cast<TAnimationWindow*>(child);
    if (window == nullptr) continue;
    // Switching undo off discards the history; the document stays as
    // modified as it was and the Undo command follows the emptied log.
    if (window->Undo() != nullptr) window->Undo()->SetEnabled(UserSettings().UndoEnabled ? 1 : 0);
    if (window->Scene() != nullptr) window->Scene()->ResampledStretching = UserSettings().AntiAliasResample ? 1 : 0;
  }
}
