// The preview window of the font combo box (TWPopOutFntCBox): a borderless
// stay-on-top window with one panel, Panel1, that shows a sample text in the
// font under the mouse. It is a tool-tip window, so showing it never takes
// the activation or the focus from the window the user works in.
#pragma once

#include <QLabel>
#include <QWidget>

#include <string>

class TPForm : public QWidget {
  Q_OBJECT

 public:
  // Made without owner (the combo box keeps it); 300 x 75, hidden.
  TPForm();
  ~TPForm() override;

  // The panel filling the window: left-justified sample text, border width
  // 6, window colour, bold 32-pixel font ("MS Sans Serif" at first).
  QLabel* Panel1 = nullptr;

  // The panel's font name and caption (Windows-1252 bytes).
  const std::string& PanelFontName() const { return fontName_; }
  void SetPanelFontName(const std::string& name);
  const std::string& PanelCaption() const { return caption_; }
  void SetPanelCaption(const std::string& text);

 private:
  std::string fontName_;
  std::string caption_;
};
