// Reading whole numbers from text: the one reader of integer texts and of hexadecimal digits
// that every subsystem uses (the script runtime's StrToInt family and its variant conversion build
// on it in script/value/str_to_int.h).
#pragma once

#include <cstdint>
#include <string_view>

namespace kelvo {

// The value of one hexadecimal digit of either case, or -1 for any other character.
int HexDigitValue(char c);

// Reads the whole text as an optional sign, then decimal digits, or "$" or "0x" and hexadecimal
// digits; no blanks. Decimal text must fit the signed range of `bits` (32 or 64); hexadecimal
// text may use every bit (so "$FFFFFFFF" is -1 at 32 bits) and its negation wraps.
bool TryReadInteger(std::string_view text, int bits, std::int64_t& value);

}  // namespace kelvo
