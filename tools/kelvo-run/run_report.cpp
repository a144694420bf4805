#include "run_report.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <nlohmann/json.hpp>

#include "app/program_version.h"
#include "text/cp1251.h"

namespace kelvo {

namespace {

using TJson = nlohmann::ordered_json;

const char* ResultName(TRunEnd end) {
  switch (end) {
    case TRunEnd::reCompleted:
      return "completed";
    case TRunEnd::reFailed:
      return "failed";
    case TRunEnd::reStopped:
      return "stopped";
    default:
      return "error";
  }
}

std::string HostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

TJson LogJson(const std::vector<TShownLine>& shown) {
  TJson log = TJson::array();
  for (const TShownLine& line : shown)
    log.push_back({{"time", ReportTime(line.Time)},
                   {"kind", ShownKindName(line.Kind)},
                   {"text", AnsiToUtf8(line.Text)}});
  return log;
}

TJson PortJson(const TPortRun& run, const TConsoleScreen& screen) {
  const TRunResult& r = run.Result;
  TJson port = {{"port", run.PortName},
                {"result", ResultName(r.End)},
                {"succeeded", r.End == TRunEnd::reCompleted},
                {"reason", AnsiToUtf8(r.Message)},
                {"speed", r.DetectedSpeed > 0 ? TJson(r.DetectedSpeed) : TJson(nullptr)},
                {"started", run.Started ? TJson(ReportTime(run.StartTime)) : TJson(nullptr)},
                {"duration_ms", r.Duration.count()}};
  port["log"] = LogJson(screen.Shown());
  return port;
}

}  // namespace

std::string ReportTime(TLogTime time) {
  std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  std::tm local{};
  localtime_r(&seconds, &local);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
  long offset = local.tm_gmtoff / 60;
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02ld:%02ld", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(((ms % 1000) + 1000) % 1000), offset < 0 ? '-' : '+', std::labs(offset) / 60,
                std::labs(offset) % 60);
  return text;
}

// Names and log texts become UTF-8; a port's name is a path as given, and bytes of it that are not
// UTF-8 are replaced rather than making the whole report unwritable.
std::string ReportJson(const TReportHeader& header, const TMultiPortRun* run,
                       const std::vector<const TConsoleScreen*>& screens) {
  TJson doc = {{"program", "kelvo-run"},
               {"version", VersionText(ProgramVersion())},
               {"host", HostName()},
               {"library", header.Library},
               {"modem", AnsiToUtf8(header.Modem)},
               {"script", AnsiToUtf8(header.Script)},
               {"started", ReportTime(header.Started)},
               {"duration_ms", header.Duration.count()},
               {"exit_code", header.ExitCode},
               {"error", header.Error.empty() ? TJson(nullptr) : TJson(AnsiToUtf8(header.Error))}};
  TJson ports = TJson::array();
  for (size_t i = 0; run != nullptr && i < run->Count(); ++i)
    ports.push_back(PortJson(run->Run(i), *screens[i]));
  doc["ports"] = std::move(ports);
  return doc.dump(2, ' ', false, TJson::error_handler_t::replace) + "\n";
}

}  // namespace kelvo
