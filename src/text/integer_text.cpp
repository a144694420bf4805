#include "text/integer_text.h"

#include <cstdint>

namespace kelvo {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool TryReadInteger(std::string_view s, int bits, std::int64_t& value) {
  size_t i = 0;
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
  // Accumulated unsigned, so that the most negative decimal value is reachable.
  const std::uint64_t limit =
      hex ? (bits == 64 ? UINT64_MAX : UINT32_MAX) : (std::uint64_t{1} << (bits - 1)) - (negative ? 0 : 1);
  const std::uint64_t base = hex ? 16 : 10;
  std::uint64_t v = 0;
  for (; i < s.size(); ++i) {
    int d = hex ? HexDigitValue(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
    if (d < 0) return false;
    if (v > (limit - static_cast<std::uint64_t>(d)) / base) return false;
    v = v * base + static_cast<std::uint64_t>(d);
  }
  if (hex) {
    std::int64_t bitsValue =
        bits == 32 ? static_cast<std::int32_t>(static_cast<std::uint32_t>(v)) : static_cast<std::int64_t>(v);
    // Negating the most negative value wraps, as hexadecimal text of every bit does.
    value = negative ? static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(bitsValue)) : bitsValue;
    if (bits == 32) value = static_cast<std::int32_t>(value);
    return true;
  }
  value = negative ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
  return true;
}

}  // namespace kelvo
