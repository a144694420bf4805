// The table of language grammars: one process-wide list of (name, grammar text) entries, filled
// with the engine's own grammars on first use and read when a program selects its language.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// Adds the entry of name, or replaces the grammar of an existing entry in place. Names compare
// without regard to case.
void fsRegisterLanguage(std::string_view name, std::string_view grammar);
// The grammar of name; raises "Language '%s' not found" when no entry has that name.
std::string fsGetLanguage(std::string_view name);
// Clears list and fills it with the registered names in registration order, leaving out names
// that begin with "@".
void fsGetLanguageList(std::vector<std::string>& list);

}  // namespace kelvo
