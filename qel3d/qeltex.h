// A texture: uploads a bitmap as the current 2D texture for the objects
// drawn after it.
#pragma once

#include "platform/Graphics.h"
#include "qel3d/qelclass.h"

#include <cstdint>
#include <vector>

class TQelTexture : public TQelRender {
 public:
  TQelTexture();
  std::string ClassName() const override { return "TQelTexture"; }

  // The owned bitmap; every change to it rebuilds the texels.
  TBitmap& Bitmap() { return bitmap_; }
  const TBitmap& Bitmap() const { return bitmap_; }
  // Copies a bitmap in; nullptr changes nothing.
  void SetBitmap(const TBitmap* bitmap);
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& fileName) { fileName_ = fileName; }

  // Whether the bitmap can be a texture: not empty, both sides powers of two.
  bool Usable() const { return !texels_.empty(); }
  int TexelWidth() const { return texelWidth_; }
  int TexelHeight() const { return texelHeight_; }
  // RGB texels, top row first, rows padded to 4 bytes.
  const std::vector<std::uint8_t>& Texels() const { return texels_; }

  bool CanStore() const override { return true; }
  void Render() override;
  // "File": the bitmap's file. A file name that exists is referred to as it
  // is; otherwise the bitmap is saved to a new file first (never over an
  // existing one). When the file cannot be made the key is left out.
  void WriteKeys(TQelKeyWriter& writer) override;
  bool ReadKey(const TQelKeyValueBase& key) override;

  void WriteProperties(TWriter& writer) const override;
  bool ReadProperty(const std::string& name, TReader& reader) override;

 protected:
  PublishedTransform Published() const override { return {false, true, true, true}; }

 private:
  void RebuildTexels();

  TBitmap bitmap_;
  std::string fileName_;
  std::vector<std::uint8_t> texels_;
  int texelWidth_ = 0;
  int texelHeight_ = 0;
};

void QelRegisterTextureClasses();
