// The pictures of the main window's commands on its tool bars and in its
// menus, drawn in code.
#pragma once

#include "platform/Graphics.h"

#include <QIcon>

class QPushButton;

// The size of the tool bars' pictures.
inline constexpr int kToolIconSize = 20;

// The picture of a command by its design name; an empty icon for a command
// that has none.
QIcon CommandIcon(const char* commandName);

// The program's own picture (its windows' icon).
QIcon ProgramIcon();

// A colour button keeps its colour ($00BBGGRR) and shows it as a framed
// swatch beside its caption.
TColor ButtonColor(const QPushButton& button);
void SetButtonColor(QPushButton& button, TColor color);
