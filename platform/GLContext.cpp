#include "platform/GLContext.h"

#include "platform/BitmapAccess.h"
#include "platform/Graphics.h"

#include <GL/osmesa.h>
#include <GL/gl.h>

#include <algorithm>
#include <map>

namespace {

std::uint64_t nextContextId = 1;

// The living contexts by id, so that display lists can be deleted in the
// context that made them, and only while it lives.
std::map<std::uint64_t, TGLContext*>& LivingContexts() {
  static std::map<std::uint64_t, TGLContext*> contexts;
  return contexts;
}

bool InjectedCreationFailure(TGLContextPurpose purpose) {
  const TGLFaultInjection& faults = GLFaultInjection();
  switch (purpose) {
    case TGLContextPurpose::Window: return faults.failWindowContexts;
    case TGLContextPurpose::Bitmap: return faults.failBitmapContexts;
    case TGLContextPurpose::Temporary: return faults.failTemporaryContexts;
  }
  return false;
}

QImage MakeBuffer(int width, int height) {
  QImage image(std::max(1, width), std::max(1, height), QImage::Format_RGBA8888);
  if (!image.isNull()) image.fill(Qt::black);
  return image;
}

}  // namespace

TGLFaultInjection& GLFaultInjection() {
  static TGLFaultInjection faults;
  return faults;
}

std::unique_ptr<TGLContext> TGLContext::Create(TGLContextPurpose purpose, int width, int height) {
  if (InjectedCreationFailure(purpose)) return nullptr;
  QImage probe = MakeBuffer(width, height);
  if (probe.isNull()) return nullptr;  // the buffer could not be allocated
  OSMesaContext osmesa = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
  if (osmesa == nullptr) return nullptr;
  return std::unique_ptr<TGLContext>(new TGLContext(purpose, osmesa, std::move(probe)));
}

TGLContext::TGLContext(TGLContextPurpose purpose, void* osmesa, QImage buffer)
    : purpose_(purpose), osmesa_(osmesa), image_(std::move(buffer)), id_(nextContextId++) {
  LivingContexts()[id_] = this;
}

TGLContext::~TGLContext() { Destroy(); }

void TGLContext::Destroy() {
  if (osmesa_ == nullptr) return;
  // A context is never destroyed while bound: unbind it first.
  if (IsCurrent()) MakeNoneCurrent();
  OSMesaDestroyContext(static_cast<OSMesaContext>(osmesa_));
  osmesa_ = nullptr;
  LivingContexts().erase(id_);
}

bool TGLContext::Release() {
  Destroy();
  return !GLFaultInjection().failRelease;
}

bool TGLContext::SetSize(int width, int height) {
  width = std::max(1, width);
  height = std::max(1, height);
  if (width == image_.width() && height == image_.height()) return true;
  QImage buffer = MakeBuffer(width, height);
  if (buffer.isNull()) return false;
  const bool wasCurrent = IsCurrent();
  image_ = std::move(buffer);
  viewportStale_ = true;
  // A bound context would go on drawing into the old buffer.
  return !wasCurrent || MakeCurrent();
}

bool TGLContext::MakeCurrent() {
  if (osmesa_ == nullptr) return false;
  if (!OSMesaMakeCurrent(static_cast<OSMesaContext>(osmesa_), image_.bits(), GL_UNSIGNED_BYTE, image_.width(),
                         image_.height()))
    return false;
  // Rows from the top, as bitmaps and images keep them.
  OSMesaPixelStore(OSMESA_Y_UP, 0);
  if (viewportStale_) {
    glViewport(0, 0, image_.width(), image_.height());
    viewportStale_ = false;
  }
  return true;
}

bool TGLContext::IsCurrent() const {
  return osmesa_ != nullptr && OSMesaGetCurrentContext() == static_cast<OSMesaContext>(osmesa_);
}

void TGLContext::MakeNoneCurrent() { OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0); }

TGLContext* TGLContext::Current() {
  OSMesaContext current = OSMesaGetCurrentContext();
  if (current == nullptr) return nullptr;
  for (const auto& [id, context] : LivingContexts())
    if (context->osmesa_ == current) return context;
  return nullptr;
}

TGLContext* TGLContext::Find(std::uint64_t id) {
  const auto found = LivingContexts().find(id);
  return found == LivingContexts().end() ? nullptr : found->second;
}

void TGLContext::PresentFrame() {
  if (IsCurrent()) glFinish();
  // Blending may leave alpha below 1; the frame is shown opaque.
  const int width = image_.width();
  for (int y = 0; y < image_.height(); ++y) {
    std::uint8_t* row = image_.scanLine(y);
    for (int x = 0; x < width; ++x) row[4 * x + 3] = 255;
  }
}

void TGLContext::CopyToBitmap(TBitmap& bitmap) const {
  if (IsCurrent()) glFinish();
  const int width = std::min(bitmap.Width(), image_.width());
  const int height = std::min(bitmap.Height(), image_.height());
  if (width <= 0 || height <= 0) return;
  TBitmapPixels::Prepare(bitmap, true);
  if (!TBitmapPixels::HasPixels(bitmap)) return;
  const int bits = bitmap.BitCount();
  const TPalette& palette = TBitmapPixels::Palette(bitmap);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* source = image_.constScanLine(y);
    std::uint8_t* target = TBitmapPixels::Row(bitmap, y);
    if (bits == 24) {
      for (int x = 0; x < width; ++x) {
        target[3 * x] = source[4 * x + 2];
        target[3 * x + 1] = source[4 * x + 1];
        target[3 * x + 2] = source[4 * x];
      }
    } else {
      for (int x = 0; x < width; ++x)
        WritePixel(target, x, bits, palette, RGB(source[4 * x], source[4 * x + 1], source[4 * x + 2]));
    }
  }
  bitmap.Changed();
}

TGLCurrentContextGuard::TGLCurrentContextGuard() {
  TGLContext* current = TGLContext::Current();
  previous_ = current != nullptr ? current->Id() : 0;
}

TGLCurrentContextGuard::~TGLCurrentContextGuard() {
  TGLContext* previous = TGLContext::Find(previous_);
  if (previous != nullptr) {
    if (!previous->IsCurrent()) previous->MakeCurrent();
  } else {
    TGLContext::MakeNoneCurrent();
  }
}
