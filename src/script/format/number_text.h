// Reading whole and floating-point numbers from script-supplied text, and the general text of a
// float, as the script runtime's conversion functions do them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "script/format/format_settings.h"

namespace kelvo {

// Optional blanks and sign, then decimal digits, or "$" / "0x" and hexadecimal digits. Decimal
// text must fit the signed range; hexadecimal text may use every bit (so "$FFFFFFFF" is -1).
bool TryStrToInt(std::string_view s, int32_t& value);
bool TryStrToInt64(std::string_view s, int64_t& value);
// Raise EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(std::string_view s);
int64_t StrToInt64(std::string_view s);

// Optional blanks and sign, digits with at most one decimal separator (at least one digit), an
// optional exponent "E" [sign] digits, optional blanks. The value must be finite.
bool TryStrToFloat(std::string_view s, double& value, const TFormatSettings& fs);
// Raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(std::string_view s, const TFormatSettings& fs);

// The general form with up to 15 significant digits ("1,5", "1E20", "1,5E-5").
std::string FloatToStr(double value, const TFormatSettings& fs);

}  // namespace kelvo
