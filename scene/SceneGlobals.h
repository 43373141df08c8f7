// Program-wide state of the scene model: the two format versions that gate
// every stream record, the undo mode that makes records carry object ids, the
// palette mode of 256-colour displays, and the maker of object ids.
#pragma once

#include <cstdint>

// The newest project format; both versions return to it after every read and write.
constexpr std::int32_t kNewestFormatVersion = 16;

// Version that every record writer gates its fields on (the save command may
// lower it to write an older format).
extern std::int32_t SaveVersion;
// Version of the stream being read; every record reader gates on it.
extern std::int32_t ReadVersion;
// Holds the program-wide format versions for one piece of work and puts them
// back when it ends, on every way out. kUseNewest writes and reads in the
// newest format meanwhile (snapshots, clipboard records) and restores the
// versions in use; kNewestAfterwards leaves them to the work (a save that
// picks its format, a read that takes the file's) and sets both to the
// newest when it ends.
class TFormatVersionScope {
 public:
  enum TChange { kUseNewest, kNewestAfterwards };
  explicit TFormatVersionScope(TChange change);
  ~TFormatVersionScope();
  TFormatVersionScope(const TFormatVersionScope&) = delete;
  TFormatVersionScope& operator=(const TFormatVersionScope&) = delete;

 private:
  TChange change_;
  std::int32_t save_;
  std::int32_t read_;
};

// 1 while an undo record's snapshot is written or restored: the records of
// sprites, frames, intervals, paths and sounds then end with the object's id.
extern std::uint8_t UndoMode;
// 1 when the display has 8 bits per pixel or fewer: bitmaps then carry
// palettes and copies between them go through the canvas.
extern std::uint8_t PaletteMode;

// A new object id: a random number below 1,000,000 plus the microsecond count.
std::int32_t NewObjectId();
