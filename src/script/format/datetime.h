// Dates and times of the script runtime: a date is a floating-point day number whose whole part
// counts days from 30 December 1899 and whose fraction is the time of day. Encoding, decoding,
// calendar rules, the clock, and reading dates and times from text by the locale's conventions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "script/format/format_settings.h"

namespace kelvo {

using TDateTime = double;

inline constexpr int64_t MSecsPerDay = 86400000;
// Days from 1 January of year 1 to 30 December 1899, the day numbered 0.
inline constexpr int64_t DateDelta = 693594;
// Day numbers of 1 January 0001 and 31 December 9999, the range of the calendar.
inline constexpr int64_t MinDateNumber = -693593;
inline constexpr int64_t MaxDateNumber = 2958465;

bool IsLeapYear(int year);
// 28 to 31 for months 1 to 12; 0 for any other month.
int DaysInMonth(int year, int month);

bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
// Raise EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);

// The parts of a day number, split as the runtime does: the day is the whole part (toward zero),
// the time is the fraction's absolute value, both after rounding to the millisecond.
struct TDateParts {
  int Year = 0, Month = 0, Day = 0;
  int Hour = 0, Min = 0, Sec = 0, MSec = 0;
  int DayOfWeek = 0;  // 1 for Sunday to 7 for Saturday
};
// False when the value is not a number or its day lies outside years 1 to 9999.
bool TryDecodeDateTime(TDateTime value, TDateParts& parts);
// Raises EConvertError naming the value when it is outside the calendar.
TDateParts DecodeDateTime(TDateTime value);

// 1 for Sunday to 7 for Saturday.
int DayOfWeek(TDateTime value);

// The clock, in local time.
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Reading by the settings' short date format (its order of day, month and year) and separators.
// The Try forms return false; the others raise EConvertError naming the text.
bool TryStrToDate(std::string_view s, TDateTime& value, const TFormatSettings& fs);
bool TryStrToTime(std::string_view s, TDateTime& value, const TFormatSettings& fs);
bool TryStrToDateTime(std::string_view s, TDateTime& value, const TFormatSettings& fs);
TDateTime StrToDate(std::string_view s, const TFormatSettings& fs);
TDateTime StrToTime(std::string_view s, const TFormatSettings& fs);
TDateTime StrToDateTime(std::string_view s, const TFormatSettings& fs);

}  // namespace kelvo
