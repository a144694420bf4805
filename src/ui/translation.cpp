#include "ui/translation.h"

#include <QCoreApplication>
#include <QTranslator>
#include <string>

namespace kelvo {

bool InstallTranslation(QCoreApplication& app) {
  if (!InstallEnglishTranslation()) return false;
  app.installTranslator(EnglishTranslator());
  return true;
}

void RemoveTranslation(QCoreApplication& app) {
  if (EnglishTranslator() != nullptr) app.removeTranslator(EnglishTranslator());
  RemoveEnglishTranslation();
}

bool TranslationInstalled() {
  return EnglishTranslator() != nullptr;
}

QString Tr(std::string_view utf8) {
  const std::string source(utf8);
  return QCoreApplication::translate(kTranslationContext, source.c_str());
}

}  // namespace kelvo
