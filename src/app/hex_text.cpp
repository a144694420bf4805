#include "app/hex_text.h"

#include "text/exception.h"
#include "text/integer_text.h"

namespace kelvo {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

}  // namespace

std::string TextToHex(std::string_view text) {
  std::string hex;
  hex.reserve(text.size() * 2);
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0x0F];
  }
  return hex;
}

std::string HexToText(std::string_view hex) {
  if (hex.size() % 2 != 0) throw Exception("invalid hex length");
  std::string text;
  text.reserve(hex.size() / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    int high = HexDigitValue(hex[i]);
    int low = HexDigitValue(hex[i + 1]);
    if (high < 0 || low < 0) throw Exception("invalid hex digit");
    text += static_cast<char>(high * 16 + low);
  }
  return text;
}

}  // namespace kelvo
