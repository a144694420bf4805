#include "ui/kelvo_app.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include "app/app_texts.h"
#include "app/error_display.h"
#include "text/cp1251.h"
#include "ui/qt_text.h"

namespace kelvo {

void ShowStartupError(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const EAbort&) {
    return;
  } catch (...) {
  }
  QMessageBox box(QMessageBox::Critical,
                  QString::fromLatin1(texts::kAppTitle.data(), texts::kAppTitle.size()),
                  FromAnsi(ErrorDisplayText(ExceptionMessage(error))), QMessageBox::Ok);
  box.exec();
}

QString LoadQtTranslations(bool englishInterface) {
  // Qt's own English is its untranslated text: an English interface needs no translation.
  if (englishInterface) return {};
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
  if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                        QStringLiteral("_"), folder))
    return {};
  QString file = translator->filePath();
  QCoreApplication::installTranslator(translator.release());
  return file;
}

std::vector<std::string> AnsiArguments(const QStringList& arguments) {
  std::vector<std::string> args;
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(ToAnsi(arguments[i]));
  return args;
}

}  // namespace kelvo
