#include "run_terminal.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "app/modem_terminal.h"
#include "console_output.h"
#include "console_screen.h"
#include "run_modes.h"
#include "run_signals.h"
#include "text/cp1251.h"

namespace kelvo {

namespace {

// A line of the input (UTF-8), sent; the next waits for its answer, so that what a script of
// commands piped in prints reads as command, answer, command, answer.
void SendTyped(TModemTerminal& terminal, const std::string& line) {
  terminal.Send(Utf8ToAnsi(line));
  terminal.AwaitAnswer();
}

// Reads standard input line by line and hands each line to the terminal, until the input ends or
// the terminal is closed. Threads: its own; it only queues.
void ReadTypedLines(TModemTerminal& terminal, const TRunStop& stop) {
  std::string line;
  for (;;) {
    pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {stop.Signal().Fd(), POLLIN, 0}};
    if (::poll(fds, 2, -1) == -1) {
      if (errno == EINTR) continue;
      break;
    }
    if (stop.Requested()) return;
    char c;
    ssize_t n = ::read(STDIN_FILENO, &c, 1);
    if (n == -1 && errno == EINTR) continue;
    if (n <= 0) break;
    if (c != '\n') {
      line += c;
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    SendTyped(terminal, line);
    line.clear();
  }
  if (!line.empty()) SendTyped(terminal, line);
  terminal.CloseWhenQuiet();
}

}  // namespace

int RunTerminal(const TRunOptions& options) {
  TConsoleOutput output(stdout, stderr);
  output.SetTimestamps(options.Timestamps);
  std::string problem;
  if (!options.LogFile.empty() && !output.OpenLogFile(options.LogFile, problem))
    return Fail(kExitUsage, Utf8ToAnsi(problem));
  TTerminalTurns turns;
  TConsoleScreen screen(output, "", STDIN_FILENO, turns);
  TComPort port;
  TRunStop stop;
  TModemTerminal terminal(screen, port, stop);
  screen.SetStop(stop);
  CatchStopSignalsFor(&stop);
  std::thread reader([&] { ReadTypedLines(terminal, stop); });
  TTerminalResult result = terminal.Run(options.Ports.front(), options.Speed);
  stop.Request();
  reader.join();
  CatchStopSignalsFor(nullptr);
  if (result.Failed && !output.ErrorsJoinOutput()) Fail(kExitRunFailed, result.Message);
  if (result.Failed) return kExitRunFailed;
  // Closed by Ctrl+C or SIGTERM: the shell's convention, as for a run.
  return CaughtSignal() != 0 ? 128 + CaughtSignal() : kExitOk;
}

}  // namespace kelvo
