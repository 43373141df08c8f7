// Picture files and kept sources: GIF, JPEG and AVI pictures of frames and
// of the background.
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

void TGifFileDeleter::operator()(TGifFile*) const {}
void TAVIImageDeleter::operator()(TAVIImage*) const {}

bool TFrame::HasSource() const { return false; }
void TFrame::AdvanceSource(int) { ImageChanged = 0; }
void TFrame::DropSource() {
  SourceKept = 0;
  KeptStream.Clear();
  gifSource_.reset();
  aviSource_.reset();
}
void TFrame::ReleaseImages() {
  ReleaseFrameImage(DisplayImage);
  ReleaseFrameImage(Picture);
  ReleaseFrameImage(Mask);
}
bool TFrame::PlaysKeptSource() const { return false; }
bool TFrame::TakeSourceWrap() { return false; }
void TFrame::RestartSourceAfterWrap() {}
void TFrame::ShowFirstClipFrame() {}
void TFrame::CopySourceFrom(const TFrame&) {}

int TSprite::AddGifFile(const std::string&, bool, TColor, int, int, bool) { return -1; }
int TSprite::AddJpegFile(const std::string&, bool, TColor) { return -1; }
int TSprite::AddAviFile(const std::string&, bool, TColor, int, int, bool) { return -1; }

void TAnimatedScene::LoadBackgroundPicture(const std::string& fileName) {
  try {
    const std::string extension = UpperCaseAscii(ExtractFileExt(fileName));
    if (extension == ".BMP") BackgroundPicture.LoadFromFile(fileName);
  } catch (const std::exception&) {
    // The background keeps its previous picture.
  }
}
