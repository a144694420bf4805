#include "app/error_place.h"

#include "script/value/str_to_int.h"

namespace kelvo {

TErrorPlace ParseErrorPlace(const std::string& place) {
  size_t colon = place.find(':');
  std::string line = colon == std::string::npos ? place : place.substr(0, colon);
  std::string column = colon == std::string::npos ? std::string() : place.substr(colon + 1);
  return TErrorPlace{StrToInt(line), StrToInt(column)};
}

}  // namespace kelvo
