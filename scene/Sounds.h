// The sounds of a scene: sound files (the audio of imported AVI files) with
// the steps at which each starts and stops. They are recorded for undo and
// written into project files with the file's bytes embedded; nothing plays
// them, and the project reader reads them only to pass over them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TAnimatedScene;
class TAudioFile;
class TStream;

// One start and stop of a sound.
class TAudioItem {
 public:
  explicit TAudioItem(TAudioFile* file);

  // Start step, stop step, stop flag, and the id in undo mode.
  void SaveToStream(TStream& stream) const;
  void LoadFromStream(TStream& stream);
  // Bytes of one record at the current undo mode.
  static std::int64_t RecordSize();
  TAudioFile* File() const { return file_; }

  std::int32_t StartStep = 0;
  std::int32_t StopStep = 0;
  std::uint8_t StopFlag = 0;  // 1 = the sound stops at the stop step
  std::int32_t Id;

 private:
  TAudioFile* file_;
};

// Media device types of sound files.
enum : std::uint8_t { mdtAviVideo = 1, mdtDefault = 12 };

class TAudioFile {
 public:
  explicit TAudioFile(TAnimatedScene* scene);
  ~TAudioFile();
  TAudioFile(const TAudioFile&) = delete;
  TAudioFile& operator=(const TAudioFile&) = delete;

  // Records "Change Playing" and stores the file and its device type.
  void SetFile(const std::string& fileName, std::uint8_t deviceType);
  // Records "Add Start/Stop position" and appends an item with the values.
  TAudioItem* AddItem(std::int32_t start, std::int32_t stop, std::uint8_t stopFlag);
  int ItemCount() const { return static_cast<int>(items_.size()); }
  TAudioItem& Item(int index) const { return *items_.at(static_cast<std::size_t>(index)); }

  // File name, device type, the embedded file (outside undo mode), the items
  // and, in undo mode, the id. A file that cannot be read, or of 2 GiB or
  // more, is embedded with size 0.
  void SaveToStream(TStream& stream) const;
  // Reads the record without touching the file on disk; rebuilding the items
  // records no undo.
  void LoadFromStream(TStream& stream);
  // Smallest record at the current undo mode.
  static std::int64_t MinRecordSize();
  // Position in the scene's sound list; -1 when not in one.
  int Index() const;
  TAnimatedScene* Scene() const { return scene_; }

  std::int32_t Id;
  std::uint8_t DeviceType = mdtDefault;
  std::string FileName;

 private:
  void RecordChange(const char* caption);

  TAnimatedScene* scene_;
  std::vector<std::unique_ptr<TAudioItem>> items_;
};

using TAudioFileList = std::vector<std::unique_ptr<TAudioFile>>;
