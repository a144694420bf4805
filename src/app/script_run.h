// The run of a set-up script, the program's main task: prepare the engine with the host functions,
// compile the editor's text, open the port, find the modem, execute, and restore everything
// afterwards whatever happened. The window and the command-line runner share it.
#pragma once

#include <memory>
#include <optional>

#include "app/kelvo_screen.h"
#include "app/modem_line.h"
#include "app/script_host.h"
#include "script/fs_script.h"
#include "serial/com_port.h"

namespace kelvo {

class TScriptRunner {
 public:
  TScriptRunner(TKelvoScreen& screen, TCustomComPort& port, TfsScript& script);

  // The sequence after the port check: raises EAbort after a compilation error (the screen has been
  // told), the port's error when it cannot be opened, "модем не обнаружен" when no modem answers,
  // and whatever the engine raises; afterwards the port is closed and both actions enabled. A
  // second call while a run executes does nothing.
  void Run(const std::string& portName);

  bool Running() const { return FRunning; }
  // A speed to open the port at instead of searching for the modem (kelvo-run --speed); none: the
  // search, as the window runs it.
  void SetFixedSpeed(std::optional<int> bps) { FFixedSpeed = bps; }
  // The last run stopped through FailScript.
  bool RunFailed() const { return FHost.RunFailed(); }
  TModemLine& Line() { return FLine; }
  TScriptHost& Host() { return FHost; }

 private:
  void PrepareEngine();
  void Compile();
  void OpenPort();
  void DetectAndExecute();
  void Restore();

  TKelvoScreen& FScreen;
  TCustomComPort& FPort;
  TfsScript& FScript;
  TModemLine FLine;
  TScriptHost FHost;
  bool FRunning = false;
  std::optional<int> FFixedSpeed;
};

// The lines of a text broken at CR LF, LF or CR.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace kelvo
