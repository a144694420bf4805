#include "ui/kelvo_app.h"

#include <QMessageBox>

#include "app/app_texts.h"
#include "app/error_display.h"
#include "text/cp1251.h"
#include "ui/qt_text.h"

namespace kelvo {

void ShowStartupError(std::exception_ptr error) {
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

std::vector<std::string> AnsiArguments(const QStringList& arguments) {
  std::vector<std::string> args;
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(ToAnsi(arguments[i]));
  return args;
}

}  // namespace kelvo
