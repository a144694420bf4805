#include "script/value/position.h"

#include <string>

#include "text/exception.h"

namespace kelvo {

namespace {

int ToInt(std::string_view s) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  long long value = 0;
  bool any = false;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9' || value > 2147483647LL) {
      any = false;
      break;
    }
    value = value * 10 + (s[i] - '0');
    any = true;
  }
  if (!any || value > 2147483647LL) throw Exception(FormatMessage("'%s' is not a valid integer value", {s}));
  return static_cast<int>(negative ? -value : value);
}

}  // namespace

TfsPoint fsPosToPoint(std::string_view pos) {
  if (pos.empty()) return {};
  size_t colon = pos.find(':');
  std::string_view line = pos.substr(0, colon);
  std::string_view column = colon == std::string_view::npos ? std::string_view() : pos.substr(colon + 1, 255);
  return TfsPoint{ToInt(column), ToInt(line)};
}

}  // namespace kelvo
