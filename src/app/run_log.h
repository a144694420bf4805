// One line of the execution log as the run writes it: when, what kind, and the text with its prefix;
// and the forms in which the log leaves the program: the time column of the views and the lines of a
// saved log file.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace kelvo {

// The four kinds of execution-log line.
enum TLogKind { lkSent = 0, lkReceived = 1, lkInfo = 2, lkError = 3 };

using TLogTime = std::chrono::system_clock::time_point;

struct TLogEntry {
  TLogTime Time;
  TLogKind Kind = lkInfo;
  std::string Text;  // 8-bit text, the kind's prefix included ("> ATZ")
};

// The time of day in the local time zone as "hh:mm:ss.zzz".
std::string FormatLogTime(TLogTime time);
// Milliseconds since the local midnight, for views that keep the time of a line as a number.
int LogTimeOfDay(TLogTime time);
// A line of a saved log, UTF-8 without its line break: time, a space, the text with its prefix.
std::string SavedLogLine(const TLogEntry& entry);
// The whole log as a saved file holds it: one line per entry, each ended by a line feed.
std::string SavedLogText(const std::vector<TLogEntry>& entries);
// Writes the saved form of the log to path at once; raises the system's reason on failure.
void SaveLogFile(const std::string& path, const std::vector<TLogEntry>& entries);

}  // namespace kelvo
