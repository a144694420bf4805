#include <cmath>

#include <gtest/gtest.h>

#include "script/fs_convert_error.h"
#include "script/fs_format_datetime.h"
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
