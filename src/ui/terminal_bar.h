// TTerminalBar: the terminal's controls under the log while the terminal is open: the line to type
// a command in (Enter sends it, Up and Down walk the history of sent commands, Escape closes the
// terminal), the commands of the selected script to send again, and the modem's control lines
// (DTR, RTS, a break, a hang-up). It only emits intent; the window passes it to the terminal.
// Threads: the window's.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/command_history.h"

class QComboBox;
class QToolButton;

namespace kelvo {

// The line the user types in: Up, Down and Escape are the terminal's, not the line's.
class TTerminalInput : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;
  std::function<void()> OnUp, OnDown, OnEscape;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class TTerminalBar : public QWidget {
 public:
  explicit TTerminalBar(QWidget* parent);

  // The commands of the script, 8-bit; the list is empty and disabled without any.
  void SetScriptCommands(const std::vector<std::string>& commands);
  // The history, 8-bit, oldest first, as remembered between starts.
  TCommandHistory& History() { return FHistory; }
  // Back to the start of a terminal: empty line, DTR and RTS on.
  void Reset();

  // A command to send (8-bit): typed with Enter, or chosen from the script's commands.
  std::function<void(const std::string&)> OnSend;
  std::function<void()> OnClose, OnBreak, OnHangUp;
  std::function<void(bool)> OnDTR, OnRTS;

  TTerminalInput* Input;
  QComboBox* ScriptCommands;
  QToolButton* DTRButton;
  QToolButton* RTSButton;
  QToolButton* BreakButton;
  QToolButton* HangUpButton;
  QToolButton* CloseButton;

 private:
  void SendTyped();
  void SendChosen(int index);
  QToolButton* AddButton(const char* caption, const char* tip);

  TCommandHistory FHistory;
};

}  // namespace kelvo
