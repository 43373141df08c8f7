// The "Templates" wizard (TTemplateForm): the project files of one template
// set under the program folder as thumbnails; the chosen one is opened by the
// caller in a new document window.
//
//   TTemplateForm form(MainForm);
//   form.ShowWizardAtStartupBtn->setChecked(settings.ShowWizardAtStartup);
//   form.TemplateCommandCaption = File_NewFromTemplate->text();
//   form.StoreShowWizardAtStartup = [&](bool show) { settings.ShowWizardAtStartup = show; };
//   form.OnWWWAddressClick = [&] { TimerRunCheckUpdate.SetEnabled(true); };
//   if (ShowModal(form) == mrOk) ...open form.TemplateFileName in a new document window...
//
// Ok (also Enter and a double click on a thumbnail) answers OK only when a
// template is selected; otherwise the wizard just closes (Cancel). Esc
// answers Cancel, F1 and Help open the help topic "Main_index".
#pragma once

#include "platform/Keyboard.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class TBitmap;
class TURL;

// A set of templates: its folder under the program folder and the size of
// its thumbnails.
struct TTemplateSet {
  const char* folder;
  int width;
  int height;
};
extern const TTemplateSet kBannerTemplates;  // "Animations/Banners/", 400 x 51
extern const TTemplateSet kButtonTemplates;  // "Animations/Buttons/", 250 x 40
extern const TTemplateSet kLogoTemplates;    // "Animations/Logos/", 400 x 150

class TTemplateForm : public QDialog {
  Q_OBJECT

 public:
  explicit TTemplateForm(QWidget* owner = nullptr);
  ~TTemplateForm() override;

  // ---- Components ----
  QLabel* BannersLabel = nullptr;  // the three sets: hand cursor, "Click to show templates"
  QLabel* ButtonsLabel = nullptr;
  QLabel* LogosLabel = nullptr;
  // The thumbnails with the file names without extension; hidden until a set is listed.
  QListWidget* ListView_Thumbnails = nullptr;
  QCheckBox* ShowWizardAtStartupBtn = nullptr;  // "Show this screen at startup."
  QPushButton* OkButton = nullptr;
  QPushButton* CloseBtn = nullptr;
  QPushButton* HelpBtn = nullptr;
  TURL* WWWAddress = nullptr;  // the maker's web address

  // The thumbnails of the listed set, one per list item, ThumbnailWidth x ThumbnailHeight.
  std::vector<std::unique_ptr<TBitmap>> LargeImages;
  int ThumbnailWidth = 0;
  int ThumbnailHeight = 0;

  // ---- Fields ----
  // The listed set's folder: the program folder (with "/") + the set's folder.
  std::string TemplateFolder;
  // After OK: the chosen template's file (folder and name); empty otherwise.
  std::string TemplateFileName;
  // The caption of the main window's template command, for the message shown
  // when the start-up box is unticked.
  std::string TemplateCommandCaption;
  // Stores the start-up box into the main window's setting.
  std::function<void(bool show)> StoreShowWizardAtStartup;
  // Runs when the web address is clicked (the main window starts its upgrade check).
  std::function<void()> OnWWWAddressClick;

  // ---- Handlers ----
  void FormCreate();
  // Lists the banners.
  void FormShow();
  void FormKeyPress(char& Key);
  void FormKeyDown(WORD& Key, TShiftState Shift);
  void BannersLabelClick();
  void ButtonsLabelClick();
  void LogosLabelClick();
  void ListView_ThumbnailsDblClick();
  // With a template selected: keeps its file name and answers OK; closes in any case.
  void OkButtonClick();
  void CloseBtnClick();
  void HelpBtnClick();
  void ShowWizardAtStartupBtnClick();
  void WWWAddressClick();

  // Lists the project files of the program folder's `folder` as width x
  // height thumbnails, in sorted order. A file whose preview cannot be read
  // is left out, silently.
  void ShowTemplates(const std::string& folder, int width, int height);
  void ShowTemplates(const TTemplateSet& set) { ShowTemplates(set.folder, set.width, set.height); }
  // Adds the thumbnail of a preview picture with the file's name (without
  // its extension) as caption.
  void AddThumbnail(const TBitmap& picture, const std::string& fileName);

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* MakeSetLabel(const char* name, const char* caption);
  // The file of the selected item, or null when none is selected.
  const QListWidgetItem* SelectedItem() const;
};
