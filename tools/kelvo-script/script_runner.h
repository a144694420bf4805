// The work of kelvo-script without the process around it: compile a script text with the engine
// (the global unit as parent, a Print procedure of its own), optionally run it, and report
// errors as FILE:LINE:COLUMN lines. Tests drive it in-process.
#pragma once

#include <iosfwd>
#include <string>

namespace kelvo {

struct TScriptRunOptions {
  std::string Language = "JScript";
  bool CheckOnly = false;  // compile only
  bool PrintIL = false;    // print the intermediate tree instead of building
};

// Runs script text (Windows-1251) named fileName; Print output and the IL go to out as UTF-8,
// errors to err. Returns the exit code: 0 success, 1 run-time error, 2 compile error.
int RunScriptText(const std::string& fileName, const std::string& text, const TScriptRunOptions& options,
                  std::ostream& out, std::ostream& err);

}  // namespace kelvo
