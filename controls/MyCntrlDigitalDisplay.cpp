#include "controls/MyCntrlDigitalDisplay.h"

#include <memory>
#include <string_view>

namespace {

// The seven segments of a 7 x 13 cell, each a run of pixels: a top, b upper
// right, c lower right, d bottom, e lower left, f upper left, g middle.
struct Segment {
  int x0, y0, x1, y1;  // inclusive ends of a horizontal or vertical run
};
constexpr Segment kSegments[7] = {
    {2, 1, 4, 1}, {5, 2, 5, 5}, {5, 7, 5, 10}, {2, 11, 4, 11}, {1, 7, 1, 10}, {1, 2, 1, 5}, {2, 6, 4, 6},
};
// The lit segments of the digits 0 .. 9, letters a .. g.
constexpr std::string_view kDigitSegments[10] = {"abcdef", "bc",   "abged",   "abgcd", "fgbc",
                                                 "afgcd",  "afgedc", "abc", "abcdefg", "abcdfg"};

void Fill(TBitmap& picture, int x0, int y0, int x1, int y1) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) picture.SetPixel(x, y, clRed);
}

void DrawPicture(TBitmap& picture, int number) {
  picture.SetPixelFormat(pf4bit);
  picture.Canvas().Brush().Color = clBlack;
  picture.SetSize(TDigitalDisplay::kCellWidth, TDigitalDisplay::kCellHeight);
  if (number < 10) {
    for (const char segment : kDigitSegments[number]) {
      const Segment& s = kSegments[segment - 'a'];
      Fill(picture, s.x0, s.y0, s.x1, s.y1);
    }
    return;
  }
  switch (number) {
    case 11:  // comma: the point with a tail
      Fill(picture, 3, 10, 4, 11);
      Fill(picture, 3, 12, 3, 12);
      break;
    case 12:  // point
      Fill(picture, 3, 10, 4, 11);
      break;
    case 13:  // colon
      Fill(picture, 3, 3, 4, 4);
      Fill(picture, 3, 8, 4, 9);
      break;
    default:  // 10: blank
      break;
  }
}

const std::array<TBitmap, TDigitalDisplay::kPictureCount>& DigitPictures() {
  static const auto pictures = [] {
    auto made = std::make_unique<std::array<TBitmap, TDigitalDisplay::kPictureCount>>();
    for (int n = 0; n < TDigitalDisplay::kPictureCount; ++n) DrawPicture((*made)[static_cast<std::size_t>(n)], n);
    return made;
  }();
  return *pictures;
}

}  // namespace

TDigitalDisplay::TDigitalDisplay(QWidget* parent) : TCustomLabel(parent) {
  SetAutoSize(false);
  TFont font = Font();
  font.Color = colorOfText_;
  TCustomLabel::SetFont(font);
  // The copies start as the pictures: red on black. 24-bit copies show any colour exactly.
  for (int n = 0; n < kPictureCount; ++n) {
    TBitmap& copy = display_[static_cast<std::size_t>(n)];
    copy.Assign(&DigitPicture(n));
    copy.SetPixelFormat(pf24bit);
  }
}

const TBitmap& TDigitalDisplay::DigitPicture(int number) {
  if (number < 0 || number >= kPictureCount) throw EInvalidGraphicOperation("No digit picture " + IntToStr(number));
  return DigitPictures()[static_cast<std::size_t>(number)];
}

const TBitmap& TDigitalDisplay::DisplayPicture(int number) const {
  DigitPicture(number);  // checks the number
  return display_[static_cast<std::size_t>(number)];
}

int TDigitalDisplay::PictureOf(char character) {
  if (character >= '0' && character <= '9') return character - '0';
  switch (character) {
    case ',': return 11;
    case '.': return 12;
    case ':': return 13;
    default: return -1;
  }
}

void TDigitalDisplay::Recolour(TColor pictureColor, TColor shown) {
  const TColor rgb = ColorToRGB(shown) & 0x00FFFFFF;
  for (int n = 0; n < kPictureCount; ++n) {
    const TBitmap& picture = DigitPicture(n);
    TBitmap& copy = display_[static_cast<std::size_t>(n)];
    for (int y = 0; y < kCellHeight; ++y)
      for (int x = 0; x < kCellWidth; ++x)
        if (picture.Pixel(x, y) == pictureColor) copy.SetPixel(x, y, rgb);
  }
}

void TDigitalDisplay::SetColor(TColor value) {
  if (value == digitBackground_) return;
  TCustomLabel::SetColor(value);
  digitBackground_ = value;
  Recolour(clBlack, value);
  Invalidate();
}

void TDigitalDisplay::SetColorOfText(TColor value) {
  if (value == colorOfText_) return;
  colorOfText_ = value;
  Recolour(clRed, value);
  TFont font = Font();
  font.Color = value;
  TCustomLabel::SetFont(font);
  Invalidate();
}

void TDigitalDisplay::SetFont(const TFont& value) {
  TCustomLabel::SetFont(value);
  SetColorOfText(value.Color);
  SetColor(Color());
}

void TDigitalDisplay::Paint() {
  TCanvas& canvas = Canvas();
  if (!Transparent()) {
    canvas.Brush().Color = Color();
    canvas.Brush().Style = bsSolid;
    canvas.FillRect(ClientRect());
  }
  const std::string& caption = Caption();
  for (std::size_t i = 0; i < caption.size(); ++i) {
    const int x = kCellWidth * static_cast<int>(i);
    const int number = PictureOf(caption[i]);
    if (number >= 0) {
      canvas.Draw(x, 0, display_[static_cast<std::size_t>(number)]);
      continue;
    }
    // Another character: written in the font on a cell as large as "O", squeezed into 7 x 13.
    TBitmap written;
    TCanvas& cell = written.Canvas();
    cell.Font() = Font();
    cell.Font().Color = colorOfText_;
    cell.Brush().Color = Color();
    cell.Brush().Style = bsSolid;
    const TSize size = cell.TextExtent("O");
    written.SetSize(size.cx, size.cy);
    cell.FillRect(Rect(0, 0, size.cx, size.cy));
    cell.TextOut(0, 0, std::string(1, caption[i]));
    canvas.StretchDraw(Rect(x, 0, x + kCellWidth, kCellHeight), written);
  }
}
