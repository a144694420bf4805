#include "ui/qt_text.h"

#include "text/cp1251.h"

namespace kelvo {

QString FromAnsi(std::string_view ansi) {
  return QString::fromStdU16String(AnsiToUtf16(ansi));
}

std::string ToAnsi(const QString& text) {
  return Utf16ToAnsi(text.toStdU16String());
}

QString EditorTextFromAnsi(std::string_view ansi) {
  QString text = FromAnsi(ansi);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar('\r'), QChar('\n'));
  return text;
}

std::string AnsiFromEditorText(const QString& text) {
  QString crlf = text;
  crlf.replace(QChar('\n'), QStringLiteral("\r\n"));
  return ToAnsi(crlf);
}

}  // namespace kelvo
