#include "dialogs/TemplateFrmU.h"

#include "controls/URL.h"
#include "imaging/utils.h"
#include "tests/controls/core/PreviewTestFiles.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <filesystem>

namespace {

using preview_files::ProjectShape;

// A program folder with the three template sets: banners of two sizes (and
// files that are no templates or cannot be read), one button, no logos.
struct TemplateFolders : HelpPages {
  TemplateFolders() : HelpPages({"Main_index"}) {
    for (const char* set : {"Animations/Banners", "Animations/Buttons", "Animations/Logos"})
      std::filesystem::create_directories(program.File(set));
    // Without a stored preview the preview is the whole 468 x 60 scene.
    preview_files::Project(program, "Animations/Banners/Wide.glm",
                           ProjectShape{.width = 468, .height = 60, .storedPreview = false});
    preview_files::Project(program, "Animations/Banners/Small.GLM", ProjectShape{.width = 100, .height = 21});
    program.WriteFile("Animations/Banners/Damaged.glm", "no project at all");
    preview_files::Gif(program, "Animations/Banners/Picture.gif", 1, 468, 60);
    preview_files::Project(program, "Animations/Buttons/Round.glm", ProjectShape{.width = 120, .height = 40});
  }
  std::string Folder(const char* set) const { return program.File(set) + "/"; }
};

std::vector<std::string> Captions(const QListWidget& list) {
  std::vector<std::string> captions;
  for (int i = 0; i < list.count(); ++i) captions.push_back(list.item(i)->text().toStdString());
  return captions;
}

TColor ButtonFace() { return ColorToRGB(clBtnFace) & 0xFFFFFF; }
TColor At(const TBitmap& bitmap, int x, int y) { return bitmap.Pixel(x, y) & 0xFFFFFF; }

void Select(QListWidget& list, const char* caption) {
  const QList<QListWidgetItem*> found = list.findItems(caption, Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1);
  list.setCurrentItem(found.front());
}

// ---- The form -------------------------------------------------------------------------------------------

TEST(TemplateForm, HasTheSetsTextsAndLink) {
  TTemplateForm form;
  EXPECT_EQ(form.objectName(), "TemplateForm");
  EXPECT_EQ(form.windowTitle(), "Templates");
  EXPECT_EQ(form.BannersLabel->text(), "Banners");
  EXPECT_EQ(form.ButtonsLabel->text(), "Buttons");
  EXPECT_EQ(form.LogosLabel->text(), "Logos");
  for (QLabel* label : {form.BannersLabel, form.ButtonsLabel, form.LogosLabel}) {
    EXPECT_EQ(label->toolTip(), "Click to show templates");
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
  }
  EXPECT_EQ(form.ListView_Thumbnails->toolTip(), "Double click to open template");
  EXPECT_EQ(form.ShowWizardAtStartupBtn->text(), "Show this screen at startup.");
  EXPECT_EQ(form.OkButton->text(), "&Ok");
  EXPECT_EQ(form.CloseBtn->text(), "&Cancel");
  EXPECT_EQ(form.HelpBtn->text(), "&Help");
  EXPECT_EQ(form.WWWAddress->text(), "https://example.com/gleamcraft/");
  std::vector<std::string> texts;
  for (const QLabel* label : form.findChildren<QLabel*>()) texts.push_back(label->text().toStdString());
  for (const char* text :
       {"Sets of templates:",
        "Open an animation template via the preview images below. Select a template animation and press the Ok "
        "button. Change the template items and add your own.",
        "Animation templates allow you to create own animation quick and easy.",
        "Templates are in your Gleamcraft folder under Animations folder.",
        "You can download another templates for FREE at:"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;
  EXPECT_TRUE(form.ListView_Thumbnails->isHidden()) << "hidden until a set is listed";
}

// ---- Listing a set --------------------------------------------------------------------------------------

TEST(TemplateForm, ShowingListsTheBannersThatCanBeReadSortedWithoutTheirExtensions) {
  TemplateFolders folders;
  ScriptedUiServices ui;
  TTemplateForm form;
  form.show();
  EXPECT_FALSE(form.ListView_Thumbnails->isHidden());
  EXPECT_EQ(form.TemplateFolder, folders.Folder("Animations/Banners"));
  EXPECT_EQ(Captions(*form.ListView_Thumbnails), (std::vector<std::string>{"Small", "Wide"}));
  EXPECT_EQ(form.ListView_Thumbnails->iconSize(), QSize(400, 51));
  ASSERT_EQ(form.LargeImages.size(), 2u);
  EXPECT_TRUE(ui.messages.empty()) << "the damaged template is left out silently";
  EXPECT_EQ(ui.cursors, (std::vector<TCursor>{crHourGlass, crDefault}));
}

TEST(TemplateForm, AWideBannerIsScaledToTheSetsHeightAndAlignedToTheBottom) {
  TemplateFolders folders;
  TTemplateForm form;
  form.show();
  const TBitmap& wide = *form.LargeImages.at(1);
  ASSERT_EQ(wide.Width(), 400);
  ASSERT_EQ(wide.Height(), 51);
  // 468 x 60 becomes 398 x 51 (468 x 51 / 60), drawn from x = 1 to 398.
  for (int y : {0, 50}) {
    EXPECT_EQ(At(wide, 0, y), ButtonFace());
    EXPECT_NE(At(wide, 1, y), ButtonFace());
    EXPECT_NE(At(wide, 398, y), ButtonFace());
    EXPECT_EQ(At(wide, 399, y), ButtonFace());
  }
}

TEST(TemplateForm, ASmallBannerIsCentredUnscaled) {
  TemplateFolders folders;
  TTemplateForm form;
  form.show();
  const TBitmap& small = *form.LargeImages.at(0);
  // 100 x 21 in 400 x 51: from (150, 15) to (249, 35).
  EXPECT_EQ(At(small, 149, 25), ButtonFace());
  EXPECT_NE(At(small, 150, 25), ButtonFace());
  EXPECT_NE(At(small, 249, 25), ButtonFace());
  EXPECT_EQ(At(small, 250, 25), ButtonFace());
  EXPECT_EQ(At(small, 200, 14), ButtonFace());
  EXPECT_NE(At(small, 200, 15), ButtonFace());
  EXPECT_NE(At(small, 200, 35), ButtonFace());
  EXPECT_EQ(At(small, 200, 36), ButtonFace());
}

TEST(TemplateForm, EachSetsLabelListsItsFolderAtItsThumbnailSize) {
  TemplateFolders folders;
  TTemplateForm form;
  form.show();
  QTest::mouseClick(form.ButtonsLabel, Qt::LeftButton);
  EXPECT_EQ(form.TemplateFolder, folders.Folder("Animations/Buttons"));
  EXPECT_EQ(Captions(*form.ListView_Thumbnails), std::vector<std::string>{"Round"});
  EXPECT_EQ(form.ListView_Thumbnails->iconSize(), QSize(250, 40));
  EXPECT_EQ(form.LargeImages.at(0)->Width(), 250);
  EXPECT_EQ(form.LargeImages.at(0)->Height(), 40);

  QTest::mouseClick(form.LogosLabel, Qt::LeftButton);
  EXPECT_EQ(form.TemplateFolder, folders.Folder("Animations/Logos"));
  EXPECT_EQ(form.ListView_Thumbnails->count(), 0);
  EXPECT_TRUE(form.LargeImages.empty());
  EXPECT_EQ(form.ListView_Thumbnails->iconSize(), QSize(400, 150));

  QTest::mouseClick(form.BannersLabel, Qt::LeftButton);
  EXPECT_EQ(Captions(*form.ListView_Thumbnails), (std::vector<std::string>{"Small", "Wide"}));
}

TEST(TemplateForm, AMissingProgramFolderListsNothing) {
  TempDir empty;
  FakeSystemValues system;
  system.programFolder = empty.File("nowhere");
  TTemplateForm form;
  form.show();
  EXPECT_EQ(form.TemplateFolder, empty.File("nowhere") + "/Animations/Banners/");
  EXPECT_EQ(form.ListView_Thumbnails->count(), 0);
}

// ---- Choosing a template --------------------------------------------------------------------------------

TEST(TemplateForm, OkWithATemplateSelectedGivesTheCallerItsFile) {
  TemplateFolders folders;
  TTemplateForm form;
  form.show();
  Select(*form.ListView_Thumbnails, "Small");
  form.OkButton->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  // The file as the folder holds it: its extension keeps its case.
  EXPECT_EQ(form.TemplateFileName, folders.Folder("Animations/Banners") + "Small.GLM");
}

TEST(TemplateForm, OkWithNothingSelectedOnlyCloses) {
  TemplateFolders folders;
  TTemplateForm form;
  form.show();
  QTest::mouseClick(form.LogosLabel, Qt::LeftButton);
  form.OkButton->click();
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(form.TemplateFileName, "");
  EXPECT_FALSE(form.isVisible());
}

TEST(TemplateForm, ADoubleClickOnAThumbnailOpensIt) {
  TemplateFolders folders;
  TTemplateForm form;
  form.show();
  QListWidget& list = *form.ListView_Thumbnails;
  const QRect wide = list.visualItemRect(list.item(1));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, wide.center());
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, wide.center());
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(form.TemplateFileName, folders.Folder("Animations/Banners") + "Wide.glm");
}

TEST(TemplateForm, EnterInTheListActsAsOkAndEscCancels) {
  TemplateFolders folders;
  {
    TTemplateForm form;
    form.show();
    Select(*form.ListView_Thumbnails, "Wide");
    QTest::keyClick(form.ListView_Thumbnails, Qt::Key_Return);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.TemplateFileName, folders.Folder("Animations/Banners") + "Wide.glm");
  }
  TTemplateForm form;
  form.show();
  Select(*form.ListView_Thumbnails, "Wide");
  QTest::keyClick(form.ListView_Thumbnails, Qt::Key_Escape);
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(form.TemplateFileName, "");
}

TEST(TemplateForm, CancelClosesWithoutATemplate) {
  TemplateFolders folders;
  TTemplateForm form;
  form.show();
  Select(*form.ListView_Thumbnails, "Wide");
  form.CloseBtn->click();
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(form.TemplateFileName, "");
}

// ---- The start-up box, help and the link ----------------------------------------------------------------

TEST(TemplateForm, UntickingTheStartUpBoxStoresItAndTellsWhereTheWizardIs) {
  TemplateFolders folders;
  ScriptedUiServices ui;
  TTemplateForm form;
  std::vector<bool> stored;
  form.StoreShowWizardAtStartup = [&](bool show) { stored.push_back(show); };
  form.TemplateCommandCaption = "New from Template...";
  form.ShowWizardAtStartupBtn->setChecked(true);
  form.show();
  EXPECT_TRUE(stored.empty()) << "presetting the box stores nothing";
  QTest::mouseClick(form.ShowWizardAtStartupBtn, Qt::LeftButton);
  EXPECT_EQ(stored, std::vector<bool>{false});
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "You can open this screen in future from \"File|New from Template...\" menu.");
  EXPECT_EQ(ui.messages[0].caption, ProgramName);
  EXPECT_EQ(ui.messages[0].flags, static_cast<unsigned>(MB_ICONINFORMATION));
  // Ticking it again stores it and says nothing.
  QTest::mouseClick(form.ShowWizardAtStartupBtn, Qt::LeftButton);
  EXPECT_EQ(stored, (std::vector<bool>{false, true}));
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST(TemplateForm, F1AndHelpOpenTheMainIndexTopic) {
  TemplateFolders folders;
  TTemplateForm form;
  form.show();
  QTest::keyClick(form.ListView_Thumbnails, Qt::Key_F1);
  form.HelpBtn->click();
  EXPECT_EQ(folders.shell.opened, (std::vector<std::string>{folders.Page("Main_index"), folders.Page("Main_index")}));
  EXPECT_TRUE(form.isVisible());
}

TEST(TemplateForm, ClickingTheWebAddressTellsTheMainWindow) {
  TemplateFolders folders;
  TTemplateForm form;
  int clicks = 0;
  form.OnWWWAddressClick = [&] { ++clicks; };
  form.show();
  QTest::mouseClick(form.WWWAddress, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
