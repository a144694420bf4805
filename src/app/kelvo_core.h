// The main window's state and handlers without a toolkit: the loaded library, the selection, and
// every editing command with its protection rules, messages and save. The window forwards its events
// here; everything shown goes through TKelvoScreen.
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "app/kelvo_screen.h"
#include "app/modem_library.h"
#include "app/script_run.h"
#include "script/fs_script.h"
#include "serial/com_port.h"

namespace kelvo {

class TKelvoCore {
 public:
  explicit TKelvoCore(TKelvoScreen& screen) : FScreen(screen), FRunner(screen, FComPort, fsScript) {}

  // Start-up: loads, validates and (in stamping mode) stamps the library at path; args are the
  // command-line arguments as 8-bit text. Raises the library's messages.
  void LoadLibrary(const std::string& path, const std::vector<std::string>& args);
  // Adds a node for every modem and its scripts, each element linked to its node through UserSlot.
  void BuildTree();

  TModemLibrary& Library() { return FLibrary; }
  TXpElement* CurrentModem() const { return FCurrentModem; }
  TXpElement* CurrentScript() const { return FCurrentScript; }
  TComPort& ComPort() { return FComPort; }
  TfsScript& Script() { return fsScript; }
  // A script is executing: a second run cannot start and the engine's text stays as it is.
  bool Running() const { return FRunner.Running(); }

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
  void RunScriptActionExecute();

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
  void ShowException(std::exception_ptr error);
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
  void SetSelectionActions(bool modem, bool script);
  void LoadEditorTexts(const TXpElement& script);
  void DeleteElement(TXpElement* element);

  TKelvoScreen& FScreen;
  TModemLibrary FLibrary;
  TComPort FComPort;
  TfsScript fsScript;  // the engine instance that compiles and runs the selected script
  TScriptRunner FRunner;
  TXpElement* FCurrentModem = nullptr;
  TXpElement* FCurrentScript = nullptr;
};

}  // namespace kelvo
