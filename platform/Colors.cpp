#include "platform/Colors.h"

#include "platform/SysUtils.h"

#include <array>

namespace {

// Classic desktop scheme, so that colours stored in files always resolve the same.
constexpr std::array<TColor, SYSTEM_COLOR_COUNT> kSystemColors = {
    RGB(212, 208, 200),  // scroll bar
    RGB(58, 110, 165),   // desktop
    RGB(10, 36, 106),    // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(212, 208, 200),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(212, 208, 200),  // active border
    RGB(212, 208, 200),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(10, 36, 106),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(212, 208, 200),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(212, 208, 200),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(64, 64, 64),     // 3D dark shadow
    RGB(212, 208, 200),  // 3D light
    RGB(0, 0, 0),        // tooltip text
    RGB(255, 255, 225),  // tooltip background
    RGB(181, 181, 181),  // (unused slot)
    RGB(0, 0, 128),      // hot-tracked item
    RGB(166, 202, 240),  // active caption gradient
    RGB(192, 192, 192),  // inactive caption gradient
};

}  // namespace

TColor GetSysColor(std::uint32_t index) {
  return index < kSystemColors.size() ? kSystemColors[index] : clBlack;
}

TColor ColorToRGB(TColor color) {
  if (IsSystemColor(color)) return GetSysColor(color & 0xFFu);
  return color;
}

// ---- Colour names --------------------------------------------------------------------

namespace {

struct ColorName {
  TColor color;
  const char* name;
};

// The class library's table, in its order: the first name of a value wins.
constexpr std::array<ColorName, 43> kColorNames = {{
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
}};

}  // namespace

std::string ColorToString(TColor color) {
  for (const ColorName& entry : kColorNames)
    if (entry.color == color) return entry.name;
  return FormatStr("$%08X", color);
}

std::optional<TColor> TryStringToColor(std::string_view text) {
  for (const ColorName& entry : kColorNames)
    if (SameTextAscii(text, entry.name)) return entry.color;
  if (const std::optional<std::int32_t> number = TryStrToInt(text)) return static_cast<TColor>(*number);
  return std::nullopt;
}

TColor StringToColor(std::string_view text) {
  if (const std::optional<TColor> color = TryStringToColor(text)) return *color;
  throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}
