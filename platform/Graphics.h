// Bitmaps, palettes, pens, brushes, fonts and the canvas, with the semantics of
// the Windows graphics (GDI): a bitmap owns its pixels
// in device-independent layout (rows padded to 4 bytes, addressed from the
// top), and the canvas draws with GDI's edge rules and without antialiasing.
#pragma once

#include "platform/Colors.h"
#include "platform/Geometry.h"
#include "platform/SysUtils.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TStream;
class TBitmap;
struct TBitmapPixels;

class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};
class EInvalidGraphicOperation : public Exception {
 public:
  using Exception::Exception;
};

// ---- Pixel formats and palettes ---------------------------------------------------

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// Bits per pixel of a format as stored here (15/16-bit images are kept as 24).
int BitsPerPixel(TPixelFormat format);
// Bytes of one row of width pixels at the given bit count, padded to 4 bytes.
std::int64_t BytesPerScanline(std::int64_t width, int bitsPerPixel);

struct TPaletteEntry {
  std::uint8_t peRed = 0;
  std::uint8_t peGreen = 0;
  std::uint8_t peBlue = 0;
  std::uint8_t peFlags = 0;
  friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

inline TPaletteEntry PaletteEntryOf(TColor color) {
  const TColor c = ColorToRGB(color);
  return {GetRValue(c), GetGValue(c), GetBValue(c), 0};
}
inline TColor ColorOf(const TPaletteEntry& e) { return RGB(e.peRed, e.peGreen, e.peBlue); }

// A logical palette of up to 256 entries. An empty palette means "none".
class TPalette {
 public:
  TPalette() = default;
  explicit TPalette(std::vector<TPaletteEntry> entries);

  bool IsNone() const { return entries_.empty(); }
  int Count() const { return static_cast<int>(entries_.size()); }
  const TPaletteEntry& Entry(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
  void SetEntry(int index, const TPaletteEntry& entry) { entries_.at(static_cast<std::size_t>(index)) = entry; }
  const std::vector<TPaletteEntry>& Entries() const { return entries_; }
  friend bool operator==(const TPalette&, const TPalette&) = default;

 private:
  std::vector<TPaletteEntry> entries_;
};

// The one nearest-colour search of the program: the entry among the first
// count entries with the least squared RGB distance to color; the lowest
// index wins ties. Returns -1 when count is 0.
int NearestColorIndex(const TPaletteEntry* entries, int count, TColor color);

// The same search as NearestColorIndex over a palette prepared once: entries
// sorted by green are searched outwards from the colour's green, and the
// search stops when the green difference alone exceeds the best distance.
// Gives exactly NearestColorIndex's answer, ties included, at a fraction of
// the cost for palettes of many entries.
class TNearestColorFinder {
 public:
  TNearestColorFinder(const TPaletteEntry* entries, int count);
  explicit TNearestColorFinder(const TPalette& palette)
      : TNearestColorFinder(palette.Entries().data(), palette.Count()) {}
  // -1 for an empty palette.
  int Find(TColor color) const;

 private:
  struct Candidate {
    int green, red, blue, index;
  };
  std::vector<Candidate> byGreen_;
};

// Palette helpers in the shape the editor's code uses them.
TPalette CreatePalette(const std::vector<TPaletteEntry>& entries);
TPalette CopyPalette(const TPalette& palette);
int GetNearestPaletteIndex(const TPalette& palette, TColor color);
int GetPaletteEntries(const TPalette& palette, int start, int count, TPaletteEntry* out);
int SetPaletteEntries(TPalette& palette, int start, int count, const TPaletteEntry* entries);

// The palettes a bitmap gets when it is converted to a palette format without
// one of its own: black and white; the 16 standard colours; and those 16 plus
// a 6 x 6 x 6 colour cube and 24 greys.
const TPalette& DefaultPalette(int bitsPerPixel);

// ---- Pens, brushes, fonts ------------------------------------------------------------

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
  pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TPen {
 public:
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = psSolid;
  TPenMode Mode = pmCopy;
};

class TBrush {
 public:
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
};

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
enum TFontPitch { fpDefault, fpVariable, fpFixed };

// A font as the editor stores it. Height is in pixels (negative: character
// height without internal leading, as with Windows fonts); Size is in points
// at 96 pixels per inch, and setting either sets the other.
class TFont {
 public:
  static constexpr int PixelsPerInch = 96;

  std::string Name = "MS Sans Serif";
  TColor Color = clWindowText;
  std::uint8_t Style = 0;    // TFontStyle bits
  std::uint8_t Charset = 1;  // DEFAULT_CHARSET
  TFontPitch Pitch = fpDefault;

  int Height() const { return height_; }
  void SetHeight(int height) { height_ = height; }
  int Size() const;
  void SetSize(int points);
  bool operator==(const TFont& other) const = default;

 private:
  int height_ = -11;  // 8 points
};

// ---- Canvas ------------------------------------------------------------------------------

// Raster operations of BitBlt and CopyMode (the Windows values).
enum : std::uint32_t {
  SRCCOPY = 0x00CC0020,
  SRCPAINT = 0x00EE0086,
  SRCAND = 0x008800C6,
  SRCINVERT = 0x00660046,
  SRCERASE = 0x00440328,
  NOTSRCCOPY = 0x00330008,
  NOTSRCERASE = 0x001100A6,
  MERGECOPY = 0x00C000CA,
  MERGEPAINT = 0x00BB0226,
  PATCOPY = 0x00F00021,
  PATPAINT = 0x00FB0A09,
  PATINVERT = 0x005A0049,
  DSTINVERT = 0x00550009,
  BLACKNESS = 0x00000042,
  WHITENESS = 0x00FF0062,
};
using TCopyMode = std::uint32_t;
constexpr TCopyMode cmSrcCopy = SRCCOPY;

// Formats of TCanvas::DrawText (the Windows values, combined with |).
enum : unsigned {
  DT_TOP = 0x0,
  DT_LEFT = 0x0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_VCENTER = 0x4,
  DT_BOTTOM = 0x8,
  DT_WORDBREAK = 0x10,
  DT_SINGLELINE = 0x20,
  DT_EXPANDTABS = 0x40,
  DT_NOCLIP = 0x100,
  DT_CALCRECT = 0x400,
  DT_NOPREFIX = 0x800,
};

// A clipping region: a rectangle, a rounded rectangle or an ellipse.
struct TRegion {
  enum Kind { Rectangle, RoundRectangle, Ellipse } kind = Rectangle;
  TRect bounds;
  int cornerWidth = 0;   // rounded rectangles
  int cornerHeight = 0;
};
TRegion CreateRectRgn(int left, int top, int right, int bottom);
TRegion CreateRoundRectRgn(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
TRegion CreateEllipticRgn(int left, int top, int right, int bottom);
// Whether the pixel (x, y) belongs to the region (pixel centres inside the
// curve). As with GDI, elliptic and rounded regions leave out the last column
// and row of their bounds: (0, 0, w + 1, h + 1) covers a w x h image.
bool RegionContains(const TRegion& region, int x, int y);

// Draws on a bitmap. Coordinates are pixels from the top-left; right and
// bottom edges of rectangles, ellipses and fills are exclusive; a 1-pixel line
// leaves out its last pixel; wider pens draw round-capped lines; polygons fill
// alternate. Dashed and dotted pens (1 pixel wide) fill their gaps with the
// brush colour when the brush is solid, as text cells are; hatched brushes
// leave the space between their lines. The pen mode applies to lines and to
// the insides of figures, not to FillRect. Palette bitmaps store the nearest
// palette index of every pixel drawn. Every drawing marks the bitmap changed
// once and calls OnChange once.
class TCanvas {
 public:
  explicit TCanvas(TBitmap& bitmap);
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
  TFont& Font() { return font_; }
  const TPen& Pen() const { return pen_; }
  const TBrush& Brush() const { return brush_; }
  const TFont& Font() const { return font_; }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }
  TPoint PenPos() const { return penPos_; }
  void SetPenPos(TPoint p) { penPos_ = p; }
  TBitmap& Bitmap() { return bitmap_; }
  const TBitmap& Bitmap() const { return bitmap_; }
  TRect ClipRect() const;
  // Whether (x, y) lies in the bitmap and the clip region.
  bool InClip(int x, int y) const;

  // The colour of a pixel ($FFFFFFFF outside the bitmap or the clip region).
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const TRect& rect) { Ellipse(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  // An elliptic arc in the ellipse of the bounds (x1, y1)-(x2, y2) (right and
  // bottom exclusive, as Ellipse), drawn as GDI draws it: counter-clockwise
  // from where the ray from the centre through (x3, y3) meets the ellipse to
  // where the ray through (x4, y4) meets it; rays of the same direction give
  // the whole ellipse. Arc draws the pen's part of the outline only; Pie
  // closes it with the two radii to the centre, outlines it with the pen and
  // fills it with the brush. The outline is solid whatever the pen's style.
  // Bounds more than 2^30 pixels across (or reaching the ends of int) draw nothing.
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  // The focus rectangle: every other pixel of the rectangle's 1-pixel frame,
  // those with x + y even, inverted, so that drawing it twice removes it.
  void DrawFocusRect(const TRect& rect);
  void Polygon(const std::vector<TPoint>& points);
  void Polyline(const std::vector<TPoint>& points);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);

  // Text in the font's charset code page, top-left corner at (x, y); the
  // background is filled with the brush unless the brush style is bsClear.
  void TextOut(int x, int y, const std::string& text);
  int TextWidth(const std::string& text);
  int TextHeight(const std::string& text);
  TSize TextExtent(const std::string& text);
  // Text formatted in a rectangle, as the Windows call of that name does:
  // - lines break at CR, LF and CR LF; DT_SINGLELINE keeps one line;
  //   DT_WORDBREAK breaks lines between words so they fit the width (a word
  //   wider than the rectangle keeps a line of its own);
  // - DT_LEFT, DT_CENTER, DT_RIGHT place each line; DT_TOP, DT_VCENTER,
  //   DT_BOTTOM place a single line vertically;
  // - DT_EXPANDTABS expands tabs to stops every 8 average character widths;
  // - "&x" shows x underlined (the accelerator), "&&" shows "&", and a "&"
  //   at the end shows nothing, unless DT_NOPREFIX;
  // - the text is clipped to the rectangle unless DT_NOCLIP (within a
  //   rectangular clip already set; a rounded or elliptic one holds alone);
  // - DT_CALCRECT draws nothing and sets rect's right and bottom to the
  //   extent of the text (an empty text is 0 high).
  // Cells are filled with the brush as in TextOut. Returns the text's
  // height (with DT_VCENTER or DT_BOTTOM, from rect's top to the text's bottom).
  int DrawText(const std::string& text, TRect& rect, unsigned format);

  // Copies the graphic with its top-left corner at (x, y), leaving out its
  // transparent colour when it is transparent.
  void Draw(int x, int y, const TBitmap& graphic);
  // Nearest-neighbour stretch of the whole graphic into rect.
  void StretchDraw(const TRect& rect, const TBitmap& graphic);
  // Stretches source's sourceRect into dest with the canvas's copy mode.
  void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect);

  // Restricts drawing to a region; nullopt removes the restriction.
  void SetClipRegion(const std::optional<TRegion>& region);
  const std::optional<TRegion>& ClipRegion() const { return clip_; }

 private:
  friend bool BitBlt(TCanvas&, int, int, int, int, const TCanvas&, int, int, std::uint32_t);
  // The part [x0, x1) of row y inside the bitmap and the clip region; false when none.
  bool VisibleSpan(int y, int& x0, int& x1) const;
  // One drawing operation on the bitmap (defined with the canvas code).
  class Painter;
  void StrokePath(Painter& painter, const std::vector<TPoint>& points, bool closed);
  void DrawFigure(TRegion::Kind kind, const TRect& bounds, int cornerWidth, int cornerHeight);
  void DrawArcFigure(const TRect& bounds, TPoint startRay, TPoint endRay, bool closed);
  // Stretches sourceRect of source into dest (either may be mirrored by a
  // negative extent) with a raster operation, leaving out source pixels of
  // the transparent colour when transparent is set.
  void Blit(const TRect& dest, const TBitmap& source, const TRect& sourceRect, std::uint32_t rop,
            bool transparent, TColor transparentColor);

  TBitmap& bitmap_;
  TPen pen_;
  TBrush brush_;
  TFont font_;
  TCopyMode copyMode_ = cmSrcCopy;
  TPoint penPos_{};
  std::optional<TRegion> clip_;
};

// Copies a width x height block from source (x, y) to dest with a raster operation.
bool BitBlt(TCanvas& dest, int destX, int destY, int width, int height, const TCanvas& source, int sourceX,
            int sourceY, std::uint32_t rop);

// ---- Bitmap -----------------------------------------------------------------------------

enum TTransparentMode { tmAuto, tmFixed };

class TBitmap {
 public:
  TBitmap();
  virtual ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  // New sizes keep the old content at the top left and fill new area with the
  // canvas's brush colour.
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  void SetSize(int width, int height);

  TPixelFormat PixelFormat() const;
  // Converts the pixels; 15- and 16-bit formats and pfDevice become 24-bit.
  // Palette formats keep the bitmap's palette when it fits, else the default one.
  virtual void SetPixelFormat(TPixelFormat format);
  int BitCount() const { return BitsPerPixel(format_); }
  std::int64_t RowBytes() const { return BytesPerScanline(width_, BitCount()); }

  // Row y from the top; raises EInvalidGraphicOperation "Scan line index out of range".
  std::uint8_t* ScanLine(int y);
  const std::uint8_t* ScanLine(int y) const;

  // $00BBGGRR of a pixel; $FFFFFFFF outside the image.
  TColor Pixel(int x, int y) const;
  // Palette formats store the nearest palette index.
  void SetPixel(int x, int y, TColor color);

  const TPalette& Palette() const;
  virtual void SetPalette(const TPalette& palette);
  bool PaletteModified() const { return paletteModified_; }
  void SetPaletteModified(bool modified) { paletteModified_ = modified; }

  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent);
  // tmAuto: the bottom-left pixel; tmFixed: the colour that was set.
  TColor TransparentColor() const;
  virtual void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);

  TCanvas& Canvas();

  // A deep copy of source's pixels, palette and transparency (nullptr empties).
  virtual void Assign(const TBitmap* source);
  // BMP file bytes from the stream's position.
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToStream(TStream& stream) const;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

  bool Modified() const { return modified_; }
  void SetModified(bool modified);
  std::function<void(TBitmap&)> OnChange;

  // Whether the bitmap holds its pixels; FreeImage drops them but keeps the
  // size, for bitmaps that can rebuild their image from elsewhere.
  bool HasImage() const { return !pixels_.empty() || Empty(); }
  void FreeImage();
  void Dormant() {}

  // Marks the image changed: sets Modified and calls OnChange.
  void Changed();

 protected:
  // Called before every access to the pixels; mutating is true when the
  // access may change them. A bitmap that can release its image rebuilds it here.
  virtual void BeforeAccess(bool mutating) const { (void)mutating; }
  // Sets Modified without calling OnChange.
  void MarkModified() { modified_ = true; }

 private:
  friend class TCanvas;
  friend struct TBitmapPixels;
  TColor NewAreaColor() const;
  void Reallocate(int width, int height, TPixelFormat format, TColor fill);

  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = pf24bit;
  std::vector<std::uint8_t> pixels_;
  TPalette palette_;
  bool paletteModified_ = false;
  bool transparent_ = false;
  TTransparentMode transparentMode_ = tmAuto;
  TColor transparentColor_ = clDefault;
  bool modified_ = false;
  std::unique_ptr<TCanvas> canvas_;
};

// Reading and writing of the pixels of one row in any format.
TColor ReadPixel(const std::uint8_t* row, int x, int bitsPerPixel, const TPalette& palette);
void WritePixel(std::uint8_t* row, int x, int bitsPerPixel, const TPalette& palette, TColor color);
// The palette index of pixel x of a 1-, 4- or 8-bit row, and its replacement.
int ReadIndex(const std::uint8_t* row, int x, int bitsPerPixel);
void WriteIndex(std::uint8_t* row, int x, int bitsPerPixel, int index);
