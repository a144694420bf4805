// The logs of every run kept on disk ("Сохранять протоколы всех запусков"): one file per run in the
// user's state folder, named by the run's start, modem and script, written line by line as the run
// logs (so a long run costs no memory and a crash loses nothing), the newest files kept.
// Threads: a TRunLogFile belongs to the thread that logs (the window's); the free functions are pure
// or touch only the folder they are given.
#pragma once

#include <cstddef>
#include <string>

#include "app/run_log.h"
#include "serial/unix_fd.h"

namespace kelvo {

// How many run logs the folder keeps.
inline constexpr size_t kKeptRunLogs = 1000;

// $XDG_STATE_HOME/kelvo/logs, or ~/.local/state/kelvo/logs when XDG_STATE_HOME is unset or not an
// absolute path; empty when neither variable says where the home is.
std::string RunLogFolder();

// "2026-12-09_14-03-07.045 Modem - Script.log" (UTF-8): the local start time first, so that the
// names sort in the order of the runs; modem and script are 8-bit names, made safe for a file name
// ("/", control characters and the characters other systems refuse become "_") and cut to 60 bytes.
std::string RunLogFileName(TLogTime start, const std::string& modem, const std::string& script);

// Removes the oldest run logs (*.log, oldest by name) of folder until at most keep remain. A folder
// that cannot be read is left alone.
void PruneRunLogs(const std::string& folder, size_t keep);

class TRunLogFile {
 public:
  // Creates folder (and its parents) and a new file there named by RunLogFileName; an existing name
  // gets " (2)", " (3)", ... before ".log". Raises Exception with the system's reason.
  void Open(const std::string& folder, TLogTime start, const std::string& modem, const std::string& script);
  // Appends the entry as a saved log's line. False when the write failed; the file is then closed
  // and nothing more is written to it.
  bool Append(const TLogEntry& entry);
  void Close() { FFd.Reset(); }
  bool IsOpen() const { return FFd.Valid(); }
  const std::string& Path() const { return FPath; }

 private:
  TUniqueFd FFd;
  std::string FPath;
};

}  // namespace kelvo
