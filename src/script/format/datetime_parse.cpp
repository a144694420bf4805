// Reading dates and times from text by the locale's conventions.
#include <cmath>

#include "script/format/datetime.h"
#include "script/value/convert_error.h"
#include "text/ansi_text.h"

namespace kelvo {

namespace {

enum class TDateOrder { doMDY, doDMY, doYMD };

// The order of the fields is that of the first of d, m, y in the short date picture.
TDateOrder GetDateOrder(std::string_view picture) {
  char quote = 0;
  for (char c : picture) {
    if (quote != 0) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '"' || c == '\'') quote = c;
    switch (c | 0x20) {
      case 'd':
        return TDateOrder::doDMY;
      case 'm':
        return TDateOrder::doMDY;
      case 'y':
        return TDateOrder::doYMD;
      default:
        break;
    }
  }
  return TDateOrder::doDMY;
}

// A reading position over the text; every Scan step either advances past what it matched or
// leaves the position as it was.
class TDateScanner {
 public:
  TDateScanner(std::string_view s, const TFormatSettings& fs) : FText(s), FSettings(fs) {}

  bool AtEnd() {
    ScanBlanks();
    return FPos >= FText.size();
  }
  void ScanBlanks() {
    while (FPos < FText.size() && FText[FPos] == ' ') ++FPos;
  }
  // Up to nine decimal digits after optional blanks; digits counts them.
  bool ScanNumber(int& value, int& digits) {
    ScanBlanks();
    size_t start = FPos;
    int v = 0;
    while (FPos < FText.size() && FText[FPos] >= '0' && FText[FPos] <= '9' && FPos - start < 9)
      v = v * 10 + (FText[FPos++] - '0');
    digits = static_cast<int>(FPos - start);
    if (digits == 0 || (FPos < FText.size() && FText[FPos] >= '0' && FText[FPos] <= '9')) {
      FPos = start;
      return false;
    }
    value = v;
    return true;
  }
  bool ScanChar(char c) {
    ScanBlanks();
    if (FPos < FText.size() && FText[FPos] == c) {
      ++FPos;
      return true;
    }
    return false;
  }
  // A word, compared without regard to case; an empty word never matches.
  bool ScanString(std::string_view word) {
    ScanBlanks();
    if (word.empty() || FText.size() - FPos < word.size()) return false;
    if (!AnsiSameText(FText.substr(FPos, word.size()), word)) return false;
    FPos += word.size();
    return true;
  }
  size_t Pos() const { return FPos; }
  void SetPos(size_t pos) { FPos = pos; }
  const TFormatSettings& Settings() const { return FSettings; }

 private:
  std::string_view FText;
  const TFormatSettings& FSettings;
  size_t FPos = 0;
};

int CurrentYear() {
  TDateParts now;
  TryDecodeDateTime(Now(), now);
  return now.Year;
}

// A year of one or two digits lands in the window of years before the current one.
int ExpandYear(int year, int digits, int window) {
  if (digits > 2) return year;
  int centuryBase = CurrentYear() - window;
  year += centuryBase / 100 * 100;
  if (window > 0 && year < centuryBase) year += 100;
  return year;
}

// date -> number sep number [sep number]
bool ScanDate(TDateScanner& sc, TDateTime& date) {
  const TFormatSettings& fs = sc.Settings();
  size_t start = sc.Pos();
  int n1, n2, n3 = 0, l1, l2, l3 = 0;
  if (!(sc.ScanNumber(n1, l1) && sc.ScanChar(fs.DateSeparator) && sc.ScanNumber(n2, l2))) {
    sc.SetPos(start);
    return false;
  }
  bool hasYear = false;
  if (sc.ScanChar(fs.DateSeparator)) {
    if (!sc.ScanNumber(n3, l3)) {
      sc.SetPos(start);
      return false;
    }
    hasYear = true;
  }
  int y, m, d, yearDigits;
  TDateOrder order = GetDateOrder(fs.ShortDateFormat);
  if (!hasYear) {
    y = CurrentYear();
    yearDigits = 4;
    if (order == TDateOrder::doDMY) {
      d = n1;
      m = n2;
    } else {
      m = n1;
      d = n2;
    }
  } else if (order == TDateOrder::doMDY) {
    m = n1, d = n2, y = n3, yearDigits = l3;
  } else if (order == TDateOrder::doDMY) {
    d = n1, m = n2, y = n3, yearDigits = l3;
  } else {
    y = n1, m = n2, d = n3, yearDigits = l1;
  }
  y = ExpandYear(y, yearDigits, fs.TwoDigitYearCenturyWindow);
  if (!TryEncodeDate(y, m, d, date)) {
    sc.SetPos(start);
    return false;
  }
  return true;
}

// time -> [am/pm] hour [sep minute [sep second [decimal msec]]] [am/pm]
bool ScanTime(TDateScanner& sc, TDateTime& time) {
  const TFormatSettings& fs = sc.Settings();
  auto scanHalf = [&](int& baseHour) {
    if (sc.ScanString(fs.TimeAMString) || sc.ScanString("AM")) {
      baseHour = 0;
    } else if (sc.ScanString(fs.TimePMString) || sc.ScanString("PM")) {
      baseHour = 12;
    }
  };
  int baseHour = -1;
  scanHalf(baseHour);
  int hour, min = 0, sec = 0, msec = 0, digits;
  if (!sc.ScanNumber(hour, digits)) return false;
  if (sc.ScanChar(fs.TimeSeparator)) {
    if (!sc.ScanNumber(min, digits)) return false;
    if (sc.ScanChar(fs.TimeSeparator)) {
      if (!sc.ScanNumber(sec, digits)) return false;
      if (sc.ScanChar(fs.DecimalSeparator) && !sc.ScanNumber(msec, digits)) return false;
    }
  }
  if (baseHour < 0) scanHalf(baseHour);
  if (baseHour >= 0) {
    if (hour == 0 || hour > 12) return false;
    if (hour == 12) hour = 0;
    hour += baseHour;
  }
  return TryEncodeTime(hour, min, sec, msec, time);
}

[[noreturn]] void RaiseConvert(const char* pattern, std::string_view s) {
  throw EConvertError(FormatMessage(pattern, {s}));
}

}  // namespace

bool TryStrToDate(std::string_view s, TDateTime& value, const TFormatSettings& fs) {
  TDateScanner sc(s, fs);
  TDateTime d;
  if (!ScanDate(sc, d) || !sc.AtEnd()) return false;
  value = d;
  return true;
}

bool TryStrToTime(std::string_view s, TDateTime& value, const TFormatSettings& fs) {
  TDateScanner sc(s, fs);
  TDateTime t;
  if (!ScanTime(sc, t) || !sc.AtEnd()) return false;
  value = t;
  return true;
}

bool TryStrToDateTime(std::string_view s, TDateTime& value, const TFormatSettings& fs) {
  TDateScanner sc(s, fs);
  TDateTime d, t = 0;
  if (ScanDate(sc, d) && (sc.AtEnd() || (ScanTime(sc, t) && sc.AtEnd()))) {
    // Before day 0 the time counts away from zero, as the day number's fraction does.
    value = d >= 0 ? d + t : d - t;
    return true;
  }
  return TryStrToTime(s, value, fs);
}

TDateTime StrToDate(std::string_view s, const TFormatSettings& fs) {
  TDateTime v;
  if (!TryStrToDate(s, v, fs)) RaiseConvert(SInvalidDate, s);
  return v;
}

TDateTime StrToTime(std::string_view s, const TFormatSettings& fs) {
  TDateTime v;
  if (!TryStrToTime(s, v, fs)) RaiseConvert(SInvalidTime, s);
  return v;
}

TDateTime StrToDateTime(std::string_view s, const TFormatSettings& fs) {
  TDateTime v;
  if (!TryStrToDateTime(s, v, fs)) RaiseConvert(SInvalidDateTime, s);
  return v;
}

}  // namespace kelvo
