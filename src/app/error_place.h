// The position of a compilation error as the script engine reports it: "line:column", both counted
// from 1.
#pragma once

#include <string>

namespace kelvo {

struct TErrorPlace {
  int Line = 0;
  int Column = 0;
};

// Splits at the first ":" and converts both parts with the runtime's StrToInt; a part that is not
// an integer raises "'<part>' is not a valid integer value".
TErrorPlace ParseErrorPlace(const std::string& place);

}  // namespace kelvo
