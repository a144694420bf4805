// The functions and the one constant through which a set-up script reaches the modem and the user
// (one table of entries, each with its own handler), the wrapper every call of them passes through,
// and FailScript, the one way a run ends with an error.
// Threads: the host functions run on the thread of the run, inside the engine's Execute.
#pragma once

#include <span>
#include <string>

#include "app/modem_line.h"
#include "app/run_screen.h"
#include "script/program/function_table.h"
#include "script/program/host.h"
#include "script/program/script.h"

namespace kelvo {

class TScriptHost;

// A host function: reads its arguments from params (element 0 first) and returns its result.
using THostFunction = Variant (*)(TScriptHost& host, const Variant& params);
using THostFunctionEntry = TfsFunctionEntry<THostFunction>;

class TScriptHost {
 public:
  // stop, when given, is the run's stop request: a function that finds it requested ends the
  // script as the engine's Terminate does, without a failure.
  TScriptHost(TRunScreen& screen, TModemLine& line, TfsScript& script, const TRunStop* stop = nullptr)
      : FScreen(screen), FLine(line), FScript(script), FStop(stop) {}

  // The host functions, in registration order: the nine of the modem and the user, then the
  // modem's control lines.
  static std::span<const THostFunctionEntry> Functions();

  // Registers the functions, in their order, and DefaultReadTimeout into the engine.
  void Register();

  // Runs one host function for the engine. Whatever it raises becomes FailScript with its message,
  // and a stop of the run terminates the engine; nothing reaches the engine.
  Variant ScriptFunction(THostFunction serve, const Variant& params);

  // Stops the running script: terminates the engine, logs the reason in red, marks the run as failed
  // and shows the reason in a warning box.
  void FailScript(const std::string& reason);
  void DoExpect(const std::string& s, const std::string& errmsg);
  std::string DoAskUserString(const std::string& caption, const std::string& message);
  void DoWaitBox(const std::string& text);

  bool RunFailed() const { return FRunFailed; }
  void ClearRunFailed() { FRunFailed = false; }
  // The message of the last FailScript ("ошибка выполнения сценария: ...").
  const std::string& LastFailure() const { return FLastFailure; }

 private:
  TRunScreen& FScreen;
  TModemLine& FLine;
  TfsScript& FScript;
  const TRunStop* FStop;
  bool FRunFailed = false;
  std::string FLastFailure;
};

}  // namespace kelvo
