// Literal texts as the tokenizer hands them over: a value or the conversion error, nothing else.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/front/literals.h"
#include "script/value/convert_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  try {
    kelvo::Variant v = kelvo::ParserStringToVariant(text);
    (void)v.AsString();
  } catch (const kelvo::EConvertError&) {
  }
  return 0;
}
