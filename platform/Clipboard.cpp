#include "platform/Clipboard.h"

#include "platform/Streams.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPointer>

#include <memory>

namespace {

constexpr UINT kFirstPrivateFormat = 0xC000;

std::vector<std::string>& RegisteredFormats() {
  static std::vector<std::string> names;
  return names;
}

// The data of a private format travels under its registered name.
QString MimeFormatOf(UINT format) { return QString::fromStdString(ClipboardFormatName(format)); }

// Bitmaps cross over as BMP bytes: our own writer and reader on one side, Qt's on the other.
QImage ImageOf(const TBitmap& bitmap) {
  TMemoryStream bytes;
  bitmap.SaveToStream(bytes);
  QImage image;
  image.loadFromData(bytes.Memory(), static_cast<int>(bytes.Size()), "BMP");
  return image;
}

void LoadImage(const QImage& image, TBitmap& bitmap) {
  // The BMP reader's limits, checked before a copy of a huge image is made.
  const std::int64_t width = image.width(), height = image.height();
  if (width > 65535 || height > 65535 || width * height > (std::int64_t{1} << 28))
    throw EInvalidGraphic("Invalid bitmap: bad dimensions");
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP");
  TReadOnlyMemoryStream stream(bytes.constData(), bytes.size());
  bitmap.LoadFromStream(stream);
  bitmap.SetPixelFormat(pf24bit);
}

}  // namespace

UINT RegisterClipboardFormat(const std::string& name) {
  if (name.empty()) return 0;
  std::vector<std::string>& names = RegisteredFormats();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return kFirstPrivateFormat + static_cast<UINT>(i);
  names.push_back(name);
  return kFirstPrivateFormat + static_cast<UINT>(names.size() - 1);
}

std::string ClipboardFormatName(UINT format) {
  const std::vector<std::string>& names = RegisteredFormats();
  if (format < kFirstPrivateFormat || format - kFirstPrivateFormat >= names.size()) return {};
  return names[format - kFirstPrivateFormat];
}

TClipboard::TClipboard(QObject* parent) : QObject(parent) {
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TClipboard::ContentChanged);
}

void TClipboard::ContentChanged() {
  emit Changed();
  if (OnChange) OnChange();
}

bool TClipboard::HasFormat(UINT format) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr) return false;
  if (format == CF_BITMAP) return data->hasImage();
  const QString mime = MimeFormatOf(format);
  return !mime.isEmpty() && data->hasFormat(mime) &&
         static_cast<std::size_t>(data->data(mime).size()) >= kClipboardObjectMinimumSize;
}

std::optional<std::string> TClipboard::GetBlock(UINT format) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  const QString mime = MimeFormatOf(format);
  if (data == nullptr || mime.isEmpty() || !data->hasFormat(mime)) return std::nullopt;
  const QByteArray bytes = data->data(mime);
  if (static_cast<std::size_t>(bytes.size()) < kClipboardObjectMinimumSize) return std::nullopt;
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool TClipboard::GetBitmap(TBitmap& bitmap) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasImage()) return false;
  const QImage image = qvariant_cast<QImage>(data->imageData());
  if (image.isNull()) return false;
  LoadImage(image, bitmap);
  return true;
}

void TClipboard::SetContent(const TBitmap* bitmap, const std::vector<std::pair<UINT, std::string>>& blocks) {
  auto data = std::make_unique<QMimeData>();
  if (bitmap != nullptr && !bitmap->Empty()) data->setImageData(ImageOf(*bitmap));
  for (const auto& [format, bytes] : blocks) {
    const QString mime = MimeFormatOf(format);
    if (!mime.isEmpty()) data->setData(mime, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  }
  QGuiApplication::clipboard()->setMimeData(data.release());  // the clipboard owns it
}

void TClipboard::Clear() { QGuiApplication::clipboard()->clear(); }

TClipboard& Clipboard() {
  static QPointer<TClipboard> service;
  if (service.isNull()) service = new TClipboard(QCoreApplication::instance());  // freed with the application
  return *service;
}
