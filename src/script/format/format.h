// Format: fills a format text's placeholders from a typed argument list.
//   placeholder -> "%" [index ":"] ["-"] [width] ["." precision] letter  |  "%%"
// index, width and precision are decimal numbers or "*" (taken from the next argument, which
// must be an integer). Letters, in either case: d (integer), u (unsigned), x (hexadecimal),
// e f g n m (float: scientific, fixed, general, with thousands separators, money), p (pointer),
// s (string). An index sets the argument position for this and the following placeholders.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "script/format/format_settings.h"
#include "script/format/varrec.h"

namespace kelvo {

// Raises EConvertError "Format '%s' invalid or incompatible with argument" for a malformed
// placeholder or an argument of the wrong kind, and "No argument for format '%s'" when the list
// runs out; both name the whole format text. Widths and precisions above
// MaxFormatWidth are malformed (they could only ask for absurd amounts of memory).
std::string Format(std::string_view fmt, std::span<const TVarRec> args, const TFormatSettings& fs);

inline constexpr int MaxFormatWidth = 65535;

}  // namespace kelvo
