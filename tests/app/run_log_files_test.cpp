// The logs of every run on disk: where they go, how their files are named, what they hold, and
// that the folder keeps only the newest.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "app/run_log_files.h"
#include "text/cp1251.h"
#include "xml/temp_dir.h"

using namespace kelvo;
using kelvo::testing::ReadBytes;
using kelvo::testing::TempDir;
using kelvo::testing::WriteBytes;

namespace {

TLogTime At(int year, int month, int day, int hour, int minute, int second, int ms) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&local)) + std::chrono::milliseconds(ms);
}

// Sets an environment variable for one test and puts the old value back.
class TEnv {
 public:
  TEnv(const char* name, const char* value) : FName(name) {
    const char* old = std::getenv(name);
    if (old != nullptr) FOld = old, FHad = true;
    if (value != nullptr)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~TEnv() {
    if (FHad)
      ::setenv(FName, FOld.c_str(), 1);
    else
      ::unsetenv(FName);
  }

 private:
  const char* FName;
  std::string FOld;
  bool FHad = false;
};

}  // namespace

TEST(RunLogFiles, TheFolderIsTheStateHomesOrTheDefaultBelowHome) {
  TEnv home("HOME", "/home/anna");
  {
    TEnv state("XDG_STATE_HOME", "/var/state/anna");
    EXPECT_EQ(RunLogFolder(), "/var/state/anna/kelvo/logs");
  }
  {
    TEnv state("XDG_STATE_HOME", nullptr);
    EXPECT_EQ(RunLogFolder(), "/home/anna/.local/state/kelvo/logs");
  }
  {
    TEnv state("XDG_STATE_HOME", "relative/path");  // not absolute: ignored, as the standard says
    EXPECT_EQ(RunLogFolder(), "/home/anna/.local/state/kelvo/logs");
  }
}

TEST(RunLogFiles, NamesStartWithTheLocalTimeAndCarryModemAndScriptMadeSafe) {
  TLogTime start = At(2026, 12, 9, 14, 3, 7, 45);
  EXPECT_EQ(RunLogFileName(start, Utf8ToAnsi("ZyXEL U-336E"), Utf8ToAnsi("Инициализация")),
            "2026-12-09_14-03-07.045 ZyXEL U-336E - Инициализация.log");
  EXPECT_EQ(RunLogFileName(start, "a/b\\c:d*e?f\"g<h>i|j", std::string("t\tab\x01")),
            "2026-12-09_14-03-07.045 a_b_c_d_e_f_g_h_i_j - t_ab_.log");
  // A name of dots cannot climb out of the folder or hide the file; an empty one still shows.
  EXPECT_EQ(RunLogFileName(start, "..", ""), "2026-12-09_14-03-07.045 _.. - _.log");
  // Long names are cut before they are converted, so no character is cut in half.
  std::string longName(100, '\xC6');  // "Ж" in Windows-1251, two bytes in UTF-8
  std::string name = RunLogFileName(start, longName, "s");
  EXPECT_EQ(name, "2026-12-09_14-03-07.045 " + AnsiToUtf8(std::string(60, '\xC6')) + " - s.log");
  // The names sort in the order of the runs.
  EXPECT_LT(RunLogFileName(At(2026, 12, 9, 9, 59, 59, 999), "z", "z"), RunLogFileName(start, "a", "a"));
}

TEST(RunLogFiles, AFileGetsEveryLineAsItIsLoggedAndASecondRunOfTheSameMomentAFileOfItsOwn) {
  TempDir dir;
  std::string folder = dir.File("state/kelvo/logs");  // created with its parents
  TLogTime start = At(2026, 12, 9, 9, 0, 1, 5);
  TRunLogFile file;
  file.Open(folder, start, "Modem", Utf8ToAnsi("Сброс"));
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Path(), folder + "/2026-12-09_09-00-01.005 Modem - Сброс.log");
  EXPECT_TRUE(file.Append({start, lkSent, "> ATZ"}));
  // Each line is on disk once it is appended, before the run ends.
  EXPECT_EQ(ReadBytes(file.Path()), "09:00:01.005 > ATZ\n");
  EXPECT_TRUE(file.Append({start + std::chrono::milliseconds(400), lkReceived, "< OK"}));
  EXPECT_TRUE(file.Append(
      {start + std::chrono::milliseconds(401), lkInfo, Utf8ToAnsi("сценарий выполнен за 0,4 с")}));
  file.Close();
  EXPECT_EQ(ReadBytes(folder + "/2026-12-09_09-00-01.005 Modem - Сброс.log"),
            "09:00:01.005 > ATZ\n09:00:01.405 < OK\n09:00:01.406 сценарий выполнен за 0,4 с\n");
  EXPECT_FALSE(file.Append({start, lkSent, "> AT"}));

  TRunLogFile again;
  again.Open(folder, start, "Modem", Utf8ToAnsi("Сброс"));
  EXPECT_EQ(again.Path(), folder + "/2026-12-09_09-00-01.005 Modem - Сброс (2).log");
  EXPECT_EQ(ReadBytes(folder + "/2026-12-09_09-00-01.005 Modem - Сброс.log"),
            "09:00:01.005 > ATZ\n09:00:01.405 < OK\n09:00:01.406 сценарий выполнен за 0,4 с\n");  // untouched
}

TEST(RunLogFiles, AFolderThatCannotBeMadeIsReportedWithItsPath) {
  TempDir dir;
  WriteBytes(dir.File("file"), "x");
  TRunLogFile file;
  try {
    file.Open(dir.File("file/logs"), At(2026, 1, 1, 0, 0, 0, 0), "m", "s");
    FAIL() << "no error";
  } catch (const std::exception& e) {
    EXPECT_NE(std::string(e.what()).find(dir.File("file/logs")), std::string::npos) << e.what();
  }
  EXPECT_FALSE(file.IsOpen());
}

TEST(RunLogFiles, PruningKeepsTheNewestLogsAndLeavesOtherFilesAlone) {
  TempDir dir;
  for (int i = 0; i < 12; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "2026-12-%02d_10-00-00.000 m - s.log", i + 1);
    WriteBytes(dir.File(name), "x");
  }
  WriteBytes(dir.File("notes.txt"), "mine");
  PruneRunLogs(dir.Path().string(), 5);
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{
                      "2026-12-08_10-00-00.000 m - s.log", "2026-12-09_10-00-00.000 m - s.log",
                      "2026-12-10_10-00-00.000 m - s.log", "2026-12-11_10-00-00.000 m - s.log",
                      "2026-12-12_10-00-00.000 m - s.log", "notes.txt"}));
  PruneRunLogs(dir.File("missing"), 5);  // nothing to do, no error
  EXPECT_EQ(kKeptRunLogs, 1000u);
}
