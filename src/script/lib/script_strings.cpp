#include "script/lib/script_strings.h"

#include <algorithm>

#include "text/ansi_text.h"
#include "text/exception.h"

namespace kelvo {

std::string ScriptCopy(std::string_view s, std::int64_t from, std::int64_t count) {
  const auto len = static_cast<std::int64_t>(s.size());
  if (from < 1) from = 1;
  if (from > len || count <= 0) return {};
  return std::string(s.substr(static_cast<std::size_t>(from - 1),
                              static_cast<std::size_t>(std::min(count, len - from + 1))));
}

std::int64_t ScriptPos(std::string_view substr, std::string_view s) {
  if (substr.empty()) return 0;
  std::size_t at = s.find(substr);
  return at == std::string_view::npos ? 0 : static_cast<std::int64_t>(at) + 1;
}

void ScriptDelete(std::string& s, std::int64_t from, std::int64_t count) {
  const auto len = static_cast<std::int64_t>(s.size());
  if (from < 1 || from > len || count <= 0) return;
  s.erase(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(std::min(count, len - from + 1)));
}

void ScriptInsert(std::string_view s, std::string& s2, std::int64_t pos) {
  const auto len = static_cast<std::int64_t>(s2.size());
  pos = std::clamp<std::int64_t>(pos, 1, len + 1);
  s2.insert(static_cast<std::size_t>(pos - 1), s);
}

std::string NameCase(std::string_view s) {
  std::string out = AnsiLowerCase(s);
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (i == 0 || out[i - 1] == ' ') out[i] = AnsiUpperChar(out[i]);
  }
  return out;
}

void ScriptSetLength(std::string& s, std::int64_t length) {
  if (length > MaxScriptStringLength) {
    throw Exception(
        FormatMessage("SetLength: %s characters is more than a string may hold", {std::to_string(length)}));
  }
  s.resize(static_cast<std::size_t>(std::max<std::int64_t>(length, 0)), ' ');
}

}  // namespace kelvo
