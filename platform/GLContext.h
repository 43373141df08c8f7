// Rendering contexts over OSMesa: each context renders into a pixel buffer we
// own (RGBA bytes, rows from the top), with a 24-bit depth buffer. A window
// view keeps the frame as an image that its widget paints later; a bitmap view
// copies it into its target bitmap.
#pragma once

#include "platform/SysUtils.h"

#include <QImage>

#include <cstdint>
#include <memory>

class TBitmap;

class EGLContextError : public Exception {
 public:
  using Exception::Exception;
};

// What a context is made for. The kinds differ only in the failures a test
// can inject for them.
enum class TGLContextPurpose { Window, Bitmap, Temporary };

// Failures tests can inject into context handling. Creation fails for the
// chosen kinds; a release still frees everything but reports a failure.
struct TGLFaultInjection {
  bool failWindowContexts = false;
  bool failBitmapContexts = false;
  bool failTemporaryContexts = false;
  bool failRelease = false;
};
TGLFaultInjection& GLFaultInjection();

class TGLContext {
 public:
  // A context with a width x height buffer (sizes below 1 become 1); nullptr
  // when the context cannot be created.
  static std::unique_ptr<TGLContext> Create(TGLContextPurpose purpose, int width, int height);
  ~TGLContext();
  TGLContext(const TGLContext&) = delete;
  TGLContext& operator=(const TGLContext&) = delete;

  // Unbinds the context when it is current and destroys it. False when the
  // release reported a failure; the context is gone either way.
  bool Release();

  TGLContextPurpose Purpose() const { return purpose_; }
  // A number no other context of this run has; display lists remember it.
  std::uint64_t Id() const { return id_; }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }

  // Gives the buffer a new size (below 1 becomes 1). The content is undefined
  // until the next frame; a current context is bound again at once.
  bool SetSize(int width, int height);
  // Binds the context and its buffer. After a new size the viewport is set to
  // the whole buffer, because rebinding does not change it.
  bool MakeCurrent();
  bool IsCurrent() const;
  static void MakeNoneCurrent();
  // The context of ours that is current, or nullptr.
  static TGLContext* Current();
  // The living context with this id, or nullptr.
  static TGLContext* Find(std::uint64_t id);

  // Finishes the frame: waits for rendering and makes the image opaque, so a
  // widget can paint it as it stands.
  void PresentFrame();
  // The buffer: RGBA bytes, top row first.
  const QImage& Image() const { return image_; }
  // Copies the buffer into bitmap (the common top-left area), in the bitmap's
  // own pixel format, and marks the bitmap changed.
  void CopyToBitmap(TBitmap& bitmap) const;

 private:
  TGLContext(TGLContextPurpose purpose, void* osmesa, QImage buffer);
  void Destroy();

  TGLContextPurpose purpose_;
  void* osmesa_;  // OSMesaContext
  QImage image_;
  std::uint64_t id_;
  bool viewportStale_ = true;
};

// Remembers the current context and binds it again (or none) on leaving the
// scope, so a helper can switch contexts without disturbing its caller.
class TGLCurrentContextGuard {
 public:
  TGLCurrentContextGuard();
  ~TGLCurrentContextGuard();
  TGLCurrentContextGuard(const TGLCurrentContextGuard&) = delete;
  TGLCurrentContextGuard& operator=(const TGLCurrentContextGuard&) = delete;

 private:
  std::uint64_t previous_;
};
