// The interface's language: Russian, the program's own, everywhere except for English locales, which
// get the English translation (a Qt .qm built from kelvo_en.ts beside this file and kept in the
// program's resources). Installing it sets the text translator of text/text_translator.h, so that the
// application's messages, the serial port's and the command-line tools' follow it; the window adds
// it to Qt's own translators for its captions.
// Threads: Install/RemoveEnglishTranslation run on the main thread before any run's or port's
// thread starts (and after they end); translations may then be read from any thread.
#pragma once

class QTranslator;

namespace kelvo {

// The context of every Kelvo text in the translation file.
inline constexpr char kTranslationContext[] = "Kelvo";

// True when the messages locale (LC_ALL, else LC_MESSAGES, else LANG; the first that is set and not
// empty) begins with "en". C, POSIX and every other locale keep Russian.
bool EnglishLocale();

// Loads the English translation and makes it the program's text translator when EnglishLocale();
// true when it did. RemoveEnglishTranslation undoes it (for tests).
bool InstallEnglishTranslation();
void RemoveEnglishTranslation();

// The loaded English translation, or null while the interface is Russian.
QTranslator* EnglishTranslator();

}  // namespace kelvo
