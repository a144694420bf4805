#include "serial/port_holders.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kelvo {

namespace fs = std::filesystem;

namespace {

pid_t PidOfEntry(const fs::directory_entry& entry) {
  const std::string name = entry.path().filename().string();
  if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return -1;
  return static_cast<pid_t>(std::strtol(name.c_str(), nullptr, 10));
}

bool HasOpen(const fs::path& fdFolder, const fs::path& device) {
  std::error_code error;
  for (fs::directory_iterator it(fdFolder, error), end; !error && it != end; it.increment(error)) {
    std::error_code linkError;
    fs::path target = fs::read_symlink(it->path(), linkError);
    if (!linkError && target == device) return true;
  }
  return false;
}

}  // namespace

std::string ProgramOfProcess(pid_t pid) {
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

std::vector<TPortHolder> FindPortHolders(const std::string& devicePath) {
  std::vector<TPortHolder> holders;
  std::error_code error;
  fs::path device = fs::canonical(devicePath, error);
  if (error) return holders;
  const pid_t self = ::getpid();
  for (fs::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
    pid_t pid = PidOfEntry(*it);
    if (pid <= 0 || pid == self || !HasOpen(it->path() / "fd", device)) continue;
    holders.push_back({pid, ProgramOfProcess(pid)});
  }
  std::sort(holders.begin(), holders.end(),
            [](const TPortHolder& a, const TPortHolder& b) { return a.Pid < b.Pid; });
  return holders;
}

}  // namespace kelvo
