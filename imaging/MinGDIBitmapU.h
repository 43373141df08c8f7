// The memory-lean bitmap: a TBitmap that keeps a copy of its image as BMP
// file bytes in memory, gives its image back when free system resources run
// low, and rebuilds it from the copy on the next access. On a system without
// a resource meter it behaves exactly as a plain TBitmap.
#pragma once

#include "platform/Graphics.h"
#include "platform/Streams.h"

#include <cstdint>
#include <memory>

// Per cent of free system resources at or below which images are released.
constexpr int kMinGDIReleaseThreshold = 18;

class TMinGDIBitmap : public TBitmap {
 public:
  TMinGDIBitmap();
  ~TMinGDIBitmap() override;

  // Rebuilds the image from the memory copy when it was released.
  void RestoreImage() const;
  // Rewrites the memory copy when the image changed, then frees the image
  // when resources are low or a release was forced.
  void ReleaseImage() const;
  // The same as ReleaseImage; callers use it after they have drawn on the bitmap.
  void SaveAndRelease() const { ReleaseImage(); }
  // Frees the image whatever the resources (when the mechanism is on).
  void ForceRelease();

  void Assign(const TBitmap* source) override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
  void SetTransparent(bool transparent) override;
  void SetTransparentColor(TColor color) override;
  void SetPixelFormat(TPixelFormat format) override;

  // The image as BMP file bytes; empty until the first load or release.
  const TMemoryStream& MemoryCopy() const { return *memoryCopy_; }
  std::int64_t MemoryCopySize() const { return memoryCopy_->Size(); }
  bool ForcedRelease() const { return forcedRelease_ != 0; }

 protected:
  // Every access first restores; a mutable one also marks the image
  // modified, so that a release never drops a change.
  void BeforeAccess(bool mutating) const override;

 private:
  void RewriteMemoryCopy() const;

  std::unique_ptr<TMemoryStream> memoryCopy_;
  mutable std::uint8_t forcedRelease_ = 0;
  mutable bool restoring_ = false;
};
