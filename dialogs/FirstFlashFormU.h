// The splash form: the product's picture and version, and a line that tells
// what the program is preparing. It stays on top while the program starts;
// the main window creates it, updates its line and frees it a second after
// it was shown.
#pragma once

#include <QWidget>

#include <string>

class QLabel;

// The version text of the splash form and the about box.
inline constexpr const char* kProductVersionText = "Version 2.21";

class TFirstFlashForm : public QWidget {
  Q_OBJECT

 public:
  explicit TFirstFlashForm(QWidget* parent = nullptr);

  QLabel* Image1 = nullptr;
  QLabel* Version = nullptr;
  QLabel* LoadingCaption = nullptr;  // "Loading ..."
  QLabel* Loading_Label = nullptr;

  void FormCreate();
  // The line under "Loading ..." (Windows-1252 text).
  void SetLoadingText(const std::string& text);
  std::string LoadingText() const;
};

// The splash form's picture: the product's name on a dark gradient.
class QPixmap;
QPixmap SplashPicture(int width, int height);
