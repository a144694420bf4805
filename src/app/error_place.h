// The position of a compilation error as the script engine reports it: "line:column", both counted
// from 1.
#pragma once

#include <string>

namespace kelvo {

struct TErrorPlace {
  int Line = 0;
  int Column = 0;
};

// Splits at the first ":" and converts both parts as decimal integers; a part that is not one raises
// "'<part>' is not a valid integer value".
TErrorPlace ParseErrorPlace(const std::string& place);

// Strict decimal conversion with an optional sign, as the runtime's StrToInt.
int StrToInt(const std::string& text);

}  // namespace kelvo
