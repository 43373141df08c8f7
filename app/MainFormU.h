// The editor's main window: a multiple-document frame that holds the document
// windows, menus, tool bars and property pages.
#pragma once

#include <QMainWindow>

class QMdiArea;
class QMenu;

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // Sets the window's caption and the application's title to the product name.
  void UpdateMainCaption();
  QMdiArea* MdiArea() const { return mdiArea_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormCreate();
  void FormShow();

  QMdiArea* mdiArea_ = nullptr;
  QMenu* Window1 = nullptr;
  bool shown_ = false;
};

// The one main window of the running program (none before it is created).
extern TMainForm* MainForm;
