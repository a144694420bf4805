// The one interface through which the application's logic reaches the screen. The Qt main window
// implements it with its widgets and the small dialogs; tests implement it by recording the calls
// and answering the questions. All texts are 8-bit Windows-1251; line breaks are CR LF.
// Threads: every call is made on the screen's own thread (the window's), except RunOnScreenThread,
// which any thread may call; a run on its own thread reaches the screen through the hand-over.
#pragma once

#include <functional>
#include <string>

#include "app/run_screen.h"

namespace kelvo {

class TXpElement;

// The main window's commands, shared by menus, toolbars, the pop-up menu and the editor.
enum class TKelvoAction {
  kaRunScript,
  kaEditScript,
  kaAddModem,
  kaRemoveModem,
  kaAddScript,
  kaRemoveScript,
  kaSaveScript,
  kaStopScript,
  kaTerminal,      // opens the terminal on the chosen port
  kaCloseTerminal  // closes it
};

enum class TEditorPage { epDescription, epProtocol };

// A node of the modem/script tree as the screen knows it; the logic only hands it back.
using TTreeNode = void*;

// Tree images: modems and scripts.
inline constexpr int kModemImage = 0;
inline constexpr int kScriptImage = 1;

class TKelvoScreen : public TRunScreen {
 public:
  virtual void SetActionEnabled(TKelvoAction action, bool enabled) = 0;
  virtual bool ActionEnabled(TKelvoAction action) const = 0;

  // Main window.
  virtual void SetDescriptionPane(const std::string& text) = 0;
  // Index of the chosen port (0 is "(выберите порт)") and its text.
  virtual int PortIndex() const = 0;
  virtual std::string PortName() const = 0;
  virtual void FocusPortList() = 0;

  // The tree. A new node shows text and image and carries element as its data; deleting a node
  // deletes its children and moves the selection (the selection handler runs).
  virtual TTreeNode AddTreeNode(TTreeNode parent, const std::string& text, int image,
                                TXpElement* element) = 0;
  virtual void DeleteTreeNode(TTreeNode node) = 0;
  // Selects the node (the selection handler runs) and starts editing its label.
  virtual void SelectAndEditTreeNode(TTreeNode node) = 0;

  // The script editor window.
  virtual void SetEditorScript(const std::string& text) = 0;
  virtual void SetEditorDescription(const std::string& text) = 0;
  virtual std::string EditorScript() const = 0;
  virtual std::string EditorDescription() const = 0;
  virtual void SetEditorCaption(const std::string& caption) = 0;
  // Shows the editor modally on the page; returns when it is closed.
  virtual void ShowEditor(TEditorPage page) = 0;
  virtual bool EditorVisible() const = 0;
  // Switches the editor to the page without showing it.
  virtual void SetEditorPage(TEditorPage page) = 0;
  // A compilation error at pos ("line:column"): reported at once when the editor is visible,
  // otherwise the editor is shown on its description page and reports it when it appears.
  virtual void ReportCompileError(const std::string& pos, const std::string& message) = 0;

  // The run of a script: the log of the next run starts empty; the busy cursor; a run has started
  // or ended (the window shows the log and offers Stop while one executes).
  virtual void ClearLog() = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  virtual void RunStateChanged(bool running) = 0;
  // The terminal has opened or closed (the window shows its input while it is open).
  virtual void TerminalStateChanged(bool /*open*/) {}
  // Any thread: queues task to run soon on the screen's thread, after the tasks queued before it.
  virtual void RunOnScreenThread(std::function<void()> task) = 0;
};

}  // namespace kelvo
