// kelvo-run: the run of one set-up script from the library, without a window, exactly as the window
// runs it (detection first), for workshops that set up many modems and for automation.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/app_texts.h"
#include "app/hex_text.h"
#include "app/modem_library.h"
#include "app/port_list.h"
#include "app/script_run.h"
#include "app/visible_text.h"
#include "console_screen.h"
#include "script/fs_modules.h"
#include "text/cp1251.h"

using namespace kelvo;

namespace {

constexpr int kExitOk = 0, kExitRunFailed = 1, kExitUsage = 2;

const char* kUsage =
    "Usage: kelvo-run [--library FILE] [--speed BPS] --port DEVICE MODEM SCRIPT\n"
    "       kelvo-run [--library FILE] --list\n"
    "       kelvo-run --ports\n"
    "Runs the script SCRIPT of the modem MODEM from the library (default: kelvo.xml beside this\n"
    "program) on the serial port DEVICE (a name such as ttyUSB0, or a path), as Kelvo's window\n"
    "does: the modem is searched for at ten speeds, then the script runs. Every line sent and\n"
    "received is printed with its prefix (\"> \" sent, \"< \" received). AskUserString questions are\n"
    "answered on standard input.\n"
    "Exit status: 0 the script ended normally; 1 the run failed (no modem, the script stopped, an\n"
    "engine or port error; the reason on standard error); 2 a compilation error (LINE:COLUMN:\n"
    "MESSAGE) or bad arguments.\n"
    "  --list       print the modems and their scripts\n"
    "  --ports      print the serial ports with what each is (USB adapters: vendor, model and USB\n"
    "               path), and the stable /dev/serial/by-id/ names\n"
    "  --speed BPS  open the port at BPS bits/s and run the script without searching for the\n"
    "               modem (for a modem known to answer at one speed)\n";

struct TOptions {
  std::string Library, Port, Modem, Script;
  bool List = false;
  bool Ports = false;
  std::optional<int> Speed;
};

// A line speed from the command line: a whole number of bits per second the device may take.
bool ParseSpeed(const std::string& text, std::optional<int>& speed) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 50 || value > 4000000) return false;
  speed = static_cast<int>(value);
  return true;
}

bool ParseArguments(int argc, char** argv, TOptions& options) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if ((arg == "--library" || arg == "--port") && i + 1 < argc) {
      (arg == "--library" ? options.Library : options.Port) = argv[++i];
    } else if (arg == "--speed" && i + 1 < argc) {
      if (!ParseSpeed(argv[++i], options.Speed)) return false;
    } else if (arg == "--list") {
      options.List = true;
    } else if (arg == "--ports") {
      options.Ports = true;
    } else if (arg == "--help" || arg == "-h" || (arg.size() > 1 && arg[0] == '-')) {
      return false;
    } else {
      positional.push_back(arg);
    }
  }
  if (options.Ports) return positional.empty() && !options.List;
  if (options.List) return positional.empty();
  if (positional.size() != 2 || options.Port.empty()) return false;
  options.Modem = Utf8ToAnsi(positional[0]);
  options.Script = Utf8ToAnsi(positional[1]);
  return true;
}

std::string DefaultLibrary(const char* argv0) {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) self = std::filesystem::absolute(argv0, ec);
  return (self.parent_path() / std::string(texts::kLibraryFileName)).string();
}

void ListLibrary(const TModemLibrary& library) {
  TXpNodeList modems = library.Modems();
  for (int m = 0; m < modems.nlGetLength(); ++m) {
    const TXpElement& modem = *modems.ElementItem(m);
    std::printf("%s\n", AnsiToUtf8(ElementName(modem)).c_str());
    TXpNodeList scripts = TModemLibrary::Scripts(modem);
    for (int s = 0; s < scripts.nlGetLength(); ++s)
      std::printf("  %s\n", AnsiToUtf8(ElementName(*scripts.ElementItem(s))).c_str());
  }
}

const TXpElement* FindScript(const TModemLibrary& library, const std::string& modemName,
                             const std::string& scriptName) {
  TXpNodeList modems = library.Modems();
  for (int m = 0; m < modems.nlGetLength(); ++m) {
    const TXpElement& modem = *modems.ElementItem(m);
    if (ElementName(modem) != modemName) continue;
    TXpNodeList scripts = TModemLibrary::Scripts(modem);
    for (int s = 0; s < scripts.nlGetLength(); ++s)
      if (ElementName(*scripts.ElementItem(s)) == scriptName) return scripts.ElementItem(s);
  }
  return nullptr;
}

int Fail(int code, const std::string& ansiMessage) {
  std::fprintf(stderr, "kelvo-run: %s\n", VisibleUtf8(ansiMessage).c_str());
  return code;
}

int ListPorts() {
  try {
    for (const TPortInfo& port : ListSerialPorts())
      std::printf("%s\n", VisibleUtf8(PortItemText(port)).c_str());
  } catch (const std::exception& e) {
    return Fail(kExitRunFailed, e.what());
  }
  return kExitOk;
}

int Run(const TOptions& options, const TModemLibrary& library) {
  const TXpElement* script = FindScript(library, options.Modem, options.Script);
  if (script == nullptr)
    return Fail(kExitUsage, "no script \"" + options.Script + "\" of the modem \"" + options.Modem + "\"");
  TConsoleScreen screen(HexToText(GetAnsiAttribute(*script, u"Body")), options.Port, stdout, stderr, stdin);
  TComPort port;
  TfsScript engine;
  TScriptRunner runner(screen, port, engine);
  runner.SetFixedSpeed(options.Speed);
  try {
    runner.Run(options.Port);
  } catch (const EAbort&) {
    if (!screen.CompileError().empty()) return Fail(kExitUsage, screen.CompileError());
    return kExitRunFailed;
  } catch (const std::exception& e) {
    return Fail(kExitRunFailed, e.what());
  }
  return runner.RunFailed() ? kExitRunFailed : kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  if (!ParseArguments(argc, argv, options)) {
    std::fputs(kUsage, argc > 1 && (std::strcmp(argv[1], "--help") == 0) ? stdout : stderr);
    return argc > 1 && std::strcmp(argv[1], "--help") == 0 ? kExitOk : kExitUsage;
  }
  if (options.Ports) return ListPorts();
  TModemLibrary library;
  try {
    library.Load(options.Library.empty() ? DefaultLibrary(argv[0]) : options.Library, {});
  } catch (const std::exception& e) {
    return Fail(kExitRunFailed, e.what());
  }
  if (options.List) {
    ListLibrary(library);
    return kExitOk;
  }
  try {
    return Run(options, library);
  } catch (const std::exception& e) {  // a damaged script body
    return Fail(kExitRunFailed, e.what());
  }
}
