#include "qel3d/qeltex.h"

#include "platform/Streams.h"
#include "qel3d/qelkey.h"
#include "qel3d/qelwrite.h"

#include <GL/gl.h>

namespace {

bool IsPowerOfTwo(std::int64_t n) { return n > 0 && (n & (n - 1)) == 0; }

}  // namespace

TQelTexture::TQelTexture() {
  bitmap_.OnChange = [this](TBitmap&) { RebuildTexels(); };
}

void TQelTexture::SetBitmap(const TBitmap* bitmap) {
  if (bitmap != nullptr) bitmap_.Assign(bitmap);
}

void TQelTexture::RebuildTexels() {
  texels_.clear();
  texels_.shrink_to_fit();
  texelWidth_ = texelHeight_ = 0;
  const std::int64_t width = bitmap_.Width();
  const std::int64_t height = bitmap_.Height();
  if (!bitmap_.Empty() && IsPowerOfTwo(width) && IsPowerOfTwo(height)) {
    const std::int64_t rowBytes = (width * 3 + 3) / 4 * 4;
    texels_.assign(static_cast<std::size_t>(rowBytes * height), 0);
    for (int y = 0; y < height; ++y) {
      std::uint8_t* row = texels_.data() + rowBytes * y;
      if (bitmap_.BitCount() == 24) {
        // Read access: a writing access would report a change and rebuild again.
        const std::uint8_t* source = static_cast<const TBitmap&>(bitmap_).ScanLine(y);
        for (std::int64_t x = 0; x < width; ++x) {
          row[3 * x] = source[3 * x + 2];
          row[3 * x + 1] = source[3 * x + 1];
          row[3 * x + 2] = source[3 * x];
        }
      } else {
        for (int x = 0; x < width; ++x) {
          const TColor c = bitmap_.Pixel(x, y);
          row[3 * x] = GetRValue(c);
          row[3 * x + 1] = GetGValue(c);
          row[3 * x + 2] = GetBValue(c);
        }
      }
    }
    texelWidth_ = static_cast<int>(width);
    texelHeight_ = static_cast<int>(height);
  }
  DoChange();
}

void TQelTexture::Render() {
  TQelRender::Render();
  if (Usable()) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    // A texture beyond what GL takes is left out rather than failing in GL.
    if (texelWidth_ <= maxSize && texelHeight_ <= maxSize) {
      glEnable(GL_TEXTURE_2D);
      glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
      glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
      glTexImage2D(GL_TEXTURE_2D, 0, 3, texelWidth_, texelHeight_, 0, GL_RGB, GL_UNSIGNED_BYTE, texels_.data());
    }
  }
  // The texture matrix outlives the frame; without the transform it must not
  // keep an earlier one.
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  if (Transform()) DoTransform();
  glMatrixMode(GL_MODELVIEW);
}

void TQelTexture::WriteKeys(TQelKeyWriter& writer) {
  TQelRender::WriteKeys(writer);
  std::string file = fileName_;
  try {
    if (file.empty() || !FileExists(file)) {
      TMemoryStream data;
      bitmap_.SaveToStream(data);
      file = writer.CreateExclusiveFile(file, ".bmp", data);
      fileName_ = file;
    }
  } catch (const Exception&) {
    return;  // no file, no key
  }
  WriteTextKey(writer, "File", file);
}

bool TQelTexture::ReadKey(const TQelKeyValueBase& key) {
  if (TQelRender::ReadKey(key)) return true;
  if (!SameTextAscii(key.Name(), "File")) return false;
  fileName_ = key.Value();
  try {
    TBitmap loaded;
    loaded.LoadFromFile(fileName_);
    bitmap_.Assign(&loaded);
  } catch (const Exception&) {
    // A file that cannot be read leaves the bitmap as it was.
  }
  return true;
}

void TQelTexture::WriteProperties(TWriter& writer) const {
  TQelRender::WriteProperties(writer);
  if (!bitmap_.Empty()) {
    TMemoryStream data;
    bitmap_.SaveToStream(data);
    writer.WritePropName("Bitmap");
    writer.WriteBinary(data.Memory(), data.Size());
  }
  if (!fileName_.empty()) {
    writer.WritePropName("FileName");
    writer.WriteString(fileName_);
  }
}

bool TQelTexture::ReadProperty(const std::string& name, TReader& reader) {
  if (TQelRender::ReadProperty(name, reader)) return true;
  if (SameTextAscii(name, "Bitmap")) {
    const std::string bytes = reader.ReadBinary();
    TReadOnlyMemoryStream data(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    TBitmap loaded;
    loaded.LoadFromStream(data);
    bitmap_.Assign(&loaded);
  } else if (SameTextAscii(name, "FileName")) {
    fileName_ = reader.ReadString();
  } else {
    return false;
  }
  return true;
}

void QelRegisterTextureClasses() {
  RegisterClass("TQelTexture", [] { return std::make_unique<TQelTexture>(); });
}
