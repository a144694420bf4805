#include "script/front/xml_value.h"

#include <cmath>
#include <cstdio>

#include "script/front/xml_tree.h"

namespace kelvo {

namespace {

// Day number (days since 30 December 1899, fraction = time of day) as the default date text.
std::string DateText(double value) {
  if (!std::isfinite(value) || std::fabs(value) > 3e6) return FloatToText(value);
  double whole = std::floor(value);
  long long days = static_cast<long long>(whole) - 25569;  // to days since 1970-01-01
  // Civil date from a day count (proleptic Gregorian calendar).
  long long z = days + 719468;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  long long doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long y = yoe + era * 400;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  long long d = doy - (153 * mp + 2) / 5 + 1;
  long long m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02lld.%02lld.%04lld", d, m, y);
  std::string text = buf;
  long long seconds = std::llround((value - whole) * 86400.0);
  if (seconds > 0 && seconds < 86400) {
    std::snprintf(buf, sizeof buf, " %lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    text += buf;
  }
  return text;
}

}  // namespace

std::string ValueToXML(const Variant& value) {
  switch (value.VarType()) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return std::to_string(value.RawInt());
    case varSingle:
    case varDouble:
    case varCurrency:
      return FloatToText(value.RawFloat());
    case varDate:
      return DateText(value.RawFloat());
    case varString:
    case varOleStr:
      return StrToXML(value.RawString());
    case varBoolean:
      return value.RawInt() != 0 ? "1" : "0";
    default:
      return std::string();
  }
}

}  // namespace kelvo
