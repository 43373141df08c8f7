// The registry: a hierarchical store of string values under three roots, kept
// as one text file per root in the registry folder. Key and value names are
// compared without regard to letter case and keep the case they were created
// with. Every change locks the root's file against other processes, re-reads
// it, and replaces it atomically (a new file renamed over the old one), so
// the editor and the Uninstaller can share it. The files are read as hostile
// input: damaged lines are skipped, and a file too large to be a registry is
// neither read nor overwritten.
#pragma once

#include "platform/SysUtils.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using HKEY = std::uint32_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

// The environment variable that names the registry folder (tests point it at
// a temporary folder).
constexpr const char* kRegistryFolderVariable = "GC_REGISTRY_DIR";
// The registry folder: $GC_REGISTRY_DIR when set, else
// $XDG_CONFIG_HOME/Gleamcraft/registry.
std::string RegistryFolder();

// Limits that keep a damaged or hostile store file from exhausting memory.
struct RegistryLimits {
  static constexpr std::int64_t kMaxFileBytes = 8 * 1024 * 1024;
  static constexpr std::size_t kMaxEntries = 100000;  // keys and values of one root
  static constexpr std::size_t kMaxDepth = 512;
  static constexpr std::size_t kMaxKeyNameBytes = 255;
  static constexpr std::size_t kMaxValueNameBytes = 16383;
  static constexpr std::size_t kMaxValueBytes = 1024 * 1024;
};

// The components of a key path ("A\B\C"), or nullopt when the path is not
// valid: an empty component, a component longer than 255 bytes or holding a
// control character, or more than 512 components. "" is the root itself.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);

// Whether two key or value names are the same name to the store (letter case
// ignored: ASCII letters always, every letter of names that are valid UTF-8).
bool SameRegistryName(std::string_view a, std::string_view b);

class TRegistryStore {
 public:
  // Keeps its files in folder (created on the first change).
  explicit TRegistryStore(std::string folder);
  ~TRegistryStore();
  TRegistryStore(const TRegistryStore&) = delete;
  TRegistryStore& operator=(const TRegistryStore&) = delete;

  const std::string& Folder() const { return folder_; }
  // The file of a root ("<folder>/HKEY_CURRENT_USER.reg"); "" for an unknown root.
  std::string FileOf(HKEY root) const;

  // Paths are relative to the root, components separated by "\". Every
  // operation answers false, empty or nullopt for an unknown root or an
  // invalid path; changes also for a store file that cannot be read or written.
  bool KeyExists(HKEY root, std::string_view path);
  // Creates the key and the keys above it that are missing.
  bool CreateKey(HKEY root, std::string_view path);
  // Deletes an existing key with all its subkeys (never the root itself).
  bool DeleteKey(HKEY root, std::string_view path);
  // The keys directly below a key and its value names ("" is the key's
  // default value), in their stored letter case, sorted without regard to case.
  std::vector<std::string> KeyNames(HKEY root, std::string_view path);
  std::vector<std::string> ValueNames(HKEY root, std::string_view path);
  std::optional<std::string> ReadValue(HKEY root, std::string_view path, std::string_view name);
  // Sets a value of an existing key; a value of another letter case is
  // replaced and keeps its stored name.
  bool WriteValue(HKEY root, std::string_view path, std::string_view name, std::string_view data);
  bool DeleteValue(HKEY root, std::string_view path, std::string_view name);

  // Parsed keys, public for the store's file reader and writer.
  struct Key {
    std::string name;
    std::map<std::string, std::pair<std::string, std::string>> values;  // folded name -> (name, data)
    std::map<std::string, std::unique_ptr<Key>> subkeys;                // folded name -> key
  };

 private:
  struct RootState;
  RootState* StateOf(HKEY root);
  // The root's keys as its file holds them now (re-read when the file changed).
  Key* Current(HKEY root);
  // Runs a change under the root's lock on the freshly read keys; the change
  // returns whether it changed anything, and only then is the file replaced.
  template <typename Change>
  bool Modify(HKEY root, Change&& change);

  std::string folder_;
  std::map<HKEY, std::unique_ptr<RootState>> roots_;
};

// The store of the current registry folder, shared by every registry object
// (a new one when the folder variable names another folder).
std::shared_ptr<TRegistryStore> DefaultRegistryStore();
