// The modem simulator (tools/modemsim) as a separate process on a pty of its own, for tests that
// talk to it through the serial port. MODEMSIM_PATH names the program.
#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace kelvo::testing {

// One running simulator; the first line of its output is the device path.
class TSimulator {
 public:
  explicit TSimulator(std::vector<std::string> args) {
    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    args.insert(args.begin(), MODEMSIM_PATH);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&FPid, MODEMSIM_PATH, &actions, nullptr, argv.data(), environ) != 0)
      throw std::runtime_error("spawn");
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    FOut = out[0];
    Path = ReadLine();
  }
  ~TSimulator() {
    if (FPid > 0) Stop();
    ::close(FOut);
  }
  // Sends SIGTERM; the exit status.
  int Stop() {
    ::kill(FPid, SIGTERM);
    int status = 0;
    ::waitpid(FPid, &status, 0);
    FPid = -1;
    return status;
  }
  std::string ReadLine() {
    std::string line;
    char c;
    pollfd p{FOut, POLLIN, 0};
    while (::poll(&p, 1, 5000) == 1 && ::read(FOut, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  // Everything after the first line, up to the end of the output.
  std::string ReadRest() {
    std::string all;
    char buffer[512];
    pollfd p{FOut, POLLIN, 0};
    ssize_t n;
    while (::poll(&p, 1, 5000) == 1 && (n = ::read(FOut, buffer, sizeof buffer)) > 0) all.append(buffer, n);
    return all;
  }
  std::string Path;

 private:
  pid_t FPid = -1;
  int FOut = -1;
};

}  // namespace kelvo::testing
