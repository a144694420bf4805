// The grammar-driven parser compiling arbitrary text in either language: every input ends in an
// IL tree or a recorded syntax error, never a crash or a hang. Imports are answered from memory
// so that no file is read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "script/front/il_parser.h"
#include "text/exception.h"

namespace {

// One program and one parser per language for the whole run: loading a grammar costs more than
// compiling a short input, and MakeILScript starts afresh on every call.
struct TfsFuzzParser {
  std::string Text;
  kelvo::TfsILParser Parser{[this](const std::string& name, std::string& unit) {
    unit = name.size() % 2 ? Text.substr(0, Text.size() / 2) : "x = 1;";
  }};
  explicit TfsFuzzParser(const char* language) : Language(language) {}
  std::string Language;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static TfsFuzzParser jscript("JScript"), cppscript("C++Script");
  TfsFuzzParser& fuzz = data[0] & 1 ? cppscript : jscript;
  fuzz.Text.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  fuzz.Parser.WideIdentifiers = data[0] & 2;
  try {
    // A #language line of an earlier input may have switched the grammar.
    if (fuzz.Parser.LangName() != fuzz.Language || (data[0] & 2)) fuzz.Parser.SelectLanguage(fuzz.Language);
    bool ok = fuzz.Parser.MakeILScript(fuzz.Text);
    if (ok != fuzz.Parser.ErrorText().empty()) std::abort();
    if (ok) (void)fuzz.Parser.ILScript().SaveToString();
  } catch (const kelvo::Exception&) {
    // "#language" naming an unknown grammar
  }
  return 0;
}
