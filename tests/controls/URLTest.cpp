// The link field: its look, the browser it finds, and what a click opens.
#include "controls/URL.h"
#include "platform/Registry.h"
#include "tests/support/RecordingShellServices.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

class URLTest : public testing::Test {
 protected:
  URLTest() : registry_({{kRegistryFolderVariable, dir.Path()}}) { window.resize(300, 100); }

  std::unique_ptr<TURL> MakeLink(const QString& text) {
    auto link = std::make_unique<TURL>(&window);
    link->setGeometry(10, 10, 200, 20);
    link->setText(text);
    link->OnClick = [this](QObject*) { ++clicks; };
    window.show();
    return link;
  }
  void Click(TURL& link) { QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5)); }

  TempDir dir;
  ScriptedUiServices ui;
  RecordingShellServices shell;
  QWidget window;
  int clicks = 0;

 private:
  ScopedEnvironment registry_;
};

}  // namespace

TEST_F(URLTest, LooksLikeALinkAndCannotBeEdited) {
  const auto link = MakeLink("https://example.com/gleamcraft/");
  EXPECT_TRUE(link->isReadOnly());
  EXPECT_FALSE(link->hasFrame());
  EXPECT_TRUE(link->font().underline());
  EXPECT_EQ(link->palette().color(QPalette::Text), QColor(0, 0, 255));
  EXPECT_FALSE(link->autoFillBackground());
}

TEST_F(URLTest, WithoutABrowserAClickOnlyFiresOnClick) {
  const auto link = MakeLink("https://example.com/gleamcraft/");
  EXPECT_EQ(link->BrowserCommand(), "");
  EXPECT_NE(link->cursor().shape(), Qt::BitmapCursor) << "the field's own cursor, not the hand";
  Click(*link);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_TRUE(ui.cursors.empty());
}

TEST_F(URLTest, WithTheDesktopsBrowserAClickOpensTheTextUnderTheHourglass) {
  shell.browserCommand = "web-browser %u";
  const auto link = MakeLink("https://example.com/gleamcraft/");
  EXPECT_EQ(link->BrowserCommand(), "web-browser %u");
  EXPECT_EQ(link->cursor().shape(), Qt::BitmapCursor) << "the hand, cursor 5";
  Click(*link);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(shell.opened, std::vector<std::string>{"https://example.com/gleamcraft/"});
  EXPECT_EQ(ui.cursors, (std::vector<TCursor>{crHourGlass, crDefault}));
  QTest::mouseClick(link.get(), Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_EQ(shell.opened.size(), 1u) << "only the left button clicks";
}

TEST_F(URLTest, TheRegistrysBrowserCountsWithoutAskingTheDesktop) {
  TRegistry registry;
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  ASSERT_TRUE(registry.OpenKey(kBrowserCommandKey, true));
  registry.WriteString("", "browser.exe \"%1\"");
  const auto link = MakeLink("mailto:someone@example.com");
  EXPECT_EQ(link->BrowserCommand(), "browser.exe \"%1\"");
  EXPECT_EQ(shell.browserQueries, 0);
  Click(*link);
  EXPECT_EQ(shell.opened, std::vector<std::string>{"mailto:someone@example.com"});
}

TEST_F(URLTest, OnlyAllowedTargetsReachTheShell) {
  shell.browserCommand = "web-browser %u";
  const auto link = MakeLink("javascript:alert(1)");
  Click(*link);
  link->setText("");
  Click(*link);
  const std::string file = dir.WriteFile("readme.txt", "read me");
  link->setText(QString::fromStdString(file));
  Click(*link);
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(shell.opened, std::vector<std::string>{file}) << "the read-me opens; the script and the empty text do not";
}
