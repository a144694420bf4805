#include "translation/interface_language.h"

#include <QString>
#include <QTranslator>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "text/text_translator.h"

namespace kelvo {

namespace {

std::unique_ptr<QTranslator>& Loaded() {
  static std::unique_ptr<QTranslator> translator;
  return translator;
}

// The text translator: a text of the translation file in English, any other text unchanged.
std::string TranslateUtf8(std::string_view utf8) {
  const std::string source(utf8);
  const QString english = Loaded()->translate(kTranslationContext, source.c_str());
  return english.isEmpty() ? source : english.toStdString();
}

}  // namespace

bool EnglishLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return std::string_view(value).substr(0, 2) == "en";
  }
  return false;
}

bool InstallEnglishTranslation() {
  if (!EnglishLocale()) return false;
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral(":/i18n/kelvo_en.qm"))) return false;
  Loaded() = std::move(translator);
  SetTextTranslator(&TranslateUtf8);
  return true;
}

void RemoveEnglishTranslation() {
  SetTextTranslator(nullptr);
  Loaded().reset();
}

QTranslator* EnglishTranslator() {
  return Loaded().get();
}

}  // namespace kelvo
