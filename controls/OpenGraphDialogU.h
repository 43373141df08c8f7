// The picture open dialog: the open-file chooser with a preview area at its
// right (the file's size, frame count and colours, the picture, a "&Preview"
// box that switches previewing off, and a button, or a double click on the
// picture, that shows the picture at full size in the "Preview" form). The
// main window opens frame pictures, projects, animations and textures with it.
//
// The chooser itself is the user-interface services' open chooser with a
// side panel: the dialog hands it the preview area and follows its show,
// selection-change and close reports. The preview picture comes from
// LoadPreviewPicture (controls/core/PreviewPicture.h).
#pragma once

#include "controls/Image.h"
#include "controls/PaintBox.h"
#include "platform/Events.h"
#include "platform/Graphics.h"
#include "platform/UiServices.h"

#include <QDialog>
#include <QObject>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QToolButton;

// The options of the open dialog that the chooser honours.
enum TOpenOption : unsigned {
  ofAllowMultiSelect = 0x200,
};

// The default filter of the picture open dialog.
extern const char* const SPictureDialogFilter;

// The preview area: a panel whose children follow its size, each aligned to
// its side (the label at the top, the "&Preview" box at the bottom, the
// framed paint box in between, the preview button at the frame's top right).
class TPicturePanel : public QWidget {
 public:
  explicit TPicturePanel(QWidget* parent = nullptr);
  // Places the children for the panel's current size.
  void ArrangeChildren();

  QLabel* PictureLabel = nullptr;
  QToolButton* PreviewButton = nullptr;
  QFrame* PaintPanel = nullptr;
  TPaintBox* PaintBox = nullptr;
  QCheckBox* PreviewBox = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

// The full-size preview: a sizeable tool window centred on the screen that
// shows a copy of the picture in a framed, stretching image. Esc closes it.
class TPreviewForm : public QDialog {
 public:
  // The form is sized so that the picture shows at its own size.
  TPreviewForm(QWidget* parent, const TBitmap& picture);

  QFrame* Panel = nullptr;
  TImage* Image = nullptr;
};

class TOpenGraphicDialog : public QObject {
 public:
  explicit TOpenGraphicDialog(QObject* owner = nullptr);
  ~TOpenGraphicDialog() override;

  // ---- The open dialog's properties ----
  std::string Title;
  std::string Filter = SPictureDialogFilter;
  int FilterIndex = 1;
  std::string InitialDir;
  // The file chosen (the first one when several were).
  std::string FileName;
  std::string DefaultExt;
  unsigned Options = 0;
  // Every file chosen by the last Execute.
  const std::vector<std::string>& Files() const { return files_; }

  // ---- Preview ----
  bool PreviewEnabled() const { return previewEnabled_; }
  // Shows or hides the "&Preview" box and the preview button.
  void SetPreviewEnabled(bool value);
  // Runs the chooser with the preview area; true when the user chose a file.
  bool Execute();

  // The picture of the last preview, and its frame count and colour code.
  TBitmap& PreviewPicture() { return previewPicture_; }
  std::int32_t FrameCount() const { return frameCount_; }
  std::uint8_t ColorCode() const { return colorCode_; }

  // ---- The parts of the preview area (owned by the dialog) ----
  TPicturePanel* PicturePanel = nullptr;
  QLabel* PictureLabel = nullptr;
  QToolButton* PreviewButton = nullptr;
  QFrame* PaintPanel = nullptr;
  TPaintBox* PaintBox = nullptr;
  QCheckBox* PreviewBox = nullptr;

  // ---- Handlers ----
  // The chooser was shown: the preview button takes its place and the
  // preview area starts empty.
  void DoShow();
  // The chooser closed: the hint window goes.
  void DoClose();
  // The current file changed to FileName: its preview, or the empty state.
  void DoSelectionChange();
  void PaintBoxPaint(QObject* Sender);
  // The preview button and a double click on the picture: the full-size preview.
  void PreviewButtonClick();
  void PaintBoxDblClick(QObject* Sender);

  TNotifyEvent OnShow;
  TNotifyEvent OnClose;
  TNotifyEvent OnSelectionChange;

 private:
  void ShowEmptyState(const std::string& caption);

  std::unique_ptr<TPicturePanel> panel_;
  FileChooserPanel chooserPanel_;
  TBitmap previewPicture_;
  bool previewEnabled_ = true;
  std::int32_t frameCount_ = 0;
  std::uint8_t colorCode_ = 0;
  std::vector<std::string> files_;
};
