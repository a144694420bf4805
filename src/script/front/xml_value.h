// A variant as the text of an XML attribute value.
#pragma once

#include <string>

#include "script/value/variant.h"

namespace kelvo {

// Integers as decimal text, floats in the general form, dates as "dd.mm.yyyy" (and " h:nn:ss"
// when there is a time part), strings encoded with StrToXML, booleans as "1" or "0"; any other
// kind gives the empty text.
std::string ValueToXML(const Variant& value);

}  // namespace kelvo
