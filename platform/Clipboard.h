// The clipboard service over the application's QClipboard: private formats
// registered by name (the editor's is named after the newest project-file
// signature), bitmaps as images, and a change signal in place of the
// clipboard-viewer chain. Blocks read back may come from any program: they
// are hostile bytes to be checked by their reader.
#pragma once

#include "platform/Graphics.h"
#include "platform/Messages.h"

#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The standard format of bitmaps.
constexpr UINT CF_BITMAP = 2;
// A private object is at least its 4-byte size and its 4-byte kind; a
// shorter block of a private format is no object at all.
constexpr std::size_t kClipboardObjectMinimumSize = 8;

// The number of a private clipboard format (0xC000 and up; the same name
// always gives the same number while the program runs); 0 for an empty name.
UINT RegisterClipboardFormat(const std::string& name);
// The name a private format was registered with; "" for any other number.
std::string ClipboardFormatName(UINT format);

class TClipboard : public QObject {
  Q_OBJECT

 public:
  // Needs the Qt application object.
  explicit TClipboard(QObject* parent = nullptr);

  // Whether the clipboard holds data of a format: for CF_BITMAP an image,
  // for a private format a block of at least 8 bytes.
  bool HasFormat(UINT format) const;
  // A copy of the block of a private format; nullopt when there is none or
  // it is shorter than 8 bytes.
  std::optional<std::string> GetBlock(UINT format) const;
  // The clipboard's image as a 24-bit bitmap; false when there is none.
  // Raises the bitmap reader's exception for an image too large to hold.
  bool GetBitmap(TBitmap& bitmap) const;

  // Each of these replaces everything on the clipboard. Blocks of formats
  // that were never registered are left out.
  void SetContent(const TBitmap* bitmap, const std::vector<std::pair<UINT, std::string>>& blocks);
  void SetBlock(UINT format, std::string_view bytes) { SetContent(nullptr, {{format, std::string(bytes)}}); }
  void SetBitmap(const TBitmap& bitmap) { SetContent(&bitmap, {}); }
  void Clear();

  // Called, like the signal, whenever the clipboard's content changes (also
  // when another program changes it).
  std::function<void()> OnChange;

 signals:
  void Changed();

 private:
  void ContentChanged();
};

// The service of the running application, created at the first use.
TClipboard& Clipboard();
