// Arbitrary JScript: compiled, and when it compiles, run with a statement budget. Errors of the
// engine are fine; crashes, hangs and reads outside a value are not. Texts with loop keywords are
// only compiled: an empty loop body reports no statements, so no budget could stop it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/fs_modules.h"
#include "script/fs_script.h"
#include "text/ansi_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 65536) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  kelvo::TfsScript prog;
  prog.Parent = kelvo::fsGlobalUnit();
  prog.SyntaxType = "JScript";
  prog.Lines = {text};
  int budget = 2000;
  prog.OnRunLine = [&budget, &prog](kelvo::TfsScript&, const std::string&, const std::string&) {
    if (--budget <= 0) prog.Terminate();
  };
  try {
    if (!prog.Compile()) return 0;
    std::string lower = kelvo::LowerCase(text);
    for (const char* word : {"while", "for", "do"})
      if (lower.find(word) != std::string::npos) return 0;
    prog.Execute();
  } catch (const kelvo::Exception&) {
  }
  return 0;
}
