// kelvo-run: the run of a set-up script from the library, without a window, exactly as the window
// runs it (detection first), for workshops that set up many modems and for automation.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/library_location.h"
#include "app/modem_library.h"
#include "run_modes.h"
#include "run_options.h"
#include "run_terminal.h"
#include "translation/interface_language.h"

using namespace kelvo;

namespace {

// The folder of this program, where the portable layout keeps its kelvo.xml.
std::string ProgramDir(const char* argv0) {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) self = std::filesystem::absolute(argv0, ec);
  return self.parent_path().string();
}

}  // namespace

int main(int argc, char** argv) {
  InstallEnglishTranslation();  // English messages for English locales, before any text is made
  TRunOptions options;
  std::string problem;
  if (!ParseRunOptions(std::vector<std::string>(argv + 1, argv + argc), options, problem)) {
    std::fprintf(stderr, "kelvo-run: %s\n", problem.c_str());
    std::fputs(kRunUsage, stderr);
    return kExitUsage;
  }
  if (options.Help) {
    std::fputs(kRunUsage, stdout);
    return kExitOk;
  }
  if (options.ListPorts) return ListPorts();
  if (options.Terminal) return RunTerminal(options);
  TModemLibrary library;
  try {
    // Without --library the window's rule applies: beside the program, else the user's own copy.
    std::string libraryPath = options.Library;
    std::error_code ec;
    if (libraryPath.empty()) {
      libraryPath = LocateLibrary(LibraryPlacesFor(ProgramDir(argv[0]))).Path;
    } else if (!std::filesystem::exists(libraryPath, ec)) {
      return Fail(kExitRunFailed, "no library file " + libraryPath);
    }
    library.Load(libraryPath, {});
    return options.List ? ListLibrary(library) : RunScript(options, libraryPath, library);
  } catch (const std::exception& e) {  // no library, a damaged one, or a damaged script body
    return Fail(kExitRunFailed, e.what());
  }
}
