#include "script/format/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "script/format/format_float.h"
#include "script/value/convert_error.h"

namespace kelvo {

bool TryStrToFloat(std::string_view s, double& value, const TFormatSettings& fs) {
  // The text is copied into C form with "." so that from_chars, which ignores the process locale,
  // does the rounding.
  std::string c;
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') c += '-';
    ++i;
  }
  int digits = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    if (s[i] >= '0' && s[i] <= '9') {
      c += s[i];
      ++digits;
    } else if (s[i] == fs.DecimalSeparator && !point) {
      c += '.';
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    c += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) c += s[i++];
    int expDigits = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++expDigits) c += s[i];
    if (expDigits == 0) return false;
  }
  while (i < s.size() && s[i] == ' ') ++i;
  if (i != s.size()) return false;
  double v = 0;
  auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), v);
  if (ec != std::errc() || end != c.data() + c.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

double StrToFloat(std::string_view s, const TFormatSettings& fs) {
  double v;
  if (!TryStrToFloat(s, v, fs)) throw EConvertError(FormatMessage(SInvalidFloat, {s}));
  return v;
}

std::string FloatToStr(double value, const TFormatSettings& fs) {
  return FloatToTextGeneral(value, 15, 0, fs);
}

}  // namespace kelvo
