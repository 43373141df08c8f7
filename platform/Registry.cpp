#include "platform/Registry.h"

namespace {

std::string JoinPath(std::string_view base, std::string_view name) {
  if (base.empty()) return std::string(name);
  if (name.empty()) return std::string(base);
  return std::string(base) + "\\" + std::string(name);
}

std::string Quoted(std::string_view name) { return "'" + std::string(name) + "'"; }

}  // namespace

// ---- TRegistry ---------------------------------------------------------------------------

TRegistry::TRegistry() : TRegistry(DefaultRegistryStore()) {}

TRegistry::TRegistry(std::shared_ptr<TRegistryStore> store) : store_(std::move(store)) {}

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  root_ = root;
}

std::optional<std::string> TRegistry::ResolvePath(std::string_view key) const {
  const bool absolute = !key.empty() && key.front() == '\\';
  if (absolute) key.remove_prefix(1);
  if (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  std::string path = absolute || !open_ ? std::string(key) : JoinPath(currentPath_, key);
  if (!SplitKeyPath(path)) return std::nullopt;
  return path;
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate) {
  const std::optional<std::string> path = ResolvePath(key);
  if (!path) return false;
  const bool exists = canCreate ? store_->CreateKey(root_, *path) : store_->KeyExists(root_, *path);
  if (!exists) return false;
  open_ = true;
  readOnly_ = false;
  currentPath_ = *path;
  return true;
}

bool TRegistry::OpenKeyReadOnly(std::string_view key) {
  if (!OpenKey(key, false)) return false;
  readOnly_ = true;
  return true;
}

void TRegistry::CloseKey() {
  open_ = false;
  readOnly_ = false;
  currentPath_.clear();
}

bool TRegistry::CreateKey(std::string_view key) {
  const std::optional<std::string> path = ResolvePath(key);
  return path && store_->CreateKey(root_, *path);
}

bool TRegistry::DeleteKey(std::string_view key) {
  const std::optional<std::string> path = ResolvePath(key);
  return path && store_->DeleteKey(root_, *path);
}

bool TRegistry::KeyExists(std::string_view key) {
  const std::optional<std::string> path = ResolvePath(key);
  return path && store_->KeyExists(root_, *path);
}

bool TRegistry::HasSubKeys() { return !GetKeyNames().empty(); }

std::vector<std::string> TRegistry::GetKeyNames() {
  return open_ ? store_->KeyNames(root_, currentPath_) : std::vector<std::string>();
}

std::vector<std::string> TRegistry::GetValueNames() {
  return open_ ? store_->ValueNames(root_, currentPath_) : std::vector<std::string>();
}

bool TRegistry::ValueExists(std::string_view name) {
  return open_ && store_->ReadValue(root_, currentPath_, name).has_value();
}

bool TRegistry::DeleteValue(std::string_view name) {
  return open_ && !readOnly_ && store_->DeleteValue(root_, currentPath_, name);
}

std::string TRegistry::ReadString(std::string_view name) {
  if (!open_) return {};
  return store_->ReadValue(root_, currentPath_, name).value_or(std::string());
}

void TRegistry::WriteString(std::string_view name, std::string_view value) {
  if (!open_ || readOnly_ || !store_->WriteValue(root_, currentPath_, name, value))
    throw ERegistryException("Failed to set data for " + Quoted(name));
}

std::int32_t TRegistry::ReadInteger(std::string_view name) {
  const std::optional<std::string> text = open_ ? store_->ReadValue(root_, currentPath_, name) : std::nullopt;
  if (!text) throw ERegistryException("Failed to get data for " + Quoted(name));
  const std::optional<std::int32_t> value = TryStrToInt(*text);
  if (!value) throw ERegistryException("Invalid data type for " + Quoted(name));
  return *value;
}

void TRegistry::WriteInteger(std::string_view name, std::int32_t value) { WriteString(name, IntToStr(value)); }

// ---- TRegIniFile -------------------------------------------------------------------------

TRegIniFile::TRegIniFile(std::string_view fileName, bool canCreate)
    : TRegIniFile(DefaultRegistryStore(), fileName, canCreate) {}

TRegIniFile::TRegIniFile(std::shared_ptr<TRegistryStore> store, std::string_view fileName, bool canCreate)
    : TRegistry(std::move(store)), fileName_(fileName) {
  OpenKey(fileName, canCreate);
}

std::optional<std::string> TRegIniFile::SectionPath(std::string_view section) const {
  if (!HasCurrentKey()) return std::nullopt;
  std::string path = JoinPath(CurrentPath(), section);
  if (!SplitKeyPath(path)) return std::nullopt;
  return path;
}

std::string TRegIniFile::ReadString(std::string_view section, std::string_view ident, std::string_view fallback) {
  const std::optional<std::string> path = SectionPath(section);
  std::optional<std::string> value = path ? Store().ReadValue(RootKey(), *path, ident) : std::nullopt;
  return value ? *value : std::string(fallback);
}

void TRegIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value) {
  const std::optional<std::string> path = SectionPath(section);
  if (!path || !Store().CreateKey(RootKey(), *path) || !Store().WriteValue(RootKey(), *path, ident, value))
    throw ERegistryException("Failed to set data for " + Quoted(ident));
}

std::int32_t TRegIniFile::ReadInteger(std::string_view section, std::string_view ident, std::int32_t fallback) {
  const std::optional<std::string> path = SectionPath(section);
  const std::optional<std::string> text = path ? Store().ReadValue(RootKey(), *path, ident) : std::nullopt;
  return text ? StrToIntDef(*text, fallback) : fallback;
}

void TRegIniFile::WriteInteger(std::string_view section, std::string_view ident, std::int32_t value) {
  WriteString(section, ident, IntToStr(value));
}

bool TRegIniFile::ReadBool(std::string_view section, std::string_view ident, bool fallback) {
  return ReadInteger(section, ident, fallback ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(std::string_view section, std::string_view ident, bool value) {
  WriteInteger(section, ident, value ? 1 : 0);
}

std::vector<std::string> TRegIniFile::ReadSection(std::string_view section) {
  const std::optional<std::string> path = SectionPath(section);
  return path ? Store().ValueNames(RootKey(), *path) : std::vector<std::string>();
}

std::vector<std::string> TRegIniFile::ReadSections() { return GetKeyNames(); }

bool TRegIniFile::ValueExists(std::string_view section, std::string_view ident) {
  const std::optional<std::string> path = SectionPath(section);
  return path && Store().ReadValue(RootKey(), *path, ident).has_value();
}

void TRegIniFile::EraseSection(std::string_view section) {
  if (const std::optional<std::string> path = SectionPath(section); path && !section.empty())
    Store().DeleteKey(RootKey(), *path);
}

void TRegIniFile::DeleteKey(std::string_view section, std::string_view ident) {
  if (const std::optional<std::string> path = SectionPath(section)) Store().DeleteValue(RootKey(), *path, ident);
}
