// Where kelvo-run writes what runs show: standard output and standard error, shared by the runs of
// several ports. Every line is written whole under one lock, so that the lines of one port are never
// cut by another's. Texts arrive as Windows-1251 and are written as UTF-8, control characters named.
// Threads: any; the lock orders the lines.
#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "app/run_log.h"

namespace kelvo {

class TConsoleOutput {
 public:
  // out takes the log; err the reasons of failures (they may be the same file).
  TConsoleOutput(std::FILE* out, std::FILE* err);

  // Each log line starts with its time ("hh:mm:ss.zzz ").
  void SetTimestamps(bool on) { FTimestamps = on; }
  bool Timestamps() const { return FTimestamps; }
  // True when standard error goes where the log goes (one terminal or file): what the log has
  // shown is not repeated there.
  bool ErrorsJoinOutput() const { return FJoined; }

  // Writes prefix (UTF-8, as given) and the 8-bit text as one line; the text in colour (an escape
  // sequence, or nullptr) when the log goes to a terminal.
  void PrintOut(const std::string& prefix, const std::string& ansiText, const char* colour = nullptr);
  void PrintErr(const std::string& prefix, const std::string& ansiText);
  // A line of UTF-8 text as it is, for tables that are already laid out.
  void PrintOutUtf8(const std::string& utf8Line);

  // --log FILE: every log line is also written to path (created or emptied) as "hh:mm:ss.zzz ",
  // the port's prefix and the text, without colours. False with the system's reason in problem
  // when the file cannot be created.
  bool OpenLogFile(const std::string& path, std::string& problem);
  void WriteLogFile(const std::string& prefix, const TLogEntry& entry);

 private:
  void Write(std::FILE* stream, const std::string& line);

  std::FILE* FOut;
  std::FILE* FErr;
  bool FColour;
  bool FJoined;
  bool FTimestamps = false;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> FLogFile{nullptr, &std::fclose};
  std::mutex FLock;
};

// True when the two streams are the same open file (one terminal, or 2>&1).
bool SameFile(std::FILE* a, std::FILE* b);

}  // namespace kelvo
