#include "app/error_place.h"

#include <charconv>

#include "text/exception.h"

namespace kelvo {

int StrToInt(const std::string& text) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  int value = 0;
  auto [end, ec] = std::from_chars(first, last, value);
  if (first == last || ec != std::errc() || end != last) {
    throw Exception(FormatMessage("'%s' is not a valid integer value", {text}));
  }
  return value;
}

TErrorPlace ParseErrorPlace(const std::string& place) {
  size_t colon = place.find(':');
  std::string line = colon == std::string::npos ? place : place.substr(0, colon);
  std::string column = colon == std::string::npos ? std::string() : place.substr(colon + 1);
  return TErrorPlace{StrToInt(line), StrToInt(column)};
}

}  // namespace kelvo
