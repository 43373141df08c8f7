// The key text of the 3D objects: one key a line, "<NAME=value>",
// "<NAME A=1.000, B=2.000>" or "<NAME=[1,2,3]>", and its reader.
#pragma once

#include "qel3d/qelkey.h"

#include <cstddef>
#include <string>
#include <string_view>

class TStream;
class TMemoryStream;
class TQelRender;

class TQelKeyWriter {
 public:
  explicit TQelKeyWriter(TStream& stream) : stream_(stream) {}

  // Two blanks per level go in front of each line.
  int Indent = 0;
  // The folder for files that keys refer to (texture bitmaps). When it is
  // empty a private folder is made the first time a file is needed.
  std::string FileFolder;

  // Writes one key as a line and clears the key. A key without a name writes
  // nothing; a key that cannot be written (an empty value, no sub keys) is
  // dropped and counted, and nothing is raised.
  void WriteKey(TQelKeyValueBase& key);
  void WriteRaw(std::string_view text);
  int DroppedKeys() const { return droppedKeys_; }

  // Creates a new file exclusively (never over an existing one) and writes
  // data into it. With an empty path the file gets 8 random lower-case
  // letters and the extension as its name in the file folder. Returns the
  // path; raises EQelException when no file could be created.
  std::string CreateExclusiveFile(const std::string& path, const std::string& extension, const TMemoryStream& data);

 private:
  std::string FileFolderInUse();

  TStream& stream_;
  int droppedKeys_ = 0;
};

// Reads key text key by key.
class TQelKeyReader {
 public:
  explicit TQelKeyReader(std::string text) : text_(std::move(text)) {}
  // Reads what remains of stream as key text.
  static TQelKeyReader FromStream(TStream& stream);

  // The next key; false at the end of the text. Raises EQelException
  // "Invalid key text." for a line that is not a key.
  bool ReadKey(TQelKeyValueBase& key);

 private:
  bool AtEnd() const { return position_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[position_]; }
  void Expect(char c);
  void SkipBlanks();
  std::string ReadName();
  void ReadValue(TQelKeyValueBase& key);

  std::string text_;
  std::size_t position_ = 0;
};

// Offers every key of the text to the object; returns how many it recognised.
int ReadKeysInto(TQelKeyReader& reader, TQelRender& object);
