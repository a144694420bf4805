// kelvo-run started in the background, as a user starts it on a terminal, for tests that act while
// it runs (signals). KELVO_RUN_PATH names the program.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace kelvo::testing {

// kelvo-run with its output and errors on one pipe; its input is empty, or (withInput) a pipe that
// Type writes to and that stays open until the program ends.
class TBackgroundRun {
 public:
  explicit TBackgroundRun(std::vector<std::string> args, bool withInput = false) {
    int out[2], in[2] = {-1, -1};
    if (::pipe(out) != 0 || (withInput && ::pipe(in) != 0)) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, out[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    if (withInput) {
      posix_spawn_file_actions_adddup2(&actions, in[0], 0);
      posix_spawn_file_actions_addclose(&actions, in[1]);
    } else {
      posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    }
    args.insert(args.begin(), KELVO_RUN_PATH);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&FPid, KELVO_RUN_PATH, &actions, nullptr, argv.data(), environ) != 0)
      throw std::runtime_error("spawn");
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    FOut = out[0];
    if (withInput) {
      ::close(in[0]);
      FIn = in[1];
    }
  }
  ~TBackgroundRun() {
    if (FPid > 0) {
      ::kill(FPid, SIGKILL);
      ::waitpid(FPid, nullptr, 0);
    }
    ::close(FOut);
    if (FIn != -1) ::close(FIn);
  }
  // Writes text to the program's input (withInput only).
  void Type(const std::string& text) {
    if (::write(FIn, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
      throw std::runtime_error("write");
  }
  // Waits for the end without a signal: the exit code, or -1 when it did not exit normally.
  int Wait() {
    int status = 0;
    ::waitpid(FPid, &status, 0);
    FPid = -1;
    WaitFor("\x01");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Reads the output until it holds text; false after 30 s or at its end.
  bool WaitFor(const std::string& text) {
    pollfd p{FOut, POLLIN, 0};
    char buffer[256];
    while (Output.find(text) == std::string::npos) {
      if (::poll(&p, 1, 30000) != 1) return false;
      ssize_t n = ::read(FOut, buffer, sizeof buffer);
      if (n <= 0) return false;
      Output.append(buffer, static_cast<size_t>(n));
    }
    return true;
  }
  // Sends signal and waits for the end: the exit code and the milliseconds it took.
  std::pair<int, long> Signal(int signal) {
    auto start = std::chrono::steady_clock::now();
    ::kill(FPid, signal);
    int status = 0;
    ::waitpid(FPid, &status, 0);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    FPid = -1;
    WaitFor("\x01");  // the rest of the output, up to its end
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, static_cast<long>(ms.count())};
  }
  std::string Output;

 private:
  pid_t FPid = -1;
  int FOut = -1;
  int FIn = -1;
};

}  // namespace kelvo::testing
