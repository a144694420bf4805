#include "ui/cpp_highlighter.h"

#include <QSet>

namespace kelvo {

namespace {

// Block state: inside a multi-line comment that has not ended on this line.
constexpr int kInComment = 1;

const QSet<QString>& Keywords() {
  static const QSet<QString> words = {
      "break",      "case",    "catch",     "class",   "const",     "continue", "default", "delete",
      "do",         "else",    "false",     "finally", "for",       "function", "if",      "in",
      "instanceof", "new",     "null",      "return",  "switch",    "this",     "throw",   "true",
      "try",        "typeof",  "var",       "void",    "while",     "with",     "int",     "char",
      "bool",       "double",  "float",     "long",    "short",     "unsigned", "signed",  "struct",
      "enum",       "static",  "public",    "private", "protected", "virtual",  "goto",    "sizeof",
      "string",     "variant", "undefined", "import",  "export",    "extends",  "super",   "debugger",
      "let"};
  return words;
}

bool IsWordStart(QChar c) {
  return c.isLetter() || c == '_';
}
bool IsWordChar(QChar c) {
  return c.isLetterOrNumber() || c == '_';
}

}  // namespace

TCppHighlighter::TCppHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
  KeywordFormat.setFontWeight(QFont::Bold);
  StringFormat.setForeground(QColor(0, 128, 0));
  CommentFormat.setFontItalic(true);
  CommentFormat.setForeground(QColor(128, 128, 128));
  PreprocessorFormat.setFontItalic(true);
  PreprocessorFormat.setForeground(Qt::white);
  PreprocessorFormat.setBackground(QColor(0, 128, 128));
  NumberFormat.setForeground(QColor(255, 0, 0));
}

// line -> [comment-tail] ( "#" directive | token* )
void TCppHighlighter::highlightBlock(const QString& text) {
  setCurrentBlockState(0);
  int i = 0;
  if (previousBlockState() == kInComment) {
    i = BlockComment(text, 0);
    if (currentBlockState() == kInComment) return;
  }
  if (i == 0 && text.trimmed().startsWith('#')) {
    setFormat(0, text.size(), PreprocessorFormat);
    return;
  }
  while (i < text.size()) {
    QChar c = text[i];
    QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
    if (c == '/' && next == '/') {
      setFormat(i, text.size() - i, CommentFormat);
      return;
    }
    if (c == '/' && next == '*') {
      i = BlockComment(text, i);
    } else if (c == '"' || c == '\'') {
      i = StringLiteral(text, i);
    } else if (c.isDigit() || (c == '.' && next.isDigit())) {
      i = Number(text, i);
    } else if (IsWordStart(c)) {
      i = Word(text, i);
    } else {
      ++i;
    }
  }
}

// comment -> "/*" ... "*/"; a comment left open marks the line so that the next one continues it.
int TCppHighlighter::BlockComment(const QString& text, int i) {
  int searchFrom = previousBlockState() == kInComment && i == 0 ? 0 : i + 2;
  int end = text.indexOf(QStringLiteral("*/"), searchFrom);
  if (end < 0) {
    setFormat(i, text.size() - i, CommentFormat);
    setCurrentBlockState(kInComment);
    return text.size();
  }
  setFormat(i, end + 2 - i, CommentFormat);
  return end + 2;
}

// string -> quote { "\" any | other } quote; an unclosed string ends with the line.
int TCppHighlighter::StringLiteral(const QString& text, int i) {
  QChar quote = text[i];
  int j = i + 1;
  while (j < text.size() && text[j] != quote) j += text[j] == '\\' ? 2 : 1;
  j = std::min<int>(j + 1, text.size());
  setFormat(i, j - i, StringFormat);
  return j;
}

// number -> digits with letters and points (decimal, hexadecimal, exponent)
int TCppHighlighter::Number(const QString& text, int i) {
  int j = i;
  while (j < text.size() && (text[j].isLetterOrNumber() || text[j] == '.')) ++j;
  setFormat(i, j - i, NumberFormat);
  return j;
}

int TCppHighlighter::Word(const QString& text, int i) {
  int j = i;
  while (j < text.size() && IsWordChar(text[j])) ++j;
  if (Keywords().contains(text.mid(i, j - i))) setFormat(i, j - i, KeywordFormat);
  return j;
}

}  // namespace kelvo
