// Text at the edge between the program's 8-bit Windows-1251 strings and Qt's Unicode strings. The
// library keeps line breaks as CR LF; Qt's editors keep them as LF.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kelvo {

QString FromAnsi(std::string_view ansi);
std::string ToAnsi(const QString& text);

// Text for an editor: CR LF and lone CR become LF.
QString EditorTextFromAnsi(std::string_view ansi);
// Text of an editor as the program holds it: every line break CR LF.
std::string AnsiFromEditorText(const QString& text);

}  // namespace kelvo
