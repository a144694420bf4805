// The nine functions and the one constant through which a set-up script reaches the modem and the
// user, their single dispatcher, and FailScript, the one way a run ends with an error.
#pragma once

#include <string>

#include "app/kelvo_screen.h"
#include "app/modem_line.h"
#include "script/fs_host.h"
#include "script/fs_script.h"

namespace kelvo {

class TScriptHost {
 public:
  TScriptHost(TKelvoScreen& screen, TModemLine& line, TfsScript& script)
      : FScreen(screen), FLine(line), FScript(script) {}

  // Registers the nine functions, in their order, and DefaultReadTimeout into the engine.
  void Register();

  // The engine's handler for every host function: methodName arrives upper-cased, params holds the
  // arguments. Whatever a function raises becomes FailScript with its message; nothing reaches the
  // engine.
  Variant ScriptFunction(const std::string& methodName, Variant& params);

  // Stops the running script: terminates the engine, logs the reason in red, marks the run as failed
  // and shows the reason in a warning box.
  void FailScript(const std::string& reason);
  void DoExpect(const std::string& s, const std::string& errmsg);
  std::string DoAskUserString(const std::string& caption, const std::string& message);
  void DoWaitBox(const std::string& text);

  bool RunFailed() const { return FRunFailed; }
  void ClearRunFailed() { FRunFailed = false; }

 private:
  Variant Dispatch(const std::string& methodName, const Variant& params);

  TKelvoScreen& FScreen;
  TModemLine& FLine;
  TfsScript& FScript;
  bool FRunFailed = false;
};

}  // namespace kelvo
