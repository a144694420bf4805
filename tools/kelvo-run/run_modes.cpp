#include "run_modes.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "app/hex_text.h"
#include "app/script_run.h"
#include "app/visible_text.h"
#include "console_screen.h"
#include "text/cp1251.h"

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

int ExitCode(const TRunResult& result, const TConsoleScreen& screen) {
  if (gSignal != 0) return 128 + gSignal;  // the shell's convention for a program a signal ended
  switch (result.End) {
    case TRunEnd::reCompleted:
      return kExitOk;
    case TRunEnd::reError:  // the log's last line holds the reason already
      return screen.ErrorsJoinOutput() ? kExitRunFailed : Fail(kExitRunFailed, result.Message);
    default:  // FailScript's message has gone where errors go
      return kExitRunFailed;
  }
}

}  // namespace

int Fail(int code, const std::string& ansiMessage) {
  std::fprintf(stderr, "kelvo-run: %s\n", VisibleUtf8(ansiMessage).c_str());
  return code;
}

int ListLibrary(const TModemLibrary& library) {
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

int RunScript(const TRunOptions& options, const TModemLibrary& library) {
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
  if (!runner.Compile(HexToText(GetAnsiAttribute(*script, u"Body"))))
    return Fail(kExitUsage, engine.ErrorPlace + ": " + engine.ErrorText);
  CatchSignals(&stop);
  TRunResult result = runner.Execute(options.Port);
  CatchSignals(nullptr);
  return ExitCode(result, screen);
}

}  // namespace kelvo
