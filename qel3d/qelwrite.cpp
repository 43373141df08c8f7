#include "qel3d/qelwrite.h"

#include "platform/Streams.h"
#include "platform/SystemValues.h"
#include "qel3d/qelclass.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char* const kKeyError = "WriteKey Error.";
const char* const kInvalidKeyText = "Invalid key text.";
// Tries with fresh random names before creating a file is given up.
constexpr int kFileNameAttempts = 32;

std::string FormatKeyValue(const TQelKeyValueBase& key) {
  if (key.Value().empty()) throw EQelException(kKeyError);
  switch (key.ValueKind()) {
    case vkQuoted: {
      // An embedded quote is doubled, so the reader finds the real end.
      std::string quoted = "\"";
      for (char c : key.Value()) {
        quoted += c;
        if (c == '"') quoted += '"';
      }
      return quoted + "\"";
    }
    case vkHex: {
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "#%08X", static_cast<unsigned>(static_cast<std::uint32_t>(key.AsInteger())));
      return buffer;
    }
    default: return key.Value();
  }
}

std::string FormatKeyLine(const TQelKeyValueBase& key) {
  std::string line = "<" + UpperCaseAscii(key.Name());
  switch (key.KeyKind()) {
    case kkSingle: line += "=" + FormatKeyValue(key); break;
    case kkSubKeys:
      if (key.Count() == 0) throw EQelException(kKeyError);
      for (int i = 0; i < key.Count(); ++i) {
        const TQelSubKeyValue& sub = *key.SubKey(i);
        if (sub.Name().empty()) throw EQelException(kKeyError);
        line += (i > 0 ? ", " : " ") + UpperCaseAscii(sub.Name()) + "=" + FormatKeyValue(sub);
      }
      break;
    case kkArray:
      if (key.Count() == 0) throw EQelException(kKeyError);
      line += "=[";
      for (int i = 0; i < key.Count(); ++i) line += (i > 0 ? "," : "") + FormatKeyValue(*key.SubKey(i));
      line += "]";
      break;
  }
  return line + ">\r\n";
}

std::string RandomFileName(const std::string& extension) {
  std::string name;
  for (int i = 0; i < 8; ++i) name += static_cast<char>('a' + Random(26));
  return name + extension;
}

void WriteAll(int fd, const TMemoryStream& data, const std::string& path) {
  const std::uint8_t* bytes = data.Memory();
  std::size_t left = data.Bytes().size();
  while (left > 0) {
    const ssize_t written = ::write(fd, bytes, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) throw EQelException("Cannot write file " + path);
    bytes += written;
    left -= static_cast<std::size_t>(written);
  }
}

}  // namespace

// ---- Writer --------------------------------------------------------------------------------

void TQelKeyWriter::WriteKey(TQelKeyValueBase& key) {
  if (!key.Name().empty()) {
    try {
      const std::string line = FormatKeyLine(key);
      WriteRaw(std::string(static_cast<std::size_t>(std::max(0, Indent)) * 2, ' ') + line);
    } catch (const Exception&) {
      // A key that cannot be written costs its line, not the rest of the text.
      ++droppedKeys_;
    }
  }
  key.Clear();
}

void TQelKeyWriter::WriteRaw(std::string_view text) {
  stream_.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

std::string TQelKeyWriter::FileFolderInUse() {
  if (FileFolder.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/qel-keys-XXXXXX";
    // mkdtemp makes the folder readable by its owner only.
    if (::mkdtemp(pattern.data()) == nullptr) throw EQelException("Cannot create a folder for key files");
    FileFolder = pattern;
  }
  return IncludeTrailingPathDelimiter(FileFolder);
}

std::string TQelKeyWriter::CreateExclusiveFile(const std::string& path, const std::string& extension,
                                               const TMemoryStream& data) {
  for (int attempt = 0; attempt < kFileNameAttempts; ++attempt) {
    const std::string target = path.empty() ? FileFolderInUse() + RandomFileName(extension) : path;
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
      if (errno == EEXIST && path.empty()) continue;  // another name
      throw EQelException("Cannot create file " + target);
    }
    try {
      WriteAll(fd, data, target);
    } catch (...) {
      ::close(fd);
      ::unlink(target.c_str());
      throw;
    }
    ::close(fd);
    return target;
  }
  throw EQelException("Cannot create a file in " + FileFolderInUse());
}

// ---- Reader --------------------------------------------------------------------------------

TQelKeyReader TQelKeyReader::FromStream(TStream& stream) { return TQelKeyReader(stream.ReadBytes(stream.Remaining())); }

void TQelKeyReader::Expect(char c) {
  if (Peek() != c) throw EQelException(kInvalidKeyText);
  ++position_;
}

void TQelKeyReader::SkipBlanks() {
  while (!AtEnd() && (Peek() == ' ' || Peek() == '\t')) ++position_;
}

std::string TQelKeyReader::ReadName() {
  const std::size_t start = position_;
  while (!AtEnd()) {
    const char c = Peek();
    if (c == '=' || c == ' ' || c == '\t' || c == '>' || c == '<' || c == ',' || c == '\r' || c == '\n') break;
    ++position_;
  }
  if (position_ == start) throw EQelException(kInvalidKeyText);
  return text_.substr(start, position_ - start);
}

void TQelKeyReader::ReadValue(TQelKeyValueBase& key) {
  SkipBlanks();
  if (Peek() == '"') {
    ++position_;
    std::string value;
    for (;;) {
      if (AtEnd()) throw EQelException(kInvalidKeyText);
      const char c = text_[position_++];
      if (c == '"') {
        if (Peek() != '"') break;
        ++position_;
      }
      value += c;
    }
    key.SetText(key.Name(), std::move(value), vkQuoted);
    return;
  }
  const std::size_t start = position_;
  while (!AtEnd() && Peek() != ',' && Peek() != '>' && Peek() != ']' && Peek() != '<') ++position_;
  std::string value = text_.substr(start, position_ - start);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
  if (value.empty()) throw EQelException(kInvalidKeyText);
  const TQelValueKind kind = value.front() == '#' ? vkHex : vkPlain;
  key.SetText(key.Name(), std::move(value), kind);
}

bool TQelKeyReader::ReadKey(TQelKeyValueBase& key) {
  key.Clear();
  while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\r' || Peek() == '\n')) ++position_;
  if (AtEnd()) return false;
  Expect('<');
  key.SetName(ReadName());
  if (Peek() == '=') {
    ++position_;
    SkipBlanks();
    if (Peek() == '[') {
      ++position_;
      key.SetKeyKind(kkArray);
      for (;;) {
        ReadValue(key.AddSubKey());
        SkipBlanks();
        if (Peek() == ']') break;
        Expect(',');
      }
      ++position_;
    } else {
      ReadValue(key);
    }
  } else {
    for (;;) {
      SkipBlanks();
      TQelSubKeyValue& sub = key.AddSubKey();
      sub.SetName(ReadName());
      SkipBlanks();
      Expect('=');
      ReadValue(sub);
      SkipBlanks();
      if (Peek() != ',') break;
      ++position_;
    }
  }
  SkipBlanks();
  Expect('>');
  return true;
}

int ReadKeysInto(TQelKeyReader& reader, TQelRender& object) {
  int recognised = 0;
  TQelKeyValueBase key;
  while (reader.ReadKey(key))
    if (object.ReadKey(key)) ++recognised;
  return recognised;
}
