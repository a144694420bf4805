#include "app/command_history.h"

namespace kelvo {

void TCommandHistory::SetCommands(std::vector<std::string> commands) {
  FCommands = std::move(commands);
  if (FCommands.size() > kKeptCommands) FCommands.erase(FCommands.begin(), FCommands.end() - kKeptCommands);
  FAt = FCommands.size();
  FTyped.clear();
}

void TCommandHistory::Add(const std::string& command) {
  if (!command.empty() && (FCommands.empty() || FCommands.back() != command)) {
    FCommands.push_back(command);
    if (FCommands.size() > kKeptCommands) FCommands.erase(FCommands.begin());
  }
  FAt = FCommands.size();
  FTyped.clear();
}

std::string TCommandHistory::Older(const std::string& typed) {
  if (FCommands.empty()) return typed;
  if (FAt == FCommands.size()) FTyped = typed;
  if (FAt > 0) --FAt;
  return FCommands[FAt];
}

std::string TCommandHistory::Newer(const std::string& typed) {
  if (FAt == FCommands.size()) return typed;
  ++FAt;
  return FAt == FCommands.size() ? FTyped : FCommands[FAt];
}

}  // namespace kelvo
