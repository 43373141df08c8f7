// The Uninstaller's window: a fixed text naming the product and what is
// removed, the entry being removed on the status line, and a progress bar.
// It is painted through a canvas into a bitmap, so its pixels follow the
// drawing rules of the rest of the program.
#pragma once

#include "platform/Geometry.h"
#include "platform/Graphics.h"
#include "uninstaller/core/Zorvan_Uninstal.h"

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QProgressBar;

class TUninstallWindow final : public QWidget, public UninstallDisplay {
  Q_OBJECT

 public:
  static constexpr int kWidth = 448;
  static constexpr int kHeight = 270;
  static constexpr int kTextLeft = 10;
  static constexpr int kProgressTop = 188;
  static constexpr int kProgressWidth = 426;
  static constexpr int kProgressHeight = 22;
  // The line height when the font's metrics cannot be read.
  static constexpr int kFallbackLineHeight = 15;

  // Creates and shows the window of the uninstaller's product, centred on the
  // screen, with its progress bar (id 5) at (10, 188), 426 x 22.
  explicit TUninstallWindow(const TUninstaller& uninstaller);
  ~TUninstallWindow() override;

  HWND Handle() const override { return handle_.Handle(); }
  void SetProgress(int position) override;
  bool Destroyed() const override { return destroyed_; }

  // The window procedure: WM_PAINT repaints at once, WM_CLOSE destroys the window.
  void UninstallWndProc(TMessage& message);

  // A line of text as painted: its top-left corner and its Windows-1252 text.
  struct TextLine {
    TPoint at;
    std::string text;
    friend bool operator==(const TextLine&, const TextLine&) = default;
  };
  // The lines the next paint draws, the status line (when there is a status text) last.
  std::vector<TextLine> TextLines();
  // The window's picture as last painted.
  const TBitmap& Picture() const { return picture_; }
  int PaintCount() const { return paintCount_; }
  // The height of a line of the window's font.
  int LineHeight();
  QProgressBar* ProgressBar() const { return progressBar_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void PaintWindow();

  const TUninstaller& uninstaller_;
  TWindowHandle handle_;
  QProgressBar* progressBar_ = nullptr;
  TBitmap picture_;
  bool destroyed_ = false;
  int paintCount_ = 0;
};

// The factory the program gives the uninstaller.
std::unique_ptr<UninstallDisplay> MakeUninstallWindow(const TUninstaller& uninstaller);
