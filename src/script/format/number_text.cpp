#include "script/format/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "script/format/format_float.h"
#include "script/value/convert_error.h"

namespace kelvo {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the whole text as a number of at most `bits` bits; false on anything else.
bool ScanInteger(std::string_view s, int bits, int64_t& value) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  const uint64_t limit =
      hex ? (bits == 64 ? UINT64_MAX : UINT32_MAX) : (uint64_t{1} << (bits - 1)) - (negative ? 0 : 1);
  uint64_t v = 0;
  for (; i < s.size(); ++i) {
    int d = hex ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
    if (d < 0) return false;
    uint64_t base = hex ? 16 : 10;
    if (v > (limit - d) / base) return false;
    v = v * base + d;
  }
  if (hex && bits == 32) v = static_cast<uint32_t>(v);
  if (hex) {
    int64_t signedV = bits == 32 ? static_cast<int32_t>(v) : static_cast<int64_t>(v);
    // Negating the most negative value wraps, as hexadecimal text of every bit does.
    value = negative ? static_cast<int64_t>(0 - static_cast<uint64_t>(signedV)) : signedV;
    if (bits == 32) value = static_cast<int32_t>(value);
    return true;
  }
  value = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
  return true;
}

}  // namespace

bool TryStrToInt(std::string_view s, int32_t& value) {
  int64_t v;
  if (!ScanInteger(s, 32, v)) return false;
  value = static_cast<int32_t>(v);
  return true;
}

bool TryStrToInt64(std::string_view s, int64_t& value) {
  return ScanInteger(s, 64, value);
}

int32_t StrToInt(std::string_view s) {
  int32_t v;
  if (!TryStrToInt(s, v)) throw EConvertError(FormatMessage(SInvalidInteger, {s}));
  return v;
}

int64_t StrToInt64(std::string_view s) {
  int64_t v;
  if (!TryStrToInt64(s, v)) throw EConvertError(FormatMessage(SInvalidInteger, {s}));
  return v;
}

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
