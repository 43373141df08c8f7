// What the page files of the main window share.
#pragma once

#include "platform/Colors.h"

class QToolButton;
class QWidget;

// A colour button of the pages shows its colour and keeps it ($00BBGGRR).
void SetButtonColor(QToolButton* button, TColor color);
TColor ButtonColor(const QToolButton* button);
QToolButton* MakeColorButton(QWidget* parent, const char* name);
