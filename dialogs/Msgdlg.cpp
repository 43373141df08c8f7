#include "dialogs/Msgdlg.h"

#include "controls/Bitmpbtn.h"
#include "platform/CodePages.h"
#include "platform/Help.h"
#include "platform/ModalForms.h"
#include "platform/qtui/QtInput.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int kButtonWidth = 65;
constexpr int kButtonHeight = 35;
constexpr int kButtonGap = 2;
constexpr int kPanelWidth = 330;
constexpr int kPanelHeight = 43;

struct TButtonKind {
  const char* caption;
  TColor lamp;
};

// Lamp colours as $00BBGGRR.
constexpr TButtonKind kButtonKinds[] = {
    {"", 0},               // 0: hidden
    {"Ok", 0x00FF00},      // 1
    {"Cancel", 0x0000FF},  // 2
    {"Help", 0x800000},    // 3
    {"Yes", 0x00FF00},     // 4
    {"No", 0x0000FF},      // 5
};

TBlackBitButton* LampButton(QWidget* parent, const char* name, int left) {
  auto* button = new TBlackBitButton(parent);
  button->setObjectName(name);
  button->SetBounds(left, 4, kButtonWidth, kButtonHeight);
  TFont font = button->Font();
  font.Color = clWhite;  // white captions on the black buttons
  button->SetFont(font);
  return button;
}

}  // namespace

std::vector<std::string> MessageLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\r') {
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

int DisplayedLineCount(const std::vector<int>& lineWidths, int memoWidth) {
  if (memoWidth <= 0) return static_cast<int>(lineWidths.size());
  int count = 0;
  for (int width : lineWidths) count += width / memoWidth + 1;
  return count;
}

TMsgDialog::TMsgDialog(QWidget* owner) : QDialog(owner) {
  setObjectName("MsgDialog");
  setWindowTitle("Error");
  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(40, 40));
  Image1->setAlignment(Qt::AlignTop);
  MessageTxt = new QPlainTextEdit(this);
  MessageTxt->setObjectName("MessageTxt");
  MessageTxt->setReadOnly(true);
  MessageTxt->setFrameShape(QFrame::NoFrame);
  MessageTxt->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  MessageTxt->setMinimumSize(300, 120);
  QPalette palette = MessageTxt->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  MessageTxt->setPalette(palette);

  NeverAsk = new QCheckBox("&Never show this note", this);
  NeverAsk->setObjectName("NeverAsk");
  NeverAsk->hide();
  AskBevel = new QFrame(this);
  AskBevel->setObjectName("AskBevel");
  AskBevel->setFrameShape(QFrame::HLine);
  AskBevel->setFrameShadow(QFrame::Sunken);
  AskBevel->hide();

  Panel2 = new QFrame(this);
  Panel2->setObjectName("Panel2");
  Panel2->setFixedSize(kPanelWidth, kPanelHeight);
  const int helpLeft = kPanelWidth - 6 - kButtonWidth;
  const int cancelLeft = helpLeft - kButtonGap - kButtonWidth;
  HelpBtn = LampButton(Panel2, "HelpBtn", helpLeft);
  CancelBtn = LampButton(Panel2, "CancelBtn", cancelLeft);
  OkBtn = LampButton(Panel2, "OkBtn", cancelLeft - kButtonGap - kButtonWidth);
  OkBtn->OnClick = [this](QObject*) { OkBtnClick(); };
  CancelBtn->OnClick = [this](QObject*) { CancelBtnClick(); };
  HelpBtn->OnClick = [this](QObject*) { HelpBtnClick(); };
  SetButtons(mbkOk, mbkHidden, mbkHelp);

  auto* top = new QHBoxLayout;
  top->addWidget(Image1);
  top->addWidget(MessageTxt, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(AskBevel);
  layout->addWidget(NeverAsk);
  layout->addWidget(Panel2, 0, Qt::AlignRight);
}

void TMsgDialog::SetMsgButtonKind(TBlackBitButton& button, int kind) {
  if (kind < mbkHidden || kind > mbkNo) return;
  if (kind == mbkHidden) {
    button.SetVisible(false);
    return;
  }
  button.SetCaption(kButtonKinds[kind].caption);
  button.SetOnColor(kButtonKinds[kind].lamp);
  button.SetOffColor(kButtonKinds[kind].lamp);
  button.SetVisible(true);
}

void TMsgDialog::SetButtons(int okKind, int cancelKind, int helpKind) {
  SetMsgButtonKind(*OkBtn, okKind);
  SetMsgButtonKind(*CancelBtn, cancelKind);
  SetMsgButtonKind(*HelpBtn, helpKind);
  const int okLeft = CancelBtn->Visible() ? CancelBtn->Left() - OkBtn->Width() - kButtonGap : CancelBtn->Left();
  OkBtn->SetLeft(okLeft);
}

void TMsgDialog::ShowNeverAskCheck() {
  NeverAsk->show();
  AskBevel->show();
}

int TMsgDialog::ShowMessageText(const std::string& caption, const std::string& text) {
  setWindowTitle(AnsiToQString(caption));
  lines_ = MessageLines(text);
  QStringList shown;
  for (const std::string& line : lines_) shown << AnsiToQString(line);
  MessageTxt->setPlainText(shown.join('\n'));
  return ShowModal(*this);
}

// ---- Handlers ------------------------------------------------------------------------------------

void TMsgDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TMsgDialog::FormShow() {
  setFont(QApplication::font());  // the main window's font
  const QFontMetrics metrics(MessageTxt->font());
  const int memoWidth = MessageTxt->viewport()->width();
  std::vector<int> widths;
  for (const std::string& line : lines_) widths.push_back(metrics.horizontalAdvance(AnsiToQString(line)));
  const int needed = DisplayedLineCount(widths, memoWidth) * metrics.height();
  MessageTxt->setVerticalScrollBarPolicy(MessageTxt->height() < needed ? Qt::ScrollBarAlwaysOn
                                                                         : Qt::ScrollBarAlwaysOff);
}

void TMsgDialog::keyPressEvent(QKeyEvent* event) {
  if (const std::optional<char> character = KeyPressCharOf(*event)) {
    char typed = *character;
    FormKeyPress(typed);
    if (typed == 0) return;
  }
  QDialog::keyPressEvent(event);
}

void TMsgDialog::FormKeyPress(char& Key) {
  if (Key == '\r') {
    Key = 0;
    done(mrOk);
  } else if (Key == 27) {
    Key = 0;
    done(mrCancel);
  }
}

void TMsgDialog::OkBtnClick() { done(mrOk); }

void TMsgDialog::CancelBtnClick() { done(mrCancel); }

void TMsgDialog::HelpBtnClick() { HelpJump("HelpID_5"); }

void TMsgDialog::done(int result) {
  QDialog::done(result);
  FormClose();
}

void TMsgDialog::FormClose() {
  SetButtons(mbkOk, mbkHidden, mbkHelp);
  NeverAsk->hide();
  AskBevel->hide();
}
