// C-family syntax highlighting of the script editor: keywords bold, strings green, comments italic
// grey (single-line and multi-line, carried across lines), preprocessor directives italic white on
// teal, numbers red.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace kelvo {

class TCppHighlighter : public QSyntaxHighlighter {
 public:
  explicit TCppHighlighter(QTextDocument* document);

  // The formats, for tests and for anyone who wants the same look.
  QTextCharFormat KeywordFormat, StringFormat, CommentFormat, PreprocessorFormat, NumberFormat;

 protected:
  void highlightBlock(const QString& text) override;

 private:
  // Scanning helpers: each formats one token starting at i and returns the index after it.
  int BlockComment(const QString& text, int i);
  int StringLiteral(const QString& text, int i);
  int Number(const QString& text, int i);
  int Word(const QString& text, int i);
};

}  // namespace kelvo
