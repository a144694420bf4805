// The locale conventions that the script runtime's conversions and formats follow: separators,
// date and time formats, day and month names, the currency text. One process-wide value is read
// once from the process locale; the routines also take an explicit value so tests can pin one.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kelvo {

struct TFormatSettings {
  char DecimalSeparator = ',';
  char ThousandSeparator = ' ';
  char DateSeparator = '.';
  char TimeSeparator = ':';
  // Pictures in the FormatDateTime language; "/" and ":" in them stand for the separators above.
  std::string ShortDateFormat = "dd.mm.yyyy";
  std::string LongDateFormat = "d mmmm yyyy";
  std::string ShortTimeFormat = "h:nn";
  std::string LongTimeFormat = "h:nn:ss";
  std::string TimeAMString;
  std::string TimePMString;
  // Windows-1251 texts; index 0 is January, and Sunday for the day names.
  std::array<std::string, 12> ShortMonthNames;
  std::array<std::string, 12> LongMonthNames;
  std::array<std::string, 7> ShortDayNames;
  std::array<std::string, 7> LongDayNames;
  // Money: the currency text, where it goes (0 "$1", 1 "1$", 2 "$ 1", 3 "1 $") and its decimals.
  std::string CurrencyString;
  int CurrencyFormat = 3;
  // Negative money, the runtime's sixteen layouts (0 "($1)" ... 8 "-1 $" ... 15 "(1 $)").
  int NegCurrFormat = 8;
  int CurrencyDecimals = 2;
  // Two-digit years land within this many years before the current year (0: the current century).
  int TwoDigitYearCenturyWindow = 50;
};

// Russian conventions: the fallback when the process locale says nothing useful.
TFormatSettings RussianFormatSettings();

// The conventions of a locale as the C library knows it ("" is the environment's locale).
// A locale that cannot be loaded, or the plain C/POSIX locale, gives the Russian conventions.
TFormatSettings FormatSettingsFromLocale(const char* localeName);

// A strftime picture (as the C library's locale gives it) in the FormatDateTime language. The
// first separator between fields is stored in separator and written as separatorMark ("/" for
// dates, ":" for times); later occurrences of it likewise.
std::string StrftimeToPicture(std::string_view strftimePicture, char& separator, char separatorMark);

// The process-wide value that the script functions use, read from the environment's locale at
// first use.
const TFormatSettings& DefaultFormatSettings();
// Replaces the process-wide value (tests pin the conventions they expect this way).
void SetDefaultFormatSettings(TFormatSettings settings);

}  // namespace kelvo
