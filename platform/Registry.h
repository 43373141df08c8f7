// The class library's registry objects over the registry store: TRegistry
// opens one key at a time below a root; TRegIniFile reads and writes a key
// like an INI file, its sections being subkeys and every value a string.
#pragma once

#include "platform/RegistryStore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TRegistry {
 public:
  // HKEY_CURRENT_USER of the registry in use (DefaultRegistryStore), no key open.
  TRegistry();
  explicit TRegistry(std::shared_ptr<TRegistryStore> store);
  virtual ~TRegistry() = default;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return root_; }
  // Changing the root closes the current key.
  void SetRootKey(HKEY root);
  // Whether a key is open, and its path below the root ("" when none).
  bool HasCurrentKey() const { return open_; }
  const std::string& CurrentPath() const { return currentPath_; }

  // Key names below are relative to the current key, or to the root when no
  // key is open or the name starts with "\"; a trailing "\" is ignored.
  // Opens a key (creating it when canCreate); false when it does not exist or
  // cannot be created. The current key stays open on failure.
  bool OpenKey(std::string_view key, bool canCreate);
  // Opens an existing key; values cannot be written through it.
  bool OpenKeyReadOnly(std::string_view key);
  void CloseKey();
  bool CreateKey(std::string_view key);
  // Deletes a key with all its subkeys.
  bool DeleteKey(std::string_view key);
  bool KeyExists(std::string_view key);

  // Values of the current key (nothing when no key is open).
  bool HasSubKeys();
  std::vector<std::string> GetKeyNames();
  std::vector<std::string> GetValueNames();
  bool ValueExists(std::string_view name);
  bool DeleteValue(std::string_view name);
  // "" when the value is missing.
  std::string ReadString(std::string_view name);
  // Raises ERegistryException "Failed to set data for '<name>'" when no key
  // is open, the key is open read-only or the store cannot be written.
  void WriteString(std::string_view name, std::string_view value);
  // Raises ERegistryException "Failed to get data for '<name>'" when the
  // value is missing and "Invalid data type for '<name>'" when it is no number.
  std::int32_t ReadInteger(std::string_view name);
  // Integers are kept as decimal text, Booleans as "1" and "0".
  void WriteInteger(std::string_view name, std::int32_t value);
  bool ReadBool(std::string_view name) { return ReadInteger(name) != 0; }
  void WriteBool(std::string_view name, bool value) { WriteInteger(name, value ? 1 : 0); }

 protected:
  TRegistryStore& Store() { return *store_; }
  // The path below the root that a key name means; nullopt when it is not valid.
  std::optional<std::string> ResolvePath(std::string_view key) const;

 private:
  std::shared_ptr<TRegistryStore> store_;
  HKEY root_ = HKEY_CURRENT_USER;
  bool open_ = false;
  bool readOnly_ = false;
  std::string currentPath_;
};

class TRegIniFile : public TRegistry {
 public:
  // Opens HKEY_CURRENT_USER\<fileName>, creating it as the class library does
  // unless canCreate is false; with a missing key then, every read gives its
  // default and every write raises ERegistryException.
  explicit TRegIniFile(std::string_view fileName, bool canCreate = true);
  TRegIniFile(std::shared_ptr<TRegistryStore> store, std::string_view fileName, bool canCreate = true);

  const std::string& FileName() const { return fileName_; }

  // A section is a subkey of the open key; "" is the open key itself. Reads
  // give the default when the section or value is missing; writes create the
  // section and raise ERegistryException on failure.
  std::string ReadString(std::string_view section, std::string_view ident, std::string_view fallback);
  void WriteString(std::string_view section, std::string_view ident, std::string_view value);
  // The default also when the text is not a number (StrToIntDef).
  std::int32_t ReadInteger(std::string_view section, std::string_view ident, std::int32_t fallback);
  void WriteInteger(std::string_view section, std::string_view ident, std::int32_t value);
  // True when the integer read is not 0; written as "1" or "0".
  bool ReadBool(std::string_view section, std::string_view ident, bool fallback);
  void WriteBool(std::string_view section, std::string_view ident, bool value);
  // The value names of a section, and the sections of the open key.
  std::vector<std::string> ReadSection(std::string_view section);
  std::vector<std::string> ReadSections();
  bool ValueExists(std::string_view section, std::string_view ident);
  // Deletes a section with everything in it, or one value of a section.
  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view ident);
  using TRegistry::DeleteKey;
  using TRegistry::ReadBool;
  using TRegistry::ReadInteger;
  using TRegistry::ReadString;
  using TRegistry::ValueExists;
  using TRegistry::WriteBool;
  using TRegistry::WriteInteger;
  using TRegistry::WriteString;

 private:
  // The path of a section below the root; nullopt when no key is open or the name is not valid.
  std::optional<std::string> SectionPath(std::string_view section) const;

  std::string fileName_;
};
