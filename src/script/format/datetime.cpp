#include "script/format/datetime.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "script/value/convert_error.h"
#include "text/ansi_text.h"

namespace kelvo {

namespace {

constexpr int kDaysBeforeMonth[2][13] = {{0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
                                         {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335}};

// Day number of 1 January year 1 counted from 1 (the runtime's "date delta" base).
int64_t DaysFromEra(int year, int month, int day) {
  int64_t y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400 + kDaysBeforeMonth[IsLeapYear(year)][month] + day;
}

// Splits a count of days from 1 January of year 1 (that day being 1) into year, month and day.
void SplitEraDays(int64_t days, TDateParts& p) {
  constexpr int64_t D1 = 365, D4 = D1 * 4 + 1, D100 = D4 * 25 - 1, D400 = D100 * 4 + 1;
  int64_t t = days - 1;
  int64_t year = 1;
  year += (t / D400) * 400;
  t %= D400;
  int64_t i = t / D100;
  int64_t d = t % D100;
  if (i == 4) {  // the last day of a 400-year cycle
    --i;
    d += D100;
  }
  year += i * 100;
  i = d / D4;
  d %= D4;
  year += i * 4;
  i = d / D1;
  d %= D1;
  if (i == 4) {
    --i;
    d += D1;
  }
  year += i;
  p.Year = static_cast<int>(year);
  bool leap = IsLeapYear(p.Year);
  int month = 1;
  while (month < 12 && d >= kDaysBeforeMonth[leap][month + 1]) ++month;
  p.Month = month;
  p.Day = static_cast<int>(d - kDaysBeforeMonth[leap][month]) + 1;
}

}  // namespace

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kDays[month] + ((month == 2 && IsLeapYear(year)) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  date = static_cast<double>(DaysFromEra(year, month, day) - DateDelta);
  return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
  if (hour < 0 || hour >= 24 || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 || msec >= 1000)
    return false;
  int64_t ms = ((static_cast<int64_t>(hour) * 60 + min) * 60 + sec) * 1000 + msec;
  time = static_cast<double>(ms) / MSecsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) throw EConvertError(SDateEncodeError);
  return d;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime t;
  if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError(STimeEncodeError);
  return t;
}

bool TryDecodeDateTime(TDateTime value, TDateParts& parts) {
  if (!std::isfinite(value) || value < MinDateNumber - 1 || value > MaxDateNumber + 1) return false;
  // Rounded to the millisecond first, so 23:59:59.9999 becomes the next day's midnight.
  int64_t ms = std::llround(value * MSecsPerDay);
  int64_t day = ms / MSecsPerDay;
  int64_t timeMs = std::llabs(ms % MSecsPerDay);
  if (day < MinDateNumber || day > MaxDateNumber) return false;
  SplitEraDays(day + DateDelta, parts);
  parts.Hour = static_cast<int>(timeMs / 3600000);
  parts.Min = static_cast<int>(timeMs / 60000 % 60);
  parts.Sec = static_cast<int>(timeMs / 1000 % 60);
  parts.MSec = static_cast<int>(timeMs % 1000);
  parts.DayOfWeek = static_cast<int>((day + DateDelta) % 7) + 1;
  return true;
}

TDateParts DecodeDateTime(TDateTime value) {
  TDateParts p;
  if (!TryDecodeDateTime(value, p)) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    throw EConvertError(FormatMessage(SInvalidDateTime, {text}));
  }
  return p;
}

int DayOfWeek(TDateTime value) {
  return DecodeDateTime(value).DayOfWeek;
}

TDateTime Now() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), ms);
}

TDateTime Date() {
  return std::floor(Now());
}

TDateTime Time() {
  TDateTime now = Now();
  return now - std::floor(now);
}

}  // namespace kelvo
