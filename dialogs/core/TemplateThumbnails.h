// The template wizard's GUI-free part: the project files of a template set
// and the thumbnail each one shows, scaled into the set's thumbnail size.
#pragma once

#include "platform/Geometry.h"

#include <string>
#include <vector>

class TBitmap;

// Where AddThumbnail draws a picture in a width x height thumbnail: centred
// when it fits; else scaled (to the height when width > height, else to the
// width, with MulDiv), centred horizontally and aligned to the bottom. A
// scaled picture of another shape than the set's may reach beyond the
// thumbnail; only its part inside is seen.
TRect TemplateThumbnailRect(int pictureWidth, int pictureHeight, int width, int height);
// AddThumbnail's bitmap: width x height in the button face colour with the
// picture drawn (resampled when scaled) at TemplateThumbnailRect. Only the
// part that is seen is resampled, so an odd preview (65535 x 1) never
// makes a scaled copy larger than the thumbnail.
void MakeTemplateThumbnail(const TBitmap& picture, int width, int height, TBitmap& thumbnail);
// The project files (".GLM" in any case) directly in the folder, file names
// only, in sorted order; none when the folder cannot be read.
std::vector<std::string> ListProjectFiles(const std::string& folder);
