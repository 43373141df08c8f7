#include "controls/POFCBox.h"

#include "platform/CodePages.h"
#include "platform/Colors.h"
#include "platform/Fonts.h"

#include <QColor>
#include <QPalette>
#include <QVBoxLayout>

namespace {

QColor QtColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

}  // namespace

TPForm::TPForm() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("PForm");
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_QuitOnClose, false);
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(true);
  QPalette formPalette = palette();
  formPalette.setColor(QPalette::Window, QtColor(clBtnFace));
  setPalette(formPalette);

  Panel1 = new QLabel(this);
  Panel1->setObjectName("Panel1");
  Panel1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  Panel1->setMargin(6);
  Panel1->setAutoFillBackground(true);
  QPalette panelPalette = Panel1->palette();
  panelPalette.setColor(QPalette::Window, QtColor(clWindow));
  panelPalette.setColor(QPalette::WindowText, QtColor(clWindowText));
  Panel1->setPalette(panelPalette);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Panel1);

  SetPanelFontName("MS Sans Serif");
  resize(300, 75);
}

TPForm::~TPForm() = default;

void TPForm::SetPanelFontName(const std::string& name) {
  fontName_ = name;
  TFont font;
  font.Name = name;
  font.Style = fsBold;
  font.SetHeight(-32);
  Panel1->setFont(ToQFont(font));
}

void TPForm::SetPanelCaption(const std::string& text) {
  caption_ = text;
  Panel1->setText(AnsiToQString(text));
}
