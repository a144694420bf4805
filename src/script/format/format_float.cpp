#include "script/format/format_float.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kelvo {

namespace {

constexpr int kMaxDigits = 18;
// Enough significant digits for any double written out exactly.
constexpr int kExactDigits = 781;

void StripTrailingZeros(std::string& digits) {
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
}

// Removes leading zeros of a digit string whose first digit sits at 10^(exponent-1).
void StripLeadingZeros(TFloatDigits& d) {
  size_t lead = d.Digits.find_first_not_of('0');
  if (lead == std::string::npos) {
    d.Digits.clear();
    d.Exponent = 0;
    return;
  }
  d.Digits.erase(0, lead);
  d.Exponent -= static_cast<int>(lead);
}

// The first `significant` digits of the value, rounded, with the power of ten of the first one.
TFloatDigits ScientificDigits(double value, int significant) {
  TFloatDigits d;
  d.Negative = std::signbit(value);
  char buf[kExactDigits + 64];
  auto res =
      std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, significant - 1);
  std::string_view text(buf, res.ptr - buf);
  size_t e = text.find('e');
  for (size_t i = 0; i < e; ++i)
    if (text[i] != '.') d.Digits += text[i];
  int exp10 = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exp10);
  d.Exponent = exp10 + 1;
  StripTrailingZeros(d.Digits);
  if (d.Digits.empty()) d.Exponent = 0;
  return d;
}

std::string ExponentText(int exponent, int minDigits, bool plusSign) {
  std::string out = exponent < 0 ? "-" : (plusSign ? "+" : "");
  std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(digits.size()) < minDigits) out.append(minDigits - digits.size(), '0');
  return out + digits;
}

// Inserts the thousands separator between groups of three digits of a whole-number text.
std::string GroupThousands(const std::string& digits, char separator) {
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

}  // namespace

TFloatDigits FloatToDigits(double value, int precision) {
  return ScientificDigits(value, std::clamp(precision, 1, kMaxDigits));
}

TFloatDigits FloatToDigitsFixed(double value, int fracDigits) {
  fracDigits = std::clamp(fracDigits, 0, kMaxDigits);
  TFloatDigits d;
  d.Negative = std::signbit(value);
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, fracDigits);
  std::string_view text(buf, res.ptr - buf);
  size_t point = text.find('.');
  if (point == std::string_view::npos) point = text.size();
  for (char c : text)
    if (c != '.') d.Digits += c;
  d.Exponent = static_cast<int>(point);
  StripLeadingZeros(d);
  StripTrailingZeros(d.Digits);
  return d;
}

namespace {

// Every digit of the value's exact binary fraction: a double has at most 767 significant digits.
TFloatDigits ExactDigits(double value) {
  return ScientificDigits(value, kExactDigits);
}

// Keeps the first `keep` digits, rounding up in magnitude when the rest is at least one half.
TFloatDigits KeepHalfAway(TFloatDigits d, int keep) {
  if (keep >= static_cast<int>(d.Digits.size())) return d;
  bool up = keep >= 0 && d.Digits[keep] >= '5';
  d.Digits.resize(std::max(keep, 0));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.Digits[i] == '9') d.Digits[i--] = '0';
    if (i >= 0) {
      ++d.Digits[i];
    } else {
      d.Digits.insert(0, 1, '1');
      ++d.Exponent;
    }
  }
  StripTrailingZeros(d.Digits);
  if (d.Digits.empty()) d.Exponent = 0;
  return d;
}

}  // namespace

TFloatDigits FloatToDigitsHalfAway(double value, int precision) {
  return KeepHalfAway(ExactDigits(value), std::clamp(precision, 1, kMaxDigits));
}

TFloatDigits FloatToDigitsFixedHalfAway(double value, int fracDigits) {
  TFloatDigits exact = ExactDigits(value);
  return KeepHalfAway(exact, exact.Exponent + std::clamp(fracDigits, 0, kMaxDigits));
}

std::string SpecialFloatText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  return {};
}

std::string FloatToTextGeneral(double value, int precision, int expDigits, const TFormatSettings& fs) {
  if (!std::isfinite(value)) return SpecialFloatText(value);
  precision = std::clamp(precision, 1, kMaxDigits);
  TFloatDigits d = FloatToDigits(value, precision);
  if (d.Digits.empty()) return "0";
  std::string out = d.Negative ? "-" : "";
  if (d.Exponent > precision || d.Exponent < -3) {
    out += d.Digits[0];
    if (d.Digits.size() > 1) out += fs.DecimalSeparator + d.Digits.substr(1);
    return out + 'E' + ExponentText(d.Exponent - 1, expDigits, false);
  }
  if (d.Exponent <= 0) {
    return out + '0' + fs.DecimalSeparator + std::string(-d.Exponent, '0') + d.Digits;
  }
  std::string digits = d.Digits;
  if (static_cast<int>(digits.size()) < d.Exponent) digits.append(d.Exponent - digits.size(), '0');
  out += digits.substr(0, d.Exponent);
  if (static_cast<int>(digits.size()) > d.Exponent) out += fs.DecimalSeparator + digits.substr(d.Exponent);
  return out;
}

std::string FloatToTextExponent(double value, int precision, int expDigits, const TFormatSettings& fs) {
  if (!std::isfinite(value)) return SpecialFloatText(value);
  precision = std::clamp(precision, 1, kMaxDigits);
  TFloatDigits d = FloatToDigits(value, precision);
  int exponent = d.Digits.empty() ? 0 : d.Exponent - 1;
  std::string digits = d.Digits;
  digits.resize(precision, '0');
  std::string out = (d.Negative && !d.Digits.empty()) ? "-" : "";
  out += digits[0];
  if (precision > 1) out += fs.DecimalSeparator + digits.substr(1);
  return out + 'E' + ExponentText(exponent, expDigits, true);
}

std::string FloatToTextFixed(double value, int fracDigits, bool thousands, const TFormatSettings& fs) {
  if (!std::isfinite(value)) return SpecialFloatText(value);
  fracDigits = std::clamp(fracDigits, 0, kMaxDigits);
  TFloatDigits d = FloatToDigitsFixed(value, fracDigits);
  // All digits from the first whole digit (at least "0") to the last fraction digit.
  std::string whole = "0", frac(fracDigits, '0');
  if (!d.Digits.empty()) {
    std::string digits = d.Digits;
    if (d.Exponent <= 0) {
      digits.insert(0, -d.Exponent, '0');
    } else {
      if (static_cast<int>(digits.size()) < d.Exponent) digits.append(d.Exponent - digits.size(), '0');
      whole = digits.substr(0, d.Exponent);
      digits.erase(0, d.Exponent);
    }
    frac.replace(0, std::min(digits.size(), frac.size()), digits.substr(0, frac.size()));
  }
  std::string out = (d.Negative && !d.Digits.empty()) ? "-" : "";
  out += thousands ? GroupThousands(whole, fs.ThousandSeparator) : whole;
  if (fracDigits > 0) out += fs.DecimalSeparator + frac;
  return out;
}

std::string FloatToTextCurrency(double value, int fracDigits, const TFormatSettings& fs) {
  if (!std::isfinite(value)) return SpecialFloatText(value);
  std::string amount = FloatToTextFixed(std::fabs(value), fracDigits, true, fs);
  const std::string& c = fs.CurrencyString;
  bool negative = value < 0 && FloatToDigitsFixed(value, fracDigits).Digits.size() > 0;
  if (!negative) {
    switch (fs.CurrencyFormat) {
      case 0:
        return c + amount;
      case 1:
        return amount + c;
      case 2:
        return c + ' ' + amount;
      default:
        return amount + ' ' + c;
    }
  }
  switch (fs.NegCurrFormat) {
    case 0:
      return '(' + c + amount + ')';
    case 1:
      return '-' + c + amount;
    case 2:
      return c + '-' + amount;
    case 3:
      return c + amount + '-';
    case 4:
      return '(' + amount + c + ')';
    case 5:
      return '-' + amount + c;
    case 6:
      return amount + '-' + c;
    case 7:
      return amount + c + '-';
    case 9:
      return '-' + c + ' ' + amount;
    case 10:
      return amount + ' ' + c + '-';
    case 11:
      return c + ' ' + amount + '-';
    case 12:
      return c + ' ' + '-' + amount;
    case 13:
      return amount + '-' + ' ' + c;
    case 14:
      return '(' + c + ' ' + amount + ')';
    case 15:
      return '(' + amount + ' ' + c + ')';
    default:
      return '-' + amount + ' ' + c;
  }
}

}  // namespace kelvo
