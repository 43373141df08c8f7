#include "app/EditorUiServices.h"

#include "dialogs/Msgdlg.h"

#include <QApplication>
#include <QCheckBox>

bool TEditorUiServices::ShowNote(const std::string& caption, const std::string& text) {
  TMsgDialog dialog(QApplication::activeWindow());
  dialog.ShowNeverAskCheck();
  dialog.ShowMessageText(caption, text);
  return dialog.NeverAsk->isChecked();
}
