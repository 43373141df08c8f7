#include "platform/RegistryStore.h"

#include "platform/XdgFolders.h"

#include <QString>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

// The file of one root:
//
//   Gleamcraft registry 1
//
//   [SOFTWARE\ZorvanSoft\Glowsmith]
//   @="the default value"
//   "WindowState"="2"
//
// A key is listed when it has values or no subkeys (keys above it are
// implied). Names and values are quoted; "\" escapes "\", '"', \n, \r, \t and
// \xHH for the other control bytes; all other bytes stand for themselves.

namespace {

constexpr const char* kFileHeader = "Gleamcraft registry 1";

const char* RootName(HKEY root) {
  switch (root) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    default: return nullptr;
  }
}

// Names match without regard to case: ASCII letters always, and every letter
// of a name that is valid UTF-8.
std::string Fold(std::string_view name) {
  bool ascii = true;
  for (char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (!ascii) {
    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    const QByteArray back = text.toUtf8();
    if (back.size() == static_cast<qsizetype>(name.size()) &&
        std::string_view(back.constData(), static_cast<std::size_t>(back.size())) == name) {
      const QByteArray folded = text.toCaseFolded().toUtf8();
      return std::string(folded.constData(), static_cast<std::size_t>(folded.size()));
    }
  }
  return LowerCaseAscii(name);
}

using Key = TRegistryStore::Key;

// ---- Reading a store file --------------------------------------------------------------

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A quoted text at line[pos] ('"' there); pos ends after the closing quote.
std::optional<std::string> ReadQuoted(std::string_view line, std::size_t& pos) {
  if (pos >= line.size() || line[pos] != '"') return std::nullopt;
  std::string text;
  for (std::size_t i = pos + 1; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      pos = i + 1;
      return text;
    }
    if (c != '\\') {
      text += c;
      continue;
    }
    if (++i >= line.size()) return std::nullopt;
    switch (line[i]) {
      case '\\': text += '\\'; break;
      case '"': text += '"'; break;
      case 'n': text += '\n'; break;
      case 'r': text += '\r'; break;
      case 't': text += '\t'; break;
      case 'x': {
        if (i + 2 >= line.size()) return std::nullopt;
        const int high = HexDigit(line[i + 1]), low = HexDigit(line[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        text += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default: return std::nullopt;
    }
  }
  return std::nullopt;
}

class StoreReader {
 public:
  explicit StoreReader(Key& root) : root_(root) {}

  // False when the file holds more entries than a registry may.
  bool ReadAll(std::string_view bytes) {
    std::size_t start = 0;
    while (start < bytes.size()) {
      std::size_t end = bytes.find('\n', start);
      if (end == std::string_view::npos) end = bytes.size();
      if (!ReadLine(bytes.substr(start, end - start))) return false;
      start = end + 1;
    }
    return true;
  }

 private:
  bool ReadLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.empty() || line == kFileHeader || line.front() == ';' || line.front() == '#') return true;
    if (line.front() == '[') return line.back() == ']' ? OpenSection(line.substr(1, line.size() - 2)) : SkipSection();
    if (current_ != nullptr) ReadValueLine(line);
    return entries_ <= RegistryLimits::kMaxEntries;
  }

  bool SkipSection() {
    current_ = nullptr;
    return true;
  }

  bool OpenSection(std::string_view path) {
    const std::optional<std::vector<std::string>> names = SplitKeyPath(path);
    current_ = nullptr;
    if (!names || names->empty()) return true;
    Key* key = &root_;
    for (const std::string& name : *names) {
      std::unique_ptr<Key>& child = key->subkeys[Fold(name)];
      if (!child) {
        if (++entries_ > RegistryLimits::kMaxEntries) return false;
        child = std::make_unique<Key>();
        child->name = name;
      }
      key = child.get();
    }
    current_ = key;
    return true;
  }

  void ReadValueLine(std::string_view line) {
    std::size_t pos = 0;
    std::optional<std::string> name;
    if (line.front() == '@') {
      name = std::string();
      pos = 1;
    } else {
      name = ReadQuoted(line, pos);
    }
    if (!name || name->size() > RegistryLimits::kMaxValueNameBytes) return;
    if (pos >= line.size() || line[pos] != '=') return;
    ++pos;
    std::optional<std::string> data = ReadQuoted(line, pos);
    if (!data || pos != line.size() || data->size() > RegistryLimits::kMaxValueBytes) return;
    auto [slot, added] = current_->values.try_emplace(Fold(*name));
    if (added) ++entries_;
    slot->second = {std::move(*name), std::move(*data)};
  }

  Key& root_;
  Key* current_ = nullptr;
  std::size_t entries_ = 0;
};

// ---- Writing a store file ----------------------------------------------------------------

void AppendQuoted(std::string& out, std::string_view text) {
  static const char* const kHex = "0123456789ABCDEF";
  out += '"';
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (IsControl(byte)) {
          out += "\\x";
          out += kHex[byte >> 4];
          out += kHex[byte & 15];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

void AppendKey(std::string& out, const Key& key, const std::string& path) {
  if (!path.empty() && (!key.values.empty() || key.subkeys.empty())) {
    out += "\n[" + path + "]\n";
    for (const auto& [folded, value] : key.values) {
      if (value.first.empty()) {
        out += '@';
      } else {
        AppendQuoted(out, value.first);
      }
      out += '=';
      AppendQuoted(out, value.second);
      out += '\n';
    }
  }
  for (const auto& [folded, child] : key.subkeys)
    AppendKey(out, *child, path.empty() ? child->name : path + "\\" + child->name);
}

std::string StoreText(const Key& root) {
  std::string out = std::string(kFileHeader) + "\n";
  AppendKey(out, root, "");
  return out;
}

// ---- Files ------------------------------------------------------------------------------

// The bytes of a store file: "" for a missing file, nullopt for one that
// cannot be read or is too large to be a registry.
std::optional<std::string> ReadStoreFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? std::optional<std::string>(std::string()) : std::nullopt;
  std::optional<std::string> bytes;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= RegistryLimits::kMaxFileBytes) {
    std::string content(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t got = 0;
    while (got < content.size()) {
      const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    if (got == content.size()) bytes = std::move(content);
  }
  ::close(fd);
  return bytes;
}

// Holds the exclusive lock of a root's lock file while it lives. Another
// process that holds it for ten seconds makes the change fail rather than hang.
class RootLock {
 public:
  explicit RootLock(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ < 0) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > deadline) {
        ::close(fd_);
        fd_ = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  ~RootLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  RootLock(const RootLock&) = delete;
  RootLock& operator=(const RootLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_;
};

Key* FindKey(Key& root, const std::vector<std::string>& names) {
  Key* key = &root;
  for (const std::string& name : names) {
    const auto found = key->subkeys.find(Fold(name));
    if (found == key->subkeys.end()) return nullptr;
    key = found->second.get();
  }
  return key;
}

std::size_t CountEntries(const Key& key) {
  std::size_t count = key.values.size() + key.subkeys.size();
  for (const auto& [folded, child] : key.subkeys) count += CountEntries(*child);
  return count;
}

}  // namespace

// ---- Paths ------------------------------------------------------------------------------

std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
  std::vector<std::string> names;
  if (path.empty()) return names;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = path.find('\\', start);
    const std::string_view name = path.substr(start, end == std::string_view::npos ? path.size() - start : end - start);
    if (name.empty() || name.size() > RegistryLimits::kMaxKeyNameBytes) return std::nullopt;
    for (char c : name)
      if (IsControl(static_cast<unsigned char>(c))) return std::nullopt;
    names.emplace_back(name);
    if (names.size() > RegistryLimits::kMaxDepth) return std::nullopt;
    if (end == std::string_view::npos) return names;
    start = end + 1;
  }
}

bool SameRegistryName(std::string_view a, std::string_view b) { return Fold(a) == Fold(b); }

std::string RegistryFolder() {
  const char* folder = std::getenv(kRegistryFolderVariable);
  if (folder != nullptr && folder[0] != '\0') return folder;
  return XdgConfigHome() + "/Gleamcraft/registry";
}

// ---- The store -----------------------------------------------------------------------------

struct TRegistryStore::RootState {
  std::string file;
  std::string lockFile;
  Key keys;
  std::optional<std::string> bytes;  // the file as last read or written (nullopt: unreadable)
  bool loaded = false;
  // False when the file exists but cannot be read or is too large: its keys
  // then read as empty and no change may overwrite it.
  bool readable = true;
};

TRegistryStore::TRegistryStore(std::string folder) : folder_(std::move(folder)) {
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
}

TRegistryStore::~TRegistryStore() = default;

std::string TRegistryStore::FileOf(HKEY root) const {
  const char* name = RootName(root);
  return name == nullptr ? std::string() : folder_ + "/" + name + ".reg";
}

TRegistryStore::RootState* TRegistryStore::StateOf(HKEY root) {
  const char* name = RootName(root);
  if (name == nullptr) return nullptr;
  std::unique_ptr<RootState>& state = roots_[root];
  if (!state) {
    state = std::make_unique<RootState>();
    state->file = folder_ + "/" + name + ".reg";
    state->lockFile = folder_ + "/" + name + ".lock";
  }
  return state.get();
}

TRegistryStore::Key* TRegistryStore::Current(HKEY root) {
  RootState* state = StateOf(root);
  if (state == nullptr) return nullptr;
  // The file is read at every access (registry files are small) and parsed
  // again only when its bytes changed: another process may have replaced it.
  std::optional<std::string> bytes = ReadStoreFile(state->file);
  if (state->loaded && bytes == state->bytes) return &state->keys;
  state->keys = Key{};
  state->bytes = bytes;
  state->loaded = true;
  state->readable = bytes.has_value() && StoreReader(state->keys).ReadAll(*bytes);
  if (!state->readable) state->keys = Key{};
  return &state->keys;
}

template <typename Change>
bool TRegistryStore::Modify(HKEY root, Change&& change) {
  RootState* state = StateOf(root);
  if (state == nullptr || !ForceDirectories(folder_)) return false;
  RootLock lock(state->lockFile);
  if (!lock.Held()) return false;
  Key* keys = Current(root);
  if (!state->readable) return false;
  if (!change(*keys)) return false;  // nothing changed: the file stays as it is
  // From here the keys in memory differ from the file until it is replaced;
  // on any failure they are read again from the file at the next access.
  state->loaded = false;
  if (CountEntries(*keys) > RegistryLimits::kMaxEntries) return false;

  const std::string text = StoreText(*keys);
  if (!ReplaceFileContents(state->file, text)) return false;
  state->bytes = text;
  state->loaded = true;
  return true;
}

bool TRegistryStore::KeyExists(HKEY root, std::string_view path) {
  const auto names = SplitKeyPath(path);
  Key* keys = names ? Current(root) : nullptr;
  return keys != nullptr && FindKey(*keys, *names) != nullptr;
}

bool TRegistryStore::CreateKey(HKEY root, std::string_view path) {
  const auto names = SplitKeyPath(path);
  if (!names) return false;
  if (KeyExists(root, path)) return true;
  return Modify(root, [&](Key& keys) {
    Key* key = &keys;
    bool created = false;
    for (const std::string& name : *names) {
      std::unique_ptr<Key>& child = key->subkeys[Fold(name)];
      if (!child) {
        child = std::make_unique<Key>();
        child->name = name;
        created = true;
      }
      key = child.get();
    }
    return created;
  }) || KeyExists(root, path);
}

bool TRegistryStore::DeleteKey(HKEY root, std::string_view path) {
  const auto names = SplitKeyPath(path);
  if (!names || names->empty()) return false;
  return Modify(root, [&](Key& keys) {
    Key* parent = FindKey(keys, std::vector<std::string>(names->begin(), names->end() - 1));
    return parent != nullptr && parent->subkeys.erase(Fold(names->back())) > 0;
  });
}

std::vector<std::string> TRegistryStore::KeyNames(HKEY root, std::string_view path) {
  std::vector<std::string> result;
  const auto names = SplitKeyPath(path);
  Key* keys = names ? Current(root) : nullptr;
  if (Key* key = keys != nullptr ? FindKey(*keys, *names) : nullptr)
    for (const auto& [folded, child] : key->subkeys) result.push_back(child->name);
  return result;
}

std::vector<std::string> TRegistryStore::ValueNames(HKEY root, std::string_view path) {
  std::vector<std::string> result;
  const auto names = SplitKeyPath(path);
  Key* keys = names ? Current(root) : nullptr;
  if (Key* key = keys != nullptr ? FindKey(*keys, *names) : nullptr)
    for (const auto& [folded, value] : key->values) result.push_back(value.first);
  return result;
}

std::optional<std::string> TRegistryStore::ReadValue(HKEY root, std::string_view path, std::string_view name) {
  const auto names = SplitKeyPath(path);
  Key* keys = names ? Current(root) : nullptr;
  Key* key = keys != nullptr ? FindKey(*keys, *names) : nullptr;
  if (key == nullptr) return std::nullopt;
  const auto found = key->values.find(Fold(name));
  if (found == key->values.end()) return std::nullopt;
  return found->second.second;
}

bool TRegistryStore::WriteValue(HKEY root, std::string_view path, std::string_view name, std::string_view data) {
  const auto names = SplitKeyPath(path);
  if (!names || name.size() > RegistryLimits::kMaxValueNameBytes || data.size() > RegistryLimits::kMaxValueBytes)
    return false;
  bool keyFound = false;
  const bool written = Modify(root, [&](Key& keys) {
    Key* key = FindKey(keys, *names);
    if (key == nullptr) return false;
    keyFound = true;
    auto [slot, added] = key->values.try_emplace(Fold(name), std::string(name), std::string());
    if (!added && slot->second.second == data) return false;  // already so: the file stays as it is
    slot->second.second = std::string(data);
    return true;
  });
  return written || (keyFound && ReadValue(root, path, name) == std::string(data));
}

bool TRegistryStore::DeleteValue(HKEY root, std::string_view path, std::string_view name) {
  const auto names = SplitKeyPath(path);
  if (!names) return false;
  return Modify(root, [&](Key& keys) {
    Key* key = FindKey(keys, *names);
    return key != nullptr && key->values.erase(Fold(name)) > 0;
  });
}

std::shared_ptr<TRegistryStore> DefaultRegistryStore() {
  static std::shared_ptr<TRegistryStore> store;
  const std::string folder = RegistryFolder();
  if (!store || store->Folder() != folder) store = std::make_shared<TRegistryStore>(folder);
  return store;
}
