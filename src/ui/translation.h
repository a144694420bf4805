// The interface's language: Russian, the program's own, everywhere except for English locales,
// which get the English translation (a Qt .qm built from src/ui/translations/kelvo_en.ts and kept
// in the program's resources). The application's messages reach the translation through the
// application layer's text hook, so both the window's captions and its messages follow it; scripts,
// the library and what the modem says are never translated.
// Threads: InstallTranslation runs once on the window's thread before any run starts; Tr may be
// called from any thread (Qt's translate is thread-safe).
#pragma once

#include <QString>
#include <string_view>

class QCoreApplication;

namespace kelvo {

// The context of every Kelvo text in the translation file.
inline constexpr char kTranslationContext[] = "Kelvo";

// True when the messages locale (LC_ALL, else LC_MESSAGES, else LANG; the first that is set and not
// empty) begins with "en". C, POSIX and every other locale keep Russian.
bool EnglishLocale();

// Loads and installs the English translation when EnglishLocale(); true when it did. The application
// layer's texts then go through it too. RemoveTranslation undoes it (for tests).
bool InstallTranslation(QCoreApplication& app);
void RemoveTranslation(QCoreApplication& app);
// True while the English translation is installed (the help page is then the English one).
bool TranslationInstalled();

// One of the program's own texts (a UTF-8 literal) in the interface's language.
QString Tr(std::string_view utf8);

}  // namespace kelvo
