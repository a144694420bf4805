#include "script/value/str_to_int.h"

#include "script/value/convert_error.h"
#include "text/integer_text.h"

namespace kelvo {

namespace {

std::string_view SkipLeadingBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

}  // namespace

bool TryStrToInt(std::string_view s, std::int32_t& value) {
  std::int64_t v;
  if (!TryReadInteger(SkipLeadingBlanks(s), 32, v)) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

bool TryStrToInt64(std::string_view s, std::int64_t& value) {
  return TryReadInteger(SkipLeadingBlanks(s), 64, value);
}

std::int32_t StrToInt(std::string_view s) {
  std::int32_t v;
  if (!TryStrToInt(s, v)) throw EConvertError(FormatMessage(SInvalidInteger, {s}));
  return v;
}

std::int64_t StrToInt64(std::string_view s) {
  std::int64_t v;
  if (!TryStrToInt64(s, v)) throw EConvertError(FormatMessage(SInvalidInteger, {s}));
  return v;
}

bool TryTextToInt64(std::string_view text, std::int64_t& value) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return TryReadInteger(text, 64, value);
}

}  // namespace kelvo
