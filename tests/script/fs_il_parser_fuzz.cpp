// The grammar-driven parser compiling arbitrary text in either language: every input ends in an
// IL tree or a recorded syntax error, never a crash or a hang. Imports are answered from memory
// so that no file is read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "script/fs_il_parser.h"
#include "script/fs_script.h"
#include "text/exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  kelvo::TfsScript script;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  script.OnGetUnit = [&](kelvo::TfsScript&, const std::string& name, std::string& unit) {
    unit = name.size() % 2 ? text.substr(0, text.size() / 2) : "x = 1;";
  };
  script.WideIdentifiers = data[0] & 2;
  kelvo::TfsILParser parser(script);
  parser.SelectLanguage(data[0] & 1 ? "C++Script" : "JScript");
  try {
    bool ok = parser.MakeILScript(text);
    if (ok != script.ErrorText.empty()) std::abort();
    if (ok) (void)parser.ILScript().SaveToString();
  } catch (const kelvo::Exception&) {
    // "#language" naming an unknown grammar
  }
  return 0;
}
