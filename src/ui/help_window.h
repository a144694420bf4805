// The help window: the HTML help pages that lie beside the executable — the program's page, the
// pages of the two script languages and the generated page of the script functions — shown in a
// browser pane under a search field that finds a text in every page, one occurrence after another.
#pragma once

#include <QWidget>
#include <string>

class QLabel;
class QLineEdit;
class QTextBrowser;

namespace kelvo {

class THelpWindow : public QWidget {
 public:
  THelpWindow(QWidget* owner, QString pagePath);

  // Opens the program's page at its top; a missing page leaves the window empty.
  void ShowTopic();
  // Opens a page beside it, with an anchor when the topic has one ("kelvo-functions.html#fn-copy").
  void ShowTopic(const QString& topic);
  // Selects the next occurrence of text (regardless of case) after the selection, in this page and
  // then in the following pages, the first page following the last; false when no page holds it.
  // A function's exact name opens its entry.
  bool Find(const QString& text);

  QLineEdit* SearchEdit;
  QLabel* SearchStatus;
  QTextBrowser* Browser;

 private:
  void Present();
  QString PagePath(const QString& page) const;
  bool FindInPage(const QString& page, const QString& text);

  QWidget* FOwner;
  QString FPagePath;
  QString FLastSearch;
};

}  // namespace kelvo
