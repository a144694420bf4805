// The message of the conversion error that f raises, or "<no error>", for tests that check the
// runtime's message texts word for word.
#pragma once

#include <string>

#include "script/value/convert_error.h"

namespace kelvo::testing {

template <typename F>
std::string ConvertMessage(F&& f) {
  try {
    f();
  } catch (const EConvertError& e) {
    return e.Message();
  }
  return "<no error>";
}

}  // namespace kelvo::testing
