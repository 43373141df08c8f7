// TEMPORARY: stands in for the canvas text until it is on main. Delete then.
#include "platform/Graphics.h"
__attribute__((weak)) void TCanvas::TextOut(int, int, const std::string&) {}
__attribute__((weak)) int TCanvas::TextWidth(const std::string& text) { return 7 * static_cast<int>(text.size()); }
__attribute__((weak)) int TCanvas::TextHeight(const std::string&) { return 13; }
__attribute__((weak)) TSize TCanvas::TextExtent(const std::string& text) { return {TextWidth(text), 13}; }
