#include "uninstaller/core/ScriptedAnswers.h"

#include "platform/SysUtils.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::optional<int> AnswerOf(const std::string& word) {
  if (SameTextAscii(word, "Yes")) return IDYES;
  if (SameTextAscii(word, "No")) return IDNO;
  if (SameTextAscii(word, "OK")) return IDOK;
  if (SameTextAscii(word, "Cancel")) return IDCANCEL;
  if (const std::optional<std::int32_t> number = TryStrToInt(word); number && *number > 0) return *number;
  return std::nullopt;
}

std::string FlagsText(unsigned flags) {
  std::ostringstream text;
  text << std::hex << flags;
  return text.str();
}

}  // namespace

std::string EscapeRecordedField(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::string UnescapeRecordedField(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      out += field[i];
      continue;
    }
    const char c = field[++i];
    out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
  }
  return out;
}

TScriptedAnswers::TScriptedAnswers(const std::string& answersFile, std::string messagesFile)
    : messagesFile_(std::move(messagesFile)) {
  std::ifstream in(answersFile);
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (const std::optional<int> answer = AnswerOf(line)) answers_.push_back(*answer);
  }
}

std::unique_ptr<TScriptedAnswers> TScriptedAnswers::FromEnvironment() {
  const char* answers = std::getenv(kAnswersVariable);
  if (answers == nullptr || answers[0] == '\0') return nullptr;
  const char* messages = std::getenv(kMessagesVariable);
  return std::make_unique<TScriptedAnswers>(answers, messages != nullptr ? messages : "");
}

int TScriptedAnswers::MessageBox(HWND, const std::string& text, const std::string& caption, unsigned flags) {
  Record(caption, flags, text);
  if (answers_.empty()) return DefaultMessageBoxResult(flags);
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

bool TScriptedAnswers::ShowNote(const std::string& caption, const std::string& text) {
  Record(caption, 0, text);
  return false;
}

void TScriptedAnswers::Record(const std::string& caption, unsigned flags, const std::string& text) {
  if (messagesFile_.empty()) return;
  std::ofstream out(messagesFile_, std::ios::app | std::ios::binary);
  out << EscapeRecordedField(caption) << '\t' << FlagsText(flags) << '\t' << EscapeRecordedField(text) << '\n';
}
