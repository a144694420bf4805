// Kelvo: initialises modems through a serial port from a library of set-up scripts.
#include <QApplication>

#include "ui/kelvo_app.h"
#include "ui/translation.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kelvo"));
  kelvo::InstallTranslation(app);  // English for English locales, before any text is made
  kelvo::LoadQtTranslations(kelvo::TranslationInstalled());
  try {
    kelvo::TKelvoWindows windows = kelvo::CreateWindows(QCoreApplication::applicationDirPath().toStdString(),
                                                        kelvo::AnsiArguments(QCoreApplication::arguments()));
    windows.KelvoDlg->show();
    return QApplication::exec();
  } catch (...) {
    // A start-up that fails leaves no window: the message is shown and the program ends with an error.
    kelvo::ShowStartupError(std::current_exception());
    return 1;
  }
}
