#include <chrono>
#include <cmath>

#include <gtest/gtest.h>

#include "script/convert_message.h"
#include "script/format/datetime.h"
#include "script/value/convert_error.h"

using namespace kelvo;
using kelvo::testing::ConvertMessage;

namespace {

// Day number of a civil date by the standard library's calendar, as an independent reference.
double ReferenceDayNumber(int y, int m, int d) {
  using namespace std::chrono;
  sys_days day = year{y} / month{static_cast<unsigned>(m)} / static_cast<unsigned>(d);
  return static_cast<double>(day.time_since_epoch().count() + 25569);  // 1970-01-01 is day 25569
}

}  // namespace

TEST(DateArithmetic, EveryDayFrom1900To2100RoundTripsAndMatchesTheCalendar) {
  using namespace std::chrono;
  double expectedNumber = EncodeDate(1900, 1, 1);
  for (sys_days day = sys_days{year{1900} / January / 1}; day <= sys_days{year{2100} / December / 31};
       day += days{1}) {
    year_month_day ymd{day};
    int y = static_cast<int>(ymd.year()), m = static_cast<unsigned>(ymd.month()),
        d = static_cast<unsigned>(ymd.day());
    double number = EncodeDate(y, m, d);
    ASSERT_EQ(number, expectedNumber) << y << "-" << m << "-" << d;
    ASSERT_EQ(number, ReferenceDayNumber(y, m, d));
    TDateParts p = DecodeDateTime(number + 0.5);
    ASSERT_EQ(p.Year, y);
    ASSERT_EQ(p.Month, m);
    ASSERT_EQ(p.Day, d);
    ASSERT_EQ(p.Hour, 12);
    ASSERT_EQ(p.DayOfWeek, static_cast<int>(weekday{day}.c_encoding()) + 1);
    expectedNumber += 1;
  }
}

TEST(DateArithmetic, DayZeroIsTheThirtiethOfDecember1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), static_cast<double>(MinDateNumber));
  EXPECT_EQ(EncodeDate(9999, 12, 31), static_cast<double>(MaxDateNumber));
  EXPECT_EQ(DayOfWeek(0), 7);  // a Saturday
  EXPECT_EQ(DayOfWeek(1), 1);
}

TEST(DateArithmetic, ImpossibleDatesAndTimesAreEncodingErrors) {
  for (auto [y, m, d] : {std::tuple{1900, 2, 29},
                         {2023, 13, 1},
                         {2023, 0, 1},
                         {2023, 4, 31},
                         {0, 1, 1},
                         {10000, 1, 1},
                         {2023, 1, 0}}) {
    EXPECT_EQ(ConvertMessage([&] { EncodeDate(y, m, d); }), "Invalid argument to date encode");
  }
  EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
  for (auto [h, n, s, ms] :
       {std::tuple{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}}) {
    EXPECT_EQ(ConvertMessage([&] { EncodeTime(h, n, s, ms); }), "Invalid argument to time encode");
  }
}

TEST(DateArithmetic, TimesEncodeAsFractionsOfADay) {
  EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  TDateParts p = DecodeDateTime(EncodeTime(23, 59, 59, 999));
  EXPECT_EQ(p.Hour, 23);
  EXPECT_EQ(p.Min, 59);
  EXPECT_EQ(p.Sec, 59);
  EXPECT_EQ(p.MSec, 999);
}

TEST(DateArithmetic, DecodingRoundsToTheMillisecondAndCarriesIntoTheNextDay) {
  TDateParts p = DecodeDateTime(0.99999999999);
  EXPECT_EQ(p.Day, 31);
  EXPECT_EQ(p.Hour, 0);
}

TEST(DateArithmetic, BeforeDayZeroTheTimeCountsAwayFromZero) {
  TDateParts p = DecodeDateTime(-1.25);
  EXPECT_EQ(p.Year, 1899);
  EXPECT_EQ(p.Month, 12);
  EXPECT_EQ(p.Day, 29);
  EXPECT_EQ(p.Hour, 6);
}

TEST(DateArithmetic, ValuesOutsideTheCalendarAreErrorsNotGarbage) {
  TDateParts p;
  EXPECT_FALSE(TryDecodeDateTime(NAN, p));
  EXPECT_FALSE(TryDecodeDateTime(INFINITY, p));
  EXPECT_FALSE(TryDecodeDateTime(1e300, p));
  EXPECT_FALSE(TryDecodeDateTime(MaxDateNumber + 1.0, p));
  EXPECT_FALSE(TryDecodeDateTime(MinDateNumber - 1.0, p));
  EXPECT_EQ(ConvertMessage([] { DecodeDateTime(3e6); }), "'3000000' is not a valid date and time");
}

TEST(DateArithmetic, CalendarRules) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(2023));
  const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(DaysInMonth(2023, m), days[m - 1]);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 0), 0);
  EXPECT_EQ(DaysInMonth(2000, 13), 0);
}

TEST(DateClock, NowIsTodayPlusTheTime) {
  double now = Now();
  EXPECT_GT(now, EncodeDate(2020, 1, 1));
  EXPECT_EQ(Date(), std::floor(Date()));
  double t = Time();
  EXPECT_GE(t, 0.0);
  EXPECT_LT(t, 1.0);
}

class DateParsing : public ::testing::Test {
 protected:
  TFormatSettings fs = RussianFormatSettings();
  int ThisYear() { return DecodeDateTime(Now()).Year; }
};

TEST_F(DateParsing, ReadsDayMonthYearByTheShortDateFormat) {
  EXPECT_EQ(StrToDate("15.03.2024", fs), EncodeDate(2024, 3, 15));
  EXPECT_EQ(StrToDate(" 1.2.2003 ", fs), EncodeDate(2003, 2, 1));
  EXPECT_EQ(StrToDate("15.03", fs), EncodeDate(ThisYear(), 3, 15));
  fs.ShortDateFormat = "mm/dd/yyyy";
  fs.DateSeparator = '/';
  EXPECT_EQ(StrToDate("03/15/2024", fs), EncodeDate(2024, 3, 15));
  fs.ShortDateFormat = "yyyy-mm-dd";
  fs.DateSeparator = '-';
  EXPECT_EQ(StrToDate("2024-03-15", fs), EncodeDate(2024, 3, 15));
}

TEST_F(DateParsing, TwoDigitYearsLandInTheWindowBeforeThisYear) {
  int y = ThisYear();
  int twoDigits = (y + 10) % 100;
  double d = StrToDate("01.01." + std::to_string(twoDigits), fs);
  EXPECT_EQ(DecodeDateTime(d).Year, y + 10);
  twoDigits = (y - 60 + 100) % 100;
  d = StrToDate("01.01." + std::to_string(twoDigits), fs);
  EXPECT_EQ(DecodeDateTime(d).Year, y + 40);
}

TEST_F(DateParsing, BadDatesNameTheText) {
  for (const char* bad : {"31.02.2024", "15.03.2024x", "", " ", "15", "15.", "15.03.", "a.b.c",
                          "1234567890123.1.1", "15..2024", "15.03.2024 12:00"}) {
    EXPECT_EQ(ConvertMessage([&] { StrToDate(bad, fs); }), std::string("'") + bad + "' is not a valid date");
  }
}

TEST_F(DateParsing, ReadsTimesWithOptionalSecondsMillisecondsAndHalfDay) {
  EXPECT_DOUBLE_EQ(StrToTime("13:45", fs), EncodeTime(13, 45, 0, 0));
  EXPECT_DOUBLE_EQ(StrToTime("13:45:30", fs), EncodeTime(13, 45, 30, 0));
  EXPECT_DOUBLE_EQ(StrToTime("1:02:03,456", fs), EncodeTime(1, 2, 3, 456));
  EXPECT_DOUBLE_EQ(StrToTime("1:30 PM", fs), EncodeTime(13, 30, 0, 0));
  EXPECT_DOUBLE_EQ(StrToTime("12:10 am", fs), EncodeTime(0, 10, 0, 0));
  EXPECT_DOUBLE_EQ(StrToTime("12", fs), EncodeTime(12, 0, 0, 0));
  for (const char* bad : {"25:00", "12:60", "13:00 PM", "", "12:", "1:2:3:4", "noon"}) {
    EXPECT_EQ(ConvertMessage([&] { StrToTime(bad, fs); }), std::string("'") + bad + "' is not a valid time");
  }
}

TEST_F(DateParsing, ReadsDateAndTimeTogetherOrEitherAlone) {
  EXPECT_DOUBLE_EQ(StrToDateTime("15.03.2024 13:45:30", fs),
                   EncodeDate(2024, 3, 15) + EncodeTime(13, 45, 30, 0));
  EXPECT_DOUBLE_EQ(StrToDateTime("15.03.2024", fs), EncodeDate(2024, 3, 15));
  EXPECT_DOUBLE_EQ(StrToDateTime("13:45", fs), EncodeTime(13, 45, 0, 0));
  EXPECT_DOUBLE_EQ(StrToDateTime("29.12.1899 06:00", fs), -1.25);
  EXPECT_EQ(ConvertMessage([&] { StrToDateTime("15.03.2024 25:00", fs); }),
            "'15.03.2024 25:00' is not a valid date and time");
}
