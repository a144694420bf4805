// Arbitrary intermediate trees (the IL import): the builder reports errors and never crashes on a
// tree of the wrong shape; a tree that builds runs with a statement budget. Trees holding loops
// are only built: an empty loop body reports no statements, so no budget could stop it.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "script/lib/modules.h"
#include "script/program/script.h"
#include "text/ansi_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 65536) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  kelvo::TfsScript prog;
  prog.Parent = kelvo::fsGlobalUnit();
  prog.SyntaxType = "JScript";
  int budget = 2000;
  prog.OnRunLine = [&budget, &prog](kelvo::TfsScript&, const std::string&, const std::string&) {
    if (--budget <= 0) prog.Terminate();
  };
  try {
    std::istringstream in(text);
    if (!prog.SetILCode(in)) return 0;
    std::string lower = kelvo::LowerCase(text);
    if (lower.find("stmt") != std::string::npos &&
        (lower.find("for") != std::string::npos || lower.find("while") != std::string::npos ||
         lower.find("repeat") != std::string::npos))
      return 0;
    prog.Execute();
  } catch (const kelvo::Exception&) {
  }
  return 0;
}
