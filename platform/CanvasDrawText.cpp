// Formatted text on the canvas: line breaks, word wrapping, tabs, alignment,
// accelerator prefixes and measuring, drawn line by line with TextOut.
#include "platform/Fonts.h"
#include "platform/Numeric.h"
#include "platform/PixelSpans.h"

#include <QFontMetrics>

#include <algorithm>
#include <vector>

namespace {

// Text bytes with a mark on each byte that shows underlined (an accelerator).
struct MarkedText {
  std::string bytes;
  std::vector<bool> underlined;

  void Append(char c, bool underline) {
    bytes += c;
    underlined.push_back(underline);
  }
  MarkedText Slice(std::size_t from, std::size_t to) const {
    MarkedText part;
    part.bytes = bytes.substr(from, to - from);
    part.underlined.assign(underlined.begin() + static_cast<std::ptrdiff_t>(from),
                           underlined.begin() + static_cast<std::ptrdiff_t>(to));
    return part;
  }
};

// "&x" becomes an underlined x, "&&" a plain "&"; a "&" at the end shows nothing.
MarkedText WithPrefixes(const std::string& text, bool processPrefixes) {
  MarkedText out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (processPrefixes && text[i] == '&') {
      if (i + 1 == text.size()) break;
      ++i;
      out.Append(text[i], text[i] != '&');
      continue;
    }
    out.Append(text[i], false);
  }
  return out;
}

// Measures lines as DrawText lays them out: tabs, when expanded, move to the
// next multiple of the tab width from the line's start.
class LineMeasure {
 public:
  LineMeasure(TCanvas& canvas, bool expandTabs) : canvas_(canvas), expandTabs_(expandTabs) {
    const QFontMetrics metrics(ToQFont(canvas.Font()));
    tabWidth_ = std::max(1, 8 * metrics.averageCharWidth());
  }

  int Width(const std::string& line) const {
    int x = 0;
    ForEachSegment(line, [&](const std::string& segment, int segmentX, int) { x = segmentX + Advance(segment); });
    return x;
  }
  int Advance(const std::string& segment) const { return segment.empty() ? 0 : canvas_.TextWidth(segment); }

  // Calls visit(segment, x, tabEnd) for each run between tabs: its text, its
  // x from the line's start, and where the tab after it ends (-1 for none).
  template <typename Visit>
  void ForEachSegment(const std::string& line, Visit visit) const {
    if (!expandTabs_) {
      visit(line, 0, -1);
      return;
    }
    int x = 0;
    std::size_t start = 0;
    while (true) {
      const std::size_t tab = line.find('\t', start);
      const std::string segment = line.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
      const int end = x + Advance(segment);
      const int tabEnd = tab == std::string::npos ? -1 : (end / tabWidth_ + 1) * tabWidth_;
      visit(segment, x, tabEnd);
      if (tab == std::string::npos) return;
      x = tabEnd;
      start = tab + 1;
    }
  }

 private:
  TCanvas& canvas_;
  bool expandTabs_;
  int tabWidth_ = 8;
};

// Paragraphs split at CR, LF and CR LF.
std::vector<MarkedText> Paragraphs(const MarkedText& text) {
  std::vector<MarkedText> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.bytes.size(); ++i) {
    const char c = text.bytes[i];
    if (c != '\r' && c != '\n') continue;
    out.push_back(text.Slice(start, i));
    if (c == '\r' && i + 1 < text.bytes.size() && text.bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  out.push_back(text.Slice(start, text.bytes.size()));
  return out;
}

// Breaks a paragraph between words so that each line fits the width; the
// blanks at a break are dropped, and a word too wide keeps a line of its own.
void WrapParagraph(const MarkedText& paragraph, int width, const LineMeasure& measure, std::vector<MarkedText>& lines) {
  const std::string& text = paragraph.bytes;
  const std::size_t n = text.size();
  std::size_t start = 0;
  do {
    std::size_t lineEnd = std::string::npos;
    std::size_t next = n;
    std::size_t pos = start;
    while (pos < n || lineEnd == std::string::npos) {
      std::size_t wordEnd = pos;
      while (wordEnd < n && text[wordEnd] != ' ') ++wordEnd;
      if (lineEnd != std::string::npos && measure.Width(text.substr(start, wordEnd - start)) > width) break;
      lineEnd = wordEnd;
      std::size_t blanksEnd = wordEnd;
      while (blanksEnd < n && text[blanksEnd] == ' ') ++blanksEnd;
      next = blanksEnd;
      pos = blanksEnd;
      if (pos >= n) break;
    }
    lines.push_back(paragraph.Slice(start, lineEnd));
    start = next;
  } while (start < n);
}

}  // namespace

int TCanvas::DrawText(const std::string& text, TRect& rect, unsigned format) {
  const MarkedText marked = WithPrefixes(text, (format & DT_NOPREFIX) == 0);
  const LineMeasure measure(*this, (format & DT_EXPANDTABS) != 0);
  const bool singleLine = (format & DT_SINGLELINE) != 0;

  std::vector<MarkedText> lines;
  if (!marked.bytes.empty()) {
    if (singleLine) {
      lines.push_back(marked);
    } else {
      for (const MarkedText& paragraph : Paragraphs(marked)) {
        if (format & DT_WORDBREAK) {
          WrapParagraph(paragraph, SaturatingCast<int>(std::int64_t{rect.Right} - rect.Left), measure, lines);
        } else {
          lines.push_back(paragraph);
        }
      }
    }
  }

  const QFontMetrics metrics(ToQFont(font_));
  const int lineHeight = metrics.height();
  const int textHeight = lineHeight * static_cast<int>(lines.size());

  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const MarkedText& line : lines) widest = std::max(widest, measure.Width(line.bytes));
    rect.Right = SaturatingCast<int>(std::int64_t{rect.Left} + widest);
    rect.Bottom = SaturatingCast<int>(std::int64_t{rect.Top} + textHeight);
    return textHeight;
  }

  int y = rect.Top;
  if (singleLine && (format & DT_VCENTER)) {
    y = static_cast<int>((std::int64_t{rect.Top} + rect.Bottom - textHeight) / 2);
  } else if (singleLine && (format & DT_BOTTOM)) {
    y = SaturatingCast<int>(std::int64_t{rect.Bottom} - textHeight);
  }
  const int result = SaturatingCast<int>(std::int64_t{y} - rect.Top + textHeight);

  const std::optional<TRegion> savedClip = clip_;
  if ((format & DT_NOCLIP) == 0) {
    // The rectangle within any rectangular clip already set.
    TRect area = rect;
    if (clip_ && clip_->kind == TRegion::Rectangle && !IntersectRect(area, rect, clip_->bounds)) area = Rect(0, 0, 0, 0);
    if (!clip_ || clip_->kind == TRegion::Rectangle) clip_ = CreateRectRgn(area.Left, area.Top, area.Right, area.Bottom);
  }
  const TColor textColor = ResolvedColor(font_.Color);
  const int underlineRow = metrics.ascent() + 1;
  for (const MarkedText& line : lines) {
    const int width = measure.Width(line.bytes);
    int x = rect.Left;
    if (format & DT_CENTER) {
      x = static_cast<int>((std::int64_t{rect.Left} + rect.Right - width) / 2);
    } else if (format & DT_RIGHT) {
      x = SaturatingCast<int>(std::int64_t{rect.Right} - width);
    }
    // A line this far away is on no bitmap (and its pixel sums would overflow).
    constexpr int kFar = 1 << 30;
    if (x < -kFar || x > kFar || y < -kFar || y > kFar) {
      y = SaturatingCast<int>(std::int64_t{y} + lineHeight);
      continue;
    }
    std::size_t offset = 0;
    measure.ForEachSegment(line.bytes, [&](const std::string& segment, int segmentX, int tabEnd) {
      TextOut(x + segmentX, y, segment);
      const int segmentEnd = segmentX + measure.Advance(segment);
      if (tabEnd >= 0 && brush_.Style == bsSolid) FillRect(Rect(x + segmentEnd, y, x + tabEnd, y + lineHeight));
      // The accelerator's line, under its character.
      for (std::size_t i = 0; i < segment.size(); ++i) {
        if (!line.underlined[offset + i]) continue;
        const int from = x + segmentX + measure.Advance(segment.substr(0, i));
        const int to = x + segmentX + measure.Advance(segment.substr(0, i + 1));
        Painter painter(*this);
        if (painter.Ready()) painter.FillSpan(y + underlineRow, from, to, textColor, false);
      }
      offset += segment.size() + 1;
    });
    y = SaturatingCast<int>(std::int64_t{y} + lineHeight);
  }
  clip_ = savedClip;
  return result;
}
