// The values of literals as the tokenizer returns their texts, for the builder and for the
// default values of declarations.
#pragma once

#include <string>

#include "script/value/variant.h"

namespace kelvo {

// 'text' (quotes included) gives the text; a whole number ("$" for hexadecimal) an integer, a
// 64-bit one beyond 32 bits; a float with "." as decimal point a float; the empty text null. Any
// other text raises EConvertError.
Variant ParserStringToVariant(const std::string& text);

}  // namespace kelvo
