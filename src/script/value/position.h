// Source positions: the "line:column" texts that the tokenizer writes into the intermediate tree
// and the compile error fields, and their reading back as a point.
#pragma once

#include <string_view>

namespace kelvo {

// A column (X) and line (Y) pair, both counted from 1.
struct TfsPoint {
  int X = 0;
  int Y = 0;
};

// Column and line of a "line:column" text; an empty text gives (0, 0). A part that is not a
// whole number raises the integer conversion error.
TfsPoint fsPosToPoint(std::string_view pos);

}  // namespace kelvo
