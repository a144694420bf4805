// The main window's state and handlers without a toolkit: the loaded library, the selection, every
// editing command with its protection rules, messages and save, and the run of a script. The window
// forwards its events here; everything shown goes through TKelvoScreen.
// Threads: everything here belongs to the screen's thread, except the run: after compiling, the
// run executes on a thread of its own (TRunThread) with the engine and the port, which the screen's
// thread leaves alone until the run has ended; what the run shows reaches the screen through the
// hand-over (TScreenHandOver), and its end comes back as a task on the screen's thread. The terminal
// follows the same rule with its own thread, hand-over and stop request; the port is the run's, and
// at most one of the two holds it: FRunning and FTerminalOpen, read and written on the screen's
// thread only, are never both true.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/kelvo_screen.h"
#include "app/modem_library.h"
#include "app/modem_terminal.h"
#include "app/run_thread.h"
#include "app/screen_hand_over.h"
#include "app/script_run.h"
#include "script/program/script.h"
#include "serial/com_port.h"

namespace kelvo {

class TKelvoCore {
 public:
  explicit TKelvoCore(TKelvoScreen& screen);
  // Stops a run that still executes and waits for its thread.
  ~TKelvoCore();

  // Start-up: loads, validates and (in stamping mode) stamps the library at path; args are the
  // command-line arguments as 8-bit text. Raises the library's messages.
  void LoadLibrary(const std::string& path, const std::vector<std::string>& args);
  // Adds a node for every modem and its scripts, each element linked to its node through UserSlot.
  void BuildTree();

  TModemLibrary& Library() { return FLibrary; }
  TXpElement* CurrentModem() const { return FCurrentModem; }
  TXpElement* CurrentScript() const { return FCurrentScript; }
  // The engine and the port belong to the run's thread while a run executes.
  TComPort& ComPort() { return FComPort; }
  TfsScript& Script() { return fsScript; }
  TScriptRunner& Runner() { return FRunner; }
  // A script is executing: a second run cannot start, the engine's text stays as it is, and the
  // running script and its modem can be neither renamed nor deleted.
  bool Running() const { return FRunning; }
  // The run's modem and script may be renamed (always, unless a run of them executes).
  bool MayRename(const TXpElement* element) const;

  // Selection change: sets the commands and fills the editor and the description panes. A damaged
  // Body or Description raises after the commands are set.
  void TreeViewChange(TXpElement* element);
  // Label edit finished with text s: s becomes the trimmed name. Raises "недопустимое название" for
  // an empty name or one holding control characters, and refuses a modem name that another modem
  // has; then nothing changes and nothing is saved.
  void TreeViewEdited(TXpElement* element, std::string& s);
  void TreeViewDblClick();

  void AddModemActionExecute();
  void RemoveModemActionExecute();
  void AddScriptActionExecute();
  void RemoveScriptActionExecute();
  void EditScriptActionExecute();
  void SaveScriptActionExecute();
  // Compiles the editor's script here, then runs it on the run's thread and returns at once.
  void RunScriptActionExecute();
  // Asks the executing run to stop; it ends within moments with "выполнение сценария прервано
  // пользователем" in the log.
  void StopScriptActionExecute();
  // Before the screen goes: a run still executing is stopped, an open terminal closed, and their
  // threads waited for; nothing they would still show reaches the screen.
  void ShutDown();

  // The terminal: opens the chosen port on a thread of its own, finds the modem (or opens at speed)
  // and keeps the port until it is closed. Neither while a run executes, nor a run while it is
  // open. Returns at once.
  void TerminalActionExecute(std::optional<int> speed = std::nullopt);
  void CloseTerminalActionExecute();
  bool TerminalOpen() const { return FTerminalOpen; }
  // Lines typed and the control lines go through here while the terminal is open.
  TModemTerminal& Terminal() { return FTerminal; }

  // The script editor: any change of its texts enables saving, showing it disables saving.
  void EditorTextChanged();
  void EditorShown();
  // The close question of the editor; true when the editor may hide. A "Yes" whose save is refused
  // or fails keeps the editor open, so nothing typed is lost unless the user chooses so.
  bool EditorCloseQuery();

  // "Kelvo - редактор сценариев: <modem> - "<script>"".
  static std::string EditorCaption(const std::string& modem, const std::string& script);
  // "Kelvo - программа инициализации модемов".
  static std::string MainCaption();

  // The standard error display for the exception being handled.
  void ShowException(const std::exception_ptr& error);
  // Runs f and shows whatever it raises through the standard error display.
  template <class F>
  void Guarded(F&& f) {
    try {
      f();
    } catch (...) {
      ShowException(std::current_exception());
    }
  }

 private:
  void SetSelectionActions();
  void LoadEditorTexts(const TXpElement& script);
  void DeleteElement(TXpElement* element);
  void BeginRun();
  void RunFinished(const TRunResult& result);
  void TerminalFinished();
  bool TouchesRun(const TXpElement* element) const;

  TKelvoScreen& FScreen;
  TModemLibrary FLibrary;
  TComPort FComPort;
  TfsScript fsScript;  // the engine instance that compiles and runs the selected script
  TRunStop FRunStop;
  TScreenHandOver FRunScreen;
  TScriptRunner FRunner;
  TRunThread FRunThread;
  bool FRunning = false;
  // The terminal: its own stop request, hand-over and thread; the port is the run's, which the
  // terminal holds while it is open.
  TRunStop FTermStop;
  TScreenHandOver FTermScreen;
  TModemTerminal FTerminal;
  TRunThread FTermThread;
  bool FTerminalOpen = false;
  TXpElement* FRunModem = nullptr;  // the modem and script of the executing run
  TXpElement* FRunScript = nullptr;
  TXpElement* FCurrentModem = nullptr;
  TXpElement* FCurrentScript = nullptr;
};

}  // namespace kelvo
