#include "app/run_log.h"

#include <cstdio>
#include <ctime>

#include "text/cp1251.h"
#include "xml/safe_file.h"

namespace kelvo {

namespace {

std::tm LocalTime(TLogTime time) {
  std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  std::tm local{};
  localtime_r(&seconds, &local);
  return local;
}

int Milliseconds(TLogTime time) {
  auto sinceEpoch = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch());
  return static_cast<int>(((sinceEpoch.count() % 1000) + 1000) % 1000);
}

}  // namespace

std::string FormatLogTime(TLogTime time) {
  std::tm local = LocalTime(time);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                Milliseconds(time));
  return text;
}

int LogTimeOfDay(TLogTime time) {
  std::tm local = LocalTime(time);
  return ((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec) * 1000 + Milliseconds(time);
}

std::string SavedLogLine(const TLogEntry& entry) {
  return FormatLogTime(entry.Time) + " " + AnsiToUtf8(entry.Text);
}

std::string SavedLogText(const std::vector<TLogEntry>& entries) {
  std::string text;
  for (const TLogEntry& entry : entries) text += SavedLogLine(entry) + "\n";
  return text;
}

void SaveLogFile(const std::string& path, const std::vector<TLogEntry>& entries) {
  WriteFileAtomically(path, SavedLogText(entries));
}

}  // namespace kelvo
