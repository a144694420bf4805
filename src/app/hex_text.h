// The storage form of script bodies and descriptions in the library file: every byte of the 8-bit
// text as two upper-case hexadecimal digits, high nibble first, nothing between bytes.
#pragma once

#include <string>
#include <string_view>

namespace kelvo {

std::string TextToHex(std::string_view text);

// Decodes pairs of digits (either case). An odd length raises "invalid hex length"; a pair that is
// not two hexadecimal digits raises "invalid hex digit", so a damaged value is never cut short
// without the user hearing of it.
std::string HexToText(std::string_view hex);

}  // namespace kelvo
