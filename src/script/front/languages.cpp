#include "script/front/languages.h"

#include <utility>

#include "script/front/grammars/grammars.h"
#include "text/ansi_text.h"
#include "text/exception.h"

namespace kelvo {

namespace {

struct TfsLanguageEntry {
  std::string Name;
  std::string Grammar;
};

// The engine's own grammars are registered when the table is first used, which is the start of
// the engine: every compilation and every listing goes through here.
std::vector<TfsLanguageEntry>& LanguageTable() {
  static std::vector<TfsLanguageEntry> table = [] {
    std::vector<TfsLanguageEntry> entries;
    for (const auto& [name, grammar] : fsStandardGrammars()) entries.push_back({name, grammar});
    return entries;
  }();
  return table;
}

TfsLanguageEntry* FindEntry(std::string_view name) {
  for (auto& entry : LanguageTable())
    if (AnsiSameText(entry.Name, name)) return &entry;
  return nullptr;
}

}  // namespace

void fsRegisterLanguage(std::string_view name, std::string_view grammar) {
  if (TfsLanguageEntry* entry = FindEntry(name)) {
    entry->Grammar = std::string(grammar);
    return;
  }
  LanguageTable().push_back({std::string(name), std::string(grammar)});
}

std::string fsGetLanguage(std::string_view name) {
  TfsLanguageEntry* entry = FindEntry(name);
  if (!entry) throw Exception(FormatMessage("Language '%s' not found", {name}));
  return entry->Grammar;
}

void fsGetLanguageList(std::vector<std::string>& list) {
  list.clear();
  for (const auto& entry : LanguageTable())
    if (entry.Name.empty() || entry.Name[0] != '@') list.push_back(entry.Name);
}

}  // namespace kelvo
