#include "run_modes.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "answers.h"
#include "app/hex_text.h"
#include "app/multi_port_run.h"
#include "app/port_list.h"
#include "app/visible_text.h"
#include "console_output.h"
#include "console_screen.h"
#include "run_report.h"
#include "run_signals.h"
#include "run_summary.h"
#include "run_timer.h"
#include "serial/port_list.h"
#include "text/cp1251.h"
#include "text/exception.h"
#include "xml/safe_file.h"

namespace kelvo {

namespace {

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

// The screens of the ports and what they share. With several ports every line starts with its
// port's name, padded so that the logs line up.
struct TScreens {
  TScreens(const std::vector<std::string>& ports, bool prefixed, std::FILE* out) : Output(out, stderr) {
    size_t width = 0;
    for (const std::string& port : ports) width = std::max(width, port.size());
    for (const std::string& port : ports) {
      std::string prefix = prefixed ? port + std::string(width - port.size(), ' ') + " | " : std::string();
      Screens.push_back(std::make_unique<TConsoleScreen>(Output, prefix, STDIN_FILENO, Terminal));
    }
  }
  std::vector<TRunScreen*> RunScreens() const {
    std::vector<TRunScreen*> screens;
    for (const auto& screen : Screens) screens.push_back(screen.get());
    return screens;
  }
  std::vector<const TConsoleScreen*> ReportScreens() const {
    std::vector<const TConsoleScreen*> screens;
    for (const auto& screen : Screens) screens.push_back(screen.get());
    return screens;
  }

  TConsoleOutput Output;
  TTerminalTurns Terminal;
  std::vector<std::unique_ptr<TConsoleScreen>> Screens;
};

// --port's names, or every port of the port list. Raises when the list cannot be read.
std::vector<std::string> PortsToRun(const TRunOptions& options) {
  return options.AllPorts ? EnumerateSerialPorts() : options.Ports;
}

// Every port's answers (8-bit): its own file in the answers folder, or else the common ones. Raises
// when a file cannot be read.
std::vector<std::vector<std::string>> PortAnswers(const TRunOptions& options,
                                                  const std::vector<std::string>& ports) {
  std::vector<std::string> common;
  for (const std::string& answer : options.Answers) common.push_back(Utf8ToAnsi(answer));
  if (!options.AnswersFile.empty()) common = ReadAnswersFile(options.AnswersFile);
  std::vector<std::vector<std::string>> answers;
  for (const std::string& port : ports) {
    std::optional<std::string> own =
        options.AnswersDir.empty() ? std::nullopt : PortAnswersFile(options.AnswersDir, port);
    answers.push_back(own ? ReadAnswersFile(*own) : common);
  }
  return answers;
}

// 0 when every port succeeded, else 1; a stop by a signal is the shell's 128 + the signal. A single
// run's error that the log has shown goes to standard error too when that is elsewhere.
int ExitCode(const TMultiPortRun& run, const TScreens& screens) {
  if (CaughtSignal() != 0) return 128 + CaughtSignal();
  int code = kExitOk;
  for (size_t i = 0; i < run.Count(); ++i) {
    const TRunResult& result = run.Run(i).Result;
    if (result.End == TRunEnd::reCompleted) continue;
    code = kExitRunFailed;
    const bool timedOut = result.End == TRunEnd::reStopped && run.Run(i).Stop.TimedOut();
    if (run.Count() == 1 && (result.End == TRunEnd::reError || timedOut) &&
        !screens.Output.ErrorsJoinOutput())
      Fail(kExitRunFailed, result.Message);
  }
  return code;
}

// A report that cannot be written makes a successful run fail: whoever asked for it relies on it.
int WriteReport(const std::string& path, const std::string& json, int code) {
  if (path == "-") {
    std::fwrite(json.data(), 1, json.size(), stdout);
    std::fflush(stdout);
    return code;
  }
  try {
    WriteFileAtomically(path, json);
    return code;
  } catch (const std::exception& e) {
    Fail(kExitRunFailed, Utf8ToAnsi("cannot write the report " + path + ": ") + e.what());
    return code == kExitOk ? kExitRunFailed : code;
  }
}

// The run proper, once the script has been found: compile, run on every port, summarise, report.
int RunOnPorts(const TRunOptions& options, const std::string& body, const std::vector<std::string>& ports,
               const std::vector<std::vector<std::string>>& answers, TReportHeader& header) {
  bool several = ports.size() > 1 || options.AllPorts;
  TScreens screens(ports, several, options.Report == "-" ? stderr : stdout);
  screens.Output.SetTimestamps(options.Timestamps);
  std::string problem;
  if (!options.LogFile.empty() && !screens.Output.OpenLogFile(options.LogFile, problem))
    return Fail(kExitUsage, Utf8ToAnsi(problem));
  TMultiPortRun run(ports, screens.RunScreens());
  for (size_t i = 0; i < ports.size(); ++i) {
    screens.Screens[i]->SetStop(run.Run(i).Stop);
    screens.Screens[i]->SetAnswers(answers[i], options.NoInput);
  }
  if (!run.Compile(body)) {
    header.Error = run.ErrorPlace() + ": " + run.ErrorText();
    header.ExitCode = Fail(kExitUsage, header.Error);
  } else {
    run.SetFixedSpeed(options.Speed);
    CatchStopSignals(&run);
    {
      TRunTimer timer([&run] { run.StopForTimeOut(); }, options.Timeout);
      run.Execute(options.Jobs);
    }
    CatchStopSignals(nullptr);
    if (several)
      for (const std::string& line : SummaryTable(run)) screens.Output.PrintOutUtf8(line);
    header.ExitCode = ExitCode(run, screens);
  }
  header.Duration = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now() -
                                                                          header.Started);
  if (options.Report.empty()) return header.ExitCode;
  return WriteReport(options.Report,
                     ReportJson(header, header.Error.empty() ? &run : nullptr, screens.ReportScreens()),
                     header.ExitCode);
}

}  // namespace

int Fail(int code, const std::string& ansiMessage) {
  std::fprintf(stderr, "kelvo-run: %s\n", VisibleUtf8(ansiMessage).c_str());
  return code;
}

int ListLibrary(const TModemLibrary& library) {
  std::error_code ec;
  std::printf("library: %s\n", std::filesystem::absolute(library.Path(), ec).string().c_str());
  TXpNodeList modems = library.Modems();
  for (int m = 0; m < modems.nlGetLength(); ++m) {
    const TXpElement& modem = *modems.ElementItem(m);
    std::printf("%s\n", AnsiToUtf8(ElementName(modem)).c_str());
    TXpNodeList scripts = TModemLibrary::Scripts(modem);
    for (int s = 0; s < scripts.nlGetLength(); ++s)
      std::printf("  %s\n", AnsiToUtf8(ElementName(*scripts.ElementItem(s))).c_str());
  }
  return kExitOk;
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

int RunScript(const TRunOptions& options, const std::string& libraryPath, const TModemLibrary& library) {
  TReportHeader header;
  std::error_code ec;
  header.Library = std::filesystem::absolute(libraryPath, ec).string();
  header.Modem = options.Modem;
  header.Script = options.Script;
  header.Started = std::chrono::system_clock::now();
  const TXpElement* modem = FindModem(library, options.Modem);
  if (modem == nullptr) return Fail(kExitUsage, "no modem \"" + options.Modem + "\" in the library");
  const TXpElement* script = FindScript(*modem, options.Script);
  if (script == nullptr)
    return Fail(kExitUsage, "no script \"" + options.Script + "\" of the modem \"" + options.Modem + "\"");
  std::vector<std::string> ports;
  try {
    ports = PortsToRun(options);
  } catch (const std::exception& e) {
    return Fail(kExitRunFailed, e.what());
  }
  if (ports.empty()) return Fail(kExitRunFailed, "the port list holds no serial port");
  std::vector<std::vector<std::string>> answers;
  try {
    answers = PortAnswers(options, ports);
  } catch (const std::exception& e) {  // nothing has run yet: a wrong argument
    return Fail(kExitUsage, e.what());
  }
  return RunOnPorts(options, HexToText(GetAnsiAttribute(*script, u"Body")), ports, answers, header);
}

}  // namespace kelvo
