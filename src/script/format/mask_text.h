// FormatMaskText: lays a text out by an edit mask.
//   edit mask -> mask [";" save-literals [";" blank-character]]
//   mask      -> { "!" | ">" | "<" | "<>" | "\" char | slot | "/" | ":" | "_" | literal }
// Slots take one character of the text: L l (letter), A a (letter or digit), C c (any), 0 9 #
// (digit); upper case letters and "0" are required, the others optional. "/" and ":" are the
// date and time separators, "_" a blank, "\" makes the next character literal, ">" and "<" turn
// what follows to upper or lower case ("<>" back to as typed), "!" fills from the right.
// With save-literals "0" the text holds only the characters for the slots and the literals are
// put in; otherwise the text already holds the literals and each field is padded to its width.
#pragma once

#include <string>
#include <string_view>

#include "script/format/format_settings.h"

namespace kelvo {

// Slots with no character of the text are filled with spaces, as the runtime does; the mask's
// blank-character field is what an edit box would show there and does not reach the result.
std::string FormatMaskText(std::string_view editMask, std::string_view value, const TFormatSettings& fs);

}  // namespace kelvo
