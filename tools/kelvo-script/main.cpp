// kelvo-script [--language NAME] [--check] [--il] FILE
// Compiles FILE (Windows-1251 text) with the script engine and runs it. Exit codes: 0 success,
// 1 run-time error, 2 compile error, 3 usage or file error.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "script/lib/modules.h"
#include "script_runner.h"

int main(int argc, char** argv) {
  kelvo::TScriptRunOptions options;
  std::string file;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--language" && i + 1 < argc) {
      options.Language = argv[++i];
    } else if (arg == "--check") {
      options.CheckOnly = true;
    } else if (arg == "--il") {
      options.PrintIL = true;
    } else if (!arg.empty() && arg[0] != '-' && file.empty()) {
      file = arg;
    } else {
      std::cerr << "usage: kelvo-script [--language NAME] [--check] [--il] FILE\n";
      return 3;
    }
  }
  if (file.empty()) {
    std::cerr << "usage: kelvo-script [--language NAME] [--check] [--il] FILE\n";
    return 3;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::cerr << file << ": cannot open the file\n";
    return 3;
  }
  std::ostringstream text;
  text << in.rdbuf();
  int code = kelvo::RunScriptText(file, text.str(), options, std::cout, std::cerr);
  std::cout.flush();
  kelvo::fsShutdownEngine();
  return code;
}
