#include "script/front/grammars/grammars.h"

namespace kelvo {

// The texts are made at build time from jscript.xml and cppscript.xml beside this file.
const std::string& fsJScriptGrammar() {
  static const std::string grammar =
#include "jscript_grammar.inc"
      ;
  return grammar;
}

const std::string& fsCppScriptGrammar() {
  static const std::string grammar =
#include "cppscript_grammar.inc"
      ;
  return grammar;
}

std::vector<std::pair<std::string, std::string>> fsStandardGrammars() {
  return {{"JScript", fsJScriptGrammar()}, {"C++Script", fsCppScriptGrammar()}};
}

}  // namespace kelvo
