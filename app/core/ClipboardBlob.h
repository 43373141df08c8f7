// The private clipboard format of sprites, frames and motion paths: a 4-byte
// little-endian size that counts itself, a 4-byte kind (1 sprite, 2 frame,
// 3 motion path) and the object's record in the newest format without ids.
// Blobs from the clipboard are hostile: a blob is decoded into detached
// objects first and pasted only when its record reads whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TAnimatedScene;
class TSprite;
class TFrame;
class TMoving;
class TBitmap;

enum : std::int32_t { cbkNothing = 0, cbkSprite = 1, cbkFrame = 2, cbkPath = 3 };

using TClipboardBlob = std::vector<std::uint8_t>;

TClipboardBlob SpriteBlob(TSprite& sprite);
TClipboardBlob FrameBlob(TFrame& frame);
TClipboardBlob PathBlob(const TMoving& path);

// Edit_Copy's blob for the selected tree node, by the node's image index:
// 1 the sprite; 3, 4, 8, 9, 10 the current frame (with no current frame a
// 4-byte blob holding 0); 5, 11, 12 the sprite's path; any other node a
// 4-byte blob holding 4.
TClipboardBlob CopyBlobForNode(int imageIndex, TSprite& sprite, TFrame* frame);

// A decoded blob: its kind and the object read into detached copies that
// belong to no scene list (a frame is held by a scratch sprite of its own).
struct TClipboardContent {
  std::int32_t Kind = cbkNothing;
  std::unique_ptr<TSprite> Sprite;      // kind 1, else the scratch owner of the frame or path
  TFrame* Frame = nullptr;              // kind 2
  TMoving* Path = nullptr;              // kind 3
  std::vector<std::uint8_t> Record;     // the record bytes that read whole
};

// Decodes a blob against the scene it is to be pasted into (paths stored in
// per cent take that scene's size). A size field below 8 or an unknown kind
// holds nothing (Kind 0). A size field beyond the data, or a record that does
// not read whole or does not end exactly at the size, raises EReadError.
TClipboardContent DecodeClipboardBlob(const std::uint8_t* data, std::size_t size, TAnimatedScene& scene);

// What a paste did, for the tree and message 1003.
struct TPasteResult {
  std::int32_t Kind = cbkNothing;  // what was pasted; 0 nothing
  TSprite* Sprite = nullptr;       // the sprite pasted into or created (the new current sprite)
  bool SpriteCreated = false;
  int FrameIndex = -1;             // the frame index to select; -1 when nothing was pasted
};

// Edit_Paste of the private format into the scene: a sprite becomes a new
// sprite at the end ("Add Sprite"); a frame is appended to the current sprite
// ("Add Frame") or, without one, to a new sprite with one default step (only
// "Add Sprite"); a path replaces the current sprite's path after a "Change
// Motion" snapshot (nothing without a current sprite). A blob that holds
// nothing or does not decode pastes nothing and records nothing.
TPasteResult PasteClipboardBlob(TAnimatedScene& scene, TSprite* currentSprite, const std::uint8_t* data,
                                std::size_t size);

// Edit_PasteAsNewSprite: a new sprite ("Add Sprite") with one default step,
// then the bitmap (when given) and the blob (when given) pasted into it with
// recording paused, except that a sprite blob makes a further sprite with its
// own "Add Sprite". When there is neither a bitmap nor a blob that decodes,
// nothing is made. The result describes the blob's paste, or the bitmap's
// when the blob pasted nothing.
TPasteResult PasteAsNewSprite(TAnimatedScene& scene, const TBitmap* bitmap, const std::uint8_t* data,
                              std::size_t size);

// PasteBitmapFrame: the bitmap as a picture frame "Clipboard n" (n its index
// + 1) of the current sprite ("Add Frame") or, without one, of a new sprite
// with one default step (only "Add Sprite"). A bitmap beyond the project
// reader's limits raises ESizeRefused and adds nothing.
TPasteResult PasteBitmapFrame(TAnimatedScene& scene, TSprite* currentSprite, const TBitmap& bitmap);
