// kelvo-run's report: times with the zone's offset, and the document of a run that never reached a
// port.
#include "run_report.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <nlohmann/json.hpp>

#include "text/cp1251.h"

namespace kelvo {
namespace {

// Sets the process's time zone for one test, as a POSIX TZ text that needs no zone files.
class TZone {
 public:
  explicit TZone(const char* tz) {
    if (const char* old = std::getenv("TZ")) FSaved = old;
    ::setenv("TZ", tz, 1);
    ::tzset();
  }
  ~TZone() {
    if (FSaved.empty())
      ::unsetenv("TZ");
    else
      ::setenv("TZ", FSaved.c_str(), 1);
    ::tzset();
  }

 private:
  std::string FSaved;
};

TLogTime At(long long ms) {
  return TLogTime(std::chrono::milliseconds(ms));
}

TEST(RunReport, TimesAreLocalWithMillisecondsAndTheZonesOffset) {
  {
    TZone zone("MSK-3");
    EXPECT_EQ(ReportTime(At(86'400'000LL * 365 + 1'234)), "1971-01-01T03:00:01.234+03:00");
  }
  {
    TZone zone("NST+3:30");
    EXPECT_EQ(ReportTime(At(7)), "1969-12-31T20:30:00.007-03:30");
  }
}

TEST(RunReport, ACompilationErrorIsTheReportsErrorWithNoPorts) {
  TReportHeader header;
  header.Library = "/lib/kelvo.xml";
  header.Modem = Utf8ToAnsi("Модем");
  header.Script = Utf8ToAnsi("Сценарий");
  header.Started = std::chrono::system_clock::now();
  header.Duration = std::chrono::milliseconds(12);
  header.ExitCode = 2;
  header.Error = "2:5: Expression expected";
  auto doc = nlohmann::json::parse(ReportJson(header, nullptr, {}));
  EXPECT_EQ(doc["modem"], "Модем");
  EXPECT_EQ(doc["script"], "Сценарий");
  EXPECT_EQ(doc["library"], "/lib/kelvo.xml");
  EXPECT_EQ(doc["exit_code"], 2);
  EXPECT_EQ(doc["duration_ms"], 12);
  EXPECT_EQ(doc["error"], "2:5: Expression expected");
  EXPECT_TRUE(doc["ports"].is_array() && doc["ports"].empty());
  header.Error.clear();
  EXPECT_TRUE(nlohmann::json::parse(ReportJson(header, nullptr, {}))["error"].is_null());
}

}  // namespace
}  // namespace kelvo
