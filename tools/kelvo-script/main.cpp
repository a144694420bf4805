// kelvo-script [--language NAME] [--check] [--il] FILE
// Compiles FILE (Windows-1251 text) with the script engine and runs it. Exit codes: 0 success,
// 1 run-time error, 2 compile error, 3 usage or file error.
// kelvo-script --functions [NAME]: the reference of the functions scripts can call, every function
// on one line, or the function NAME whole (exit code 3 when there is none of that name).
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/function_reference.h"
#include "script/lib/modules.h"
#include "script_runner.h"

namespace {

constexpr const char* kUsage =
    "usage: kelvo-script [--language NAME] [--check] [--il] FILE\n"
    "       kelvo-script --functions [NAME]\n";

int PrintFunctions(int argc, char** argv) {
  if (argc == 2) {
    std::cout << kelvo::FunctionListText();
    return 0;
  }
  if (argc != 3) {
    std::cerr << kUsage;
    return 3;
  }
  const kelvo::TFunctionReference* function = kelvo::FindFunctionReference(argv[2]);
  if (function == nullptr) {
    std::cerr << argv[2] << ": no such function (kelvo-script --functions lists them all)\n";
    return 3;
  }
  std::cout << kelvo::FunctionEntryText(*function);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "--functions") return PrintFunctions(argc, argv);
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
      std::cerr << kUsage;
      return 3;
    }
  }
  if (file.empty()) {
    std::cerr << kUsage;
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
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  // The sanitizer builds free the engine's shared state, so that their leak check sees every block.
  kelvo::fsShutdownEngine();
  return code;
#else
  // Freeing the system library and the compiled grammars block by block costs a fifth of a short
  // script's run, and nothing of theirs needs flushing: the process ends here and the system takes
  // its memory back at once.
  std::cerr.flush();
  std::_Exit(code);
#endif
}
