// The window's side of the interface's language (translation/interface_language.h): the English
// translation added to Qt's translators, so that the window's captions follow it too.
// Threads: InstallTranslation runs once on the window's thread before any run starts; Tr may be
// called from any thread (Qt's translate is thread-safe).
#pragma once

#include <QString>
#include <string_view>

#include "translation/interface_language.h"

class QCoreApplication;

namespace kelvo {

// Loads and installs the English translation when EnglishLocale(); true when it did. The application
// layer's texts then go through it too. RemoveTranslation undoes it (for tests).
bool InstallTranslation(QCoreApplication& app);
void RemoveTranslation(QCoreApplication& app);
// True while the English translation is installed (the help page is then the English one).
bool TranslationInstalled();

// One of the program's own texts (a UTF-8 literal) in the interface's language.
QString Tr(std::string_view utf8);

}  // namespace kelvo
