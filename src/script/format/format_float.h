// Floats as text: the decimal digits of a double, the runtime's general, fixed, exponent, number
// and money forms, and FormatFloat's picture language ("0", "#", ".", ",", "E+"/"E-", quoted
// text, up to three sections separated by ";" for positive, negative and zero values).
#pragma once

#include <string>
#include <string_view>

#include "script/format/format_settings.h"

namespace kelvo {

// A finite value as 0.Digits x 10^Exponent; Digits has no leading or trailing zeros and is empty
// for zero (or a value that rounds to zero).
struct TFloatDigits {
  bool Negative = false;
  std::string Digits;
  int Exponent = 0;
};
// Rounded to `precision` significant digits (1 to 18).
TFloatDigits FloatToDigits(double value, int precision);
// Rounded to `fracDigits` digits after the decimal point (0 to 18).
TFloatDigits FloatToDigitsFixed(double value, int fracDigits);
// The same two, rounding an exact half away from zero (as people and FormatFloat do) instead of
// to the even neighbour (as printf and Format do): 0.125 to two places gives 0.13.
TFloatDigits FloatToDigitsHalfAway(double value, int precision);
TFloatDigits FloatToDigitsFixedHalfAway(double value, int fracDigits);

// "NAN", "INF", "-INF" for the values that have no digits; empty for finite values.
std::string SpecialFloatText(double value);

// Shortest of fixed and scientific with `precision` significant digits; the exponent has at least
// expDigits digits and a sign only when negative ("1,5", "1E20", "1,5E-5").
std::string FloatToTextGeneral(double value, int precision, int expDigits, const TFormatSettings& fs);
// "-d,ddddE+ddd": precision digits in all, the exponent signed with at least expDigits digits.
std::string FloatToTextExponent(double value, int precision, int expDigits, const TFormatSettings& fs);
// fracDigits after the separator; thousands separators when `thousands` is set.
std::string FloatToTextFixed(double value, int fracDigits, bool thousands, const TFormatSettings& fs);
// The money form: number with separators, placed with the currency text by the settings.
std::string FloatToTextCurrency(double value, int fracDigits, const TFormatSettings& fs);

// FormatFloat: the value by a picture; an empty picture gives the general form.
std::string FormatFloat(std::string_view picture, double value, const TFormatSettings& fs);

}  // namespace kelvo
