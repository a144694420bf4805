#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "script/format/format_datetime.h"
#include "script/value/convert_error.h"
#include "text/cp1251.h"

using namespace kelvo;

namespace {

struct TDateCase {
  const char* Picture;
  const char* Expected;  // UTF-8
};

class DateTimePictureTest : public ::testing::TestWithParam<TDateCase> {};

// Tuesday 5 March 2024, 14:07:09.045
TDateTime Sample() {
  return EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    FormatDateTime, DateTimePictureTest,
    ::testing::Values(TDateCase{"dd.mm.yyyy", "05.03.2024"}, TDateCase{"d.m.yy", "5.3.24"},
                      TDateCase{"ddd", "Вт"}, TDateCase{"dddd", "вторник"}, TDateCase{"mmm", "мар"},
                      TDateCase{"mmmm", "Март"}, TDateCase{"hh:mm:ss", "14:07:09"},
                      TDateCase{"h:n:s", "14:7:9"}, TDateCase{"hh:nn", "14:07"}, TDateCase{"zzz", "045"},
                      TDateCase{"z", "45"}, TDateCase{"hh:nn am/pm", "02:07 pm"},
                      TDateCase{"h AM/PM", "2 PM"}, TDateCase{"h a/p", "2 p"}, TDateCase{"H", "14"},
                      TDateCase{"c", "05.03.2024 14:07:09"}, TDateCase{"", "05.03.2024 14:07:09"},
                      TDateCase{"ddddd", "05.03.2024"}, TDateCase{"dddddd", "5 Март 2024"},
                      TDateCase{"t", "14:07"}, TDateCase{"tt", "14:07:09"},
                      TDateCase{"yyyy/mm/dd", "2024.03.05"}, TDateCase{"y", "24"}, TDateCase{"yyy", "2024"},
                      TDateCase{"'Date:' dd", "Date: 05"}, TDateCase{"\"mm\" mm", "mm 03"},
                      TDateCase{"mm hh mm", "03 14 07"}, TDateCase{"hh 'x' mm", "14 x 07"},
                      TDateCase{"MMMM", "Март"}, TDateCase{"[dd]", "[05]"},
                      TDateCase{"'unclosed", "unclosed"}, TDateCase{"ampm", ""}, TDateCase{"a", "a"}));

TEST_P(DateTimePictureTest, GivesTheHandWorkedText) {
  const TDateCase& c = GetParam();
  EXPECT_EQ(AnsiToUtf8(FormatDateTime(c.Picture, Sample(), RussianFormatSettings())), c.Expected)
      << "picture " << c.Picture;
}

TEST(FormatDateTimeRules, TwelveHourClockAroundMidnightAndNoon) {
  TFormatSettings fs = RussianFormatSettings();
  fs.TimeAMString = "AM";
  fs.TimePMString = "PM";
  EXPECT_EQ(FormatDateTime("h am/pm", EncodeTime(0, 5, 0, 0), fs), "12 am");
  EXPECT_EQ(FormatDateTime("h am/pm", EncodeTime(12, 5, 0, 0), fs), "12 pm");
  EXPECT_EQ(FormatDateTime("h:nn ampm", EncodeTime(23, 5, 0, 0), fs), "11:05 PM");
  // An hour after the mark is on the 24-hour clock again.
  EXPECT_EQ(FormatDateTime("h am/pm h", EncodeTime(15, 0, 0, 0), fs), "3 pm 15");
}

TEST(FormatDateTimeRules, DateOnlyValuesLeaveTheTimeOutOfC) {
  EXPECT_EQ(FormatDateTime("c", EncodeDate(1999, 12, 31), RussianFormatSettings()), "31.12.1999");
  EXPECT_EQ(DateTimeToStr(EncodeDate(1999, 12, 31), RussianFormatSettings()), "31.12.1999");
  EXPECT_EQ(DateToStr(Sample(), RussianFormatSettings()), "05.03.2024");
  EXPECT_EQ(TimeToStr(Sample(), RussianFormatSettings()), "14:07:09");
}

TEST(FormatDateTimeRules, SettingsThatNameThemselvesDoNotRecurseForEver) {
  TFormatSettings fs = RussianFormatSettings();
  fs.ShortDateFormat = "c";
  fs.LongTimeFormat = "tt";
  EXPECT_NO_THROW(FormatDateTime("c", Sample(), fs));
  EXPECT_NO_THROW(FormatDateTime("dddddd ddddd tt", Sample(), fs));
}

TEST(FormatDateTimeRules, ValuesOutsideTheCalendarAreErrors) {
  EXPECT_THROW(FormatDateTime("dd", 1e300, RussianFormatSettings()), EConvertError);
  EXPECT_THROW(FormatDateTime("dd", std::nan(""), RussianFormatSettings()), EConvertError);
}

TEST(FormatSettingsDefaults, PlainCLocaleAndUnknownLocalesFallBackToRussian) {
  for (const char* name : {"C", "POSIX", "C.UTF-8", "xx_NOWHERE.UTF-8"}) {
    TFormatSettings fs = FormatSettingsFromLocale(name);
    EXPECT_EQ(fs.DecimalSeparator, ',') << name;
    EXPECT_EQ(fs.ShortDateFormat, "dd.mm.yyyy") << name;
    EXPECT_EQ(fs.LongTimeFormat, "h:nn:ss") << name;
    EXPECT_EQ(AnsiToUtf8(fs.LongMonthNames[0]), "Январь") << name;
  }
}

TEST(FormatSettingsDefaults, LocalePicturesBecomeDateTimePictures) {
  struct {
    const char* Strftime;
    char Mark;
    const char* Picture;
    char Separator;
  } const cases[] = {
      {"%d.%m.%Y", '/', "dd/mm/yyyy", '.'},
      {"%m/%d/%y", '/', "mm/dd/yy", '/'},
      {"%Y-%m-%d", '/', "yyyy/mm/dd", '-'},
      {"%H:%M:%S", ':', "hh:nn:ss", ':'},
      {"%I:%M:%S %p", ':', "hh:nn:ss ampm", ':'},
      {"%-d.%-m.%Y", '/', "d/m/yyyy", '.'},
      {"%e %B %Y", '/', "d mmmm yyyy", ' '},
      {"%T", ':', "hh:nn:ss", ':'},
      {"%x%", '/', "", ' '},
  };
  for (const auto& c : cases) {
    char separator = ' ';
    EXPECT_EQ(StrftimeToPicture(c.Strftime, separator, c.Mark), c.Picture) << c.Strftime;
    EXPECT_EQ(separator, c.Separator) << c.Strftime;
  }
  char separator = ' ';
  // Letters that are not fields are quoted so that FormatDateTime copies them.
  EXPECT_EQ(StrftimeToPicture("%Hh%M", separator, ':'), "hh\"h\"nn");
}

// The C library's newlocale keeps the search path it builds from LOCPATH (glibc's argz list);
// that is its own allocation, not one of ours, so the leak checker is told to let it be.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:__argz_add_sep\nleak:__argz_create_sep\n";
}

// Real locales, compiled from the C library's locale sources into a temporary folder when this
// machine has them (Debian's "locales" package); skipped where it does not.
TEST(FormatSettingsDefaults, RealLocalesGiveTheirConventions) {
  namespace fs = std::filesystem;
  if (!fs::exists("/usr/share/i18n/locales/ru_RU") ||
      std::system("command -v localedef >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "no locale sources or localedef";
  fs::path dir = fs::path(testing::TempDir()) / ("kelvo_locales_" + std::to_string(getpid()));
  fs::create_directories(dir);
  for (const char* name : {"ru_RU", "en_US"}) {
    std::string cmd = std::string("localedef -i ") + name + " -f UTF-8 '" + (dir / name).string() +
                      ".UTF-8' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) GTEST_SKIP() << "localedef failed for " << name;
  }
  setenv("LOCPATH", dir.c_str(), 1);
  TFormatSettings ru = FormatSettingsFromLocale("ru_RU.UTF-8");
  TFormatSettings en = FormatSettingsFromLocale("en_US.UTF-8");
  unsetenv("LOCPATH");
  fs::remove_all(dir);

  EXPECT_EQ(ru.DecimalSeparator, ',');
  EXPECT_EQ(ru.ThousandSeparator, ' ');  // the narrow no-break space has no 1251 form
  EXPECT_EQ(ru.DateSeparator, '.');
  EXPECT_EQ(ru.ShortDateFormat, "dd/mm/yyyy");
  EXPECT_EQ(AnsiToUtf8(ru.ShortDayNames[0]), "Вс");
  EXPECT_EQ(AnsiToUtf8(ru.CurrencyString), "р.");  // the rouble sign has none either

  EXPECT_EQ(en.DecimalSeparator, '.');
  EXPECT_EQ(en.ThousandSeparator, ',');
  EXPECT_EQ(en.DateSeparator, '/');
  EXPECT_EQ(en.ShortDateFormat, "mm/dd/yyyy");
  EXPECT_EQ(en.LongTimeFormat, "hh:nn:ss ampm");
  EXPECT_EQ(en.ShortTimeFormat, "hh:nn ampm");
  EXPECT_EQ(en.LongMonthNames[0], "January");
  EXPECT_EQ(en.CurrencyString, "$");
  TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
  EXPECT_EQ(FormatDateTime("c", t, en), "03/05/2024 02:07:09 PM");
}
