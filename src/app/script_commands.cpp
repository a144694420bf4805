#include "app/script_commands.h"

#include <algorithm>
#include <cctype>

namespace kelvo {

namespace {

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

void SkipSpace(const std::string& s, size_t& i) {
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])) != 0) ++i;
}

// A string literal starting at i (at its quote): its text, and i after its closing quote. False for
// a literal that does not end on its line.
bool ReadLiteral(const std::string& s, size_t& i, std::string& text) {
  const char quote = s[i++];
  text.clear();
  while (i < s.size() && s[i] != quote) {
    char c = s[i++];
    if (c == '\r' || c == '\n') return false;
    if (c == '\\' && i < s.size()) {
      char e = s[i++];
      c = e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e;
    }
    text += c;
  }
  if (i == s.size()) return false;
  ++i;
  return true;
}

// After a comment, or after a string literal, at i.
void SkipCommentOrString(const std::string& s, size_t& i) {
  if (s[i] == '"' || s[i] == '\'') {
    std::string ignored;
    if (!ReadLiteral(s, i, ignored)) ++i;
  } else if (s.compare(i, 2, "//") == 0) {
    i = std::min(s.find('\n', i), s.size());
  } else if (s.compare(i, 2, "/*") == 0) {
    size_t end = s.find("*/", i + 2);
    i = end == std::string::npos ? s.size() : end + 2;
  } else {
    ++i;
  }
}

// "send" ( literal ) at i, the name already matched: the literal's text.
bool ReadSendArgument(const std::string& s, size_t& i, std::string& command) {
  SkipSpace(s, i);
  if (i == s.size() || s[i] != '(') return false;
  ++i;
  SkipSpace(s, i);
  if (i == s.size() || (s[i] != '"' && s[i] != '\'')) return false;
  if (!ReadLiteral(s, i, command)) return false;
  SkipSpace(s, i);
  return i < s.size() && s[i] == ')';
}

}  // namespace

std::vector<std::string> ScriptSendCommands(const std::string& script) {
  std::vector<std::string> commands;
  size_t i = 0;
  while (i < script.size()) {
    const char c = script[i];
    if (c == '"' || c == '\'' || script.compare(i, 2, "//") == 0 || script.compare(i, 2, "/*") == 0) {
      SkipCommentOrString(script, i);
      continue;
    }
    if (!IsNameChar(c) || (i > 0 && IsNameChar(script[i - 1]))) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < script.size() && IsNameChar(script[end])) ++end;
    std::string name = script.substr(i, end - i);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char ch) { return std::tolower(ch); });
    i = end;
    std::string command;
    size_t at = i;
    if (name == "send" && ReadSendArgument(script, at, command)) {
      i = at;
      // Send adds CR LF itself; a literal that carries its own is the same command.
      if (command.size() >= 2 && command.compare(command.size() - 2, 2, "\r\n") == 0)
        command.erase(command.size() - 2);
      if (!command.empty() && std::find(commands.begin(), commands.end(), command) == commands.end())
        commands.push_back(command);
    }
  }
  return commands;
}

}  // namespace kelvo
