// The screen's cursor table: every cursor number of platform/Cursors.h as a
// Qt cursor. Standard numbers map to Qt's shapes; the editor's own cursors
// (5-9, 101, 103-105) are pictures drawn in code, made once and kept.
// Needs the application object (cursors are pixmaps).
#pragma once

#include "platform/Cursors.h"

#include <QCursor>
#include <QImage>
#include <QPoint>

class QWidget;

// The cursor of a number. crDefault and numbers the table does not know give
// the arrow, as the class library's table answers unknown numbers.
QCursor ScreenCursor(TCursor cursor);

// The picture of one of the editor's own cursors: 32 x 32, ARGB32, black
// outlines on white with a transparent surround. A null image for any other number.
QImage CursorPicture(TCursor cursor);
// The hot spot of one of the editor's own cursors within its picture; (0, 0) otherwise.
QPoint CursorHotSpot(TCursor cursor);

// Shows the cursor over the widget. crDefault leaves the widget without a
// cursor of its own, so it shows its parent's, as a control with the
// default cursor does.
void ApplyCursor(QWidget& widget, TCursor cursor);
