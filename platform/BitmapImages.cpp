#include "platform/BitmapImages.h"



namespace {

QRgb ToQRgb(TColor color) { return qRgb(GetRValue(color), GetGValue(color), GetBValue(color)); }

}  // namespace

QImage BitmapToQImage(const TBitmap& bitmap) {
  if (bitmap.Empty()) return {};
  const int width = bitmap.Width();
  const int height = bitmap.Height();
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) throw EOutOfMemory("Out of memory");
  const TPixelFormat format = bitmap.PixelFormat();
  const int bits = bitmap.BitCount();
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = bitmap.ScanLine(y);
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    if (format == pf24bit) {
      for (int x = 0; x < width; ++x, row += 3) out[x] = qRgb(row[2], row[1], row[0]);
    } else if (format == pf32bit) {
      for (int x = 0; x < width; ++x, row += 4) out[x] = qRgb(row[2], row[1], row[0]);
    } else {
      for (int x = 0; x < width; ++x) out[x] = ToQRgb(ReadPixel(row, x, bits, bitmap.Palette()));
    }
  }
  return image;
}

void QImageToBitmap(const QImage& image, TBitmap& bitmap, TPixelFormat format) {
  if (image.isNull()) {
    bitmap.SetSize(0, 0);
    return;
  }
  const QImage source = image.convertToFormat(QImage::Format_RGB32);
  if (source.isNull()) throw EOutOfMemory("Out of memory");
  // The pixels go in at 24 bits; a palette format then maps them through the
  // bitmap's own conversion, which picks the nearest palette colours.
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(source.width(), source.height());
  for (int y = 0; y < source.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    std::uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < source.width(); ++x, row += 3) {
      row[0] = static_cast<std::uint8_t>(qBlue(in[x]));
      row[1] = static_cast<std::uint8_t>(qGreen(in[x]));
      row[2] = static_cast<std::uint8_t>(qRed(in[x]));
    }
  }
  if (format != pf24bit) bitmap.SetPixelFormat(format);
  bitmap.Changed();
}
