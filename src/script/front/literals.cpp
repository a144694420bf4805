#include "script/front/literals.h"

#include "script/value/convert_error.h"
#include "script/value/str_to_int.h"

namespace kelvo {

Variant ParserStringToVariant(const std::string& text) {
  if (text.empty()) return Variant::Null();
  if (text[0] == '\'') return Variant(text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string());
  std::int64_t i;
  if (TryTextToInt64(text, i) && text.find_first_of("xX") == std::string::npos) {
    if (i >= -2147483648LL && i <= 2147483647LL) return Variant(static_cast<int>(i));
    return Variant(i);
  }
  double d;
  if (TryTextToFloat(text, d)) return Variant(d);
  throw EConvertError(FormatMessage(SInvalidFloat, {text}));
}

}  // namespace kelvo
