#include "imaging/MinGDIBitmapU.h"

#include "imaging/utils.h"

namespace {

bool MechanismOn() { return !ResourceMechanismOff(); }

}  // namespace

TMinGDIBitmap::TMinGDIBitmap() : memoryCopy_(std::make_unique<TMemoryStream>()) {}

TMinGDIBitmap::~TMinGDIBitmap() = default;

void TMinGDIBitmap::BeforeAccess(bool mutating) const {
  if (restoring_) return;
  RestoreImage();
  if (mutating) const_cast<TMinGDIBitmap*>(this)->MarkModified();
}

void TMinGDIBitmap::RestoreImage() const {
  // Without a meter nothing is ever released, so no mechanism test is needed
  // here; a released image is always rebuilt.
  if (restoring_ || HasImage() || memoryCopy_->Size() == 0) return;
  auto* self = const_cast<TMinGDIBitmap*>(this);
  restoring_ = true;
  try {
    memoryCopy_->SetPosition(0);
    self->TBitmap::LoadFromStream(*memoryCopy_);
  } catch (...) {
    restoring_ = false;
    throw;
  }
  restoring_ = false;
  self->SetModified(false);
  // Palettes travel in the copy only for palette formats; 1- and 4-bit images
  // keep theirs too, since their indices mean nothing without it.
  if (BitCount() > 8) {
    restoring_ = true;
    self->TBitmap::SetPalette(TPalette());
    restoring_ = false;
    self->SetPaletteModified(false);
    self->SetModified(false);
  }
}

void TMinGDIBitmap::RewriteMemoryCopy() const {
  // A released image is rebuilt first: the copy is its only source.
  RestoreImage();
  memoryCopy_->Clear();
  TBitmap::SaveToStream(*memoryCopy_);
}

void TMinGDIBitmap::ReleaseImage() const {
  if (!MechanismOn()) return;
  auto* self = const_cast<TMinGDIBitmap*>(this);
  if (Modified()) RewriteMemoryCopy();
  self->SetModified(false);
  if (HasImage() && !Empty() && (FreeResourcesPct(0) <= kMinGDIReleaseThreshold || forcedRelease_ != 0)) {
    self->Dormant();
    self->FreeImage();
    forcedRelease_ = 0;
  }
}

void TMinGDIBitmap::ForceRelease() {
  forcedRelease_ = 1;
  SaveAndRelease();
}

void TMinGDIBitmap::Assign(const TBitmap* source) {
  RestoreImage();
  // The inherited Assign restores the source through its own access hook.
  TBitmap::Assign(source);
  if (MechanismOn()) MarkModified();
}

void TMinGDIBitmap::LoadFromStream(TStream& stream) {
  RestoreImage();
  if (!MechanismOn()) {
    TBitmap::LoadFromStream(stream);
    return;
  }
  // The copy takes the bytes from the position to the end, but only once the
  // load has succeeded: a failed load leaves both image and copy as they were.
  const std::int64_t position = stream.Position();
  auto copy = std::make_unique<TMemoryStream>();
  if (stream.Remaining() > 0) copy->CopyFrom(stream, stream.Remaining());
  stream.SetPosition(position);
  TBitmap::LoadFromStream(stream);
  memoryCopy_ = std::move(copy);
  ReleaseImage();
}

void TMinGDIBitmap::SaveToStream(TStream& stream) const {
  RestoreImage();
  TBitmap::SaveToStream(stream);
  ReleaseImage();
}

void TMinGDIBitmap::SetTransparent(bool transparent) {
  RestoreImage();
  TBitmap::SetTransparent(transparent);
}

void TMinGDIBitmap::SetTransparentColor(TColor color) {
  RestoreImage();
  TBitmap::SetTransparentColor(color);
  if (MechanismOn()) {
    MarkModified();
    RewriteMemoryCopy();
  }
}

void TMinGDIBitmap::SetPixelFormat(TPixelFormat format) {
  RestoreImage();
  TBitmap::SetPixelFormat(format);
  if (MechanismOn()) {
    MarkModified();
    RewriteMemoryCopy();
  }
}
