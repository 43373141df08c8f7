// TURL (module URL): a read-only, borderless field that looks like a link
// (blue, underlined, on its parent's colour) and opens its own text with the
// shell when clicked, provided a web browser is registered.
//
// Public interface (a QLineEdit: setText / text hold the link or file path):
//   BrowserCommand()   the browser found at creation (RegisteredBrowserCommand:
//                      the registry's http open command, else the desktop's
//                      default http handler); "" when none. With one, the
//                      field shows the hand cursor (crHandCursor).
//   OnClick            TNotifyEvent, fired by every click
//   Click()            a click: OnClick, then, with a browser and a
//                      text, the text opened through ShellOpen (links: http,
//                      https, ftp, mailto; or an existing local file) with the
//                      hourglass shown meanwhile
#pragma once

#include "platform/Events.h"

#include <QLineEdit>

#include <string>

class TURL : public QLineEdit {
  Q_OBJECT

 public:
  explicit TURL(QWidget* parent = nullptr);

  const std::string& BrowserCommand() const { return browserCommand_; }

  TNotifyEvent OnClick;
  virtual void Click();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::string browserCommand_;
  bool clickPending_ = false;
};
