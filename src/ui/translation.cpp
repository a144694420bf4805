#include "ui/translation.h"

#include <QCoreApplication>
#include <QTranslator>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/app_texts.h"

namespace kelvo {

namespace {

std::unique_ptr<QTranslator>& Installed() {
  static std::unique_ptr<QTranslator> translator;
  return translator;
}

// The application layer's hook: its UTF-8 literal in the interface's language, as UTF-8.
std::string TranslateUtf8(std::string_view utf8) {
  return Tr(utf8).toStdString();
}

}  // namespace

bool EnglishLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return std::string_view(value).substr(0, 2) == "en";
  }
  return false;
}

bool InstallTranslation(QCoreApplication& app) {
  if (!EnglishLocale()) return false;
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral(":/i18n/kelvo_en.qm"))) return false;
  app.installTranslator(translator.get());
  Installed() = std::move(translator);
  SetTextTranslator(&TranslateUtf8);
  return true;
}

void RemoveTranslation(QCoreApplication& app) {
  SetTextTranslator(nullptr);
  if (Installed()) app.removeTranslator(Installed().get());
  Installed().reset();
}

bool TranslationInstalled() {
  return Installed() != nullptr;
}

QString Tr(std::string_view utf8) {
  const std::string source(utf8);
  return QCoreApplication::translate(kTranslationContext, source.c_str());
}

}  // namespace kelvo
