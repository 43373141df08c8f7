#include "platform/qtui/QtUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QLineEdit>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Runs the action on the chooser once it is the active modal window.
void WhenChooserOpen(std::function<void(QFileDialog&)> action) {
  QTimer::singleShot(0, [action] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) {
      WhenChooserOpen(action);  // not shown yet: look again at the next turn of the loop
      return;
    }
    action(*dialog);
  });
}

}  // namespace

TEST(QtOpenFileChooser, CarriesTheSidePanelReportsTheCurrentFileAndGivesThePanelBack) {
  TempDir temp;
  const std::string picture = temp.WriteFile("picture.gif", "GIF89a");
  temp.WriteFile("other.bmp", "BM");
  auto panelWidget = std::make_unique<QLabel>(QStringLiteral("Picture:"));
  std::vector<std::string> selections;
  int shows = 0, closes = 0;
  bool panelInChooser = false;
  FileChooserPanel panel;
  panel.widget = panelWidget.get();
  panel.onShow = [&] { ++shows; };
  panel.onSelectionChange = [&](const std::string& file) { selections.push_back(file); };
  panel.onClose = [&] { ++closes; };

  WhenChooserOpen([&](QFileDialog& dialog) {
    panelInChooser = dialog.isAncestorOf(panelWidget.get()) && panelWidget->isVisible();
    // The user clicks the file in the chooser's list.
    auto* model = dialog.findChild<QFileSystemModel*>();
    auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(model, nullptr);
    ASSERT_NE(list, nullptr);
    list->setCurrentIndex(model->index(QString::fromStdString(picture)));
    static_cast<QDialog&>(dialog).accept();
  });
  FileDialogRequest request;
  request.title = "Open";
  request.filter = "All Supported Formats|*.bmp;*.gif|All Files|*.*";
  request.initialDir = temp.Path() + "/";
  request.panel = &panel;
  QtUiServices services;
  const auto chosen = services.ChooseOpenFile(request);

  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->fileName, picture);
  EXPECT_EQ(chosen->fileNames, std::vector<std::string>{picture});
  EXPECT_TRUE(panelInChooser) << "the panel lies in the chooser while it runs";
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(closes, 1);
  EXPECT_NE(std::find(selections.begin(), selections.end(), picture), selections.end());
  EXPECT_EQ(panelWidget->parent(), nullptr) << "the panel is handed back to its owner";
  EXPECT_FALSE(panelWidget->isVisible());
}

TEST(QtOpenFileChooser, ChoosesSeveralFilesAndAnswersNothingWhenCancelled) {
  TempDir temp;
  const std::string first = temp.WriteFile("a.gif", "GIF89a");
  const std::string second = temp.WriteFile("b.gif", "GIF89a");
  FileDialogRequest request;
  request.filter = "CompuServe Bitmap (*.gif)|*.gif";
  request.initialDir = temp.Path() + "/";
  request.allowMultiSelect = true;
  QtUiServices services;

  bool severalAllowed = false;
  WhenChooserOpen([&](QFileDialog& dialog) {
    severalAllowed = dialog.fileMode() == QFileDialog::ExistingFiles;
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(QStringLiteral("\"a.gif\" \"b.gif\""));
    static_cast<QDialog&>(dialog).accept();
  });
  const auto chosen = services.ChooseOpenFile(request);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_TRUE(severalAllowed);
  EXPECT_EQ(chosen->fileNames, (std::vector<std::string>{first, second}));
  EXPECT_EQ(chosen->fileName, first);

  WhenChooserOpen([](QFileDialog& dialog) { dialog.reject(); });
  EXPECT_FALSE(services.ChooseOpenFile(request).has_value());
}
