// The engine's own language grammars, registered in the language table when the engine starts.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kelvo {

// The grammar of JScript, the language of the modem scripts, as one-line XML text.
const std::string& fsJScriptGrammar();
// The grammar of C++Script, a case-sensitive C-like language, as one-line XML text.
const std::string& fsCppScriptGrammar();
// (name, grammar) pairs in registration order: "JScript", then "C++Script".
std::vector<std::pair<std::string, std::string>> fsStandardGrammars();

}  // namespace kelvo
