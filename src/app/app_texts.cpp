#include "app/app_texts.h"

#include <atomic>

#include "text/cp1251.h"

namespace kelvo {

namespace {

std::atomic<TTextTranslator> gTranslator{nullptr};

}  // namespace

std::string Ansi(std::string_view utf8) {
  TTextTranslator translator = gTranslator.load(std::memory_order_acquire);
  return translator != nullptr ? Utf8ToAnsi(translator(utf8)) : Utf8ToAnsi(utf8);
}

void SetTextTranslator(TTextTranslator translator) {
  gTranslator.store(translator, std::memory_order_release);
}

}  // namespace kelvo
