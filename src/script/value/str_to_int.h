// The script runtime's whole-number conversions, all on the one integer reader of
// text/integer_text.h: StrToInt and StrToInt64 (also used for the engine XML tree's numeric
// entities and the application's error places) and the variant's conversion of a string.
#pragma once

#include <cstdint>
#include <string_view>

namespace kelvo {

// Leading blanks, then TryReadInteger.
bool TryStrToInt(std::string_view s, std::int32_t& value);
bool TryStrToInt64(std::string_view s, std::int64_t& value);
// Raise EConvertError "'%s' is not a valid integer value".
std::int32_t StrToInt(std::string_view s);
std::int64_t StrToInt64(std::string_view s);

// The variant's form: blanks and control characters around the number are ignored; 64 bits.
bool TryTextToInt64(std::string_view text, std::int64_t& value);

}  // namespace kelvo
