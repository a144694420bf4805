// The run of a script on a terminal: log lines on standard output (coloured when it is a terminal,
// with their times when asked), questions asked on the terminal and answered on standard input,
// wait-box texts and messages printed. Texts arrive as Windows-1251 and are written as UTF-8.
// Threads: the run's; only the stop request comes from elsewhere (a signal handler).
#pragma once

#include <cstdio>
#include <string>

#include "app/run_screen.h"
#include "app/run_stop.h"

namespace kelvo {

class TConsoleScreen : public TRunScreen {
 public:
  // in: the descriptor that answers questions; stop: a question waits for an answer or for it.
  TConsoleScreen(std::FILE* out, std::FILE* err, int in, const TRunStop& stop);

  // Each log line starts with its time ("hh:mm:ss.zzz ").
  void SetTimestamps(bool on) { FTimestamps = on; }
  // True when standard error goes where standard output goes (the same terminal or file): what the
  // log has shown is not repeated there.
  bool ErrorsJoinOutput() const { return FJoined; }

  TModalResult MessageBox(const std::string& text, TMsgIcon icon, TMsgButtons buttons) override;
  void SetStatusText(const std::string&) override {}
  void AppendLogLine(const TLogEntry& entry) override;
  bool AskUserString(const std::string& caption, const std::string& message, std::string& answer) override;
  void ShowWaitBox(const std::string& text) override;
  void ShowSearchProgress(int, int, const std::string&) override {}

 private:
  void Print(std::FILE* stream, const std::string& ansiText, const char* colour);
  // A line typed on the input, without its line break; false at its end or when the run stops.
  bool ReadAnswer(std::string& line);

  std::FILE* FOut;
  std::FILE* FErr;
  int FIn;
  const TRunStop& FStop;
  bool FColour;
  bool FJoined;
  bool FTimestamps = false;
};

// True when the two streams are the same open file (one terminal, or 2>&1).
bool SameFile(std::FILE* a, std::FILE* b);

}  // namespace kelvo
