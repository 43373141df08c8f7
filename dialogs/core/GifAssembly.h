// Assembly of the exported GIF from the reduced frames: one image per frame
// with its delay, position, disposal, interlacing and transparent index, the
// loop block when the animation repeats, and the scene's comment.
#pragma once

#include "imaging/CreatePaletteU.h"
#include "platform/Messages.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TGifFile;
class TExportProgress;

// The message shown when a frame is not an 8-bit picture.
extern const char* const SGifNeeds256Colors;  // "All images must be converted to 256 colors before saving as GIF."

struct TGifAssemblyOptions {
  bool LocalColorTables = false;   // each image gets its own colour table
  HWND ProgressWindow = 0;         // receives the GIF's progress messages
  std::int32_t LoopCount = -1;     // the scene's: -1 endless, 0 play once
  std::vector<std::string> CommentLines;
};

// The GIF of the frames, or nothing for an empty list or when a frame is not
// 8-bit (then SGifNeeds256Colors is shown). When the cancel flag is found set
// after a frame, the images made so far are returned.
std::unique_ptr<TGifFile> CreateGifFile(TSetOfBitmaps& frames, const TGifAssemblyOptions& options,
                                        TExportProgress* progress);

// The comment lines as one text, each line followed by CR LF, cut into the
// pieces of at most 255 bytes that GIF sub-blocks hold.
std::vector<std::string> GifCommentBlocks(const std::vector<std::string>& lines);
