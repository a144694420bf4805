#include "app/app_texts.h"

#include "text/cp1251.h"

namespace kelvo {

std::string Ansi(std::string_view utf8) {
  return Utf8ToAnsi(utf8);
}

}  // namespace kelvo
