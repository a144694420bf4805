// kelvo-run: the run of one set-up script from the library, without a window, exactly as the window
// runs it (detection first), for workshops that set up many modems and for automation.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
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
#include "run_timer.h"
#include "script/fs_modules.h"
#include "text/cp1251.h"

using namespace kelvo;

namespace {

constexpr int kExitOk = 0, kExitRunFailed = 1, kExitUsage = 2;

const char* kUsage =
    "Usage: kelvo-run [--library FILE] [--timestamps] [--speed BPS] [--timeout SECONDS]\n"
    "                 --port DEVICE MODEM SCRIPT\n"
    "       kelvo-run [--library FILE] --list\n"
    "       kelvo-run --ports\n"
    "Runs the script SCRIPT of the modem MODEM from the library (default: kelvo.xml beside this\n"
    "program) on the serial port DEVICE (a name such as ttyUSB0, or a path), as Kelvo's window\n"
    "does: the modem is searched for at ten speeds, then the script runs. Every line sent and\n"
    "received is printed with its prefix (\"> \" sent, \"< \" received); the last line says how the\n"
    "run ended. AskUserString questions are answered on standard input. Ctrl+C (or SIGTERM) stops\n"
    "the run and closes the port; a second Ctrl+C ends the program at once.\n"
    "Exit status: 0 the script ended normally; 1 the run failed (no modem, the script stopped, an\n"
    "engine or port error; the reason also on standard error when that is not where the output\n"
    "goes; the run took longer than --timeout); 2 a compilation error (LINE:COLUMN: MESSAGE) or bad\n"
    "arguments; 130 and 143 the run was stopped by SIGINT or SIGTERM.\n"
    "  --list         print the modems and their scripts\n"
    "  --timestamps   start each line with its time (hh:mm:ss.zzz)\n"
    "  --ports        print the serial ports with what each is (USB adapters: vendor, model and\n"
    "                 USB path), and the stable /dev/serial/by-id/ names\n"
    "  --speed BPS    open the port at BPS bits/s and run the script without searching for the\n"
    "                 modem (for a modem known to answer at one speed)\n"
    "  --timeout SECONDS  end a run that takes longer, with \"превышено время выполнения\n"
    "                 сценария\" (a script's Expect waits as long as the modem keeps talking)\n";

struct TOptions {
  std::string Library, Port, Modem, Script;
  bool List = false, Timestamps = false, Ports = false;
  std::optional<int> Speed;
  std::optional<std::chrono::milliseconds> Timeout;
};

// A time limit from the command line: a positive number of seconds, at most a week.
bool ParseTimeout(const std::string& text, std::optional<std::chrono::milliseconds>& timeout) {
  char* end = nullptr;
  double seconds = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(seconds > 0) || seconds > 7 * 24 * 3600) return false;
  timeout = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
  return true;
}

// A line speed from the command line: a whole number of bits per second the device may take.
bool ParseSpeed(const std::string& text, std::optional<int>& speed) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 50 || value > 4000000) return false;
  speed = static_cast<int>(value);
  return true;
}

// The options, or a reason why they are wrong (empty when only the usage is wanted, or printed).
bool ParseArguments(int argc, char** argv, TOptions& options, std::string& problem) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if ((arg == "--library" || arg == "--port") && i + 1 < argc) {
      (arg == "--library" ? options.Library : options.Port) = argv[++i];
    } else if (arg == "--speed" && i + 1 < argc) {
      if (!ParseSpeed(argv[++i], options.Speed)) {
        problem = "--speed takes a number of bits per second, such as 9600";
        return false;
      }
    } else if (arg == "--timeout" && i + 1 < argc) {
      if (!ParseTimeout(argv[++i], options.Timeout)) {
        problem = "--timeout takes a number of seconds, such as 60";
        return false;
      }
    } else if (arg == "--list") {
      options.List = true;
    } else if (arg == "--ports") {
      options.Ports = true;
    } else if (arg == "--timestamps") {
      options.Timestamps = true;
    } else if (arg == "--help" || arg == "-h") {
      return false;
    } else if (arg.size() > 1 && arg[0] == '-') {
      problem = "unknown option " + arg;
      return false;
    } else {
      positional.push_back(arg);
    }
  }
  if (options.Ports) return positional.empty() && !options.List;
  if (options.List) return positional.empty();
  if (positional.size() != 2) {
    problem = "MODEM and SCRIPT are both needed";
    return false;
  }
  if (options.Port.empty()) {
    problem = "no port given: --port DEVICE names the modem's serial port";
    return false;
  }
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

const TXpElement* FindModem(const TModemLibrary& library, const std::string& modemName) {
  TXpNodeList modems = library.Modems();
  for (int m = 0; m < modems.nlGetLength(); ++m)
    if (ElementName(*modems.ElementItem(m)) == modemName) return modems.ElementItem(m);
  return nullptr;
}

const TXpElement* FindScript(const TXpElement& modem, const std::string& scriptName) {
  TXpNodeList scripts = TModemLibrary::Scripts(modem);
  for (int s = 0; s < scripts.nlGetLength(); ++s)
    if (ElementName(*scripts.ElementItem(s)) == scriptName) return scripts.ElementItem(s);
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

// The run that SIGINT and SIGTERM stop; the first signal asks it to stop, a second one ends the
// program at once.
std::atomic<TRunStop*> gStop{nullptr};
volatile sig_atomic_t gSignal = 0;

void OnSignal(int signal) {
  if (gSignal != 0) ::_exit(128 + signal);
  gSignal = signal;
  if (TRunStop* stop = gStop.load()) stop->Request();
}

void CatchSignals(TRunStop* stop) {
  gStop = stop;
  struct sigaction action {};
  action.sa_handler = stop != nullptr ? &OnSignal : SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

int ExitCode(const TRunResult& result, const TConsoleScreen& screen, const TRunStop& stop) {
  if (gSignal != 0) return 128 + gSignal;  // the shell's convention for a program a signal ended
  switch (result.End) {
    case TRunEnd::reCompleted:
      return kExitOk;
    case TRunEnd::reStopped:  // only the time limit stops a run without a signal
      return stop.TimedOut() && !screen.ErrorsJoinOutput() ? Fail(kExitRunFailed, result.Message)
                                                           : kExitRunFailed;
    case TRunEnd::reError:  // the log's last line holds the reason already
      return screen.ErrorsJoinOutput() ? kExitRunFailed : Fail(kExitRunFailed, result.Message);
    default:  // FailScript's message has gone where errors go
      return kExitRunFailed;
  }
}

int Run(const TOptions& options, const TModemLibrary& library) {
  const TXpElement* modem = FindModem(library, options.Modem);
  if (modem == nullptr) return Fail(kExitUsage, "no modem \"" + options.Modem + "\" in the library");
  const TXpElement* script = FindScript(*modem, options.Script);
  if (script == nullptr)
    return Fail(kExitUsage, "no script \"" + options.Script + "\" of the modem \"" + options.Modem + "\"");
  TRunStop stop;
  TConsoleScreen screen(stdout, stderr, STDIN_FILENO, stop);
  screen.SetTimestamps(options.Timestamps);
  TComPort port;
  TfsScript engine;
  TScriptRunner runner(screen, port, engine, stop);
  runner.SetFixedSpeed(options.Speed);
  if (!runner.Compile(HexToText(GetAnsiAttribute(*script, u"Body"))))
    return Fail(kExitUsage, engine.ErrorPlace + ": " + engine.ErrorText);
  CatchSignals(&stop);
  TRunResult result;
  {
    TRunTimer timer(stop, options.Timeout);
    result = runner.Execute(options.Port);
  }
  CatchSignals(nullptr);
  return ExitCode(result, screen, stop);
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  std::string problem;
  if (!ParseArguments(argc, argv, options, problem)) {
    bool help = problem.empty() && argc > 1 &&
                (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
    if (!problem.empty()) std::fprintf(stderr, "kelvo-run: %s\n", problem.c_str());
    std::fputs(kUsage, help ? stdout : stderr);
    return help ? kExitOk : kExitUsage;
  }
  if (options.Ports) return ListPorts();
  std::string libraryPath = options.Library.empty() ? DefaultLibrary(argv[0]) : options.Library;
  std::error_code ec;
  if (!std::filesystem::exists(libraryPath, ec))
    return Fail(kExitRunFailed, "no library file " + libraryPath);
  TModemLibrary library;
  try {
    library.Load(libraryPath, {});
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
