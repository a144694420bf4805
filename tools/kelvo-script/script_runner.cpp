#include "script_runner.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "script/lib/modules.h"
#include "script/program/script.h"
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

// Imported units are looked up beside the script (a relative name), not in the current folder.
std::string UnitPath(const std::string& fileName, const std::string& unitName) {
  std::filesystem::path unit(unitName);
  if (unit.is_absolute()) return unitName;
  return (std::filesystem::path(fileName).parent_path() / unit).string();
}

std::string ReadUnit(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Exception("Cannot open file \"" + path + "\". " + std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A compile error in an imported unit is placed in the unit's file.
std::string CompilePlace(const std::string& fileName, const TfsScript& prog) {
  std::string file = prog.ErrorUnitName.empty() ? fileName : UnitPath(fileName, prog.ErrorUnitName);
  return Place(file, prog.ErrorPlace);
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
  prog.OnGetUnit = [&fileName](TfsScript&, const std::string& unitName, std::string& unitText) {
    unitText = ReadUnit(UnitPath(fileName, unitName));
  };
  // The position of the last statement that ran, for run-time errors. The texts belong to the
  // statements, which live as long as prog: keeping where they are costs nothing per statement.
  static const std::string kNone;
  const std::string* lastPos = &kNone;
  const std::string* lastUnit = &kNone;
  prog.OnRunLine = [&lastPos, &lastUnit](TfsScript&, const std::string& unit, const std::string& pos) {
    lastPos = &pos;
    lastUnit = &unit;
  };
  try {
    if (options.PrintIL) {
      std::ostringstream il;
      bool ok = prog.GetILCode(il);
      if (!ok) {
        err << CompilePlace(fileName, prog) << "error: " << AnsiToUtf8(prog.ErrorText) << '\n';
        return 2;
      }
      out << AnsiToUtf8(il.str()) << '\n';
      return 0;
    }
    if (!prog.Compile()) {
      err << CompilePlace(fileName, prog) << "error: " << AnsiToUtf8(prog.ErrorText) << '\n';
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
    std::string file = lastUnit->empty() ? fileName : UnitPath(fileName, *lastUnit);
    err << Place(file, *lastPos) << "runtime error: " << AnsiToUtf8(e.Message()) << '\n';
    return 1;
  }
  return 0;
}

}  // namespace kelvo
