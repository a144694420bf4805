// The nine functions and the one constant through which a set-up script reaches the modem and the
// user, their single dispatcher, and FailScript, the one way a run ends with an error.
// Threads: the host functions run on the thread of the run, inside the engine's Execute.
#pragma once

#include <string>

#include "app/modem_line.h"
#include "app/run_screen.h"
#include "script/fs_host.h"
#include "script/fs_script.h"

namespace kelvo {

class TScriptHost {
 public:
  // stop, when given, is the run's stop request: a function that finds it requested ends the
  // script as the engine's Terminate does, without a failure.
  TScriptHost(TRunScreen& screen, TModemLine& line, TfsScript& script, const TRunStop* stop = nullptr)
      : FScreen(screen), FLine(line), FScript(script), FStop(stop) {}

  // Registers the nine functions, in their order, and DefaultReadTimeout into the engine.
  void Register();

  // The engine's handler for every host function: methodName arrives upper-cased, params holds the
  // arguments. Whatever a function raises becomes FailScript with its message, and a stop of the run
  // terminates the engine; nothing reaches the engine.
  Variant ScriptFunction(const std::string& methodName, Variant& params);

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
  Variant Dispatch(const std::string& methodName, const Variant& params);

  TRunScreen& FScreen;
  TModemLine& FLine;
  TfsScript& FScript;
  const TRunStop* FStop;
  bool FRunFailed = false;
  std::string FLastFailure;
};

}  // namespace kelvo
