// The terminal's history of sent commands, walked with Up and Down as shells do: the newest
// kKeptCommands, a command repeated at once kept once, the line being typed kept aside while the
// user walks back and given back when they walk past the newest.
// Threads: the window's.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kelvo {

class TCommandHistory {
 public:
  static constexpr size_t kKeptCommands = 200;

  // The commands, oldest first (as remembered between starts); only the newest kKeptCommands stay.
  void SetCommands(std::vector<std::string> commands);
  const std::vector<std::string>& Commands() const { return FCommands; }

  // A command sent: it becomes the newest (unless it is the newest already, or empty) and the walk
  // starts again from the line being typed.
  void Add(const std::string& command);
  // Up: the command before the one shown (typed is the line as it stands, kept when the walk
  // starts); at the oldest it stays there.
  std::string Older(const std::string& typed);
  // Down: the command after the one shown, or past the newest the line that was being typed.
  std::string Newer(const std::string& typed);

 private:
  std::vector<std::string> FCommands;
  size_t FAt = 0;  // the command shown; FCommands.size() while none is (the typed line)
  std::string FTyped;
};

}  // namespace kelvo
