// Declaration texts and literal texts from anywhere: the parsers never crash, hang or read
// outside the text; a literal that is no number raises the conversion error and nothing else.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/lib/modules.h"
#include "script/program/declarations.h"
#include "script/program/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  static kelvo::TfsScript* prog = [] {
    auto* p = new kelvo::TfsScript();
    p->Parent = kelvo::fsGlobalUnit();
    return p;
  }();
  auto method = kelvo::ParseMethodSyntax(text, prog);
  for (int i = 0; i < method->ParamCount(); ++i) (void)method->GetParam(i)->DefaultValue.AsString();
  // The same text as a host method: the registration path of the host and the library.
  kelvo::TfsMethodHelper helper(text, prog);
  (void)helper.GetValue();
  return 0;
}
