#include "text/text_translator.h"

#include <atomic>

#include "text/cp1251.h"

namespace kelvo {

namespace {

std::atomic<TTextTranslator> gTranslator{nullptr};

}  // namespace

void SetTextTranslator(TTextTranslator translator) {
  gTranslator.store(translator, std::memory_order_release);
}

std::string Translate(std::string_view utf8) {
  TTextTranslator translator = gTranslator.load(std::memory_order_acquire);
  return translator != nullptr ? translator(utf8) : std::string(utf8);
}

std::string Ansi(std::string_view utf8) {
  return Utf8ToAnsi(Translate(utf8));
}

}  // namespace kelvo
