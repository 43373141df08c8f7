// Screen cursor numbers. The class library's standard cursors have negative
// numbers; the editor's own cursors are drawn in code and kept in the screen's
// cursor table under fixed positive numbers of their own. A control names its
// cursor by number; the Qt side (platform/qtui/ScreenCursors.h) turns a number
// into a cursor on the screen.
#pragma once

// An enum with a fixed underlying type, so any number fits, named or not.
enum TCursor : int {
  crDefault = 0,
  crNone = -1,
  crArrow = -2,
  crCross = -3,
  crIBeam = -4,
  crSizeNESW = -6,
  crSizeNS = -7,
  crSizeNWSE = -8,
  crSizeWE = -9,
  crUpArrow = -10,
  crHourGlass = -11,
  crDrag = -12,
  crNoDrop = -13,
  crHSplit = -14,
  crVSplit = -15,
  crMultiDrag = -16,
  crSQLWait = -17,
  crNo = -18,
  crAppStart = -19,
  crHelp = -20,
  crHandPoint = -21,
  crSizeAll = -22,
  crSize = -22,

  // The editor's own cursors, named after the resources they replace.
  crHandCursor = 5,          // "HANDCURSOR": the link field's pointing hand
  crMove = 6,                // "MOVE": moving a selection box or a motion path
  crMoveDuration = 7,        // "MOVEDURATION": a visibility interval's body on the time line
  crMoveDurationLeft = 8,    // "MOVEDURATIONLEFT": an interval's start grip
  crMoveDurationRight = 9,   // "MOVEDURATIONRIGHT": an interval's end grip
  crAirDrop = 101,           // "AIRDROP": picking a colour from a picture
  crZoomCursor = 103,        // "ZOOM_CURSOR": growing 3D text
  crLightMoving = 104,       // "LIGHT_MOVING": moving a 3D light
  crRotate = 105,            // "ROTATE": rotating the 3D view
};

// Whether the number is a standard cursor (crArrow .. crSizeAll) or crDefault.
constexpr bool IsStandardCursor(TCursor cursor) { return cursor <= crDefault && cursor >= crSizeAll && cursor != -5; }
// Whether the number is one of the editor's own cursors.
constexpr bool IsOwnCursor(TCursor cursor) {
  return (cursor >= crHandCursor && cursor <= crMoveDurationRight) || cursor == crAirDrop ||
         (cursor >= crZoomCursor && cursor <= crRotate);
}
