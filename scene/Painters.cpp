#include "scene/Painters.h"

#include "platform/Numeric.h"
#include "platform/Real48.h"

#include <cmath>
#include <numbers>

namespace {

double TanDegrees(double degrees) { return std::tan(degrees * std::numbers::pi / 180.0); }

// One gradient line from (x1, y1) to (x2, y2) for stripe index f.
struct GradientLine {
  TPoint from, to;
};

// The slant and the last stripe index for the gradient direction c, and the
// line of each stripe.
class GradientGeometry {
 public:
  GradientGeometry(int c, int w, int h) : c_(c), w_(w), h_(h) {
    if (c == 0) {
      q_ = 0, n_ = w;
    } else if (c >= 1 && c <= 45) {
      q_ = Round(TanDegrees(c) * h), n_ = w + q_;
    } else if (c >= 46 && c <= 90) {
      q_ = Round(TanDegrees(90 - c) * w), n_ = h + q_;
    } else if (c >= 91 && c <= 135) {
      q_ = Round(TanDegrees(c - 90) * w), n_ = h + q_;
    } else if (c >= 136) {
      q_ = Round(TanDegrees(180 - c) * h), n_ = w + q_;
    } else if (c <= -136) {
      q_ = Round(TanDegrees(c - 180) * h), n_ = w + q_;
    } else if (c <= -91) {
      q_ = Round(TanDegrees(90 - (c - 180)) * w), n_ = h + q_;
    } else if (c <= -46) {
      q_ = Round(TanDegrees(90 + c) * w), n_ = h + q_;
    } else {
      q_ = Round(TanDegrees(-c) * h), n_ = w + q_;
    }
  }

  int LastIndex() const { return n_; }

  GradientLine Line(int f) const {
    const int c = c_, w = w_, h = h_, q = q_;
    if (c == 0) return {{f - q, 0}, {f, h}};
    if (c >= 1 && c <= 45) return {{f, 0}, {f - q, h}};
    if (c >= 46 && c <= 90) return {{0, f}, {w, f - q}};
    if (c >= 91 && c <= 135) return {{w, f}, {-1, f - q}};
    if (c >= 136) return {{w + q - f, h}, {w - f, -1}};
    if (c <= -136) return {{w + q - f, -1}, {w - f, h}};
    if (c <= -91) return {{-1, h + q - f}, {w, h - f}};
    if (c <= -46) return {{w, h + q - f}, {-1, h - f}};
    return {{f - q, 0}, {f, h}};
  }

 private:
  int c_, w_, h_;
  int q_ = 0, n_ = 0;
};

std::int32_t BlendChannel(int a, int b, int f, int n) { return a + Round(static_cast<double>(f) * (b - a) / n); }

// Restores the canvas's clip region when it goes out of scope.
class ClipGuard {
 public:
  explicit ClipGuard(TCanvas& canvas) : canvas_(canvas), saved_(canvas.ClipRegion()) {}
  ~ClipGuard() { canvas_.SetClipRegion(saved_); }
  ClipGuard(const ClipGuard&) = delete;
  ClipGuard& operator=(const ClipGuard&) = delete;

 private:
  TCanvas& canvas_;
  std::optional<TRegion> saved_;
};

void SetPenAndBrush(TCanvas& canvas, TColor color) {
  canvas.Pen().Color = color;
  canvas.Brush().Color = color;
  canvas.Brush().Style = bsSolid;
}

void FillWhole(TBitmap& bitmap, TColor color) {
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().Color = color;
  canvas.Brush().Style = bsSolid;
  canvas.FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
}

}  // namespace

void FillGradient(TBitmap& bitmap, std::int32_t style, std::int32_t angle, TColor color1, TColor color2,
                  const std::optional<TRegion>& region) {
  TCanvas& canvas = bitmap.Canvas();
  ClipGuard guard(canvas);
  if (region) canvas.SetClipRegion(region);
  const int w = bitmap.Width(), h = bitmap.Height();
  if (color1 == color2) {
    SetPenAndBrush(canvas, color1);
    canvas.FillRect(Rect(0, 0, w, h));
    canvas.FrameRect(Rect(0, 0, w, h));
    return;
  }
  const int c = EnsureRange(180 - angle, -180, 180);
  canvas.Pen().Width = 1;
  canvas.Pen().Style = psSolid;
  const GradientGeometry geometry(c, w, h);
  const int n = geometry.LastIndex();
  if (n < 0) return;
  const TColor rgb1 = ColorToRGB(color1), rgb2 = ColorToRGB(color2);
  for (int f = 0; f <= n; ++f) {
    if (style == 0 && n > 0) {
      canvas.Pen().Color = RGB(static_cast<std::uint8_t>(BlendChannel(GetRValue(rgb1), GetRValue(rgb2), f, n)),
                               static_cast<std::uint8_t>(BlendChannel(GetGValue(rgb1), GetGValue(rgb2), f, n)),
                               static_cast<std::uint8_t>(BlendChannel(GetBValue(rgb1), GetBValue(rgb2), f, n)));
    } else if (style == 1) {
      canvas.Pen().Color = (f % 2 != 0) ? color1 : color2;
    }
    const GradientLine line = geometry.Line(f);
    canvas.MoveTo(line.from.X, line.from.Y);
    canvas.LineTo(line.to.X, line.to.Y);
  }
}

namespace {

void DrawRoundedRectangle(TBitmap& bitmap, const TShapeParams& s, TRegion& inner) {
  TCanvas& canvas = bitmap.Canvas();
  const int w = bitmap.Width(), h = bitmap.Height();
  const int b = s.BorderWidth, e = s.BevelWidth, m = b + e, k = s.CornerSize;
  canvas.SetClipRegion(CreateRoundRectRgn(0, 0, w + 1, h + 1, k, k));
  FillWhole(bitmap, static_cast<TColor>(s.BorderColor));
  const TRegion r1 = CreateRoundRectRgn(b, b, w - b + 1, h - b + 1, k - 2 * b, k - 2 * b);
  if (e > 0) {
    if (s.BevelStyle == 0) {
      canvas.SetClipRegion(r1);
      canvas.Brush().Color = static_cast<TColor>(s.BevelColor1);
      canvas.Brush().Style = bsSolid;
      canvas.FillRect(Rect(b, b, w - b, h - b));
      SetPenAndBrush(canvas, static_cast<TColor>(s.BevelColor2));
      canvas.Pen().Width = 1;
      const int half = w > h ? h / 2 : w / 2;
      canvas.Polygon({{w - b - 1, b}, {w - b - half, b + half}, {b + half, h - b - half}, {b, h - b - 1},
                      {w - b - 1, h - b - 1}});
    } else if (s.BevelStyle == 1) {
      FillGradient(bitmap, s.GradientStyle, s.GradientAngle, static_cast<TColor>(s.BevelColor1),
                   static_cast<TColor>(s.BevelColor2), r1);
    }
  }
  inner = CreateRoundRectRgn(m, m, w - m + 1, h - m + 1, k - e - 2 * b, k - e - 2 * b);
}

void DrawSquareRectangle(TBitmap& bitmap, const TShapeParams& s, TRegion& inner) {
  TCanvas& canvas = bitmap.Canvas();
  const int w = bitmap.Width(), h = bitmap.Height();
  const int b = s.BorderWidth, e = s.BevelWidth, m = b + e;
  FillWhole(bitmap, static_cast<TColor>(s.BorderColor));
  if (e > 0) {
    if (s.BevelStyle == 1) {
      FillGradient(bitmap, s.GradientStyle, s.GradientAngle, static_cast<TColor>(s.BevelColor1),
                   static_cast<TColor>(s.BevelColor2), CreateRectRgn(b, b, w - b, h - b));
    } else if (s.BevelStyle == 0) {
      canvas.Brush().Color = static_cast<TColor>(s.BevelColor1);
      canvas.Brush().Style = bsSolid;
      canvas.FillRect(Rect(b, b, w - b, h - b));
      SetPenAndBrush(canvas, static_cast<TColor>(s.BevelColor2));
      canvas.Pen().Width = 1;
      canvas.Polygon({{w - b - 1, b}, {w - m, m}, {w - m, h - m}, {m, h - m}, {b, h - b - 1}, {w - b - 1, h - b - 1}});
    }
  }
  inner = CreateRectRgn(m, m, w - m, h - m);
}

void DrawEllipseShape(TBitmap& bitmap, const TShapeParams& s, TRegion& inner) {
  TCanvas& canvas = bitmap.Canvas();
  const int w = bitmap.Width(), h = bitmap.Height();
  const int b = s.BorderWidth, m = b + s.BevelWidth;
  canvas.SetClipRegion(CreateEllipticRgn(0, 0, w, h));
  FillWhole(bitmap, static_cast<TColor>(s.BorderColor));
  FillGradient(bitmap, s.GradientStyle, s.GradientAngle, static_cast<TColor>(s.BevelColor1),
               static_cast<TColor>(s.BevelColor2), CreateEllipticRgn(b, b, w - b, h - b));
  inner = CreateEllipticRgn(m, m, w - m, h - m);
}

}  // namespace

void DrawShape(std::int32_t kind, TBitmap& bitmap, const TShapeParams& shape) {
  TCanvas& canvas = bitmap.Canvas();
  try {
    TRegion inner;
    if (kind == 5) {
      DrawEllipseShape(bitmap, shape, inner);
    } else if (shape.CornerSize > 0) {
      DrawRoundedRectangle(bitmap, shape, inner);
    } else {
      DrawSquareRectangle(bitmap, shape, inner);
    }
    FillGradient(bitmap, shape.GradientStyle, shape.GradientAngle, static_cast<TColor>(shape.FillColor1),
                 static_cast<TColor>(shape.FillColor2), inner);
  } catch (const std::exception&) {
    // A shape that cannot be drawn leaves what was drawn so far.
  }
  // The clipping belongs to this drawing only; later drawing on the image is not clipped.
  canvas.SetClipRegion(std::nullopt);
}

void DrawLineImage(TBitmap& bitmap, TPoint start, TPoint end, TColor background, std::int32_t width, TColor color) {
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().Color = background;
  canvas.Brush().Style = bsSolid;
  const int imageWidth = std::max(std::abs(start.X - end.X) + width, width + 1);
  const int imageHeight = std::max(std::abs(start.Y - end.Y) + width, width + 1);
  bitmap.SetSize(imageWidth, imageHeight);
  canvas.Pen().Width = width;
  canvas.Pen().Color = color;
  canvas.Pen().Style = psSolid;
  const int half = width / 2;
  canvas.MoveTo(start.X + half, start.Y + half);
  canvas.LineTo(end.X + half, end.Y + half);
}

namespace {

TSize Measure(TCanvas& canvas, const std::string& text) { return {canvas.TextWidth(text), canvas.TextHeight(text)}; }

// Signs of the extrusion's x and y steps for an angle in degrees.
std::pair<int, int> ExtrusionSigns(int angle) {
  if (angle >= 0 && angle <= 90) return {1, -1};
  if (angle >= 91 && angle <= 180) return {-1, -1};
  if (angle >= 181 && angle <= 270) return {-1, 1};
  if (angle >= 271 && angle <= 360) return {1, 1};
  return {0, 0};
}

void DrawExtrusion(TCanvas& canvas, const std::string& text, const TText2DParams& p) {
  const int a = p.Depth;
  const auto [sx, sy] = ExtrusionSigns(p.ExtrusionAngle);
  const double radians = p.ExtrusionAngle * std::numbers::pi / 180.0;
  // The slope is held as a 6-byte real, as the extrusions were always drawn.
  const double r = std::cos(radians) == 0.0 ? 1.0 : Real48(std::tan(radians)).ToDouble();
  for (int i = 0; i <= a; ++i) {
    const double ii = static_cast<double>(i) * i;
    const int dx = Round(std::sqrt(ii / (r * r + 1)) * sx);
    const int dy = r == 0 ? 0 : Round(std::sqrt(ii / (1 / (r * r) + 1)) * sy);
    if (dy > 1) canvas.TextOut(a + dx, a + dy - 1, text);
    canvas.TextOut(a + dx, a + dy, text);
  }
}

}  // namespace

void DrawText2D(TBitmap& bitmap, const std::string& text, const TText2DParams& p) {
  bitmap.SetSize(0, 0);
  TCanvas& canvas = bitmap.Canvas();
  const TColor background = static_cast<TColor>(p.BackgroundColor);
  SetPenAndBrush(canvas, background);
  TFont& font = canvas.Font();
  font.Charset = p.Charset;
  font.Color = static_cast<TColor>(p.TextColor);
  font.SetHeight(p.FontHeight);
  font.Name = p.FontName;
  font.Pitch = p.Pitch <= fpFixed ? static_cast<TFontPitch>(p.Pitch) : fpDefault;
  font.Style = p.Style;

  const int d = p.ShadowDistance;
  const int a = p.Depth;
  switch (p.Mode) {
    case tdmPlain: {
      const TSize size = Measure(canvas, text + "0");
      bitmap.SetSize(size.cx, size.cy);
      FillWhole(bitmap, background);
      canvas.Brush().Style = bsSolid;
      canvas.TextOut(1, (size.cy - canvas.TextHeight(text)) / 2, text);
      break;
    }
    case tdmShadow: {
      const TSize size = Measure(canvas, text + "00");
      bitmap.SetSize(size.cx + 2 * d, size.cy + 2 * d);
      FillWhole(bitmap, background);
      canvas.Brush().Style = bsClear;
      const TPoint shadowAt[] = {{0, 0}, {2 * d, 0}, {2 * d, 2 * d}, {0, 2 * d}};
      if (p.ShadowPosition >= 1 && p.ShadowPosition <= 4) {
        font.Color = static_cast<TColor>(p.ShadowColor);
        const TPoint at = shadowAt[p.ShadowPosition - 1];
        canvas.TextOut(at.X, at.Y, text);
      }
      font.Color = static_cast<TColor>(p.TextColor);
      canvas.TextOut(d, d, text);
      break;
    }
    case tdmExtruded: {
      const TSize size = Measure(canvas, text + "00");
      bitmap.SetSize(size.cx + 2 * a, size.cy + 2 * a);
      FillWhole(bitmap, background);
      canvas.Brush().Style = bsClear;
      font.Color = static_cast<TColor>(p.ExtrusionColor);
      DrawExtrusion(canvas, text, p);
      font.Color = static_cast<TColor>(p.TextColor);
      canvas.TextOut(a, a, text);
      break;
    }
    default:
      break;
  }
}
