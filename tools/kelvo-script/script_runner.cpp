#include "script_runner.h"

#include <ostream>
#include <sstream>

#include "script/fs_modules.h"
#include "script/fs_script.h"
#include "text/cp1251.h"

namespace kelvo {

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string Place(const std::string& fileName, const std::string& pos) {
  return fileName + ":" + (pos.empty() ? std::string("0:0") : pos) + ": ";
}

}  // namespace

int RunScriptText(const std::string& fileName, const std::string& text, const TScriptRunOptions& options,
                  std::ostream& out, std::ostream& err) {
  TfsScript prog;
  prog.Parent = fsGlobalUnit();
  prog.SyntaxType = options.Language;
  prog.Lines = SplitLines(text);
  prog.AddMethod("procedure Print(Value: Variant)",
                 [&out](TfsHostObject*, TfsClassRef, const std::string&, Variant& params) {
                   std::int64_t i = 0;
                   out << AnsiToUtf8(params.GetElement(std::span(&i, 1)).AsString()) << '\n';
                   return Variant();
                 });
  std::string lastPos;
  prog.OnRunLine = [&lastPos](TfsScript&, const std::string&, const std::string& pos) { lastPos = pos; };
  try {
    if (options.PrintIL) {
      std::ostringstream il;
      bool ok = prog.GetILCode(il);
      if (!ok) {
        err << Place(fileName, prog.ErrorPlace) << "error: " << AnsiToUtf8(prog.ErrorText) << '\n';
        return 2;
      }
      out << AnsiToUtf8(il.str()) << '\n';
      return 0;
    }
    if (!prog.Compile()) {
      err << Place(fileName, prog.ErrorPlace) << "error: " << AnsiToUtf8(prog.ErrorText) << '\n';
      return 2;
    }
  } catch (const Exception& e) {
    err << Place(fileName, prog.ErrorPlace) << "error: " << AnsiToUtf8(e.Message()) << '\n';
    return 2;
  }
  if (options.CheckOnly) return 0;
  try {
    prog.Execute();
  } catch (const Exception& e) {
    out.flush();
    err << Place(fileName, lastPos) << "runtime error: " << AnsiToUtf8(e.Message()) << '\n';
    return 1;
  }
  return 0;
}

}  // namespace kelvo
