// The report of a run as one JSON document for machines (Ansible, a workshop's records): what ran,
// when, and per port the result, its reason, the speed found, the time taken and the whole log.
// Its shape is documented in the README and checked against tools/kelvo-run/report.schema.json.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "app/multi_port_run.h"
#include "console_screen.h"

namespace kelvo {

// What the report says about the run as a whole. Texts are 8-bit, as the library holds them, except
// Library (a path, as given).
struct TReportHeader {
  std::string Library, Modem, Script;
  TLogTime Started;
  std::chrono::milliseconds Duration{};
  int ExitCode = 0;
  std::string Error;  // why no port ran (a compilation error); empty when they ran
};

// "2026-12-09T08:05:06.123+03:00": the local time with milliseconds and the zone's offset.
std::string ReportTime(TLogTime time);

// The document, indented by two spaces. screens[i] is the screen of run.Run(i); run may be null
// when no port ran.
std::string ReportJson(const TReportHeader& header, const TMultiPortRun* run,
                       const std::vector<const TConsoleScreen*>& screens);

}  // namespace kelvo
