// The about box: the product's name playing as a small movie, its version,
// the maker's web address as a link, and a Close button; any key closes it.
#pragma once

#include "platform/Events.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class TBitmap;
class TMovie;
class TURL;

// The maker's web address (a reserved example address).
inline constexpr const char* kMakerWebAddress = "https://example.com/gleamcraft/";

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* owner = nullptr);

  TMovie* ProductName = nullptr;
  QLabel* Version = nullptr;
  QLabel* SupportLabel = nullptr;  // "Support:"
  TURL* WWWAddress = nullptr;
  QPushButton* OkBtn = nullptr;

  // Runs when the web address is clicked (the main window starts its
  // upgrade check then).
  std::function<void()> OnWebAddressClick;

  void FormShow();
  void FormKeyPress(char& Key);
  void WWWAddressClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

// The movie of the product's name: frames of width x height side by side,
// a gleam passing over gold letters on black.
void MakeProductNameStrip(const std::string& name, int width, int height, int frames, TBitmap& strip);
