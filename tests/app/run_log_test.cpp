// The log's times and its saved form.
#include <gtest/gtest.h>

#include <ctime>

#include "app/run_log.h"
#include "text/cp1251.h"
#include "xml/temp_dir.h"

using namespace kelvo;

namespace {

// 14:03:07.045 local time today.
TLogTime At(int hour, int minute, int second, int ms) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&local)) + std::chrono::milliseconds(ms);
}

}  // namespace

TEST(RunLog, TimesReadAsLocalHoursMinutesSecondsAndMilliseconds) {
  EXPECT_EQ(FormatLogTime(At(14, 3, 7, 45)), "14:03:07.045");
  EXPECT_EQ(FormatLogTime(At(0, 0, 0, 0)), "00:00:00.000");
  EXPECT_EQ(FormatLogTime(At(23, 59, 59, 999)), "23:59:59.999");
  EXPECT_EQ(LogTimeOfDay(At(14, 3, 7, 45)), ((14 * 60 + 3) * 60 + 7) * 1000 + 45);
}

TEST(RunLog, ASavedLogIsUtf8WithTimePrefixAndTextOneLinePerEntry) {
  std::vector<TLogEntry> log = {
      {At(9, 0, 1, 5), lkInfo, Utf8ToAnsi("поиск модема: /dev/ttyUSB0, 2400 bps")},
      {At(9, 0, 1, 410), lkSent, "> ATZ"},
      {At(9, 0, 1, 412), lkReceived, "< OK"},
      {At(9, 0, 2, 0), lkError, Utf8ToAnsi("выполнение сценария прервано пользователем")},
  };
  kelvo::testing::TempDir dir;
  std::string path = dir.File("log.txt");
  SaveLogFile(path, log);
  EXPECT_EQ(kelvo::testing::ReadBytes(path),
            "09:00:01.005 поиск модема: /dev/ttyUSB0, 2400 bps\n"
            "09:00:01.410 > ATZ\n"
            "09:00:01.412 < OK\n"
            "09:00:02.000 выполнение сценария прервано пользователем\n");
  EXPECT_THROW(SaveLogFile(dir.File("no/such/folder/log.txt"), log), std::exception);
}
