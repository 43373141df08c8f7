// The plain text page (frame preview page 1, shared with the 3D text
// editor): every change re-renders the preview and, unless the page is
// being filled, changes the text frame the page was filled from.
#include "app/MainFormShapes.h"
#include "app/MainFormU.h"
#include "app/MainFormTree.h"
#include "app/MainFormPages.h"
#include "app/MainFormLayout.h"

#include "app/core/FrameDefaults.h"
#include "app/core/SizeLimits.h"
#include "controls/Bitmpbtn.h"
#include "controls/CharPicker.h"
#include "controls/Image.h"
#include "controls/WPopOutFntCBox.h"
#include "platform/CodePages.h"
#include "platform/SysUtils.h"
#include "controls/PopupWindow.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace {

// The point sizes the size box lists.
constexpr int kPointSizes[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

class TLoadingScope {
 public:
  explicit TLoadingScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
  ~TLoadingScope() { flag_ = before_; }
  TLoadingScope(const TLoadingScope&) = delete;
  TLoadingScope& operator=(const TLoadingScope&) = delete;

 private:
  bool& flag_;
  bool before_;
};

QToolButton* MakeStyleButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText(caption);
  button->setCheckable(true);
  button->setAutoRaise(true);
  return button;
}

// The frame parameters of plain text drawn in a font on a background.
TText2DParams PlainTextParams(const TFont& font, TColor textColor, TColor background) {
  TText2DParams params;
  params.Charset = font.Charset;
  params.TextColor = static_cast<std::int32_t>(textColor);
  params.FontHeight = font.Height();
  params.FontName = font.Name;
  params.Pitch = static_cast<std::uint8_t>(font.Pitch);
  params.Style = font.Style;
  params.BackgroundColor = static_cast<std::int32_t>(background);
  params.Mode = tdmPlain;
  return params;
}

// The picture size plain text gets in a font, measured as the drawing does.
TSize PlainTextSize(const std::string& text, const TFont& font) {
  TBitmap probe;
  probe.SetSize(1, 1);
  probe.Canvas().Font() = font;
  // A line is at least as high as the font, whatever the font system gives.
  return {probe.Canvas().TextWidth(text + "0"), std::max(probe.Canvas().TextHeight(text + "0"), std::abs(font.Height()))};
}

}  // namespace

void TShapesArea::CreateSimpleTextPage() {
  QWidget* page = Layout().NotebookFramePreview()->widget(1);
  auto* pageLayout = static_cast<QVBoxLayout*>(page->layout());

  ScrollBox_3DText = new QScrollArea(page);
  ScrollBox_3DText->setObjectName("ScrollBox_3DText");
  ScrollBox_3DText->setMinimumHeight(90);
  auto* previewArea = new QWidget(ScrollBox_3DText);
  previewArea->setObjectName("ScrollBox_3DTextArea");
  ScrollBox_3DText->setWidget(previewArea);
  ScrollBox_3DText->setWidgetResizable(true);
  SimpleText_Image = new TImage(previewArea);
  SimpleText_Image->setObjectName("SimpleText_Image");
  // A press on the text preview is a press on the frame's preview (the pick-up tool).
  SimpleText_Image->OnMouseDown = [this](QObject*, TMouseButton button, TShiftState, int x, int y) {
    FramePages().NativeImageMouseDown(button == mbLeft, x, y);
  };

  RadioGroup_3DorSimpleText = new QGroupBox(page);
  RadioGroup_3DorSimpleText->setObjectName("RadioGroup_3DorSimpleText");
  auto* radioLayout = new QHBoxLayout(RadioGroup_3DorSimpleText);
  auto* radioGroup = new QButtonGroup(RadioGroup_3DorSimpleText);
  for (const char* caption : {"3D text", "Simple text"}) {
    auto* item = new QRadioButton(caption, RadioGroup_3DorSimpleText);
    radioGroup->addButton(item, radioGroup->buttons().size());
    radioLayout->addWidget(item);
  }
  radioGroup->button(0)->setChecked(true);
  connect(radioGroup, &QButtonGroup::idClicked, this, [this] { RadioGroup_3DorSimpleTextClick(); });

  Notebook_3DorSimpleText = new QStackedWidget(page);
  Notebook_3DorSimpleText->setObjectName("Notebook_3DorSimpleText");
  for (const char* name : {"Text3DPage", "SimpleTextPage"}) {
    auto* sub = new QWidget(Notebook_3DorSimpleText);
    sub->setObjectName(name);
    new QVBoxLayout(sub);
    Notebook_3DorSimpleText->addWidget(sub);
  }
  pageLayout->insertWidget(0, ScrollBox_3DText);
  pageLayout->insertWidget(1, RadioGroup_3DorSimpleText);
  pageLayout->insertWidget(2, Notebook_3DorSimpleText);

  QWidget* simple = Notebook_3DorSimpleText->widget(1);
  auto* grid = new QGridLayout;
  static_cast<QVBoxLayout*>(simple->layout())->addLayout(grid);
  const TPlainTextDefaults defaults = DefaultPlainText();
  TextEdit = new QLineEdit(AnsiToQString(defaults.Text), simple);
  TextEdit->setObjectName("TextEdit");
  grid->addWidget(TextEdit, 0, 0, 1, 4);
  FontsList2 = new TWPopOutFntCBox(simple);
  FontsList2->setObjectName("FontsList2");
  FontsList2->SetFontName(defaults.FontName);
  FontsList2->SetAttachedEdit(TextEdit);
  grid->addWidget(FontsList2, 1, 0, 1, 2);
  ComboBoxSize1 = new QComboBox(simple);
  ComboBoxSize1->setObjectName("ComboBoxSize1");
  ComboBoxSize1->setEditable(true);
  for (int size : kPointSizes) ComboBoxSize1->addItem(QString::number(size));
  ComboBoxSize1->setCurrentText(QString::fromStdString(defaults.SizeText));
  grid->addWidget(ComboBoxSize1, 1, 2);
  Bold_TextButton2 = MakeStyleButton(simple, "Bold_TextButton2", "B");
  Italic_Font_Button2 = MakeStyleButton(simple, "Italic_Font_Button2", "I");
  grid->addWidget(Bold_TextButton2, 2, 0);
  grid->addWidget(Italic_Font_Button2, 2, 1);
  SetTextColorBtn = new TBitmapButton(simple);
  SetTextColorBtn->setObjectName("SetTextColorBtn");
  SetTextColorBtn->setFixedSize(40, 22);
  grid->addWidget(SetTextColorBtn, 2, 2);
  ToolButton_InsertSimbol2 = new QToolButton(simple);
  ToolButton_InsertSimbol2->setObjectName("ToolButton_InsertSimbol2");
  ToolButton_InsertSimbol2->setText("\xC2\xA9");
  grid->addWidget(ToolButton_InsertSimbol2, 2, 3);
  SetBgColor = new TBitmapButton(simple);
  SetBgColor->setObjectName("SetBgColor");
  SetBgColor->SetCaption("Background Color...");
  SetBgColor->setFixedHeight(22);
  grid->addWidget(SetBgColor, 3, 0, 1, 2);
  TextFontBtn2 = new QPushButton("Font...", simple);
  TextFontBtn2->setObjectName("TextFontBtn2");
  grid->addWidget(TextFontBtn2, 3, 2, 1, 2);

  // The page's canvas font starts as the plain text defaults say.
  simpleTextFont_ = TFont();
  simpleTextFont_.Name = defaults.FontName;
  simpleTextFont_.SetHeight(defaults.Params.FontHeight);
  simpleTextFont_.Charset = defaults.Params.Charset;
  simpleTextFont_.Color = static_cast<TColor>(defaults.Params.TextColor);
  SetTextColorBtn->SetButtonColor(simpleTextFont_.Color);
  SetBgColor->SetButtonColor(static_cast<TColor>(defaults.Params.BackgroundColor));

  connect(TextEdit, &QLineEdit::textEdited, this, [this] { TextEditChange(); });
  FontsList2->OnFontChange = [this](QObject*) { FontsList2FontChange(); };
  connect(ComboBoxSize1, &QComboBox::textActivated, this, [this] { ComboBoxSize1Change(); });
  connect(ComboBoxSize1->lineEdit(), &QLineEdit::editingFinished, this, [this] { ComboBoxSize1Change(); });
  for (QToolButton* button : {Bold_TextButton2, Italic_Font_Button2})
    connect(button, &QToolButton::clicked, this, [this] { RenderSimpleText(); });
  for (TBitmapButton* button : {SetTextColorBtn, SetBgColor})
    button->OnClick = [this, button](QObject*) { PickButtonColor(button, [this] { RenderSimpleText(); }); };
  connect(TextFontBtn2, &QPushButton::clicked, this, [this] { TextFontBtn2Click(); });
  connect(ToolButton_InsertSimbol2, &QToolButton::clicked, this, [this] { ToolButton_InsertSimbol2Click(); });
}

int TShapesArea::TextKindIndex() const {
  const auto items = RadioGroup_3DorSimpleText->findChildren<QRadioButton*>();
  for (int i = 0; i < items.size(); ++i)
    if (items[i]->isChecked()) return i;
  return -1;
}

void TShapesArea::SetTextKindIndex(int index) {
  const auto items = RadioGroup_3DorSimpleText->findChildren<QRadioButton*>();
  if (index >= 0 && index < items.size()) items[index]->setChecked(true);
  Notebook_3DorSimpleText->setCurrentIndex(std::max(index, 0));
}

void TShapesArea::LoadTextPage() {
  TFrame* frame = CurrentFrame();
  if (frame != nullptr && frame->Kind == fkText) LoadSimpleTextPage(*frame);
}

void TShapesArea::LoadSimpleTextPage(TFrame& frame) {
  FlushPendingFrameEdits();
  const TLoadingScope loading(loadingFramePage_);
  textPageFrame_ = PageFrameOf(frame);
  if (frame.Sprite() != nullptr) frame.Sprite()->SetCurrentFrameIndex(frame.Index());
  if (frame.Kind == fkText) SetTextKindIndex(1);
  TextEdit->setText(AnsiToQString(frame.Text));
  if (frame.Kind == fkText) LoadSimpleTextFont(frame.TextParams);
  RenderSimpleText();
}

// The preview's font and colours from a plain text frame's parameters.
void TShapesArea::LoadSimpleTextFont(const TText2DParams& params) {
  simpleTextFont_.Charset = params.Charset;
  simpleTextFont_.Color = static_cast<TColor>(params.TextColor);
  simpleTextFont_.SetHeight(params.FontHeight);
  simpleTextFont_.Name = params.FontName;
  simpleTextFont_.Pitch = params.Pitch <= fpFixed ? static_cast<TFontPitch>(params.Pitch) : fpDefault;
  simpleTextFont_.Style = params.Style;
  SetTextColorBtn->SetButtonColor(simpleTextFont_.Color);
  ComboBoxSize1->setCurrentText(QString::number(simpleTextFont_.Size()));
  FontsList2->SetFontName(simpleTextFont_.Name);
  Bold_TextButton2->setChecked((params.Style & fsBold) != 0);
  Italic_Font_Button2->setChecked((params.Style & fsItalic) != 0);
  SetBgColor->SetButtonColor(static_cast<TColor>(params.BackgroundColor));
}

void TShapesArea::RenderSimpleText() {
  std::uint8_t style = simpleTextFont_.Style & ~(fsBold | fsItalic);
  if (Bold_TextButton2->isChecked()) style |= fsBold;
  if (Italic_Font_Button2->isChecked()) style |= fsItalic;
  simpleTextFont_.Style = style;
  const std::string text = QStringToAnsi(TextEdit->text());
  const TSize size = PlainTextSize(text, simpleTextFont_);
  // A text whose picture the project reader would refuse is not drawn.
  try {
    RequireSavableImageSize(size.cx, size.cy);
  } catch (const ESizeRefused& refused) {
    Ui().MessageBox(Handle(), refused.Message(), "Error", MB_ICONERROR);
    return;
  }
  const TText2DParams params =
      PlainTextParams(simpleTextFont_, SetTextColorBtn->ButtonColor(), SetBgColor->ButtonColor());
  TBitmap& picture = SimpleText_Image->Bitmap();
  picture.SetSize(10, 10);
  DrawText2D(picture, text, params);
  SimpleText_Image->SetBounds(0, 0, picture.Width(), picture.Height());
  const QSize box = ScrollBox_3DText->viewport()->size();
  SimpleText_Image->SetBounds(std::max(0, (box.width() - picture.Width()) / 2),
                              std::max(0, (box.height() - picture.Height()) / 2), picture.Width(), picture.Height());
  SimpleText_Image->Repaint();

  if (loadingFramePage_ || addInProgress_) return;
  TFrame* frame = FrameOfPage(textPageFrame_);
  if (frame != nullptr && frame->Sprite() != nullptr) {
    const bool unchanged = frame->Kind == fkText && frame->Text == text && frame->TextParams == params;
    if (unchanged) return;
    ChangePageFrame(textPageFrame_, [&] {
      frame->Sprite()->ChangeText(frame->Index(), text, params, picture, frame->Transparent(), frame->TransparentColor());
    });
    return;
  }
  RequestSceneRecompute();
}

void TShapesArea::TextEditChange() {
  FontsList2->SetPreviewText(QStringToAnsi(TextEdit->text()));
  // A text frame's node reads its text in double quotes. Quietly: the tree
  // takes a change it hears of as an edit of the node's caption.
  QTreeWidget* tree = Tree().ShownTree();
  if (QTreeWidgetItem* node = tree->currentItem(); TTreeArea::NodeKind(node) == TTreeArea::nkTextFrame) {
    const QSignalBlocker quiet(tree);
    node->setText(0, "\"" + TextEdit->text() + "\"");
  }
  RenderSimpleText();
}

void TShapesArea::FontsList2FontChange() {
  if (simpleTextFont_.Name == FontsList2->FontName()) return;
  simpleTextFont_.Name = FontsList2->FontName();
  RenderSimpleText();
}

void TShapesArea::ComboBoxSize1Change() {
  const int previous = simpleTextFont_.Size();
  const std::optional<std::int32_t> size = TryStrToInt(QStringToAnsi(ComboBoxSize1->currentText().trimmed()));
  bool accepted = size.has_value() && *size >= 1 && *size <= 65535;
  if (accepted && *size == previous) return;
  if (accepted) {
    TFont candidate = simpleTextFont_;
    candidate.SetSize(*size);
    const TSize picture = PlainTextSize(QStringToAnsi(TextEdit->text()), candidate);
    try {
      RequireSavableImageSize(picture.cx, picture.cy);
    } catch (const ESizeRefused& refused) {
      Ui().MessageBox(Handle(), refused.Message(), "Error", MB_ICONERROR);
      accepted = false;
    }
  }
  if (!accepted) {
    // Only whole sizes whose picture can be saved and read again are taken.
    ComboBoxSize1->setCurrentText(QString::number(previous));
    return;
  }
  simpleTextFont_.SetSize(*size);
  RenderSimpleText();
}

void TShapesArea::TextFontBtn2Click() {
  FontDescription initial;
  initial.name = simpleTextFont_.Name;
  initial.size = simpleTextFont_.Size();
  initial.bold = (simpleTextFont_.Style & fsBold) != 0;
  initial.italic = (simpleTextFont_.Style & fsItalic) != 0;
  initial.underline = (simpleTextFont_.Style & fsUnderline) != 0;
  initial.strikeOut = (simpleTextFont_.Style & fsStrikeOut) != 0;
  initial.color = SetTextColorBtn->ButtonColor();
  initial.charset = simpleTextFont_.Charset;
  const std::optional<FontDescription> chosen = Ui().ChooseFont(initial);
  if (!chosen) return;
  TFont font = simpleTextFont_;
  font.Name = chosen->name;
  font.SetSize(chosen->size);
  font.Style = static_cast<std::uint8_t>((chosen->bold ? fsBold : 0) | (chosen->italic ? fsItalic : 0) |
                                         (chosen->underline ? fsUnderline : 0) | (chosen->strikeOut ? fsStrikeOut : 0));
  font.Color = chosen->color;
  font.Charset = chosen->charset;
  const TSize picture = PlainTextSize(QStringToAnsi(TextEdit->text()), font);
  try {
    RequireSavableImageSize(picture.cx, picture.cy);
  } catch (const ESizeRefused& refused) {
    Ui().MessageBox(Handle(), refused.Message(), "Error", MB_ICONERROR);
    return;
  }
  simpleTextFont_ = font;
  FontsList2->SetFontName(font.Name);
  Bold_TextButton2->setChecked(chosen->bold);
  Italic_Font_Button2->setChecked(chosen->italic);
  SetTextColorBtn->SetButtonColor(font.Color);
  ComboBoxSize1->setCurrentText(QString::number(font.Size()));
  RenderSimpleText();
}

void TShapesArea::ToolButton_InsertSimbol2Click() {
  TCharPicker picker(&Window());
  TFont font = simpleTextFont_;
  font.Name = FontsList2->FontName();
  picker.SetFont(font);
  if (!picker.Execute(ToolButton_InsertSimbol2)) return;
  TextEdit->insert(AnsiToQString(std::string(1, picker.ReturnChar())));
  TextEditChange();
}

void TShapesArea::RadioGroup_3DorSimpleTextClick() {
  const int item = std::max(TextKindIndex(), 0);
  Notebook_3DorSimpleText->setCurrentIndex(item);
  const bool threeD = item == 0;
  for (const char* name : {"SelectionBox_3DScene", "QelView1"})
    if (auto* view = Window().findChild<QWidget*>(name)) view->setVisible(threeD);
  SimpleText_Image->setVisible(!threeD);
  if (addInProgress_) return;
  // The frame the switch converts: the page's frame, or the current one
  // when the 3D text editor filled the page.
  if (TFrame* current = CurrentFrame(); current != nullptr && (current->Kind == fkText || current->Kind == fkText3D))
    textPageFrame_ = PageFrameOf(*current);
  auto* text3D = Window().findChild<QLineEdit*>("EditNewText");
  if (threeD) {
    // The 3D text editor's text box takes the text; its change handler
    // turns the frame into 3D text when its timer fires.
    if (text3D != nullptr) text3D->setText(TextEdit->text());
  } else {
    if (text3D != nullptr) TextEdit->setText(text3D->text());
    TextEditChange();
  }
}
