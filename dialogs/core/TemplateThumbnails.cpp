#include "dialogs/core/TemplateThumbnails.h"

#include "imaging/resample.h"
#include "platform/FileSearch.h"
#include "platform/Graphics.h"
#include "platform/Numeric.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cmath>

namespace {

// The part of the picture that lands inside the thumbnail when the whole
// picture is scaled to `scaled`: the source rectangle (widened to whole
// pixels) and where it goes.
struct TVisiblePart {
  TRect source;
  TRect target;
};

TVisiblePart VisiblePart(int pictureWidth, int pictureHeight, const TRect& scaled, int width, int height) {
  TRect target;
  IntersectRect(target, scaled, Rect(0, 0, width, height));
  const double sx = static_cast<double>(pictureWidth) / scaled.Width();
  const double sy = static_cast<double>(pictureHeight) / scaled.Height();
  const int left = std::clamp(static_cast<int>(std::floor((target.Left - scaled.Left) * sx)), 0, pictureWidth - 1);
  const int top = std::clamp(static_cast<int>(std::floor((target.Top - scaled.Top) * sy)), 0, pictureHeight - 1);
  const int right = std::clamp(static_cast<int>(std::ceil((target.Right - scaled.Left) * sx)), left + 1, pictureWidth);
  const int bottom = std::clamp(static_cast<int>(std::ceil((target.Bottom - scaled.Top) * sy)), top + 1, pictureHeight);
  return {Rect(left, top, right, bottom), target};
}

void DrawResampled(const TBitmap& source, const TRect& target, TCanvas& canvas) {
  TBitmap scaled;
  scaled.SetPixelFormat(pf24bit);
  scaled.SetSize(target.Width(), target.Height());
  ResampleBitmapDefault(source, scaled, false, 0);
  canvas.Draw(target.Left, target.Top, scaled);
}

void DrawResampledPart(const TBitmap& picture, const TVisiblePart& part, TCanvas& canvas) {
  TBitmap cut;
  cut.SetPixelFormat(pf24bit);
  cut.SetSize(part.source.Width(), part.source.Height());
  cut.Canvas().Draw(-part.source.Left, -part.source.Top, picture);
  DrawResampled(cut, part.target, canvas);
}

}  // namespace

TRect TemplateThumbnailRect(int pictureWidth, int pictureHeight, int width, int height) {
  if (pictureWidth <= width && pictureHeight <= height) {
    const int left = (width - pictureWidth) / 2, top = (height - pictureHeight) / 2;
    return Rect(left, top, left + pictureWidth, top + pictureHeight);
  }
  int w = 0, h = 0;
  if (width > height) {
    h = height;
    w = MulDiv(pictureWidth, height, pictureHeight);
  } else {
    w = width;
    h = MulDiv(pictureHeight, width, pictureWidth);
  }
  const int left = (width - w) / 2;
  return Rect(left, height - h, left + w, height);
}

void MakeTemplateThumbnail(const TBitmap& picture, int width, int height, TBitmap& thumbnail) {
  thumbnail.SetPixelFormat(pf24bit);
  thumbnail.SetSize(0, height);
  thumbnail.Canvas().Brush().Color = clBtnFace;
  thumbnail.Canvas().Brush().Style = bsSolid;
  thumbnail.SetSize(width, height);
  thumbnail.Canvas().FillRect(Rect(0, 0, width, height));
  if (picture.Empty() || picture.Width() <= 0 || picture.Height() <= 0) return;
  const TRect r = TemplateThumbnailRect(picture.Width(), picture.Height(), width, height);
  if (r.Width() <= 0 || r.Height() <= 0) return;
  if (r.Width() == picture.Width() && r.Height() == picture.Height()) {
    thumbnail.Canvas().Draw(r.Left, r.Top, picture);
    return;
  }
  if (r.Left >= 0 && r.Top >= 0 && r.Right <= width && r.Bottom <= height) {
    DrawResampled(picture, r, thumbnail.Canvas());
    return;
  }
  const TVisiblePart part = VisiblePart(picture.Width(), picture.Height(), r, width, height);
  if (part.target.Width() > 0 && part.target.Height() > 0)
    DrawResampledPart(picture, part, thumbnail.Canvas());
}

std::vector<std::string> ListProjectFiles(const std::string& folder) {
  return FindFiles(IncludeTrailingPathDelimiter(folder) + "*.glm");
}
