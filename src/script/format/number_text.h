// Reading floating-point numbers from script-supplied text, and the general text of a float, as
// the script runtime's conversion functions do them (whole numbers: script/value/str_to_int.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "script/format/format_settings.h"

namespace kelvo {

// Optional blanks and sign, digits with at most one decimal separator (at least one digit), an
// optional exponent "E" [sign] digits, optional blanks. The value must be finite.
bool TryStrToFloat(std::string_view s, double& value, const TFormatSettings& fs);
// Raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(std::string_view s, const TFormatSettings& fs);

// The general form with up to 15 significant digits ("1,5", "1E20", "1,5E-5").
std::string FloatToStr(double value, const TFormatSettings& fs);

}  // namespace kelvo
