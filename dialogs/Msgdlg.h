// The program's own message box, used for the notes a user may silence (a
// low-colour display, the transparent tool on a display of few colours): a
// caption, a text in a read-only memo, up to three lamp buttons and, on
// request, the "&Never show this note" box whose state the caller keeps.
//
//   TMsgDialog dialog(owner);
//   dialog.ShowNeverAskCheck();
//   dialog.ShowMessageText("Warning", text);
//   settings.NeverAsk = dialog.NeverAsk->isChecked();
#pragma once

#include "platform/Colors.h"
#include "platform/Keyboard.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class TBlackBitButton;

// The kinds of a button: 0 hidden, 1 "Ok", 2 "Cancel", 3 "Help", 4 "Yes", 5 "No".
enum : int { mbkHidden = 0, mbkOk = 1, mbkCancel = 2, mbkHelp = 3, mbkYes = 4, mbkNo = 5 };

// The lines a memo shows for a text: one empty line to start with; every
// character is appended to the last line except CR, which starts a new
// line (LF stays in the line as text).
std::vector<std::string> MessageLines(const std::string& text);
// The number of lines a memo of a width displays: each line takes its text
// width div the memo's width, plus one.
int DisplayedLineCount(const std::vector<int>& lineWidths, int memoWidth);

class TMsgDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TMsgDialog(QWidget* owner = nullptr);

  QLabel* Image1 = nullptr;
  QPlainTextEdit* MessageTxt = nullptr;
  QFrame* Panel2 = nullptr;
  TBlackBitButton* OkBtn = nullptr;
  TBlackBitButton* CancelBtn = nullptr;
  TBlackBitButton* HelpBtn = nullptr;
  QCheckBox* NeverAsk = nullptr;
  QFrame* AskBevel = nullptr;

  // Sets a button's caption and lamp colours by kind; another kind leaves it.
  static void SetMsgButtonKind(TBlackBitButton& button, int kind);
  // The kinds of the three buttons; Ok moves left of a shown Cancel button.
  void SetButtons(int okKind, int cancelKind, int helpKind);
  void ShowNeverAskCheck();
  // Shows the text modally under the caption; returns the modal result.
  int ShowMessageText(const std::string& caption, const std::string& text);
  // The memo's lines as the text was split (Windows-1252).
  const std::vector<std::string>& Lines() const { return lines_; }

  void FormShow();
  void FormKeyPress(char& Key);
  void FormClose();
  void OkBtnClick();
  void CancelBtnClick();
  void HelpBtnClick();

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::vector<std::string> lines_;
};
