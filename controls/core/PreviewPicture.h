// The still picture that the picture open dialog, the template wizard and the
// presets menu show for a file: LoadPreviewPicture turns any file the editor
// reads (BMP, GIF, JPEG, AVI and project files) into one picture, with the
// number of frames or steps it holds and a code for its colour depth; and the
// dialog's description line and picture placement made from them.
#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <optional>
#include <string>

class TAnimatedScene;
class TBitmap;

// Reads a project file into the scene, in the scene loader's preview mode
// (up to the stored preview when the file has one, else the settings without
// sprites and without drawing the background) or whole. False when the read
// failed; the loader has then told the user.
bool ReadProject(TAnimatedScene& scene, const std::string& fileName, bool previewMode);

// Colour codes are the ordinals of TPixelFormat: 0 device, 1 one bit, 2 four
// bits, 3 eight bits, 4 fifteen, 5 sixteen, 6 twenty-four, 7 thirty-two bits,
// 8 custom (a project whose content is not all 8-bit).
constexpr std::uint8_t kProjectNotEightBitCode = 8;

// The code of a stored bit count (1, 4, 8, 15, 16, 24, 32); nullopt for any other.
std::optional<std::uint8_t> ColorCodeOfBitCount(int bits);

// Loads the file's preview into Picture. Returns true when the extension is
// one it handles (".BMP", ".GIF", ".JPG", ".AVI", ".GLD", ".GLM" in any
// case), whether or not reading succeeded, and false for any other.
// FrameCount is set to 0 first, then to the GIF's images, the AVI stream's
// frames or the project's steps. ColorCode is set from what was read (a
// project's stored preview sets none; an AVI of another bit count leaves it).
// Shows the hourglass while it works. Exceptions of the BMP, GIF and JPEG
// readers pass to the caller; an AVI that cannot be opened or a project that
// cannot be read leaves Picture as it was (the project reader has told the user),
// and so does a project without a stored preview whose scene has more than
// 2^22 pixels: its preview would be composed at the scene's size.
bool LoadPreviewPicture(const std::string& FileName, TBitmap& Picture, std::int32_t& FrameCount,
                        std::uint8_t& ColorCode);

// The colour text of a code: "2", "16", "256", "32K", "16 mil." or "4.3 bil."
// for codes 1, 2, 3, 4, 6 and 7, "RGB" for every other.
std::string ColorCountText(std::uint8_t colorCode);
// The dialog's description of a preview: " (<width>x<height>)", then
// ",<count> fr." when there is at least one frame, then "," + colours + " col.".
std::string PreviewDescription(int width, int height, std::int32_t frameCount, std::uint8_t colorCode);

// Where the paint box draws a picture in its client rectangle: unscaled and
// centred when it fits; otherwise scaled by the smaller of the two ratios,
// keeping its aspect, anchored at the top-left corner, so it never overflows.
TRect PreviewPictureRect(int pictureWidth, int pictureHeight, const TRect& box);
